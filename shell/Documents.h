#pragma once
// The program's documents by unit name (RegisterProgramDocuments), the
// documents that print an area's rows each handed its area's reader, so that
// a document created from its name alone (the print tool) prints what the
// program's windows would hand it.

void RegisterDocumentsWithTheirRows();

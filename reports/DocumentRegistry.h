#pragma once
// The documents by unit name ("URptMandat_FB"), for the programs that create
// a document from its name: the print tool (tools/vorel_print) and the layout
// editor. Every document registers its factory in RegisterProgramDocuments.

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class TReportForm;

using DocumentFactory = std::function<std::unique_ptr<TReportForm>()>;

// Registers (or replaces) the factory of a unit.
void RegisterDocument(const QString& unit, DocumentFactory factory);
// A new form of the unit (name compared without case); nullptr when unknown.
std::unique_ptr<TReportForm> CreateDocument(const QString& unit);
// The registered units, in alphabetical order.
QStringList RegisteredDocuments();

// Registers every document of the program.
void RegisterProgramDocuments();

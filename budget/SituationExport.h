#pragma once
// The financial situation as a spreadsheet workbook: row 1 the headers (the
// range A1:K1 formatted as a header), row 2 empty, then one row per grid row:
// chapter rows in bold, every cell left-aligned and bottom-aligned, the
// amounts and the rate as numeric cells with two decimals.

#include "budget/SituationStore.h"

#include <QString>
#include <vector>

// Writes the workbook to `path`; an empty text on success, else the reason.
QString WriteSituationWorkbook(const QString& path, const std::vector<TSituationRow>& rows);

// A new file for the workbook in `folder` (with its trailing separator), named
// after the moment of the export; a workbook already there, perhaps still open
// in a spreadsheet, is never overwritten.
QString SituationWorkbookPath(const QString& folder, const QDateTime& moment);

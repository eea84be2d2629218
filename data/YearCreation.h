#pragma once
// Creation of a fiscal year's database and its seeding from the previous
// year. Nothing here opens a window: progress goes to the display the shell
// installs (data/Progress.h).

#include "db/Database.h"

#include <QString>

// The fiscal year's database file name: "KIV_DB_" + year + ".FDB".
QString YearFileName(const QString& year);

// Creates an empty database at `path` (page size 4096) on its own connection
// and runs the schema script on it. On failure a file it made is removed and
// the error goes to the caller.
void CreateDatabase(const QString& path);

// Copies the reference tables of the year at `sourcePath` into `target`
// (keys and cross references kept, the key generators set past the copied
// keys), then clears every budget line's amounts, dates and decision numbers.
// The whole copy is one transaction of `target`: on failure it is rolled back
// and the error goes to the caller. `message` is the text of the progress display.
void CopyReferenceTables(db::Connection& target, const QString& sourcePath, const QString& message);

// With mode "I": "INSERT INTO <table> ( <the query's columns> ) VALUES ( :<each column> )";
// any other mode gives an empty text.
QString BuildInsertStatement(const db::Query& query, const QString& table, const QString& mode);

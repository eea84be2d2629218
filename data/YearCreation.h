#pragma once
// Creation of a fiscal year's database and its seeding from the previous
// year. Nothing here opens a window: progress goes to the display the shell
// installs (data/Progress.h).

#include "db/Database.h"

#include <QString>

// The fiscal year's database file name: "KIV_DB_" + year + ".FDB".
QString YearFileName(const QString& year);

// The previous year's file a new year at `path` is seeded from: the year
// before `fiscalYear` in the folder of `path`, else in the program folder;
// empty when there is none.
QString PreviousYearFile(const QString& path, const QString& fiscalYear);

// The fiscal-year schema script compiled into the program.
QString SchemaScript();

// A failure while seeding a new year from the previous one (the year is then
// not made); the opening reports it as a failed connection.
class YearSeedingError : public db::DbError {
public:
    using db::DbError::DbError;
};

// Makes the missing year's database at `path`, safe against a crash or a kill
// at any moment: the file is created (CreateDatabase) and seeded from
// `previousYearPath` (CopyReferenceTables, skipped when the path is empty)
// under a temporary name in the same folder, then renamed into place only
// when complete. An existing year file is never overwritten: when another run
// of the program made the year meanwhile, the half-made file is dropped and
// false is returned. Runs of the program on one computer make a year one at a
// time. On failure the temporary file is removed and the error goes to the
// caller (a YearSeedingError for a failed seeding).
bool CreateYear(const QString& path, const QString& previousYearPath, const QString& message);

// The temporary name a year's database is made under: `path` + ".tmp".
QString UnfinishedYearPath(const QString& path);
// Removes what an interrupted creation of the year at `path` left behind (its
// temporary file and its lock), unless a run of the program is making it now.
void RemoveUnfinishedYear(const QString& path);

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

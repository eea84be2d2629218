#pragma once
// Moving the program's one connection to another database (the fiscal-year
// switch, the connection dialog) without ever leaving the program on a
// database it could not open: on failure the previous database is opened
// again and the global state stays as it was.

#include <QString>

// The database path of `year` where the program works: the server's address,
// ":" and the database folder in server mode; the database folder otherwise.
QString YearDatabasePath(const QString& year);

// Whether moving to `year` would make its database: in local mode, when its
// file does not exist.
bool YearNeedsCreation(const QString& year);

// Moves to the fiscal year `year`. In local mode a missing year is made and
// seeded when `mayCreate` (a user with the write right); in server mode a
// missing year is never made. On success DbFileName,
// DbPath and FiscalYear take the new year's values and true is returned. On
// failure the previous year is opened again (never made), nothing changes, and
// the user is told "Impossible de changer l'exercice ! ..."; when even the
// previous year cannot be opened again, the failure is handled as at start-up
// (the program ends, or the connection dialog is offered).
bool SwitchFiscalYear(const QString& year, bool mayCreate);

// Connects to the database at `path` (never making one). On success DbPath
// takes `path` and true is returned; on failure the previous database is
// opened again when there was one, DbPath stays as it was, and false is
// returned (the caller tells the user).
bool MoveConnection(const QString& path);

#pragma once
// What the program does before and while its main window is created: the
// process formats, the program folder, the installation values, the regional
// settings, "Firebird.conf" and the reading of the settings file into the
// global state.

#include "core/Settings.h"

#include <QString>

class QApplication;

// Makes the program's pictures (a resource of the program's library) available.
void InitProgramResources();

// Fixes the process formats before any window exists. Amounts, numbers and
// dates are formatted by the program's own routines (Currency::formatMoney,
// "dd/MM/yyyy"); the default locale is the C locale so that nothing the
// machine's regional settings say can change a number or a date the program
// writes or reads.
void SetProcessFormats();

// The program folder is the folder of the path the program was started by, as
// given (a symbolic link to the executable is not followed: the folder that
// holds the link is the program folder). main() passes argv[0]; without a
// folder part the executable's own folder is used.
void SetExecutablePath(const QString& path);
// That folder, absolute, with its trailing "/".
QString ExecutableFolder();

// The installation values FacultyName, UniversityName and VersionLabel, as
// they stand before the settings file is read (which may name the faculty and
// the university, core/Settings.h).
void SetInstallationValues();

// AppDir, IniPath and TempDir from the program folder.
void SetProgramFolders();
// Creates TempDir when missing; false when it does not exist afterwards.
bool EnsureTempDir();

// The regional settings of the current user, written at every start under
// "Control Panel\International\" (sDecimal, sMonDecimal, sCurrency,
// sMonThousandSep, sDate, sShortDate).
inline constexpr const char* RegionalSettingsKey = "Control Panel\\International\\";
void WriteRegionalSettings();

// The four credit-shortage policies set to 2 and the edit colours.
void SetDefaultPolicies();
void SetEditColours();

// "Firebird.conf" in the program folder: section "#FB", RootDirectory and
// TempDirectories.
void WriteFirebirdConf();

// Reads [PARAM] of the settings file into the global state and derives the
// values that depend on it (user, fiscal year, local address, server address,
// database file name and path, database account). A fiscal year that is not
// four digits, or a ceiling that does not read, gives its default; the text
// returned then tells the user which values were replaced, all at once (empty
// when everything read).
QString ReadSettings();

// The program's run once its application object exists and the program
// folder is known: the splash and its progress, the main window, the data
// module (which opens the fiscal year's database), then the message loop,
// whose first showing of the main window runs the login. Returns the exit code
// when the main window has closed, the login was refused or the opening of the
// database told the program to end. SIGTERM, SIGINT and SIGHUP end it cleanly
// with 0: the settings written as at a close, the open transaction rolled
// back, the database detached.
int RunProgram(QApplication& app);

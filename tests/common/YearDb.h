#pragma once
// A fresh fiscal-year database for one test, on the real embedded engine.
//
// Use:
//     #include "common/YearDb.h"
//
//     class MyWindowTest : public YearDbTest {};      // SetUp makes it, TearDown removes it
//     TEST_F(MyWindowTest, SavesTheRow) {
//         db::Query q(DM->LURDO, "INSERT INTO BANQUE (RS) VALUES (:RS)");
//         ...
//         DM->CommitWork();
//         year->path();                                 // the database file
//     }
//
// or, inside any test:  YearDb year;  (the database lives until `year` goes)
//
// While it lives, the global state points into a temporary folder: AppDir,
// IniPath ("VOREL.INI" there, not created), TempDir ("Temp/" there, created),
// FiscalYear (2024 unless given), DbWorkDir, DbFileName ("KIV_DB_2024.FDB"),
// DbPath, DbUser "SYSDBA", DbPassword the administrator password, an empty
// ServerAddress (local mode) and CurrentUserAccess 0; the global `DM` is a new
// data module opened on the year's database, made from the real schema script.
// The first use in a process creates the database through the data module and
// keeps a pristine copy; later uses start from a copy of it (fast). Everything
// is put back and removed when the object goes: DM is deleted (closing the
// database) and the previous global values are restored.
// A message box shown while the module opens fails the test.

#include "data/UDM.h"

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

class YearDb {
public:
    struct Options {
        QString fiscalYear = QStringLiteral("2024");
        // false: the global state is pointed at the folder but no database is
        // made and DM stays null (for tests of the opening itself).
        bool open = true;
    };

    YearDb();
    explicit YearDb(const Options& options);
    ~YearDb();
    YearDb(const YearDb&) = delete;
    YearDb& operator=(const YearDb&) = delete;

    // The temporary folder (with a trailing "/"), the program folder and the database folder.
    QString dir() const;
    // The year's database file.
    QString path() const;
    // Connection parameters of the year's database, for a second connection.
    db::ConnectParams params() const;

private:
    struct Saved;
    std::unique_ptr<Saved> m_saved;
    QTemporaryDir m_dir;
    QString m_year;
};

class YearDbTest : public ::testing::Test {
protected:
    void SetUp() override { year = std::make_unique<YearDb>(); }
    void TearDown() override { year.reset(); }
    std::unique_ptr<YearDb> year;
};

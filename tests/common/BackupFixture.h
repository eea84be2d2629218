#pragma once
// A year database for the backup and restore tests: skipped where the
// engine's backup tool is not installed, a folder for the backups, and a user
// in the year (the restore's check asks a year for its users, as every year in
// use has them).

#include "common/ExpenseRows.h"
#include "common/YearDb.h"
#include "data/Backup.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

class BackupYearTest : public YearDbTest {
protected:
    void SetUp() override
    {
        YearDbTest::SetUp();
        if (BackupToolPath().isEmpty())
            GTEST_SKIP() << "gbak is not installed";
        ASSERT_TRUE(backups.isValid());
        rows::User(QStringLiteral("ALI"));
    }

    QTemporaryDir backups;
};

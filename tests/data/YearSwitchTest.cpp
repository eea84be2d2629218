// Moving the program's connection to another year or another database on
// real year files: a missing year is made and seeded once, from the previous
// year in the database's folder; whatever fails leaves the program on the year
// it was on, with the global state unchanged.
#include "core/GlobalState.h"
#include "data/UDM.h"
#include "data/YearCreation.h"
#include "data/YearSwitch.h"
#include "common/ExpenseRows.h"
#include "common/MessageRecorder.h"
#include "common/YearDb.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Place {
    QString path, year, fileName;
};

Place Current()
{
    return {DbPath, FiscalYear, DbFileName};
}

void ExpectOn(const Place& place, const QString& connectedPath)
{
    EXPECT_EQ(DbPath, place.path);
    EXPECT_EQ(FiscalYear, place.year);
    EXPECT_EQ(DbFileName, place.fileName);
    ASSERT_TRUE(DM->LURDO.isOpen());
    EXPECT_EQ(DM->LURDO.params().path, connectedPath);
}

class YearSwitchTest : public YearDbTest {
protected:
    void SetUp() override
    {
        YearDbTest::SetUp();
        // The program folder is elsewhere than the databases: seeding finds
        // the previous year beside the new one.
        ASSERT_TRUE(programFolder.isValid());
        AppDir = programFolder.path() + QLatin1Char('/');
        rows::User(QStringLiteral("ALI"));
    }

    QTemporaryDir programFolder;
    MessageRecorder messages;
};

TEST_F(YearSwitchTest, AMissingYearIsMadeAndSeededOnceWithItsIndexesAndTheSwitchGoesBack)
{
    const QString next = DbWorkDir + YearFileName(QStringLiteral("2025"));
    ASSERT_TRUE(SwitchFiscalYear(QStringLiteral("2025"), true));
    ExpectOn({next, QStringLiteral("2025"), QStringLiteral("KIV_DB_2025.FDB")}, next);
    EXPECT_TRUE(messages.calls().isEmpty()) << messages.texts().join(" | ").toStdString();
    // Seeded from 2024 in the database folder, with the opening indexes.
    EXPECT_EQ(rows::Scalar(QStringLiteral("SELECT COUNT(*) FROM T_USERS WHERE USER_ID='ALI'")), 1);
    for (const QString& index : TDM::OpeningIndexNames())
        EXPECT_EQ(rows::Scalar(QStringLiteral("SELECT COUNT(*) FROM RDB$INDICES WHERE RDB$INDEX_NAME='%1'").arg(index)), 1)
            << index.toStdString();
    // Made without waiting for the disk at every page, it writes synchronously once made.
    EXPECT_EQ(rows::Scalar(QStringLiteral("SELECT MON$FORCED_WRITES FROM MON$DATABASE")), 1);
    rows::User(QStringLiteral("NEW"));

    ASSERT_TRUE(SwitchFiscalYear(QStringLiteral("2024"), true));
    ExpectOn({year->path(), QStringLiteral("2024"), QStringLiteral("KIV_DB_2024.FDB")}, year->path());
    EXPECT_EQ(rows::Scalar(QStringLiteral("SELECT COUNT(*) FROM T_USERS")), 1);

    // Back on 2025: the year made earlier, not made nor seeded again.
    ASSERT_TRUE(SwitchFiscalYear(QStringLiteral("2025"), true));
    EXPECT_EQ(rows::Scalar(QStringLiteral("SELECT COUNT(*) FROM T_USERS")), 2);
    EXPECT_TRUE(messages.calls().isEmpty()) << messages.texts().join(" | ").toStdString();
}

TEST_F(YearSwitchTest, AFailedSwitchLeavesTheProgramOnItsYearWhoeverIsLoggedIn)
{
    // A year file that is no database.
    QFile broken(DbWorkDir + YearFileName(QStringLiteral("2026")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(QByteArray(8192, 'x'));
    broken.close();

    const Place before = Current();
    for (const std::int16_t access : {std::int16_t(0), std::int16_t(9)}) {
        messages.clear();
        CurrentUserAccess = access;  // 9: the built-in accounts, which a failed opening used to end
        EXPECT_FALSE(SwitchFiscalYear(QStringLiteral("2026"), true));
        ExpectOn(before, year->path());
        EXPECT_FALSE(DM->ProgramEndRequested());
        EXPECT_EQ(messages.texts(),
                  QStringList{QStringLiteral("Impossible de changer l'exercice ! Il n'est, peut être, pas initialisé.\r"
                                             "Vous remis à l'exercice 2024")});
    }
    EXPECT_EQ(rows::Scalar(QStringLiteral("SELECT COUNT(*) FROM T_USERS")), 1);
}

TEST_F(YearSwitchTest, InServerModeAMissingYearIsNeverMade)
{
    // A server that does not answer: the year cannot be reached, nor made.
    ServerAddress = QStringLiteral("127.0.0.1/1");
    const Place before = Current();
    EXPECT_FALSE(SwitchFiscalYear(QStringLiteral("2027"), true));
    ExpectOn(before, year->path());
    EXPECT_FALSE(QFile::exists(DbWorkDir + YearFileName(QStringLiteral("2027"))));
    EXPECT_EQ(messages.calls().size(), 1);
}

TEST_F(YearSwitchTest, AFailedMoveOfTheConnectionReopensThePreviousDatabase)
{
    const Place before = Current();
    EXPECT_FALSE(MoveConnection(programFolder.path() + QStringLiteral("/KIV_DB_2024.FDB")));
    ExpectOn(before, year->path());
    // The move never makes a database.
    EXPECT_FALSE(QFile::exists(programFolder.path() + QStringLiteral("/KIV_DB_2024.FDB")));

    ASSERT_TRUE(QFile::copy(year->path(), programFolder.path() + QStringLiteral("/KIV_DB_2024.FDB")));
    const QString moved = programFolder.path() + QStringLiteral("/KIV_DB_2024.FDB");
    EXPECT_TRUE(MoveConnection(moved));
    ExpectOn({moved, before.year, before.fileName}, moved);
}

} // namespace

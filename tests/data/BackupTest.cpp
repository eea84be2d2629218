// Backup and restore of the open year with the engine's real backup tool on
// real year files: a backup only replaces the day's earlier one once it is
// whole; a restore only replaces the year once the backup is known good, and
// whatever fails leaves the year's file as it was, open, and says why.
#include "core/GlobalState.h"
#include "data/Backup.h"
#include "data/UDM.h"
#include "common/BackupFixture.h"
#include "common/MessageRecorder.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>

namespace {

QByteArray Digest(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// Runs a job to its end; false when it did not end within a minute.
template <typename Job>
bool RunToEnd(Job& job)
{
    QSignalSpy finished(&job, &Job::Finished);
    job.Start();
    return !finished.isEmpty() || finished.wait(60000);
}

class BackupTest : public BackupYearTest {
protected:

    // A good backup of the year as it stands.
    QString MakeBackup()
    {
        const QString file = BackupFilePath(backups.path(), QDate::currentDate());
        TBackupJob job(file);
        EXPECT_TRUE(RunToEnd(job));
        EXPECT_TRUE(job.Outcome().ok) << job.Outcome().message.toStdString();
        return file;
    }

    // Restores `file` and checks that the year was left exactly as it was.
    void ExpectRefused(const QString& file, const QString& why)
    {
        const QByteArray before = Digest(year->path());
        ASSERT_FALSE(before.isEmpty());
        TRestoreJob job(file);
        ASSERT_TRUE(RunToEnd(job)) << "the restore never ended";
        EXPECT_FALSE(job.Outcome().ok);
        EXPECT_TRUE(job.Outcome().message.startsWith(QStringLiteral("La restauration a échoué : ")))
            << job.Outcome().message.toStdString();
        EXPECT_TRUE(job.Outcome().message.contains(why)) << job.Outcome().message.toStdString();
        EXPECT_TRUE(job.Outcome().message.contains(QStringLiteral("n'a pas été modifiée")));
        EXPECT_EQ(Digest(year->path()), before);
        EXPECT_TRUE(DM->LURDO.isOpen());
        EXPECT_EQ(DM->LURDO.params().path, year->path());
        EXPECT_FALSE(QFile::exists(TRestoreJob::RestoredFilePath(year->path())));
        EXPECT_EQ(rows::Scalar(QStringLiteral("SELECT COUNT(*) FROM T_USERS")), 1);
    }

    MessageRecorder messages;
};

TEST_F(BackupTest, ABackupIsWrittenWholeOrNotAtAllAndAFailureKeepsTheDaysEarlierOne)
{
    const QString file = MakeBackup();
    EXPECT_TRUE(file.endsWith(QStringLiteral("VOREL_2024_%1.Fbk")
                                  .arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd")))));
    EXPECT_GT(QFileInfo(file).size(), 0);
    EXPECT_FALSE(QFile::exists(file + QStringLiteral(".part")));
    EXPECT_TRUE(DM->LURDO.isOpen());
    const QByteArray first = Digest(file);

    // A second backup that cannot be written (its working file is a folder):
    // told, and the first one kept as it was.
    ASSERT_TRUE(QDir().mkpath(file + QStringLiteral(".part")));
    TBackupJob failing(file);
    ASSERT_TRUE(RunToEnd(failing));
    EXPECT_FALSE(failing.Outcome().ok);
    EXPECT_TRUE(failing.Outcome().message.startsWith(QStringLiteral("La sauvegarde a échoué")));
    EXPECT_TRUE(failing.Outcome().message.contains(QStringLiteral("La sauvegarde précédente de ce jour est conservée.")));
    EXPECT_EQ(Digest(file), first);
    EXPECT_TRUE(DM->LURDO.isOpen());
    EXPECT_EQ(rows::Scalar(QStringLiteral("SELECT COUNT(*) FROM T_USERS")), 1);
    QDir(file + QStringLiteral(".part")).removeRecursively();

    // A backup path keeps its case: nothing is upper-cased on the way.
    QDir(backups.path()).mkpath(QStringLiteral("Sauvegardes"));
    TBackupJob mixedCase(BackupFilePath(backups.path() + QStringLiteral("/Sauvegardes"), QDate(2024, 3, 5)));
    ASSERT_TRUE(RunToEnd(mixedCase));
    EXPECT_TRUE(mixedCase.Outcome().ok);
    EXPECT_TRUE(QFile::exists(backups.path() + QStringLiteral("/Sauvegardes/VOREL_2024_20240305.Fbk")));
}

TEST_F(BackupTest, AGoodBackupRestoresInPlaceOfTheYearKeptAside)
{
    const QString file = MakeBackup();
    rows::User(QStringLiteral("OMAR"));
    ASSERT_EQ(rows::Scalar(QStringLiteral("SELECT COUNT(*) FROM T_USERS")), 2);

    TRestoreJob job(file);
    ASSERT_TRUE(RunToEnd(job));
    ASSERT_TRUE(job.Outcome().ok) << job.Outcome().message.toStdString();
    EXPECT_TRUE(DM->LURDO.isOpen());
    EXPECT_EQ(DM->LURDO.params().path, year->path());
    EXPECT_EQ(rows::Scalar(QStringLiteral("SELECT COUNT(*) FROM T_USERS")), 1);
    EXPECT_FALSE(QFile::exists(TRestoreJob::RestoredFilePath(year->path())));

    // The year as it was before the restore is kept beside it, whole.
    const QString kept = job.Outcome().file;
    EXPECT_TRUE(kept.startsWith(year->path() + QStringLiteral(".before-restore-")));
    EXPECT_TRUE(job.Outcome().message.contains(kept));
    db::Connection before;
    before.open(db::ConnectParams{kept, DbUser, DbPassword});
    db::Query users(before, QStringLiteral("SELECT COUNT(*) FROM T_USERS"));
    users.open();
    EXPECT_EQ(db::toInt(users.at(0, 0)), 2);
}

TEST_F(BackupTest, AJunkATruncatedAMissingOrAForeignBackupLeavesTheYearUntouched)
{
    const QString good = MakeBackup();

    QFile junk(backups.filePath(QStringLiteral("junk.fbk")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("Ceci n'est pas une sauvegarde.\n");
    junk.close();
    ExpectRefused(junk.fileName(), QStringLiteral("n'est pas une sauvegarde complète"));

    // A backup cut short: the tool would ask for its next volume, and gets no answer.
    QFile whole(good);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    QFile truncated(backups.filePath(QStringLiteral("truncated.fbk")));
    ASSERT_TRUE(truncated.open(QIODevice::WriteOnly));
    truncated.write(whole.read(whole.size() * 2 / 3));
    truncated.close();
    ExpectRefused(truncated.fileName(), QStringLiteral("n'est pas une sauvegarde complète"));

    ExpectRefused(backups.filePath(QStringLiteral("absent.fbk")), QStringLiteral("introuvable"));

    // A backup of another database than a fiscal year.
    const QString otherDb = backups.filePath(QStringLiteral("other.fdb"));
    db::ConnectParams other{otherDb, DbUser, DbPassword};
    db::Connection::create(other);
    {
        db::Connection c;
        c.open(other);
        c.executeScript(QStringLiteral("CREATE TABLE T_USERS (ID_USER INTEGER); COMMIT;"
                                       "INSERT INTO T_USERS VALUES (1); COMMIT;"));
    }
    const QString foreign = backups.filePath(QStringLiteral("foreign.fbk"));
    {
        TGbakRun run;
        QSignalSpy finished(&run, &TGbakRun::Finished);
        run.Start(QStringLiteral("Sauvegarde"), {QStringLiteral("-b"), otherDb, foreign});
        ASSERT_TRUE(finished.wait(60000));
        ASSERT_TRUE(run.Succeeded()) << run.ReportTail().toStdString();
    }
    ExpectRefused(foreign, QStringLiteral("tables absentes"));
}

TEST_F(BackupTest, NoPasswordIsWrittenToDisk)
{
    const QString file = MakeBackup();
    TRestoreJob junk(backups.filePath(QStringLiteral("missing.fbk")));
    RunToEnd(junk);
    TRestoreJob job(file);
    ASSERT_TRUE(RunToEnd(job));

    // The log tells what ran, never the account's password; no script is left.
    ASSERT_TRUE(QFile::exists(BackupLogPath()));
    EXPECT_FALSE(QFile::exists(TempDir + QStringLiteral("IBGBAK.BAT")));
    const QByteArray password = DbPassword.toUtf8();
    for (const QString& folder : {TempDir, backups.path(), year->dir()}) {
        QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.endsWith(QStringLiteral(".fbk"), Qt::CaseInsensitive) || path.contains(QStringLiteral(".FDB")))
                continue;
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            EXPECT_FALSE(f.readAll().contains(password)) << path.toStdString();
        }
    }
}

const char* const KilledRestoreFolder = "VOREL_KILLED_RESTORE_FOLDER";
const char* const KilledRestoreStep = "VOREL_KILLED_RESTORE_STEP";
const char* const KilledRestoreBackup = "VOREL_KILLED_RESTORE_BACKUP";

// Points the program's folders and year at `folder`, as a start there would.
void PointAt(const QString& folder)
{
    AppDir = folder;
    TempDir = folder + QStringLiteral("Temp/");
    QDir().mkpath(TempDir);
    IniPath = folder + QStringLiteral("VOREL.INI");
    FiscalYear = QStringLiteral("2024");
    DbWorkDir = folder;
    DbFileName = QStringLiteral("KIV_DB_2024.FDB");
    DbPath = folder + DbFileName;
    DbUser = QStringLiteral("SYSDBA");
    DbPassword = DefaultDbPassword();
    ServerAddress.clear();
}

// The child's role: the program opens the year in the given folder and
// restores the given backup; at the given moment it is killed (SIGKILL: no
// clean-up of any kind runs).
void RestoreUntilKilled()
{
    PointAt(qEnvironmentVariable(KilledRestoreFolder));
    const int stopAt = qEnvironmentVariableIntValue(KilledRestoreStep);
    DM = new TDM();
    ASSERT_TRUE(DM->LURDO.isOpen());
    SetRestoreStepObserver([stopAt](RestoreStep step) {
        if (int(step) == stopAt)
            std::raise(SIGKILL);
    });
    TRestoreJob job(qEnvironmentVariable(KilledRestoreBackup));
    RunToEnd(job);
    std::printf("NOT KILLED: %s\n", qPrintable(job.Outcome().message));
}

// Whatever moment a restore is killed at, the year's file is there under its
// name: the next start opens the year with its books, the old ones up to the
// moment the restored file took the year's name, the restored ones after it,
// and asks nothing.
TEST_F(BackupTest, ARestoreKilledAtAnyStepLeavesTheYearThatTheNextStartOpens)
{
    if (qEnvironmentVariableIsSet(KilledRestoreFolder)) {
        RestoreUntilKilled();
        return;
    }
    const QString backup = MakeBackup();   // the books with one user
    rows::User(QStringLiteral("OMAR"));    // the year's books: two users
    delete DM;
    DM = nullptr;

    struct Case {
        const char* what;
        RestoreStep step;
        qint64 users;
    };
    const Case cases[] = {
        {"killed once the backup is restored beside the year", RestoreStep::RestoredWritten, 2},
        {"killed once the year is closed", RestoreStep::YearClosed, 2},
        {"killed once the old year is kept under its second name", RestoreStep::OldYearKept, 2},
        {"killed once the restored year took the year's name", RestoreStep::RestoredMovedIn, 1},
        {"killed once the restored year is open", RestoreStep::Reopened, 1},
    };
    const QString saved[] = {AppDir, TempDir, IniPath, DbWorkDir, DbPath};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        QTemporaryDir root;
        const QString folder = root.path() + QLatin1Char('/');
        const QString live = folder + QStringLiteral("KIV_DB_2024.FDB");
        ASSERT_TRUE(QFile::copy(year->path(), live));

        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(KilledRestoreFolder), folder);
        env.insert(QString::fromLatin1(KilledRestoreStep), QString::number(int(k.step)));
        env.insert(QString::fromLatin1(KilledRestoreBackup), backup);
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=BackupTest.ARestoreKilledAtAnyStepLeavesTheYearThatTheNextStartOpens")});
        ASSERT_TRUE(child.waitForFinished(120000));
        const QByteArray output = child.readAll();
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << output.toStdString();

        // The next start on that folder.
        PointAt(folder);
        MessageRecorder asked;
        {
            TDM next;
            ASSERT_TRUE(next.LURDO.isOpen()) << asked.texts().join(" | ").toStdString();
            EXPECT_TRUE(asked.calls().isEmpty()) << asked.texts().join(" | ").toStdString();
            db::Query users(next.LURDO, QStringLiteral("SELECT COUNT(*) FROM T_USERS"));
            users.open();
            EXPECT_EQ(db::toInt(users.at(0, 0)), k.users);
        }
        AppDir = saved[0];
        TempDir = saved[1];
        IniPath = saved[2];
        DbWorkDir = saved[3];
        DbPath = saved[4];
    }
}

TEST(BackupNames, TheYearOfABackupComesFromItsName)
{
    EXPECT_EQ(BackupFileYear(QStringLiteral("/b/VOREL_2012_20120305.Fbk")), QStringLiteral("2012"));
    EXPECT_EQ(BackupFileYear(QStringLiteral("/b/vorel_2011_20120305.FBK")), QStringLiteral("2011"));
    EXPECT_EQ(BackupFileYear(QStringLiteral("/b/copie.fbk")), QString());
    EXPECT_EQ(BackupFileYear(QStringLiteral("/b/VOREL_2012_2012.fbk")), QString());
}

} // namespace

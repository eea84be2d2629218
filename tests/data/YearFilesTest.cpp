// Year files under what happens outside the program: a creation stopped
// midway (a kill, a power cut), the files of the earlier Windows program (no
// default character set, Windows code-page text), a year file that another
// program holds open, and the limit of the SMALLINT keys.
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "data/Progress.h"
#include "data/UDM.h"
#include "data/YearCreation.h"
#include "common/Isql.h"
#include "common/MessageRecorder.h"
#include "common/YearDb.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

using db::Query;

namespace {

qint64 scalar(db::Connection& conn, const QString& sql)
{
    Query q(conn, sql);
    q.open();
    return q.isEmpty() ? -1 : db::toInt(q.at(0, 0));
}

QString text(db::Connection& conn, const QString& sql)
{
    Query q(conn, sql);
    q.open();
    return q.isEmpty() ? QStringLiteral("<none>") : db::toText(q.at(0, 0));
}

// A previous year with reference rows in the copied tables and an expense,
// which seeding never copies; made once per process, copied for each use.
void makePreviousYear(const QString& path)
{
    static QTemporaryDir dir;
    static const QString made = [] {
        const QString file = dir.filePath(QStringLiteral("previous.fdb"));
        db::ConnectParams p{file, QStringLiteral("SYSDBA"), DefaultDbPassword()};
        db::Connection::create(p);
        db::Connection c;
        c.open(p);
        c.executeScript(SchemaScript());
        c.commit();
        c.executeScript(QStringLiteral(
            "INSERT INTO BANQUE (RS, DIMINUTIF) VALUES ('Banque', 'B');"
            "INSERT INTO BENEF (TYPE_BEN, NOM, ID_BANQUE) VALUES (0, 'Fournisseur', 1);"
            "INSERT INTO FNM (CHAP, ART, PAR, INTITULE, RECTORAT, SECTION, MT_BP) VALUES ('21-05', '01', '', 'Ligne', 0, 1, 500);"
            "INSERT INTO T_USERS (USER_ID, PW, ACCESS, NOM) VALUES ('ALI', 'x', 1, 'Ali');"
            "INSERT INTO DEPENSE (ID_DEPENSE, TYPE_DEPENSE, ID_BEN, MONTANT) VALUES (1, 0, 1, 5);"
            "COMMIT;"));
        c.close();
        return file;
    }();
    ASSERT_TRUE(QFile::copy(made, path));
    QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

// A progress display that calls `onEvent` with the number of each start and
// step of the displays made while it is installed (1, 2, ...).
class EventDisplay final : public ProgressDisplay {
public:
    explicit EventDisplay(std::function<void()> onEvent) : m_onEvent(std::move(onEvent)) {}
    void start(const QString&, int) override { m_onEvent(); }
    void step() override { m_onEvent(); }

private:
    std::function<void()> m_onEvent;
};

class InstalledDisplay {
public:
    explicit InstalledDisplay(std::function<void(int)> onEvent)
    {
        SetProgressDisplayFactory([this, onEvent] {
            return std::make_unique<EventDisplay>([this, onEvent] { onEvent(++m_events); });
        });
    }
    ~InstalledDisplay() { SetProgressDisplayFactory(nullptr); }

private:
    int m_events = 0;
};

// A creation lock left by a run that died: its process is gone.
void writeStaleLock(const QString& lockPath)
{
    QProcess gone;
    gone.start(QStringLiteral("true"));
    ASSERT_TRUE(gone.waitForStarted(10000));
    const qint64 pid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished(10000));
    ASSERT_GT(pid, 0);
    QFile lock(lockPath);
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(pid) + "\n" + QCoreApplication::applicationName().toUtf8() + "\n"
               + QSysInfo::machineHostName().toUtf8() + "\n");
}

} // namespace

// The program is stopped at moments of the creation of a year (the display's
// events: 1 the creation's window, 2 the seeding's window, then one per copied
// table slot): what was on disk at that moment stays behind, as after a kill.
// The next start removes it and makes the year whole.
TEST(YearCreation, AStopMidwayLeavesNothingThatTheNextStartDoesNotRepair)
{
    struct Case {
        const char* what;
        int stopAt;
    };
    const Case cases[] = {
        {"stopped when the seeding starts", 2},
        {"stopped after a few tables", 6},
        {"stopped after the last table, before the commit", 22},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        YearDb year({QStringLiteral("2024"), false});
        makePreviousYear(AppDir + QStringLiteral("KIV_DB_2023.FDB"));
        const QString unfinished = UnfinishedYearPath(DbPath);
        const QString onDisk = year.dir() + QStringLiteral("on-disk-at-the-stop");
        {
            MessageRecorder messages;
            InstalledDisplay stop([&](int event) {
                if (event != k.stopAt)
                    return;
                ASSERT_TRUE(QFile::copy(unfinished, onDisk));
                throw std::runtime_error("stopped");
            });
            DM = new TDM();
            EXPECT_FALSE(DM->LURDO.isOpen());
            EXPECT_EQ(messages.texts(),
                      QStringList{QStringLiteral("Impossible de se connecter à la base de données ") + DbPath});
            delete DM;
            DM = nullptr;
        }
        EXPECT_FALSE(QFile::exists(DbPath));
        // The disk as the stop left it: the half-made file and the dead run's lock.
        ASSERT_TRUE(QFile::rename(onDisk, unfinished));
        writeStaleLock(DbPath + QStringLiteral(".lock"));

        MessageRecorder messages;
        DM = new TDM();
        ASSERT_TRUE(DM->LURDO.isOpen());
        EXPECT_TRUE(messages.calls().isEmpty()) << messages.texts().join(" | ").toStdString();
        EXPECT_FALSE(QFile::exists(unfinished));
        EXPECT_FALSE(QFile::exists(DbPath + QStringLiteral(".lock")));
        EXPECT_EQ(scalar(DM->LURDO, QStringLiteral("SELECT COUNT(*) FROM BENEF WHERE NOM='Fournisseur'")), 1);
        EXPECT_EQ(scalar(DM->LURDO, QStringLiteral("SELECT COUNT(*) FROM FNM WHERE MT_BP=0")), 1);
        EXPECT_EQ(scalar(DM->LURDO, QStringLiteral("SELECT COUNT(*) FROM T_USERS")), 1);
        EXPECT_EQ(scalar(DM->LURDO, QStringLiteral("SELECT COUNT(*) FROM DEPENSE")), 0);
        EXPECT_EQ(QDir(year.dir()).entryList({QStringLiteral("KIV_DB_2024*")}, QDir::Files),
                  QStringList{QStringLiteral("KIV_DB_2024.FDB")});
    }
}

// Another run of the program finished the same year while this one was
// seeding it: its file stays as it is, this run's half is dropped.
TEST(YearCreation, AYearFileThatExistsIsNeverOverwritten)
{
    YearDb year({QStringLiteral("2024"), false});
    makePreviousYear(AppDir + QStringLiteral("KIV_DB_2023.FDB"));
    const QString otherRuns = year.dir() + QStringLiteral("made-by-another-run");
    makePreviousYear(otherRuns);
    MessageRecorder messages;
    {
        InstalledDisplay meanwhile([&](int event) {
            if (event == 5) {
                ASSERT_TRUE(QFile::copy(otherRuns, DbPath));
            }
        });
        DM = new TDM();
    }
    ASSERT_TRUE(DM->LURDO.isOpen());
    EXPECT_TRUE(messages.calls().isEmpty()) << messages.texts().join(" | ").toStdString();
    // An expense, which seeding never copies: the file opened is the other run's.
    EXPECT_EQ(scalar(DM->LURDO, QStringLiteral("SELECT COUNT(*) FROM DEPENSE")), 1);
    EXPECT_FALSE(QFile::exists(UnfinishedYearPath(DbPath)));
}

// The earlier Windows program's year files have no default character set and
// hold text in the Windows code page: opened, they read and write it as such;
// used as the previous year, the new year (UTF8) gets the same letters.
TEST(YearCreation, AYearFileOfTheWindowsProgramKeepsItsAccents)
{
    YearDb year({QStringLiteral("2024"), false});
    const QString previous = AppDir + QStringLiteral("KIV_DB_2023.FDB");
    MakeWindowsProgramYear(previous, "INSERT INTO BANQUE (RS, DIMINUTIF) VALUES ('Cr\xe9" "dit Populaire', 'CPA');\n"
                                     "INSERT INTO BENEF (TYPE_BEN, NOM, ID_BANQUE) VALUES (0, 'SOCI\xc9T\xc9 B\xc9JA\xcf" "A', 1);\n"
                                     "INSERT INTO OBS_SERVICE (CHAP, OBS_BP) VALUES ('21-05', 'Vu l''arr\xeat\xe9');\n");
    const QString seededYearPath = DbPath;

    // Opened as the year itself.
    FiscalYear = QStringLiteral("2023");
    DbPath = previous;
    MessageRecorder messages;
    DM = new TDM();
    ASSERT_TRUE(DM->LURDO.isOpen()) << messages.texts().join(" | ").toStdString();
    db::Connection& c = DM->LURDO;
    EXPECT_EQ(c.params().charset, QStringLiteral("WIN1252"));
    EXPECT_EQ(text(c, QStringLiteral("SELECT NOM FROM BENEF")), QStringLiteral("SOCIÉTÉ BÉJAÏA"));
    EXPECT_EQ(DM->Queries().GetServiceObservation(QStringLiteral("OBS_BP"), QStringLiteral("21-05")),
              QStringLiteral("Vu l'arrêté"));
    Query write(c, QStringLiteral("UPDATE BENEF SET ADR=:ADR WHERE NOM=:NOM"));
    write.setParam("ADR", QStringLiteral("Cité Aïn Bénian"));
    write.setParam("NOM", QStringLiteral("SOCIÉTÉ BÉJAÏA"));
    write.exec();
    EXPECT_EQ(write.rowsAffected(), 1);
    ASSERT_TRUE(DM->CommitWork());
    Query bytes(c, QStringLiteral("SELECT CAST(ADR AS VARCHAR(150) CHARACTER SET OCTETS) FROM BENEF"));
    bytes.open();
    EXPECT_EQ(std::get<QByteArray>(bytes.at(0, 0)), QByteArray("Cit\xe9 A\xefn B\xe9nian"));
    delete DM;
    DM = nullptr;

    // Used as the previous year of a new one.
    FiscalYear = QStringLiteral("2024");
    DbPath = seededYearPath;
    DM = new TDM();
    ASSERT_TRUE(DM->LURDO.isOpen()) << messages.texts().join(" | ").toStdString();
    EXPECT_TRUE(messages.calls().isEmpty()) << messages.texts().join(" | ").toStdString();
    db::Connection& n = DM->LURDO;
    EXPECT_EQ(n.params().charset, QStringLiteral("UTF8"));
    EXPECT_EQ(text(n, QStringLiteral("SELECT TRIM(RDB$CHARACTER_SET_NAME) FROM RDB$DATABASE")), QStringLiteral("UTF8"));
    EXPECT_EQ(text(n, QStringLiteral("SELECT NOM FROM BENEF")), QStringLiteral("SOCIÉTÉ BÉJAÏA"));
    EXPECT_EQ(text(n, QStringLiteral("SELECT ADR FROM BENEF")), QStringLiteral("Cité Aïn Bénian"));
    EXPECT_EQ(text(n, QStringLiteral("SELECT RS FROM BANQUE")), QStringLiteral("Crédit Populaire"));
    EXPECT_EQ(text(n, QStringLiteral("SELECT OBS_BP FROM OBS_SERVICE")), QStringLiteral("Vu l'arrêté"));
}

// A year file another program holds (a second start of the program, for
// instance) cannot be opened by the embedded engine: the user is told why.
TEST(YearCreation, AYearFileInUseByAnotherProgramIsSaidSo)
{
    YearDb year;
    delete DM;
    DM = nullptr;
    IsqlSession other(DbPath);
    ASSERT_TRUE(other.attached()) << other.error().toStdString();

    MessageRecorder messages;
    DM = new TDM();
    EXPECT_FALSE(DM->LURDO.isOpen());
    EXPECT_EQ(messages.texts(),
              QStringList{QStringLiteral("La base de données de l'exercice 2024 est utilisée par un autre programme "
                                         "sur cet ordinateur (le programme est peut-être déjà ouvert).\r")
                          + DbPath});
    EXPECT_TRUE(DM->ProgramEndRequested());
    EXPECT_TRUE(QFile::exists(DbPath));
    delete DM;
    DM = nullptr;

    other.quit();
    messages.clear();
    DM = new TDM();
    EXPECT_TRUE(DM->LURDO.isOpen());
    EXPECT_TRUE(messages.calls().isEmpty()) << messages.texts().join(" | ").toStdString();
}

// Document keys are SMALLINT: the last key is given, the next one refused
// with a French message before anything uses it.
TEST(YearCreation, KeysPastTheSmallIntLimitAreRefused)
{
    YearDb year;
    db::Connection& c = DM->LURDO;
    struct Case {
        const char* generator;
        const char* message;
    };
    const Case cases[] = {
        {"GEN_DEPENSE_ID", "Le nombre maximal de dépenses d'un exercice (32 767) est atteint : impossible d'en "
                           "ajouter.\rRien n'a été enregistré."},
        {"GEN_ENGAGEMENT_ID", "Le nombre maximal de fiches d'engagement et de régularisation d'un exercice (32 767) "
                              "est atteint : impossible d'en ajouter.\rRien n'a été enregistré."},
        {"GEN_MDT", "Le nombre maximal de mandats d'un exercice (32 767) est atteint : impossible d'en "
                    "ajouter.\rRien n'a été enregistré."},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.generator);
        const QString generator = QString::fromLatin1(k.generator);
        c.execute(QStringLiteral("SET GENERATOR %1 TO 32766").arg(generator));
        c.commit();
        MessageRecorder messages;
        EXPECT_EQ(DM->NextKey(generator), 32767);
        EXPECT_THROW(DM->NextKey(generator), EAbort); // the handler is abandoned silently
        EXPECT_EQ(messages.texts(), QStringList{QString::fromUtf8(k.message)});
    }
}

// A year file missing beside what a restore left (a restore of an earlier
// version killed between its two renames, or a year file removed by hand) is
// never replaced by an empty year: the start says what it found and offers to
// put back the restored year, then the year as it was before the restore.
TEST(YearCreation, AYearMissingBesideARestoresFilesIsOfferedBackNeverMadeEmpty)
{
    struct Case {
        const char* what;
        bool wholeRestored;        // the restored file is a whole year (else a restore cut short)
        QList<int> answers;        // to the questions, in turn
        int questions;
        qint64 users;              // the year opened: its users; -1 none opened
    };
    const Case cases[] = {
        {"the restored year is put in place", true, {mrYes}, 1, 1},
        {"the year before the restore is put back", true, {mrNo, mrYes}, 2, 2},
        {"a restore cut short is not offered", false, {mrYes}, 1, 2},
        {"nothing put back: nothing made", true, {mrNo, mrNo}, 2, -1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        YearDb year;
        // The books before the restore: two users; those restored: one.
        db::Query user(DM->LURDO, QStringLiteral("INSERT INTO T_USERS (USER_ID, PW, ACCESS, NOM) VALUES (:U, 'x', 1, :U)"));
        user.setParam(QStringLiteral("U"), QStringLiteral("ALI"));
        user.exec();
        ASSERT_TRUE(DM->CommitWork());
        const QString restored = DbPath + QStringLiteral(".restore");
        delete DM;
        DM = nullptr;
        if (k.wholeRestored) {
            ASSERT_TRUE(QFile::copy(DbPath, restored));
        } else {
            QFile cut(restored);
            ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
            cut.write(QByteArray(4096, '\0'));
        }
        {
            db::Connection c;
            c.open(year.params());
            c.execute(QStringLiteral("INSERT INTO T_USERS (USER_ID, PW, ACCESS, NOM) VALUES ('OMAR', 'x', 1, 'Omar')"));
            c.commit();
        }
        const QString older = DbPath + QStringLiteral(".before-restore-20240301-080000");
        const QString kept = DbPath + QStringLiteral(".before-restore-20240302-090000");
        ASSERT_TRUE(QFile::copy(DbPath, older));
        ASSERT_TRUE(QFile::rename(DbPath, kept));

        MessageRecorder messages;
        for (int answer : k.answers)
            messages.answer(answer);
        DM = new TDM();
        const QStringList texts = messages.texts();
        ASSERT_GE(texts.size(), k.questions);
        const QString found = QStringLiteral("La base de données de l'exercice 2024 est introuvable :\r") + DbPath
                              + QStringLiteral("\r\rUne restauration interrompue a laissé à côté :\r") + restored
                              + (k.wholeRestored ? QStringLiteral(" (la base restaurée)")
                                                 : QStringLiteral(" (une restauration inachevée)"))
                              + QStringLiteral("\r") + kept + QStringLiteral(" (l'exercice avant une restauration)\r")
                              + older + QStringLiteral(" (l'exercice avant une restauration)\r\r");
        for (int i = 0; i < k.questions; ++i) {
            EXPECT_TRUE(texts[i].startsWith(found)) << texts[i].toStdString();
            EXPECT_EQ(messages.calls()[i].type, int(mtConfirmation));
        }
        const QString putBack = QStringLiteral("Remettre en place l'exercice tel qu'il était avant la restauration :\r")
                                + kept + QStringLiteral(" ?");
        EXPECT_EQ(texts[k.questions - 1].endsWith(putBack), k.users != 1) << texts[k.questions - 1].toStdString();
        if (k.users < 0) {
            EXPECT_FALSE(DM->LURDO.isOpen());
            EXPECT_FALSE(QFile::exists(DbPath));
            EXPECT_EQ(texts.mid(k.questions),
                      QStringList{QStringLiteral("Impossible de se connecter à la base de données ") + DbPath});
            EXPECT_TRUE(QFile::exists(restored));
            EXPECT_TRUE(QFile::exists(kept));
        } else {
            ASSERT_TRUE(DM->LURDO.isOpen());
            EXPECT_EQ(texts.size(), k.questions) << texts.join(" | ").toStdString();
            EXPECT_EQ(scalar(DM->LURDO, QStringLiteral("SELECT COUNT(*) FROM T_USERS")), k.users);
        }
        EXPECT_TRUE(QFile::exists(older));
        delete DM;
        DM = nullptr;
    }
}

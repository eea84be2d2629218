// The data module on the real embedded engine: creating and seeding a missing
// year, the indexes added at opening, the commit routine, and the shared
// questions about budget lines and documents.
#include "core/GlobalState.h"
#include "data/NumberSeries.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"
#include "data/YearCreation.h"
#include "common/MessageRecorder.h"
#include "common/YearDb.h"

#include <QFile>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using db::Query;

namespace {

QString schema()
{
    QFile f(QStringLiteral(":/schema/schema.sql"));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return QString::fromUtf8(f.readAll());
}

db::ConnectParams paramsOf(const QString& path)
{
    db::ConnectParams p;
    p.path = path;
    p.password = DefaultDbPassword();
    return p;
}

qint64 scalar(db::Connection& conn, const QString& sql)
{
    Query q(conn, sql);
    q.open();
    return q.isEmpty() ? -1 : db::toInt(q.at(0, 0));
}

bool indexExists(db::Connection& conn, const char* name)
{
    return scalar(conn, QStringLiteral("SELECT COUNT(*) FROM RDB$INDICES WHERE RDB$INDEX_NAME='%1'")
                            .arg(QLatin1String(name))) == 1;
}

// A previous year's database whose reference rows carry keys with gaps, out
// of order, and cross references between the tables.
void makePreviousYear(const QString& path)
{
    db::Connection::create(paramsOf(path));
    db::Connection c;
    c.open(paramsOf(path));
    c.executeScript(schema());
    c.commit();
    // Rows written over the years keep keys the triggers would not give today.
    for (const char* trigger : {"AGENCE_BI", "BANQUE_BI0", "SET_ID_BENEF", "FNM_BI0", "FWIL_BI0", "GRADE_BI",
                                "RAPPORT_BI", "T_SECUR_BI", "T_USERS_BI"})
        c.execute(QStringLiteral("ALTER TRIGGER %1 INACTIVE").arg(QLatin1String(trigger)));
    c.commit();
    c.executeScript(QStringLiteral(
        "INSERT INTO AGENCE (ID_AGENCE, LIBELLE) VALUES (5, 'Agence cinq');"
        "INSERT INTO AGENCE (ID_AGENCE, LIBELLE) VALUES (2, 'Agence deux');"
        "INSERT INTO BANQUE (ID_BANQUE, RS, DIMINUTIF) VALUES (7, 'Banque sept', 'B7');"
        "INSERT INTO BANQUE (ID_BANQUE, RS, DIMINUTIF) VALUES (3, 'Banque trois', 'B3');"
        "INSERT INTO BENEF (ID_BEN, TYPE_BEN, NOM, ID_BANQUE, ID_AGENCE, COMPTE) VALUES (10, 0, 'Fournisseur', 7, 5, '0042');"
        "INSERT INTO FAC (ID_FAC, LIBELLE) VALUES (1, 'Faculté');"
        "INSERT INTO FNM (ID_FNM, CHAP, ART, PAR, INTITULE, RECTORAT, SECTION, MT_BP, MT_REGIE, NO_DEC_BP, DATE_BP,"
        " MT_BS, NO_DEC_BS, DATE_BS, RESTE) VALUES (9, '21-05', '01', '', 'Ligne neuf', 0, 1, 1000, 100, 'D1',"
        " '2023-01-10', 500, 'D2', '2023-06-01', 42);"
        "INSERT INTO FNM (ID_FNM, CHAP, ART, PAR, INTITULE, RECTORAT, SECTION) VALUES (4, '21-05', '', '', 'Chapitre', 0, 1);"
        "INSERT INTO FWIL (ID_WIL, LIBELLE) VALUES (48, 'Relizane');"
        "INSERT INTO GRADE (ID_GRADE, LIBELLE) VALUES (12, 'Maître');"
        "INSERT INTO INTERCAL (LIBELLE) VALUES ('Intercalaire');"
        "INSERT INTO OBS_SERVICE (CHAP, OBS_BP) VALUES ('21-05', 'Observation');"
        "INSERT INTO REPORT (MODELE, REPORTNAME, COMPNAME, PLEFT) VALUES (1, 'Mandat', 'lNum', 15);"
        "INSERT INTO T_USERS (ID_USER, USER_ID, PW, ACCESS, NOM) VALUES (6, 'ALI', 'x', 1, 'Ali');"
        "INSERT INTO T_SECUR (ID_SECUR, ID_USER, OBJECT_NAME, TYPE_ACCES, TV_LEVEL, NB_CHILD) VALUES (11, 6, 'MNBENEF', 2, 1, 0);"
        "INSERT INTO RAPPORT (ID_RAPPORT, TITRE) VALUES (8, 'Rapport');"
        "INSERT INTO DEPENSE (ID_DEPENSE, TYPE_DEPENSE, ID_BEN, MONTANT) VALUES (1, 0, 10, 5);"
        "INSERT INTO FRET (ID_RETENUE, LIBELLE) VALUES (1, 'IRG');"
        "COMMIT;"));
    c.close();
}

TEST(DataModuleLifecycle, AMissingYearIsCreatedAndSeededWithItsKeysKept)
{
    YearDb year({QStringLiteral("2024"), false});
    makePreviousYear(AppDir + QStringLiteral("KIV_DB_2023.FDB"));
    MessageRecorder messages;
    DM = new TDM();
    ASSERT_TRUE(DM->LURDO.isOpen());
    EXPECT_TRUE(messages.calls().isEmpty()) << messages.texts().join(" | ").toStdString();
    EXPECT_FALSE(DM->ProgramEndRequested());
    EXPECT_TRUE(QFile::exists(year.dir() + QStringLiteral("KIV_DB_2024.FDB")));

    db::Connection& c = DM->LURDO;
    struct Case { const char* sql; qint64 expected; };
    const Case cases[] = {
        // keys and cross references as in the previous year
        {"SELECT COUNT(*) FROM BENEF WHERE ID_BEN=10 AND ID_BANQUE=7 AND ID_AGENCE=5", 1},
        {"SELECT COUNT(*) FROM BANQUE WHERE (ID_BANQUE=7 AND DIMINUTIF='B7') OR (ID_BANQUE=3 AND DIMINUTIF='B3')", 2},
        {"SELECT COUNT(*) FROM AGENCE WHERE (ID_AGENCE=5 AND LIBELLE='Agence cinq') OR ID_AGENCE=2", 2},
        {"SELECT COUNT(*) FROM T_SECUR S JOIN T_USERS U ON U.ID_USER=S.ID_USER WHERE S.ID_SECUR=11 AND U.USER_ID='ALI'", 1},
        {"SELECT COUNT(*) FROM FNM WHERE ID_FNM IN (4, 9)", 2},
        {"SELECT ID_WIL FROM FWIL", 48},
        {"SELECT ID_GRADE FROM GRADE", 12},
        {"SELECT ID_RAPPORT FROM RAPPORT", 8},
        {"SELECT COUNT(*) FROM FAC", 1},
        {"SELECT COUNT(*) FROM INTERCAL", 1},
        {"SELECT COUNT(*) FROM OBS_SERVICE", 1},
        {"SELECT PLEFT FROM REPORT", 15},
        // budget amounts cleared
        {"SELECT COUNT(*) FROM FNM WHERE MT_BP=0 AND MT_REGIE=0 AND MT_BS=0 AND RESTE=0 AND NO_DEC_BP='' AND NO_DEC_BS=''"
         " AND DATE_BP IS NULL AND DATE_BS IS NULL", 2},
        // the year's own data and the tables outside the list are not copied
        {"SELECT COUNT(*) FROM DEPENSE", 0},
        {"SELECT COUNT(*) FROM FRET", 0},
    };
    for (const Case& k : cases)
        EXPECT_EQ(scalar(c, QString::fromUtf8(k.sql)), k.expected) << k.sql;

    // The generators stand past the copied keys: new rows never take an old key.
    Query bank(c, QStringLiteral("INSERT INTO BANQUE (ID_BANQUE, RS) VALUES (0, 'Nouvelle')"));
    bank.exec();
    EXPECT_EQ(scalar(c, QStringLiteral("SELECT ID_BANQUE FROM BANQUE WHERE RS='Nouvelle'")), 8);
    EXPECT_EQ(DM->NextGeneratorValue(QStringLiteral("GEN_BENEF")), 11);
    EXPECT_EQ(DM->NextGeneratorValue(QStringLiteral("GEN_T_USERS_ID")), 7);
    EXPECT_EQ(DM->NextGeneratorValue(QStringLiteral("GEN_AGENCE_ID")), 6);
    EXPECT_EQ(DM->NextGeneratorValue(QStringLiteral("GEN_FRET_ID")), 1);
    EXPECT_TRUE(indexExists(c, "DET_MDT_IDX1"));
    EXPECT_TRUE(indexExists(c, "ENT_ENG_IDX1"));
    EXPECT_TRUE(DM->CommitWork());

    // A second start on the same year opens it as it is: no second seeding.
    delete DM;
    {
        db::Connection prev;
        prev.open(paramsOf(AppDir + QStringLiteral("KIV_DB_2023.FDB")));
        prev.execute(QStringLiteral("INSERT INTO FAC (ID_FAC, LIBELLE) VALUES (2, 'Autre')"));
        prev.commit();
    }
    DM = new TDM();
    ASSERT_TRUE(DM->LURDO.isOpen());
    EXPECT_TRUE(messages.calls().isEmpty());
    EXPECT_EQ(scalar(DM->LURDO, QStringLiteral("SELECT COUNT(*) FROM FAC")), 1);
    EXPECT_EQ(scalar(DM->LURDO, QStringLiteral("SELECT COUNT(*) FROM BANQUE")), 3);
}

TEST(DataModuleLifecycle, AFailedSeedingLeavesNoHalfMadeYear)
{
    struct Case {
        const char* what;
        void (*spoil)(const QString& previous);
    };
    const Case cases[] = {
        {"previous year unreadable", [](const QString& previous) {
             QFile f(previous);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.write(QByteArray(8192, 'x'));
         }},
        {"copy failing after some tables", [](const QString& previous) {
             makePreviousYear(previous);
             db::Connection c;
             c.open(paramsOf(previous));
             c.execute(QStringLiteral("ALTER TABLE FWIL ADD EXTRA INTEGER"));
             c.commit();
         }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        YearDb year({QStringLiteral("2024"), false});
        k.spoil(AppDir + QStringLiteral("KIV_DB_2023.FDB"));
        MessageRecorder messages;
        DM = new TDM();
        EXPECT_FALSE(DM->LURDO.isOpen());
        EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Impossible de se connecter à la base de données ") + DbPath});
        EXPECT_TRUE(DM->ProgramEndRequested());
        EXPECT_FALSE(QFile::exists(DbPath));
    }
}

TEST(DataModuleLifecycle, AYearThatCannotBeCreatedIsReportedAndEndsTheProgram)
{
    YearDb year({QStringLiteral("2024"), false});
    DbPath = year.dir() + QStringLiteral("no/such/folder/KIV_DB_2024.FDB");
    MessageRecorder messages;
    DM = new TDM();
    EXPECT_FALSE(DM->LURDO.isOpen());
    ASSERT_EQ(messages.calls().size(), 1);
    EXPECT_TRUE(messages.calls()[0].standard); // the engine's own text in the standard error box
    EXPECT_FALSE(messages.calls()[0].text.isEmpty());
    EXPECT_TRUE(DM->ProgramEndRequested());
    EXPECT_FALSE(QFile::exists(DbPath));
}

TEST(DataModuleLifecycle, RemoteModeNeverCreatesAMissingYear)
{
    YearDb year({QStringLiteral("2024"), false});
    ServerAddress = QStringLiteral("127.0.0.1");
    DbPath = year.dir() + QStringLiteral("KIV_DB_2024.FDB"); // as a local path: it must not be created
    MessageRecorder messages;
    DM = new TDM();
    EXPECT_FALSE(DM->LURDO.isOpen());
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Impossible de se connecter à la base de données ") + DbPath});
    EXPECT_FALSE(QFile::exists(DbPath));
}

class DataModuleTest : public YearDbTest {};

TEST_F(DataModuleTest, OpeningAddsItsIndexesToAnOlderDatabaseOnce)
{
    const QStringList names = TDM::OpeningIndexNames();
    ASSERT_GE(names.size(), 2);
    EXPECT_EQ(names.mid(0, 2), (QStringList{QStringLiteral("ENT_ENG_IDX1"), QStringLiteral("DET_MDT_IDX1")}));
    for (const QString& name : names)
        DM->LURDO.execute(QStringLiteral("DROP INDEX ") + name);
    DM->LURDO.commit();
    delete DM;
    MessageRecorder messages;
    DM = new TDM();
    for (const QString& name : names)
        EXPECT_TRUE(indexExists(DM->LURDO, name.toUtf8().constData())) << name.toStdString();
    delete DM;
    DM = new TDM(); // indexes there already: silently nothing
    EXPECT_TRUE(DM->LURDO.isOpen());
    EXPECT_TRUE(messages.calls().isEmpty()) << messages.texts().join(" | ").toStdString();
}

// The series of numbers that saves lock: added to a year file that lacks
// them, once; locked by one save at a time.
TEST_F(DataModuleTest, OpeningAddsTheNumberSeriesThatSavesLock)
{
    const auto seriesRows = [] {
        db::Query q(DM->LURDO, QStringLiteral("SELECT ID_SERIE, SERIE FROM ") + NumberSeriesTable);
        q.open();
        QStringList out;
        for (int r = 0; r < q.rowCount(); ++r)
            out << db::toText(q.at(r, 0)) + QLatin1Char(' ') + db::toText(q.at(r, 1)).trimmed();
        return out;
    };
    const QStringList expected{QStringLiteral("1 ENT_MDT")};

    // A year file made before the series: the opening adds them, once.
    delete DM;
    DM = nullptr;
    {
        db::Connection older;
        older.open(year->params());
        older.execute(QStringLiteral("DROP TABLE ") + NumberSeriesTable);
        older.commit();
    }
    MessageRecorder messages;
    DM = new TDM();
    EXPECT_EQ(seriesRows(), expected);
    delete DM;
    DM = new TDM();
    EXPECT_EQ(seriesRows(), expected);
    EXPECT_TRUE(messages.calls().isEmpty()) << messages.texts().join(" | ").toStdString();

    // A save holds the series: another one is refused at once, as a change in
    // progress; once the first ends, the second locks it.
    db::Connection other;
    other.open(year->params());
    db::Query otherLock(other, QStringLiteral("SELECT ID_SERIE FROM ") + NumberSeriesTable
                                   + QStringLiteral(" WHERE ID_SERIE=1 WITH LOCK"));
    other.beginWrite();
    otherLock.open();
    try {
        TWriteGuard write;
        LockNumberSeries(NumberSeries::PaymentOrders);
        ADD_FAILURE() << "the series was locked twice";
    } catch (const db::DbError& e) {
        EXPECT_TRUE(e.isConflict()) << e.message().toStdString();
    }
    other.commit();
    TWriteGuard write;
    LockNumberSeries(NumberSeries::PaymentOrders);
    write.Commit();
}

// A user the engine does not let change the tables cannot create the missing
// indexes: the opening goes on, the user is told once which ones are missing,
// and those present are not named.
TEST_F(DataModuleTest, IndexesTheEngineRefusesAreNamedOnceAndTheOpeningGoesOn)
{
    for (const char* name : {"DEPENSE_IDX1", "DEPENSE_IDX2"})
        DM->LURDO.execute(QStringLiteral("DROP INDEX ") + QLatin1String(name));
    DM->LURDO.commit();
    delete DM;
    DM = nullptr;
    const QString savedUser = DbUser;
    DbUser = QStringLiteral("COMPTABLE");
    {
        MessageRecorder messages;
        DM = new TDM();
        EXPECT_TRUE(DM->LURDO.isOpen());
        EXPECT_FALSE(DM->ProgramEndRequested());
        // The indexes in one warning; this user may not read the series of
        // numbers either, which the opening says in a warning of its own.
        ASSERT_EQ(messages.calls().size(), 2) << messages.texts().join(" | ").toStdString();
        EXPECT_EQ(messages.calls()[0].type, int(mtWarning));
        EXPECT_TRUE(messages.texts()[1].startsWith(QStringLiteral("La table T_NUMEROTATION"))) << messages.texts()[1].toStdString();
        const QString text = messages.texts()[0];
        EXPECT_TRUE(text.startsWith(QStringLiteral("Les index DEPENSE_IDX1, DEPENSE_IDX2 n'ont pas pu être ajoutés à la "
                                                   "base de données : les listes et les documents qui s'en servent "
                                                   "seront lents.")))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("no permission"))) << text.toStdString();   // the engine's reason
        EXPECT_FALSE(indexExists(DM->LURDO, "DEPENSE_IDX1"));
        delete DM;
        DM = nullptr;
    }
    // The administrator's opening adds them, silently.
    DbUser = savedUser;
    MessageRecorder messages;
    DM = new TDM();
    EXPECT_TRUE(messages.calls().isEmpty()) << messages.texts().join(" | ").toStdString();
    EXPECT_TRUE(indexExists(DM->LURDO, "DEPENSE_IDX1"));
    EXPECT_TRUE(indexExists(DM->LURDO, "DEPENSE_IDX2"));
}

// Two programs open one year at the same moment: an index the other program
// is adding counts as present once it has made it, and is made by this one
// when the other's creation failed; neither is reported as missing.
TEST_F(DataModuleTest, AnIndexAnotherProgramAddsMeanwhileCountsAsPresent)
{
    for (const bool otherCommits : {true, false}) {
        SCOPED_TRACE(otherCommits ? "the other program makes it" : "the other program's creation fails");
        DM->LURDO.execute(QStringLiteral("DROP INDEX DEPENSE_IDX1"));
        DM->LURDO.commit();
        delete DM;
        DM = nullptr;

        // The other program's opening, between its statement and its commit.
        db::Connection other;
        other.open(year->params());
        other.execute(QStringLiteral("CREATE INDEX \"DEPENSE_IDX1\" ON DEPENSE (ID_FNM)"));
        std::thread ends([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(700));
            if (otherCommits)
                other.commit();
            else
                other.rollback();
        });
        MessageRecorder messages;
        DM = new TDM();
        ends.join();
        EXPECT_TRUE(DM->LURDO.isOpen());
        EXPECT_TRUE(messages.calls().isEmpty()) << messages.texts().join(" | ").toStdString();
        EXPECT_TRUE(indexExists(DM->LURDO, "DEPENSE_IDX1"));
        other.close();
    }
}

TEST_F(DataModuleTest, AFailedCommitRollsBackTheWholeGroupAndSaysSoOnce)
{
    db::Connection& c = DM->LURDO;
    c.executeScript(QStringLiteral(
        "CREATE EXCEPTION E_REFUSED 'refused';"
        "SET TERM ^ ;"
        "CREATE TRIGGER REFUSE_COMMIT ON TRANSACTION COMMIT AS BEGIN"
        "  IF (EXISTS(SELECT 1 FROM FAC WHERE LIBELLE='REFUSE')) THEN EXCEPTION E_REFUSED; END^"
        "SET TERM ; ^"
        "COMMIT;"));
    MessageRecorder messages;
    c.execute(QStringLiteral("INSERT INTO FAC (ID_FAC, LIBELLE) VALUES (1, 'kept?')"));
    c.execute(QStringLiteral("INSERT INTO FAC (ID_FAC, LIBELLE) VALUES (2, 'REFUSE')"));
    EXPECT_FALSE(DM->CommitWork());
    ASSERT_EQ(messages.calls().size(), 1);
    EXPECT_EQ(messages.calls()[0].text,
              QStringLiteral("Les informations n'ont pas été enregistrées ! Elles ont été restaurées."));
    EXPECT_EQ(messages.calls()[0].type, int(mtError));
    EXPECT_EQ(messages.calls()[0].buttons, MsgButtons(MsgButton::OK));
    EXPECT_EQ(scalar(c, QStringLiteral("SELECT COUNT(*) FROM FAC")), 0);

    // The next group of writes goes through as usual.
    c.execute(QStringLiteral("INSERT INTO FAC (ID_FAC, LIBELLE) VALUES (3, 'ok')"));
    EXPECT_TRUE(DM->CommitWork());
    EXPECT_EQ(messages.calls().size(), 1);
    db::Connection other;
    other.open(year->params());
    EXPECT_EQ(scalar(other, QStringLiteral("SELECT COUNT(*) FROM FAC")), 1);
}

// A small year: budget lines, sheets of both series, transfers, expenses and
// payment orders, with the key values written out.
class DataModuleQueriesTest : public YearDbTest {
protected:
    void SetUp() override
    {
        YearDbTest::SetUp();
        DM->LURDO.executeScript(QStringLiteral(
            // lines 1..5 (keys from the trigger, in this order)
            "INSERT INTO FNM (CHAP, ART, PAR, INTITULE, RECTORAT, SECTION, MT_BP, MT_REGIE, DATE_BP, MT_BS, DATE_BS)"
            " VALUES ('21-05', '01', '', 'Ligne datée', 0, 1, 1000, 100, '2024-03-01', 500, NULL);"
            "INSERT INTO FNM (CHAP, ART, PAR, INTITULE, RECTORAT, SECTION, MT_BP, DATE_BP)"
            " VALUES ('21-05', '02', '', 'Ligne sans feuille', 0, 1, 0, NULL);"
            "INSERT INTO FNM (CHAP, ART, PAR, INTITULE, RECTORAT, SECTION) VALUES ('21-05', '', '', 'Chapitre 21-05', 0, 1);"
            "INSERT INTO FNM (CHAP, ART, PAR, INTITULE, RECTORAT, SECTION) VALUES ('22-02', '08', '', 'Autre chapitre', 0, 2);"
            "INSERT INTO FNM (CHAP, ART, PAR, INTITULE, RECTORAT, SECTION) VALUES ('23-01', NULL, NULL, 'Titre sans article', 0, 2);"
            // transfers of line 1
            "INSERT INTO VIREMENT (ID_VIR, NOLINE, SENS, DATE_VIR, ID_FNM, MONTANT) VALUES (1, 1, 'E', '2024-02-01', 1, 200);"
            "INSERT INTO VIREMENT (ID_VIR, NOLINE, SENS, DATE_VIR, ID_FNM, MONTANT) VALUES (2, 1, 'D', '2024-04-01', 1, 50);"
            // commitment sheets of line 1
            "INSERT INTO ENT_ENG (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, MONTANT, OBJET, ORIGINE, ID_ORIGINE)"
            " VALUES (1, '0001', '2024-01-01', 1, 1000, 1, '2', 1);"
            "INSERT INTO ENT_ENG (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, MONTANT, OBJET, ORIGINE, ID_ORIGINE)"
            " VALUES (2, '0002', '2024-02-01', 1, 300, 0, '', -1);"
            "INSERT INTO ENT_ENG (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, MONTANT, OBJET, ORIGINE, ID_ORIGINE, STATUT)"
            " VALUES (3, '0003', '2024-02-10', 1, 70, 0, '', -1, 4);"
            "INSERT INTO ENT_ENG (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, MONTANT, OBJET, ORIGINE, ID_ORIGINE)"
            " VALUES (4, '0004', '2024-02-11', 1, -70, 1, '1', 3);"
            "INSERT INTO ENT_ENG (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, MONTANT, OBJET, ORIGINE, ID_ORIGINE)"
            " VALUES (5, '0012', '2024-05-01', 1, -50, 0, '', -1);"
            // regularisation sheets of line 1
            "INSERT INTO ENT_ENG_REG (ID_ENG, NO_ENG, ID_FNM, MONTANT, OBJET) VALUES (20, '0001', 1, -30, 0);"
            "INSERT INTO ENT_ENG_REG (ID_ENG, NO_ENG, ID_FNM, MONTANT, OBJET) VALUES (21, '0002', 1, 20, 0);"
            "INSERT INTO ENT_ENG_REG (ID_ENG, NO_ENG, ID_FNM, MONTANT, OBJET) VALUES (22, '0003', 1, -5, 1);"
            // expenses: 1 free, 2 on sheet 2, 3 on the cancelled sheet 3, 4 and 5 in order 1, 6 salary
            "INSERT INTO DEPENSE (ID_DEPENSE, TYPE_DEPENSE, ID_FNM, ID_BEN, MONTANT) VALUES (1, 0, 1, 1, 10);"
            "INSERT INTO DEPENSE (ID_DEPENSE, TYPE_DEPENSE, ID_FNM, ID_BEN, MONTANT) VALUES (2, 0, 1, 1, 300);"
            "INSERT INTO DEPENSE (ID_DEPENSE, TYPE_DEPENSE, ID_FNM, ID_BEN, MONTANT) VALUES (3, 1, 1, 1, 70);"
            "INSERT INTO DEPENSE (ID_DEPENSE, TYPE_DEPENSE, ID_FNM, ID_BEN, MONTANT) VALUES (4, 0, 2, 1, 40);"
            "INSERT INTO DEPENSE (ID_DEPENSE, TYPE_DEPENSE, ID_FNM, ID_BEN, MONTANT) VALUES (5, 0, NULL, 1, 8);"
            "INSERT INTO DEPENSE (ID_DEPENSE, TYPE_DEPENSE, ID_FNM, ID_BEN, MONTANT) VALUES (6, 2, NULL, 1, 900);"
            "INSERT INTO DEPENSE (ID_DEPENSE, TYPE_DEPENSE, ID_FNM, ID_BEN, MONTANT) VALUES (7, 0, 4, 1, 1);"
            "INSERT INTO DET_ENG (ID_ENG, NOLINE, OBJET, ID_DETAIL, MONTANT) VALUES (2, 1, 0, 2, 300);"
            "INSERT INTO DET_ENG (ID_ENG, NOLINE, OBJET, ID_DETAIL, MONTANT) VALUES (3, 1, 0, 3, 70);"
            "INSERT INTO DET_SALAIRE (ID_DET_SAL, ID_DEPENSE, ID_DETAIL, NO_ORD, TYPE_DET, MONTANT) VALUES (1, 6, 1, 1, 0, 600);"
            "INSERT INTO DET_SALAIRE (ID_DET_SAL, ID_DEPENSE, ID_DETAIL, NO_ORD, TYPE_DET, MONTANT) VALUES (2, 6, 1, 2, 1, 99);"
            // orders: 1 dated 2024-03-15 (expenses 2, 4, 5, 6); 2 without lines; 3 with lines of two chapters
            "INSERT INTO ENT_MDT (ID_MDT, NO_MDT, DATE_MDT, STATUT, MONTANT) VALUES (1, '0001', '2024-03-15', 0, 0);"
            "INSERT INTO ENT_MDT (ID_MDT, NO_MDT, DATE_MDT, STATUT, MONTANT) VALUES (2, '0002', '2024-03-16', 0, 0);"
            "INSERT INTO ENT_MDT (ID_MDT, NO_MDT, DATE_MDT, STATUT, MONTANT) VALUES (3, '0003', '2024-03-17', 0, 0);"
            "INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) VALUES (1, 1, 2, 300);"
            "INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) VALUES (1, 2, 4, 40);"
            "INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) VALUES (1, 3, 5, 8);"
            "INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) VALUES (1, 4, 6, 900);"
            "INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) VALUES (3, 1, 1, 10);"
            "INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) VALUES (3, 2, 7, 1);"
            "INSERT INTO OBS_SERVICE (CHAP, OBS_BP, OBS_VIR_E) VALUES ('21-05', 'Vu le budget', NULL);"
            "COMMIT;"));
        DM->Queries().RefreshMandatedSnapshot();
    }

    static Currency money(const char* text) { return *Currency::parse(QString::fromUtf8(text)); }
};

TEST_F(DataModuleQueriesTest, CreditsAndTotalsAtADate)
{
    struct Case { const char* what; Currency got; const char* expected; };
    const Case cases[] = {
        // primitive budget dated after the date counts nothing; undated amending budget always counts
        {"credit before the primitive budget's date", DM->Queries().CreditAvailableAt(1, QDate(2024, 2, 15)), "700"},
        {"credit at the primitive budget's date", DM->Queries().CreditAvailableAt(1, QDate(2024, 3, 1)), "1600"},
        {"credit after a transfer given", DM->Queries().CreditAvailableAt(1, QDate(2024, 4, 1)), "1550"},
        {"credit of an undated line", DM->Queries().CreditAvailableAt(2, QDate(2024, 1, 1)), "0"},
        {"credit of a missing line", DM->Queries().CreditAvailableAt(99, QDate(2024, 1, 1)), "0"},
        // user commitments only: not the budget, cancelled or cancellation sheets
        {"committed at a date", DM->Queries().TotalCommittedAt(0, 1, QDate(2024, 3, 1)), "300"},
        {"committed with a later sheet", DM->Queries().TotalCommittedAt(0, 1, QDate(2024, 12, 31)), "250"},
        {"committed before any sheet", DM->Queries().TotalCommittedAt(0, 1, QDate(2024, 1, 1)), "0"},
        // salary lines on the line (TOT_S1) and invoices or missions (TOT_S2)
        {"mandated, both halves", DM->Queries().TotalMandatedAt(0, 1, QDate(2024, 3, 15)), "900"},
        {"mandated, salary half", DM->Queries().TotalMandatedAt(1, 1, QDate(2024, 3, 15)), "600"},
        {"mandated, invoice half", DM->Queries().TotalMandatedAt(2, 1, QDate(2024, 3, 15)), "300"},
        {"mandated before the order", DM->Queries().TotalMandatedAt(0, 1, QDate(2024, 3, 14)), "0"},
        {"mandated on a line without orders", DM->Queries().TotalMandatedAt(0, 3, QDate(2024, 12, 31)), "0"},
        {"mandated, unknown kind", DM->Queries().TotalMandatedAt(7, 1, QDate(2024, 12, 31)), "0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, money(c.expected)) << c.what << ": " << c.got.toPlainText().toStdString();
}

TEST_F(DataModuleQueriesTest, SheetNumbersAndBalances)
{
    EXPECT_EQ(DM->Queries().NextCommitmentNumber(1), 13);
    EXPECT_EQ(DM->Queries().NextCommitmentNumber(2), 1);
    EXPECT_EQ(DM->Queries().NextRegularisationNumber(1), 4);
    EXPECT_EQ(DM->Queries().NextRegularisationNumber(2), 1);

    struct Last { qint64 line; const char* number; bool commitment; bool regularisation; };
    const Last lasts[] = {
        {1, "0012", true, false}, {1, "12", false, false}, {1, "0004", false, false}, {1, "0003", false, true},
        {1, "  ", true, true},    {2, "0007", true, true},
    };
    for (const Last& l : lasts) {
        EXPECT_EQ(DM->Queries().IsLastCommitmentNumber(l.line, QString::fromUtf8(l.number)), l.commitment) << l.number;
        EXPECT_EQ(DM->Queries().IsLastRegularisationNumber(l.line, QString::fromUtf8(l.number)), l.regularisation) << l.number;
    }

    struct Balance { qint64 line; const char* number; const char* commitment; const char* regularisation; };
    const Balance balances[] = {
        {1, "0001", "0", "1000"},      // nothing before the first sheet; regularisation starts at MT_BP
        {1, "0002", "1000", "970"},    // expenses of the regularisation series count by absolute amount
        {1, "0003", "700", "950"},
        {1, "0004", "630", "945"},     // the cancelled sheet still counts by number; credits keep their sign
        {1, "0005", "700", "945"},     // a cancellation stored negative adds to the credit side
        {1, "9999", "650", "945"},     // a negative expense counts by its absolute amount
        {2, "0001", "0", "0"},
    };
    for (const Balance& b : balances) {
        EXPECT_EQ(DM->Queries().CommitmentBalanceBefore(b.line, QString::fromUtf8(b.number)), money(b.commitment)) << b.number;
        EXPECT_EQ(DM->Queries().RegularisationBalanceBefore(b.line, QString::fromUtf8(b.number)), money(b.regularisation))
            << b.number;
    }
}

TEST_F(DataModuleQueriesTest, ExpenseStatesFollowSheetsAndTheOrderLines)
{
    struct Case { qint64 expense; ExpenseState state; };
    const Case cases[] = {{1, ExpenseState::Mandated}, {2, ExpenseState::CommittedAndMandated},
                          {3, ExpenseState::Free},     {4, ExpenseState::Mandated},
                          {7, ExpenseState::Mandated}, {42, ExpenseState::Free}};
    for (const Case& c : cases)
        EXPECT_EQ(DM->Queries().GetExpenseState(c.expense), c.state) << c.expense;

    // The state answers as the stored order lines do: an expense added to an
    // order is mandated at once, and deleting the order's lines frees its expenses.
    DM->LURDO.execute(QStringLiteral("INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) VALUES (2, 1, 3, 70)"));
    ASSERT_TRUE(DM->CommitWork());
    EXPECT_EQ(DM->Queries().GetExpenseState(3), ExpenseState::Mandated);
    DM->LURDO.execute(QStringLiteral("DELETE FROM DET_MDT WHERE ID_MDT=1"));
    ASSERT_TRUE(DM->CommitWork());
    EXPECT_EQ(DM->Queries().GetExpenseState(2), ExpenseState::Committed);
    EXPECT_EQ(DM->Queries().GetExpenseState(4), ExpenseState::Free);
}

TEST_F(DataModuleQueriesTest, ChaptersTitlesAndObservations)
{
    EXPECT_FALSE(DM->Queries().IsSingleChapterOrder(3)); // lines of 21-05 and 22-02
    EXPECT_TRUE(DM->Queries().IsSingleChapterOrder(1));  // 21-05 twice; an expense without a line is skipped
    EXPECT_TRUE(DM->Queries().IsSingleChapterOrder(2));  // no lines
    EXPECT_TRUE(DM->Queries().IsSingleChapterOrder(99));

    struct Title { const char* chapter; const char* title; };
    const Title titles[] = {{"21-05", "Chapitre 21-05"}, {"23-01", "Titre sans article"}, {"22-02", "-"}, {"99-99", "-"}};
    for (const Title& t : titles)
        EXPECT_EQ(DM->Queries().GetChapterTitle(QString::fromUtf8(t.chapter)), QString::fromUtf8(t.title)) << t.chapter;

    EXPECT_EQ(DM->Queries().GetServiceObservation(QStringLiteral("OBS_BP"), QStringLiteral("21-05")), QStringLiteral("Vu le budget"));
    EXPECT_EQ(DM->Queries().GetServiceObservation(QStringLiteral("OBS_VIR_E"), QStringLiteral("21-05")), QString());
    EXPECT_EQ(DM->Queries().GetServiceObservation(QStringLiteral("OBS_BP"), QStringLiteral("22-02")), QString());
    EXPECT_EQ(DM->Queries().GetServiceObservation(QString(), QStringLiteral("21-05")), QString());

    EXPECT_EQ(BuildInsertStatement(Query(DM->LURDO), QStringLiteral("X"), QStringLiteral("U")), QString());
    Query agence(DM->LURDO, QStringLiteral("SELECT * FROM AGENCE"));
    agence.open();
    EXPECT_EQ(BuildInsertStatement(agence, QStringLiteral("AGENCE"), QStringLiteral("I")),
              QStringLiteral("INSERT INTO AGENCE ( ID_AGENCE, LIBELLE ) VALUES ( :ID_AGENCE, :LIBELLE )"));
}

} // namespace

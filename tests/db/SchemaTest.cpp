// The fiscal-year schema, read back from a database the data module made with
// the built-in script: its objects, key triggers, defaults and stored
// procedures.
#include "common/YearDb.h"

#include "data/NumberSeries.h"
#include "db/Database.h"

#include <QSet>
#include <QStringList>
#include <gtest/gtest.h>

using db::Query;

// Readable texts in failure messages.
static void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

class SchemaTest : public YearDbTest {
protected:
    db::Connection& conn() { return DM->LURDO; }

    void run(std::initializer_list<const char*> statements)
    {
        for (const char* sql : statements)
            conn().execute(QString::fromUtf8(sql));
    }

    // The first column of every row, trimmed.
    QStringList column(const QString& sql)
    {
        Query q(conn(), sql);
        q.open();
        QStringList out;
        for (const auto& row : q.rows())
            out << db::toText(row[0]).trimmed();
        return out;
    }

    // The named columns of a one-row result, as plain numbers or "NULL".
    QStringList oneRow(Query& q, const QStringList& columns)
    {
        q.open();
        EXPECT_EQ(q.rowCount(), 1) << q.sql().toStdString();
        QStringList out;
        for (const QString& c : columns)
            out << (q.isNull(c) ? QStringLiteral("NULL") : q.asCurrency(c).toPlainText());
        return out;
    }
};

QSet<QString> setOf(const QStringList& names) { return QSet<QString>(names.begin(), names.end()); }

const QStringList Generators = {
    "GEN_AGENCE_ID", "GEN_BENEF", "GEN_BNQ", "GEN_DEPENSE_ID", "GEN_DEP_FAC", "GEN_DET_SAL_ID",
    "GEN_ENGAGEMENT_ID", "GEN_FNM", "GEN_FRET_ID", "GEN_FWIL", "GEN_GRADE_ID", "GEN_ID_SECUR",
    "GEN_IMP_MDT", "GEN_MDT", "GEN_RAPPORT", "GEN_RAPPORT_ID", "GEN_T_USERS_ID", "GEN_VIR"};

TEST_F(SchemaTest, HoldsEveryObjectOfTheScriptAndNothingElse)
{
    // The script's tables, and the series of numbers the data module adds at every opening.
    EXPECT_EQ(setOf(column("SELECT RDB$RELATION_NAME FROM RDB$RELATIONS WHERE RDB$SYSTEM_FLAG=0")),
              setOf({"AGENCE", "BANQUE", "BENEF", "DEP_FAC", "DEPENSE", "DET_ENG", "DET_ENG_REG", "DET_MDT",
                     "DET_SALAIRE", "ENT_ENG", "ENT_ENG_REG", "ENT_MDT", "FAC", "FNM", "FRET", "FWIL", "GRADE",
                     "INTERCAL", "OBS_SERVICE", "ORD_VIR", "PJ", "RAPPORT", "REPORT", "SIT_FIN", "T_SECUR",
                     "T_USERS", "VIREMENT", NumberSeriesTable}));
    EXPECT_EQ(setOf(column("SELECT RDB$FIELD_NAME FROM RDB$FIELDS WHERE RDB$SYSTEM_FLAG=0 AND RDB$FIELD_NAME NOT STARTING WITH 'RDB$'")),
              setOf({"CHAR_1", "CHAR_5", "DATE_DOM", "DECIMAL_15_2", "NOFACT_DOM", "SMALL_INT", "SMALL_INT_NON_NULL",
                     "VARCHAR_10", "VARCHAR_150", "VARCHAR_2", "VARCHAR_20", "VARCHAR_250", "VARCHAR_30",
                     "VARCHAR_40", "VARCHAR_60", "VARCHAR_80", "VAR_CHAR_512"}));
    EXPECT_EQ(setOf(column("SELECT RDB$GENERATOR_NAME FROM RDB$GENERATORS WHERE RDB$SYSTEM_FLAG=0")), setOf(Generators));
    // Selectable procedures (type 1).
    EXPECT_EQ(setOf(column("SELECT RDB$PROCEDURE_NAME FROM RDB$PROCEDURES WHERE RDB$SYSTEM_FLAG=0 AND RDB$PROCEDURE_TYPE=1")),
              setOf({"GET_CREDIT_GLOB", "GET_DEP_STATE", "GET_OLD_SOLDE_FE", "GET_SOLDE_FE", "GET_TOT_MDT",
                     "GET_TOT_MDT_SEC_1", "GET_TOT_MDT_SEC_2"}));
    EXPECT_EQ(column("SELECT RDB$PROCEDURE_NAME FROM RDB$PROCEDURES WHERE RDB$SYSTEM_FLAG=0").size(), 7);
    EXPECT_EQ(setOf(column("SELECT TRIM(RDB$CONSTRAINT_NAME) || ' ' || TRIM(RDB$RELATION_NAME) FROM RDB$RELATION_CONSTRAINTS "
                           "WHERE RDB$CONSTRAINT_TYPE <> 'NOT NULL' AND RDB$RELATION_NAME IN "
                           "(SELECT RDB$RELATION_NAME FROM RDB$RELATIONS WHERE RDB$SYSTEM_FLAG=0)")),
              setOf({"PK_BENEF BENEF", "PK_DEPENSE DEPENSE", "PK_DET_ENG DET_ENG", "PK_DET_SALAIRE DET_SALAIRE",
                     "PK_ENT_ENG ENT_ENG", QStringLiteral("PK_%1 %1").arg(NumberSeriesTable)}));
    // The script's two indexes; the data module adds its own at every opening.
    QSet<QString> indexes = setOf(TDM::OpeningIndexNames());
    indexes << QStringLiteral("INDEX_NO_ORD") << QStringLiteral("ENT_ENG_IDX1");
    EXPECT_EQ(setOf(column("SELECT RDB$INDEX_NAME FROM RDB$INDICES WHERE RDB$SYSTEM_FLAG=0 "
                           "AND RDB$INDEX_NAME NOT STARTING WITH 'RDB$' AND RDB$INDEX_NAME NOT STARTING WITH 'PK_'")),
              indexes);
    EXPECT_EQ(column("SELECT TRIM(I.RDB$RELATION_NAME) || ' ' || TRIM(S.RDB$FIELD_NAME) FROM RDB$INDICES I "
                     "JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = I.RDB$INDEX_NAME "
                     "WHERE I.RDB$INDEX_NAME IN ('INDEX_NO_ORD', 'ENT_ENG_IDX1') ORDER BY 1"),
              (QStringList{"DET_SALAIRE NO_ORD", "ENT_ENG ID_ORIGINE"}));
    // Name, table, kind (1 before insert, 17 before insert or update), position; all active.
    EXPECT_EQ(setOf(column("SELECT TRIM(RDB$TRIGGER_NAME) || ' ' || TRIM(RDB$RELATION_NAME) || ' ' || RDB$TRIGGER_TYPE || ' ' || "
                           "RDB$TRIGGER_SEQUENCE || ' ' || RDB$TRIGGER_INACTIVE FROM RDB$TRIGGERS WHERE RDB$SYSTEM_FLAG=0")),
              setOf({"AGENCE_BI AGENCE 1 0 0", "BANQUE_BI0 BANQUE 1 0 0", "ENT_ENG_BIU1 ENT_ENG 17 1 0",
                     "FNM_BI0 FNM 1 0 0", "FNM_BIU0 FNM 17 0 0", "FRET_BI0 FRET 1 0 0", "FWIL_BI0 FWIL 1 0 0",
                     "GRADE_BI GRADE 1 0 0", "RAPPORT_BI RAPPORT 1 0 0", "SET_ID_BENEF BENEF 1 0 0",
                     "T_SECUR_BI T_SECUR 1 0 0", "T_USERS_BI T_USERS 1 0 0"}));

    // Every generator starts at 0.
    QStringList reads;
    for (const QString& g : Generators)
        reads << QStringLiteral("GEN_ID(%1, 0)").arg(g);
    Query q(conn(), QStringLiteral("SELECT %1 FROM RDB$DATABASE").arg(reads.join(QStringLiteral(" + "))));
    q.open();
    EXPECT_EQ(db::toInt(q.at(0, 0)), 0);
}

TEST_F(SchemaTest, EveryTextColumnTakesFrenchText)
{
    // Every text column is in the database's character set (UTF8, id 4), the
    // attachment labels included.
    EXPECT_EQ(column("SELECT DISTINCT F.RDB$CHARACTER_SET_ID FROM RDB$RELATION_FIELDS RF "
                     "JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
                     "WHERE F.RDB$FIELD_TYPE IN (14, 37) AND RF.RDB$SYSTEM_FLAG = 0"),
              QStringList{"4"});
    const QString label = QStringLiteral("Procès-verbal à régler, reçu « Œuvres » ù ê");
    Query ins(conn(), QStringLiteral("INSERT INTO PJ (NUM, LIBELLE) VALUES (1, :LIBELLE)"));
    ins.setParam("LIBELLE", label);
    ins.exec();
    EXPECT_EQ(column("SELECT LIBELLE FROM PJ"), QStringList{label});
}

TEST_F(SchemaTest, KeyTriggersAlwaysDrawTheKeyFromTheirGenerator)
{
    // The first insert names a key of its own, the second none: both get the
    // generator's next values.
    struct Case { const char* table; const char* key; const char* withKey; const char* withoutKey; };
    const Case cases[] = {
        {"AGENCE", "ID_AGENCE", "(ID_AGENCE, LIBELLE) VALUES (99, 'a')", "(LIBELLE) VALUES ('b')"},
        {"BANQUE", "ID_BANQUE", "(ID_BANQUE, RS) VALUES (99, 'a')", "(RS) VALUES ('b')"},
        {"BENEF", "ID_BEN", "(ID_BEN, TYPE_BEN, ID_BANQUE, NOM) VALUES (99, 0, 1, 'a')", "(TYPE_BEN, ID_BANQUE, NOM) VALUES (1, 1, 'b')"},
        {"FNM", "ID_FNM", "(ID_FNM, CHAP, RECTORAT, SECTION) VALUES (99, '21-01', -1, 1)", "(CHAP, RECTORAT, SECTION) VALUES ('21-02', -1, 2)"},
        {"FRET", "ID_RETENUE", "(ID_RETENUE, LIBELLE) VALUES (99, 'a')", "(LIBELLE) VALUES ('b')"},
        {"FWIL", "ID_WIL", "(ID_WIL, LIBELLE) VALUES (99, 'a')", "(LIBELLE) VALUES ('b')"},
        {"GRADE", "ID_GRADE", "(ID_GRADE, LIBELLE) VALUES (99, 'a')", "(LIBELLE) VALUES ('b')"},
        {"RAPPORT", "ID_RAPPORT", "(ID_RAPPORT, TITRE) VALUES (99, 'a')", "(TITRE) VALUES ('b')"},
        {"T_SECUR", "ID_SECUR", "(ID_SECUR, ID_USER, TYPE_ACCES, TV_LEVEL, NB_CHILD) VALUES (99, 1, 2, 1, 0)",
         "(ID_USER, TYPE_ACCES, TV_LEVEL, NB_CHILD) VALUES (1, 0, 2, 0)"},
        {"T_USERS", "ID_USER", "(ID_USER, USER_ID) VALUES (99, 'a')", "(USER_ID) VALUES ('b')"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        conn().execute(QStringLiteral("INSERT INTO %1 %2").arg(QLatin1String(c.table), QLatin1String(c.withKey)));
        conn().execute(QStringLiteral("INSERT INTO %1 %2").arg(QLatin1String(c.table), QLatin1String(c.withoutKey)));
        EXPECT_EQ(column(QStringLiteral("SELECT %1 FROM %2 ORDER BY 1").arg(QLatin1String(c.key), QLatin1String(c.table))),
                  (QStringList{"1", "2"}));
    }
    // Keys the program draws itself are kept as given.
    run({"INSERT INTO DEPENSE (ID_DEPENSE, TYPE_DEPENSE, ID_BEN) VALUES (99, 0, 1)"});
    EXPECT_EQ(column("SELECT ID_DEPENSE FROM DEPENSE"), QStringList{"99"});
}

TEST_F(SchemaTest, DefaultTriggersFillEmptyAmountsAndStatus)
{
    const QString amounts = QStringLiteral(
        "SELECT MT_BP, MT_REGIE, MT_BS, RESTE, '[' || NO_DEC_BP || ']', '[' || NO_DEC_BS || ']' FROM FNM");
    auto fnmRow = [&] {
        Query q(conn(), amounts);
        q.open();
        QStringList out;
        for (const auto& v : q.rows().at(0))
            out << db::toText(v);
        return out;
    };
    run({"INSERT INTO FNM (CHAP, RECTORAT, SECTION, MT_BS, NO_DEC_BS) VALUES ('21-01', -1, 1, 12.5, '7/BS')"});
    EXPECT_EQ(fnmRow(), (QStringList{"0", "0", "12.5", "0", "[]", "[7/BS]"}));
    run({"UPDATE FNM SET MT_BP=3, MT_BS=NULL, NO_DEC_BS=NULL, NO_DEC_BP='1/BP'"});
    EXPECT_EQ(fnmRow(), (QStringList{"3", "0", "0", "0", "[1/BP]", "[]"}));

    run({"INSERT INTO ENT_ENG (ID_ENG, NO_ENG, OBJET) VALUES (1, '0001', 1)",
         "INSERT INTO ENT_ENG (ID_ENG, NO_ENG, OBJET, STATUT) VALUES (2, '0002', 0, 7)"});
    EXPECT_EQ(column("SELECT STATUT FROM ENT_ENG ORDER BY ID_ENG"), (QStringList{"0", "7"}));
    run({"UPDATE ENT_ENG SET STATUT=NULL WHERE ID_ENG=2"});
    EXPECT_EQ(column("SELECT STATUT FROM ENT_ENG ORDER BY ID_ENG"), (QStringList{"0", "0"}));
}

TEST_F(SchemaTest, StoredProceduresAnswerOneRowOfTotals)
{
    run({
        // Line 1 with allocations, line 2 without, line 3 untouched.
        "INSERT INTO FNM (CHAP, ART, RECTORAT, SECTION, MT_BP, MT_REGIE, DATE_BP, MT_BS, DATE_BS) "
        "VALUES ('21-01', '01', -1, 1, 1000, 100, '2024-01-10', 250, '2024-06-01')",
        "INSERT INTO FNM (CHAP, ART, RECTORAT, SECTION) VALUES ('21-01', '02', -1, 1)",
        "INSERT INTO FNM (CHAP, ART, RECTORAT, SECTION) VALUES ('21-01', '03', -1, 1)",
        "INSERT INTO VIREMENT (ID_VIR, NOLINE, SENS, DATE_VIR, ID_FNM, MONTANT) VALUES (1, 1, 'D', '2024-03-01', 1, 40)",
        "INSERT INTO VIREMENT (ID_VIR, NOLINE, SENS, DATE_VIR, ID_FNM, MONTANT) VALUES (1, 2, 'E', '2024-03-01', 2, 40)",
        "INSERT INTO VIREMENT (ID_VIR, NOLINE, SENS, DATE_VIR, ID_FNM, MONTANT) VALUES (2, 1, 'E', '2024-09-01', 1, 15)",
        // Expenses: invoice and mission on line 1, salary to commit on line 1
        // (never counted as paid), salary to pay charged on lines 1 and 2, invoice on line 2.
        "INSERT INTO DEPENSE (ID_DEPENSE, TYPE_DEPENSE, ID_FNM, ID_BEN, MONTANT) VALUES (10, 0, 1, 1, 100)",
        "INSERT INTO DEPENSE (ID_DEPENSE, TYPE_DEPENSE, ID_FNM, ID_BEN, MONTANT) VALUES (11, 1, 1, 1, 30)",
        "INSERT INTO DEPENSE (ID_DEPENSE, TYPE_DEPENSE, ID_FNM, ID_BEN, MONTANT) VALUES (12, 3, 1, 1, 500)",
        "INSERT INTO DEPENSE (ID_DEPENSE, TYPE_DEPENSE, ID_BEN, MONTANT) VALUES (13, 2, 1, 260)",
        "INSERT INTO DEPENSE (ID_DEPENSE, TYPE_DEPENSE, ID_FNM, ID_BEN, MONTANT) VALUES (14, 0, 2, 1, 70)",
        "INSERT INTO DET_SALAIRE (ID_DET_SAL, ID_DEPENSE, ID_DETAIL, NO_ORD, TYPE_DET, MONTANT) VALUES (1, 13, 1, 10, 0, 200)",
        "INSERT INTO DET_SALAIRE (ID_DET_SAL, ID_DEPENSE, ID_DETAIL, NO_ORD, TYPE_DET, MONTANT) VALUES (2, 13, 2, 20, 0, 60)",
        "INSERT INTO DET_SALAIRE (ID_DET_SAL, ID_DEPENSE, ID_DETAIL, NO_ORD, TYPE_DET, MONTANT) VALUES (3, 13, 1, 10, 1, 25)",
        // Payment orders; the salary expense stands in orders 2 and 3.
        "INSERT INTO ENT_MDT (ID_MDT, NO_MDT, DATE_MDT, STATUT) VALUES (1, '0001', '2024-02-01', 0)",
        "INSERT INTO ENT_MDT (ID_MDT, NO_MDT, DATE_MDT, STATUT) VALUES (2, '0002', '2024-05-01', 0)",
        "INSERT INTO ENT_MDT (ID_MDT, NO_MDT, DATE_MDT, STATUT) VALUES (3, '0003', '2024-11-01', 0)",
        "INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) VALUES (1, 1, 10, 100)",
        "INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) VALUES (2, 1, 13, 260)",
        "INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) VALUES (2, 2, 11, 30)",
        "INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) VALUES (3, 1, 13, 260)",
        "INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) VALUES (3, 2, 12, 500)",
        "INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) VALUES (3, 3, 14, 70)",
        // Sheets of line 1 (numbers compared as numbers: "0010" comes after 3),
        // one of line 2, and an expense sheet of line 3 holding expense 10.
        "INSERT INTO ENT_ENG (ID_ENG, NO_ENG, ID_FNM, OBJET, MONTANT) VALUES (1, '0001', 1, 1, 1000)",
        "INSERT INTO ENT_ENG (ID_ENG, NO_ENG, ID_FNM, OBJET, MONTANT) VALUES (2, '0002', 1, 0, 200)",
        "INSERT INTO ENT_ENG (ID_ENG, NO_ENG, ID_FNM, OBJET, MONTANT) VALUES (3, '0003', 1, 0, 50)",
        "INSERT INTO ENT_ENG (ID_ENG, NO_ENG, ID_FNM, OBJET, MONTANT) VALUES (4, '0010', 1, 1, 7)",
        "INSERT INTO ENT_ENG (ID_ENG, NO_ENG, ID_FNM, OBJET, MONTANT) VALUES (5, '0001', 2, 0, 999)",
        "INSERT INTO ENT_ENG (ID_ENG, NO_ENG, ID_FNM, OBJET, MONTANT) VALUES (6, '0004', 3, 0, 100)",
        "INSERT INTO DET_ENG (ID_ENG, NOLINE, OBJET, ID_DETAIL, MONTANT) VALUES (6, 1, 0, 10, 100)",
        "INSERT INTO DET_ENG (ID_ENG, NOLINE, OBJET, ID_DETAIL, MONTANT) VALUES (4, 1, 1, 13, 7)",
    });

    struct Case { const char* call; const char* args; QStringList columns; QStringList expected; };
    const QStringList mdt = {"TOT_S1", "TOT_S2"};
    const QStringList credit = {"TOT_BP", "TOT_BS", "TOT_VIR_D", "TOT_VIR_E"};
    const QStringList solde = {"TOT_DEP", "TOT_ECO"};
    const Case cases[] = {
        // A line without payment orders: one row, both totals NULL.
        {"GET_TOT_MDT", "3, '2024-12-31'", mdt, {"NULL", "NULL"}},
        {"GET_TOT_MDT", "1, '2024-01-31'", mdt, {"NULL", "NULL"}},
        {"GET_TOT_MDT", "1, '2024-02-01'", mdt, {"NULL", "100"}},
        {"GET_TOT_MDT", "1, '2024-05-01'", mdt, {"200", "130"}},
        // The salary expense in two orders counts twice; salary to commit never.
        {"GET_TOT_MDT", "1, '2024-12-31'", mdt, {"400", "130"}},
        {"GET_TOT_MDT", "2, '2024-12-31'", mdt, {"120", "70"}},
        {"GET_TOT_MDT_SEC_1", "1, '2024-12-31'", {"TOT_S1"}, {"400"}},
        {"GET_TOT_MDT_SEC_2", "1, '2024-12-31'", {"TOT_S2"}, {"130"}},
        {"GET_TOT_MDT_SEC_1", "3, '2024-12-31'", {"TOT_S1"}, {"NULL"}},
        {"GET_CREDIT_GLOB", "1, '2024-01-09'", credit, {"NULL", "NULL", "NULL", "NULL"}},
        {"GET_CREDIT_GLOB", "1, '2024-01-10'", credit, {"900", "NULL", "NULL", "NULL"}},
        {"GET_CREDIT_GLOB", "1, '2024-06-30'", credit, {"900", "250", "40", "NULL"}},
        {"GET_CREDIT_GLOB", "1, '2024-12-31'", credit, {"900", "250", "40", "15"}},
        {"GET_CREDIT_GLOB", "2, '2024-12-31'", credit, {"NULL", "NULL", "NULL", "40"}},
        {"GET_OLD_SOLDE_FE", "1, 1", solde, {"NULL", "NULL"}},
        {"GET_OLD_SOLDE_FE", "1, 3", solde, {"200", "1000"}},
        {"GET_OLD_SOLDE_FE", "1, 11", solde, {"250", "1007"}},
        {"GET_SOLDE_FE", "1, 1", solde, {"NULL", "1000"}},
        {"GET_SOLDE_FE", "3, 1", solde, {"250", "1000"}},
        {"GET_SOLDE_FE", "10, 1", solde, {"250", "1007"}},
        {"GET_DEP_STATE", "10", {"NB_MDT", "NB_ENG"}, {"1", "4"}},
        {"GET_DEP_STATE", "13", {"NB_MDT", "NB_ENG"}, {"2", "NULL"}},
        {"GET_DEP_STATE", "99", {"NB_MDT", "NB_ENG"}, {"0", "NULL"}},
    };
    for (const Case& c : cases) {
        const QString sql = QStringLiteral("SELECT * FROM %1(%2)").arg(QLatin1String(c.call), QLatin1String(c.args));
        SCOPED_TRACE(sql.toStdString());
        Query q(conn(), sql);
        EXPECT_EQ(oneRow(q, c.columns), c.expected);
    }
}

} // namespace

// The full-scale year generator of the developer tools, run at a small scale
// on a fresh year database: the rows it writes follow the program's rules, so
// benchmarks measure realistic data.
#include "common/YearDb.h"

#include "db/Database.h"
#include "tools/FillYear.h"

#include <gtest/gtest.h>

using db::Query;

namespace {

class SchemaYearFillTest : public YearDbTest {
protected:
    qint64 number(const char* sql)
    {
        Query q(DM->LURDO, QString::fromUtf8(sql));
        q.open();
        return db::toInt(q.at(0, 0));
    }
};

TEST_F(SchemaYearFillTest, FilledYearKeepsTheProgramsRules)
{
    fill::Options o;
    o.year = 2024;
    o.seed = 7;
    o.chapters = 8;
    o.budgetRows = 120;
    o.beneficiaries = 40;
    o.expenses = 2000;
    o.transfers = 30;
    o.paymentOrders = 500;
    const fill::Counts counts = fill::FillYear(DM->LURDO, o);
    EXPECT_EQ(counts.at("FNM"), 120);
    EXPECT_EQ(number("SELECT COUNT(*) FROM FNM WHERE ART = ''"), 8);
    EXPECT_EQ(number("SELECT COUNT(*) FROM BENEF"), 40);
    EXPECT_EQ(number("SELECT COUNT(*) FROM DEPENSE"), 2000);
    EXPECT_EQ(number("SELECT COUNT(*) FROM ENT_MDT"), 500);
    EXPECT_EQ(number("SELECT COUNT(DISTINCT TYPE_DEPENSE) FROM DEPENSE"), 4);
    EXPECT_EQ(number("SELECT COUNT(DISTINCT ORIGINE) FROM ENT_ENG"), 5);
    EXPECT_GT(number("SELECT COUNT(*) FROM VIREMENT"), 30);
    EXPECT_GT(number("SELECT COUNT(*) FROM ENT_ENG_REG"), 5);

    // Each query counts the rows that break one rule.
    const char* const broken[] = {
        // numbering of the sheets of a line
        "SELECT COUNT(*) FROM (SELECT ID_FNM, NO_ENG FROM ENT_ENG GROUP BY ID_FNM, NO_ENG HAVING COUNT(*) > 1)",
        "SELECT COUNT(*) FROM ENT_ENG WHERE CHAR_LENGTH(TRIM(NO_ENG)) <> 4",
        "SELECT COUNT(*) FROM ENT_ENG WHERE ORIGINE = '2' AND NO_ENG <> '0001'",
        "SELECT COUNT(*) FROM ENT_ENG WHERE NO_ENG = '0001' AND OBJET = 0 AND ORIGINE IN ('', '4')",
        // number order is date order and creation (key) order
        "SELECT COUNT(*) FROM (SELECT ID_ENG, DATE_ENG, LAG(DATE_ENG) OVER (PARTITION BY ID_FNM ORDER BY NO_ENG) AS PREV_DATE, "
        "LAG(ID_ENG) OVER (PARTITION BY ID_FNM ORDER BY NO_ENG) AS PREV_ID FROM ENT_ENG) WHERE PREV_DATE > DATE_ENG OR PREV_ID > ID_ENG",
        // user commitments: lines of their own line, total of the lines, one active sheet per expense
        "SELECT COUNT(*) FROM ENT_ENG E WHERE ORIGINE = '' AND (ID_ORIGINE <> -1 OR OBJET <> 0 OR MONTANT <> "
        "(SELECT SUM(D.MONTANT) FROM DET_ENG D WHERE D.ID_ENG = E.ID_ENG AND D.OBJET = 0))",
        "SELECT COUNT(*) FROM DET_ENG D JOIN ENT_ENG E ON E.ID_ENG = D.ID_ENG JOIN DEPENSE X ON X.ID_DEPENSE = D.ID_DETAIL "
        "WHERE D.OBJET = 0 AND (X.ID_FNM <> E.ID_FNM OR X.TYPE_DEPENSE = 2 OR X.MONTANT <> D.MONTANT OR X.DATE_DEPENSE > E.DATE_ENG)",
        "SELECT COUNT(*) FROM (SELECT D.ID_DETAIL FROM DET_ENG D JOIN ENT_ENG E ON E.ID_ENG = D.ID_ENG "
        "WHERE D.OBJET = 0 AND E.STATUT = 0 GROUP BY D.ID_DETAIL HAVING COUNT(*) > 1)",
        // budget, amending budget and transfer sheets: one line pointing at their source
        "SELECT COUNT(*) FROM ENT_ENG E WHERE ORIGINE IN ('2', '3', '4') AND NOT EXISTS (SELECT 1 FROM DET_ENG D "
        "WHERE D.ID_ENG = E.ID_ENG AND D.NOLINE = 1 AND D.OBJET = CAST(E.ORIGINE AS INTEGER) AND D.ID_DETAIL = E.ID_FNM "
        "AND D.MONTANT = E.MONTANT)",
        "SELECT COUNT(*) FROM ENT_ENG E JOIN FNM F ON F.ID_FNM = E.ID_FNM WHERE (E.ORIGINE = '2' AND (E.MONTANT <> F.MT_BP "
        "OR E.ID_ORIGINE <> F.ID_FNM OR E.OBJET <> 1)) OR (E.ORIGINE = '3' AND (E.MONTANT <> F.MT_BS OR E.ID_ORIGINE <> F.ID_FNM "
        "OR E.OBJET <> IIF(F.MT_BS > 0, 1, 0)))",
        "SELECT COUNT(*) FROM VIREMENT V WHERE NOT EXISTS (SELECT 1 FROM ENT_ENG E WHERE E.ORIGINE = '4' AND E.ID_ORIGINE = V.ID_VIR "
        "AND E.ID_FNM = V.ID_FNM AND E.OBJET = IIF(V.SENS = 'D', 0, 1) AND E.MONTANT = V.MONTANT AND E.DATE_ENG = V.DATE_VIR)",
        "SELECT COUNT(*) FROM (SELECT ID_VIR FROM VIREMENT GROUP BY ID_VIR HAVING SUM(IIF(SENS = 'D', MONTANT, -MONTANT)) <> 0 "
        "OR COUNT(DISTINCT ID_FNM) <> COUNT(*) OR COUNT(DISTINCT DATE_VIR) <> 1)",
        // cancellations
        "SELECT COUNT(*) FROM ENT_ENG C WHERE C.ORIGINE = '1' AND NOT EXISTS (SELECT 1 FROM ENT_ENG E JOIN DET_ENG D "
        "ON D.ID_ENG = C.ID_ENG AND D.OBJET = 1 AND D.ID_DETAIL = E.ID_ENG WHERE E.ID_ENG = C.ID_ORIGINE AND E.ORIGINE = '' "
        "AND E.STATUT = C.ID_ENG AND E.MONTANT = C.MONTANT AND E.ID_FNM = C.ID_FNM AND C.OBJET = 1)",
        "SELECT COUNT(*) FROM ENT_ENG E WHERE STATUT <> 0 AND NOT EXISTS (SELECT 1 FROM ENT_ENG C WHERE C.ID_ENG = E.STATUT AND C.ORIGINE = '1')",
        // payment orders
        "SELECT COUNT(*) FROM ENT_MDT M WHERE CHAR_LENGTH(TRIM(NO_MDT)) <> 4 OR MONTANT <> (SELECT SUM(D.MONTANT) FROM DET_MDT D WHERE D.ID_MDT = M.ID_MDT)",
        "SELECT COUNT(*) FROM (SELECT NO_MDT FROM ENT_MDT GROUP BY NO_MDT HAVING COUNT(*) > 1)",
        "SELECT COUNT(*) FROM (SELECT ID_DETAIL FROM DET_MDT GROUP BY ID_DETAIL HAVING COUNT(*) > 1)",
        "SELECT COUNT(*) FROM (SELECT D.ID_MDT FROM DET_MDT D JOIN DEPENSE X ON X.ID_DEPENSE = D.ID_DETAIL GROUP BY D.ID_MDT "
        "HAVING COUNT(DISTINCT X.TYPE_DEPENSE) > 1 OR MAX(X.TYPE_DEPENSE) = 3 OR (MAX(X.TYPE_DEPENSE) = 2 AND COUNT(*) > 1) "
        "OR MAX(D.NOLINE) <> COUNT(*))",
        "SELECT COUNT(*) FROM DET_MDT D JOIN ENT_MDT M ON M.ID_MDT = D.ID_MDT JOIN DEPENSE X ON X.ID_DEPENSE = D.ID_DETAIL "
        "WHERE X.MONTANT <> D.MONTANT OR X.DATE_DEPENSE > M.DATE_MDT",
        // regularisation sheets: numbered per line, each the total of payment orders of its line issued by
        // its date, keyed after every commitment sheet
        "SELECT COUNT(*) FROM (SELECT ID_FNM, NO_ENG FROM ENT_ENG_REG GROUP BY ID_FNM, NO_ENG HAVING COUNT(*) > 1)",
        "SELECT COUNT(*) FROM ENT_ENG_REG R WHERE CHAR_LENGTH(TRIM(NO_ENG)) <> 4 OR ORIGINE <> '5' OR OBJET <> 0 "
        "OR EXTRACT(YEAR FROM DATE_ENG) <> 2024 OR MONTANT <> (SELECT SUM(D.MONTANT) FROM DET_ENG_REG D WHERE D.ID_ENG = R.ID_ENG)",
        "SELECT COUNT(*) FROM DET_ENG_REG D JOIN ENT_ENG_REG R ON R.ID_ENG = D.ID_ENG WHERE D.OBJET <> 5 "
        "OR D.MONTANT <> (SELECT SUM(L.MONTANT) FROM DET_MDT L WHERE L.ID_MDT = D.ID_DETAIL) "
        "OR (SELECT M.DATE_MDT FROM ENT_MDT M WHERE M.ID_MDT = D.ID_DETAIL) > R.DATE_ENG",
        "SELECT COUNT(*) FROM DET_ENG_REG D JOIN ENT_ENG_REG R ON R.ID_ENG = D.ID_ENG JOIN DET_MDT L ON L.ID_MDT = D.ID_DETAIL "
        "JOIN DEPENSE X ON X.ID_DEPENSE = L.ID_DETAIL WHERE X.ID_FNM <> R.ID_FNM",
        "SELECT COUNT(*) FROM ENT_ENG_REG R WHERE R.ID_ENG <= (SELECT MAX(ID_ENG) FROM ENT_ENG)",
        // expenses
        "SELECT COUNT(*) FROM DEPENSE WHERE TYPE_DEPENSE <> 0 AND NO_DEPENSE <> CAST(ID_DEPENSE AS VARCHAR(10))",
        "SELECT COUNT(*) FROM DEPENSE WHERE (TYPE_DEPENSE = 2) <> (ID_FNM IS NULL)",
        "SELECT COUNT(*) FROM DEPENSE X WHERE TYPE_DEPENSE = 2 AND MONTANT <> (SELECT SUM(S.MONTANT) FROM DET_SALAIRE S "
        "WHERE S.ID_DEPENSE = X.ID_DEPENSE AND S.TYPE_DET = 0)",
        "SELECT COUNT(*) FROM DET_SALAIRE S WHERE S.TYPE_DET = 0 AND NOT EXISTS (SELECT 1 FROM FNM F WHERE F.ID_FNM = S.ID_DETAIL AND F.SECTION = 1)",
        "SELECT COUNT(*) FROM DEPENSE X JOIN BENEF B ON B.ID_BEN = X.ID_BEN WHERE X.TYPE_DEPENSE < 2 AND B.TYPE_BEN <> X.TYPE_DEPENSE",
        // dates within the fiscal year
        "SELECT COUNT(*) FROM DEPENSE WHERE EXTRACT(YEAR FROM DATE_DEPENSE) <> 2024 OR DATEF_MISSION > DATE_DEPENSE "
        "OR DATED_MISSION > DATEF_MISSION",
        "SELECT COUNT(*) FROM ENT_ENG WHERE EXTRACT(YEAR FROM DATE_ENG) <> 2024 OR DATE_VISA < DATE_ENG AND ORIGINE IN ('', '1')",
        "SELECT COUNT(*) FROM ENT_MDT WHERE EXTRACT(YEAR FROM DATE_MDT) <> 2024",
        // budget lines: headings carry nothing, commitments stay within the credit at the year's end
        "SELECT COUNT(*) FROM FNM WHERE ART = '' AND (PAR <> '' OR MT_BP <> 0 OR MT_BS <> 0)",
        "SELECT COUNT(*) FROM FNM F WHERE F.ART <> '' AND "
        "(SELECT COALESCE(SUM(MONTANT), 0) FROM ENT_ENG E WHERE E.ID_FNM = F.ID_FNM AND OBJET = 0 AND ORIGINE = '' AND STATUT = 0) "
        "> F.MT_BP - F.MT_REGIE + F.MT_BS "
        "+ (SELECT COALESCE(SUM(MONTANT), 0) FROM VIREMENT V WHERE V.ID_FNM = F.ID_FNM AND SENS = 'E') "
        "- (SELECT COALESCE(SUM(MONTANT), 0) FROM VIREMENT V WHERE V.ID_FNM = F.ID_FNM AND SENS = 'D')",
        // the program's next keys follow the rows written
        "SELECT IIF(GEN_ID(GEN_ENGAGEMENT_ID, 0) = (SELECT MAX(ID_ENG) FROM ENT_ENG_REG) AND GEN_ID(GEN_MDT, 0) = (SELECT MAX(ID_MDT) FROM ENT_MDT) "
        "AND GEN_ID(GEN_DEPENSE_ID, 0) = (SELECT MAX(ID_DEPENSE) FROM DEPENSE) AND GEN_ID(GEN_VIR, 0) = (SELECT MAX(ID_VIR) FROM VIREMENT) "
        "AND GEN_ID(GEN_DET_SAL_ID, 0) = (SELECT MAX(ID_DET_SAL) FROM DET_SALAIRE), 0, 1) FROM RDB$DATABASE",
    };
    for (const char* sql : broken)
        EXPECT_EQ(number(sql), 0) << sql;
}

} // namespace

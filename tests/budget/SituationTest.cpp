// The financial situation: the rate rule, every view and filter on a year that
// holds each case the situation tells apart, and the grouped build checked
// against the per-line computation on a generated year.
#include "budget/SituationFixture.h"

#include "tools/FillYear.h"

#include <QElapsedTimer>

namespace {

TEST(SituationRate, ExactQuotientCutToTwoDecimals)
{
    struct Case {
        const char* payments;
        const char* credits;
        const char* rate;
    };
    const Case cases[] = {
        {"0.29", "1.00", "29.00"},          // not 28.99 as a floating-point product gives
        {"123456", "1000000", "12.34"},     // 12.3456 % is cut, not rounded
        {"2.92", "3.01", "97.00"},          // 97.009966... is cut, not first rounded to 97.0100
        {"19999.99", "20000", "99.99"},     // 99.99995 %: not fully paid, never 100.00
        {"20000", "20000", "100.00"},
        {"2", "3", "66.66"},
        {"50", "0", "0.00"},                // no revised credits
        {"0", "0", "0.00"},
        {"-25.5", "100", "-25.50"},
        {"1", "-3", "-33.33"},              // cut toward zero
        {"350", "100", "350.00"},
        {"9999999999999.99", "0.01", "9999999999999.99"},   // kept within the column
    };
    for (const Case& c : cases) {
        const Currency rate = SituationRate(*Currency::parse(QString::fromLatin1(c.payments)),
                                            *Currency::parse(QString::fromLatin1(c.credits)));
        EXPECT_EQ(rate.toFixed2(), QString::fromLatin1(c.rate)) << c.payments << " / " << c.credits;
    }
}

// Expected rows: chapter and article, then CR_AL, CR_RV, ENG, PMT, SLD, TAUX.
struct ExpectedRow {
    const char* chap;
    const char* art;
    const char* figures;
};

struct ViewCase {
    const char* name;
    int view;
    int eng;
    int mdt;
    QDate start;
    QDate end;
    std::vector<ExpectedRow> rows;
};

QString Figures(const TSituationRow& r)
{
    return QStringList{r.crAl.toFixed2(), r.crRv.toFixed2(), r.eng.toFixed2(), r.pmt.toFixed2(), r.sld.toFixed2(),
                       r.taux.toFixed2()}
        .join(QLatin1Char(' '));
}

// Each case lists every row of SIT_FIN in grid order.
const std::vector<ViewCase>& ViewCases()
{
    const QDate Feb1 = SituationTest::Feb1, Mar31 = SituationTest::Mar31;
    const QDate Jan1 = SituationTest::Jan1, Dec31 = SituationTest::Dec31;
    static const std::vector<ViewCase> cases = {
        {"section 1, all", svSection1, cfAll, pfAll, Feb1, Mar31,
         {{"21-01", "", "1000.00 1000.00 15.00 541.00 459.00 54.10"},
          // The salary line counts once though its expense stands on two
          // orders; the deduction does not count; the invoice paid on this
          // section-1 line does.
          {"21-01", "01", "1000.00 1000.00 15.00 441.00 559.00 44.10"},
          // Undated budget: counts from today (15/05), after the end.
          {"21-01", "02", "0.00 0.00 0.00 100.00 -100.00 0.00"},
          // Dated by its sheet (01/04), after the end; its salary order is too.
          {"21-01", "03", "0.00 0.00 0.00 0.00 0.00 0.00"}}},
        {"section 2, all", svSection2, cfAll, pfAll, Feb1, Mar31,
         // B1: the amending budget dated by its sheet (01/03) counts, the
         // transfer of 20/01 (before the start) too, not the one of 20/04;
         // C4 was cancelled before the end, C5 after it; C6 is before the
         // start; the orders of 10/04 and without a date do not count.
         // B2: the salary charged to this section-2 line counts.
         {{"22-01", "", "2000.00 1900.00 250.00 110.00 1790.00 5.78"},
          {"22-01", "01", "2000.00 1600.00 250.00 85.00 1515.00 5.31"},
          {"22-01", "02", "0.00 300.00 0.00 25.00 275.00 8.33"}}},
        {"both sections, all: section 1 + section 2", svBothSections, cfAll, pfAll, Feb1, Mar31,
         {{"21-01", "", "1000.00 1000.00 15.00 541.00 459.00 54.10"},
          {"21-01", "01", "1000.00 1000.00 15.00 441.00 559.00 44.10"},
          {"21-01", "02", "0.00 0.00 0.00 100.00 -100.00 0.00"},
          {"21-01", "03", "0.00 0.00 0.00 0.00 0.00 0.00"},
          {"22-01", "", "2000.00 1900.00 250.00 110.00 1790.00 5.78"},
          {"22-01", "01", "2000.00 1600.00 250.00 85.00 1515.00 5.31"},
          {"22-01", "02", "0.00 300.00 0.00 25.00 275.00 8.33"}}},
        {"section 2, visaed and paid", svSection2, cfVisaed, pfPaid, Feb1, Mar31,
         // C3 is visaed after the end: only C1.
         {{"22-01", "", "2000.00 1900.00 100.00 80.00 1820.00 4.21"},
          {"22-01", "01", "2000.00 1600.00 100.00 60.00 1540.00 3.75"},
          {"22-01", "02", "0.00 300.00 0.00 20.00 280.00 6.66"}}},
        {"section 2, not visaed and unpaid", svSection2, cfNotVisaed, pfUnpaid, Feb1, Mar31,
         {{"22-01", "", "2000.00 1900.00 80.00 30.00 1870.00 1.57"},
          {"22-01", "01", "2000.00 1600.00 80.00 25.00 1575.00 1.56"},
          {"22-01", "02", "0.00 300.00 0.00 5.00 295.00 1.66"}}},
        {"section 1, visaed and unpaid", svSection1, cfVisaed, pfUnpaid, Feb1, Mar31,
         // The salary expense counts through its unpaid order; the paid
         // mission and invoice do not.
         {{"21-01", "", "1000.00 1000.00 15.00 500.00 500.00 50.00"},
          {"21-01", "01", "1000.00 1000.00 15.00 400.00 600.00 40.00"},
          {"21-01", "02", "0.00 0.00 0.00 100.00 -100.00 0.00"},
          {"21-01", "03", "0.00 0.00 0.00 0.00 0.00 0.00"}}},
        {"both sections, the whole year", svBothSections, cfAll, pfAll, Jan1, Dec31,
         {{"21-01", "", "2300.00 2500.00 15.00 611.00 1889.00 24.44"},
          {"21-01", "01", "1000.00 1200.00 15.00 441.00 759.00 36.75"},
          {"21-01", "02", "500.00 500.00 0.00 100.00 400.00 20.00"},
          {"21-01", "03", "800.00 800.00 0.00 70.00 730.00 8.75"},
          {"22-01", "", "2000.00 1900.00 240.00 200.00 1700.00 10.52"},
          {"22-01", "01", "2000.00 1550.00 240.00 175.00 1375.00 11.29"},
          {"22-01", "02", "0.00 350.00 0.00 25.00 325.00 7.14"}}},
        // The recap sums the same figures by section: the invoice paid on a
        // section-1 line and the salary on a section-2 line count there too.
        {"general recap, first quarter", svRecap, cfAll, pfAll, Jan1, Mar31,
         {{"R", ".", "1000.00 1000.00 15.00 541.00 459.00 54.10"},
          {"R", ".", "2000.00 1900.00 270.00 110.00 1790.00 5.78"}}},
    };
    return cases;
}

TEST_F(SituationTest, EveryViewAndFilterOnEachCase)
{
    MakeYear();
    TSituationStore store(DM->LURDO);
    for (const ViewCase& c : ViewCases()) {
        SCOPED_TRACE(c.name);
        const TSituationRequest r = Request(c.view, c.eng, c.mdt, c.start, c.end);
        const auto rows = c.view == svRecap ? store.RecapRows(r) : store.LineRows(r);
        Store(store, rows);
        const std::vector<TSituationRow> stored = store.StoredRows();
        ASSERT_EQ(stored.size(), c.rows.size());
        for (size_t i = 0; i < stored.size(); ++i) {
            EXPECT_EQ(stored[i].chap, QString::fromLatin1(c.rows[i].chap)) << i;
            EXPECT_EQ(stored[i].art, QString::fromLatin1(c.rows[i].art)) << i;
            EXPECT_EQ(Figures(stored[i]), QString::fromLatin1(c.rows[i].figures)) << Describe(stored[i]).toStdString();
        }
        if (c.view == svRecap) {
            EXPECT_EQ(stored[0].intitule, QStringLiteral("SECTION 1"));
            EXPECT_EQ(stored[1].intitule, QStringLiteral("SECTION 2"));
            EXPECT_EQ(stored[0].idFnm, -2);
        }
        // The per-line computation agrees on each case.
        EXPECT_EQ(Sorted(ReferenceSituation(DM->LURDO, r)), Sorted(stored));
        DM->LURDO.rollback();
    }
}

// Whatever the filters and the period, the combined view is the two section
// views together and the recap sums their lines: a payment counts on its line
// whatever the view, the line's section or the payment's kind.
TEST_F(SituationTest, ViewsAndRecapDifferOnlyByTheLinesTheyShow)
{
    MakeYear();
    TSituationStore store(DM->LURDO);
    for (const auto& [start, end] : {std::pair(Feb1, Mar31), std::pair(Jan1, Dec31)}) {
        for (int eng = 0; eng < 3; ++eng) {
            for (int mdt = 0; mdt < 3; ++mdt) {
                SCOPED_TRACE(QStringLiteral("commitments %1, payments %2, to %3").arg(eng).arg(mdt)
                                 .arg(end.toString(Qt::ISODate)).toStdString());
                const auto section1 = store.LineRows(Request(svSection1, eng, mdt, start, end));
                const auto section2 = store.LineRows(Request(svSection2, eng, mdt, start, end));
                std::vector<TSituationRow> both = section1;
                both.insert(both.end(), section2.begin(), section2.end());
                EXPECT_EQ(Sorted(store.LineRows(Request(svBothSections, eng, mdt, start, end))), Sorted(both));

                const auto recap = store.RecapRows(Request(svRecap, eng, mdt, start, end));
                ASSERT_EQ(recap.size(), 2u);
                for (size_t s = 0; s < 2; ++s) {
                    TSituationRow sums;
                    for (const TSituationRow& row : s == 0 ? section1 : section2) {
                        if (row.IsChapter())
                            continue;
                        sums.crAl += row.crAl;
                        sums.crRv += row.crRv;
                        sums.eng += row.eng;
                        sums.pmt += row.pmt;
                    }
                    EXPECT_EQ(Figures(recap[s]).section(QLatin1Char(' '), 0, 3),
                              Figures(sums).section(QLatin1Char(' '), 0, 3))
                        << "section " << s + 1;
                }
            }
        }
    }
}

TEST_F(SituationTest, TotalsLeaveChapterRowsOutAndFallBackOnInitialCredits)
{
    MakeYear();
    TSituationStore store(DM->LURDO);
    EXPECT_TRUE(store.Totals().empty);
    const auto rows = store.LineRows(Request(svBothSections, cfAll, pfAll, Feb1, Mar31));
    Store(store, rows);
    TSituationTotals t = store.Totals();
    EXPECT_FALSE(t.empty);
    EXPECT_EQ(t.sums.crAl, Money("3000"));
    EXPECT_EQ(t.sums.crRv, Money("2900"));
    EXPECT_EQ(t.sums.eng, Money("265"));
    EXPECT_EQ(t.sums.pmt, Money("651"));
    EXPECT_EQ(t.sums.sld, Money("2249"));
    EXPECT_EQ(t.sums.taux, Money("22.44"));   // 651 / 2900 = 22.448...

    // Without revised credits the rate is taken on the initial credits.
    Exec(QStringLiteral("UPDATE SIT_FIN SET CR_RV = 0"));
    EXPECT_EQ(store.Totals().sums.taux, Money("21.70"));   // 651 / 3000
}

TEST_F(SituationTest, ReplaceWritesEverythingOrNothing)
{
    MakeYear();
    TSituationStore store(DM->LURDO);
    const auto first = store.LineRows(Request(svSection2, cfAll, pfAll, Feb1, Mar31));
    Store(store, first);
    Exec(QStringLiteral("UPDATE DET_SALAIRE SET MONTANT = NULL WHERE ID_DET_SAL = 4"));
    DM->CommitWork();

    // A row the table cannot hold fails the write: the previous situation stays whole.
    auto rows = store.LineRows(Request(svBothSections, cfAll, pfAll, Feb1, Mar31));
    rows.back().chap = QStringLiteral("TOO-LONG-A-CHAPTER");
    EXPECT_THROW(Store(store, rows), db::DbError);
    db::Query q(Committed(), QStringLiteral("SELECT COUNT(*) AS N FROM SIT_FIN"));
    q.open();
    EXPECT_EQ(q.asInt(QStringLiteral("N")), 3);
    db::Query s(Committed(), QStringLiteral("SELECT COUNT(*) AS N FROM DET_SALAIRE WHERE MONTANT IS NULL"));
    s.open();
    EXPECT_EQ(s.asInt(QStringLiteral("N")), 1);

    // A good write also gives salary lines without an amount a zero.
    rows = store.LineRows(Request(svBothSections, cfAll, pfAll, Feb1, Mar31));
    Store(store, rows);
    q.open();
    EXPECT_EQ(q.asInt(QStringLiteral("N")), 7);
    db::Query s2(Committed(), QStringLiteral("SELECT COUNT(*) AS N FROM DET_SALAIRE WHERE MONTANT IS NULL"));
    s2.open();
    EXPECT_EQ(s2.asInt(QStringLiteral("N")), 0);
}

TEST(SituationPeriod, QuarterEnds)
{
    EXPECT_EQ(QuarterEnd(0, 2024), QDate(2024, 3, 31));
    EXPECT_EQ(QuarterEnd(1, 2024), QDate(2024, 6, 30));
    EXPECT_EQ(QuarterEnd(2, 2024), QDate(2024, 9, 30));
    EXPECT_EQ(QuarterEnd(3, 2024), QDate(2024, 12, 31));
}

// The grouped build and the per-line computation give the same rows on a
// generated year, for every view, filter and period. The year also holds
// budgets without a visa date (some without any sheet), orders without a date,
// salary expenses on two orders and salary lines without an amount.
TEST_F(SituationTest, GroupedBuildEqualsThePerLineComputationOnAGeneratedYear)
{
    fill::Options o;
    o.year = Year;
    o.seed = 11;
    o.chapters = 8;
    o.budgetRows = 90;
    o.beneficiaries = 30;
    o.expenses = 1500;
    o.transfers = 25;
    o.paymentOrders = 400;
    fill::FillYear(DM->LURDO, o);
    Exec(QStringLiteral("UPDATE FNM SET DATE_BP = NULL WHERE MOD(ID_FNM, 5) = 0"));
    Exec(QStringLiteral("DELETE FROM ENT_ENG WHERE ORIGINE = :ORIGINE AND MOD(ID_FNM, 10) = 0"),
         {{"ORIGINE", toDbValue(SheetOrigin::PrimitiveBudget)}});
    Exec(QStringLiteral("UPDATE FNM SET DATE_BS = NULL WHERE MOD(ID_FNM, 3) = 0"));
    Exec(QStringLiteral("UPDATE ENT_MDT SET DATE_MDT = NULL WHERE MOD(ID_MDT, 37) = 0"));
    Exec(QStringLiteral("INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) "
                        "SELECT MOD(D.ID_MDT + 50, 400) + 1, 90, D.ID_DETAIL, D.MONTANT FROM DET_MDT D "
                        "JOIN DEPENSE E ON E.ID_DEPENSE = D.ID_DETAIL WHERE E.TYPE_DEPENSE = :K AND MOD(E.ID_DEPENSE, 3) = 0"),
         {{"K", toDbValue(ExpenseKind::SalaryToPay)}});
    Exec(QStringLiteral("UPDATE DET_SALAIRE SET MONTANT = NULL WHERE MOD(ID_DET_SAL, 41) = 0"));
    DM->CommitWork();

    const std::pair<QDate, QDate> periods[] = {{QDate(2024, 2, 15), QDate(2024, 8, 10)}, {Jan1, Dec31}};
    TSituationStore store(DM->LURDO);
    int nonEmpty = 0;
    for (const auto& [start, end] : periods) {
        for (int view = svSection1; view <= svRecap; ++view) {
            for (int eng = 0; eng < 3; ++eng) {
                for (int mdt = 0; mdt < 3; ++mdt) {
                    SCOPED_TRACE(QStringLiteral("view %1, commitments %2, payments %3, %4 - %5")
                                     .arg(view).arg(eng).arg(mdt)
                                     .arg(start.toString(Qt::ISODate), end.toString(Qt::ISODate)).toStdString());
                    TSituationRequest r = Request(view, eng, mdt, start, end);
                    const auto rows = view == svRecap ? store.RecapRows(r) : store.LineRows(r);
                    store.Replace(rows);
                    const auto grouped = Sorted(store.StoredRows());
                    const auto reference = Sorted(ReferenceSituation(DM->LURDO, r));
                    ASSERT_EQ(grouped.size(), reference.size());
                    for (size_t i = 0; i < grouped.size(); ++i)
                        ASSERT_EQ(Describe(grouped[i]), Describe(reference[i]));
                    for (const TSituationRow& row : grouped)
                        nonEmpty += !row.pmt.isZero() && !row.eng.isZero();
                    DM->LURDO.rollback();
                }
            }
        }
    }
    EXPECT_GT(nonEmpty, 500);   // the year gives every measure something to count
}

} // namespace

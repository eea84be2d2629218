// The employer's social charges: the contributions to the ten-thousandth, the
// bases a period's payment orders give (driven through the window), and the
// one query against the order-by-order reading on a generated year.
#include "expenditure/ExpenseFixture.h"

#include "controls/NumEdit.h"
#include "expenditure/ExpenseStore.h"
#include "expenditure/SocialCharges.h"
#include "expenditure/UChargesSoc.h"
#include "tools/FillYear.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <initializer_list>

using rows::Money;

namespace {

struct RateCase {
    const char* base;
    std::int64_t rate;
    std::int64_t expectedRaw;   // ten-thousandths
};

// base × rate to the ten-thousandth, halves to the even one.
TEST(SocialChargesRates, ContributionsAreRoundedToTheTenThousandthHalvesToEven)
{
    const RateCase cases[] = {
        {"10000.00", charges::RegimeGeneralRate, 2375'0000},
        {"10000.00", charges::UnemploymentRate, 100'0000},
        {"10000.00", charges::EarlyRetirementRate, 25'0000},
        {"10000.00", charges::AllRates, 2500'0000},
        {"0.01", charges::RegimeGeneralRate, 24},     // 23.75 ten-thousandths
        {"0.01", charges::UnemploymentRate, 1},
        {"0.01", charges::EarlyRetirementRate, 0},    // 0.25
        {"0.02", charges::EarlyRetirementRate, 0},    // 0.5: the even neighbour is 0
        {"0.06", charges::EarlyRetirementRate, 2},    // 1.5: the even neighbour is 2
        {"0.03", charges::AllRates, 75},
        {"-0.06", charges::EarlyRetirementRate, -2},
        // Beyond 64 bits before the division.
        {"9999999999999.99", charges::RegimeGeneralRate, 2374999999999'9976},
    };
    for (const RateCase& c : cases)
        EXPECT_EQ(charges::AtRate(Money(c.base), c.rate).raw(), c.expectedRaw) << c.base << " at " << c.rate;
}

class ChargesSocTest : public ExpenseTest {
protected:
    void SetUp() override
    {
        ExpenseTest::SetUp();
        salaryA = rows::BudgetLine(QStringLiteral("21-01"), QStringLiteral("02"), QStringLiteral("01"),
                                   QStringLiteral("Traitements"));
        salaryB = rows::BudgetLine(QStringLiteral("21-01"), QStringLiteral("01"), QString(),
                                   QStringLiteral("Salaires"));
        rows::Exec(QStringLiteral("UPDATE FNM SET SOUMIS_CHARGE=1 WHERE ID_FNM IN (:A, :B, :C)"),
                   {{"A", social}, {"B", salaryA}, {"C", salaryB}});
        DM->CommitWork();
    }

    // A payment order of `number` dated `date` paying each expense its amount.
    void Order(const char* number, const QDate& date, std::initializer_list<std::pair<qint64, const char*>> lines)
    {
        rows::Write([&] {
            const qint64 id = DM->NextGeneratorValue(QStringLiteral("GEN_MDT"));
            rows::Exec(QStringLiteral("INSERT INTO ENT_MDT (ID_MDT, NO_MDT, DATE_MDT, STATUT, MONTANT) "
                                      "VALUES (:ID, :NO, :D, :S, 0)"),
                       {{"ID", id}, {"NO", QString::fromLatin1(number)}, {"D", date},
                        {"S", toDbValue(OrderStatus::Paid)}});
            int noLine = 1;
            for (const auto& [expense, amount] : lines)
                rows::Exec(QStringLiteral("INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) "
                                          "VALUES (:ID, :N, :D, :M)"),
                           {{"ID", id}, {"N", qint64(noLine++)}, {"D", expense}, {"M", Money(amount)}});
        });
    }

    std::unique_ptr<TfrmChargesSoc> Open()
    {
        auto w = std::make_unique<TfrmChargesSoc>();
        w->show();
        return w;
    }

    static void Run(TfrmChargesSoc& w, const char* start, const char* end)
    {
        w.edDateD->setText(QString::fromLatin1(start));
        w.edDateF->setText(QString::fromLatin1(end));
        w.btnAffiche->click();
    }

    static QStringList Row(const TfrmChargesSoc& w, int row)
    {
        QStringList cells;
        for (int c = 0; c < w.grdCharges->model()->columnCount(); ++c)
            cells << w.grdCharges->model()->index(row, c).data().toString();
        return cells;
    }

    qint64 salaryA = 0, salaryB = 0;
};

// The period's orders give one row per base: an invoice on a line subject to
// charges, each subject imputation of a salary expense in chapter, article,
// paragraph order; a line not subject to charges and an order outside the
// period give none. The totals add the contributions base by base.
TEST_F(ChargesSocTest, APeriodListsItsBasesWithTheirContributionsAndTotals)
{
    const qint64 invoice = rows::Expense(ExpenseKind::Invoice, social, supplier, Money("10000"));
    const qint64 notSubject = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("500"));
    const qint64 pay = rows::Expense(ExpenseKind::SalaryToPay, -1, employee, Money("3000"));
    rows::Imputation(pay, salaryA, Money("1000"));
    rows::Imputation(pay, line, Money("1500"));
    rows::Imputation(pay, salaryB, Money("0.01"));
    const qint64 later = rows::Expense(ExpenseKind::Invoice, social, supplier, Money("700"));
    Order("0002", QDate(2024, 2, 10), {{notSubject, "500"}, {pay, "2500.01"}});
    Order("0001", QDate(2024, 2, 1), {{invoice, "10000"}});
    Order("0003", QDate(2024, 6, 1), {{later, "700"}});

    auto w = Open();
    EXPECT_EQ(w->edDateD->text(), QStringLiteral("01/01/2024"));
    EXPECT_EQ(w->edDateF->text(), QStringLiteral("31/12/2024"));
    Run(*w, "01/01/2024", "31/03/2024");
    ASSERT_TRUE(messages->calls().isEmpty()) << messages->texts().join(" | ").toStdString();
    ASSERT_EQ(w->grdCharges->model()->rowCount(), 3);
    EXPECT_EQ(Row(*w, 0), (QStringList{"1", "0001", "01/02/2024", "21-05-01 ", "10 000.00", "2 375.00", "100.00",
                                       "25.00"}));
    EXPECT_EQ(Row(*w, 1), (QStringList{"2", "0002", "10/02/2024", "21-01-01 ", "0.01", "0.00", "0.00", "0.00"}));
    EXPECT_EQ(Row(*w, 2), (QStringList{"3", "0002", "10/02/2024", "21-01-02 01", "1 000.00", "237.50", "10.00",
                                       "2.50"}));
    EXPECT_EQ(w->edTotGEn->AsCurrency(), Money("11000.01"));
    // 2 612.5024 + 110.0001 + 27.50 ten-thousandths exact, shown to the cent.
    EXPECT_EQ(w->edMtRegGen->text(), QStringLiteral("2 612.50"));
    EXPECT_EQ(w->edMtAssChom->text(), QStringLiteral("110.00"));
    EXPECT_EQ(w->edMtRetAnt->text(), QStringLiteral("27.50"));
    EXPECT_EQ(w->edMtTot->text(), QStringLiteral("2 750.00"));

    // An adjusted contribution: the 25 % total follows the three fields.
    w->edMtAssChom->setFocus();
    w->edMtAssChom->selectAll();
    QTest::keyClicks(w->edMtAssChom, QStringLiteral("120"));
    EXPECT_EQ(w->edMtTot->AsCurrency(), Money("2760.00"));

    // A shorter period afterwards shows its own rows only.
    Run(*w, "01/02/2024", "05/02/2024");
    ASSERT_EQ(w->grdCharges->model()->rowCount(), 1);
    EXPECT_EQ(Row(*w, 0)[1], QStringLiteral("0001"));
    EXPECT_EQ(w->edTotGEn->AsCurrency(), Money("10000"));
    EXPECT_EQ(w->edMtTot->AsCurrency(), Money("2500"));

    // A period without orders leaves every total at 0.
    Run(*w, "01/11/2024", "30/11/2024");
    EXPECT_EQ(w->grdCharges->model()->rowCount(), 0);
    for (TNumEdit* e : {w->edTotGEn, w->edMtRegGen, w->edMtAssChom, w->edMtRetAnt, w->edMtTot})
        EXPECT_EQ(e->AsCurrency(), Currency()) << e->objectName().toStdString();
}

// Before any computation the 25 % total does not follow a contribution typed.
TEST_F(ChargesSocTest, TheTotalFollowsTheContributionsOnlyAfterAComputation)
{
    auto w = Open();
    w->edMtRegGen->setFocus();
    QTest::keyClicks(w->edMtRegGen, QStringLiteral("50"));
    EXPECT_EQ(w->edMtTot->AsCurrency(), Currency());
}

// A period that is no period is refused, naming the field, and the grid keeps
// what it showed.
TEST_F(ChargesSocTest, AWrongPeriodIsRefusedWithItsMessage)
{
    struct Case {
        const char* start;
        const char* end;
        const char* message;
        const char* field;
    };
    const Case cases[] = {
        {"31/03/2024", "01/03/2024", "La date de fin est inférieure à la date de début !", "edDateF"},
        {"32/01/2024", "01/03/2024", "La date de début période est incorrecte !", "edDateD"},
        {"01/01/2024", "", "La date de fin période est incorrecte !", "edDateF"},
        {"01/01/2023", "01/03/2024", "La date de début période ne correspond pas à l'exercice en cours !",
         "edDateD"},
    };
    auto w = Open();
    QApplication::setActiveWindow(w.get());
    for (const Case& c : cases) {
        messages->clear();
        Run(*w, c.start, c.end);
        ASSERT_EQ(messages->calls().size(), 1) << c.start << " " << c.end;
        EXPECT_EQ(messages->calls()[0].text, QString::fromUtf8(c.message));
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QString::fromLatin1(c.field));
    }
}

// The bases read order by order with the statements of the per-order form.
QList<charges::TChargeBase> PerOrderBases(const QDate& start, const QDate& end)
{
    QList<charges::TChargeBase> out;
    db::Query fnm(DM->LURDO, QStringLiteral("SELECT ID_FNM, CHAP, ART, PAR, SOUMIS_CHARGE FROM FNM"));
    fnm.open();
    QHash<qint64, int> lineRow;
    for (int r = 0; r < fnm.rowCount(); ++r)
        lineRow.insert(db::toInt(fnm.at(r, 0)), r);
    db::Query mdt(DM->LURDO, QStringLiteral("SELECT ID_MDT, NO_MDT, DATE_MDT FROM ENT_MDT WHERE DATE_MDT>=:DATE_D "
                                            "AND DATE_MDT<=:DATE_F ORDER BY NO_MDT, DATE_MDT, ID_MDT"));
    mdt.setParam(QStringLiteral("DATE_D"), start);
    mdt.setParam(QStringLiteral("DATE_F"), end);
    mdt.open();
    db::Query det(DM->LURDO, QStringLiteral("SELECT A.MONTANT, ID_FNM, ID_DEPENSE, TYPE_DEPENSE FROM DET_MDT A "
                                            "LEFT JOIN DEPENSE B ON ID_DETAIL=ID_DEPENSE WHERE ID_MDT=:ID_MDT "
                                            "ORDER BY NOLINE"));
    db::Query sal(DM->LURDO, QStringLiteral("SELECT ID_DET_SAL, ID_DEPENSE, ID_DETAIL, MONTANT, CHAP, ART, PAR FROM "
                                            "DET_SALAIRE A LEFT JOIN FNM B ON ID_DETAIL=ID_FNM WHERE TYPE_DET=:TYPE_DET "
                                            "AND ID_DEPENSE=:ID_DEPENSE AND ID_DETAIL IN (SELECT ID_FNM FROM FNM "
                                            "WHERE SOUMIS_CHARGE=1) ORDER BY CHAP, ART, PAR, ID_DET_SAL"));
    for (int m = 0; m < mdt.rowCount(); ++m) {
        charges::TChargeBase order;
        order.idMdt = db::toInt(mdt.at(m, 0));
        order.noMdt = db::toText(mdt.at(m, 1)).trimmed();
        order.dateMdt = db::toDate(mdt.at(m, 2));
        det.setParam(QStringLiteral("ID_MDT"), order.idMdt);
        det.open();
        for (int d = 0; d < det.rowCount(); ++d) {
            if (db::toInt(det.at(d, 3)) == toDb(ExpenseKind::SalaryToPay)) {
                sal.setParam(QStringLiteral("TYPE_DET"), toDbValue(SalaryLineType::Imputation));
                sal.setParam(QStringLiteral("ID_DEPENSE"), db::toInt(det.at(d, 2)));
                sal.open();
                for (int s = 0; s < sal.rowCount(); ++s) {
                    charges::TChargeBase b = order;
                    b.base = db::toCurrency(sal.at(s, 3));
                    b.chap = db::toText(sal.at(s, 4)).trimmed();
                    b.art = db::toText(sal.at(s, 5)).trimmed();
                    b.par = db::toText(sal.at(s, 6)).trimmed();
                    out.append(b);
                }
                continue;
            }
            const auto found = lineRow.constFind(db::toInt(det.at(d, 1)));
            if (db::isNull(det.at(d, 1)) || found == lineRow.constEnd() || db::toInt(fnm.at(*found, 4)) != 1)
                continue;
            charges::TChargeBase b = order;
            b.base = db::toCurrency(det.at(d, 0));
            b.chap = db::toText(fnm.at(*found, 1)).trimmed();
            b.art = db::toText(fnm.at(*found, 2)).trimmed();
            b.par = db::toText(fnm.at(*found, 3)).trimmed();
            out.append(b);
        }
    }
    return out;
}

TEST_F(ChargesSocTest, TheOneQueryGivesTheBasesOfTheOrderByOrderReading)
{
    fill::Options o;
    o.seed = 7;
    o.chapters = 6;
    o.budgetRows = 60;
    o.beneficiaries = 20;
    o.expenses = 900;
    o.transfers = 10;
    o.paymentOrders = 300;
    fill::FillYear(DM->LURDO, o);
    const QDate periods[][2] = {{QDate(2024, 1, 1), QDate(2024, 12, 31)}, {QDate(2024, 4, 1), QDate(2024, 6, 30)}};
    for (const auto& p : periods) {
        const QList<charges::TChargeBase> expected = PerOrderBases(p[0], p[1]);
        const QList<charges::TChargeBase> got = charges::ReadBases(p[0], p[1]);
        ASSERT_FALSE(expected.isEmpty());
        EXPECT_EQ(got, expected) << p[0].toString().toStdString();
        const charges::TChargeTotals a = charges::TotalsOf(got), b = charges::TotalsOf(expected);
        EXPECT_EQ(a.base, b.base);
        EXPECT_EQ(a.contributions, b.contributions);
    }
}

} // namespace

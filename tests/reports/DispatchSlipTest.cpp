// The dispatch slip: the line each order prints (a table of cases over the
// rule), and the document on a year database: the chosen orders by number,
// the salary orders' budget lines, the heading's number.
#include "common/ExpenseRows.h"
#include "common/MessageRecorder.h"
#include "common/TextBoxes.h"
#include "common/YearDb.h"
#include "core/Fonts.h"
#include "core/GlobalState.h"
#include "core/IniFile.h"
#include "reports/ReportTestSupport.h"
#include "reports/etats/URptBord_Mdt.h"
#include "shell/Startup.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>

namespace {

using rows::Money;

TEST(DispatchSlipLine, EachOrderNamesWhatItPays)
{
    const std::map<qint64, TSlipBudgetLine> budget = {{1, {"22-04", "01", ""}}, {2, {"21-01", "02", "03"}},
                                                      {3, {"21-01", "04", ""}}};
    const TSlipLookups lookups{
        [&](qint64 id) -> const TSlipBudgetLine* {
            const auto it = budget.find(id);
            return it == budget.end() ? nullptr : &it->second;
        },
        [](qint64 id, QString& nom, QString& bank) {
            if (id == 10) {
                nom = QStringLiteral("SARL ALPHA");
                bank = QStringLiteral("BNA");
                return true;
            }
            if (id == 11) {
                nom = QStringLiteral("EURL BETA");
                bank = QString();   // no such bank
                return true;
            }
            return false;
        }};
    const TSlipExpense invoice{ExpenseKind::Invoice, PaymentType::Payment, QStringLiteral("F-12"), QDate(2024, 3, 1),
                               10, 1};
    const TSlipExpense refund{ExpenseKind::Invoice, PaymentType::Reimbursement, QStringLiteral("F-13"),
                              QDate(2024, 3, 2), 11, 1};
    const TSlipExpense mission{ExpenseKind::Mission, PaymentType::Payment, QStringLiteral("7"), QDate(), 10, 3};
    const TSlipExpense salary{ExpenseKind::SalaryToPay, PaymentType::Payment, QStringLiteral("8"), QDate(), 11, -1};
    const TSlipExpense missing{std::nullopt, PaymentType::Reimbursement, QString(), QDate(), -1, -1};

    struct Case {
        const char* name;
        std::vector<TSlipExpense> lines;
        qint64 salaryFnm;
        QStringList printed;   // chap, art, par, bank, name, observation
    };
    const Case cases[] = {
        {"one invoice", {invoice}, -1, {"22-04", "01", "", "BNA", "SARL ALPHA", "PMT FACT. N° F-12  DU  01/03/2024"}},
        {"one refunded invoice, bank missing", {refund}, -1,
         {"22-04", "01", "", "", "EURL BETA", "RMB FACT. N° F-13  DU  02/03/2024"}},
        {"one mission", {mission}, -1, {"21-01", "04", "", "BNA", "SARL ALPHA", "PMT FRAIS MISSION"}},
        {"one salary: its detail's first line", {salary}, 2,
         {"21-01", "02", "03", "", "EURL BETA", "SAL. DU PERSONNEL"}},
        {"no line", {}, -1, {"", "", "", "DIVERS", "DIVERS", "RMB DIV .FACT."}},
        {"two invoices of one supplier", {invoice, invoice}, -1,
         {"22-04", "01", "", "BNA", "SARL ALPHA", "PMT DIV .FACT."}},
        {"two suppliers on one line", {refund, invoice}, -1, {"22-04", "01", "", "DIVERS", "DIVERS", "RMB DIV .FACT."}},
        {"missions on two lines", {mission, invoice}, -1, {"", "", "", "BNA", "SARL ALPHA", "PMT DIV. MISSION"}},
        {"salaries and invoices", {salary, invoice}, 2, {"", "", "", "DIVERS", "DIVERS", "DIV. PAIEMENTS"}},
        {"a missing expense (NULL columns)", {missing}, -1, {"", "", "", "", "", "RMB FACT. N°   DU  "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TSlipOrder order;
        order.lines = c.lines;
        order.salaryFnm = c.salaryFnm;
        const TSlipLine line = SlipLineOf(order, lookups);
        EXPECT_EQ(QStringList({line.chap, line.art, line.par, line.bank, line.nom, line.observation}), c.printed);
    }
}

class DispatchSlipTest : public YearDbTest {
protected:
    void SetUp() override
    {
        YearDbTest::SetUp();
        InitProgramResources();
        RegisterFontSubstitutions();
        saved = {IniPath, FiscalYear, City};
        IniPath = folder.path() + QStringLiteral("/VOREL.INI");
        FiscalYear = QStringLiteral("2024");
        City = QStringLiteral("Alger");
        ben = rows::Beneficiary(QStringLiteral("PERSONNEL"));
        first = rows::BudgetLine(QStringLiteral("21-01"), QStringLiteral("01"), QString(), QStringLiteral("Traitements"));
        second = rows::BudgetLine(QStringLiteral("21-01"), QStringLiteral("02"), QString(), QStringLiteral("Primes"));
    }
    void TearDown() override
    {
        IniPath = saved.ini;
        FiscalYear = saved.year;
        City = saved.city;
        YearDbTest::TearDown();
    }

    // A salary expense imputed on `a` then `b`, `b` first in NO_ORD order when `bFirst`.
    qint64 Salary(qint64 a, qint64 b, bool bFirst) const
    {
        const qint64 e = rows::Expense(ExpenseKind::SalaryToPay, -1, ben, Money("300"));
        rows::Imputation(e, a, Money("100"));
        rows::Imputation(e, b, Money("200"));
        if (bFirst)
            rows::Write([&] {
                rows::Exec(QStringLiteral("UPDATE DET_SALAIRE SET NO_ORD=NO_ORD+1000 WHERE ID_DEPENSE=:E AND ID_DETAIL=:A"),
                           {{"E", e}, {"A", a}});
            });
        return e;
    }

    QTemporaryDir folder;
    struct {
        QString ini, year, city;
    } saved;
    qint64 ben = 0, first = 0, second = 0;
};

TEST_F(DispatchSlipTest, ChosenOrdersByNumberWithTheirOwnSalaryLines)
{
    rows::PaymentOrder(7, {Salary(first, second, true)});
    rows::PaymentOrder(3, {Salary(first, second, false)});
    rows::PaymentOrder(5, {rows::Expense(ExpenseKind::Invoice, first, ben, Money("12"), QStringLiteral("F-1"))});
    IniWriteString(IniPath, QStringLiteral("PARAM"), QStringLiteral("SUFFIXE"), QStringLiteral("FS"));

    TfrmRptBord_Mdt form;
    form.Orders = QStringLiteral("7, 3,7");   // chosen out of order, one twice
    const auto pages = form.Prepare();
    ASSERT_EQ(pages->count(), 1);
    const rpt::Page& page = pages->page(0);
    EXPECT_EQ(page.textsOf(QStringLiteral("dbNO_MDT")), QStringList({"0003", "0007"}));
    EXPECT_EQ(page.textsOf(QStringLiteral("dbART")), QStringList({"01", "02"}));
    QStringList observations = page.textsOf(QStringLiteral("dbOBS"));
    for (QString& o : observations)
        o = o.simplified();   // the column wraps
    EXPECT_EQ(observations, QStringList({"SAL. DU PERSONNEL", "SAL. DU PERSONNEL"}));
    EXPECT_EQ(page.textsOf(QStringLiteral("dbMONTANT")), QStringList({"300.00", "300.00"}));
    EXPECT_EQ(page.textsOf(QStringLiteral("lNoBord")), QStringList({"____/FS/2024"}));

    // Without the key, the blanks are followed by the year.
    IniWriteString(IniPath, QStringLiteral("PARAM"), QStringLiteral("SUFFIXE"), QString());
    TfrmRptBord_Mdt none;
    none.Orders = QString();
    const auto empty = none.Prepare();
    ASSERT_EQ(empty->count(), 1);
    EXPECT_TRUE(empty->page(0).textsOf(QStringLiteral("dbNO_MDT")).isEmpty());
    EXPECT_EQ(empty->page(0).textsOf(QStringLiteral("lNoBord")), QStringList({"____//2024"}));
}

// A long faculty name wraps in the heading in place of ending with the
// ellipsis; a column's cells print in one size, the one its longest value
// needs, a long word of a wrapping column whole.
TEST_F(DispatchSlipTest, LongTextsWrapOrShrinkTheirColumnTogether)
{
    const QString savedFaculty = FacultyName;
    const QString faculty =
        QStringLiteral("Faculté des Sciences Economiques, des Sciences Commerciales et des Sciences de Gestion");
    FacultyName = faculty;
    rows::Write([] { rows::Exec(QStringLiteral("INSERT INTO BANQUE (ID_BANQUE, RS) VALUES (0, 'ALBARAKABANK')")); });
    const qint64 bank = rows::Scalar(QStringLiteral("SELECT MAX(ID_BANQUE) FROM BANQUE"));
    rows::Write([&] {
        rows::Exec(QStringLiteral("UPDATE BENEF SET ID_BANQUE=:B WHERE ID_BEN=:ID"), {{"B", bank}, {"ID", ben}});
    });
    const qint64 small = rows::Beneficiary(QStringLiteral("SARL ALPHA"));
    rows::PaymentOrder(1, {rows::Expense(ExpenseKind::Invoice, first, small, Money("12"), QStringLiteral("F-1"))});
    rows::PaymentOrder(2, {rows::Expense(ExpenseKind::Invoice, first, ben, Money("9999999999999.99"), QStringLiteral("F-2"))});
    rows::PaymentOrder(3, {rows::Expense(ExpenseKind::Invoice, first, small, Money("40"), QStringLiteral("F-3"))});

    TfrmRptBord_Mdt form;
    form.Orders = QStringLiteral("1,2,3");
    const auto pages = form.Prepare();
    FacultyName = savedFaculty;
    ASSERT_EQ(pages->count(), 1);
    const rpt::Page& page = pages->page(0);
    ExpectTextsInTheirBoxes(page);
    const rpt::PageItem* fac = page.item(QStringLiteral("lFac"));
    ASSERT_NE(fac, nullptr);
    EXPECT_EQ(fac->text.split(QLatin1Char('\n')).join(QLatin1Char(' ')), faculty);

    EXPECT_EQ(page.textsOf(QStringLiteral("dbMONTANT")), QStringList({"12.00", "9 999 999 999 999.99", "40.00"}));
    EXPECT_EQ(page.textsOf(QStringLiteral("dbBANQUE")).value(1), QStringLiteral("ALBARAKABANK"));
    for (const char* column : {"dbMONTANT", "dbBANQUE"}) {
        SCOPED_TRACE(column);
        const QString name = QString::fromLatin1(column);
        const double size = page.item(name)->font.pointSizeF();
        EXPECT_LT(size, 9);
        for (int i = 0; i < 3; ++i) {
            if (const rpt::PageItem* cell = page.item(name, i)) {
                EXPECT_DOUBLE_EQ(cell->font.pointSizeF(), size) << i;
            }
        }
    }
}

} // namespace

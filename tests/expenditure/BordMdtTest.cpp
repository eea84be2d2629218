// The dispatch-slip window: the slip holds exactly the orders chosen, each
// once, whatever the filter; the orders on the slip never show in the list of
// orders; adding moves to the next order; the slip's total and its print.
#include "common/DocumentFixture.h"
#include "expenditure/OrderStore.h"
#include "expenditure/UBord_Mdt.h"
#include "expenditure/UMandat.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QTest>

using rows::Money;
using rows::Write;

namespace {

class BordMdtTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        const qint64 ben = rows::Beneficiary(QStringLiteral("SARL ALPHA"));
        const qint64 line = rows::BudgetLine(QStringLiteral("22-03"), QStringLiteral("01"), QString(), QStringLiteral("Fournitures"));
        for (int n = 1; n <= 5; ++n)
            rows::PaymentOrder(n, {rows::Expense(ExpenseKind::Invoice, line, ben, Money("10") * n)});
    }

    static QStringList Numbers(const QueryTableModel& model)
    {
        QStringList out;
        for (int r = 0; r < model.rowCount(); ++r)
            out << db::toText(model.value(r, QStringLiteral("NO_MDT"))).trimmed();
        out.sort();
        return out;
    }

    static void Current(TfrmBord_Mdt& frm, const char* number)
    {
        const QueryTableModel& rows = *frm.Rows();
        for (int r = 0; r < rows.rowCount(); ++r)
            if (db::toText(rows.value(r, QStringLiteral("NO_MDT"))).trimmed() == QLatin1String(number)) {
                frm.Rows()->setCurrentRow(r);
                return;
            }
        ADD_FAILURE() << "order " << number << " not listed";
    }
};

TEST_F(BordMdtTest, TheSlipHoldsEachChosenOrderOnceWhateverTheFilter)
{
    TfrmBord_Mdt frm;
    frm.show();
    ASSERT_EQ(frm.Rows()->rowCount(), 5);
    EXPECT_FALSE(frm.mnPrintBord->isEnabled());
    EXPECT_FALSE(frm.mnRetire->isEnabled());

    Current(frm, "0002");
    frm.btnAddClick();
    EXPECT_EQ(db::toText(frm.Rows()->current().value(QStringLiteral("NO_MDT"))).trimmed(), QStringLiteral("0001"));   // the list runs from the last number down
    Current(frm, "0004");
    frm.btnAddClick();
    EXPECT_EQ(Numbers(*frm.BordRows()), QStringList({"0002", "0004"}));
    EXPECT_EQ(Numbers(*frm.Rows()), QStringList({"0001", "0003", "0005"}));
    EXPECT_TRUE(frm.mnPrintBord->isEnabled());
    EXPECT_EQ(frm.lTotal->text(), QStringLiteral("Total : 60.00"));

    // A filter taking in the orders on the slip still leaves them out of the list.
    TOrderCriteria filter = TOrderCriteria::Reset();
    filter.num = true;
    filter.numFrom = QStringLiteral("0002");
    filter.numTo = QStringLiteral("0004");
    frm.ApplyFilter(filter);
    EXPECT_EQ(Numbers(*frm.Rows()), QStringList({"0003"}));
    frm.btnAddClick();
    EXPECT_TRUE(frm.Rows()->isEmpty());
    EXPECT_FALSE(frm.mnAdd->isEnabled());
    EXPECT_EQ(Numbers(*frm.BordRows()), QStringList({"0002", "0003", "0004"}));

    // One removal takes the order off the slip; it shows again under the filter.
    frm.BordRows()->setCurrentRow(0);
    frm.btnRetireClick();
    EXPECT_EQ(Numbers(*frm.BordRows()), QStringList({"0003", "0004"}));
    EXPECT_EQ(Numbers(*frm.Rows()), QStringList({"0002"}));
    EXPECT_EQ(frm.SlipOrders().split(QLatin1Char(',')).size(), 2);

    // Cancelling the filter lists every order not on the slip.
    frm.CancelFilter();
    EXPECT_EQ(Numbers(*frm.Rows()), QStringList({"0001", "0002", "0005"}));

    // Removing all asks first.
    messages->answer(mrNo);
    frm.btnRetireAllClick();
    EXPECT_EQ(frm.Selection().size(), 2u);
    messages->answer(mrYes);
    frm.btnRetireAllClick();
    EXPECT_TRUE(frm.Selection().empty());
    EXPECT_EQ(frm.Rows()->rowCount(), 5);
    EXPECT_EQ(frm.lTotal->text(), QStringLiteral("Total : 0.00"));
}

// Adding the last order of the list leaves the first one current.
TEST_F(BordMdtTest, AddingTheLastOrderMakesTheFirstCurrent)
{
    TfrmBord_Mdt frm;
    frm.show();
    frm.Rows()->setCurrentRow(frm.Rows()->rowCount() - 1);
    frm.btnAddClick();
    EXPECT_EQ(frm.Rows()->currentRow(), 0);
    EXPECT_EQ(frm.Selection().size(), 1u);
}

// The statements in the payment-order window's print menus follow the kind
// of the order shown: invoices, or missions.
TEST_F(BordMdtTest, StatementItemsFollowTheOrdersKind)
{
    const qint64 ben = rows::Beneficiary(QStringLiteral("AGENT"));
    const qint64 line = rows::BudgetLine(QStringLiteral("22-05"), QStringLiteral("01"), QString(), QStringLiteral("Missions"));
    rows::PaymentOrder(9, {rows::Expense(ExpenseKind::Mission, line, ben, Money("10"))});
    struct Case {
        qint64 order;
        bool mission;
    };
    for (const Case& c : {Case{1, false}, Case{9, true}}) {
        SCOPED_TRACE(c.order);
        TfrmMandat frm;
        frm.IdMdt = c.order;
        frm.show();
        const auto enabled = [&](const char* name) {
            QAction* a = frm.findChild<QAction*>(QString::fromLatin1(name));
            return a && a->isEnabled() && !a->associatedObjects().isEmpty();
        };
        for (const char* name : {"mnEtatPFact", "mnEtatPFact2"})
            EXPECT_EQ(enabled(name), !c.mission) << name;
        for (const char* name : {"mnEtatPMission", "mnEtatPMission2", "mnEtatPAllocEt", "mnEtatPAllocEt2"})
            EXPECT_EQ(enabled(name), c.mission) << name;
        for (const char* name : {"mnEtatPVisa", "mnEtatPVisa2", "mnEtatPCongeSc", "mnEtatVir", "mnBordMdt"})
            EXPECT_TRUE(enabled(name)) << name;
    }
}

} // namespace

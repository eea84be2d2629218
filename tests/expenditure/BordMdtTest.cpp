// The dispatch-slip window: the slip holds exactly the orders chosen, each
// once, whatever the filter; the orders on the slip never show in the list of
// orders; adding moves to the next order; the slip's total and its print.
#include "common/DocumentFixture.h"
#include "common/ModalDriver.h"
#include "common/PreviewDriver.h"
#include "common/SecondUser.h"
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
    EXPECT_EQ(db::toText(frm.Rows()->current().value(QStringLiteral("NO_MDT"))).trimmed(), QStringLiteral("0003"));   // the next order of the list
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

// The list runs by number, then date, from the first; the status bar names
// the user; Ctrl+P prints the listing, as the print drop-down shows.
TEST_F(BordMdtTest, TheListRunsByNumberTheUserIsNamedAndCtrlPPrintsTheListing)
{
    // An order numbered like another, dated earlier: it comes first of the two.
    Write([] {
        rows::Exec(QStringLiteral("INSERT INTO ENT_MDT (ID_MDT, NO_MDT, DATE_MDT, STATUT, MONTANT) "
                                  "VALUES (9, '0003', '2024-01-15', 0, 7)"));
    });
    TfrmBord_Mdt frm;
    frm.show();
    QStringList listed;
    for (int r = 0; r < frm.Rows()->rowCount(); ++r)
        listed << db::toText(frm.Rows()->value(r, QStringLiteral("NO_MDT"))).trimmed() + QLatin1Char(' ')
                      + db::toDate(frm.Rows()->value(r, QStringLiteral("DATE_MDT"))).toString(QStringLiteral("dd/MM"));
    EXPECT_EQ(listed, QStringList({"0001 05/03", "0002 05/03", "0003 15/01", "0003 05/03", "0004 05/03",
                                   "0005 05/03"}));
    EXPECT_EQ(frm.stBar->Panel(0), QStringLiteral("TESTEUR"));

    QAction* dropped = frm.PopMnPrint->findChild<QAction*>(QStringLiteral("mnDropPrintListing"));
    ASSERT_NE(dropped, nullptr);
    EXPECT_EQ(dropped->text(), QStringLiteral("Imprimer le listing"));
    EXPECT_EQ(dropped->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    frm.btnAddClick();
    frm.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frm));
    frm.grdMdt->setFocus();
    EXPECT_EQ(ClassOfNextModal([&] { QTest::keyClick(frm.grdMdt, Qt::Key_P, Qt::ControlModifier); }),
              QStringLiteral("TfrmPreview"));
}

// Another user deletes an order of the slip and changes another: the slip
// prints its orders as they stand and says which left it.
TEST_F(BordMdtTest, ThePrintTakesTheOrdersAsTheyStandAndNamesTheOnesDeleted)
{
    TfrmBord_Mdt frm;
    frm.show();
    for (const char* number : {"0002", "0004", "0005"}) {
        Current(frm, number);
        frm.btnAddClick();
    }
    ASSERT_EQ(Numbers(*frm.BordRows()), QStringList({"0002", "0004", "0005"}));
    {
        SecondUser other;
        other.Run([] {
            Write([] {
                rows::Exec(QStringLiteral("DELETE FROM DET_MDT WHERE ID_MDT IN (4, 5)"));
                rows::Exec(QStringLiteral("DELETE FROM ENT_MDT WHERE ID_MDT IN (4, 5)"));
                rows::Exec(QStringLiteral("UPDATE ENT_MDT SET MONTANT=25 WHERE ID_MDT=2"));
            });
        });
    }
    QStringList printed, amounts;
    EXPECT_TRUE(ReadNextPreview([&] { frm.mnPrintBord->trigger(); }, [&](TfrmPreview& preview) {
        printed = preview.Pages()->page(0).textsOf(QStringLiteral("dbNO_MDT"));
        amounts = preview.Pages()->page(0).textsOf(QStringLiteral("dbMONTANT"));
    }));
    ASSERT_EQ(messages->texts().size(), 1);
    EXPECT_EQ(messages->texts().first(),
              QStringLiteral("Des mandats du bordereau ont été supprimés entre-temps ; ils en sont retirés :\r"
                             "N° 0004\rN° 0005"));
    EXPECT_EQ(printed, QStringList({"0002"}));
    EXPECT_EQ(amounts, QStringList({"25.00"}));
    EXPECT_EQ(Numbers(*frm.BordRows()), QStringList({"0002"}));
    EXPECT_EQ(frm.lTotal->text(), QStringLiteral("Total : 25.00"));
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

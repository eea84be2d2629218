// The expense picker on a fresh year, in both modes, driven through its
// controls: the checks with their questions, the document's header written
// with each line, removal and order of the lines, the filter dialog.
#include "common/PickerFixture.h"
#include "common/PreviewDriver.h"
#include "controls/Gradient.h"
#include "controls/NumEdit.h"
#include "expenditure/ExpenseCriteria.h"
#include "expenditure/UFilterDep.h"
#include "ui/QueryTableModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QScrollBar>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using rows::Money;
using rows::Write;

namespace {

class AddDepTest : public PickerTest {
protected:
    void SetUp() override
    {
        PickerTest::SetUp();
        supplier = rows::Beneficiary(QStringLiteral("SARL ALPHA"), BeneficiaryType::Supplier, toDb(ServiceKind::Supply));
        other = rows::Beneficiary(QStringLiteral("EURL BETA"), BeneficiaryType::Supplier, toDb(ServiceKind::Supply));
        lineA = rows::BudgetLine(QStringLiteral("22-03"), QStringLiteral("01"), QString(), QStringLiteral("Fournitures"),
                                 Money("500"));
        lineB = rows::BudgetLine(QStringLiteral("22-03"), QStringLiteral("02"), QString(), QStringLiteral("Entretien"),
                                 Money("500"));
    }

    qint64 supplier = 0, other = 0, lineA = 0, lineB = 0;
};

} // namespace

TEST_F(AddDepTest, ASheetTakesExpensesUnderTheCommitPolicyAndItsHeaderFollowsEachLine)
{
    const qint64 e1 = rows::Expense(ExpenseKind::Invoice, lineA, supplier, Money("200"));
    const qint64 e2 = rows::Expense(ExpenseKind::Invoice, lineA, other, Money("200"));
    const qint64 e3 = rows::Expense(ExpenseKind::Invoice, lineA, supplier, Money("200"));
    const qint64 onB = rows::Expense(ExpenseKind::Invoice, lineB, supplier, Money("10"));
    const qint64 salaryToPay = rows::Expense(ExpenseKind::SalaryToPay, -1, supplier, Money("10"));
    const qint64 taken = rows::Expense(ExpenseKind::Invoice, lineB, supplier, Money("10"));
    const qint64 elsewhere = NewSheet();
    Write([&] { sheets.AddExpenseLine(elsewhere, taken, Money("10")); });
    const qint64 sheet = NewSheet();
    DecisionCommit = 2;

    auto frm = Open("E", sheet);
    EXPECT_EQ(QStringLiteral("dépenses à engager : "), frm->lTotDep->text());
    EXPECT_EQ(QStringLiteral("Cacher les dépenses engagées"), frm->chkHide->text());
    EXPECT_FALSE(Listed(*frm, salaryToPay));
    ASSERT_TRUE(Listed(*frm, taken));
    const int takenRow = frm->Expenses()->findRow({db::Value(taken)});
    EXPECT_EQ(QColor(128, 128, 128), frm->Expenses()->data(frm->Expenses()->index(takenRow, 0), Qt::ForegroundRole));
    frm->chkHide->setChecked(true);
    EXPECT_FALSE(Listed(*frm, taken));
    frm->chkHide->setChecked(false);

    // Two adds of 200 on a line of 500: the header holds each at once.
    Pick(*frm, e1);
    EXPECT_EQ(Money("200"), CommittedMoney(QStringLiteral("SELECT MONTANT FROM ENT_ENG WHERE ID_ENG=:ID"), sheet));
    EXPECT_EQ(QStringLiteral("0002"), CommittedText(QStringLiteral("SELECT NO_ENG FROM ENT_ENG WHERE ID_ENG=:ID"), sheet));
    EXPECT_FALSE(Listed(*frm, e1));
    Pick(*frm, e2);
    EXPECT_EQ(QStringLiteral("2"), frm->lNbDep->text());
    EXPECT_EQ(QStringLiteral("400.00"), frm->lTotDetToDo->text());

    // The third would pass 500: asked, No refuses, Yes adds.
    messages->answer(mrNo);
    Pick(*frm, e3);
    EXPECT_EQ(2, frm->LineCount());
    EXPECT_EQ(QStringLiteral("Crédit insuffisant pour engager !\rVoulez-vous, tout de même, continuer ?"),
              messages->texts().last());
    messages->answer(mrYes);
    Pick(*frm, e3);
    EXPECT_EQ(3, frm->LineCount());
    EXPECT_EQ(Money("600"), CommittedMoney(QStringLiteral("SELECT MONTANT FROM ENT_ENG WHERE ID_ENG=:ID"), sheet));

    messages->clear();
    Pick(*frm, onB);
    Pick(*frm, taken);
    EXPECT_EQ((QStringList{QStringLiteral("Imputation différente de la précédente !"),
                           QStringLiteral("Dépense déja engagée !")}),
              messages->texts());
    EXPECT_EQ(3, frm->LineCount());

    // Removing the last row, then moving the first row down.
    frm->grdDepToDo->setCurrentCell(2, 0);
    messages->clear();
    frm->btnRetire->click();
    EXPECT_EQ(QStringList{QStringLiteral("Retirer cette dépense ?")}, messages->texts());
    EXPECT_EQ(Money("400"), CommittedMoney(QStringLiteral("SELECT MONTANT FROM ENT_ENG WHERE ID_ENG=:ID"), sheet));
    EXPECT_TRUE(Listed(*frm, e3));
    frm->MoveSelectedLine(0, 1);
    EXPECT_EQ((QStringList{QStringLiteral("1:%1").arg(e2), QStringLiteral("2:%1").arg(e1)}),
              CommittedLines(QStringLiteral("DET_ENG"), QStringLiteral("ID_ENG"), sheet));
    frm->close();
}

// The print button previews the expenses the list shows, in its order and under
// its client filter, with the payment order that holds one.
TEST_F(AddDepTest, PrintingPreviewsTheListedExpensesInTheirOrder)
{
    rows::Expense(ExpenseKind::Invoice, lineA, supplier, Money("10"));
    rows::Expense(ExpenseKind::Invoice, lineA, other, Money("30"));
    const qint64 e3 = rows::Expense(ExpenseKind::Invoice, lineB, supplier, Money("20"));
    const qint64 held = NewOrder(QStringLiteral("0042"), QDate(2024, 5, 2));
    Write([&] { orders.AddLine(held, e3, Money("20")); });
    const qint64 sheet = NewSheet();
    auto frm = Open("E", sheet);
    frm->Expenses()->sort(frm->Expenses()->fieldIndex(QStringLiteral("MONTANT")), Qt::DescendingOrder);

    QStringList amounts, orderNumbers, totals;
    const bool shown = ReadNextPreview([&] { frm->btnPrint->click(); }, [&](TfrmPreview& preview) {
        const rpt::PreparedPages* pages = preview.Pages();
        if (!pages || pages->count() == 0)
            return;
        amounts = pages->page(0).textsOf(QStringLiteral("dbMontant"));
        orderNumbers = pages->page(0).textsOf(QStringLiteral("dbNoMdt"));
        totals = pages->page(pages->count() - 1).textsOf(QStringLiteral("lTotal"));
    });
    ASSERT_TRUE(shown);
    EXPECT_EQ((QStringList{QStringLiteral("30.00"), QStringLiteral("20.00"), QStringLiteral("10.00")}), amounts);
    EXPECT_EQ(QStringList{QStringLiteral("0042")}, orderNumbers);
    EXPECT_EQ(QStringList{QStringLiteral("60.00")}, totals);
}

TEST_F(AddDepTest, ACancelledSheetTakesNoLine)
{
    const qint64 e1 = rows::Expense(ExpenseKind::Invoice, lineA, supplier, Money("20"));
    const qint64 sheet = NewSheet();
    rows::Exec(QStringLiteral("UPDATE ENT_ENG SET STATUT=77 WHERE ID_ENG=:ID"), {{"ID", sheet}});
    DM->CommitWork();
    auto frm = Open("E", sheet);
    Pick(*frm, e1);
    EXPECT_EQ(QStringList{QStringLiteral("Fiche annulée, modification impossible !")}, messages->texts());
    EXPECT_TRUE(CommittedLines(QStringLiteral("DET_ENG"), QStringLiteral("ID_ENG"), sheet).isEmpty());
}

TEST_F(AddDepTest, AnOrderCountsUndatedOrdersAndTheCommittedTotalAndStoresItsTotalAtOnce)
{
    const qint64 committedExpense = rows::Expense(ExpenseKind::Invoice, lineA, supplier, Money("300"));
    const qint64 sheet = NewSheet();
    Write([&] { sheets.AddExpenseLine(sheet, committedExpense, Money("300")); });
    // An order still without a date holds 200 of line A.
    const qint64 pending = NewOrder(QStringLiteral("0001"), QDate());
    Write([&] { orders.AddLine(pending, rows::Expense(ExpenseKind::Invoice, lineA, other, Money("200")), Money("200")); });
    const qint64 salaryToCommit = rows::Expense(ExpenseKind::SalaryToCommit, lineA, supplier, Money("5"));
    const qint64 more = rows::Expense(ExpenseKind::Invoice, lineA, supplier, Money("100"));
    const qint64 order = NewOrder(QStringLiteral("0002"), QDate());

    auto frm = Open("M", order);
    EXPECT_EQ(TfrmAddDep::PickModeWidth, frm->width());
    EXPECT_EQ(QStringLiteral("dépenses à mandater : "), frm->lTotDep->text());
    EXPECT_FALSE(Listed(*frm, salaryToCommit));

    // 200 undated + 300 is above the 300 committed on the line.
    Pick(*frm, committedExpense);
    EXPECT_EQ(QStringList{QStringLiteral("Le total mandaté est supérieur au total engagé !\rImputation : 22-03-01")},
              messages->texts());
    EXPECT_EQ(0, frm->LineCount());
    DecisionMandate = 0;
    Pick(*frm, committedExpense);
    EXPECT_EQ(Money("300"), CommittedMoney(QStringLiteral("SELECT MONTANT FROM ENT_MDT WHERE ID_MDT=:ID"), order));
    EXPECT_EQ(ExpenseState::CommittedAndMandated, DM->Queries().GetExpenseState(committedExpense));

    // The supplier's ceiling: 300 paid + 100 above 350.
    SupplierThresholds = {Currency(), Money("350")};
    messages->clear();
    messages->answer(mrNo);
    Pick(*frm, more);
    ASSERT_EQ(1, messages->calls().size());
    EXPECT_EQ(QStringLiteral("Ce fournisseur a atteint le seuil max !\rSeuil pour Fourniture : 350.00\rC.A Four. : "
                             "400.00\r\rVoulez-vous continuer ?"),
              messages->texts().first());
    EXPECT_EQ(1, frm->LineCount());

    // A filter on salary expenses to commit lists none of them here, and
    // none can be added.
    TFilterCriteria onlySalary = TFilterCriteria::Reset();
    onlySalary.kindIndex = 4;
    frm->ApplyFilter(onlySalary);
    EXPECT_TRUE(frm->FilterActive());
    EXPECT_EQ(0, frm->Expenses()->rowCount());
    EXPECT_FALSE(frm->AddExpense(salaryToCommit));
    EXPECT_EQ(1, frm->LineCount());
    QTest::keyClick(frm.get(), Qt::Key_Escape);
    EXPECT_FALSE(frm->FilterActive());
    EXPECT_TRUE(frm->isVisible());

    frm->grdDepToDo->setCurrentCell(0, 0);
    frm->btnRetire->click();
    EXPECT_EQ(Currency(), CommittedMoney(QStringLiteral("SELECT MONTANT FROM ENT_MDT WHERE ID_MDT=:ID"), order));
    EXPECT_EQ(ExpenseState::Committed, DM->Queries().GetExpenseState(committedExpense));
}

TEST_F(AddDepTest, DeletingAnExpenseTakesTheRightOfItsKind)
{
    const qint64 invoice = rows::Expense(ExpenseKind::Invoice, lineA, supplier, Money("20"));
    const qint64 mission = rows::Expense(ExpenseKind::Mission, lineA, supplier, Money("30"));
    ReadOnly(QStringLiteral("mnFactures"));
    const qint64 order = NewOrder(QStringLiteral("0001"), QDate(2024, 6, 1));
    auto frm = Open("M", order);

    frm->Expenses()->locate({db::Value(invoice)});
    frm->btnDelete->click();
    EXPECT_EQ(QStringList{QStringLiteral("Alerte de sécurité : Ecriture non autorisée !")}, messages->texts());
    EXPECT_TRUE(Listed(*frm, invoice));

    messages->clear();
    frm->Expenses()->locate({db::Value(mission)});
    frm->btnDelete->click();
    ASSERT_EQ(1, messages->calls().size());
    EXPECT_TRUE(messages->calls().first().standard);
    EXPECT_FALSE(Listed(*frm, mission));
    EXPECT_EQ(-1, CommittedInt(QStringLiteral("SELECT ID_DEPENSE FROM DEPENSE WHERE ID_DEPENSE=:ID"), mission));
}

TEST_F(AddDepTest, TheFilterDialogSwitchesCriteriaAndRefusesReversedRanges)
{
    TfrmFilterDep dlg;
    dlg.TypeDep = std::nullopt;
    dlg.SetCriteria(TFilterCriteria::Reset());
    dlg.show();
    EXPECT_FALSE(dlg.edNumD->isEnabled());
    EXPECT_TRUE(dlg.cmbTypeDep->isEnabled());
    QTest::mouseClick(dlg.lblNum, Qt::LeftButton);
    EXPECT_TRUE(dlg.NumChecked);
    EXPECT_TRUE(dlg.edNumD->isEnabled());
    EXPECT_EQ(QColor(0, 255, 0), dlg.gradNum->ColorEnd());

    // The upper number follows the lower one while it is typed.
    dlg.edNumD->setFocus();
    QTest::keyClicks(dlg.edNumD, QStringLiteral("9a"));
    EXPECT_EQ(QStringLiteral("9"), dlg.edNumD->text());
    EXPECT_EQ(QStringLiteral("9"), dlg.edNumF->text());
    dlg.edNumF->setText(QStringLiteral("10"));
    dlg.btnOk->click();   // "9" comes after "10" as text
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(QStringList{QStringLiteral("Le numéro de fin doit être supérieur ou égal au N° de début !")},
              messages->texts());
    dlg.edNumD->setText(QStringLiteral("10"));
    dlg.edNumF->setText(QStringLiteral("9"));
    // The dates are typed dates with their calendar buttons, switched with
    // their criterion; a date that is none, or a reversed range, keeps the
    // dialog open however it closes.
    EXPECT_FALSE(dlg.DateD->isEnabled());
    EXPECT_FALSE(dlg.btnGetDateF->isEnabled());
    dlg.DateD->setText(QStringLiteral("31/02/2024"));
    dlg.btnCancel->click();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(QStringLiteral("La date de début est incorrecte !"), messages->texts().last());
    dlg.DateF->setText(QStringLiteral("01/01/2024"));
    dlg.DateD->setText(QStringLiteral("1/2/2024"));
    dlg.btnCancel->click();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(QStringLiteral("Le Date de fin doit être supérieure ou égale à la date de début !"), messages->texts().last());
    dlg.DateF->setText(QStringLiteral("01/03/2024"));
    dlg.btnOk->click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(QStringLiteral("01/02/2024"), dlg.DateD->text());
    const TFilterCriteria kept = dlg.Criteria();
    EXPECT_TRUE(kept.num);
    EXPECT_EQ(QStringLiteral("10"), kept.numFrom);
    EXPECT_EQ(QDate(2024, 2, 1), kept.dateFrom);

    // A typed value never becomes SQL text.
    TFilterCriteria f = TFilterCriteria::Reset();
    f.num = true;
    f.numFrom = QStringLiteral("1' OR '1'='1");
    f.numTo = f.numFrom;
    f.kindIndex = 1;
    const TSqlCondition c = BuildExpenseCondition(f, QStringLiteral("D."));
    EXPECT_FALSE(c.sql.contains(QLatin1Char('\'')));
    EXPECT_EQ(QStringLiteral("(D.TYPE_DEPENSE=:TYPE_DEPENSE) AND (D.NO_DEPENSE>=:NUM_D) AND (D.NO_DEPENSE<=:NUM_F)"),
              c.sql);

    // A caller of one kind locks the kind.
    TfrmFilterDep locked;
    locked.TypeDep = ExpenseKind::Invoice;
    locked.SetCriteria(TFilterCriteria::Reset());
    locked.show();
    EXPECT_FALSE(locked.cmbTypeDep->isEnabled());
    EXPECT_EQ(1, locked.cmbTypeDep->currentIndex());
    locked.btnOk->click();
    EXPECT_EQ(QStringLiteral("-1"), locked.edNumD->text());
}

// What the list was read with is not trusted for the write: an expense that
// another document took after the picker opened is refused inside the adding
// transaction, in both modes, and the document is left as it was.
TEST_F(AddDepTest, AnExpenseTakenByAnotherDocumentMeanwhileIsRefused)
{
    DecisionCommit = 0;
    DecisionMandate = 0;
    for (const char* mode : {"E", "M"}) {
        SCOPED_TRACE(mode);
        const bool order = fromDb<PickerMode>(QString::fromLatin1(mode)) == PickerMode::PaymentOrder;
        const qint64 e = rows::Expense(ExpenseKind::Invoice, lineA, supplier, Money("20"));
        const qint64 doc = order ? NewOrder(QStringLiteral("0101"), QDate(2024, 4, 2)) : NewSheet();
        auto frm = Open(mode, doc);
        ASSERT_TRUE(Listed(*frm, e));
        // Another user puts it on a document of the same kind.
        if (order) {
            const qint64 elsewhere = NewOrder(QStringLiteral("0102"), QDate(2024, 4, 3));
            Write([&] { orders.AddLine(elsewhere, e, Money("20")); });
        } else {
            const qint64 elsewhere = NewSheet();
            Write([&] { sheets.AddExpenseLine(elsewhere, e, Money("20")); });
        }
        messages->clear();
        EXPECT_FALSE(frm->AddExpense(e));
        EXPECT_EQ(messages->texts(), QStringList{order ? QStringLiteral("Dépense déja mandatée !")
                                                       : QStringLiteral("Dépense déja engagée !")});
        EXPECT_TRUE(CommittedLines(order ? QStringLiteral("DET_MDT") : QStringLiteral("DET_ENG"),
                                   order ? QStringLiteral("ID_MDT") : QStringLiteral("ID_ENG"), doc)
                        .isEmpty());
        frm->close();
    }
}

// In the 745 px picker the list's columns fit its width with amounts in the
// millions: the beneficiary shows, without scrolling; so do the lines' count
// and total under the document's lines.
TEST_F(AddDepTest, TheListsColumnsFitThePickerSoTheBeneficiaryShows)
{
    for (const char* amount : {"9876543.21", "12.50"})
        rows::Expense(ExpenseKind::Invoice, lineA, supplier, Money(amount));
    const qint64 order = NewOrder(QStringLiteral("0001"), QDate());
    DecisionMandate = 0;
    auto frm = Open("M", order);
    Pick(*frm, frm->Expenses()->current().asInt(QStringLiteral("ID_DEPENSE")));
    ASSERT_EQ(1, frm->LineCount());
    QCoreApplication::processEvents();
    ASSERT_EQ(TfrmAddDep::PickModeWidth, frm->width());

    QTableView* list = frm->grdDep;
    const int beneficiary = 4;
    EXPECT_EQ(list->model()->headerData(beneficiary, Qt::Horizontal).toString(), QStringLiteral("Bénéficiaire"));
    EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0);
    EXPECT_GE(list->columnWidth(beneficiary), 80);
    EXPECT_LE(list->columnViewportPosition(beneficiary) + list->columnWidth(beneficiary), list->viewport()->width());
    for (QLabel* label : {frm->lNbDep, frm->lTotDep, frm->lTotDetToDo}) {
        const QRect at(label->mapTo(frm.get(), QPoint(0, 0)), label->size());
        EXPECT_LE(at.right(), frm->width()) << label->objectName().toStdString();
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
    }
}

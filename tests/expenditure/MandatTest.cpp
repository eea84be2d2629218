// The payment-order window on a fresh year, driven through its controls:
// numbers, lines from the picker with the order's total stored at once on
// every path, removal, deletion and the search.
#include "budget/UEngagement.h"
#include "common/DocumentFixture.h"
#include "common/ProgramFolder.h"
#include "expenditure/OrderStore.h"
#include "expenditure/UAddDep.h"
#include "expenditure/UFindMdt.h"
#include "expenditure/UMandat.h"
#include "reports/UPaper.h"
#include "reports/ReportForm.h"
#include "reports/UPreview.h"
#include "shell/UKivMain.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QScopeGuard>
#include <QTest>
#include <QToolButton>

using rows::Money;
using rows::Write;

namespace {

class MandatTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        DecisionMandate = 0;
        zeta = rows::Beneficiary(QStringLiteral("ZETA SARL"));
        alpha = rows::Beneficiary(QStringLiteral("ALPHA SARL"));
        line = rows::BudgetLine(QStringLiteral("22-03"), QStringLiteral("01"), QString(), QStringLiteral("Fournitures"),
                                Money("100000"));
    }

    std::unique_ptr<TfrmMandat> Open(qint64 idMdt = -1)
    {
        auto frm = std::make_unique<TfrmMandat>();
        frm->IdMdt = idMdt;
        frm->show();
        QApplication::setActiveWindow(frm.get());
        return frm;
    }

    // A new order typed and saved in the window.
    void NewOrder(TfrmMandat& frm, const QString& number, const QString& date = QString())
    {
        frm.btnAdd->click();
        frm.edNoMdt->setText(number);
        frm.edDateM->setText(date);
        frm.edNature->setText(QStringLiteral("Paiement fournitures"));
        QApplication::setActiveWindow(&frm);
        QTest::keyClick(&frm, Qt::Key_S, Qt::ControlModifier);
    }

    // Fills the shown order through the picker with `expenses`.
    void Fill(TfrmMandat& frm, std::initializer_list<qint64> expenses)
    {
        OnNextModal([expenses](QDialog* d) {
            auto* picker = qobject_cast<TfrmAddDep*>(d);
            ASSERT_NE(nullptr, picker);
            EXPECT_EQ(QStringLiteral("M"), toDb(picker->ModeDoc));
            for (qint64 e : expenses)
                EXPECT_TRUE(picker->AddExpense(e));
            picker->close();
        });
        frm.btnModifDet->click();
    }

    Currency StoredTotal(qint64 idMdt)
    {
        return CommittedMoney(QStringLiteral("SELECT MONTANT FROM ENT_MDT WHERE ID_MDT=:ID"), idMdt);
    }
    Currency LinesSum(qint64 idMdt)
    {
        return CommittedMoney(QStringLiteral("SELECT SUM(MONTANT) FROM DET_MDT WHERE ID_MDT=:ID"), idMdt);
    }

    qint64 zeta = 0, alpha = 0, line = 0;
};

} // namespace

TEST_F(MandatTest, NumbersArePaddedUniqueAndAnEditDrawsNoKey)
{
    auto frm = Open();
    NewOrder(*frm, QStringLiteral("7"), QStringLiteral("02/05/2024"));
    ASSERT_EQ(QStringLiteral("Affichage"), frm->stBar->Panel(4));
    const qint64 first = frm->IdMdt;
    EXPECT_EQ(QStringLiteral("0007"), CommittedText(QStringLiteral("SELECT NO_MDT FROM ENT_MDT WHERE ID_MDT=:ID"), first));
    EXPECT_EQ(QString::number(first), frm->lIdMdt->text());

    NewOrder(*frm, QStringLiteral("0007"));
    EXPECT_EQ(QStringList{QStringLiteral("Ce N° de mandat existe déjà !")}, messages->texts());
    EXPECT_EQ(QStringLiteral("Insertion"), frm->stBar->Panel(4));
    messages->clear();
    frm->edDateM->setText(QStringLiteral("02/05/2023"));
    frm->edNoMdt->setText(QStringLiteral("8"));
    frm->btnPost->click();
    EXPECT_EQ(QStringList{QStringLiteral("La date du Mandat ne correspond pas à l'exercice en cours !")},
              messages->texts());
    frm->edDateM->clear();
    frm->btnPost->click();
    const qint64 second = frm->IdMdt;
    EXPECT_NE(first, second);
    EXPECT_EQ(QString(), CommittedText(QStringLiteral("SELECT DATE_MDT FROM ENT_MDT WHERE ID_MDT=:ID"), second));

    // Its own number is no duplicate of itself; an edit draws no key.
    frm->MyNavigator->btnFirst->click();
    ASSERT_EQ(first, frm->IdMdt);
    const qint64 generator = rows::Scalar(QStringLiteral("SELECT GEN_ID(GEN_MDT, 0) FROM RDB$DATABASE"));
    frm->btnModifMdt->click();
    frm->edNature->setText(QStringLiteral("Autre objet"));
    frm->btnPost->click();
    EXPECT_EQ(QStringLiteral("Affichage"), frm->stBar->Panel(4));
    EXPECT_EQ(QStringLiteral("Autre objet"), CommittedText(QStringLiteral("SELECT NATURE FROM ENT_MDT WHERE ID_MDT=:ID"), first));
    EXPECT_EQ(generator, rows::Scalar(QStringLiteral("SELECT GEN_ID(GEN_MDT, 0) FROM RDB$DATABASE")));
}

TEST_F(MandatTest, TheStoredTotalIsTheSumOfTheLinesOnEveryPath)
{
    const qint64 z = rows::Expense(ExpenseKind::Invoice, line, zeta, Money("300"), QStringLiteral("F-9"));
    const qint64 a1 = rows::Expense(ExpenseKind::Invoice, line, alpha, Money("100.50"), QStringLiteral("F-1"));
    const qint64 a2 = rows::Expense(ExpenseKind::Invoice, line, alpha, Money("200"), QStringLiteral("F-2"));
    auto frm = Open();
    NewOrder(*frm, QStringLiteral("1"), QStringLiteral("02/05/2024"));
    const qint64 order = frm->IdMdt;

    // The picker adds three invoices: the total is stored at once, the lines
    // read by beneficiary name, the attachment texts proposed for the save.
    Fill(*frm, {z, a1, a2});
    EXPECT_EQ(Money("600.50"), StoredTotal(order));
    EXPECT_EQ((QStringList{QStringLiteral("1:%1").arg(a1), QStringLiteral("2:%1").arg(a2), QStringLiteral("3:%1").arg(z)}),
              CommittedLines(QStringLiteral("DET_MDT"), QStringLiteral("ID_MDT"), order));
    EXPECT_EQ(ExpenseState::Mandated, DM->Queries().GetExpenseState(z));
    EXPECT_EQ(QStringLiteral("Edition"), frm->stBar->Panel(4));
    EXPECT_EQ(QStringLiteral("03 Factures"), frm->edPJ[1]->text());
    EXPECT_EQ(QStringLiteral("01 Etat de Paiement de Factures"), frm->edPJ[2]->text());
    EXPECT_EQ(QStringLiteral("F.E N°  DU "), frm->edPJ[0]->text());
    EXPECT_EQ(QStringLiteral("600.50"), frm->lMontant->text());

    // Cancel: the texts go, the total stays right.
    messages->answer(mrYes);
    QApplication::setActiveWindow(frm.get());
    QTest::keyClick(frm.get(), Qt::Key_Escape);
    EXPECT_EQ(QStringLiteral("Etes-vous sûr de vouloir annuler les modifications ?"), messages->texts().last());
    EXPECT_EQ(QStringLiteral("Affichage"), frm->stBar->Panel(4));
    EXPECT_EQ(Money("600.50"), StoredTotal(order));

    // Removing the second line: the total follows; closing with No leaves it right.
    frm->grdDep->setCurrentIndex(frm->grdDep->model()->index(1, 0));
    messages->answer(mrYes);
    frm->btnDelDet->click();
    EXPECT_EQ(Money("400.50"), StoredTotal(order));
    EXPECT_EQ((QStringList{QStringLiteral("1:%1").arg(a1), QStringLiteral("2:%1").arg(z)}),
              CommittedLines(QStringLiteral("DET_MDT"), QStringLiteral("ID_MDT"), order));
    EXPECT_EQ(QStringLiteral("2  Dépenses"), frm->stBar->Panel(2));
    EXPECT_EQ(ExpenseState::Free, DM->Queries().GetExpenseState(a2));
    EXPECT_EQ(QStringLiteral("Edition"), frm->stBar->Panel(4));
    frm->btnPost->click();

    // The picker empties the order.
    OnNextModal([](QDialog* d) {
        auto* picker = qobject_cast<TfrmAddDep*>(d);
        for (int i = 0; i < 2; ++i) {
            picker->grdDepToDo->setCurrentCell(0, 0);
            picker->RetireCurrentLine();
        }
        picker->close();
    });
    frm->btnModifDet->click();
    EXPECT_EQ(Currency(), StoredTotal(order));
    EXPECT_EQ(StoredTotal(order), LinesSum(order));
    EXPECT_EQ(QStringLiteral("Affichage"), frm->stBar->Panel(4));

    EXPECT_TRUE(frm->btnModifDet->isEnabled());
    Fill(*frm, {z});
    ASSERT_EQ(QStringLiteral("Edition"), frm->stBar->Panel(4));
    messages->clear();
    messages->answer(mrNo);
    frm->close();
    EXPECT_EQ(QStringList{QStringLiteral("Les informations modifiées n'ont pas été enregistrées !\rVoulez-vous les "
                                         "enregistrer maintenant ?")},
              messages->texts());
    EXPECT_FALSE(frm->isVisible());
    EXPECT_EQ(Money("300"), StoredTotal(order));
}

TEST_F(MandatTest, AnOrderOnARegularisationSheetStaysAndAnyOtherGoesWithItsLines)
{
    const qint64 e = rows::Expense(ExpenseKind::Invoice, line, zeta, Money("10"));
    auto frm = Open();
    NewOrder(*frm, QStringLiteral("1"));
    const qint64 kept = frm->IdMdt;
    NewOrder(*frm, QStringLiteral("2"));
    const qint64 gone = frm->IdMdt;
    Fill(*frm, {e});
    frm->btnPost->click();
    rows::Exec(QStringLiteral("INSERT INTO DET_ENG_REG (ID_ENG, NOLINE, OBJET, ID_DETAIL, MONTANT) "
                              "VALUES (1, 1, :OBJET, :ID, 0)"),
               {{"OBJET", toDbValue(LineObject::PaymentOrder)}, {"ID", kept}});
    DM->CommitWork();

    messages->clear();
    frm->btnDelete->click();
    EXPECT_EQ(2, messages->calls().size());
    EXPECT_EQ(-1, CommittedInt(QStringLiteral("SELECT ID_MDT FROM ENT_MDT WHERE ID_MDT=:ID"), gone));
    EXPECT_TRUE(CommittedLines(QStringLiteral("DET_MDT"), QStringLiteral("ID_MDT"), gone).isEmpty());
    EXPECT_EQ(ExpenseState::Free, DM->Queries().GetExpenseState(e));
    ASSERT_EQ(kept, frm->IdMdt);

    messages->clear();
    frm->btnDelete->click();
    EXPECT_EQ(QStringList{QStringLiteral("Ce mandat figure sur une fiche de régularisation !\rSuppression impossible.")},
              messages->texts());
    EXPECT_EQ(kept, CommittedInt(QStringLiteral("SELECT ID_MDT FROM ENT_MDT WHERE ID_MDT=:ID"), kept));
}

// The status bar counts the lines of the order shown, and nothing once no order
// is shown; Enter moves through every field of the entry, the status included.
TEST_F(MandatTest, TheLineCountFollowsTheOrderShownAndEnterMovesOn)
{
    const qint64 e = rows::Expense(ExpenseKind::Invoice, line, zeta, Money("10"));
    auto frm = Open();
    NewOrder(*frm, QStringLiteral("1"));
    Fill(*frm, {e});
    frm->btnPost->click();
    EXPECT_EQ(QStringLiteral("1  Dépenses"), frm->stBar->Panel(2));
    frm->btnDelete->click();
    EXPECT_EQ(-1, frm->IdMdt);
    EXPECT_EQ(QString(), frm->stBar->Panel(2));

    frm->btnAdd->click();
    EXPECT_EQ(QString(), frm->stBar->Panel(2));
    QApplication::setActiveWindow(frm.get());
    QStringList chain{QStringLiteral("edNoMdt")};
    frm->edNoMdt->setFocus();
    for (int i = 0; i < 4 && QApplication::focusWidget(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        chain << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString());
    }
    EXPECT_EQ(chain, (QStringList{"edNoMdt", "edDateM", "cmbStatut", "edNature", "edPJ1"}));
    messages->answer(mrNo);
    frm->close();
}

TEST_F(MandatTest, AnOrderIsFoundByItsInternalNumberOrItsOrderNumber)
{
    auto frm = Open();
    NewOrder(*frm, QStringLiteral("7"));
    const qint64 seven = frm->IdMdt;
    NewOrder(*frm, QStringLiteral("8"));
    const auto find = [&](const QString& id, const QString& number) {
        OnNextModal([=](QDialog* d) {
            auto* dialog = qobject_cast<TfrmFindMdt*>(d);
            ASSERT_NE(nullptr, dialog);
            dialog->edIdMdt->setText(id);
            dialog->edNoMdt->setText(number);
            dialog->btnOk->click();
        });
        QApplication::setActiveWindow(frm.get());
        QTest::keyClick(frm.get(), Qt::Key_F3);
    };
    find(QString(), QStringLiteral("7"));
    EXPECT_EQ(seven, frm->IdMdt);
    find(QString(), QStringLiteral("0008"));
    EXPECT_NE(seven, frm->IdMdt);
    find(QString::number(seven), QString());
    EXPECT_EQ(seven, frm->IdMdt);
    messages->clear();
    find(QStringLiteral("999"), QString());
    find(QString(), QStringLiteral("42"));
    EXPECT_EQ((QStringList{QStringLiteral("Ce n° d'ordre est Introuvable !"),
                           QStringLiteral("Ce n° de mandat est Introuvable !")}),
              messages->texts());
    EXPECT_EQ(seven, frm->IdMdt);
}

// The payment-order items preview the order shown on the document its current
// line chooses; a salary order does not print on stationery; nothing prints
// while the order is being edited.
TEST_F(MandatTest, PaymentOrderItemsPreviewTheDocumentOfTheCurrentLine)
{
    TfrmPaper::SetResponder([] { return 0; });
    const auto paper = qScopeGuard([] { TfrmPaper::SetResponder(nullptr); });
    const qint64 social = rows::BudgetLine(QStringLiteral("22-02"), QStringLiteral("08"), QString(),
                                           QStringLiteral("Charges sociales"), Money("100000"));
    const qint64 contributions = rows::Expense(ExpenseKind::Mission, social, zeta, Money("50"));
    rows::Exec(QStringLiteral("UPDATE DEPENSE SET REGIME_GEN=40, ASS_CHOMAGE=9, RETRAITE_ANT=1 WHERE ID_DEPENSE=:ID"),
               {{"ID", contributions}});
    DM->CommitWork();
    const qint64 invoice = rows::Expense(ExpenseKind::Invoice, social, zeta, Money("7425"));
    const qint64 salary = rows::Expense(ExpenseKind::SalaryToPay, -1, alpha, Money("80"));
    rows::Imputation(salary, line, Money("80"));

    auto frm = Open();
    NewOrder(*frm, QStringLiteral("1"));
    Fill(*frm, {contributions});
    frm->btnPost->click();
    const auto previewed = [&](QAction* item) {
        QString report;
        OnNextModal([&report](QDialog* d) {
            auto* preview = qobject_cast<TfrmPreview*>(d);
            ASSERT_NE(nullptr, preview);
            report = preview->SourceReport->report().name();
            d->close();
        });
        item->trigger();
        return report;
    };
    EXPECT_EQ(QStringLiteral("RptMandat_2205_FB"), previewed(frm->mnMdtFB));
    EXPECT_EQ(QStringLiteral("RptMandat_2205_P"), previewed(frm->mnMdtPre));

    // An invoice on the same line carries no contribution: the standard forms.
    NewOrder(*frm, QStringLiteral("2"));
    Fill(*frm, {invoice});
    frm->btnPost->click();
    EXPECT_EQ(QStringLiteral("RptMandat_FB"), previewed(frm->mnMdtFB));
    EXPECT_EQ(QStringLiteral("RptMandat_P"), previewed(frm->mnMdtPre));
    // The transfer items of both menus print the order's transfer documents.
    const auto item = [&frm](const char* name) { return frm->findChild<QAction*>(QString::fromLatin1(name)); };
    EXPECT_EQ(QStringLiteral("RptOrdVir"), previewed(item("mnOrdVirBanque2")));
    EXPECT_EQ(QStringLiteral("RptOrdVirMission"), previewed(item("mnOrdVirMission")));
    EXPECT_EQ(QStringLiteral("RptOrdVirMis_FB"), previewed(item("mnOrdVirMisReduit2")));

    NewOrder(*frm, QStringLiteral("3"));
    Fill(*frm, {salary});
    EXPECT_FALSE(frm->mnMdtFB->isEnabled());   // edit mode after the picker
    frm->btnPost->click();
    EXPECT_TRUE(frm->mnMdtFB->isEnabled());
    EXPECT_EQ(QStringLiteral("RptMandat_Salaire"), previewed(frm->mnMandatFB));
    messages->clear();
    frm->mnMdtPre->trigger();
    EXPECT_EQ(QStringList{QStringLiteral("Ce mandat ne peut être imprimé que sur feuille blanche !")},
              messages->texts());
}

TEST(DocumentMenus, TheMenuItemsAndToolbarButtonsOpenTheSheetsAndTheOrders)
{
    ProgramFolder folder;
    YearDb year;
    MessageRecorder messages;
    TfrmKivMain main;
    const std::function<void()> openers[] = {
        [&] { main.mnEng_Dep->trigger(); },
        [&] { main.btnEng->click(); },
        [&] { main.mnMandat->trigger(); },
        [&] { main.btnMandat->click(); },
    };
    QStringList opened;
    for (const auto& open : openers) {
        OnNextModal([&opened](QDialog* d) {
            if (auto* eng = qobject_cast<TfrmEngagement*>(d))
                opened << QStringLiteral("%1 %2").arg(d->objectName()).arg(toDb(eng->ObjetEng));
            else
                opened << d->objectName();
            d->close();
        });
        open();
    }
    EXPECT_EQ((QStringList{QStringLiteral("frmEngagement 0"), QStringLiteral("frmEngagement 0"), QStringLiteral("frmMandat"),
                           QStringLiteral("frmMandat")}),
              opened);
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_TRUE(StopPendingModalWatches());
}

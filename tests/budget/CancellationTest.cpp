// The cancellation window on a fresh year, driven through its controls and
// its selection dialog: a commitment cancelled gives its credit back and frees
// its expenses; deleting the cancellation puts the commitment back, unless one
// of its expenses was committed again; nothing is stored without a commitment
// chosen, and a save that fails half-way leaves nothing.
#include "budget/SheetStore.h"
#include "budget/UEngagement_Annul.h"
#include "budget/UGet_Eng.h"
#include "common/DocumentFixture.h"
#include "common/SheetRows.h"
#include "documents/DocumentBrowsing.h"
#include "reports/ReportForm.h"
#include "reports/UPreview.h"
#include "ui/QueryTableModel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using rows::Money;
using rows::Write;

namespace {

class CancellationTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        supplier = rows::Beneficiary(QStringLiteral("SARL ALPHA"));
        line = rows::BudgetLine(QStringLiteral("22-03"), QStringLiteral("01"), QString(),
                                QStringLiteral("Fournitures de bureau"), Money("1000"));
        other = rows::BudgetLine(QStringLiteral("22-03"), QStringLiteral("02"), QString(),
                                 QStringLiteral("Consommables"), Money("500"));
        rows::PrimitiveSheet(line, Money("1000"));
        rows::PrimitiveSheet(other, Money("500"));
        // Sheets 0002 to 0007 of the line, 100.00, 120.00 ... each with one invoice.
        for (int i = 0; i < 6; ++i) {
            const Currency amount = Currency::fromUnits(100 + 20 * i);
            const qint64 e = rows::Expense(ExpenseKind::Invoice, line, supplier, amount, QStringLiteral("F-%1").arg(i));
            expenses << e;
            sheets << Sheet({e}, amount, QDate(2024, 3, 1 + i));
        }
        Sheet({rows::Expense(ExpenseKind::Invoice, other, supplier, Money("40"), QStringLiteral("G-1"))}, Money("40"),
              QDate(2024, 3, 2));
    }

    qint64 Sheet(std::initializer_list<qint64> items, Currency amount, const QDate& date)
    {
        return rows::UserSheet(items, amount, date);
    }

    std::unique_ptr<TfrmEngagement_Annul> Open(qint64 idEng = 0)
    {
        auto frm = std::make_unique<TfrmEngagement_Annul>();
        frm->IdEng = idEng;
        frm->show();
        QApplication::setActiveWindow(frm.get());
        return frm;
    }

    // New, the sheet chosen in the selection dialog, the date typed.
    void Enter(TfrmEngagement_Annul& frm, qint64 idEng, const QString& date = QStringLiteral("20/04/2024"))
    {
        frm.btnAdd->click();
        OnNextModal([idEng](QDialog* d) {
            auto* dialog = qobject_cast<TfrmGet_Eng*>(d);
            ASSERT_NE(nullptr, dialog);
            ASSERT_TRUE(dialog->Sheets()->locate({db::Value(idEng)}));
            dialog->btnOk->click();
        });
        frm.btnModifDet->click();
        QApplication::setActiveWindow(&frm);
        frm.edDateE->setText(date);
    }

    qint64 Statut(qint64 idEng) { return CommittedInt(QStringLiteral("SELECT STATUT FROM ENT_ENG WHERE ID_ENG=:ID"), idEng); }
    Currency Committed(qint64 idFnm) { return DM->Queries().TotalCommittedAt(0, idFnm, QDate(2024, 12, 31)); }
    Currency BalanceAfterAll(qint64 idFnm) { return DM->Queries().CommitmentBalanceBefore(idFnm, QStringLiteral("9999")); }

    TSheetStore store;
    qint64 supplier = 0, line = 0, other = 0;
    QList<qint64> expenses, sheets;
};

} // namespace

// The selection dialog's balances, computed in one query, are the line's
// balances before each sheet.
TEST_F(CancellationTest, TheSelectionListsActiveCommitmentsWithTheirBalances)
{
    const QList<TCancellableSheet> rows = store.CancellableSheets();
    ASSERT_EQ(rows.size(), 7);   // the six sheets of 22-03-01, then the one of 22-03-02
    EXPECT_EQ(rows.first().art, QStringLiteral("01"));
    EXPECT_EQ(rows.last().art, QStringLiteral("02"));
    for (const TCancellableSheet& c : rows) {
        SCOPED_TRACE(c.sheet.number.toStdString());
        EXPECT_EQ(c.oldBalance, DM->Queries().CommitmentBalanceBefore(c.sheet.idFnm, c.sheet.number));
        EXPECT_EQ(c.NewBalance(), c.oldBalance - c.sheet.amount);
    }
    EXPECT_EQ(rows[3].sheet.number, QStringLiteral("0005"));
    EXPECT_EQ(rows[3].oldBalance, Money("640.00"));   // 1000 - 100 - 120 - 140
}

// A commitment cancelled: a numbered sheet on its line gives its amount back,
// the sheet is marked, its expense is free again; deleting the cancellation
// puts everything back.
TEST_F(CancellationTest, CancellingThenDeletingTheCancellation)
{
    const qint64 cancelled = sheets[3];   // 0005, 160.00
    const Currency committedBefore = Committed(line);
    const Currency balanceBefore = BalanceAfterAll(line);
    EXPECT_EQ(DM->Queries().GetExpenseState(expenses[3]), ExpenseState::Committed);

    auto frm = Open();
    EXPECT_EQ(MaxDocLines, 20);
    EXPECT_EQ(frm->IdEng, -1);
    Enter(*frm, cancelled);
    EXPECT_EQ(frm->edNoFiche->text(), QStringLiteral("0008"));
    EXPECT_EQ(frm->lNum->text(), QStringLiteral("0005"));
    EXPECT_EQ(frm->lImput->text(), QStringLiteral("22-03-01"));
    EXPECT_EQ(frm->lInt->text(), QStringLiteral("Fournitures de bureau"));
    EXPECT_EQ(frm->mmObs->toPlainText(), QStringLiteral("DESENGAGEMENT DE LA FICHE D'ENGAGEMENT No 0005 DU  04/03/2024"));
    EXPECT_EQ(frm->lOldSolde->text(), balanceBefore.formatMoney());
    EXPECT_EQ(frm->lMontant->text(), QStringLiteral("160.00"));
    EXPECT_EQ(frm->lNewSolde->text(), (balanceBefore + Money("160")).formatMoney());
    EXPECT_FALSE(frm->btnModifDet->isEnabled());
    QTest::keyClick(frm.get(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(frm->Mode(), emBrowse) << messages->texts().join(" | ").toStdString();

    const qint64 id = frm->IdEng;
    EXPECT_EQ(Statut(cancelled), id);
    EXPECT_EQ(CommittedText(QStringLiteral("SELECT NO_ENG FROM ENT_ENG WHERE ID_ENG=:ID"), id), QStringLiteral("0008"));
    EXPECT_EQ(CommittedText(QStringLiteral("SELECT ORIGINE FROM ENT_ENG WHERE ID_ENG=:ID"), id), QStringLiteral("1"));
    EXPECT_EQ(CommittedInt(QStringLiteral("SELECT OBJET FROM ENT_ENG WHERE ID_ENG=:ID"), id), 1);
    EXPECT_EQ(CommittedInt(QStringLiteral("SELECT ID_ORIGINE FROM ENT_ENG WHERE ID_ENG=:ID"), id), cancelled);
    EXPECT_EQ(CommittedMoney(QStringLiteral("SELECT MONTANT FROM ENT_ENG WHERE ID_ENG=:ID"), id), Money("160"));
    EXPECT_EQ(CommittedLines(QStringLiteral("DET_ENG"), QStringLiteral("ID_ENG"), id),
              QStringList{QStringLiteral("1:%1").arg(cancelled)});
    EXPECT_EQ(Committed(line), committedBefore - Money("160"));
    EXPECT_EQ(BalanceAfterAll(line), balanceBefore + Money("160"));
    EXPECT_EQ(DM->Queries().GetExpenseState(expenses[3]), ExpenseState::Free);
    EXPECT_EQ(store.CancellableSheets().size(), 6);
    EXPECT_EQ(store.CancelledBy(cancelled), QStringLiteral("0008"));

    // Deleted: the commitment stands again.
    messages->clear();
    frm->btnDelete->click();
    EXPECT_EQ(messages->texts(), (QStringList{QStringLiteral("Etes-vous sûr de vouloir supprimer cette fiche ?"),
                                              QStringLiteral("Confirmez la suppression définitive de cette fiche ?")}));
    EXPECT_EQ(Statut(cancelled), 0);
    EXPECT_EQ(CommittedInt(QStringLiteral("SELECT COUNT(*) FROM ENT_ENG WHERE ID_ENG=:ID"), id), 0);
    EXPECT_EQ(CommittedInt(QStringLiteral("SELECT COUNT(*) FROM DET_ENG WHERE ID_ENG=:ID"), id), 0);
    EXPECT_EQ(Committed(line), committedBefore);
    EXPECT_EQ(BalanceAfterAll(line), balanceBefore);
    EXPECT_EQ(DM->Queries().GetExpenseState(expenses[3]), ExpenseState::Committed);
    EXPECT_EQ(frm->IdEng, -1);
}

// Deleting a cancellation is refused while an expense it freed stands on
// another active sheet: the commitment would hold it twice.
TEST_F(CancellationTest, DeletionRefusedOnceAFreedExpenseIsCommittedAgain)
{
    const qint64 cancelled = sheets[5];
    auto frm = Open();
    Enter(*frm, cancelled);
    frm->btnPost->click();
    const qint64 id = frm->IdEng;
    ASSERT_EQ(Statut(cancelled), id);
    const qint64 again = Sheet({expenses[5]}, Money("200"), QDate(2024, 5, 2));
    const QString againNumber = CommittedText(QStringLiteral("SELECT NO_ENG FROM ENT_ENG WHERE ID_ENG=:ID"), again);

    messages->clear();
    frm->btnDelete->click();
    EXPECT_EQ(messages->texts().last(), QStringLiteral("La dépense N° F-5 de la fiche annulée est de nouveau engagée "
                                                       "sur la fiche N° ") + againNumber +
                                            QStringLiteral(" !\rSuppression impossible."));
    EXPECT_EQ(Statut(cancelled), id);
    EXPECT_EQ(CommittedInt(QStringLiteral("SELECT COUNT(*) FROM ENT_ENG WHERE ID_ENG=:ID"), id), 1);
    EXPECT_EQ(frm->IdEng, id);
}

// What is refused stores nothing: a save before a commitment is chosen, a
// number older than an earlier-numbered sheet's date, a sheet cancelled
// meanwhile, a failure of the engine half-way through the save.
TEST_F(CancellationTest, RefusedAndFailedSavesLeaveNothing)
{
    rows::Exec(QStringLiteral("CREATE EXCEPTION NO_MARK 'marquage impossible'"));
    DM->CommitWork();
    const QString sheetsSql = QStringLiteral("SELECT COUNT(*) FROM ENT_ENG WHERE ID_ENG<>:ID");
    const QString linesSql = QStringLiteral("SELECT COUNT(*) FROM DET_ENG WHERE ID_ENG<>:ID");
    struct Case {
        const char* name;
        std::function<void(TfrmEngagement_Annul&)> enter;
        const char* message;   // the engine's error when it has no message of its own
    };
    const std::vector<Case> cases = {
        {"no commitment chosen",
         [](TfrmEngagement_Annul& f) {
             f.btnAdd->click();
             f.edDateE->setText(QStringLiteral("20/04/2024"));
         },
         "Choisissez la fiche d'engagement à annuler !"},
        {"a date before an earlier sheet's",
         [this](TfrmEngagement_Annul& f) { Enter(f, sheets[1], QStringLiteral("05/03/2024")); },
         "Incohérence entre le No de la fiche et sa Date !\r\rFiche actuelle No : 0008, Datée du : 05/03/2024\r"
         "Fiche précédente No : 0007,  Datée du : 06/03/2024"},
        {"a wrong visa date and a date before an earlier sheet's: the date's coherence first",
         [this](TfrmEngagement_Annul& f) {
             Enter(f, sheets[1], QStringLiteral("05/03/2024"));
             f.edDateVisa->setText(QStringLiteral("31/02/2024"));
         },
         "Incohérence entre le No de la fiche et sa Date !"},
        {"cancelled meanwhile",
         [this](TfrmEngagement_Annul& f) {
             Enter(f, sheets[1]);
             Write([&] { rows::Exec(QStringLiteral("UPDATE ENT_ENG SET STATUT=9999 WHERE ID_ENG=:ID"),
                                    {{"ID", sheets[1]}}); });
         },
         "Cette fiche d'engagement est déjà annulée !"},
        {"the engine refuses the mark",
         [this](TfrmEngagement_Annul& f) {
             rows::Exec(QStringLiteral("CREATE TRIGGER NO_MARK_BU FOR ENT_ENG BEFORE UPDATE AS BEGIN "
                                       "IF (NEW.STATUT <> OLD.STATUT) THEN EXCEPTION NO_MARK; END"));
             DM->CommitWork();
             Enter(f, sheets[2]);
         },
         "marquage impossible"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto frm = Open();
        c.enter(*frm);
        const qint64 before = CommittedInt(sheetsSql, 0), beforeLines = CommittedInt(linesSql, 0);
        messages->clear();
        frm->btnPost->click();
        ASSERT_EQ(messages->texts().size(), 1);
        EXPECT_TRUE(messages->texts().first().contains(QString::fromUtf8(c.message)))
            << messages->texts().first().toStdString();
        EXPECT_EQ(frm->Mode(), emInsert);
        EXPECT_EQ(CommittedInt(sheetsSql, 0), before);
        EXPECT_EQ(CommittedInt(linesSql, 0), beforeLines);
        EXPECT_EQ(Statut(sheets[2]), 0);
        EXPECT_EQ(store.CancellationKeys().size(), 0);
        frm->close();
    }
}

// The proposed number is checked again inside the saving transaction: a
// sheet given that number on the line meanwhile makes the cancellation take
// the next one, shown before it is saved, so no line holds a number twice.
TEST_F(CancellationTest, ANumberTakenMeanwhileIsProposedAgain)
{
    auto frm = Open();
    Enter(*frm, sheets[1]);
    ASSERT_EQ(frm->edNoFiche->text(), QStringLiteral("0008"));
    const qint64 meanwhile =
        Sheet({rows::Expense(ExpenseKind::Invoice, line, supplier, Money("10"), QStringLiteral("H-1"))}, Money("10"),
              QDate(2024, 4, 1));
    ASSERT_EQ(CommittedText(QStringLiteral("SELECT NO_ENG FROM ENT_ENG WHERE ID_ENG=:ID"), meanwhile),
              QStringLiteral("0008"));

    messages->clear();
    frm->btnPost->click();
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Le N° de Fiche 0008 existe déjà pour cette imputation !\r"
                                                            "La fiche prend le N° 0009.")});
    EXPECT_EQ(frm->Mode(), emInsert);
    EXPECT_EQ(Statut(sheets[1]), 0);
    EXPECT_EQ(store.CancellationKeys().size(), 0);
    EXPECT_EQ(frm->edNoFiche->text(), QStringLiteral("0009"));
    EXPECT_EQ(frm->lOldSolde->text(), DM->Queries().CommitmentBalanceBefore(line, QStringLiteral("0009")).formatMoney());

    frm->btnPost->click();
    ASSERT_EQ(frm->Mode(), emBrowse) << messages->texts().join(" | ").toStdString();
    EXPECT_EQ(CommittedText(QStringLiteral("SELECT NO_ENG FROM ENT_ENG WHERE ID_ENG=:ID"), frm->IdEng),
              QStringLiteral("0009"));
    EXPECT_EQ(Statut(sheets[1]), frm->IdEng);
}

// A cancellation with a visa is frozen.
TEST_F(CancellationTest, AVisaFreezesTheCancellation)
{
    auto frm = Open();
    Enter(*frm, sheets[0]);
    frm->edNoVisa->setText(QStringLiteral("V-12"));
    frm->btnPost->click();
    ASSERT_GT(frm->IdEng, 0);
    for (QToolButton* b : {frm->btnModif, frm->btnDelete}) {
        messages->clear();
        b->click();
        EXPECT_EQ(messages->texts().size(), 1);
        EXPECT_EQ(frm->Mode(), emBrowse);
    }
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Fiche visée, suppression impossible !")});
    EXPECT_EQ(Statut(sheets[0]), frm->IdEng);

    // A visa given by another user while the deletion's questions were on
    // screen keeps the cancellation too: the visa is read again inside the
    // deleting transaction.
    Enter(*frm, sheets[1]);
    frm->btnPost->click();
    const qint64 second = frm->IdEng;
    ASSERT_EQ(Statut(sheets[1]), second);
    QStringList told;
    const MessageResponder previous = CurrentMessageResponder();
    SetMessageResponder([&](const MessageCall& call) {
        told << call.text;
        if (told.size() == 2)
            Write([&] { rows::Exec(QStringLiteral("UPDATE ENT_ENG SET NO_VISA='V-13' WHERE ID_ENG=:ID"), {{"ID", second}}); });
        return call.buttons.testFlag(MsgButton::Yes) ? int(mrYes) : int(mrOk);
    });
    frm->btnDelete->click();
    SetMessageResponder(previous);
    EXPECT_EQ(told.last(), QStringLiteral("Fiche visée, suppression impossible !"));
    EXPECT_EQ(Statut(sheets[1]), second);
    EXPECT_EQ(CommittedInt(QStringLiteral("SELECT COUNT(*) FROM ENT_ENG WHERE ID_ENG=:ID"), second), 1);
}

// The print item previews the cancellation shown on the white-paper sheet: an
// ECONOMIE sheet whose row is the cancelled sheet, with the window's balances.
TEST_F(CancellationTest, ThePrintItemPreviewsTheCancellationOnTheWhitePaperSheet)
{
    auto frm = Open();
    Enter(*frm, sheets[3]);   // 0005, 160.00
    QTest::keyClick(frm.get(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(frm->Mode(), emBrowse) << messages->texts().join(" | ").toStdString();
    ASSERT_TRUE(frm->mnPrint->isEnabled());

    QString report;
    rpt::Page page;
    OnNextModal([&](QDialog* d) {
        auto* preview = qobject_cast<TfrmPreview*>(d);
        ASSERT_NE(preview, nullptr);
        report = preview->SourceReport->report().name();
        page = preview->Pages()->page(0);
        d->reject();
    });
    frm->btnPrint->click();
    EXPECT_EQ(report, QStringLiteral("RptFEDep"));
    EXPECT_EQ(page.textsOf(QStringLiteral("lObjet")), QStringList{QStringLiteral("ECONOMIE")});
    EXPECT_EQ(page.textsOf(QStringLiteral("lNoFe")), QStringList{QStringLiteral("0008")});
    EXPECT_EQ(page.textsOf(QStringLiteral("lFact1")),
              QStringList{QStringLiteral("FICHE D'ENGAGEMENT N° 0005 DU 04/03/2024")});
    EXPECT_EQ(page.textsOf(QStringLiteral("lMt1")), QStringList{QStringLiteral("160.00")});
    EXPECT_EQ(page.textsOf(QStringLiteral("lOldSolde")), QStringList{frm->lOldSolde->text()});
    EXPECT_EQ(page.textsOf(QStringLiteral("lNewSolde")), QStringList{frm->lNewSolde->text()});
}


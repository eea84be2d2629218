// The transfer window driven through its controls: a transfer typed, saved,
// changed and deleted; the refusals of the save; the credit policies; a stored
// transfer re-saved unchanged; a later sheet blocking change and delete; a
// failed save keeping the entry; the keys and the menu item.
#include "budget/TransferFixture.h"

#include "budget/UVirement.h"
#include "common/PickerDriver.h"
#include "common/PreviewDriver.h"
#include "common/ProgramFolder.h"
#include "core/Routines.h"
#include "refdata/UListFNM.h"
#include "shell/UKivMain.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class TransferWindow : public TransferTest {
protected:
    void TearDown() override
    {
        frm.reset();
        TransferTest::TearDown();
    }
    void Open(qint64 idVir = -1)
    {
        frm = std::make_unique<TfrmVirement>();
        frm->IdVir = idVir;
        frm->show();
    }
    QString Mode() const { return frm->stBar->Panel(3); }

    // Picks the line in the nomenclature through the grid's "Ajouter" button.
    void PickLine(QPushButton* add, qint64 line)
    {
        OnNextModal([line](QDialog* d) {
            auto* picker = qobject_cast<TfrmListFNM*>(d);
            ASSERT_TRUE(picker != nullptr);
            ChooseRow(picker, QStringLiteral("ID_FNM"), line);
        });
        add->click();
    }
    // The amount editor open in the grid (closed editors wait for their deletion).
    static QLineEdit* Editor(TTransferGrid* grid)
    {
        for (QLineEdit* e : grid->findChildren<QLineEdit*>(QStringLiteral("edMontant")))
            if (e->isVisible())
                return e;
        return nullptr;
    }
    // Types `text` in the amount cell of the row, then leaves the cell.
    void TypeAmount(TTransferGrid* grid, int row, const QString& text, bool leave = true)
    {
        grid->setFocus();
        grid->setCurrentCell(row, TfrmVirement::colMontant);
        grid->edit(grid->currentIndex());
        QLineEdit* editor = Editor(grid);
        ASSERT_TRUE(editor != nullptr) << "no editor in row " << row;
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Delete);
        QTest::keyClicks(editor, text);
        if (leave)
            Leave(editor);
    }
    // Enter in the editor: the cell takes the amount once the delegate's
    // queued commit has run.
    static void Leave(QLineEdit* editor)
    {
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    QString Cell(TTransferGrid* grid, int row, int column) const
    {
        return grid->model()->index(row, column).data().toString();
    }

    // The example transfer typed into a new entry.
    void TypeExample()
    {
        frm->btnAdd->click();
        // Today within the fiscal year is proposed.
        EXPECT_EQ(frm->edDate->text(), DateText(DefaultDate()));
        EXPECT_EQ(DefaultDate().year(), 2024);
        frm->edDate->setText(QStringLiteral("10/03/2024"));
        PickLine(frm->btnAddDep, giving);
        TypeAmount(frm->grdDep, 0, QStringLiteral("100000"));
        PickLine(frm->btnAddEco, receiving);
        TypeAmount(frm->grdEco, 0, QStringLiteral("60000"));
        PickLine(frm->btnAddEco, empty);
        TypeAmount(frm->grdEco, 1, QStringLiteral("40000"));
    }

    std::unique_ptr<TfrmVirement> frm;
};

TEST_F(TransferWindow, TransferIsTypedSavedChangedAndDeleted)
{
    Open();
    EXPECT_EQ(Mode(), QStringLiteral("Affichage"));
    EXPECT_EQ(frm->stBar->Panel(0), QStringLiteral("BUDGETIER"));   // the user, not the database account
    EXPECT_EQ(frm->stBar->Panel(1), QStringLiteral("2024"));
    EXPECT_FALSE(frm->btnEdit->isEnabled());   // no transfer yet
    EXPECT_FALSE(frm->btnDelete->isEnabled());

    TypeExample();
    EXPECT_EQ(Mode(), QStringLiteral("Insertion"));
    EXPECT_EQ(Cell(frm->grdDep, 0, TfrmVirement::colMontant), QStringLiteral("100 000.00"));
    EXPECT_EQ(Cell(frm->grdEco, 1, TfrmVirement::colIntitule), QStringLiteral("Documentation"));
    EXPECT_EQ(frm->lTotDep->text(), QStringLiteral("100 000.00"));
    EXPECT_EQ(frm->lTotEco->text(), QStringLiteral("100 000.00"));
    frm->btnPost->click();
    EXPECT_TRUE(messages->texts().isEmpty()) << messages->texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(Mode(), QStringLiteral("Affichage"));
    const qint64 id = frm->IdVir;
    ASSERT_GT(id, 0);
    ASSERT_EQ(TransferRows(id).size(), 3u);
    EXPECT_EQ(TransferSheet(giving)->number, QStringLiteral("0002"));
    EXPECT_EQ(TransferSheet(empty)->number, QStringLiteral("0002"));
    EXPECT_EQ(frm->edDate->text(), QStringLiteral("10/03/2024"));
    EXPECT_TRUE(frm->btnEdit->isEnabled());

    // Changed: a receiving line removed, its amount moved to the other one.
    frm->btnEdit->click();
    EXPECT_EQ(Mode(), QStringLiteral("Edition"));
    const int emptyRow = Cell(frm->grdEco, 0, TfrmVirement::colIdFnm) == QString::number(empty) ? 0 : 1;
    frm->grdEco->setCurrentCell(emptyRow, TfrmVirement::colMontant);
    frm->btnDelEco->click();   // the question is answered Yes
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Etes-vous sûr de vouloir supprimer cette ligne ?")});
    EXPECT_EQ(Cell(frm->grdEco, 0, TfrmVirement::colIdFnm), QString::number(receiving));
    EXPECT_TRUE(Cell(frm->grdEco, 1, TfrmVirement::colIdFnm).isEmpty());
    TypeAmount(frm->grdEco, 0, QStringLiteral("100000"));
    messages->clear();
    frm->btnPost->click();
    EXPECT_TRUE(messages->texts().isEmpty()) << messages->texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(frm->IdVir, id);
    ASSERT_EQ(TransferRows(id).size(), 2u);
    EXPECT_EQ(TransferSheet(receiving)->amount, Money("100000"));
    EXPECT_EQ(TransferSheet(receiving)->number, QStringLiteral("0002"));
    EXPECT_FALSE(TransferSheet(empty).has_value());

    // Deleted, after its question: rows and sheets go.
    frm->btnDelete->click();
    EXPECT_EQ(messages->texts().last(),
              QStringLiteral("Etes-vous sûr de vouloir supprimer ce transfert et tous les engagements y afférents ?"));
    EXPECT_TRUE(TransferRows(id).empty());
    EXPECT_FALSE(TransferSheet(giving).has_value());
    EXPECT_FALSE(TransferSheet(receiving).has_value());
    EXPECT_EQ(frm->IdVir, 0);
    EXPECT_FALSE(frm->btnDelete->isEnabled());
}

TEST_F(TransferWindow, AmountsAreReformattedAndTypingOnlyMovesTheTotals)
{
    Open();
    frm->btnAdd->click();
    PickLine(frm->btnAddDep, giving);
    TypeAmount(frm->grdDep, 0, QStringLiteral("1500.5"), false);
    EXPECT_EQ(frm->lTotDep->text(), QStringLiteral("1 500.50"));   // while typing
    Leave(Editor(frm->grdDep));
    EXPECT_EQ(Cell(frm->grdDep, 0, TfrmVirement::colMontant), QStringLiteral("1 500.50"));
    TypeAmount(frm->grdDep, 0, QStringLiteral("2.008"));
    EXPECT_EQ(Cell(frm->grdDep, 0, TfrmVirement::colMontant), QStringLiteral("2.01"));   // rounded once, shown
    TypeAmount(frm->grdDep, 0, QStringLiteral("abc"));
    EXPECT_TRUE(Cell(frm->grdDep, 0, TfrmVirement::colMontant).isEmpty());
    EXPECT_EQ(frm->lTotDep->text(), QStringLiteral("0.00"));

    // A row without a line cannot be typed in.
    frm->grdDep->setCurrentCell(3, TfrmVirement::colMontant);
    frm->grdDep->edit(frm->grdDep->currentIndex());
    EXPECT_EQ(Editor(frm->grdDep), nullptr);

    // The same line in the other grid is refused.
    PickLine(frm->btnAddEco, giving);
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("L'imputation est déjà dans l'une des grilles !\rLigne : 1")});
    EXPECT_TRUE(Cell(frm->grdEco, 0, TfrmVirement::colChap).isEmpty());

    // Removing a line leaves the new entry in insert mode.
    messages->clear();
    frm->grdDep->setCurrentCell(0, TfrmVirement::colMontant);
    frm->btnDelDep->click();
    EXPECT_EQ(Mode(), QStringLiteral("Insertion"));
    EXPECT_TRUE(Cell(frm->grdDep, 0, TfrmVirement::colChap).isEmpty());

    // Esc asks before dropping the entry; No keeps it.
    messages->clear();
    messages->answer(mrNo);
    QTest::keyClick(frm.get(), Qt::Key_Escape);
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Etes-vous sûr de vouloir annuler ?")});
    EXPECT_EQ(Mode(), QStringLiteral("Insertion"));
    QTest::keyClick(frm.get(), Qt::Key_Escape);
    EXPECT_EQ(Mode(), QStringLiteral("Affichage"));
}

TEST_F(TransferWindow, SaveRefusals)
{
    Open();
    struct Case {
        const char* date;
        const char* giving;
        const char* receiving;
        const char* message;
    };
    const Case cases[] = {
        {"31/02/2024", "100", "100", "La Date du transfert est incorrecte  !"},
        {"10/03/2023", "100", "100", "La date du transfert ne correspond pas à l'exercice en cours !"},
        {"10/03/2024", "", "100", "Le montant de l'imputation n'est  pas numérique !"},
        {"10/03/2024", "-5", "100", "Le Montant doit supérieur à zéro !"},
        {"10/03/2024", "100", "0", "Le Montant doit supérieur à zéro !"},
        {"10/03/2024", "100000", "99999", "Les Montants des imputations sont différents !"},
    };
    frm->btnAdd->click();
    PickLine(frm->btnAddDep, giving);
    PickLine(frm->btnAddEco, receiving);
    for (const Case& c : cases) {
        messages->clear();
        frm->edDate->setText(QString::fromLatin1(c.date));
        TypeAmount(frm->grdDep, 0, QString::fromLatin1(c.giving));
        TypeAmount(frm->grdEco, 0, QString::fromLatin1(c.receiving));
        frm->btnPost->click();
        EXPECT_EQ(messages->texts(), QStringList{QString::fromUtf8(c.message)}) << c.message;
        EXPECT_EQ(Mode(), QStringLiteral("Insertion"));
    }
    // An empty grid: its total is 0.
    messages->clear();
    frm->grdEco->setCurrentCell(0, TfrmVirement::colMontant);
    frm->btnDelEco->click();
    messages->clear();
    TypeAmount(frm->grdDep, 0, QStringLiteral("100"));
    frm->btnPost->click();
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Le Montant doit être non nul !")});
    EXPECT_EQ(Committed().isOpen(), true);
    db::Query q(Committed(), QStringLiteral("SELECT COUNT(*) AS N FROM VIREMENT"));
    q.open();
    EXPECT_EQ(q.asInt(QStringLiteral("N")), 0);
}

TEST_F(TransferWindow, CreditPoliciesOnAShortGivingLine)
{
    // 250 000.00 paid of 300 000.00: giving 60 000.00 is short, 50 000.00 is not.
    Paid(giving, Money("250000"), QDate(2024, 2, 1));
    struct Case {
        int policy;
        const char* amount;
        int answer;               // to the policy's question
        QStringList messages;
        bool saved;
    };
    const QString shortInfo = QStringLiteral("Crédit insuffisant pour procéder à ce transfert !");
    const QString question = QStringLiteral("Crédit insuffisant pour transférer !\rVoulez-vous, tout de même, continuer ?");
    const QString refusal = QStringLiteral("Le crédit alloué est insuffisant !\rImputation : 22-01 01 ");
    const Case cases[] = {
        {0, "60000", mrYes, {}, true},
        {1, "60000", mrYes, {shortInfo, refusal}, false},
        {1, "50000", mrYes, {}, true},
        {2, "60000", mrNo, {question, refusal}, false},
        {2, "60000", mrYes, {question}, true},
    };
    Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.policy);
        DecisionTransfer = std::uint8_t(c.policy);
        frm->btnAdd->click();
        // Today within the fiscal year is proposed.
        EXPECT_EQ(frm->edDate->text(), DateText(DefaultDate()));
        EXPECT_EQ(DefaultDate().year(), 2024);
        frm->edDate->setText(QStringLiteral("10/03/2024"));
        PickLine(frm->btnAddDep, giving);
        TypeAmount(frm->grdDep, 0, QString::fromLatin1(c.amount));
        PickLine(frm->btnAddEco, receiving);
        TypeAmount(frm->grdEco, 0, QString::fromLatin1(c.amount));
        messages->clear();
        messages->answer(c.answer);
        frm->btnPost->click();
        EXPECT_EQ(messages->texts(), c.messages);
        EXPECT_EQ(Mode(), c.saved ? QStringLiteral("Affichage") : QStringLiteral("Insertion"));
        if (c.saved) {
            // Deleted again, so that the next case starts from the same credit.
            messages->answer(mrYes);
            frm->btnDelete->click();
        } else {
            frm->btnCancel->click();   // the question is answered Yes
        }
        messages->clear();
    }
}

TEST_F(TransferWindow, StoredTransferIsNotCountedAgainstItselfButALaterSheetBlocksIt)
{
    // The giving line's credit is used to the last dinar by the transfer.
    Paid(giving, Money("200000"), QDate(2024, 2, 1));
    DecisionTransfer = 1;
    Open();
    TypeExample();
    frm->btnPost->click();
    ASSERT_TRUE(messages->texts().isEmpty()) << messages->texts().join(QLatin1Char('|')).toStdString();
    const qint64 id = frm->IdVir;

    // Re-saved unchanged under the refusing policy: accepted.
    frm->btnEdit->click();
    frm->btnPost->click();
    EXPECT_TRUE(messages->texts().isEmpty()) << messages->texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(Mode(), QStringLiteral("Affichage"));
    EXPECT_EQ(TransferRows(id).size(), 3u);

    // A later commitment on the giving line: its amount cannot be typed, and
    // neither the save nor the deletion goes through.
    AddUserSheet(giving, QStringLiteral("0003"), Money("10"));
    frm->btnEdit->click();
    frm->grdDep->setCurrentCell(0, TfrmVirement::colMontant);
    frm->grdDep->edit(frm->grdDep->currentIndex());
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("La fiche d'engagement liée à l'imputation sélectionnée "
                                                            "n'est pas la dernière !\rSuppression impossible.")});
    EXPECT_EQ(Editor(frm->grdDep), nullptr);
    const QString notLast = QStringLiteral("Une ou plusieurs fiches d'engagement liées à ce virement ne peuvent pas "
                                           "être supprimées du fait qu'elles ne sont pas les dérnières !\rVeuillez vérifier SVP.");
    messages->clear();
    frm->btnPost->click();
    EXPECT_EQ(messages->texts(), QStringList{notLast});
    EXPECT_EQ(Mode(), QStringLiteral("Edition"));
    frm->btnCancel->click();
    messages->clear();
    frm->btnDelete->click();
    EXPECT_EQ(messages->texts(), QStringList{notLast});
    EXPECT_EQ(TransferRows(id).size(), 3u);
    EXPECT_TRUE(TransferSheet(giving).has_value());
}

// Whether the transfer's sheets are still the last of their lines is asked
// again inside the deleting transaction: a later sheet given to a line while
// the question was on screen keeps the transfer and its sheets.
TEST_F(TransferWindow, ALaterSheetGivenWhileTheDeletionIsAskedKeepsTheTransfer)
{
    Open();
    TypeExample();
    frm->btnPost->click();
    ASSERT_EQ(Mode(), QStringLiteral("Affichage")) << messages->texts().join(QLatin1Char('|')).toStdString();
    const qint64 id = frm->IdVir;
    QStringList told;
    const MessageResponder previous = CurrentMessageResponder();
    SetMessageResponder([&](const MessageCall& call) {
        told << call.text;
        if (call.buttons.testFlag(MsgButton::Yes)) {
            AddUserSheet(giving, QStringLiteral("0003"), Money("10"));
            return int(mrYes);
        }
        return int(mrOk);
    });
    frm->btnDelete->click();
    SetMessageResponder(previous);
    ASSERT_EQ(told.size(), 2);
    EXPECT_EQ(told.last(), QStringLiteral("Une ou plusieurs fiches d'engagement liées à ce virement ne peuvent pas "
                                          "être supprimées du fait qu'elles ne sont pas les dérnières !\rVeuillez "
                                          "vérifier SVP."));
    EXPECT_EQ(TransferRows(id).size(), 3u);
    EXPECT_TRUE(TransferSheet(giving).has_value());
    EXPECT_EQ(frm->IdVir, id);
}

TEST_F(TransferWindow, AFailedSaveKeepsTheEntryAndTheStoredTransfer)
{
    Open();
    TypeExample();
    frm->btnPost->click();
    const qint64 id = frm->IdVir;
    // The engine refuses a transfer row of 13.00.
    Exec(QStringLiteral("CREATE EXCEPTION E_TEST_VIR 'Montant refusé'"));
    Exec(QStringLiteral("CREATE TRIGGER VIREMENT_TEST FOR VIREMENT BEFORE INSERT AS BEGIN "
                        "IF (NEW.MONTANT = 13) THEN EXCEPTION E_TEST_VIR; END"));
    DM->CommitWork();

    const qint64 fourth = AddLine(QStringLiteral("22-01"), QStringLiteral("04"), QString(), QStringLiteral("Loyers"),
                                  Money("1000"));
    frm->btnEdit->click();
    PickLine(frm->btnAddDep, fourth);
    TypeAmount(frm->grdDep, 1, QStringLiteral("13"));
    TypeAmount(frm->grdEco, 0, QStringLiteral("60013"));
    messages->clear();
    frm->btnPost->click();
    ASSERT_EQ(messages->calls().size(), 1);
    EXPECT_TRUE(messages->calls()[0].standard);   // the engine's error, in the standard box
    EXPECT_EQ(Mode(), QStringLiteral("Edition"));
    EXPECT_EQ(Cell(frm->grdDep, 1, TfrmVirement::colMontant), QStringLiteral("13.00"));
    const auto rows = TransferRows(id);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].amount, Money("60000"));
    EXPECT_EQ(TransferSheet(receiving)->amount, Money("60000"));
    EXPECT_FALSE(TransferSheet(fourth).has_value());
}

// A transfer another user changed since it was shown is not written over: the
// save is refused, the entry kept; on request the stored transfer is shown.
TEST_F(TransferWindow, ASaveNeverUndoesAnotherUsersChange)
{
    Open();
    TypeExample();
    frm->btnPost->click();
    const qint64 id = frm->IdVir;
    frm->btnEdit->click();
    frm->edDate->setText(QStringLiteral("11/03/2024"));
    {
        db::Query other(Committed(), QStringLiteral("UPDATE VIREMENT SET DATE_VIR=:D WHERE ID_VIR=:ID"));
        other.setParam(QStringLiteral("D"), QDate(2024, 3, 20));
        other.setParam(QStringLiteral("ID"), id);
        other.exec();
    }
    Committed();   // commits the other user's change
    messages->clear();
    messages->answer(mrYes);
    frm->btnPost->click();
    EXPECT_EQ(messages->texts(), QStringList{TEditorWindow::RowChangedQuestion});
    EXPECT_EQ(TransferRows(id)[0].date, QDate(2024, 3, 20));
    EXPECT_EQ(Mode(), QStringLiteral("Affichage"));
    EXPECT_EQ(frm->edDate->text(), QStringLiteral("20/03/2024"));

    messages->clear();
    frm->btnEdit->click();
    frm->edDate->setText(QStringLiteral("11/03/2024"));
    frm->btnPost->click();
    EXPECT_TRUE(messages->texts().isEmpty()) << messages->texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(TransferRows(id)[0].date, QDate(2024, 3, 11));
}

TEST(TransferMenu, MenuItemOpensTheTransfers)
{
    ProgramFolder folder;
    YearDb year;
    MessageRecorder messages;
    TfrmKivMain main;
    EXPECT_EQ(ClassOfNextModal([&] { main.mnTransfert->trigger(); }), QStringLiteral("TfrmVirement"));
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_TRUE(StopPendingModalWatches());
}

// The sheet items print the sheet of the selected row's line on its side, the
// statement the whole transfer; a grid without a selected line says so.
TEST_F(TransferWindow, PrintItemsPrintTheSelectedRowsSheetAndTheStatement)
{
    Open(SaveTransfer(Example()));
    struct Case {
        const char* what;
        TTransferGrid* TfrmVirement::*grid;
        int row;
        QAction* TfrmVirement::*item;
        QString control;
        QStringList texts;
    };
    const Case cases[] = {
        {"giving row", &TfrmVirement::grdDep, 0, &TfrmVirement::mnFicheDep, QStringLiteral("lObjet|lOldSolde|lNewSolde"),
         {QStringLiteral("DEPENSE"), QStringLiteral("300 000.00"), QStringLiteral("200 000.00")}},
        {"receiving row on stationery", &TfrmVirement::grdEco, 0, &TfrmVirement::mnFicheEcoPre,
         QStringLiteral("lObjet|lOldSolde|lNewSolde"),
         {QStringLiteral("ECONOMIE"), QStringLiteral("50 000.00"), QStringLiteral("110 000.00")}},
        {"statement", &TfrmVirement::grdDep, 0, &TfrmVirement::mnEtatVir, QStringLiteral("lCrInit|lCrRev"),
         {QStringLiteral("300 000.00"), QStringLiteral("50 000.00"), QStringLiteral("0.00"), QStringLiteral("200 000.00"),
          QStringLiteral("110 000.00"), QStringLiteral("40 000.00")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        (frm.get()->*c.grid)->setCurrentCell(c.row, TfrmVirement::colChap);
        QStringList texts;
        EXPECT_TRUE(ReadNextPreview([&] { (frm.get()->*c.item)->trigger(); },
                                    [&](TfrmPreview& preview) {
                                        for (const QString& control : c.control.split(QLatin1Char('|')))
                                            texts << preview.Pages()->page(0).textsOf(control);
                                    }));
        EXPECT_EQ(texts, c.texts);
    }
    messages->clear();
    frm->grdDep->setCurrentCell(3, TfrmVirement::colChap);
    frm->mnFicheDep->trigger();
    EXPECT_EQ(messages->texts(),
              QStringList{QStringLiteral("Veuillez sélectionner une ligne dans la grille des dépenses SVP !")});
}

} // namespace

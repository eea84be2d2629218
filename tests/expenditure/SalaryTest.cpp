// The two salary windows on a fresh year, driven through their controls: the
// imputations and deductions of a salary expense to pay with their totals and
// the state rules on its lines; a salary expense to commit recorded, changed
// and deleted under the state rules; the menu items that open the expense
// editors and the cancellations.
#include "expenditure/ExpenseFixture.h"

#include "common/ProgramFolder.h"
#include "controls/NumEdit.h"
#include "expenditure/UDep_Sal_Eng.h"
#include "expenditure/UDep_Sal_Mdt.h"
#include "shell/UKivMain.h"

#include <QFontMetrics>
#include <QLabel>
#include <QTableView>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

using rows::Money;

namespace {

class SalaryTest : public ExpenseTest {
protected:
    void SetUp() override
    {
        ExpenseTest::SetUp();
        rows::Write([&] {
            rows::Exec(QStringLiteral("INSERT INTO FRET (LIBELLE) VALUES ('IRG')"));
            rows::Exec(QStringLiteral("INSERT INTO FRET (LIBELLE) VALUES ('Sécurité sociale')"));
        });
        irg = rows::Scalar(QStringLiteral("SELECT ID_RETENUE FROM FRET WHERE LIBELLE='IRG'"));
    }

    template <typename W>
    std::unique_ptr<W> Open(int idDepense = -1)
    {
        auto w = std::make_unique<W>();
        w->IdDepense = idDepense;
        w->show();
        QApplication::setActiveWindow(w.get());
        return w;
    }

    // A new line typed in a grid: its detail picked, its amount typed, saved.
    static void AddLine(TfrmDep_Sal_Mdt& w, SalaryLineType type, qint64 detail, const char* amount)
    {
        ChooseInNextList(type == SalaryLineType::Imputation ? QStringLiteral("ID_FNM") : QStringLiteral("ID_RETENUE"), detail);
        (type == SalaryLineType::Imputation ? w.btnAddImput : w.btnAddRet)->click();
        ASSERT_TRUE(w.LineEditing(type));
        ASSERT_TRUE(w.LineAmountEdit(type));
        w.LineAmountEdit(type)->setText(QString::fromLatin1(amount));
        (type == SalaryLineType::Imputation ? w.btnPostImput : w.btnPostRet)->click();
    }

    Currency StoredAmount(qint64 id)
    {
        return CommittedMoney(QStringLiteral("SELECT MONTANT FROM DEPENSE WHERE ID_DEPENSE=:ID"), id);
    }
    qint64 Count(const char* sql, qint64 id)
    {
        return CommittedScalar(QString::fromLatin1(sql), {{"ID", id}});
    }

    qint64 irg = 0;
};

} // namespace

TEST_F(SalaryTest, SalaryToPayWithItsLinesAndTotals)
{
    auto w = Open<TfrmDep_Sal_Mdt>();
    // Lines wait for a saved expense.
    EXPECT_FALSE(w->btnAddImput->isEnabled());
    w->btnAdd->click();
    w->edDFact->setText(QStringLiteral("28/03/2024"));
    ChooseInNextList(QStringLiteral("ID_BEN"), body);
    w->btnGetBen->click();
    EXPECT_EQ(w->lBen->text(), QStringLiteral("CNAS"));
    w->edObjet->setText(QStringLiteral("Salaires de mars"));
    EXPECT_FALSE(w->btnAddImput->isEnabled());
    w->btnPost->click();
    ASSERT_EQ(w->Mode(), emBrowse) << messages->texts().join(" | ").toStdString();
    const qint64 id = w->IdDepense;
    EXPECT_EQ(CommittedScalar(QStringLiteral("SELECT REMBOURS FROM DEPENSE WHERE ID_DEPENSE=:ID"), {{"ID", id}}), 1);
    EXPECT_EQ(CommittedScalar(QStringLiteral("SELECT NO_DEPENSE FROM DEPENSE WHERE ID_DEPENSE=:ID"), {{"ID", id}}), id);
    EXPECT_EQ(StoredAmount(id), Currency());
    EXPECT_TRUE(w->btnAddImput->isEnabled());
    EXPECT_FALSE(w->btnModifImput->isEnabled());

    AddLine(*w, SalaryLineType::Imputation, line, "30 000.00");
    AddLine(*w, SalaryLineType::Imputation, social, "12500.50");
    AddLine(*w, SalaryLineType::Deduction, irg, "4000");
    EXPECT_FALSE(w->LineEditing(SalaryLineType::Imputation));
    EXPECT_EQ(w->lTotImp->text(), QStringLiteral("42 500.50"));
    EXPECT_EQ(w->lTotRet->text(), QStringLiteral("4 000.00"));
    EXPECT_EQ(StoredAmount(id), Money("42500.50"));
    ASSERT_EQ(w->Lines(SalaryLineType::Imputation).size(), 2);
    EXPECT_EQ(w->Lines(SalaryLineType::Imputation)[0].noOrd, 10);
    EXPECT_EQ(w->Lines(SalaryLineType::Imputation)[1].noOrd, 20);
    EXPECT_EQ(w->Lines(SalaryLineType::Deduction)[0].libelle, QStringLiteral("IRG"));

    // The same budget line twice is refused; the entry stays to be cancelled.
    messages->clear();
    ChooseInNextList(QStringLiteral("ID_FNM"), line);
    w->btnAddImput->click();
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Cette imputation est déjà saisie !")});
    ASSERT_TRUE(w->LineEditing(SalaryLineType::Imputation));
    messages->clear();
    w->btnCancelImput->click();
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Annuler les modifications ?")});
    EXPECT_FALSE(w->LineEditing(SalaryLineType::Imputation));

    // A line changed, then one deleted: the amount follows each time.
    w->SelectLine(SalaryLineType::Imputation, 1);
    w->btnModifImput->click();
    ASSERT_TRUE(w->LineEditing(SalaryLineType::Imputation));
    EXPECT_EQ(w->LineAmountEdit(SalaryLineType::Imputation)->text(), QStringLiteral("12 500.50"));
    w->LineAmountEdit(SalaryLineType::Imputation)->setText(QStringLiteral("12 000.00"));
    w->btnPostImput->click();
    EXPECT_EQ(StoredAmount(id), Money("42000.00"));
    w->SelectLine(SalaryLineType::Imputation, 1);
    messages->clear();
    w->btnDelImput->click();
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Etes-vous sûr de vouloir supprimer cette imputation ?")});
    EXPECT_EQ(w->lTotImp->text(), QStringLiteral("30 000.00"));
    EXPECT_EQ(StoredAmount(id), Money("30000.00"));

    // A line without an amount is stored without one and counts for nothing.
    ChooseInNextList(QStringLiteral("ID_FNM"), social);
    w->btnAddImput->click();
    w->LineAmountEdit(SalaryLineType::Imputation)->clear();
    w->btnPostImput->click();
    EXPECT_EQ(Count("SELECT COUNT(*) FROM DET_SALAIRE WHERE ID_DEPENSE=:ID AND MONTANT IS NULL", id), 1);
    EXPECT_EQ(StoredAmount(id), Money("30000.00"));
    EXPECT_EQ(w->lTotImp->text(), QStringLiteral("30 000.00"));

    // The header changes alone; the amount stays the lines' sum. The lines
    // written by this window are no other user's change.
    messages->clear();
    w->btnModif->click();
    w->edObjet->setText(QStringLiteral("Salaires de mars 2024"));
    w->btnPost->click();
    EXPECT_TRUE(messages->texts().isEmpty()) << messages->texts().join(" | ").toStdString();
    EXPECT_EQ(w->Mode(), emBrowse);
    EXPECT_EQ(StoredAmount(id), Money("30000.00"));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM DEPENSE WHERE ID_DEPENSE=:ID AND OBJET='Salaires de mars 2024'", id), 1);

    // Deleting the expense takes its lines with it.
    messages->clear();
    w->btnDelete->click();
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Etes-vous sûr de vouloir supprimer cette dépense ?")});
    EXPECT_EQ(Count("SELECT COUNT(*) FROM DEPENSE WHERE ID_DEPENSE=:ID", id), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM DET_SALAIRE WHERE ID_DEPENSE=:ID", id), 0);
}

// A mandated salary expense keeps its lines: adding, changing and deleting
// them are refused; its header can still be changed; it cannot be deleted.
TEST_F(SalaryTest, MandatedSalaryExpenseKeepsItsLines)
{
    const qint64 id = rows::Expense(ExpenseKind::SalaryToPay, -1, body, Money("500"));
    rows::Imputation(id, line, Money("500"));
    Hold(id, Holder::Order, Money("500"));
    auto w = Open<TfrmDep_Sal_Mdt>(int(id));
    ASSERT_EQ(w->IdDepense, id);
    ASSERT_EQ(w->Lines(SalaryLineType::Imputation).size(), 1);
    const QString locked = QStringLiteral("Cette dépense est engagée ou/et mandatée !\r");
    struct Case {
        const char* name;
        QToolButton* button;
        QString message;
    };
    const std::vector<Case> cases = {
        {"add", w->btnAddImput, locked + QStringLiteral("Ajout impossible.")},
        {"add a deduction", w->btnAddRet, locked + QStringLiteral("Ajout impossible.")},
        {"change", w->btnModifImput, locked + QStringLiteral("Modification impossible.")},
        {"delete", w->btnDelImput, locked + QStringLiteral("Suppression impossible.")},
        {"delete the expense", w->btnDelete, QStringLiteral("Cette dépense est déjà mandatée !\rSuppression Impossible.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages->clear();
        c.button->click();
        EXPECT_EQ(messages->texts(), QStringList{c.message});
        EXPECT_FALSE(w->LineEditing(SalaryLineType::Imputation));
        EXPECT_FALSE(w->LineEditing(SalaryLineType::Deduction));
    }
    EXPECT_EQ(StoredAmount(id), Money("500"));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM DET_SALAIRE WHERE ID_DEPENSE=:ID", id), 1);

    w->btnModif->click();
    w->edObjet->setText(QStringLiteral("Régularisé"));
    w->btnPost->click();
    EXPECT_EQ(w->Mode(), emBrowse);
    EXPECT_EQ(w->edObjet->text(), QStringLiteral("Régularisé"));
    EXPECT_EQ(StoredAmount(id), Money("500"));
}

// An expense whose lines reach the order numbers' limit takes no more: the
// user is told whether the limit is found when the detail is picked or, another
// user having filled the expense meanwhile, inside the line's save, which then
// writes nothing.
TEST_F(SalaryTest, AnExpenseFullOfLinesRefusesTheNextOne)
{
    const QString full = QStringLiteral("Cette dépense a atteint le nombre maximal de lignes !");
    const qint64 id = rows::Expense(ExpenseKind::SalaryToPay, -1, body, Money("500"));
    rows::Imputation(id, line, Money("500"));
    const auto fill = [&] {
        rows::Write([&] {
            rows::Exec(QStringLiteral("UPDATE DET_SALAIRE SET NO_ORD=32760 WHERE ID_DEPENSE=:ID"), {{"ID", id}});
        });
    };
    const auto expectRefused = [&] {
        ASSERT_EQ(messages->calls().size(), 1) << messages->texts().join(" | ").toStdString();
        EXPECT_EQ(messages->texts(), QStringList{full});
        EXPECT_EQ(messages->calls()[0].type, int(mtInformation));
        EXPECT_FALSE(messages->calls()[0].standard);
        EXPECT_EQ(Count("SELECT COUNT(*) FROM DET_SALAIRE WHERE ID_DEPENSE=:ID", id), 1);
        EXPECT_EQ(StoredAmount(id), Money("500"));
    };
    auto w = Open<TfrmDep_Sal_Mdt>(int(id));

    // Filled while the new line is typed: its save is refused.
    ChooseInNextList(QStringLiteral("ID_FNM"), social);
    w->btnAddImput->click();
    ASSERT_TRUE(w->LineEditing(SalaryLineType::Imputation));
    ASSERT_TRUE(w->LineAmountEdit(SalaryLineType::Imputation));
    w->LineAmountEdit(SalaryLineType::Imputation)->setText(QStringLiteral("20"));
    fill();
    messages->clear();
    w->btnPostImput->click();
    {
        SCOPED_TRACE("save");
        expectRefused();
    }
    EXPECT_TRUE(w->LineEditing(SalaryLineType::Imputation));

    // Full already when the detail is picked.
    auto* pick = w->findChild<QToolButton*>(QStringLiteral("btnPickImput"));
    ASSERT_TRUE(pick);
    messages->clear();
    ChooseInNextList(QStringLiteral("ID_FNM"), social);
    pick->click();
    {
        SCOPED_TRACE("pick");
        expectRefused();
    }
}

// A new line's amount cell opens empty: the amounts typed on its keys are
// stored as typed, in the line and in the expense's total.
TEST_F(SalaryTest, AmountsTypedIntoANewLineAreStoredAsTyped)
{
    const qint64 id = rows::Expense(ExpenseKind::SalaryToPay, -1, body, Currency());
    auto w = Open<TfrmDep_Sal_Mdt>(int(id));
    ASSERT_EQ(w->IdDepense, id);
    const struct {
        SalaryLineType type;
        qint64 detail;
        const char* keys;
        const char* stored;
    } cases[] = {{SalaryLineType::Imputation, line, "2800000", "2800000.00"},
                 {SalaryLineType::Imputation, social, "612500.75", "612500.75"},
                 {SalaryLineType::Deduction, irg, "250000", "250000.00"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        ChooseInNextList(c.type == SalaryLineType::Imputation ? QStringLiteral("ID_FNM") : QStringLiteral("ID_RETENUE"), c.detail);
        (c.type == SalaryLineType::Imputation ? w->btnAddImput : w->btnAddRet)->click();
        TNumEdit* amount = w->LineAmountEdit(c.type);
        ASSERT_TRUE(amount);
        EXPECT_EQ(amount->text(), QString());
        QTest::keyClicks(amount, QString::fromLatin1(c.keys));
        (c.type == SalaryLineType::Imputation ? w->btnPostImput : w->btnPostRet)->click();
        EXPECT_FALSE(w->LineEditing(c.type)) << messages->texts().join(" | ").toStdString();
        EXPECT_EQ(CommittedMoney(QStringLiteral("SELECT MONTANT FROM DET_SALAIRE WHERE ID_DEPENSE=:ID AND "
                                                "TYPE_DET=%1 AND ID_DETAIL=%2")
                                     .arg(toDb(c.type))
                                     .arg(c.detail),
                                 id),
                  Money(c.stored));
    }
    EXPECT_EQ(StoredAmount(id), Money("3412500.75"));
    EXPECT_EQ(w->lTotImp->text(), QStringLiteral("3 412 500.75"));
    EXPECT_EQ(w->lTotRet->text(), QStringLiteral("250 000.00"));
}

// The amount column shows the largest amount in full, the line's title taking
// the grid's spare width.
TEST_F(SalaryTest, LineAmountsShowInFull)
{
    const qint64 id = rows::Expense(ExpenseKind::SalaryToPay, -1, body, Money("9999999999999.99"));
    rows::Imputation(id, line, Money("9999999999999.99"));
    auto w = Open<TfrmDep_Sal_Mdt>(int(id));
    w->resize(700, 600);
    QApplication::processEvents();
    auto* grid = w->findChild<QTableView*>(QStringLiteral("grdImput"));
    ASSERT_TRUE(grid);
    QFont bold = grid->font();
    bold.setBold(true);
    EXPECT_GE(grid->columnWidth(5), QFontMetrics(bold).horizontalAdvance(QStringLiteral("9 999 999 999 999.99")));
}

TEST_F(SalaryTest, SalaryToCommitRecordedChangedAndDeleted)
{
    auto w = Open<TfrmDep_Sal_Eng>();
    w->btnAdd->click();
    w->edDFact->setText(QStringLiteral("05/04/2024"));
    w->edMontant->setText(QStringLiteral("75 000.00"));
    // Picking the body opens the budget-line picker next.
    OnNextModal([this](QDialog* d) {
        ChooseInNextList(QStringLiteral("ID_FNM"), social);
        auto* list = qobject_cast<TRefListForm*>(d);
        QueryTableModel* m = list->model();
        for (int r = 0; r < m->rowCount(); ++r)
            if (db::toInt(m->value(r, QStringLiteral("ID_BEN"))) == body)
                list->grid()->setCurrentIndex(m->index(r, 0));
        list->btnOk->click();
    });
    w->btnGetBen->click();
    EXPECT_EQ(w->lBen->text(), QStringLiteral("CNAS"));
    EXPECT_EQ(w->ChosenBudgetLine(), social);
    w->edObjet->setText(QStringLiteral("Cotisations du 1er trimestre"));
    w->btnPost->click();
    ASSERT_EQ(w->Mode(), emBrowse) << messages->texts().join(" | ").toStdString();
    const qint64 id = w->IdDepense;
    EXPECT_EQ(w->edNoFact->text(), QString::number(id));
    EXPECT_EQ(StoredAmount(id), Money("75000.00"));
    EXPECT_EQ(CommittedScalar(QStringLiteral("SELECT TYPE_DEPENSE FROM DEPENSE WHERE ID_DEPENSE=:ID"), {{"ID", id}}), 3);
    EXPECT_EQ(CommittedScalar(QStringLiteral("SELECT REMBOURS FROM DEPENSE WHERE ID_DEPENSE=:ID"), {{"ID", id}}), -1);

    // A date of another year is refused outright.
    w->btnModif->click();
    w->edDFact->setText(QStringLiteral("05/04/2023"));
    messages->clear();
    w->btnPost->click();
    EXPECT_EQ(messages->texts(),
              QStringList{QStringLiteral("La date Facture ne correspond pas à l'exercice en cours !")});
    w->edDFact->setText(QStringLiteral("06/04/2024"));
    w->edMontant->setText(QStringLiteral("76 000.00"));
    w->btnPost->click();
    EXPECT_EQ(StoredAmount(id), Money("76000.00"));
    EXPECT_EQ(CommittedScalar(QStringLiteral("SELECT NO_DEPENSE FROM DEPENSE WHERE ID_DEPENSE=:ID"), {{"ID", id}}), id);

    // Found again when opened on it; committed, then its sheet cancelled: the
    // amount is free again, the deletion still refused.
    const qint64 other = rows::Expense(ExpenseKind::SalaryToCommit, line, body, Money("10"), QString(), QDate(2024, 12, 1));
    Hold(id, Holder::CancelledSheet, Money("76000.00"));
    auto w2 = Open<TfrmDep_Sal_Eng>(int(id));
    EXPECT_EQ(w2->IdDepense, id);
    EXPECT_EQ(w2->lNoEng->text(), QStringLiteral("0002"));
    w2->btnModif->click();
    EXPECT_TRUE(w2->edMontant->isEnabled());
    messages->answer(mrYes);
    w2->btnCancel->click();
    messages->clear();
    w2->btnDelete->click();
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Cette Dépense est déjà Engagée !\rSuppression Impossible.")});
    EXPECT_EQ(Count("SELECT COUNT(*) FROM DEPENSE WHERE ID_DEPENSE=:ID", id), 1);

    // A free one goes after the question.
    auto w3 = Open<TfrmDep_Sal_Eng>(int(other));
    messages->clear();
    w3->btnDelete->click();
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Etes-vous sûr de vouloir supprimer cette Dépense ?")});
    EXPECT_EQ(Count("SELECT COUNT(*) FROM DEPENSE WHERE ID_DEPENSE=:ID", other), 0);
}

TEST(ExpenseMenus, TheMenuItemsOpenTheExpenseEditorsAndTheCancellations)
{
    ProgramFolder folder;
    YearDb year;
    MessageRecorder messages;
    const std::int16_t maxLines = MaxDocLines;
    TfrmKivMain main;
    const std::function<void()> openers[] = {
        [&] { main.mnAutreDep->trigger(); },
        [&] { main.mnDepSalaire->trigger(); },
        [&] { main.itemSalaryToCommit->trigger(); },
        [&] { main.mnEng_Eco->trigger(); },
    };
    QStringList opened;
    for (const auto& open : openers) {
        OnNextModal([&opened](QDialog* d) {
            opened << d->objectName();
            d->close();
        });
        open();
    }
    EXPECT_EQ((QStringList{QStringLiteral("frmMission"), QStringLiteral("frmDep_Sal_Mdt"),
                           QStringLiteral("frmDep_Sal_Eng"), QStringLiteral("frmEngagement_Annul")}),
              opened);
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(" | ").toStdString();
    EXPECT_TRUE(StopPendingModalWatches());
    MaxDocLines = maxLines;
}

// The commitment window on a fresh year, driven through its controls: a new
// sheet filled through the picker, numbers and balances, the visa, the last
// sheet's deletion, a cancelled sheet, line removal and the search.
#include "budget/SheetStore.h"
#include "budget/UEngagement.h"
#include "budget/UFindFE.h"
#include "common/DocumentFixture.h"
#include "common/SheetRows.h"
#include "documents/DocumentBrowsing.h"
#include "expenditure/UAddDep.h"
#include "reports/ReportForm.h"
#include "reports/UPreview.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using rows::Money;
using rows::Write;

namespace {

class EngagementTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        supplier = rows::Beneficiary(QStringLiteral("SARL ALPHA"));
        other = rows::Beneficiary(QStringLiteral("EURL BETA"));
        line = rows::BudgetLine(QStringLiteral("22-03"), QStringLiteral("01"), QString(),
                                QStringLiteral("Fournitures de bureau"), Money("1000"));
        rows::PrimitiveSheet(line, Money("1000"));
    }

    // A user sheet with its lines, written as the window and the picker do.
    qint64 Sheet(std::initializer_list<qint64> expenses, const QDate& date = QDate(2024, 3, 1))
    {
        return rows::UserSheet(expenses, Money("100"), date);
    }

    std::unique_ptr<TfrmEngagement> Open(qint64 idEng = -1)
    {
        auto frm = std::make_unique<TfrmEngagement>();
        frm->ObjetEng = SheetObject::Expense;
        frm->IdEng = idEng;
        frm->show();
        QApplication::setActiveWindow(frm.get());
        return frm;
    }

    QString Stored(const char* column, qint64 idEng)
    {
        return CommittedText(QStringLiteral("SELECT %1 FROM ENT_ENG WHERE ID_ENG=:ID").arg(QLatin1String(column)), idEng);
    }

    TSheetStore store;
    qint64 supplier = 0, other = 0, line = 0;
};

} // namespace

TEST_F(EngagementTest, ANewSheetIsSavedThenNumberedAndBalancedByTheLinesThePickerAdds)
{
    const qint64 a = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("250"), QStringLiteral("F-1"), QDate(2024, 3, 2));
    const qint64 b = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("150"), QStringLiteral("F-2"), QDate(2024, 3, 3));
    auto frm = Open();
    EXPECT_EQ(-1, frm->IdEng);

    frm->btnAdd->click();
    EXPECT_EQ(QStringLiteral("Insertion"), frm->stBar->Panel(4));
    EXPECT_FALSE(frm->edNoFiche->isEnabled());
    frm->edDateE->setText(QStringLiteral("10/03/2024"));
    QTest::keyClick(frm.get(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(QStringLiteral("Affichage"), frm->stBar->Panel(4));
    const qint64 id = frm->IdEng;
    ASSERT_GT(id, 0);
    EXPECT_EQ(QString(), Stored("NO_ENG", id));
    EXPECT_EQ(QStringLiteral("0.00"), frm->lMontant->text());

    OnNextModal([&](QDialog* d) {
        auto* picker = qobject_cast<TfrmAddDep*>(d);
        ASSERT_NE(nullptr, picker);
        EXPECT_EQ(QStringLiteral("E"), toDb(picker->ModeDoc));
        EXPECT_EQ(id, picker->IdDoc);
        EXPECT_TRUE(picker->AddExpense(a));
        EXPECT_TRUE(picker->AddExpense(b));
        picker->close();
    });
    frm->btnModifDet->click();
    EXPECT_EQ(QStringLiteral("0002"), Stored("NO_ENG", id));
    EXPECT_EQ(QStringLiteral("400"), Stored("MONTANT", id));
    EXPECT_EQ(QString::number(line), Stored("ID_FNM", id));
    EXPECT_EQ(QStringLiteral("ENGAGEMENT DE DIVERSES FACTURES  DU FOURNISSEUR SARL ALPHA"), Stored("OBS", id));
    EXPECT_EQ(QStringLiteral("0002"), frm->edNoFiche->text());
    EXPECT_EQ(QStringLiteral("1 000.00"), frm->lOldSolde->text());
    EXPECT_EQ(QStringLiteral("400.00"), frm->lMontant->text());
    EXPECT_EQ(QStringLiteral("600.00"), frm->lNewSolde->text());
    EXPECT_EQ(QStringLiteral("22-03-01 : Fournitures de bureau"), frm->lInt->text());

    // Removing a line: the header follows, the lines are numbered again.
    frm->grdDep->setCurrentIndex(frm->grdDep->model()->index(0, 0));
    messages->clear();
    messages->answer(mrYes);
    frm->btnDelDet->click();
    EXPECT_EQ(QStringLiteral("Etes-vous sûr de vouloir supprimer cette dépense ?"), messages->texts().first());
    EXPECT_EQ(QStringLiteral("150"), Stored("MONTANT", id));
    EXPECT_EQ(QStringList{QStringLiteral("1:%1").arg(b)},
              CommittedLines(QStringLiteral("DET_ENG"), QStringLiteral("ID_ENG"), id));
    EXPECT_EQ(QStringLiteral("1  Dépenses"), frm->stBar->Panel(2));
}

TEST_F(EngagementTest, NumbersTypedInEditModeArePaddedAndCheckedAgainstTheLine)
{
    const qint64 first = Sheet({rows::Expense(ExpenseKind::Invoice, line, supplier, Money("100"))});    // 0002
    Sheet({rows::Expense(ExpenseKind::Invoice, line, supplier, Money("100"))});                         // 0003
    auto frm = Open(first);
    const struct {
        const char* typed;
        const char* message;
    } refused[] = {{"3", "Ce N° de Fiche existe déjà !"},
                   {"0003", "Ce N° de Fiche existe déjà !"},
                   {"1", "Le N° de la fiche doit être supérieur à 1 !"},
                   {"1a", "Le N° de la fiche doit être numérique !"},
                   {"", "Le N° de la Fiche est manquant !"}};
    frm->btnModif->click();
    for (const auto& r : refused) {
        SCOPED_TRACE(r.typed);
        messages->clear();
        frm->edNoFiche->setText(QString::fromUtf8(r.typed));
        frm->btnPost->click();
        EXPECT_EQ(QStringList{QString::fromUtf8(r.message)}, messages->texts());
        EXPECT_EQ(QStringLiteral("Edition"), frm->stBar->Panel(4));
    }
    frm->edNoFiche->setText(QStringLiteral("12"));
    const qint64 generator = rows::Scalar(QStringLiteral("SELECT GEN_ID(GEN_ENGAGEMENT_ID, 0) FROM RDB$DATABASE"));
    frm->btnPost->click();
    EXPECT_EQ(QStringLiteral("0012"), Stored("NO_ENG", first));
    // An edit draws no key.
    EXPECT_EQ(generator, rows::Scalar(QStringLiteral("SELECT GEN_ID(GEN_ENGAGEMENT_ID, 0) FROM RDB$DATABASE")));
    // The list keeps number order: 0003, then 0012 last.
    EXPECT_EQ(frm->Sheets()->rowCount() - 1, frm->Sheets()->currentRow());
}

TEST_F(EngagementTest, AVisaFreezesTheLinesAndOnlyTheLastSheetOfALineCanGo)
{
    const qint64 older = Sheet({rows::Expense(ExpenseKind::Invoice, line, supplier, Money("100"))});
    const qint64 last = Sheet({rows::Expense(ExpenseKind::Invoice, line, supplier, Money("100"))});
    auto frm = Open(older);
    EXPECT_FALSE(frm->mnDelete->isEnabled());
    EXPECT_TRUE(frm->mnAddDetail->isEnabled());

    frm->MyNavigator->btnNext->click();
    ASSERT_EQ(last, frm->IdEng);
    EXPECT_TRUE(frm->mnDelete->isEnabled());
    frm->btnModif->click();
    frm->edNoVisa->setText(QStringLiteral("V-7"));
    frm->edDateVisa->setText(QStringLiteral("02/03/2024"));
    messages->answer(mrYes);   // a visa later than the sheet: asked
    frm->btnPost->click();
    EXPECT_EQ(QStringLiteral("La date du Visa est plus récente que la date de la fiche !\rContinuer ?"),
              messages->texts().last());
    EXPECT_EQ(QStringLiteral("V-7"), Stored("NO_VISA", last));
    EXPECT_FALSE(frm->mnAddDetail->isEnabled());
    EXPECT_FALSE(frm->mnDelDet->isEnabled());
    EXPECT_FALSE(frm->mnDelete->isEnabled());
    messages->clear();
    messages->answer(mrNo);
    frm->btnModif->click();
    EXPECT_EQ(QStringList{QStringLiteral("Cette fiche est visée ! \rVoulez-vous, tout de même, la modifier ?")},
              messages->texts());
    EXPECT_EQ(QStringLiteral("Affichage"), frm->stBar->Panel(4));

    // The visa taken away, the last sheet goes after two questions.
    frm->btnModif->click();
    frm->edNoVisa->clear();
    frm->edDateVisa->clear();
    frm->btnPost->click();
    messages->clear();
    frm->btnDelete->click();
    EXPECT_EQ(2, messages->calls().size());
    EXPECT_EQ(QString(), Stored("ID_ENG", last));
    EXPECT_TRUE(CommittedLines(QStringLiteral("DET_ENG"), QStringLiteral("ID_ENG"), last).isEmpty());
    EXPECT_EQ(older, frm->IdEng);
    EXPECT_TRUE(frm->mnDelete->isEnabled());
}

// Whether the sheet may go is decided again inside the deleting transaction:
// a later sheet given to the line, or a cancellation, since it was shown
// keeps it.
TEST_F(EngagementTest, TheDeletionIsDecidedOnTheSheetAsItStandsNow)
{
    struct Case {
        const char* name;
        std::function<void(qint64 shown)> meanwhile;
        QString refusal;
    };
    const std::vector<Case> cases = {
        {"a later sheet on the line",
         [this](qint64) { Sheet({rows::Expense(ExpenseKind::Invoice, line, supplier, Money("100"))}); },
         QStringLiteral("Seule la dernière fiche d'une imputation peut être supprimée !")},
        {"cancelled",
         [](qint64 shown) {
             rows::Write([&] { rows::Exec(QStringLiteral("UPDATE ENT_ENG SET STATUT=9999 WHERE ID_ENG=:ID"),
                                          {{"ID", shown}}); });
         },
         QStringLiteral("Cette fiche est annulée, suppression impossible !")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const qint64 shown = Sheet({rows::Expense(ExpenseKind::Invoice, line, supplier, Money("100"))});
        auto frm = Open(shown);
        ASSERT_TRUE(frm->mnDelete->isEnabled());
        c.meanwhile(shown);
        messages->clear();
        frm->btnDelete->click();
        EXPECT_EQ(messages->texts().last(), c.refusal);
        EXPECT_EQ(Stored("ID_ENG", shown), QString::number(shown));
        EXPECT_EQ(CommittedLines(QStringLiteral("DET_ENG"), QStringLiteral("ID_ENG"), shown).size(), 1);
        EXPECT_EQ(frm->IdEng, shown);
        frm->close();
    }
}

TEST_F(EngagementTest, ACancelledSheetShowsItsCancellationAndKeepsItsLines)
{
    const qint64 sheet = Sheet({rows::Expense(ExpenseKind::Invoice, line, supplier, Money("100"))});
    TSheet cancellation;
    cancellation.number = QStringLiteral("0003");
    cancellation.date = QDate(2024, 5, 1);
    cancellation.idFnm = line;
    cancellation.objet = SheetObject::Economy;
    cancellation.amount = Money("100");
    cancellation.origin = SheetOrigin::Cancellation;
    cancellation.idOrigine = sheet;
    qint64 cancelling = 0;
    Write([&] { cancelling = store.InsertMovementSheet(cancellation, LineObject::Cancellation, sheet); });
    rows::Exec(QStringLiteral("UPDATE ENT_ENG SET STATUT=:S WHERE ID_ENG=:ID"), {{"S", cancelling}, {"ID", sheet}});
    DM->CommitWork();

    auto frm = Open(sheet);
    EXPECT_EQ(QStringLiteral("Annulée par : 0003"), frm->lCancelled->text());
    EXPECT_EQ(1, frm->Sheets()->rowCount());   // the cancellation is not a user sheet
    for (QAction* a : {frm->mnModif, frm->mnAddDetail, frm->mnDelDet, frm->mnDelete})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
}

TEST_F(EngagementTest, TheSearchFindsASheetByBudgetLineAndNumber)
{
    const qint64 first = Sheet({rows::Expense(ExpenseKind::Invoice, line, supplier, Money("100"))});
    Sheet({rows::Expense(ExpenseKind::Invoice, line, supplier, Money("100"))});
    auto frm = Open();
    OnNextModal([](QDialog* d) {
        auto* find = qobject_cast<TfrmFindFE*>(d);
        ASSERT_NE(nullptr, find);
        find->edChap->setText(QStringLiteral("22-03"));
        find->edArt->setText(QStringLiteral("01"));
        find->edNoFE->setText(QStringLiteral("2"));
        find->btnOk->click();
    });
    QTest::keyClick(frm.get(), Qt::Key_F3);
    EXPECT_EQ(first, frm->IdEng);

    OnNextModal([](QDialog* d) {
        auto* find = qobject_cast<TfrmFindFE*>(d);
        find->edChap->setText(QStringLiteral("22 03"));
        find->edArt->setText(QStringLiteral("01"));
        find->edNoFE->setText(QStringLiteral("2"));
        find->btnOk->click();
    });
    frm->btnFind->click();
    EXPECT_EQ(QStringList{QStringLiteral("Fiche d'engagement introuvable ! ")}, messages->texts());
    EXPECT_EQ(first, frm->IdEng);
}

TEST_F(EngagementTest, ThePrintItemsPreviewTheSheetShownOnWhitePaperAndOnStationery)
{
    const qint64 first = Sheet({rows::Expense(ExpenseKind::Invoice, line, supplier, Money("100"), QStringLiteral("F-1"))});
    Sheet({rows::Expense(ExpenseKind::Invoice, line, other, Money("100"), QStringLiteral("F-2"))});
    auto frm = Open(first);
    ASSERT_EQ(frm->IdEng, first);
    const QString number = frm->edNoFiche->text();
    ASSERT_FALSE(number.isEmpty());
    for (QAction* item : {frm->mnPrintFE_FB, frm->mnPrintFE_PreImp}) {
        SCOPED_TRACE(item->objectName().toStdString());
        EXPECT_TRUE(item->isEnabled());
        QString report, title;
        QStringList texts;
        OnNextModal([&](QDialog* d) {
            auto* preview = qobject_cast<TfrmPreview*>(d);
            ASSERT_NE(preview, nullptr);
            report = preview->SourceReport->report().name();
            title = preview->windowTitle();
            texts = preview->Pages()->texts();
            d->reject();
        });
        item->trigger();
        EXPECT_EQ(report, item == frm->mnPrintFE_FB ? QStringLiteral("RptFEDep") : QStringLiteral("RptFEDep_PreImp"));
        EXPECT_EQ(title, QStringLiteral("Fiche d'engagement - Dépense - 1 page"));
        EXPECT_TRUE(texts.contains(number));
        EXPECT_TRUE(texts.join(QLatin1Char(' ')).contains(QStringLiteral("FACTURE N° F-1 DU 01/03/2024 DE SARL ALPHA")));
    }
}

// The commitment listing: its balances against the shared routine (on a small
// fixture and on a generated year), its filter over the fetched rows, the
// deletes it refuses and allows as the sheets stand when the user clicks, the
// search, and its printed listing's totals.
#include "budget/CommitmentListing.h"
#include "budget/UEngagement.h"
#include "budget/UFilterEng.h"
#include "budget/UFindFE.h"
#include "budget/UListEng.h"
#include "common/DocumentFixture.h"
#include "common/PreviewDriver.h"
#include "common/ProgramFolder.h"
#include "controls/NumEdit.h"
#include "data/BudgetQueries.h"
#include "reports/commitments/URptListEng.h"
#include "shell/UKivMain.h"
#include "tools/FillYear.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QLabel>
#include <QTest>

using rows::Money;
using rows::Write;

using enum SheetObject;
using enum SheetOrigin;

namespace {

class ListEngTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        alpha = rows::Beneficiary(QStringLiteral("SARL ALPHA"));
        beta = rows::Beneficiary(QStringLiteral("EURL BETA"));
        line1 = rows::BudgetLine(QStringLiteral("21-01"), QStringLiteral("02"), QString(), QStringLiteral("Vacations"));
        line2 = rows::BudgetLine(QStringLiteral("22-03"), QStringLiteral("01"), QStringLiteral("05"),
                                 QStringLiteral("Fournitures"));
    }

    // A sheet as the windows write it; `lines` are the expenses of a user commitment.
    qint64 Sheet(const QString& number, qint64 idFnm, SheetObject objet, const char* amount,
                 SheetOrigin origin = SheetOrigin::User, std::initializer_list<qint64> lines = {},
                 const QDate& date = QDate(2024, 3, 1), const QString& visa = QString(),
                 qint64 idOrigine = NoOriginRecord)
    {
        const qint64 id = DM->NextKey(QStringLiteral("GEN_ENGAGEMENT_ID"));
        Write([&] {
            rows::Exec(QStringLiteral("INSERT INTO ENT_ENG (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, MONTANT, OBJET, ORIGINE, "
                                      "ID_ORIGINE, NO_VISA, STATUT) VALUES (:ID, :NO, :D, :F, :M, :O, :ORIG, :IDO, "
                                      ":V, :S)"),
                       {{"ID", id},
                        {"NO", number.isEmpty() ? db::Value() : db::Value(number)},
                        {"D", date},
                        {"F", idFnm},
                        {"M", Money(amount)},
                        {"O", toDbValue(objet)},
                        {"ORIG", toDbValue(origin)},
                        {"IDO", idOrigine},
                        {"V", visa},
                        {"S", SheetInForce}});
            int n = 0;
            for (qint64 e : lines)
                rows::Exec(QStringLiteral("INSERT INTO DET_ENG (ID_ENG, NOLINE, OBJET, ID_DETAIL, MONTANT) "
                                          "VALUES (:ID, :N, :OBJET, :E, 0)"),
                           {{"ID", id}, {"N", qint64(++n)}, {"OBJET", toDbValue(LineObject::Expense)}, {"E", e}});
        });
        return id;
    }

    // A cancellation of `sheet`, as the cancellation window writes it.
    qint64 Cancel(qint64 sheet, const QString& number, qint64 idFnm, const char* amount)
    {
        const qint64 id = Sheet(number, idFnm, Economy, amount, Cancellation, {}, QDate(2024, 5, 1), QString(), sheet);
        Write([&] {
            rows::Exec(QStringLiteral("UPDATE ENT_ENG SET STATUT=:S WHERE ID_ENG=:ID"), {{"S", id}, {"ID", sheet}});
        });
        return id;
    }

    std::unique_ptr<TfrmListEng> Open()
    {
        auto frm = std::make_unique<TfrmListEng>();
        frm->show();
        return frm;
    }

    static QStringList Numbers(const QueryTableModel& m)
    {
        QStringList out;
        for (int r = 0; r < m.rowCount(); ++r)
            out << m.row(r).asString(QStringLiteral("CHAP")).trimmed() + QLatin1Char('/')
                       + m.row(r).asString(QStringLiteral("NO_ENG")).trimmed();
        return out;
    }

    bool Locate(TfrmListEng& frm, qint64 idEng) { return frm.Rows()->locate({db::Value(idEng)}); }

    // The balances of every fetched row against the shared routine, row by
    // row, and the rows in the order the engine sorts them.
    void ExpectBalancesOfTheSharedRoutine()
    {
        TCommitmentListing listing;
        const TListingRows read = listing.Read();
        QueryTableModel m;
        m.setRows(read.names, read.rows);
        ASSERT_GT(m.rowCount(), 0);
        db::Query sorted(DM->LURDO, QStringLiteral("SELECT A.ID_ENG FROM ENT_ENG A LEFT JOIN FNM B ON A.ID_FNM=B.ID_FNM "
                                                   "ORDER BY B.CHAP, B.ART, B.PAR, A.NO_ENG, A.ID_ENG"));
        sorted.open();
        ASSERT_EQ(sorted.rowCount(), m.rowCount());
        for (int r = 0; r < m.rowCount(); ++r)
            ASSERT_EQ(db::toInt(sorted.at(r, 0)), m.row(r).asInt(QStringLiteral("ID_ENG"))) << "row " << r;
        for (int r = 0; r < m.rowCount(); ++r) {
            const QueryRow row = m.row(r);
            const Currency before = DM->Queries().CommitmentBalanceBefore(row.asInt(QStringLiteral("ID_FNM")),
                                                                         row.asString(QStringLiteral("NO_ENG")));
            ASSERT_EQ(before, row.asCurrency(QStringLiteral("OLD_SOLDE")))
                << "sheet " << row.asInt(QStringLiteral("ID_ENG"));
            ASSERT_EQ(BudgetQueries::CommitmentBalanceAfter(before,
                                                            fromDb<SheetObject>(row.asInt(QStringLiteral("OBJET"))),
                                                            row.asCurrency(QStringLiteral("MONTANT"))),
                      row.asCurrency(QStringLiteral("NEW_SOLDE")));
        }
    }

    qint64 alpha = 0, beta = 0, line1 = 0, line2 = 0;
};

} // namespace

TEST_F(ListEngTest, TheBalancesAreThoseOfTheSharedRoutineWhateverTheOriginSignAndNumber)
{
    const qint64 e1 = rows::Expense(ExpenseKind::Invoice, line1, alpha, Money("300"));
    Sheet(QStringLiteral("0001"), line1, Economy, "1000", PrimitiveBudget, {}, QDate(2024, 1, 2), QString(), line1);
    const qint64 user = Sheet(QStringLiteral("0002"), line1, Expense, "300", User, {e1});
    Cancel(user, QStringLiteral("0003"), line1, "-300");                       // a credit stored negative
    Sheet(QStringLiteral("0004"), line1, Expense, "-120", Transfer);   // a giving transfer stored negative
    Sheet(QString(), line1, Expense, "0");                             // a new sheet, not numbered yet
    Sheet(QStringLiteral("0004"), line1, Economy, "50", AmendingBudget);   // a number given twice
    Sheet(QStringLiteral("0001"), line2, Economy, "700", PrimitiveBudget);
    Sheet(QStringLiteral("0002"), line2, Expense, "0");
    ExpectBalancesOfTheSharedRoutine();

    auto frm = Open();
    ASSERT_TRUE(frm->Rows()->locate({QStringLiteral("ID_FNM"), QStringLiteral("NO_ENG")},
                                    {db::Value(line1), db::Value(QStringLiteral("0004"))}));
    // 1000 - 300 + 300 = 1000 before the two sheets numbered 0004.
    EXPECT_EQ(Money("1000"), frm->Rows()->current().asCurrency(QStringLiteral("OLD_SOLDE")));
    EXPECT_EQ(QStringLiteral("1 000.00"), frm->Rows()->displayText(frm->Rows()->currentRow(), 5));
}

TEST_F(ListEngTest, TheBalancesOfAGeneratedYearAreThoseOfTheSharedRoutine)
{
    fill::Options o;
    o.seed = 5;
    o.chapters = 6;
    o.budgetRows = 60;
    o.beneficiaries = 20;
    o.expenses = 900;
    o.transfers = 20;
    o.paymentOrders = 200;
    fill::FillYear(DM->LURDO, o);
    // Negative amounts, sheets without a number or an amount, an OBJET missing.
    rows::Exec(QStringLiteral("UPDATE ENT_ENG SET MONTANT = -MONTANT WHERE MOD(ID_ENG, 11) = 0"));
    rows::Exec(QStringLiteral("UPDATE ENT_ENG SET NO_ENG = NULL WHERE MOD(ID_ENG, 29) = 0"));
    rows::Exec(QStringLiteral("UPDATE ENT_ENG SET MONTANT = NULL WHERE MOD(ID_ENG, 31) = 0"));
    rows::Exec(QStringLiteral("UPDATE ENT_ENG SET OBJET = NULL WHERE MOD(ID_ENG, 37) = 0"));
    // Sheets without a budget line, or on a line no longer there.
    rows::Exec(QStringLiteral("UPDATE ENT_ENG SET ID_FNM = NULL WHERE MOD(ID_ENG, 41) = 0"));
    rows::Exec(QStringLiteral("UPDATE ENT_ENG SET ID_FNM = 9999 WHERE MOD(ID_ENG, 43) = 0"));
    DM->CommitWork();
    ExpectBalancesOfTheSharedRoutine();
}

TEST_F(ListEngTest, TheFilterKeepsWhatItsCriteriaSayAndAnEmptyFilterListsEverySheet)
{
    const qint64 ea = rows::Expense(ExpenseKind::Invoice, line1, alpha, Money("300"));
    const qint64 eb = rows::Expense(ExpenseKind::Invoice, line1, beta, Money("80"));
    const qint64 ec = rows::Expense(ExpenseKind::Invoice, line2, alpha, Money("50"));
    Sheet(QStringLiteral("0001"), line1, Economy, "1000", PrimitiveBudget, {}, QDate(2024, 1, 2));
    Sheet(QStringLiteral("0002"), line1, Expense, "300", User, {ea}, QDate(2024, 2, 10));
    Sheet(QStringLiteral("0003"), line1, Expense, "80", User, {eb}, QDate(2024, 4, 20));
    Sheet(QStringLiteral("0010"), line1, Economy, "25", Transfer, {}, QDate(2024, 6, 1));
    Sheet(QStringLiteral("0001"), line2, Economy, "700", PrimitiveBudget, {}, QDate(2024, 1, 2));
    Sheet(QStringLiteral("0002"), line2, Expense, "50", User, {ec}, QDate(2024, 5, 5));
    auto frm = Open();
    const QStringList all = Numbers(*frm->Rows());
    EXPECT_EQ((QStringList{"21-01/0001", "21-01/0002", "21-01/0003", "21-01/0010", "22-03/0001", "22-03/0002"}), all);

    struct Case {
        const char* what;
        std::function<void(TCommitmentCriteria&)> set;
        QStringList shown;
    };
    const Case cases[] = {
        {"numbers as text", [](TCommitmentCriteria& f) { f.num = true; f.numFrom = "0002"; f.numTo = "0003"; },
         {"21-01/0002", "21-01/0003", "22-03/0002"}},
        {"emptied numbers", [](TCommitmentCriteria& f) { f.num = true; f.numFrom = "-1"; f.numTo = "-1"; },
         {}},
        {"dates", [](TCommitmentCriteria& f) { f.date = true; f.dateFrom = QDate(2024, 2, 1); f.dateTo = QDate(2024, 5, 5); },
         {"21-01/0002", "21-01/0003", "22-03/0002"}},
        {"amounts", [](TCommitmentCriteria& f) { f.mt = true; f.mtMin = Money("50"); f.mtMax = Money("300"); },
         {"21-01/0002", "21-01/0003", "22-03/0002"}},
        {"budget line", [&](TCommitmentCriteria& f) { f.imput = true; f.idFnm = line2; }, {"22-03/0001", "22-03/0002"}},
        {"budget line switched off", [&](TCommitmentCriteria& f) { f.idFnm = line2; }, all},
        {"beneficiary, no switch", [&](TCommitmentCriteria& f) { f.idBen = alpha; }, {"21-01/0002", "22-03/0002"}},
        {"beneficiary and expense amounts",
         [&](TCommitmentCriteria& f) { f.idBen = alpha; f.mtBen = true; f.mtMinBen = Money("100"); f.mtMaxBen = Money("1000"); },
         {"21-01/0002"}},
        {"expense amounts alone",
         [](TCommitmentCriteria& f) { f.mtBen = true; f.mtMinBen = Money("60"); f.mtMaxBen = Money("90"); },
         {"21-01/0003"}},
        {"nothing", [](TCommitmentCriteria&) {}, all},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // A filter first, so that the case shows what its own criteria give.
        TCommitmentCriteria narrow = TCommitmentCriteria::Reset();
        narrow.imput = true;
        narrow.idFnm = line1;
        frm->ApplyFilter(narrow);
        TCommitmentCriteria f = TCommitmentCriteria::Reset();
        c.set(f);
        frm->ApplyFilter(f);
        EXPECT_EQ(c.shown, Numbers(*frm->Rows()));
        EXPECT_EQ(!f.IsEmpty(), frm->FilterActive());
    }

    // The chapter narrows what the criteria keep; a sort keeps both.
    TCommitmentCriteria f = TCommitmentCriteria::Reset();
    f.mt = true;
    f.mtMin = Money("50");
    f.mtMax = Money("1000");
    frm->ApplyFilter(f);
    frm->btnFilterChap->setChecked(true);
    frm->btnFilterChap->click();   // toggles up again
    frm->btnFilterChap->click();   // down: the first chapter, 21-01
    ASSERT_TRUE(frm->btnFilterChap->isChecked());
    frm->Chapters()->locate({db::Value(QStringLiteral("21-01"))});
    EXPECT_EQ((QStringList{"21-01/0001", "21-01/0002", "21-01/0003"}), Numbers(*frm->Rows()));
    frm->Rows()->sortByColumn(6);   // Montant
    frm->Rows()->sortByColumn(6);   // descending
    EXPECT_EQ((QStringList{"21-01/0001", "21-01/0002", "21-01/0003"}), Numbers(*frm->Rows()));
    frm->Rows()->sortByColumn(5);   // the balances do not sort
    EXPECT_EQ(6, frm->Rows()->sortColumn());
    frm->btnFilterChap->click();
    EXPECT_EQ((QStringList{"21-01/0001", "22-03/0001", "21-01/0002", "21-01/0003", "22-03/0002"}),
              Numbers(*frm->Rows()));
    frm->mnCancelFilter->trigger();
    EXPECT_EQ(6, Numbers(*frm->Rows()).size());
}

TEST_F(ListEngTest, TheFilterDialogShowsItsCriteriaAndForgetsABeneficiary)
{
    TfrmFilterEng dlg;
    TCommitmentCriteria f = TCommitmentCriteria::Reset();
    f.idBen = alpha;
    f.benName = QStringLiteral("SARL ALPHA");
    f.mtBen = true;
    f.mtMinBen = Money("10");
    f.mtMaxBen = Money("20");
    dlg.SetCriteria(f);
    dlg.show();
    EXPECT_TRUE(dlg.edMtMinBen->isEnabled());
    EXPECT_FALSE(dlg.edNumD->isEnabled());
    EXPECT_EQ(QStringLiteral("SARL ALPHA"), dlg.edNomBen->text());
    QTest::mouseClick(dlg.lblMtBen, Qt::LeftButton);
    EXPECT_FALSE(dlg.MtBenChecked);
    dlg.btnClearBen->click();
    dlg.btnOk->click();
    ASSERT_FALSE(dlg.isVisible());
    const TCommitmentCriteria back = dlg.Criteria();
    EXPECT_EQ(-1, back.idBen);
    EXPECT_TRUE(back.benName.isEmpty());
    EXPECT_TRUE(back.IsEmpty());
    EXPECT_EQ(Money("20"), back.mtMaxBen);
}

TEST_F(ListEngTest, ADeleteIsDecidedOnTheSheetAsItStandsWhenTheUserClicks)
{
    const qint64 e1 = rows::Expense(ExpenseKind::Invoice, line1, alpha, Money("300"));
    const qint64 e2 = rows::Expense(ExpenseKind::Invoice, line2, alpha, Money("40"));
    Sheet(QStringLiteral("0001"), line1, Economy, "1000", PrimitiveBudget);
    const qint64 last = Sheet(QStringLiteral("0002"), line1, Expense, "300", User, {e1});
    const qint64 visaed = Sheet(QStringLiteral("0002"), line2, Expense, "40", User, {e2}, QDate(2024, 3, 1),
                                QStringLiteral("V-12"));
    auto frm = Open();

    // A sheet with a visa: refused, nothing asked.
    ASSERT_TRUE(Locate(*frm, visaed));
    EXPECT_FALSE(frm->btnDelete->isEnabled());
    messages->clear();
    frm->btnDeleteClick();
    EXPECT_EQ(QStringList{QStringLiteral("Fiche visée, suppression impossible !")}, messages->texts());

    // The last sheet of its line when the list was read, but no longer when
    // the user clicks: refused inside the deleting transaction.
    ASSERT_TRUE(Locate(*frm, last));
    EXPECT_TRUE(frm->btnDelete->isEnabled());
    const qint64 later = Sheet(QStringLiteral("0003"), line1, Expense, "10");
    messages->clear();
    frm->btnDelete->click();
    EXPECT_EQ((QStringList{QStringLiteral("Etes-vous sûr de vouloir supprimer cette fiche ?"),
                           QStringLiteral("Confirmez la suppression définitive de cette fiche ?"),
                           QStringLiteral("Seule la dernière fiche d'une imputation peut être supprimée !")}),
              messages->texts());
    EXPECT_EQ(last, CommittedInt(QStringLiteral("SELECT ID_ENG FROM ENT_ENG WHERE ID_ENG=:ID"), last));
    // The list was read again: the new sheet is listed and the old one no longer deletable.
    ASSERT_TRUE(Locate(*frm, last));
    EXPECT_FALSE(frm->btnDelete->isEnabled());

    // Cancelled after the list was read: refused.
    ASSERT_TRUE(Locate(*frm, later));
    EXPECT_TRUE(frm->btnDelete->isEnabled());
    Cancel(later, QStringLiteral("0004"), line1, "10");
    messages->clear();
    frm->btnDelete->click();
    EXPECT_EQ(QStringLiteral("Cette fiche est annulée, suppression impossible !"), messages->texts().last());
    EXPECT_EQ(later, CommittedInt(QStringLiteral("SELECT ID_ENG FROM ENT_ENG WHERE ID_ENG=:ID"), later));

    // The free last sheet of line 2 (visa taken away meanwhile) goes, lines and all.
    Write([&] { rows::Exec(QStringLiteral("UPDATE ENT_ENG SET NO_VISA=NULL WHERE ID_ENG=:ID"), {{"ID", visaed}}); });
    frm->ReadSheets();
    ASSERT_TRUE(Locate(*frm, visaed));
    messages->clear();
    frm->btnDelete->click();
    EXPECT_EQ(2, messages->texts().size());
    EXPECT_EQ(-1, CommittedInt(QStringLiteral("SELECT ID_ENG FROM ENT_ENG WHERE ID_ENG=:ID"), visaed));
    EXPECT_EQ(-1, CommittedInt(QStringLiteral("SELECT FIRST 1 ID_ENG FROM DET_ENG WHERE ID_ENG=:ID"), visaed));
    EXPECT_FALSE(Locate(*frm, visaed));

    // A reader may not delete.
    ReadOnly(QStringLiteral("mnEng_List"));
    auto reader = Open();
    ASSERT_TRUE(Locate(*reader, later));
    Write([&] {
        rows::Exec(QStringLiteral("DELETE FROM ENT_ENG WHERE ORIGINE=:ORIGINE"),
                   {{"ORIGINE", toDbValue(Cancellation)}});
    });
    Write([&] { rows::Exec(QStringLiteral("UPDATE ENT_ENG SET STATUT=:S"), {{"S", SheetInForce}}); });
    reader->ReadSheets();
    ASSERT_TRUE(Locate(*reader, later));
    messages->clear();
    reader->btnDelete->click();
    EXPECT_EQ(QStringList{QStringLiteral("Alerte de sécurité : Ecriture non autorisée !")}, messages->texts());
    EXPECT_EQ(later, CommittedInt(QStringLiteral("SELECT ID_ENG FROM ENT_ENG WHERE ID_ENG=:ID"), later));
}

TEST_F(ListEngTest, OpeningASheetFindingOneAndReadingTheListAgain)
{
    const qint64 e1 = rows::Expense(ExpenseKind::Invoice, line1, alpha, Money("300"));
    const qint64 transfer = Sheet(QStringLiteral("0001"), line1, Economy, "1000", Transfer);
    const qint64 user = Sheet(QStringLiteral("0002"), line1, Expense, "300", User, {e1});
    Sheet(QStringLiteral("0002"), line2, Expense, "5");
    auto frm = Open();

    // A transfer sheet opens nothing.
    ASSERT_TRUE(Locate(*frm, transfer));
    EXPECT_FALSE(frm->btnModif->isEnabled());
    frm->btnModifClick();

    // An expense commitment opens in the commitment window, and the list is
    // read again afterwards (the visa given there shows).
    ASSERT_TRUE(Locate(*frm, user));
    qint64 opened = -1;
    OnNextModal([&](QDialog* d) {
        auto* eng = qobject_cast<TfrmEngagement*>(d);
        ASSERT_NE(nullptr, eng);
        opened = eng->IdEng;
        Write([&] { rows::Exec(QStringLiteral("UPDATE ENT_ENG SET NO_VISA='V-1' WHERE ID_ENG=:ID"), {{"ID", user}}); });
        d->close();
    });
    frm->btnModif->click();
    EXPECT_EQ(user, opened);
    EXPECT_EQ(user, frm->Rows()->current().asInt(QStringLiteral("ID_ENG")));
    EXPECT_EQ(QStringLiteral("V-1"), frm->Rows()->current().asString(QStringLiteral("NO_VISA")));
    EXPECT_FALSE(frm->btnDelete->isEnabled());

    // Found by budget line and number, among the rows shown.
    OnNextModal([](QDialog* d) {
        auto* find = qobject_cast<TfrmFindFE*>(d);
        find->edChap->setText(QStringLiteral("22-03"));
        find->edArt->setText(QStringLiteral("01"));
        find->edPar->setText(QStringLiteral("05"));
        find->edNoFE->setText(QStringLiteral("2"));
        find->btnOk->click();
    });
    frm->btnFind->click();
    EXPECT_EQ(line2, frm->Rows()->current().asInt(QStringLiteral("ID_FNM")));
    OnNextModal([](QDialog* d) {
        auto* find = qobject_cast<TfrmFindFE*>(d);
        find->edChap->setText(QStringLiteral("22-03"));
        find->edArt->setText(QStringLiteral("01"));
        find->edPar->setText(QStringLiteral("05"));
        find->edNoFE->setText(QStringLiteral("9"));
        find->btnOk->click();
    });
    messages->clear();
    frm->btnFind->click();
    EXPECT_EQ(QStringList{QStringLiteral("Fiche d'engagement introuvable ! ")}, messages->texts());
}

TEST_F(ListEngTest, ThePrintedListingTotalsTheRowsShownEveryTimeItRuns)
{
    const qint64 e1 = rows::Expense(ExpenseKind::Invoice, line1, alpha, Money("300.25"));
    Sheet(QStringLiteral("0001"), line1, Economy, "1000", PrimitiveBudget);
    Sheet(QStringLiteral("0002"), line1, Expense, "300.25", User, {e1});
    Sheet(QStringLiteral("0003"), line1, Economy, "-0.50", AmendingBudget);
    Sheet(QStringLiteral("0001"), line2, Economy, "700", PrimitiveBudget);
    for (int i = 0; i < 70; ++i)   // enough rows for a second page
        Sheet(QStringLiteral("%1").arg(i + 2, 4, 10, QLatin1Char('0')), line2, Expense, "1.10");
    auto frm = Open();
    frm->btnFilterChap->click();
    frm->Chapters()->locate({db::Value(QStringLiteral("21-01"))});
    ASSERT_EQ(3, frm->Rows()->rowCount());
    frm->Rows()->sortByColumn(6);
    frm->Rows()->sortByColumn(6);

    TfrmRptListEng form;
    form.UseListing(*frm->Rows());
    auto pages = form.Prepare();
    ASSERT_EQ(1, pages->count());
    EXPECT_EQ((QStringList{"1 000.00", "300.25", "-0.50"}), pages->page(0).textsOf(QStringLiteral("dbMontant")));
    EXPECT_EQ(QStringList{QStringLiteral("1 299.75")}, pages->page(0).textsOf(QStringLiteral("lTotMontant")));
    EXPECT_EQ(QStringList{QStringLiteral("21-01-02")}, QStringList{pages->page(0).textsOf(QStringLiteral("lImp")).first()});
    EXPECT_EQ(QStringList{QStringLiteral("1 299.75")}, form.PrepareAgain()->page(0).textsOf(QStringLiteral("lTotMontant")));

    // The print button previews the listing shown.
    EXPECT_EQ(1, PagesOfNextPreview([&] { frm->btnPrint->click(); }));

    // Every sheet, over two pages: the total counts each row once.
    frm->btnFilterChap->click();
    ASSERT_EQ(74, frm->Rows()->rowCount());
    TfrmRptListEng whole;
    whole.UseListing(*frm->Rows());
    auto all = whole.Prepare();
    ASSERT_GE(all->count(), 2);
    EXPECT_EQ(QStringList{QStringLiteral("2 076.75")}, all->page(all->count() - 1).textsOf(QStringLiteral("lTotMontant")));

    // An empty listing prints its header and a total of 0.00.
    TCommitmentCriteria none = TCommitmentCriteria::Reset();
    none.num = true;
    none.numFrom = none.numTo = QStringLiteral("9999");
    frm->ApplyFilter(none);
    ASSERT_TRUE(frm->Rows()->isEmpty());
    TfrmRptListEng empty;
    empty.UseListing(*frm->Rows());
    auto one = empty.Prepare();
    ASSERT_EQ(1, one->count());
    EXPECT_EQ(QStringList{QStringLiteral("0.00")}, one->page(0).textsOf(QStringLiteral("lTotMontant")));
    EXPECT_EQ(QStringList{QStringLiteral("Page : 1")}, one->page(0).textsOf(QStringLiteral("lPage")));

    // Without a listing window: the chapter asked for.
    TfrmRptListEng standalone;
    standalone.ReadListing = ReadCommitmentListing;   // as the print tool hands it
    ASSERT_TRUE(standalone.SetParameter(QStringLiteral("Chap"), QStringLiteral("22-03")));
    auto chapter = standalone.Prepare();
    EXPECT_EQ(QStringList{QStringLiteral("777.00")},
              chapter->page(chapter->count() - 1).textsOf(QStringLiteral("lTotMontant")));
}

TEST(ListEngMenu, TheMenuItemOpensTheListing)
{
    ProgramFolder folder;
    YearDb year;
    MessageRecorder messages;
    TfrmKivMain main;
    QString opened;
    OnNextModal([&opened](QDialog* d) {
        opened = d->objectName();
        d->close();
    });
    main.mnEng_List->trigger();
    EXPECT_EQ(QStringLiteral("frmListEng"), opened);
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_TRUE(StopPendingModalWatches());
}

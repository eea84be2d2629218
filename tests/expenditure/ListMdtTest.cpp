// The payment-order listing: its filter over the fetched rows (checked against
// the same conditions in SQL on a generated year), the salary line's share of
// each order, the search by number, the deletes it refuses and allows as the
// orders stand when the user clicks, the order window it opens, and its
// printed listing.
#include "common/DocumentFixture.h"
#include "common/PreviewDriver.h"
#include "common/ProgramFolder.h"
#include "controls/NumEdit.h"
#include "data/RowCriteria.h"
#include "expenditure/OrderListing.h"
#include "expenditure/OrderStore.h"
#include "expenditure/UFilterMdt.h"
#include "expenditure/UListMdt.h"
#include "expenditure/UMandat.h"
#include "reports/mandat/URptListMdt.h"
#include "shell/UKivMain.h"
#include "tools/FillYear.h"

#include <QAction>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using rows::Money;
using rows::Write;

namespace {

class ListMdtTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        alpha = rows::Beneficiary(QStringLiteral("SARL ALPHA"));
        beta = rows::Beneficiary(QStringLiteral("EURL BETA"));
        line = rows::BudgetLine(QStringLiteral("22-03"), QStringLiteral("01"), QString(), QStringLiteral("Fournitures"));
        salary = rows::BudgetLine(QStringLiteral("21-01"), QStringLiteral("02"), QStringLiteral("03"),
                                  QStringLiteral("Traitements"));
        other = rows::BudgetLine(QStringLiteral("21-01"), QStringLiteral("04"), QString(), QStringLiteral("Primes"));
        rows::Exec(QStringLiteral("UPDATE FNM SET SECTION=1 WHERE ID_FNM IN (:A, :B)"), {{"A", salary}, {"B", other}});
        DM->CommitWork();
        e1 = rows::Expense(ExpenseKind::Invoice, line, alpha, Money("100"));
        e2 = rows::Expense(ExpenseKind::Invoice, line, beta, Money("50"));
        s1 = rows::Expense(ExpenseKind::SalaryToPay, -1, beta, Money("300"));
        rows::Imputation(s1, salary, Money("200"));
        rows::Imputation(s1, salary, Money("50.25"));
        rows::Imputation(s1, other, Money("49.75"));
        o5 = Order(QStringLiteral("0005"), QDate(2024, 2, 1), {e1});
        o10 = Order(QStringLiteral("0010"), QDate(2024, 3, 1), {e2});
        o12 = Order(QStringLiteral("0012"), QDate(2024, 4, 1), {s1});
        o3 = Order(QStringLiteral("0003"), QDate(), {});
    }

    qint64 Order(const QString& number, const QDate& date, std::initializer_list<qint64> expenses)
    {
        TOrderStore store;
        TOrder o;
        o.number = number;
        o.date = date;
        o.nature = QStringLiteral("Paiement ") + number;
        qint64 id = 0;
        Write([&] {
            id = store.InsertOrder(o);
            for (qint64 e : expenses)
                store.AddLine(id, e, db::toCurrency(rows::Scalar(QStringLiteral("SELECT MONTANT FROM DEPENSE WHERE "
                                                                                "ID_DEPENSE=:ID"),
                                                                 {{"ID", e}})));
        });
        return id;
    }

    std::unique_ptr<TfrmListMdt> Open()
    {
        auto frm = std::make_unique<TfrmListMdt>();
        frm->show();
        return frm;
    }

    static QStringList Numbers(const QueryTableModel& m)
    {
        QStringList out;
        for (int r = 0; r < m.rowCount(); ++r)
            out << m.row(r).asString(QStringLiteral("NO_MDT")).trimmed();
        return out;
    }

    qint64 alpha = 0, beta = 0, line = 0, salary = 0, other = 0;
    qint64 e1 = 0, e2 = 0, s1 = 0;
    qint64 o5 = 0, o10 = 0, o12 = 0, o3 = 0;
};

// An empty year, for the generator.
class ListMdtYearTest : public DocumentTest {};

} // namespace

TEST_F(ListMdtTest, TheFilterKeepsWhatItsCriteriaSayAndASalaryLineShowsItsShareOfEachOrder)
{
    auto frm = Open();
    EXPECT_EQ((QStringList{"0012", "0010", "0005", "0003"}), Numbers(*frm->Rows()));
    EXPECT_EQ(QStringLiteral("4 Mandats"), frm->stBar->Panel(2));
    EXPECT_EQ(QStringLiteral("TESTEUR"), frm->stBar->Panel(0));   // the user, not the database account
    EXPECT_TRUE(frm->grdMdt->isColumnHidden(3));

    struct Case {
        const char* what;
        std::function<void(TOrderCriteria&)> set;
        QStringList shown;
    };
    const Case cases[] = {
        {"numbers as text", [](TOrderCriteria& f) { f.num = true; f.numFrom = "0005"; f.numTo = "0010"; },
         {"0010", "0005"}},
        {"numbers compared with the stored text", [](TOrderCriteria& f) { f.num = true; f.numFrom = "1"; f.numTo = "5"; },
         {}},
        {"dates, an order without one left out",
         [](TOrderCriteria& f) { f.date = true; f.dateFrom = QDate(2024, 1, 1); f.dateTo = QDate(2024, 3, 1); },
         {"0010", "0005"}},
        {"order amounts", [](TOrderCriteria& f) { f.mt = true; f.mtMin = Money("50"); f.mtMax = Money("100"); },
         {"0010", "0005"}},
        {"budget line", [&](TOrderCriteria& f) { f.imput = true; f.idFnm = line; }, {"0010", "0005"}},
        {"salary line", [&](TOrderCriteria& f) { f.imput = true; f.idFnm = salary; }, {"0012"}},
        {"beneficiary, amounts off", [&](TOrderCriteria& f) { f.idBen = beta; }, {"0012", "0010"}},
        {"beneficiary within amounts",
         [&](TOrderCriteria& f) { f.idBen = beta; f.mtBen = true; f.mtMinBen = Money("40"); f.mtMaxBen = Money("60"); },
         {"0010"}},
        {"expense amounts alone",
         [](TOrderCriteria& f) { f.mtBen = true; f.mtMinBen = Money("90"); f.mtMaxBen = Money("1000"); },
         {"0012", "0005"}},
        {"nothing", [](TOrderCriteria&) {}, {"0012", "0010", "0005", "0003"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TOrderCriteria narrow = TOrderCriteria::Reset();
        narrow.imput = true;
        narrow.idFnm = line;
        frm->ApplyFilter(narrow);
        TOrderCriteria f = TOrderCriteria::Reset();
        c.set(f);
        frm->ApplyFilter(f);
        EXPECT_EQ(c.shown, Numbers(*frm->Rows()));
        EXPECT_EQ(!f.IsEmpty(), frm->FilterActive());
        EXPECT_EQ(QString::number(c.shown.size()) + QStringLiteral(" Mandats"), frm->stBar->Panel(2));
    }

    // The salary line: its share of the order is the sum of its imputations.
    TOrderCriteria f = TOrderCriteria::Reset();
    f.imput = true;
    f.idFnm = salary;
    frm->ApplyFilter(f);
    ASSERT_TRUE(frm->SalaryLine());
    EXPECT_FALSE(frm->grdMdt->isColumnHidden(3));
    EXPECT_EQ(QStringLiteral("250.25"), frm->Rows()->displayText(0, 3));
    EXPECT_EQ(QStringLiteral("300.00"), frm->Rows()->displayText(0, 2));
    frm->mnCancelFilter->trigger();
    EXPECT_TRUE(frm->grdMdt->isColumnHidden(3));
    EXPECT_EQ(4, frm->Rows()->rowCount());
    EXPECT_EQ(QStringLiteral("300.00"), frm->Rows()->displayText(0, 3));
}

TEST_F(ListMdtYearTest, TheFilterOnTheFetchedRowsEqualsTheSqlConditionsOnAGeneratedYear)
{
    fill::Options o;
    o.seed = 3;
    o.chapters = 6;
    o.budgetRows = 60;
    o.beneficiaries = 25;
    o.expenses = 1200;
    o.transfers = 10;
    o.paymentOrders = 300;
    fill::FillYear(DM->LURDO, o);
    rows::Exec(QStringLiteral("UPDATE ENT_MDT SET DATE_MDT = NULL WHERE MOD(ID_MDT, 23) = 0"));
    rows::Exec(QStringLiteral("UPDATE ENT_MDT SET NO_MDT = 'A' || MOD(ID_MDT, 10) WHERE MOD(ID_MDT, 41) = 0"));
    DM->CommitWork();

    // The per-row form the listing replaces: the conditions written in SQL
    // over the orders, with sub-selects for the beneficiary part.
    auto reference = [](const TOrderCriteria& f) {
        QStringList where;
        if (f.ByNumber())
            where << QStringLiteral("(NO_MDT>=:NUM_D) AND (NO_MDT<=:NUM_F)");
        if (f.date)
            where << QStringLiteral("(DATE_MDT>=:DATE_D) AND (DATE_MDT<=:DATE_F)");
        if (f.mt)
            where << QStringLiteral("(MONTANT>=:MT_MIN) AND (MONTANT<=:MT_MAX)");
        if (f.idBen != -1 || f.mtBen)
            where << QStringLiteral("(ID_MDT IN (SELECT ID_MDT FROM DET_MDT WHERE ID_DETAIL IN "
                                    "(SELECT ID_DEPENSE FROM DEPENSE WHERE %1)))")
                         .arg(f.idBen != -1 && f.mtBen ? QStringLiteral("ID_BEN=:B AND MONTANT>=:BMIN AND MONTANT<=:BMAX")
                              : f.idBen != -1          ? QStringLiteral("ID_BEN=:B")
                                                       : QStringLiteral("MONTANT>=:BMIN AND MONTANT<=:BMAX"));
        db::Query q(DM->LURDO, QStringLiteral("SELECT ID_MDT FROM ENT_MDT")
                                   + (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "))));
        const auto set = [&](const char* name, const db::Value& v) {
            if (q.paramNames().contains(QString::fromLatin1(name)))
                q.setParam(QString::fromLatin1(name), v);
        };
        set("NUM_D", f.numFrom);
        set("NUM_F", f.numTo);
        set("DATE_D", f.dateFrom);
        set("DATE_F", f.dateTo);
        set("MT_MIN", f.mtMin);
        set("MT_MAX", f.mtMax);
        set("B", f.idBen);
        set("BMIN", f.mtMinBen);
        set("BMAX", f.mtMaxBen);
        q.open();
        QSet<qint64> ids;
        for (int r = 0; r < q.rowCount(); ++r)
            ids.insert(db::toInt(q.at(r, 0)));
        return ids;
    };
    const qint64 someBen = rows::Scalar(QStringLiteral("SELECT FIRST 1 ID_BEN FROM DEPENSE GROUP BY ID_BEN ORDER BY COUNT(*) DESC"));
    const std::function<void(TOrderCriteria&)> cases[] = {
        [](TOrderCriteria& f) { f.num = true; f.numFrom = "0100"; f.numTo = "0200"; },
        [](TOrderCriteria& f) { f.num = true; f.numFrom = "02"; f.numTo = "1"; },
        [](TOrderCriteria& f) { f.num = true; f.numFrom = "-1"; f.numTo = "A5"; },
        [](TOrderCriteria& f) { f.date = true; f.dateFrom = QDate(2024, 3, 1); f.dateTo = QDate(2024, 6, 30); },
        [](TOrderCriteria& f) { f.mt = true; f.mtMin = Money("1000"); f.mtMax = Money("50000.50"); },
        [&](TOrderCriteria& f) { f.idBen = someBen; },
        [&](TOrderCriteria& f) { f.idBen = someBen; f.mtBen = true; f.mtMinBen = Money("100"); f.mtMaxBen = Money("5000"); },
        [](TOrderCriteria& f) { f.mtBen = true; f.mtMinBen = Money("0"); f.mtMaxBen = Money("2000"); },
        [&](TOrderCriteria& f) { f.date = true; f.dateFrom = QDate(2024, 1, 1); f.dateTo = QDate(2024, 12, 31); f.idBen = someBen; },
    };
    TOrderListing listing;
    TListingRows read = listing.Read();
    QueryTableModel m;
    m.setRows(read.names, read.rows);
    int i = 0;
    for (const auto& set : cases) {
        SCOPED_TRACE(i++);
        TOrderCriteria f = TOrderCriteria::Reset();
        set(f);
        m.setFilter(TOrderListing::RowFilter(f, std::nullopt));
        QSet<qint64> shown;
        for (int r = 0; r < m.rowCount(); ++r)
            shown.insert(m.row(r).asInt(QStringLiteral("ID_MDT")));
        const QSet<qint64> expected = reference(f);
        EXPECT_EQ(expected, shown);
        EXPECT_LT(shown.size(), m.totalRowCount());
    }

    // The orders of a line and a salary line's share, against the per-order sums.
    db::Query lines(DM->LURDO, QStringLiteral("SELECT ID_FNM, SECTION FROM FNM WHERE ART <> '' ORDER BY ID_FNM"));
    lines.open();
    int salaryLines = 0;
    for (int r = 0; r < lines.rowCount(); ++r) {
        const qint64 idFnm = db::toInt(lines.at(r, 0));
        const TLineOrders of = TOrderListing::OrdersOfLine(idFnm);
        ASSERT_EQ(db::toInt(lines.at(r, 1)) == 1, of.salary);
        if (!of.salary)
            continue;
        ++salaryLines;
        for (qint64 order : of.orders) {
            const qint64 cents = rows::Scalar(QStringLiteral("SELECT CAST(SUM(S.MONTANT) * 100 AS BIGINT) FROM DET_MDT D "
                                                             "JOIN DET_SALAIRE S ON S.ID_DEPENSE=D.ID_DETAIL "
                                                             "WHERE D.ID_MDT=:M AND S.TYPE_DET=:T AND S.ID_DETAIL=:F"),
                                              {{"M", order}, {"T", toDbValue(SalaryLineType::Imputation)}, {"F", idFnm}});
            ASSERT_EQ(cents, of.amounts.value(order).raw() / 100);
        }
    }
    EXPECT_GT(salaryLines, 0);
}

TEST_F(ListMdtTest, TheSearchReadsTheTypedNumberAndPassesOverStoredNumbersThatAreNot)
{
    Write([&] { rows::Exec(QStringLiteral("UPDATE ENT_MDT SET NO_MDT='AB' WHERE ID_MDT=:ID"), {{"ID", o3}}); });
    auto frm = Open();
    frm->Rows()->setCurrentRow(2);
    struct Case {
        const char* typed;
        qint64 found;       // -1: the list stays where it was
        const char* message;
    };
    const Case cases[] = {
        {"12", o12, nullptr},
        {"0010", o10, nullptr},
        {"7", -1, "7 : Cet Mandat est introuvable ! "},
        {"12a", -1, "'12a' n'est pas un nombre entier valide."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const qint64 before = frm->Rows()->current().asInt(QStringLiteral("ID_MDT"));
        messages->clear();
        OnNextModal([&](QDialog* d) {
            auto* box = qobject_cast<QInputDialog*>(d);
            ASSERT_NE(nullptr, box);
            box->setTextValue(QString::fromLatin1(c.typed));
            box->accept();
        });
        frm->btnFind->click();
        EXPECT_EQ(c.found == -1 ? before : c.found, frm->Rows()->current().asInt(QStringLiteral("ID_MDT")));
        EXPECT_EQ(c.message ? QStringList{QString::fromUtf8(c.message)} : QStringList(), messages->texts());
    }
}

TEST_F(ListMdtTest, ADeleteIsDecidedOnTheOrderAsItStandsWhenTheUserClicks)
{
    auto frm = Open();
    auto regularise = [](qint64 order) {
        Write([&] {
            rows::Exec(QStringLiteral("INSERT INTO DET_ENG_REG (ID_ENG, NOLINE, OBJET, ID_DETAIL, MONTANT) "
                                      "VALUES (900, 1, :OBJET, :M, 0)"),
                       {{"OBJET", toDbValue(LineObject::PaymentOrder)}, {"M", order}});
        });
    };
    const QString refused = QStringLiteral("Ce mandat figure sur une fiche de régularisation !\rSuppression impossible.");

    // On a regularisation sheet already: refused before any question.
    regularise(o10);
    ASSERT_TRUE(frm->Rows()->locate({db::Value(o10)}));
    messages->clear();
    frm->btnDelete->click();
    EXPECT_EQ(QStringList{refused}, messages->texts());

    // Put on one while the questions were asked: refused inside the transaction.
    ASSERT_TRUE(frm->Rows()->locate({db::Value(o5)}));
    QStringList asked;
    messages.reset();
    const MessageResponder saved = CurrentMessageResponder();
    SetMessageResponder([&](const MessageCall& call) {
        asked << call.text;
        if (call.text.startsWith(QStringLiteral("Confirmez")))
            regularise(o5);
        return int(call.buttons & MsgButton::Yes ? mrYes : mrOk);
    });
    frm->btnDelete->click();
    SetMessageResponder(saved);
    EXPECT_EQ((QStringList{QStringLiteral("Etes-vous sûr de vouloir supprimer ce mandat ?"),
                           QStringLiteral("Confirmez la suppression définitive de ce mandat ?"), refused}),
              asked);
    EXPECT_EQ(o5, CommittedInt(QStringLiteral("SELECT ID_MDT FROM ENT_MDT WHERE ID_MDT=:ID"), o5));

    // A free order goes with its lines; its expense is free again.
    messages = std::make_unique<MessageRecorder>();
    ASSERT_TRUE(frm->Rows()->locate({db::Value(o12)}));
    frm->btnDelete->click();
    EXPECT_EQ((QStringList{QStringLiteral("Etes-vous sûr de vouloir supprimer ce mandat ?"),
                           QStringLiteral("Confirmez la suppression définitive de ce mandat ?")}),
              messages->texts());
    EXPECT_EQ(-1, CommittedInt(QStringLiteral("SELECT ID_MDT FROM ENT_MDT WHERE ID_MDT=:ID"), o12));
    EXPECT_EQ(-1, CommittedInt(QStringLiteral("SELECT FIRST 1 ID_MDT FROM DET_MDT WHERE ID_MDT=:ID"), o12));
    EXPECT_EQ(ExpenseState::Free, DM->Queries().GetExpenseState(s1));
    EXPECT_EQ(3, frm->Rows()->rowCount());

    // A reader may not delete.
    ReadOnly(QStringLiteral("mnListMdt"));
    auto reader = Open();
    ASSERT_TRUE(reader->Rows()->locate({db::Value(o3)}));
    messages->clear();
    reader->btnDelete->click();
    EXPECT_EQ(QStringList{QStringLiteral("Alerte de sécurité : Ecriture non autorisée !")}, messages->texts());
    EXPECT_EQ(o3, CommittedInt(QStringLiteral("SELECT ID_MDT FROM ENT_MDT WHERE ID_MDT=:ID"), o3));
}

TEST_F(ListMdtTest, AnOrderOpensInItsWindowAndTheListIsReadAgainAfter)
{
    auto frm = Open();
    ASSERT_TRUE(frm->Rows()->locate({db::Value(o10)}));
    qint64 opened = -1;
    OnNextModal([&](QDialog* d) {
        auto* mdt = qobject_cast<TfrmMandat*>(d);
        ASSERT_NE(nullptr, mdt);
        opened = mdt->IdMdt;
        Write([&] { rows::Exec(QStringLiteral("UPDATE ENT_MDT SET NATURE='CHANGEE' WHERE ID_MDT=:ID"), {{"ID", o10}}); });
        d->close();
    });
    QApplication::setActiveWindow(frm.get());
    QTest::keyClick(frm->grdMdt, Qt::Key_F2);
    EXPECT_EQ(o10, opened);
    EXPECT_EQ(o10, frm->Rows()->current().asInt(QStringLiteral("ID_MDT")));
    EXPECT_EQ(QStringLiteral("CHANGEE"), frm->Rows()->current().asString(QStringLiteral("NATURE")));
}

TEST_F(ListMdtTest, ThePrintedListingNumbersAndTotalsTheRowsShownEveryRun)
{
    auto frm = Open();
    frm->Rows()->sortByColumn(2);   // Montant ascending: 0003 (0), 0010, 0005, 0012
    TfrmRptListMdt form;
    form.UseListing(*frm->Rows());
    auto pages = form.Prepare();
    ASSERT_EQ(1, pages->count());
    const rpt::Page& p = pages->page(0);
    EXPECT_EQ((QStringList{"1", "2", "3", "4"}), p.textsOf(QStringLiteral("lNo")));
    EXPECT_EQ((QStringList{"0003", "0010", "0005", "0012"}), p.textsOf(QStringLiteral("dbNoMdt")));
    EXPECT_EQ(QStringList{QStringLiteral("450.00")}, p.textsOf(QStringLiteral("lTotMontant")));
    EXPECT_TRUE(p.textsOf(QStringLiteral("dbLibMontant")).isEmpty());
    EXPECT_TRUE(p.textsOf(QStringLiteral("lTotMtImput")).isEmpty());
    EXPECT_NEAR(324, p.item(QStringLiteral("dbNature"))->rect.left() - p.item(QStringLiteral("lNo"))->rect.left() + 2, 1);
    auto again = form.PrepareAgain();
    EXPECT_EQ((QStringList{"1", "2", "3", "4"}), again->page(0).textsOf(QStringLiteral("lNo")));
    EXPECT_EQ(QStringList{QStringLiteral("450.00")}, again->page(0).textsOf(QStringLiteral("lTotMontant")));

    // The print button previews the listing shown.
    EXPECT_EQ(1, PagesOfNextPreview([&] { frm->btnPrint->click(); }));

    // Filtered on a salary line: headed by the line, with its share and its total.
    TOrderCriteria f = TOrderCriteria::Reset();
    f.imput = true;
    f.idFnm = salary;
    frm->ApplyFilter(f);
    TfrmRptListMdt bySalary;
    bySalary.ImputCaption = TOrderListing::BudgetLineCaption(salary);
    bySalary.UseListing(*frm->Rows());
    const rpt::Page s = bySalary.Prepare()->page(0);
    EXPECT_EQ(QStringList{QStringLiteral("21-01.02.03 - Traitements")}, s.textsOf(QStringLiteral("lImput")));
    EXPECT_EQ(QStringList{QStringLiteral("250.25")}, s.textsOf(QStringLiteral("dbLibMontant")));
    EXPECT_EQ(QStringList{QStringLiteral("250.25")}, s.textsOf(QStringLiteral("lTotMtImput")));
    EXPECT_EQ(QStringList{QStringLiteral("300.00")}, s.textsOf(QStringLiteral("lTotMontant")));

    // The same without a window, through the print tool's parameter.
    TfrmRptListMdt standalone;
    standalone.ReadListing = ReadOrderListing;   // as the print tool hands it
    ASSERT_TRUE(standalone.SetParameter(QStringLiteral("IdFnm"), QString::number(salary)));
    const rpt::Page t = standalone.Prepare()->page(0);
    EXPECT_EQ(s.textsOf(QStringLiteral("lImput")), t.textsOf(QStringLiteral("lImput")));
    EXPECT_EQ(QStringList{QStringLiteral("250.25")}, t.textsOf(QStringLiteral("lTotMtImput")));

    // An empty list: the header, no row, totals of 0.00.
    f = TOrderCriteria::Reset();
    f.num = true;
    f.numFrom = f.numTo = QStringLiteral("9999");
    frm->ApplyFilter(f);
    TfrmRptListMdt empty;
    empty.UseListing(*frm->Rows());
    const rpt::Page e = empty.Prepare()->page(0);
    EXPECT_TRUE(e.textsOf(QStringLiteral("dbNoMdt")).isEmpty());
    EXPECT_EQ(QStringList{QStringLiteral("0.00")}, e.textsOf(QStringLiteral("lTotMontant")));
    EXPECT_EQ(QStringList{QStringLiteral("Listing des Mandats")}, e.textsOf(QStringLiteral("lTitre")));
}

TEST(ListMdtMenu, TheMenuItemOpensTheListing)
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
    main.mnListMdt->trigger();
    EXPECT_EQ(QStringLiteral("frmListMdt"), opened);
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_TRUE(StopPendingModalWatches());
}

// The expense listing: its set-based reads against the per-row forms on a
// generated year, the delete outcome of each state (also of a state that
// changed after the list was read), the filter over the fetched rows, the
// documents it opens, the search and sort, its printed listing and its five
// menu items.
#include "budget/UEngagement.h"
#include "common/DocumentFixture.h"
#include "common/PreviewDriver.h"
#include "common/ProgramFolder.h"
#include "common/TextBoxes.h"
#include "data/BudgetQueries.h"
#include "expenditure/ExpenseCriteria.h"
#include "expenditure/ExpenseListing.h"
#include "expenditure/ExpenseStore.h"
#include "expenditure/OrderStore.h"
#include "expenditure/UAddDep.h"
#include "expenditure/UFact.h"
#include "expenditure/UListDep.h"
#include "expenditure/UMandat.h"
#include "budget/SheetStore.h"
#include "reports/expenses/URptListDep.h"
#include "shell/UKivMain.h"
#include "tools/FillYear.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QInputDialog>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using rows::Money;
using rows::Write;

namespace {

class ListDepTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        alpha = rows::Beneficiary(QStringLiteral("SARL ALPHA"));
        zeta = rows::Beneficiary(QStringLiteral("ZETA"));
        line = rows::BudgetLine(QStringLiteral("22-03"), QStringLiteral("01"), QString(), QStringLiteral("Fournitures"));
        line2 = rows::BudgetLine(QStringLiteral("22-04"), QStringLiteral("02"), QStringLiteral("01"),
                                 QStringLiteral("Matériel"));
    }

    qint64 Sheet(std::initializer_list<qint64> expenses)
    {
        TSheetStore store;
        TSheet s;
        s.date = QDate(2024, 3, 1);
        qint64 id = 0;
        Write([&] {
            id = store.InsertUserSheet(s);
            for (qint64 e : expenses)
                store.AddExpenseLine(id, e, Money("1"));
        });
        return id;
    }

    qint64 Order(const QString& number, std::initializer_list<qint64> expenses)
    {
        TOrderStore store;
        TOrder o;
        o.number = number;
        o.date = QDate(2024, 4, 1);
        qint64 id = 0;
        Write([&] {
            id = store.InsertOrder(o);
            for (qint64 e : expenses)
                store.AddLine(id, e, Money("1"));
        });
        return id;
    }

    // A cancellation of the sheet, as the cancellation window writes it.
    void Cancel(qint64 sheet)
    {
        const std::optional<TSheet> s = TSheetStore().Read(sheet);
        TSheet c;
        c.number = QStringLiteral("0009");
        c.date = QDate(2024, 5, 1);
        c.idFnm = s->idFnm;
        c.objet = SheetObject::Economy;
        c.amount = s->amount;
        c.origin = SheetOrigin::Cancellation;
        c.idOrigine = sheet;
        Write([&] {
            const qint64 id = TSheetStore().InsertMovementSheet(c, LineObject::Cancellation, sheet);
            rows::Exec(QStringLiteral("UPDATE ENT_ENG SET STATUT=:S WHERE ID_ENG=:ID"), {{"S", id}, {"ID", sheet}});
        });
    }

    std::unique_ptr<TfrmListDep> Open(std::optional<ExpenseKind> kind = std::nullopt)
    {
        auto frm = std::make_unique<TfrmListDep>();
        frm->TypeDep = kind;
        frm->OpenSheet = OpenExpenseSheet;   // as the main menu hands it
        frm->show();
        return frm;
    }

    static QStringList Numbers(const QueryTableModel& m)
    {
        QStringList out;
        for (int r = 0; r < m.rowCount(); ++r)
            out << m.row(r).asString(QStringLiteral("NO_DEPENSE"));
        return out;
    }

    bool Exists(qint64 id)
    {
        return CommittedInt(QStringLiteral("SELECT ID_DEPENSE FROM DEPENSE WHERE ID_DEPENSE=:ID"), id) == id;
    }

    qint64 alpha = 0, zeta = 0, line = 0, line2 = 0;
};

class ListDepYearTest : public DocumentTest {};

} // namespace

TEST_F(ListDepYearTest, TheSetBasedReadsEqualThePerRowFormsOnAGeneratedYear)
{
    fill::Options o;
    o.seed = 9;
    o.chapters = 6;
    o.budgetRows = 60;
    o.beneficiaries = 25;
    o.expenses = 1500;
    o.transfers = 10;
    o.paymentOrders = 300;
    fill::FillYear(DM->LURDO, o);
    // An expense on two orders, an expense on a cancelled sheet and on the sheet after it.
    rows::Exec(QStringLiteral("INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) "
                              "SELECT MOD(D.ID_MDT + 7, 300) + 1, 99, D.ID_DETAIL, D.MONTANT FROM DET_MDT D "
                              "WHERE MOD(D.ID_DETAIL, 13) = 0"));
    rows::Exec(QStringLiteral("INSERT INTO DET_ENG (ID_ENG, NOLINE, OBJET, ID_DETAIL, MONTANT) "
                              "SELECT (SELECT MAX(ID_ENG) FROM ENT_ENG WHERE ORIGINE = :USER_ORIGIN AND STATUT = :IN_FORCE), "
                              "       99, :EXPENSE_LINE, "
                              "       D.ID_DETAIL, D.MONTANT FROM DET_ENG D JOIN ENT_ENG E ON E.ID_ENG = D.ID_ENG "
                              "WHERE D.OBJET = :EXPENSE_LINE AND E.STATUT <> :IN_FORCE"),
               {{"USER_ORIGIN", toDbValue(SheetOrigin::User)}, {"IN_FORCE", SheetInForce},
                {"EXPENSE_LINE", toDbValue(LineObject::Expense)}});
    // Expenses without a date; an order line whose order is gone.
    rows::Exec(QStringLiteral("UPDATE DEPENSE SET DATE_DEPENSE = NULL WHERE MOD(ID_DEPENSE, 97) = 0"));
    rows::Exec(QStringLiteral("INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) "
                              "SELECT 9999, 1, MIN(ID_DEPENSE), 1 FROM DEPENSE WHERE ID_DEPENSE NOT IN "
                              "(SELECT ID_DETAIL FROM DET_MDT) AND ID_DEPENSE NOT IN (SELECT ID_DETAIL FROM DET_ENG)"));
    DM->CommitWork();

    TExpenseListing listing;
    const TListingRows read = listing.Read(std::nullopt);
    QueryTableModel m;
    m.setRows(read.names, read.rows);
    ASSERT_EQ(rows::Scalar(QStringLiteral("SELECT COUNT(*) FROM DEPENSE")), m.rowCount());
    // In the order the engine gives: the latest date first, undated ones last.
    db::Query sorted(DM->LURDO, QStringLiteral("SELECT ID_DEPENSE FROM DEPENSE ORDER BY DATE_DEPENSE DESC, ID_DEPENSE DESC"));
    sorted.open();
    for (int r = 0; r < m.rowCount(); ++r)
        ASSERT_EQ(db::toInt(sorted.at(r, 0)), m.row(r).asInt(QStringLiteral("ID_DEPENSE"))) << "row " << r;
    db::Query order(DM->LURDO, QStringLiteral("SELECT FIRST 1 M.ID_MDT, M.NO_MDT FROM DET_MDT D JOIN ENT_MDT M "
                                              "ON M.ID_MDT=D.ID_MDT WHERE D.ID_DETAIL=:ID ORDER BY M.ID_MDT"));
    db::Query sheet(DM->LURDO, QStringLiteral(
        "SELECT FIRST 1 E.ID_ENG, E.NO_ENG FROM DET_ENG D JOIN ENT_ENG E ON E.ID_ENG=D.ID_ENG "
        "WHERE D.OBJET=:EXPENSE_LINE AND D.ID_DETAIL=:ID ORDER BY "
        "IIF(EXISTS (SELECT 1 FROM ENT_ENG C WHERE C.ID_ORIGINE=E.ID_ENG AND C.OBJET=:ECONOMY AND "
        "C.ORIGINE=:CANCELLATION), 1, 0), "
        "E.ID_ENG"));
    sheet.setParam(QStringLiteral("EXPENSE_LINE"), toDb(LineObject::Expense));
    sheet.setParam(QStringLiteral("ECONOMY"), toDb(SheetObject::Economy));
    sheet.setParam(QStringLiteral("CANCELLATION"), toDb(SheetOrigin::Cancellation));
    db::Query names(DM->LURDO, QStringLiteral("SELECT B.NOM, F.CHAP, F.ART, F.PAR FROM DEPENSE X "
                                              "LEFT JOIN BENEF B ON B.ID_BEN=X.ID_BEN "
                                              "LEFT JOIN FNM F ON F.ID_FNM=X.ID_FNM WHERE X.ID_DEPENSE=:ID"));
    int states[4] = {};
    for (int r = 0; r < m.rowCount(); ++r) {
        const QueryRow row = m.row(r);
        const qint64 id = row.asInt(QStringLiteral("ID_DEPENSE"));
        const int state = toDb(DM->Queries().GetExpenseState(id));
        ASSERT_EQ(state, row.asInt(QStringLiteral("DEP_STATE"))) << "expense " << id;
        ++states[state];
        for (db::Query* q : {&order, &sheet, &names}) {
            q->setParam(QStringLiteral("ID"), id);
            q->open();
        }
        ASSERT_EQ(order.isEmpty() ? -1 : order.asInt(QStringLiteral("ID_MDT")),
                  row.isNull(QStringLiteral("ID_MDT")) ? -1 : row.asInt(QStringLiteral("ID_MDT")));
        ASSERT_EQ(order.asString(QStringLiteral("NO_MDT")), row.asString(QStringLiteral("NO_MDT")));
        ASSERT_EQ(sheet.isEmpty() ? -1 : sheet.asInt(QStringLiteral("ID_ENG")),
                  row.isNull(QStringLiteral("ID_ENG")) ? -1 : row.asInt(QStringLiteral("ID_ENG")));
        ASSERT_EQ(sheet.asString(QStringLiteral("NO_ENG")), row.asString(QStringLiteral("NO_ENG")));
        ASSERT_EQ(names.asString(QStringLiteral("NOM")), row.asString(QStringLiteral("NOM_BEN")));
        const QString par = names.asString(QStringLiteral("PAR")).trimmed();
        const QString label = names.isNull(QStringLiteral("CHAP"))
                                  ? QString()
                                  : names.asString(QStringLiteral("CHAP")).trimmed() + QLatin1Char('-')
                                        + names.asString(QStringLiteral("ART")).trimmed()
                                        + (par.isEmpty() ? QString() : QLatin1Char('-') + par);
        ASSERT_EQ(label, row.asString(QStringLiteral("IMPUT")));
        for (db::Query* q : {&order, &sheet, &names})
            q->close();
    }
    for (int s = 0; s < 4; ++s)
        EXPECT_GT(states[s], 0) << "state " << s;

    // The filter over these rows keeps what the SQL condition selects.
    const qint64 someBen = rows::Scalar(QStringLiteral("SELECT FIRST 1 ID_BEN FROM DEPENSE GROUP BY ID_BEN ORDER BY COUNT(*) DESC"));
    const qint64 someLine = rows::Scalar(QStringLiteral("SELECT FIRST 1 ID_FNM FROM DEPENSE WHERE ID_FNM IS NOT NULL "
                                                        "GROUP BY ID_FNM ORDER BY COUNT(*) DESC"));
    const std::function<void(TFilterCriteria&)> cases[] = {
        [](TFilterCriteria& f) { f.kindIndex = 2; },
        [](TFilterCriteria& f) { f.num = true; f.numFrom = "100"; f.numTo = "2"; },
        [](TFilterCriteria& f) { f.num = true; f.numFrom = "-1"; f.numTo = "-1"; },
        [](TFilterCriteria& f) { f.date = true; f.dateFrom = QDate(2024, 2, 1); f.dateTo = QDate(2024, 4, 15); },
        [](TFilterCriteria& f) { f.mt = true; f.mtMin = Money("500.5"); f.mtMax = Money("20000"); },
        [&](TFilterCriteria& f) { f.imput = true; f.idFnm = someLine; f.kindIndex = 1; },
        [&](TFilterCriteria& f) { f.ben = true; f.idBen = someBen; f.mt = true; f.mtMin = Money("0"); f.mtMax = Money("9000"); },
    };
    int i = 0;
    for (const auto& set : cases) {
        SCOPED_TRACE(i++);
        TFilterCriteria f = TFilterCriteria::Reset();
        set(f);
        const TSqlCondition c = BuildExpenseCondition(f);
        db::Query q(DM->LURDO, QStringLiteral("SELECT ID_DEPENSE FROM DEPENSE WHERE ") + c.sql);
        c.BindTo(q);
        q.open();
        QSet<qint64> expected;
        for (int r = 0; r < q.rowCount(); ++r)
            expected.insert(db::toInt(q.at(r, 0)));
        m.setFilter(ExpenseRowFilter(f));
        QSet<qint64> shown;
        for (int r = 0; r < m.rowCount(); ++r)
            shown.insert(m.row(r).asInt(QStringLiteral("ID_DEPENSE")));
        EXPECT_EQ(expected, shown);
        EXPECT_LT(shown.size(), m.totalRowCount());
    }
}

TEST_F(ListDepTest, EachStateHasItsDeleteOutcomeDecidedWhenTheUserClicks)
{
    const qint64 free = rows::Expense(ExpenseKind::Invoice, line, alpha, Money("10"), QStringLiteral("F-1"));
    const qint64 committed = rows::Expense(ExpenseKind::Invoice, line, alpha, Money("20"), QStringLiteral("F-2"));
    const qint64 cancelled = rows::Expense(ExpenseKind::Invoice, line, alpha, Money("30"), QStringLiteral("F-3"));
    const qint64 mandated = rows::Expense(ExpenseKind::Invoice, line, alpha, Money("40"), QStringLiteral("F-4"));
    const qint64 both = rows::Expense(ExpenseKind::Invoice, line, alpha, Money("50"), QStringLiteral("F-5"));
    const qint64 later = rows::Expense(ExpenseKind::Invoice, line, alpha, Money("60"), QStringLiteral("F-6"));
    Sheet({committed, both});
    const qint64 gone = Sheet({cancelled});
    Cancel(gone);
    Order(QStringLiteral("0001"), {mandated, both});
    auto frm = Open();

    struct Case {
        qint64 expense;
        int state;
        QStringList messages;
        bool deleted;
    };
    const QString question = QStringLiteral("Etes-vous sûr de vouloir supprimer cette dépense ?");
    const Case cases[] = {
        {committed, 1, {QStringLiteral("Cette dépense est déjà Engagée !\rSuppression Impossible.")}, false},
        // The cancelled sheet keeps its lines: the expense stays.
        {cancelled, 0, {QStringLiteral("Cette dépense est déjà Engagée !\rSuppression Impossible.")}, false},
        {mandated, 2, {QStringLiteral("Cette dépense est déjà mandatée !\rSuppression Impossible.")}, false},
        {both, 3, {QStringLiteral("Cette dépense est déjà Engagée et mandatée!\rSuppression Impossible.")}, false},
        {free, 0, {question}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expense);
        ASSERT_TRUE(frm->Rows()->locate({db::Value(c.expense)}));
        EXPECT_EQ(c.state, frm->Rows()->current().asInt(QStringLiteral("DEP_STATE")));
        messages->clear();
        frm->btnDelete->click();
        EXPECT_EQ(c.messages, messages->texts());
        if (!messages->calls().isEmpty() && c.deleted) {
            EXPECT_TRUE(messages->calls().first().standard);
        }
        EXPECT_EQ(!c.deleted, Exists(c.expense));
        EXPECT_EQ(!c.deleted, frm->Rows()->findRow({db::Value(c.expense)}) >= 0);
    }

    // Free when the list was read, put on an order while the question is asked.
    ASSERT_TRUE(frm->Rows()->locate({db::Value(later)}));
    EXPECT_EQ(0, frm->Rows()->current().asInt(QStringLiteral("DEP_STATE")));
    QStringList asked;
    messages.reset();
    const MessageResponder saved = CurrentMessageResponder();
    SetMessageResponder([&](const MessageCall& call) {
        asked << call.text;
        if (call.text == question)
            Order(QStringLiteral("0002"), {later});
        return int(call.buttons & MsgButton::Yes ? mrYes : mrOk);
    });
    frm->btnDelete->click();
    SetMessageResponder(saved);
    messages = std::make_unique<MessageRecorder>();
    EXPECT_EQ((QStringList{question, QStringLiteral("Cette dépense est déjà mandatée !\rSuppression Impossible.")}),
              asked);
    EXPECT_TRUE(Exists(later));

    // The write right is the one of the expense's kind.
    const qint64 mission = rows::Expense(ExpenseKind::Mission, line, alpha, Money("70"), QString());
    ReadOnly(QStringLiteral("mnAutreDep"));
    auto reader = Open();
    ASSERT_TRUE(reader->Rows()->locate({db::Value(mission)}));
    messages->clear();
    reader->btnDelete->click();
    EXPECT_EQ(QStringList{QStringLiteral("Alerte de sécurité : Ecriture non autorisée !")}, messages->texts());
    EXPECT_TRUE(Exists(mission));
    const qint64 invoice = rows::Expense(ExpenseKind::Invoice, line, alpha, Money("80"), QStringLiteral("F-8"));
    reader->ReadExpenses();
    ASSERT_TRUE(reader->Rows()->locate({db::Value(invoice)}));
    messages->clear();
    reader->btnDelete->click();
    EXPECT_EQ(QStringList{question}, messages->texts());
    EXPECT_FALSE(Exists(invoice));
}

TEST_F(ListDepTest, TheFilterKeepsWhatItsCriteriaSayAndAnEmptyFilterListsEveryExpense)
{
    rows::Expense(ExpenseKind::Invoice, line, alpha, Money("100"), QStringLiteral("100"), QDate(2024, 1, 10));
    rows::Expense(ExpenseKind::Invoice, line2, zeta, Money("25.50"), QStringLiteral("9"), QDate(2024, 2, 10));
    rows::Expense(ExpenseKind::Invoice, line, zeta, Money("7"), QStringLiteral("2"), QDate(2024, 3, 10));
    const qint64 m = rows::Expense(ExpenseKind::Mission, line2, alpha, Money("300"), QString(), QDate(2024, 4, 10));
    const QString mission = QString::number(m);

    auto all = Open();
    EXPECT_EQ((QStringList{mission, "2", "9", "100"}), Numbers(*all->Rows()));
    EXPECT_EQ(QStringLiteral("4"), all->stBar->Panel(3));
    struct Case {
        const char* what;
        std::function<void(TFilterCriteria&)> set;
        QStringList shown;
    };
    const Case cases[] = {
        {"kind", [](TFilterCriteria& f) { f.kindIndex = 2; }, {mission}},
        {"numbers as text", [](TFilterCriteria& f) { f.num = true; f.numFrom = "10"; f.numTo = "2"; }, {"2", "100"}},
        {"dates", [](TFilterCriteria& f) { f.date = true; f.dateFrom = QDate(2024, 2, 1); f.dateTo = QDate(2024, 3, 10); },
         {"2", "9"}},
        {"amounts", [](TFilterCriteria& f) { f.mt = true; f.mtMin = Money("7"); f.mtMax = Money("25.50"); }, {"2", "9"}},
        {"budget line", [&](TFilterCriteria& f) { f.imput = true; f.idFnm = line2; }, {mission, "9"}},
        {"beneficiary", [&](TFilterCriteria& f) { f.ben = true; f.idBen = zeta; }, {"2", "9"}},
        {"beneficiary and amounts",
         [&](TFilterCriteria& f) { f.ben = true; f.idBen = zeta; f.mt = true; f.mtMin = Money("10"); f.mtMax = Money("30"); },
         {"9"}},
        {"beneficiary switched off", [&](TFilterCriteria& f) { f.idBen = zeta; }, {mission, "2", "9", "100"}},
        {"nothing", [](TFilterCriteria&) {}, {mission, "2", "9", "100"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TFilterCriteria narrow = TFilterCriteria::Reset();
        narrow.kindIndex = 1;
        all->ApplyFilter(narrow);
        TFilterCriteria f = TFilterCriteria::Reset();
        c.set(f);
        all->ApplyFilter(f);
        EXPECT_EQ(c.shown, Numbers(*all->Rows()));
        EXPECT_EQ(QString::number(c.shown.size()), all->stBar->Panel(3));
    }

    // Esc takes the filter away, then closes.
    TFilterCriteria f = TFilterCriteria::Reset();
    f.kindIndex = 1;
    all->ApplyFilter(f);
    QTest::keyClick(all.get(), Qt::Key_Escape);
    EXPECT_TRUE(all->isVisible());
    EXPECT_FALSE(all->FilterActive());
    EXPECT_EQ(4, all->Rows()->rowCount());
    QTest::keyClick(all.get(), Qt::Key_Escape);
    EXPECT_FALSE(all->isVisible());

    // A listing of invoices lists invoices only, whatever the filter; the
    // dialog shows the kind locked.
    auto invoices = Open(ExpenseKind::Invoice);
    EXPECT_EQ((QStringList{"2", "9", "100"}), Numbers(*invoices->Rows()));
    OnNextModal([](QDialog* d) {
        auto* dialog = qobject_cast<TfrmFilterDep*>(d);
        ASSERT_NE(nullptr, dialog);
        EXPECT_FALSE(dialog->cmbTypeDep->isEnabled());
        EXPECT_EQ(1, dialog->cmbTypeDep->currentIndex());
        dialog->ToggleCriterion(TfrmFilterDep::crDate);
        dialog->DateD->setText(QStringLiteral("01/02/2024"));
        dialog->btnOk->click();
    });
    invoices->btnFilter->click();
    EXPECT_EQ((QStringList{"2", "9"}), Numbers(*invoices->Rows()));

    // A filter that leaves no row can still be changed, not only cancelled.
    TFilterCriteria none = TFilterCriteria::Reset();
    none.kindIndex = 1;
    none.date = true;
    none.dateFrom = none.dateTo = QDate(2024, 12, 30);
    invoices->ApplyFilter(none);
    ASSERT_TRUE(invoices->Rows()->isEmpty());
    EXPECT_TRUE(invoices->btnFilter->isEnabled());
    EXPECT_TRUE(invoices->mnFilter->isEnabled());
    EXPECT_TRUE(invoices->mnCancelFilter->isEnabled());
    EXPECT_FALSE(invoices->btnModif->isEnabled());
}

TEST_F(ListDepTest, TheDocumentsOfAnExpenseOpenByTheirKeysAndTheListIsReadAgain)
{
    const qint64 first = rows::Expense(ExpenseKind::Invoice, line, alpha, Money("10"), QStringLiteral("F-1"));
    const qint64 second = rows::Expense(ExpenseKind::Invoice, line2, zeta, Money("20"), QStringLiteral("F-2"));
    Sheet({first});                         // line 1's sheet 0002
    const qint64 sheet2 = Sheet({second});  // line 2's sheet 0002: the same number
    const qint64 order = Order(QStringLiteral("0007"), {second});
    auto frm = Open();

    ASSERT_TRUE(frm->Rows()->locate({db::Value(first)}));
    EXPECT_FALSE(frm->mnVoirMdt->isEnabled());
    EXPECT_TRUE(frm->mnVoirEng->isEnabled());
    ASSERT_TRUE(frm->Rows()->locate({db::Value(second)}));
    EXPECT_EQ(QStringLiteral("0002"), frm->Rows()->current().asString(QStringLiteral("NO_ENG")).trimmed());
    EXPECT_EQ(QStringLiteral("0007"), frm->Rows()->current().asString(QStringLiteral("NO_MDT")).trimmed());

    qint64 opened = -1;
    OnNextModal([&](QDialog* d) {
        auto* eng = qobject_cast<TfrmEngagement*>(d);
        ASSERT_NE(nullptr, eng);
        opened = eng->IdEng;
        d->close();
    });
    frm->mnVoirEng->trigger();
    EXPECT_EQ(sheet2, opened);

    OnNextModal([&](QDialog* d) {
        auto* mdt = qobject_cast<TfrmMandat*>(d);
        ASSERT_NE(nullptr, mdt);
        opened = mdt->IdMdt;
        // The order loses the expense meanwhile.
        Write([&] { TOrderStore().RemoveExpenseLine(order, second); });
        d->close();
    });
    frm->mnVoirMdt->trigger();
    EXPECT_EQ(order, opened);
    EXPECT_EQ(second, frm->Rows()->current().asInt(QStringLiteral("ID_DEPENSE")));
    EXPECT_TRUE(frm->Rows()->current().isNull(QStringLiteral("NO_MDT")));
    EXPECT_FALSE(frm->mnVoirMdt->isEnabled());

    // The expense opens in its kind's editor.
    OnNextModal([&](QDialog* d) {
        auto* fact = qobject_cast<TfrmFact*>(d);
        ASSERT_NE(nullptr, fact);
        opened = fact->IdDepense;
        d->close();
    });
    frm->grdDep->doubleClicked(frm->grdDep->currentIndex());
    EXPECT_EQ(second, opened);
}

TEST_F(ListDepTest, SearchingAndSortingWorkOnTheRowsShown)
{
    rows::Expense(ExpenseKind::Invoice, line, zeta, Money("100"), QStringLiteral("A-1"));
    rows::Expense(ExpenseKind::Invoice, line2, alpha, Money("5"), QStringLiteral("A-2"));
    auto frm = Open();
    const struct {
        const char* typed;
        const char* found;
        const char* message;
    } cases[] = {{"A-2", "A-2", nullptr}, {"A-1", "A-1", nullptr}, {"a-1", "A-1", " : Cette dépense est introuvable ! "}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        messages->clear();
        OnNextModal([&](QDialog* d) {
            auto* box = qobject_cast<QInputDialog*>(d);
            box->setTextValue(QString::fromLatin1(c.typed));
            box->accept();
        });
        frm->btnFind->click();
        EXPECT_EQ(QString::fromLatin1(c.found), frm->Rows()->current().asString(QStringLiteral("NO_DEPENSE")));
        EXPECT_EQ(c.message ? QStringList{QString::fromLatin1(c.typed) + QString::fromUtf8(c.message)} : QStringList(),
                  messages->texts());
    }
    // The beneficiary column sorts by the names shown.
    frm->Rows()->sortByColumn(4);
    EXPECT_EQ((QStringList{"A-2", "A-1"}), Numbers(*frm->Rows()));
    frm->Rows()->sortByColumn(4);
    EXPECT_EQ((QStringList{"A-1", "A-2"}), Numbers(*frm->Rows()));
}

// In both lists of expenses, the listing and the picker: the number's title
// shows whole beside the sort indicator, so does the longest number, and a
// click on the beneficiary's title sorts by the names shown in French order
// (accents and case weigh only after the letters), a second click descending.
TEST_F(ListDepTest, TheNumberShowsWholeAndTheBeneficiaryColumnSortsByNameInFrenchOrder)
{
    for (const char* name : {"ZETA", "ÉLECTRICITÉ", "école normale", "Eau", "ECOLE"})
        rows::Expense(ExpenseKind::Invoice, line, rows::Beneficiary(QString::fromUtf8(name)), Money("1"));
    rows::Expense(ExpenseKind::Invoice, line, alpha, Money("1"), QStringLiteral("FACT-2024/000123456"));
    const QStringList ascending{"Eau", "ECOLE", "école normale", "ÉLECTRICITÉ", "SARL ALPHA", "ZETA"};

    auto listing = Open();
    TfrmAddDep picker;
    picker.SelectMode = false;
    picker.TypeDep = std::nullopt;
    picker.show();
    const struct {
        const char* what;
        QTableView* grid;
        QueryTableModel* rows;
    } lists[] = {{"listing", listing->grdDep, listing->Rows()}, {"picker", picker.grdDep, picker.Expenses()}};
    for (const auto& list : lists) {
        SCOPED_TRACE(list.what);
        QHeaderView* header = list.grid->horizontalHeader();
        EXPECT_EQ(header->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("No Dép."));
        EXPECT_GE(list.grid->columnWidth(0), header->sectionSizeHint(0));
        EXPECT_GT(list.grid->columnWidth(0),
                  list.grid->fontMetrics().horizontalAdvance(QStringLiteral("FACT-2024/000123456")));

        auto names = [&] {
            QStringList out;
            for (int r = 0; r < list.rows->rowCount(); ++r)
                out << list.rows->displayText(r, 4);
            return out;
        };
        auto clickBeneficiary = [&] {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(4) + header->sectionSize(4) / 2,
                                     header->height() / 2));
        };
        clickBeneficiary();
        EXPECT_EQ(ascending, names());
        clickBeneficiary();
        QStringList descending = ascending;
        std::reverse(descending.begin(), descending.end());
        EXPECT_EQ(descending, names());
    }
}

TEST_F(ListDepTest, ThePrintedListingTotalsTheRowsShownEveryTimeItRuns)
{
    const qint64 a = rows::Expense(ExpenseKind::Invoice, line, alpha, Money("1000.10"), QStringLiteral("F-1"));
    rows::Expense(ExpenseKind::Invoice, line2, zeta, Money("0.05"), QStringLiteral("F-2"));
    rows::Expense(ExpenseKind::Mission, line, zeta, Money("99.85"), QString());
    Order(QStringLiteral("0003"), {a});
    auto frm = Open();
    frm->Rows()->sortByColumn(3);   // Montant ascending
    TfrmRptListDep form;
    form.UseListing(*frm->Rows());
    auto pages = form.Prepare();
    ASSERT_EQ(1, pages->count());
    const rpt::Page& p = pages->page(0);
    EXPECT_EQ((QStringList{"0.05", "99.85", "1 000.10"}), p.textsOf(QStringLiteral("dbMontant")));
    EXPECT_EQ(QStringList{QStringLiteral("1 100.00")}, p.textsOf(QStringLiteral("lTotal")));
    EXPECT_EQ(QStringList{QStringLiteral("0003")}, p.textsOf(QStringLiteral("dbNoMdt")));
    EXPECT_EQ(QStringList{QStringLiteral("Listing des Dépenses")}, p.textsOf(QStringLiteral("lTitre")));
    EXPECT_EQ(QStringList{QStringLiteral("1 100.00")}, form.PrepareAgain()->page(0).textsOf(QStringLiteral("lTotal")));

    // The print button previews the listing shown.
    EXPECT_EQ(1, PagesOfNextPreview([&] { frm->btnPrint->click(); }));

    TFilterCriteria none = TFilterCriteria::Reset();
    none.num = true;
    none.numFrom = none.numTo = QStringLiteral("ZZ");
    frm->ApplyFilter(none);
    TfrmRptListDep empty;
    empty.UseListing(*frm->Rows());
    auto one = empty.Prepare();
    ASSERT_EQ(1, one->count());
    EXPECT_TRUE(one->page(0).textsOf(QStringLiteral("dbMontant")).isEmpty());
    EXPECT_EQ(QStringList{QStringLiteral("0.00")}, one->page(0).textsOf(QStringLiteral("lTotal")));

    TfrmRptListDep missions;
    missions.ReadListing = ReadExpenseListing;   // as the print tool hands it
    ASSERT_TRUE(missions.SetParameter(QStringLiteral("TypeDep"), QStringLiteral("1")));
    EXPECT_EQ(QStringList{QStringLiteral("99.85")}, missions.Prepare()->page(0).textsOf(QStringLiteral("lTotal")));
}

// A beneficiary's name longer than its column prints whole on the lines it
// needs, its row growing, and no text of the listing covers another.
TEST_F(ListDepTest, ALongNameInThePrintedListingWrapsWithinItsColumn)
{
    const QString name = QStringLiteral("ENTREPRISE NATIONALE DE CLIMATISATION ET DE FROID INDUSTRIEL MANSOURI");
    rows::Expense(ExpenseKind::Invoice, line, rows::Beneficiary(name), Money("10"), QStringLiteral("F-1"));
    rows::Expense(ExpenseKind::Invoice, line, alpha, Money("20"), QStringLiteral("F-2"));
    auto frm = Open();
    TfrmRptListDep form;
    form.UseListing(*frm->Rows());
    const auto pages = form.Prepare();
    ASSERT_EQ(1, pages->count());
    const rpt::Page& p = pages->page(0);
    const QStringList names = p.textsOf(QStringLiteral("dbNomBen"));
    ASSERT_TRUE(names.contains(QStringLiteral("SARL ALPHA")));
    const auto wrapped = std::find_if(names.begin(), names.end(), [](const QString& t) { return t.contains('\n'); });
    ASSERT_NE(wrapped, names.end());
    EXPECT_EQ(QString(*wrapped).replace(QLatin1Char('\n'), QLatin1Char(' ')), name);
    ExpectTextsInTheirBoxes(p);
}

TEST(ListDepMenu, TheFiveMenuItemsOpenTheListingOfTheirKind)
{
    ProgramFolder folder;
    YearDb year;
    MessageRecorder messages;
    TfrmKivMain main;
    QStringList opened;
    for (QAction* item : {main.mnListingDep, main.itemInvoiceListing, main.itemOtherExpenseListing,
                          main.itemSalaryToPayListing, main.itemSalaryToCommitListing}) {
        OnNextModal([&opened](QDialog* d) {
            auto* list = qobject_cast<TfrmListDep*>(d);
            opened << (list ? QStringLiteral("%1 %2").arg(d->objectName()).arg(list->TypeDep ? toDb(*list->TypeDep) : -1)
                          : d->objectName());
            d->close();
        });
        item->trigger();
    }
    EXPECT_EQ((QStringList{"frmListDep -1", "frmListDep 0", "frmListDep 1", "frmListDep 2", "frmListDep 3"}), opened);
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_TRUE(StopPendingModalWatches());
}

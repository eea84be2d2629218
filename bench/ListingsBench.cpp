// Time of the three listings on a full-scale fiscal year, through the real
// embedded engine: reading their rows, opening each window, sorting, filtering
// and searching the rows shown, and preparing each printed listing whole.
// Click/* measures what the user waits for: from the click on the main menu's
// item to the listing's grid painted with its rows and nothing left to do.
// Targets: a listing opens in under 1 s from the click; sort, filter and
// search answer in under 200 ms; a whole printed listing is prepared in under
// 2 s.
//
// The per-row forms the listings replaced (a balance query and an expense
// state query per row) are timed on the first rows only, for comparison.
#include "bench/BenchYear.h"
#include "budget/CommitmentListing.h"
#include "budget/UListEng.h"
#include "core/MessageBox.h"
#include "core/Pause.h"
#include "data/BudgetQueries.h"
#include "data/Codes.h"
#include "data/UDM.h"
#include "expenditure/ExpenseListing.h"
#include "expenditure/OrderListing.h"
#include "expenditure/UListDep.h"
#include "expenditure/UListMdt.h"
#include "reports/commitments/URptListEng.h"
#include "reports/engine/PageModel.h"
#include "reports/expenses/URptListDep.h"
#include "reports/mandat/URptListMdt.h"
#include "shell/UKivMain.h"
#include "ui/ListingWindow.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

// The beneficiary with the most expenses, for the filters.
qint64 busiestBeneficiary = -1;

template <class Window>
std::unique_ptr<Window> OpenWindow()
{
    auto frm = std::make_unique<Window>();
    frm->show();   // the first showing reads the rows
    return frm;
}

template <class Window>
void Open(benchmark::State& state)
{
    for (auto _ : state) {
        auto frm = OpenWindow<Window>();
        benchmark::DoNotOptimize(frm->Rows()->rowCount());
        state.PauseTiming();
        frm->close();
        frm.reset();
        state.ResumeTiming();
    }
}

template <class Window>
void Sort(benchmark::State& state, int column)
{
    auto frm = OpenWindow<Window>();
    for (auto _ : state)
        frm->Rows()->sortByColumn(column);
    state.counters["rows"] = frm->Rows()->rowCount();
}

// Watches the listing a click opens: the time its grid is first painted with
// rows, then, once the program has nothing left to do, the time it is still,
// when it closes the listing.
class ListingWatch : public QObject {
public:
    ListingWatch() { qApp->installEventFilter(this); }
    ~ListingWatch() override { qApp->removeEventFilter(this); }
    void Start() { m_clock.start(); }
    qint64 firstScreen = -1;   // ms
    qint64 still = -1;         // ms
    int rows = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || firstScreen >= 0)
            return false;
        auto* viewport = qobject_cast<QWidget*>(watched);
        auto* grid = viewport ? qobject_cast<QTableView*>(viewport->parentWidget()) : nullptr;
        auto* listing = grid ? qobject_cast<TListingWindow*>(grid->window()) : nullptr;
        if (!listing || grid != listing->grid() || listing->Rows()->rowCount() == 0)
            return false;
        firstScreen = m_clock.elapsed();
        // Still: every event the opening posted handled, the idle dispatcher reached.
        QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
                         [this, listing] {
                             if (still >= 0)
                                 return;
                             still = m_clock.elapsed();
                             rows = listing->Rows()->rowCount();
                             QTimer::singleShot(0, listing, &QWidget::close);
                         });
        return false;
    }

private:
    QElapsedTimer m_clock;
};

void Click(benchmark::State& state, QAction* TfrmKivMain::*item)
{
    // The main window, never shown (showing it asks for the login): its menu
    // item opens the listing as a click would.
    TfrmKivMain main;
    qint64 first = 0, still = 0;
    int rows = 0;
    for (auto _ : state) {
        ListingWatch watch;
        watch.Start();
        (main.*item)->trigger();   // modal: returns when the watch has closed the listing
        state.SetIterationTime(double(watch.still) / 1000.0);
        first += watch.firstScreen;
        still += watch.still;
        rows = watch.rows;
    }
    state.counters["first_screen_ms"] = double(first) / double(state.iterations());
    state.counters["still_ms"] = double(still) / double(state.iterations());
    state.counters["rows"] = rows;
}

void ReadExpenses(benchmark::State& state)
{
    TExpenseListing listing;
    for (auto _ : state)
        benchmark::DoNotOptimize(listing.Read(std::nullopt).rows.size());
}

void ReadOrders(benchmark::State& state)
{
    TOrderListing listing;
    for (auto _ : state)
        benchmark::DoNotOptimize(listing.Read().rows.size());
}

void ReadSheets(benchmark::State& state)
{
    TCommitmentListing listing;
    for (auto _ : state)
        benchmark::DoNotOptimize(listing.Read().rows.size());
}

void FilterExpenses(benchmark::State& state)
{
    auto frm = OpenWindow<TfrmListDep>();
    TFilterCriteria f = TFilterCriteria::Reset();
    f.date = true;
    f.dateFrom = QDate(BenchFiscalYear.toInt(), 3, 1);
    f.dateTo = QDate(BenchFiscalYear.toInt(), 9, 30);
    f.ben = true;
    f.idBen = busiestBeneficiary;
    for (auto _ : state) {
        frm->ApplyFilter(f);
        state.PauseTiming();
        frm->CancelFilter();
        state.ResumeTiming();
    }
    frm->ApplyFilter(f);
    state.counters["rows"] = frm->Rows()->rowCount();
}

void FilterOrders(benchmark::State& state, bool salaryLine)
{
    auto frm = OpenWindow<TfrmListMdt>();
    TOrderCriteria f = TOrderCriteria::Reset();
    if (salaryLine) {
        f.imput = true;
        db::Query q(DM->LURDO, QStringLiteral("SELECT FIRST 1 S.ID_DETAIL FROM DET_SALAIRE S WHERE S.TYPE_DET=:IMPUTATION "
                                              "GROUP BY S.ID_DETAIL ORDER BY COUNT(*) DESC"));
        q.setParam(QStringLiteral("IMPUTATION"), toDb(SalaryLineType::Imputation));
        q.open();
        f.idFnm = q.asInt(QStringLiteral("ID_DETAIL"));
    } else {
        f.idBen = busiestBeneficiary;
    }
    for (auto _ : state) {
        frm->ApplyFilter(f);
        state.PauseTiming();
        frm->CancelFilter();
        state.ResumeTiming();
    }
    frm->ApplyFilter(f);
    state.counters["rows"] = frm->Rows()->rowCount();
}

void FilterSheets(benchmark::State& state)
{
    auto frm = OpenWindow<TfrmListEng>();
    TCommitmentCriteria f = TCommitmentCriteria::Reset();
    f.idBen = busiestBeneficiary;
    f.date = true;
    f.dateFrom = QDate(BenchFiscalYear.toInt(), 2, 1);
    f.dateTo = QDate(BenchFiscalYear.toInt(), 11, 30);
    for (auto _ : state) {
        frm->ApplyFilter(f);
        state.PauseTiming();
        frm->CancelFilter();
        state.ResumeTiming();
    }
    frm->ApplyFilter(f);
    state.counters["rows"] = frm->Rows()->rowCount();
}

// Finds the last row's number from the first row on.
void SearchExpenses(benchmark::State& state)
{
    auto frm = OpenWindow<TfrmListDep>();
    QueryTableModel& m = *frm->Rows();
    const db::Value number = m.value(m.rowCount() - 1, QStringLiteral("NO_DEPENSE"));
    for (auto _ : state) {
        m.setCurrentRow(0);
        benchmark::DoNotOptimize(m.locate({QStringLiteral("NO_DEPENSE")}, {number}));
    }
}

void SearchOrders(benchmark::State& state)
{
    auto frm = OpenWindow<TfrmListMdt>();
    const qint64 number = frm->Rows()->row(frm->Rows()->rowCount() - 1).asString(QStringLiteral("NO_MDT")).toLongLong();
    for (auto _ : state)
        benchmark::DoNotOptimize(TOrderListWindow::FindNumber(*frm->Rows(), number));
}

void SearchSheets(benchmark::State& state)
{
    auto frm = OpenWindow<TfrmListEng>();
    QueryTableModel& m = *frm->Rows();
    const QueryRow last = m.row(m.rowCount() - 1);
    const db::Value line = last.value(QStringLiteral("ID_FNM"));
    const db::Value number = last.value(QStringLiteral("NO_ENG"));
    for (auto _ : state) {
        m.setCurrentRow(0);
        benchmark::DoNotOptimize(m.locate({QStringLiteral("ID_FNM"), QStringLiteral("NO_ENG")}, {line, number}));
    }
}

template <class Window, class Form>
void Print(benchmark::State& state)
{
    auto frm = OpenWindow<Window>();
    int pages = 0;
    for (auto _ : state) {
        Form form;
        form.UseListing(*frm->Rows());
        pages = form.Prepare()->count();
    }
    state.counters["pages"] = pages;
}

// The per-row forms, on the first rows of each listing.
constexpr int kReferenceRows = 1000;

void PerRowBalances(benchmark::State& state)
{
    TListingRows rows = TCommitmentListing().Read();
    const int fnm = int(rows.names.indexOf(QStringLiteral("ID_FNM")));
    const int no = int(rows.names.indexOf(QStringLiteral("NO_ENG")));
    for (auto _ : state)
        for (int r = 0; r < kReferenceRows; ++r)
            benchmark::DoNotOptimize(DM->Queries().CommitmentBalanceBefore(db::toInt(rows.rows[size_t(r)][size_t(fnm)]),
                                                                          db::toText(rows.rows[size_t(r)][size_t(no)])));
    state.counters["rows"] = kReferenceRows;
}

void PerRowStates(benchmark::State& state)
{
    TListingRows rows = TExpenseListing().Read(std::nullopt);
    for (auto _ : state)
        for (int r = 0; r < kReferenceRows; ++r)
            benchmark::DoNotOptimize(DM->Queries().GetExpenseState(db::toInt(rows.rows[size_t(r)][0])));
    state.counters["rows"] = kReferenceRows;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetPauseScale(0);
    SetMessageResponder([](const MessageCall&) { return int(mrYes); });
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!OpenBenchYear())
        return 1;
    db::Query busiest(DM->LURDO, QStringLiteral("SELECT FIRST 1 ID_BEN FROM DEPENSE GROUP BY ID_BEN ORDER BY COUNT(*) DESC"));
    busiest.open();
    busiestBeneficiary = busiest.asInt(QStringLiteral("ID_BEN"));

    const auto ms = benchmark::kMillisecond;
    benchmark::RegisterBenchmark("Read/expenses", ReadExpenses)->Unit(ms);
    benchmark::RegisterBenchmark("Read/orders", ReadOrders)->Unit(ms);
    benchmark::RegisterBenchmark("Read/sheets", ReadSheets)->Unit(ms);
    benchmark::RegisterBenchmark("Click/expenses", [](benchmark::State& s) { Click(s, &TfrmKivMain::mnListingDep); })
        ->Unit(ms)->UseManualTime();
    benchmark::RegisterBenchmark("Click/orders", [](benchmark::State& s) { Click(s, &TfrmKivMain::mnListMdt); })
        ->Unit(ms)->UseManualTime();
    benchmark::RegisterBenchmark("Click/sheets", [](benchmark::State& s) { Click(s, &TfrmKivMain::mnEng_List); })
        ->Unit(ms)->UseManualTime();
    benchmark::RegisterBenchmark("Open/expenses", Open<TfrmListDep>)->Unit(ms);
    benchmark::RegisterBenchmark("Open/orders", Open<TfrmListMdt>)->Unit(ms);
    benchmark::RegisterBenchmark("Open/sheets", Open<TfrmListEng>)->Unit(ms);
    benchmark::RegisterBenchmark("Sort/expenses/beneficiary", [](benchmark::State& s) { Sort<TfrmListDep>(s, 4); })->Unit(ms);
    benchmark::RegisterBenchmark("Sort/expenses/amount", [](benchmark::State& s) { Sort<TfrmListDep>(s, 3); })->Unit(ms);
    benchmark::RegisterBenchmark("Sort/orders/amount", [](benchmark::State& s) { Sort<TfrmListMdt>(s, 2); })->Unit(ms);
    benchmark::RegisterBenchmark("Sort/sheets/date", [](benchmark::State& s) { Sort<TfrmListEng>(s, 1); })->Unit(ms);
    benchmark::RegisterBenchmark("Filter/expenses/dates+beneficiary", FilterExpenses)->Unit(ms);
    benchmark::RegisterBenchmark("Filter/orders/beneficiary", [](benchmark::State& s) { FilterOrders(s, false); })->Unit(ms);
    benchmark::RegisterBenchmark("Filter/orders/salary-line", [](benchmark::State& s) { FilterOrders(s, true); })->Unit(ms);
    benchmark::RegisterBenchmark("Filter/sheets/beneficiary+dates", FilterSheets)->Unit(ms);
    benchmark::RegisterBenchmark("Search/expenses", SearchExpenses)->Unit(ms);
    benchmark::RegisterBenchmark("Search/orders", SearchOrders)->Unit(ms);
    benchmark::RegisterBenchmark("Search/sheets", SearchSheets)->Unit(ms);
    benchmark::RegisterBenchmark("Print/expenses", Print<TfrmListDep, TfrmRptListDep>)->Unit(ms);
    benchmark::RegisterBenchmark("Print/orders", Print<TfrmListMdt, TfrmRptListMdt>)->Unit(ms);
    benchmark::RegisterBenchmark("Print/sheets", Print<TfrmListEng, TfrmRptListEng>)->Unit(ms);
    benchmark::RegisterBenchmark("States/per-row-1000", PerRowStates)->Unit(ms);
    benchmark::RegisterBenchmark("Balances/per-row-1000", PerRowBalances)->Unit(ms);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseBenchYear();
    return 0;
}

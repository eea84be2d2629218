// Time of the windows that fill commitment sheets and payment orders on a
// full-scale fiscal year, through the real embedded engine: opening the
// commitment window, the payment-order window and the expense picker in each
// mode, adding one expense through every check, preparing the picker's printed
// listing, saving a sheet's header, removing an order's line, and the order
// number check. Targets: a window opens in under 1 s, an add or a line change
// answers in under 100 ms, the printed listing is ready in under 2 s.
//
// The benchmark works on a copy of the shared year, so that what it writes
// never reaches the year the other benchmarks measure.
#include "bench/BenchYear.h"
#include "budget/SheetStore.h"
#include "core/GlobalState.h"
#include "core/MessageBox.h"
#include "core/Pause.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"
#include "expenditure/OrderStore.h"
#include "budget/UEngagement.h"
#include "expenditure/UAddDep.h"
#include "expenditure/UMandat.h"
#include "reports/engine/PageModel.h"
#include "reports/expenses/URptListDep.h"
#include "ui/QueryTableModel.h"

#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

namespace {

// Expenses of the busiest budget line that stand on no sheet, and those that
// stand on no order, and the documents they are added to.
struct Sample {
    qint64 line = 0;
    std::vector<qint64> freeForSheet;
    std::vector<qint64> freeForOrder;
    qint64 sheet = -1;
    qint64 order = -1;
    qint64 lineOrder = -1;    // an order of five lines for the removals
    qint64 userSheet = -1;    // the year's last user sheet, for the header saves
};
Sample sample;

// The codes the sample's statements name, each bound when the statement has it.
void BindCodes(db::Query& q)
{
    const QList<QPair<QString, db::Value>> codes{
        {QStringLiteral("INVOICE"), toDbValue(ExpenseKind::Invoice)},
        {QStringLiteral("EXPENSE_LINE"), toDbValue(LineObject::Expense)},
        {QStringLiteral("EXPENSE"), toDbValue(SheetObject::Expense)},
        {QStringLiteral("USER_ORIGIN"), toDbValue(SheetOrigin::User)},
        {QStringLiteral("IN_FORCE"), db::Value(SheetInForce)}};
    for (const auto& [name, value] : codes)
        if (q.paramNames().contains(name))
            q.setParam(name, value);
}

std::vector<qint64> Ids(const QString& sql, qint64 line)
{
    db::Query q(DM->LURDO, sql);
    q.setParam(QStringLiteral("ID_FNM"), line);
    BindCodes(q);
    q.open();
    std::vector<qint64> ids;
    for (int r = 0; r < q.rowCount(); ++r)
        ids.push_back(db::toInt(q.at(r, 0)));
    return ids;
}

bool OpenCopy()
{
    if (!OpenBenchYearCopy(QStringLiteral("documents-bench.fdb")))
        return false;

    db::Query busiest(DM->LURDO, QStringLiteral("SELECT FIRST 1 ID_FNM FROM DEPENSE WHERE TYPE_DEPENSE=:INVOICE "
                                                "GROUP BY ID_FNM ORDER BY COUNT(*) DESC"));
    BindCodes(busiest);
    busiest.open();
    sample.line = busiest.asInt(QStringLiteral("ID_FNM"));
    sample.freeForSheet = Ids(QStringLiteral("SELECT ID_DEPENSE FROM DEPENSE D WHERE ID_FNM=:ID_FNM "
                                             "AND TYPE_DEPENSE=:INVOICE "
                                             "AND NOT EXISTS (SELECT 1 FROM DET_ENG E WHERE E.ID_DETAIL=D.ID_DEPENSE "
                                             "AND E.OBJET=:EXPENSE_LINE)"),
                              sample.line);
    sample.freeForOrder = Ids(QStringLiteral("SELECT ID_DEPENSE FROM DEPENSE D WHERE ID_FNM=:ID_FNM "
                                             "AND TYPE_DEPENSE=:INVOICE "
                                             "AND NOT EXISTS (SELECT 1 FROM DET_MDT M WHERE M.ID_DETAIL=D.ID_DEPENSE)"),
                              sample.line);
    TSheetStore sheets;
    TOrderStore orders;
    TWriteGuard write;
    TSheet s;
    s.date = QDate(BenchFiscalYear.toInt(), 6, 1);
    sample.sheet = sheets.InsertUserSheet(s);
    TOrder o;
    sample.order = orders.InsertOrder(o);
    sample.lineOrder = orders.InsertOrder(o);
    write.Commit();
    const std::vector<qint64> last = Ids(QStringLiteral("SELECT FIRST 1 ID_ENG FROM ENT_ENG WHERE OBJET=:EXPENSE AND "
                                                        "ORIGINE=:USER_ORIGIN AND STATUT=:IN_FORCE AND ID_FNM=:ID_FNM "
                                                        "ORDER BY NO_ENG DESC"),
                                         sample.line);
    sample.userSheet = last.empty() ? -1 : last.front();
    std::fprintf(stderr, "line %lld: %zu expenses free of sheets, %zu free of orders\n", sample.line,
                 sample.freeForSheet.size(), sample.freeForOrder.size());
    return !sample.freeForSheet.empty() && !sample.freeForOrder.empty();
}

std::unique_ptr<TfrmAddDep> Picker(bool order)
{
    auto frm = std::make_unique<TfrmAddDep>();
    frm->SelectMode = true;
    frm->ModeDoc = order ? PickerMode::PaymentOrder : PickerMode::Commitment;
    frm->TableDet = order ? QStringLiteral("DET_MDT") : QStringLiteral("DET_ENG");
    frm->IdDoc = order ? sample.order : sample.sheet;
    if (order)
        frm->Document = std::make_unique<TOrderExpenseLines>();
    else
        frm->Document = std::make_unique<TSheetExpenseLines>();
    return frm;
}

void PickerOpen(benchmark::State& state, bool order)
{
    for (auto _ : state) {
        auto frm = Picker(order);
        frm->show();   // the first showing reads the expenses, the snapshot and the lines
        benchmark::DoNotOptimize(frm->Expenses()->rowCount());
        state.PauseTiming();
        frm->close();
        frm.reset();
        state.ResumeTiming();
    }
}

// The printed listing of the expenses a sheet's picker shows: their rows read
// and the document prepared.
void PickerPrint(benchmark::State& state)
{
    auto frm = Picker(false);
    frm->show();
    int pages = 0;
    for (auto _ : state) {
        QueryTableModel rows;
        TListingRows read = frm->PrintedRows();
        rows.setRows(read.names, std::move(read.rows));
        TfrmRptListDep form;
        form.UseListing(rows);
        pages = form.Prepare()->count();
    }
    state.counters["pages"] = pages;
}

// One add through every check; the line is taken out again, untimed.
void PickerAdd(benchmark::State& state, bool order)
{
    auto frm = Picker(order);
    frm->show();
    const std::vector<qint64>& pool = order ? sample.freeForOrder : sample.freeForSheet;
    size_t next = 0;
    TSheetStore sheets;
    TOrderStore orders;
    for (auto _ : state) {
        const qint64 id = pool[next++ % pool.size()];
        if (!frm->AddExpense(id)) {
            state.SkipWithError("the expense was not added");
            break;
        }
        state.PauseTiming();
        {
            TWriteGuard write;
            if (order)
                orders.RemoveExpenseLine(sample.order, id);
            else
                sheets.RemoveExpenseLine(sample.sheet, id);
            write.Commit();
        }
        frm->RefreshSelectedLines();
        state.ResumeTiming();
    }
    frm->close();
}

template <typename Window>
void WindowOpen(benchmark::State& state)
{
    for (auto _ : state) {
        auto frm = std::make_unique<Window>();
        frm->show();   // the first showing reads the list of keys and the last document
        state.PauseTiming();
        frm->close();
        frm.reset();
        state.ResumeTiming();
    }
}

// An edit of the sheet's header and its save, which reads that sheet alone again.
void SheetSave(benchmark::State& state)
{
    TfrmEngagement frm;
    frm.IdEng = sample.userSheet;
    frm.show();
    for (auto _ : state) {
        frm.btnModif->click();
        frm.edNoVisa->setText(QString::number(state.iterations()));
        frm.btnPost->click();
    }
    frm.close();
}

// The removal of an order's first line (renumbering and total in one
// transaction); the line is put back, untimed.
void OrderLineRemoval(benchmark::State& state)
{
    TOrderStore orders;
    const size_t count = std::min<size_t>(5, sample.freeForOrder.size());
    {
        TWriteGuard write;
        for (size_t i = 0; i < count; ++i)
            orders.AddLine(sample.lineOrder, sample.freeForOrder[sample.freeForOrder.size() - 1 - i],
                           Currency::fromUnits(100));
        write.Commit();
    }
    TfrmMandat frm;
    frm.IdMdt = sample.lineOrder;
    frm.show();
    for (auto _ : state) {
        const qint64 first = frm.Lines().first().idDepense;
        frm.grdDep->setCurrentIndex(frm.grdDep->model()->index(0, 0));
        frm.btnDelDet->click();
        state.PauseTiming();
        frm.btnPost->click();
        {
            TWriteGuard write;
            orders.AddLine(sample.lineOrder, first, Currency::fromUnits(100));
            write.Commit();
        }
        frm.ShowOrder();
        state.ResumeTiming();
    }
    frm.close();
    TWriteGuard write;
    for (const TDocumentLine& l : orders.Lines(sample.lineOrder))
        orders.RemoveExpenseLine(sample.lineOrder, l.idDepense);
    write.Commit();
}

void OrderNumberCheck(benchmark::State& state)
{
    TOrderStore orders;
    int n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(orders.NumberTaken(QStringLiteral("%1").arg(++n % 9999, 4, 10, QLatin1Char('0')), -1));
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetPauseScale(0);
    // No question waits for an answer: every credit policy proceeds, and any
    // box is answered Yes.
    SetMessageResponder([](const MessageCall&) { return int(mrYes); });
    DecisionCommit = 0;
    DecisionMandate = 0;
    SupplierThresholds = {Currency(), Currency()};
    MaxDocLines = 25;
    CurrentUserCode = QStringLiteral("BENCH");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!OpenCopy())
        return 1;
    benchmark::RegisterBenchmark("Engagement/open", WindowOpen<TfrmEngagement>)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Engagement/save", SheetSave)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Mandat/open", WindowOpen<TfrmMandat>)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Mandat/line removal", OrderLineRemoval)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Mandat/number check", OrderNumberCheck)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Picker/open/sheet", [](benchmark::State& s) { PickerOpen(s, false); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Picker/open/order", [](benchmark::State& s) { PickerOpen(s, true); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Picker/print/sheet", PickerPrint)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Picker/add/sheet", [](benchmark::State& s) { PickerAdd(s, false); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Picker/add/order", [](benchmark::State& s) { PickerAdd(s, true); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseBenchYearCopy();
    return 0;
}

// Time of the windows that fill commitment sheets and payment orders on a
// full-scale fiscal year, through the real embedded engine: opening the
// expense picker in each mode and adding one expense through every check.
// Targets: a window opens in under 1 s, an add answers in under 100 ms.
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
#include "expenditure/UAddDep.h"
#include "ui/QueryTableModel.h"

#include <QApplication>
#include <QFile>
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
};
Sample sample;
QString copyPath;

std::vector<qint64> Ids(const QString& sql, qint64 line)
{
    db::Query q(DM->LURDO, sql);
    q.setParam(QStringLiteral("ID_FNM"), line);
    q.open();
    std::vector<qint64> ids;
    for (int r = 0; r < q.rowCount(); ++r)
        ids.push_back(db::toInt(q.at(r, 0)));
    return ids;
}

bool OpenCopy()
{
    if (!OpenBenchYear())
        return false;
    CloseBenchYear();
    copyPath = TempDir + QStringLiteral("documents-bench.fdb");
    QFile::remove(copyPath);
    if (!QFile::copy(DbPath, copyPath)) {
        std::fprintf(stderr, "cannot copy the year to %s\n", qPrintable(copyPath));
        return false;
    }
    DbPath = copyPath;
    DM = new TDM();
    if (!DM->LURDO.isOpen())
        return false;

    db::Query busiest(DM->LURDO, QStringLiteral("SELECT FIRST 1 ID_FNM FROM DEPENSE WHERE TYPE_DEPENSE=0 "
                                                "GROUP BY ID_FNM ORDER BY COUNT(*) DESC"));
    busiest.open();
    sample.line = busiest.asInt(QStringLiteral("ID_FNM"));
    sample.freeForSheet = Ids(QStringLiteral("SELECT ID_DEPENSE FROM DEPENSE D WHERE ID_FNM=:ID_FNM AND TYPE_DEPENSE=0 "
                                             "AND NOT EXISTS (SELECT 1 FROM DET_ENG E WHERE E.ID_DETAIL=D.ID_DEPENSE "
                                             "AND E.OBJET=0)"),
                              sample.line);
    sample.freeForOrder = Ids(QStringLiteral("SELECT ID_DEPENSE FROM DEPENSE D WHERE ID_FNM=:ID_FNM AND TYPE_DEPENSE=0 "
                                             "AND NOT EXISTS (SELECT 1 FROM DET_MDT M WHERE M.ID_DETAIL=D.ID_DEPENSE)"),
                              sample.line);
    TSheetStore sheets;
    TOrderStore orders;
    TWriteGuard write;
    TSheet s;
    s.date = QDate(BenchFiscalYear.toInt(), 6, 1);
    sample.sheet = sheets.InsertUserSheet(s);
    TOrder o;
    o.number = QStringLiteral("9999");
    sample.order = orders.InsertOrder(o);
    write.Commit();
    std::fprintf(stderr, "line %lld: %zu expenses free of sheets, %zu free of orders\n", sample.line,
                 sample.freeForSheet.size(), sample.freeForOrder.size());
    return !sample.freeForSheet.empty() && !sample.freeForOrder.empty();
}

std::unique_ptr<TfrmAddDep> Picker(bool order)
{
    auto frm = std::make_unique<TfrmAddDep>();
    frm->SelectMode = true;
    frm->ModeDoc = order ? QStringLiteral("M") : QStringLiteral("E");
    frm->TableDet = order ? QStringLiteral("DET_MDT") : QStringLiteral("DET_ENG");
    frm->IdDoc = order ? sample.order : sample.sheet;
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
        if (!frm->AddExpense(id))
            state.SkipWithError("the expense was not added");
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
    benchmark::RegisterBenchmark("Picker/open/sheet", [](benchmark::State& s) { PickerOpen(s, false); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Picker/open/order", [](benchmark::State& s) { PickerOpen(s, true); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Picker/add/sheet", [](benchmark::State& s) { PickerAdd(s, false); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Picker/add/order", [](benchmark::State& s) { PickerAdd(s, true); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseBenchYear();
    QFile::remove(copyPath);
    return 0;
}

// Time of the regularisation sheets on a full-scale fiscal year, through the
// real embedded engine: opening the window and stepping through its sheets,
// opening the order picker on the busiest budget line, saving a visa carried
// over a sheet of twenty orders, and preparing each regularisation document.
// Targets: open and step under 100 ms, the picker under 300 ms, the visa save
// under 300 ms, a document under 1 s.
//
// The benchmark works on a copy of the shared year, so that what it writes
// never reaches the year the other benchmarks measure.
#include "bench/BenchYear.h"
#include "budget/RegulStore.h"
#include "budget/UAddRegul_Mdt.h"
#include "budget/UEng_Regul.h"
#include "core/GlobalState.h"
#include "core/MessageBox.h"
#include "core/Pause.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"
#include "reports/commitments/URptFEDep_Regul.h"
#include "reports/commitments/URptFEDep_Regul_PreImp.h"
#include "reports/commitments/URptFEEco_Art_Regul.h"
#include "reports/engine/PageModel.h"
#include "ui/RecordNavigator.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

struct Sample {
    qint64 line = 0;      // the budget line paid by the most orders
    qint64 sheet = -1;    // a sheet of twenty orders of that line
    qint64 printed = -1;  // a sheet of five orders, whose entries fit the forms
    qint64 copied = -1;   // a copy of a transfer sheet
};
Sample sample;

bool OpenCopy()
{
    if (!OpenBenchYearCopy(QStringLiteral("regul-bench.fdb")))
        return false;
    db::Query busiest(DM->LURDO, QStringLiteral("SELECT FIRST 1 E.ID_FNM FROM DEPENSE E JOIN DET_MDT D ON "
                                                "D.ID_DETAIL=E.ID_DEPENSE WHERE E.ID_FNM IS NOT NULL "
                                                "GROUP BY E.ID_FNM ORDER BY COUNT(DISTINCT D.ID_MDT) DESC"));
    busiest.open();
    sample.line = busiest.asInt(QStringLiteral("ID_FNM"));

    TRegulStore store;
    const QList<TRegulOrder> offered = store.OfferedOrders(sample.line);
    const QSet<qint64> taken = store.OrdersOnOtherSheets(sample.line, -1);
    MaxDocLines = 200;   // twenty orders whatever their weight
    {
        TWriteGuard write;
        TRegulSheet s;
        s.date = QDate(BenchFiscalYear.toInt(), 6, 1);
        sample.sheet = store.Insert(s);
        sample.printed = store.Insert(s);
        int added = 0;
        for (const TRegulOrder& o : offered) {
            if (added == 25)
                break;
            if (taken.contains(o.idMdt))
                continue;
            store.AddOrder(added < 20 ? sample.sheet : sample.printed, sample.line, o.idMdt);
            ++added;
        }
        sample.copied = store.Insert(s);
        const QList<TCopyableSheet> transfers = store.CopyableSheets(SheetOrigin::Transfer, -1);
        if (!transfers.isEmpty())
            store.CopySheet(sample.copied, transfers.first().idEng, SheetOrigin::Transfer);
        write.Commit();
    }
    MaxDocLines = 25;
    std::fprintf(stderr, "line %lld: %lld orders offered, sheet %lld with %lld lines\n", sample.line,
                 qint64(offered.size()), sample.sheet, qint64(store.Lines(sample.sheet).size()));
    return true;
}

void WindowOpen(benchmark::State& state)
{
    for (auto _ : state) {
        auto frm = std::make_unique<TfrmEng_Regul>();
        frm->show();
        state.PauseTiming();
        frm->close();
        frm.reset();
        state.ResumeTiming();
    }
}

void WindowStep(benchmark::State& state)
{
    TfrmEng_Regul frm;
    frm.IdEng = sample.sheet;
    frm.show();
    bool forward = false;
    for (auto _ : state) {
        // One sheet on, one sheet back: each step reads one sheet, its lines and its balance.
        forward = !forward;
        if (forward)
            frm.Sheets()->setCurrentRow(std::max(0, frm.Sheets()->currentRow() - 1));
        else
            frm.Sheets()->LocateId(sample.sheet);
        frm.ShowRegulSheet();
    }
    frm.close();
}

void PickerOpen(benchmark::State& state)
{
    for (auto _ : state) {
        auto frm = std::make_unique<TfrmAddRegul_Mdt>();
        frm->IdFnm = sample.line;
        frm->IdEngReg = sample.sheet;
        frm->show();
        benchmark::DoNotOptimize(frm->Offered().size());
        state.PauseTiming();
        frm->hide();
        frm.reset();
        state.ResumeTiming();
    }
}

void VisaSave(benchmark::State& state)
{
    TRegulStore store;
    for (auto _ : state) {
        TRegulSheet s = *store.Read(sample.sheet);
        s.visaNumber = QStringLiteral("V%1").arg(state.iterations());
        s.visaDate = QDate(BenchFiscalYear.toInt(), 7, 1);
        TWriteGuard write;
        store.Update(s);
        write.Commit();
    }
}

template <class Form>
void Document(benchmark::State& state, qint64 idEng)
{
    int pages = 0;
    for (auto _ : state) {
        Form form;
        form.IdEng = int(idEng);
        form.IdFnm = int(sample.line);
        pages = form.Prepare()->count();
    }
    state.counters["pages"] = pages;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetPauseScale(0);
    SetMessageResponder([](const MessageCall&) { return int(mrYes); });
    CurrentUserCode = QStringLiteral("BENCH");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!OpenCopy())
        return 1;
    benchmark::RegisterBenchmark("Regul/open", WindowOpen)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Regul/step", WindowStep)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Regul/picker open", PickerOpen)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Regul/visa save (20 orders)", VisaSave)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Regul/document/orders white",
                                 [](benchmark::State& s) { Document<TfrmRptFEDep_Regul>(s, sample.printed); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Regul/document/orders stationery",
                                 [](benchmark::State& s) { Document<TfrmRptFEDep_Regul_PreImp>(s, sample.printed); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Regul/document/copy white",
                                 [](benchmark::State& s) { Document<TfrmRptFEEco_Art_Regul>(s, sample.copied); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseBenchYearCopy();
    return 0;
}

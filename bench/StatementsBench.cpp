// Time of the statements of a payment order and of the dispatch slips on a
// full-scale fiscal year, through the real embedded engine: each payment
// statement and the transfer statement prepared and written to PDF for the
// year's largest order; the dispatch-slip window opened on every order, one
// add and one removal; a slip of 200 orders prepared and written to PDF.
// Targets: a statement in under 1 s, the window in under 1 s, an add or a
// removal in under 50 ms, the slip in under 2 s.
#include "bench/BenchYear.h"
#include "core/GlobalState.h"
#include "core/MessageBox.h"
#include "core/Pause.h"
#include "data/UDM.h"
#include "db/Database.h"
#include "expenditure/UBord_Mdt.h"
#include "reports/UPaper.h"
#include "reports/engine/PagePainter.h"
#include "reports/etats/URptBord_Mdt.h"
#include "reports/etats/URptEtatPAllocEt.h"
#include "reports/etats/URptEtatPCongeSc.h"
#include "reports/etats/URptEtatPFact.h"
#include "reports/etats/URptEtatPMission.h"
#include "reports/etats/URptEtatVir.h"

#include <QApplication>
#include <QDir>
#include <QTableView>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

int largestOrder = -1;
QString slipOrders;

void FindSample()
{
    db::Query q(DM->LURDO, QStringLiteral("SELECT FIRST 1 ID_MDT, COUNT(*) AS N FROM DET_MDT GROUP BY ID_MDT "
                                          "ORDER BY 2 DESC"));
    q.open();
    if (!q.isEmpty())
        largestOrder = int(q.asInt(QStringLiteral("ID_MDT")));
    db::Query ids(DM->LURDO, QStringLiteral("SELECT FIRST 200 ID_MDT FROM ENT_MDT ORDER BY ID_MDT DESC"));
    ids.open();
    QStringList list;
    for (ids.first(); !ids.eof(); ids.next())
        list << QString::number(ids.asInt(QStringLiteral("ID_MDT")));
    slipOrders = list.join(QLatin1Char(','));
}

template <class Form>
void Statement(benchmark::State& state)
{
    const QString file = QDir::tempPath() + QStringLiteral("/vorel-bench-statement.pdf");
    int pages = 0;
    for (auto _ : state) {
        Form form;
        form.IdMdt = largestOrder;
        const auto prepared = form.Prepare();
        pages = prepared->count();
        rpt::WritePdf(*prepared, file);
    }
    state.counters["pages"] = pages;
}

void SlipOpen(benchmark::State& state)
{
    for (auto _ : state) {
        auto frm = std::make_unique<TfrmBord_Mdt>();
        frm->show();
        benchmark::DoNotOptimize(frm->Rows()->rowCount());
        state.PauseTiming();
        frm.reset();
        state.ResumeTiming();
    }
}

// One add, then its removal, each timed on its own.
void SlipAddRemove(benchmark::State& state, bool add)
{
    TfrmBord_Mdt frm;
    frm.show();
    for (auto _ : state) {
        if (add) {
            frm.btnAddClick();
            state.PauseTiming();
            frm.BordRows()->setCurrentRow(0);
            frm.btnRetireClick();
            state.ResumeTiming();
        } else {
            state.PauseTiming();
            frm.btnAddClick();
            frm.BordRows()->setCurrentRow(0);
            state.ResumeTiming();
            frm.btnRetireClick();
        }
    }
    state.counters["orders"] = frm.Rows()->totalRowCount();
}

void SlipPrint(benchmark::State& state)
{
    const QString file = QDir::tempPath() + QStringLiteral("/vorel-bench-slip.pdf");
    int pages = 0;
    for (auto _ : state) {
        TfrmRptBord_Mdt form;
        form.Orders = slipOrders;
        const auto prepared = form.Prepare();
        pages = prepared->count();
        rpt::WritePdf(*prepared, file);
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
    TfrmPaper::SetResponder([] { return 0; });
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!OpenBenchYear())
        return 1;
    FindSample();
    using benchmark::RegisterBenchmark;
    RegisterBenchmark("Statement/invoices", Statement<TfrmRptEtatPFact>)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("Statement/missions", Statement<TfrmRptEtatPMission>)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("Statement/allowances", Statement<TfrmRptEtatPAllocEt>)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("Statement/fees and leave", Statement<TfrmRptEtatPCongeSc>)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("Statement/transfers by bank", Statement<TfrmRptEtatVir>)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("Slip/open", SlipOpen)->Unit(benchmark::kMillisecond);
    RegisterBenchmark("Slip/add", [](benchmark::State& s) { SlipAddRemove(s, true); })->Unit(benchmark::kMillisecond);
    RegisterBenchmark("Slip/remove", [](benchmark::State& s) { SlipAddRemove(s, false); })
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("Slip/print 200 orders", SlipPrint)->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseBenchYear();
    return 0;
}

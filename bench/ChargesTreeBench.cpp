// Time of the employer's social charges and of the commitment tree on a
// full-scale fiscal year, through the real embedded engine: the charges of the
// whole year and of a quarter (the one query and the totals, then the window's
// "Afficher"), the tree read and its window opened and painted, and the search
// of the last sheet in tree order. Targets: the charges of the year in under
// 1 s, the tree's window open in under 2 s, a search in under 100 ms.
#include "bench/BenchYear.h"
#include "budget/CommitmentTree.h"
#include "budget/UListTree_Eng.h"
#include "core/MessageBox.h"
#include "core/Pause.h"
#include "data/UDM.h"
#include "expenditure/SocialCharges.h"
#include "expenditure/UChargesSoc.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <benchmark/benchmark.h>

namespace {

const QDate kYearStart(2024, 1, 1), kYearEnd(2024, 12, 31);
const QDate kQuarterStart(2024, 4, 1), kQuarterEnd(2024, 6, 30);

void Charges(benchmark::State& state, const QDate& start, const QDate& end)
{
    int rows = 0;
    for (auto _ : state) {
        const QList<charges::TChargeBase> bases = charges::ReadBases(start, end);
        benchmark::DoNotOptimize(charges::TotalsOf(bases).AllCharges());
        rows = int(bases.size());
    }
    state.counters["bases"] = rows;
}

void ChargesWindow(benchmark::State& state, const QDate& start, const QDate& end)
{
    TfrmChargesSoc frm;
    frm.show();
    frm.edDateD->setText(start.toString(QStringLiteral("dd/MM/yyyy")));
    frm.edDateF->setText(end.toString(QStringLiteral("dd/MM/yyyy")));
    for (auto _ : state) {
        frm.btnAffiche->click();
        QApplication::processEvents();   // the grid painted
    }
    state.counters["bases"] = int(frm.Bases().size());
}

void TreeRead(benchmark::State& state)
{
    int sheets = 0, lines = 0;
    for (auto _ : state) {
        const TCommitmentTreeData data = TCommitmentTreeData::Read();
        sheets = int(data.sheets.size());
        lines = int(data.lines.size());
    }
    state.counters["sheets"] = sheets;
    state.counters["lines"] = lines;
}

void TreeOpen(benchmark::State& state)
{
    for (auto _ : state) {
        auto frm = std::make_unique<TfrmListTree_Eng>();
        frm->show();
        QApplication::processEvents();   // the tree painted
        state.PauseTiming();
        frm.reset();
        state.ResumeTiming();
    }
}

void TreeSearch(benchmark::State& state)
{
    TfrmListTree_Eng frm;
    frm.show();
    QApplication::processEvents();
    // The last sheet in tree order: the search walks every sheet before it.
    const QString number = frm.Tree()->Data().sheets.back().number;
    for (auto _ : state) {
        frm.MyTV->collapseAll();
        benchmark::DoNotOptimize(frm.ShowSheet(number));
        QApplication::processEvents();
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetPauseScale(0);
    SetMessageResponder([](const MessageCall&) { return int(mrOk); });
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!OpenBenchYear())
        return 1;
    const auto ms = benchmark::kMillisecond;
    benchmark::RegisterBenchmark("Charges/year", [](benchmark::State& s) { Charges(s, kYearStart, kYearEnd); })
        ->Unit(ms);
    benchmark::RegisterBenchmark("Charges/quarter", [](benchmark::State& s) { Charges(s, kQuarterStart, kQuarterEnd); })
        ->Unit(ms);
    benchmark::RegisterBenchmark("Charges/window-year",
                                 [](benchmark::State& s) { ChargesWindow(s, kYearStart, kYearEnd); })
        ->Unit(ms);
    benchmark::RegisterBenchmark("Tree/read", TreeRead)->Unit(ms);
    benchmark::RegisterBenchmark("Tree/open", TreeOpen)->Unit(ms);
    benchmark::RegisterBenchmark("Tree/search-last", TreeSearch)->Unit(ms);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseBenchYear();
    return 0;
}

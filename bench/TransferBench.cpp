// Time of a credit transfer's save on a full-scale fiscal year, through the
// real window and the embedded engine: a new transfer of two giving and three
// receiving lines (checks, credit tests, rows, sheets, one commit, the reload),
// the same transfer changed, and its deletion. Every save must stay under 300 ms.
#include "bench/BenchYear.h"
#include "budget/UVirement.h"
#include "core/GlobalState.h"
#include "core/MessageBox.h"
#include "core/Pause.h"
#include "data/UDM.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

struct Line {
    qint64 id;
    QString chap, art, par, title;
};
std::vector<Line> lines;

bool ReadLines()
{
    // The articles with the largest primitive budgets.
    db::Query q(DM->LURDO, QStringLiteral("SELECT FIRST 5 ID_FNM, CHAP, ART, PAR, INTITULE FROM FNM WHERE ART<>'' "
                                          "ORDER BY MT_BP DESC, ID_FNM"));
    q.open();
    for (q.first(); !q.eof(); q.next())
        lines.push_back({q.asInt(QStringLiteral("ID_FNM")), q.asString(QStringLiteral("CHAP")),
                         q.asString(QStringLiteral("ART")), q.asString(QStringLiteral("PAR")),
                         q.asString(QStringLiteral("INTITULE"))});
    return lines.size() == 5;
}

// The line after the grid's others, with the amount typed.
void Put(TTransferGrid* grid, const Line& line, const QString& amount)
{
    grid->Lines()->Append(TTransferEntry{-1, line.id, line.chap, line.art, line.par, line.title, TransferAmount(amount)});
}

void SetAmount(TTransferGrid* grid, int row, const QString& amount)
{
    grid->model()->setData(grid->model()->index(row, TfrmVirement::colMontant), amount);
}

// A new transfer typed into the window: 2 giving lines, 3 receiving ones.
void TypeTransfer(TfrmVirement& w)
{
    w.btnAdd->click();
    w.edDate->setText(QStringLiteral("15/06/2024"));
    Put(w.grdDep, lines[0], QStringLiteral("30000"));
    Put(w.grdDep, lines[1], QStringLiteral("20000"));
    Put(w.grdEco, lines[2], QStringLiteral("10000"));
    Put(w.grdEco, lines[3], QStringLiteral("15000"));
    Put(w.grdEco, lines[4], QStringLiteral("25000"));
}

void SaveNew(benchmark::State& state)
{
    TfrmVirement w;
    w.show();
    for (auto _ : state) {
        state.PauseTiming();
        TypeTransfer(w);
        state.ResumeTiming();
        w.btnPost->click();
        state.PauseTiming();
        if (w.Mode() != emBrowse)
            state.SkipWithError("the save was refused");
        w.btnDelete->click();
        state.ResumeTiming();
    }
    w.hide();
}

void SaveChanged(benchmark::State& state)
{
    TfrmVirement w;
    w.show();
    TypeTransfer(w);
    w.btnPost->click();
    for (auto _ : state) {
        state.PauseTiming();
        w.btnEdit->click();
        // The receiving amounts move, their total stays.
        const bool even = state.iterations() % 2 == 0;
        SetAmount(w.grdEco, 0, even ? QStringLiteral("20000") : QStringLiteral("10000"));
        SetAmount(w.grdEco, 1, QStringLiteral("15000"));
        SetAmount(w.grdEco, 2, even ? QStringLiteral("15000") : QStringLiteral("25000"));
        state.ResumeTiming();
        w.btnPost->click();
        if (w.Mode() != emBrowse)
            state.SkipWithError("the save was refused");
    }
    w.btnDelete->click();
    w.hide();
}

void Delete(benchmark::State& state)
{
    TfrmVirement w;
    w.show();
    for (auto _ : state) {
        state.PauseTiming();
        TypeTransfer(w);
        w.btnPost->click();
        state.ResumeTiming();
        w.btnDelete->click();
    }
    w.hide();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetPauseScale(0);
    // Every question is answered Yes; a refusal shows on stderr.
    SetMessageResponder([](const MessageCall& c) {
        if (!c.buttons.testFlag(MsgButton::Yes))
            std::fprintf(stderr, "message: %s\n", qPrintable(c.text));
        return c.buttons.testFlag(MsgButton::Yes) ? int(mrYes) : int(mrOk);
    });
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // Every save draws keys of the year's sheets, which are small integers:
    // measured on the shared year, a few runs would use them up.
    if (!OpenBenchYearCopy(QStringLiteral("transfer-bench.fdb")) || !ReadLines())
        return 1;
    CurrentUserAccess = 0;   // the built-in account: every right
    IsBuiltInManager = true;
    DecisionTransfer = 2;
    benchmark::RegisterBenchmark("Transfer/save-new", SaveNew)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Transfer/save-changed", SaveChanged)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Transfer/delete", Delete)->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseBenchYearCopy();
    return 0;
}

// Time of a financial-situation display on a full-scale fiscal year, through
// the real embedded engine: every view with each commitment and payment
// filter, over the first quarter and the whole year, and the general recap of
// each quarter. The computation with its write into SIT_FIN (one transaction)
// is measured alone, then the whole display of the window (the grid and its
// totals included). Every display must stay under 2 s.
#include "bench/BenchYear.h"
#include "budget/SituationStore.h"
#include "budget/USF.h"
#include "core/MessageBox.h"
#include "core/Pause.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <benchmark/benchmark.h>

namespace {

const int Year = BenchFiscalYear.toInt();

struct Period {
    const char* name;
    QDate start;
    QDate end;
};
const Period Periods[] = {{"Q1", QDate(Year, 1, 1), QDate(Year, 3, 31)},
                          {"year", QDate(Year, 1, 1), QDate(Year, 12, 31)}};

const char* const Views[] = {"section1", "section2", "both"};
const char* const Filters[] = {"all", "visaed-paid", "unvisaed-unpaid"};

TSituationRequest Request(int view, int filter, const Period& period)
{
    TSituationRequest r;
    r.view = view;
    r.commitments = filter;
    r.payments = filter;
    r.start = period.start;
    r.end = period.end;
    r.today = QDate(Year, 12, 31);
    return r;
}

void RegisterDisplays()
{
    for (const Period& period : Periods) {
        for (int view = svSection1; view <= svBothSections; ++view) {
            for (int filter = 0; filter < 3; ++filter) {
                const std::string name = std::string("Build/") + Views[view] + "/" + Filters[filter] + "/" + period.name;
                benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
                    for (auto _ : state) {
                        TSituationStore store(DM->LURDO);
                        const auto rows = store.LineRows(Request(view, filter, period));
                        TWriteGuard write;
                        store.Replace(rows);
                        write.Commit();
                        benchmark::DoNotOptimize(rows.size());
                    }
                })->Unit(benchmark::kMillisecond);
            }
        }
    }
    for (int quarter = 0; quarter < 4; ++quarter) {
        const std::string name = "Build/recap/Q" + std::to_string(quarter + 1);
        benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
            TSituationRequest r = Request(svRecap, 0, Periods[0]);
            r.end = QuarterEnd(quarter, Year);
            for (auto _ : state) {
                TSituationStore store(DM->LURDO);
                const auto rows = store.RecapRows(r);
                TWriteGuard write;
                store.Replace(rows);
                write.Commit();
                benchmark::DoNotOptimize(rows.size());
            }
        })->Unit(benchmark::kMillisecond);
    }
    // The whole display of the window: computation, write, grid and totals.
    for (int view = svSection1; view <= svRecap; ++view) {
        const std::string name = std::string("Window/") + (view == svRecap ? "recap" : Views[view]) + "/year";
        benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
            TfrmSF frm;
            frm.show();
            frm.cmbSection->setCurrentIndex(view);
            frm.cmbEng->setCurrentIndex(0);
            frm.cmbMdt->setCurrentIndex(0);
            frm.cmbPeriode->setCurrentIndex(3);
            frm.edDateD->setText(QStringLiteral("01/01/%1").arg(Year));
            frm.edDateF->setText(QStringLiteral("31/12/%1").arg(Year));
            for (auto _ : state)
                frm.btnDisplayClick();
            frm.hide();
        })->Unit(benchmark::kMillisecond);
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetPauseScale(0);
    // The window's information about orders without a date is answered at once.
    SetMessageResponder([](const MessageCall&) { return int(mrOk); });
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!OpenBenchYear())
        return 1;
    RegisterDisplays();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseBenchYear();
    return 0;
}

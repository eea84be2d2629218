// Time of the expense editors and the cancellation window on a full-scale
// fiscal year, through the real embedded engine: opening each window (the
// missions, the salary expenses to pay and to commit, the cancellations and
// their selection dialog), stepping through the invoices and saving one,
// moving through the salary expenses to pay (their two
// line grids and totals), and a cancellation saved then deleted. Target: a
// window opens in under 1 s.
//
// The benchmark works on a copy of the shared year, so that what it writes
// never reaches the year the other benchmarks measure.
#include "bench/BenchYear.h"
#include "budget/UEngagement_Annul.h"
#include "budget/UGet_Eng.h"
#include "core/GlobalState.h"
#include "core/MessageBox.h"
#include "core/Pause.h"
#include "data/UDM.h"
#include "expenditure/UDep_Sal_Eng.h"
#include "expenditure/UDep_Sal_Mdt.h"
#include "expenditure/UFact.h"
#include "expenditure/UMission.h"
#include "ui/QueryTableModel.h"
#include "ui/RecordNavigator.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

qint64 cancellable = -1;   // an active user commitment of the busiest line

bool OpenCopy()
{
    if (!OpenBenchYearCopy(QStringLiteral("expenses-bench.fdb")))
        return false;
    db::Query q(DM->LURDO, QStringLiteral("SELECT FIRST 1 E.ID_ENG FROM ENT_ENG E WHERE E.ORIGINE=:USER_ORIGIN AND "
                                          "E.STATUT=:IN_FORCE AND E.ID_FNM>0 AND E.NO_VISA='' ORDER BY E.NO_ENG DESC"));
    q.setParam(QStringLiteral("USER_ORIGIN"), toDb(SheetOrigin::User));
    q.setParam(QStringLiteral("IN_FORCE"), SheetInForce);
    q.open();
    cancellable = q.isEmpty() ? -1 : q.asInt(QStringLiteral("ID_ENG"));
    for (const char* table : {"DEPENSE", "DET_SALAIRE", "ENT_ENG", "DET_ENG"}) {
        db::Query n(DM->LURDO, QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table)));
        n.open();
        std::fprintf(stderr, "  %-12s %6lld\n", table, db::toInt(n.at(0, 0)));
    }
    return cancellable > 0;
}

template <typename Window>
void WindowOpen(benchmark::State& state)
{
    for (auto _ : state) {
        auto frm = std::make_unique<Window>();
        frm->show();   // the first showing reads the rows and shows the last one
        state.PauseTiming();
        frm->close();
        frm.reset();
        state.ResumeTiming();
    }
}

void SelectionRead(benchmark::State& state)
{
    TSheetStore store;
    for (auto _ : state)
        benchmark::DoNotOptimize(store.CancellableSheets().size());
}

void SelectionOpen(benchmark::State& state)
{
    for (auto _ : state) {
        TfrmGet_Eng dialog;   // reads the active commitments with their balances
        benchmark::DoNotOptimize(dialog.Sheets()->rowCount());
    }
}

// One step back through the rows of an expense editor (the salary expenses
// to pay: the header, both grids and the totals; the invoices: the row, its
// documents and the supplier's total).
template <typename Window>
void StepBack(benchmark::State& state)
{
    Window frm;
    frm.show();
    for (auto _ : state) {
        if (!frm.MyNavigator->btnPrior->isEnabled())
            frm.MyNavigator->btnLast->click();
        else
            frm.MyNavigator->btnPrior->click();
    }
    frm.close();
}

// An invoice's object changed and saved through the window, as a user does.
void FactSave(benchmark::State& state)
{
    TfrmFact frm;
    frm.show();
    int n = 0;
    for (auto _ : state) {
        frm.btnModif->click();
        frm.edObjet->setText(QStringLiteral("Objet %1").arg(++n));
        frm.btnPost->click();
        if (frm.Mode() != emBrowse) {
            state.SkipWithError("the invoice was not saved");
            break;
        }
    }
    frm.close();
}

// A commitment cancelled and the cancellation deleted, both through the window.
void CancelAndRestore(benchmark::State& state)
{
    TfrmEngagement_Annul frm;
    frm.show();
    for (auto _ : state) {
        frm.btnAdd->click();
        // The selection dialog answers at once with the chosen sheet.
        QTimer::singleShot(0, [] {
            if (auto* d = qobject_cast<TfrmGet_Eng*>(QApplication::activeModalWidget())) {
                d->Sheets()->locate({db::Value(cancellable)});
                d->btnOkClick();
            }
        });
        frm.btnModifDet->click();
        frm.edDateE->setText(QStringLiteral("31/12/2024"));
        frm.btnPost->click();
        if (frm.CancelledId() != cancellable || frm.IdEng <= 0) {
            state.SkipWithError("the cancellation was not saved");
            break;
        }
        frm.btnDelete->click();
    }
    frm.close();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetPauseScale(0);
    // No question waits for an answer: any box is answered Yes.
    SetMessageResponder([](const MessageCall&) { return int(mrYes); });
    CurrentUserCode = QStringLiteral("BENCH");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!OpenCopy())
        return 1;
    benchmark::RegisterBenchmark("Fact/open", WindowOpen<TfrmFact>)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Fact/step", StepBack<TfrmFact>)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Fact/save", FactSave)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Mission/open", WindowOpen<TfrmMission>)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Dep_Sal_Mdt/open", WindowOpen<TfrmDep_Sal_Mdt>)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Dep_Sal_Mdt/move", StepBack<TfrmDep_Sal_Mdt>)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Dep_Sal_Eng/open", WindowOpen<TfrmDep_Sal_Eng>)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Engagement_Annul/open", WindowOpen<TfrmEngagement_Annul>)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Get_Eng/read", SelectionRead)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Get_Eng/open", SelectionOpen)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Engagement_Annul/cancel and delete", CancelAndRestore)
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseBenchYearCopy();
    return 0;
}

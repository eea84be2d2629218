// Time of the "Outils" tools on a full-scale fiscal year, through the real
// embedded engine and the real backup tool, on copies of the year in its Temp
// folder: a backup (the connection closed, gbak run, the connection opened
// again), a restore with its check (restored beside the year, checked, moved
// in and opened), a year switch to an existing year and to a new one (made
// and seeded from the previous year), and the SQL console showing the first
// rows of SELECT * FROM DEPENSE.
// Targets: backup under 2 s; restore with its check under 3 s; a switch to an
// existing year under 1 s, to a new year under 5 s; the console's first rows
// in under 300 ms.
#include "bench/BenchYear.h"
#include "core/GlobalState.h"
#include "core/MessageBox.h"
#include "core/Pause.h"
#include "data/Backup.h"
#include "data/UDM.h"
#include "data/YearCreation.h"
#include "data/YearSwitch.h"
#include "shell/USql.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

QString backupFolder;
QString backupFile;

template <typename Job>
TToolOutcome RunJob(Job& job)
{
    QEventLoop loop;
    TToolOutcome outcome;
    QObject::connect(&job, &Job::Finished, &loop, [&](const TToolOutcome& o) {
        outcome = o;
        loop.quit();
    });
    job.Start();
    if (!outcome.ok && outcome.message.isEmpty())
        loop.exec();
    return outcome;
}

void Backup(benchmark::State& state)
{
    for (auto _ : state) {
        TBackupJob job(backupFile);
        const TToolOutcome outcome = RunJob(job);
        if (!outcome.ok)
            state.SkipWithError(qPrintable(outcome.message));
    }
}

void Restore(benchmark::State& state)
{
    for (auto _ : state) {
        TRestoreJob job(backupFile);
        const TToolOutcome outcome = RunJob(job);
        state.PauseTiming();
        if (!outcome.ok)
            state.SkipWithError(qPrintable(outcome.message));
        QFile::remove(outcome.file);  // the year kept aside
        state.ResumeTiming();
    }
}

void SwitchToExistingYear(benchmark::State& state)
{
    bool toNext = true;
    for (auto _ : state) {
        if (!SwitchFiscalYear(toNext ? QStringLiteral("2025") : BenchFiscalYear, true))
            state.SkipWithError("switch failed");
        toNext = !toNext;
    }
    SwitchFiscalYear(BenchFiscalYear, true);
}

void SwitchToNewYear(benchmark::State& state)
{
    const QString made = DbWorkDir + YearFileName(QStringLiteral("2026"));
    for (auto _ : state) {
        // Seeded from 2025, a copy of the full-scale year beside it.
        if (!SwitchFiscalYear(QStringLiteral("2026"), true))
            state.SkipWithError("switch failed");
        state.PauseTiming();
        SwitchFiscalYear(BenchFiscalYear, true);
        QFile::remove(made);
        state.ResumeTiming();
    }
}

void ConsoleFirstRows(benchmark::State& state)
{
    TfrmSql console;
    console.show();
    console.Memo1->setPlainText(QStringLiteral("SELECT * FROM DEPENSE"));
    for (auto _ : state) {
        console.btnOpen->click();
        // The grid laid out and painted with its first rows.
        console.grdSQL->viewport()->repaint();
        QApplication::processEvents();
    }
    state.counters["rows shown"] = console.Model()->rowCount();
}

void WholeResultRead(benchmark::State& state)
{
    for (auto _ : state) {
        db::Query q(DM->LURDO, QStringLiteral("SELECT * FROM DEPENSE"));
        q.open();
        benchmark::DoNotOptimize(q.rowCount());
        state.counters["rows"] = q.rowCount();
    }
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
    if (BackupToolPath().isEmpty()) {
        std::fprintf(stderr, "gbak is not installed\n");
        return 1;
    }
    // Two years side by side in the Temp folder: 2024 and a copy as 2025.
    if (!OpenBenchYearCopy(YearFileName(BenchFiscalYear)))
        return 1;
    DbWorkDir = TempDir;
    const QString nextYear = TempDir + YearFileName(QStringLiteral("2025"));
    QFile::remove(nextYear);
    QFile::remove(TempDir + YearFileName(QStringLiteral("2026")));
    if (!QFile::copy(DbPath, nextYear)) {
        std::fprintf(stderr, "cannot copy the year\n");
        return 1;
    }
    {
        // A year in use has its users: the restore's check asks for them.
        db::Query users(DM->LURDO, QStringLiteral("SELECT COUNT(*) FROM T_USERS"));
        users.open();
        if (users.asInt(QStringLiteral("COUNT")) == 0) {
            DM->LURDO.execute(QStringLiteral("INSERT INTO T_USERS (USER_ID, PW, ACCESS, NOM) VALUES ('BENCH', '', 1, 'Bench')"));
            DM->LURDO.commit();
        }
    }
    backupFolder = TempDir + QStringLiteral("backups/");
    QDir().mkpath(backupFolder);
    backupFile = BackupFilePath(backupFolder, QDate::currentDate());

    const auto ms = benchmark::kMillisecond;
    benchmark::RegisterBenchmark("Backup", Backup)->Unit(ms)->Iterations(3);
    benchmark::RegisterBenchmark("Restore+check", Restore)->Unit(ms)->Iterations(3);
    benchmark::RegisterBenchmark("Switch/existing-year", SwitchToExistingYear)->Unit(ms)->Iterations(6);
    benchmark::RegisterBenchmark("Switch/new-year", SwitchToNewYear)->Unit(ms)->Iterations(3);
    benchmark::RegisterBenchmark("Console/first-rows", ConsoleFirstRows)->Unit(ms);
    benchmark::RegisterBenchmark("Console/whole-result-read", WholeResultRead)->Unit(ms);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    CloseBenchYearCopy();
    QFile::remove(nextYear);
    QDir(backupFolder).removeRecursively();
    return 0;
}

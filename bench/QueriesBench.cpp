// Time of each budget-line and document query of the data module on a
// full-scale fiscal year (budget lines, sheets, transfers, expenses, payment
// orders), through the real embedded engine. Every call must stay well under
// 2 ms: listings call some of them for every row they show.
#include "app/GlobalState.h"
#include "app/Pause.h"
#include "app/UDM.h"
#include "tools/FillYear.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

namespace {

const QString Year = QStringLiteral("2024");

// Arguments taken from the filled year: the busiest budget line, its last
// sheet numbers, a chapter, expenses and the longest payment order.
struct Sample {
    qint64 line = 0;
    QString lastSheet;
    QString lastRegularisation;
    QString chapter;
    qint64 order = 0;
    std::vector<qint64> expenses;
    QDate date{2024, 12, 31};
};

Sample sample;

qint64 firstInt(const QString& sql)
{
    db::Query q(DM->LURDO, sql);
    q.open();
    return q.isEmpty() ? 0 : db::toInt(q.at(0, 0));
}

QString firstText(const QString& sql, qint64 line)
{
    db::Query q(DM->LURDO, sql);
    if (q.paramNames().contains(QStringLiteral("ID_FNM")))
        q.setParam("ID_FNM", line);
    q.open();
    return q.isEmpty() ? QString() : db::toText(q.at(0, 0));
}

// Opens the year in /tmp/vorel-bench, making and filling it the first time.
bool openYear()
{
    const QString dir = QDir::tempPath() + QStringLiteral("/vorel-bench/");
    QDir().mkpath(dir + QStringLiteral("Temp"));
    AppDir = dir;
    IniPath = dir + QStringLiteral("VOREL.INI");
    TempDir = dir + QStringLiteral("Temp/");
    FiscalYear = Year;
    DbWorkDir = dir;
    DbFileName = TDM::YearFileName(Year);
    DbPath = dir + DbFileName;
    DbUser = QStringLiteral("SYSDBA");
    DbPassword = DefaultDbPassword();
    ServerAddress.clear();

    if (!QFile::exists(DbPath)) {
        std::fprintf(stderr, "Filling a full-scale year in %s ...\n", qPrintable(DbPath));
        QFile schema(QStringLiteral(":/schema/schema.sql"));
        if (!schema.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "no schema script\n");
            return false;
        }
        db::ConnectParams params;
        params.path = DbPath;
        params.user = DbUser;
        params.password = DbPassword;
        try {
            fill::CreateYearDatabase(params, QString::fromUtf8(schema.readAll()));
            db::Connection conn;
            conn.open(params);
            fill::Options options;
            options.year = Year.toInt();
            const fill::Counts counts = fill::FillYear(conn, options);
            for (const auto& [table, rows] : counts)
                std::fprintf(stderr, "  %-12s %6d\n", qPrintable(table), rows);
        } catch (const std::exception& e) {
            QFile::remove(DbPath);
            std::fprintf(stderr, "cannot fill the year: %s\n", e.what());
            return false;
        }
    }
    DM = new TDM();
    if (!DM->LURDO.isOpen()) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(DbPath));
        return false;
    }

    sample.line = firstInt(QStringLiteral(
        "SELECT FIRST 1 ID_FNM FROM ENT_ENG GROUP BY ID_FNM ORDER BY COUNT(*) DESC, ID_FNM"));
    sample.lastSheet = firstText(QStringLiteral("SELECT MAX(NO_ENG) FROM ENT_ENG WHERE ID_FNM=:ID_FNM"), sample.line);
    sample.lastRegularisation =
        firstText(QStringLiteral("SELECT MAX(NO_ENG) FROM ENT_ENG_REG WHERE ID_FNM=:ID_FNM"), sample.line);
    if (sample.lastRegularisation.isEmpty())
        sample.lastRegularisation = QStringLiteral("9999"); // a year without regularisation sheets
    sample.chapter = firstText(QStringLiteral("SELECT CHAP FROM FNM WHERE ID_FNM=:ID_FNM"), sample.line);
    sample.order = firstInt(QStringLiteral(
        "SELECT FIRST 1 ID_MDT FROM DET_MDT GROUP BY ID_MDT ORDER BY COUNT(*) DESC, ID_MDT"));
    db::Query expenses(DM->LURDO, QStringLiteral("SELECT ID_DEPENSE FROM DEPENSE ORDER BY ID_DEPENSE"));
    expenses.open();
    for (int r = 0; r < expenses.rowCount(); ++r)
        sample.expenses.push_back(db::toInt(expenses.at(r, 0)));
    DM->LURDO.commit();
    std::fprintf(stderr, "line %lld (last sheet %s, last regularisation %s, chapter %s), order %lld, %zu expenses\n",
                 sample.line, qPrintable(sample.lastSheet), qPrintable(sample.lastRegularisation),
                 qPrintable(sample.chapter), sample.order, sample.expenses.size());
    return true;
}

void CreditAvailableAt(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(DM->CreditAvailableAt(sample.line, sample.date));
}
BENCHMARK(CreditAvailableAt);

void TotalMandatedAt(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(DM->TotalMandatedAt(0, sample.line, sample.date));
}
BENCHMARK(TotalMandatedAt);

void TotalCommittedAt(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(DM->TotalCommittedAt(0, sample.line, sample.date));
}
BENCHMARK(TotalCommittedAt);

void NextCommitmentNumber(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(DM->NextCommitmentNumber(sample.line));
}
BENCHMARK(NextCommitmentNumber);

void IsLastCommitmentNumber(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(DM->IsLastCommitmentNumber(sample.line, sample.lastSheet));
}
BENCHMARK(IsLastCommitmentNumber);

void CommitmentBalanceBefore(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(DM->CommitmentBalanceBefore(sample.line, sample.lastSheet));
}
BENCHMARK(CommitmentBalanceBefore);

void NextRegularisationNumber(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(DM->NextRegularisationNumber(sample.line));
}
BENCHMARK(NextRegularisationNumber);

void IsLastRegularisationNumber(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(DM->IsLastRegularisationNumber(sample.line, sample.lastRegularisation));
}
BENCHMARK(IsLastRegularisationNumber);

void RegularisationBalanceBefore(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(DM->RegularisationBalanceBefore(sample.line, sample.lastRegularisation));
}
BENCHMARK(RegularisationBalanceBefore);

void GetExpenseState(benchmark::State& state)
{
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(DM->GetExpenseState(sample.expenses[i]));
        i = (i + 7919) % sample.expenses.size();
    }
}
BENCHMARK(GetExpenseState);

void IsSingleChapterOrder(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(DM->IsSingleChapterOrder(sample.order));
}
BENCHMARK(IsSingleChapterOrder);

void GetServiceObservation(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(DM->GetServiceObservation(QStringLiteral("OBS_BP"), sample.chapter));
}
BENCHMARK(GetServiceObservation);

void GetChapterTitle(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(DM->GetChapterTitle(sample.chapter));
}
BENCHMARK(GetChapterTitle);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetPauseScale(0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!openYear())
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete DM;
    DM = nullptr;
    return 0;
}

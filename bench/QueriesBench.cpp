// Time of each budget-line and document query of the data module on a
// full-scale fiscal year (budget lines, sheets, transfers, expenses, payment
// orders), through the real embedded engine. Every call must stay well under
// 2 ms: listings call some of them for every row they show.
#include "bench/BenchYear.h"
#include "core/Pause.h"
#include "data/UDM.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

namespace {

// Arguments taken from the filled year: the busiest budget line and its last
// sheet number, the line with the most regularisation sheets and its last one,
// a chapter, expenses and the longest payment order.
struct Sample {
    qint64 line = 0;
    QString lastSheet;
    qint64 regularisationLine = 0;
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

bool openYear()
{
    if (!OpenBenchYear())
        return false;
    sample.line = firstInt(QStringLiteral(
        "SELECT FIRST 1 ID_FNM FROM ENT_ENG GROUP BY ID_FNM ORDER BY COUNT(*) DESC, ID_FNM"));
    sample.lastSheet = firstText(QStringLiteral("SELECT MAX(NO_ENG) FROM ENT_ENG WHERE ID_FNM=:ID_FNM"), sample.line);
    sample.regularisationLine = firstInt(QStringLiteral(
        "SELECT FIRST 1 ID_FNM FROM ENT_ENG_REG GROUP BY ID_FNM ORDER BY COUNT(*) DESC, ID_FNM"));
    sample.lastRegularisation = firstText(QStringLiteral("SELECT MAX(NO_ENG) FROM ENT_ENG_REG WHERE ID_FNM=:ID_FNM"),
                                          sample.regularisationLine);
    sample.chapter = firstText(QStringLiteral("SELECT CHAP FROM FNM WHERE ID_FNM=:ID_FNM"), sample.line);
    sample.order = firstInt(QStringLiteral(
        "SELECT FIRST 1 ID_MDT FROM DET_MDT GROUP BY ID_MDT ORDER BY COUNT(*) DESC, ID_MDT"));
    db::Query expenses(DM->LURDO, QStringLiteral("SELECT ID_DEPENSE FROM DEPENSE ORDER BY ID_DEPENSE"));
    expenses.open();
    for (int r = 0; r < expenses.rowCount(); ++r)
        sample.expenses.push_back(db::toInt(expenses.at(r, 0)));
    DM->LURDO.commit();
    std::fprintf(stderr,
                 "line %lld (last sheet %s, chapter %s), line %lld (last regularisation %s), order %lld, %zu expenses\n",
                 sample.line, qPrintable(sample.lastSheet), qPrintable(sample.chapter), sample.regularisationLine,
                 qPrintable(sample.lastRegularisation), sample.order, sample.expenses.size());
    return true;
}

// Runs `call` as often as the benchmark asks.
template <typename Call>
void Measure(benchmark::State& state, Call call)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(call());
}

// Every question, on the busiest line, its last sheets and the longest order.
void RegisterQuestions()
{
    auto add = [](const char* name, auto call) {
        benchmark::RegisterBenchmark(name, [call](benchmark::State& state) { Measure(state, call); });
    };
    add("CreditAvailableAt", [] { return DM->Queries().CreditAvailableAt(sample.line, sample.date); });
    add("TotalMandatedAt", [] { return DM->Queries().TotalMandatedAt(0, sample.line, sample.date); });
    add("TotalCommittedAt", [] { return DM->Queries().TotalCommittedAt(0, sample.line, sample.date); });
    add("NextCommitmentNumber", [] { return DM->Queries().NextCommitmentNumber(sample.line); });
    add("IsLastCommitmentNumber", [] { return DM->Queries().IsLastCommitmentNumber(sample.line, sample.lastSheet); });
    add("CommitmentBalanceBefore", [] { return DM->Queries().CommitmentBalanceBefore(sample.line, sample.lastSheet); });
    add("NextRegularisationNumber", [] { return DM->Queries().NextRegularisationNumber(sample.regularisationLine); });
    add("IsLastRegularisationNumber",
        [] { return DM->Queries().IsLastRegularisationNumber(sample.regularisationLine, sample.lastRegularisation); });
    add("RegularisationBalanceBefore",
        [] { return DM->Queries().RegularisationBalanceBefore(sample.regularisationLine, sample.lastRegularisation); });
    // A different expense at each call, spread over the whole year.
    add("GetExpenseState", [] {
        static size_t i = 0;
        i = (i + 7919) % sample.expenses.size();
        return DM->Queries().GetExpenseState(sample.expenses[i]);
    });
    add("IsSingleChapterOrder", [] { return DM->Queries().IsSingleChapterOrder(sample.order); });
    add("GetServiceObservation", [] { return DM->Queries().GetServiceObservation(QStringLiteral("OBS_BP"), sample.chapter); });
    add("GetChapterTitle", [] { return DM->Queries().GetChapterTitle(sample.chapter); });
}

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
    RegisterQuestions();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseBenchYear();
    return 0;
}

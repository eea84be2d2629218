// Time of the budget documents on a full-scale fiscal year, through the real
// embedded engine: the sheet of a budget line's primitive budget, the sheet
// of a transfer row, the chapter's recapitulative sheet and the statement of
// the largest transfer, each prepared and written to PDF; the financial
// situation of every line printed (prepared, then written to PDF); and a
// correction of one situation row with the window's refresh. Targets: a
// sheet or the statement in under 1 s; the situation prepared in under 2 s
// and written in under 3 s; a correction and refresh in under 200 ms.
//
// The benchmark works on a copy of the shared year: the situation and its
// correction write the work table.
#include "bench/BenchYear.h"
#include "budget/SituationStore.h"
#include "budget/USF.h"
#include "core/GlobalState.h"
#include "core/MessageBox.h"
#include "core/Pause.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"
#include "reports/UPaper.h"
#include "reports/budget/URptEtVir.h"
#include "reports/budget/URptFEEco_Art.h"
#include "reports/budget/URptFEEco_Chap.h"
#include "reports/budget/URptSF_S1_S2.h"
#include "reports/engine/PagePainter.h"

#include <QApplication>
#include <QDir>
#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

struct Sample {
    qint64 primitiveLine = -1;   // a line with its primitive-budget sheet
    qint64 transfer = -1;        // the transfer with the most rows
    qint64 transferLine = -1;    // one of its giving lines
    QDate transferDate;
    QString chapter;             // the chapter with the most funded articles the white sheet holds
    TSituationRow row;           // a line row of the situation, for the corrections
};
Sample sample;

const QString PdfFile = QDir::tempPath() + QStringLiteral("/vorel-budget-documents-bench.pdf");

qint64 Int(const QString& sql, const QList<QPair<QString, db::Value>>& params = {})
{
    db::Query q(DM->LURDO, sql);
    for (const auto& [name, value] : params)
        q.setParam(name, value);
    q.open();
    return q.isEmpty() ? -1 : db::toInt(q.at(0, 0));
}

bool OpenCopy()
{
    if (!OpenBenchYearCopy(QStringLiteral("budget-documents-bench.fdb")))
        return false;
    sample.primitiveLine = Int(QStringLiteral("SELECT FIRST 1 ID_ORIGINE FROM ENT_ENG WHERE ORIGINE=:O ORDER BY ID_ENG"),
                               {{QStringLiteral("O"), toDbValue(SheetOrigin::PrimitiveBudget)}});
    sample.transfer = Int(QStringLiteral("SELECT FIRST 1 ID_VIR FROM VIREMENT GROUP BY ID_VIR ORDER BY COUNT(*) DESC"));
    sample.transferLine = Int(QStringLiteral("SELECT FIRST 1 ID_FNM FROM VIREMENT WHERE ID_VIR=:V AND SENS=:S"),
                              {{QStringLiteral("V"), sample.transfer}, {QStringLiteral("S"), toDbValue(TransferSide::Giving)}});
    {
        db::Query q(DM->LURDO, QStringLiteral("SELECT FIRST 1 DATE_VIR FROM VIREMENT WHERE ID_VIR=:V"));
        q.setParam(QStringLiteral("V"), sample.transfer);
        q.open();
        sample.transferDate = q.asDate(QStringLiteral("DATE_VIR"));
    }
    {
        db::Query q(DM->LURDO, QStringLiteral("SELECT CHAP, COUNT(*) AS N FROM FNM WHERE ART<>:E AND MT_BP<>0 "
                                              "GROUP BY CHAP HAVING COUNT(*)<=19 ORDER BY 2 DESC"));
        q.setParam(QStringLiteral("E"), QString());
        q.open();
        sample.chapter = q.asString(QStringLiteral("CHAP")).trimmed();
    }
    // The situation of every line, as a display writes it.
    TSituationStore store(DM->LURDO);
    TSituationRequest request;
    request.view = svBothSections;
    request.start = QDate(BenchFiscalYear.toInt(), 1, 1);
    request.end = QDate(BenchFiscalYear.toInt(), 12, 31);
    request.today = request.end;
    const std::vector<TSituationRow> rows = store.LineRows(request);
    {
        TWriteGuard write;
        store.Replace(rows);
        write.Commit();
    }
    for (const TSituationRow& r : rows)
        if (!r.IsChapter()) {
            sample.row = r;
            break;
        }
    std::fprintf(stderr, "line %lld, transfer %lld (line %lld), chapter %s, %zu situation rows\n",
                 sample.primitiveLine, sample.transfer, sample.transferLine, qPrintable(sample.chapter), rows.size());
    return sample.primitiveLine > 0 && sample.transfer > 0 && !sample.chapter.isEmpty();
}

// Prepares the document and writes its PDF file.
void PrepareAndWrite(benchmark::State& state, const std::function<std::unique_ptr<TReportForm>()>& make)
{
    int pages = 0;
    for (auto _ : state) {
        std::unique_ptr<TReportForm> form = make();
        const auto prepared = form->Prepare();
        pages = prepared->count();
        if (pages == 0 || !rpt::WritePdf(*prepared, PdfFile)) {
            state.SkipWithError(qPrintable(QStringLiteral("nothing printed: ") + prepared->refusal));
            break;
        }
    }
    state.counters["pages"] = pages;
}

std::unique_ptr<TReportForm> PrimitiveSheet()
{
    auto form = std::make_unique<TfrmRptFEEco_Art>();
    form->Objet = toDb(SheetObject::Economy);
    form->Origine = int(SheetOrigin::PrimitiveBudget);
    form->IdOrigine = int(sample.primitiveLine);
    form->IdFnm = int(sample.primitiveLine);
    return form;
}

std::unique_ptr<TReportForm> TransferSheet()
{
    auto form = std::make_unique<TfrmRptFEEco_Art>();
    form->Objet = toDb(SheetObject::Expense);
    form->Origine = int(SheetOrigin::Transfer);
    form->IdOrigine = int(sample.transfer);
    form->IdFnm = int(sample.transferLine);
    return form;
}

std::unique_ptr<TReportForm> ChapterSheet()
{
    auto form = std::make_unique<TfrmRptFEEco_Chap>();
    form->Chap = sample.chapter;
    form->Intitule = QStringLiteral("Chapitre ") + sample.chapter;
    return form;
}

std::unique_ptr<TReportForm> Statement()
{
    auto form = std::make_unique<TfrmRptEtVir>();
    form->IdVir = int(sample.transfer);
    form->DateVir = sample.transferDate;
    return form;
}

std::unique_ptr<TfrmRptSF_S1_S2> Situation()
{
    auto form = std::make_unique<TfrmRptSF_S1_S2>();
    form->DateD = QDate(BenchFiscalYear.toInt(), 1, 1);
    form->DateF = QDate(BenchFiscalYear.toInt(), 12, 31);
    form->Rows = StoredSituation;
    return form;
}

void SituationPrepare(benchmark::State& state)
{
    int pages = 0;
    for (auto _ : state)
        pages = Situation()->Prepare()->count();
    state.counters["pages"] = pages;
}

void SituationPdf(benchmark::State& state)
{
    const auto pages = Situation()->Prepare();
    for (auto _ : state)
        benchmark::DoNotOptimize(rpt::WritePdf(*pages, PdfFile));
    state.counters["pages"] = pages->count();
}

// One correction saved, then the window's totals and grid read again.
void Correction(benchmark::State& state)
{
    TfrmSF window;
    TSituationStore store(DM->LURDO);
    TSituationRow stored = sample.row;
    for (auto _ : state) {
        const TSituationRow corrected =
            CorrectedSituationRow(stored, stored.crAl, stored.crRv, stored.eng, stored.pmt + Currency::fromUnits(1));
        {
            TWriteGuard write;
            store.CorrectRow(stored, corrected);
            write.Commit();
        }
        window.ShowSituationTotals();
        stored = corrected;
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetPauseScale(0);
    SetMessageResponder([](const MessageCall&) { return int(mrYes); });
    TfrmPaper::SetResponder([] { return 0; });
    CurrentUserCode = QStringLiteral("BENCH");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!OpenCopy())
        return 1;
    benchmark::RegisterBenchmark("FEEco_Art/primitive/pdf", [](benchmark::State& s) { PrepareAndWrite(s, PrimitiveSheet); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("FEEco_Art/transfer/pdf", [](benchmark::State& s) { PrepareAndWrite(s, TransferSheet); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("FEEco_Chap/pdf", [](benchmark::State& s) { PrepareAndWrite(s, ChapterSheet); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("EtVir/pdf", [](benchmark::State& s) { PrepareAndWrite(s, Statement); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Situation/print/prepare", SituationPrepare)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Situation/print/pdf", SituationPdf)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Situation/correction", Correction)->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseBenchYearCopy();
    return 0;
}

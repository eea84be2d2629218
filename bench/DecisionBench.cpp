// The transfer listing and the transfer decision on a full-scale fiscal year:
// the listing's opening (the year's transfers and the rows of the first one)
// must stay under 300 ms; a decision whose template runs over 20 pages must
// read, fill and write its PDF in under 1 s.
#include "bench/BenchYear.h"
#include "budget/UListVir.h"
#include "core/GlobalState.h"
#include "core/MessageBox.h"
#include "core/Pause.h"
#include "data/UDM.h"
#include "reports/budget/DecisionTemplate.h"
#include "reports/budget/URptDecVir.h"
#include "reports/engine/PagePainter.h"
#include "ui/QueryTableModel.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTableView>
#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

qint64 lastTransfer = -1;

void ListingOpen(benchmark::State& state)
{
    for (auto _ : state) {
        TfrmListVir w;
        w.show();
        if (w.Transfers()->rowCount() == 0 || w.Rows()->rowCount() == 0)
            state.SkipWithError("no transfer listed");
        lastTransfer = w.CurrentTransfer();
        w.hide();
    }
}

// A template of about 20 pages: articles of justified text, a few in bold,
// with the placeholders in each.
QByteArray LongTemplate()
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}\\f0\\fs24\n"
                     "\\pard\\qc\\b [UNIV]\\b0\\par\n";
    for (int i = 1; i <= 300; ++i)
        rtf += "\\pard\\qj\\sa120{\\b Article " + QByteArray::number(i)
               + " :} il est proc\\'e9d\\'e9 au titre de l'exercice [EXER] au transfert de cr\\'e9dits d'un montant "
                 "de [MONTANT], inscrit aux \\'e9critures de l'\\'e9tablissement le [DATE].\\par\n";
    return rtf + "}";
}

void DecisionPdf(benchmark::State& state)
{
    QTemporaryDir out;
    const QString pdf = out.filePath(QStringLiteral("decision.pdf"));
    int pages = 0;
    for (auto _ : state) {
        TfrmRptDecVir form;
        form.IdVir = lastTransfer;
        const auto prepared = form.Prepare();
        pages = prepared->count();
        if (prepared->isEmpty() || !rpt::WritePdf(*prepared, pdf))
            state.SkipWithError("no decision printed");
    }
    state.counters["pages"] = pages;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetPauseScale(0);
    SetMessageResponder([](const MessageCall& c) {
        std::fprintf(stderr, "message: %s\n", qPrintable(c.text));
        return int(mrOk);
    });
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!OpenBenchYear())
        return 1;
    // The template is read from the program folder: one of the benchmark's own.
    QTemporaryDir folder;
    AppDir = folder.path() + QLatin1Char('/');
    QFile file(DecisionTemplatePath());
    if (!file.open(QIODevice::WriteOnly) || file.write(LongTemplate()) < 0)
        return 1;
    file.close();
    benchmark::RegisterBenchmark("Transfer/listing-open", ListingOpen)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Transfer/decision-20-pages-pdf", DecisionPdf)->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseBenchYear();
    return 0;
}

// Time of the transfer documents on a full-scale fiscal year, through the real
// embedded engine: each form prepares its pages and writes them to PDF for
// the order with the most beneficiaries (and the salary-detail advice for the
// order of the most salary rows). Target: under 1 s each.
//   build/bench/bench_transfer_docs
#include "bench/BenchYear.h"
#include "core/MessageBox.h"
#include "data/UDM.h"
#include "reports/engine/PagePainter.h"
#include "reports/transfer/URptOrdVir.h"
#include "reports/transfer/URptOrdVirCCP.h"
#include "reports/transfer/URptOrdVirCCP_ACTEL.h"
#include "reports/transfer/URptOrdVirMis_FB.h"
#include "reports/transfer/URptOrdVirMission.h"
#include "reports/transfer/URptOrdVirMission_210208.h"
#include "reports/transfer/URptOrdVirMission_210501.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>

namespace {

int busiestOrder = -1;
int salaryOrder = -1;
QTemporaryDir* folder = nullptr;

int OrderOf(const QString& sql)
{
    db::Query q(DM->LURDO, sql);
    q.open();
    return q.isEmpty() ? -1 : int(q.asInt(QStringLiteral("ID_MDT")));
}

template <class Form>
void PrintToPdf(benchmark::State& state, int idMdt)
{
    std::size_t pages = 0;
    for (auto _ : state) {
        Form form;
        form.IdMdt = idMdt;
        const std::unique_ptr<rpt::PreparedPages> prepared = form.Prepare();
        pages = prepared->pages.size();
        rpt::WritePdf(*prepared, folder->filePath(QStringLiteral("transfer.pdf")));
    }
    state.counters["pages"] = double(pages);
}

template <class Form>
void Register(const char* name, const int& idMdt)
{
    benchmark::RegisterBenchmark(name, [&idMdt](benchmark::State& s) { PrintToPdf<Form>(s, idMdt); })
        ->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetMessageResponder([](const MessageCall&) { return int(mrYes); });
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!OpenBenchYear())
        return 1;
    QTemporaryDir dir;
    folder = &dir;
    busiestOrder = OrderOf(QStringLiteral("SELECT FIRST 1 A.ID_MDT, COUNT(DISTINCT B.ID_BEN) AS N FROM DET_MDT A "
                                          "JOIN DEPENSE B ON A.ID_DETAIL=B.ID_DEPENSE GROUP BY A.ID_MDT "
                                          "ORDER BY 2 DESC"));
    salaryOrder = OrderOf(QStringLiteral("SELECT FIRST 1 A.ID_MDT, COUNT(*) AS N FROM DET_MDT A "
                                         "JOIN DET_SALAIRE B ON B.ID_DEPENSE=A.ID_DETAIL GROUP BY A.ID_MDT "
                                         "ORDER BY 2 DESC"));
    std::printf("order of the most beneficiaries: %d; of the most salary rows: %d\n", busiestOrder, salaryOrder);
    Register<TfrmRptOrdVir>("OrdVir/bank", busiestOrder);
    Register<TfrmRptOrdVirCCP>("OrdVir/postal", busiestOrder);
    Register<TfrmRptOrdVirCCP_Actel>("OrdVir/postal-phone", busiestOrder);
    Register<TfrmRptOrdVirCCP_Verso>("OrdVir/postal-back", busiestOrder);
    Register<TfrmRptOrdVirMission>("OrdVir/mission", busiestOrder);
    Register<TfrmRptOrdVirMission_210501>("OrdVir/mission-210501", busiestOrder);
    Register<TfrmRptOrdVirMission_210208>("OrdVir/mission-210208", salaryOrder);
    Register<TfrmRptOrdVirMis_FB>("OrdVir/mission-reduced", busiestOrder);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseBenchYear();
    return 0;
}

// The report engine on a synthetic listing of about 40 detail rows a page
// with a page header and footer, a group footer with sums and a column of
// free text that wraps: the time to show the first page of 100, then, for
// 1 000 pages, the time to prepare them, to write them to PDF, and the memory
// they hold. Built with the tests, run by hand:
//   build/bench/bench_reports [runs]
// Targets: first page < 300 ms; 1 000 pages prepared < 1 s, written to PDF
// < 2 s, held in < 100 MB.
//
// Each time is the median of the runs, on the clock and in processor time
// (the process's): on a machine busy with other work the clock stretches,
// the processor time much less; compare runs made in the same conditions.

#include "reports/engine/PagePainter.h"
#include "reports/engine/Report.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int RowsPerGroup = 25;

// Processor time of the process so far, in ms.
double CpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Clock and processor times of one piece of work, in ms.
class Timing {
public:
    void start()
    {
        m_clock.start();
        m_cpu = CpuMs();
    }
    void stop()
    {
        wall.push_back(double(m_clock.nsecsElapsed()) / 1e6);
        cpu.push_back(CpuMs() - m_cpu);
    }
    std::vector<double> wall, cpu;

private:
    QElapsedTimer m_clock;
    double m_cpu = 0;
};

// Resident memory of the process, in kB.
long ResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    return 0;
}

// Expenses of a listing: number, date, beneficiary, budget line, amount, object.
std::unique_ptr<rpt::TableRows> Rows(int count)
{
    const QStringList names{QStringLiteral("SARL Bureautique Moderne"), QStringLiteral("Entreprise Benali et Fils"),
                            QStringLiteral("Librairie du Centre"), QStringLiteral("Informatique Services Plus")};
    std::vector<std::vector<db::Value>> rows;
    rows.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        rows.push_back({db::Value(QStringLiteral("%1").arg(i + 1, 5, 10, QLatin1Char('0'))),
                        db::Value(QDate(2024, 1, 1).addDays(i / 20)),
                        db::Value(names[i % names.size()]),
                        db::Value(QStringLiteral("21-%1-%2").arg(i / RowsPerGroup % 90 + 1, 2, 10, QLatin1Char('0'))
                                      .arg(i % 7 + 1, 2, 10, QLatin1Char('0'))),
                        db::Value(Currency::fromRaw(qint64(i) * 1234567 % 9876543210)),
                        db::Value(QStringLiteral("Fournitures et consommables, facture %1").arg(i + 1)),
                        db::Value(qint64(i / RowsPerGroup))});
    return std::make_unique<rpt::TableRows>(
        QStringList{"NO_DEPENSE", "DATE_DEPENSE", "NOM", "IMPUT", "MONTANT", "OBJET", "GRP"}, std::move(rows));
}

// The listing: A4 portrait, page header, group header and footer with sums,
// detail, summary and page footer.
void Design(rpt::Report& report)
{
    report.setTitle(QStringLiteral("Listing des Factures"));
    report.setPage(rpt::PageSetup::Standard(rpt::Paper::A4, QPageLayout::Portrait, {10, 10, 8, 5}));
    rpt::Band* header = report.addBand(rpt::BandKind::PageHeader, QStringLiteral("bdEntete"), 60);
    header->addLabel(QStringLiteral("lUniv"), {0, 0, 400, 18}, QStringLiteral("Université d'Alger, Alger"))->setBold(true);
    header->addLabel(QStringLiteral("lExer"), {500, 0, 250, 18}, QStringLiteral("Exercice : 2024"))
        ->setAlignment(Qt::AlignRight);
    rpt::Label* strip = header->addLabel(QStringLiteral("lBandeau"), {0, 34, 750, 22});
    strip->setColor(QColor(230, 230, 230));
    strip->frame().setAll(true);
    const char* titles[] = {"No Facture", "Date", "Bénéficiaire", "Imput.", "Montant", "Objet"};
    const int lefts[] = {2, 72, 150, 330, 410, 530};
    const int widths[] = {68, 76, 178, 78, 118, 218};
    for (int i = 0; i < 6; ++i)
        header->addLabel(QStringLiteral("lh%1").arg(i), {lefts[i], 36, widths[i], 18}, QString::fromUtf8(titles[i]))
            ->setBold(true);

    rpt::Band* group = report.addBand(rpt::BandKind::GroupHeader, QStringLiteral("bdGroupe"), 0);
    group->setGroupField(QStringLiteral("GRP"));

    rpt::Band* detail = report.addBand(rpt::BandKind::Detail, QStringLiteral("bdDetail"), 23);
    const char* fields[] = {"NO_DEPENSE", "DATE_DEPENSE", "NOM", "IMPUT", "MONTANT", "OBJET"};
    for (int i = 0; i < 6; ++i) {
        rpt::DataText* t = detail->addDataText(QStringLiteral("db%1").arg(i), {lefts[i], 3, widths[i], 17},
                                               QString::fromLatin1(fields[i]), i == 4 ? rpt::MoneyMask : QString());
        if (i == 4)
            t->setAlignment(Qt::AlignRight);
        if (i == 2) {
            // The beneficiary, a column of free text as in the listings.
            t->setWordWrap(true);
            t->setAutoStretch(true);
        }
    }
    detail->addShape(QStringLiteral("shpLigne"), {0, 22, 750, 1}, rpt::Shape::Form::HorLine);

    rpt::Band* footer = report.addBand(rpt::BandKind::GroupFooter, QStringLiteral("bdTotGroupe"), 23);
    footer->addLabel(QStringLiteral("lTotGroupe"), {150, 3, 178, 17}, QStringLiteral("Total du groupe"))->setBold(true);
    footer->addSum(QStringLiteral("expGroupe"), {410, 3, 118, 17}, QStringLiteral("MONTANT"), rpt::Reset::Group)
        ->setAlignment(Qt::AlignRight);
    footer->addCount(QStringLiteral("expNombre"), {530, 3, 100, 17}, rpt::Reset::Group);

    rpt::Band* summary = report.addBand(rpt::BandKind::Summary, QStringLiteral("bdTotal"), 26);
    summary->addSum(QStringLiteral("expTotal"), {410, 4, 118, 17}, QStringLiteral("MONTANT"), rpt::Reset::Report)
        ->setAlignment(Qt::AlignRight);

    rpt::Band* pageFooter = report.addBand(rpt::BandKind::PageFooter, QStringLiteral("bdPied"), 24);
    pageFooter->addSysData(QStringLiteral("lDate"), {0, 4, 300, 16}, rpt::SysData::Value::DateTime);
    pageFooter->addSum(QStringLiteral("expPage"), {410, 4, 118, 17}, QStringLiteral("MONTANT"), rpt::Reset::Page)
        ->setAlignment(Qt::AlignRight);
    pageFooter->addSysData(QStringLiteral("lPage"), {600, 4, 150, 16}, rpt::SysData::Value::PageNumber,
                           QStringLiteral("Page : "));
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    QTemporaryDir dir;
    const QString pdfFile = dir.filePath(QStringLiteral("bench.pdf"));

    // About 40 rows a page: 100 pages, then 1 000.
    auto rows = Rows(4000);
    auto bigRows = Rows(40000);
    rpt::Report report(QStringLiteral("RptBench"));
    Design(report);
    report.setRows(rows.get());
    report.prepare();   // fonts and caches warmed once

    Timing firstPage, paint;
    for (int i = 0; i < runs; ++i) {
        firstPage.start();
        {
            rpt::Run run(report);
            run.runUntilPages(1);
            const rpt::Page& page = run.pages().page(0);
            QImage image(QSize(int(page.size.width() * 0.75), int(page.size.height() * 0.75)), QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.scale(0.75, 0.75);
            rpt::PaintPage(painter, page);
            painter.end();
        }
        firstPage.stop();
    }
    {
        const auto pages = report.prepare();
        QImage image(QSize(794, 1123), QImage::Format_RGB32);
        for (int p = 0; p < pages->count(); p += 10) {
            paint.start();
            image.fill(Qt::white);
            QPainter painter(&image);
            rpt::PaintPage(painter, pages->page(p));
            painter.end();
            paint.stop();
        }
    }

    report.setRows(bigRows.get());
    Timing prepare, pdf;
    int pageCount = 0;
    int details = 0;
    double memoryMb = 0;
    for (int i = 0; i < runs; ++i) {
        const long before = ResidentKb();
        prepare.start();
        auto pages = report.prepare();
        prepare.stop();
        if (i == 0)
            memoryMb = double(ResidentKb() - before) / 1024.0;
        pageCount = pages->count();
        details = 0;
        for (const rpt::Page& page : pages->pages)
            details += page.bandCount(QStringLiteral("bdDetail"));
        pdf.start();
        rpt::WritePdf(*pages, pdfFile);
        pdf.stop();
    }

    std::printf("Listing of %d rows: %d pages, %.1f detail rows a page (median of %d runs; clock, processor)\n",
                40000, pageCount, double(details) / pageCount, runs);
    std::printf("  first page of 100 laid out and painted %8.1f ms %8.1f ms   (target 300 ms)\n",
                Median(firstPage.wall), Median(firstPage.cpu));
    std::printf("  one page painted at 100 %%              %8.1f ms %8.1f ms\n", Median(paint.wall),
                Median(paint.cpu));
    std::printf("  %d pages prepared                     %8.1f ms %8.1f ms   (target 1 000 ms)\n", pageCount,
                Median(prepare.wall), Median(prepare.cpu));
    std::printf("  %d pages written to PDF               %8.1f ms %8.1f ms   (target 2 000 ms, %lld kB)\n",
                pageCount, Median(pdf.wall), Median(pdf.cpu), QFileInfo(pdfFile).size() / 1024);
    std::printf("  %d pages held in memory               %8.1f MB               (target 100 MB)\n", pageCount,
                memoryMb);
    return 0;
}

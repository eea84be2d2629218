// PDF files of prepared pages: one PDF page per report page, at the report's
// paper size and orientation, with texts that can be extracted.
#include "core/Fonts.h"
#include "reports/ReportTestSupport.h"
#include "reports/engine/PagePainter.h"
#include "reports/engine/Report.h"
#include "reports/engine/TextMetrics.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ReportPdf, TwoPagesAtThePaperSizeWithTheirTexts)
{
    struct Case {
        const char* name;
        rpt::PageSetup setup;
        QSizeF points;
    };
    const rpt::Margins margins{10, 10, 10, 10};
    const Case cases[] = {
        {"A4", rpt::PageSetup::Standard(rpt::Paper::A4, QPageLayout::Portrait, margins), {595.28, 841.89}},
        {"A3", rpt::PageSetup::Standard(rpt::Paper::A3, QPageLayout::Landscape, margins), {1190.55, 841.89}},
        {"Letter", rpt::PageSetup::Standard(rpt::Paper::Letter, QPageLayout::Landscape, margins), {792, 612}},
        {"Avis", rpt::PageSetup::Custom(140, 345, QPageLayout::Portrait, margins), {977.95, 396.85}},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rpt::Report report(QStringLiteral("RptPdf"));
        report.setTitle(QStringLiteral("Essai %1").arg(QLatin1String(c.name)));
        report.setPage(c.setup);
        rpt::Band* header = report.addBand(rpt::BandKind::PageHeader, QStringLiteral("bdEntete"), 30);
        header->addSysData(QStringLiteral("lTitre"), {0, 0, 400, 20}, rpt::SysData::Value::ReportTitle);
        rpt::Band* detail = report.addBand(rpt::BandKind::Detail, QStringLiteral("bdDetail"), 60);
        detail->setForceNewPage(true);
        rpt::Label* line = detail->addLabel(QStringLiteral("lLigne"), {20, 10, 300, 20});
        rpt::Band* footer = report.addBand(rpt::BandKind::PageFooter, QStringLiteral("bdPied"), 24);
        footer->addSysData(QStringLiteral("lPage"), {0, 2, 200, 20}, rpt::SysData::Value::PageNumber,
                           QStringLiteral("Page : "));
        int n = 0;
        report.onNeedData = [&] { return n < 2; };
        detail->onBeforePrint = [&](rpt::Band&, bool&) { line->setCaption(QStringLiteral("Ligne numéro %1").arg(++n)); };

        const auto pages = report.prepare();
        ASSERT_EQ(pages->count(), 2);
        const QString file = dir.filePath(QStringLiteral("%1.pdf").arg(QLatin1String(c.name)));
        ASSERT_TRUE(rpt::WritePdf(*pages, file));
        ASSERT_EQ(PdfPageCount(file), 2);
        for (int page = 1; page <= 2; ++page) {
            const QSizeF size = PdfPageSize(file, page);
            EXPECT_NEAR(size.width(), c.points.width(), 1.0) << page;
            EXPECT_NEAR(size.height(), c.points.height(), 1.0) << page;
            const QString text = PdfText(file, page);
            EXPECT_TRUE(text.contains(QStringLiteral("Essai %1").arg(QLatin1String(c.name)))) << text.toStdString();
            EXPECT_TRUE(text.contains(QStringLiteral("Ligne numéro %1").arg(page))) << text.toStdString();
            EXPECT_TRUE(text.contains(QStringLiteral("Page : %1").arg(page))) << text.toStdString();
        }
    }
}

// What a PDF draws is what the layout measured: a long title in each of the
// documents' fonts spans, on the page, the width the engine gave it.
TEST(ReportPdf, TextsAreDrawnAsWideAsTheyWereMeasured)
{
    RegisterFontSubstitutions();
    const QString text = QStringLiteral("Indemnité de documentation pédagogique - Département de mathématiques");
    struct Case {
        const char* family;
        double points;
        bool bold;
    };
    const Case cases[] = {{"Arial", 8, false}, {"Arial", 6, false}, {"Arial", 9, true},
                          {"Verdana", 8, false}, {"Times New Roman", 12, true}};
    rpt::Report report(QStringLiteral("RptLargeur"));
    report.setPage(rpt::PageSetup::Standard(rpt::Paper::A4, QPageLayout::Portrait, {10, 10, 10, 10}));
    rpt::Band* detail = report.addBand(rpt::BandKind::Detail, QStringLiteral("bdDetail"), 400);
    std::vector<double> measured;
    int top = 0;
    for (const Case& c : cases) {
        QFont font(QString::fromLatin1(c.family));
        font.setPointSizeF(c.points);
        font.setBold(c.bold);
        rpt::Label* label = detail->addLabel(QStringLiteral("l%1").arg(measured.size()), {0, top, 700, 30}, text);
        label->setFont(font);
        measured.push_back(rpt::FontMetrics::of(font).width(text));
        top += 40;
    }
    const auto pages = report.prepare();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("largeur.pdf"));
    ASSERT_TRUE(rpt::WritePdf(*pages, file));

    const std::vector<PdfWord> words = PdfWords(file, 1);
    ASSERT_FALSE(words.empty());
    const double left = rpt::MmToPx(10) * 0.75;   // points
    const double pageTop = rpt::MmToPx(10) * 0.75;
    for (size_t i = 0; i < measured.size(); ++i) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(QLatin1String(cases[i].family)).arg(cases[i].points).toStdString());
        const double rowTop = pageTop + 40 * 0.75 * double(i);
        double xMin = 1e9, xMax = -1e9;
        int found = 0;
        for (const PdfWord& w : words) {
            if (w.yMin < rowTop - 1 || w.yMin > rowTop + 20)
                continue;
            xMin = std::min(xMin, w.xMin);
            xMax = std::max(xMax, w.xMax);
            ++found;
        }
        ASSERT_EQ(found, 8);
        EXPECT_NEAR(xMin, left, 0.5);
        const double drawn = (xMax - xMin) / 0.75;   // report pixels
        EXPECT_NEAR(drawn / measured[i], 1.0, 0.005) << drawn << " drawn, " << measured[i] << " measured";
    }
}

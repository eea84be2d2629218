// The layout rules of the report engine, read through the page model: which
// bands and texts each page holds, where, and what the sums say.
#include "reports/engine/Report.h"
#include "reports/engine/TextMetrics.h"
#include "reports/ReportTestSupport.h"
#include "common/TextBoxes.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

using rpt::BandKind;

// Rows G (group key) and MT (amount) with `count` rows, `perGroup` to a group.
std::unique_ptr<rpt::TableRows> AmountRows(int count, int perGroup)
{
    std::vector<std::vector<db::Value>> rows;
    for (int i = 1; i <= count; ++i)
        rows.push_back({db::Value(QStringLiteral("G%1").arg((i - 1) / perGroup, 2, 10, QLatin1Char('0'))),
                        db::Value(Currency::fromUnits(i))});
    return std::make_unique<rpt::TableRows>(QStringList{QStringLiteral("G"), QStringLiteral("MT")}, std::move(rows));
}

rpt::PageSetup A4(double top = 10, double bottom = 10)
{
    return rpt::PageSetup::Standard(rpt::Paper::A4, QPageLayout::Portrait, {top, bottom, 10, 10});
}

Currency Amount(const QString& text)
{
    return Currency::parse(text).value_or(Currency::fromRaw(-1));
}

// The money texts a control printed on a page, as amounts.
std::vector<Currency> Amounts(const rpt::Page& page, const QString& control)
{
    std::vector<Currency> result;
    for (const QString& t : page.textsOf(control))
        result.push_back(Amount(t));
    return result;
}

Currency Sum(const std::vector<Currency>& values)
{
    return std::accumulate(values.begin(), values.end(), Currency());
}

} // namespace

TEST(ReportEngine, PageHeaderAndFooterFollowTheirFirstAndLastPageRules)
{
    struct Case {
        bool firstPageHeader;
        bool lastPageFooter;
    };
    for (const Case c : {Case{true, true}, Case{false, true}, Case{true, false}, Case{false, false}}) {
        SCOPED_TRACE(testing::Message() << "first page header " << c.firstPageHeader << ", last page footer "
                                        << c.lastPageFooter);
        rpt::Report report(QStringLiteral("RptRules"));
        report.setPage(A4());
        report.setFirstPageHeader(c.firstPageHeader);
        report.setLastPageFooter(c.lastPageFooter);
        report.addBand(BandKind::PageHeader, QStringLiteral("hdr"), 40);
        report.addBand(BandKind::Title, QStringLiteral("title"), 50);
        report.addBand(BandKind::Detail, QStringLiteral("det"), 100);
        report.addBand(BandKind::Summary, QStringLiteral("sum"), 20);
        rpt::Band* footer = report.addBand(BandKind::PageFooter, QStringLiteral("ftr"), 30);
        rpt::Label* carried = footer->addLabel(QStringLiteral("lReport"), {0, 0, 200, 16}, QStringLiteral("A reporter"));
        footer->onBeforePrint = [&](rpt::Band&, bool&) { carried->setEnabled(!report.dataEnded()); };
        auto rows = AmountRows(20, 100);
        report.setRows(rows.get());

        const auto pages = report.prepare();
        ASSERT_GE(pages->count(), 3);
        int details = 0;
        for (int p = 0; p < pages->count(); ++p) {
            const QStringList bands = pages->page(p).bandNames();
            const bool first = p == 0;
            const bool last = p == pages->count() - 1;
            EXPECT_EQ(bands.front() == QLatin1String("hdr"), !first || c.firstPageHeader) << p;
            EXPECT_EQ(bands.back() == QLatin1String("ftr"), !last || c.lastPageFooter) << p;
            EXPECT_EQ(bands.count(QStringLiteral("title")), first ? 1 : 0) << p;
            EXPECT_EQ(bands.count(QStringLiteral("sum")), last ? 1 : 0) << p;
            // The carried total prints on every page whose rows do not end the data.
            EXPECT_EQ(pages->page(p).textsOf(QStringLiteral("lReport")).size(), last ? 0 : 1) << p;
            details += int(bands.count(QStringLiteral("det")));
            // The footer sits at the bottom of the page, the header at its top margin.
            for (const rpt::BandBox& box : pages->page(p).bands) {
                if (box.name == QLatin1String("ftr")) {
                    EXPECT_NEAR(box.rect.bottom(), rpt::MmToPx(297 - 10), 0.01);
                }
                if (box.name == QLatin1String("hdr")) {
                    EXPECT_NEAR(box.rect.top(), rpt::MmToPx(10), 0.01);
                }
                EXPECT_FALSE(box.clipped);
            }
        }
        EXPECT_EQ(details, 20);
    }
}

TEST(ReportEngine, SumsResetByPageGroupAndReportAndCountEachRecordOnceWhereItPrints)
{
    rpt::Report report(QStringLiteral("RptSums"));
    report.setPage(A4());
    rpt::Band* header = report.addBand(BandKind::GroupHeader, QStringLiteral("gh"), 25);
    header->setGroupField(QStringLiteral("G"));
    header->addDataText(QStringLiteral("dbG"), {0, 0, 100, 20}, QStringLiteral("G"));
    rpt::Band* detail = report.addBand(BandKind::Detail, QStringLiteral("det"), 37);
    detail->addDataText(QStringLiteral("dbMt"), {0, 0, 200, 20}, QStringLiteral("MT"), rpt::MoneyMask);
    rpt::Band* footer = report.addBand(BandKind::GroupFooter, QStringLiteral("gf"), 25);
    footer->addSum(QStringLiteral("expGroup"), {0, 0, 200, 20}, QStringLiteral("MT"), rpt::Reset::Group);
    footer->addCount(QStringLiteral("expCount"), {220, 0, 100, 20}, rpt::Reset::Group);
    rpt::Band* pageFooter = report.addBand(BandKind::PageFooter, QStringLiteral("pf"), 25);
    pageFooter->addSum(QStringLiteral("expPage"), {0, 0, 200, 20}, QStringLiteral("MT"), rpt::Reset::Page);
    pageFooter->addSum(QStringLiteral("expRun"), {220, 0, 200, 20}, QStringLiteral("MT"), rpt::Reset::Report);
    rpt::Band* summary = report.addBand(BandKind::Summary, QStringLiteral("sum"), 25);
    summary->addSum(QStringLiteral("expTotal"), {0, 0, 200, 20}, QStringLiteral("MT"), rpt::Reset::Report);
    EXPECT_EQ(header->footer(), footer);

    // 7 rows to a group: groups straddle pages, and details move to the next
    // page when they no longer fit.
    auto rows = AmountRows(100, 7);
    report.setRows(rows.get());

    for (int run = 0; run < 2; ++run) {   // a second run starts again from zero
        SCOPED_TRACE(run);
        const auto pages = report.prepare();
        ASSERT_GE(pages->count(), 3);
        Currency running;
        std::vector<Currency> groupTotals;
        std::vector<qint64> groupCounts;
        for (int p = 0; p < pages->count(); ++p) {
            const rpt::Page& page = pages->page(p);
            const Currency onPage = Sum(Amounts(page, QStringLiteral("dbMt")));
            running += onPage;
            ASSERT_EQ(page.textsOf(QStringLiteral("expPage")).size(), 1);
            EXPECT_EQ(Amount(page.textsOf(QStringLiteral("expPage")).front()), onPage) << "page " << p + 1;
            EXPECT_EQ(Amount(page.textsOf(QStringLiteral("expRun")).front()), running) << "page " << p + 1;
            for (const Currency& c : Amounts(page, QStringLiteral("expGroup")))
                groupTotals.push_back(c);
            for (const QString& t : page.textsOf(QStringLiteral("expCount")))
                groupCounts.push_back(t.toLongLong());
        }
        // 1..100 in groups of 7: 1+..+7 = 28, then 77, ..., and a last group of two.
        ASSERT_EQ(groupTotals.size(), 15u);
        for (size_t g = 0; g < groupTotals.size(); ++g) {
            const int firstRow = int(g) * 7 + 1;
            const int lastRow = std::min(100, firstRow + 6);
            EXPECT_EQ(groupTotals[g], Currency::fromUnits((firstRow + lastRow) * (lastRow - firstRow + 1) / 2)) << g;
            EXPECT_EQ(groupCounts[g], lastRow - firstRow + 1) << g;
        }
        EXPECT_EQ(running, Currency::fromUnits(5050));
        EXPECT_EQ(pages->pages.back().textsOf(QStringLiteral("expTotal")), QStringList{QStringLiteral("5 050.00")});
    }
}

TEST(ReportEngine, GroupHeadersAndFootersFrameTheirRecordsAndFootersSeeTheGroupsLastRecord)
{
    rpt::Report report(QStringLiteral("RptGroups"));
    report.setPage(A4());
    rpt::Band* outer = report.addBand(BandKind::GroupHeader, QStringLiteral("ghOuter"), 10);
    outer->setGroupKey([&] { return db::toText(report.value(QStringLiteral("G"))).left(1); });
    rpt::Band* inner = report.addBand(BandKind::GroupHeader, QStringLiteral("ghInner"), 10);
    inner->setGroupField(QStringLiteral("G"));
    report.addBand(BandKind::Detail, QStringLiteral("det"), 10);
    rpt::Band* innerFooter = report.addBand(BandKind::GroupFooter, QStringLiteral("gfInner"), 10);
    rpt::Band* outerFooter = report.addBand(BandKind::GroupFooter, QStringLiteral("gfOuter"), 10);
    EXPECT_EQ(inner->footer(), innerFooter);
    EXPECT_EQ(outer->footer(), outerFooter);
    QStringList footerKeys;
    innerFooter->onBeforePrint = [&](rpt::Band&, bool&) { footerKeys << db::toText(report.value(QStringLiteral("G"))); };

    rpt::TableRows rows({QStringLiteral("G")}, {{db::Value(QStringLiteral("A1"))}, {db::Value(QStringLiteral("A1"))},
                                                {db::Value(QStringLiteral("A2"))}, {db::Value(QStringLiteral("B1"))}});
    report.setRows(&rows);
    const auto pages = report.prepare();
    ASSERT_EQ(pages->count(), 1);
    EXPECT_EQ(pages->page(0).bandNames(),
              (QStringList{"ghOuter", "ghInner", "det", "det", "gfInner", "ghInner", "det", "gfInner", "gfOuter",
                           "ghOuter", "ghInner", "det", "gfInner", "gfOuter"}));
    EXPECT_EQ(footerKeys, (QStringList{"A1", "A2", "B1"}));
}

TEST(ReportEngine, StretchingTextGrowsItsBandAndMovesTheBandsBelow)
{
    rpt::Report report(QStringLiteral("RptStretch"));
    report.setPage(A4());
    rpt::Band* detail = report.addBand(BandKind::Detail, QStringLiteral("det"), 20);
    rpt::Label* text = detail->addLabel(QStringLiteral("lText"), {10, 2, 120, 16});
    text->setWordWrap(true);
    text->setAutoStretch(true);
    rpt::Shape* rule = detail->addShape(QStringLiteral("shpRule"), {0, 0, 1, 20}, rpt::Shape::Form::VertLine);
    rule->setStretchWithBand(true);
    const QStringList captions{QStringLiteral("Court"),
                               QStringLiteral("Un intitulé bien plus long que la largeur de sa colonne, qui "
                                              "revient à la ligne plusieurs fois avant de finir")};
    int n = 0;
    detail->onBeforePrint = [&](rpt::Band&, bool&) { text->setCaption(captions[n++ % 2]); };
    auto rows = AmountRows(2, 10);
    report.setRows(rows.get());

    const auto pages = report.prepare();
    const rpt::Page& page = pages->page(0);
    ASSERT_EQ(page.bands.size(), 2u);
    const rpt::BandBox& shortBox = page.bands[0];
    const rpt::BandBox& longBox = page.bands[1];
    EXPECT_DOUBLE_EQ(shortBox.rect.height(), 20);

    const rpt::PageItem* wrapped = page.item(QStringLiteral("lText"), 1);
    ASSERT_NE(wrapped, nullptr);
    const int lines = int(wrapped->text.split(QLatin1Char('\n')).size());
    EXPECT_GE(lines, 3);
    // The wrapped height is the shared measure of the documents, line for line.
    EXPECT_EQ(rpt::WrappedTextHeight(text->font(), captions[1], 120),
              int(std::ceil(lines * rpt::FontMetrics::of(text->font()).lineHeight() - 1e-6)));
    // The band keeps the room its design leaves below the text.
    EXPECT_NEAR(longBox.rect.height(), 2 + lines * wrapped->lineHeight + 2, 0.01);
    EXPECT_NEAR(longBox.rect.top(), shortBox.rect.bottom(), 0.01);
    // The column rule follows the band's height.
    const rpt::PageItem* longRule = page.item(QStringLiteral("shpRule"), 1);
    ASSERT_NE(longRule, nullptr);
    EXPECT_NEAR(longRule->rect.height(), longBox.rect.height(), 0.01);
    // Every line fits the label's width.
    for (const QString& line : wrapped->text.split(QLatin1Char('\n')))
        EXPECT_LE(rpt::FontMetrics::of(text->font()).width(line), 120.0) << line.toStdString();
}

TEST(ReportEngine, TwoFormsToAPageWithACuttingLineAfterTheFirstOfEachPage)
{
    // The bank transfer order: a 133.9 mm order and a 7.4 mm cutting line on
    // A4 with a top margin of 5 mm and none at the bottom.
    rpt::Report report(QStringLiteral("RptOrdVir"));
    report.setPage(A4(5, 0));
    rpt::Band* detail = report.addBand(BandKind::Detail, QStringLiteral("bdDetail"), int(rpt::MmToPx(133.9)));
    rpt::Band* child = detail->addChild(QStringLiteral("ChildBand1"), int(rpt::MmToPx(7.4)));
    EXPECT_EQ(child->parent(), detail);
    int orders = 0;
    report.onBeforePrint = [&] { orders = 0; };
    detail->onBeforePrint = [&](rpt::Band&, bool&) { ++orders; };
    child->onBeforePrint = [&](rpt::Band&, bool& print) { print = orders % 2 == 1; };
    auto rows = AmountRows(3, 10);
    report.setRows(rows.get());

    for (int run = 0; run < 2; ++run) {
        const auto pages = report.prepare();
        ASSERT_EQ(pages->count(), 2);
        EXPECT_EQ(pages->page(0).bandNames(), (QStringList{"bdDetail", "ChildBand1", "bdDetail"}));
        EXPECT_EQ(pages->page(1).bandNames(), (QStringList{"bdDetail", "ChildBand1"}));
    }
}

TEST(ReportEngine, ABandTallerThanThePagePrintsOnceCutOnAPageOfItsOwn)
{
    rpt::Report report(QStringLiteral("RptTall"));
    report.setPage(A4());
    report.addBand(BandKind::PageHeader, QStringLiteral("hdr"), 40);
    rpt::Band* detail = report.addBand(BandKind::Detail, QStringLiteral("det"), 100);
    detail->addLabel(QStringLiteral("lBottom"), {0, 1500, 100, 20}, QStringLiteral("sous la page"));
    detail->onBeforePrint = [&](rpt::Band& band, bool&) {
        band.setHeight(report.recordNumber() == 2 ? 2000 : 100);
    };
    auto rows = AmountRows(3, 10);
    report.setRows(rows.get());

    const auto pages = report.prepare();
    ASSERT_EQ(pages->count(), 3);
    for (int p = 0; p < 3; ++p)
        EXPECT_EQ(pages->page(p).bandNames(), (QStringList{"hdr", "det"})) << p;
    const rpt::BandBox& tall = pages->page(1).bands[1];
    EXPECT_TRUE(tall.clipped);
    EXPECT_NEAR(tall.rect.bottom(), rpt::MmToPx(297 - 10), 0.01);
    EXPECT_FALSE(pages->page(0).bands[1].clipped);
    // What lies beyond the cut is painted under the band's clip.
    const rpt::PageItem* hidden = pages->page(1).item(QStringLiteral("lBottom"));
    ASSERT_NE(hidden, nullptr);
    ASSERT_GE(hidden->clip, 0);
    EXPECT_FALSE(pages->page(1).clips[size_t(hidden->clip)].intersects(hidden->rect));
}

TEST(ReportEngine, NeedDataPrintsOneDetailPerRecordAndARunawayEventIsStopped)
{
    rpt::Report report(QStringLiteral("RptNeedData"));
    report.setPage(rpt::PageSetup::Custom(140, 345, QPageLayout::Portrait, {10, 10, 1, 5}));
    rpt::Band* detail = report.addBand(BandKind::Detail, QStringLiteral("det"), 20);
    rpt::Label* text = detail->addLabel(QStringLiteral("lReglement"), {0, 0, 300, 16});
    const QStringList texts{QStringLiteral("Régime général 23.75%"), QStringLiteral("Assurance chômage 1.00%"),
                            QStringLiteral("Retraite anticipée 0.25%")};
    int position = 0;
    report.onBeforePrint = [&] { position = 1; };
    report.onNeedData = [&] { return position < 4; };
    detail->onBeforePrint = [&](rpt::Band&, bool&) { text->setCaption(texts[position++ - 1]); };
    auto pages = report.prepare();
    ASSERT_EQ(pages->count(), 1);
    EXPECT_EQ(pages->page(0).textsOf(QStringLiteral("lReglement")), texts);
    EXPECT_TRUE(pages->warnings.isEmpty());
    EXPECT_NEAR(pages->page(0).size.width(), rpt::MmToPx(345), 0.01);

    // An event that never says no, on a band that never prints, still ends.
    report.onNeedData = [] { return true; };
    detail->onBeforePrint = [](rpt::Band&, bool& print) { print = false; };
    pages = report.prepare();
    ASSERT_EQ(pages->warnings.size(), 1);
    EXPECT_TRUE(pages->warnings.front().contains(QString::number(rpt::MaxNeedDataRecords)));
}

TEST(ReportEngine, DetailBandsRunDownTwoColumnsThenOnTheNextPage)
{
    // The reduced mission card: Letter, two columns of 97.9 mm, 125.4 mm cards.
    rpt::PageSetup setup = rpt::PageSetup::Standard(rpt::Paper::Letter, QPageLayout::Portrait, {15, 0, 10, 10});
    setup.columns = 2;
    setup.columnSpace = 0.1;
    rpt::Report report(QStringLiteral("RptOrdVirMis_FB"));
    report.setPage(setup);
    rpt::Band* detail = report.addBand(BandKind::Detail, QStringLiteral("bdDetail"), int(rpt::MmToPx(125.4)));
    detail->addDataText(QStringLiteral("lNap1"), {10, 10, 200, 16}, QStringLiteral("MT"), rpt::MoneyMask);
    auto rows = AmountRows(5, 10);
    report.setRows(rows.get());
    const auto pages = report.prepare();
    ASSERT_EQ(pages->count(), 2);
    const rpt::Page& first = pages->page(0);
    ASSERT_EQ(first.bands.size(), 4u);
    const double left = rpt::MmToPx(10);
    const double second = left + rpt::MmToPx(97.9 + 0.1);
    const double expectedLeft[] = {left, left, second, second};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(first.bands[i].rect.left(), expectedLeft[i], 0.01) << i;
        EXPECT_NEAR(first.bands[i].rect.width(), rpt::MmToPx(97.9), 0.01) << i;
    }
    EXPECT_NEAR(first.bands[2].rect.top(), first.bands[0].rect.top(), 0.01);
    EXPECT_EQ(pages->page(1).textsOf(QStringLiteral("lNap1")), QStringList{QStringLiteral("5.00")});

    // A band across the page follows the longest column, on the next page when
    // the columns leave no room.
    report.addBand(BandKind::Summary, QStringLiteral("bdTotal"), 60);   // taller than the 13.6 mm left
    auto four = AmountRows(4, 10);
    report.setRows(four.get());
    const auto withSummary = report.prepare();
    ASSERT_EQ(withSummary->count(), 2);
    EXPECT_EQ(withSummary->page(1).bandNames(), QStringList{QStringLiteral("bdTotal")});
    EXPECT_NEAR(withSummary->page(1).bands[0].rect.left(), left, 0.01);
    EXPECT_NEAR(withSummary->page(1).bands[0].rect.width(), rpt::MmToPx(215.9 - 20), 0.01);
}

TEST(ReportEngine, EmptyRowsGiveNoPageUnlessTheReportPrintsWhenEmpty)
{
    rpt::Report report(QStringLiteral("RptEmpty"));
    report.setPage(A4());
    report.addBand(BandKind::PageHeader, QStringLiteral("hdr"), 40);
    report.addBand(BandKind::Detail, QStringLiteral("det"), 20);
    rpt::Band* summary = report.addBand(BandKind::Summary, QStringLiteral("sum"), 20);
    summary->addSum(QStringLiteral("expTotal"), {0, 0, 100, 16}, QStringLiteral("MT"), rpt::Reset::Report);
    int afterPrint = 0;
    report.onAfterPrint = [&] { ++afterPrint; };
    auto rows = AmountRows(0, 1);
    report.setRows(rows.get());

    EXPECT_EQ(report.prepare()->count(), 0);
    report.setPrintIfEmpty(true);
    const auto pages = report.prepare();
    ASSERT_EQ(pages->count(), 1);
    EXPECT_EQ(pages->page(0).bandNames(), (QStringList{"hdr", "sum"}));
    EXPECT_EQ(pages->page(0).textsOf(QStringLiteral("expTotal")), QStringList{QStringLiteral("0.00")});
    EXPECT_EQ(afterPrint, 2);

    // Without rows the detail band prints once.
    report.setRows(nullptr);
    EXPECT_EQ(report.prepare()->page(0).bandCount(QStringLiteral("det")), 1);
}

TEST(ReportEngine, ControlsAreFoundByNameAndChangedByTheDocumentsEvents)
{
    rpt::Report report(QStringLiteral("RptControls"));
    report.setTitle(QStringLiteral("Etat de test"));
    report.setPage(A4());
    report.setClock([] { return QDateTime(QDate(2024, 3, 5), QTime(14, 30)); });
    rpt::Band* detail = report.addBand(BandKind::Detail, QStringLiteral("det"), 300);
    for (int i = 1; i <= 3; ++i)
        detail->addLabel(QStringLiteral("lArt%1").arg(i), {0, i * 20, 100, 16}, QStringLiteral("art %1").arg(i));
    rpt::Label* turned = detail->addLabel(QStringLiteral("lTurned"), {200, 0, 20, 120}, QStringLiteral("Vertical"));
    turned->setAngle(90);
    detail->addSysData(QStringLiteral("lPage"), {0, 100, 100, 16}, rpt::SysData::Value::PageNumber,
                       QStringLiteral("Page : "));
    detail->addSysData(QStringLiteral("lTitle"), {0, 120, 200, 16}, rpt::SysData::Value::ReportTitle);
    detail->addSysData(QStringLiteral("lDate"), {0, 140, 200, 16}, rpt::SysData::Value::Date);
    rpt::RoundRect* frame = detail->addRoundRect(QStringLiteral("shpCadre"), {0, 160, 200, 40});
    frame->shape().SetEllipseWidth(15);
    frame->shape().SetEllipseHeight(10);
    rpt::RichText* rich = detail->addRichText(QStringLiteral("myRichText"), {0, 210, 300, 60});
    rich->setHtml(QStringLiteral("<p>Le <b>Doyen</b> décide</p>"));

    EXPECT_EQ(report.label(QStringLiteral("LART2")), report.findNumbered(QStringLiteral("lArt"), 2));
    EXPECT_EQ(report.findNumbered(QStringLiteral("lArt"), 4), nullptr);
    EXPECT_EQ(report.find<rpt::Shape>(QStringLiteral("lArt1")), nullptr);
    detail->onBeforePrint = [&](rpt::Band&, bool&) {
        report.label(QStringLiteral("lArt2"))->setEnabled(false);
        report.label(QStringLiteral("lArt3"))->setCaption(QStringLiteral("changé"));
        report.label(QStringLiteral("lArt3"))->setTop(250);
    };

    const auto pages = report.prepare();
    const rpt::Page& page = pages->page(0);
    EXPECT_EQ(page.textsOf(QStringLiteral("lArt1")), QStringList{QStringLiteral("art 1")});
    EXPECT_TRUE(page.textsOf(QStringLiteral("lArt2")).isEmpty());
    EXPECT_EQ(page.textsOf(QStringLiteral("lArt3")), QStringList{QStringLiteral("changé")});
    EXPECT_NEAR(page.item(QStringLiteral("lArt3"))->rect.top(), rpt::MmToPx(10) + 250, 0.01);
    EXPECT_EQ(page.item(QStringLiteral("lTurned"))->angle, 90.0f);
    EXPECT_EQ(page.textsOf(QStringLiteral("lPage")), QStringList{QStringLiteral("Page : 1")});
    EXPECT_EQ(page.textsOf(QStringLiteral("lTitle")), QStringList{QStringLiteral("Etat de test")});
    EXPECT_EQ(page.textsOf(QStringLiteral("lDate")), QStringList{QStringLiteral("05/03/2024")});
    const rpt::PageItem* round = page.item(QStringLiteral("shpCadre"));
    ASSERT_NE(round, nullptr);
    EXPECT_EQ(round->kind, rpt::ItemKind::RoundRect);
    EXPECT_EQ(round->extra->ellipse, QSizeF(15, 10));
    EXPECT_EQ(page.textsOf(QStringLiteral("myRichText")), QStringList{QStringLiteral("Le Doyen décide")});
}

TEST(ReportEngine, TextMeasuresFollowTheDocumentsRules)
{
    const QFont font(QStringLiteral("Arial"), 10);
    const rpt::FontMetrics& m = rpt::FontMetrics::of(font);
    const QString text = QStringLiteral("Fournitures de bureau et consommables informatiques");
    const double width = m.width(text);
    const int line = rpt::LineHeight(font);
    EXPECT_GT(width, 200);
    EXPECT_EQ(rpt::TextWidth(font, text), int(std::ceil(width)));
    // Wrapped between words; a word is never broken: one longer than the
    // width stays whole on a line of its own, wider than the width.
    const QStringList lines = m.lines(text, 100, true);
    EXPECT_EQ(lines.join(QLatin1Char(' ')), text);
    EXPECT_GE(lines.size(), int(std::ceil(width / 100)));
    for (const QString& l : lines)
        EXPECT_LE(m.width(l), 100.5) << l.toStdString();
    const QString word = QStringLiteral("Anticonstitutionnellement");
    EXPECT_EQ(m.lines(word, 60, true), QStringList{word});
    EXPECT_EQ(m.lines(QStringLiteral("SARL ") + word + QStringLiteral(" et fils"), 60, true),
              QStringList({QStringLiteral("SARL"), word, QStringLiteral("et fils")}));
    EXPECT_EQ(rpt::WrappedTextHeight(font, text, 100), int(std::ceil(lines.size() * m.lineHeight() - 1e-6)));
    EXPECT_EQ(rpt::WrappedTextHeight(font, QString(), 100), line);
    EXPECT_EQ(rpt::WrappedTextHeight(font, QStringLiteral("a\nb"), 100), int(std::ceil(2 * m.lineHeight() - 1e-6)));
    // Sizes scale with the font: measuring does not depend on a device's pixels.
    QFont half(font);
    half.setPointSizeF(5);
    EXPECT_NEAR(rpt::FontMetrics::of(half).width(text) * 2, width, width * 0.001);
}

// Whether a text fits a width is told without measuring it when its letters
// leave it well inside; the answer is always the measure's, kerned pairs and
// accented letters included, whatever the size.
TEST(ReportEngine, AWidthTestAgreesWithTheMeasure)
{
    const QStringList texts{QStringLiteral("AVATAR LTD. Y.A. Tôlerie"), QStringLiteral("1 234 567 890.12"),
                            QStringLiteral("Fournitures de bureau, \"Papeterie\" & Cie"), QStringLiteral("WAWAWAWA"),
                            QStringLiteral("ffi fl T.V.A. P.T.T."), QStringLiteral("Ecole Supérieure d'Études"),
                            QStringLiteral("x"), QString()};
    for (const double points : {6.0, 8.0, 9.5, 12.0}) {
        for (const bool bold : {false, true}) {
            QFont font(QStringLiteral("Arial"));
            font.setPointSizeF(points);
            font.setBold(bold);
            const rpt::FontMetrics& m = rpt::FontMetrics::of(font);
            for (const QString& text : texts) {
                const double measured = m.width(text);
                for (const double width : {measured - 2, measured - 0.6, measured - 0.4, measured, measured + 1,
                                           measured * 1.03, measured * 1.2 + 5}) {
                    EXPECT_EQ(m.fitsWidth(text, width), measured <= width + 0.5)
                        << text.toStdString() << " at " << points << " pt in " << width;
                }
            }
        }
    }
}

// The cells of one column shrink together: every row prints its value in
// the one size the longest needs, none below the floor; a word wider than a
// wrapping column makes the column smaller rather than being broken, and only
// at the floor does what still does not fit end with the ellipsis. A next run
// starts again from the design's size.
TEST(ReportEngine, TheCellsOfAColumnShrinkTogether)
{
    const QString word = QStringLiteral("Anticonstitutionnellement");
    struct Case {
        const char* what;
        QStringList values;
        int width;
        bool wrap;
        bool shrinks;      // below the design's 9 points
        bool cut;          // a value ends with the ellipsis
    };
    const Case cases[] = {
        {"short values", {QStringLiteral("BNA"), QStringLiteral("CCP")}, 120, false, false, false},
        {"one long value", {QStringLiteral("BNA"), QStringLiteral("007 99999 0001234567 89"), QStringLiteral("CCP")},
         110, false, true, false},
        {"a long word in a wrapping column", {QStringLiteral("SARL Alpha"), QStringLiteral("SARL ") + word}, 120, true,
         true, false},
        {"a word too long even at the floor", {QStringLiteral("SARL Alpha"), QStringLiteral("SARL ") + word}, 60,
         true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rpt::Report report(QStringLiteral("RptColonne"));
        report.setPage(A4());
        rpt::Band* detail = report.addBand(BandKind::Detail, QStringLiteral("det"), 18);
        rpt::DataText* cell = detail->addDataText(QStringLiteral("dbNom"), {10, 1, c.width, 16}, QStringLiteral("NOM"));
        cell->setFontSize(9);
        cell->setWordWrap(c.wrap);
        cell->setAutoStretch(c.wrap);
        cell->setShrinkWithColumn(rpt::MinFontPoints);
        std::vector<std::vector<db::Value>> values;
        for (const QString& v : c.values)
            values.push_back({db::Value(v)});
        rpt::TableRows rows({QStringLiteral("NOM")}, std::move(values));
        report.setRows(&rows);
        const auto pages = report.prepare();
        const rpt::Page& page = pages->page(0);
        ExpectTextsInTheirBoxes(page);
        const rpt::PageItem* first = page.item(QStringLiteral("dbNom"));
        ASSERT_NE(first, nullptr);
        const double size = first->font.pointSizeF();
        EXPECT_EQ(size < 9, c.shrinks) << size;
        EXPECT_GE(size, rpt::MinFontPoints);
        bool cut = false;
        for (int i = 0; i < int(c.values.size()); ++i) {
            const rpt::PageItem* item = page.item(QStringLiteral("dbNom"), i);
            ASSERT_NE(item, nullptr);
            EXPECT_DOUBLE_EQ(item->font.pointSizeF(), size) << i;
            // The lines read the value in order, each ending between two
            // words or with the ellipsis, which leaves out the rest of its word.
            QString rest = c.values[i];
            for (const QString& line : item->text.split(QLatin1Char('\n'))) {
                const bool ends = line.endsWith(rpt::Ellipsis);
                const QString shown = ends ? line.chopped(1) : line;
                EXPECT_TRUE(rest.startsWith(shown)) << line.toStdString();
                const qsizetype next = ends ? rest.indexOf(QLatin1Char(' '), shown.size()) : shown.size();
                if (!ends) {
                    EXPECT_TRUE(next == rest.size() || rest.at(next) == QLatin1Char(' ')) << line.toStdString();
                }
                rest = next < 0 ? QString() : rest.mid(next).trimmed();
                cut = cut || ends;
            }
            EXPECT_TRUE(rest.isEmpty()) << rest.toStdString();
        }
        EXPECT_EQ(cut, c.cut);
        if (c.shrinks && !c.cut) {
            // Half a point larger, some value would not fit.
            QFont larger = first->font;
            larger.setPointSizeF(size + 0.5);
            const rpt::FontMetrics& m = rpt::FontMetrics::of(larger);
            bool overflows = false;
            for (const QString& v : c.values)
                for (const QString& line : m.lines(v, c.width, c.wrap))
                    overflows = overflows || !m.fitsWidth(line, c.width);
            EXPECT_TRUE(overflows);
        }

        // Short values on the next run: the design's size again.
        rpt::TableRows shortRows({QStringLiteral("NOM")}, {{db::Value(QStringLiteral("BNA"))}});
        report.setRows(&shortRows);
        const auto again = report.prepare();
        EXPECT_DOUBLE_EQ(again->page(0).item(QStringLiteral("dbNom"))->font.pointSizeF(), 9);
    }
}

// A band's frame reaches as far as its frame width (a table narrower than
// the page), else across the band.
TEST(ReportEngine, ABandsFrameEndsAtItsWidth)
{
    for (const int frameWidth : {0, 300}) {
        SCOPED_TRACE(frameWidth);
        rpt::Report report(QStringLiteral("RptCadre"));
        report.setPage(A4());
        rpt::Band* detail = report.addBand(BandKind::Detail, QStringLiteral("det"), 20);
        detail->frame().setAll(true);
        detail->setFrameWidth(frameWidth);
        const auto pages = report.prepare();
        const rpt::Page& page = pages->page(0);
        const QRectF band = page.bands.at(0).rect;
        const double right = frameWidth ? band.left() + frameWidth : band.right();
        int lines = 0;
        for (const rpt::PageItem& item : page.items) {
            if (item.kind != rpt::ItemKind::Line)
                continue;
            ++lines;
            EXPECT_LE(std::max(item.rect.left(), item.rect.right()), right + 0.01);
            EXPECT_GE(std::min(item.rect.left(), item.rect.right()), band.left() - 0.01);
        }
        EXPECT_EQ(lines, 4);
    }
}

// A text never prints outside its label: it wraps when the label wraps, and
// what the box still cannot hold is left out at a letter boundary, the
// ellipsis ending what is shown; a text that fits prints as it is.
TEST(ReportEngine, ATextLongerThanItsBoxEndsWithAnEllipsisInsideIt)
{
    const QString text = QStringLiteral("Indemnité de documentation pédagogique - Département de mathématiques");
    struct Case {
        const char* what;
        QRect rect;
        bool wrap;
        Qt::Alignment align;
        bool whole;
    };
    const Case cases[] = {
        {"one line, wide enough", {0, 0, 500, 16}, false, Qt::AlignLeft, true},
        {"one line, too narrow", {0, 0, 150, 16}, false, Qt::AlignLeft, false},
        {"right-aligned, too narrow", {200, 0, 150, 16}, false, Qt::AlignRight, false},
        {"wrapping, four lines of room", {0, 0, 150, 64}, true, Qt::AlignLeft, true},
        {"wrapping, two lines of room", {0, 0, 120, 30}, true, Qt::AlignLeft, false},
        {"wrapping, less than a line", {0, 0, 120, 8}, true, Qt::AlignHCenter, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rpt::Report report(QStringLiteral("RptBoites"));
        report.setPage(A4());
        rpt::Band* detail = report.addBand(BandKind::Detail, QStringLiteral("det"), 60);
        rpt::Label* label = detail->addLabel(QStringLiteral("lTexte"), c.rect, text);
        label->setWordWrap(c.wrap);
        label->setAlignment(c.align);
        label->setFontSize(9);
        const auto pages = report.prepare();
        const rpt::PageItem* item = pages->page(0).item(QStringLiteral("lTexte"));
        ASSERT_NE(item, nullptr);
        const QString shown = QString(item->text).replace(QLatin1Char('\n'), QLatin1Char(' '));
        if (c.whole) {
            EXPECT_EQ(shown, text);
        } else {
            EXPECT_TRUE(shown.endsWith(rpt::Ellipsis)) << shown.toStdString();
            EXPECT_TRUE(text.startsWith(shown.chopped(1))) << shown.toStdString();
            EXPECT_GT(shown.size(), 2);
        }
        if (c.rect.height() >= rpt::LineHeight(label->font()))
            ExpectTextsInTheirBoxes(pages->page(0));
        else   // a box lower than a line still shows one line, as wide as the box
            EXPECT_LE(rpt::TextExtent(*item).width(), c.rect.width() + 0.5);
    }
}

// The rows of one table: their texts shrink together while the rows do not
// fit their zone, none below the floor; rows that still do not fit share the
// room and cut their texts; a table with room keeps its design's size and
// each row its least pitch.
TEST(ReportEngine, StackedRowsShrinkTogetherAndNeverOverlap)
{
    const QString shortTitle = QStringLiteral("Papeterie");
    const QString title = QStringLiteral("Pièces de rechange, fournitures et accessoires pour le matériel pédagogique "
                                         "et scientifique des laboratoires");
    struct Case {
        const char* what;
        QStringList titles;
        int zone;
        double size;       // of every title, after the rows are placed
        bool cut;          // the longest title ends with the ellipsis
    };
    const Case cases[] = {
        {"short titles", {shortTitle, shortTitle, shortTitle}, 180, 8, false},
        {"one long title with room", {title, shortTitle, shortTitle}, 180, 8, false},
        {"four long titles", {title, title, title, title}, 180, 7, false},
        {"four long titles, little room", {title, title, title, title + QLatin1Char(' ') + title}, 120, 6, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rpt::Report report(QStringLiteral("RptLignes"));
        report.setPage(A4());
        rpt::Band* detail = report.addBand(BandKind::Detail, QStringLiteral("det"), 400);
        std::vector<rpt::StackRow> rows;
        QStringList controls;
        for (int i = 0; i < int(c.titles.size()); ++i) {
            rpt::Label* text = detail->addLabel(QStringLiteral("lTitre%1").arg(i), {60, 0, 170, 16}, c.titles[i]);
            text->setWordWrap(true);
            text->setFontSize(8);
            rpt::Label* amount = detail->addLabel(QStringLiteral("lMt%1").arg(i), {240, 0, 90, 16},
                                                  QStringLiteral("1 000.00"));
            amount->setAlignment(Qt::AlignRight);
            rows.push_back({text, {amount}, 19, 4});
            controls << text->name() << amount->name();
        }
        const int bottom = rpt::StackRows(rows, 20, 20 + c.zone, rpt::MinFontPoints);
        EXPECT_LE(bottom, 20 + c.zone);
        const auto pages = report.prepare();
        const rpt::Page& page = pages->page(0);
        ExpectTextsInTheirBoxes(page, controls);
        bool cut = false;
        double previous = -1;
        for (int i = 0; i < int(c.titles.size()); ++i) {
            const rpt::PageItem* item = page.item(QStringLiteral("lTitre%1").arg(i));
            ASSERT_NE(item, nullptr);
            EXPECT_DOUBLE_EQ(item->font.pointSizeF(), c.size) << i;
            EXPECT_GE(item->rect.top() - previous, previous < 0 ? 0 : 19 - 0.5) << i;
            EXPECT_DOUBLE_EQ(page.item(QStringLiteral("lMt%1").arg(i))->rect.top(), item->rect.top());
            EXPECT_LE(item->rect.bottom(), page.bands.at(0).rect.top() + 20 + c.zone + 0.5);
            previous = item->rect.top();
            cut = cut || item->text.endsWith(rpt::Ellipsis);
        }
        EXPECT_EQ(cut, c.cut);
    }
}

// A document that cannot hold its rows refuses the run: even pages already
// laid out are dropped, the reason is kept and the after-print event runs.
TEST(ReportEngine, ARefusedRunKeepsNoPageAndSaysWhy)
{
    rpt::Report report(QStringLiteral("RptRefus"));
    report.setPage(A4());
    rpt::Band* detail = report.addBand(BandKind::Detail, QStringLiteral("det"), 400);
    detail->addLabel(QStringLiteral("lLigne"), {0, 0, 200, 16}, QStringLiteral("Ligne"));
    bool closed = false;
    report.onAfterPrint = [&] { closed = true; };
    detail->onBeforePrint = [&](rpt::Band&, bool&) {
        report.requireRoom(report.recordNumber(), 4, QStringLiteral("Trop de lignes pour ce formulaire."));
    };
    auto rows = AmountRows(5, 10);
    report.setRows(rows.get());
    const auto pages = report.prepare();
    EXPECT_TRUE(pages->isEmpty());
    EXPECT_EQ(pages->refusal, QStringLiteral("Trop de lignes pour ce formulaire."));
    EXPECT_TRUE(closed);

    auto four = AmountRows(4, 10);
    report.setRows(four.get());
    const auto printed = report.prepare();
    EXPECT_EQ(printed->count(), 2);
    EXPECT_TRUE(printed->refusal.isEmpty());
}

TEST(ReportEngine, ValuesPrintThroughTheirMasks)
{
    struct Case {
        db::Value value;
        QString mask;
        QString expected;
    };
    const Case cases[] = {
        {db::Value(Currency::fromRaw(12345678900)), rpt::MoneyMask, QStringLiteral("1 234 567.89")},
        {db::Value(Currency::fromRaw(-5000)), QStringLiteral("### ### ##0.00"), QStringLiteral("-0.50")},
        {db::Value(Currency::fromRaw(12345)), QStringLiteral("0.00"), QStringLiteral("1.23")},
        {db::Value(Currency::fromRaw(12355)), QStringLiteral("0.00"), QStringLiteral("1.24")},
        {db::Value(qint64(1234567)), QStringLiteral("### ##0"), QStringLiteral("1 234 567")},
        {db::Value(QStringLiteral("1500.5")), rpt::MoneyMask, QStringLiteral("1 500.50")},
        {db::Value(QDate(2024, 1, 9)), QStringLiteral("dd/MM/yyyy"), QStringLiteral("09/01/2024")},
        {db::Value(QDate(2024, 1, 9)), QString(), QStringLiteral("09/01/2024")},
        {db::Value(), rpt::MoneyMask, QString()},
        {db::Value(QStringLiteral("0042")), QString(), QStringLiteral("0042")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rpt::FormatValue(c.value, c.mask), c.expected) << c.expected.toStdString();
}

#include "reports/budget/URptSF_S1_S2.h"

#include "core/GlobalState.h"
#include "core/Routines.h"

#include <algorithm>
#include "reports/UPaper.h"

namespace {

// Column edges, in report pixels, across the printable width of A4 landscape.
constexpr int Edge[] = {0, 50, 90, 130, 462, 568, 674, 780, 886, 992, 1062};
constexpr int Width = 1062;
constexpr int HeadingHeight = 40;
const char* const Figures[] = {"CrAl", "CrRv", "Eng", "Pmt", "Sld", "Tx"};
const QString CarriedMask = QStringLiteral("### ### ##0.00");
constexpr double AmountPoints = 8;

QString Amount(Currency value, const QString& mask)
{
    return mask.isEmpty() ? value.formatMoney() : rpt::FormatAmount(value, mask).trimmed();
}

rpt::Label* AddLabel(rpt::Band* band, const QString& name, const QRect& rect, const QString& caption = QString(),
                     Qt::Alignment align = Qt::AlignLeft, bool bold = false)
{
    rpt::Label* l = band->addLabel(name, rect, caption);
    l->setAlignment(align);
    l->setBold(bold);
    return l;
}

// The vertical rules between the columns, from `top`, `height` high.
void AddRules(rpt::Band* band, const QString& prefix, int top, int height, bool stretch)
{
    for (int c = 1; c < 10; ++c) {
        rpt::Shape* rule =
            band->addShape(prefix + QString::number(c), {Edge[c] - 4, top, 8, height}, rpt::Shape::Form::VertLine);
        rule->setStretchWithBand(stretch);
    }
}

void AddHeadings(rpt::Band* band, const QString& prefix, int top)
{
    const QString headings[] = {QStringLiteral("CHAP"), QStringLiteral("ART"), QStringLiteral("PAR"),
                                QStringLiteral("Intitulé"), QStringLiteral("Crédits initiaux"),
                                QStringLiteral("Crédits révisés"), QStringLiteral("Engagements"),
                                QStringLiteral("Paiements"), QStringLiteral("Soldes"), QStringLiteral("Tx Cons.")};
    rpt::Shape* box = band->addShape(prefix + QStringLiteral("Box"), {0, top, Width, HeadingHeight});
    box->setPenWidth(1);
    AddRules(band, prefix + QStringLiteral("Rule"), top, HeadingHeight, false);
    for (int c = 0; c < 10; ++c) {
        rpt::Label* l = AddLabel(band, prefix + QString::number(c), {Edge[c] + 2, top + 4, Edge[c + 1] - Edge[c] - 4,
                                                                      HeadingHeight - 8},
                                 headings[c], Qt::AlignHCenter, true);
        l->setWordWrap(true);
    }
}

// The six figures of a row of sums, under their columns.
void AddFigures(rpt::Band* band, const QString& prefix, int top, int height, bool bold)
{
    for (int i = 0; i < 6; ++i) {
        rpt::Label* l = AddLabel(band, prefix + QString::fromLatin1(Figures[i]),
                                 {Edge[4 + i] + 3, top, Edge[5 + i] - Edge[4 + i] - 8, height}, QString(),
                                 Qt::AlignRight, bold);
        l->setFontSize(AmountPoints);
    }
}

} // namespace

void TSituationSums::add(const TSituationRow& row)
{
    crAl += row.crAl;
    crRv += row.crRv;
    eng += row.eng;
    pmt += row.pmt;
    sld += row.sld;
}

Currency TSituationSums::rate() const
{
    return PrintedSituationRate(pmt, crRv, crAl);
}

QString TfrmRptSF_S1_S2::StateHeading()
{
    return QStringLiteral("REPUBLIQUE ALGERIENNE DEMOCRATIQUE ET POPULAIRE\n"
                          "MINISTERE DE L'ENSEIGNEMENT SUPERIEUR ET DE LA RECHERCHE SCIENTIFIQUE");
}

TfrmRptSF_S1_S2::TfrmRptSF_S1_S2() : TReportForm(QStringLiteral("RptSF_S1_S2"), QStringLiteral("Situation Financière - S2"))
{
    Param(QStringLiteral("DateD"), DateD);
    Param(QStringLiteral("DateF"), DateF);
    Param(QStringLiteral("Trimestre"), Trimestre);
    BuildDesign();
    report().onBeforePrint = [this] { RptBeforePrint(); };
}

TfrmRptSF_S1_S2::~TfrmRptSF_S1_S2() = default;

void TfrmRptSF_S1_S2::FormCreate()
{
    // A4 landscape, or the wide listing paper in portrait.
    if (TfrmPaper::Ask(nullptr) != 0)
        report().setPage(rpt::PageSetup::Custom(279, 350, QPageLayout::Portrait, report().page().margins));
}

void TfrmRptSF_S1_S2::BuildDesign()
{
    rpt::Report& r = report();
    r.setPage(rpt::PageSetup::Standard(rpt::Paper::A4, QPageLayout::Landscape, rpt::Margins{9, 10, 9, 7}));
    r.setFont(QFont(QStringLiteral("Arial"), 8));
    r.setPrintIfEmpty(true);
    r.setFirstPageHeader(false);
    r.setLastPageFooter(true);

    // Title, on the first page.
    rpt::Band* title = r.addBand(rpt::BandKind::Title, QStringLiteral("bdTitle"), 176);
    title->setColor(QColor(0xE6, 0xE6, 0xE6));
    title->frame().setAll(true);
    rpt::Label* state = AddLabel(title, QStringLiteral("lEtat"), {6, 4, 520, 30}, StateHeading(), Qt::AlignLeft, true);
    state->setWordWrap(true);
    AddLabel(title, QStringLiteral("lUniv"), {6, 38, 520, 15}, QString(), Qt::AlignLeft, true);
    AddLabel(title, QStringLiteral("lFac"), {6, 54, 520, 15});
    AddLabel(title, QStringLiteral("lExer"), {Width - 226, 6, 220, 18}, QString(), Qt::AlignRight, true)->setFontSize(10);
    AddLabel(title, QStringLiteral("lTitre"), {0, 82, Width, 24}, QString(), Qt::AlignHCenter, true)->setFontSize(13);
    AddLabel(title, QStringLiteral("lPeriode"), {0, 108, Width, 18}, QString(), Qt::AlignHCenter, true)->setFontSize(10);
    AddHeadings(title, QStringLiteral("lHTitle"), 132);
    title->onBeforePrint = [this](rpt::Band&, bool&) { TitleBeforePrint(); };

    // From the second page: what the pages before carry, and the headings.
    rpt::Band* header = r.addBand(rpt::BandKind::PageHeader, QStringLiteral("REPORT"), 24 + HeadingHeight);
    header->addShape(QStringLiteral("shpReport"), {0, 0, Width, 22});
    AddLabel(header, QStringLiteral("lReport"), {Edge[3], 4, Edge[4] - Edge[3] - 8, 16}, QStringLiteral("R E P O R T "),
             Qt::AlignRight, true);
    AddFigures(header, QStringLiteral("lRep"), 4, 16, true);
    AddHeadings(header, QStringLiteral("lHReport"), 24);
    header->onBeforePrint = [this](rpt::Band&, bool&) { PutSums(QStringLiteral("lRep"), m_carried, CarriedMask); };

    rpt::Band* group = r.addBand(rpt::BandKind::GroupHeader, QStringLiteral("bdChapitre"), 24);
    group->setGroupField(QStringLiteral("CHAP"));
    rpt::Label* chapter = AddLabel(group, QStringLiteral("lChapitre"), {4, 5, Width - 8, 16}, QString(), Qt::AlignLeft, true);
    chapter->setUnderline(true);
    chapter->setFontSize(9);
    group->onBeforePrint = [this](rpt::Band&, bool&) {
        const QString chap = Current().chap.trimmed();
        const auto title = m_titles.constFind(chap);
        report().label(QStringLiteral("lChapitre"))
            ->setCaption(title == m_titles.constEnd() ? QString() : chap + QStringLiteral(" : ") + *title);
    };

    rpt::Band* detail = r.addBand(rpt::BandKind::Detail, QStringLiteral("bdDetail"), 20);
    detail->addShape(QStringLiteral("shpLigne"), {0, 0, Width, 20});
    AddRules(detail, QStringLiteral("shpCol"), 0, 19, false);
    AddLabel(detail, QStringLiteral("lArt"), {Edge[1], 3, Edge[2] - Edge[1], 14}, QString(), Qt::AlignHCenter);
    AddLabel(detail, QStringLiteral("lPar"), {Edge[2], 3, Edge[3] - Edge[2], 14}, QString(), Qt::AlignHCenter);
    AddLabel(detail, QStringLiteral("lInt"), {Edge[3] + 4, 3, Edge[4] - Edge[3] - 10, 14})->setWordWrap(true);
    AddFigures(detail, QStringLiteral("lLig"), 3, 14, false);
    detail->onBeforePrint = [this](rpt::Band&, bool& print) { DetailBeforePrint(print); };
    detail->onAfterPrint = [this](rpt::Band&, bool printed) { DetailAfterPrint(printed); };

    rpt::Band* footer = r.addBand(rpt::BandKind::GroupFooter, QStringLiteral("bdTotChap"), 24);
    footer->addShape(QStringLiteral("shpTotChap"), {0, 0, Width, 22});
    AddLabel(footer, QStringLiteral("lTotChap"), {Edge[0] + 4, 4, Edge[4] - 12, 16}, QStringLiteral("TOTAL CHAPITRE "),
             Qt::AlignRight, true);
    AddFigures(footer, QStringLiteral("lChap"), 4, 16, true);
    footer->onBeforePrint = [this](rpt::Band&, bool&) {
        PutSums(QStringLiteral("lChap"), m_chapters.value(Current().chap), QString());
    };

    rpt::Band* summary = r.addBand(rpt::BandKind::Summary, QStringLiteral("bdTotGen"), 30);
    summary->addShape(QStringLiteral("shpTotGen"), {0, 4, Width, 24})->setPenWidth(2);
    AddLabel(summary, QStringLiteral("lTotGen"), {Edge[0] + 4, 8, Edge[4] - 12, 16}, QStringLiteral("TOTAL GENERAL "),
             Qt::AlignRight, true);
    AddFigures(summary, QStringLiteral("lGen"), 8, 16, true);
    summary->onBeforePrint = [this](rpt::Band&, bool&) {
        PutSums(QStringLiteral("lGen"), m_total, QString());
        m_summaryPrinted = true;
    };

    // At the foot of each page whose lines do not end the data: what it carries.
    rpt::Band* foot = r.addBand(rpt::BandKind::PageFooter, QStringLiteral("bdReporter"), 24);
    foot->addShape(QStringLiteral("shpReporter"), {0, 0, Width, 22});
    AddLabel(foot, QStringLiteral("lReporter"), {Edge[0] + 4, 4, Edge[4] - 12, 16},
             QStringLiteral("T O T A U X   A REPORTER"), Qt::AlignRight, true);
    AddFigures(foot, QStringLiteral("lCar"), 4, 16, true);
    foot->onBeforePrint = [this](rpt::Band& band, bool&) {
        const bool carries = !report().dataEnded();
        for (const auto& control : band.controls())
            control->setEnabled(carries);
        if (carries)
            PutSums(QStringLiteral("lCar"), m_carried, CarriedMask);
    };
    rpt::Band* page = foot->addChild(QStringLiteral("bdPage"), 22);
    page->addShape(QStringLiteral("shpPageRule"), {0, 0, Width, 4}, rpt::Shape::Form::HorLine)->setPenWidth(2);
    page->addSysData(QStringLiteral("lPage"), {0, 6, Width, 14}, rpt::SysData::Value::PageNumber, QStringLiteral("Page : "))
        ->setAlignment(Qt::AlignHCenter);
    page->onBeforePrint = [this](rpt::Band&, bool&) {
        report().find(QStringLiteral("shpPageRule"))->setEnabled(m_summaryPrinted);
    };
}

void TfrmRptSF_S1_S2::RptBeforePrint()
{
    TSituationPrintRows given = Rows ? Rows() : TSituationPrintRows{};
    m_rows = std::move(given.rows);
    m_titles = std::move(given.chapterTitles);
    // The sums are those of the lines printed, started again at every print.
    m_chapters.clear();
    m_total = {};
    m_carried = {};
    m_summaryPrinted = false;
    std::vector<std::vector<db::Value>> rows;
    rows.reserve(m_rows.size());
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const TSituationRow& row = m_rows[i];
        if (!row.IsChapter()) {
            m_chapters[row.chap].add(row);
            m_total.add(row);
        }
        rows.push_back({db::Value(row.chap), db::Value(qint64(i))});
    }
    m_table.setRows({QStringLiteral("CHAP"), QStringLiteral("ROW")}, std::move(rows));
    report().setRows(&m_table);
}

const TSituationRow& TfrmRptSF_S1_S2::Current() const
{
    return m_rows.at(size_t(db::toInt(report().value(QStringLiteral("ROW")))));
}

void TfrmRptSF_S1_S2::TitleBeforePrint()
{
    rpt::Report& r = report();
    r.label(QStringLiteral("lUniv"))->setCaption(UniversityName.toUpper() + QStringLiteral(", ") + City.toUpper());
    r.label(QStringLiteral("lFac"))->setCaption(FacultyName);
    r.label(QStringLiteral("lExer"))->setCaption(QStringLiteral("EXERCICE : ") + FiscalYear);
    if (Trimestre >= 0 && Trimestre <= 3) {
        const QString ends[] = {QStringLiteral("31/03/"), QStringLiteral("30/06/"), QStringLiteral("30/09/"),
                                QStringLiteral("31/12/")};
        r.label(QStringLiteral("lTitre"))
            ->setCaption(QStringLiteral("SITUATION FINANCIERE ARRETEE AU ") + ends[Trimestre] + FiscalYear);
        r.label(QStringLiteral("lPeriode"))->setCaption(QString());
    } else {
        r.label(QStringLiteral("lTitre"))->setCaption(QStringLiteral("SITUATION FINANCIERE"));
        r.label(QStringLiteral("lPeriode"))
            ->setCaption(QStringLiteral("PERIODE DU ") + DateText(DateD) + QStringLiteral("  AU ") + DateText(DateF));
    }
}

void TfrmRptSF_S1_S2::DetailBeforePrint(bool& print)
{
    const TSituationRow& row = Current();
    // Chapter rows print as their group's heading and total.
    print = !row.IsChapter();
    if (!print)
        return;
    rpt::Report& r = report();
    r.label(QStringLiteral("lArt"))->setCaption(row.art);
    r.label(QStringLiteral("lPar"))->setCaption(row.par);
    rpt::Label* title = r.label(QStringLiteral("lInt"));
    title->setCaption(row.intitule.trimmed());
    const int h = std::max(14, title->wrappedTextHeight());
    title->setHeight(h);
    r.findBand(QStringLiteral("bdDetail"))->setHeight(h + 10);
    r.find(QStringLiteral("shpLigne"))->setHeight(h + 10);
    for (int c = 1; c < 10; ++c)
        r.find(QStringLiteral("shpCol%1").arg(c))->setHeight(h + 9);
    TSituationSums own;
    own.add(row);
    PutSums(QStringLiteral("lLig"), own, QString());
}

void TfrmRptSF_S1_S2::DetailAfterPrint(bool printed)
{
    // Counted once, on the page it printed on: a line pushed to the next
    // page is carried from there.
    if (printed)
        m_carried.add(Current());
}

void TfrmRptSF_S1_S2::PutSums(const QString& prefix, const TSituationSums& sums, const QString& mask)
{
    const Currency values[] = {sums.crAl, sums.crRv, sums.eng, sums.pmt, sums.sld};
    for (int i = 0; i < 6; ++i) {
        rpt::Label* l = report().label(prefix + QString::fromLatin1(Figures[i]));
        if (!l)
            continue;
        l->setFontSize(AmountPoints);
        l->setCaption(i < 5 ? Amount(values[i], mask) : sums.rate().formatMoney() + QStringLiteral(" %"));
        l->shrinkToFit(rpt::MinFontPoints);
    }
}

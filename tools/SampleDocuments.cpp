#include "tools/SampleDocuments.h"

#include "core/GlobalState.h"
#include "data/UDM.h"
#include "reports/DocumentRegistry.h"

namespace {

const QColor Strip(0xE6, 0xE6, 0xE6);

} // namespace

TfrmRptSampleFNM::TfrmRptSampleFNM()
    : TReportForm(QStringLiteral("RptSampleFNM"), QStringLiteral("Liste des lignes budgétaires"))
{
    Param(QStringLiteral("Chap"), Chap);
    rpt::Report& r = report();
    r.setPage(rpt::PageSetup::Standard(rpt::Paper::A4, QPageLayout::Portrait, {10, 10, 8, 5}));
    r.setPrintIfEmpty(true);
    r.onBeforePrint = [this] { RptBeforePrint(); };
    r.onAfterPrint = [this] { RptAfterPrint(); };

    // Columns, in report pixels: 745 wide in all (197 mm).
    rpt::Band* header = r.addBand(rpt::BandKind::PageHeader, QStringLiteral("bdEntete"), 118);
    rpt::Label* lUniv = header->addLabel(QStringLiteral("lUniv"), {0, 0, 480, 18});
    lUniv->setBold(true);
    header->addLabel(QStringLiteral("lFac"), {0, 18, 480, 18});
    rpt::Label* lExer = header->addLabel(QStringLiteral("lExer"), {520, 0, 225, 18});
    lExer->setAlignment(Qt::AlignRight);
    lExer->setBold(true);
    rpt::RoundRect* frame = header->addRoundRect(QStringLiteral("shpTitre"), {172, 44, 400, 34});
    frame->shape().SetPen(QPen(Qt::black, 2));
    frame->shape().SetBrush(QBrush(QColor(0xF2, 0xF2, 0xF2)));
    frame->shape().SetEllipseWidth(15);
    frame->shape().SetEllipseHeight(15);
    rpt::Label* title = header->addLabel(QStringLiteral("lTitre"), {172, 51, 400, 22}, r.title());
    title->setAlignment(Qt::AlignHCenter);
    title->setFontSize(14);
    title->setBold(true);
    rpt::Label* strip = header->addLabel(QStringLiteral("lBandeau"), {0, 92, 745, 24});
    strip->setColor(Strip);
    strip->frame().setAll(true);
    struct Heading {
        const char* name;
        int left;
        int width;
        const char* text;
        Qt::Alignment align;
    };
    const Heading headings[] = {
        {"lhChap", 4, 50, "Chap.", Qt::AlignLeft},
        {"lhArt", 58, 34, "Art.", Qt::AlignLeft},
        {"lhPar", 94, 34, "Par.", Qt::AlignLeft},
        {"lhIntitule", 132, 355, "Intitulé", Qt::AlignLeft},
        {"lhBp", 490, 125, "Primitif", Qt::AlignRight},
        {"lhBs", 617, 124, "Modificatif", Qt::AlignRight},
    };
    for (const Heading& h : headings) {
        rpt::Label* l = header->addLabel(QString::fromLatin1(h.name), {h.left, 96, h.width, 18},
                                         QString::fromUtf8(h.text));
        l->setBold(true);
        l->setAlignment(h.align);
    }

    rpt::Band* chapter = r.addBand(rpt::BandKind::GroupHeader, QStringLiteral("bdChapitre"), 24);
    chapter->setGroupField(QStringLiteral("CHAP"));
    rpt::Label* lChapitre = chapter->addLabel(QStringLiteral("lChapitre"), {4, 4, 737, 18});
    lChapitre->setBold(true);
    lChapitre->setUnderline(true);
    chapter->onBeforePrint = [this, lChapitre](rpt::Band&, bool&) {
        m_chapterTitle = qFNM->asString(QStringLiteral("ART")).trimmed().isEmpty()
                       ? qFNM->asString(QStringLiteral("INTITULE")).trimmed()
                       : QString();
        lChapitre->setCaption(qFNM->asString(QStringLiteral("CHAP")).trimmed()
                              + (m_chapterTitle.isEmpty() ? QString() : QStringLiteral(" : ") + m_chapterTitle));
    };

    rpt::Band* detail = r.addBand(rpt::BandKind::Detail, QStringLiteral("bdDetail"), 20);
    detail->addDataText(QStringLiteral("dbArt"), {58, 2, 34, 16}, QStringLiteral("ART"));
    detail->addDataText(QStringLiteral("dbPar"), {94, 2, 34, 16}, QStringLiteral("PAR"));
    rpt::DataText* title2 = detail->addDataText(QStringLiteral("dbIntitule"), {132, 2, 355, 16}, QStringLiteral("INTITULE"));
    title2->setWordWrap(true);
    title2->setAutoStretch(true);
    detail->addDataText(QStringLiteral("dbMtBp"), {490, 2, 125, 16}, QStringLiteral("MT_BP"), rpt::MoneyMask)
        ->setAlignment(Qt::AlignRight);
    detail->addDataText(QStringLiteral("dbMtBs"), {617, 2, 124, 16}, QStringLiteral("MT_BS"), rpt::MoneyMask)
        ->setAlignment(Qt::AlignRight);
    for (int x : {54, 92, 128, 488, 615})
        detail->addShape(QStringLiteral("shpCol%1").arg(x), {x, 0, 1, 20}, rpt::Shape::Form::VertLine)
            ->setStretchWithBand(true);
    // Chapter rows head their group; only the lines print as rows.
    detail->onBeforePrint = [this](rpt::Band&, bool& print) {
        print = !qFNM->asString(QStringLiteral("ART")).trimmed().isEmpty();
    };

    rpt::Band* total = r.addBand(rpt::BandKind::GroupFooter, QStringLiteral("bdTotChap"), 26);
    total->frame().top = true;
    total->addLabel(QStringLiteral("lTotChap"), {132, 4, 355, 18}, QStringLiteral("Total chapitre"))->setBold(true);
    total->addSum(QStringLiteral("expTotChapBp"), {490, 4, 125, 18}, QStringLiteral("MT_BP"), rpt::Reset::Group)
        ->setAlignment(Qt::AlignRight);
    total->addSum(QStringLiteral("expTotChapBs"), {617, 4, 124, 18}, QStringLiteral("MT_BS"), rpt::Reset::Group)
        ->setAlignment(Qt::AlignRight);

    rpt::Band* summary = r.addBand(rpt::BandKind::Summary, QStringLiteral("bdTotal"), 34);
    summary->frame().top = true;
    summary->frame().width = 2;
    summary->addLabel(QStringLiteral("lTotal"), {132, 8, 355, 18}, QStringLiteral("Total général"))->setBold(true);
    for (const auto& [name, field, left, width] :
         {std::tuple{"expTotalBp", "MT_BP", 490, 125}, std::tuple{"expTotalBs", "MT_BS", 617, 124}}) {
        rpt::Expr* e = summary->addSum(QString::fromLatin1(name), {left, 8, width, 18}, QString::fromLatin1(field),
                                       rpt::Reset::Report);
        e->setAlignment(Qt::AlignRight);
        e->setBold(true);
    }

    rpt::Band* footer = r.addBand(rpt::BandKind::PageFooter, QStringLiteral("bdPied"), 22);
    footer->addSysData(QStringLiteral("lImprime"), {0, 4, 300, 16}, rpt::SysData::Value::DateTime,
                       QStringLiteral("Imprimé le "));
    footer->addSysData(QStringLiteral("lPage"), {300, 4, 145, 16}, rpt::SysData::Value::PageNumber,
                       QStringLiteral("Page : "))
        ->setAlignment(Qt::AlignHCenter);
}

TfrmRptSampleFNM::~TfrmRptSampleFNM() = default;

void TfrmRptSampleFNM::RptBeforePrint()
{
    rpt::Report& r = report();
    r.label(QStringLiteral("lUniv"))->setCaption(UniversityName + QStringLiteral(", ") + City);
    r.label(QStringLiteral("lFac"))->setCaption(FacultyName);
    r.label(QStringLiteral("lExer"))->setCaption(QStringLiteral("Exercice : ") + FiscalYear);
    const QString sql = QStringLiteral("SELECT ID_FNM, CHAP, ART, PAR, INTITULE, MT_BP, MT_BS FROM FNM ")
                      + (Chap.isEmpty() ? QString() : QStringLiteral("WHERE CHAP=:CHAP "))
                      + QStringLiteral("ORDER BY CHAP, ART, PAR");
    qFNM = std::make_unique<db::Query>(DM->LURDO, sql);
    if (!Chap.isEmpty())
        qFNM->setParam(QStringLiteral("CHAP"), Chap);
    qFNM->open();
    r.setDataSet(qFNM.get());
}

void TfrmRptSampleFNM::RptAfterPrint()
{
    if (qFNM)
        qFNM->close();
}

void RegisterSampleDocuments()
{
    RegisterDocument(QStringLiteral("URptSampleFNM"), [] { return std::make_unique<TfrmRptSampleFNM>(); });
}

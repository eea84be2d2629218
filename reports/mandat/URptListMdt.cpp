#include "reports/mandat/URptListMdt.h"

#include "core/GlobalState.h"
#include "ui/QueryTableModel.h"

namespace {

// Report pixels of the columns (699 wide in all: 185 mm).
constexpr int kNatureLeft = 320, kNatureWidth = 377;                // without the line's column
constexpr int kNatureLeftImput = 436, kNatureWidthImput = 261;      // with it

} // namespace

TfrmRptListMdt::TfrmRptListMdt()
    : TListingReportForm(QStringLiteral("RptListMdt"), QStringLiteral("Listing des Mandats"))
{
    Param(QStringLiteral("IdFnm"), IdFnm);
    rpt::Report& r = report();
    r.setPage(rpt::PageSetup::Standard(rpt::Paper::A4, QPageLayout::Portrait, {8, 10, 15, 10}));
    r.setFont(QFont(QStringLiteral("Arial"), 8));
    r.setPrintIfEmpty(true);
    r.setFirstPageHeader(true);
    r.setLastPageFooter(true);
    r.onBeforePrint = [this] { RptListMdtBeforePrint(); };

    rpt::Band* header = r.addBand(rpt::BandKind::PageHeader, QStringLiteral("bdEntete"), 111);
    rpt::Label* lUniv = header->addLabel(QStringLiteral("lUniv"), {0, 0, 460, 16});
    lUniv->setBold(true);
    lUniv->setFontSize(9);
    header->addLabel(QStringLiteral("lFac"), {0, 16, 460, 16})->setFontSize(9);
    rpt::Label* lImput = header->addLabel(QStringLiteral("lImput"), {0, 32, 600, 16});
    lImput->setBold(true);
    lImput->setFontSize(9);
    rpt::Label* lExer = header->addLabel(QStringLiteral("lExer"), {480, 0, 219, 16});
    lExer->setAlignment(Qt::AlignRight);
    lExer->setBold(true);
    lExer->setFontSize(9);
    rpt::Label* title = header->addLabel(QStringLiteral("lTitre"), {150, 52, 400, 24}, r.title());
    title->setAlignment(Qt::AlignHCenter);
    title->setFontSize(14);
    title->setBold(true);
    AddHeadingStrip(header, {0, 86, 699, 22}, QColor(230, 230, 230),
                    {{"lhNo", 2, 32, "No ", Qt::AlignRight},
                     {"lhNoMdt", 38, 50, "No Mdt", Qt::AlignHCenter},
                     {"lhDate", 92, 70, "Date ", Qt::AlignHCenter},
                     {"lhMontant", 166, 150, "Montant", Qt::AlignRight},
                     {"lhMtImput", 322, 110, "MtImput", Qt::AlignRight},
                     {"lhNature", kNatureLeft + 4, kNatureWidth - 4, "Nature", Qt::AlignLeft}});

    rpt::Band* detail = r.addBand(rpt::BandKind::Detail, QStringLiteral("bdDetail"), 21);
    detail->addCount(QStringLiteral("lNo"), {2, 3, 32, 15}, rpt::Reset::Report)->setAlignment(Qt::AlignRight);
    detail->addDataText(QStringLiteral("dbNoMdt"), {38, 3, 50, 15}, QStringLiteral("NO_MDT"))
        ->setAlignment(Qt::AlignHCenter);
    detail->addDataText(QStringLiteral("dbDateMdt"), {92, 3, 70, 15}, QStringLiteral("DATE_MDT"))
        ->setAlignment(Qt::AlignHCenter);
    rpt::DataText* amount = detail->addDataText(QStringLiteral("dbMontant"), {166, 3, 150, 15},
                                                QStringLiteral("MONTANT"), rpt::MoneyMask);
    amount->setAlignment(Qt::AlignRight);
    amount->setBold(true);
    detail->addDataText(QStringLiteral("dbLibMontant"), {322, 3, 110, 15}, QStringLiteral("LIB_MONTANT"),
                        rpt::MoneyMask)
        ->setAlignment(Qt::AlignRight);
    AddTextColumn(detail, QStringLiteral("dbNature"), {kNatureLeft + 4, 3, kNatureWidth - 4, 15},
                  QStringLiteral("NATURE"));

    rpt::Band* footer = r.addBand(rpt::BandKind::PageFooter, QStringLiteral("bdPied"), 19);
    footer->addSysData(QStringLiteral("lImprime"), {0, 3, 220, 14}, rpt::SysData::Value::DateTime, QString());
    footer->addSysData(QStringLiteral("lPage"), {250, 3, 200, 14}, rpt::SysData::Value::PageNumber,
                       QStringLiteral("Page : "))
        ->setAlignment(Qt::AlignHCenter);

    rpt::Band* summary = r.addBand(rpt::BandKind::Summary, QStringLiteral("bdTotal"), 31);
    summary->frame().top = true;
    summary->addLabel(QStringLiteral("lTotal"), {38, 8, 100, 16}, QStringLiteral("Total : "))->setBold(true);
    rpt::Expr* total = summary->addSum(QStringLiteral("lTotMontant"), {146, 8, 170, 16}, QStringLiteral("MONTANT"),
                                       rpt::Reset::Report);
    total->setAlignment(Qt::AlignRight);
    total->setBold(true);
    rpt::Expr* totalImput = summary->addSum(QStringLiteral("lTotMtImput"), {322, 8, 110, 16},
                                            QStringLiteral("LIB_MONTANT"), rpt::Reset::Report);
    totalImput->setAlignment(Qt::AlignRight);
    totalImput->setBold(true);
}

void TfrmRptListMdt::ReadOwnRows(QueryTableModel& rows)
{
    if (!ReadListing)
        return;
    if (const QString caption = ReadListing(rows, IdFnm); !caption.isEmpty())
        ImputCaption = caption;
}

void TfrmRptListMdt::RptListMdtBeforePrint()
{
    rpt::Report& r = report();
    r.label(QStringLiteral("lUniv"))->setCaption(UniversityName + QStringLiteral(", ") + City);
    r.label(QStringLiteral("lFac"))->setCaption(FacultyName);
    r.label(QStringLiteral("lExer"))->setCaption(QStringLiteral("Exercice : ") + FiscalYear);
    r.label(QStringLiteral("lImput"))->setCaption(ImputCaption);
    // The line's column, only for a salary line; "Nature" takes its room otherwise.
    const bool imput = !ImputCaption.isEmpty();
    for (const char* name : {"lhMtImput", "dbLibMontant", "lTotMtImput"})
        r.find(QString::fromLatin1(name))->setEnabled(imput);
    const int left = imput ? kNatureLeftImput : kNatureLeft;
    const int width = imput ? kNatureWidthImput : kNatureWidth;
    for (const char* name : {"lhNature", "dbNature"}) {
        rpt::Control* c = r.find(QString::fromLatin1(name));
        c->setLeft(left + 4);
        c->setWidth(width - 4);
    }
}

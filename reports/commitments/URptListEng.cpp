#include "reports/commitments/URptListEng.h"

#include "core/GlobalState.h"
#include "ui/QueryTableModel.h"

TfrmRptListEng::TfrmRptListEng()
    : TListingReportForm(QStringLiteral("RptListEng"), QStringLiteral("Listing des Engagements"))
{
    Param(QStringLiteral("Chap"), Chap);
    rpt::Report& r = report();
    r.setPage(rpt::PageSetup::Standard(rpt::Paper::A4, QPageLayout::Portrait, {10, 10, 8, 5}));
    r.setFont(QFont(QStringLiteral("Arial"), 8));
    r.setPrintIfEmpty(true);
    r.setFirstPageHeader(true);
    r.setLastPageFooter(true);
    r.onBeforePrint = [this] { RptListEngBeforePrint(); };

    // Columns, in report pixels: 744 wide in all (197 mm).
    rpt::Band* header = r.addBand(rpt::BandKind::PageHeader, QStringLiteral("bdEntete"), 78);
    rpt::Label* lblStatut = header->addLabel(QStringLiteral("lblStatut"), {0, 0, 480, 16});
    lblStatut->setFontSize(9);
    rpt::Label* lExer = header->addLabel(QStringLiteral("lExer"), {520, 0, 224, 16});
    lExer->setAlignment(Qt::AlignRight);
    lExer->setFontSize(9);
    rpt::Label* title = header->addLabel(QStringLiteral("lTitre"), {172, 24, 400, 22}, r.title());
    title->setAlignment(Qt::AlignHCenter);
    title->setFontSize(14);
    title->setBold(true);
    AddHeadingStrip(header, {0, 54, 744, 22}, QColor(230, 230, 230),
                    {{"lhNoFE", 2, 48, "No FE", Qt::AlignHCenter},
                     {"lhDate", 52, 70, "Date ", Qt::AlignHCenter},
                     {"lhImput", 124, 96, "Imputation", Qt::AlignHCenter},
                     {"lhOldSolde", 222, 116, "Ancien solde", Qt::AlignRight},
                     {"lhMontant", 340, 116, "Montant ", Qt::AlignRight},
                     {"lhSolde", 458, 116, "Solde", Qt::AlignRight},
                     {"lhVisa", 584, 84, "N° Visa", Qt::AlignLeft},
                     {"lhDateVisa", 670, 72, "Date visa ", Qt::AlignHCenter}});

    rpt::Band* detail = r.addBand(rpt::BandKind::Detail, QStringLiteral("bdDetail"), 16);
    detail->addDataText(QStringLiteral("dbNoEng"), {2, 1, 48, 14}, QStringLiteral("NO_ENG"))
        ->setAlignment(Qt::AlignHCenter);
    detail->addDataText(QStringLiteral("dbDateEng"), {52, 1, 70, 14}, QStringLiteral("DATE_ENG"))
        ->setAlignment(Qt::AlignHCenter);
    rpt::DataText* lImp = detail->addDataText(QStringLiteral("lImp"), {124, 1, 96, 14}, QStringLiteral("IMPUT"));
    lImp->setAlignment(Qt::AlignHCenter);
    lImp->setBold(true);
    detail->addDataText(QStringLiteral("lOldSolde"), {222, 1, 116, 14}, QStringLiteral("OLD_SOLDE"), rpt::MoneyMask)
        ->setAlignment(Qt::AlignRight);
    detail->addDataText(QStringLiteral("dbMontant"), {340, 1, 116, 14}, QStringLiteral("MONTANT"), rpt::MoneyMask)
        ->setAlignment(Qt::AlignRight);
    detail->addDataText(QStringLiteral("lSolde"), {458, 1, 116, 14}, QStringLiteral("NEW_SOLDE"), rpt::MoneyMask)
        ->setAlignment(Qt::AlignRight);
    detail->addDataText(QStringLiteral("dbNoVisa"), {584, 1, 84, 14}, QStringLiteral("NO_VISA"))->setBold(true);
    rpt::DataText* dateVisa = detail->addDataText(QStringLiteral("dbDateVisa"), {670, 1, 72, 14},
                                                  QStringLiteral("DATE_VISA"));
    dateVisa->setAlignment(Qt::AlignHCenter);
    dateVisa->setBold(true);

    // The total of the amounts printed, each with its stored sign.
    rpt::Band* summary = r.addBand(rpt::BandKind::Summary, QStringLiteral("ReportBand2"), 24);
    summary->frame().top = true;
    rpt::Expr* total = summary->addSum(QStringLiteral("lTotMontant"), {300, 5, 156, 16}, QStringLiteral("MONTANT"),
                                       rpt::Reset::Report, rpt::MoneyMask);
    total->setAlignment(Qt::AlignRight);
    total->setBold(true);

    rpt::Band* footer = r.addBand(rpt::BandKind::PageFooter, QStringLiteral("ReportBand1"), 20);
    footer->addSysData(QStringLiteral("lPage"), {272, 4, 200, 14}, rpt::SysData::Value::PageNumber,
                       QStringLiteral("Page : "))
        ->setAlignment(Qt::AlignHCenter);
}

void TfrmRptListEng::ReadOwnRows(QueryTableModel& rows)
{
    if (ReadListing)
        ReadListing(rows, Chap.trimmed());
}

void TfrmRptListEng::RptListEngBeforePrint()
{
    report().label(QStringLiteral("lblStatut"))->setCaption(UniversityName);
    report().label(QStringLiteral("lExer"))->setCaption(QStringLiteral("Exercice : ") + FiscalYear);
}

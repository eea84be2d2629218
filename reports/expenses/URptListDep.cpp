#include "reports/expenses/URptListDep.h"

#include "core/GlobalState.h"
#include "ui/QueryTableModel.h"

TfrmRptListDep::TfrmRptListDep()
    : TListingReportForm(QStringLiteral("RptListDep"), QStringLiteral("Listing des Factures"))
{
    Param(QStringLiteral("TypeDep"), TypeDep);
    rpt::Report& r = report();
    r.setPage(rpt::PageSetup::Standard(rpt::Paper::Letter, QPageLayout::Portrait, {10, 10, 8, 5}));
    r.setFont(QFont(QStringLiteral("Arial"), 8));
    r.setPrintIfEmpty(true);
    r.setFirstPageHeader(true);
    r.setLastPageFooter(true);
    r.onBeforePrint = [this] { RptListDepBeforePrint(); };

    // Columns, in report pixels: 767 wide in all (202.9 mm).
    rpt::Band* header = r.addBand(rpt::BandKind::PageHeader, QStringLiteral("bdEntete"), 80);
    header->addLabel(QStringLiteral("lblStatut"), {0, 0, 500, 16})->setFontSize(9);
    rpt::Label* lExer = header->addLabel(QStringLiteral("lExer"), {540, 0, 227, 16});
    lExer->setAlignment(Qt::AlignRight);
    lExer->setFontSize(9);
    rpt::Label* title = header->addLabel(QStringLiteral("lTitre"), {183, 24, 400, 24},
                                         QStringLiteral("Listing des Dépenses"));
    title->setAlignment(Qt::AlignHCenter);
    title->setFontSize(14);
    title->setBold(true);
    AddHeadingStrip(header, {0, 56, 767, 22}, QColor(230, 230, 230),
                    {{"lhNoDep", 2, 78, "No Facture", Qt::AlignLeft},
                     {"lhDateDep", 82, 70, "Date ", Qt::AlignHCenter},
                     {"lhNomBen", 156, 208, "Bénéficiaire", Qt::AlignLeft},
                     {"lhImput", 366, 80, "Imput.", Qt::AlignLeft},
                     {"lhMontant", 448, 125, "Montant ", Qt::AlignRight},
                     {"lhMandat", 580, 116, "N° et Date Mandat", Qt::AlignHCenter},
                     {"lhNoEng", 702, 63, "N° Eng", Qt::AlignLeft}});

    rpt::Band* detail = r.addBand(rpt::BandKind::Detail, QStringLiteral("bdDetail"), 16);
    detail->addDataText(QStringLiteral("dbNoDep"), {2, 1, 78, 14}, QStringLiteral("NO_DEPENSE"));
    detail->addDataText(QStringLiteral("dbDateDep"), {82, 1, 70, 14}, QStringLiteral("DATE_DEPENSE"))
        ->setAlignment(Qt::AlignHCenter);
    AddTextColumn(detail, QStringLiteral("dbNomBen"), {156, 1, 204, 14}, QStringLiteral("NOM_BEN"));
    detail->addDataText(QStringLiteral("dbImput"), {366, 1, 80, 14}, QStringLiteral("IMPUT"));
    detail->addDataText(QStringLiteral("dbMontant"), {448, 1, 125, 14}, QStringLiteral("MONTANT"), rpt::MoneyMask)
        ->setAlignment(Qt::AlignRight);
    detail->addDataText(QStringLiteral("dbNoMdt"), {580, 1, 40, 14}, QStringLiteral("NO_MDT"));
    detail->addDataText(QStringLiteral("dbDateMdt"), {620, 1, 76, 14}, QStringLiteral("DATE_MDT"))
        ->setAlignment(Qt::AlignRight);
    detail->addDataText(QStringLiteral("dbNoEng"), {702, 1, 63, 14}, QStringLiteral("NO_ENG"));

    rpt::Band* footer = r.addBand(rpt::BandKind::PageFooter, QStringLiteral("bdPied"), 20);
    footer->addSysData(QStringLiteral("lPage"), {283, 4, 200, 14}, rpt::SysData::Value::PageNumber, QString())
        ->setAlignment(Qt::AlignHCenter);

    rpt::Band* summary = r.addBand(rpt::BandKind::Summary, QStringLiteral("bdTotal"), 26);
    summary->frame().top = true;
    summary->addLabel(QStringLiteral("lblTotal"), {366, 6, 80, 16}, QStringLiteral("Total : "))->setBold(true);
    rpt::Expr* total = summary->addSum(QStringLiteral("lTotal"), {448, 6, 125, 16}, QStringLiteral("MONTANT"),
                                       rpt::Reset::Report);
    total->setAlignment(Qt::AlignRight);
    total->setBold(true);
}

void TfrmRptListDep::ReadOwnRows(QueryTableModel& rows)
{
    if (ReadListing)
        ReadListing(rows, TypeDep);
}

void TfrmRptListDep::RptListDepBeforePrint()
{
    report().label(QStringLiteral("lblStatut"))->setCaption(UniversityName + QStringLiteral(", ") + City);
    report().label(QStringLiteral("lExer"))->setCaption(QStringLiteral("Exercice : ") + FiscalYear);
}

#include "reports/budget/URptEtVir.h"

#include "core/GlobalState.h"
#include "core/Routines.h"
#include "data/UDM.h"

#include <algorithm>

namespace {

// The columns: chapter, article, paragraph, title and the three amounts.
constexpr int ColLeft[] = {0, 70, 120, 170, 600, 750, 900};
constexpr int ColRight = 1050;
constexpr int AmountWidth = 150;
constexpr int TitleWidth = 430;

QString Quote()
{
    return QStringLiteral("\"");
}

} // namespace

namespace transferstatement {

QList<TTransferStatementRow> Read(qint64 idVir)
{
    // What the line had before this transfer: its budgets and the transfers
    // dated earlier or, of the same day, recorded before it.
    db::Query q(DM->LURDO,
                QStringLiteral(
                    "SELECT A.SENS, A.MONTANT, B.CHAP, B.ART, B.PAR, B.INTITULE, "
                    "COALESCE(B.MT_BP, 0) + COALESCE(B.MT_BS, 0) AS BUDGET, "
                    "(SELECT SUM(IIF(P.SENS=:GIVING, -P.MONTANT, P.MONTANT)) FROM VIREMENT P "
                    " WHERE P.ID_FNM=A.ID_FNM AND (P.DATE_VIR<A.DATE_VIR OR "
                    " (P.DATE_VIR=A.DATE_VIR AND P.ID_VIR<A.ID_VIR))) AS PRIOR "
                    "FROM VIREMENT A LEFT JOIN FNM B ON A.ID_FNM=B.ID_FNM "
                    "WHERE A.ID_VIR=:ID_VIR ORDER BY A.SENS, B.CHAP, B.ART, B.PAR"));
    q.setParam(QStringLiteral("GIVING"), toDbValue(TransferSide::Giving));
    q.setParam(QStringLiteral("ID_VIR"), idVir);
    q.open();
    QList<TTransferStatementRow> rows;
    for (q.first(); !q.eof(); q.next()) {
        TTransferStatementRow row;
        row.side = fromDb<TransferSide>(q.asString(QStringLiteral("SENS")).trimmed());
        row.chap = q.asString(QStringLiteral("CHAP")).trimmed();
        row.art = q.asString(QStringLiteral("ART")).trimmed();
        row.par = q.asString(QStringLiteral("PAR")).trimmed();
        row.title = q.asString(QStringLiteral("INTITULE")).trimmed();
        row.amount = q.asCurrency(QStringLiteral("MONTANT"));
        row.allocated = q.asCurrency(QStringLiteral("BUDGET")) + q.asCurrency(QStringLiteral("PRIOR"));
        row.revised = row.side == TransferSide::Giving ? row.allocated - row.amount : row.allocated + row.amount;
        rows.append(row);
    }
    return rows;
}

TTransferStatementTotals Totals(const QList<TTransferStatementRow>& rows, TransferSide side)
{
    TTransferStatementTotals t;
    for (const TTransferStatementRow& row : rows) {
        if (row.side != side)
            continue;
        t.allocated += row.allocated;
        t.amount += row.amount;
        t.revised += row.revised;
    }
    return t;
}

} // namespace transferstatement

TfrmRptEtVir::TfrmRptEtVir() : TReportForm(QStringLiteral("RptEtVir"), QStringLiteral("Etat des virements Inter-Articles"))
{
    Param(QStringLiteral("IdVir"), IdVir);
    Param(QStringLiteral("DateVir"), DateVir);
    BuildDesign();
    report().onBeforePrint = [this] { RptBeforePrint(); };
}

TfrmRptEtVir::~TfrmRptEtVir() = default;

void TfrmRptEtVir::BuildDesign()
{
    rpt::Report& r = report();
    r.setPage(rpt::PageSetup::Standard(rpt::Paper::A4, QPageLayout::Landscape, rpt::Margins{10, 10, 10, 10}));
    r.setFont(QFont(QStringLiteral("Arial"), 10));

    const auto label = [](rpt::Band* band, const char* name, const QRect& rect, const QString& caption = QString(),
                          Qt::Alignment align = Qt::AlignLeft, bool bold = false) {
        rpt::Label* l = band->addLabel(QString::fromLatin1(name), rect, caption);
        l->setAlignment(align);
        l->setBold(bold);
        return l;
    };

    rpt::Band* header = r.addBand(rpt::BandKind::PageHeader, QStringLiteral("pgHeader"), 66);
    label(header, "lMinistere", {0, 0, 600, 18},
          QStringLiteral("MINISTERE DE L'ENSEIGNEMENT SUPERIEUR ET DE LA RECHERCHE SCIENTIFIQUE"), Qt::AlignLeft, true);
    label(header, "lUniv", {0, 20, 600, 18}, QString(), Qt::AlignLeft, true);
    label(header, "lFacHeader", {0, 40, 600, 18});
    header->onBeforePrint = [this](rpt::Band&, bool&) {
        report().label(QStringLiteral("lUniv"))->setCaption(UniversityName + QStringLiteral(", ") + City);
        report().label(QStringLiteral("lFacHeader"))->setCaption(FacultyName);
    };

    rpt::Band* group = r.addBand(rpt::BandKind::GroupHeader, QStringLiteral("bdGroupHeader"), 150);
    group->setGroupField(QStringLiteral("SENS"));
    label(group, "lFac", {0, 6, ColRight, 20}, QString(), Qt::AlignHCenter, true);
    label(group, "lCredit", {0, 36, ColRight, 24}, QString(), Qt::AlignHCenter, true)->setFontSize(13);
    label(group, "lExer", {0, 66, ColRight, 20}, QString(), Qt::AlignHCenter, true);
    rpt::RoundRect* frame = group->addRoundRect(QStringLiteral("rrHeadings"), {0, 98, ColRight, 46});
    frame->shape().SetEllipseWidth(12);
    frame->shape().SetEllipseHeight(12);
    const char* headingNames[] = {"lHChap", "lHArt", "lHPar", "lHInt", "lHCrInit", "lHMontant", "lHCrRev"};
    const QString headings[] = {QStringLiteral("CHAP"), QStringLiteral("ART"), QStringLiteral("PAR"),
                                QStringLiteral("Intitulé"), QStringLiteral("Crédits alloués"),
                                QStringLiteral("Montant du Transfert"), QStringLiteral("Crédits Révisés")};
    for (int c = 0; c < 7; ++c) {
        const int right = c + 1 < 7 ? ColLeft[c + 1] : ColRight;
        label(group, headingNames[c], {ColLeft[c], 110, right - ColLeft[c], 20}, headings[c], Qt::AlignHCenter, true);
    }
    group->onBeforePrint = [this](rpt::Band&, bool&) { bdGroupHeaderBeforePrint(); };

    rpt::Band* detail = r.addBand(rpt::BandKind::Detail, QStringLiteral("bdDetail"), 28);
    detail->addShape(QStringLiteral("shpRow"), {0, 0, ColRight, 29});
    for (int c = 1; c < 7; ++c)
        detail->addShape(QStringLiteral("shpCol%1").arg(c), {ColLeft[c] - 4, 0, 8, 29}, rpt::Shape::Form::VertLine);
    label(detail, "lChap", {ColLeft[0], 5, 70, 18}, QString(), Qt::AlignHCenter);
    label(detail, "lArt", {ColLeft[1], 5, 50, 18}, QString(), Qt::AlignHCenter);
    label(detail, "lPar", {ColLeft[2], 5, 50, 18}, QString(), Qt::AlignHCenter);
    label(detail, "lInt", {ColLeft[3] + 4, 4, TitleWidth - 8, 20})->setWordWrap(true);
    label(detail, "lCrInit", {ColLeft[4] + 4, 5, AmountWidth - 10, 18}, QString(), Qt::AlignRight);
    label(detail, "dbMontant", {ColLeft[5] + 4, 5, AmountWidth - 10, 18}, QString(), Qt::AlignRight);
    label(detail, "lCrRev", {ColLeft[6] + 4, 5, AmountWidth - 10, 18}, QString(), Qt::AlignRight);
    detail->onBeforePrint = [this](rpt::Band&, bool&) { bdDetailBeforePrint(); };

    rpt::Band* footer = r.addBand(rpt::BandKind::GroupFooter, QStringLiteral("bdGroupFooter"), 48);
    footer->addShape(QStringLiteral("shpFooter"), {0, 0, ColRight, 4}, rpt::Shape::Form::HorLine);
    label(footer, "lTotaux", {ColLeft[3], 14, ColLeft[4] - ColLeft[3] - 10, 20}, QStringLiteral("T O T A U X   "),
          Qt::AlignRight, true);
    const char* totals[] = {"lTotCr", "lTotTr", "lTotRe"};
    for (int i = 0; i < 3; ++i) {
        const int left = ColLeft[4 + i];
        footer->addShape(QStringLiteral("shpTot%1").arg(i + 1), {left, 8, AmountWidth, 32});
        label(footer, totals[i], {left + 4, 14, AmountWidth - 10, 20}, QString(), Qt::AlignRight, true);
    }
    footer->onBeforePrint = [this](rpt::Band&, bool&) { bdGroupFooterBeforePrint(); };

    rpt::Band* summary = r.addBand(rpt::BandKind::Summary, QStringLiteral("ReportBand1"), 90);
    label(summary, "lDate", {ColLeft[4], 20, ColRight - ColLeft[4], 20}, QString(), Qt::AlignHCenter);
    label(summary, "lSignataire", {ColLeft[4], 50, ColRight - ColLeft[4], 22}, QString(), Qt::AlignHCenter, true);
    summary->onBeforePrint = [this](rpt::Band&, bool&) {
        report().label(QStringLiteral("lDate"))->setCaption(QStringLiteral("Fait le  ") + DateText(QDate::currentDate()));
        report().label(QStringLiteral("lSignataire"))->setCaption(Signatory);
    };
}

void TfrmRptEtVir::RptBeforePrint()
{
    // The rows are read again at every print; the totals are theirs.
    m_rows = transferstatement::Read(IdVir);
    std::vector<std::vector<db::Value>> rows;
    rows.reserve(size_t(m_rows.size()));
    for (int i = 0; i < m_rows.size(); ++i)
        rows.push_back({db::Value(toDb(m_rows[i].side)), db::Value(qint64(i))});
    m_table.setRows({QStringLiteral("SENS"), QStringLiteral("ROW")}, std::move(rows));
    report().setRows(&m_table);
}

TransferSide TfrmRptEtVir::CurrentSide() const
{
    return fromDb<TransferSide>(db::toText(report().value(QStringLiteral("SENS"))));
}

void TfrmRptEtVir::bdGroupHeaderBeforePrint()
{
    const bool giving = CurrentSide() == TransferSide::Giving;
    report().label(QStringLiteral("lFac"))->setCaption(FacultyName);
    report().label(QStringLiteral("lCredit"))
        ->setCaption(QStringLiteral("ETAT ") + Quote() + (giving ? QStringLiteral("A") : QStringLiteral("B")) + Quote()
                     + (giving ? QStringLiteral("  -   CREDITS ANNULES") : QStringLiteral("  -   CREDITS OUVERTS")));
    report().label(QStringLiteral("lExer"))->setCaption(QStringLiteral("Exercice  ") + FiscalYear);
}

void TfrmRptEtVir::bdDetailBeforePrint()
{
    rpt::Report& r = report();
    const TTransferStatementRow& row = m_rows.at(int(db::toInt(r.value(QStringLiteral("ROW")))));
    r.label(QStringLiteral("lChap"))->setCaption(row.chap);
    r.label(QStringLiteral("lArt"))->setCaption(row.art);
    r.label(QStringLiteral("lPar"))->setCaption(row.par);
    r.label(QStringLiteral("lCrInit"))->setCaption(row.allocated.formatMoney());
    r.label(QStringLiteral("dbMontant"))->setCaption(rpt::FormatAmount(row.amount, rpt::MoneyMask).trimmed());
    r.label(QStringLiteral("lCrRev"))->setCaption(row.revised.formatMoney());

    // The row is as tall as its title wrapped; the values stay centred in it.
    rpt::Label* title = r.label(QStringLiteral("lInt"));
    title->setCaption(row.title);
    const int h = std::max(16, title->wrappedTextHeight());
    title->setHeight(h + 2);
    rpt::Band& band = *r.findBand(QStringLiteral("bdDetail"));
    band.setHeight(h + 9);
    r.find(QStringLiteral("shpRow"))->setHeight(h + 10);
    for (int c = 1; c < 7; ++c)
        r.find(QStringLiteral("shpCol%1").arg(c))->setHeight(h + 10);
    for (const char* name : {"lChap", "lArt", "lPar", "lCrInit", "dbMontant", "lCrRev"}) {
        rpt::Control* c = r.find(QString::fromLatin1(name));
        c->setTop((h + 9 - c->height()) / 2);
    }
}

void TfrmRptEtVir::bdGroupFooterBeforePrint()
{
    const TTransferStatementTotals t = transferstatement::Totals(m_rows, CurrentSide());
    report().label(QStringLiteral("lTotCr"))->setCaption(t.allocated.formatMoney());
    report().label(QStringLiteral("lTotTr"))->setCaption(t.amount.formatMoney());
    report().label(QStringLiteral("lTotRe"))->setCaption(t.revised.formatMoney());
}

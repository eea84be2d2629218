#include "reports/budget/URptDecVir.h"

#include "core/GlobalState.h"
#include "data/Codes.h"
#include "data/UDM.h"
#include "db/Database.h"
#include "reports/budget/DecisionTemplate.h"

#include "rtf/Rtf.h"

TfrmRptDecVir::TfrmRptDecVir()
    : TReportForm(QStringLiteral("RptDecVir"), QStringLiteral("Décision de transfert de crédits"))
{
    Param(QStringLiteral("IdVir"), IdVir);
    rpt::Report& r = report();
    r.setPage(rpt::PageSetup::Standard(rpt::Paper::A4, QPageLayout::Portrait, {20, 20, 20, 20}));
    r.onBeforePrint = [this] { m_amount = TransferredAmount(IdVir); };

    // The band prints once; its text is the page's height at least and goes
    // on over the next pages when longer.
    const QSizeF body(rpt::MmToPx(210 - 40), rpt::MmToPx(297 - 40));
    rpt::Band* detail = r.addBand(rpt::BandKind::Summary, QStringLiteral("bdDetail"), int(body.height()));
    rpt::RichText* text = detail->addRichText(QStringLiteral("myRichText"), {0, 0, int(body.width()), int(body.height())});
    text->setAutoStretch(true);
    text->setFlowOverPages(true);
    detail->onBeforePrint = [this](rpt::Band&, bool& print) { bdDetailBeforePrint(print); };
}

Currency TfrmRptDecVir::TransferredAmount(qint64 idVir)
{
    db::Query q(DM->LURDO, QStringLiteral("SELECT SUM(MONTANT) AS TOT FROM VIREMENT WHERE ID_VIR=:ID_VIR  AND SENS=:SENS"));
    q.setParam(QStringLiteral("ID_VIR"), idVir);
    q.setParam(QStringLiteral("SENS"), toDb(TransferSide::Receiving));
    q.open();
    return q.isEmpty() ? Currency() : q.asCurrency(QStringLiteral("TOT"));
}

void TfrmRptDecVir::bdDetailBeforePrint(bool&)
{
    auto* text = report().find<rpt::RichText>(QStringLiteral("myRichText"));
    if (std::optional<QString> error = rtf::LoadFile(DecisionTemplatePath(), text->document()))
        report().refuse(*error);
    FillPlaceholders(text->document(), DecisionPlaceholders(UniversityName, m_amount, FiscalYear, Today()));
}

#include "reports/transfer/TransferForm.h"

#include "reports/orders/OrderDrawing.h"

TRptTransferForm::TRptTransferForm(const QString& reportName, const QString& title)
    : TReportForm(reportName, title)
{
    Param(QStringLiteral("IdMdt"), IdMdt);
}

TRptTransferForm::~TRptTransferForm() = default;

rpt::Band* TRptTransferForm::AddDetail(int height)
{
    m_detail = report().addBand(rpt::BandKind::Detail, QStringLiteral("bdDetail"), height);
    return m_detail;
}

void TRptTransferForm::SetText(const QString& control, const QString& text) const
{
    if (rpt::Label* label = report().label(control))
        label->setCaption(text);
}

void TRptTransferForm::SetAmount(const QString& control, Currency amount) const
{
    if (rpt::Label* label = report().label(control))
        mdt::ShowAmount(label, amount);
}

void TRptTransferForm::Enable(const QString& control, bool enabled) const
{
    if (rpt::Control* c = report().find(control))
        c->setEnabled(enabled);
}

void TRptTransferForm::ShowInvoiceRows(const TTransferBeneficiary& ben, int rows) const
{
    for (int i = 1; i <= rows; ++i) {
        const bool used = i <= int(ben.lines.size());
        for (const char* prefix : {"lNo", "lNoF", "lDu", "lDate"})
            Enable(QString::fromLatin1(prefix) + QString::number(i), used);
        if (!used)
            continue;
        const TTransferLine& line = ben.lines.at(size_t(i - 1));
        SetText(QStringLiteral("lNoF%1").arg(i), line.noDepense);
        SetText(QStringLiteral("lDate%1").arg(i), line.dateDepense.toString(QStringLiteral("dd/MM/yyyy")));
    }
}

void TRptTransferForm::StartRun()
{
    // The design is remembered before the first run changes anything.
    if (!m_design.taken())
        m_design.take(report());
    m_design.restore();
    m_data.Load(IdMdt);
}

void TRptTransferForm::StartRecord() const
{
    m_design.restoreFonts();
}

void TRptTransferForm::WalkRecords(int count)
{
    m_count = count;
    std::vector<std::vector<db::Value>> rows;
    rows.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        rows.push_back({db::Value(qint64(i))});
    m_rows.setRows({QStringLiteral("RECORD")}, std::move(rows));
    m_rows.moveTo(0);
    report().setRows(&m_rows);
}

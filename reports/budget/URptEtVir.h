#pragma once
// TfrmRptEtVir: the statement of one credit transfer (report RptEtVir, A4
// landscape): for each line of the transfer the credits allocated to it
// before the transfer, the amount moved and the revised credits, the giving
// lines first (part A, credits cancelled), then the receiving lines (part B,
// credits opened), each part with its totals. Printed from the transfer
// window:
//     TfrmRptEtVir form;
//     form.IdVir = idVir; form.DateVir = date;
//     form.Preview(this);
//
// The credits allocated to a line are its primitive and amending budgets and
// the transfers that come before this one: dated earlier, or of the same day
// and recorded before it. The totals are those of the rows, read once per
// print.

#include "reports/ReportForm.h"
#include "reports/engine/RowSource.h"

#include "core/Currency.h"
#include "data/Codes.h"

#include <QDate>
#include <QList>
#include <QString>

// One row of the statement.
struct TTransferStatementRow {
    TransferSide side = TransferSide::Giving;
    QString chap, art, par, title;
    Currency amount;
    Currency allocated;   // before the transfer
    Currency revised;     // after it
};

// The totals of one side.
struct TTransferStatementTotals {
    Currency allocated;
    Currency amount;
    Currency revised;
};

namespace transferstatement {

// The rows of the transfer, giving side first, in nomenclature order: one query.
QList<TTransferStatementRow> Read(qint64 idVir);
TTransferStatementTotals Totals(const QList<TTransferStatementRow>& rows, TransferSide side);

} // namespace transferstatement

class TfrmRptEtVir : public TReportForm {
public:
    TfrmRptEtVir();
    ~TfrmRptEtVir() override;

    int IdVir = -1;   // in: the transfer (VIREMENT.ID_VIR)
    QDate DateVir;    // in: its date, as the window shows it

private:
    void BuildDesign();
    void RptBeforePrint();
    void bdGroupHeaderBeforePrint();
    void bdDetailBeforePrint();
    void bdGroupFooterBeforePrint();
    TransferSide CurrentSide() const;

    QList<TTransferStatementRow> m_rows;
    rpt::TableRows m_table;
};

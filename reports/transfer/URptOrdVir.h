#pragma once
// TfrmRptOrdVir ("Ordres de virements"): the bank transfer order. It tells the
// paying agent to transfer, from the treasury account, to the bank account of
// each beneficiary of a payment order the beneficiary's total on the order;
// one order per beneficiary listing up to 13 of its invoices, two orders to an
// A4 page on white paper, a cutting line between the two.

#include "reports/transfer/TransferForm.h"

class TfrmRptOrdVir : public TRptTransferForm {
public:
    TfrmRptOrdVir();

    // The invoice rows of one order.
    static constexpr int InvoiceRows = 13;
    // The message of a beneficiary with more invoices than the rows.
    static QString TooManyInvoicesText(const QString& name);

private:
    void BuildDesign();
    void RptOrdVirBeforePrint();
    void bdDetailBeforePrint();
};

#pragma once
// The postal transfer orders ("Ordres de virements"), on the postal cheque
// centre's two-part form: the transfer advice on the left, the transfer order
// on the right, both with the same values; one form per beneficiary of the
// payment order, two to an A4 page with a cutting line between them.
//   TfrmRptOrdVirCCP        the account to debit by the beneficiary's type, its
//                           name, account and total
//   TfrmRptOrdVirCCP_Actel  the telephone operator's form: its payee, accounts
//                           and object are installation texts, the amount is
//                           each beneficiary's total
//   TfrmRptOrdVirCCP_Verso  the back of the forms: each beneficiary's invoices

#include "reports/transfer/TransferForm.h"

// The two order forms.
class TRptPostalOrder : public TRptTransferForm {
protected:
    explicit TRptPostalOrder(const QString& reportName);

    // The values of one form, the same in both halves.
    struct Values {
        QString debitAccount;   // with its two-character key last
        QString creditAccount;
        QString payee;
        QString object;
    };
    virtual Values ValuesFor(const TTransferBeneficiary& ben) const = 0;

private:
    void BuildDesign();
    void BuildHalf(rpt::Band& band, int left, bool order);
    void RptBeforePrint();
    void bdDetailBeforePrint();
};

class TfrmRptOrdVirCCP : public TRptPostalOrder {
public:
    TfrmRptOrdVirCCP();

protected:
    Values ValuesFor(const TTransferBeneficiary& ben) const override;
};

// The back: up to 25 invoices of each beneficiary, in the order of the fronts.
class TfrmRptOrdVirCCP_Verso : public TRptTransferForm {
public:
    TfrmRptOrdVirCCP_Verso();

    static constexpr int InvoiceRows = 25;
    static QString TooManyInvoicesText(const QString& name);

private:
    void BuildDesign();
    void RptBeforePrint();
    void bdDetailBeforePrint();
};

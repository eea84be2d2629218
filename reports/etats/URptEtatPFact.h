#pragma once
// TfrmRptEtatPFact: the statement of the invoices an order pays, one row per
// line (supplier, address, tax and registration numbers, invoice, amount).
// The paper is asked once per form: A4 or Letter, landscape.

#include "reports/etats/PaymentStatementForm.h"

class TfrmRptEtatPFact : public TPaymentStatementForm {
public:
    TfrmRptEtatPFact();

    int PaperIndex = 0;   // the paper dialog's answer: 0 A4, else Letter

protected:
    void FormCreate() override;
    QString Title(const TPaymentStatementData& data) const override;
    std::vector<std::vector<db::Value>> Rows(const TPaymentStatementData& data) const override;
};

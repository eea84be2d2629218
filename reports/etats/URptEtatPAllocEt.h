#pragma once
// TfrmRptEtatPAllocEt: the statement of the study allowances an order pays
// or refunds (TypeEtat "A"), or of the visa and insurance fees it refunds
// (TypeEtat "V"): one numbered row per line with the beneficiary's grade,
// account and bank.

#include "reports/etats/PaymentStatementForm.h"

class TfrmRptEtatPAllocEt : public TPaymentStatementForm {
public:
    TfrmRptEtatPAllocEt();

    QString TypeEtat = QStringLiteral("A");

protected:
    QString Title(const TPaymentStatementData& data) const override;
    std::vector<std::vector<db::Value>> Rows(const TPaymentStatementData& data) const override;
};

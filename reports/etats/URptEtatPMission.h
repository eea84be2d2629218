#pragma once
// TfrmRptEtatPMission: the statement of the mission expenses an order pays
// or refunds, one numbered row per line with the beneficiary's account.

#include "reports/etats/PaymentStatementForm.h"

class TfrmRptEtatPMission : public TPaymentStatementForm {
public:
    TfrmRptEtatPMission();

protected:
    QString Title(const TPaymentStatementData& data) const override;
    std::vector<std::vector<db::Value>> Rows(const TPaymentStatementData& data) const override;
};

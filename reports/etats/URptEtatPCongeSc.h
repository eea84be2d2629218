#pragma once
// TfrmRptEtatPCongeSc: the statement of the registration fees and the
// scientific leave an order pays or refunds, one row per beneficiary (name
// order) with what the lines on articles 3 (fees) and 4 (leave) of chapters
// "21-19" and "22-19" pay him. A beneficiary paid nothing there keeps his
// number but prints no row.

#include "reports/etats/PaymentStatementForm.h"

class TfrmRptEtatPCongeSc : public TPaymentStatementForm {
public:
    TfrmRptEtatPCongeSc();

protected:
    QString Title(const TPaymentStatementData& data) const override;
    std::vector<std::vector<db::Value>> Rows(const TPaymentStatementData& data) const override;
};

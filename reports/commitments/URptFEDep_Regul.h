#pragma once
// TfrmRptFEDep_Regul: a payment-order regularisation sheet printed on white A3 paper
// (report RptFEDep_Regul). Printed from the regularisation window:
//     TfrmRptFEDep_Regul form;
//     form.IdEng = idEng;
//     form.Preview(this);

#include "reports/commitments/CommitmentSheet.h"

class TfrmRptFEDep_Regul : public TCommitmentSheetForm {
public:
    TfrmRptFEDep_Regul()
        : TCommitmentSheetForm(QStringLiteral("RptFEDep_Regul"), sheetdoc::Presentation::WhitePaper,
                               sheetdoc::Series::RegulOrders)
    {
    }
};

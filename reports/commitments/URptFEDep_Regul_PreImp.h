#pragma once
// TfrmRptFEDep_Regul_PreImp: a payment-order regularisation sheet printed on the pre-printed stationery, at the positions stored under RPTFEDEP_REGUL_PREIMP
// (report RptFEDep_Regul_PreImp). Printed from the regularisation window:
//     TfrmRptFEDep_Regul_PreImp form;
//     form.IdEng = idEng;
//     form.Preview(this);

#include "reports/commitments/CommitmentSheet.h"

class TfrmRptFEDep_Regul_PreImp : public TCommitmentSheetForm {
public:
    TfrmRptFEDep_Regul_PreImp()
        : TCommitmentSheetForm(QStringLiteral("RptFEDep_Regul_PreImp"), sheetdoc::Presentation::PrePrinted,
                               sheetdoc::Series::RegulOrders)
    {
    }
};

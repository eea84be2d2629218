#pragma once
// TfrmRptFEEco_Art_Regul_PreImp: a regularisation sheet of a transfer, the amending budget or a cancellation, printed on the pre-printed stationery, at the positions stored under RPTFEECO_ART_REGUL_PREIMP
// (report RptFEEco_Art_Regul_PreImp). Printed from the regularisation window:
//     TfrmRptFEEco_Art_Regul_PreImp form;
//     form.IdEng = idEng;
//     form.Preview(this);

#include "reports/commitments/CommitmentSheet.h"

class TfrmRptFEEco_Art_Regul_PreImp : public TCommitmentSheetForm {
public:
    TfrmRptFEEco_Art_Regul_PreImp()
        : TCommitmentSheetForm(QStringLiteral("RptFEEco_Art_Regul_PreImp"), sheetdoc::Presentation::PrePrinted,
                               sheetdoc::Series::RegulOthers)
    {
    }
};

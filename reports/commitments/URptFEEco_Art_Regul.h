#pragma once
// TfrmRptFEEco_Art_Regul: a regularisation sheet of a transfer, the amending budget or a cancellation, printed on white A3 paper
// (report RptFEEco_Art_Regul). Printed from the regularisation window:
//     TfrmRptFEEco_Art_Regul form;
//     form.IdEng = idEng;
//     form.Preview(this);

#include "reports/commitments/CommitmentSheet.h"

class TfrmRptFEEco_Art_Regul : public TCommitmentSheetForm {
public:
    TfrmRptFEEco_Art_Regul()
        : TCommitmentSheetForm(QStringLiteral("RptFEEco_Art_Regul"), sheetdoc::Presentation::WhitePaper,
                               sheetdoc::Series::RegulOthers)
    {
    }
};

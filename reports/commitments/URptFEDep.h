#pragma once
// TfrmRptFEDep: the commitment sheet printed on white A3 paper, frames, fixed
// texts and values together (report RptFEDep). Printed from the commitment
// window and from the cancellation window:
//     TfrmRptFEDep form;
//     form.IdEng = idEng;
//     form.Preview(this);

#include "reports/commitments/CommitmentSheet.h"

class TfrmRptFEDep : public TCommitmentSheetForm {
public:
    TfrmRptFEDep() : TCommitmentSheetForm(QStringLiteral("RptFEDep"), sheetdoc::Presentation::WhitePaper) {}
};

#pragma once
// TfrmRptFEDep_PreImp: the commitment sheet printed on the pre-printed
// stationery (report RptFEDep_PreImp): the values only, at the positions the
// layout editor stored under RPTFEDEP_PREIMP. Printed from the commitment
// window like the white-paper sheet.

#include "reports/commitments/CommitmentSheet.h"

class TfrmRptFEDep_PreImp : public TCommitmentSheetForm {
public:
    TfrmRptFEDep_PreImp()
        : TCommitmentSheetForm(QStringLiteral("RptFEDep_PreImp"), sheetdoc::Presentation::PrePrinted)
    {
    }
};

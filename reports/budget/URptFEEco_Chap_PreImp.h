#pragma once
// TfrmRptFEEco_Chap_PreImp: a chapter's recapitulative sheet on the
// pre-printed stationery (report RptFEEco_Chap_PreImp), at the positions
// stored under RPTFEECO_CHAP_PREIMP.

#include "reports/budget/ChapterSheet.h"

class TfrmRptFEEco_Chap_PreImp : public TChapterSheetForm {
public:
    TfrmRptFEEco_Chap_PreImp()
        : TChapterSheetForm(QStringLiteral("RptFEEco_Chap_PreImp"), sheetdoc::Presentation::PrePrinted)
    {
    }
};

#pragma once
// TfrmRptFEEco_Chap: a chapter's recapitulative sheet on white A3 paper
// (report RptFEEco_Chap), printed from the budget windows on a chapter heading:
//     TfrmRptFEEco_Chap form;
//     form.Chap = chapter; form.Intitule = title;
//     form.Preview(this);

#include "reports/budget/ChapterSheet.h"

class TfrmRptFEEco_Chap : public TChapterSheetForm {
public:
    TfrmRptFEEco_Chap() : TChapterSheetForm(QStringLiteral("RptFEEco_Chap"), sheetdoc::Presentation::WhitePaper) {}
};

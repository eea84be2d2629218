#pragma once
// TfrmRptFEEco_Art_PreImp: the sheet of a budget or transfer movement on the
// pre-printed stationery (report RptFEEco_Art_PreImp): the values only, at
// the positions stored under RPTFEECO_ART_PREIMP.

#include "reports/budget/BudgetSheet.h"

class TfrmRptFEEco_Art_PreImp : public TBudgetSheetForm {
public:
    TfrmRptFEEco_Art_PreImp()
        : TBudgetSheetForm(QStringLiteral("RptFEEco_Art_PreImp"), QStringLiteral("Fiche d'engagement - Economie"),
                           sheetdoc::Presentation::PrePrinted)
    {
    }
};

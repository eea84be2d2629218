#pragma once
// TfrmRptFEEco_Art: the sheet of a budget or transfer movement on white A3
// paper (report RptFEEco_Art). Printed from the budget windows and the
// transfer window:
//     TfrmRptFEEco_Art form;
//     form.Objet = 1; form.Origine = 2; form.IdOrigine = idFnm; form.IdFnm = idFnm;
//     form.Preview(this);

#include "reports/budget/BudgetSheet.h"

class TfrmRptFEEco_Art : public TBudgetSheetForm {
public:
    TfrmRptFEEco_Art()
        : TBudgetSheetForm(QStringLiteral("RptFEEco_Art"), QStringLiteral("Fiche d'engagement - Dépense"),
                           sheetdoc::Presentation::WhitePaper)
    {
    }
};

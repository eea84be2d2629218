#pragma once
// TfrmRptMandat_Salaire: the payment order of a salary expense to pay, on
// white paper only: up to 13 imputation rows (the gross amount by budget
// line) and 13 deduction rows, the gross, the deductions and the net to pay
// (MandatForm.h); an order of more rows prints nothing and says so. Its
// detail band prints once.

#include "reports/mandat/MandatForm.h"

class TfrmRptMandat_Salaire : public TRptMandatForm {
public:
    TfrmRptMandat_Salaire();
    ~TfrmRptMandat_Salaire() override;

private:
    void RptMandatBeforePrint();
    void RptMandatAfterPrint();
    void bdDetailBeforePrint();
    void BuildDesign();
    // The imputation rows; returns the gross total of every row.
    Currency FillImputations();
    // The deduction rows; returns the total of every deduction.
    Currency FillDeductions();
};

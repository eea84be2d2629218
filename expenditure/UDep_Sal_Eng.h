#pragma once
// TfrmDep_Sal_Eng: the salary expenses that are committed on a commitment
// sheet before being paid (ExpenseKind::SalaryToCommit): a body, a budget line, an
// amount and an object, browsed one at a time, created, changed and deleted
// through the expense editor of one budget line.

#include "expenditure/LineExpenseEditor.h"

class TfrmDep_Sal_Eng : public TLineExpenseEditor {
    Q_OBJECT
public:
    explicit TfrmDep_Sal_Eng(QWidget* parent = nullptr);

protected:
    // Picking the body opens the budget-line picker next, unless the line is locked.
    void BeneficiaryPicked() override;
};

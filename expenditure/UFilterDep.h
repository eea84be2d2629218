#pragma once
// TfrmFilterDep ("Filtre dépenses"): the filter dialog of the expense listing
// and of the expense picker (documents/FilterDialog.h): the kind, expense
// numbers, dates, budget line and its title, amounts, and the beneficiary as a
// criterion of its own. The caller keeps the criteria (TFilterCriteria) and
// turns them into a condition on DEPENSE (expenditure/ExpenseCriteria.h).

#include "documents/FilterDialog.h"

class TfrmFilterDep : public TFilterDialog {
    Q_OBJECT
public:
    explicit TfrmFilterDep(QWidget* parent = nullptr);
};

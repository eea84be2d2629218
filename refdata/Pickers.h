#pragma once
// The budget-line and beneficiary pickers as one call each, for the windows
// that only need the choice (the listings' filter dialogs).

#include "documents/FilterDialog.h"

#include <optional>

class QWidget;

// TfrmListFNM in pick mode; nothing when the user cancels.
std::optional<TPickedBudgetLine> PickBudgetLine(QWidget* parent);
// TfrmListBenef in pick mode over every type; nothing when the user cancels.
std::optional<TPickedBeneficiary> PickBeneficiary(QWidget* parent);
// Both, as the filter dialogs take them.
TFilterPickers FilterPickers();

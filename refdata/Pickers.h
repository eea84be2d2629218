#pragma once
// The budget-line and beneficiary pickers as one call each, for the windows
// that only need the choice (the listings' filter dialogs).

#include <QString>

#include <optional>

class QWidget;

struct TPickedBudgetLine {
    qint64 idFnm = -1;
    QString chap, art, par, intitule;
};
// TfrmListFNM in pick mode; nothing when the user cancels.
std::optional<TPickedBudgetLine> PickBudgetLine(QWidget* parent);

struct TPickedBeneficiary {
    qint64 idBen = -1;
    QString name;
};
// TfrmListBenef in pick mode over every type; nothing when the user cancels.
std::optional<TPickedBeneficiary> PickBeneficiary(QWidget* parent);

#include "refdata/Pickers.h"

#include "refdata/UListBenef.h"
#include "refdata/UListFNM.h"

std::optional<TPickedBudgetLine> PickBudgetLine(QWidget* parent)
{
    TfrmListFNM list(parent);
    list.SelectMode = true;
    if (list.exec() != QDialog::Accepted || list.IdFnm == -1)
        return std::nullopt;
    return TPickedBudgetLine{list.IdFnm, list.Chap, list.Art, list.Par, list.Intitule};
}

std::optional<TPickedBeneficiary> PickBeneficiary(QWidget* parent)
{
    TfrmListBenef list(parent);
    list.SelectMode = true;
    list.TypeBen = std::nullopt;
    if (list.exec() != QDialog::Accepted || list.IdBen <= 0)
        return std::nullopt;
    return TPickedBeneficiary{list.IdBen, list.NomBen};
}

TFilterPickers FilterPickers()
{
    return TFilterPickers{PickBudgetLine, PickBeneficiary};
}

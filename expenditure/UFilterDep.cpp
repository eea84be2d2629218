#include "expenditure/UFilterDep.h"

#include "refdata/Pickers.h"

TfrmFilterDep::TfrmFilterDep(QWidget* parent)
    : TFilterDialog(parent,
                    Listing{.name = "frmFilterDep",
                            .title = QStringLiteral("Filtre dépenses"),
                            .numberCaption = QStringLiteral("N° Dépense"),
                            .amountCaption = QStringLiteral("Montant"),
                            .expenses = true,
                            .width = 420},
                    FilterPickers())
{
}

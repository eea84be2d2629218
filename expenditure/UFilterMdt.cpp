#include "expenditure/UFilterMdt.h"

#include "refdata/Pickers.h"

TfrmFilterMdt::TfrmFilterMdt(QWidget* parent)
    : TFilterDialog(parent,
                    Listing{.name = "frmFilterMdt",
                            .title = QStringLiteral("Filtre mandats"),
                            .numberCaption = QStringLiteral("N° MDT"),
                            .amountCaption = QStringLiteral("Montant MDT")},
                    FilterPickers())
{
}

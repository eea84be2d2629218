#include "budget/UFilterEng.h"

#include "refdata/Pickers.h"

TfrmFilterEng::TfrmFilterEng(QWidget* parent)
    : TFilterDialog(parent,
                    Listing{.name = "frmFilterEng",
                            .title = QStringLiteral("Filtre Engagements"),
                            .numberCaption = QStringLiteral("N° FE"),
                            .amountCaption = QStringLiteral("Montant Eng")},
                    FilterPickers())
{
}

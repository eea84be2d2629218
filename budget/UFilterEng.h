#pragma once
// TfrmFilterEng ("Filtre Engagements"): the filter dialog of the commitment
// listing: sheet numbers ("N° FE"), dates, budget line, sheet amounts
// ("Montant Eng"), and under "Bénéficiaire" a beneficiary and the amounts of
// the sheet's expenses (expenditure/DocumentFilter.h).

#include "expenditure/DocumentFilter.h"

class TfrmFilterEng : public TDocumentFilterDialog {
    Q_OBJECT
public:
    explicit TfrmFilterEng(QWidget* parent = nullptr);
};

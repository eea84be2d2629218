#pragma once
// TfrmFilterEng ("Filtre Engagements"): the filter dialog of the commitment
// listing: sheet numbers ("N° FE"), dates, budget line, sheet amounts
// ("Montant Eng"), and under "Bénéficiaire" a beneficiary and the amounts of
// the sheet's expenses (documents/FilterDialog.h).

#include "documents/FilterDialog.h"

class TfrmFilterEng : public TFilterDialog {
    Q_OBJECT
public:
    explicit TfrmFilterEng(QWidget* parent = nullptr);
};

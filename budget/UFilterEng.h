#pragma once
// TfrmFilterEng ("Filtre Engagements"): the filter dialog of the commitment
// listing: sheet numbers ("N° FE"), dates, budget line, sheet amounts
// ("Montant Eng"), and under "Bénéficiaire" a beneficiary and the amounts of
// the sheet's expenses (documents/DocumentFilter.h).

#include "documents/DocumentFilter.h"

class TfrmFilterEng : public TDocumentFilterDialog {
    Q_OBJECT
public:
    explicit TfrmFilterEng(QWidget* parent = nullptr);
};

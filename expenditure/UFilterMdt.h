#pragma once
// TfrmFilterMdt ("Filtre mandats"): the filter dialog of the payment-order
// listing and of the dispatch slips: order numbers ("N° MDT"), dates, budget
// line, order amounts ("Montant MDT"), and under "Bénéficiaire" a beneficiary
// and the amounts of the order's expenses (documents/FilterDialog.h).

#include "documents/FilterDialog.h"

class TfrmFilterMdt : public TFilterDialog {
    Q_OBJECT
public:
    explicit TfrmFilterMdt(QWidget* parent = nullptr);
};

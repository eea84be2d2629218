#pragma once
// TfrmRptMandat_P: the payment order of invoices, missions and other expenses
// on pre-printed stationery (MandatForm.h).

#include "reports/mandat/MandatForm.h"

class TfrmRptMandat_P : public TRptMandatStandard {
public:
    TfrmRptMandat_P() : TRptMandatStandard(QStringLiteral("RptMandat_P"), Block::Imputations, false) {}
};

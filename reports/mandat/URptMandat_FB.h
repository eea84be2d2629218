#pragma once
// TfrmRptMandat_FB: the payment order of invoices, missions and other expenses
// on white paper (MandatForm.h).

#include "reports/mandat/MandatForm.h"

class TfrmRptMandat_FB : public TRptMandatStandard {
public:
    TfrmRptMandat_FB() : TRptMandatStandard(QStringLiteral("RptMandat_FB"), Block::Imputations, true) {}
};

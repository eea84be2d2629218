#pragma once
// TfrmRptMandat_2205_FB: the payment order of employer social contributions
// (chapters 21.05/22.05 article 01, 21.02/22.02 article 08) on white paper
// (MandatForm.h).

#include "reports/mandat/MandatForm.h"

class TfrmRptMandat_2205_FB : public TRptMandatStandard {
public:
    TfrmRptMandat_2205_FB() : TRptMandatStandard(QStringLiteral("RptMandat_2205_FB"), Block::Contributions, true) {}
};

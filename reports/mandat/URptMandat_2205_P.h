#pragma once
// TfrmRptMandat_2205_P: the payment order of employer social contributions on
// pre-printed stationery (MandatForm.h).

#include "reports/mandat/MandatForm.h"

class TfrmRptMandat_2205_P : public TRptMandatStandard {
public:
    TfrmRptMandat_2205_P() : TRptMandatStandard(QStringLiteral("RptMandat_2205_P"), Block::Contributions, false) {}
};

#pragma once
// TfrmRptOrdVirMission_210208: the advices of the salary detail rows of the
// order's first line (URptOrdVirMission.h).

#include "reports/transfer/URptOrdVirMission.h"

class TfrmRptOrdVirMission_210208 : public TRptMissionAdvice {
public:
    TfrmRptOrdVirMission_210208();

protected:
    int Advices() override;
    void FillAdvice(int advice) override;

private:
    std::vector<TSalaryDetailRow> m_rows;
};

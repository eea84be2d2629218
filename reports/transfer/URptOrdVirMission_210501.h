#pragma once
// TfrmRptOrdVirMission_210501: the three social-contribution advices
// (URptOrdVirMission.h).

#include "reports/transfer/URptOrdVirMission.h"

class TfrmRptOrdVirMission_210501 : public TRptMissionAdvice {
public:
    TfrmRptOrdVirMission_210501();

    // The contributions' texts, in the order they print.
    static const QStringList& ContributionTexts();

protected:
    int Advices() override;
    void FillAdvice(int advice) override;

private:
    Currency m_amounts[3];
};

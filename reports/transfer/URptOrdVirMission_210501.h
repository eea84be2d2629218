#pragma once
// TfrmRptOrdVirMission_210501: the three social-contribution advices
// (URptOrdVirMission.h), of an order whose lines' contributions make what it
// pays; any other order it refuses.

#include "reports/transfer/URptOrdVirMission.h"

class TfrmRptOrdVirMission_210501 : public TRptMissionAdvice {
public:
    TfrmRptOrdVirMission_210501();

    // The contributions' texts, in the order they print.
    static const QStringList& ContributionTexts();
    // Why an order whose lines' contributions do not make what it pays
    // prints no advice here.
    static QString NotContributionsText();

protected:
    int Advices() override;
    void FillAdvice(int advice) override;

private:
    Currency m_amounts[3];
};

#pragma once
// TfrmRptOrdVirMis_FB ("Avis de virements Missions"): the reduced mission
// transfer advice, a card per beneficiary of the order with its total, on
// white Letter paper, two columns of two cards a page.

#include "reports/transfer/TransferForm.h"

class TfrmRptOrdVirMis_FB : public TRptTransferForm {
public:
    TfrmRptOrdVirMis_FB();

private:
    void BuildDesign();
    void RptBeforePrint();
    void bdDetailBeforePrint();
};

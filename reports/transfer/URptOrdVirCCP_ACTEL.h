#pragma once
// TfrmRptOrdVirCCP_Actel: the postal transfer order to the telephone
// operator's agency (URptOrdVirCCP.h).

#include "reports/transfer/URptOrdVirCCP.h"

class TfrmRptOrdVirCCP_Actel : public TRptPostalOrder {
public:
    TfrmRptOrdVirCCP_Actel();

protected:
    Values ValuesFor(const TTransferBeneficiary& ben) const override;
};

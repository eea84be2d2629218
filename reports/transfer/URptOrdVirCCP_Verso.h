#pragma once
// TfrmRptOrdVirCCP_Verso: the back of the postal transfer orders (URptOrdVirCCP.h).

#include "reports/transfer/URptOrdVirCCP.h"

#include "shell/Documents.h"

#include "budget/UListEng.h"
#include "budget/USF.h"
#include "expenditure/OrderListWindow.h"
#include "expenditure/UListDep.h"
#include "reports/DocumentRegistry.h"
#include "reports/budget/URptSF_S1_S2.h"
#include "reports/commitments/URptListEng.h"
#include "reports/expenses/URptListDep.h"
#include "reports/mandat/URptListMdt.h"

void RegisterDocumentsWithTheirRows()
{
    RegisterProgramDocuments();
    RegisterDocument(QStringLiteral("URptListDep"), [] {
        auto form = std::make_unique<TfrmRptListDep>();
        form->ReadListing = ReadExpenseListing;
        return form;
    });
    RegisterDocument(QStringLiteral("URptListEng"), [] {
        auto form = std::make_unique<TfrmRptListEng>();
        form->ReadListing = ReadCommitmentListing;
        return form;
    });
    RegisterDocument(QStringLiteral("URptListMdt"), [] {
        auto form = std::make_unique<TfrmRptListMdt>();
        form->ReadListing = ReadOrderListing;
        return form;
    });
    RegisterDocument(QStringLiteral("URptSF_S1_S2"), [] {
        auto form = std::make_unique<TfrmRptSF_S1_S2>();
        form->Rows = StoredSituation;
        return form;
    });
}

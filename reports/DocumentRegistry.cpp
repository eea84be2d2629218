#include "reports/DocumentRegistry.h"

#include "reports/ReportForm.h"
#include "reports/budget/URptDecVir.h"
#include "reports/budget/URptEtVir.h"
#include "reports/budget/URptFEEco_Art.h"
#include "reports/budget/URptFEEco_Art_PreImp.h"
#include "reports/budget/URptFEEco_Chap.h"
#include "reports/budget/URptFEEco_Chap_PreImp.h"
#include "reports/budget/URptSF_S1_S2.h"
#include "reports/commitments/URptFEDep.h"
#include "reports/commitments/URptFEDep_PreImp.h"
#include "reports/commitments/URptFEDep_Regul.h"
#include "reports/commitments/URptFEDep_Regul_PreImp.h"
#include "reports/commitments/URptFEEco_Art_Regul.h"
#include "reports/commitments/URptFEEco_Art_Regul_PreImp.h"
#include "reports/commitments/URptListEng.h"
#include "reports/etats/URptBord_Mdt.h"
#include "reports/etats/URptEtatPAllocEt.h"
#include "reports/etats/URptEtatPCongeSc.h"
#include "reports/etats/URptEtatPFact.h"
#include "reports/etats/URptEtatPMission.h"
#include "reports/etats/URptEtatVir.h"
#include "reports/expenses/URptListDep.h"
#include "reports/mandat/URptListMdt.h"
#include "reports/mandat/URptMandat_2205_FB.h"
#include "reports/mandat/URptMandat_2205_P.h"
#include "reports/mandat/URptMandat_FB.h"
#include "reports/mandat/URptMandat_P.h"
#include "reports/mandat/URptMandat_Salaire.h"
#include "reports/transfer/URptOrdVir.h"
#include "reports/transfer/URptOrdVirCCP.h"
#include "reports/transfer/URptOrdVirCCP_ACTEL.h"
#include "reports/transfer/URptOrdVirMis_FB.h"
#include "reports/transfer/URptOrdVirMission.h"
#include "reports/transfer/URptOrdVirMission_210208.h"
#include "reports/transfer/URptOrdVirMission_210501.h"

#include <map>

namespace {

std::map<QString, std::pair<QString, DocumentFactory>>& Registry()
{
    static std::map<QString, std::pair<QString, DocumentFactory>> registry;
    return registry;
}

} // namespace

void RegisterDocument(const QString& unit, DocumentFactory factory)
{
    Registry()[unit.toUpper()] = {unit, std::move(factory)};
}

std::unique_ptr<TReportForm> CreateDocument(const QString& unit)
{
    const auto it = Registry().find(unit.toUpper());
    if (it == Registry().end() || !it->second.second)
        return nullptr;
    return it->second.second();
}

QStringList RegisteredDocuments()
{
    QStringList units;
    for (const auto& [key, entry] : Registry())
        units << entry.first;
    return units;
}

void RegisterProgramDocuments()
{
    // One line per document, in alphabetical order of the units:
    //     RegisterDocument(QStringLiteral("URptMandat_FB"), [] { return std::make_unique<TfrmRptMandat_FB>(); });
    RegisterDocument(QStringLiteral("URptBord_Mdt"), [] { return std::make_unique<TfrmRptBord_Mdt>(); });
    RegisterDocument(QStringLiteral("URptDecVir"), [] { return std::make_unique<TfrmRptDecVir>(); });
    RegisterDocument(QStringLiteral("URptEtVir"), [] { return std::make_unique<TfrmRptEtVir>(); });
    RegisterDocument(QStringLiteral("URptEtatPAllocEt"), [] { return std::make_unique<TfrmRptEtatPAllocEt>(); });
    RegisterDocument(QStringLiteral("URptEtatPCongeSc"), [] { return std::make_unique<TfrmRptEtatPCongeSc>(); });
    RegisterDocument(QStringLiteral("URptEtatPFact"), [] { return std::make_unique<TfrmRptEtatPFact>(); });
    RegisterDocument(QStringLiteral("URptEtatPMission"), [] { return std::make_unique<TfrmRptEtatPMission>(); });
    RegisterDocument(QStringLiteral("URptEtatVir"), [] { return std::make_unique<TfrmRptEtatVir>(); });
    RegisterDocument(QStringLiteral("URptFEDep"), [] { return std::make_unique<TfrmRptFEDep>(); });
    RegisterDocument(QStringLiteral("URptFEDep_PreImp"), [] { return std::make_unique<TfrmRptFEDep_PreImp>(); });
    RegisterDocument(QStringLiteral("URptFEDep_Regul"), [] { return std::make_unique<TfrmRptFEDep_Regul>(); });
    RegisterDocument(QStringLiteral("URptFEDep_Regul_PreImp"),
                     [] { return std::make_unique<TfrmRptFEDep_Regul_PreImp>(); });
    RegisterDocument(QStringLiteral("URptFEEco_Art"), [] { return std::make_unique<TfrmRptFEEco_Art>(); });
    RegisterDocument(QStringLiteral("URptFEEco_Art_PreImp"), [] { return std::make_unique<TfrmRptFEEco_Art_PreImp>(); });
    RegisterDocument(QStringLiteral("URptFEEco_Art_Regul"), [] { return std::make_unique<TfrmRptFEEco_Art_Regul>(); });
    RegisterDocument(QStringLiteral("URptFEEco_Art_Regul_PreImp"),
                     [] { return std::make_unique<TfrmRptFEEco_Art_Regul_PreImp>(); });
    RegisterDocument(QStringLiteral("URptFEEco_Chap"), [] { return std::make_unique<TfrmRptFEEco_Chap>(); });
    RegisterDocument(QStringLiteral("URptFEEco_Chap_PreImp"), [] { return std::make_unique<TfrmRptFEEco_Chap_PreImp>(); });
    RegisterDocument(QStringLiteral("URptListDep"), [] { return std::make_unique<TfrmRptListDep>(); });
    RegisterDocument(QStringLiteral("URptListEng"), [] { return std::make_unique<TfrmRptListEng>(); });
    RegisterDocument(QStringLiteral("URptListMdt"), [] { return std::make_unique<TfrmRptListMdt>(); });
    RegisterDocument(QStringLiteral("URptMandat_2205_FB"), [] { return std::make_unique<TfrmRptMandat_2205_FB>(); });
    RegisterDocument(QStringLiteral("URptMandat_2205_P"), [] { return std::make_unique<TfrmRptMandat_2205_P>(); });
    RegisterDocument(QStringLiteral("URptMandat_FB"), [] { return std::make_unique<TfrmRptMandat_FB>(); });
    RegisterDocument(QStringLiteral("URptMandat_P"), [] { return std::make_unique<TfrmRptMandat_P>(); });
    RegisterDocument(QStringLiteral("URptMandat_Salaire"), [] { return std::make_unique<TfrmRptMandat_Salaire>(); });
    RegisterDocument(QStringLiteral("URptOrdVir"), [] { return std::make_unique<TfrmRptOrdVir>(); });
    RegisterDocument(QStringLiteral("URptOrdVirCCP"), [] { return std::make_unique<TfrmRptOrdVirCCP>(); });
    RegisterDocument(QStringLiteral("URptOrdVirCCP_ACTEL"), [] { return std::make_unique<TfrmRptOrdVirCCP_Actel>(); });
    RegisterDocument(QStringLiteral("URptOrdVirCCP_Verso"), [] { return std::make_unique<TfrmRptOrdVirCCP_Verso>(); });
    RegisterDocument(QStringLiteral("URptOrdVirMis_FB"), [] { return std::make_unique<TfrmRptOrdVirMis_FB>(); });
    RegisterDocument(QStringLiteral("URptOrdVirMission"), [] { return std::make_unique<TfrmRptOrdVirMission>(); });
    RegisterDocument(QStringLiteral("URptOrdVirMission_210208"),
                     [] { return std::make_unique<TfrmRptOrdVirMission_210208>(); });
    RegisterDocument(QStringLiteral("URptOrdVirMission_210501"),
                     [] { return std::make_unique<TfrmRptOrdVirMission_210501>(); });
    RegisterDocument(QStringLiteral("URptSF_S1_S2"), [] { return std::make_unique<TfrmRptSF_S1_S2>(); });
}

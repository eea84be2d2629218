#include "reports/DocumentRegistry.h"

#include "reports/ReportForm.h"
#include "reports/commitments/URptFEDep.h"
#include "reports/commitments/URptFEDep_PreImp.h"
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
    RegisterDocument(QStringLiteral("URptEtatPAllocEt"), [] { return std::make_unique<TfrmRptEtatPAllocEt>(); });
    RegisterDocument(QStringLiteral("URptEtatPCongeSc"), [] { return std::make_unique<TfrmRptEtatPCongeSc>(); });
    RegisterDocument(QStringLiteral("URptEtatPFact"), [] { return std::make_unique<TfrmRptEtatPFact>(); });
    RegisterDocument(QStringLiteral("URptEtatPMission"), [] { return std::make_unique<TfrmRptEtatPMission>(); });
    RegisterDocument(QStringLiteral("URptEtatVir"), [] { return std::make_unique<TfrmRptEtatVir>(); });
    RegisterDocument(QStringLiteral("URptFEDep"), [] { return std::make_unique<TfrmRptFEDep>(); });
    RegisterDocument(QStringLiteral("URptFEDep_PreImp"), [] { return std::make_unique<TfrmRptFEDep_PreImp>(); });
    RegisterDocument(QStringLiteral("URptListDep"), [] { return std::make_unique<TfrmRptListDep>(); });
    RegisterDocument(QStringLiteral("URptListEng"), [] { return std::make_unique<TfrmRptListEng>(); });
    RegisterDocument(QStringLiteral("URptListMdt"), [] { return std::make_unique<TfrmRptListMdt>(); });
    RegisterDocument(QStringLiteral("URptMandat_2205_FB"), [] { return std::make_unique<TfrmRptMandat_2205_FB>(); });
    RegisterDocument(QStringLiteral("URptMandat_2205_P"), [] { return std::make_unique<TfrmRptMandat_2205_P>(); });
    RegisterDocument(QStringLiteral("URptMandat_FB"), [] { return std::make_unique<TfrmRptMandat_FB>(); });
    RegisterDocument(QStringLiteral("URptMandat_P"), [] { return std::make_unique<TfrmRptMandat_P>(); });
    RegisterDocument(QStringLiteral("URptMandat_Salaire"), [] { return std::make_unique<TfrmRptMandat_Salaire>(); });
}

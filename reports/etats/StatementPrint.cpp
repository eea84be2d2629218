#include "reports/etats/StatementPrint.h"

#include "reports/etats/URptEtatPAllocEt.h"
#include "reports/etats/URptEtatPCongeSc.h"
#include "reports/etats/URptEtatPFact.h"
#include "reports/etats/URptEtatPMission.h"
#include "reports/etats/URptEtatVir.h"

#include <memory>

void PreviewStatement(QWidget* caller, TStatement statement, int idMdt)
{
    if (statement == TStatement::Transfer) {
        TfrmRptEtatVir form;
        form.IdMdt = idMdt;
        form.Preview(caller);
        return;
    }
    std::unique_ptr<TPaymentStatementForm> form;
    switch (statement) {
    case TStatement::Invoices:
        form = std::make_unique<TfrmRptEtatPFact>();
        break;
    case TStatement::Missions:
        form = std::make_unique<TfrmRptEtatPMission>();
        break;
    case TStatement::Allowances:
    case TStatement::VisaRefunds: {
        auto allowances = std::make_unique<TfrmRptEtatPAllocEt>();
        allowances->TypeEtat = statement == TStatement::VisaRefunds ? QStringLiteral("V") : QStringLiteral("A");
        form = std::move(allowances);
        break;
    }
    case TStatement::FeesAndLeave:
    case TStatement::Transfer:
        form = std::make_unique<TfrmRptEtatPCongeSc>();
        break;
    }
    form->IdMdt = idMdt;
    form->Preview(caller);
}

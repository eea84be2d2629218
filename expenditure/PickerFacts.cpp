#include "expenditure/PickerFacts.h"

#include "data/Codes.h"
#include "data/UDM.h"
#include "db/Database.h"
#include "documents/DocumentLines.h"
#include "expenditure/OrderStore.h"

#include <memory>

namespace {

struct Statements {
    TOrderStore orders;
    db::Query imputations{DM->LURDO, QStringLiteral("SELECT ID_DETAIL, SUM(MONTANT) AS MT FROM DET_SALAIRE "
                                                    "WHERE ID_DEPENSE=:ID_DEPENSE AND TYPE_DET=:IMPUTATION GROUP BY ID_DETAIL")};
    db::Query beneficiary{DM->LURDO, QStringLiteral("SELECT TYPE_BEN, SERVICE_GRADE FROM BENEF WHERE ID_BEN=:ID_BEN")};
    db::Query line{DM->LURDO, QStringLiteral("SELECT CHAP, ART, PAR FROM FNM WHERE ID_FNM=:ID_FNM")};
};

} // namespace

picker::Facts DatabaseFacts(picker::Mode mode, const QDate& date)
{
    auto s = std::make_shared<Statements>();
    picker::Facts facts;
    facts.credit = [s, mode, date](qint64 idFnm) {
        picker::Credit c;
        c.available = DM->Queries().CreditAvailableAt(idFnm, date);
        // The sheet being filled counts with its lines: its header's amount
        // follows them in the transaction of every change.
        c.committed = DM->Queries().TotalCommittedAt(0, idFnm, date);
        if (mode == picker::Mode::PaymentOrder)
            c.mandated = DM->Queries().TotalMandatedAt(0, idFnm, date) + DM->Queries().UndatedMandatedOn(idFnm);
        return c;
    };
    facts.lineLabel = [s](qint64 idFnm) {
        s->line.setParam(QStringLiteral("ID_FNM"), idFnm);
        s->line.open();
        const QString label = s->line.isEmpty() ? QString()
                                                : BudgetLineLabel(s->line.asString(QStringLiteral("CHAP")),
                                                                  s->line.asString(QStringLiteral("ART")),
                                                                  s->line.asString(QStringLiteral("PAR")));
        s->line.close();
        return label;
    };
    facts.imputations = [s](qint64 idDepense) {
        QHash<qint64, Currency> shares;
        s->imputations.setParam(QStringLiteral("ID_DEPENSE"), idDepense);
        s->imputations.setParam(QStringLiteral("IMPUTATION"), toDb(SalaryLineType::Imputation));
        s->imputations.open();
        for (int r = 0; r < s->imputations.rowCount(); ++r)
            shares.insert(db::toInt(s->imputations.at(r, 0)), db::toCurrency(s->imputations.at(r, 1)));
        s->imputations.close();
        return shares;
    };
    facts.supplierPaid = [s](qint64 idBen) { return s->orders.SupplierPaidTotal(idBen); };
    facts.beneficiary = [s](qint64 idBen) {
        picker::Beneficiary b;
        s->beneficiary.setParam(QStringLiteral("ID_BEN"), idBen);
        s->beneficiary.open();
        if (!s->beneficiary.isEmpty()) {
            b.found = true;
            b.type = fromDb<BeneficiaryType>(s->beneficiary.asInt(QStringLiteral("TYPE_BEN")));
            b.grade = s->beneficiary.isNull(QStringLiteral("SERVICE_GRADE"))
                          ? -1
                          : int(s->beneficiary.asInt(QStringLiteral("SERVICE_GRADE")));
        }
        s->beneficiary.close();
        return b;
    };
    return facts;
}

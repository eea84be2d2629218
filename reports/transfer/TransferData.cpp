#include "reports/transfer/TransferData.h"

#include "core/GlobalState.h"
#include "core/Routines.h"
#include "data/UDM.h"
#include "db/Database.h"

Currency TTransferBeneficiary::Total() const
{
    Currency total;
    for (const TTransferLine& line : lines)
        total += line.amount;
    return total;
}

QString TTransferBeneficiary::BankAndAgency() const
{
    return agency.isEmpty() ? bank : bank + QStringLiteral(" - ") + agency;
}

bool TTransferBeneficiary::Postal() const
{
    return IsPostalBankName(bank);
}

void TTransferData::Load(qint64 idMdt)
{
    beneficiaries.clear();
    // The order's lines first; their expense, beneficiary, bank, agency and
    // budget line by key. Beneficiaries in name order, homonyms by key.
    db::Query q(DM->LURDO,
                QStringLiteral("SELECT B.ID_DEPENSE, A.MONTANT, B.NO_DEPENSE, B.DATE_DEPENSE, B.REMBOURS, "
                               "B.REGIME_GEN, B.ASS_CHOMAGE, B.RETRAITE_ANT, B.ID_BEN, C.TYPE_BEN, C.NOM, C.COMPTE, "
                               "D.RS, E.LIBELLE, F.INTITULE "
                               "FROM DET_MDT A JOIN DEPENSE B ON A.ID_DETAIL=B.ID_DEPENSE "
                               "LEFT JOIN BENEF C ON B.ID_BEN=C.ID_BEN "
                               "LEFT JOIN BANQUE D ON C.ID_BANQUE=D.ID_BANQUE "
                               "LEFT JOIN AGENCE E ON C.ID_AGENCE=E.ID_AGENCE "
                               "LEFT JOIN FNM F ON B.ID_FNM=F.ID_FNM "
                               "WHERE A.ID_MDT=:ID_MDT ORDER BY C.NOM, B.ID_BEN, A.NOLINE"));
    q.setParam(QStringLiteral("ID_MDT"), idMdt);
    q.open();
    for (q.first(); !q.eof(); q.next()) {
        const qint64 idBen = q.isNull(QStringLiteral("ID_BEN")) ? -1 : q.asInt(QStringLiteral("ID_BEN"));
        if (beneficiaries.empty() || beneficiaries.back().idBen != idBen) {
            TTransferBeneficiary ben;
            ben.idBen = idBen;
            ben.typeBen = fromDb<BeneficiaryType>(q.asInt(QStringLiteral("TYPE_BEN")));
            ben.nom = q.asString(QStringLiteral("NOM")).trimmed();
            ben.compte = q.asString(QStringLiteral("COMPTE")).trimmed();
            ben.bank = q.asString(QStringLiteral("RS")).trimmed();
            ben.agency = q.asString(QStringLiteral("LIBELLE")).trimmed();
            beneficiaries.push_back(std::move(ben));
        }
        TTransferLine line;
        line.idDepense = q.asInt(QStringLiteral("ID_DEPENSE"));
        line.amount = q.asCurrency(QStringLiteral("MONTANT"));
        line.noDepense = q.asString(QStringLiteral("NO_DEPENSE")).trimmed();
        line.dateDepense = q.asDate(QStringLiteral("DATE_DEPENSE"));
        line.rembours = fromDb<PaymentType>(q.asInt(QStringLiteral("REMBOURS")));
        line.budgetTitle = q.asString(QStringLiteral("INTITULE")).trimmed();
        line.regimeGen = q.asCurrency(QStringLiteral("REGIME_GEN"));
        line.assChomage = q.asCurrency(QStringLiteral("ASS_CHOMAGE"));
        line.retraiteAnt = q.asCurrency(QStringLiteral("RETRAITE_ANT"));
        beneficiaries.back().lines.push_back(std::move(line));
    }
    q.close();
}

std::vector<const TTransferLine*> TTransferData::Lines() const
{
    std::vector<const TTransferLine*> lines;
    for (const TTransferBeneficiary& ben : beneficiaries)
        for (const TTransferLine& line : ben.lines)
            lines.push_back(&line);
    return lines;
}

Currency TTransferData::Total() const
{
    Currency total;
    for (const TTransferBeneficiary& ben : beneficiaries)
        total += ben.Total();
    return total;
}

QString DebitAccountFor(const TTransferBeneficiary& ben)
{
    return ben.Postal() ? PostalAccount : TreasuryAccount;
}

TAccountAndKey SplitAccountKey(const QString& account)
{
    if (account.size() < 2)
        return {QString(), account};
    return {account.left(account.size() - 2), account.right(2)};
}

std::vector<TSalaryDetailRow> ReadFirstLineSalaryDetail(qint64 idMdt)
{
    std::vector<TSalaryDetailRow> rows;
    db::Query q(DM->LURDO,
                QStringLiteral("SELECT B.MONTANT, C.INTITULE "
                               "FROM DET_MDT A JOIN DET_SALAIRE B ON B.ID_DEPENSE=A.ID_DETAIL "
                               "LEFT JOIN FNM C ON B.ID_DETAIL=C.ID_FNM "
                               "WHERE A.ID_MDT=:ID_MDT AND B.TYPE_DET=:TYPE_DET AND A.NOLINE="
                               "(SELECT MIN(NOLINE) FROM DET_MDT WHERE ID_MDT=:ID_MDT) "
                               "ORDER BY B.NO_ORD"));
    q.setParam(QStringLiteral("ID_MDT"), idMdt);
    q.setParam(QStringLiteral("TYPE_DET"), toDb(SalaryLineType::Imputation));
    q.open();
    for (q.first(); !q.eof(); q.next())
        rows.push_back({q.asString(QStringLiteral("INTITULE")).trimmed(), q.asCurrency(QStringLiteral("MONTANT"))});
    q.close();
    return rows;
}

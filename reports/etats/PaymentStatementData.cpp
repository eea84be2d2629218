#include "reports/etats/PaymentStatementData.h"

#include "data/UDM.h"
#include "db/Database.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

qint64 KeyOrNone(const db::Query& q, const QString& column)
{
    return q.isNull(column) ? -1 : q.asInt(column);
}

// A small code table read once: its key and its caption.
std::map<qint64, QString> CodeTable(const QString& sql, const QString& key, const QString& caption)
{
    std::map<qint64, QString> table;
    db::Query q(DM->LURDO, sql);
    q.open();
    for (q.first(); !q.eof(); q.next())
        table.emplace(q.asInt(key), q.asString(caption));   // the first row of a key stored twice
    return table;
}

} // namespace

void TPaymentStatementData::Load(qint64 idMdt)
{
    orderFound = false;
    noMdt.clear();
    dateMdt = QDate();
    lines.clear();
    beneficiaries.clear();
    m_index.clear();

    db::Query qMdt(DM->LURDO, QStringLiteral("SELECT NO_MDT, DATE_MDT FROM ENT_MDT WHERE ID_MDT=:ID_MDT"));
    qMdt.setParam(QStringLiteral("ID_MDT"), idMdt);
    qMdt.open();
    if (qMdt.isEmpty())
        return;
    orderFound = true;
    noMdt = qMdt.asString(QStringLiteral("NO_MDT")).trimmed();
    dateMdt = qMdt.asDate(QStringLiteral("DATE_MDT"));
    qMdt.close();

    const std::map<qint64, QString> banks =
        CodeTable(QStringLiteral("SELECT ID_BANQUE, RS FROM BANQUE"), QStringLiteral("ID_BANQUE"), QStringLiteral("RS"));
    const std::map<qint64, QString> grades = CodeTable(QStringLiteral("SELECT ID_GRADE, LIBELLE FROM GRADE"),
                                                       QStringLiteral("ID_GRADE"), QStringLiteral("LIBELLE"));
    // The budget lines of the order's expenses, each once (a line of the
    // nomenclature stored twice under one key is read once).
    std::map<qint64, std::pair<QString, QString>> budget;
    {
        db::Query qFNM(DM->LURDO, QStringLiteral("SELECT DISTINCT B.ID_FNM, C.CHAP, C.ART "
                                                 "FROM DET_MDT A JOIN DEPENSE B ON A.ID_DETAIL=B.ID_DEPENSE "
                                                 "JOIN FNM C ON B.ID_FNM=C.ID_FNM WHERE A.ID_MDT=:ID_MDT"));
        qFNM.setParam(QStringLiteral("ID_MDT"), idMdt);
        qFNM.open();
        for (qFNM.first(); !qFNM.eof(); qFNM.next())
            budget.emplace(qFNM.asInt(QStringLiteral("ID_FNM")),
                           std::make_pair(qFNM.asString(QStringLiteral("CHAP")).trimmed(),
                                          qFNM.asString(QStringLiteral("ART")).trimmed()));
    }

    db::Query qDep(DM->LURDO,
                   QStringLiteral("SELECT A.MONTANT, B.NO_DEPENSE, B.DATE_DEPENSE, B.ID_BEN, B.ID_FNM, B.REMBOURS, "
                                  "C.ID_BEN AS FOUND_BEN, C.NOM, C.ADR, C.VILLE, C.RC, C.MF, C.AI, C.COMPTE, "
                                  "C.ID_BANQUE, C.SERVICE_GRADE "
                                  "FROM DET_MDT A LEFT JOIN DEPENSE B ON A.ID_DETAIL=B.ID_DEPENSE "
                                  "LEFT JOIN BENEF C ON B.ID_BEN=C.ID_BEN "
                                  "WHERE A.ID_MDT=:ID_MDT ORDER BY A.NOLINE"));
    qDep.setParam(QStringLiteral("ID_MDT"), idMdt);
    qDep.open();
    std::set<qint64> seen;
    for (qDep.first(); !qDep.eof(); qDep.next()) {
        TStatementLine line;
        line.amount = qDep.asCurrency(QStringLiteral("MONTANT"));
        line.noDepense = qDep.asString(QStringLiteral("NO_DEPENSE")).trimmed();
        line.dateDepense = qDep.asDate(QStringLiteral("DATE_DEPENSE"));
        line.idBen = KeyOrNone(qDep, QStringLiteral("ID_BEN"));
        line.rembours = fromDb<PaymentType>(qDep.asInt(QStringLiteral("REMBOURS")));
        const auto fnm = budget.find(KeyOrNone(qDep, QStringLiteral("ID_FNM")));
        if (fnm != budget.end()) {
            line.chap = fnm->second.first;
            line.art = fnm->second.second;
        }
        lines.push_back(line);
        if (line.idBen == -1 || !seen.insert(line.idBen).second)
            continue;
        TStatementBeneficiary ben;
        ben.idBen = line.idBen;
        ben.found = !qDep.isNull(QStringLiteral("FOUND_BEN"));
        ben.nom = qDep.asString(QStringLiteral("NOM")).trimmed();
        ben.adr = qDep.asString(QStringLiteral("ADR")).trimmed();
        ben.ville = qDep.asString(QStringLiteral("VILLE")).trimmed();
        ben.rc = qDep.asString(QStringLiteral("RC")).trimmed();
        ben.mf = qDep.asString(QStringLiteral("MF")).trimmed();
        ben.ai = qDep.asString(QStringLiteral("AI")).trimmed();
        ben.compte = qDep.asString(QStringLiteral("COMPTE")).trimmed();
        if (ben.found) {
            const auto bank = banks.find(qDep.asInt(QStringLiteral("ID_BANQUE")));
            ben.bankFound = bank != banks.end();
            if (ben.bankFound)
                ben.bank = bank->second.trimmed();
            if (!qDep.isNull(QStringLiteral("SERVICE_GRADE"))) {
                const auto grade = grades.find(qDep.asInt(QStringLiteral("SERVICE_GRADE")));
                if (grade != grades.end())
                    ben.grade = grade->second.trimmed();
            }
        }
        beneficiaries.push_back(ben);
    }
    std::stable_sort(beneficiaries.begin(), beneficiaries.end(),
                     [](const TStatementBeneficiary& a, const TStatementBeneficiary& b) {
                         if (a.nom != b.nom)
                             return a.nom < b.nom;
                         return a.idBen < b.idBen;
                     });
    for (size_t i = 0; i < beneficiaries.size(); ++i)
        m_index.emplace(beneficiaries[i].idBen, i);
}

const TStatementBeneficiary* TPaymentStatementData::Beneficiary(qint64 idBen) const
{
    const auto it = m_index.find(idBen);
    return it == m_index.end() ? nullptr : &beneficiaries[it->second];
}

bool TPaymentStatementData::FirstLinePays() const
{
    return !lines.empty() && lines.front().rembours != PaymentType::Reimbursement;
}

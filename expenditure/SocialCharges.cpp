#include "expenditure/SocialCharges.h"

#include "data/Codes.h"
#include "data/UDM.h"
#include "db/Database.h"
#include "expenditure/ExpenseStore.h"

namespace charges {

Currency AtRate(Currency base, std::int64_t rate)
{
    // raw × rate / 10000, exact in 128 bits, the remainder deciding the rounding.
    constexpr std::int64_t Divisor = 10000;
    const __int128 product = __int128(base.raw()) * rate;
    __int128 quotient = product / Divisor;
    const __int128 remainder = product % Divisor;
    const __int128 twice = (remainder < 0 ? -remainder : remainder) * 2;
    if (twice > Divisor || (twice == Divisor && quotient % 2 != 0))
        quotient += product < 0 ? -1 : 1;
    return Currency::fromRaw(std::int64_t(quotient));
}

TContributions ContributionsOf(Currency base)
{
    return TContributions{AtRate(base, RegimeGeneralRate), AtRate(base, UnemploymentRate),
                          AtRate(base, EarlyRetirementRate)};
}

TChargeTotals TotalsOf(const QList<TChargeBase>& bases)
{
    TChargeTotals t;
    for (const TChargeBase& b : bases) {
        const TContributions c = ContributionsOf(b.base);
        t.base += b.base;
        t.contributions.regimeGeneral += c.regimeGeneral;
        t.contributions.unemployment += c.unemployment;
        t.contributions.earlyRetirement += c.earlyRetirement;
    }
    return t;
}

QList<TChargeBase> ReadBases(const QDate& start, const QDate& end)
{
    // The orders' lines of any expense but a salary one, on a line subject to
    // charges; then the imputations of the salary expenses on such lines.
    db::Query q(DM->LURDO,
                QStringLiteral("SELECT M.ID_MDT, M.NO_MDT, M.DATE_MDT, L.NOLINE, F.CHAP, F.ART, F.PAR, "
                               "L.MONTANT AS BASE, 0 AS ID_DET_SAL "
                               "FROM ENT_MDT M JOIN DET_MDT L ON L.ID_MDT=M.ID_MDT "
                               "JOIN DEPENSE D ON D.ID_DEPENSE=L.ID_DETAIL "
                               "JOIN FNM F ON F.ID_FNM=D.ID_FNM "
                               "WHERE M.DATE_MDT>=:DATE_D AND M.DATE_MDT<=:DATE_F AND D.TYPE_DEPENSE<>:SALARY "
                               "AND F.SOUMIS_CHARGE=1 "
                               "UNION ALL "
                               "SELECT M.ID_MDT, M.NO_MDT, M.DATE_MDT, L.NOLINE, F.CHAP, F.ART, F.PAR, "
                               "S.MONTANT, S.ID_DET_SAL "
                               "FROM ENT_MDT M JOIN DET_MDT L ON L.ID_MDT=M.ID_MDT "
                               "JOIN DEPENSE D ON D.ID_DEPENSE=L.ID_DETAIL "
                               "JOIN DET_SALAIRE S ON S.ID_DEPENSE=D.ID_DEPENSE "
                               "JOIN FNM F ON F.ID_FNM=S.ID_DETAIL "
                               "WHERE M.DATE_MDT>=:DATE_D AND M.DATE_MDT<=:DATE_F AND D.TYPE_DEPENSE=:SALARY "
                               "AND S.TYPE_DET=:IMPUTATION AND F.SOUMIS_CHARGE=1 "
                               "ORDER BY 2, 3, 1, 4, 5, 6, 7, 9"));
    q.setParam(QStringLiteral("DATE_D"), start);
    q.setParam(QStringLiteral("DATE_F"), end);
    q.setParam(QStringLiteral("SALARY"), toDb(ExpenseKind::SalaryToPay));
    q.setParam(QStringLiteral("IMPUTATION"), toDb(SalaryLineType::Imputation));
    q.open();
    QList<TChargeBase> bases;
    bases.reserve(q.rowCount());
    for (int r = 0; r < q.rowCount(); ++r) {
        TChargeBase b;
        b.idMdt = db::toInt(q.at(r, 0));
        b.noMdt = db::toText(q.at(r, 1)).trimmed();
        b.dateMdt = db::toDate(q.at(r, 2));
        b.chap = db::toText(q.at(r, 4)).trimmed();
        b.art = db::toText(q.at(r, 5)).trimmed();
        b.par = db::toText(q.at(r, 6)).trimmed();
        b.base = db::toCurrency(q.at(r, 7));
        bases.append(b);
    }
    return bases;
}

} // namespace charges

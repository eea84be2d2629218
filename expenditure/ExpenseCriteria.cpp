#include "expenditure/ExpenseCriteria.h"

#include "data/RowCriteria.h"

#include <QStringList>

void TSqlCondition::BindTo(db::Query& query) const
{
    for (const auto& p : params)
        query.setParam(p.first, p.second);
}

TSqlCondition BuildExpenseCondition(const TFilterCriteria& f, const QString& prefix)
{
    TSqlCondition c;
    QStringList pieces;
    auto column = [&](const char* name) { return prefix + QLatin1String(name); };
    if (const std::optional<ExpenseKind> kind = f.Kind()) {
        pieces << QStringLiteral("(%1=:TYPE_DEPENSE)").arg(column("TYPE_DEPENSE"));
        c.params.append({QStringLiteral("TYPE_DEPENSE"), toDbValue(*kind)});
    }
    if (f.imput && f.idFnm != -1) {
        pieces << QStringLiteral("(%1=:ID_FNM)").arg(column("ID_FNM"));
        c.params.append({QStringLiteral("ID_FNM"), db::Value(f.idFnm)});
    }
    if (f.num && !f.numFrom.isEmpty()) {
        // Numbers compare as text.
        pieces << QStringLiteral("(%1>=:NUM_D) AND (%1<=:NUM_F)").arg(column("NO_DEPENSE"));
        c.params.append({QStringLiteral("NUM_D"), db::Value(f.numFrom)});
        c.params.append({QStringLiteral("NUM_F"), db::Value(f.numTo)});
    }
    if (f.date) {
        pieces << QStringLiteral("(%1>=:DATE_D) AND (%1<=:DATE_F)").arg(column("DATE_DEPENSE"));
        c.params.append({QStringLiteral("DATE_D"), db::Value(f.dateFrom)});
        c.params.append({QStringLiteral("DATE_F"), db::Value(f.dateTo)});
    }
    if (f.mt) {
        pieces << QStringLiteral("(%1>=:MT_MIN) AND (%1<=:MT_MAX)").arg(column("MONTANT"));
        c.params.append({QStringLiteral("MT_MIN"), db::Value(f.mtMin)});
        c.params.append({QStringLiteral("MT_MAX"), db::Value(f.mtMax)});
    }
    if (f.ben && f.idBen != -1) {
        pieces << QStringLiteral("(%1=:ID_BEN)").arg(column("ID_BEN"));
        c.params.append({QStringLiteral("ID_BEN"), db::Value(f.idBen)});
    }
    c.sql = pieces.join(QStringLiteral(" AND "));
    return c;
}

TRowFilter ExpenseRowFilter(const TFilterCriteria& f)
{
    const std::optional<ExpenseKind> kind = f.Kind();
    const bool imput = f.imput && f.idFnm != -1;
    const bool num = f.num && !f.numFrom.isEmpty();
    const bool ben = f.ben && f.idBen != -1;
    if (!kind && !imput && !num && !f.date && !f.mt && !ben)
        return nullptr;
    return [=](const QueryRow& r) {
        if (kind && !criteria::KeyEquals(r.value(QStringLiteral("TYPE_DEPENSE")), toDb(*kind)))
            return false;
        if (imput && !criteria::KeyEquals(r.value(QStringLiteral("ID_FNM")), f.idFnm))
            return false;
        if (num && !criteria::TextBetween(r.value(QStringLiteral("NO_DEPENSE")), f.numFrom, f.numTo))
            return false;
        if (f.date && !criteria::DateBetween(r.value(QStringLiteral("DATE_DEPENSE")), f.dateFrom, f.dateTo))
            return false;
        if (f.mt && !criteria::AmountBetween(r.value(QStringLiteral("MONTANT")), f.mtMin, f.mtMax))
            return false;
        if (ben && !criteria::KeyEquals(r.value(QStringLiteral("ID_BEN")), f.idBen))
            return false;
        return true;
    };
}

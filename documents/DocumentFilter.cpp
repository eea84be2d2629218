#include "documents/DocumentFilter.h"

#include "core/GlobalState.h"
#include "data/RowCriteria.h"
#include "data/UDM.h"

#include <QStringList>

TFilterCriteria TFilterCriteria::Reset()
{
    TFilterCriteria f;
    const int year = FiscalYear.trimmed().toInt();
    f.dateFrom = QDate(year, 1, 1);
    f.dateTo = QDate(year, 12, 31);
    return f;
}

std::optional<ExpenseKind> TFilterCriteria::Kind() const
{
    // The list holds "Toutes les dépenses", then the kinds in the order of their codes.
    return kindIndex > 0 ? std::optional(fromDb<ExpenseKind>(kindIndex - 1)) : std::nullopt;
}

QSet<qint64> DocumentsOfExpenses(const TFilterCriteria& f, const TDocumentRows& rows)
{
    QStringList where;
    if (rows.lineObject)
        where << QStringLiteral("D.OBJET=:OBJET");
    if (f.idBen != -1)
        where << QStringLiteral("E.ID_BEN=:ID_BEN");
    if (f.mtBen)
        where << QStringLiteral("E.MONTANT>=:MT_MIN AND E.MONTANT<=:MT_MAX");
    db::Query q(DM->LURDO, QStringLiteral("SELECT DISTINCT D.%1 FROM %2 D JOIN DEPENSE E ON E.ID_DEPENSE=D.ID_DETAIL")
                                   .arg(rows.key, rows.lineTable)
                               + (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "))));
    if (rows.lineObject)
        q.setParam(QStringLiteral("OBJET"), toDb(*rows.lineObject));
    if (f.idBen != -1)
        q.setParam(QStringLiteral("ID_BEN"), f.idBen);
    if (f.mtBen) {
        q.setParam(QStringLiteral("MT_MIN"), f.mtMinBen);
        q.setParam(QStringLiteral("MT_MAX"), f.mtMaxBen);
    }
    q.open();
    QSet<qint64> ids;
    ids.reserve(q.rowCount());
    for (int r = 0; r < q.rowCount(); ++r)
        ids.insert(db::toInt(q.at(r, 0)));
    return ids;
}

TRowFilter DocumentRowFilter(const TFilterCriteria& f, const TDocumentRows& rows,
                             const QSet<qint64>& ofLine, const QString& chapter)
{
    if (f.IsEmpty() && chapter.isEmpty())
        return nullptr;
    const bool num = f.ByNumber();
    const bool line = f.ByBudgetLine();
    const bool byExpenses = f.ByExpenses();
    const QSet<qint64> ofExpenses = byExpenses ? DocumentsOfExpenses(f, rows) : QSet<qint64>();
    return [=](const QueryRow& r) {
        if (!chapter.isEmpty() && criteria::CompareStoredText(r.asString(QStringLiteral("CHAP")), chapter) != 0)
            return false;
        if (num && !criteria::TextBetween(r.value(rows.number), f.numFrom, f.numTo))
            return false;
        if (line) {
            const bool onLine = rows.budgetLine.isEmpty() ? ofLine.contains(r.asInt(rows.key))
                                                          : criteria::KeyEquals(r.value(rows.budgetLine), f.idFnm);
            if (!onLine)
                return false;
        }
        if (f.date && !criteria::DateBetween(r.value(rows.date), f.dateFrom, f.dateTo))
            return false;
        if (f.mt && !criteria::AmountBetween(r.value(rows.amount), f.mtMin, f.mtMax))
            return false;
        if (byExpenses && !ofExpenses.contains(r.asInt(rows.key)))
            return false;
        return true;
    };
}

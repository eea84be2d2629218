#include "expenditure/ExpenseRows.h"

#include "expenditure/ExpenseStore.h"
#include "ui/QueryTableModel.h"

#include <functional>

namespace {

// The first row of `rows` whose `field` passes `match`; -1 when none. The
// column is found once: a year's expenses are many.
int FindRow(const QueryTableModel& rows, const QString& field, const std::function<bool(const db::Value&)>& match)
{
    const int column = rows.fieldIndex(field);
    if (column < 0)
        return -1;
    for (int r = 0; r < rows.rowCount(); ++r)
        if (match(rows.sourceValues(rows.sourceRow(r))[size_t(column)]))
            return r;
    return -1;
}

} // namespace

int FindExpense(const QueryTableModel& rows, qint64 id)
{
    return FindRow(rows, QStringLiteral("ID_DEPENSE"), [id](const db::Value& v) { return db::toInt(v) == id; });
}

int FindExpenseNumber(const QueryTableModel& rows, const QString& number)
{
    return FindRow(rows, QStringLiteral("NO_DEPENSE"), [&number](const db::Value& v) { return db::toText(v) == number; });
}

void TakeExpense(TExpenseStore& store, QueryTableModel& rows, qint64 id)
{
    const int taken = FindExpense(rows, id);
    if (taken >= 0) {
        rows.removeSourceRow(taken);
        rows.setCurrentRow(taken);
    }
    TListingRows read = store.ReadExpenseRow(id);
    if (!read.rows.empty() && read.names == rows.fieldNames()) {
        // After the rows of its date and of every date before it; undated rows come first.
        const QDate day = QueryRow(&read.names, &read.rows.front()).asDate(QStringLiteral("DATE_DEPENSE"));
        const int date = rows.fieldIndex(QStringLiteral("DATE_DEPENSE"));
        int at = 0;
        while (at < rows.totalRowCount()) {
            const QDate other = db::toDate(rows.sourceValues(at)[size_t(date)]);
            if (day.isValid() && (!other.isValid() || other <= day))
                ++at;
            else if (!day.isValid() && !other.isValid())
                ++at;
            else
                break;
        }
        rows.insertSourceRow(at, std::move(read.rows.front()));
        rows.setCurrentRow(at);
    }
}

#pragma once
// The expenses an expense editor browses, shown in its grid model, kept in
// step with what is stored without reading the whole list again.

#include <QString>

class QueryTableModel;
class TExpenseStore;

// The browsed expenses `rows` (a model of TExpenseStore::ReadExpenses' rows,
// neither filtered nor sorted) once the expense `id` was written or deleted:
// only its row is read again, and put in its place in date order (taken out
// when it is gone), the current row on it (on the row that followed it when
// it is gone).
void TakeExpense(TExpenseStore& store, QueryTableModel& rows, qint64 id);
// The row of `rows` (ReadExpenses' rows) holding the expense `id`, or
// numbered exactly `number`; -1 when none.
int FindExpense(const QueryTableModel& rows, qint64 id);
int FindExpenseNumber(const QueryTableModel& rows, const QString& number);

#pragma once
// Commitment sheets the sheet-window tests start from, written through the
// sheet store as the windows write them, and committed.

#include "budget/SheetStore.h"
#include "common/ExpenseRows.h"

#include <QDate>

#include <initializer_list>

namespace rows {

// A budget line's primitive-budget sheet (number 0001, dated 05/01/2024), as
// the budget window writes it.
inline qint64 PrimitiveSheet(qint64 idFnm, Currency amount)
{
    TSheetStore store;
    TSheet primitive;
    primitive.number = QStringLiteral("0001");
    primitive.date = QDate(2024, 1, 5);
    primitive.idFnm = idFnm;
    primitive.objet = SheetObject::Economy;
    primitive.amount = amount;
    primitive.origin = SheetOrigin::PrimitiveBudget;
    primitive.idOrigine = idFnm;
    qint64 id = 0;
    Write([&] { id = store.InsertMovementSheet(primitive, LineObject::PrimitiveBudget, idFnm); });
    return id;
}

// A user commitment sheet dated `date` with a line of `amount` for each
// expense, as the commitment window and the expense picker write it.
inline qint64 UserSheet(std::initializer_list<qint64> expenses, Currency amount, const QDate& date)
{
    TSheetStore store;
    TSheet s;
    s.date = date;
    qint64 id = 0;
    Write([&] {
        id = store.InsertUserSheet(s);
        for (qint64 e : expenses)
            store.AddExpenseLine(id, e, amount);
    });
    return id;
}

} // namespace rows

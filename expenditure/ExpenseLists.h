#pragma once
// What the two lists of expenses share, the expense picker and the expense
// listing: the colour of a row by kind, the menu item whose write right
// guards an expense of a kind, and the deletion of an expense from a list.

#include "data/Codes.h"

#include <QColor>
#include <QString>

#include <array>
#include <functional>

// The background of an expense row: an invoice the window colour (invalid), a
// mission RGB 245,254,226, a salary expense to pay RGB 242,242,242, one to
// commit RGB 230,241,255.
QColor ExpenseKindColor(ExpenseKind kind);
// "mnFactures" (invoices), "mnDepSalaire" (salary expenses to pay),
// "mnAutreDep" (missions and salary expenses to commit).
QString ExpenseWriteRight(ExpenseKind kind);

// The deletion of an expense as every window does it: refused while a
// commitment sheet (a cancelled one too, whose lines must stay whole) or a
// payment order holds it, told with the text of what holds it (committed,
// mandated, both) before `ask` and decided again inside the deleting
// transaction; the expense goes with its salary lines. True when it was
// deleted.
bool DeleteUnheldExpense(qint64 idDepense, const std::array<QString, 3>& refusals, const std::function<bool()>& ask);
// The same from a list of expenses (the picker, the listing): the write right
// of the expense's kind first, the platform's confirmation dialog.
bool DeleteExpenseFromList(qint64 idDepense, ExpenseKind kind);

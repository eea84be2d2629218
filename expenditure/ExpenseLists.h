#pragma once
// What the two lists of expenses share, the expense picker and the expense
// listing: the colour of a row by kind, the menu item whose write right
// guards an expense of a kind, and the deletion of an expense from a list.

#include <QColor>
#include <QString>

#include <array>
#include <functional>

// The background of an expense row: kind 0 the window colour (invalid), 1 RGB
// 245,254,226, 2 RGB 242,242,242, 3 RGB 230,241,255.
QColor ExpenseKindColor(int kind);
// "mnFactures" (invoices), "mnDepSalaire" (salary expenses to pay),
// "mnAutreDep" (missions and salary expenses to commit).
QString ExpenseWriteRight(int kind);

// The deletion of an expense as every window does it: refused while a
// commitment sheet (a cancelled one too, whose lines must stay whole) or a
// payment order holds it, told with the text of what holds it (committed,
// mandated, both) before `ask` and decided again inside the deleting
// transaction; the expense goes with its salary lines. True when it was
// deleted.
bool DeleteUnheldExpense(qint64 idDepense, const std::array<QString, 3>& refusals, const std::function<bool()>& ask);
// The same from a list of expenses (the picker, the listing): the write right
// of the expense's kind first, the platform's confirmation dialog.
bool DeleteExpenseFromList(qint64 idDepense, int kind);

#pragma once
// What the two lists of expenses share, the expense picker and the expense
// listing: the colour of a row by kind, the menu item whose write right
// guards an expense of a kind, and the deletion of an expense from a list.

#include <QColor>
#include <QString>

// The background of an expense row: kind 0 the window colour (invalid), 1 RGB
// 245,254,226, 2 RGB 242,242,242, 3 RGB 230,241,255.
QColor ExpenseKindColor(int kind);
// "mnFactures" (invoices), "mnDepSalaire" (salary expenses to pay),
// "mnAutreDep" (missions and salary expenses to commit).
QString ExpenseWriteRight(int kind);

// Deletes an expense of `kind` from a list, as its editor would: the write
// right of its kind, then a refusal while a commitment sheet (a cancelled one
// too) or a payment order holds it, told before the question and decided
// again inside the deleting transaction, the question, and the expense
// deleted with its salary lines. True when it was deleted.
bool DeleteExpenseAsked(qint64 idDepense, int kind);

#pragma once
// The rules of a credit transfer's entry, as plain functions of the values
// entered: the amount read from the text typed in a cell, the checks of each
// grid's amounts, the totals, and the credit test of a giving line.

#include "budget/TransferStore.h"
#include "core/Currency.h"
#include "core/Refusal.h"

#include <QList>
#include <QString>

#include <optional>

// The amount typed in a cell: the text cleaned to the characters of a
// calculation (KeepCalcChars), read as a number in the program's format and
// rounded once, half away from zero, to the cent the database keeps. Nothing
// for any other text, or for an amount the column cannot hold. The value the
// checks see is the value stored.
std::optional<Currency> TransferAmount(const QString& text);

// One grid row holding a budget line, as entered: the line, and the amount
// typed for it once that reads as one (TransferAmount); nothing until then.
struct TTransferEntry {
    int gridRow = -1;
    qint64 idFnm = -1;
    QString chap;
    QString art;
    QString par;
    QString intitule;
    std::optional<Currency> amount;
};

// The grids a refusal of the save points to (TRefusal::field).
enum TransferField : int { GivingGrid, ReceivingGrid };

// Every amount of one grid must be a number above zero; the first row that is
// not, with its message and its grid row (TRefusal::row), in the grid of the
// rows checked.
TVerdict CheckTransferAmounts(const QList<TTransferEntry>& rows);

// The two totals must be above zero and equal; the refusal names the grid
// that takes the focus.
TVerdict CheckTransferTotals(Currency giving, Currency receiving);

// A giving line is short when what was paid on it plus the amount given
// exceeds its credit.
bool TransferCreditShort(const TTransferCredit& credit, Currency amount);

// The line of a refused row, as the credit refusal names it: chapter, article
// and paragraph separated by blanks.
QString TransferRowLabel(const TTransferEntry& row);

#pragma once
// TExpenseDocument: a document whose lines are expenses, as the expense
// picker fills it: a commitment sheet (budget/SheetStore.h) or a payment
// order (expenditure/OrderStore.h). The window that opens the picker hands it
// its document's lines this way, so the picker works on either without
// depending on the area of one.

#include "core/Currency.h"
#include "documents/DocumentLines.h"

#include <QList>
#include <QSet>
#include <QString>

// What a change of lines did to the document's number: a sheet that had none,
// or whose number another sheet of its new budget line held, takes the line's
// next free number. An order's number never follows its lines.
struct TDocumentNumbering {
    QString number;
    QString previousNumber;   // the number before, when another sheet of the line held it
    bool Renumbered() const { return !previousNumber.isEmpty() && previousNumber != number; }
};

class TExpenseDocument {
public:
    virtual ~TExpenseDocument() = default;

    // Whether the document takes lines no more (a sheet's; an order's never does).
    struct State {
        bool cancelled = false;
        bool visa = false;
    };

    // --- reads -------------------------------------------------------------
    virtual TDocumentLines Lines(qint64 idDoc) = 0;
    virtual State ReadState(qint64 idDoc) = 0;
    // The expenses that stand on a document of this kind.
    virtual QSet<qint64> PlacedExpenseIds() = 0;

    // --- writes (inside the caller's write operation) ----------------------
    // The store's own checks and locks apply: a document another user deleted,
    // cancelled or stamped meanwhile throws its refusal.
    // An expense line after the document's other lines; the header follows.
    virtual TDocumentNumbering AddExpenseLine(qint64 idDoc, qint64 idDepense, Currency amount) = 0;
    // Removes the expense's line; the header follows.
    virtual void RemoveExpenseLine(qint64 idDoc, qint64 idDepense) = 0;
    // Numbers the lines 1..n in the order given (expenses not listed follow).
    virtual void RenumberLines(qint64 idDoc, const QList<qint64>& expenseIds) = 0;
};

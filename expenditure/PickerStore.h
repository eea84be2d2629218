#pragma once
// TPickerStore: the write of the expense picker that puts an expense on a
// commitment sheet or a payment order, once the spending rules passed
// (expenditure/PickerRules.h).
//
// Also here: the read of the picker's list of expenses.
//
// The rules ran on what the picker read before the write: another user may
// have changed, deleted or placed the expense since. So the write decides on
// rows it locks first, inside the caller's write operation: the expense,
// then the document (its header follows the new line in the same operation,
// its budget line locked when the sheet takes a number). Another user's
// operation on any of them still in progress refuses the write at once with
// the engine's update conflict; one committed is read here. Either way one
// of two users adding one expense to two documents wins, and the other is told.

#include "data/ListingRows.h"
#include "documents/ExpenseDocument.h"
#include "expenditure/ExpenseStore.h"
#include "expenditure/PickerRules.h"

#include <memory>
#include <optional>

struct TSqlCondition;

class TPickerStore {
public:
    TPickerStore();
    ~TPickerStore();
    TPickerStore(const TPickerStore&) = delete;
    TPickerStore& operator=(const TPickerStore&) = delete;

    // The picker's list, latest date first: ID_DEPENSE, NO_DEPENSE,
    // DATE_DEPENSE, MONTANT, TYPE_DEPENSE, ID_FNM, ID_BEN, NOM_BEN (the
    // beneficiary's name) and IMPUT (the budget line's label). Picking for a
    // document of `mode`, every expense but the salary expenses of the other
    // stage (those to commit never go on a payment order, those to pay never
    // on a commitment sheet); without a mode, the expenses of `kind` (none:
    // every kind). `condition`, the filter's, narrows the rows (columns
    // qualified "D.").
    TListingRows ListRows(std::optional<picker::Mode> mode, std::optional<ExpenseKind> kind,
                          const TSqlCondition& condition);
    // The row of one expense of the pick list of `mode`, read again; no row
    // when it is gone.
    TListingRows ListedExpense(picker::Mode mode, qint64 idDepense);
    // The expense of a row of the list, as the rules look at it.
    static picker::Expense ExpenseOf(const QueryRow& row);

    enum class Outcome {
        Added,      // the line is written, with the expense's amount as it stands
        Gone,       // another user deleted the expense
        Taken,      // another document of the mode holds it now
        Changed,    // another user changed what the rules looked at
    };
    struct Result {
        Outcome outcome = Outcome::Added;
        std::optional<TExpense> now;   // the expense as it stands (Added, Taken, Changed)
        TDocumentNumbering sync;       // what the sheet's number took (a sheet's line added)
    };

    // Adds `checked`, the expense as the rules saw it, to the document `idDoc`
    // of `document` (a sheet's or an order's lines, as `mode` says), inside
    // the caller's write operation: nothing is written unless the outcome is
    // Added. A document another user deleted, cancelled or stamped meanwhile
    // throws its refusal.
    Result AddExpense(TExpenseDocument& document, picker::Mode mode, qint64 idDoc, const picker::Expense& checked);

    // Locks, for the adding operation, the rows the credit and ceiling
    // checks decide on: the budget lines the expense is charged to and, when
    // given (> 0), its supplier. Every add locks them the same way, so a
    // second user's add on one of them is refused as in progress until this
    // one ends, and the checks made again under the locks count every line
    // added before. Rows that are gone are passed over.
    static void LockCheckedRows(const QList<qint64>& budgetLines, qint64 idBen);

private:
    std::unique_ptr<db::Query> m_listed;
    TExpenseStore m_expenses;
};

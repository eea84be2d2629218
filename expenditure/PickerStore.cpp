#include "expenditure/PickerStore.h"

#include "data/UDM.h"

namespace {

// What the spending rules looked at: the kind, the budget line, the amount and
// the beneficiary.
bool SameAsChecked(const TExpense& now, const picker::Expense& checked)
{
    return now.kind == checked.kind && now.idFnm == checked.idFnm && now.amount == checked.amount
        && now.idBen == checked.idBen;
}

} // namespace

TPickerStore::Result TPickerStore::AddExpense(TExpenseDocument& document, picker::Mode mode, qint64 idDoc,
                                              const picker::Expense& checked)
{
    Result r;
    r.now = m_expenses.LockExpense(checked.id);
    if (!r.now) {
        r.outcome = Outcome::Gone;
        return r;
    }
    // With the expense locked, no other document can take it until this one
    // commits, and one that took it before is seen here.
    const bool order = mode == picker::Mode::PaymentOrder;
    const ExpenseState state = DM->Queries().GetExpenseState(checked.id);
    if (order ? IsMandated(state) : IsCommitted(state)) {
        r.outcome = Outcome::Taken;
        return r;
    }
    if (!SameAsChecked(*r.now, checked)) {
        r.outcome = Outcome::Changed;
        return r;
    }
    // The line takes the amount read under the lock, which is the amount checked.
    r.sync = document.AddExpenseLine(idDoc, checked.id, r.now->amount);
    return r;
}

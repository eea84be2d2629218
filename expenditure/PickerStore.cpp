#include "expenditure/PickerStore.h"

#include "data/KeptStatement.h"
#include "data/ShownRow.h"
#include "data/UDM.h"
#include "expenditure/ExpenseCriteria.h"

namespace {

// The select of the picker's list, under the conditions `where` (joined by AND).
QString ListSql(const QStringList& where)
{
    // The budget line's label and the beneficiary's name come with each row,
    // through their keys.
    return QStringLiteral("SELECT D.ID_DEPENSE, D.NO_DEPENSE, D.DATE_DEPENSE, D.MONTANT, D.TYPE_DEPENSE, D.ID_FNM, "
                          "D.ID_BEN, B.NOM AS NOM_BEN, "
                          "TRIM(F.CHAP) || '-' || TRIM(COALESCE(F.ART, '')) || "
                          "IIF(TRIM(COALESCE(F.PAR, ''))='', '', '-' || TRIM(F.PAR)) AS IMPUT "
                          "FROM DEPENSE D LEFT JOIN BENEF B ON B.ID_BEN=D.ID_BEN "
                          "LEFT JOIN FNM F ON F.ID_FNM=D.ID_FNM ")
        + (where.isEmpty() ? QString() : QStringLiteral("WHERE ") + where.join(QStringLiteral(" AND ")))
        + QStringLiteral(" ORDER BY D.DATE_DEPENSE DESC, D.ID_DEPENSE DESC");
}

// What the spending rules looked at: the kind, the budget line, the amount and
// the beneficiary.
bool SameAsChecked(const TExpense& now, const picker::Expense& checked)
{
    return now.kind == checked.kind && now.idFnm == checked.idFnm && now.amount == checked.amount
        && now.idBen == checked.idBen;
}

} // namespace

TPickerStore::TPickerStore() = default;
TPickerStore::~TPickerStore() = default;

TListingRows TPickerStore::ListRows(std::optional<picker::Mode> mode, std::optional<ExpenseKind> kind,
                                   const TSqlCondition& condition)
{
    QStringList where;
    if (mode)
        where << QStringLiteral("D.TYPE_DEPENSE<>:EXCLUDED_KIND");
    else if (kind)
        where << QStringLiteral("D.TYPE_DEPENSE=:LISTED_KIND");
    if (!condition.IsEmpty())
        where << condition.sql;
    db::Query q(DM->LURDO, ListSql(where));
    if (mode)
        q.setParam(QStringLiteral("EXCLUDED_KIND"), toDb(picker::ExcludedKind(*mode)));
    else if (kind)
        q.setParam(QStringLiteral("LISTED_KIND"), toDb(*kind));
    condition.BindTo(q);
    return ReadListingRows(q);
}

TListingRows TPickerStore::ListedExpense(picker::Mode mode, qint64 idDepense)
{
    db::Query& q = KeptStatement(m_listed, ListSql({QStringLiteral("D.TYPE_DEPENSE<>:EXCLUDED_KIND"),
                                                    QStringLiteral("D.ID_DEPENSE=:ID_DEPENSE")}));
    q.setParam(QStringLiteral("EXCLUDED_KIND"), toDb(picker::ExcludedKind(mode)));
    q.setParam(QStringLiteral("ID_DEPENSE"), idDepense);
    return ReadListingRows(q);
}

picker::Expense TPickerStore::ExpenseOf(const QueryRow& row)
{
    picker::Expense e;
    e.id = row.asInt(QStringLiteral("ID_DEPENSE"));
    e.kind = fromDb<ExpenseKind>(row.asInt(QStringLiteral("TYPE_DEPENSE")));
    e.idFnm = row.isNull(QStringLiteral("ID_FNM")) ? -1 : row.asInt(QStringLiteral("ID_FNM"));
    e.amount = row.asCurrency(QStringLiteral("MONTANT"));
    e.idBen = row.isNull(QStringLiteral("ID_BEN")) ? -1 : row.asInt(QStringLiteral("ID_BEN"));
    return e;
}

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

void TPickerStore::LockCheckedRows(const QList<qint64>& budgetLines, qint64 idBen)
{
    for (qint64 idFnm : budgetLines)
        if (idFnm > 0)
            LockRow(QStringLiteral("FNM"), QStringLiteral("ID_FNM"), idFnm);
    if (idBen > 0)
        LockRow(QStringLiteral("BENEF"), QStringLiteral("ID_BEN"), idBen);
}

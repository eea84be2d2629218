#pragma once
// The rows of the expense listing: the year's expenses of every kind or of one
// kind, each with its budget line's label, its beneficiary's name, the payment
// order and the commitment sheet that hold it, and its state. Shared by the
// listing window and its printed listing.
//
// Everything is read set by set, once: the expenses, the budget lines and
// beneficiaries (into hashes), the payment orders from the order lines and the
// sheets from the sheet lines, which also give the states (the rule of
// BudgetQueries::GetExpenseState), then joined and ordered here by key.

#include "data/Codes.h"
#include "data/ListingRows.h"

#include <QList>

#include <memory>
#include <optional>

class TExpenseListing {
public:
    TExpenseListing();
    ~TExpenseListing();
    TExpenseListing(const TExpenseListing&) = delete;
    TExpenseListing& operator=(const TExpenseListing&) = delete;

    // The expenses of `kind` (none: all), latest date first: ID_DEPENSE,
    // TYPE_DEPENSE, NO_DEPENSE, DATE_DEPENSE, ID_FNM, ID_BEN, MONTANT, OBJET,
    // then IMPUT (the budget line's label), NOM_BEN, ID_MDT, NO_MDT, DATE_MDT
    // (the first order holding it, by key), ID_ENG, NO_ENG, DATE_ENG (the
    // first sheet holding it, a sheet without a cancellation before a
    // cancelled one) and DEP_STATE (the ExpenseState).
    TListingRows Read(std::optional<ExpenseKind> kind);
    // The same rows for the expenses `ids` only, in that order (an expense no
    // longer stored is left out): the expense picker prints its list with them.
    TListingRows ReadExpenses(const QList<qint64>& ids);

    // What the listing window reads of a row of Read().
    struct Row {
        qint64 id = -1;        // ID_DEPENSE
        ExpenseKind kind = ExpenseKind::Invoice;    // TYPE_DEPENSE
        ExpenseState state = ExpenseState::Free;    // DEP_STATE
        qint64 idMdt = -1;     // -1 when no order holds it
        qint64 idEng = -1;     // -1 when no sheet holds it
    };
    static Row RowOf(const QueryRow& row);

private:
    std::unique_ptr<db::Query> m_expenses, m_lines, m_benefs, m_orders, m_sheets;
};

#pragma once
// The rows of the payment-order listing and its criteria: every payment order
// of the year with its number, date, amount and nature; the criteria of its
// filter dialog applied to the fetched rows. Shared by the listing window, its
// printed listing and the dispatch slips' list of orders.
//
// Filtered on a budget line, the listing keeps the orders holding an expense
// of that line; on a salary line (section 1, whose amounts are kept in the
// salary expenses' imputations) the column LIB_MONTANT ("Mt Imput.") then
// holds, for each order, the sum of that line's imputations in its expenses.

#include "core/Refusal.h"
#include "data/ListingRows.h"
#include "documents/DocumentFilter.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>

using TOrderCriteria = TFilterCriteria;

// The orders of one budget line.
struct TLineOrders {
    bool salary = false;                 // a line of section 1
    QSet<qint64> orders;
    QHash<qint64, Currency> amounts;     // salary lines: the line's share of each order
};

class TOrderListing {
public:
    // The order the orders are read in: the last number first (the listing),
    // or by number then date (the dispatch slips).
    enum class Order { LastFirst, NumberThenDate };

    explicit TOrderListing(Order order = Order::LastFirst);
    ~TOrderListing();
    TOrderListing(const TOrderListing&) = delete;
    TOrderListing& operator=(const TOrderListing&) = delete;

    // Every order, in the listing's order: ID_MDT, NO_MDT, DATE_MDT, MONTANT,
    // NATURE and LIB_MONTANT (the order's amount).
    TListingRows Read();
    // The order of a row of Read().
    static qint64 KeyOf(const QueryRow& row);
    // The keys of the orders of `rows` (rows as Read() gives them).
    static QSet<qint64> KeysOf(const TListingRows& rows);
    // The rows of `rows` whose order is in `keys`, by number then date, and
    // in `total` the sum of their amounts.
    static TListingRows RowsOf(const TListingRows& rows, const QSet<qint64>& keys, Currency& total);

    // The orders of a budget line, each set read in one statement.
    static TLineOrders OrdersOfLine(qint64 idFnm);
    // LIB_MONTANT of every row: the line's share of the order for a salary
    // line (NULL when the order has none), else the order's amount.
    static void SetLineAmounts(TListingRows& rows, const std::optional<TLineOrders>& line);
    // The rows the criteria keep; null when none applies. `line` holds the
    // orders of the chosen budget line when the criteria choose one.
    static TRowFilter RowFilter(const TOrderCriteria& criteria, const std::optional<TLineOrders>& line);
    // The budget line as the printed listing heads it: chapter + "." + article
    // (+ "." + paragraph) + " - " + title; empty when the line is unknown.
    static QString BudgetLineCaption(qint64 idFnm);
    // Whether the stored number of the order of `row` reads as the whole
    // number `number` (12 finds 0012); a stored number that is not a number
    // matches none.
    static bool HasNumber(const QueryRow& row, qint64 number);
    // Why the order cannot be deleted, as it stands now: a regularisation
    // sheet records it, or it is gone. None when it can be deleted.
    static TVerdict DeleteRefusal(qint64 idMdt);
    // Deletes the order with its lines inside the caller's write operation,
    // the order locked first and DeleteRefusal decided again on what it reads
    // then (no line can be added to the order or taken from it until the
    // operation ends). The refusal when there is one, and nothing is written.
    static TVerdict DeleteOrder(qint64 idMdt);

private:
    Order m_order;
    std::unique_ptr<db::Query> m_read;
};

#pragma once
// TOrderStore: the SQL of the payment orders (ENT_MDT headers and their DET_MDT
// lines) shared by the payment-order window, the expense picker, the order
// listing and the transfers' credit checks.
//
// Reads run on the program's connection. Write methods run statements only:
// the caller holds them in one write operation for the user's action.
//
// An order's stored MONTANT is always the sum of its lines: every change of
// lines and every header save writes it in the same transaction, the header
// locked before the lines are read, so that two users changing the lines of
// one order run one after the other.

#include "core/Currency.h"
#include "data/Codes.h"
#include "documents/DocumentLines.h"
#include "documents/ExpenseDocument.h"

#include <QDate>
#include <QList>
#include <QSet>
#include <QString>

#include <array>
#include <memory>
#include <optional>

namespace db { class Query; }

// One ENT_MDT header.
struct TOrder {
    qint64 id = -1;
    QString number;        // NO_MDT, trimmed
    QDate date;            // invalid when the order has no date yet
    OrderStatus statut = OrderStatus::Paid;
    QString nature;
    Currency amount;       // the sum of the lines
    std::array<QString, 6> pj;
};

class TOrderStore {
public:
    TOrderStore();
    ~TOrderStore();
    TOrderStore(const TOrderStore&) = delete;
    TOrderStore& operator=(const TOrderStore&) = delete;

    // An order number trimmed and padded with "0" to four characters; empty stays empty.
    static QString PadNumber(const QString& number);

    // --- reads -------------------------------------------------------------
    // Every order, in number order.
    QList<TDocumentKey> OrderKeys();
    std::optional<TOrder> Read(qint64 idMdt);
    TDocumentLines Lines(qint64 idMdt);
    Currency LinesTotal(qint64 idMdt);
    // Whether an order other than `exceptId` holds `number` (asked for that number only).
    bool NumberTaken(const QString& number, qint64 exceptId);
    // Whether `number`, typed for the order `exceptId` (-1 a new one), is
    // free, checked with the order numbers locked (LockNumbers) inside the
    // caller's write operation: none can take it until the operation ends.
    bool NumberFree(const QString& number, qint64 exceptId);
    // The order of that number, or of that key; -1 when none.
    qint64 FindByNumber(const QString& number);
    bool Exists(qint64 idMdt);
    // The expenses that stand on a payment-order line.
    QSet<qint64> MandatedExpenseIds();
    // What the payment-order lines of a beneficiary's expenses total.
    Currency SupplierPaidTotal(qint64 idBen);
    // Whether a regularisation sheet records the order.
    bool OnRegularisationSheet(qint64 idMdt);

    // --- writes (inside the caller's write operation) ----------------------
    // The order locked for the operation (data/ShownRow.h, LockRow); false
    // when it is gone.
    bool LockOrder(qint64 idMdt);
    // Locks the series of order numbers before a number is checked and
    // stored (data/NumberSeries.h): two saves giving orders a number run one
    // after the other, so that two orders never take one number.
    void LockNumbers();
    // A new header; its key is drawn here. Returns the key.
    qint64 InsertOrder(const TOrder& order);
    // The header fields, with MONTANT the sum of the stored lines.
    void UpdateOrder(const TOrder& order);
    // The three below lock the order first, and refuse an order another user
    // deleted (a TRefusalError, "Ce mandat n'existe plus !"; nothing is written).
    // An expense line after the order's other lines; the total follows.
    Currency AddLine(qint64 idMdt, qint64 idDepense, Currency amount);
    // Removes the expense's line; the total follows.
    Currency RemoveExpenseLine(qint64 idMdt, qint64 idDepense);
    // Removes the line numbered `noLine`, numbers the others 1..n in their
    // order; the total follows.
    Currency RemoveLineAt(qint64 idMdt, int noLine);
    // Numbers the lines 1..n in the order given (expenses not listed follow).
    void RenumberLines(qint64 idMdt, const QList<qint64>& expenseIds);
    // Numbers the lines 1..n by beneficiary name; lines of one name keep their order.
    void RenumberLinesByName(qint64 idMdt);
    // Stores MONTANT = the sum of the lines; returns it.
    Currency SyncTotal(qint64 idMdt);
    // The order and its lines.
    void DeleteOrder(qint64 idMdt);

private:
    // The year's order numbers (documents/DocumentNumbers.h).
    class Numbers;

    TDocumentLineTable m_lines{TDocumentLineTable::PaymentOrder};
    std::unique_ptr<db::Query> m_read, m_taken, m_sync, m_paid;
};

// A payment order's expense lines as the expense picker fills them.
class TOrderExpenseLines : public TExpenseDocument {
public:
    TDocumentLines Lines(qint64 idMdt) override { return m_orders.Lines(idMdt); }
    State ReadState(qint64) override { return State{}; }
    QSet<qint64> PlacedExpenseIds() override { return m_orders.MandatedExpenseIds(); }
    TDocumentNumbering AddExpenseLine(qint64 idMdt, qint64 idDepense, Currency amount) override
    {
        m_orders.AddLine(idMdt, idDepense, amount);
        return TDocumentNumbering{};
    }
    void RemoveExpenseLine(qint64 idMdt, qint64 idDepense) override { m_orders.RemoveExpenseLine(idMdt, idDepense); }
    void RenumberLines(qint64 idMdt, const QList<qint64>& expenseIds) override
    {
        m_orders.RenumberLines(idMdt, expenseIds);
    }

private:
    TOrderStore m_orders;
};

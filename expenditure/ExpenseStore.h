#pragma once
// TExpenseStore: the SQL of the expenses (DEPENSE) shared by the expense
// editors and the expense picker: the expenses of a kind in date order, the
// documents that hold an expense, a beneficiary's total, the number already
// given to another expense of a supplier, and the writes of an expense.
//
// Reads run on the program's connection; writes run statements only, inside
// the caller's write operation. Each statement is prepared once for the life
// of the store.

#include "db/Currency.h"

#include <QDate>
#include <QHash>
#include <QString>

#include <memory>

namespace db { class Query; }

// One expense as an editor writes it.
struct TExpense {
    qint64 id = -1;           // drawn from GEN_DEPENSE_ID when inserted
    QString number;           // NO_DEPENSE
    QDate date;               // DATE_DEPENSE
    int kind = 0;             // TYPE_DEPENSE: 0 invoice, 1 mission, 2 salary to pay, 3 salary to commit
    qint64 idBen = -1;
    QString objet;
    int rembours = 0;         // 0 "Remboursement", 1 "Paiement"
    qint64 idFnm = -1;        // -1: no budget line (stored NULL)
    Currency amount;
};

class TExpenseStore {
public:
    TExpenseStore();
    ~TExpenseStore();
    TExpenseStore(const TExpenseStore&) = delete;
    TExpenseStore& operator=(const TExpenseStore&) = delete;

    // --- reads -------------------------------------------------------------
    // Every column of the expenses of `kind`, in date order, read again: the
    // rows an editor shows and moves over.
    db::Query& ReadExpenses(int kind);
    // The first payment order and the first commitment sheet (cancelled or
    // not) holding the expense, by key; empty when none.
    QString PaymentOrderNumberOf(qint64 idDepense);
    QString CommitmentNumberOf(qint64 idDepense);
    // The sum of the beneficiary's expenses of `kind`; 0 without a beneficiary.
    Currency BeneficiaryTotal(int kind, qint64 idBen);
    // Whether another expense of the beneficiary (any kind, not `exceptId`)
    // has that number.
    bool NumberTaken(const QString& number, qint64 idBen, qint64 exceptId);

    // --- writes (inside the caller's write operation) ----------------------
    // Inserts the expense with a new key (returned), created and changed today
    // by the current user.
    qint64 InsertExpense(const TExpense& expense);
    // The fields an editor changes, changed today by the current user.
    void UpdateExpense(const TExpense& expense);
    // The expense and its salary detail lines.
    void DeleteExpense(qint64 idDepense);

private:
    std::unique_ptr<db::Query> m_expenses, m_order, m_sheet, m_total, m_taken, m_insert, m_update, m_deleteDetail,
        m_delete;
};

// The budget-line and beneficiary lookups of browsed expense rows, read in one
// query each and held until the next reload.
class TExpenseLookups {
public:
    struct BudgetLine {
        QString chap, art, par, intitule;
    };
    explicit TExpenseLookups(QString fnmSql = QStringLiteral("SELECT ID_FNM, CHAP, ART, PAR, INTITULE FROM FNM "),
                             QString benSql = QStringLiteral("SELECT ID_BEN, TYPE_BEN, NOM FROM BENEF"));
    void Reload();
    void Clear();
    BudgetLine Line(qint64 idFnm) const { return m_lines.value(idFnm); }
    QString BenName(qint64 idBen) const { return m_names.value(idBen); }

private:
    QString m_fnmSql, m_benSql;
    QHash<qint64, BudgetLine> m_lines;
    QHash<qint64, QString> m_names;
};

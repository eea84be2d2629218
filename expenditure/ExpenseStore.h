#pragma once
// TExpenseStore: the SQL of the expenses (DEPENSE) and of the detail lines of
// salary expenses (DET_SALAIRE) shared by the expense editors and the expense
// picker: the expenses of a kind in date order, the documents that hold an
// expense, a beneficiary's total, the number already given to another expense
// of a supplier, the writes of an expense, and the lines of a salary expense.
//
// Reads run on the program's connection; writes run statements only, inside
// the caller's write operation. Each statement is prepared once for the life
// of the store. Keys are drawn only when a row is inserted.
//
// What no caller may get round:
// - an expense standing on a line of any commitment sheet (a cancelled one
//   included) or of any payment order is never deleted: DeleteExpense reads
//   the lines again inside the deleting transaction and refuses;
// - a salary expense's lines go with it when it is deleted;
// - a salary expense to pay is worth the sum of its imputations: every change
//   of its lines stores the new sum in the same transaction.

#include "core/Currency.h"
#include "data/Codes.h"
#include "data/ListingRows.h"
#include "data/ShownRow.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace db { class Query; }

// One expense as an editor writes it.
struct TExpense {
    qint64 id = -1;           // drawn from GEN_DEPENSE_ID when inserted
    QString number;           // NO_DEPENSE; every kind but an invoice takes its key's text
    QDate date;               // DATE_DEPENSE
    ExpenseKind kind = ExpenseKind::Invoice;
    qint64 idBen = -1;
    QString objet;
    std::optional<PaymentType> rembours = PaymentType::Reimbursement;   // none: stored NULL
    qint64 idFnm = -1;        // -1: no budget line (stored NULL)
    Currency amount;
    // A mission's dates (invalid: stored NULL) and employer contributions.
    QDate missionStart, missionEnd;
    Currency regimeGen, assChomage, retraiteAnt;
};

// The expense of the current row of a query over DEPENSE (SELECT *), or of
// such a row of a grid model.
TExpense ExpenseOfRow(const db::Query& row);
TExpense ExpenseOfRow(const QueryRow& row);

// Where an expense stands: on a line of a commitment sheet (any, a cancelled
// one included) and/or of a payment order.
struct TExpenseHold {
    bool onSheet = false;
    bool onOrder = false;
    // Free, on a sheet, on an order or both: which deletion refusal applies.
    ExpenseState Code() const { return ExpenseStateOf(onSheet, onOrder); }
    bool Any() const { return onSheet || onOrder; }
};

// One detail line of a salary expense: an imputation on a budget line, or a
// deduction of a kind of FRET.
struct TSalaryLine {
    qint64 id = -1;            // ID_DET_SAL
    qint64 idDepense = -1;
    SalaryLineType type = SalaryLineType::Imputation;
    qint64 idDetail = -1;      // ID_FNM of an imputation, ID_RETENUE of a deduction
    int noOrd = 0;
    std::optional<Currency> amount;   // NULL stays NULL; the sums leave it out
    // Read only: the budget line of an imputation, the label of a deduction.
    QString chap, art, par, intitule;
    QString libelle;
};

using TSalaryLines = QList<TSalaryLine>;

struct TSalaryTotals {
    Currency gross;        // the imputations: the expense's amount
    Currency deductions;
};

class TExpenseStore {
public:
    TExpenseStore();
    ~TExpenseStore();
    TExpenseStore(const TExpenseStore&) = delete;
    TExpenseStore& operator=(const TExpenseStore&) = delete;

    // --- reads -------------------------------------------------------------
    // Every column of the expenses of `kind` (and ROW_VERSION, the version
    // each was read at), in date order: the rows an editor shows and moves over.
    TListingRows ReadExpenses(ExpenseKind kind);
    // The expense `id` with the columns ReadExpenses() reads: one row, or
    // none when it is gone.
    TListingRows ReadExpenseRow(qint64 id);
    // A row of ReadExpenses() as it was read, for the check that a save
    // undoes no other user's change.
    static TShownRow ShownRowOf(const QueryRow& row);
    // The first payment order and the first commitment sheet (cancelled or
    // not) holding the expense, by key; empty when none.
    QString PaymentOrderNumberOf(qint64 idDepense);
    QString CommitmentNumberOf(qint64 idDepense);
    // The sum of the beneficiary's expenses of `kind`; 0 without a beneficiary.
    Currency BeneficiaryTotal(ExpenseKind kind, qint64 idBen);
    // Whether another expense of the beneficiary (any kind, not `exceptId`)
    // has that number.
    bool NumberTaken(const QString& number, qint64 idBen, qint64 exceptId);
    // Whether any commitment sheet (a cancelled one included) or payment order holds it.
    TExpenseHold Hold(qint64 idDepense);
    // The stored expense when a document holds it now (a sheet that is not
    // cancelled, or a payment order) and `entry` changes what a held expense
    // keeps: its amount, its budget line, a mission's contributions; nothing
    // when the change may be written. Read inside the caller's write
    // operation, so that a document that took the expense since it was shown
    // is seen.
    std::optional<TExpense> HeldChange(const TExpense& entry);
    // The expense locked for the caller's write operation, as it stands now
    // (data/ShownRow.h, LockRow): until the operation ends no other user can
    // change it, delete it or put it on a document, so that what the operation
    // decides on it holds when it commits. Nothing when it is gone.
    std::optional<TExpense> LockExpense(qint64 idDepense);
    // The largest mission number in text order plus one when it reads as a
    // number, else 1 (only a proposal: a saved mission takes its key as number).
    int NextMissionNumber();

    // --- writes (inside the caller's write operation) ----------------------
    // Inserts the expense with a new key (returned), created and changed today
    // by the current user. Every kind but an invoice takes its key's text as
    // number; a mission's dates and contributions are written with it.
    qint64 InsertExpense(const TExpense& expense);
    // The fields the kind's editor changes, changed today by the current user.
    // A salary expense to pay keeps its number and budget line, and its amount
    // is the sum of its imputations.
    void UpdateExpense(const TExpense& expense);
    // The expense and its salary detail lines, unless a sheet or an order
    // holds it (the expense locked, then its documents read again here):
    // returns what held it (nothing deleted) or a free hold (deleted, or gone
    // already).
    TExpenseHold DeleteExpense(qint64 idDepense);

    // --- salary lines -------------------------------------------------------
    // The lines of one type of an expense, in their order, with their labels.
    TSalaryLines SalaryLines(qint64 idDepense, SalaryLineType type);
    TSalaryTotals SalaryTotals(qint64 idDepense);
    // Whether another line (not `exceptLine`) of the expense's lines of that
    // type holds the budget line or deduction kind.
    bool SalaryDetailTaken(qint64 idDepense, SalaryLineType type, qint64 idDetail, qint64 exceptLine);
    // The order number of a new line of that type of the expense: 10 after
    // the expense's own largest (a table-wide maximum would run past the
    // column's range after a few thousand lines). Past the column's range it
    // throws the refusal (TRefusalError), the expense having as many lines as
    // it can hold.
    int NextSalaryOrder(qint64 idDepense, SalaryLineType type);
    // A new line after the expense's other lines of its type; the expense's
    // amount follows. Returns the new key; refused as NextSalaryOrder.
    qint64 AddSalaryLine(const TSalaryLine& line);
    // The budget line or deduction kind and the amount of a line; the amount follows.
    void UpdateSalaryLine(const TSalaryLine& line);
    void DeleteSalaryLine(qint64 idDepense, qint64 idLine);
    // Stores the expense's amount as the sum of its imputations, stamped with
    // the user and today; returns it.
    Currency SyncSalaryAmount(qint64 idDepense);

private:
    std::optional<TExpense> ReadExpense(qint64 idDepense);

    std::unique_ptr<db::Query> m_expenses, m_expense, m_order, m_sheet, m_total, m_taken, m_insert, m_update, m_updateMission,
        m_updateSalary, m_deleteDetail, m_delete, m_onSheet, m_onOrder, m_one, m_lines, m_totals, m_lineTaken, m_maxOrd,
        m_sync;
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
    // Reads again the labels of one budget line and one beneficiary (a saved
    // expense's), rather than every one.
    void Refresh(qint64 idFnm, qint64 idBen);
    BudgetLine Line(qint64 idFnm) const { return m_lines.value(idFnm); }
    QString BenName(qint64 idBen) const { return m_names.value(idBen); }

private:
    QString m_fnmSql, m_benSql;
    QHash<qint64, BudgetLine> m_lines;
    QHash<qint64, QString> m_names;
};

#pragma once
// The spending rules the expense picker applies before it adds an expense to
// a commitment sheet or a payment order, as plain functions over values: the
// kind the document may take, not yet on such a document, the credit under the
// credit-shortage policies, the payment order within the committed total, the
// supplier ceiling, the most lines per document and the same budget line.
//
// A rule either passes, or refuses (core/Refusal.h) with its message (empty
// when the user answered No to a question), the list to focus as its field and
// the selection row to make current as its row. Questions go through the `ask`
// callback (true for Yes).

#include "core/Currency.h"
#include "core/Refusal.h"
#include "data/Codes.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

namespace picker {

// The document being filled: a commitment sheet ("E") or a payment order ("M").
using Mode = PickerMode;

// Where the focus goes after a refusal (TRefusal::field). A refusal on the
// selection list names, as its row, the expense whose line to make current
// (the expense already selected).
enum class Focus : int { None = -1, ExpenseList, SelectionList };

// One expense as the picker knows it.
struct Expense {
    qint64 id = 0;
    ExpenseKind kind = ExpenseKind::Invoice;
    qint64 idFnm = -1;       // -1: no budget line (salary expenses to pay)
    Currency amount;
    qint64 idBen = -1;
};

// The beneficiary of an expense (found: it exists).
struct Beneficiary {
    bool found = false;
    BeneficiaryType type = BeneficiaryType::Supplier;
    int grade = -1;          // SERVICE_GRADE (a supplier's ServiceKind); -1 NULL
};

// The figures of one budget line at the year's end.
struct Credit {
    Currency available;      // CreditAvailableAt
    Currency committed;      // user commitments of the line, the current sheet's lines included
    Currency mandated;       // payment-order lines of the line, undated orders included
};

// The lines already on the document.
struct Document {
    Mode mode = Mode::Commitment;
    int lineCount = 0;
    std::optional<ExpenseKind> firstKind;   // kind of the first line; none without lines
    QSet<qint64> expenses;          // expense ids of the lines
    QSet<qint64> budgetLines;       // budget lines of the lines' expenses
    bool cancelled = false;         // a cancelled commitment sheet
    bool visa = false;              // a commitment sheet with a visa number
};

struct Policies {
    std::uint8_t commit = 2;        // DecisionCommit: 0 proceed, 1 refuse, other ask
    std::uint8_t mandate = 2;       // DecisionMandate
    std::array<Currency, 2> ceilings{};   // SupplierThresholds by ServiceKind (services, supplies)
    int maxDocLines = 25;
};

// What the checks read from the database, asked only when a check needs it.
struct Facts {
    std::function<Credit(qint64 idFnm)> credit;
    // The label of a budget line ("22-03-01"), as the questions name it.
    std::function<QString(qint64 idFnm)> lineLabel;
    // The budget lines a salary expense to pay is charged to, with the amount of each.
    std::function<QHash<qint64, Currency>(qint64 idDepense)> imputations;
    std::function<Currency(qint64 idBen)> supplierPaid;
    std::function<Beneficiary(qint64 idBen)> beneficiary;
};

// Messages.
extern const QString AlreadyCommitted;     // "Dépense déja engagée !"
extern const QString AlreadyMandated;      // "Dépense déja mandatée !"
extern const QString LineLimitReached;     // "Le nbre max de dépenses est atteint !"
extern const QString AlreadySelected;      // "La dépense est déjà sélectionnée !"
extern const QString OtherBudgetLine;      // "Imputation différente de la précédente !"

// The kind a document of the mode never takes: a salary expense to commit
// never goes on a payment order, a salary expense to pay never on a
// commitment sheet.
ExpenseKind ExcludedKind(Mode mode);

// --- single rules -------------------------------------------------------------
// The excluded kind is refused; lines of one document share one kind.
TVerdict CheckKind(Mode mode, ExpenseKind kind, const Document& doc);
// A cancelled or stamped commitment sheet takes and loses no lines.
TVerdict CheckDocumentOpen(const Document& doc);
// The shared shape of a shortage under a policy: 0 passes, 1 refuses with
// `information`, any other value asks `question`.
TVerdict CheckShortage(bool shortage, std::uint8_t policy, const QString& information, const QString& question,
                       const TAsk& ask);
TVerdict CheckCommitCredit(const Credit& credit, Currency amount, std::uint8_t policy, const TAsk& ask);
// One budget line an expense is charged to on a payment order: its label, its
// figures and the share of the expense it takes.
struct LineShare {
    QString label;
    Credit credit;
    Currency amount;
};
// The credit, then the committed total, of every line the expense is charged
// to, under one policy: each test gives one refusal or one question that names
// the lines it fails on, however many they are (a salary expense charged to
// several lines is asked once); the second test only when the first passed.
TVerdict CheckMandateCredit(const QList<LineShare>& lines, std::uint8_t policy, const TAsk& ask);
// `paid`: what the supplier's payment-order lines total already.
TVerdict CheckSupplierCeiling(Currency paid, Currency amount, ServiceKind kind, Currency ceiling, const TAsk& ask);
// The most lines: 1 for an order of a salary expense to pay, else maxDocLines.
int LineLimit(std::optional<ExpenseKind> firstKind, int maxDocLines);
TVerdict CheckLineLimit(const Document& doc, int maxDocLines);
TVerdict CheckNotSelected(const Document& doc, qint64 idDepense);
TVerdict CheckSameBudgetLine(const Document& doc, const Expense& expense, const TAsk& ask);

// The budget lines whose credit the add of `expense` to a document of `mode`
// decides on, in key order, with the share of the expense each takes: its
// own line, or on a payment order each line a salary expense to pay is
// charged to. None for an expense without a line.
QList<std::pair<qint64, Currency>> ChargedLines(Mode mode, const Expense& expense, const Facts& facts);
// Whether the supplier ceiling applies to the beneficiary (a supplier of
// services or supplies).
bool CeilingApplies(const Beneficiary& ben);

// --- AddExpense -----------------------------------------------------------------
// Every check, in order, for one expense; nothing when it may be added.
// `onDocument`: the expenses that stood on a document of the mode when the
// picker opened (lines added since are caught as already selected).
TVerdict CheckAddExpense(const Document& doc, const Expense& expense, const QSet<qint64>& onDocument,
                         const Policies& policies, const Facts& facts, const TAsk& ask);

} // namespace picker

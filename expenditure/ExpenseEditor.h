#pragma once
// What the expense editors share (invoices, missions and other expenses, salary
// expenses) on top of the editor base: the key of the expense shown, the
// expense store, the browsed expenses of one kind, the unsaved-changes and
// cancel questions, the field groups and pickers of a budget line and a
// beneficiary, the document numbers of an expense, and its deletion. The
// checks of a save are in expenditure/ExpenseRules.h.

#include "data/Amounts.h"
#include "expenditure/ExpenseStore.h"
#include "ui/EditorWindow.h"
#include "ui/ListRecordPattern.h"

#include <QString>
#include <array>
#include <optional>

class QFrame;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QToolButton;
class TRecordNavigator;

// A budget line chosen in the nomenclature.
struct TPickedLine {
    qint64 idFnm = -1;
    QString chap, art, par, intitule;
};

// The budget-line fields of an expense: chapter, article, paragraph (read
// only), the pick button and the title.
struct TBudgetLineFields {
    QLineEdit* edChap = nullptr;
    QLineEdit* edArt = nullptr;
    QLineEdit* edPar = nullptr;
    QToolButton* btnGetImp = nullptr;
    QLabel* lInt = nullptr;
    qint64 idFnm = -1;   // the chosen line; -1 when none

    void Show(const TPickedLine& line);
    void Clear() { Show(TPickedLine{}); }
    // The fields in a row of `grid` under `caption`, the title on the next row.
    void AddTo(QGridLayout* grid, int row, QWidget* parent, const QString& caption);
};

// A beneficiary field: its key (read only), the pick button and its name.
struct TBeneficiaryField {
    QLineEdit* edit = nullptr;
    QToolButton* button = nullptr;
    QLabel* name = nullptr;

    qint64 Id() const;   // -1 when empty
    void Show(qint64 id, const QString& nom);
    void Clear();
    void AddTo(QGridLayout* grid, int row, QWidget* parent, const QString& caption);
};

class TExpenseEditor : public TEditorWindow {
    Q_OBJECT
public:
    // The expense to show first (-1: the last in date order); while the window
    // runs it holds the key of the expense shown.
    int IdDepense = -1;

    // Largest amount a DECIMAL(15,2) column holds.
    static constexpr Currency MaxAmount = MaxStoredAmount;

    // Fields side by side (a stretch after them when `stretch`).
    static QHBoxLayout* Row(std::initializer_list<QWidget*> widgets, bool stretch);

    // The tool bar every expense editor has (BuildToolBar).
    QToolButton* btnAdd = nullptr;
    QToolButton* btnDelete = nullptr;
    QToolButton* btnModif = nullptr;
    QToolButton* btnPost = nullptr;
    QToolButton* btnCancel = nullptr;
    QToolButton* btnMenu = nullptr;
    QToolButton* btnClose = nullptr;
    TRecordNavigator* MyNavigator = nullptr;

protected:
    // `statusWidths`: the widths of the status panels; `modePanel` shows the
    // mode. The cancel command asks before dropping the entry (unless
    // `confirmCancel` is false); leaving with unsaved changes asks the
    // unsaved-changes question.
    TExpenseEditor(QWidget* parent, QString writeItemName, const QList<int>& statusWidths, int modePanel,
                   bool confirmCancel = true);

    // --- the browsed expenses of one kind, in date order ---------------------
    // Reads them and moves to IdDepense (-1: the last one) on `navigator`.
    void OpenRows(ExpenseKind kind, TRecordNavigator* navigator);
    void CloseRows();
    bool HasRows() const override;
    // The expense of the current row, with the version it was read with.
    TShownRow ShownRow() const override;
    // Reads the rows again on the expense shown and shows it.
    void ShowStoredRow() override;
    // The expense of the current row; nothing when there is none.
    std::optional<TExpense> CurrentExpense() const;
    bool LocateExpense(qint64 id);
    // Moves to the first expense numbered exactly `number`; false when none.
    bool LocateNumber(const QString& number);
    // Reads the rows again and moves to `id`, or stays at the same place.
    void RefreshRows(qint64 id = -1);
    // Reads again the row of the expense `id` only, once it was written or
    // deleted (see TakeExpense, expenditure/ExpenseRows.h).
    void TakeExpenseRow(qint64 id);
    // Reads again the row of the expense shown, after an operation of the
    // window wrote it (its lines' total), and takes its new version.
    void ReadShownExpenseAgain();
    // The labels of the budget lines and beneficiaries of the rows.
    const TExpenseLookups& Lookups() const { return m_lookups; }

    // --- saving ---------------------------------------------------------------
    // Inserts (in insert mode; the key is drawn then) or updates the expense in
    // one write operation, then reads the rows again on it; IdDepense and
    // `expense.id` hold its key. A refused commit abandons the handler. An
    // update that changes what a held expense keeps, when a document took the
    // expense since it was shown, writes nothing: KeepHeldFields is told and
    // the handler is abandoned.
    void WriteExpense(TExpense& expense);
    // The write alone, for a window that keeps its own rows: the expense
    // inserted or updated in one write operation (a held change refused as
    // above), IdDepense and `expense.id` holding its key.
    void StoreExpense(TExpense& expense);
    // After such a refused update: the entry takes back the stored amount,
    // budget line (and contributions), locks them and says why.
    virtual void KeepHeldFields(const TExpense& stored) {}

    // --- deleting -------------------------------------------------------------
    // Deletes the expense `id`: a commitment sheet (a cancelled one included)
    // or a payment order holding it refuses with the message of what holds it
    // (refusals[0] sheet, [1] order, [2] both), before the question and again
    // inside the deleting transaction. True when deleted.
    bool DeleteExpenseAsked(qint64 id, const std::array<QString, 3>& refusals, const QString& question);

    // --- building -------------------------------------------------------------
    // The tool bar of an expense editor: new, change, delete, save, cancel,
    // the search when the window has one, the navigator, then the menu and
    // close buttons, each showing its command (the menu button is wired by the
    // window). It fills the tool bar's members above; the search button, when
    // there is one, goes to `findButton`.
    struct TToolBarCommands {
        QAction *add, *modif, *del, *post, *cancel, *close;
        QAction* find = nullptr;
    };
    QFrame* BuildToolBar(const TToolBarCommands& commands, QToolButton** findButton = nullptr);
    // The window's layout: the tool bar on top, the entry panel and what
    // follows it, the status bar at the bottom.
    void LayOut(QWidget* toolBar, std::initializer_list<QWidget*> body);
    // The row of the document numbers: the payment order's and the sheet's
    // labels after their captions, on a widget the window places; `layout`
    // receives its row for what the window adds.
    QWidget* BuildDocumentNumbers(QLabel** lNoMdt, const QString& mdtCaption, QLabel** lNoEng,
                                  const QString& engCaption, QHBoxLayout** layout = nullptr);
    // Shows the numbers of the payment order and sheet holding `id` (cleared for -1).
    void ShowDocumentNumbers(qint64 id, QLabel* lNoMdt, QLabel* lNoEng);

    // --- pickers ----------------------------------------------------------------
    std::optional<TPickedLine> PickBudgetLine();
    // The beneficiaries of one type, or all of them (none).
    std::optional<std::pair<qint64, QString>> PickBeneficiary(std::optional<BeneficiaryType> typeBen);

    // The SQL of the expenses.
    TExpenseStore m_expenses;

private:
    QueryTableModel* m_rows = nullptr;   // the browsed expenses, in date order
    TRecordNavigator* m_rowsNavigator = nullptr;
    TExpenseLookups m_lookups;
    ExpenseKind m_kind = ExpenseKind::Invoice;
};

// Opens the editor of an expense's kind modally on that expense (the expense
// picker and listing open them this way; -1 shows the last one).
void OpenExpenseEditor(QWidget* parent, ExpenseKind kind, qint64 idDepense);

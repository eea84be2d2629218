#pragma once
// TLineExpenseEditor: the editor of an expense that stands on one budget line
// and is numbered by its key (missions and other expenses, salary expenses to
// commit): its number (read only), date, beneficiary, budget line, amount and
// object, the payment order and sheet that hold it, the commands of its tool
// bar and menu, and its save, change and deletion under the state rules. A
// kind adds its own fields in the rows left for it and through the hooks.

#include "expenditure/ExpenseEditor.h"
#include "expenditure/ExpenseRules.h"

class QGridLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;
class TNumEdit;
class TRecordNavigator;

class TLineExpenseEditor : public TExpenseEditor {
    Q_OBJECT
public:
    // Handlers (each connected through the guard).
    void FormShow() override;
    void FormClose() override;
    void btnAddClick();
    void btnModifClick();
    void btnDeleteClick();
    void btnPostClick() override;
    void btnCancelClick() override;
    void btnGetBenClick();
    void btnGetImpClick();

    // The state of the shown expense (0 free, 1 committed, 2 in a payment
    // order, 3 both), taken when it was shown and again by Modify.
    ::ExpenseState ExpenseState() const { return m_state; }
    qint64 ChosenBudgetLine() const { return m_line.idFnm; }

    // Controls.
    QWidget* pnlMain = nullptr;
    QLineEdit* edNoFact = nullptr;
    QLineEdit* edDFact = nullptr;
    QLineEdit* edBen = nullptr;
    QLabel* lBen = nullptr;
    QLineEdit* edChap = nullptr;
    QLineEdit* edArt = nullptr;
    QLineEdit* edPar = nullptr;
    QLabel* lInt = nullptr;
    QLabel* lMontant = nullptr;
    TNumEdit* edMontant = nullptr;
    QLineEdit* edObjet = nullptr;
    QLabel* lNoMdt = nullptr;
    QLabel* lNoEng = nullptr;
    QToolButton* btnGetBen = nullptr;
    QToolButton* btnGetImp = nullptr;
    QToolButton* btnGetDate = nullptr;
    QMenu* PopupMenu = nullptr;
    QAction* mnAdd = nullptr;
    QAction* mnDelete = nullptr;
    QAction* mnModif = nullptr;
    QAction* mnPost = nullptr;
    QAction* mnCancel = nullptr;
    QAction* mnFind = nullptr;
    QAction* mnFour = nullptr;
    QAction* mnListing = nullptr;
    QAction* mnClose = nullptr;

protected:
    struct Setup {
        ExpenseKind kind;
        const char* objectName;     // the window's
        QString caption;
        const char* menuName;       // the popup menu's
        QString benCaption;         // the beneficiary's caption
        std::optional<BeneficiaryType> benType;   // the beneficiaries the picker lists (none: all)
        // The date of another year: asked (Yes goes on) or refused.
        expense::OtherYear otherYear;
        QString otherYearText;
        // The popup menu is also the context menu, and its items' keys act
        // (Ctrl+S, F3, Ctrl+F); otherwise only Ctrl+F and Ctrl+I do.
        bool menuKeys;
        // A date picked moves on to the amount.
        bool amountAfterDate;
    };
    TLineExpenseEditor(QWidget* parent, const Setup& setup);

    // The entry grid: rows 2 and 6 are left for the kind's own fields (after
    // the beneficiary and after the amount).
    QGridLayout* EntryGrid() const { return m_grid; }

    // --- hooks of a kind --------------------------------------------------------
    // Its own fields: shown from the expense (null: cleared), and on New.
    virtual void ShowOwnFields(const TExpense* expense) {}
    virtual void NewOwnFields() {}
    // Its checks, between the amount's and the budget line's; then its columns.
    virtual void CheckOwnFields() {}
    virtual void FillOwnFields(TExpense& expense) {}
    // Whether the amount is the sum of the contributions (a mission's).
    virtual bool ContributionMode() const { return false; }
    // Where the focus goes when the amount is refused.
    virtual QWidget* AmountField() const;
    // Its fields enabled by what the state lets change.
    virtual void ApplyOwnRights(const expense::TEditRights& rights) {}
    // After a budget line or a beneficiary was picked.
    virtual void BudgetLinePicked() {}
    virtual void BeneficiaryPicked() {}

    void KeepHeldFields(const TExpense& stored) override;

    // Shows the current row (after opening, moving, saving, cancelling, deleting).
    void ShowExpense();
    // Enables the amount, budget line and the kind's fields by the state.
    void ApplyEditRights();
    void ModeChanged() override;

private:
    void BuildWindow();

    Setup m_setup;
    QGridLayout* m_grid = nullptr;
    TBudgetLineFields m_line;
    TBeneficiaryField m_ben;
    ::ExpenseState m_state = ::ExpenseState::Free;
};

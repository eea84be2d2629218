#pragma once
// TfrmDep_Sal_Mdt: the salary expenses that go straight onto a payment order
// (ExpenseKind::SalaryToPay), paid to a body, without a budget line of their own.
// The header is browsed, created, changed and deleted through the three-mode
// expense editor; while it is in browse mode its lines are edited in two grids:
// the imputations, which split the gross amount over budget lines, and the
// deductions. The expense's amount is always the sum of its imputations.

#include "expenditure/ExpenseEditor.h"

#include <QPointer>

class QLabel;
class QLineEdit;
class QMenu;
class QTableView;
class QToolButton;
class TNumEdit;
class TRecordNavigator;
class TSalaryLinesModel;

class TfrmDep_Sal_Mdt : public TExpenseEditor {
    Q_OBJECT
public:
    explicit TfrmDep_Sal_Mdt(QWidget* parent = nullptr);
    ~TfrmDep_Sal_Mdt() override;

    // Header handlers.
    void FormShow() override;
    void FormClose() override;
    void btnAddClick();
    void btnModifClick();
    void btnDeleteClick();
    void btnPostClick() override;
    void btnCancelClick() override;
    void btnGetBenClick();

    // Line handlers, for the imputations (type 0) or the deductions (type 1).
    void AddLine(SalaryLineType type);
    void ModifLine(SalaryLineType type);
    void DeleteLine(SalaryLineType type);
    void PostLine(SalaryLineType type);
    void CancelLine(SalaryLineType type);
    // The budget-line or deduction picker of the line being entered.
    void PickLineDetail(SalaryLineType type);

    // Whether a line of that grid is being entered or changed.
    bool LineEditing(SalaryLineType type) const;
    // The amount field and the pick button of the line being entered (null when none).
    TNumEdit* LineAmountEdit(SalaryLineType type) const;
    QToolButton* LinePickButton(SalaryLineType type) const;
    // The lines shown in a grid (without the line being entered).
    const TSalaryLines& Lines(SalaryLineType type) const;
    void SelectLine(SalaryLineType type, int row);

    // Controls.
    QWidget* pnlMain;
    QLineEdit* edDFact;
    QLineEdit* edBen;
    QLabel* lBen;
    QLineEdit* edObjet;
    QToolButton* btnGetBen;
    QToolButton* btnGetDate;
    QTableView* grdImput;
    QTableView* grdRet;
    QToolButton* btnAddImput;
    QToolButton* btnModifImput;
    QToolButton* btnDelImput;
    QToolButton* btnPostImput;
    QToolButton* btnCancelImput;
    QToolButton* btnAddRet;
    QToolButton* btnModifRet;
    QToolButton* btnDelRet;
    QToolButton* btnPostRet;
    QToolButton* btnCancelRet;
    QLabel* lTotImp;
    QLabel* lTotRet;
    QLabel* lNoEng;
    QLabel* lNoMdt;
    QMenu* PopMenu;
    QAction* mnAdd;
    QAction* mnModif;
    QAction* mnDelete;
    QAction* mnPost;
    QAction* mnCancel;
    QAction* mnMandater;
    QAction* mnEngager;
    QAction* mnQuitter;

protected:
    void ModeChanged() override;
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // One grid of lines and its five buttons.
    struct Section {
        SalaryLineType type = SalaryLineType::Imputation;
        QTableView* grid = nullptr;
        TSalaryLinesModel* model = nullptr;
        QAction* add = nullptr;
        QAction* modif = nullptr;
        QAction* del = nullptr;
        QAction* post = nullptr;
        QAction* cancel = nullptr;
        // The line being entered (id -1) or changed; nothing when none.
        std::optional<TSalaryLine> pending;
        QPointer<TNumEdit> amountEdit;
        QPointer<QToolButton> pickButton;
    };

    void BuildWindow();
    QWidget* BuildSection(Section& s, const QString& caption, const char* gridName,
                          const std::array<const char*, 5>& buttonNames, const std::array<QToolButton**, 5>& buttons,
                          QMenu* menu);
    Section& SectionOf(SalaryLineType type) { return m_sections[type == SalaryLineType::Deduction ? 1 : 0]; }
    const Section& SectionOf(SalaryLineType type) const
    {
        return m_sections[type == SalaryLineType::Deduction ? 1 : 0];
    }
    bool AnyLineEditing() const;

    void ShowExpense();
    void ShowLines();
    void ShowSalaryTotals();
    // Shows the line being entered in its grid, with its amount field and pick button.
    void ShowPending(Section& s, int focusColumn);
    void EndLineEntry(Section& s);
    void UpdateLineButtons();
    // Refuses a change of the lines of a committed or mandated expense.
    void RefuseLockedLines(const QString& refusal);
    // Locks the expense shown for the write operation that changes its lines;
    // refuses one another user deleted.
    void LockShownExpense();
    bool ExpenseShown() const;

    TBeneficiaryField m_ben;
    Section m_sections[2];
    TSalaryTotals m_totals;
};

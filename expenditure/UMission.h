#pragma once
// TfrmMission: missions and other expenses (ExpenseKind::Mission) paid to
// employees, through the expense editor of one budget line, with a payment
// type, optional mission dates, and on the social-contribution lines the three
// employer contributions whose sum is the amount.

#include "expenditure/LineExpenseEditor.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;
class TNumEdit;

class TfrmMission : public TLineExpenseEditor {
    Q_OBJECT
public:
    explicit TfrmMission(QWidget* parent = nullptr);

    // Whether the budget line shown takes the employer contributions.
    bool ContributionMode() const override { return m_contributionMode; }

    // Controls of the kind.
    QComboBox* cmbTypePmt;
    QLineEdit* edDateD;
    QLineEdit* edDateF;
    QToolButton* btnGetDateD;
    QToolButton* btnGetDateF;
    TNumEdit* edReg_Gen;
    TNumEdit* edAss_Chom;
    TNumEdit* edRet_Ant;
    QLabel* lReg_Gen;
    QLabel* lAss_Chom;
    QLabel* lRet_Ant;
    QAction* mnChargesSoc;

protected:
    void ShowOwnFields(const TExpense* expense) override;
    void NewOwnFields() override;
    void CheckOwnFields() override;
    void FillOwnFields(TExpense& expense) override;
    QWidget* AmountField() const override;
    void ApplyOwnRights(const expense::TEditRights& rights) override;
    void BudgetLinePicked() override;
    void KeepHeldFields(const TExpense& stored) override;

private:
    // Shows or hides the contribution fields by the budget line shown.
    void SetContributionMode();
    // The amount := the contributions' sum, in contribution mode while they may change
    // (after the user edited one of them).
    void ContributionChanged();

    bool m_contributionMode = false;
    QDate m_start, m_end;
};

#pragma once
// TfrmFact: the supplier invoices, browsed one at a time,
// created, changed and deleted through the three-mode expense editor.

#include "expenditure/ExpenseEditor.h"
#include "ui/RecordNavigator.h"

#include <memory>

class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;
class TNumEdit;

namespace db { class Query; }

class TfrmFact : public TExpenseEditor {
    Q_OBJECT
public:
    explicit TfrmFact(QWidget* parent = nullptr);
    ~TfrmFact() override;

    // Handlers (each connected through the guard).
    void FormShow() override;
    void FormClose() override;
    void btnAddClick();
    void btnModifClick();
    void btnDeleteClick();
    void btnPostClick() override;
    void btnCancelClick() override;
    void btnFindClick();
    void btnGetFourClick();
    void btnGetImpClick();

    // The state of the shown invoice, taken when it was shown (0 free,
    // 1 committed, 2 in a payment order, 3 both) and its budget line.
    ::ExpenseState ExpenseState() const { return m_state; }
    qint64 ChosenBudgetLine() const { return m_idFnm; }

    // Controls.
    QWidget* pnlMain;
    QLineEdit* edNoFact;
    QLineEdit* edDFact;
    QLineEdit* edFour;
    QLabel* lFour;
    QLineEdit* edChap;
    QLineEdit* edArt;
    QLineEdit* edPar;
    QLabel* lInt;
    TNumEdit* edMontant;
    QLineEdit* edObjet;
    QLabel* lNoMdt;
    QLabel* lNoEng;
    QLabel* lCA;
    QToolButton* btnFind;
    QToolButton* btnGetFour;
    QToolButton* btnGetImp;
    QToolButton* btnGetDate;
    QMenu* PopMnFact;
    QAction* mnAdd;
    QAction* mnDelete;
    QAction* mnModif;
    QAction* mnPost;
    QAction* mnCancel;
    QAction* mnFind;
    QAction* mnFour;
    QAction* mnClose;
    QAction* mnListing;

protected:
    void KeepHeldFields(const TExpense& stored) override;
    void ShowStoredRow() override;

private:
    void BuildWindow();
    void ShowExpense();
    void ShowDocumentNumbers();
    void ClearEntry();
    void SetBudgetLine(qint64 idFnm, const QString& chap, const QString& art, const QString& par,
                       const QString& intitule);

    qint64 m_idFnm = -1;
    ::ExpenseState m_state = ::ExpenseState::Free;
};

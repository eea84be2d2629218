#pragma once
// TfrmListBudget: the grid of every budget line with its primitive budget,
// imprest part and amending budget. It never writes: from it the user opens the
// allocation window of a line, searches a line, shows a chapter's total, opens
// the nomenclature and prints the budget sheets.
//
// The four print items (mnFicheBP, mnFicheBP_Pre, mnFicheBS, mnFicheBS_Pre) sit
// in both print menus; the documents connect them.

#include "ui/ListWindow.h"

#include <memory>

class QAction;
class QMenu;
class QPushButton;
class QTableView;
class QueryTableModel;
class TBudgetStore;
class TStatusBar;

class TfrmListBudget : public TListWindow {
    Q_OBJECT
public:
    explicit TfrmListBudget(QWidget* parent = nullptr);
    ~TfrmListBudget() override;

    QWidget* pnlBtns = nullptr;
    QPushButton* btnModif = nullptr;
    QPushButton* btnFind = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnMenu = nullptr;
    QPushButton* btnClose = nullptr;
    QTableView* grdBudget = nullptr;
    TStatusBar* stBar = nullptr;

    QMenu* PopMnBud = nullptr;
    QMenu* PopMnPrint = nullptr;
    QAction* mnModif = nullptr;
    QAction* mnFind = nullptr;
    QAction* mnDotChap = nullptr;
    QAction* mnNomenc = nullptr;
    QAction* mnClose = nullptr;
    QAction* mnFicheBP = nullptr;
    QAction* mnFicheBP_Pre = nullptr;
    QAction* mnFicheBS = nullptr;
    QAction* mnFicheBS_Pre = nullptr;

    // The rows shown (the budget lines) and the current one.
    QueryTableModel* model() const { return m_model; }

    void FormShow() override;
    void btnModifClick();
    void btnFindClick();
    void mnDotChapClick();
    void mnNomencClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<TBudgetStore> m_store;
    QueryTableModel* m_model = nullptr;
};

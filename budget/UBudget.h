#pragma once
// TfrmBudget: the allocations of one budget line: the primitive budget with its
// imprest part and visa date, and the amending budget (which may be negative)
// with its visa date. Every allocation is also a movement of the line's credit:
// saving writes the line and keeps two commitment sheets of the line in step
// with it, the primitive-budget sheet (always "0001") and the
// amending-budget sheet (numbered like any other sheet of the line),
// all in one transaction.
//
// Modal; the caller sets IdFnm, runs exec() and frees the window. Inside, the
// navigator and the search move to any other line of the nomenclature.
//
// The four print items (mnFicheBP, mnFicheBP_Pre, mnFicheBS, mnFicheBS_Pre) sit
// in both print menus; the documents connect them.

#include "data/Codes.h"
#include "ui/EditorWindow.h"

#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;
class TNumEdit;
class QueryTableModel;
class TBudgetStore;
class TRecordNavigator;
struct TBudgetLineRow;

class TfrmBudget : public TEditorWindow {
    Q_OBJECT
public:
    explicit TfrmBudget(QWidget* parent = nullptr);
    ~TfrmBudget() override;

    // In: the line to show first; while the window runs, the line shown.
    qint64 IdFnm = -1;

    // Tool bar.
    QWidget* pnlBtns = nullptr;
    TRecordNavigator* MyNavigator = nullptr;
    QToolButton* btnFirst = nullptr;
    QToolButton* btnPrior = nullptr;
    QToolButton* btnNext = nullptr;
    QToolButton* btnLast = nullptr;
    QPushButton* btnEdit = nullptr;
    QPushButton* btnPost = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnFind = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnMenu = nullptr;
    QPushButton* btnClose = nullptr;

    // Entry panel.
    QWidget* pnlMain = nullptr;
    QLineEdit* edChap = nullptr;
    QLineEdit* edArt = nullptr;
    QLineEdit* edPar = nullptr;
    QLabel* lInt = nullptr;
    TNumEdit* edMt_BP = nullptr;
    TNumEdit* edMt_Regie = nullptr;
    TNumEdit* edMt_BS = nullptr;
    QLineEdit* edDateBP = nullptr;
    QLineEdit* edDateEng_BP = nullptr;
    QLineEdit* edDateBS = nullptr;
    QLineEdit* edDateEng_BS = nullptr;
    QPushButton* btnGetDateBP = nullptr;
    QPushButton* btnGetDateEng_BP = nullptr;
    QPushButton* btnGetDateBS = nullptr;
    QPushButton* btnGetDateEng_BS = nullptr;

    // Menus: PopMnBud (also the window's context menu) and PopMnPrint.
    QMenu* PopMnBud = nullptr;
    QMenu* PopMnPrint = nullptr;
    QAction* mnEdit = nullptr;
    QAction* mnPost = nullptr;
    QAction* mnCancel = nullptr;
    QAction* mnFind = nullptr;
    QAction* mnTotChap = nullptr;
    QAction* mnClose = nullptr;
    QAction* mnFicheBP = nullptr;       // "la fiche d'engagement - Primitif"
    QAction* mnFicheBP_Pre = nullptr;   // "... - Primitif - PréImprimé"
    QAction* mnFicheBS = nullptr;       // "la fiche d'engagement - Modificatif"
    QAction* mnFicheBS_Pre = nullptr;   // "... - Modificatif - PréImprimé"

    bool Editing() const { return Mode() != emBrowse; }
    // The line shown has an article (a chapter heading has none).
    bool HasArticle() const;

    void FormShow() override;
    void ShowBudgetLine();
    QString GetBudgetSheetDate(SheetOrigin origin, qint64 idFnm);
    void SetBudgetEntryState(bool editing);
    void btnEditClick();
    void btnPostClick() override;
    void btnCancelClick() override;
    void btnFindClick();
    void mnTotChapClick();

protected:
    bool HasRows() const override;
    TShownRow ShownRow() const override;
    void ShowStoredRow() override;
    void ModeChanged() override;

private:
    void BuildWindow();
    void OpenBudget();
    bool LocateLine(qint64 idFnm);
    // The line shown; its texts without the blanks that pad them.
    TBudgetLineRow CurrentLine() const;
    void ReloadAfterSave();

    std::unique_ptr<TBudgetStore> m_store;
    QueryTableModel* m_lines = nullptr;   // the store's lines, in nomenclature order
};

#pragma once
// TfrmEngagement ("Engagements - Dépenses"): the user's expense commitment
// sheets, browsed one at a time in number order over all budget lines. A new
// sheet's header is saved first, without number, budget line or amount; its
// lines come from the expense picker, and each change of lines writes the
// sheet's amount, budget line (its first expense's) and number in the same
// transaction. The window shows the line's balance before and after the
// sheet, records the visa (which freezes the lines), removes lines, deletes
// the last sheet of a line and finds a sheet by budget line and number.
//
// Modal; the caller sets ObjetEng (an expense sheet) and IdEng (0 or less: the last sheet),
// runs exec() and frees it.

#include "budget/SheetStore.h"
#include "budget/SheetWindow.h"

#include <optional>

class QAction;
class QLabel;
class QMenu;
class QTableView;
class QToolButton;
template <class Item> class TItemsModel;
struct TDocumentLine;
class TDocumentKeyList;

class TfrmEngagement : public TSheetWindow {
    Q_OBJECT
public:
    explicit TfrmEngagement(QWidget* parent = nullptr);
    ~TfrmEngagement() override;

    // In: the OBJET of the sheets (every caller asks for expense sheets) and
    // the sheet to show first. While the window runs IdEng is the sheet
    // shown, -1 when none.
    SheetObject ObjetEng = SheetObject::Expense;
    qint64 IdEng = -1;

    // The sheet's budget line (its first expense's), amount and balance before it.
    qint64 BudgetLine() const { return m_idFnm; }
    Currency Amount() const { return m_amount; }
    Currency OldBalance() const { return m_oldBalance; }
    const TDocumentLines& Lines() const { return m_lines; }
    TDocumentKeyList* Sheets() const { return m_keys; }

    // Controls.
    QWidget* pnlDetail = nullptr;
    QTableView* grdDep = nullptr;
    QToolButton* btnDelDet = nullptr;
    QLabel* lCancelled = nullptr;
    QMenu* PopMnPrint = nullptr;
    QAction* mnAddDetail = nullptr;
    QAction* mnDelDet = nullptr;
    QAction* mnPrintFE_FB = nullptr;       // "Fiche d'engagement - Papier blanc"
    QAction* mnPrintFE_PreImp = nullptr;   // "Fiche d'engagement - Préimprimé"

    // Handlers.
    void ShowSheet();
    void ShowSheetBalances();
    void btnAddClick() override;
    void btnModifClick() override;
    void btnDeleteClick() override;
    void btnModifDetClick();
    void btnDelDetClick();
    void btnFindClick() override;
    void mnPrintFE_FBClick();       // the sheet shown on white paper
    void mnPrintFE_PreImpClick();   // the sheet shown on stationery
    // After lines were added or removed: the number's check and the default
    // observation (the header's amount, line and number are already stored).
    void RecomputeCommitment();

protected:
    bool HasRows() const override;
    TShownRow ShownRow() const override;
    void FormShow() override;
    void btnPostClick() override;
    void btnCancelClick() override;
    void ModeChanged() override;

private:
    void BuildWindow();
    void ClearEntry();
    void ShowLines();
    bool Cancelled() const;
    bool HasVisa() const;
    void RenumberLinesByName();

    TSheetStore m_store;
    TItemsModel<TDocumentLine>* m_lineModel = nullptr;
    std::optional<TSheet> m_sheet;
    TDocumentLines m_lines;
    qint64 m_idFnm = -1;
    Currency m_amount;
    Currency m_oldBalance;
    bool m_isLast = false;
};

// The expense sheet `idEng` in its window, modally: what the expense listing
// opens for "Voir l'engagement" (the main menu hands it this opener).
void OpenExpenseSheet(QWidget* parent, qint64 idEng);

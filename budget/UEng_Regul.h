#pragma once
// TfrmEng_Regul ("Engagements - Régularisations"): the regularisation sheets,
// the second series of commitment sheets, browsed one at a time by budget line
// and number. A new sheet's header is saved first, without number, line or
// kind; its first lines fix them: payment orders of a budget line (picked in
// TfrmAddRegul_Mdt), or a copy of one transfer, amending-budget or
// cancellation sheet (TfrmAddRegul_FE). The window shows the line's balance
// in the regularisation series before and after the sheet, records the visa
// (which freezes the lines and is carried to the ordinary sheets of the
// orders' expenses), removes lines, deletes the last sheet of a line and finds
// a sheet by budget line and number.
//
// Modal; the caller sets IdEng (0 or less: the last sheet), runs exec() and frees it.

#include "budget/RegulStore.h"
#include "budget/SheetWindow.h"
#include "ui/ItemsModel.h"

#include <optional>

class QAction;
class QLabel;
class QMenu;
class QTableView;
class QToolButton;
class TDocumentKeyList;

class TfrmEng_Regul : public TSheetWindow {
    Q_OBJECT
public:
    explicit TfrmEng_Regul(QWidget* parent = nullptr);
    ~TfrmEng_Regul() override;

    // In: the sheet to show first. While the window runs, the sheet shown (-1 when none).
    qint64 IdEng = -1;

    const std::optional<TRegulSheet>& Sheet() const { return m_sheet; }
    const TRegulLines& Lines() const { return m_lines; }
    Currency OldBalance() const { return m_oldBalance; }
    Currency NewBalance() const { return m_newBalance; }
    TDocumentKeyList* Sheets() const { return m_keys; }

    // Controls.
    QLabel* lObjet = nullptr;
    QTableView* grdDep = nullptr;
    QToolButton* btnDelDet = nullptr;
    QMenu* PopMnPrint = nullptr;
    QAction* mnModifDet = nullptr;
    QAction* mnDelDet = nullptr;
    QAction* mnObs = nullptr;
    QAction* mnPrintFE_FB = nullptr;       // "Fiche d'engagement - Papier blanc"
    QAction* mnPrintFE_PreImp = nullptr;   // "Fiche d'engagement - Préimprimé"

    // Handlers.
    void ShowRegulSheet();
    void btnAddClick() override;
    void btnModifClick() override;
    void btnDeleteClick() override;
    void btnModifDetClick();
    void btnDelDetClick();
    void btnFindClick() override;
    void mnPrintFE_FBClick();
    void mnPrintFE_PreImpClick();
    // After orders were added or removed: the default observation, asked
    // about when the one typed differs.
    void RecomputeRegulSheet();
    // Adds lines of kind `kind` on line `idFnm` (text `lineText`), as the
    // kind dialog's answer would.
    void AddLines(SheetOrigin kind, qint64 idFnm, const QString& lineText);

    // Whether lines may be added: a sheet without visa, and a copied sheet only while it has no line.
    bool CanAddLines() const;

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
    void ShowBalance();
    bool HasVisa() const;
    void PutCurrent();
    // The line of the grid's current row; null when none.
    const TRegulLine* CurrentLine() const;
    void OpenLine();
    void PrintSheet(bool stationery);

    TRegulStore m_store;
    TItemsModel<TRegulLine>* m_lineModel = nullptr;
    std::optional<TRegulSheet> m_sheet;
    TRegulLines m_lines;
    Currency m_oldBalance;
    Currency m_newBalance;
    bool m_isLast = false;
};

#pragma once
// TfrmEngagement_Annul ("Engagements - Economie"): the cancellations of user
// commitment sheets. A cancellation is a numbered sheet of the economy side
// on the cancelled sheet's budget line, whose one line points to the
// cancelled sheet; saving it marks that sheet cancelled, which gives its
// amount back to the line and frees its expenses; deleting it makes the
// sheet active again. Browsed one at a time in number order over all lines.
//
// Modal; opened on the last cancellation (IdEng 0 or less) or on IdEng.
// Creating it lowers the most lines one document may hold to 20.

#include "budget/SheetStore.h"
#include "budget/SheetWindow.h"
#include "refdata/RefDataStore.h"

#include <optional>

class QAction;
class QGroupBox;
class QLabel;
class TDocumentKeyList;

class TfrmEngagement_Annul : public TSheetWindow {
    Q_OBJECT
public:
    explicit TfrmEngagement_Annul(QWidget* parent = nullptr);
    ~TfrmEngagement_Annul() override;

    // In: the cancellation to show first; while the window runs, the one shown (-1 when none).
    qint64 IdEng = -1;

    // The sheet cancelled by the entry (-1 when none chosen), its budget line,
    // its amount and the line's balance before the cancellation.
    qint64 CancelledId() const { return m_cancelledId; }
    qint64 BudgetLine() const { return m_idFnm; }
    Currency Amount() const { return m_amount; }
    Currency OldBalance() const { return m_oldBalance; }
    TDocumentKeyList* Cancellations() const { return m_keys; }

    // Controls.
    QGroupBox* grpCancelled = nullptr;
    QLabel* lNum = nullptr;
    QLabel* lDate = nullptr;
    QLabel* lImput = nullptr;
    QAction* mnAddDetail = nullptr;
    QAction* mnPrint = nullptr;

    // Handlers.
    void ShowCancellation();
    void btnAddClick() override;
    void btnModifClick() override;
    void btnModifDetClick();   // chooses the sheet to cancel
    void btnDeleteClick() override;
    void btnFindClick() override;
    void mnPrintClick();       // the cancellation on white paper

protected:
    bool HasRows() const override;
    TShownRow ShownRow() const override;
    void FormShow() override;
    void btnPostClick() override;
    void btnCancelClick() override;

private:
    void BuildWindow();
    void ClearEntry();
    // The cancelled sheet's number and date, and its budget line's label and title.
    void ShowCancelled(const std::optional<TSheet>& cancelled);
    void ShowBalances(const QString& number);
    bool HasVisa() const;

    TSheetStore m_store;
    TNomenclatureStore m_lines;
    std::optional<TSheet> m_sheet;   // the cancellation shown
    qint64 m_cancelledId = -1;
    qint64 m_idFnm = -1;
    Currency m_amount;
    Currency m_oldBalance;
};

#pragma once
// TfrmAddDep ("Listing des dépenses"): the expense picker through which the
// commitment window (PickerMode::Commitment, "E", lines in DET_ENG) and the
// payment-order window (PickerMode::PaymentOrder, "M", lines in DET_MDT) add expenses to their document. The year's
// expenses are listed on the left, the document's lines on the right; adding
// runs every spending rule (picker/PickerRules.h) and writes the line at once,
// with the document's header (a sheet's amount, budget line and number, an
// order's total) in the same transaction.
//
// The caller creates it, sets TableDet, IdDoc, TypeDep, SelectMode (true),
// ModeDoc and Document, runs exec() and frees it, then reads its document again.

#include "documents/ExpenseDocument.h"
#include "expenditure/ExpenseCriteria.h"
#include "expenditure/PickerStore.h"
#include "expenditure/PickerRules.h"

#include "ui/ListWindow.h"
#include "ui/SelectionGrid.h"

#include <QSet>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;
class QueryRow;
class QueryTableModel;
class TStatusBar;

class TfrmAddDep : public TListWindow {
    Q_OBJECT
public:
    explicit TfrmAddDep(QWidget* parent = nullptr);
    ~TfrmAddDep() override;

    // The window's width when it opens in pick mode and in listing mode.
    static constexpr int PickModeWidth = 745;
    static constexpr int ListingWidth = 557;

    // Set by the caller before exec().
    bool SelectMode = false;
    QString TableDet;          // "DET_MDT" or "DET_ENG"
    PickerMode ModeDoc = PickerMode::Commitment;
    qint64 IdDoc = -1;
    std::optional<ExpenseKind> TypeDep;   // the document's kind (locks the filter's kind); none: any
    // The lines of the document's kind (budget/SheetStore.h TSheetExpenseLines,
    // expenditure/OrderStore.h TOrderExpenseLines); pick mode only.
    std::unique_ptr<TExpenseDocument> Document;

    // Controls.
    QTableView* grdDep = nullptr;
    TSelectionGrid* grdDepToDo = nullptr;
    QWidget* pnlSelectedDep = nullptr;
    QLabel* lNbDep = nullptr;
    QLabel* lTotDep = nullptr;
    QLabel* lTotDetToDo = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnRetire = nullptr;
    QPushButton* btnModif = nullptr;
    QPushButton* btnDelete = nullptr;
    QPushButton* btnFind = nullptr;
    QPushButton* btnFilter = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnMenu = nullptr;
    QPushButton* btnClose = nullptr;
    QCheckBox* chkHide = nullptr;
    QMenu* PopMenu = nullptr;
    QAction* mnAddDep = nullptr;
    QAction* mnRetireDet = nullptr;
    QAction* mnModif = nullptr;
    QAction* mnDelete = nullptr;
    QAction* mnFind = nullptr;
    QAction* mnFilter = nullptr;
    QAction* mnCancelFilter = nullptr;
    QAction* mnPrint = nullptr;
    QAction* mnClose = nullptr;
    TStatusBar* stBar = nullptr;

    QueryTableModel* Expenses() const { return m_model; }
    bool IsOrder() const { return ModeDoc == PickerMode::PaymentOrder; }
    picker::Mode DocumentMode() const { return ModeDoc; }
    bool FilterActive() const { return m_filterActive; }
    const TFilterCriteria& Filter() const { return m_filter; }
    int LineCount() const { return int(m_lines.size()); }
    // The expenses of the document's lines, in the selection's order.
    QList<qint64> SelectedExpenseIds() const;

    // Handlers.
    void FormShow() override;
    // Runs every check and adds the expense; true when a line was written.
    bool AddExpense(qint64 idDepense);
    void AddCurrentExpense();
    void RefreshSelectedLines();
    // Removes the line of the selection's current row, after the question.
    void RetireCurrentLine();
    // Moves a selection row to another place and stores the new order.
    void MoveSelectedLine(int from, int to);
    void RenumberSelectedLines();
    void btnModifClick();
    void btnDeleteClick();
    void btnFindClick();
    void btnFilterClick();
    void btnPrintClick();
    // The rows the printed listing shows: the expense listing's rows of the
    // expenses the list shows, in its order and under its filters.
    TListingRows PrintedRows() const;
    void ApplyFilter(const TFilterCriteria& filter);
    void CancelFilter();

protected:
    void keyPressEvent(QKeyEvent* event) override;

public:
    void done(int result) override;

private:
    void BuildWindow();
    void OpenExpenses(const TSqlCondition& condition);
    bool ShownInPickMode(const QueryRow& row) const;
    void FillSelectionGrid();
    picker::Document CurrentDocument() const;
    // A rule's refusal shown (core/Refusal.h), the focus on the list it names
    // and, on the selection list, its row made current; the handler goes on.
    void ShowPickerRefusal(const TRefusal& refusal);
    void SelectLine(qint64 idDepense);
    // Reads the expense again through its key and shows it so in the list;
    // false when it is gone or not in the list.
    bool ReadExpenseAgain(qint64 idDepense);
    qint64 CurrentExpenseId() const;

    QueryTableModel* m_model = nullptr;
    TPickerStore m_picker;
    picker::Facts m_facts;
    QSet<qint64> m_snapshot;                // on a document of the mode when the picker opened
    TDocumentLines m_lines;                 // the document's lines, in order
    QSet<qint64> m_selected;
    std::optional<ExpenseKind> m_firstKind;
    bool m_sheetCancelled = false;
    bool m_sheetVisa = false;
    TFilterCriteria m_filter;
    bool m_filterActive = false;
};

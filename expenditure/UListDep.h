#pragma once
// TfrmListDep ("Listing des dépenses"): the year's expenses, all kinds or one
// kind, each with its budget line, beneficiary, payment order and commitment
// sheet, rows coloured by kind and greyed once mandated. From it the user
// opens an expense in its kind's editor, the payment order or the commitment
// sheet that holds it, deletes a free expense (with the write right of its
// kind), finds an expense by number, filters with TfrmFilterDep and prints the
// listing (TfrmRptListDep). The list is read again after every window it
// opened; filter, sort and search work on the rows read.
//
// The main menu's five listing items create it with SelectMode false and
// TypeDep none (all kinds) or one kind, hand it the sheet opener, show it
// modally and free it.

#include "expenditure/ExpenseListing.h"
#include "expenditure/UFilterDep.h"
#include "ui/ListingWindow.h"

#include <functional>

class TfrmListDep : public TListingWindow {
    Q_OBJECT
public:
    explicit TfrmListDep(QWidget* parent = nullptr);
    ~TfrmListDep() override;

    // Set by the caller before exec().
    bool SelectMode = false;
    std::optional<ExpenseKind> TypeDep;   // none: every kind
    // Opens the commitment sheet that holds an expense, by the sheet's key,
    // modally. The sheet window is the budget area's, which sits above this
    // one: the caller hands the opener; without one "Voir l'engagement" does
    // nothing.
    std::function<void(QWidget* parent, qint64 idEng)> OpenSheet;

    QTableView* grdDep = nullptr;
    QPushButton* btnModif = nullptr;
    QPushButton* btnDelete = nullptr;
    QPushButton* btnFind = nullptr;
    QPushButton* btnFilter = nullptr;
    QPushButton* btnPrint = nullptr;
    QAction* mnModif = nullptr;
    QAction* mnDelete = nullptr;
    QAction* mnVoirMdt = nullptr;
    QAction* mnVoirEng = nullptr;
    QAction* mnFind = nullptr;
    QAction* mnFilter = nullptr;
    QAction* mnCancelFilter = nullptr;
    QAction* mnPrint = nullptr;
    QAction* mnClose = nullptr;

    const TFilterCriteria& Filter() const { return m_filter; }

    // Handlers.
    void btnModifClick();
    void btnDeleteClick();
    void mnVoirMdtClick();
    void mnVoirEngClick();
    void btnFindClick();
    void btnFilterClick();
    void ApplyFilter(const TFilterCriteria& filter);
    void btnPrintClick();
    // Reads the expenses again, keeping the filter, the sort and the current expense.
    void ReadExpenses();

protected:
    void FormShow() override;
    void UpdateCommands() override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void ShowFiltered() override;

private:
    void FitBeneficiaryColumn();

    TExpenseListing m_listing;
    TFilterCriteria m_filter;
};

// The printed expense listing without its window (TfrmRptListDep's reader):
// the expenses of the kind `kind` (none: all).
void ReadExpenseListing(QueryTableModel& rows, std::optional<ExpenseKind> kind);

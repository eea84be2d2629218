#pragma once
// TfrmListMdt ("Mandats"): the payment orders of the year. It sorts by a
// clicked column, filters by the criteria of TfrmFilterMdt (on a salary
// budget line the column "Mt Imput." shows that line's share of each order),
// finds an order by number, opens it in TfrmMandat, deletes it (refused while
// a regularisation sheet records it) and prints the list as shown
// (TfrmRptListMdt).
//
// The main menu item "Listing des Mandats" creates it, shows it modally and
// frees it.

#include "expenditure/OrderListing.h"
#include "ui/ListingWindow.h"

#include <optional>

class TfrmListMdt : public TListingWindow {
    Q_OBJECT
public:
    explicit TfrmListMdt(QWidget* parent = nullptr);
    ~TfrmListMdt() override;

    QTableView* grdMdt = nullptr;
    QPushButton* btnModif = nullptr;
    QPushButton* btnDelete = nullptr;
    QPushButton* btnFind = nullptr;
    QPushButton* btnFilter = nullptr;
    QPushButton* btnPrint = nullptr;
    QAction* mnModif = nullptr;
    QAction* mnDelete = nullptr;
    QAction* mnFind = nullptr;
    QAction* mnFilter = nullptr;
    QAction* mnCancelFilter = nullptr;
    QAction* mnPrint = nullptr;
    QAction* mnClose = nullptr;

    const TOrderCriteria& Filter() const { return m_filter; }
    // Whether the list is filtered on a salary line ("Mt Imput." shown).
    bool SalaryLine() const { return m_line && m_line->salary; }

    // Handlers.
    void btnModifClick();
    void btnDeleteClick();
    void btnFindClick();
    void btnFilterClick();
    void ApplyFilter(const TOrderCriteria& filter);
    void btnPrintClick();
    // Reads the orders again, keeping the filter, the sort and the current order.
    void ReadOrders();

protected:
    void FormShow() override;
    void UpdateCommands() override;
    void ShowFiltered() override;

private:

    TOrderListing m_listing;
    TListingRows m_rows;                 // the orders as read
    TOrderCriteria m_filter;
    bool m_canWrite = false;
    std::optional<TLineOrders> m_line;   // the orders of the filter's budget line
};

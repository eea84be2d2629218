#pragma once
// TOrderListWindow: what the windows listing the year's payment orders share
// (the payment-order listing, the dispatch slips): the order columns, the
// orders read once and shown under the criteria of TfrmFilterMdt (on a salary
// budget line the column "Mt Imput." shows that line's share of each order),
// opening the current order in TfrmMandat, finding an order by its number,
// and the printed listing of the orders as shown (TfrmRptListMdt). Also the
// deletion of an order, which the listing and TfrmMandat share.

#include "expenditure/OrderListing.h"
#include "ui/ListingWindow.h"

#include <optional>

class TOrderListWindow : public TListingWindow {
    Q_OBJECT
public:
    const TOrderCriteria& Filter() const { return m_filter; }
    // Whether the list is filtered on a salary line ("Mt Imput." shown).
    bool SalaryLine() const { return m_line && m_line->salary; }

    // The criteria chosen are the whole filter: none lists every order again.
    void ApplyFilter(const TOrderCriteria& filter);
    // Reads the orders again, keeping the filter, the sort and the current order.
    void ReadOrders();

    // The first shown row whose order has the number `number`
    // (TOrderListing::HasNumber); -1 when none.
    static int FindNumber(const QueryTableModel& rows, qint64 number);

protected:
    // The orders are read in `order`.
    explicit TOrderListWindow(QWidget* parent, TOrderListing::Order order = TOrderListing::Order::LastFirst);

    // The grid's columns: number, date, amount, the line's share, nature.
    void AddOrderColumns();
    // The commands both windows have, each with its tool-bar button:
    // "Ajouter/Modifier" (F2) opens the current order; "Chercher" (F3) finds
    // an order by number; "Filtrer" and "Annuler le filtre".
    QAction* AddModifCommand(QPushButton** button);
    QAction* AddFindCommand(QPushButton** button);
    QAction* AddFilterCommand(QPushButton** button);
    QAction* AddCancelFilterCommand();
    // Ends the tool bar; adds the calculator (F5) and the status bar, its
    // third panel counting the orders listed.
    void EndOrderToolBar();
    // The criteria as the window opens: none.
    void ResetFilter() { m_filter = TOrderCriteria::Reset(); }
    void ShowFiltered() override;
    // Orders left out of the list whatever the criteria.
    virtual bool Excluded(qint64 idMdt) const { return false; }
    // After every reading of the orders.
    virtual void OrdersRead() {}
    const TListingRows& OrderRows() const { return m_rows; }

    // Opens the current order in TfrmMandat, then reads the orders again.
    void OpenCurrentOrder();
    // Asks the criteria and applies them.
    void AskFilter();
    // Asks for an order number and makes the first shown order of that
    // number current; tells the user when the text is not a number or no
    // order has it.
    void FindNumberAsked();
    // Prints the orders as shown; the current order stays current.
    void PrintListing();

private:
    TOrderListing m_listing;
    TListingRows m_rows;                 // the orders as read
    TOrderCriteria m_filter;
    std::optional<TLineOrders> m_line;   // the orders of the filter's budget line
};

// The printed order listing without a window (TfrmRptListMdt's reader): every
// order, or those of the budget line `idFnm` (-1: all); returns the line's
// caption when it is a salary line, else empty.
QString ReadOrderListing(QueryTableModel& rows, qint64 idFnm);

// The deletion of an order as the payment-order window and the listing ask
// it: a refusal told before the two questions, decided again inside the
// deleting transaction; the order goes with its lines. True when it was
// deleted. The caller checks the write right first.
bool DeleteOrderAsked(qint64 idMdt);

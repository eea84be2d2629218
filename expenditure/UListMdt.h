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

#include "expenditure/OrderListWindow.h"

class TfrmListMdt : public TOrderListWindow {
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

    // Handlers.
    void btnModifClick();
    void btnDeleteClick();
    void btnFindClick();
    void btnFilterClick();
    void btnPrintClick();

protected:
    void FormShow() override;
    void UpdateCommands() override;

private:
    bool m_canWrite = false;
};

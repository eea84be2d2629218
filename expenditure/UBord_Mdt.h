#pragma once
// TfrmBord_Mdt ("Bordereau d'envoi des Mandats"): gathers payment orders into
// a dispatch slip and prints it. On the left the year's orders, sorted,
// filtered (TfrmFilterMdt) and searched as in the order listing; on the right
// the orders on the slip, each once, by number then date, with their total.
// An order on the slip never shows on the left, whatever the filter. The slip
// is not stored: it lives while the window is open.
//
// The payment-order window's print item "Bordereau d'envoi des mandats"
// creates it, shows it modally and frees it.

#include "expenditure/OrderListing.h"
#include "ui/ListingWindow.h"

#include <QSet>

#include <optional>
#include <vector>

class QLabel;
class QMenu;

class TfrmBord_Mdt : public TListingWindow {
    Q_OBJECT
public:
    explicit TfrmBord_Mdt(QWidget* parent = nullptr);
    ~TfrmBord_Mdt() override;

    QTableView* grdMdt = nullptr;
    QTableView* grdBordMdt = nullptr;
    QueryTableModel* BordRows() const { return m_bordModel; }
    QLabel* lTotal = nullptr;
    QPushButton* btnModif = nullptr;
    QPushButton* btnFind = nullptr;
    QPushButton* btnFilter = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnRetire = nullptr;
    QPushButton* btnRetireAll = nullptr;
    QPushButton* btnPrint = nullptr;
    QMenu* PopMnPrint = nullptr;
    QAction* mnModif = nullptr;
    QAction* mnFind = nullptr;
    QAction* mnFilter = nullptr;
    QAction* mnCancelFilter = nullptr;
    QAction* mnAdd = nullptr;
    QAction* mnRetire = nullptr;
    QAction* mnRetireAll = nullptr;
    QAction* mnPrintBord = nullptr;
    QAction* mnPrintListing = nullptr;
    QAction* mnClose = nullptr;

    // The orders on the slip, in the order they were added.
    const std::vector<qint64>& Selection() const { return m_selection; }
    const TOrderCriteria& Filter() const { return m_filter; }

    // Handlers.
    void btnModifClick();
    void btnFindClick();
    void btnFilterClick();
    void ApplyFilter(const TOrderCriteria& filter);
    void btnAddClick();
    void btnRetireClick();
    void btnRetireAllClick();
    void PrintSlip();
    void PrintListing();
    // The ids of the slip as the document takes them.
    QString SlipOrders() const;

protected:
    void FormShow() override;
    void UpdateCommands() override;
    void ShowFiltered() override;

private:
    void ReadOrders();
    void ShowSlip();

    TOrderListing m_listing;
    TListingRows m_rows;                 // every order as read
    TOrderCriteria m_filter;
    std::optional<TLineOrders> m_line;
    std::vector<qint64> m_selection;
    QSet<qint64> m_onSlip;
    QueryTableModel* m_bordModel = nullptr;
};

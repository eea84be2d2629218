#pragma once
// TfrmBord_Mdt ("Bordereau d'envoi des Mandats"): gathers payment orders into
// a dispatch slip and prints it. On the left the year's orders, sorted,
// filtered (TfrmFilterMdt) and searched as in the order listing; on the right
// the orders on the slip, each once, by number then date, with their total.
// The list on the left runs by number then date. An order on the slip never
// shows on the left, whatever the filter. The slip is not stored: it lives
// while the window is open. The orders are read again before each print, so
// the slip prints them as they stand; an order of the slip deleted meanwhile
// leaves it, and the user is told its number.
//
// The payment-order window's print item "Bordereau d'envoi des mandats"
// creates it, shows it modally and frees it.

#include "expenditure/OrderListWindow.h"

#include <QSet>

#include <vector>

class QLabel;
class QMenu;

class TfrmBord_Mdt : public TOrderListWindow {
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

    // Handlers.
    void btnModifClick();
    void btnFindClick();
    void btnFilterClick();
    void btnAddClick();
    void btnRetireClick();
    void btnRetireAllClick();
    void PrintSlip();
    void btnPrintListingClick();
    // The ids of the slip as the document takes them.
    QString SlipOrders() const;

protected:
    void FormShow() override;
    void UpdateCommands() override;
    bool Excluded(qint64 idMdt) const override { return m_onSlip.contains(idMdt); }
    void OrdersRead() override;

private:
    void ShowSlip();

    std::vector<qint64> m_selection;
    QSet<qint64> m_onSlip;
    QueryTableModel* m_bordModel = nullptr;
};

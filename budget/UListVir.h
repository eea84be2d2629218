#pragma once
// TfrmListVir: the transfers of the fiscal year, the most recent first, each
// with the amount it moves, and beside them the rows of the selected one, its
// giving lines in red before its receiving lines in green. It never writes:
// the transfer window opens on the selected transfer, and the list is read
// again when it closes, back on the transfer that was opened.
//
// Modal; opened by the main menu's "Listing des transferts" and the tool
// bar's "Transferts" button.

#include "budget/TransferListing.h"
#include "ui/ListWindow.h"

class QAction;
class QPushButton;
class QTableView;
class QueryTableModel;
class TStatusBar;

class TfrmListVir : public TListWindow {
    Q_OBJECT
public:
    explicit TfrmListVir(QWidget* parent = nullptr);
    ~TfrmListVir() override;

    QWidget* pnlBtns = nullptr;
    QPushButton* btnModif = nullptr;
    QPushButton* btnMenu = nullptr;
    QPushButton* btnClose = nullptr;
    QTableView* grdVir = nullptr;
    QTableView* grdDetVir = nullptr;
    TStatusBar* stBar = nullptr;

    QAction* mnModif = nullptr;     // "Ajouter/Modifier" (F2)
    QAction* mnDelete = nullptr;    // "&Supprimer" (Ctrl+Del)
    QAction* mnClose = nullptr;

    // The transfers and the rows of the current one.
    QueryTableModel* Transfers() const { return m_transfers; }
    QueryTableModel* Rows() const { return m_rows; }
    // The transfer of the current row; -1 when the list is empty.
    qint64 CurrentTransfer() const;

    void FormShow() override;
    // Opens the transfer window on the current transfer (on none when the
    // list is empty), then reads the list again.
    void btnModifClick();
    // Opens the transfer window on the current transfer with its deletion
    // asked, under the transfer window's own rules.
    void mnDeleteClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void qVirAfterScroll();
    void OpenTransfer(bool deleting);
    void UpdateCommands();

    TTransferListing m_listing;
    QueryTableModel* m_transfers = nullptr;
    QueryTableModel* m_rows = nullptr;
};

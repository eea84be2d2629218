#pragma once
// TfrmMandat ("Mandats"): the payment orders, browsed one at a time in number
// order. It creates, changes and deletes orders, fills their lines through
// the expense picker (payment-order mode), removes and renumbers lines,
// proposes the attachment texts and finds an order by its internal number or
// its order number. An order's stored total is the sum of its lines, written
// with every change of lines.
//
// Modal; the caller sets IdMdt (-1: the last order), runs exec() and frees it.

#include "expenditure/OrderStore.h"
#include "documents/DocumentWindow.h"

#include <array>
#include <optional>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QTableView;
class QToolButton;
template <class Item> class TItemsModel;
struct TDocumentLine;
class TDocumentKeyList;
enum class TransferItem;

class TfrmMandat : public TDocumentWindow {
    Q_OBJECT
public:
    explicit TfrmMandat(QWidget* parent = nullptr);
    ~TfrmMandat() override;

    // In: the order to show first (-1 the last one); while the window runs,
    // the order shown (-1 when there is none).
    qint64 IdMdt = -1;

    Currency Total() const { return m_total; }
    bool MissionFlag() const { return m_mission; }
    const TDocumentLines& Lines() const { return m_lines; }
    TDocumentKeyList* Orders() const { return m_keys; }

    // Controls.
    QLabel* lIdMdt = nullptr;
    QLineEdit* edNoMdt = nullptr;
    QLineEdit* edDateM = nullptr;
    QToolButton* btnGetDate = nullptr;
    QLineEdit* edNature = nullptr;
    QComboBox* cmbStatut = nullptr;
    std::array<QLineEdit*, 6> edPJ{};
    QTableView* grdDep = nullptr;
    QToolButton* btnModifDet = nullptr;
    QToolButton* btnDelDet = nullptr;
    QLabel* lMontant = nullptr;
    QToolButton* btnModifMdt = nullptr;
    QMenu* PopMnMandat = nullptr;
    QMenu* PopMenuPrint = nullptr;
    QAction* mnModifDet = nullptr;
    QAction* mnDelDet = nullptr;
    QAction* mnMdtFB = nullptr;      // "Mandat de Paiement - Feuille blanche"
    QAction* mnMdtPre = nullptr;     // "Mandat de Paiement - Préimprimé"
    QAction* mnMandatFB = nullptr;   // "Mandat de paiement" of the context menu

    // Handlers.
    void ShowOrder();
    void btnAddClick() override;
    void btnModifClick() override;
    void btnDeleteClick() override;
    void btnModifDetClick();
    void btnDelDetClick();
    void btnFindClick() override;
    // Prints the order shown, the document chosen by the current line's kind
    // and budget line, on white paper or on stationery.
    void PrintPaymentOrder(bool prePrinted);
    // Prints the order's transfer document of a print item.
    void PrintTransfer(TransferItem item);

protected:
    bool HasRows() const override;
    TShownRow ShownRow() const override;
    void FormShow() override;
    void btnPostClick() override;
    void btnCancelClick() override;

private:
    void BuildWindow();
    void BuildPrintMenus();
    void ConnectTransferItems();
    // The payment statements and the transfer statement of the order shown.
    void ConnectStatementPrints();
    void ClearEntry();
    void ShowLines();
    void ProposeAttachments();
    // The line under the grid's cursor; the first line when none is current;
    // null when the order has no line.
    const TDocumentLine* CurrentLine() const;

    TOrderStore m_store;
    TItemsModel<TDocumentLine>* m_lineModel = nullptr;
    std::optional<TOrder> m_order;
    TDocumentLines m_lines;
    Currency m_total;
    bool m_mission = false;
};

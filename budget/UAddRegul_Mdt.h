#pragma once
// TfrmAddRegul_Mdt ("Mandats à régulariser"): fills a regularisation sheet of
// payment orders. The year's orders paying expenses of one budget line are
// listed on the left with their amount on the line; the sheet's orders on the
// right. Adding or removing an order writes the sheet's line and its header
// (kind, line, number, amount) in one transaction, checked again inside it; a
// removal numbers the remaining lines 1..n in the same transaction. The right
// grid's rows can be dragged into another order, and closing numbers the
// lines 1..n in the grid's order.
//
// The caller sets IdFnm, IdEngReg and lImput's text, runs exec() and reads
// its sheet again afterwards.

#include "budget/RegulStore.h"
#include "ui/ItemsModel.h"

#include <QDialog>
#include <QSet>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;
class TSelectionGrid;
class TStatusBar;

class TfrmAddRegul_Mdt : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAddRegul_Mdt(QWidget* parent = nullptr);
    ~TfrmAddRegul_Mdt() override;

    qint64 IdFnm = -1;
    qint64 IdEngReg = -1;

    QLabel* lImput = nullptr;
    QTableView* grdDep = nullptr;
    TSelectionGrid* grdMdtToDo = nullptr;
    QLabel* lTotDep = nullptr;
    QLabel* lNbMdt = nullptr;
    QLabel* lTotDetToDo = nullptr;
    QPushButton* btnMenu = nullptr;
    QPushButton* btnClose = nullptr;
    QMenu* PopMenu = nullptr;
    QAction* mnRegul = nullptr;
    QAction* mnRetire = nullptr;
    QAction* mnClose = nullptr;
    TStatusBar* stBar = nullptr;

    const QList<TRegulOrder>& Offered() const { return m_orders; }
    const TRegulLines& SheetLines() const { return m_lines; }
    int LineWeight() const { return m_weight; }

    // Adds the order; true when its line was written (a refusal is shown).
    bool AddOrder(qint64 idMdt);
    void AddCurrentOrder();
    void RemoveCurrentLine();
    void MoveLine(int from, int to);
    void RenumberRegulLines();
    void RefreshRegulLines();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FillOrders();

    TRegulStore m_store;
    TItemsModel<TRegulOrder>* m_model = nullptr;
    QList<TRegulOrder> m_orders;
    TRegulLines m_lines;
    QSet<qint64> m_elsewhere;   // orders on another sheet of the line
    QSet<qint64> m_onSheet;
    int m_weight = 0;
    bool m_shown = false;
};

#pragma once
// TSelectionGrid: the list of a document's chosen lines (the expense picker's
// expenses to commit or to order, the regularisation's payment orders), whose
// rows the user drags to another place. The grid does not move its items: it
// reports the move, and the window stores the new order and reads the lines
// again.

#include <QTableWidget>

class QDropEvent;

class TSelectionGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit TSelectionGrid(QWidget* parent = nullptr);
signals:
    void rowMoved(int from, int to);
protected:
    void dropEvent(QDropEvent* event) override;
};

#include "ui/SelectionGrid.h"

#include <QDropEvent>

TSelectionGrid::TSelectionGrid(QWidget* parent)
    : QTableWidget(parent)
{
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDropIndicatorShown(true);
    setDragDropOverwriteMode(false);
}

void TSelectionGrid::dropEvent(QDropEvent* event)
{
    // The window moves the line and reads the lines again; the grid itself
    // does not move its items.
    const int from = currentRow();
    int to = indexAt(event->position().toPoint()).row();
    if (to < 0)
        to = rowCount() - 1;
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    if (from >= 0 && to >= 0 && from != to)
        emit rowMoved(from, to);
}

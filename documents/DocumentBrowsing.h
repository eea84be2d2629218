#pragma once
// What the sheet and order windows share to browse their documents: the list
// of the documents' keys for the navigator, and the grid of a document's lines.
//
// The documents a window browses one at a time (commitment sheets, payment
// orders): their keys and numbers in number order, held in a grid model the
// record navigator moves through. The list is read once when the window opens;
// after a save or a delete only the document that changed is put in, moved
// or taken out, so a year of documents is never read again.
//
// The rows have two fields, ID (the key) and NO (the number).

#include "documents/DocumentLines.h"
#include "ui/ItemsModel.h"
#include "ui/QueryTableModel.h"

#include <QList>
#include <QStyle>
#include <QString>

#include <initializer_list>

class QAction;
class QFrame;
class QHBoxLayout;
class QTableView;
class QToolButton;
class QWidget;
class TRecordNavigator;

class TDocumentKeyList : public QueryTableModel {
    Q_OBJECT
public:
    explicit TDocumentKeyList(QObject* parent = nullptr);

    // All the keys, in number order (ties by key).
    void SetKeys(QList<TDocumentKey> keys);
    // A new document or a new number: the key put in its place; it becomes current.
    void Put(qint64 id, const QString& number);
    // A deleted document: the one after it becomes current (the one before at the end).
    void Remove(qint64 id);
    // Makes the document current; false when it is not in the list.
    bool LocateId(qint64 id);
    // The current document's key; -1 when there is none.
    qint64 CurrentId() const;
    bool Contains(qint64 id) const;

private:
    void Publish(qint64 current);
    QList<TDocumentKey> m_keys;
};

// The grid model of a document's lines: each row one TDocumentLine.
using TDocumentLineModel = TItemsModel<TDocumentLine>;

// Shows a document's lines in `model`.
void ShowDocumentLines(TDocumentLineModel* model, const TDocumentLines& lines);

// The grid "grdDep" of a document's lines, made in `window` (put in `grid`),
// and its model, which ShowDocumentLines fills: the line's number, the
// expense's number and date, its budget line when `withBudgetLine`, the
// beneficiary and the amount, keyed by the line's number. The columns take the
// `widths` given in their order; the last one takes the room left.
TDocumentLineModel* MakeDocumentLineGrid(QWidget* window, QTableView** grid, bool withBudgetLine,
                                         std::initializer_list<int> widths);

// The tool bar of a document window: a framed row of tool buttons, each
// showing a command (or none), with the record navigator among them.
class TDocumentToolBar {
public:
    TDocumentToolBar(QWidget* window, const char* name);
    QFrame* Panel() const { return m_panel; }
    QToolButton* Button(const char* name, const QString& text, const QString& hint, QStyle::StandardPixmap icon,
                        QAction* command = nullptr);
    TRecordNavigator* Navigator();   // with a space on each side
    void Stretch();

private:
    QFrame* m_panel;
    QHBoxLayout* m_bar;
};

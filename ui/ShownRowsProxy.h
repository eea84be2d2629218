#pragma once
// TShownRowsProxy: which rows of a TQueryRowsModel show, and in what order.
// A client-side filter keeps rows; a sort orders them by one column (NULL
// first, numbers by value, dates, texts in French order), ties keeping their
// query order. The shown rows are rebuilt whenever the rows model resets or
// the filter or sort changes.

#include "ui/QueryRowsModel.h"

#include <QAbstractProxyModel>

#include <vector>

class TShownRowsProxy : public QAbstractProxyModel {
    Q_OBJECT
public:
    using Filter = TRowFilter;

    explicit TShownRowsProxy(QObject* parent = nullptr);

    // The rows shown through this proxy.
    void setSourceRows(TQueryRowsModel* rows);
    TQueryRowsModel* sourceRows() const { return m_rows; }

    // Client-side filter (nullptr: none).
    void setFilter(Filter filter);
    bool hasFilter() const { return bool(m_filter); }
    // A filter keeping the rows whose column text equals `text` (trailing blanks ignored).
    static Filter FieldEquals(const QString& field, const QString& text);
    // Re-applies filter and sort after what they read has changed.
    void refilter();

    // The click rule: a new column sorts ascending, the same column again
    // toggles; a column marked not sortable leaves the order.
    void sortByColumn(int column);
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    // Index in the query-order rows of a shown row; -1 out of range.
    int sourceRow(int shownRow) const;
    // The shown row of a query-order row; -1 when it is not shown.
    int shownRow(int sourceRow) const;
    // The shown row of `sourceRow`, or when it is no longer shown the first
    // shown row after it in query order (rows keep their relative order, so
    // that one is close to where it was); -1 when none.
    int shownRowAtOrAfter(int sourceRow) const;
    // The first shown row whose `fields` hold `values`; -1 when none.
    int findRow(const QStringList& fields, const QList<db::Value>& values) const;

    // Orders two values: NULL first, numbers by value, dates, texts in French
    // order (accents and case weigh only after the letters).
    static int compareValues(const db::Value& a, const db::Value& b);

    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;
    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    // Column titles from the rows model; rows numbered in shown order.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void rebuild();
    void applySort();

    TQueryRowsModel* m_rows = nullptr;
    std::vector<int> m_shown;     // shown row -> query-order row
    std::vector<int> m_shownOf;   // query-order row -> shown row, -1 when filtered out
    Filter m_filter;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

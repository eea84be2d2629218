#include "ui/ShownRowsProxy.h"

#include "core/Routines.h"

#include <QCollator>
#include <QDate>
#include <QDateTime>

#include <algorithm>
#include <optional>

TShownRowsProxy::TShownRowsProxy(QObject* parent) : QAbstractProxyModel(parent) {}

void TShownRowsProxy::setSourceRows(TQueryRowsModel* rows)
{
    beginResetModel();
    if (m_rows)
        disconnect(m_rows, nullptr, this, nullptr);
    m_rows = rows;
    setSourceModel(rows);
    // The rows model changes by resets only: each one rebuilds the shown rows.
    connect(rows, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(rows, &QAbstractItemModel::modelReset, this, [this] {
        rebuild();
        endResetModel();
    });
    rebuild();
    endResetModel();
}

void TShownRowsProxy::setFilter(Filter filter)
{
    beginResetModel();
    m_filter = std::move(filter);
    rebuild();
    endResetModel();
}

TShownRowsProxy::Filter TShownRowsProxy::FieldEquals(const QString& field, const QString& text)
{
    const QString wanted = TQueryRowsModel::withoutTrailingBlanks(text);
    return [field, wanted](const QueryRow& r) {
        return TQueryRowsModel::withoutTrailingBlanks(r.asString(field)) == wanted;
    };
}

void TShownRowsProxy::refilter()
{
    beginResetModel();
    rebuild();
    endResetModel();
}

void TShownRowsProxy::sortByColumn(int column)
{
    if (column < 0 || column >= columnCount())
        return;
    if (column < m_rows->columns().size() && !m_rows->columns()[column].sortable)
        return;
    Qt::SortOrder order = Qt::AscendingOrder;
    if (column == m_sortColumn && m_sortOrder == Qt::AscendingOrder)
        order = Qt::DescendingOrder;
    sort(column, order);
}

void TShownRowsProxy::sort(int column, Qt::SortOrder order)
{
    beginResetModel();
    m_sortColumn = column;
    m_sortOrder = order;
    rebuild();
    endResetModel();
}

void TShownRowsProxy::rebuild()
{
    m_shown.clear();
    const int count = m_rows ? m_rows->size() : 0;
    m_shown.reserve(size_t(count));
    for (int r = 0; r < count; ++r) {
        if (m_filter && !m_filter(m_rows->row(r)))
            continue;
        m_shown.push_back(r);
    }
    applySort();
    m_shownOf.assign(size_t(count), -1);
    for (size_t i = 0; i < m_shown.size(); ++i)
        m_shownOf[size_t(m_shown[i])] = int(i);
}

void TShownRowsProxy::applySort()
{
    if (m_sortColumn < 0)
        return;
    const int field = m_rows->fieldOfColumn(m_sortColumn);
    if (field < 0)
        return;
    const bool desc = m_sortOrder == Qt::DescendingOrder;
    auto cell = [&](int r) -> const db::Value& { return m_rows->values(r)[size_t(field)]; };
    // The texts' collation keys, made once per row rather than at every comparison.
    std::vector<std::optional<QCollatorSortKey>> keys(size_t(m_rows->size()));
    for (int r : m_shown)
        if (const auto* text = std::get_if<QString>(&cell(r)))
            keys[size_t(r)] = FrenchCollator().sortKey(TQueryRowsModel::withoutTrailingBlanks(*text));
    std::stable_sort(m_shown.begin(), m_shown.end(), [&](int a, int b) {
        const auto& ka = keys[size_t(a)];
        const auto& kb = keys[size_t(b)];
        const int c = ka && kb ? ka->compare(*kb) : compareValues(cell(a), cell(b));
        return desc ? c > 0 : c < 0;
    });
}

int TShownRowsProxy::sourceRow(int shownRow) const
{
    if (shownRow < 0 || shownRow >= rowCount())
        return -1;
    return m_shown[size_t(shownRow)];
}

int TShownRowsProxy::shownRow(int sourceRow) const
{
    if (sourceRow < 0 || size_t(sourceRow) >= m_shownOf.size())
        return -1;
    return m_shownOf[size_t(sourceRow)];
}

int TShownRowsProxy::shownRowAtOrAfter(int sourceRow) const
{
    if (sourceRow < 0)
        return -1;
    const int shown = shownRow(sourceRow);
    if (shown >= 0)
        return shown;
    for (size_t i = 0; i < m_shown.size(); ++i)
        if (m_shown[i] > sourceRow)
            return int(i);
    return -1;
}

int TShownRowsProxy::findRow(const QStringList& fields, const QList<db::Value>& values) const
{
    if (!m_rows || fields.isEmpty() || fields.size() != values.size())
        return -1;
    std::vector<int> idx;
    for (const QString& f : fields) {
        const int i = m_rows->fieldIndex(f);
        if (i < 0)
            return -1;
        idx.push_back(i);
    }
    for (size_t r = 0; r < m_shown.size(); ++r) {
        const auto& rowValues = m_rows->values(m_shown[r]);
        bool all = true;
        for (size_t k = 0; k < idx.size() && all; ++k)
            all = TQueryRowsModel::sameValue(rowValues[size_t(idx[k])], values[int(k)]);
        if (all)
            return int(r);
    }
    return -1;
}

int TShownRowsProxy::compareValues(const db::Value& a, const db::Value& b)
{
    const bool na = db::isNull(a), nb = db::isNull(b);
    if (na || nb)
        return na == nb ? 0 : (na ? -1 : 1);
    auto cmp = [](const auto& x, const auto& y) { return x < y ? -1 : (y < x ? 1 : 0); };
    if (TQueryRowsModel::isNumber(a) && TQueryRowsModel::isNumber(b)) {
        if (std::holds_alternative<qint64>(a) && std::holds_alternative<qint64>(b))
            return cmp(std::get<qint64>(a), std::get<qint64>(b));
        if (std::holds_alternative<double>(a) || std::holds_alternative<double>(b))
            return cmp(db::toDouble(a), db::toDouble(b));
        return cmp(db::toCurrency(a), db::toCurrency(b));
    }
    if (std::holds_alternative<QDate>(a) && std::holds_alternative<QDate>(b))
        return cmp(std::get<QDate>(a), std::get<QDate>(b));
    if (std::holds_alternative<QDateTime>(a) && std::holds_alternative<QDateTime>(b))
        return cmp(std::get<QDateTime>(a), std::get<QDateTime>(b));
    const int c = FrenchCollator().compare(TQueryRowsModel::withoutTrailingBlanks(db::toText(a)),
                                           TQueryRowsModel::withoutTrailingBlanks(db::toText(b)));
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

QModelIndex TShownRowsProxy::mapToSource(const QModelIndex& proxyIndex) const
{
    if (!m_rows || !proxyIndex.isValid() || proxyIndex.model() != this)
        return QModelIndex();
    const int source = sourceRow(proxyIndex.row());
    return source < 0 ? QModelIndex() : m_rows->index(source, proxyIndex.column());
}

QModelIndex TShownRowsProxy::mapFromSource(const QModelIndex& sourceIndex) const
{
    if (!sourceIndex.isValid() || sourceIndex.model() != m_rows)
        return QModelIndex();
    const int shown = shownRow(sourceIndex.row());
    return shown < 0 ? QModelIndex() : index(shown, sourceIndex.column());
}

QModelIndex TShownRowsProxy::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() || row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return QModelIndex();
    return createIndex(row, column);
}

QModelIndex TShownRowsProxy::parent(const QModelIndex&) const
{
    return QModelIndex();
}

int TShownRowsProxy::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

int TShownRowsProxy::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_rows ? 0 : m_rows->columnCount();
}

bool TShownRowsProxy::hasChildren(const QModelIndex& parent) const
{
    return !parent.isValid() && rowCount() > 0 && columnCount() > 0;
}

QVariant TShownRowsProxy::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical || !m_rows)
        return QAbstractItemModel::headerData(section, orientation, role);
    return m_rows->headerData(section, orientation, role);
}

#include "ui/QueryTableModel.h"

#include "core/Routines.h"

#include <QCollator>
#include <QEvent>
#include <QFontMetrics>
#include <QHash>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QStyle>
#include <QTableView>

#include <algorithm>
#include <numeric>
#include <optional>

namespace {

bool IsNumber(const db::Value& v)
{
    return std::holds_alternative<qint64>(v) || std::holds_alternative<double>(v)
        || std::holds_alternative<Currency>(v);
}

// The room a cell keeps beside its text: its own margins and the grid line.
int CellMargins(QTableView* view)
{
    return 2 * view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 8;
}

// The width of a text as the sum of its characters' advances, each measured
// once: close enough to find the widest of many texts without laying each out.
class TextWidths {
public:
    explicit TextWidths(const QFont& font) : m_metrics(font) {}
    int of(const QString& text)
    {
        int width = 0;
        for (const QChar c : text) {
            auto it = m_advances.constFind(c.unicode());
            if (it == m_advances.constEnd())
                it = m_advances.insert(c.unicode(), m_metrics.horizontalAdvance(c));
            width += *it;
        }
        return width;
    }

private:
    QFontMetrics m_metrics;
    QHash<char16_t, int> m_advances;
};

QString WithoutTrailingBlanks(QString s)
{
    int n = s.size();
    while (n > 0 && s.at(n - 1) == QLatin1Char(' '))
        --n;
    s.truncate(n);
    return s;
}

} // namespace

void FitAmountColumn(QTableView* view, int column, Currency smallest, Currency largest)
{
    if (!view)
        return;
    QFont bold = view->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const int needed = std::max(metrics.horizontalAdvance(smallest.formatMask()),
                                metrics.horizontalAdvance(largest.formatMask()))
        + CellMargins(view);
    if (view->columnWidth(column) < needed)
        view->setColumnWidth(column, needed);
}

void FitTextColumn(QTableView* view, int column, const QString& widest, bool bold)
{
    if (!view)
        return;
    QFont font = view->font();
    font.setBold(bold);
    const int needed = std::max(view->horizontalHeader()->sectionSizeHint(column),
                                QFontMetrics(font).horizontalAdvance(widest) + CellMargins(view));
    if (view->columnWidth(column) < needed)
        view->setColumnWidth(column, needed);
}

namespace {

// Sizes one column of a view to the width the others leave.
class TRestOfWidth : public QObject {
public:
    TRestOfWidth(QTableView* view, int column, int minimum)
        : QObject(view), m_view(view), m_column(column), m_minimum(minimum)
    {
        view->viewport()->installEventFilter(this);
        connect(view->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section) {
            if (section != m_column)
                fit();
        });
        fit();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            fit();
        return QObject::eventFilter(watched, event);
    }

private:
    void fit()
    {
        const QHeaderView* header = m_view->horizontalHeader();
        int others = 0;
        for (int c = 0; c < header->count(); ++c)
            if (c != m_column && !header->isSectionHidden(c))
                others += header->sectionSize(c);
        const int width = std::max(m_minimum, m_view->viewport()->width() - others);
        if (m_view->columnWidth(m_column) != width)
            m_view->setColumnWidth(m_column, width);
    }

    QTableView* m_view;
    int m_column;
    int m_minimum;
};

} // namespace

void GiveRestOfWidth(QTableView* view, int column, int minimum)
{
    new TRestOfWidth(view, column, minimum);
}

// ---------------------------------------------------------------------------
// QueryTableModel

QueryTableModel::QueryTableModel(QObject* parent) : QAbstractTableModel(parent) {}

QueryTableModel::~QueryTableModel() = default;

void QueryTableModel::addColumn(const QString& field, const QString& title, Format format, Qt::Alignment alignment)
{
    Column c;
    c.field = field;
    c.title = title;
    c.format = format;
    c.alignment = alignment;
    addColumn(c);
}

void QueryTableModel::addColumn(const Column& column)
{
    beginResetModel();
    m_columns.append(column);
    endResetModel();
    syncViewCurrent();
}

void QueryTableModel::clearColumns()
{
    beginResetModel();
    m_columns.clear();
    endResetModel();
    syncViewCurrent();
}

void QueryTableModel::reload()
{
    if (!m_reader) {
        clearRows();
        return;
    }
    TListingRows rows = m_reader();
    setRows(rows.names, std::move(rows.rows));
}

void QueryTableModel::refresh()
{
    const QList<db::Value> key = currentKey();
    reload();
    if (!key.isEmpty())
        locate(key);
}

void QueryTableModel::setRows(const QStringList& fieldNames, std::vector<std::vector<db::Value>> rows)
{
    resetShown([&] {
        m_names = fieldNames;
        m_rows = std::move(rows);
    });
}

void QueryTableModel::resetShown(const std::function<void()>& change)
{
    beginResetModel();
    change();
    rebuildShown();
    m_current = m_shown.empty() ? -1 : 0;
    endResetModel();
    fitColumns();
    syncViewCurrent();
    emit rowsReread();
    emit currentRowChanged(m_current);
}

void QueryTableModel::fitColumns()
{
    if (!m_view)
        return;
    for (int c = 0; c < m_columns.size(); ++c) {
        const int field = fieldOfColumn(c);
        if (field < 0 || m_columns[c].formatter)
            continue;
        if (m_columns[c].fitText) {
            QFont font = m_view->font();
            font.setBold(m_columns[c].bold);
            TextWidths widths(font);
            QString widest;
            int widestWidth = -1;
            for (const auto& values : m_rows) {
                const QString text = db::toText(values[size_t(field)]);
                const int width = widths.of(text);
                if (width > widestWidth) {
                    widestWidth = width;
                    widest = text;
                }
            }
            FitTextColumn(m_view, c, widest, m_columns[c].bold);
            continue;
        }
        if (m_columns[c].format != Money)
            continue;
        std::optional<Currency> smallest, largest;
        for (const auto& values : m_rows) {
            const db::Value& v = values[size_t(field)];
            if (db::isNull(v))
                continue;
            const Currency amount = db::toCurrency(v);
            if (!smallest || amount < *smallest)
                smallest = amount;
            if (!largest || *largest < amount)
                largest = amount;
        }
        if (largest)
            FitAmountColumn(m_view, c, *smallest, *largest);
    }
}

void QueryTableModel::clearRows()
{
    setRows(QStringList(), {});
}

void QueryTableModel::setFilter(Filter filter)
{
    resetShown([&] { m_filter = std::move(filter); });
}

QueryTableModel::Filter QueryTableModel::FieldEquals(const QString& field, const QString& text)
{
    const QString wanted = WithoutTrailingBlanks(text);
    return [field, wanted](const QueryRow& r) {
        return WithoutTrailingBlanks(r.asString(field)) == wanted;
    };
}

void QueryTableModel::setSortingEnabled(bool enabled)
{
    m_sortingEnabled = enabled;
    if (m_view)
        m_view->horizontalHeader()->setSortIndicatorShown(enabled);
}

void QueryTableModel::sortByColumn(int column)
{
    if (column < 0 || column >= columnCount())
        return;
    if (column < m_columns.size() && !m_columns[column].sortable)
        return;
    Qt::SortOrder order = Qt::AscendingOrder;
    if (column == m_sortColumn && m_sortOrder == Qt::AscendingOrder)
        order = Qt::DescendingOrder;
    sort(column, order);
}

void QueryTableModel::sort(int column, Qt::SortOrder order)
{
    const int source = sourceRow(m_current);
    beginResetModel();
    m_sortColumn = column;
    m_sortOrder = order;
    rebuildShown();
    m_current = -1;
    if (source >= 0) {
        auto it = std::find(m_shown.begin(), m_shown.end(), source);
        if (it != m_shown.end())
            m_current = int(it - m_shown.begin());
    }
    if (m_current < 0 && !m_shown.empty())
        m_current = 0;
    endResetModel();
    if (m_view)
        m_view->horizontalHeader()->setSortIndicator(column, order);
    syncViewCurrent();
    emit rowsReread();
    emit currentRowChanged(m_current);
}

void QueryTableModel::rebuildKeepingCurrent(const std::function<void()>& change)
{
    const int source = sourceRow(m_current);
    beginResetModel();
    change();
    rebuildShown();
    m_current = -1;
    if (source >= 0) {
        // The same copied row, or the first shown row after it in the shown order
        // it had: rows keep their relative order, so the first shown one at or
        // after it in query order is close to where the user was.
        auto it = std::find(m_shown.begin(), m_shown.end(), source);
        if (it == m_shown.end()) {
            for (size_t i = 0; i < m_shown.size(); ++i)
                if (m_shown[i] > source) {
                    it = m_shown.begin() + long(i);
                    break;
                }
        }
        if (it != m_shown.end())
            m_current = int(it - m_shown.begin());
    }
    if (m_current < 0 && !m_shown.empty())
        m_current = int(m_shown.size()) - 1;
    endResetModel();
    fitColumns();
    syncViewCurrent();
    emit rowsReread();
    emit currentRowChanged(m_current);
}

void QueryTableModel::refilter()
{
    rebuildKeepingCurrent([] {});
}

void QueryTableModel::replaceRow(int sourceRow, std::vector<db::Value> values)
{
    if (sourceRow < 0 || size_t(sourceRow) >= m_rows.size())
        return;
    rebuildKeepingCurrent([&] { m_rows[size_t(sourceRow)] = std::move(values); });
}

void QueryTableModel::insertSourceRow(int sourceRow, std::vector<db::Value> values)
{
    sourceRow = std::clamp(sourceRow, 0, int(m_rows.size()));
    rebuildKeepingCurrent([&] { m_rows.insert(m_rows.begin() + sourceRow, std::move(values)); });
}

void QueryTableModel::removeSourceRow(int sourceRow)
{
    if (sourceRow < 0 || size_t(sourceRow) >= m_rows.size())
        return;
    rebuildKeepingCurrent([&] { m_rows.erase(m_rows.begin() + sourceRow); });
}

int QueryTableModel::findSourceRow(const QString& field, const db::Value& value) const
{
    const int f = ColumnIndexOf(m_names, field);
    if (f < 0)
        return -1;
    for (size_t r = 0; r < m_rows.size(); ++r)
        if (sameValue(m_rows[r][size_t(f)], value))
            return int(r);
    return -1;
}

void QueryTableModel::setRowTextColor(RowTint color)
{
    m_textColor = std::move(color);
    if (!m_shown.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, std::max(0, columnCount() - 1)), {Qt::ForegroundRole});
}

void QueryTableModel::setRowTint(RowTint tint)
{
    m_tint = std::move(tint);
    if (!m_shown.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, std::max(0, columnCount() - 1)), {Qt::BackgroundRole});
}

void QueryTableModel::setRowFont(RowFont font)
{
    m_font = std::move(font);
    if (!m_shown.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, std::max(0, columnCount() - 1)), {Qt::FontRole});
}

void QueryTableModel::rebuildShown()
{
    m_shown.clear();
    m_shown.reserve(m_rows.size());
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_filter && !m_filter(QueryRow(&m_names, &m_rows[i])))
            continue;
        m_shown.push_back(int(i));
    }
    applySort();
}

void QueryTableModel::applySort()
{
    if (m_sortColumn < 0)
        return;
    const int field = fieldOfColumn(m_sortColumn);
    if (field < 0)
        return;
    const bool desc = m_sortOrder == Qt::DescendingOrder;
    // The texts' collation keys, made once per row rather than at every comparison.
    std::vector<std::optional<QCollatorSortKey>> keys(m_rows.size());
    for (int r : m_shown)
        if (const auto* text = std::get_if<QString>(&m_rows[size_t(r)][size_t(field)]))
            keys[size_t(r)] = FrenchCollator().sortKey(WithoutTrailingBlanks(*text));
    std::stable_sort(m_shown.begin(), m_shown.end(), [&](int a, int b) {
        const auto& ka = keys[size_t(a)];
        const auto& kb = keys[size_t(b)];
        const int c = ka && kb ? ka->compare(*kb)
                               : compareValues(m_rows[size_t(a)][size_t(field)], m_rows[size_t(b)][size_t(field)]);
        return desc ? c > 0 : c < 0;
    });
}

int QueryTableModel::fieldOfColumn(int column) const
{
    if (m_columns.isEmpty())
        return (column >= 0 && column < m_names.size()) ? column : -1;
    if (column < 0 || column >= m_columns.size())
        return -1;
    return ColumnIndexOf(m_names, m_columns[column].field);
}

int QueryTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

int QueryTableModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return m_columns.isEmpty() ? int(m_names.size()) : int(m_columns.size());
}

QString QueryTableModel::displayText(int shownRow, int column) const
{
    if (shownRow < 0 || shownRow >= rowCount() || column < 0 || column >= columnCount())
        return QString();
    const int field = fieldOfColumn(column);
    if (field < 0)
        return QString();
    const db::Value& v = m_rows[size_t(m_shown[size_t(shownRow)])][size_t(field)];
    if (!m_columns.isEmpty()) {
        const Column& c = m_columns[column];
        if (c.formatter)
            return c.formatter(v);
        switch (c.format) {
        case Money:
            return db::isNull(v) ? QString() : db::toCurrency(v).formatMask();
        case Date: {
            const QDate d = db::toDate(v);
            return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : QString();
        }
        case Integer:
            return db::isNull(v) ? QString() : QString::number(db::toInt(v));
        case Text:
            return db::toText(v);
        case Auto:
            break;
        }
    }
    if (std::holds_alternative<Currency>(v))
        return std::get<Currency>(v).formatMask();
    if (std::holds_alternative<QDate>(v)) {
        const QDate d = std::get<QDate>(v);
        return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : QString();
    }
    if (std::holds_alternative<QDateTime>(v))
        return std::get<QDateTime>(v).toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
    return db::toText(v);
}

QVariant QueryTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return QVariant();
    const int shownRow = index.row();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return displayText(shownRow, index.column());
    case Qt::EditRole: {
        const int field = fieldOfColumn(index.column());
        if (field < 0)
            return QVariant();
        return db::toVariant(m_rows[size_t(m_shown[size_t(shownRow)])][size_t(field)]);
    }
    case Qt::TextAlignmentRole: {
        Qt::Alignment a;
        Format format = Auto;
        if (!m_columns.isEmpty()) {
            a = m_columns[index.column()].alignment;
            format = m_columns[index.column()].format;
        }
        if (!a) {
            bool number = format == Money || format == Integer;
            if (format == Auto) {
                const int field = fieldOfColumn(index.column());
                number = field >= 0 && IsNumber(m_rows[size_t(m_shown[size_t(shownRow)])][size_t(field)]);
            }
            a = number ? Qt::AlignRight : Qt::AlignLeft;
        }
        if (!(a & Qt::AlignVertical_Mask))
            a |= Qt::AlignVCenter;
        return QVariant::fromValue(a);
    }
    case Qt::BackgroundRole:
        if (!m_columns.isEmpty() && m_columns[index.column()].background.isValid())
            return m_columns[index.column()].background;
        if (m_tint) {
            const QColor c = m_tint(shownRow, row(shownRow));
            if (c.isValid())
                return c;
        }
        return QVariant();
    case Qt::ForegroundRole:
        if (m_textColor) {
            const QColor c = m_textColor(shownRow, row(shownRow));
            if (c.isValid())
                return c;
        }
        return QVariant();
    case Qt::FontRole: {
        const bool bold = !m_columns.isEmpty() && m_columns[index.column()].bold;
        if (!m_font && !bold)
            return QVariant();
        QFont font = m_view ? m_view->font() : QFont();
        if (m_font)
            font = m_font(shownRow, row(shownRow), font);
        if (bold)
            font.setBold(true);
        return font;
    }
    default:
        return QVariant();
    }
}

QVariant QueryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section < 0 || section >= columnCount())
        return QVariant();
    if (m_columns.isEmpty())
        return m_names.value(section);
    return m_columns[section].title;
}

Qt::ItemFlags QueryTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

int QueryTableModel::fieldIndex(const QString& field) const
{
    return ColumnIndexOf(m_names, field);
}

QueryRow QueryTableModel::row(int shownRow) const
{
    if (shownRow < 0 || shownRow >= rowCount())
        return QueryRow();
    return QueryRow(&m_names, &m_rows[size_t(m_shown[size_t(shownRow)])]);
}

const db::Value& QueryTableModel::value(int shownRow, const QString& field) const
{
    return row(shownRow).value(field);
}

int QueryTableModel::sourceRow(int shownRow) const
{
    if (shownRow < 0 || shownRow >= rowCount())
        return -1;
    return m_shown[size_t(shownRow)];
}

void QueryTableModel::setCurrentRow(int shownRow)
{
    if (m_shown.empty())
        shownRow = -1;
    else
        shownRow = std::clamp(shownRow, 0, rowCount() - 1);
    const bool changed = shownRow != m_current;
    m_current = shownRow;
    syncViewCurrent();
    if (changed)
        emit currentRowChanged(m_current);
}

QList<db::Value> QueryTableModel::currentKey() const
{
    QList<db::Value> key;
    const QueryRow r = current();
    if (!r.isValid())
        return key;
    for (const QString& f : m_keyFields) {
        if (!r.hasField(f))
            return {};
        key.append(r.value(f));
    }
    return key;
}

bool QueryTableModel::sameValue(const db::Value& a, const db::Value& b)
{
    const bool na = db::isNull(a), nb = db::isNull(b);
    if (na || nb)
        return na && nb;
    if (IsNumber(a) && IsNumber(b)) {
        if (std::holds_alternative<qint64>(a) && std::holds_alternative<qint64>(b))
            return std::get<qint64>(a) == std::get<qint64>(b);
        if (std::holds_alternative<double>(a) || std::holds_alternative<double>(b))
            return db::toDouble(a) == db::toDouble(b);
        return db::toCurrency(a) == db::toCurrency(b);
    }
    if (IsNumber(a) || IsNumber(b)) {
        // A number against a text: compare the texts ("12" and 12 are the same key).
        return WithoutTrailingBlanks(db::toText(a)).trimmed() == WithoutTrailingBlanks(db::toText(b)).trimmed();
    }
    if (std::holds_alternative<QDate>(a) && std::holds_alternative<QDate>(b))
        return std::get<QDate>(a) == std::get<QDate>(b);
    return WithoutTrailingBlanks(db::toText(a)) == WithoutTrailingBlanks(db::toText(b));
}

int QueryTableModel::compareValues(const db::Value& a, const db::Value& b)
{
    const bool na = db::isNull(a), nb = db::isNull(b);
    if (na || nb)
        return na == nb ? 0 : (na ? -1 : 1);
    auto cmp = [](const auto& x, const auto& y) { return x < y ? -1 : (y < x ? 1 : 0); };
    if (IsNumber(a) && IsNumber(b)) {
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
    const int c = FrenchCollator().compare(WithoutTrailingBlanks(db::toText(a)), WithoutTrailingBlanks(db::toText(b)));
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int QueryTableModel::findRow(const QList<db::Value>& keyValues) const
{
    return findRow(m_keyFields, keyValues);
}

int QueryTableModel::findRow(const QStringList& fields, const QList<db::Value>& values) const
{
    if (fields.isEmpty() || fields.size() != values.size())
        return -1;
    std::vector<int> idx;
    for (const QString& f : fields) {
        const int i = ColumnIndexOf(m_names, f);
        if (i < 0)
            return -1;
        idx.push_back(i);
    }
    for (size_t r = 0; r < m_shown.size(); ++r) {
        const auto& rowValues = m_rows[size_t(m_shown[r])];
        bool all = true;
        for (size_t k = 0; k < idx.size() && all; ++k)
            all = sameValue(rowValues[size_t(idx[k])], values[int(k)]);
        if (all)
            return int(r);
    }
    return -1;
}

bool QueryTableModel::locate(const QList<db::Value>& keyValues)
{
    return locate(m_keyFields, keyValues);
}

bool QueryTableModel::locate(const QStringList& fields, const QList<db::Value>& values)
{
    const int r = findRow(fields, values);
    if (r < 0)
        return false;
    setCurrentRow(r);
    return true;
}

void QueryTableModel::attachView(QTableView* view)
{
    m_view = view;
    if (!view)
        return;
    view->setModel(this);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSortingEnabled(false);   // sorting goes through sortByColumn()
    view->horizontalHeader()->setSectionsClickable(true);
    view->horizontalHeader()->setSortIndicatorShown(m_sortingEnabled);
    connect(view->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int section) { onHeaderClicked(section); });
    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& now, const QModelIndex&) {
                if (m_syncing || !now.isValid())
                    return;
                if (now.row() != m_current) {
                    m_current = now.row();
                    emit currentRowChanged(m_current);
                }
            });
    syncViewCurrent();
}

void QueryTableModel::onHeaderClicked(int section)
{
    if (m_sortingEnabled)
        sortByColumn(section);
}

void QueryTableModel::syncViewCurrent()
{
    if (!m_view || !m_view->selectionModel())
        return;
    m_syncing = true;
    QItemSelectionModel* sel = m_view->selectionModel();
    if (m_current < 0 || columnCount() == 0) {
        sel->clear();
    } else {
        int col = m_view->currentIndex().isValid() ? m_view->currentIndex().column() : 0;
        col = std::clamp(col, 0, columnCount() - 1);
        const QModelIndex idx = index(m_current, col);
        sel->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_view->scrollTo(idx);
    }
    m_syncing = false;
}

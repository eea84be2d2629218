#include "ui/QueryTableModel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHash>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QStyle>
#include <QTableView>

#include <algorithm>
#include <optional>

namespace {

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

QueryTableModel::QueryTableModel(QObject* parent) : TShownRowsProxy(parent), m_source(new TQueryRowsModel(this))
{
    setSourceRows(m_source);
}

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
    m_source->addColumn(column);
    syncViewCurrent();
}

void QueryTableModel::clearColumns()
{
    m_source->clearColumns();
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
    m_source->setRows(fieldNames, std::move(rows));
    showRebuilt(isEmpty() ? -1 : 0, true);
}

void QueryTableModel::clearRows()
{
    setRows(QStringList(), {});
}

void QueryTableModel::setFilter(Filter filter)
{
    TShownRowsProxy::setFilter(std::move(filter));
    showRebuilt(isEmpty() ? -1 : 0, true);
}

void QueryTableModel::showRebuilt(int current, bool fit)
{
    m_current = current;
    if (fit)
        fitColumns();
    syncViewCurrent();
    emit rowsReread();
    emit currentRowChanged(m_current);
}

void QueryTableModel::fitColumns()
{
    if (!m_view)
        return;
    const QList<Column>& columns = m_source->columns();
    for (int c = 0; c < columns.size(); ++c) {
        const int field = m_source->fieldOfColumn(c);
        if (field < 0 || columns[c].formatter)
            continue;
        if (columns[c].fitText) {
            QFont font = m_view->font();
            font.setBold(columns[c].bold);
            TextWidths widths(font);
            QString widest;
            int widestWidth = -1;
            for (int r = 0; r < m_source->size(); ++r) {
                const QString text = db::toText(m_source->values(r)[size_t(field)]);
                const int width = widths.of(text);
                if (width > widestWidth) {
                    widestWidth = width;
                    widest = text;
                }
            }
            FitTextColumn(m_view, c, widest, columns[c].bold);
            continue;
        }
        if (columns[c].format != Money)
            continue;
        std::optional<Currency> smallest, largest;
        for (int r = 0; r < m_source->size(); ++r) {
            const db::Value& v = m_source->values(r)[size_t(field)];
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

void QueryTableModel::setSortingEnabled(bool enabled)
{
    m_sortingEnabled = enabled;
    if (m_view)
        m_view->horizontalHeader()->setSortIndicatorShown(enabled);
}

void QueryTableModel::sort(int column, Qt::SortOrder order)
{
    const int source = sourceRow(m_current);
    TShownRowsProxy::sort(column, order);
    int current = shownRow(source);
    if (current < 0 && !isEmpty())
        current = 0;
    if (m_view)
        m_view->horizontalHeader()->setSortIndicator(column, order);
    showRebuilt(current, false);
}

void QueryTableModel::rebuildKeepingCurrent(const std::function<void()>& change)
{
    const int source = sourceRow(m_current);
    change();
    int current = shownRowAtOrAfter(source);
    if (current < 0 && !isEmpty())
        current = rowCount() - 1;
    showRebuilt(current, true);
}

void QueryTableModel::refilter()
{
    rebuildKeepingCurrent([this] { TShownRowsProxy::refilter(); });
}

void QueryTableModel::replaceRow(int sourceRow, std::vector<db::Value> values)
{
    if (sourceRow < 0 || sourceRow >= m_source->size())
        return;
    rebuildKeepingCurrent([&] { m_source->replaceRow(sourceRow, std::move(values)); });
}

void QueryTableModel::insertSourceRow(int sourceRow, std::vector<db::Value> values)
{
    rebuildKeepingCurrent([&] { m_source->insertValues(sourceRow, std::move(values)); });
}

void QueryTableModel::removeSourceRow(int sourceRow)
{
    if (sourceRow < 0 || sourceRow >= m_source->size())
        return;
    rebuildKeepingCurrent([&] { m_source->removeValues(sourceRow); });
}

void QueryTableModel::setRowTextColor(RowTint color)
{
    m_textColor = std::move(color);
    if (!isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, std::max(0, columnCount() - 1)), {Qt::ForegroundRole});
}

void QueryTableModel::setRowTint(RowTint tint)
{
    m_tint = std::move(tint);
    if (!isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, std::max(0, columnCount() - 1)), {Qt::BackgroundRole});
}

void QueryTableModel::setRowFont(RowFont font)
{
    m_font = std::move(font);
    if (!isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, std::max(0, columnCount() - 1)), {Qt::FontRole});
}

QVariant QueryTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return QVariant();
    const int shownRow = index.row();
    switch (role) {
    case Qt::BackgroundRole: {
        const QVariant columnBackground = TShownRowsProxy::data(index, role);
        if (columnBackground.isValid())
            return columnBackground;
        if (m_tint) {
            const QColor c = m_tint(shownRow, row(shownRow));
            if (c.isValid())
                return c;
        }
        return QVariant();
    }
    case Qt::ForegroundRole:
        if (m_textColor) {
            const QColor c = m_textColor(shownRow, row(shownRow));
            if (c.isValid())
                return c;
        }
        return QVariant();
    case Qt::FontRole: {
        const QList<Column>& columns = m_source->columns();
        const bool bold = !columns.isEmpty() && columns[index.column()].bold;
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
        return TShownRowsProxy::data(index, role);
    }
}

QString QueryTableModel::displayText(int shownRow, int column) const
{
    return m_source->displayText(sourceRow(shownRow), column);
}

QueryRow QueryTableModel::row(int shownRow) const
{
    const int source = sourceRow(shownRow);
    return source < 0 ? QueryRow() : m_source->row(source);
}

const db::Value& QueryTableModel::value(int shownRow, const QString& field) const
{
    return row(shownRow).value(field);
}

void QueryTableModel::setCurrentRow(int shownRow)
{
    if (isEmpty())
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

int QueryTableModel::findRow(const QList<db::Value>& keyValues) const
{
    return findRow(m_keyFields, keyValues);
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

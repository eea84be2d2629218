#include "ui/QueryRowsModel.h"

#include <QDate>
#include <QDateTime>

#include <algorithm>

bool TQueryRowsModel::isNumber(const db::Value& v)
{
    return std::holds_alternative<qint64>(v) || std::holds_alternative<double>(v)
        || std::holds_alternative<Currency>(v);
}

QString TQueryRowsModel::withoutTrailingBlanks(QString s)
{
    int n = s.size();
    while (n > 0 && s.at(n - 1) == QLatin1Char(' '))
        --n;
    s.truncate(n);
    return s;
}

TQueryRowsModel::TQueryRowsModel(QObject* parent) : QAbstractTableModel(parent) {}

void TQueryRowsModel::addColumn(const Column& column)
{
    beginResetModel();
    m_columns.append(column);
    endResetModel();
}

void TQueryRowsModel::clearColumns()
{
    beginResetModel();
    m_columns.clear();
    endResetModel();
}

void TQueryRowsModel::setRows(const QStringList& fieldNames, std::vector<std::vector<db::Value>> rows)
{
    beginResetModel();
    m_names = fieldNames;
    m_rows = std::move(rows);
    endResetModel();
}

void TQueryRowsModel::replaceRow(int row, std::vector<db::Value> values)
{
    if (row < 0 || size_t(row) >= m_rows.size())
        return;
    beginResetModel();
    m_rows[size_t(row)] = std::move(values);
    endResetModel();
}

void TQueryRowsModel::insertValues(int row, std::vector<db::Value> values)
{
    row = std::clamp(row, 0, int(m_rows.size()));
    beginResetModel();
    m_rows.insert(m_rows.begin() + row, std::move(values));
    endResetModel();
}

void TQueryRowsModel::removeValues(int row)
{
    if (row < 0 || size_t(row) >= m_rows.size())
        return;
    beginResetModel();
    m_rows.erase(m_rows.begin() + row);
    endResetModel();
}

int TQueryRowsModel::fieldIndex(const QString& field) const
{
    return ColumnIndexOf(m_names, field);
}

int TQueryRowsModel::fieldOfColumn(int column) const
{
    if (m_columns.isEmpty())
        return (column >= 0 && column < m_names.size()) ? column : -1;
    if (column < 0 || column >= m_columns.size())
        return -1;
    return ColumnIndexOf(m_names, m_columns[column].field);
}

int TQueryRowsModel::findRow(const QString& field, const db::Value& value) const
{
    const int f = ColumnIndexOf(m_names, field);
    if (f < 0)
        return -1;
    for (size_t r = 0; r < m_rows.size(); ++r)
        if (sameValue(m_rows[r][size_t(f)], value))
            return int(r);
    return -1;
}

int TQueryRowsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TQueryRowsModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return m_columns.isEmpty() ? int(m_names.size()) : int(m_columns.size());
}

QString TQueryRowsModel::displayText(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return QString();
    const int field = fieldOfColumn(column);
    if (field < 0)
        return QString();
    const db::Value& v = m_rows[size_t(row)][size_t(field)];
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

QVariant TQueryRowsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return QVariant();
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return displayText(row, index.column());
    case Qt::EditRole: {
        const int field = fieldOfColumn(index.column());
        if (field < 0)
            return QVariant();
        return db::toVariant(m_rows[size_t(row)][size_t(field)]);
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
                number = field >= 0 && isNumber(m_rows[size_t(row)][size_t(field)]);
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
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant TQueryRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
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

Qt::ItemFlags TQueryRowsModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

bool TQueryRowsModel::sameValue(const db::Value& a, const db::Value& b)
{
    const bool na = db::isNull(a), nb = db::isNull(b);
    if (na || nb)
        return na && nb;
    if (isNumber(a) && isNumber(b)) {
        if (std::holds_alternative<qint64>(a) && std::holds_alternative<qint64>(b))
            return std::get<qint64>(a) == std::get<qint64>(b);
        if (std::holds_alternative<double>(a) || std::holds_alternative<double>(b))
            return db::toDouble(a) == db::toDouble(b);
        return db::toCurrency(a) == db::toCurrency(b);
    }
    if (isNumber(a) || isNumber(b)) {
        // A number against a text: compare the texts ("12" and 12 are the same key).
        return withoutTrailingBlanks(db::toText(a)).trimmed() == withoutTrailingBlanks(db::toText(b)).trimmed();
    }
    if (std::holds_alternative<QDate>(a) && std::holds_alternative<QDate>(b))
        return std::get<QDate>(a) == std::get<QDate>(b);
    return withoutTrailingBlanks(db::toText(a)) == withoutTrailingBlanks(db::toText(b));
}

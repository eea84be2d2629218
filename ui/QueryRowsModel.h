#pragma once
// TQueryRowsModel: the rows a store read, held in their query order, and how
// each column shows them (title, format, alignment, background, weight). It
// neither filters nor sorts: TShownRowsProxy over it decides which rows show
// and in what order, and QueryTableModel puts the two together for the views.
// Every change of the rows or the columns is a model reset.

#include "data/ListingRows.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QStringList>

#include <functional>
#include <vector>

class TQueryRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Format { Auto, Text, Money, Date, Integer };
    using Formatter = std::function<QString(const db::Value&)>;

    struct Column {
        QString field;
        QString title;
        Format format = Auto;
        Qt::Alignment alignment;   // empty: right for numbers and money, left otherwise
        Formatter formatter;       // overrides the format when set
        QColor background;         // the column's cells, over the row tint; invalid: none
        bool sortable = true;      // false: a click on its title leaves the order
        bool bold = false;         // the column's cells in bold
        bool fitText = false;      // widened at every read to show its title and texts whole
    };

    explicit TQueryRowsModel(QObject* parent = nullptr);

    // Columns shown, in order. Without columns every field of the rows is shown.
    void addColumn(const Column& column);
    void clearColumns();
    const QList<Column>& columns() const { return m_columns; }

    void setRows(const QStringList& fieldNames, std::vector<std::vector<db::Value>> rows);
    // Replaces, puts in or takes out one row (index in query order).
    void replaceRow(int row, std::vector<db::Value> values);
    void insertValues(int row, std::vector<db::Value> values);
    void removeValues(int row);

    int size() const { return int(m_rows.size()); }
    const QStringList& fieldNames() const { return m_names; }
    int fieldIndex(const QString& field) const;   // -1 when missing
    // The field a shown column reads; -1 when none.
    int fieldOfColumn(int column) const;
    const std::vector<db::Value>& values(int row) const { return m_rows[size_t(row)]; }
    QueryRow row(int row) const { return QueryRow(&m_names, &m_rows[size_t(row)]); }
    // The row whose `field` holds `value`; -1 when none.
    int findRow(const QString& field, const db::Value& value) const;
    // The text of one cell, as its column's format shows it.
    QString displayText(int row, int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    // Display, tooltip, edit (the raw value), alignment and the column's
    // background; the row hooks of QueryTableModel add tint, colour and font.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // True when two values hold the same thing (numbers by value, texts without trailing blanks).
    static bool sameValue(const db::Value& a, const db::Value& b);
    // True for a number or an amount.
    static bool isNumber(const db::Value& v);
    // `s` without its trailing blanks (fixed-width texts compare without them).
    static QString withoutTrailingBlanks(QString s);

private:
    QList<Column> m_columns;
    QStringList m_names;
    std::vector<std::vector<db::Value>> m_rows;
};

#pragma once
// The rows a store reads for a list: the column names the query gave and the
// values of each row, copied out of the query. A store hands them to a window,
// which shows them through its grid model (ui/QueryTableModel.h); the store
// reads one of them back through a QueryRow, by column name, in the accessors
// it offers (KeyOf, RowOf, ...).
//
// Nothing here knows of widgets: stores and listings include this header,
// never the grid model's.

#include "db/Database.h"

#include <QStringList>

#include <functional>
#include <vector>

// Rows fetched and assembled by a store: the column names and the rows.
struct TListingRows {
    QStringList names;
    std::vector<std::vector<db::Value>> rows;
};

// Runs the select `query` with its parameters and hands back its rows; the
// query is closed again.
TListingRows ReadListingRows(db::Query& query);

// One row of a list's copy, read by column name (case-insensitive).
class QueryRow {
public:
    QueryRow() = default;
    QueryRow(const QStringList* names, const std::vector<db::Value>* values) : m_names(names), m_values(values) {}

    bool isValid() const { return m_values != nullptr; }
    // Throws db::DbError for an unknown column; a null row reads as NULL.
    const db::Value& value(const QString& field) const;
    bool hasField(const QString& field) const;
    bool isNull(const QString& field) const { return db::isNull(value(field)); }
    qint64 asInt(const QString& field) const { return db::toInt(value(field)); }
    Currency asCurrency(const QString& field) const { return db::toCurrency(value(field)); }
    QString asString(const QString& field) const { return db::toText(value(field)); }
    QDate asDate(const QString& field) const { return db::toDate(value(field)); }

private:
    const QStringList* m_names = nullptr;
    const std::vector<db::Value>* m_values = nullptr;
};

// Which rows of a list are shown: true keeps the row.
using TRowFilter = std::function<bool(const QueryRow&)>;

// The index of `field` in `names` (case-insensitive); -1 when missing.
int ColumnIndexOf(const QStringList& names, const QString& field);

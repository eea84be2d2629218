#pragma once
// The rows a report walks. The engine reads them through this interface only,
// so it knows nothing of where they come from: a query (QueryRows), rows held
// in memory (TableRows), or the rows a window's grid shows, as filtered and
// sorted (the report frame's adapter).

#include "db/Database.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace rpt {

class RowSource {
public:
    virtual ~RowSource() = default;
    // Called when a run of the report starts: the number of rows to walk.
    virtual int open() = 0;
    // Makes `row` (0-based) the current row.
    virtual void moveTo(int row) = 0;
    // A column of the current row, by name (case-insensitive).
    virtual const db::Value& value(const QString& field) const = 0;
};

// The rows of a query. open() opens the query when it is not open yet (with
// the parameters it holds) and never closes it; the query's own cursor
// follows the report, so the document's events read the current row from it.
class QueryRows : public RowSource {
public:
    explicit QueryRows(db::Query& query) : m_query(query) {}
    int open() override;
    void moveTo(int row) override { m_query.moveTo(row); }
    const db::Value& value(const QString& field) const override { return m_query.value(field); }
    db::Query& query() const { return m_query; }

private:
    db::Query& m_query;
};

// Rows held in memory.
class TableRows : public RowSource {
public:
    TableRows() = default;
    TableRows(QStringList fields, std::vector<std::vector<db::Value>> rows);
    void setRows(QStringList fields, std::vector<std::vector<db::Value>> rows);
    void append(std::vector<db::Value> row) { m_rows.push_back(std::move(row)); }

    int open() override { return int(m_rows.size()); }
    void moveTo(int row) override { m_row = row; }
    // Throws db::DbError for an unknown column.
    const db::Value& value(const QString& field) const override;
    int row() const { return m_row; }

private:
    QStringList m_fields;
    std::vector<std::vector<db::Value>> m_rows;
    int m_row = 0;
};

} // namespace rpt

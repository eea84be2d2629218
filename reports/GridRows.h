#pragma once
// The rows a window's grid shows, in the grid's order and under its filter,
// as the report engine walks them. The grid's own current row is left alone.

#include "reports/engine/RowSource.h"

class QueryTableModel;

class TGridRows : public rpt::RowSource {
public:
    explicit TGridRows(const QueryTableModel& model) : m_model(model) {}
    int open() override;
    void moveTo(int row) override { m_row = row; }
    const db::Value& value(const QString& field) const override;
    int row() const { return m_row; }

private:
    const QueryTableModel& m_model;
    int m_row = 0;
};

#include "reports/GridRows.h"

#include "ui/QueryTableModel.h"

int TGridRows::open()
{
    m_row = 0;
    return m_model.rowCount();
}

const db::Value& TGridRows::value(const QString& field) const
{
    return m_model.value(m_row, field);
}

#include "reports/engine/RowSource.h"

namespace rpt {

int QueryRows::open()
{
    if (!m_query.isOpen())
        m_query.open();
    return m_query.rowCount();
}

TableRows::TableRows(QStringList fields, std::vector<std::vector<db::Value>> rows)
    : m_fields(std::move(fields)), m_rows(std::move(rows))
{
}

void TableRows::setRows(QStringList fields, std::vector<std::vector<db::Value>> rows)
{
    m_fields = std::move(fields);
    m_rows = std::move(rows);
    m_row = 0;
}

const db::Value& TableRows::value(const QString& field) const
{
    static const db::Value null;
    qsizetype column = -1;
    for (qsizetype i = 0; i < m_fields.size() && column < 0; ++i)
        if (m_fields[i].compare(field, Qt::CaseInsensitive) == 0)
            column = i;
    if (column < 0)
        throw db::DbError(QStringLiteral("Champ inconnu : %1").arg(field));
    if (m_row < 0 || m_row >= int(m_rows.size()))
        return null;
    const std::vector<db::Value>& row = m_rows[size_t(m_row)];
    return size_t(column) < row.size() ? row[size_t(column)] : null;
}

} // namespace rpt

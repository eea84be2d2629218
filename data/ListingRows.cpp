#include "data/ListingRows.h"

TListingRows ReadListingRows(db::Query& query)
{
    query.close();
    query.open();
    TListingRows rows{query.columnNames(), query.takeRows()};
    query.close();
    return rows;
}

int ColumnIndexOf(const QStringList& names, const QString& field)
{
    for (int i = 0; i < names.size(); ++i)
        if (names[i].compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

const db::Value& QueryRow::value(const QString& field) const
{
    static const db::Value null;
    if (!m_values || !m_names)
        return null;
    const int i = ColumnIndexOf(*m_names, field);
    if (i < 0 || size_t(i) >= m_values->size())
        throw db::DbError(QStringLiteral("Champ inconnu : %1").arg(field));
    return (*m_values)[size_t(i)];
}

bool QueryRow::hasField(const QString& field) const
{
    return m_names && ColumnIndexOf(*m_names, field) >= 0;
}

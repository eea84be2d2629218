#include "data/NumberSeries.h"

#include "data/ShownRow.h"
#include "db/Database.h"

const QString NumberSeriesTable = QStringLiteral("T_NUMEROTATION");

namespace {

struct Series {
    NumberSeries id;
    const char* name;
};
const Series AllSeries[] = {
    {NumberSeries::PaymentOrders, "ENT_MDT"},
};

} // namespace

void LockNumberSeries(NumberSeries series)
{
    try {
        LockRow(NumberSeriesTable, QStringLiteral("ID_SERIE"), qint64(series));
    } catch (const db::DbError& e) {
        // Another save holds the series: this one is refused. A file without
        // the table is numbered as before.
        if (e.isConflict())
            throw;
    }
}

QString AddNumberSeries(db::Connection& connection)
{
    try {
        db::Query table(connection, QStringLiteral("SELECT 1 AS F FROM RDB$RELATIONS WHERE RDB$RELATION_NAME=:NAME"));
        table.setParam(QStringLiteral("NAME"), NumberSeriesTable);
        table.open();
        if (table.isEmpty()) {
            connection.execute(QStringLiteral("CREATE TABLE ") + NumberSeriesTable
                               + QStringLiteral(" (ID_SERIE SMALLINT NOT NULL, SERIE VARCHAR(20), "
                                                "CONSTRAINT PK_") + NumberSeriesTable
                               + QStringLiteral(" PRIMARY KEY (ID_SERIE))"));
            connection.commit();
        }
        for (const Series& s : AllSeries) {
            db::Query row(connection, QStringLiteral("SELECT 1 AS F FROM ") + NumberSeriesTable
                                          + QStringLiteral(" WHERE ID_SERIE=:ID"));
            row.setParam(QStringLiteral("ID"), qint64(s.id));
            row.open();
            if (!row.isEmpty())
                continue;
            db::Query add(connection, QStringLiteral("INSERT INTO ") + NumberSeriesTable
                                          + QStringLiteral(" (ID_SERIE, SERIE) VALUES (:ID, :NAME)"));
            add.setParam(QStringLiteral("ID"), qint64(s.id));
            add.setParam(QStringLiteral("NAME"), QString::fromLatin1(s.name));
            add.exec();
            connection.commit();
        }
    } catch (const db::DbError& e) {
        try {
            connection.rollback();
        } catch (const db::DbError&) {
        }
        // Another run of the program may have added it meanwhile: only a
        // series still missing is a refusal to report.
        try {
            db::Query row(connection, QStringLiteral("SELECT COUNT(*) AS N FROM ") + NumberSeriesTable);
            row.open();
            if (!row.isEmpty() && db::toInt(row.at(0, 0)) >= int(std::size(AllSeries)))
                return {};
        } catch (const db::DbError&) {
        }
        return e.message();
    }
    return {};
}

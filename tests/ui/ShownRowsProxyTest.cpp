// The proxy over a rows model: the rows it shows, their order and the
// mapping both ways stay right through filter, sort and a reset of the rows;
// the titles show even when no row passes the filter.
#include "ui/ShownRowsProxy.h"

#include <gtest/gtest.h>

namespace {

TQueryRowsModel::Column ColumnOf(const QString& field, const QString& title, TQueryRowsModel::Format format)
{
    TQueryRowsModel::Column c;
    c.field = field;
    c.title = title;
    c.format = format;
    return c;
}

QStringList ShownNames(const TShownRowsProxy& proxy)
{
    QStringList names;
    for (int r = 0; r < proxy.rowCount(); ++r)
        names << proxy.data(proxy.index(r, 0)).toString();
    return names;
}

} // namespace

TEST(ShownRowsProxy, FiltersSortsAndMapsItsRowsBothWays)
{
    QObject owner;
    auto* rows = new TQueryRowsModel(&owner);
    rows->addColumn(ColumnOf(QStringLiteral("NOM"), QStringLiteral("Nom"), TQueryRowsModel::Text));
    rows->addColumn(ColumnOf(QStringLiteral("MONTANT"), QStringLiteral("Montant"), TQueryRowsModel::Money));
    TShownRowsProxy proxy(&owner);
    proxy.setSourceRows(rows);
    rows->setRows({QStringLiteral("NOM"), QStringLiteral("MONTANT")},
                  {{QStringLiteral("école"), Currency::fromUnits(30)},
                   {QStringLiteral("Zèbre"), Currency::fromUnits(10)},
                   {QStringLiteral("abri  "), db::Value()},
                   {QStringLiteral("Étang"), Currency::fromUnits(10)}});
    EXPECT_EQ(ShownNames(proxy), (QStringList{"école", "Zèbre", "abri  ", "Étang"}));

    // Texts in French order, then the same column descending; amounts with
    // NULL first and ties in query order.
    struct Case {
        int column;
        QStringList shown;
    };
    for (const Case& c : {Case{0, {"abri  ", "école", "Étang", "Zèbre"}}, Case{0, {"Zèbre", "Étang", "école", "abri  "}},
                          Case{1, {"abri  ", "Zèbre", "Étang", "école"}}}) {
        proxy.sortByColumn(c.column);
        EXPECT_EQ(ShownNames(proxy), c.shown) << c.column;
        for (int r = 0; r < proxy.rowCount(); ++r) {
            const QModelIndex source = proxy.mapToSource(proxy.index(r, 1));
            EXPECT_EQ(source.row(), proxy.sourceRow(r));
            EXPECT_EQ(proxy.mapFromSource(source), proxy.index(r, 1));
        }
    }

    // A filter keeps its rows in the sort order; a row filtered out maps to
    // nothing, and a key finds only shown rows.
    proxy.setFilter([](const QueryRow& r) { return !r.isNull(QStringLiteral("MONTANT")); });
    EXPECT_EQ(ShownNames(proxy), (QStringList{"Zèbre", "Étang", "école"}));
    EXPECT_FALSE(proxy.mapFromSource(rows->index(2, 0)).isValid());
    EXPECT_EQ(proxy.shownRowAtOrAfter(2), 1);   // "Étang", query row 3
    EXPECT_EQ(proxy.findRow({QStringLiteral("NOM")}, {db::Value(QStringLiteral("Étang"))}), 1);
    EXPECT_EQ(proxy.findRow({QStringLiteral("NOM")}, {db::Value(QStringLiteral("abri"))}), -1);

    // New rows go through the same filter and sort.
    rows->setRows(rows->fieldNames(), {{QStringLiteral("b"), Currency::fromUnits(5)},
                                       {QStringLiteral("a"), db::Value()},
                                       {QStringLiteral("c"), Currency::fromUnits(1)}});
    EXPECT_EQ(ShownNames(proxy), (QStringList{"c", "b"}));

    proxy.setFilter(TShownRowsProxy::FieldEquals(QStringLiteral("NOM"), QStringLiteral("none")));
    EXPECT_EQ(proxy.rowCount(), 0);
    EXPECT_EQ(proxy.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Montant"));
}

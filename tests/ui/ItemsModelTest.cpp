// A grid over a store's structs: each column shows what its accessor reads of
// the row, and the struct behind a shown row stays the right one once the
// rows are sorted, and a row is found by its key or by what its item holds.
#include "ui/ItemsModel.h"

#include <gtest/gtest.h>

namespace {

struct TOrder {
    qint64 id;
    QString number;
    Currency amount;
};

TItemsModel<TOrder>* OrderModel(QObject* parent)
{
    return new TItemsModel<TOrder>(
        parent,
        {{QStringLiteral("No"), [](const TOrder& o) { return db::Value(o.number); }, QueryTableModel::Text},
         {QStringLiteral("Montant"), [](const TOrder& o) { return db::Value(o.amount); }, QueryTableModel::Money}},
        [](const TOrder& o) { return db::Value(o.id); });
}

} // namespace

TEST(ItemsModel, ShowsTheAccessorsAndKeepsEachRowOnItsItemThroughSortAndLocate)
{
    QObject owner;
    TItemsModel<TOrder>* model = OrderModel(&owner);
    model->setItems({{7, QStringLiteral("0003"), Currency::fromUnits(1500)},
                     {8, QStringLiteral("0001"), Currency::fromUnits(-250)},
                     {9, QStringLiteral("0002"), Currency()}});

    ASSERT_EQ(model->columnCount(), 2);
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Montant"));
    EXPECT_EQ(model->displayText(0, 0), QStringLiteral("0003"));
    EXPECT_EQ(model->displayText(0, 1), Currency::fromUnits(1500).formatMask());
    EXPECT_EQ(model->currentItem()->id, 7);

    // Sorted by number (then the second click descending), each shown row is
    // still the item it shows.
    model->setSortingEnabled(true);
    for (const QList<qint64>& ids : {QList<qint64>{8, 9, 7}, QList<qint64>{7, 9, 8}}) {
        model->sortByColumn(0);
        QList<qint64> shown;
        for (int r = 0; r < model->rowCount(); ++r) {
            shown << model->item(r)->id;
            EXPECT_EQ(model->displayText(r, 0), model->item(r)->number);
        }
        EXPECT_EQ(shown, ids);
    }

    // Located by the key the accessor reads, or by what the item holds.
    ASSERT_TRUE(model->locate({db::Value(qint64(9))}));
    EXPECT_EQ(model->currentItem()->number, QStringLiteral("0002"));
    ASSERT_TRUE(model->locateItem([](const TOrder& o) { return o.amount < Currency(); }));
    EXPECT_EQ(model->currentItem()->id, 8);
    EXPECT_FALSE(model->locate({db::Value(qint64(10))}));
    EXPECT_FALSE(model->locateItem([](const TOrder& o) { return o.id == 10; }));

    model->setItems({});
    EXPECT_EQ(model->currentItem(), nullptr);
}

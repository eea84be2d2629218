// The grid model over fetched rows: formats, filter, sort by clicked column,
// locating by key and the current row kept through those changes.
#include "ui/QueryTableModel.h"

#include <QTableView>
#include <gtest/gtest.h>

namespace {

using V = db::Value;

struct Fixture {
    QueryTableModel model;
    Fixture()
    {
        model.addColumn(QStringLiteral("CHAP"), QStringLiteral("Chap."));
        model.addColumn(QStringLiteral("MONTANT"), QStringLiteral("Montant"), QueryTableModel::Money);
        model.addColumn(QStringLiteral("DATEC"), QStringLiteral("Date"), QueryTableModel::Date);
        model.setKeyFields({QStringLiteral("ID"), QStringLiteral("NO")});
        std::vector<std::vector<V>> rows = {
            {V(qint64(1)), V(qint64(1)), V(QStringLiteral("22-14")), V(Currency::fromRaw(12345675000)), V(QDate(2024, 3, 5))},
            {V(qint64(2)), V(qint64(1)), V(QStringLiteral("21-05")), V(Currency::fromUnits(-7)), V()},
            {V(qint64(2)), V(qint64(2)), V(QStringLiteral("22-14")), V(), V(QDate(2023, 12, 31))},
            {V(qint64(3)), V(qint64(1)), V(QStringLiteral("23-01")), V(Currency::fromUnits(50)), V(QDate(2024, 1, 1))},
        };
        model.setRows({QStringLiteral("ID"), QStringLiteral("NO"), QStringLiteral("CHAP"), QStringLiteral("MONTANT"),
                       QStringLiteral("DATEC")},
                      std::move(rows));
    }
    QStringList column(int c) const
    {
        QStringList out;
        for (int r = 0; r < model.rowCount(); ++r)
            out << model.displayText(r, c);
        return out;
    }
};

} // namespace

TEST(RefDataModel, ShowsMoneyAndDatesInTheProgramFormats)
{
    Fixture f;
    EXPECT_EQ(f.column(1), (QStringList{"1 234 567.50", "-7.00", "", "50.00"}));
    EXPECT_EQ(f.column(2), (QStringList{"05/03/2024", "", "31/12/2023", "01/01/2024"}));
    EXPECT_EQ(f.model.headerData(1, Qt::Horizontal).toString(), "Montant");
    EXPECT_TRUE(f.model.data(f.model.index(0, 1), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
}

TEST(RefDataModel, SortsByClickedColumnSecondClickDescendingAndKeepsTheCurrentRow)
{
    Fixture f;
    QTableView view;
    f.model.attachView(&view);
    EXPECT_EQ(f.column(0), (QStringList{"22-14", "21-05", "22-14", "23-01"}));   // query order by default
    f.model.setSortingEnabled(true);
    ASSERT_TRUE(f.model.locate({V(qint64(3)), V(qint64(1))}));

    struct Case {
        int column;
        QStringList chapters;
    };
    const Case clicks[] = {
        {1, {"22-14", "21-05", "23-01", "22-14"}},   // money ascending, NULL first
        {1, {"22-14", "23-01", "21-05", "22-14"}},   // second click: descending
        {0, {"21-05", "22-14", "22-14", "23-01"}},   // another column: ascending, ties in query order
    };
    for (size_t i = 0; i < std::size(clicks); ++i) {
        f.model.sortByColumn(clicks[i].column);
        EXPECT_EQ(f.column(0), clicks[i].chapters) << "click " << i;
        EXPECT_EQ(f.model.current().asInt("ID"), 3) << "click " << i;
        EXPECT_EQ(view.currentIndex().row(), f.model.currentRow());
    }
    EXPECT_EQ(f.model.sortOrder(), Qt::AscendingOrder);
}

TEST(RefDataModel, FiltersOnTheClientAndLocatesByKeyAmongTheShownRows)
{
    Fixture f;
    // CHAR columns come back padded: the filter ignores trailing blanks.
    f.model.setFilter(QueryTableModel::FieldEquals(QStringLiteral("CHAP"), QStringLiteral("22-14   ")));
    EXPECT_EQ(f.model.rowCount(), 2);
    EXPECT_EQ(f.model.totalRowCount(), 4);
    EXPECT_EQ(f.model.currentRow(), 0);
    EXPECT_TRUE(f.model.locate({V(qint64(2)), V(qint64(2))}));
    EXPECT_EQ(f.model.currentRow(), 1);
    EXPECT_FALSE(f.model.locate({V(qint64(3)), V(qint64(1))}));   // filtered out
    EXPECT_EQ(f.model.findRow({QStringLiteral("ID"), QStringLiteral("NO")}, {V(QStringLiteral("2")), V(qint64(2))}), 1);
    EXPECT_EQ(f.model.currentKey(), (QList<V>{V(qint64(2)), V(qint64(2))}));
    f.model.setFilter(nullptr);
    EXPECT_EQ(f.model.rowCount(), 4);
}

TEST(RefDataModel, TintsRowsThroughTheHookAndEmptyRowsHaveNoCurrentRow)
{
    Fixture f;
    f.model.setRowTint([](int row, const QueryRow& r) {
        return r.asString("CHAP") == "21-05" ? QColor(Qt::red) : (row % 2 ? QColor(Qt::gray) : QColor());
    });
    EXPECT_FALSE(f.model.data(f.model.index(0, 0), Qt::BackgroundRole).isValid());
    EXPECT_EQ(f.model.data(f.model.index(1, 0), Qt::BackgroundRole).value<QColor>(), QColor(Qt::red));
    EXPECT_EQ(f.model.data(f.model.index(3, 0), Qt::BackgroundRole).value<QColor>(), QColor(Qt::gray));
    f.model.clearRows();
    EXPECT_TRUE(f.model.isEmpty());
    EXPECT_EQ(f.model.currentRow(), -1);
    EXPECT_FALSE(f.model.current().isValid());
    EXPECT_TRUE(f.model.currentKey().isEmpty());
}

// Texts sort in French order: an accented letter among its plain letter, case
// after the letters, ascending and descending.
TEST(RefDataModel, SortsNamesInFrenchOrder)
{
    QueryTableModel model;
    model.addColumn(QStringLiteral("NOM"), QStringLiteral("Nom"));
    std::vector<std::vector<V>> rows;
    for (const char* name : {"ENTREPRISE TRANSPORT", "ÉCOLE NATIONALE", "entreprise bâtiment", "AGENCE",
                             "ENTREPRISE ÉLECTRICITÉ", "EURL ZÉNITH"})
        rows.push_back({V(QString::fromUtf8(name))});
    model.setRows({QStringLiteral("NOM")}, std::move(rows));
    auto shown = [&model] {
        QStringList out;
        for (int r = 0; r < model.rowCount(); ++r)
            out << model.displayText(r, 0);
        return out;
    };
    model.sortByColumn(0);
    EXPECT_EQ(shown(), (QStringList{"AGENCE", "ÉCOLE NATIONALE", "entreprise bâtiment", "ENTREPRISE ÉLECTRICITÉ",
                                    "ENTREPRISE TRANSPORT", "EURL ZÉNITH"}));
    model.sortByColumn(0);
    EXPECT_EQ(shown(), (QStringList{"EURL ZÉNITH", "ENTREPRISE TRANSPORT", "ENTREPRISE ÉLECTRICITÉ",
                                    "entreprise bâtiment", "ÉCOLE NATIONALE", "AGENCE"}));
}

// The transfer listing: the transfers most recent first with the amount each
// moves, the rows of the selected one giving before receiving, the transfer
// window opened on it and the list read again after it; the menu item and
// the tool-bar button.
#include "budget/TransferFixture.h"

#include "budget/UListVir.h"
#include "budget/UVirement.h"
#include "common/ProgramFolder.h"
#include "shell/UKivMain.h"
#include "ui/FormKit.h"
#include "ui/QueryTableModel.h"

#include <QAction>
#include <QCoreApplication>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

class TransferList : public TransferTest {
protected:
    void TearDown() override
    {
        list.reset();
        TransferTest::TearDown();
    }
    void Open()
    {
        list = std::make_unique<TfrmListVir>();
        list->show();
    }
    static QStringList Shown(QueryTableModel* model)
    {
        QStringList rows;
        for (int r = 0; r < model->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < model->columnCount(); ++c)
                cells << model->data(model->index(r, c)).toString().trimmed();
            rows << cells.join(QLatin1Char('|'));
        }
        return rows;
    }
    QColor RowColour(int row) const
    {
        return list->Rows()->data(list->Rows()->index(row, 0), Qt::ForegroundRole).value<QColor>();
    }

    std::unique_ptr<TfrmListVir> list;
};

TEST_F(TransferList, MostRecentFirstWithTheAmountMovedAndTheRowsGivingFirst)
{
    // Two transfers on one date and an older one; the second gives from two
    // lines (60 000 + 40 000) to one.
    const qint64 older = SaveTransfer(Example(QDate(2024, 2, 1)));
    TTransfer split;
    split.date = QDate(2024, 4, 2);
    split.giving = {Row(receiving, "22-01", "20000"), Row(giving, "22-01", "5000.5")};
    split.receiving = {Row(empty, "22-01", "25000.5")};
    const qint64 second = SaveTransfer(split);
    const qint64 third = SaveTransfer(Example(QDate(2024, 4, 2)));

    Open();
    EXPECT_EQ(Shown(list->Transfers()),
              (QStringList{"02/04/2024|100 000.00", "02/04/2024|25 000.50", "01/02/2024|100 000.00"}));
    EXPECT_EQ(list->CurrentTransfer(), third);
    EXPECT_EQ(list->stBar->Panel(2), QStringLiteral("3 Transferts"));
    EXPECT_TRUE(list->mnDelete->isEnabled());
    // The giving rows (red) by chapter, article and paragraph, then the receiving one (green).
    EXPECT_EQ(Shown(list->Rows()), (QStringList{"22-01|01||Fournitures|100 000.00", "22-01|02||Mobilier|60 000.00",
                                                "22-01|03||Documentation|40 000.00"}));
    EXPECT_EQ(RowColour(0), QColor(Qt::red));
    EXPECT_EQ(RowColour(1), RowColour(2));
    EXPECT_NE(RowColour(1), RowColour(0));

    // Moving in the list shows the rows of the transfer selected.
    QTest::keyClick(list->grdVir, Qt::Key_Down);
    EXPECT_EQ(list->CurrentTransfer(), second);
    EXPECT_EQ(Shown(list->Rows()), (QStringList{"22-01|01||Fournitures|5 000.50", "22-01|02||Mobilier|20 000.00",
                                                "22-01|03||Documentation|25 000.50"}));
    EXPECT_EQ(RowColour(1), QColor(Qt::red));
    QTest::keyClick(list->grdVir, Qt::Key_Down);
    EXPECT_EQ(list->CurrentTransfer(), older);
    EXPECT_TRUE(messages->texts().isEmpty()) << messages->texts().join(QLatin1Char('|')).toStdString();
}

TEST_F(TransferList, AnEmptyYearListsNothingAndOpensTheTransferWindowOnNone)
{
    Open();
    EXPECT_EQ(list->Transfers()->rowCount(), 0);
    EXPECT_EQ(list->Rows()->rowCount(), 0);
    EXPECT_EQ(list->stBar->Panel(2), QStringLiteral("0 Transferts"));
    // The user logged in, not the database account.
    EXPECT_EQ(list->stBar->Panel(0), QStringLiteral("BUDGETIER"));
    EXPECT_EQ(list->stBar->Panel(1), FiscalYear);
    EXPECT_FALSE(list->mnDelete->isEnabled());
    qint64 shown = -2;
    OnNextModal([&](QDialog* d) {
        auto* frm = qobject_cast<TfrmVirement*>(d);
        ASSERT_NE(frm, nullptr);
        shown = frm->IdVir;
        frm->close();
    });
    list->mnModif->trigger();
    EXPECT_EQ(shown, 0);
}

TEST_F(TransferList, TheTransferWindowOpensOnTheSelectedTransferAndTheListIsReadAgain)
{
    const qint64 first = SaveTransfer(Example(QDate(2024, 2, 1)));
    const qint64 second = SaveTransfer(Example(QDate(2024, 3, 1)));
    Open();
    list->Transfers()->locate({db::Value(first)});

    // Changed in the transfer window: the list shows the new amount, back on it.
    OnNextModal([&](QDialog* d) {
        auto* frm = qobject_cast<TfrmVirement*>(d);
        ASSERT_NE(frm, nullptr);
        EXPECT_EQ(frm->IdVir, first);
        TTransfer changed = Example(QDate(2024, 5, 1));
        changed.id = first;
        changed.giving = {Row(giving, "22-01", "70000")};
        changed.receiving = {Row(receiving, "22-01", "70000")};
        SaveTransfer(changed);
        frm->close();
    });
    const QPoint at = list->grdVir->visualRect(list->Transfers()->index(list->Transfers()->currentRow(), 0)).center();
    QTest::mouseClick(list->grdVir->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->grdVir->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(list->CurrentTransfer(), first);
    EXPECT_EQ(Shown(list->Transfers()), (QStringList{"01/05/2024|70 000.00", "01/03/2024|100 000.00"}));
    EXPECT_EQ(Shown(list->Rows()), (QStringList{"22-01|01||Fournitures|70 000.00", "22-01|02||Mobilier|70 000.00"}));

    // "&Supprimer" asks the transfer window's deletion of the selected
    // transfer, under its rules: the older transfer's sheets are no longer
    // the last of their lines, the one changed last can go.
    for (const qint64 id : {second, first}) {
        list->Transfers()->locate({db::Value(id)});
        messages->clear();
        messages->answer(mrYes);
        OnNextModal([&](QDialog* d) {
            auto* frm = qobject_cast<TfrmVirement*>(d);
            ASSERT_NE(frm, nullptr);
            QCoreApplication::processEvents();   // the deletion asked when the window opens
            frm->close();
        });
        list->mnDelete->trigger();
    }
    EXPECT_TRUE(messages->texts().first().startsWith(QStringLiteral("Etes-vous sûr de vouloir supprimer ce transfert")));
    EXPECT_EQ(Shown(list->Transfers()), (QStringList{"01/03/2024|100 000.00"}));
    EXPECT_FALSE(TransferRows(second).empty());
    EXPECT_TRUE(TransferRows(first).empty());
}

TEST(TransferListMenu, MenuItemAndToolbarButtonOpenTheListing)
{
    ProgramFolder folder;
    YearDb year;
    MessageRecorder messages;
    TfrmKivMain main;
    const std::function<void()> openers[] = {
        [&] { main.mnListTrans->trigger(); },
        [&] { main.btnTransfert->click(); },
    };
    for (const auto& open : openers)
        EXPECT_EQ(ClassOfNextModal(open), QStringLiteral("TfrmListVir"));
    EXPECT_TRUE(messages.texts().isEmpty());
}

} // namespace

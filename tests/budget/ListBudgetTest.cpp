// The budget list, the chapter total and the line search dialog.
#include "budget/BudgetFixture.h"

#include "ui/ListRecordPattern.h"
#include "shell/UKivMain.h"
#include "ui/QueryTableModel.h"
#include "budget/UBudget.h"
#include "budget/UFindImput.h"
#include "budget/UListBudget.h"
#include "budget/UTotChap.h"
#include "common/PreviewDriver.h"
#include "common/ProgramFolder.h"
#include "common/SheetRows.h"
#include "controls/NumEdit.h"

#include <QAction>
#include <QToolButton>

#include <QLabel>
#include <QScrollBar>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

class BudgetList : public BudgetTest {
protected:
    void SetUp() override
    {
        BudgetTest::SetUp();
        heading = AddLine(QStringLiteral("21-05"), QString(), QString(), QStringLiteral("Personnel"));
        traitements = AddLine(QStringLiteral("21-05"), QStringLiteral("01"), QString(), QStringLiteral("Traitements"),
                              Money("1500000"), Money("-20000"));
        primes = AddLine(QStringLiteral("21-05"), QStringLiteral("02"), QStringLiteral("01"), QStringLiteral("Primes"), Money("250000.5"));
        materiel = AddLine(QStringLiteral("22-01"), QStringLiteral("01"), QString(), QStringLiteral("Matériel"), Money("0"));
    }
    void TearDown() override
    {
        list.reset();
        BudgetTest::TearDown();
    }
    void Open()
    {
        list = std::make_unique<TfrmListBudget>();
        list->show();
    }
    qint64 CurrentId() const { return list->model()->current().asInt(QStringLiteral("ID_FNM")); }
    QString Cell(int row, int column) const
    {
        return list->model()->data(list->model()->index(row, column)).toString();
    }

    qint64 heading = 0, traitements = 0, primes = 0, materiel = 0;
    std::unique_ptr<TfrmListBudget> list;
};

TEST_F(BudgetList, ShowsEveryLineInOrderWithHeadingsMarked)
{
    Open();
    QueryTableModel* m = list->model();
    ASSERT_EQ(m->rowCount(), 4);
    EXPECT_EQ(list->stBar->Panel(2), QStringLiteral("4 Imputations"));
    EXPECT_EQ(list->stBar->Panel(0), QStringLiteral("BUDGETIER"));
    QStringList titles;
    for (int c = 0; c < m->columnCount(); ++c)
        titles << m->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(titles, (QStringList{"Chap.", "Art.", "Par.", "Primitif", "Mt Régie", "Modificatif", "Intitulé"}));
    EXPECT_EQ(Cell(1, 3), QStringLiteral("1 500 000.00"));
    EXPECT_EQ(Cell(1, 5), QStringLiteral("-20 000.00"));
    EXPECT_EQ(Cell(2, 3), QStringLiteral("250 000.50"));
    EXPECT_EQ(Cell(3, 6), QStringLiteral("Matériel"));
    EXPECT_EQ(m->data(m->index(1, 0), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);

    // Chapter headings: bold on green-yellow; other rows keep the grid's colours.
    EXPECT_EQ(m->data(m->index(0, 3), Qt::BackgroundRole).value<QColor>(), QColor(239, 254, 188));
    EXPECT_TRUE(m->data(m->index(0, 3), Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(m->data(m->index(1, 3), Qt::BackgroundRole).isValid());
    EXPECT_FALSE(m->data(m->index(1, 6), Qt::FontRole).value<QFont>().bold());
}

// The amount columns are as wide as the largest stored amount needs, and the
// title takes what is left: no amount is cut and no scroll bar pushes the
// chapter out of sight.
TEST_F(BudgetList, AmountsShowInFullAndTheTitleTakesTheRest)
{
    AddLine(QStringLiteral("22-02"), QStringLiteral("01"), QString(), QStringLiteral("Le plus grand"),
            Money("9999999999999.99"), Money("-9999999999999.99"));
    Open();
    list->resize(1000, 500);
    QApplication::processEvents();
    QTableView* grid = list->grdBudget;
    QFont bold = grid->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    EXPECT_GE(grid->columnWidth(3), metrics.horizontalAdvance(QStringLiteral("9 999 999 999 999.99")));
    EXPECT_GE(grid->columnWidth(5), metrics.horizontalAdvance(QStringLiteral("-9 999 999 999 999.99")));
    int shown = 0;
    for (int c = 0; c < list->model()->columnCount(); ++c)
        shown += grid->columnWidth(c);
    EXPECT_LE(shown, grid->viewport()->width());
    EXPECT_GT(grid->columnWidth(6), 200);
    EXPECT_FALSE(grid->horizontalScrollBar()->isVisible());
}

TEST_F(BudgetList, ReturnsFromTheAllocationWindowOnTheOpenedLineWithItsNewAmounts)
{
    Open();
    list->model()->locate({db::Value(primes)});
    OnNextModal([&](QDialog* d) {
        auto* frm = qobject_cast<TfrmBudget*>(d);
        ASSERT_NE(frm, nullptr);
        EXPECT_EQ(frm->IdFnm, primes);
        frm->btnEdit->click();
        frm->edMt_BP->selectAll();
        QTest::keyClicks(frm->edMt_BP, QStringLiteral("300000"));
        frm->edDateEng_BP->setText(QStringLiteral("02/01/2024"));
        frm->btnPost->click();
        frm->btnFirst->click();   // moving elsewhere inside does not change the list's line
        frm->close();
    });
    list->btnModif->click();
    EXPECT_TRUE(messages->texts().isEmpty()) << messages->texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(CurrentId(), primes);
    EXPECT_EQ(Cell(list->model()->currentRow(), 3), QStringLiteral("300 000.00"));
    EXPECT_EQ(Line(primes).bp, Money("300000"));
}

TEST_F(BudgetList, SearchAndChapterTotal)
{
    Open();
    struct { const char* chap; const char* art; const char* par; qint64 expected; } searches[] = {
        {"22-01", "01", "", materiel},
        {"21-05", "02", "01", primes},
        {"21-05", "", "", heading},
        {"22-01", "1", "", -1},   // whole values only
        {"", "", "", -1},         // OK by Enter with an empty chapter: the search runs and fails
    };
    for (const auto& s : searches) {
        SCOPED_TRACE(s.chap);
        messages->clear();
        const qint64 before = CurrentId();
        OnNextModal([&](QDialog* d) {
            auto* find = qobject_cast<TfrmFindImput*>(d);
            ASSERT_NE(find, nullptr);
            QTest::keyClicks(find->edChap, QString::fromLatin1(s.chap));
            find->edArt->setFocus();
            QTest::keyClicks(find->edArt, QString::fromLatin1(s.art));
            QTest::keyClicks(find->edPar, QString::fromLatin1(s.par));
            QTest::keyClick(find->edPar, Qt::Key_Return);
        });
        list->btnFind->click();
        if (s.expected >= 0) {
            EXPECT_EQ(CurrentId(), s.expected);
            EXPECT_TRUE(messages->texts().isEmpty());
        } else {
            EXPECT_EQ(CurrentId(), before);
            EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Imputation introuvable !")});
        }
    }

    // The total of the current row's chapter.
    list->model()->locate({db::Value(primes)});
    QString shown;
    OnNextModal([&](QDialog* d) {
        auto* tot = qobject_cast<TfrmTotChap*>(d);
        ASSERT_NE(tot, nullptr);
        shown = tot->lChap->text() + QLatin1Char('=') + tot->lTotChap->text();
        QTest::keyClick(tot, Qt::Key_Escape);
    });
    list->mnDotChap->trigger();
    EXPECT_EQ(shown, QStringLiteral("21-05=1 750 000.50"));
}

TEST_F(BudgetList, ChapterTotalCountsOnlyThePrimitiveBudgetsOfThatChapter)
{
    // The imprest parts and amending budgets are not part of it.
    Exec(QStringLiteral("UPDATE FNM SET MT_REGIE=999, MT_BS=888"));
    DM->CommitWork();
    struct { const char* chap; const char* total; } cases[] = {
        {"21-05", "1 750 000.50"},
        {"22-01", "0.00"},     // every line at 0
        {"23-09", "0.00"},     // no line at all
    };
    for (const auto& c : cases) {
        TfrmTotChap tot;
        tot.Chap = QString::fromLatin1(c.chap);
        tot.show();
        EXPECT_EQ(tot.lChap->text(), QString::fromLatin1(c.chap));
        EXPECT_EQ(tot.lTotChap->text(), QString::fromUtf8(c.total)) << c.chap;
    }
}

TEST(FindImput, OkNeedsAChapterAndFieldsMoveOnByThemselves)
{
    TfrmFindImput find;
    find.show();
    find.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&find));
    EXPECT_TRUE(find.edChap->text().isEmpty());
    EXPECT_FALSE(find.btnOk->isEnabled());
    find.edChap->setFocus();
    QTest::keyClicks(find.edChap, QStringLiteral(" "));
    EXPECT_FALSE(find.btnOk->isEnabled());   // a blank chapter is no chapter
    QTest::keyClick(find.edChap, Qt::Key_Backspace);
    QTest::keyClicks(find.edChap, QStringLiteral("21-0"));
    EXPECT_TRUE(find.btnOk->isEnabled());
    EXPECT_TRUE(find.edChap->hasFocus());
    QTest::keyClicks(find.edChap, QStringLiteral("5"));
    EXPECT_TRUE(find.edArt->hasFocus());     // five characters: on to the article
    QTest::keyClick(find.edArt, Qt::Key_Return);
    EXPECT_TRUE(find.edPar->hasFocus());
    QTest::keyClick(find.edPar, Qt::Key_Return);
    EXPECT_EQ(find.result(), QDialog::Accepted);

    TfrmFindImput cancelled;
    cancelled.show();
    QTest::keyClick(&cancelled, Qt::Key_Escape);
    EXPECT_EQ(cancelled.result(), QDialog::Rejected);
    EXPECT_FALSE(cancelled.isVisible());
}

TEST(BudgetMenu, MenuItemAndToolbarButtonOpenTheBudgetList)
{
    ProgramFolder folder;
    YearDb year;
    MessageRecorder messages;
    TfrmKivMain main;
    const std::function<void()> openers[] = {
        [&] { main.mnBudget->trigger(); },
        [&] { main.btnBudget->click(); },
    };
    for (const auto& open : openers) {
        QString opened;
        OnNextModal([&](QDialog* d) {
            opened = d->metaObject()->className();
            d->close();
        });
        open();
        EXPECT_EQ(opened, QStringLiteral("TfrmListBudget"));
    }
    EXPECT_TRUE(messages.texts().isEmpty());
}

// Each print item prints the sheet of the row's line, or on a chapter heading
// the chapter's recapitulative sheet; what cannot print says why.
TEST_F(BudgetList, PrintItemsPrintTheLinesSheetOrTheChaptersSheet)
{
    rows::PrimitiveSheet(traitements, Money("1500000"));
    rows::PrimitiveSheet(primes, Money("250000.5"));
    Open();
    struct Case {
        const char* what;
        int row;
        QAction* TfrmListBudget::*item;
        const char* title;       // of the preview; empty: no preview
        const char* number;      // lNoFe printed
        const char* amount;      // lMontant printed
        const char* message;     // shown instead of a preview
    };
    const Case cases[] = {
        {"chapter, primitive", 0, &TfrmListBudget::mnFicheBP, "Fiche d'engagement - Economie", "0001", "1 750 000.50",
         ""},
        {"chapter, amending", 0, &TfrmListBudget::mnFicheBS_Pre, "", "", "", "Vueillez sélectionner un article SVP !"},
        {"article, primitive on stationery", 2, &TfrmListBudget::mnFicheBP_Pre, "Fiche d'engagement - Economie",
         "0001", "250 000.50", ""},
        {"article, primitive", 1, &TfrmListBudget::mnFicheBP, "Fiche d'engagement - Dépense", "0001", "1 500 000.00",
         ""},
        {"article without an amending sheet", 1, &TfrmListBudget::mnFicheBS, "", "", "",
         "Fiche d'engagement introuvable ! "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        messages->clear();
        list->model()->setCurrentRow(c.row);
        QString title, number, amount;
        if (!*c.title) {
            (list.get()->*c.item)->trigger();
            EXPECT_EQ(messages->texts(), QStringList{QString::fromUtf8(c.message)});
            continue;
        }
        const bool shown = ReadNextPreview([&] { (list.get()->*c.item)->trigger(); },
                                           [&](TfrmPreview& preview) {
                                               title = preview.Pages()->title;
                                               number = preview.Pages()->page(0).textsOf(QStringLiteral("lNoFe")).join(QString());
                                               amount = preview.Pages()->page(0).textsOf(QStringLiteral("lMontant")).join(QString());
                                           });
        EXPECT_TRUE(shown);
        EXPECT_EQ(title, QString::fromUtf8(c.title));
        EXPECT_EQ(number, QLatin1String(c.number));
        EXPECT_EQ(amount, QLatin1String(c.amount));
        EXPECT_TRUE(messages->texts().isEmpty());
    }
}

} // namespace

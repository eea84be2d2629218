// The regularisation window on a fresh year, driven through its controls: a
// sheet of payment orders made through the kind dialog and the order picker,
// its visa reaching the ordinary sheets of its orders' expenses, a copied
// sheet holding its one line, the deletion of the last sheet, lines numbered
// once each through removals and additions, and the keyboard and columns of
// the sheet windows and their dialogs.
#include "budget/RegulStore.h"
#include "budget/UAddRegul_FE.h"
#include "budget/UAddRegul_Mdt.h"
#include "budget/UEng_Regul.h"
#include "budget/UEngagement.h"
#include "budget/USelectReg.h"
#include "common/DocumentFixture.h"
#include "common/SheetRows.h"
#include "documents/DocumentBrowsing.h"
#include "expenditure/UAddDep.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using rows::Money;
using rows::Write;

namespace {

class EngRegulTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        supplier = rows::Beneficiary(QStringLiteral("SARL ALPHA"));
        line = rows::BudgetLine(QStringLiteral("22-03"), QStringLiteral("01"), QString(),
                                QStringLiteral("Fournitures de bureau"), Money("1000"));
        rows::PrimitiveSheet(line, Money("1000"));
    }

    std::unique_ptr<TfrmEng_Regul> Open(qint64 idEng = -1)
    {
        auto frm = std::make_unique<TfrmEng_Regul>();
        frm->IdEng = idEng;
        frm->show();
        QApplication::setActiveWindow(frm.get());
        return frm;
    }

    qint64 Order(std::initializer_list<qint64> expenses)
    {
        const qint64 id = DM->NextGeneratorValue(QStringLiteral("GEN_MDT"));
        Write([&] {
            rows::Exec(QStringLiteral("INSERT INTO ENT_MDT (ID_MDT, NO_MDT, DATE_MDT, NATURE, STATUT, MONTANT) "
                                      "VALUES (:ID, :NO, :D, 'Fournitures', 0, 0)"),
                       {{"ID", id}, {"NO", QStringLiteral("%1").arg(id, 4, 10, QLatin1Char('0'))},
                        {"D", QDate(2024, 5, 2)}});
            int n = 0;
            for (qint64 e : expenses)
                rows::Exec(QStringLiteral("INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) "
                                          "VALUES (:M, :L, :E, 100)"),
                           {{"M", id}, {"L", qint64(++n)}, {"E", e}});
        });
        return id;
    }

    QString Stored(const char* table, const char* column, qint64 idEng)
    {
        return CommittedText(QStringLiteral("SELECT %1 FROM %2 WHERE ID_ENG=:ID").arg(QLatin1String(column),
                                                                                       QLatin1String(table)),
                             idEng);
    }

    // A new empty sheet saved through the window.
    qint64 SaveNewSheet(TfrmEng_Regul& frm)
    {
        frm.btnAdd->click();
        frm.edDateE->setText(QStringLiteral("10/06/2024"));
        QTest::keyClick(&frm, Qt::Key_S, Qt::ControlModifier);
        EXPECT_EQ(QStringLiteral("Affichage"), frm.stBar->Panel(4));
        return frm.IdEng;
    }

    qint64 supplier = 0, line = 0;
};

} // namespace

TEST_F(EngRegulTest, OrdersPickedForALineGiveTheSheetItsKindNumberAmountAndVisa)
{
    const qint64 e1 = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("100"), QStringLiteral("F-1"));
    const qint64 e2 = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("100"), QStringLiteral("F-2"));
    const qint64 ordinary = rows::UserSheet({e1}, Money("100"), QDate(2024, 3, 2));
    const qint64 a = Order({e1});
    const qint64 b = Order({e2});

    auto frm = Open();
    const qint64 id = SaveNewSheet(*frm);
    ASSERT_GT(id, 0);
    EXPECT_EQ(QString(), Stored("ENT_ENG_REG", "NO_ENG", id).trimmed());
    // A sheet without lines yet counts as an economy of nothing.
    EXPECT_EQ(QStringLiteral("REGUL - ECONOMIE"), frm->lObjet->text());

    OnNextModal([&](QDialog* d) {
        auto* select = qobject_cast<TfrmSelectReg*>(d);
        ASSERT_NE(nullptr, select);
        select->TakeLine(line, QStringLiteral("22-03"), QStringLiteral("01"), QString(),
                         QStringLiteral("Fournitures de bureau"));
        OnNextModal([&](QDialog* p) {
            auto* picker = qobject_cast<TfrmAddRegul_Mdt*>(p);
            ASSERT_NE(nullptr, picker);
            EXPECT_EQ(picker->Offered().size(), 2);
            EXPECT_TRUE(picker->AddOrder(a));
            EXPECT_TRUE(picker->AddOrder(b));
            EXPECT_FALSE(picker->AddOrder(b));
            p->reject();
        });
        d->accept();
    });
    frm->btnModifDet->click();
    EXPECT_EQ(QStringLiteral("0002"), frm->edNoFiche->text());
    EXPECT_EQ(QStringLiteral("REGUL - DEPENSE"), frm->lObjet->text());
    EXPECT_EQ(QStringLiteral("22-03-01 : Fournitures de bureau"), frm->lInt->text());
    EXPECT_EQ(QStringLiteral("1 000.00"), frm->lOldSolde->text());
    EXPECT_EQ(QStringLiteral("200.00"), frm->lMontant->text());
    EXPECT_EQ(QStringLiteral("800.00"), frm->lNewSolde->text());
    EXPECT_EQ(QStringLiteral("ENGAGEMENT DE DIVERSES FACTURES  DU FOURNISSEUR SARL ALPHA"),
              Stored("ENT_ENG_REG", "OBS", id));
    EXPECT_EQ(frm->Lines().size(), 2);

    // The visa freezes the lines and reaches the ordinary sheet of the orders'
    // expense; given after the sheet's date, it is taken without a question.
    messages->clear();
    frm->btnModif->click();
    frm->edNoVisa->setText(QStringLiteral("CF-12"));
    frm->edDateVisa->setText(QStringLiteral("25/06/2024"));
    frm->btnPost->click();
    EXPECT_EQ(messages->texts(), QStringList());
    EXPECT_EQ(QStringLiteral("25/06/2024"), Stored("ENT_ENG_REG", "DATE_VISA", id));
    EXPECT_EQ(QStringLiteral("Affichage"), frm->stBar->Panel(4));
    EXPECT_EQ(QStringLiteral("CF-12"), Stored("ENT_ENG_REG", "NO_VISA", id));
    EXPECT_EQ(QStringLiteral("CF-12"), Stored("ENT_ENG", "NO_VISA", ordinary).trimmed());
    EXPECT_FALSE(frm->mnModifDet->isEnabled());
    EXPECT_FALSE(frm->mnDelDet->isEnabled());
    messages->clear();
    frm->btnDelete->click();
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Fiche visée, suppression impossible !")});
    EXPECT_EQ(QStringLiteral("0002"), Stored("ENT_ENG_REG", "NO_ENG", id).trimmed());
}

TEST_F(EngRegulTest, ACopiedSheetHoldsOneLineAndTheLastSheetIsDeletedWithItsLines)
{
    TSheetStore sheets;
    TSheet moved;
    moved.number = QStringLiteral("0002");
    moved.date = QDate(2024, 4, 1);
    moved.idFnm = line;
    moved.objet = SheetObject::Economy;
    moved.amount = Money("300");
    moved.origin = SheetOrigin::Transfer;
    moved.idOrigine = 12;
    Write([&] { sheets.InsertMovementSheet(moved, LineObject::Transfer, line); });

    auto frm = Open();
    const qint64 id = SaveNewSheet(*frm);
    OnNextModal([&](QDialog* d) {
        auto* select = qobject_cast<TfrmSelectReg*>(d);
        ASSERT_NE(nullptr, select);
        select->rdRegul->button(1)->click();   // "Transfert", no line chosen
        OnNextModal([&](QDialog* p) {
            auto* copy = qobject_cast<TfrmAddRegul_FE*>(p);
            ASSERT_NE(nullptr, copy);
            EXPECT_EQ(QStringLiteral("Transferts"), copy->windowTitle());
            ASSERT_EQ(copy->Offered().size(), 1);
            copy->CopyCurrent();
        });
        d->accept();
    });
    frm->btnModifDet->click();
    EXPECT_EQ(QStringLiteral("REGUL - ECONOMIE"), frm->lObjet->text());
    EXPECT_EQ(QStringLiteral("300.00"), frm->lMontant->text());
    EXPECT_EQ(QStringLiteral("1 300.00"), frm->lNewSolde->text());
    EXPECT_FALSE(frm->mnModifDet->isEnabled());

    messages->clear();
    messages->answer(mrYes);
    messages->answer(mrYes);
    frm->btnDelete->click();
    EXPECT_EQ(QString(), Stored("ENT_ENG_REG", "ID_ENG", id));
    EXPECT_TRUE(CommittedLines(QStringLiteral("DET_ENG_REG"), QStringLiteral("ID_ENG"), id).isEmpty());
    EXPECT_EQ(-1, frm->IdEng);
}

// Orders removed in the picker and a line removed in the window: each removal
// numbers the other lines at once, a new line follows the highest number, and
// "Retirer" takes the one line chosen.
TEST_F(EngRegulTest, RemovingAndAddingLinesLeavesOneLinePerNumber)
{
    QList<qint64> orders;
    for (int k = 0; k < 4; ++k)
        orders << Order({rows::Expense(ExpenseKind::Invoice, line, supplier, Money("100"),
                                       QStringLiteral("F-%1").arg(k))});
    const auto stored = [&](qint64 id) {
        return CommittedLines(QStringLiteral("DET_ENG_REG"), QStringLiteral("ID_ENG"), id);
    };
    const auto expected = [&](std::initializer_list<int> picked) {
        QStringList out;
        int n = 0;
        for (int k : picked)
            out << QStringLiteral("%1:%2").arg(++n).arg(orders[k]);
        return out;
    };

    auto frm = Open();
    const qint64 id = SaveNewSheet(*frm);
    OnNextModal([&](QDialog* d) {
        auto* select = qobject_cast<TfrmSelectReg*>(d);
        ASSERT_NE(nullptr, select);
        select->TakeLine(line, QStringLiteral("22-03"), QStringLiteral("01"), QString(),
                         QStringLiteral("Fournitures de bureau"));
        OnNextModal([&](QDialog* p) {
            auto* picker = qobject_cast<TfrmAddRegul_Mdt*>(p);
            ASSERT_NE(nullptr, picker);
            for (int k : {0, 1, 2})
                EXPECT_TRUE(picker->AddOrder(orders[k]));
            // Line 2 of three removed: the third becomes line 2 at once.
            picker->grdMdtToDo->setCurrentCell(1, 1);
            picker->RemoveCurrentLine();
            EXPECT_EQ(stored(id), expected({0, 2}));
            EXPECT_TRUE(picker->AddOrder(orders[3]));
            EXPECT_EQ(stored(id), expected({0, 2, 3}));
            p->reject();
        });
        d->accept();
    });
    frm->btnModifDet->click();
    ASSERT_EQ(frm->Lines().size(), 3);
    EXPECT_EQ(QStringLiteral("300.00"), frm->lMontant->text());

    // "Retirer" on line 3: one question, one line.
    frm->grdDep->setCurrentIndex(frm->grdDep->model()->index(2, 0));
    messages->clear();
    frm->mnDelDet->trigger();
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Etes-vous sûr de vouloir supprimer cette ligne ?")});
    EXPECT_EQ(stored(id), expected({0, 2}));
    EXPECT_EQ(CommittedMoney(QStringLiteral("SELECT MONTANT FROM ENT_ENG_REG WHERE ID_ENG=:ID"), id), Money("200"));
    EXPECT_EQ(QStringLiteral("200.00"), frm->lMontant->text());
}

// Tab leaves the observation for the next field in the regularisation and
// commitment windows: it types no tab character into the text.
TEST_F(EngRegulTest, TabLeavesTheObservationOfTheSheetWindows)
{
    const auto check = [](QWidget& frm, QToolButton* add, QPlainTextEdit* obs) {
        frm.show();
        QApplication::setActiveWindow(&frm);
        add->click();
        obs->setFocus();
        QTest::keyClicks(obs, QStringLiteral("ABC"));
        QTest::keyClick(obs, Qt::Key_Tab);
        EXPECT_EQ(obs->toPlainText(), QStringLiteral("ABC"));
        EXPECT_NE(QApplication::focusWidget(), obs);
    };
    {
        SCOPED_TRACE("regularisation");
        TfrmEng_Regul frm;
        check(frm, frm.btnAdd, frm.mmObs);
    }
    {
        SCOPED_TRACE("commitment");
        TfrmEngagement frm;
        frm.ObjetEng = SheetObject::Expense;
        check(frm, frm.btnAdd, frm.mmObs);
    }
}

// The kind dialog starts on the line's button: the fields showing the line
// take no focus and do not look like entries.
TEST_F(EngRegulTest, TheKindDialogStartsOnWhatTheUserCanChange)
{
    TfrmSelectReg dialog;
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    EXPECT_EQ(QApplication::focusWidget(), dialog.btnGetImp);
    for (QLineEdit* field : {dialog.edChap, dialog.edArt, dialog.edPar}) {
        SCOPED_TRACE(field->objectName().toStdString());
        EXPECT_EQ(field->focusPolicy(), Qt::NoFocus);
        EXPECT_EQ(field->palette().color(QPalette::Base), dialog.palette().color(QPalette::Window));
    }
    // Tab goes round the controls the user can change, never through the fields.
    for (int k = 0; k < 8; ++k) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_FALSE(qobject_cast<QLineEdit*>(QApplication::focusWidget())) << k;
    }
}

// The sheet-copy dialog gives each column the width its contents need: a large
// amount shows whole and every column is in view.
TEST_F(EngRegulTest, TheCopyDialogShowsEveryColumnAndWholeAmounts)
{
    TSheetStore sheets;
    TSheet moved;
    moved.number = QStringLiteral("0002");
    moved.date = QDate(2024, 4, 1);
    moved.idFnm = line;
    moved.objet = SheetObject::Economy;
    moved.amount = Money("3502207.55");
    moved.origin = SheetOrigin::Transfer;
    moved.idOrigine = 12;
    moved.visaNumber = QStringLiteral("V-1");
    moved.visaDate = QDate(2024, 4, 3);
    Write([&] { sheets.InsertMovementSheet(moved, LineObject::Transfer, line); });

    TfrmAddRegul_FE dialog;
    dialog.Origine = SheetOrigin::Transfer;
    dialog.IdFnm = line;
    dialog.show();
    QApplication::processEvents();
    QTableView* grid = dialog.grdEng;
    ASSERT_EQ(grid->model()->rowCount(), 1);
    const int columns = grid->model()->columnCount();
    for (int c = 0; c < columns; ++c) {
        SCOPED_TRACE(grid->model()->headerData(c, Qt::Horizontal).toString().toStdString());
        const QModelIndex index = grid->model()->index(0, c);
        const QString text = index.data().toString();
        QFont font = grid->font();
        if (const QVariant f = index.data(Qt::FontRole); f.isValid())
            font = f.value<QFont>();
        // The text and the cell's margins on either side (3 pixels each).
        EXPECT_GE(grid->columnWidth(c), QFontMetrics(font).horizontalAdvance(text) + 6);
        // In view: the column ends inside the grid's visible area.
        EXPECT_LE(grid->columnViewportPosition(c) + grid->columnWidth(c), grid->viewport()->width());
    }
    EXPECT_EQ(grid->model()->index(0, 5).data().toString(), QStringLiteral("3 502 207.55"));
}

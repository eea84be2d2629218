// Correcting a row of the financial situation by hand: the row is found by
// all its keys (the two recap rows share theirs), its chapter row becomes the
// sum of the chapter's lines, and the dialog shows the balance and rate of
// what is typed.
#include "budget/SituationFixture.h"

#include "budget/UModifSF.h"
#include "budget/USF.h"
#include "common/ModalDriver.h"
#include "common/PreviewDriver.h"
#include "reports/UPaper.h"
#include "ui/QueryTableModel.h"
#include "controls/NumEdit.h"
#include "core/Routines.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

class SituationCorrection : public SituationTest {
protected:
    static TSituationRow Row(qint64 id, const char* chap, const char* art, const char* title, const char* crAl,
                             const char* crRv, const char* eng, const char* pmt)
    {
        TSituationRow r;
        r.idFnm = id;
        r.chap = QString::fromLatin1(chap);
        r.art = QString::fromLatin1(art);
        r.par = QString::fromLatin1(*art == '.' ? "." : "");
        r.intitule = QString::fromLatin1(title);
        return CorrectedSituationRow(r, Money(crAl), Money(crRv), Money(eng), Money(pmt));
    }

    // Two chapters (the first row holding a stale total) and the two recap rows.
    void Store()
    {
        rows = {Row(1, "21-01", "", "Chapitre 1", "999", "999", "999", "999"),
                Row(2, "21-01", "01", "Ligne 1", "100", "100", "10", "40"),
                Row(3, "21-01", "02", "Ligne 2", "200", "300", "20", "60"),
                Row(4, "22-01", "", "Chapitre 2", "50", "50", "0", "5"),
                Row(5, "22-01", "01", "Ligne 3", "50", "50", "0", "5"),
                Row(-2, "R", ".", "SECTION 1", "1000", "1000", "100", "400"),
                Row(-2, "R", ".", "SECTION 2", "2000", "2000", "200", "500")};
        TWriteGuard write;
        TSituationStore(DM->LURDO).Replace(rows);
        write.Commit();
    }

    std::map<QString, TSituationRow> Stored()
    {
        std::map<QString, TSituationRow> byKey;
        for (const TSituationRow& r : TSituationStore(DM->LURDO).StoredRows())
            byKey[r.chap + QLatin1Char('/') + r.art + QLatin1Char('/') + r.intitule] = r;
        return byKey;
    }

    void Correct(const TSituationRow& stored, const TSituationRow& corrected)
    {
        TWriteGuard write;
        TSituationStore(DM->LURDO).CorrectRow(stored, corrected);
        write.Commit();
    }

    std::vector<TSituationRow> rows;
};

TEST_F(SituationCorrection, TheChapterRowBecomesTheSumOfItsLinesAndRecapRowsStayApart)
{
    Store();
    Correct(rows[1], CorrectedSituationRow(rows[1], Money("150"), Money("180"), Money("15"), Money("120")));
    auto stored = Stored();
    const TSituationRow& chapter = stored[QStringLiteral("21-01//Chapitre 1")];
    EXPECT_EQ(chapter.crAl, Money("350"));
    EXPECT_EQ(chapter.crRv, Money("480"));
    EXPECT_EQ(chapter.eng, Money("35"));
    EXPECT_EQ(chapter.pmt, Money("180"));
    EXPECT_EQ(chapter.sld, Money("300"));
    EXPECT_EQ(chapter.taux, Money("37.5"));
    const TSituationRow& line = stored[QStringLiteral("21-01/01/Ligne 1")];
    EXPECT_EQ(line.sld, Money("60"));
    EXPECT_EQ(line.taux, Money("66.66"));   // 120 / 180, cut
    EXPECT_EQ(stored[QStringLiteral("22-01//Chapitre 2")], rows[3]);

    // The first recap row corrected: the second keeps its figures, and the
    // totals count each once.
    Correct(rows[5], CorrectedSituationRow(rows[5], Money("1100"), Money("0"), Money("100"), Money("400")));
    stored = Stored();
    EXPECT_EQ(stored[QStringLiteral("R/./SECTION 1")].crAl, Money("1100"));
    EXPECT_EQ(stored[QStringLiteral("R/./SECTION 1")].taux, Currency());   // no revised credits: rate 0
    EXPECT_EQ(stored[QStringLiteral("R/./SECTION 2")], rows[6]);
    const TSituationTotals totals = TSituationStore(DM->LURDO).Totals();
    EXPECT_EQ(totals.sums.crAl, Money("150") + Money("200") + Money("50") + Money("1100") + Money("2000"));
}

TEST_F(SituationCorrection, TheDialogShowsWhatIsTypedAndSavesIt)
{
    Store();
    int refreshed = 0;
    TfrmModifSF dialog;
    dialog.Row = rows[2];
    dialog.Applied = [&] { ++refreshed; };
    dialog.show();
    EXPECT_EQ(dialog.lImp->text(), QStringLiteral("21-01-02"));
    EXPECT_FALSE(dialog.btnOk->isEnabled());

    struct Case {
        const char* revised;
        const char* payments;
        const char* balance;
        const char* rate;
    };
    for (const Case& c : {Case{"3", "2", "1.00", "66.66"}, Case{"0", "250", "-250.00", "0.00"}}) {
        SCOPED_TRACE(c.revised);
        dialog.edCr_RV->SetAsCurrency(Money(c.revised));
        dialog.edPmt->SetAsCurrency(Money(c.payments));
        EXPECT_EQ(dialog.lSolde->text(), QLatin1String(c.balance));
        EXPECT_EQ(dialog.lTaux->text(), QLatin1String(c.rate));
        EXPECT_TRUE(dialog.btnOk->isEnabled());
    }
    QTest::mouseClick(dialog.btnCancel, Qt::LeftButton);
    EXPECT_EQ(dialog.edPmt->AsCurrency(), Money("60"));
    EXPECT_FALSE(dialog.btnOk->isEnabled());

    dialog.edPmt->SetAsCurrency(Money("100"));
    QTest::mouseClick(dialog.btnOk, Qt::LeftButton);
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Appliquer les modifs apportées à la situation ?")});
    EXPECT_EQ(refreshed, 1);
    EXPECT_FALSE(dialog.btnOk->isEnabled());
    auto stored = Stored();
    EXPECT_EQ(stored[QStringLiteral("21-01/02/Ligne 2")].pmt, Money("100"));
    EXPECT_EQ(stored[QStringLiteral("21-01//Chapitre 1")].pmt, Money("140"));
}

// From the situation window: a chapter row is refused, a line corrected
// shows in the totals bar and in the printed situation.
TEST_F(SituationCorrection, ACorrectionFromTheWindowShowsInItsTotalsAndItsPrint)
{
    Store();
    TfrmPaper::SetResponder([] { return 0; });
    TfrmSF window;
    window.show();
    EXPECT_EQ(window.lTotPmt->text(), QStringLiteral("1 005.00"));   // lines and recap rows, chapter rows left out

    window.model()->setCurrentRow(0);   // the chapter row of 21-01
    window.mnModif->trigger();
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Vous ne pouvez pas modifier les valeurs d'un chapitre !")});

    window.model()->setCurrentRow(1);
    OnNextModal([](QDialog* d) {
        auto* dialog = qobject_cast<TfrmModifSF*>(d);
        ASSERT_NE(dialog, nullptr);
        dialog->edPmt->SetAsCurrency(Money("90"));
        dialog->btnOk->click();
        dialog->btnClose->click();
    });
    window.mnModif->trigger();
    EXPECT_EQ(window.lTotPmt->text(), QStringLiteral("1 055.00"));

    QStringList chapterPayments;
    EXPECT_TRUE(ReadNextPreview([&] { window.mnPrint->trigger(); },
                                [&](TfrmPreview& preview) {
                                    chapterPayments = preview.Pages()->page(0).textsOf(QStringLiteral("lChapPmt"));
                                }));
    EXPECT_EQ(chapterPayments.value(0), QStringLiteral("150.00"));
    TfrmPaper::SetResponder({});
}

// The consumption rate of a line, wherever it shows: the grid and the totals
// bar after a display from the books, the correction dialog opened on the
// line, and the printed situation. It is the exact quotient cut to two
// decimals: a line short of its credits by a cent never reads 100.00.
TEST_F(SituationCorrection, TheRateIsTheExactQuotientCutInTheWindowTheDialogAndThePrint)
{
    struct Case {
        const char* art;
        const char* credits;
        const char* payments;
        const char* rate;
    };
    const Case cases[] = {
        {"01", "20000", "19999.99", "99.99"},
        {"02", "3", "2", "66.66"},
        {"03", "20000", "20000", "100.00"},
        {"04", "3.01", "2.92", "97.00"},
        {"05", "1", "0.29", "29.00"},
    };
    Line(QStringLiteral("22-01"), QString(), 2, Currency());
    qint64 id = 300;
    for (const Case& c : cases) {
        const qint64 line = Line(QStringLiteral("22-01"), QLatin1String(c.art), 2, Money(c.credits), Day(1, 5));
        ++id;
        Expense(id, ExpenseKind::Invoice, line, Money(c.payments));
        Order(id, Day(3, 1), OrderStatus::Paid);
        OrderLine(id, 1, id, Money(c.payments));
    }
    DM->CommitWork();

    TfrmPaper::SetResponder([] { return 0; });
    TfrmSF window;
    window.show();
    window.cmbSection->setCurrentIndex(1);   // section 2
    window.edDateD->setText(DateText(Day(1, 1)));
    window.edDateF->setText(DateText(Day(3, 31)));
    window.btnDisplay->click();
    QueryTableModel* grid = window.model();
    ASSERT_EQ(grid->rowCount(), int(std::size(cases)) + 1);   // the chapter row first
    // 40 004.91 paid of 40 006.01.
    EXPECT_EQ(grid->displayText(0, 9), QStringLiteral("99.99"));
    EXPECT_EQ(window.lTaux->text(), QStringLiteral("99.99"));

    QStringList printed;
    EXPECT_TRUE(ReadNextPreview([&] { window.mnPrint->trigger(); },
                                [&](TfrmPreview& preview) {
                                    printed = preview.Pages()->page(0).textsOf(QStringLiteral("lLigTx"));
                                }));
    ASSERT_EQ(printed.size(), int(std::size(cases)));
    for (int i = 0; i < int(std::size(cases)); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.payments + std::string(" / ") + c.credits);
        EXPECT_EQ(grid->displayText(i + 1, 1), QLatin1String(c.art));
        EXPECT_EQ(grid->displayText(i + 1, 9), QLatin1String(c.rate));
        EXPECT_EQ(printed[i], QLatin1String(c.rate) + QStringLiteral(" %"));
        QString shown;
        window.model()->setCurrentRow(i + 1);
        OnNextModal([&](QDialog* d) {
            auto* dialog = qobject_cast<TfrmModifSF*>(d);
            ASSERT_NE(dialog, nullptr);
            shown = dialog->lTaux->text();
            dialog->btnClose->click();
        });
        window.mnModif->trigger();
        EXPECT_EQ(shown, QLatin1String(c.rate));
    }
    TfrmPaper::SetResponder({});
}

} // namespace

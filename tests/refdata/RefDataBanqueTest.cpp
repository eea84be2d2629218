// Banks: normalised saving, the usage refusal of both windows, the picker
// results and the record window's own close question and navigation.
#include "RefDataSupport.h"
#include "common/EventLoopWatch.h"

#include "refdata/UBanqueSQL.h"
#include "refdata/UListBanque.h"

#include <QToolButton>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

class BanqueTest : public RefDataTest {
protected:
    std::unique_ptr<TfrmListBanque> OpenList(bool select = false)
    {
        auto list = std::make_unique<TfrmListBanque>();
        list->SelectMode = select;
        list->show();
        return list;
    }
    static void WithRecord(TfrmListBanque& list, const std::function<void(TfrmBanqueSQL&)>& drive) { WithRecordOf(list, drive); }
    static void AddBank(const QString& rs, const QString& dim = QString())
    {
        Exec("INSERT INTO BANQUE (ID_BANQUE, RS, DIMINUTIF) VALUES (0, :RS, :D)", {{"RS", rs}, {"D", dim}});
    }
    static qint64 BankKey(const QString& rs)
    {
        return Int("SELECT ID_BANQUE FROM BANQUE WHERE RS=:RS", {{"RS", rs}});
    }
    static void UseBank(const QString& rs)
    {
        Exec("INSERT INTO BENEF (ID_BEN, TYPE_BEN, NOM, ID_BANQUE) VALUES (0, :SUPPLIER, 'X', :B)", {{"B", BankKey(rs)}});
    }
};

} // namespace

TEST_F(BanqueTest, SavesTheNameUpperCasedAndTrimmedWithItsQuotesAndTheNewBankBecomesCurrent)
{
    AddBank("CPA", "CPA");
    auto list = OpenList();
    EXPECT_EQ(list->stBar->Panel(1), FiscalYear);
    EXPECT_EQ(list->stBar->Panel(2), "1 Banque(s)");
    WithRecord(*list, [&](TfrmBanqueSQL& r) {
        EXPECT_EQ(r.windowTitle(), "Fiche banque");
        EXPECT_EQ(r.stBar->Panel(1), FiscalYear);
        r.btnAdd->click();
        r.edRs->setText(QStringLiteral("  banque de l'agriculture  "));
        TypeText(r.edDim, QStringLiteral("BADR-ALGER"));   // the control keeps 8 characters
        r.btnPost->click();
        EXPECT_EQ(r.edRs->text(), "BANQUE DE L'AGRICULTURE");
        EXPECT_EQ(CommittedRows("SELECT RS, DIMINUTIF, ID_USER FROM BANQUE ORDER BY RS"),
                  (QStringList{"BANQUE DE L'AGRICULTURE|BADR-ALG|TESTEUR", "CPA|CPA|"}));
        // The navigator moves from the new bank: "next" reaches CPA.
        r.btnNext->click();
        EXPECT_EQ(r.edRs->text(), "CPA");
        r.btnPrior->click();
        r.btnEdit->click();
        r.edDim->setText("BADR");
        r.btnPost->click();
        EXPECT_EQ(CommittedRows("SELECT RS, DIMINUTIF FROM BANQUE ORDER BY RS"),
                  (QStringList{"BANQUE DE L'AGRICULTURE|BADR", "CPA|CPA"}));
    });
}

TEST_F(BanqueTest, MissingNameIsRefusedWithAWarningOnTheNameField)
{
    auto list = OpenList();
    WithRecord(*list, [&](TfrmBanqueSQL& r) {
        r.btnAdd->click();
        r.edRs->setText("   ");
        r.edDim->setText("XX");
        r.btnPost->click();
        ASSERT_EQ(messages->calls().size(), 1);
        EXPECT_EQ(messages->calls()[0].text, "La Raison sociale de la banque est manquante !");
        EXPECT_EQ(messages->calls()[0].type, mtWarning);
        EXPECT_EQ(r.focusWidget(), r.edRs);
        EXPECT_EQ(r.Mode(), emInsert);
        r.btnCancel->click();
    });
    EXPECT_TRUE(Rows("SELECT * FROM BANQUE").isEmpty());
}

TEST_F(BanqueTest, BankUsedByABeneficiaryIsNeverDeletedFromEitherWindow)
{
    AddBank("BEA");
    AddBank("CPA");
    UseBank("BEA");
    const QString refusal = QStringLiteral("Cette Banque est affectée à un bénéficiaire !\rSuppression impossible.");
    auto list = OpenList();
    list->btnDelete->click();   // BEA, the first row
    EXPECT_EQ(messages->texts(), QStringList{refusal});
    WithRecord(*list, [&](TfrmBanqueSQL& r) {
        messages->clear();
        r.btnDelete->click();
        EXPECT_EQ(messages->texts(), QStringList{refusal});
        // An unused bank goes after Yes; the window then shows a bank that exists.
        r.btnNext->click();
        messages->clear();
        r.btnDelete->click();
        EXPECT_EQ(messages->texts(), QStringList{"Etes-vous sûr de vouloir supprimer cette banque ?"});
        EXPECT_EQ(r.edRs->text(), "BEA");
    });
    EXPECT_EQ(CommittedRows("SELECT RS FROM BANQUE"), QStringList{"BEA"});
    EXPECT_EQ(list->model()->current().asString("RS"), "BEA");
}

TEST_F(BanqueTest, PickerReturnsTheBankOrZero)
{
    AddBank("BNA");
    for (bool ok : {true, false}) {
        auto list = OpenList(true);
        EXPECT_TRUE(list->btnOk->isVisible());
        ok ? list->btnOk->click() : list->btnClose->click();
        EXPECT_EQ(list->IdBanque, ok ? BankKey("BNA") : 0);
        EXPECT_EQ(list->NomBanque, ok ? QString("BNA") : QString());
    }
}

TEST_F(BanqueTest, CloseQuestionYesSavesAndKeepsTheWindowOpen)
{
    AddBank("BNA");
    auto list = OpenList();
    WithRecord(*list, [&](TfrmBanqueSQL& r) {
        r.btnEdit->click();
        r.edRs->setText("bna alger");
        messages->answer(mrYes);
        r.btnClose->click();
        EXPECT_EQ(messages->texts(),
                  QStringList{"Les informations modifiées n'ont pas été enregistrées !\rVoulez-vous les enregistrer maintenant ?"});
        EXPECT_TRUE(r.isVisible());
        EXPECT_EQ(r.Mode(), emBrowse);
        EXPECT_EQ(CommittedRows("SELECT RS FROM BANQUE"), QStringList{"BNA ALGER"});
        r.btnClose->click();   // browse mode: no question
        EXPECT_FALSE(r.isVisible());
        EXPECT_EQ(messages->calls().size(), 1);
    });
}

TEST_F(BanqueTest, PopupKeysActFromTheEditsBecauseThePopupIsTheWindowsContextMenu)
{
    AddBank("BNA");
    auto list = OpenList();
    WithRecord(*list, [&](TfrmBanqueSQL& r) {
        r.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&r));
        QTest::keyClick(&r, Qt::Key_Insert);
        EXPECT_EQ(r.Mode(), emInsert);
        QTest::keyClicks(r.edRs, "CNEP");
        QTest::keyClick(r.edRs, Qt::Key_Z, Qt::ControlModifier);   // the window's Cancel, not the edit's undo
        EXPECT_EQ(r.Mode(), emBrowse);
        EXPECT_EQ(r.edRs->text(), "BNA");
        QTest::keyClick(&r, Qt::Key_F2);
        EXPECT_EQ(r.Mode(), emEdit);
        r.edDim->setFocus();
        QTest::keyClicks(r.edDim, "X");
        QTest::keyClick(r.edDim, Qt::Key_S, Qt::ControlModifier);
        EXPECT_EQ(r.Mode(), emBrowse);
        EXPECT_EQ(CommittedRows("SELECT RS, DIMINUTIF FROM BANQUE"), QStringList{"BNA|X"});
    });
}

// When the engine refuses the commit, the user is told, the entry stays on
// screen in its mode to be saved again, a deleted row stays shown, and the
// database is as it was.
TEST_F(BanqueTest, ARefusedCommitKeepsTheEntryAndTheRow)
{
    AddBank("BNA");
    DM->LURDO.executeScript(QStringLiteral(
        "CREATE EXCEPTION E_REFUSED 'refused';"
        "COMMIT;"
        "SET TERM ^ ;"
        "CREATE TRIGGER REFUSE_COMMIT ON TRANSACTION COMMIT AS BEGIN"
        "  IF (EXISTS(SELECT 1 FROM BANQUE WHERE RS='REFUSE') OR NOT EXISTS(SELECT 1 FROM BANQUE WHERE RS='BNA'))"
        "  THEN EXCEPTION E_REFUSED; END^"
        "SET TERM ; ^"
        "COMMIT;"));
    const QStringList notSaved{"Les informations n'ont pas été enregistrées ! Elles ont été restaurées."};
    auto list = OpenList();
    WithRecord(*list, [&](TfrmBanqueSQL& r) {
        r.btnEdit->click();
        r.edRs->setText("refuse");
        {
            TEventLoopWatch watch;
            r.btnPost->click();
            EXPECT_FALSE(watch.Ran());
        }
        EXPECT_EQ(messages->texts(), notSaved);
        EXPECT_EQ(r.Mode(), emEdit);
        EXPECT_EQ(r.stBar->Panel(3), "Edition");
        EXPECT_EQ(r.edRs->text(), "REFUSE");
        EXPECT_TRUE(r.btnPost->isEnabled());
        EXPECT_EQ(CommittedRows("SELECT RS FROM BANQUE"), QStringList{"BNA"});
        r.btnCancel->click();

        messages->clear();
        r.btnDelete->click();   // Yes, then the refusal
        EXPECT_EQ(messages->texts(), QStringList{"Etes-vous sûr de vouloir supprimer cette banque ?"} + notSaved);
        EXPECT_EQ(r.edRs->text(), "BNA");
        EXPECT_EQ(r.Mode(), emBrowse);
    });
    messages->clear();
    list->btnDelete->click();
    EXPECT_EQ(messages->texts(), QStringList{"Etes-vous sûr de vouloir supprimer cette banque ?"} + notSaved);
    EXPECT_EQ(list->model()->rowCount(), 1);
    EXPECT_EQ(list->model()->current().asString("RS"), "BNA");
    // The shared delete answers "not deleted".
    EXPECT_FALSE(DeleteBank(BankKey("BNA")));
    EXPECT_EQ(CommittedRows("SELECT RS FROM BANQUE"), QStringList{"BNA"});
}

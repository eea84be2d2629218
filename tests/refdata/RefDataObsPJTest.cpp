// Service observations and attachment labels: tables without a key, edited
// one row at a time; every change touches the one row meant and is committed,
// and never undoes another user's change of that row.
#include "RefDataSupport.h"

#include "refdata/UObs.h"
#include "refdata/UPJFile.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTableView>
#include <QTableWidget>

namespace {

class ObsTest : public RefDataTest {
protected:
    void SetUp() override
    {
        RefDataTest::SetUp();
        for (const char* chap : {"21-01", "21-01", "22-14", "23-05"})
            Exec("INSERT INTO FNM (ID_FNM, CHAP, ART, PAR, INTITULE, RECTORAT, SECTION) VALUES (0, :C, '', '', 'X', -1, 1)",
                 {{"C", QString(chap)}});
    }
    static void AddObs(const QString& chap, const QString& bp)
    {
        Exec("INSERT INTO OBS_SERVICE (CHAP, OBS_BP, OBS_BS, OBS_BS_N, OBS_VIR_E, OBS_VIR_D) VALUES (:C, :BP, 'BS', 'BSN', 'VE', 'VD')",
             {{"C", chap}, {"BP", bp}});
    }
    static QStringList Stored()
    {
        return CommittedRows("SELECT CHAP, OBS_BP, OBS_VIR_D FROM OBS_SERVICE ORDER BY CHAP, OBS_BP");
    }
    static QString Defaults(const QString& chap)
    {
        return chap + "|" + TfrmObs::DefaultTexts[0] + "|" + TfrmObs::DefaultTexts[4];
    }
    static void Choose(TfrmObs& w, int row) { w.grdChapters->selectRow(row); }
};

} // namespace

TEST_F(ObsTest, LookingAtAChapterStartsItsDefaultRowSavedWhenMovingOnOrClosing)
{
    auto w = std::make_unique<TfrmObs>();
    w->show();
    EXPECT_EQ(w->Mode(), emInsert);
    EXPECT_EQ(w->mmObsBS->toPlainText(), TfrmObs::DefaultTexts[1]);
    EXPECT_FALSE(w->btnEdit->isEnabled());
    EXPECT_FALSE(w->btnForAll->isEnabled());
    EXPECT_TRUE(w->btnPost->isEnabled());
    EXPECT_TRUE(Stored().isEmpty());
    w->mmObsBP->setPlainText(QStringLiteral("VISA N° 12 DU 05/01 « l'été »"));
    Choose(*w, 1);   // 22-14: the pending row of 21-01 is saved first
    EXPECT_EQ(Stored(), QStringList{QStringLiteral("21-01|VISA N° 12 DU 05/01 « l'été »|") + TfrmObs::DefaultTexts[4]});
    EXPECT_EQ(w->CurrentChapter(), "22-14");
    w->close();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(Stored().size(), 2);
    EXPECT_EQ(Stored().last(), Defaults("22-14"));
    EXPECT_TRUE(messages->calls().isEmpty());
}

TEST_F(ObsTest, EditChangesOnlyTheOneRowShown)
{
    AddObs("21-01", "A");
    AddObs("21-01", "A");   // two identical rows: only one may change
    AddObs("22-14", "A");
    auto w = std::make_unique<TfrmObs>();
    w->show();
    EXPECT_EQ(w->Mode(), emBrowse);
    EXPECT_TRUE(w->mmObsBP->isReadOnly());
    w->btnEdit->click();
    EXPECT_EQ(w->Mode(), emEdit);
    EXPECT_FALSE(w->mmObsBP->isReadOnly());
    w->mmObsBP->setPlainText("B");
    w->btnPost->click();
    EXPECT_EQ(Stored(), (QStringList{"21-01|A|VD", "21-01|B|VD", "22-14|A|VD"}));
    // Cancel puts the stored texts back.
    w->btnEdit->click();
    w->mmObsBP->setPlainText("C");
    w->btnCancel->click();
    EXPECT_EQ(w->mmObsBP->toPlainText(), "B");
    EXPECT_EQ(Stored(), (QStringList{"21-01|A|VD", "21-01|B|VD", "22-14|A|VD"}));
}

TEST_F(ObsTest, CancelledNewRowLeavesNothingToEditAndComesBackNextTime)
{
    auto w = std::make_unique<TfrmObs>();
    w->show();
    w->btnCancel->click();
    EXPECT_EQ(w->Mode(), emBrowse);
    EXPECT_FALSE(w->btnEdit->isEnabled());   // no other chapter's row can be edited in its place
    EXPECT_EQ(w->mmObsBP->toPlainText(), "");
    Choose(*w, 1);
    w->btnCancel->click();
    Choose(*w, 0);
    EXPECT_EQ(w->Mode(), emInsert);
    EXPECT_EQ(w->mmObsVAD->toPlainText(), TfrmObs::DefaultTexts[4]);
    w->btnCancel->click();
    w->close();
    EXPECT_TRUE(Stored().isEmpty());
}

TEST_F(ObsTest, ApplyToAllGivesEveryChapterTheTextsOfTheChapterShown)
{
    AddObs("21-01", "COMMUN");
    AddObs("23-05", "AUTRE");
    auto w = std::make_unique<TfrmObs>();
    w->show();
    ASSERT_EQ(w->CurrentChapter(), "21-01");
    messages->answer(mrNo);
    w->btnForAll->click();
    EXPECT_EQ(messages->texts(),
              QStringList{"Etes-vous sûr de vouloir appliquer ces observations de service à tous les chapitres ?"});
    EXPECT_EQ(Stored(), (QStringList{"21-01|COMMUN|VD", "23-05|AUTRE|VD"}));
    w->btnForAll->click();
    EXPECT_EQ(Stored(), (QStringList{"21-01|COMMUN|VD", "22-14|COMMUN|VD", "23-05|COMMUN|VD"}));
    EXPECT_EQ(w->CurrentChapter(), "21-01");
    EXPECT_EQ(w->Mode(), emBrowse);
    w->close();
    EXPECT_EQ(Stored().size(), 3);
}

TEST_F(ObsTest, WithoutChaptersNothingIsCreated)
{
    Exec("DELETE FROM FNM");
    auto w = std::make_unique<TfrmObs>();
    w->show();
    w->btnForAll->click();
    w->close();
    EXPECT_TRUE(Stored().isEmpty());
}

namespace {

class PJTest : public RefDataTest {
protected:
    static QStringList Stored() { return CommittedRows("SELECT NUM, LIBELLE FROM PJ ORDER BY NUM, LIBELLE"); }
    static QLineEdit* Editor(TfrmPJFile& w) { return w.grdPJ->viewport()->findChild<QLineEdit*>(); }
    static QStringList Enabled(const TfrmPJFile& w)
    {
        QStringList on;
        for (QPushButton* b : {w.btnAdd, w.btnEdit, w.btnDelete, w.btnPost, w.btnCancel})
            if (b->isEnabled())
                on << b->objectName();
        return on;
    }
};

} // namespace

TEST_F(PJTest, AddsEditsAndDeletesOneRowEachTimeAndCommits)
{
    Exec("INSERT INTO PJ (NUM, LIBELLE) VALUES (1, 'FACTURE')");
    Exec("INSERT INTO PJ (NUM, LIBELLE) VALUES (1, 'FACTURE')");
    auto w = std::make_unique<TfrmPJFile>();
    w->show();
    EXPECT_EQ(w->grdPJ->rowCount(), 2);
    EXPECT_EQ(Enabled(*w), (QStringList{"btnAdd", "btnEdit", "btnDelete"}));

    w->btnAdd->click();
    EXPECT_EQ(Enabled(*w), (QStringList{"btnPost", "btnCancel"}));
    ASSERT_NE(Editor(*w), nullptr);
    Editor(*w)->setText("2");
    const int added = w->grdPJ->currentRow();
    w->grdPJ->item(added, 1)->setText(QStringLiteral("Procès-verbal « RIB » d'été"));
    w->btnPost->click();
    EXPECT_EQ(w->Mode(), emBrowse);
    EXPECT_EQ(Stored(), (QStringList{"1|FACTURE", "1|FACTURE", QStringLiteral("2|Procès-verbal « RIB » d'été")}));

    // One of two identical rows is changed, then the other one deleted.
    w->grdPJ->setCurrentCell(added == 0 ? 1 : 0, 1);
    w->btnEdit->click();
    w->grdPJ->item(w->grdPJ->currentRow(), 1)->setText("FACTURE PROFORMA");
    w->btnPost->click();
    EXPECT_EQ(Stored(), (QStringList{"1|FACTURE", "1|FACTURE PROFORMA", QStringLiteral("2|Procès-verbal « RIB » d'été")}));
    for (int r = 0; r < w->grdPJ->rowCount(); ++r)
        if (w->grdPJ->item(r, 1)->text() == "FACTURE")
            w->grdPJ->setCurrentCell(r, 1);
    w->btnDelete->click();
    EXPECT_TRUE(messages->calls().isEmpty());
    EXPECT_EQ(Stored(), (QStringList{"1|FACTURE PROFORMA", QStringLiteral("2|Procès-verbal « RIB » d'été")}));
    EXPECT_EQ(w->grdPJ->rowCount(), 2);
}

TEST_F(PJTest, CancelDropsTheEntry)
{
    Exec("INSERT INTO PJ (NUM, LIBELLE) VALUES (3, 'DEVIS')");
    auto w = std::make_unique<TfrmPJFile>();
    w->show();
    w->btnEdit->click();
    w->grdPJ->item(0, 1)->setText("AUTRE");
    w->btnCancel->click();
    EXPECT_EQ(w->grdPJ->item(0, 1)->text(), "DEVIS");
    w->btnAdd->click();
    w->btnCancel->click();
    EXPECT_EQ(w->grdPJ->rowCount(), 1);
    EXPECT_EQ(Stored(), QStringList{"3|DEVIS"});
    // Without rows only Add is offered.
    w->btnDelete->click();
    EXPECT_EQ(Enabled(*w), QStringList{"btnAdd"});
}

// The number holds what its column holds: a digit that would pass 32 767 is
// refused as it is typed, so the save never meets the engine's range error.
TEST_F(PJTest, TheNumberKeepsWithinItsColumn)
{
    auto w = std::make_unique<TfrmPJFile>();
    w->show();
    w->btnAdd->click();
    ASSERT_NE(Editor(*w), nullptr);
    Editor(*w)->clear();
    QTest::keyClicks(Editor(*w), "99999");
    EXPECT_EQ(Editor(*w)->text(), "9999");
    QTest::keyClicks(Editor(*w), "x");
    EXPECT_EQ(Editor(*w)->text(), "9999");
    w->grdPJ->item(w->grdPJ->currentRow(), 1)->setText("DEVIS");
    w->btnPost->click();
    EXPECT_TRUE(messages->calls().isEmpty());
    EXPECT_EQ(Stored(), QStringList{"9999|DEVIS"});
}

// Two users on one year: what another connection commits after a window
// showed a row is never undone nor ignored by the window's save.
namespace {

class ObsPJTwoUsersTest : public RefDataTest {
protected:
    void SetUp() override
    {
        RefDataTest::SetUp();
        Exec("INSERT INTO FNM (ID_FNM, CHAP, ART, PAR, INTITULE, RECTORAT, SECTION) VALUES (0, '21-01', '', '', 'X', -1, 1)");
        Exec("INSERT INTO FNM (ID_FNM, CHAP, ART, PAR, INTITULE, RECTORAT, SECTION) VALUES (0, '22-14', '', '', 'X', -1, 1)");
        other.open(year->params());
    }
    void TearDown() override
    {
        other.close();
        RefDataTest::TearDown();
    }
    // What the other user runs; committed unless told otherwise.
    void OtherRuns(const QString& sql, bool commit = true)
    {
        db::Query q(other, sql);
        q.exec();
        if (commit)
            other.commit();
    }
    static QStringList StoredObs()
    {
        return CommittedRows("SELECT CHAP, OBS_BP FROM OBS_SERVICE ORDER BY CHAP, OBS_BP");
    }
    static QStringList StoredPJ() { return CommittedRows("SELECT NUM, LIBELLE FROM PJ ORDER BY NUM, LIBELLE"); }
    db::Connection other;
};

} // namespace

TEST_F(ObsPJTwoUsersTest, AnObservationSaveNeverUndoesAnotherUsersChange)
{
    Exec("INSERT INTO OBS_SERVICE (CHAP, OBS_BP, OBS_BS, OBS_BS_N, OBS_VIR_E, OBS_VIR_D) "
         "VALUES ('21-01', 'A', 'BS', 'BSN', 'VE', 'VD')");
    auto w = std::make_unique<TfrmObs>();
    w->show();
    ASSERT_EQ(w->Mode(), emBrowse);

    // B changes the texts A is editing: A's save is refused, B's kept, A's entry kept.
    w->btnEdit->click();
    w->mmObsBP->setPlainText("texte de A");
    OtherRuns("UPDATE OBS_SERVICE SET OBS_BP='texte de B' WHERE CHAP='21-01'");
    messages->answer(mrNo);
    w->btnPost->click();
    EXPECT_EQ(messages->texts(), QStringList{TEditorWindow::RowChangedQuestion});
    EXPECT_EQ(w->Mode(), emEdit);
    EXPECT_EQ(w->mmObsBP->toPlainText(), "texte de A");
    EXPECT_EQ(StoredObs(), QStringList{"21-01|texte de B"});

    // Moving to another chapter saves first: refused the same way, the grid stays.
    messages->clear();
    messages->answer(mrNo);
    w->grdChapters->selectRow(1);
    EXPECT_EQ(messages->texts(), QStringList{TEditorWindow::RowChangedQuestion});
    EXPECT_EQ(w->CurrentChapter(), "21-01");
    EXPECT_EQ(w->Mode(), emEdit);
    EXPECT_EQ(StoredObs(), QStringList{"21-01|texte de B"});

    // Yes: the stored texts are shown; A's next change goes through.
    messages->clear();
    messages->answer(mrYes);
    w->btnPost->click();
    EXPECT_EQ(w->Mode(), emBrowse);
    EXPECT_EQ(w->mmObsBP->toPlainText(), "texte de B");
    messages->clear();
    for (const char* text : {"texte de A", "texte de A, revu"}) {
        w->btnEdit->click();
        w->mmObsBP->setPlainText(text);
        w->btnPost->click();
        EXPECT_TRUE(messages->texts().isEmpty()) << messages->texts().join(" | ").toStdString();
        EXPECT_EQ(StoredObs(), QStringList{QStringLiteral("21-01|") + text});
    }

    // B's change still in progress: the engine's conflict, told in French.
    w->btnEdit->click();
    w->mmObsBP->setPlainText("pendant B");
    OtherRuns("UPDATE OBS_SERVICE SET OBS_BP='en cours' WHERE CHAP='21-01'", false);
    w->btnPost->click();
    ASSERT_EQ(messages->calls().size(), 1);
    EXPECT_TRUE(messages->calls().first().text.startsWith(
        QStringLiteral("Ces informations sont en cours de modification par un autre utilisateur")));
    EXPECT_EQ(w->Mode(), emEdit);
    other.rollback();

    // B deletes the row: A is told so.
    messages->clear();
    OtherRuns("DELETE FROM OBS_SERVICE");
    messages->answer(mrNo);
    w->btnPost->click();
    EXPECT_EQ(messages->texts(), QStringList{TEditorWindow::RowDeletedQuestion});
    EXPECT_TRUE(StoredObs().isEmpty());

    // B gives a chapter its row while A's new default row waits: A's is refused,
    // the chapter keeps one row, B's.
    messages->clear();
    messages->answer(mrYes);
    w->btnPost->click();
    ASSERT_EQ(w->Mode(), emInsert);   // the chapter has no row any more: its default row
    OtherRuns("INSERT INTO OBS_SERVICE (CHAP, OBS_BP, OBS_BS, OBS_BS_N, OBS_VIR_E, OBS_VIR_D) "
              "VALUES ('21-01', 'par B', 'BS', 'BSN', 'VE', 'VD')");
    messages->clear();
    messages->answer(mrYes);
    w->btnPost->click();
    EXPECT_EQ(messages->texts(), QStringList{TEditorWindow::RowChangedQuestion});
    EXPECT_EQ(StoredObs(), QStringList{"21-01|par B"});
    EXPECT_EQ(w->Mode(), emBrowse);
    EXPECT_EQ(w->mmObsBP->toPlainText(), "par B");
}

TEST_F(ObsPJTwoUsersTest, AnAttachmentLabelChangeOrDeletionNeverUndoesAnotherUsersChange)
{
    Exec("INSERT INTO PJ (NUM, LIBELLE) VALUES (1, 'FACTURE')");
    Exec("INSERT INTO PJ (NUM, LIBELLE) VALUES (2, 'DEVIS')");
    auto w = std::make_unique<TfrmPJFile>();
    w->show();
    ASSERT_EQ(w->grdPJ->rowCount(), 2);
    const auto rowOf = [&](const QString& label) {
        for (int r = 0; r < w->grdPJ->rowCount(); ++r)
            if (w->grdPJ->item(r, 1)->text() == label)
                return r;
        return -1;
    };

    // B renames the label A is editing: A's save is refused, B's kept.
    w->grdPJ->setCurrentCell(rowOf("FACTURE"), 1);
    w->btnEdit->click();
    w->grdPJ->item(rowOf("FACTURE"), 1)->setText("FACTURE DE A");
    OtherRuns("UPDATE PJ SET LIBELLE='FACTURE DE B' WHERE NUM=1");
    messages->answer(mrNo);
    w->btnPost->click();
    EXPECT_EQ(messages->texts(), QStringList{TEditorWindow::RowChangedQuestion});
    EXPECT_EQ(w->Mode(), emEdit);
    EXPECT_EQ(StoredPJ(), (QStringList{"1|FACTURE DE B", "2|DEVIS"}));
    messages->clear();
    messages->answer(mrYes);
    w->btnPost->click();
    EXPECT_EQ(w->Mode(), emBrowse);
    EXPECT_NE(rowOf("FACTURE DE B"), -1);

    // A's change now goes through, twice.
    messages->clear();
    for (const char* label : {"FACTURE DE A", "FACTURE DE A, revue"}) {
        w->grdPJ->setCurrentCell(w->grdPJ->item(0, 0)->text() == "1" ? 0 : 1, 1);
        w->btnEdit->click();
        w->grdPJ->item(w->grdPJ->currentRow(), 1)->setText(label);
        w->btnPost->click();
        EXPECT_TRUE(messages->texts().isEmpty()) << messages->texts().join(" | ").toStdString();
        EXPECT_EQ(StoredPJ(), (QStringList{QStringLiteral("1|") + label, "2|DEVIS"}));
    }

    // A deletes a label B changed meanwhile: refused, the row kept; then one B deleted.
    w->grdPJ->setCurrentCell(rowOf("DEVIS"), 1);
    OtherRuns("UPDATE PJ SET LIBELLE='DEVIS DE B' WHERE NUM=2");
    messages->answer(mrNo);
    w->btnDelete->click();
    EXPECT_EQ(messages->texts(), QStringList{TEditorWindow::RowChangedQuestion});
    EXPECT_EQ(StoredPJ(), (QStringList{"1|FACTURE DE A, revue", "2|DEVIS DE B"}));
    EXPECT_EQ(w->grdPJ->rowCount(), 2);

    messages->clear();
    w->grdPJ->setCurrentCell(rowOf("FACTURE DE A, revue"), 1);
    OtherRuns("DELETE FROM PJ WHERE NUM=1");
    messages->answer(mrYes);
    w->btnDelete->click();
    EXPECT_EQ(messages->texts(), QStringList{TEditorWindow::RowDeletedQuestion});
    EXPECT_EQ(StoredPJ(), QStringList{"2|DEVIS DE B"});
    // Shown again as stored.
    ASSERT_EQ(w->grdPJ->rowCount(), 1);
    EXPECT_EQ(w->grdPJ->item(0, 1)->text(), "DEVIS DE B");
}

// The list-and-record pattern, through the code-table pair: the list and its
// picker results, the record window's modes and enabling, saving, the close
// questions, Esc, deleting, the write right and database errors.
#include "RefDataSupport.h"

#include "refdata/UListTable.h"
#include "refdata/UTableSQL.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

namespace {

class CodeTableTest : public RefDataTest {
protected:
    // A list window shown (not modal) on `table`.
    std::unique_ptr<TfrmListTable> OpenList(const QString& table, const QString& key, const QString& caption,
                                            const QString& item = QString(), bool select = false, qint64 id = 0)
    {
        auto list = std::make_unique<TfrmListTable>();
        list->CodeTable = table;
        list->KeyField = key;
        list->FormCaption = caption;
        list->ObjectName = item;
        list->SelectMode = select;
        list->IdTable = id;
        list->show();
        return list;
    }

    static void WithRecord(TfrmListTable& list, const std::function<void(TfrmTable&)>& drive) { WithRecordOf(list, drive); }

    static QStringList Enabled(const TfrmTable& r)
    {
        QStringList on;
        for (QPushButton* b : {r.btnAdd, r.btnEdit, r.btnPost, r.btnCancel, r.btnClose})
            if (b->isEnabled())
                on << b->objectName();
        for (QAction* a : {r.mnAdd, r.mnEdit, r.mnPost, r.mnCancel})
            if (a->isEnabled())
                on << a->objectName();
        if (r.pnlMain->isEnabled())
            on << QStringLiteral("pnlMain");
        return on;
    }

    static void AddGrades(const QStringList& labels)
    {
        for (const QString& l : labels)
            Exec(QStringLiteral("INSERT INTO GRADE (ID_GRADE, LIBELLE) VALUES (0, :L)"), {{"L", l}});
    }
    static qint64 GradeKey(const QString& label)
    {
        return Int(QStringLiteral("SELECT ID_GRADE FROM GRADE WHERE LIBELLE=:L"), {{"L", label}});
    }
};

} // namespace

TEST_F(CodeTableTest, ListShowsLabelsInOrderStartsOnTheGivenKeyAndReturnsThePickerResult)
{
    AddGrades({"MAITRE ASSISTANT", "ADJOINT", "PROFESSEUR"});
    struct Case {
        const char* name;
        std::function<void(TfrmListTable&)> close;
        bool chosen;
    };
    const Case cases[] = {
        {"OK button", [](TfrmListTable& l) { l.btnOk->click(); }, true},
        {"double-click", [](TfrmListTable& l) { emit l.grdTable->doubleClicked(l.grdTable->currentIndex()); }, true},
        {"Enter", [](TfrmListTable& l) { PressKey(l.grdTable, Qt::Key_Return); }, true},
        {"Close", [](TfrmListTable& l) { l.btnClose->click(); }, false},
        {"Esc", [](TfrmListTable& l) { PressKey(l.grdTable, Qt::Key_Escape); }, false},
    };
    for (const Case& c : cases) {
        auto list = OpenList("GRADE", "ID_GRADE", "Grades", "mnGrades", true, GradeKey("PROFESSEUR"));
        EXPECT_EQ(list->windowTitle(), "Grades");
        EXPECT_TRUE(list->btnOk->isVisible());
        EXPECT_EQ(list->stBar->Panel(0), "TESTEUR");
        EXPECT_EQ(list->stBar->Panel(2), "3 Elément(s)");
        QStringList shown;
        for (int r = 0; r < list->model()->rowCount(); ++r)
            shown << list->model()->displayText(r, 0);
        EXPECT_EQ(shown, (QStringList{"ADJOINT", "MAITRE ASSISTANT", "PROFESSEUR"}));
        EXPECT_EQ(list->grdTable->currentIndex().row(), 2) << c.name;
        c.close(*list);
        EXPECT_FALSE(list->isVisible()) << c.name;
        EXPECT_EQ(list->IdTable, c.chosen ? GradeKey("PROFESSEUR") : -1) << c.name;
        EXPECT_EQ(list->Libelle, c.chosen ? QString("PROFESSEUR") : QString()) << c.name;
    }
    // Without IdTable the first row in label order is current; outside pick mode OK is hidden.
    auto list = OpenList("GRADE", "ID_GRADE", "Grades");
    EXPECT_EQ(list->model()->current().asString("LIBELLE"), "ADJOINT");
    EXPECT_FALSE(list->btnOk->isVisible());
}

TEST_F(CodeTableTest, RecordModesFollowTheEnablingTable)
{
    Exec("INSERT INTO FRET (ID_RETENUE, LIBELLE) VALUES (0, 'IRG')");
    const QColor savedInactive = PanelColorInactive;
    PanelColorInactive = QColor(0xD4, 0xD0, 0xC8);
    auto list = OpenList("FRET", "ID_RETENUE", "Retenues", "mnRetenues");
    WithRecord(*list, [](TfrmTable& r) {
        EXPECT_EQ(r.windowTitle(), "Fiche Retenues");
        EXPECT_EQ(r.edLib->text(), "IRG");
        const QStringList browse = {"btnAdd", "btnEdit", "btnClose", "mnAdd", "mnEdit"};
        const QStringList editing = {"btnPost", "btnCancel", "btnClose", "mnPost", "mnCancel", "pnlMain"};
        struct Step {
            QPushButton* button;
            QStringList enabled;
            const char* panel;
        };
        const Step steps[] = {
            {nullptr, browse, "Affichage"},
            {r.btnAdd, editing, "Insertion"},
            {r.btnCancel, browse, "Affichage"},
            {r.btnEdit, editing, "Edition"},
            {r.btnCancel, browse, "Affichage"},
        };
        for (const Step& s : steps) {
            if (s.button)
                s.button->click();
            EXPECT_EQ(Enabled(r), s.enabled) << s.panel;
            EXPECT_EQ(r.stBar->Panel(3), s.panel);
            EXPECT_EQ(r.pnlMain->palette().color(QPalette::Window),
                      r.Mode() == emBrowse ? PanelColorInactive : PanelColorActive);
        }
        EXPECT_EQ(r.edLib->text(), "IRG");   // Cancel reloaded the row
    });
    PanelColorInactive = savedInactive;
}

TEST_F(CodeTableTest, EmptyTableShowsZeroDisablesDeleteAndTheRecordOffersOnlyAdd)
{
    auto list = OpenList("FWIL", "ID_WIL", "Wilayas", "mnWilaya");
    EXPECT_EQ(list->stBar->Panel(2), "0 Elément(s)");
    EXPECT_FALSE(list->btnDelete->isEnabled());
    EXPECT_FALSE(list->mnDelete->isEnabled());
    EXPECT_TRUE(list->btnModif->isEnabled());
    WithRecord(*list, [](TfrmTable& r) {
        EXPECT_EQ(Enabled(r), (QStringList{"btnAdd", "btnClose", "mnAdd"}));
        EXPECT_EQ(r.edLib->text(), "");
    });
}

TEST_F(CodeTableTest, SavesTheLabelNormalisedAndAfterAnInsertEditChangesTheNewRow)
{
    AddGrades({"EXISTANT"});
    auto list = OpenList("GRADE", "ID_GRADE", "Grades", "mnGrades");
    WithRecord(*list, [&](TfrmTable& r) {
        r.btnAdd->click();
        EXPECT_EQ(r.edLib->text(), "");
        // Typed in lower case with quotes and accents: upper-cased as typed; the
        // control takes 40 characters at most, the save trims them.
        TypeText(r.edLib, QStringLiteral("  l'agent d'été à \"l'école\" de la wilaya numéro un"));
        EXPECT_EQ(r.edLib->text().size(), 40);
        r.btnPost->click();
        EXPECT_EQ(r.Mode(), emBrowse);
        const QString saved = QStringLiteral("L'AGENT D'ÉTÉ À \"L'ÉCOLE\" DE LA WILAYA");
        EXPECT_EQ(r.edLib->text(), saved);
        EXPECT_EQ(CommittedRows("SELECT LIBELLE FROM GRADE ORDER BY ID_GRADE"), (QStringList{"EXISTANT", saved}));
        // The new row is the current one: Edit and Save change it, not the row shown before.
        r.btnEdit->click();
        r.edLib->setText(QStringLiteral("  chargé de cours "));
        r.btnPost->click();
        EXPECT_EQ(CommittedRows("SELECT LIBELLE FROM GRADE ORDER BY ID_GRADE"),
                  (QStringList{"EXISTANT", QStringLiteral("CHARGÉ DE COURS")}));
    });
    // Back in the list the rows are read again and the remembered row is current.
    EXPECT_EQ(list->model()->rowCount(), 2);
    EXPECT_EQ(list->model()->current().asString("LIBELLE"), "EXISTANT");
}

TEST_F(CodeTableTest, BlankLabelIsRefusedAndTheEntryStays)
{
    auto list = OpenList("AGENCE", "ID_AGENCE", "Agences bancaires", "mnAgence");
    WithRecord(*list, [&](TfrmTable& r) {
        r.btnAdd->click();
        r.edLib->setText(QStringLiteral("    "));
        r.btnPost->click();
        ASSERT_EQ(messages->calls().size(), 1);
        EXPECT_EQ(messages->calls()[0].text, "Le libellé est obligatoire !");
        EXPECT_EQ(messages->calls()[0].type, mtInformation);
        EXPECT_EQ(r.Mode(), emInsert);
        EXPECT_EQ(r.focusWidget(), r.edLib);
    });
    EXPECT_TRUE(Rows("SELECT * FROM AGENCE").isEmpty());
}

TEST_F(CodeTableTest, ClosingWithAnEntryAsksWhetherToSave)
{
    struct Case {
        const char* name;
        int answer;
        const char* typed;
        bool open;
        TEditMode mode;
        QStringList rows;
        int messages;
    };
    const Case cases[] = {
        {"Cancel stays in insert mode", mrCancel, "BAB EZZOUAR", true, emInsert, {}, 1},
        {"No closes without saving", mrNo, "BAB EZZOUAR", false, emBrowse, {}, 1},
        {"Yes saves then closes", mrYes, "BAB EZZOUAR", false, emBrowse, {"BAB EZZOUAR"}, 1},
        {"Yes with a refused save stays open", mrYes, "  ", true, emInsert, {}, 2},
    };
    for (const Case& c : cases) {
        Exec("DELETE FROM AGENCE");
        messages->clear();
        auto list = OpenList("AGENCE", "ID_AGENCE", "Agences bancaires");
        WithRecord(*list, [&](TfrmTable& r) {
            r.btnAdd->click();
            r.edLib->setText(QString::fromUtf8(c.typed));
            messages->answer(c.answer);
            r.btnClose->click();
            EXPECT_EQ(r.isVisible(), c.open) << c.name;
            EXPECT_EQ(r.Mode(), c.mode) << c.name;
            ASSERT_EQ(messages->calls().size(), c.messages) << c.name;
            EXPECT_EQ(messages->calls()[0].text, "Voulez-vous enregistrer les modifications apportées à cet élément ?");
            EXPECT_EQ(messages->calls()[0].buttons, MsgButton::Yes | MsgButton::No | MsgButton::Cancel);
            EXPECT_EQ(CommittedRows("SELECT LIBELLE FROM AGENCE"), c.rows) << c.name;
            if (r.isVisible())
                r.btnCancel->click();   // browse mode closes without a question
        });
    }
}

TEST_F(CodeTableTest, EscCancelsTheEntryThenClosesTheWindow)
{
    AddGrades({"ADJOINT"});
    auto list = OpenList("GRADE", "ID_GRADE", "Grades");
    WithRecord(*list, [&](TfrmTable& r) {
        r.btnEdit->click();
        r.edLib->setText("AUTRE");
        PressKey(r.edLib, Qt::Key_Escape);
        EXPECT_EQ(r.Mode(), emBrowse);
        EXPECT_EQ(r.edLib->text(), "ADJOINT");
        EXPECT_TRUE(r.isVisible());
        PressKey(r.edLib, Qt::Key_Escape);
        EXPECT_FALSE(r.isVisible());
        EXPECT_TRUE(messages->calls().isEmpty());
    });
}

TEST_F(CodeTableTest, DeleteAsksThenDeletesAndCommits)
{
    AddGrades({"A", "B", "C"});
    auto list = OpenList("GRADE", "ID_GRADE", "Grades", "mnGrades", false, GradeKey("B"));
    messages->answer(mrNo);
    list->btnDelete->click();
    EXPECT_EQ(messages->texts(), QStringList{"Etes-vous sûr de vouloir supprimer cet enregistrement ?"});
    EXPECT_EQ(messages->calls()[0].type, mtConfirmation);
    EXPECT_EQ(CommittedRows("SELECT LIBELLE FROM GRADE ORDER BY LIBELLE"), (QStringList{"A", "B", "C"}));
    list->model()->locate({db::Value(GradeKey("B"))});
    messages->answer(mrYes);
    list->btnDelete->click();
    EXPECT_EQ(CommittedRows("SELECT LIBELLE FROM GRADE ORDER BY LIBELLE"), (QStringList{"A", "C"}));
    EXPECT_EQ(list->model()->rowCount(), 2);
    EXPECT_EQ(list->model()->current().asString("LIBELLE"), "A");
}

// A row another user deleted since the list showed it: deleting it says so,
// and no success is reported for a write that touched nothing.
TEST_F(CodeTableTest, DeletingARowAnotherUserDeletedSaysSo)
{
    AddGrades({"A", "B"});
    auto list = OpenList("GRADE", "ID_GRADE", "Grades", "mnGrades", false, GradeKey("B"));
    db::Connection other;
    other.open(year->params());
    db::Query gone(other, QStringLiteral("DELETE FROM GRADE WHERE LIBELLE='B'"));
    gone.exec();
    other.commit();
    other.close();
    messages->answer(mrYes);
    list->btnDelete->click();
    ASSERT_EQ(messages->calls().size(), 2);
    EXPECT_TRUE(messages->calls()[1].standard);
    EXPECT_EQ(messages->calls()[1].text, QStringLiteral("Ces informations ont été supprimées par un autre utilisateur "
                                                        "depuis leur affichage : rien n'a été enregistré."));
    EXPECT_FALSE(DM->LURDO.inTransaction());
    EXPECT_EQ(CommittedRows("SELECT LIBELLE FROM GRADE ORDER BY LIBELLE"), QStringList{"A"});
}

TEST_F(CodeTableTest, WithoutTheWriteRightEveryWriteIsRefused)
{
    AddGrades({"ADJOINT"});
    ReadOnlyRight("mnGrades");
    const QString refusal = QStringLiteral("Alerte de sécurité : Ecriture non autorisée !");
    auto list = OpenList("GRADE", "ID_GRADE", "Grades", "mnGrades");
    list->btnDelete->click();
    EXPECT_EQ(messages->texts(), QStringList{refusal});
    WithRecord(*list, [&](TfrmTable& r) {
        for (QPushButton* b : {r.btnAdd, r.btnEdit}) {
            messages->clear();
            b->click();
            EXPECT_EQ(messages->texts(), QStringList{refusal});
            EXPECT_EQ(r.Mode(), emBrowse);
        }
    });
    EXPECT_EQ(CommittedRows("SELECT LIBELLE FROM GRADE"), QStringList{"ADJOINT"});
    // The same table opened without a menu item name may be written (the beneficiary record's way).
    messages->clear();
    auto free = OpenList("GRADE", "ID_GRADE", "Grades");
    WithRecord(*free, [&](TfrmTable& r) {
        r.btnEdit->click();
        EXPECT_EQ(r.Mode(), emEdit);
        r.btnCancel->click();
    });
    EXPECT_TRUE(messages->calls().isEmpty());
}

TEST_F(CodeTableTest, DatabaseErrorIsShownAndNothingIsWritten)
{
    AddGrades({"ADJOINT"});
    DM->LURDO.execute("CREATE EXCEPTION E_REFUS 'mise a jour refusee'");
    DM->LURDO.execute("CREATE TRIGGER GRADE_REFUS FOR GRADE BEFORE UPDATE AS BEGIN EXCEPTION E_REFUS; END");
    DM->LURDO.commit();
    auto list = OpenList("GRADE", "ID_GRADE", "Grades");
    WithRecord(*list, [&](TfrmTable& r) {
        r.btnEdit->click();
        r.edLib->setText("PROFESSEUR");
        r.btnPost->click();
        ASSERT_EQ(messages->calls().size(), 1);
        EXPECT_TRUE(messages->calls()[0].standard);
        EXPECT_TRUE(messages->calls()[0].text.contains("mise a jour refusee")) << messages->calls()[0].text.toStdString();
        EXPECT_EQ(r.Mode(), emEdit);
        r.btnCancel->click();
    });
    EXPECT_EQ(CommittedRows("SELECT LIBELLE FROM GRADE"), QStringList{"ADJOINT"});
}

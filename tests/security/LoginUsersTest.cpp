// The user form and the user list.
#include "LoginFixture.h"

#include "core/MessageBox.h"
#include "ui/QueryTableModel.h"
#include "security/Rights.h"
#include "security/UListUsers.h"
#include "security/UUsers.h"
#include "ui/ListRecordPattern.h"
#include "common/MessageRecorder.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include "core/Guard.h"

namespace {

void Type(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

QString UserRow(int id)
{
    db::Query q(DM->LURDO, QStringLiteral("SELECT NOM || '|' || PRENOM || '|' || USER_ID || '|' || PW || '|' || "
                                          "COALESCE(CAST(TYPE_USER AS VARCHAR(5)), 'null') || '|' || "
                                          "COALESCE(CAST(ACCESS AS VARCHAR(5)), 'null') AS V FROM T_USERS "
                                          "WHERE ID_USER=:ID"));
    q.setParam(QStringLiteral("ID"), id);
    q.open();
    return q.isEmpty() ? QStringLiteral("<none>") : q.asString(QStringLiteral("V"));
}

} // namespace

class LoginUsersTest : public LoginTest {
protected:
    void SetUp() override
    {
        LoginTest::SetUp();
        zed = AddUser("ZED", "zz", 1, "ZOLA", "EMILE");
        ali = AddUser("ALI", "Secret", 1, "BENALI", "ALI");
        LogOut();
        IsBuiltInManager = true;
    }
    int zed = 0, ali = 0;
};

TEST_F(LoginUsersTest, FormOpensOnTheGivenUserOrTheFirstInNameOrder)
{
    for (const auto& [id, shown] : {std::pair<int, const char*>{-1, "BENALI"}, {999, "BENALI"}, {zed, "ZOLA"}}) {
        TfrmUsers form;
        form.IdUser = id;
        form.show();
        EXPECT_EQ(form.edNom->text(), shown);
        EXPECT_EQ(form.Mode(), emBrowse);
        EXPECT_EQ(form.stBar->Panel(3), "Affichage");
        EXPECT_EQ(form.stBar->Panel(0), CurrentUserCode);
        EXPECT_FALSE(form.pnlMain->isEnabled());
        EXPECT_TRUE(form.btnAdd->isEnabled());
        EXPECT_FALSE(form.btnPost->isEnabled());
    }
    TfrmUsers form;
    form.show();
    form.btnLast->click();
    EXPECT_EQ(form.edUser->text(), "ZED");
    form.btnPrior->click();
    EXPECT_EQ(form.edUser->text(), "ALI");
    EXPECT_EQ(form.cmbTypeUser->currentText(), "SIMPLE USER");
}

TEST_F(LoginUsersTest, NewUserIsStoredTrimmedInUpperCaseWithoutAccessLevel)
{
    MessageRecorder messages;
    TfrmUsers form;
    form.show();
    form.btnAdd->click();
    EXPECT_EQ(form.Mode(), emInsert);
    EXPECT_EQ(form.stBar->Panel(3), "Insertion");
    EXPECT_TRUE(form.pnlMain->isEnabled());
    EXPECT_FALSE(form.btnAdd->isEnabled());
    EXPECT_TRUE(form.edNom->text().isEmpty());
    EXPECT_EQ(form.cmbTypeUser->currentIndex(), -1);
    Type(form.edNom, "  d'arc ");
    Type(form.edPrenom, "jeanne");
    Type(form.edUser, " jda");
    Type(form.edPW, "pucelle");
    EXPECT_EQ(form.edUser->text(), " JDA");   // upper case as typed
    form.cmbTypeUser->setCurrentIndex(0);
    form.btnPost->click();
    EXPECT_TRUE(messages.calls().isEmpty()) << messages.texts().join("|").toStdString();
    EXPECT_EQ(form.Mode(), emBrowse);
    const int id = form.CurrentId();
    EXPECT_EQ(UserRow(id), "D'ARC|JEANNE|JDA|PUCELLE|0|null");
    EXPECT_EQ(form.edUser->text(), "JDA");

    // Its access level reads as 0 after login.
    LogOut();
    ASSERT_TRUE(CheckLogin("JDA", "PUCELLE"));
    EXPECT_EQ(CurrentUserAccess, 0);
}

TEST_F(LoginUsersTest, SaveChecksInOrderAndWritesNothingOnRefusal)
{
    const struct { const char* nom; const char* code; int type; const char* message; QLineEdit* TfrmUsers::*field; } cases[] = {
        {"  ", "NEW", 1, "Le Nom de l'utilisateur est manquant !", &TfrmUsers::edNom},
        {"X", "   ", 1, "Le Code Utilisateur est manquant !", &TfrmUsers::edUser},
        {"X", "ALI", 1, "Ce Code Utilisateur existe déjà !", &TfrmUsers::edUser},
        {"X", "  ALI ", 1, "Ce Code Utilisateur existe déjà !", &TfrmUsers::edUser},
        {"X", "NEW", -1, "Le type d'Utilisateur est manquant !", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        MessageRecorder messages;
        TfrmUsers form;
        form.show();
        form.activateWindow();
        form.btnAdd->click();
        Type(form.edNom, c.nom);
        Type(form.edUser, c.code);
        form.cmbTypeUser->setCurrentIndex(c.type);
        form.btnPost->click();
        EXPECT_EQ(messages.texts(), QStringList{c.message});
        EXPECT_EQ(form.Mode(), emInsert);
        if (c.field) {
            EXPECT_EQ(form.focusWidget(), form.*c.field);
        }
        EXPECT_EQ(Scalar("SELECT COUNT(*) AS V FROM T_USERS"), "2");
    }
}

TEST_F(LoginUsersTest, EditKeepsAnUntouchedPasswordAndItsOwnCode)
{
    // A password set in the password change keeps its case.
    db::Query pw(DM->LURDO, QStringLiteral("UPDATE T_USERS SET PW='miXed' WHERE ID_USER=:ID"));
    pw.setParam("ID", ali);
    pw.exec();
    ASSERT_TRUE(DM->CommitWork());

    MessageRecorder messages;
    TfrmUsers form;
    form.IdUser = ali;
    form.show();
    form.btnEdit->click();
    EXPECT_EQ(form.stBar->Panel(3), "Edition");
    Type(form.edPrenom, "alain");
    form.btnPost->click();
    EXPECT_TRUE(messages.calls().isEmpty());
    EXPECT_EQ(UserRow(ali), "BENALI|ALAIN|ALI|miXed|1|null");
    LogOut();
    EXPECT_TRUE(CheckLogin("ALI", "miXed"));
    LogOut();
    IsBuiltInManager = true;

    // Changing the password field writes it, upper-cased; another user's code is refused.
    form.btnEdit->click();
    Type(form.edPW, "new");
    form.btnPost->click();
    EXPECT_EQ(UserRow(ali), "BENALI|ALAIN|ALI|NEW|1|null");
    form.btnEdit->click();
    Type(form.edUser, "ZED");
    form.btnPost->click();
    EXPECT_EQ(messages.texts(), QStringList{"Ce Code Utilisateur existe déjà !"});
    form.btnCancel->click();
    EXPECT_EQ(form.edUser->text(), "ALI");
    EXPECT_EQ(form.Mode(), emBrowse);
}

TEST_F(LoginUsersTest, ClosingWhileEditingAsks)
{
    const QString question = QStringLiteral("Voulez-vous enregistrer les modifications apportées à l'utilisateur ?");
    const struct { int answer; bool open; const char* stored; } cases[] = {
        {mrCancel, true, "BENALI"},
        {mrNo, false, "BENALI"},
        {mrYes, false, "BENALIX"},
    };
    for (const auto& c : cases) {
        MessageRecorder messages;
        messages.answer(c.answer);
        TfrmUsers form;
        form.IdUser = ali;
        form.show();
        form.btnEdit->click();
        Type(form.edNom, "BENALIX");
        form.btnClose->click();
        EXPECT_EQ(messages.texts(), QStringList{question});
        EXPECT_EQ(messages.calls()[0].type, mtWarning);
        EXPECT_EQ(form.isVisible(), c.open);
        if (c.open) {
            EXPECT_EQ(form.edNom->text(), "BENALIX");
            EXPECT_EQ(form.Mode(), emEdit);
        }
        EXPECT_EQ(UserRow(ali).section('|', 0, 0), c.stored);
    }
    // Esc cancels an edit first, then closes.
    MessageRecorder messages;
    TfrmUsers form;
    form.show();
    form.btnEdit->click();
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.Mode(), emBrowse);
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(messages.calls().isEmpty());
}

TEST_F(LoginUsersTest, DeleteRemovesTheRightsRowsThenTheUser)
{
    AddRight(ali, "MNBENEF", 1);
    AddRight(zed, "MNBENEF", 1);
    MessageRecorder messages;
    messages.answer(mrNo);
    TfrmUsers form;
    form.IdUser = ali;
    form.show();
    form.btnDelete->click();
    EXPECT_NE(UserRow(ali), "<none>");
    form.btnDelete->click();
    EXPECT_EQ(messages.texts(), QStringList(2, "Etes-vous sûr de vouloir supprimer cet enregistrement ?"));
    EXPECT_EQ(UserRow(ali), "<none>");
    EXPECT_TRUE(Rights(ali, "MNBENEF").isEmpty());
    EXPECT_EQ(Rights(zed, "MNBENEF"), QList<int>{1});
    EXPECT_EQ(form.edUser->text(), "ZED");
}

TEST_F(LoginUsersTest, WithoutTheWriteRightNothingIsWritten)
{
    AddRight(ali, "MNUSERS", 1);
    LogInAs(ali, "ALI");
    MessageRecorder messages;
    TfrmUsers form;
    form.show();
    EXPECT_FALSE(form.btnAdd->isEnabled());
    EXPECT_FALSE(form.btnEdit->isEnabled());
    EXPECT_FALSE(form.btnDelete->isEnabled());
    EXPECT_THROW(form.btnAddClick(), EAbort);
    EXPECT_THROW(form.btnDeleteClick(), EAbort);
    EXPECT_EQ(messages.texts(), QStringList(2, "Alerte de sécurité : Ecriture non autorisée !"));
    EXPECT_EQ(form.Mode(), emBrowse);
    EXPECT_NE(UserRow(zed), "<none>");
}

TEST_F(LoginUsersTest, ListShowsTheUsersAndDeletes)
{
    AddRight(zed, "MNBENEF", 1);
    MessageRecorder messages;
    TfrmListUsers list;
    list.show();
    QueryTableModel* model = list.Model();
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), "Code Utilisateur");
    EXPECT_EQ(model->displayText(0, 0) + "/" + model->displayText(1, 2), "BENALI/ZED");
    EXPECT_EQ(model->data(model->index(1, 0), Qt::BackgroundRole).value<QColor>(), QColor(0xF5, 0xF5, 0xF5));
    EXPECT_EQ(list.stBar->Panel(1), FiscalYear);
    EXPECT_TRUE(list.btnDelete->isEnabled());

    model->setCurrentRow(1);
    list.btnDelete->click();
    EXPECT_EQ(messages.texts(), QStringList{"Etes-vous sûr de vouloir supprimer cet enregistrement ?"});
    EXPECT_EQ(UserRow(zed), "<none>");
    EXPECT_TRUE(Rights(zed, "MNBENEF").isEmpty());
    EXPECT_EQ(model->rowCount(), 1);
}

TEST_F(LoginUsersTest, ListOpensTheFormOnTheCurrentUserAndComesBackToIt)
{
    TfrmListUsers list;
    list.show();
    list.Model()->setCurrentRow(1);   // ZOLA
    QString seen;
    WhenModal<TfrmUsers>([&](TfrmUsers* form) {
        seen = form->edNom->text();
        form->btnEdit->click();
        Type(form->edNom, "AAZOLA");   // now first in name order
        form->btnPost->click();
        form->btnClose->click();
    });
    const QPoint at = list.grdUsers->visualRect(list.Model()->index(1, 0)).center();
    QTest::mouseClick(list.grdUsers->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(list.grdUsers->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(seen, "ZOLA");
    EXPECT_EQ(list.Model()->currentRow(), 0);
    EXPECT_EQ(list.Model()->current().asString("NOM"), "AAZOLA");
}

TEST_F(LoginUsersTest, ListWithoutTheWriteRightRefuses)
{
    AddRight(ali, "MNUSERS", 1);
    LogInAs(ali, "ALI");
    MessageRecorder messages;
    TfrmListUsers list;
    list.show();
    EXPECT_FALSE(list.btnDelete->isEnabled());
    list.btnModif->click();
    EXPECT_EQ(messages.texts(), QStringList{"Alerte de sécurité : Ecriture non autorisée !"});
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(LoginUsersTest, ARefusedDeleteLeavesTheRightsRowsInPlace)
{
    // The engine refuses the second statement of the delete: the first one
    // must not stay behind to be committed by the next write.
    DM->LURDO.executeScript(QStringLiteral(
        "CREATE EXCEPTION E_KEEP_USER 'refused';\n"
        "SET TERM ^ ;\n"
        "CREATE TRIGGER T_USERS_KEEP FOR T_USERS BEFORE DELETE AS BEGIN EXCEPTION E_KEEP_USER; END^\n"
        "SET TERM ; ^\n"));
    DM->LURDO.commit();
    AddRight(ali, "MNBENEF", 1);

    MessageRecorder messages;
    TfrmListUsers list;
    list.show();
    list.btnDelete->click();   // BENALI, the first row
    ASSERT_EQ(messages.calls().size(), 2);
    EXPECT_TRUE(messages.calls()[1].standard);   // the engine's refusal in the standard error box
    EXPECT_TRUE(DM->CommitWork());
    EXPECT_EQ(Rights(ali, "MNBENEF"), QList<int>{1});
    EXPECT_NE(UserRow(ali), "<none>");
}

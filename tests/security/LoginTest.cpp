// The login dialog, the login check with its built-in accounts, and the
// password change.
#include "LoginFixture.h"

#include "core/MessageBox.h"
#include "common/MessageRecorder.h"

#include <QCoreApplication>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

const QString kWrongCombination = QStringLiteral("Combinaison Utilisateur et Mot de Passe incorrecte !");

void Type(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    edit->del();
    QTest::keyClicks(edit, text);
}

} // namespace

TEST_F(LoginTest, CheckLoginAcceptsOnlyExactCombinationsAndTouchesTheUserOnlyOnSuccess)
{
    const int manager = AddUser(QStringLiteral("MANAGER"), QStringLiteral("other"), 0, "ADMIN", "ADMIN");
    const int ali = AddUser(QStringLiteral("ALI"), QStringLiteral("Secret"), 1, "BENALI", "ALI");
    const int quote = AddUser(QStringLiteral("O'HARA"), QStringLiteral("x'y"), 1, "O'HARA", "SCARLETT");
    db::Query access(DM->LURDO, QStringLiteral("UPDATE T_USERS SET ACCESS=5 WHERE ID_USER=:ID"));
    access.setParam(QStringLiteral("ID"), ali);
    access.exec();
    ASSERT_TRUE(DM->CommitWork());

    const QString managerPw = QStringLiteral("/QAR") + QStringLiteral("NEL/");
    const QString adminPw = QStringLiteral("/VOS") + QStringLiteral("KA/");
    const struct {
        QString code, pw;
        bool ok;
        int id;              // CurrentUserId after a success
        int access;
        bool builtInManager, builtInAdmin;
    } cases[] = {
        {"MANAGER", managerPw, true, 0, 9, true, false},   // wins over the T_USERS row
        {"ADMIN", adminPw, true, 0, 9, false, true},
        {"MANAGER", "other", true, manager, 0, false, false},
        {"ALI", "Secret", true, ali, 5, false, false},
        {"O'HARA", "x'y", true, quote, 0, false, false},
        {"manager", managerPw, false, 0, 0, false, false},
        {"ADMIN", managerPw, false, 0, 0, false, false},
        {"MANAGER", managerPw.toLower(), false, 0, 0, false, false},
        {"ALI", "secret", false, 0, 0, false, false},
        {"ali", "Secret", false, 0, 0, false, false},
        {"ALI ", "Secret", false, 0, 0, false, false},   // the engine alone would match this one
        {" ALI", "Secret", false, 0, 0, false, false},
        {"ALI", "Secret ", false, 0, 0, false, false},
        {"ALI", "", false, 0, 0, false, false},
        {"ALI", "Secret12345", false, 0, 0, false, false},   // longer than any stored password
        {QString(30, QLatin1Char('A')), "x", false, 0, 0, false, false},
        {"NOBODY", "", false, 0, 0, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(("[" + c.code + "] [" + c.pw + "]").toStdString());
        CurrentUserId = -7;
        CurrentUserAccess = -7;
        CurrentUserLastName = QStringLiteral("before");
        IsBuiltInManager = IsBuiltInAdmin = true;
        const bool ok = CheckLogin(c.code, c.pw);
        EXPECT_EQ(ok, c.ok);
        if (ok) {
            EXPECT_EQ(CurrentUserId, c.id);
            EXPECT_EQ(CurrentUserAccess, c.access);
            EXPECT_EQ(IsBuiltInManager, c.builtInManager);
            EXPECT_EQ(IsBuiltInAdmin, c.builtInAdmin);
            EXPECT_EQ(CurrentUserLastName.isEmpty(), c.id == 0);
        } else {
            EXPECT_EQ(CurrentUserId, -7);
            EXPECT_EQ(CurrentUserAccess, -7);
            EXPECT_EQ(CurrentUserLastName, QStringLiteral("before"));
            EXPECT_FALSE(IsBuiltInManager || IsBuiltInAdmin);
        }
    }
}

TEST_F(LoginTest, BuiltInPasswordsAreNotStoredInTheProgram)
{
    QFile self(QCoreApplication::applicationFilePath());
    ASSERT_TRUE(self.open(QIODevice::ReadOnly));
    const QByteArray image = self.readAll();
    for (const QString& pw : {QStringLiteral("/QAR") + QStringLiteral("NEL/"), QStringLiteral("/VOS") + QStringLiteral("KA/")}) {
        EXPECT_FALSE(image.contains(pw.toUtf8()));
        EXPECT_FALSE(image.contains(QByteArray(reinterpret_cast<const char*>(pw.utf16()), pw.size() * 2)));
    }
}

TEST_F(LoginTest, FirstStartCreatesTheDefaultUserWhoLogsInWithAnEmptyPassword)
{
    CurrentUserCode = QStringLiteral("SOMEONE");
    MessageRecorder messages;
    TfrmPassWord dlg;
    dlg.show();
    EXPECT_EQ(Scalar("SELECT COUNT(*) AS V FROM T_USERS"), "1");
    EXPECT_EQ(Scalar("SELECT USER_ID || '|' || PW || '|' || ACCESS || '|' || NOM || '|' || PRENOM || '|' "
                     "|| COALESCE(CAST(TYPE_USER AS VARCHAR(5)), 'null') AS V FROM T_USERS"),
              "MANAGER||9|ADMIN|ADMIN|null");
    EXPECT_EQ(dlg.edUserId->text(), "MANAGER");
    EXPECT_EQ(dlg.DatePicker->date(), QDate::currentDate());
    EXPECT_EQ(dlg.edPassword->maxLength(), 10);
    EXPECT_EQ(dlg.edPassword->echoMode(), QLineEdit::Password);

    dlg.btnOk->click();
    EXPECT_EQ(dlg.result(), mrOk);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(CurrentUserAccess, 9);
    EXPECT_GT(CurrentUserId, 0);
    EXPECT_FALSE(IsBuiltInManager);
    EXPECT_TRUE(messages.calls().isEmpty());
    EXPECT_TRUE(dateSets.isEmpty());   // the picker was not changed: the clock is not touched
}

TEST_F(LoginTest, DialogShowsTheLastUserAndDoesNotRecreateTheDefaultUser)
{
    AddUser(QStringLiteral("ALI"), QStringLiteral("Secret"));
    for (const auto& [last, shown] : {std::pair<QString, QString>{"ALI", "ALI"}, {"  ", "MANAGER"}}) {
        CurrentUserCode = last;
        TfrmPassWord dlg;
        dlg.show();
        EXPECT_EQ(dlg.edUserId->text(), shown);
    }
    EXPECT_EQ(Scalar("SELECT COUNT(*) AS V FROM T_USERS"), "1");
}

TEST_F(LoginTest, ThirdWrongCombinationCancelsAndTheLastTypedCodeStays)
{
    AddUser(QStringLiteral("ALI"), QStringLiteral("Secret"));
    MessageRecorder messages;
    TfrmPassWord dlg;
    dlg.show();
    const QString codes[] = {"ALI", "BOB", "ZED"};
    for (int attempt = 0; attempt < 3; ++attempt) {
        Type(dlg.edUserId, codes[attempt]);
        Type(dlg.edPassword, "wrong");
        QTest::keyClick(dlg.edPassword, Qt::Key_Return);   // OK is the default button
        EXPECT_EQ(dlg.isVisible(), attempt < 2) << attempt;
        EXPECT_EQ(CurrentUserCode, codes[attempt]);
    }
    EXPECT_EQ(dlg.result(), mrCancel);
    EXPECT_EQ(messages.texts(), QStringList(3, kWrongCombination));
    EXPECT_EQ(messages.calls().first().type, mtWarning);
    EXPECT_EQ(CurrentUserId, 0);
}

TEST_F(LoginTest, TwoWrongThenRightLogsIn)
{
    const int ali = AddUser(QStringLiteral("ALI"), QStringLiteral("Secret"));
    MessageRecorder messages;
    TfrmPassWord dlg;
    dlg.show();
    Type(dlg.edUserId, "ALI");
    for (const QString pw : {"x", "y", "Secret"}) {
        Type(dlg.edPassword, pw);
        dlg.btnOk->click();
    }
    EXPECT_EQ(dlg.result(), mrOk);
    EXPECT_EQ(CurrentUserId, ali);
    EXPECT_EQ(messages.calls().size(), 2);
}

TEST_F(LoginTest, ChangedDateIsSetOnlyAfterASuccessfulLogin)
{
    AddUser(QStringLiteral("ALI"), QStringLiteral("Secret"));
    MessageRecorder messages;
    TfrmPassWord dlg;
    dlg.show();
    const QDate picked = QDate::currentDate().addDays(-3);
    dlg.DatePicker->setDate(picked);
    EXPECT_TRUE(dlg.DateChanged());
    Type(dlg.edUserId, "ALI");
    Type(dlg.edPassword, "bad");
    dlg.btnOk->click();
    EXPECT_TRUE(dateSets.isEmpty());

    Type(dlg.edPassword, "Secret");
    const QTime before = QTime::currentTime();
    dlg.btnOk->click();
    ASSERT_EQ(dateSets.size(), 1);
    EXPECT_EQ(dateSets[0].date(), picked);
    EXPECT_LE(qAbs(before.secsTo(dateSets[0].time())), 2);   // the time of day is kept
    EXPECT_EQ(dlg.result(), mrOk);   // the refusal of the setter has no visible effect
    EXPECT_EQ(messages.calls().size(), 1);
}

TEST_F(LoginTest, CancelAndEscapeReturnCancel)
{
    TfrmPassWord a;
    a.show();
    a.btnCancel->click();
    EXPECT_EQ(a.result(), mrCancel);

    TfrmPassWord b;
    b.show();
    QTest::keyClick(b.edPassword, Qt::Key_Escape);
    EXPECT_EQ(b.result(), mrCancel);
    EXPECT_FALSE(b.isVisible());
}

TEST_F(LoginTest, DatabaseErrorDuringTheCheckIsShownAndTheDialogStaysOpen)
{
    AddUser(QStringLiteral("ALI"), QStringLiteral("Secret"));
    MessageRecorder messages;
    TfrmPassWord dlg;
    dlg.show();
    DM->LURDO.close();
    Type(dlg.edUserId, "ALI");
    Type(dlg.edPassword, "Secret");
    dlg.btnOk->click();
    ASSERT_EQ(messages.calls().size(), 1);
    EXPECT_TRUE(messages.calls()[0].standard);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(LoginFailureCount(), 0);
    EXPECT_EQ(CurrentUserId, 0);
}

TEST_F(LoginTest, CheckPasswordComparesTrimmedStoredValuesExactly)
{
    AddUser(QStringLiteral("ALI"), QStringLiteral("Secret "));
    const struct { const char* code; const char* pw; bool ok; } cases[] = {
        {"ALI", "Secret", true}, {"ALI", "secret", false}, {"ALI", "Secret ", false},
        {"ali", "Secret", false}, {"BOB", "", false}, {"ALI", "Secret12345", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckPassword(c.code, c.pw), c.ok) << c.code << " / " << c.pw;
}

TEST_F(LoginTest, PasswordChangeStoresTheNewPasswordAsTyped)
{
    const int ali = AddUser(QStringLiteral("ALI"), QStringLiteral("Secret"), 1, "BENALI", "ALI");
    ASSERT_TRUE(CheckLogin("ALI", "Secret"));
    CurrentUserCode = QStringLiteral("ALI");
    MessageRecorder messages;
    messages.answer(mrNo);
    TfrmChangePassWord dlg;
    dlg.show();
    EXPECT_EQ(dlg.lUser->text(), QString::number(ali) + " : BENALI ALI");
    Type(dlg.edOldPW, "Secret");
    Type(dlg.edNewPW, "neW'pw");
    EXPECT_EQ(dlg.edNewPW->echoMode(), QLineEdit::Password);
    dlg.btnClair->click();
    EXPECT_EQ(dlg.edNewPW->echoMode(), QLineEdit::Normal);
    dlg.btnClair->click();
    EXPECT_EQ(dlg.edNewPW->echoMode(), QLineEdit::Password);

    dlg.btnOk->click();   // No to the confirmation: nothing happens
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(CheckPassword("ALI", "Secret"));

    dlg.btnOk->click();   // Yes
    EXPECT_EQ(dlg.result(), mrOk);
    EXPECT_EQ(messages.texts(), QStringList(2, "Confirmer le changement du mot de passe ?"));
    EXPECT_TRUE(CheckPassword("ALI", "neW'pw"));
    LogOut();
    EXPECT_TRUE(CheckLogin("ALI", "neW'pw"));
}

TEST_F(LoginTest, PasswordChangeRefusals)
{
    AddUser(QStringLiteral("ALI"), QStringLiteral("Secret"));
    AddUser(QStringLiteral("MANAGER"), QStringLiteral(""), 0);
    const QString builtIn =
        QStringLiteral("Le mot de passe d'un compte intégré (MANAGER, ADMIN) ne peut pas être modifié !");
    const QString spaces = QStringLiteral("Le nouveau mot de passe ne doit ni commencer ni finir par un espace !");
    const QString wrong = QStringLiteral("Mot de Passe incorrect !");

    // A built-in account: refused with its message, whatever the old password.
    ASSERT_TRUE(CheckLogin("MANAGER", QStringLiteral("/QAR") + QStringLiteral("NEL/")));
    CurrentUserCode = QStringLiteral("MANAGER");
    {
        MessageRecorder messages;
        TfrmChangePassWord dlg;
        dlg.show();
        Type(dlg.edNewPW, "hack");
        dlg.btnOk->click();
        EXPECT_EQ(messages.texts(), QStringList{builtIn});
        EXPECT_TRUE(IsBuiltInManager);
        EXPECT_TRUE(CheckPassword("MANAGER", ""));
    }

    // A new password with surrounding spaces could never be typed back.
    LogOut();
    ASSERT_TRUE(CheckLogin("ALI", "Secret"));
    CurrentUserCode = QStringLiteral("ALI");
    {
        MessageRecorder messages;
        TfrmChangePassWord dlg;
        dlg.show();
        Type(dlg.edOldPW, "Secret");
        Type(dlg.edNewPW, " lead");
        dlg.btnOk->click();
        EXPECT_EQ(messages.texts(), QStringList{spaces});
        EXPECT_TRUE(CheckPassword("ALI", "Secret"));
    }

    // Three wrong old passwords close the dialog with Cancel.
    {
        MessageRecorder messages;
        TfrmChangePassWord dlg;
        dlg.show();
        for (int i = 0; i < 3; ++i) {
            Type(dlg.edOldPW, "nope");
            dlg.btnOk->click();
            EXPECT_EQ(dlg.isVisible(), i < 2);
        }
        EXPECT_EQ(dlg.result(), mrCancel);
        EXPECT_EQ(messages.texts(), QStringList(3, wrong));
    }
}

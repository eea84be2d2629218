#pragma once
// A year database with a clean session: no user logged in, the failure
// counters at 0, the computer's date setter replaced by a recorder, and small
// helpers that write and read users and rights rows. With `withMainWindow`
// the real main window (never shown) supplies the menu the rights follow.

#include "core/GlobalState.h"
#include "security/UChangePassWord.h"
#include "data/UDM.h"
#include "shell/UKivMain.h"
#include "security/UPassWord.h"
#include "common/ProgramFolder.h"
#include "common/SavedSession.h"
#include "common/YearDb.h"
#include "platform/SystemDate.h"

#include <QApplication>
#include <QDateTime>
#include <QTimer>
#include <QList>
#include <gtest/gtest.h>
#include <memory>

// Runs `fn` on the modal window of class T once it is open (polling the event
// loop, since events may run before the modal loop starts).
template <typename T, typename F>
void WhenModal(F fn, int triesLeft = 200)
{
    QTimer::singleShot(0, [fn, triesLeft] {
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget()))
            fn(w);
        else if (triesLeft > 0)
            WhenModal<T>(fn, triesLeft - 1);
        else {
            ADD_FAILURE() << "no modal window of the expected class";
            // Whatever else is open is closed, so the test never hangs on it.
            if (QWidget* other = QApplication::activeModalWidget())
                other->close();
        }
    });
}

class LoginTest : public ::testing::Test {
protected:
    virtual bool withMainWindow() const { return false; }

    void SetUp() override
    {
        if (withMainWindow()) {
            folder = std::make_unique<ProgramFolder>();
            main = std::make_unique<TfrmKivMain>();
        }
        year = std::make_unique<YearDb>();
        saved = std::make_unique<SavedSession>();
        LogOut();
        CurrentUserCode = QStringLiteral("MANAGER");
        ResetLoginFailures();
        ResetPasswordCheckFailures();
        platform::SetSystemDateSetter([this](const QDateTime& value) {
            dateSets.append(value);
            return false;
        });
    }

    void TearDown() override
    {
        platform::SetSystemDateSetter({});
        main.reset();
        year.reset();
        folder.reset();
        saved.reset();
    }

    static void LogOut()
    {
        CurrentUserId = 0;
        CurrentUserAccess = 0;
        CurrentUserLastName.clear();
        CurrentUserFirstName.clear();
        IsBuiltInManager = false;
        IsBuiltInAdmin = false;
    }

    // Logs a T_USERS user in without the dialog.
    static void LogInAs(int id, const QString& code)
    {
        LogOut();
        CurrentUserId = id;
        CurrentUserCode = code;
    }

    // Inserts a user (type -1: no type) and returns its key.
    static int AddUser(const QString& code, const QString& pw, int type = 1, const QString& nom = QStringLiteral("NOM"),
                       const QString& prenom = QStringLiteral("PRENOM"))
    {
        db::Query ins(DM->LURDO, QStringLiteral("INSERT INTO T_USERS (NOM, PRENOM, USER_ID, PW, TYPE_USER) "
                                                "VALUES (:NOM, :PRENOM, :USER_ID, :PW, :TYPE_USER)"));
        ins.setParam(QStringLiteral("NOM"), nom);
        ins.setParam(QStringLiteral("PRENOM"), prenom);
        ins.setParam(QStringLiteral("USER_ID"), code);
        ins.setParam(QStringLiteral("PW"), pw);
        if (type < 0)
            ins.setNull(QStringLiteral("TYPE_USER"));
        else
            ins.setParam(QStringLiteral("TYPE_USER"), type);
        ins.exec();
        EXPECT_TRUE(DM->CommitWork());
        db::Query id(DM->LURDO, QStringLiteral("SELECT MAX(ID_USER) AS ID FROM T_USERS"));
        id.open();
        return int(id.asInt(QStringLiteral("ID")));
    }

    // Inserts one rights row.
    static void AddRight(int userId, const QString& key, int access)
    {
        db::Query ins(DM->LURDO, QStringLiteral("INSERT INTO T_SECUR (ID_SECUR, ID_USER, OBJECT_TYPE, OBJECT_NAME, "
                                                "OBJECT_DESC, TYPE_ACCES, TV_LEVEL, NB_CHILD) VALUES (0, :ID_USER, 0, "
                                                ":OBJECT_NAME, :OBJECT_NAME, :TYPE_ACCES, 2, 0)"));
        ins.setParam(QStringLiteral("ID_USER"), userId);
        ins.setParam(QStringLiteral("OBJECT_NAME"), key);
        ins.setParam(QStringLiteral("TYPE_ACCES"), access);
        ins.exec();
        EXPECT_TRUE(DM->CommitWork());
    }

    // TYPE_ACCES of every row of a user's key (oldest first).
    static QList<int> Rights(int userId, const QString& key)
    {
        db::Query q(DM->LURDO, QStringLiteral("SELECT TYPE_ACCES FROM T_SECUR WHERE ID_USER=:ID_USER "
                                              "AND OBJECT_NAME=:OBJECT_NAME ORDER BY ID_SECUR"));
        q.setParam(QStringLiteral("ID_USER"), userId);
        q.setParam(QStringLiteral("OBJECT_NAME"), key);
        q.open();
        QList<int> out;
        for (q.first(); !q.eof(); q.next())
            out.append(int(q.asInt(QStringLiteral("TYPE_ACCES"))));
        return out;
    }

    // The single value of a one-row, one-column select (its column named V).
    static QString Scalar(const QString& sql)
    {
        db::Query q(DM->LURDO, sql);
        q.open();
        return q.isEmpty() ? QStringLiteral("<no row>") : q.asString(QStringLiteral("V"));
    }

    std::unique_ptr<ProgramFolder> folder;
    std::unique_ptr<TfrmKivMain> main;
    std::unique_ptr<YearDb> year;
    QList<QDateTime> dateSets;

private:
    std::unique_ptr<SavedSession> saved;
};

class LoginMenuTest : public LoginTest {
protected:
    bool withMainWindow() const override { return true; }
};

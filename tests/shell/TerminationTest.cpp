// SIGTERM, SIGINT and SIGHUP (a desktop logout, Ctrl+C, a closed terminal)
// end the program cleanly: the open transaction rolled back, the settings
// written, the database detached, exit code 0. The program runs for real in a
// child process: this test program started again in the child role.
#include "core/GlobalState.h"
#include "core/IniFile.h"
#include "data/UDM.h"
#include "security/UPassWord.h"
#include "shell/Startup.h"
#include "shell/UKivMain.h"
#include "common/YearDb.h"
#include "platform/NetworkAddress.h"
#include "platform/Registry.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <functional>

namespace {

const char* const ChildFolder = "VOREL_TERMINATION_CHILD_FOLDER";
const char* const ChildStop = "VOREL_TERMINATION_CHILD_STOP";

// The child's role: the program's run in the given program folder. Once it
// stands where the parent asked (at the login dialog, or at the main window
// after the login), a row is written without a commit and "READY" is printed;
// the parent then sends its signal.
void RunAsChild()
{
    const QString folder = qEnvironmentVariable(ChildFolder);
    const bool atLogin = qEnvironmentVariable(ChildStop) == QLatin1String("login");
    SetExecutablePath(folder + QStringLiteral("vorel"));
    platform::Registry::SetStorePath(folder + QStringLiteral("registry.ini"));
    platform::SetLocalIpAddressForTests(QStringLiteral("192.0.2.10"));
    QDir::setCurrent(folder);

    QObject polls;
    auto ready = [] {
        db::Query write(DM->LURDO, QStringLiteral("INSERT INTO FAC (ID_FAC, LIBELLE) VALUES (1, 'jamais validé')"));
        write.exec();
        std::printf("READY\n");
        std::fflush(stdout);
    };
    std::function<void()> poll = [&] {
        auto* login = qobject_cast<TfrmPassWord*>(QApplication::activeModalWidget());
        if (login && atLogin) {
            ready();
            return;
        }
        if (login) {
            login->edUserId->setText(QStringLiteral("MANAGER"));
            login->edPassword->clear();
            login->btnOk->click();
        } else if (!atLogin && frmKivMain && frmKivMain->isVisible() && !QApplication::activeModalWidget() && DM
                   && DM->LURDO.isOpen()) {
            ready();
            return;
        }
        QTimer::singleShot(10, &polls, poll);
    };
    QTimer::singleShot(0, &polls, poll);

    const int result = RunProgram(*qApp);
    std::printf("RESULT %d\n", result);
    std::fflush(stdout);
    EXPECT_EQ(result, 0);
}

} // namespace

TEST(Termination, SignalsEndTheProgramCleanly)
{
    if (qEnvironmentVariableIsSet(ChildFolder)) {
        RunAsChild();
        return;
    }
    // A year's database, made once and copied into each run's program folder.
    QTemporaryDir made;
    const QString yearFile = made.filePath(QStringLiteral("KIV_DB_2024.FDB"));
    {
        YearDb year;
        delete DM;
        DM = nullptr;
        ASSERT_TRUE(QFile::copy(year.path(), yearFile));
    }

    struct Case {
        const char* what;
        int signalNumber;
        const char* stop;
    };
    const Case cases[] = {
        {"SIGTERM at the main window", SIGTERM, "main"},
        {"SIGINT at the main window", SIGINT, "main"},
        {"SIGHUP at the login dialog", SIGHUP, "login"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        QTemporaryDir root;
        const QString folder = root.path() + QStringLiteral("/");
        const QString db = folder + QStringLiteral("KIV_DB_2024.FDB");
        ASSERT_TRUE(QFile::copy(yearFile, db));
        QFile(db).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        const QString ini = folder + QStringLiteral("VOREL.INI");
        IniWriteString(ini, QStringLiteral("PARAM"), QStringLiteral("EXER"), QStringLiteral("2024"));
        IniWriteString(ini, QStringLiteral("PARAM"), QStringLiteral("DB_WORKDIR"), folder);

        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(ChildFolder), folder);
        env.insert(QString::fromLatin1(ChildStop), QString::fromLatin1(k.stop));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=Termination.SignalsEndTheProgramCleanly")});
        ASSERT_TRUE(child.waitForStarted(10000));
        QByteArray output;
        while (!output.contains("READY") && child.waitForReadyRead(60000))
            output += child.readAllStandardOutput();
        ASSERT_TRUE(output.contains("READY")) << output.toStdString() << child.readAllStandardError().toStdString();

        ASSERT_EQ(::kill(pid_t(child.processId()), k.signalNumber), 0);
        ASSERT_TRUE(child.waitForFinished(30000)) << "the program is still running";
        output += child.readAllStandardOutput();
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(child.exitCode(), 0) << output.toStdString() << child.readAllStandardError().toStdString();
        EXPECT_TRUE(output.contains("RESULT 0")) << output.toStdString();

        // The settings written as at a close.
        auto key = [&](const char* name) {
            return IniReadString(ini, QStringLiteral("PARAM"), QString::fromLatin1(name));
        };
        EXPECT_EQ(key("DB_PATH"), db);
        EXPECT_EQ(key("DB_WORKDIR"), folder);
        EXPECT_EQ(key("USERID"), QStringLiteral("MANAGER"));
        // The database let go, without the write that was never committed.
        db::Connection after;
        after.open(db::ConnectParams{db, QStringLiteral("SYSDBA"), DefaultDbPassword()});
        db::Query rows(after, QStringLiteral("SELECT COUNT(*) FROM FAC"));
        rows.open();
        EXPECT_EQ(db::toInt(rows.at(0, 0)), 0);
    }
}

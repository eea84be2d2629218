#pragma once
// A private Firebird server on 127.0.0.1 for the remote-mode tests, started by
// scripts/fb-test-server in a temporary folder and stopped when the object goes.
//
//     TestServer server;
//     if (!server.unavailable().isEmpty()) GTEST_SKIP() << server.unavailable().toStdString();
//     ASSERT_TRUE(server.started()) << server.error().toStdString();
//     db::ConnectParams p; p.path = server.remotePath("/tmp/x.fdb"); p.password = server.password();

#include <QString>
#include <QTemporaryDir>

class TestServer {
public:
    TestServer();
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    bool started() const { return m_started; }
    // Why there is no server on this machine (its program is not installed); empty otherwise.
    QString unavailable() const { return m_unavailable; }
    // What went wrong when a server program exists but did not start.
    QString error() const { return m_error; }

    // "127.0.0.1/port", the server part of a remote database path.
    QString address() const;
    // address() + ":" + a path on the server's machine.
    QString remotePath(const QString& serverSidePath) const { return address() + QLatin1Char(':') + serverSidePath; }
    // SYSDBA's password on this server: the program's administrator password.
    QString password() const;
    // A folder the server may keep databases in (removed at the end).
    QString folder() const { return m_dir.path() + QLatin1Char('/'); }

private:
    QTemporaryDir m_dir;
    int m_port = 0;
    bool m_started = false;
    QString m_unavailable;
    QString m_error;
};

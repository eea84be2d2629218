// The layer through a real Firebird server on 127.0.0.1 ("server:path").
#include "common/TestServer.h"
#include "db/Database.h"

#include <QFile>
#include <gtest/gtest.h>

TEST(DatabaseRemote, CreatesOpensAndRoundTripsThroughAServer)
{
    TestServer server;
    if (!server.unavailable().isEmpty())
        GTEST_SKIP() << "no Firebird server on this machine: " << server.unavailable().toStdString();
    ASSERT_TRUE(server.started()) << server.error().toStdString();

    db::ConnectParams params;
    params.path = server.remotePath(server.folder() + QStringLiteral("remote.fdb"));
    params.password = server.password();
    db::Connection::create(params);
    EXPECT_TRUE(QFile::exists(server.folder() + QStringLiteral("remote.fdb")));

    db::Connection conn;
    conn.open(params);
    db::Query how(conn, QStringLiteral("SELECT MON$REMOTE_PROTOCOL AS PROTO, MON$REMOTE_ADDRESS AS ADDR FROM MON$ATTACHMENTS"
                                       " WHERE MON$ATTACHMENT_ID = CURRENT_CONNECTION"));
    how.open();
    EXPECT_EQ(how.asString("PROTO"), QStringLiteral("TCPv4"));
    EXPECT_TRUE(how.asString("ADDR").startsWith(QLatin1String("127.0.0.1/"))) << how.asString("ADDR").toStdString();

    conn.executeScript(QStringLiteral("CREATE TABLE R (N CHAR(5), M DECIMAL(15,2), T BLOB SUB_TYPE 1, D DATE); COMMIT;"));
    db::Query ins(conn, QStringLiteral("INSERT INTO R (N, M, T, D) VALUES (:N, :M, :T, :D)"));
    ins.setParam("N", "0012");
    ins.setParam("M", Currency::fromRaw(-99999999999999900));
    ins.setParam("T", QStringLiteral("Réglé à l'agence"));
    ins.setParam("D", QDate(2024, 12, 31));
    ins.exec();
    conn.commit();

    db::Connection other;
    other.open(params);
    db::Query q(other, QStringLiteral("SELECT * FROM R"));
    q.open();
    ASSERT_EQ(q.rowCount(), 1);
    EXPECT_EQ(q.asString("N"), QStringLiteral("0012"));
    EXPECT_EQ(q.asCurrency("M"), Currency::fromRaw(-99999999999999900));
    EXPECT_EQ(q.asString("T"), QStringLiteral("Réglé à l'agence"));
    EXPECT_EQ(q.asDate("D"), QDate(2024, 12, 31));

    db::ConnectParams wrong = params;
    wrong.password = QStringLiteral("not-the-password");
    db::Connection refused;
    EXPECT_THROW(refused.open(wrong), db::DbError);
}

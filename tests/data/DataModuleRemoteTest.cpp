// The data module in remote mode: a year's database reached through a real
// Firebird server on 127.0.0.1 ("server:path"); a missing year is never created.
#include "core/GlobalState.h"
#include "data/ShownRow.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"
#include "common/MessageRecorder.h"
#include "common/TestServer.h"
#include "common/YearDb.h"

#include <QFile>
#include <gtest/gtest.h>

TEST(DataModuleRemote, OpensAYearThroughAServerAndNeverCreatesOne)
{
    TestServer server;
    if (!server.unavailable().isEmpty())
        GTEST_SKIP() << "no Firebird server on this machine: " << server.unavailable().toStdString();
    ASSERT_TRUE(server.started()) << server.error().toStdString();

    // The year's database, made by the module in local mode, then served.
    QString served;
    {
        YearDb local;
        delete DM;
        DM = nullptr;
        served = server.folder() + QStringLiteral("KIV_DB_2024.FDB");
        ASSERT_TRUE(QFile::copy(local.path(), served));
    }

    YearDb year({QStringLiteral("2024"), false});
    ServerAddress = server.address();
    DbWorkDir = server.folder();
    DbPath = server.remotePath(served);
    MessageRecorder messages;
    DM = new TDM();
    ASSERT_TRUE(DM->LURDO.isOpen()) << messages.texts().join(" | ").toStdString();
    EXPECT_TRUE(messages.calls().isEmpty());
    db::Query proto(DM->LURDO, QStringLiteral("SELECT MON$REMOTE_PROTOCOL AS P FROM MON$ATTACHMENTS"
                                              " WHERE MON$ATTACHMENT_ID = CURRENT_CONNECTION"));
    proto.open();
    EXPECT_EQ(proto.asString("P"), QStringLiteral("TCPv4"));
    DM->LURDO.execute(QStringLiteral("INSERT INTO FAC (ID_FAC, LIBELLE) VALUES (1, 'par le serveur')"));
    EXPECT_TRUE(DM->CommitWork());
    EXPECT_EQ(DM->NextGeneratorValue(QStringLiteral("GEN_MDT")), 1);
    EXPECT_EQ(DM->Queries().GetExpenseState(1), ExpenseState::Free);

    // Two users through the server: a save of a row another user changed
    // since it was read is refused before anything is written; one that
    // meets a change still in progress is refused as an update conflict.
    {
        db::Connection other;
        other.open(db::ConnectParams{DbPath, QStringLiteral("SYSDBA"), server.password()});
        const auto otherWrites = [&other](const char* label, bool commit) {
            db::Query q(other, QStringLiteral("UPDATE FAC SET LIBELLE=:L WHERE ID_FAC=1"));
            q.setParam(QStringLiteral("L"), label);
            q.exec();
            if (commit)
                other.commit();
        };
        TShownRow shown{QStringLiteral("FAC"), QStringLiteral("ID_FAC"), 1};
        shown.version = ReadRowVersion(shown);
        otherWrites("changed by B", true);
        {
            TSaveCheck check(shown);
            EXPECT_THROW(TWriteGuard write, ERowChanged);
        }
        shown.version = ReadRowVersion(shown);
        otherWrites("B, still typing", false);
        {
            TSaveCheck check(shown);
            try {
                TWriteGuard write;
                ADD_FAILURE() << "the lock was granted over a change in progress";
            } catch (const db::DbError& e) {
                EXPECT_TRUE(e.isConflict()) << e.message().toStdString();
            }
        }
        other.rollback();
        {
            TSaveCheck check(shown);
            TWriteGuard write;
            DM->LURDO.execute(QStringLiteral("UPDATE FAC SET LIBELLE='A' WHERE ID_FAC=1"));
            write.Commit();
            EXPECT_TRUE(check.Stored());
        }
        EXPECT_FALSE(DM->LURDO.inTransaction());
    }
    delete DM;

    // Another year that the server does not hold: the connection fails, nothing is created.
    DbPath = server.remotePath(server.folder() + QStringLiteral("KIV_DB_2025.FDB"));
    DM = new TDM();
    EXPECT_FALSE(DM->LURDO.isOpen());
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Impossible de se connecter à la base de données ") + DbPath});
    EXPECT_TRUE(DM->ProgramEndRequested());
    EXPECT_FALSE(QFile::exists(server.folder() + QStringLiteral("KIV_DB_2025.FDB")));
}

// The write guard on the real embedded engine: one operation is stored whole
// or not at all, the user is told when the engine refuses it, and nested
// guards commit once.
#include "core/Guard.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"
#include "common/MessageRecorder.h"
#include "common/YearDb.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString NotSaved = QStringLiteral("Les informations n'ont pas été enregistrées ! Elles ont été restaurées.");

class WriteGuardTest : public YearDbTest {
protected:
    void SetUp() override
    {
        YearDbTest::SetUp();
        other.open(year->params());
    }
    void TearDown() override
    {
        other.close();
        YearDbTest::TearDown();
    }

    static void Insert(int id, const char* label)
    {
        db::Query q(DM->LURDO, QStringLiteral("INSERT INTO FAC (ID_FAC, LIBELLE) VALUES (:ID, :L)"));
        q.setParam(QStringLiteral("ID"), id);
        q.setParam(QStringLiteral("L"), label);
        q.exec();
    }
    static qint64 Count(db::Connection& c)
    {
        db::Query q(c, QStringLiteral("SELECT COUNT(*) AS N FROM FAC"));
        q.open();
        return q.asInt(QStringLiteral("N"));
    }
    // The engine refuses every commit that would store a row labelled REFUSE.
    void RefuseCommitsOf(const char* label)
    {
        DM->LURDO.executeScript(QStringLiteral("CREATE EXCEPTION E_REFUSED 'refused';"
                                               "COMMIT;"
                                               "SET TERM ^ ;"
                                               "CREATE TRIGGER REFUSE_COMMIT ON TRANSACTION COMMIT AS BEGIN"
                                               "  IF (EXISTS(SELECT 1 FROM FAC WHERE LIBELLE='%1')) THEN"
                                               "    EXCEPTION E_REFUSED; END^"
                                               "SET TERM ; ^"
                                               "COMMIT;")
                                    .arg(QLatin1String(label)));
    }

    // Whether the operation ended in the silent abort.
    static bool Aborts(const std::function<void()>& operation)
    {
        try {
            operation();
        } catch (const EAbort&) {
            return true;
        }
        return false;
    }

    db::Connection other;   // sees only what was committed
    MessageRecorder messages;
};

TEST_F(WriteGuardTest, NestedGuardsCommitOnceAtTheOutermostEnd)
{
    {
        TWriteGuard outer;
        EXPECT_TRUE(outer.Outermost());
        Insert(1, "outer");
        {
            TWriteGuard inner;
            EXPECT_FALSE(inner.Outermost());
            Insert(2, "inner");
            inner.Commit();
        }
        // The inner commit only joined the operation: nothing is stored yet,
        // but the operation's reads see its own rows.
        EXPECT_EQ(Count(other), 0);
        EXPECT_EQ(Count(DM->LURDO), 2);
        outer.Commit();
    }
    EXPECT_EQ(Count(other), 2);
    EXPECT_FALSE(DM->LURDO.inTransaction());
    EXPECT_TRUE(messages.calls().isEmpty());
}

TEST_F(WriteGuardTest, ARefusedCommitStoresNothingSaysSoAndAborts)
{
    RefuseCommitsOf("REFUSE");
    EXPECT_TRUE(Aborts([] {
        TWriteGuard write;
        Insert(1, "kept?");
        Insert(2, "REFUSE");
        write.Commit();
    }));
    EXPECT_EQ(messages.texts(), QStringList{NotSaved});
    EXPECT_EQ(Count(other), 0);
    EXPECT_EQ(Count(DM->LURDO), 0);

    // The next operation goes through as usual.
    TWriteGuard next;
    Insert(3, "ok");
    next.Commit();
    EXPECT_EQ(Count(other), 1);
    EXPECT_EQ(messages.calls().size(), 1);
}

TEST_F(WriteGuardTest, AnOperationLeftHalfWayIsRolledBackWhole)
{
    // A failing statement: the error goes on, nothing of the operation stays,
    // and no later commit stores it.
    EXPECT_THROW(
        {
            TWriteGuard write;
            Insert(1, "first");
            Insert(100000, "too large a key");
            write.Commit();
        },
        db::DbError);
    EXPECT_FALSE(DM->LURDO.inTransaction());
    EXPECT_TRUE(DM->CommitWork());
    EXPECT_EQ(Count(other), 0);

    // An inner part left without its commit spoils the whole operation: the
    // outermost commit rolls back, tells the user and aborts.
    EXPECT_TRUE(Aborts([] {
        TWriteGuard outer;
        Insert(1, "outer");
        {
            TWriteGuard inner;
            Insert(2, "inner, abandoned");
        }
        outer.Commit();
    }));
    EXPECT_EQ(messages.texts(), QStringList{NotSaved});
    EXPECT_EQ(Count(other), 0);
    EXPECT_EQ(Count(DM->LURDO), 0);
}

} // namespace

// A database error reaches the user introduced by a French sentence saying
// what failed, the engine's report after it.
TEST_F(WriteGuardTest, DatabaseErrorsAreToldInFrenchFirst)
{
    Insert(1, "shown");
    DM->CommitWork();
    struct Case {
        const char* name;
        std::function<void()> operation;
        QString sentence;
    };
    const Case cases[] = {
        {"a number beyond its column",
         [] {
             TWriteGuard write;
             Insert(40000, "too large");
             write.Commit();
         },
         QStringLiteral("Une valeur est trop grande pour ce que la base de données peut contenir : rien n'a été enregistré.")},
        {"a change in progress elsewhere",
         [this] {
             db::Query theirs(other, QStringLiteral("UPDATE FAC SET LIBELLE='theirs' WHERE ID_FAC=1"));
             theirs.exec();   // not committed yet
             TWriteGuard write;
             db::Query mine(DM->LURDO, QStringLiteral("UPDATE FAC SET LIBELLE='mine' WHERE ID_FAC=1"));
             mine.exec();
             write.Commit();
         },
         QStringLiteral("Ces informations sont en cours de modification par un autre utilisateur : rien n'a été "
                        "enregistré. Réessayez dans un instant.")},
        {"a row the engine refuses",
         [] {
             TWriteGuard write;
             db::Query q(DM->LURDO, QStringLiteral("INSERT INTO FAC (LIBELLE) VALUES ('no key')"));
             q.exec();
             write.Commit();
         },
         QStringLiteral("La base de données a refusé l'enregistrement : rien n'a été enregistré.")},
        {"a read",
         [] {
             db::Query q(DM->LURDO, QStringLiteral("SELECT NOTHING FROM FAC"));
             q.open();
         },
         QStringLiteral("Les informations n'ont pas pu être lues dans la base de données.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages.clear();
        EXPECT_FALSE(RunGuarded(c.operation));
        other.rollback();
        ASSERT_EQ(messages.calls().size(), 1);
        const QStringList parts = messages.calls().first().text.split(QStringLiteral("\r\r"));
        ASSERT_EQ(parts.size(), 2);
        EXPECT_EQ(parts[0], c.sentence);
        EXPECT_FALSE(parts[1].isEmpty());
        EXPECT_FALSE(DM->LURDO.inTransaction());
    }
    EXPECT_EQ(Count(other), 1);
}

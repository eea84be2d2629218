// The Firebird layer on the real embedded engine: every value type there and
// back, named parameters, transactions, errors and the script runner.
#include "db/Database.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <limits>

using db::Connection;
using db::ConnectParams;
using db::DbError;
using db::Query;
using db::Value;

namespace {

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        params.path = dir.filePath(QStringLiteral("layer.fdb"));
        params.password = QStringLiteral("masterkey");
        Connection::create(params);
        conn.open(params);
        conn.executeScript(QStringLiteral(
            "CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, S SMALLINT, I INTEGER, B BIGINT,"
            " M DECIMAL(15,2), N4 NUMERIC(18,4), F DOUBLE PRECISION, V VARCHAR(40), C CHAR(5),"
            " D DATE, TS TIMESTAMP, TXT BLOB SUB_TYPE 1, BIN BLOB SUB_TYPE 0);"
            "COMMIT;"));
    }

    // Reads one column of row ID through a fresh query.
    Value readBack(int id, const char* column)
    {
        Query q(conn, QStringLiteral("SELECT %1 FROM T WHERE ID=:ID").arg(QLatin1String(column)));
        q.setParam("ID", id);
        q.open();
        EXPECT_EQ(q.rowCount(), 1);
        return q.value(QLatin1String(column));
    }

    QTemporaryDir dir;
    ConnectParams params;
    Connection conn;
};

TEST_F(DatabaseTest, EveryTypeMakesTheRoundTripExactly)
{
    const QString longText = QString(70000, QChar(u'é')) + QStringLiteral("fin");
    QByteArray binary(100000, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = char(i * 7);
    struct Case { const char* column; Value in; Value out; };
    const Case cases[] = {
        {"S", qint64(-32768), qint64(-32768)},
        {"I", qint64(2147483647), qint64(2147483647)},
        {"B", qint64(-9223372036854775807LL), qint64(-9223372036854775807LL)},
        {"M", Currency::fromRaw(99999999999999900), Currency::fromRaw(99999999999999900)}, // 9999999999999.99
        {"M", Currency::fromRaw(-99999999999999900), Currency::fromRaw(-99999999999999900)},
        {"M", Currency::fromRaw(100), Currency::fromRaw(100)},                  // 0.01
        {"M", Currency::fromRaw(50), Currency::fromRaw(100)},                   // 0.005 rounds away from zero
        {"M", Currency::fromRaw(-50), Currency::fromRaw(-100)},
        {"M", Currency::fromRaw(49), Currency()},
        {"M", qint64(12), Currency::fromUnits(12)},
        {"M", QStringLiteral("1 234.56"), Currency::fromRaw(12345600)},
        {"N4", Currency::fromRaw(-12345), Currency::fromRaw(-12345)},
        {"F", 0.125, 0.125},
        {"V", QStringLiteral("Dépense à régler « ü » 中"), QStringLiteral("Dépense à régler « ü » 中")},
        {"V", QString(), QString()}, // empty text is not NULL
        {"C", QStringLiteral("12"), QStringLiteral("12")}, // pad blanks dropped
        {"C", QStringLiteral(" 0001"), QStringLiteral(" 0001")},
        {"C", QStringLiteral("éèàùç"), QStringLiteral("éèàùç")},
        {"D", QDate(1858, 11, 17), QDate(1858, 11, 17)},
        {"D", QDate(1, 1, 1), QDate(1, 1, 1)},
        {"D", QDate(9999, 12, 31), QDate(9999, 12, 31)},
        {"D", QStringLiteral("31/01/2024"), QDate(2024, 1, 31)},
        {"TS", QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58, 123)), QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58, 123))},
        {"TS", QDate(2024, 3, 1), QDateTime(QDate(2024, 3, 1), QTime(0, 0))},
        {"TXT", longText, longText},
        {"TXT", QString(), QString()},
        {"BIN", binary, binary},
    };
    int id = 0;
    for (const Case& c : cases) {
        ++id;
        Query ins(conn, QStringLiteral("INSERT INTO T (ID, %1) VALUES (:ID, :VAL)").arg(QLatin1String(c.column)));
        ins.setParam("ID", id);
        ins.setParam("VAL", c.in);
        ins.exec();
        EXPECT_EQ(ins.rowsAffected(), 1);
    }
    // Every NULL of every type reads as NULL, also after the commit.
    Query nulls(conn, QStringLiteral("INSERT INTO T (ID, S, I, B, M, N4, F, V, C, D, TS, TXT, BIN)"
                                     " VALUES (0, :S, :I, :B, :M, :N4, :F, :V, :C, :D, :TS, :TXT, :BIN)"));
    for (const QString& name : nulls.paramNames())
        nulls.setNull(name);
    nulls.exec();
    conn.commit();

    id = 0;
    for (const Case& c : cases) {
        ++id;
        const Value got = readBack(id, c.column);
        EXPECT_EQ(got, c.out) << c.column << " #" << id << " got \"" << db::toText(got).left(40).toStdString() << "\"";
    }
    Query all(conn, QStringLiteral("SELECT * FROM T WHERE ID=0"));
    all.open();
    ASSERT_EQ(all.columnCount(), 13);
    for (const QString& column : all.columnNames()) {
        if (column != QLatin1String("ID")) {
            EXPECT_TRUE(all.isNull(column)) << column.toStdString();
        }
    }
    EXPECT_EQ(all.asCurrency("m"), Currency()); // names are matched without regard to case
    EXPECT_THROW(all.value("NO_SUCH_COLUMN"), DbError);
}

// Amounts go to DECIMAL(15,2) columns: the largest they hold makes the round
// trip; a larger amount, NaN or an infinity is refused with an error and
// nothing is written; an amount stored beyond them by plain SQL is read
// exactly when the program's money type holds it, and is an error otherwise,
// never a wrapped value.
TEST_F(DatabaseTest, AmountsStayWithinWhatTheirColumnsHold)
{
    struct Case { const char* what; Value in; bool accepted; };
    const Case cases[] = {
        {"largest", Currency::fromRaw(99999999999999900), true},
        {"most negative", QStringLiteral("-9999999999999.99"), true},
        {"largest, rounded from more decimals", Currency::fromRaw(99999999999999949), true},
        {"a cent more", Currency::fromRaw(100000000000000000), false},
        {"rounded up past the largest", Currency::fromRaw(99999999999999950), false},
        {"ten thousand billion dinars as an integer", qint64(10000000000000), false},
        {"as text", QStringLiteral("-10000000000000"), false},
        {"the largest money value", Currency::fromRaw(std::numeric_limits<std::int64_t>::max()), false},
        {"1e300", 1e300, false},
        {"NaN", std::numeric_limits<double>::quiet_NaN(), false},
        {"infinity", -std::numeric_limits<double>::infinity(), false},
    };
    int id = 100;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Query ins(conn, QStringLiteral("INSERT INTO T (ID, M) VALUES (:ID, :M)"));
        ins.setParam("ID", ++id);
        ins.setParam("M", c.in);
        if (c.accepted) {
            ins.exec();
            EXPECT_EQ(db::toCurrency(readBack(id, "M")).abs(), Currency::fromRaw(99999999999999900));
        } else {
            EXPECT_THROW(ins.exec(), DbError);
            Query row(conn, QStringLiteral("SELECT COUNT(*) FROM T WHERE ID=:ID"));
            row.setParam("ID", id);
            row.open();
            EXPECT_EQ(db::toInt(row.at(0, 0)), 0);
        }
    }
    conn.execute(QStringLiteral("INSERT INTO T (ID, M) VALUES (200, 920000000000000.00)"));
    conn.execute(QStringLiteral("INSERT INTO T (ID, M) VALUES (201, 1000000000000000.00)"));
    EXPECT_EQ(readBack(200, "M"), Value(Currency::fromUnits(920000000000000)));
    Query beyond(conn, QStringLiteral("SELECT M FROM T WHERE ID=201"));
    EXPECT_THROW(beyond.open(), DbError);
    Query sum(conn, QStringLiteral("SELECT SUM(M) FROM T WHERE ID IN (200, 201)"));
    EXPECT_THROW(sum.open(), DbError);
}

TEST_F(DatabaseTest, NamedParametersBindEveryPlaceAndIgnoreQuotedColons)
{
    conn.execute(QStringLiteral("INSERT INTO T (ID, V, M) VALUES (1, 'a:b', 10)"));
    conn.execute(QStringLiteral("INSERT INTO T (ID, V, M) VALUES (2, '::X', 20)"));
    conn.execute(QStringLiteral("INSERT INTO T (ID, V, M) VALUES (3, 'z', 30)"));

    Query q(conn, QStringLiteral(
        "SELECT ID, V, ':NOT_A_PARAM' AS Q, \"M\" -- :COMMENT_PARAM\n"
        " FROM T /* :BLOCK_PARAM */ WHERE (ID = :id OR ID = :Other OR V = 'a:b') AND M >= :Id * 10"
        " ORDER BY ID"));
    EXPECT_EQ(q.paramNames(), (QStringList{QStringLiteral("ID"), QStringLiteral("OTHER")}));
    q.setParam("ID", 2);
    q.setParam(":other", 3);
    q.open();
    // ID=2 twice (both places), ID=3 by the other name, ID=1 by the quoted text but 10 < 20.
    ASSERT_EQ(q.rowCount(), 2);
    EXPECT_EQ(q.asInt("ID"), 2);
    EXPECT_EQ(q.asString("Q"), QStringLiteral(":NOT_A_PARAM"));
    q.next();
    EXPECT_EQ(q.asInt("ID"), 3);
    q.next();
    EXPECT_TRUE(q.eof());

    // Values stay bound for the next run; a parameter never set is NULL.
    q.setParam("ID", 1);
    q.open();
    EXPECT_EQ(q.rowCount(), 2);
    q.clearParams();
    q.open();
    EXPECT_TRUE(q.isEmpty());
    EXPECT_EQ(q.asInt("ID"), 0); // an empty result reads as NULL
    EXPECT_THROW(q.setParam("MISSING", 1), DbError);
}

TEST_F(DatabaseTest, CommitAndRollbackDecideWhatOtherConnectionsSee)
{
    Connection other;
    other.open(params);
    auto countSeenByOther = [&]() {
        Query q(other, QStringLiteral("SELECT COUNT(*) AS N FROM T"));
        q.open();
        const qint64 n = q.asInt("N");
        other.commit();
        return n;
    };
    conn.execute(QStringLiteral("INSERT INTO T (ID) VALUES (1)"));
    EXPECT_TRUE(conn.inTransaction());
    EXPECT_EQ(countSeenByOther(), 0);
    conn.commit();
    EXPECT_FALSE(conn.inTransaction());
    EXPECT_EQ(countSeenByOther(), 1);

    conn.execute(QStringLiteral("INSERT INTO T (ID) VALUES (2)"));
    conn.rollback();
    EXPECT_EQ(countSeenByOther(), 1);
    Query mine(conn, QStringLiteral("SELECT COUNT(*) AS N FROM T"));
    mine.open();
    EXPECT_EQ(mine.asInt("N"), 1);

    // No lock wait: a conflicting update fails at once with the engine's text.
    conn.execute(QStringLiteral("UPDATE T SET V='mine' WHERE ID=1"));
    try {
        other.execute(QStringLiteral("UPDATE T SET V='theirs' WHERE ID=1"));
        FAIL() << "conflicting update accepted";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QLatin1String("conflict"), Qt::CaseInsensitive)) << e.what();
        EXPECT_EQ(e.sqlCode(), -913);
    }
    other.rollback();
    conn.commit();
}

// A connection that only browses keeps its read transaction open all day: it
// is read-only, sees what others commit as they commit it, and never holds
// back the oldest active transaction, so the engine can clean old row
// versions. A write opens a transaction of its own, on which the connection's
// reads then run, seeing its own rows, until commit or rollback.
TEST_F(DatabaseTest, ReadsNeverHoldBackTheCleanUpAndWritesSeeTheirOwnRows)
{
    auto scalarOn = [](Connection& c, const QString& sql) {
        Query q(c, sql);
        q.open();
        return q.asInt(q.columnNames().value(0));
    };
    // The monitoring tables are read on a fresh attachment each time: each
    // look is a snapshot of its own.
    auto oldestActive = [&] {
        Connection look;
        look.open(params);
        return scalarOn(look, QStringLiteral("SELECT MON$OLDEST_ACTIVE FROM MON$DATABASE"));
    };
    const QString current = QStringLiteral("SELECT CURRENT_TRANSACTION AS TR FROM RDB$DATABASE");
    const QString readOnly = QStringLiteral(
        "SELECT MON$READ_ONLY AS RO FROM MON$TRANSACTIONS WHERE MON$TRANSACTION_ID=CURRENT_TRANSACTION");
    const QString count = QStringLiteral("SELECT COUNT(*) AS N FROM T");

    // The browsing connection's reads run on one read-only transaction.
    const qint64 browsing = scalarOn(conn, current);
    EXPECT_EQ(scalarOn(conn, readOnly), 1);
    EXPECT_FALSE(conn.inTransaction());

    // Another connection commits several times: the browser sees each commit
    // at once, still in the same transaction, and the oldest active
    // transaction moves past it.
    Connection other;
    other.open(params);
    for (int id = 1; id <= 3; ++id) {
        other.execute(QStringLiteral("INSERT INTO T (ID) VALUES (%1)").arg(id));
        other.commit();
        EXPECT_EQ(scalarOn(conn, count), id);
    }
    EXPECT_EQ(scalarOn(conn, current), browsing);
    EXPECT_GT(oldestActive(), browsing);

    // A write: its own rows are seen by its reads, not by the other connection.
    conn.beginWrite();
    EXPECT_TRUE(conn.inTransaction());
    const qint64 writing = scalarOn(conn, current);
    EXPECT_NE(writing, browsing);
    EXPECT_EQ(scalarOn(conn, readOnly), 0);
    conn.execute(QStringLiteral("INSERT INTO T (ID) VALUES (10)"));
    EXPECT_EQ(scalarOn(conn, count), 4);
    EXPECT_EQ(scalarOn(other, count), 3);
    // An open write does hold the clean-up back, which is why it is short.
    EXPECT_LE(oldestActive(), writing);
    conn.commit();
    EXPECT_FALSE(conn.inTransaction());
    EXPECT_EQ(scalarOn(other, count), 4);
    EXPECT_EQ(scalarOn(conn, current), browsing);
    EXPECT_GT(oldestActive(), writing);

    // A statement that writes opens the write transaction by itself.
    conn.execute(QStringLiteral("DELETE FROM T WHERE ID=10"));
    EXPECT_TRUE(conn.inTransaction());
    conn.rollback();
    EXPECT_EQ(scalarOn(conn, count), 4);
}

TEST_F(DatabaseTest, AFailingStatementLeavesTheTransactionUsable)
{
    conn.execute(QStringLiteral("INSERT INTO T (ID, V) VALUES (1, 'first')"));
    Query dup(conn, QStringLiteral("INSERT INTO T (ID, V) VALUES (:ID, :V)"));
    dup.setParam("ID", 1);
    dup.setParam("V", "again");
    try {
        dup.exec();
        FAIL() << "duplicate key accepted";
    } catch (const DbError& e) {
        EXPECT_EQ(e.sqlCode(), -803);
        EXPECT_TRUE(e.message().contains(QLatin1String("PRIMARY or UNIQUE KEY"))) << e.what();
        EXPECT_NE(e.gdsCode(), 0);
    }
    EXPECT_THROW(conn.execute(QStringLiteral("SELECT FROM NOWHERE")), DbError);
    Query tooLong(conn, QStringLiteral("INSERT INTO T (ID, C) VALUES (9, :C)"));
    tooLong.setParam("C", "123456");
    EXPECT_THROW(tooLong.exec(), DbError);
    Query badDate(conn, QStringLiteral("INSERT INTO T (ID, D) VALUES (9, :D)"));
    badDate.setParam("D", "not a date");
    EXPECT_THROW(badDate.exec(), DbError);

    dup.setParam("ID", 2);
    dup.exec();
    conn.commit();
    Query q(conn, QStringLiteral("SELECT ID, V FROM T ORDER BY ID"));
    q.open();
    ASSERT_EQ(q.rowCount(), 2);
    EXPECT_EQ(q.asString("V"), QStringLiteral("first"));
    q.last();
    EXPECT_EQ(q.asString("V"), QStringLiteral("again"));
}

TEST_F(DatabaseTest, ScriptRunsProceduresTriggersAndSelectableProcedures)
{
    conn.executeScript(QStringLiteral(
        "/* a header comment; with a semicolon */\n"
        "SET SQL DIALECT 3;\n"
        "CREATE GENERATOR G; SET GENERATOR G TO 0;\n"
        "SET TERM ^ ;\n"
        "CREATE TRIGGER T_BI FOR T ACTIVE BEFORE INSERT POSITION 0 AS\n"
        "BEGIN\n"
        "  -- keys come from the generator; a comment ; with semicolons\n"
        "  NEW.ID = GEN_ID(G, 1);\n"
        "  IF (NEW.V IS NULL) THEN NEW.V = 'x;y';\n"
        "END^\n"
        "CREATE PROCEDURE TOTALS (LIM INTEGER) RETURNS (N INTEGER, TOT DECIMAL(15,2)) AS\n"
        "BEGIN\n"
        "  SELECT COUNT(*), SUM(M) FROM T WHERE ID <= :LIM INTO :N, :TOT;\n"
        "  SUSPEND;\n"
        "END^\n"
        "CREATE PROCEDURE TWICE (X INTEGER) RETURNS (Y INTEGER) AS BEGIN Y = 2 * X; END^\n"
        "SET TERM ; ^\n"
        "COMMIT WORK;\n"
        "INSERT INTO T (ID, M) VALUES (77, 1.25);\n"
        "INSERT INTO T (ID, M) VALUES (77, 2.50);\n"));
    Query rows(conn, QStringLiteral("SELECT ID, V FROM T ORDER BY ID"));
    rows.open();
    ASSERT_EQ(rows.rowCount(), 2);
    EXPECT_EQ(rows.asInt("ID"), 1);
    EXPECT_EQ(rows.asString("V"), QStringLiteral("x;y"));

    Query sel(conn, QStringLiteral("SELECT N, TOT FROM TOTALS(:LIM)"));
    sel.setParam("LIM", 1);
    sel.open();
    ASSERT_EQ(sel.rowCount(), 1);
    EXPECT_EQ(sel.asInt("N"), 1);
    EXPECT_EQ(sel.asCurrency("TOT"), Currency::fromRaw(12500));
    sel.setParam("LIM", 0);
    sel.open();
    EXPECT_TRUE(sel.isNull("TOT")); // a SUM over no rows

    Query exe(conn, QStringLiteral("EXECUTE PROCEDURE TWICE :X"));
    exe.setParam("X", 21);
    exe.exec();
    ASSERT_EQ(exe.rowCount(), 1);
    EXPECT_EQ(exe.asInt("Y"), 42);
}

TEST(DatabaseScript, SplitsOnTheCurrentTerminator)
{
    struct Case { const char* script; QStringList statements; };
    const Case cases[] = {
        {"A; B ;C", {"A", "B", "C"}},
        {"  ;;\n ; ", {}},
        {"INSERT INTO X VALUES ('a;b', \"c;d\");", {"INSERT INTO X VALUES ('a;b', \"c;d\")"}},
        {"A -- note; not a statement\n;B", {"A", "B"}},
        {"A /* x; y */; B", {"A", "B"}},
        {"SET TERM ^ ;\nP1 ; still P1^\nP2^\nset term ; ^\nC;", {"P1 ; still P1", "P2", "C"}},
        {"SET TERM !! ;\nX; Y!!SET TERM ; !!\nZ;", {"X; Y", "Z"}},
        {"VALUE 'it''s; fine';", {"VALUE 'it''s; fine'"}},
        {"TRAILING WITHOUT TERMINATOR", {"TRAILING WITHOUT TERMINATOR"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Connection::splitScript(QString::fromUtf8(c.script)), c.statements) << c.script;
}

TEST_F(DatabaseTest, OpeningAndCreatingReportTheEnginesText)
{
    Connection other;
    ConnectParams missing = params;
    missing.path = dir.filePath(QStringLiteral("missing.fdb"));
    try {
        other.open(missing);
        FAIL() << "opened a missing file";
    } catch (const DbError& e) {
        EXPECT_FALSE(e.message().isEmpty());
        EXPECT_NE(e.gdsCode(), 0);
    }
    EXPECT_FALSE(other.isOpen());
    EXPECT_THROW(Connection::create(params), DbError); // the file exists
    EXPECT_THROW(Query(other, QStringLiteral("SELECT 1 FROM RDB$DATABASE")).open(), DbError);

    Query info(conn, QStringLiteral("SELECT MON$PAGE_SIZE AS PS, MON$SQL_DIALECT AS DIALECT,"
                                    " (SELECT RDB$CHARACTER_SET_NAME FROM RDB$DATABASE) AS CS FROM MON$DATABASE"));
    info.open();
    EXPECT_EQ(info.asInt("PS"), 4096);
    EXPECT_EQ(info.asInt("DIALECT"), 3);
    EXPECT_EQ(info.asString("CS"), QStringLiteral("UTF8"));
}

TEST_F(DatabaseTest, QueriesSurviveAReconnection)
{
    conn.execute(QStringLiteral("INSERT INTO T (ID) VALUES (5)"));
    conn.commit();
    Query q(conn, QStringLiteral("SELECT ID FROM T WHERE ID=:ID"));
    q.setParam("ID", 5);
    q.open();
    conn.close();
    EXPECT_THROW(q.open(), DbError);
    conn.open(params);
    q.open();
    EXPECT_EQ(q.asInt("ID"), 5);
}


TEST_F(DatabaseTest, APartialOpenFetchesTheRestOnDemandAndClosesItsCursor)
{
    conn.executeScript(QStringLiteral(
        "SET TERM ^ ;"
        "EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN"
        "  WHILE (I <= 250) DO BEGIN INSERT INTO T (ID, TXT) VALUES (:I, 'ligne ' || :I); I = I + 1; END END^"
        "SET TERM ; ^"
        "COMMIT;"));
    Query q(conn, QStringLiteral("SELECT ID, TXT FROM T ORDER BY ID"));
    q.openPartial(100);
    EXPECT_EQ(q.rowCount(), 100);
    EXPECT_TRUE(q.hasMoreRows());
    EXPECT_EQ(q.fetchMore(100), 100);
    EXPECT_EQ(q.fetchMore(100), 50);   // blobs read on the cursor's transaction too
    EXPECT_FALSE(q.hasMoreRows());
    EXPECT_EQ(q.fetchMore(100), 0);
    ASSERT_EQ(q.rowCount(), 250);
    EXPECT_EQ(db::toInt(q.at(249, 0)), 250);
    EXPECT_EQ(db::toText(q.at(249, 1)), QStringLiteral("ligne 250"));

    // Closing with rows left, or running again, starts from the first row.
    q.openPartial(10);
    q.close();
    q.openPartial(10);
    EXPECT_EQ(db::toInt(q.at(0, 0)), 1);
    // A connection that goes ends the cursor: the next fetch fails cleanly.
    conn.close();
    EXPECT_FALSE(q.hasMoreRows());
    EXPECT_EQ(q.fetchMore(10), 0);
    conn.open(params);
    q.open();
    EXPECT_EQ(q.rowCount(), 250);
}

} // namespace

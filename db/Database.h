#pragma once
// A small layer over the Firebird client library: a connection with its two
// transactions (below), queries with named ":PARAMS", columns read by name,
// exact money through Currency.
//
// Its parts: the values and their conversions (Values.cpp), the errors
// (Errors.cpp), the connection and its scripts (Connection.cpp), the
// statements (Statements.cpp); what they share of the client library is in
// Native.h, which nothing outside db/ includes.

#include "core/Currency.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <stdexcept>
#include <variant>
#include <vector>

namespace db {

// Any failure reported by the client library or the engine.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& message, long sqlCode = 0, long gdsCode = 0, std::vector<long> codes = {})
        : std::runtime_error(message.toStdString()), m_message(message), m_sqlCode(sqlCode), m_gdsCode(gdsCode),
          m_codes(std::move(codes)) {}
    QString message() const { return m_message; }
    long sqlCode() const { return m_sqlCode; }
    long gdsCode() const { return m_gdsCode; }   // the first error code of the engine's report
    bool hasCode(long gdsCode) const;            // any error code of the report
    // The database file is held by another program on this computer (another
    // run of this program, or an engine that opened it): the embedded engine
    // cannot open a file another engine holds.
    bool isDatabaseInUse() const;
    // Another transaction holds an uncommitted change of the row (an update
    // conflict, a lock conflict, a deadlock).
    bool isConflict() const;
    // A value beyond what its column holds (a number out of range, a text too long).
    bool isValueOutOfRange() const;
    // A key or a unique index given twice.
    bool isDuplicate() const;
    // The connection to the database is gone (network, server shut down).
    bool isConnectionLost() const;

    // What the program was doing: reading rows, writing (a statement that
    // changes rows, a commit), connecting; Unknown for anything else.
    enum class Operation { Unknown, Read, Write, Connect };
    Operation operation() const { return m_operation; }
    void setOperation(Operation operation) { m_operation = operation; }

private:
    QString m_message;
    long m_sqlCode;
    long m_gdsCode;
    std::vector<long> m_codes;
    Operation m_operation = Operation::Unknown;
};

// One value going to or coming from the database. NULL is std::monostate.
using Value = std::variant<std::monostate, qint64, double, Currency, QString, QDate, QDateTime, QByteArray>;

bool isNull(const Value& v);
qint64 toInt(const Value& v);        // NULL -> 0; text parsed; Currency truncated
double toDouble(const Value& v);     // NULL -> 0
Currency toCurrency(const Value& v); // NULL -> 0; exact for exact numerics and text
QString toText(const Value& v);      // NULL -> ""; numbers in plain form; dates dd/MM/yyyy
QDate toDate(const Value& v);        // NULL -> invalid date
QVariant toVariant(const Value& v);  // for display models; money as exact text with two decimals ("1234.50")

// Quotes a text for the few SQL texts that must embed a value: single quotes doubled.
QString QuoteText(const QString& text);

// The largest amount an exact numeric column with decimals holds: 15 digits,
// as DECIMAL(15,2), the type of every amount column ("9999999999999.99").
// Binding a larger amount to such a parameter is refused with an error (the
// engine itself would store it, since the column's storage is wider).
inline constexpr int MaxExactDigits = 15;

struct ConnectParams {
    QString path;       // a file path (embedded engine) or "server:path" (through a server)
    QString user = QStringLiteral("SYSDBA");
    QString password;
    // The connection's character set. A database whose default character set
    // is NONE (the year files of the earlier Windows program, whose text is in
    // the Windows code page) is read and written as WIN1252 instead, and
    // params().charset then says so.
    QString charset = QStringLiteral("UTF8");
};

class Query;

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Creates a new database (page size 4096, default character set UTF8) and
    // detaches; fails when the file exists.
    static void create(const ConnectParams& params, int pageSize = 4096);

    // Switches the database's synchronous page writes on or off (a flag kept
    // in the file): a database being made writes without waiting for the
    // disk, and is switched back before it is used.
    static void setForcedWrites(const ConnectParams& params, bool on);

    void open(const ConnectParams& params);
    void close();                         // rolls back an open transaction
    bool isOpen() const;
    const ConnectParams& params() const;

    // The text column `column` as an ORDER BY term that sorts in French order
    // on this connection's database: letters first, accents and case only
    // after them, so "ÉLECTRICITÉ" sorts among the E and "école" with
    // "ECOLE". A UTF8 database takes the UNICODE collation; a database without
    // a character set (read as WIN1252) has no collation for its columns, which
    // are read as WIN1252 text and take PXW_INTL.
    QString frenchOrder(const QString& column) const;

    // Transactions (read committed, record versions, no wait):
    // - reads outside a write run on a read-only transaction that stays open
    //   while the connection does; the engine counts it as committed from its
    //   start, so a program that only browses never holds back the clean-up of
    //   old row versions, and each read sees what others have committed;
    // - every statement that is not a select runs on the write transaction,
    //   opened by beginWrite() or by the first such statement, and ended by
    //   commit() or rollback(); while it is open, reads run on it too, so that
    //   they see its uncommitted rows.
    void beginWrite();                    // opens the write transaction unless one is open
    void commit();                        // commits the write transaction (none open: nothing)
    void rollback();
    bool inTransaction() const;           // whether the write transaction is open

    // Runs one statement without parameters and without result rows, on the
    // write transaction.
    void execute(const QString& sql);
    // Runs a script: ";" ends a statement, "SET TERM x ;" changes the terminator;
    // comments are skipped; no parameter parsing. Each statement runs in order.
    void executeScript(const QString& script);
    // Splits a script the same way (exposed for tests and the SQL console).
    static QStringList splitScript(const QString& script);

    // Native handles for the query implementation.
    struct Handles;
    Handles& handles();

private:
    std::unique_ptr<Handles> d;
    friend class Query;
};

// A statement with named parameters (":NAME", matched without regard to case; a
// name used twice binds both places). open() runs a select or a selectable
// procedure and fetches every row into memory; exec() runs any other statement.
class Query {
public:
    explicit Query(Connection& connection, const QString& sql = QString());
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    Connection& connection() const { return *m_conn; }
    void setSql(const QString& sql);     // closes the query and forgets parameters
    const QString& sql() const { return m_sql; }
    QStringList paramNames() const;      // distinct names, upper-case, in order of appearance

    void setParam(const QString& name, const Value& value); // throws DbError for an unknown name
    void setParam(const QString& name, int value) { setParam(name, Value(qint64(value))); }
    void setParam(const QString& name, qint64 value) { setParam(name, Value(value)); }
    void setParam(const QString& name, const QString& value) { setParam(name, Value(value)); }
    void setParam(const QString& name, const char* value) { setParam(name, Value(QString::fromUtf8(value))); }
    void setParam(const QString& name, Currency value) { setParam(name, Value(value)); }
    void setParam(const QString& name, const QDate& value) { setParam(name, value.isValid() ? Value(value) : Value()); }
    void setNull(const QString& name) { setParam(name, Value()); }
    void clearParams();

    void open();                         // select; rows fetched; cursor on the first row
    // A select whose first `count` rows only are fetched; the engine's cursor
    // stays open for fetchMore() until the last row is read or the query
    // closes (a long result then shows without reading it whole).
    void openPartial(int count);
    bool hasMoreRows() const;            // the cursor of openPartial() has rows left
    int fetchMore(int count);            // appends up to `count` rows; the number appended
    void exec();                         // non-select; a single returned row (EXECUTE PROCEDURE) is kept as row 0
    void close();
    bool isOpen() const { return m_open; }
    int rowsAffected() const { return m_rowsAffected; }

    // Result columns: names as the engine gives them (aliases, upper-case).
    int columnCount() const;
    const QStringList& columnNames() const { return m_columns; }
    int columnIndex(const QString& name) const; // -1 when missing, case-insensitive

    // Rows and the cursor.
    int rowCount() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    int row() const { return m_row; }
    bool eof() const { return m_row >= rowCount(); }
    void first() { m_row = 0; }
    void last() { m_row = rowCount() > 0 ? rowCount() - 1 : 0; }
    void next() { if (m_row < rowCount()) ++m_row; }
    void moveTo(int row) { m_row = row; }

    // Values of the current row by column name (throws DbError for an unknown name).
    const Value& value(const QString& name) const;
    bool isNull(const QString& name) const { return db::isNull(value(name)); }
    qint64 asInt(const QString& name) const { return toInt(value(name)); }
    Currency asCurrency(const QString& name) const { return toCurrency(value(name)); }
    QString asString(const QString& name) const { return toText(value(name)); }
    QDate asDate(const QString& name) const { return toDate(value(name)); }
    double asDouble(const QString& name) const { return toDouble(value(name)); }

    // Any row, by index.
    const Value& at(int row, int column) const { return m_rows[size_t(row)][size_t(column)]; }
    const std::vector<std::vector<Value>>& rows() const { return m_rows; }
    // Hands the fetched rows over; the query is left without rows.
    std::vector<std::vector<Value>> takeRows();

    struct Impl;

private:
    Connection* m_conn;
    QString m_sql;
    std::unique_ptr<Impl> d;
    QStringList m_columns;
    std::vector<std::vector<Value>> m_rows;
    int m_row = 0;
    bool m_open = false;
    int m_rowsAffected = 0;
};

} // namespace db

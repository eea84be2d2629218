#pragma once
// What the parts of the Firebird layer share, inside db/ only: the client
// library's handles of a connection and its transactions, the check of its
// status vectors, its date and time encodings, and the values' own helpers.

#include "db/Database.h"
#include "db/TextCodec.h"

#include <ibase.h>

#include <set>
#include <vector>

namespace db {

// The SQL dialect of every statement and database.
constexpr unsigned short Dialect = 3;

// ISC dates count days from 17 November 1858; times count ten-thousandths of a second.
constexpr qint64 IscDateEpoch = 2400001;

inline ISC_DATE encodeDate(const QDate& d) { return ISC_DATE(d.toJulianDay() - IscDateEpoch); }
inline QDate decodeDate(ISC_DATE d) { return QDate::fromJulianDay(qint64(d) + IscDateEpoch); }
inline ISC_TIME encodeTime(const QTime& t) { return ISC_TIME(t.isValid() ? t.msecsSinceStartOfDay() * 10 : 0); }
inline QTime decodeTime(ISC_TIME t) { return QTime::fromMSecsSinceStartOfDay(int(t / 10)); }

// The NULL value, for a column or parameter without one.
const Value& nullValue();
// A date or a timestamp typed as text, in the forms the program accepts;
// invalid when the text is none of them.
QDate parseDateText(const QString& text);
QDateTime parseDateTimeText(const QString& text);

// Throws the engine's report of a failed call, or a message of this layer.
[[noreturn]] void raiseStatus(const ISC_STATUS* status);
[[noreturn]] void raiseText(const QString& message);
// Throws when a call reported a failure.
inline void check(const ISC_STATUS* status)
{
    if (status[0] == 1 && status[1] != 0)
        raiseStatus(status);
}

// Runs `fn`, marking a database error it raises with what was being done.
template <typename F>
void Marking(DbError::Operation operation, F&& fn)
{
    try {
        fn();
    } catch (DbError& e) {
        if (e.operation() == DbError::Operation::Unknown)
            e.setOperation(operation);
        throw;
    }
}

struct Connection::Handles {
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;     // the write transaction: open from the first write to commit or rollback
    isc_tr_handle readTr = 0; // the read-only transaction every read outside a write runs on
    isc_tr_handle* running = nullptr; // the transaction of the statement being run (its blobs)
    ConnectParams params;
    std::set<Query::Impl*> queries; // statements to drop before detaching
    // Text of a WIN1252 connection goes through the Windows code page; any
    // other connection speaks UTF-8.
    bool windows1252 = false;

    QByteArray encode(const QString& text) const
    {
        if (!windows1252)
            return text.toUtf8();
        return EncodeWindows1252(text);
    }
    QString decode(const char* data, qsizetype size) const
    {
        return windows1252 ? DecodeWindows1252(QByteArrayView(data, size)) : QString::fromUtf8(data, size);
    }

    void ensureOpen() const
    {
        if (!db)
            raiseText(QStringLiteral("La base de données n'est pas connectée."));
    }
    // The write transaction, started when none is open.
    isc_tr_handle* transaction()
    {
        ensureOpen();
        static const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed, isc_tpb_rec_version,
                                   isc_tpb_nowait};
        return start(tr, tpb, sizeof tpb);
    }
    // Where a read runs: on the open write transaction, so that a write sees
    // its own rows; otherwise on the read-only read-committed transaction,
    // which the engine counts as committed from its start, so that it never
    // holds back the clean-up of old row versions however long it stays open.
    isc_tr_handle* readTransaction()
    {
        ensureOpen();
        if (tr)
            return &tr;
        static const char tpb[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed, isc_tpb_rec_version,
                                   isc_tpb_nowait};
        return start(readTr, tpb, sizeof tpb);
    }
    isc_tr_handle* start(isc_tr_handle& handle, const char* tpb, size_t size)
    {
        if (!handle) {
            ISC_STATUS_ARRAY status;
            isc_start_transaction(status, &handle, 1, &db, short(size), tpb);
            check(status);
        }
        return &handle;
    }
    void endReadTransaction()
    {
        if (readTr) {
            ISC_STATUS_ARRAY status;
            isc_commit_transaction(status, &readTr);
            if (status[0] == 1 && status[1] != 0)
                isc_rollback_transaction(status, &readTr);
            readTr = 0;
        }
    }
    void dropStatements();
    void detachQueries(); // queries that outlive the connection fail cleanly
};

} // namespace db

#include "db/Database.h"

#include "db/TextCodec.h"

#include <ibase.h>

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <set>

namespace db {

// ---------------------------------------------------------------------------
// Values
// ---------------------------------------------------------------------------

namespace {

QDate parseDateText(const QString& text)
{
    const QString t = text.trimmed();
    for (const char* format : {"dd/MM/yyyy", "yyyy/MM/dd", "yyyy-MM-dd", "dd.MM.yyyy", "d/M/yyyy", "yyyy/M/d"}) {
        const QDate d = QDate::fromString(t, QLatin1String(format));
        if (d.isValid())
            return d;
    }
    const QDateTime dt = QDateTime::fromString(t, Qt::ISODate);
    return dt.isValid() ? dt.date() : QDate();
}

QDateTime parseDateTimeText(const QString& text)
{
    const QString t = text.trimmed();
    for (const char* format : {"dd/MM/yyyy hh:mm:ss", "dd/MM/yyyy hh:mm", "yyyy/MM/dd hh:mm:ss", "yyyy-MM-dd hh:mm:ss"}) {
        const QDateTime dt = QDateTime::fromString(t, QLatin1String(format));
        if (dt.isValid())
            return dt;
    }
    QDateTime dt = QDateTime::fromString(t, Qt::ISODate);
    if (dt.isValid())
        return dt;
    const QDate d = parseDateText(t);
    return d.isValid() ? QDateTime(d, QTime(0, 0)) : QDateTime();
}

const Value& nullValue()
{
    static const Value v;
    return v;
}

} // namespace

bool isNull(const Value& v)
{
    return std::holds_alternative<std::monostate>(v);
}

qint64 toInt(const Value& v)
{
    if (const auto* i = std::get_if<qint64>(&v))
        return *i;
    if (const auto* c = std::get_if<Currency>(&v))
        return c->units();
    if (const auto* d = std::get_if<double>(&v))
        return static_cast<qint64>(*d);
    if (const auto* s = std::get_if<QString>(&v)) {
        bool ok = false;
        const qint64 n = s->trimmed().toLongLong(&ok);
        if (ok)
            return n;
        if (const auto c = Currency::parse(*s))
            return c->units();
        return 0;
    }
    if (const auto* b = std::get_if<QByteArray>(&v))
        return b->trimmed().toLongLong();
    return 0;
}

double toDouble(const Value& v)
{
    if (const auto* d = std::get_if<double>(&v))
        return *d;
    if (const auto* i = std::get_if<qint64>(&v))
        return double(*i);
    if (const auto* c = std::get_if<Currency>(&v))
        return c->toDouble();
    if (const auto* s = std::get_if<QString>(&v))
        return s->trimmed().toDouble();
    return 0.0;
}

Currency toCurrency(const Value& v)
{
    if (const auto* c = std::get_if<Currency>(&v))
        return *c;
    if (const auto* i = std::get_if<qint64>(&v))
        return Currency::fromUnits(*i);
    if (const auto* d = std::get_if<double>(&v))
        return Currency::fromDouble(*d);
    if (const auto* s = std::get_if<QString>(&v))
        return Currency::parse(*s).value_or(Currency());
    return Currency();
}

QString toText(const Value& v)
{
    return std::visit([](const auto& x) -> QString {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>)
            return QString();
        else if constexpr (std::is_same_v<T, qint64>)
            return QString::number(x);
        else if constexpr (std::is_same_v<T, double>)
            return QString::number(x, 'g', 15);
        else if constexpr (std::is_same_v<T, Currency>)
            return x.toPlainText();
        else if constexpr (std::is_same_v<T, QString>)
            return x;
        else if constexpr (std::is_same_v<T, QDate>)
            return x.toString(QStringLiteral("dd/MM/yyyy"));
        else if constexpr (std::is_same_v<T, QDateTime>)
            return x.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
        else
            return QString::fromUtf8(x);
    }, v);
}

QDate toDate(const Value& v)
{
    if (const auto* d = std::get_if<QDate>(&v))
        return *d;
    if (const auto* dt = std::get_if<QDateTime>(&v))
        return dt->date();
    if (const auto* s = std::get_if<QString>(&v))
        return parseDateText(*s);
    return QDate();
}

QVariant toVariant(const Value& v)
{
    return std::visit([](const auto& x) -> QVariant {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>)
            return QVariant();
        else if constexpr (std::is_same_v<T, qint64>)
            return QVariant(qlonglong(x));
        else if constexpr (std::is_same_v<T, Currency>)
            return QVariant(x.toFixed2()); // exact, and readable back by Currency::parse
        else
            return QVariant(x);
    }, v);
}

bool DbError::hasCode(long gdsCode) const
{
    return m_gdsCode == gdsCode || std::find(m_codes.begin(), m_codes.end(), gdsCode) != m_codes.end();
}

bool DbError::isDatabaseInUse() const
{
    return hasCode(isc_already_opened);
}

bool DbError::isConflict() const
{
    return hasCode(isc_update_conflict) || hasCode(isc_lock_conflict) || hasCode(isc_deadlock)
        || hasCode(isc_concurrent_transaction);
}

bool DbError::isValueOutOfRange() const
{
    return hasCode(isc_arith_except) || hasCode(isc_numeric_out_of_range) || hasCode(isc_string_truncation);
}

bool DbError::isDuplicate() const
{
    return hasCode(isc_unique_key_violation) || hasCode(isc_no_dup);
}

bool DbError::isConnectionLost() const
{
    return hasCode(isc_network_error) || hasCode(isc_net_read_err) || hasCode(isc_net_write_err)
        || hasCode(isc_conn_lost) || hasCode(isc_lost_db_connection) || hasCode(isc_att_shutdown)
        || hasCode(isc_shutdown) || hasCode(isc_bad_db_handle);
}

namespace {

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

} // namespace

QString QuoteText(const QString& text)
{
    QString t = text;
    t.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

// ---------------------------------------------------------------------------
// Native helpers
// ---------------------------------------------------------------------------

namespace {

constexpr unsigned short Dialect = 3;

// ISC dates count days from 17 November 1858; times count ten-thousandths of a second.
constexpr qint64 IscDateEpoch = 2400001;

ISC_DATE encodeDate(const QDate& d) { return ISC_DATE(d.toJulianDay() - IscDateEpoch); }
QDate decodeDate(ISC_DATE d) { return QDate::fromJulianDay(qint64(d) + IscDateEpoch); }
ISC_TIME encodeTime(const QTime& t) { return ISC_TIME(t.isValid() ? t.msecsSinceStartOfDay() * 10 : 0); }
QTime decodeTime(ISC_TIME t) { return QTime::fromMSecsSinceStartOfDay(int(t / 10)); }

// The error codes of a status vector, in order.
std::vector<long> statusCodes(const ISC_STATUS* status)
{
    std::vector<long> codes;
    for (const ISC_STATUS* p = status; *p != isc_arg_end;) {
        switch (*p) {
        case isc_arg_gds:
        case isc_arg_warning:
            codes.push_back(long(p[1]));
            p += 2;
            break;
        case isc_arg_cstring:
            p += 3;
            break;
        default: // string, number, interpreted text, SQL state: one value
            p += 2;
            break;
        }
    }
    return codes;
}

[[noreturn]] void raiseStatus(const ISC_STATUS* status)
{
    QStringList lines;
    char buffer[1024];
    const ISC_STATUS* p = status;
    while (fb_interpret(buffer, sizeof buffer, &p) > 0)
        lines << QString::fromUtf8(buffer);
    const long sqlCode = isc_sqlcode(status);
    throw DbError(lines.join(QLatin1Char('\n')), sqlCode, long(status[1]), statusCodes(status));
}

inline void check(const ISC_STATUS* status)
{
    if (status[0] == 1 && status[1] != 0)
        raiseStatus(status);
}

[[noreturn]] void raiseText(const QString& message)
{
    throw DbError(message);
}

// A parameter block: tag, one-byte length, bytes.
class ParamBlock {
public:
    explicit ParamBlock(char version) { m_bytes.append(version); }
    void addString(char tag, const QByteArray& value)
    {
        m_bytes.append(tag);
        m_bytes.append(char(qMin<qsizetype>(value.size(), 255)));
        m_bytes.append(value.left(255));
    }
    void addInt(char tag, int value)
    {
        m_bytes.append(tag);
        m_bytes.append(char(4));
        for (int i = 0; i < 4; ++i)
            m_bytes.append(char((value >> (8 * i)) & 0xFF));
    }
    void addFlag(char tag) { m_bytes.append(tag); }
    const char* data() const { return m_bytes.constData(); }
    short size() const { return short(m_bytes.size()); }

private:
    QByteArray m_bytes;
};

ParamBlock connectionBlock(const ConnectParams& params)
{
    ParamBlock dpb(isc_dpb_version1);
    dpb.addString(isc_dpb_user_name, params.user.toUtf8());
    dpb.addString(isc_dpb_password, params.password.toUtf8());
    dpb.addString(isc_dpb_lc_ctype, params.charset.toUtf8());
    dpb.addString(isc_dpb_utf8_filename, QByteArray());
    return dpb;
}

struct SqlDa {
    XSQLDA* p = nullptr;
    SqlDa() = default;
    SqlDa(const SqlDa&) = delete;
    SqlDa& operator=(const SqlDa&) = delete;
    ~SqlDa() { std::free(p); }
    void resize(int n)
    {
        std::free(p);
        p = static_cast<XSQLDA*>(std::calloc(1, XSQLDA_LENGTH(n < 1 ? 1 : n)));
        p->version = SQLDA_VERSION1;
        p->sqln = short(n < 1 ? 1 : n);
    }
    int count() const { return p ? p->sqld : 0; }
};

QString sqlvarName(const XSQLVAR& v)
{
    if (v.aliasname_length > 0)
        return QString::fromUtf8(v.aliasname, v.aliasname_length);
    return QString::fromUtf8(v.sqlname, v.sqlname_length);
}

bool isIdentStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
bool isIdentChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$'); }

// Replaces each ":NAME" outside quotes and comments by "?" and lists the names
// in order of appearance (upper-case).
QString parseParams(const QString& sql, QStringList& order)
{
    QString out;
    out.reserve(sql.size());
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype end = sql.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? n : end + 1;
            out += QStringView(sql).mid(i, stop - i);
            i = stop;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            const qsizetype end = sql.indexOf(QLatin1Char('\n'), i);
            const qsizetype stop = end < 0 ? n : end;
            out += QStringView(sql).mid(i, stop - i);
            i = stop;
        } else if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            const qsizetype stop = end < 0 ? n : end + 2;
            out += QStringView(sql).mid(i, stop - i);
            i = stop;
        } else if (c == QLatin1Char(':')) {
            if (i + 1 < n && sql[i + 1] == QLatin1Char(':')) {
                // "::" and longer runs of colons are not parameters.
                qsizetype j = i;
                while (j < n && sql[j] == QLatin1Char(':'))
                    ++j;
                out += QStringView(sql).mid(i, j - i);
                i = j;
            } else if (i + 1 < n && isIdentStart(sql[i + 1])) {
                qsizetype j = i + 1;
                while (j < n && isIdentChar(sql[j]))
                    ++j;
                order << sql.mid(i + 1, j - i - 1).toUpper();
                out += QLatin1Char('?');
                i = j;
            } else {
                out += c;
                ++i;
            }
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

} // namespace

// ---------------------------------------------------------------------------
// Connection
// ---------------------------------------------------------------------------

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

Connection::Connection() : d(std::make_unique<Handles>()) {}

Connection::~Connection()
{
    close();
    d->detachQueries();
}

Connection::Handles& Connection::handles()
{
    return *d;
}

void Connection::create(const ConnectParams& params, int pageSize)
{
    ParamBlock dpb = connectionBlock(params);
    dpb.addInt(isc_dpb_page_size, pageSize);
    dpb.addString(isc_dpb_set_db_charset, params.charset.toUtf8());
    dpb.addInt(isc_dpb_sql_dialect, Dialect);
    const QByteArray path = params.path.toUtf8();
    isc_db_handle db = 0;
    ISC_STATUS_ARRAY status;
    isc_create_database(status, short(path.size()), path.constData(), &db, dpb.size(), dpb.data(), 0);
    check(status);
    isc_detach_database(status, &db);
    check(status);
}

void Connection::setForcedWrites(const ConnectParams& params, bool on)
{
    ParamBlock dpb = connectionBlock(params);
    dpb.addInt(isc_dpb_force_write, on ? 1 : 0);
    const QByteArray path = params.path.toUtf8();
    isc_db_handle db = 0;
    ISC_STATUS_ARRAY status;
    isc_attach_database(status, short(path.size()), path.constData(), &db, dpb.size(), dpb.data());
    Marking(DbError::Operation::Connect, [&] { check(status); });
    isc_detach_database(status, &db);
    check(status);
}

void Connection::open(const ConnectParams& params)
{
    if (d->db)
        close();
    const ParamBlock dpb = connectionBlock(params);
    const QByteArray path = params.path.toUtf8();
    ISC_STATUS_ARRAY status;
    isc_db_handle db = 0;
    isc_attach_database(status, short(path.size()), path.constData(), &db, dpb.size(), dpb.data());
    Marking(DbError::Operation::Connect, [&] { check(status); });
    d->db = db;
    d->params = params;
    d->windows1252 = params.charset.compare(QLatin1String("WIN1252"), Qt::CaseInsensitive) == 0;

    // A database without a default character set holds its text as the
    // program that wrote it sent it: the earlier Windows program sent the
    // Windows code page. Such a database is read and written as WIN1252, so
    // that its accented letters stay letters.
    if (!d->windows1252 && params.charset.compare(QLatin1String("UTF8"), Qt::CaseInsensitive) == 0) {
        QString charset;
        {
            Query q(*this, QStringLiteral("SELECT RDB$CHARACTER_SET_NAME FROM RDB$DATABASE"));
            q.open();
            charset = q.isEmpty() ? QString() : toText(q.at(0, 0)).trimmed();
        }
        if (charset.isEmpty() || charset.compare(QLatin1String("NONE"), Qt::CaseInsensitive) == 0) {
            ConnectParams codePage = params;
            codePage.charset = QStringLiteral("WIN1252");
            close();
            open(codePage);
        }
    }
}

QString Connection::frenchOrder(const QString& column) const
{
    if (d->windows1252)
        return QStringLiteral("CAST(%1 AS VARCHAR(512) CHARACTER SET WIN1252) COLLATE PXW_INTL").arg(column);
    return column + QStringLiteral(" COLLATE UNICODE");
}

void Connection::close()
{
    if (!d->db)
        return;
    d->dropStatements();
    ISC_STATUS_ARRAY status;
    if (d->tr) {
        isc_rollback_transaction(status, &d->tr);
        d->tr = 0;
    }
    d->endReadTransaction();
    isc_detach_database(status, &d->db);
    d->db = 0;
}

bool Connection::isOpen() const
{
    return d->db != 0;
}

const ConnectParams& Connection::params() const
{
    return d->params;
}

void Connection::commit()
{
    if (!d->tr)
        return;
    ISC_STATUS_ARRAY status;
    isc_commit_transaction(status, &d->tr);
    // On failure the transaction stays open for a rollback.
    Marking(DbError::Operation::Write, [&] { check(status); });
    d->tr = 0;
}

void Connection::rollback()
{
    if (!d->tr)
        return;
    ISC_STATUS_ARRAY status;
    isc_rollback_transaction(status, &d->tr);
    if (status[0] == 1 && status[1] != 0) {
        // A transaction whose rollback fails is dropped all the same so that
        // the next statement starts afresh.
        d->tr = 0;
        raiseStatus(status);
    }
    d->tr = 0;
}

bool Connection::inTransaction() const
{
    return d->tr != 0;
}

void Connection::beginWrite()
{
    d->transaction();
}

void Connection::execute(const QString& sql)
{
    const QByteArray text = d->encode(sql);
    isc_tr_handle* tr = d->transaction();
    ISC_STATUS_ARRAY status;
    isc_dsql_execute_immediate(status, &d->db, tr, 0, text.constData(), Dialect, nullptr);
    Marking(DbError::Operation::Write, [&] { check(status); });
}

QStringList Connection::splitScript(const QString& script)
{
    static const QRegularExpression setTerm(QStringLiteral("^SET\\s+TERM\\s+(\\S+)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    QStringList statements;
    QString terminator = QStringLiteral(";");
    QString current;
    auto finish = [&]() {
        const QString s = current.trimmed();
        current.clear();
        if (s.isEmpty())
            return;
        const auto m = setTerm.match(s);
        if (m.hasMatch())
            terminator = m.captured(1);
        else
            statements << s;
    };
    const qsizetype n = script.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = script[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype end = script.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? n : end + 1;
            current += QStringView(script).mid(i, stop - i);
            i = stop;
        } else if (c == QLatin1Char('-') && i + 1 < n && script[i + 1] == QLatin1Char('-')) {
            const qsizetype end = script.indexOf(QLatin1Char('\n'), i);
            i = end < 0 ? n : end;
        } else if (c == QLatin1Char('/') && i + 1 < n && script[i + 1] == QLatin1Char('*')) {
            const qsizetype end = script.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            current += QLatin1Char(' ');
        } else if (QStringView(script).mid(i).startsWith(terminator)) {
            i += terminator.size(); // before finish(), which may change the terminator
            finish();
        } else {
            current += c;
            ++i;
        }
    }
    finish();
    return statements;
}

void Connection::executeScript(const QString& script)
{
    // Commands of the interactive tool that are no SQL: nothing to run.
    static const QRegularExpression toolCommand(
        QStringLiteral("^(SET\\s+(SQL\\s+DIALECT|NAMES|AUTODDL|ECHO|LIST|BAIL|WARNINGS|STATS|PLAN|PLANONLY|"
                       "HEADING|COUNT|BLOB|BLOBDISPLAY|TIME|ROWCOUNT|WIDTH|SQLDA_DISPLAY)\\b|"
                       "CONNECT\\b|CREATE\\s+DATABASE\\b|SHOW\\b|INPUT\\b|OUTPUT\\b|QUIT\\b|EXIT\\b)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression commitWork(QStringLiteral("^COMMIT(\\s+WORK)?$"),
                                               QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression rollbackWork(QStringLiteral("^ROLLBACK(\\s+WORK)?$"),
                                                 QRegularExpression::CaseInsensitiveOption);
    for (const QString& statement : splitScript(script)) {
        if (toolCommand.match(statement).hasMatch())
            continue;
        if (commitWork.match(statement).hasMatch())
            commit();
        else if (rollbackWork.match(statement).hasMatch())
            rollback();
        else
            execute(statement);
    }
}

// ---------------------------------------------------------------------------
// Query
// ---------------------------------------------------------------------------

struct Query::Impl {
    Connection::Handles* h = nullptr;  // null once the connection is gone
    isc_stmt_handle stmt = 0;
    QString nativeSql;                 // the text with "?" in place of the names
    QStringList order;                 // parameter name of each "?"
    QStringList distinct;              // distinct names in order of appearance
    std::map<QString, Value> values;   // by upper-case name
    SqlDa in;
    SqlDa out;
    std::vector<XSQLVAR> described;    // input variables as the engine described them
    int type = 0;                      // statement type
    // A select opened for part of its rows keeps its cursor open, on the
    // transaction it ran on, until the rest is fetched or the query closes.
    bool cursorOpen = false;
    isc_tr_handle* cursorTr = nullptr;

    // Buffers of one execution.
    std::vector<QByteArray> inBuffers;
    std::vector<short> inNulls;
    std::vector<QByteArray> outBuffers;
    std::vector<short> outNulls;

    void closeCursor()
    {
        if (cursorOpen && stmt && h && h->db) {
            ISC_STATUS_ARRAY status;
            isc_dsql_free_statement(status, &stmt, DSQL_close);
        }
        cursorOpen = false;
        cursorTr = nullptr;
    }

    void unprepare()
    {
        cursorOpen = false;
        cursorTr = nullptr;
        if (stmt && h && h->db) {
            ISC_STATUS_ARRAY status;
            isc_dsql_free_statement(status, &stmt, DSQL_drop);
        }
        stmt = 0;
    }
};

void Connection::Handles::dropStatements()
{
    for (Query::Impl* q : queries)
        q->unprepare();
}

void Connection::Handles::detachQueries()
{
    for (Query::Impl* q : queries)
        q->h = nullptr;
    queries.clear();
}

Query::Query(Connection& connection, const QString& sql) : m_conn(&connection), d(std::make_unique<Impl>())
{
    d->h = &connection.handles();
    d->h->queries.insert(d.get());
    setSql(sql);
}

Query::~Query()
{
    close();
    d->unprepare();
    if (d->h)
        d->h->queries.erase(d.get());
}

void Query::setSql(const QString& sql)
{
    close();
    d->unprepare();
    m_sql = sql;
    d->order.clear();
    d->distinct.clear();
    d->values.clear();
    m_columns.clear();
    d->nativeSql = parseParams(sql, d->order);
    for (const QString& name : std::as_const(d->order))
        if (!d->distinct.contains(name))
            d->distinct << name;
}

QStringList Query::paramNames() const
{
    return d->distinct;
}

void Query::setParam(const QString& name, const Value& value)
{
    const QString key = name.startsWith(QLatin1Char(':')) ? name.mid(1).toUpper() : name.toUpper();
    if (!d->distinct.contains(key))
        raiseText(QStringLiteral("Paramètre inconnu : %1").arg(name));
    d->values[key] = value;
}

void Query::clearParams()
{
    d->values.clear();
}

int Query::columnCount() const
{
    return int(m_columns.size());
}

int Query::columnIndex(const QString& name) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

const Value& Query::value(const QString& name) const
{
    const int column = columnIndex(name);
    if (column < 0)
        raiseText(QStringLiteral("Champ inconnu : %1").arg(name));
    if (m_row < 0 || m_row >= rowCount())
        return nullValue();
    return m_rows[size_t(m_row)][size_t(column)];
}

void Query::close()
{
    d->closeCursor();
    m_rows.clear();
    m_row = 0;
    m_open = false;
}

namespace {

void prepare(Query::Impl& q, QStringList& columns)
{
    Connection::Handles& h = *q.h;
    isc_tr_handle* tr = h.readTransaction();
    ISC_STATUS_ARRAY status;
    isc_dsql_allocate_statement(status, &h.db, &q.stmt);
    check(status);
    q.out.resize(20);
    const QByteArray text = h.encode(q.nativeSql);
    isc_dsql_prepare(status, tr, &q.stmt, 0, text.constData(), Dialect, q.out.p);
    if (status[0] == 1 && status[1] != 0) {
        ISC_STATUS_ARRAY ignored;
        isc_dsql_free_statement(ignored, &q.stmt, DSQL_drop);
        q.stmt = 0;
        raiseStatus(status);
    }
    if (q.out.p->sqld > q.out.p->sqln) {
        const int n = q.out.p->sqld;
        q.out.resize(n);
        isc_dsql_describe(status, &q.stmt, Dialect, q.out.p);
        check(status);
    }
    q.in.resize(qMax<qsizetype>(q.order.size(), 1));
    isc_dsql_describe_bind(status, &q.stmt, Dialect, q.in.p);
    check(status);
    if (q.in.p->sqld > q.in.p->sqln) {
        const int n = q.in.p->sqld;
        q.in.resize(n);
        isc_dsql_describe_bind(status, &q.stmt, Dialect, q.in.p);
        check(status);
    }
    if (q.in.p->sqld != q.order.size())
        raiseText(QStringLiteral("Paramètres mal reconnus dans la requête (%1 attendus, %2 trouvés)")
                      .arg(q.in.p->sqld)
                      .arg(q.order.size()));
    q.described.assign(q.in.p->sqlvar, q.in.p->sqlvar + q.in.p->sqld);

    static const char typeItem[] = {isc_info_sql_stmt_type};
    char info[16] = {};
    isc_dsql_sql_info(status, &q.stmt, sizeof typeItem, typeItem, sizeof info, info);
    check(status);
    q.type = 0;
    if (info[0] == isc_info_sql_stmt_type) {
        const short len = short(isc_vax_integer(info + 1, 2));
        q.type = int(isc_vax_integer(info + 3, len));
    }

    // Output buffers, one per column, in the types the engine described.
    const int n = q.out.p->sqld;
    q.outBuffers.assign(size_t(n), QByteArray());
    q.outNulls.assign(size_t(n), 0);
    columns.clear();
    for (int i = 0; i < n; ++i) {
        XSQLVAR& v = q.out.p->sqlvar[i];
        const int t = v.sqltype & ~1;
        int size = v.sqllen;
        if (t == SQL_VARYING)
            size += 2;
        q.outBuffers[size_t(i)] = QByteArray(qMax(size, 8) + 1, '\0');
        v.sqldata = q.outBuffers[size_t(i)].data();
        v.sqlind = &q.outNulls[size_t(i)];
        v.sqltype = short(t | 1);
        columns << sqlvarName(v);
    }
}

QByteArray readBlob(Connection::Handles& h, ISC_QUAD id)
{
    ISC_STATUS_ARRAY status;
    isc_blob_handle blob = 0;
    isc_open_blob2(status, &h.db, h.running, &blob, &id, 0, nullptr);
    check(status);
    QByteArray data;
    char segment[32768];
    for (;;) {
        unsigned short got = 0;
        const ISC_STATUS rc = isc_get_segment(status, &blob, &got, sizeof segment, segment);
        if (rc == 0 || rc == isc_segment) {
            data.append(segment, got);
            continue;
        }
        if (rc == isc_segstr_eof)
            break;
        ISC_STATUS_ARRAY ignored;
        isc_close_blob(ignored, &blob);
        raiseStatus(status);
    }
    isc_close_blob(status, &blob);
    check(status);
    return data;
}

ISC_QUAD writeBlob(Connection::Handles& h, const QByteArray& data)
{
    ISC_STATUS_ARRAY status;
    isc_blob_handle blob = 0;
    ISC_QUAD id{};
    isc_create_blob2(status, &h.db, h.running, &blob, &id, 0, nullptr);
    check(status);
    for (qsizetype pos = 0; pos < data.size(); pos += 32768) {
        const qsizetype len = qMin<qsizetype>(32768, data.size() - pos);
        isc_put_segment(status, &blob, (unsigned short)len, data.constData() + pos);
        if (status[0] == 1 && status[1] != 0) {
            ISC_STATUS_ARRAY ignored;
            isc_cancel_blob(ignored, &blob);
            raiseStatus(status);
        }
    }
    isc_close_blob(status, &blob);
    check(status);
    return id;
}

qint64 pow10(int n)
{
    qint64 p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

Value readColumn(Connection::Handles& h, const XSQLVAR& v)
{
    if ((v.sqltype & 1) && *v.sqlind < 0)
        return Value();
    const int t = v.sqltype & ~1;
    const char* data = v.sqldata;
    auto exact = [&](qint64 n) -> Value {
        if (v.sqlscale == 0)
            return Value(n);
        // An amount too large for Currency is an error, never a wrapped value.
        const int scale = -v.sqlscale;
        qint64 raw = 0;
        if (scale < 4 && __builtin_mul_overflow(n, pow10(4 - scale), &raw))
            raiseText(QStringLiteral("Montant illisible dans la colonne %1 : il dépasse les limites du programme.")
                          .arg(sqlvarName(v)));
        return Value(Currency::fromScaled(n, scale));
    };
    switch (t) {
    case SQL_TEXT: {
        const int charset = v.sqlsubtype & 0xFF;
        qsizetype len = v.sqllen;
        if (charset == 1) // OCTETS: raw bytes, no pad trimming
            return Value(QByteArray(data, len));
        while (len > 0 && data[len - 1] == ' ')
            --len;
        return Value(h.decode(data, len));
    }
    case SQL_VARYING: {
        short len;
        std::memcpy(&len, data, 2);
        if ((v.sqlsubtype & 0xFF) == 1)
            return Value(QByteArray(data + 2, len));
        return Value(h.decode(data + 2, len));
    }
    case SQL_SHORT: {
        short n;
        std::memcpy(&n, data, sizeof n);
        return exact(n);
    }
    case SQL_LONG: {
        ISC_LONG n;
        std::memcpy(&n, data, sizeof n);
        return exact(n);
    }
    case SQL_INT64: {
        ISC_INT64 n;
        std::memcpy(&n, data, sizeof n);
        return exact(n);
    }
    case SQL_FLOAT: {
        float f;
        std::memcpy(&f, data, sizeof f);
        return Value(double(f));
    }
    case SQL_DOUBLE:
    case SQL_D_FLOAT: {
        double f;
        std::memcpy(&f, data, sizeof f);
        return Value(f);
    }
    case SQL_TYPE_DATE: {
        ISC_DATE d;
        std::memcpy(&d, data, sizeof d);
        return Value(decodeDate(d));
    }
    case SQL_TYPE_TIME: {
        ISC_TIME tm;
        std::memcpy(&tm, data, sizeof tm);
        return Value(decodeTime(tm).toString(QStringLiteral("hh:mm:ss")));
    }
    case SQL_TIMESTAMP: {
        ISC_TIMESTAMP ts;
        std::memcpy(&ts, data, sizeof ts);
        return Value(QDateTime(decodeDate(ts.timestamp_date), decodeTime(ts.timestamp_time)));
    }
    case SQL_BLOB: {
        ISC_QUAD id;
        std::memcpy(&id, data, sizeof id);
        const QByteArray bytes = readBlob(h, id);
        if (v.sqlsubtype == isc_blob_text)
            return Value(h.decode(bytes.constData(), bytes.size()));
        return Value(bytes);
    }
    case SQL_BOOLEAN:
        return Value(qint64(data[0] != 0));
    default:
        return Value();
    }
}

// Fills the input variable `v` (described as `desc`) with `value`.
void bindValue(Connection::Handles& h, const QString& name, const XSQLVAR& desc, XSQLVAR& v, const Value& value,
               QByteArray& buffer, short& nullFlag)
{
    v = desc;
    v.sqlind = &nullFlag;
    const int t = desc.sqltype & ~1;
    auto fail = [&]() {
        raiseText(QStringLiteral("Valeur incompatible pour le paramètre %1 : %2").arg(name, toText(value)));
    };
    auto setBytes = [&](const void* p, int size, short type) {
        buffer = QByteArray(static_cast<const char*>(p), size);
        v.sqltype = short(type | 1);
        v.sqllen = short(size);
        v.sqldata = buffer.data();
        nullFlag = 0;
    };
    auto setText = [&](const QByteArray& text) {
        // A VARCHAR carries its own length; the engine converts it to the target type.
        buffer = QByteArray(2 + text.size(), '\0');
        const short len = short(qMin<qsizetype>(text.size(), 32765));
        std::memcpy(buffer.data(), &len, 2);
        std::memcpy(buffer.data() + 2, text.constData(), size_t(len));
        v.sqltype = short(SQL_VARYING | 1);
        v.sqllen = len;
        if (t != SQL_TEXT && t != SQL_VARYING)
            v.sqlsubtype = h.windows1252 ? 53 : 4; // the connection's character set: WIN1252 or UTF8
        v.sqlscale = 0;
        v.sqldata = buffer.data();
        nullFlag = 0;
    };

    if (isNull(value) || t == SQL_NULL) {
        buffer = QByteArray(qMax<int>(desc.sqllen, 8) + 2, '\0');
        v.sqltype = short(t | 1);
        v.sqldata = buffer.data();
        nullFlag = isNull(value) ? -1 : 0;
        return;
    }

    switch (t) {
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64: {
        const int scale = -desc.sqlscale;
        // An amount the column cannot hold is refused here: the engine would
        // store anything its 64-bit storage takes, and an overflow would wrap.
        auto outOfRange = [&]() {
            const qint64 largest = pow10(MaxExactDigits) - 1;
            raiseText(QStringLiteral("Montant hors limites pour le paramètre %1 : %2 (au plus %3 en valeur absolue)")
                          .arg(name, toText(value), Currency::fromScaled(largest, scale).formatMoney()));
        };
        auto scaled = [&](Currency c) -> qint64 {
            qint64 result = 0;
            if (scale <= 4)
                return c.toScaled(scale);
            if (__builtin_mul_overflow(c.raw(), pow10(scale - 4), &result))
                outOfRange();
            return result;
        };
        ISC_INT64 n = 0;
        if (const auto* i = std::get_if<qint64>(&value)) {
            if (__builtin_mul_overflow(*i, pow10(scale), &n))
                outOfRange();
        } else if (const auto* c = std::get_if<Currency>(&value)) {
            n = scaled(*c);
        } else if (const auto* f = std::get_if<double>(&value)) {
            const double x = std::round(*f * double(pow10(scale)));
            if (!std::isfinite(x))
                fail();
            if (std::fabs(x) >= 9.0e18)
                outOfRange();
            n = ISC_INT64(x);
        } else if (const auto* s = std::get_if<QString>(&value)) {
            const auto c = Currency::parse(*s);
            if (!c)
                fail();
            n = scaled(*c);
        } else {
            fail();
        }
        if (scale > 0 && (n > pow10(MaxExactDigits) - 1 || n < -(pow10(MaxExactDigits) - 1)))
            outOfRange();
        setBytes(&n, sizeof n, SQL_INT64);
        v.sqlscale = desc.sqlscale;
        return;
    }
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT: {
        double f = 0;
        if (std::holds_alternative<qint64>(value) || std::holds_alternative<Currency>(value)
            || std::holds_alternative<double>(value)) {
            f = toDouble(value);
        } else if (const auto* s = std::get_if<QString>(&value)) {
            bool ok = false;
            f = s->trimmed().toDouble(&ok);
            if (!ok)
                fail();
        } else {
            fail();
        }
        setBytes(&f, sizeof f, SQL_DOUBLE);
        v.sqlscale = 0;
        return;
    }
    case SQL_TYPE_DATE: {
        QDate date;
        if (const auto* dt = std::get_if<QDateTime>(&value))
            date = dt->date();
        else if (std::holds_alternative<QDate>(value) || std::holds_alternative<QString>(value))
            date = toDate(value);
        if (!date.isValid())
            fail();
        const ISC_DATE d = encodeDate(date);
        setBytes(&d, sizeof d, SQL_TYPE_DATE);
        return;
    }
    case SQL_TIMESTAMP: {
        QDateTime dt;
        if (const auto* x = std::get_if<QDateTime>(&value))
            dt = *x;
        else if (const auto* x = std::get_if<QDate>(&value))
            dt = QDateTime(*x, QTime(0, 0));
        else if (const auto* s = std::get_if<QString>(&value))
            dt = parseDateTimeText(*s);
        if (!dt.isValid())
            fail();
        ISC_TIMESTAMP ts;
        ts.timestamp_date = encodeDate(dt.date());
        ts.timestamp_time = encodeTime(dt.time());
        setBytes(&ts, sizeof ts, SQL_TIMESTAMP);
        return;
    }
    case SQL_TYPE_TIME: {
        QTime tm;
        if (const auto* x = std::get_if<QDateTime>(&value))
            tm = x->time();
        else if (const auto* s = std::get_if<QString>(&value))
            tm = QTime::fromString(s->trimmed(), QStringLiteral("hh:mm:ss"));
        if (!tm.isValid())
            fail();
        const ISC_TIME x = encodeTime(tm);
        setBytes(&x, sizeof x, SQL_TYPE_TIME);
        return;
    }
    case SQL_BLOB: {
        const QByteArray bytes = std::holds_alternative<QByteArray>(value) ? std::get<QByteArray>(value)
                                                                           : h.encode(toText(value));
        const ISC_QUAD id = writeBlob(h, bytes);
        setBytes(&id, sizeof id, SQL_BLOB);
        return;
    }
    case SQL_BOOLEAN: {
        const char b = toInt(value) != 0 ? 1 : 0;
        setBytes(&b, 1, SQL_BOOLEAN);
        return;
    }
    case SQL_TEXT:
    case SQL_VARYING:
        if (const auto* b = std::get_if<QByteArray>(&value))
            setText(*b);
        else
            setText(h.encode(toText(value)));
        return;
    default:
        setText(h.encode(toText(value)));
        return;
    }
}

} // namespace

namespace {

// Fetches rows of the open cursor into `rows` until its end or until `limit`
// rows were fetched (a negative limit: all). The cursor is closed at its end or
// on failure; otherwise it stays open for the next fetch.
void fetchRows(Query::Impl& q, std::vector<std::vector<Value>>& rows, int limit)
{
    Connection::Handles& h = *q.h;
    h.running = q.cursorTr;
    const int nOut = q.out.count();
    ISC_STATUS_ARRAY status;
    try {
        for (int fetched = 0; limit < 0 || fetched < limit; ++fetched) {
            const ISC_STATUS rc = isc_dsql_fetch(status, &q.stmt, Dialect, q.out.p);
            if (rc == 100) {
                q.closeCursor();
                return;
            }
            if (rc != 0)
                raiseStatus(status);
            std::vector<Value> row;
            row.reserve(size_t(nOut));
            for (int c = 0; c < nOut; ++c)
                row.push_back(readColumn(h, q.out.p->sqlvar[c]));
            rows.push_back(std::move(row));
        }
    } catch (...) {
        // The cursor is closed whatever failed, so that the statement runs again.
        q.closeCursor();
        throw;
    }
}

void run(Query::Impl& q, QStringList& columns, std::vector<std::vector<Value>>& rows,
         int& rowsAffected, int limit = -1)
{
    if (!q.h)
        raiseText(QStringLiteral("La base de données n'est pas connectée."));
    Connection::Handles& h = *q.h;
    h.ensureOpen();
    if (!q.stmt)
        prepare(q, columns);
    // Reads run where reads belong; any other statement writes, and runs on
    // the write transaction, started by it when none is open.
    const bool select = q.type == isc_info_sql_stmt_select || q.type == isc_info_sql_stmt_select_for_upd;
    isc_tr_handle* tr = select ? h.readTransaction() : h.transaction();
    h.running = tr;

    const int nIn = int(q.described.size());
    q.inBuffers.assign(size_t(nIn), QByteArray());
    q.inNulls.assign(size_t(nIn), 0);
    for (int i = 0; i < nIn; ++i) {
        const QString& name = q.order[i];
        const auto it = q.values.find(name);
        const Value& value = it == q.values.end() ? nullValue() : it->second;
        bindValue(h, name, q.described[size_t(i)], q.in.p->sqlvar[i], value, q.inBuffers[size_t(i)],
                  q.inNulls[size_t(i)]);
    }
    XSQLDA* in = nIn > 0 ? q.in.p : nullptr;
    const int nOut = q.out.count();

    rows.clear();
    rowsAffected = 0;
    ISC_STATUS_ARRAY status;
    if (q.type == isc_info_sql_stmt_select || q.type == isc_info_sql_stmt_select_for_upd) {
        isc_dsql_execute(status, tr, &q.stmt, Dialect, in);
        check(status);
        q.cursorOpen = true;
        q.cursorTr = tr;
        try {
            fetchRows(q, rows, limit);
        } catch (...) {
            rows.clear();
            throw;
        }
        rowsAffected = int(rows.size());
        return;
    }
    if (nOut > 0) {
        // EXECUTE PROCEDURE with output parameters: one row.
        isc_dsql_execute2(status, tr, &q.stmt, Dialect, in, q.out.p);
        check(status);
        std::vector<Value> row;
        for (int c = 0; c < nOut; ++c)
            row.push_back(readColumn(h, q.out.p->sqlvar[c]));
        rows.push_back(std::move(row));
    } else {
        isc_dsql_execute(status, tr, &q.stmt, Dialect, in);
        check(status);
    }
    static const char recordsItem[] = {isc_info_sql_records};
    char info[64] = {};
    isc_dsql_sql_info(status, &q.stmt, sizeof recordsItem, recordsItem, sizeof info, info);
    if (!(status[0] == 1 && status[1] != 0) && info[0] == isc_info_sql_records) {
        const char* p = info + 3;
        while (*p != isc_info_end && p < info + sizeof info - 3) {
            const char item = *p++;
            const short len = short(isc_vax_integer(p, 2));
            p += 2;
            const long count = isc_vax_integer(p, len);
            p += len;
            if (item == isc_info_req_insert_count || item == isc_info_req_update_count
                || item == isc_info_req_delete_count)
                rowsAffected += int(count);
        }
    }
}

} // namespace

void Query::setRow(int row, std::vector<Value> values)
{
    if (row >= 0 && row < rowCount())
        m_rows[size_t(row)] = std::move(values);
}

void Query::insertRow(int row, std::vector<Value> values)
{
    row = std::clamp(row, 0, rowCount());
    m_rows.insert(m_rows.begin() + row, std::move(values));
    if (row <= m_row && rowCount() > 1)
        ++m_row;
}

void Query::removeRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    m_rows.erase(m_rows.begin() + row);
    if (row < m_row)
        --m_row;
}

void Query::open()
{
    close();
    Marking(DbError::Operation::Read, [this] { run(*d, m_columns, m_rows, m_rowsAffected); });
    m_open = true;
    m_row = 0;
}

void Query::openPartial(int count)
{
    close();
    Marking(DbError::Operation::Read, [this, count] { run(*d, m_columns, m_rows, m_rowsAffected, qMax(count, 0)); });
    m_open = true;
    m_row = 0;
}

bool Query::hasMoreRows() const
{
    return d->cursorOpen;
}

int Query::fetchMore(int count)
{
    if (!d->cursorOpen || count <= 0)
        return 0;
    const size_t before = m_rows.size();
    Marking(DbError::Operation::Read, [this, count] {
        if (!d->h || !d->h->db) {
            d->cursorOpen = false;
            raiseText(QStringLiteral("La base de données n'est pas connectée."));
        }
        fetchRows(*d, m_rows, count);
    });
    m_rowsAffected = int(m_rows.size());
    return int(m_rows.size() - before);
}

void Query::exec()
{
    close();
    Marking(DbError::Operation::Write, [this] { run(*d, m_columns, m_rows, m_rowsAffected); });
    m_open = !m_rows.empty() || d->type == isc_info_sql_stmt_select;
    m_row = 0;
}

} // namespace db

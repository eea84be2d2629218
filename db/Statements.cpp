#include "db/Database.h"

#include "db/Native.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>

namespace db {

namespace {

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

// A value of type T read from a column's buffer, which the client library
// leaves without alignment guarantees.
template <class T> T load(const char* data)
{
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
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
        const auto len = load<short>(data);
        if ((v.sqlsubtype & 0xFF) == 1)
            return Value(QByteArray(data + 2, len));
        return Value(h.decode(data + 2, len));
    }
    case SQL_SHORT:
        return exact(load<short>(data));
    case SQL_LONG:
        return exact(load<ISC_LONG>(data));
    case SQL_INT64:
        return exact(load<ISC_INT64>(data));
    case SQL_FLOAT:
        return Value(double(load<float>(data)));
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return Value(load<double>(data));
    case SQL_TYPE_DATE:
        return Value(decodeDate(load<ISC_DATE>(data)));
    case SQL_TYPE_TIME:
        return Value(decodeTime(load<ISC_TIME>(data)).toString(QStringLiteral("hh:mm:ss")));
    case SQL_TIMESTAMP: {
        const auto ts = load<ISC_TIMESTAMP>(data);
        return Value(QDateTime(decodeDate(ts.timestamp_date), decodeTime(ts.timestamp_time)));
    }
    case SQL_BLOB: {
        const QByteArray bytes = readBlob(h, load<ISC_QUAD>(data));
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

std::vector<std::vector<Value>> Query::takeRows()
{
    std::vector<std::vector<Value>> rows = std::move(m_rows);
    m_rows.clear();
    m_row = 0;
    return rows;
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

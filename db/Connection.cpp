#include "db/Database.h"

#include "db/Native.h"

#include <QRegularExpression>

namespace db {

namespace {

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

} // namespace

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

} // namespace db

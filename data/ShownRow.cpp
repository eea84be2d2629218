#include "data/ShownRow.h"

#include "data/UDM.h"
#include "db/Database.h"


namespace {

// The innermost check armed; the saves run on the one user-interface thread.
TSaveCheck* g_armed = nullptr;

// "SELECT <what> FROM <table> WHERE <key>=:K [AND <where>]" for the row.
QString RowSelect(const TShownRow& row, const QString& what)
{
    // Table, column names and condition come from the program, never from what is typed.
    const QString key = row.dbKey.isEmpty() ? row.keyField : QStringLiteral("RDB$DB_KEY");
    QString sql = QStringLiteral("SELECT FIRST 1 ") + what + QStringLiteral(" FROM ") + row.table
        + QStringLiteral(" WHERE ") + key + QStringLiteral("=:K");
    if (!row.where.isEmpty())
        sql += QStringLiteral(" AND ") + row.where;
    return sql;
}

void BindKey(db::Query& q, const TShownRow& row)
{
    if (row.dbKey.isEmpty())
        q.setParam(QStringLiteral("K"), row.key);
    else
        q.setParam(QStringLiteral("K"), db::Value(row.dbKey));
}

} // namespace

const char* ERowChanged::what() const noexcept
{
    return m_deleted ? "Ces informations ont été supprimées par un autre utilisateur depuis leur affichage : "
                       "rien n'a été enregistré."
                     : "Ces informations ont été modifiées par un autre utilisateur depuis leur affichage : "
                       "rien n'a été enregistré.";
}

void ExecOnRow(db::Query& statement)
{
    statement.exec();
    if (statement.rowsAffected() == 0)
        throw ERowChanged(true);
}

qint64 ReadRowVersion(const TShownRow& row)
{
    if (!row.IsSet() || !DM)
        return -1;
    db::Query q(DM->LURDO, RowSelect(row, QStringLiteral("RDB$RECORD_VERSION AS V")));
    BindKey(q, row);
    q.open();
    return q.isEmpty() ? -1 : q.asInt(QStringLiteral("V"));
}

bool LockRow(const TShownRow& row)
{
    // On the write transaction, as any write: a select would otherwise run on
    // the read-only transaction, which can lock nothing.
    DM->LURDO.beginWrite();
    db::Query lock(DM->LURDO, RowSelect(row, QStringLiteral("1 AS L")) + QStringLiteral(" WITH LOCK"));
    lock.setParam(QStringLiteral("K"), row.key);
    lock.open();
    return !lock.isEmpty();
}

bool LockRow(const QString& table, const QString& keyField, qint64 key)
{
    TShownRow row;
    row.table = table;
    row.keyField = keyField;
    row.key = key;
    return LockRow(row);
}

TSaveCheck::TSaveCheck(TShownRow row) : m_row(std::move(row)), m_outer(g_armed)
{
    g_armed = this;
}

TSaveCheck::~TSaveCheck()
{
    g_armed = m_outer;
}

void TSaveCheck::RunArmed()
{
    if (g_armed && !g_armed->m_ran)
        g_armed->Run();
}

void TSaveCheck::OperationCommitted()
{
    if (g_armed && g_armed->m_passed)
        g_armed->m_committed = true;
}

void TSaveCheck::Run()
{
    m_ran = true;
    if (!m_row.IsSet() || m_row.version < 0)
        return;
    // Locked only as it was read: the lock makes the row the operation's own
    // until it ends, so no other user can change it between this look and the
    // commit; a change of another user still in progress makes the engine
    // refuse the lock (an update conflict). Once locked, the row bears this
    // transaction's number as its version.
    db::Query lock(DM->LURDO, RowSelect(m_row, QStringLiteral("CURRENT_TRANSACTION AS T"))
                                  + QStringLiteral(" AND RDB$RECORD_VERSION=:V WITH LOCK"));
    BindKey(lock, m_row);
    lock.setParam(QStringLiteral("V"), m_row.version);
    lock.open();
    if (lock.isEmpty())
        throw ERowChanged(ReadRowVersion(m_row) < 0);
    m_written = lock.asInt(QStringLiteral("T"));
    m_passed = true;
}

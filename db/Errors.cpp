#include "db/Database.h"

#include "db/Native.h"

#include <QStringList>

#include <algorithm>

namespace db {

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

} // namespace

void raiseStatus(const ISC_STATUS* status)
{
    QStringList lines;
    char buffer[1024];
    const ISC_STATUS* p = status;
    while (fb_interpret(buffer, sizeof buffer, &p) > 0)
        lines << QString::fromUtf8(buffer);
    const long sqlCode = isc_sqlcode(status);
    throw DbError(lines.join(QLatin1Char('\n')), sqlCode, long(status[1]), statusCodes(status));
}

void raiseText(const QString& message)
{
    throw DbError(message);
}

} // namespace db

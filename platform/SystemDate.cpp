#include "platform/SystemDate.h"

#include <QtGlobal>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <ctime>
#endif

namespace platform {
namespace {

SystemDateSetter g_setter;

bool SetSystemClock(const QDateTime& value)
{
    if (!value.isValid())
        return false;
#if defined(Q_OS_UNIX)
    // Needs CAP_SYS_TIME; an ordinary process gets EPERM and the clock stays as it was.
    timespec ts{};
    const qint64 ms = value.toMSecsSinceEpoch();
    ts.tv_sec = time_t(ms / 1000);
    ts.tv_nsec = long((ms % 1000) * 1000000);
    return clock_settime(CLOCK_REALTIME, &ts) == 0;
#else
    return false;
#endif
}

} // namespace

bool SetLocalDateTime(const QDateTime& value)
{
    if (g_setter)
        return g_setter(value);
    return SetSystemClock(value);
}

void SetSystemDateSetter(SystemDateSetter setter)
{
    g_setter = std::move(setter);
}

} // namespace platform

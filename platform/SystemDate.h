#pragma once
// Setting the computer's local date and time. The change needs a privilege the
// program usually does not hold; without it the request is refused and nothing
// changes. Tests replace the setter so the real clock is never touched.

#include <QDateTime>
#include <functional>

namespace platform {

// Sets the local date and time; false when the system refused (no privilege,
// invalid value). Never throws.
bool SetLocalDateTime(const QDateTime& value);

// Replaces the setter (tests); an empty function restores the system's.
using SystemDateSetter = std::function<bool(const QDateTime&)>;
void SetSystemDateSetter(SystemDateSetter setter);

} // namespace platform

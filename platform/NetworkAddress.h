#pragma once
// This computer's IP address, as the network layer gives it.

#include <QString>

namespace platform {

// The first IPv4 address of an interface that is up, running and not the
// loopback; "127.0.0.1" when the computer has no such interface.
QString LocalIpAddress();

// Test seam: when not empty, LocalIpAddress returns this value.
void SetLocalIpAddressForTests(const QString& address);

}  // namespace platform

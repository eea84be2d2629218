#include "platform/NetworkAddress.h"

#include <QHostAddress>
#include <QNetworkInterface>

namespace platform {

namespace {
QString& overrideAddress()
{
    static QString address;
    return address;
}
}  // namespace

void SetLocalIpAddressForTests(const QString& address)
{
    overrideAddress() = address;
}

QString LocalIpAddress()
{
    if (!overrideAddress().isEmpty())
        return overrideAddress();
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& iface : interfaces) {
        const auto flags = iface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning)
            || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : iface.addressEntries()) {
            const QHostAddress ip = entry.ip();
            if (ip.protocol() == QAbstractSocket::IPv4Protocol && !ip.isLoopback())
                return ip.toString();
        }
    }
    return QStringLiteral("127.0.0.1");
}

}  // namespace platform

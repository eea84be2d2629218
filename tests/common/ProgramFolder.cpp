#include "common/ProgramFolder.h"

#include "shell/Startup.h"
#include "platform/NetworkAddress.h"
#include "platform/Registry.h"

#include <QDir>
#include <QFile>

ProgramFolder::ProgramFolder()
{
    QDir(m_root.path()).mkpath(QStringLiteral("program"));
    SetExecutablePath(path() + QStringLiteral("vorel"));
    platform::Registry::SetStorePath(registryStore());
    platform::SetLocalIpAddressForTests(QString::fromLatin1(LocalAddress));
}

ProgramFolder::~ProgramFolder()
{
    SetExecutablePath(QString());
    platform::Registry::SetStorePath(QString());
    platform::SetLocalIpAddressForTests(QString());
}

QString ProgramFolder::path() const
{
    return m_root.path() + QStringLiteral("/program/");
}

QString ProgramFolder::registryStore() const
{
    return m_root.path() + QStringLiteral("/config/Vorel/registry.ini");
}

void ProgramFolder::writeIni(const QString& text) const
{
    QFile f(iniPath());
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(text.toUtf8());
}

#include "platform/Registry.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <stdexcept>

namespace platform {

namespace {

QString& storeOverride()
{
    static QString path;
    return path;
}

// "Control Panel\International\" -> "Control Panel/International"
QString groupOf(const QString& keyPath)
{
    QStringList parts = keyPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    for (QString& p : parts)
        p = p.trimmed();
    parts.removeAll(QString());
    return parts.join(QLatin1Char('/'));
}

// A key exists when it was created (its marker is stored) or holds values.
const QString kMarker = QStringLiteral(".key");

}  // namespace

QString Registry::StorePath()
{
    if (!storeOverride().isEmpty())
        return storeOverride();
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return base + QStringLiteral("/Vorel/registry.ini");
}

void Registry::SetStorePath(const QString& path)
{
    storeOverride() = path;
}

bool Registry::KeyExists(const QString& keyPath) const
{
    const QString group = groupOf(keyPath);
    if (group.isEmpty())
        return true;   // the root of the current user
    QSettings store(StorePath(), QSettings::IniFormat);
    store.beginGroup(group);
    return !store.allKeys().isEmpty();
}

bool Registry::OpenKey(const QString& keyPath, bool canCreate)
{
    CloseKey();
    const QString group = groupOf(keyPath);
    if (!KeyExists(keyPath)) {
        if (!canCreate)
            return false;
        const QString path = StorePath();
        QDir().mkpath(QFileInfo(path).absolutePath());
        QSettings store(path, QSettings::IniFormat);
        store.setValue(group + QLatin1Char('/') + kMarker, QString());
        store.sync();
        if (store.status() != QSettings::NoError)
            return false;
    }
    m_group = group;
    m_open = true;
    return true;
}

void Registry::CloseKey()
{
    m_group.clear();
    m_open = false;
}

void Registry::WriteString(const QString& name, const QString& value)
{
    if (!m_open)
        throw std::runtime_error("Aucune clé de registre n'est ouverte.");
    const QString path = StorePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings store(path, QSettings::IniFormat);
    store.setValue(m_group.isEmpty() ? name : m_group + QLatin1Char('/') + name, value);
    store.sync();
    if (store.status() != QSettings::NoError)
        throw std::runtime_error(
            QStringLiteral("Impossible d'écrire la valeur de registre %1").arg(name).toStdString());
}

QString Registry::ReadString(const QString& name) const
{
    if (!m_open)
        return {};
    QSettings store(StorePath(), QSettings::IniFormat);
    return store.value(m_group.isEmpty() ? name : m_group + QLatin1Char('/') + name).toString();
}

bool Registry::ValueExists(const QString& name) const
{
    if (!m_open)
        return false;
    QSettings store(StorePath(), QSettings::IniFormat);
    return store.contains(m_group.isEmpty() ? name : m_group + QLatin1Char('/') + name);
}

}  // namespace platform

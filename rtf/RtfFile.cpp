#include "rtf/Rtf.h"

#include <QFile>
#include <QSaveFile>

namespace rtf {

std::optional<QString> LoadFile(const QString& path, QTextDocument& document)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Impossible de lire le fichier %1 : %2").arg(path, file.errorString());
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return QStringLiteral("Impossible de lire le fichier %1 : %2").arg(path, file.errorString());
    if (auto error = Read(data, document))
        return QStringLiteral("Impossible de lire le fichier %1 : %2").arg(path, *error);
    return std::nullopt;
}

std::optional<QString> SaveFile(const QString& path, const QTextDocument& document)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(Write(document)) < 0 || !file.commit())
        return QStringLiteral("Impossible d'écrire le fichier %1 : %2").arg(path, file.errorString());
    return std::nullopt;
}

} // namespace rtf

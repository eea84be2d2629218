#include "rtf/Rtf.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace rtf {

namespace {

// Why a file could not be read or written, in French: the system's own text
// speaks the system's language, not the user's.
QString FileFailure(const QString& path, const QFileDevice& file, bool writing)
{
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("c'est un dossier, pas un fichier.");
    if (writing && !info.absoluteDir().exists())
        return QStringLiteral("le dossier n'existe pas.");
    if (!writing && !info.exists())
        return QStringLiteral("le fichier n'existe pas.");
    if (file.error() == QFileDevice::PermissionsError)
        return QStringLiteral("accès refusé.");
    return writing ? QStringLiteral("le fichier ne peut pas être écrit.")
                   : QStringLiteral("le fichier ne peut pas être lu.");
}

} // namespace

std::optional<QString> LoadFile(const QString& path, QTextDocument& document)
{
    auto failed = [&path](const QString& why) {
        return QStringLiteral("Impossible de lire le fichier %1 : %2").arg(path, why);
    };
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        return failed(FileFailure(path, file, false));
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failed(FileFailure(path, file, false));
    if (auto error = Read(data, document))
        return failed(*error);
    return std::nullopt;
}

std::optional<QString> SaveFile(const QString& path, const QTextDocument& document)
{
    QSaveFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::WriteOnly) || file.write(Write(document)) < 0
        || !file.commit())
        return QStringLiteral("Impossible d'écrire le fichier %1 : %2").arg(path, FileFailure(path, file, true));
    return std::nullopt;
}

} // namespace rtf

#include "reports/budget/DecisionTemplate.h"

#include "core/GlobalState.h"
#include "core/Routines.h"
#include "rtf/Rtf.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextCursor>
#include <QTextDocument>

// The program's pictures and templates live in its core library's resources.
static void InitTemplateResources()
{
    Q_INIT_RESOURCE(resources);
}

QString DecisionTemplatePath()
{
    return AppDir + QStringLiteral("DECVIR.RTF");
}

bool InstallDefaultDecisionTemplate(const QString& folder)
{
    const QString path = QDir(folder).filePath(QStringLiteral("DECVIR.RTF"));
    if (QFileInfo::exists(path))
        return true;
    InitTemplateResources();
    QFile source(QStringLiteral(":/templates/DECVIR.RTF"));
    if (!source.open(QIODevice::ReadOnly))
        return false;
    QSaveFile target(path);
    return target.open(QIODevice::WriteOnly) && target.write(source.readAll()) >= 0 && target.commit();
}

TTemplateVersion DecisionTemplateVersion(const QString& path)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QCryptographicHash digest(QCryptographicHash::Sha256);
    if (!digest.addData(&file))
        return std::nullopt;
    return digest.result();
}

std::optional<QString> SaveDecisionTemplate(const QString& path, const QTextDocument& document)
{
    if (QFileInfo::exists(path)) {
        // The copy is made aside, then takes the place of the old backup.
        const QString backup = path + QStringLiteral(".bak");
        const QString copy = backup + QStringLiteral(".tmp");
        QFile::remove(copy);
        if (!QFile::copy(path, copy))
            return QStringLiteral("Impossible d'écrire le fichier %1.").arg(backup);
        QFile::remove(backup);
        if (!QFile::rename(copy, backup)) {
            QFile::remove(copy);
            return QStringLiteral("Impossible d'écrire le fichier %1.").arg(backup);
        }
    }
    return rtf::SaveFile(path, document);
}

QList<TPlaceholder> DecisionPlaceholders(const QString& university, Currency amount, const QString& fiscalYear,
                                         const QDate& date)
{
    return {
        {QStringLiteral("[UNIV]"), university.toUpper()},
        {QStringLiteral("[MONTANT]"),
         AmountToWords(amount) + QStringLiteral(" Algériens (") + amount.formatMoney() + QStringLiteral(" DA)")},
        {QStringLiteral("[EXER]"), fiscalYear},
        {QStringLiteral("[DATE]"), date.toString(QStringLiteral("dd/MM/yyyy"))},
    };
}

void FillPlaceholders(QTextDocument& document, const QList<TPlaceholder>& values)
{
    for (const auto& [placeholder, value] : values) {
        QTextCursor at(&document);
        for (;;) {
            at = document.find(placeholder, at, QTextDocument::FindWholeWords);
            if (at.isNull())
                break;
            // The format of the first letter after the opening bracket.
            QTextCursor letter(&document);
            letter.setPosition(std::min(at.selectionStart() + 2, at.selectionEnd()));
            const QTextCharFormat format = letter.charFormat();
            at.insertText(value, format);
        }
    }
}

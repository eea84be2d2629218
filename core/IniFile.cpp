#include "core/IniFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <stdexcept>

namespace {

QStringList readLines(const QString& path, bool* crlf = nullptr)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = f.readAll();
    if (crlf)
        *crlf = data.contains("\r\n");
    QString text = QString::fromUtf8(data);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool isSectionLine(const QString& line, QString* name)
{
    const QString t = line.trimmed();
    if (t.size() < 2 || !t.startsWith(QLatin1Char('[')) || !t.endsWith(QLatin1Char(']')))
        return false;
    *name = t.mid(1, t.size() - 2).trimmed();
    return true;
}

bool keyOfLine(const QString& line, QString* key, QString* value)
{
    const int eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return false;
    const QString k = line.left(eq).trimmed();
    if (k.isEmpty() || k.startsWith(QLatin1Char(';')))
        return false;
    *key = k;
    if (value)
        *value = line.mid(eq + 1);
    return true;
}

// Finds the line of section/key; returns the key line index or -1, and the
// section header line index in `sectionLine` (-1 when missing) and the index of
// the line after the section's last key in `sectionEnd`.
int locate(const QStringList& lines, const QString& section, const QString& key,
           int* sectionLine, int* sectionEnd)
{
    *sectionLine = -1;
    *sectionEnd = -1;
    bool inSection = false;
    for (int i = 0; i < lines.size(); ++i) {
        QString name;
        if (isSectionLine(lines[i], &name)) {
            if (inSection)
                return -1;
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            if (inSection) {
                *sectionLine = i;
                *sectionEnd = i + 1;
            }
            continue;
        }
        if (!inSection)
            continue;
        QString k;
        if (keyOfLine(lines[i], &k, nullptr)) {
            *sectionEnd = i + 1;
            if (k.compare(key, Qt::CaseInsensitive) == 0)
                return i;
        } else if (!lines[i].trimmed().isEmpty()) {
            *sectionEnd = i + 1;
        }
    }
    return -1;
}

} // namespace

bool IniKeyExists(const QString& path, const QString& section, const QString& key)
{
    int s, e;
    return locate(readLines(path), section, key, &s, &e) >= 0;
}

QString IniReadString(const QString& path, const QString& section, const QString& key,
                      const QString& defaultValue)
{
    const QStringList lines = readLines(path);
    int s, e;
    const int i = locate(lines, section, key, &s, &e);
    if (i < 0)
        return defaultValue;
    QString k, v;
    keyOfLine(lines[i], &k, &v);
    return v;
}

int IniReadInteger(const QString& path, const QString& section, const QString& key, int defaultValue)
{
    const QString v = IniReadString(path, section, key).trimmed();
    bool ok = false;
    int n = v.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? v.mid(2).toInt(&ok, 16) : v.toInt(&ok);
    return ok ? n : defaultValue;
}

bool IniReadBool(const QString& path, const QString& section, const QString& key, bool defaultValue)
{
    return IniReadInteger(path, section, key, defaultValue ? 1 : 0) != 0;
}

void IniWriteString(const QString& path, const QString& section, const QString& key, const QString& value)
{
    bool crlf = false;
    QStringList lines = readLines(path, &crlf);
    int s, e;
    const int i = locate(lines, section, key, &s, &e);
    const QString line = key + QLatin1Char('=') + value;
    if (i >= 0) {
        lines[i] = line;
    } else if (s >= 0) {
        lines.insert(e, line);
    } else {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QString());
        lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines.append(line);
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        throw std::runtime_error(QStringLiteral("Impossible d'écrire le fichier %1 : %2")
                                     .arg(path, f.errorString()).toStdString());
    const QString nl = crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    f.write((lines.join(nl) + nl).toUtf8());
    if (!f.commit())
        throw std::runtime_error(QStringLiteral("Impossible d'écrire le fichier %1 : %2")
                                     .arg(path, f.errorString()).toStdString());
}

void IniWriteInteger(const QString& path, const QString& section, const QString& key, int value)
{
    IniWriteString(path, section, key, QString::number(value));
}

void IniWriteBool(const QString& path, const QString& section, const QString& key, bool value)
{
    IniWriteString(path, section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

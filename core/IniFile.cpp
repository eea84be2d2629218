#include "core/IniFile.h"

#include "db/TextCodec.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <stdexcept>

namespace {

// A settings file as read, and how to write it back as it was: its line ends,
// and its encoding (the earlier Windows program wrote the Windows code page).
struct IniText {
    QStringList lines;
    bool crlf = false;
    bool windows1252 = false;
    bool byteOrderMark = false;
};

IniText readFile(const QString& path)
{
    IniText ini;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return ini;
    QByteArray data = f.readAll();
    ini.crlf = data.contains("\r\n");
    ini.byteOrderMark = data.startsWith("\xEF\xBB\xBF");
    if (ini.byteOrderMark)
        data.remove(0, 3);
    // Text that is not UTF-8 is read in the Windows code page.
    ini.windows1252 = !IsValidUtf8(data);
    QString text = ini.windows1252 ? DecodeWindows1252(data) : QString::fromUtf8(data);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    ini.lines = text.split(QLatin1Char('\n'));
    if (!ini.lines.isEmpty() && ini.lines.last().isEmpty())
        ini.lines.removeLast();
    return ini;
}

QStringList readLines(const QString& path)
{
    return readFile(path).lines;
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
    // Blanks around a value are not part of it.
    return v.trimmed();
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
    IniWriteStrings(path, section, {{key, value}});
}

void IniWriteStrings(const QString& path, const QString& section, const QList<QPair<QString, QString>>& values)
{
    IniText ini = readFile(path);
    QStringList& lines = ini.lines;
    for (const auto& [key, value] : values) {
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
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        throw std::runtime_error(QStringLiteral("Impossible d'écrire le fichier %1 : %2")
                                     .arg(path, f.errorString()).toStdString());
    const QString nl = ini.crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    const QString text = lines.join(nl) + nl;
    // Written back in the encoding it was read in; a value the Windows code
    // page cannot hold turns the file to UTF-8 rather than lose it.
    bool lossless = false;
    const QByteArray codePage = ini.windows1252 ? EncodeWindows1252(text, &lossless) : QByteArray();
    if (ini.windows1252 && lossless) {
        f.write(codePage);
    } else {
        if (ini.byteOrderMark)
            f.write("\xEF\xBB\xBF");
        f.write(text.toUtf8());
    }
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

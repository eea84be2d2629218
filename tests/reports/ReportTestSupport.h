#pragma once
// Shared pieces of the document tests: readable texts in failure messages.

#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '{';
    for (qsizetype i = 0; i < list.size(); ++i)
        *os << (i ? ", " : "") << '"' << list[i].toStdString() << '"';
    *os << '}';
}

// ---------------------------------------------------------------------------
// Reading PDF files through poppler-utils (installed by scripts/setup).

#include <QProcess>
#include <QRegularExpression>
#include <QSizeF>

#include <vector>

// Standard output of a poppler tool; empty when it cannot run.
inline QString RunPoppler(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline int PdfPageCount(const QString& file)
{
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                       .match(RunPoppler(QStringLiteral("pdfinfo"), {file}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Size of one page in points (1/72 inch).
inline QSizeF PdfPageSize(const QString& file, int page)
{
    const QString info = RunPoppler(QStringLiteral("pdfinfo"),
                                    {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                     QString::number(page), file});
    const auto m = QRegularExpression(QStringLiteral("Page\\s+%1 size:\\s+([\\d.]+) x ([\\d.]+)").arg(page)).match(info);
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

inline QString PdfText(const QString& file, int page)
{
    return RunPoppler(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-f"),
                                                    QString::number(page), QStringLiteral("-l"),
                                                    QString::number(page), file, QStringLiteral("-")});
}

// The words of one page with their boxes in points, as poppler reads them.
struct PdfWord {
    QString text;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

inline std::vector<PdfWord> PdfWords(const QString& file, int page)
{
    const QString html = RunPoppler(QStringLiteral("pdftotext"),
                                    {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page),
                                     QStringLiteral("-l"), QString::number(page), file, QStringLiteral("-")});
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    std::vector<PdfWord> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.push_back({m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                         m.captured(4).toDouble()});
    }
    return words;
}

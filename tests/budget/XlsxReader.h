#pragma once
// Reads back the cells of the first worksheet of an .xlsx workbook: its text
// or number, whether the cell is a number, its font's boldness, its number
// format and its alignments. A workbook is a zip archive of XML parts; the
// archive is read with zlib.

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

#include <zlib.h>

#include <map>
#include <optional>

struct XlsxCell {
    QString text;          // shared or inline string, or the number as written
    bool number = false;
    double value = 0;
    bool bold = false;
    QString numberFormat;  // the format code of the cell's style
    QString horizontal;    // "left", "center", ... or empty
    QString vertical;
};

class XlsxReader {
public:
    explicit XlsxReader(const QString& path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return;
        m_zip = f.readAll();
        m_ok = ReadParts();
    }

    bool ok() const { return m_ok; }
    // The cell at "A1"-style reference; nothing when empty.
    std::optional<XlsxCell> cell(const QString& ref) const
    {
        const auto it = m_cells.find(ref);
        if (it == m_cells.end())
            return std::nullopt;
        return it->second;
    }
    // The number of the last row holding a cell (1-based).
    int lastRow() const { return m_lastRow; }

private:
    // The archive's entries, by name, inflated.
    std::optional<QByteArray> Entry(const QString& name) const
    {
        // Walk the central directory at the end of the archive.
        const QByteArray& z = m_zip;
        auto u16 = [&](int at) { return quint16(uchar(z[at]) | uchar(z[at + 1]) << 8); };
        auto u32 = [&](int at) { return quint32(u16(at)) | quint32(u16(at + 2)) << 16; };
        int end = z.size() - 22;
        while (end >= 0 && u32(end) != 0x06054b50)
            --end;
        if (end < 0)
            return std::nullopt;
        int at = int(u32(end + 16));
        const int entries = u16(end + 10);
        for (int i = 0; i < entries && at + 46 <= z.size(); ++i) {
            const int method = u16(at + 10);
            const quint32 compressed = u32(at + 20);
            const quint32 size = u32(at + 24);
            const int nameLength = u16(at + 28);
            const int extra = u16(at + 30);
            const int comment = u16(at + 32);
            const int local = int(u32(at + 42));
            const QString entry = QString::fromUtf8(z.mid(at + 46, nameLength));
            if (entry == name) {
                const int data = local + 30 + u16(local + 26) + u16(local + 28);
                const QByteArray raw = z.mid(data, int(compressed));
                if (method == 0)
                    return raw;
                QByteArray out(int(size), '\0');
                z_stream s{};
                s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(raw.constData()));
                s.avail_in = uInt(raw.size());
                s.next_out = reinterpret_cast<Bytef*>(out.data());
                s.avail_out = uInt(out.size());
                if (inflateInit2(&s, -MAX_WBITS) != Z_OK)
                    return std::nullopt;
                const int rc = inflate(&s, Z_FINISH);
                inflateEnd(&s);
                if (rc != Z_STREAM_END)
                    return std::nullopt;
                return out;
            }
            at += 46 + nameLength + extra + comment;
        }
        return std::nullopt;
    }

    struct Style {
        bool bold = false;
        QString numberFormat;
        QString horizontal;
        QString vertical;
    };

    bool ReadParts()
    {
        const auto sheet = Entry(QStringLiteral("xl/worksheets/sheet1.xml"));
        const auto styles = Entry(QStringLiteral("xl/styles.xml"));
        if (!sheet || !styles)
            return false;
        QStringList strings;
        if (const auto shared = Entry(QStringLiteral("xl/sharedStrings.xml"))) {
            QXmlStreamReader x(*shared);
            while (!x.atEnd()) {
                x.readNext();
                if (x.isStartElement() && x.name() == QLatin1String("si"))
                    strings << QString();
                else if (x.isStartElement() && x.name() == QLatin1String("t") && !strings.isEmpty())
                    strings.last() += x.readElementText();
            }
        }

        // Fonts, number formats and the cell styles that use them.
        QList<bool> fonts;
        QHash<int, QString> formats{{0, QStringLiteral("General")}, {2, QStringLiteral("0.00")},
                                    {4, QStringLiteral("#,##0.00")}};
        QList<Style> xfs;
        {
            QXmlStreamReader x(*styles);
            bool inFont = false;
            bool inCellXfs = false;
            while (!x.atEnd()) {
                x.readNext();
                const auto name = x.name();
                if (x.isStartElement()) {
                    if (name == QLatin1String("font")) {
                        inFont = true;
                        fonts << false;
                    } else if (inFont && name == QLatin1String("b")) {
                        fonts.last() = true;
                    } else if (name == QLatin1String("numFmt")) {
                        formats.insert(x.attributes().value(QLatin1String("numFmtId")).toInt(),
                                       x.attributes().value(QLatin1String("formatCode")).toString());
                    } else if (name == QLatin1String("cellXfs")) {
                        inCellXfs = true;
                    } else if (inCellXfs && name == QLatin1String("xf")) {
                        Style s;
                        const int font = x.attributes().value(QLatin1String("fontId")).toInt();
                        s.bold = font < fonts.size() && fonts[font];
                        s.numberFormat = formats.value(x.attributes().value(QLatin1String("numFmtId")).toInt());
                        xfs << s;
                    } else if (inCellXfs && name == QLatin1String("alignment") && !xfs.isEmpty()) {
                        xfs.last().horizontal = x.attributes().value(QLatin1String("horizontal")).toString();
                        xfs.last().vertical = x.attributes().value(QLatin1String("vertical")).toString();
                    }
                } else if (x.isEndElement()) {
                    if (name == QLatin1String("font"))
                        inFont = false;
                    else if (name == QLatin1String("cellXfs"))
                        inCellXfs = false;
                }
            }
        }

        QXmlStreamReader x(*sheet);
        QString ref;
        XlsxCell cell;
        QString type;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == QLatin1String("c")) {
                ref = x.attributes().value(QLatin1String("r")).toString();
                type = x.attributes().value(QLatin1String("t")).toString();
                cell = XlsxCell();
                const int s = x.attributes().value(QLatin1String("s")).toInt();
                if (s < xfs.size()) {
                    cell.bold = xfs[s].bold;
                    cell.numberFormat = xfs[s].numberFormat;
                    cell.horizontal = xfs[s].horizontal;
                    cell.vertical = xfs[s].vertical;
                }
            } else if (x.isStartElement() && x.name() == QLatin1String("v")) {
                const QString v = x.readElementText();
                if (type == QLatin1String("s")) {
                    cell.text = strings.value(v.toInt());
                } else {
                    cell.number = true;
                    cell.value = v.toDouble();
                    cell.text = v;
                }
            } else if (x.isStartElement() && x.name() == QLatin1String("t")) {
                cell.text += x.readElementText();
            } else if (x.isEndElement() && x.name() == QLatin1String("c")) {
                m_cells[ref] = cell;
                int digits = 0;
                while (digits < ref.size() && !ref[digits].isDigit())
                    ++digits;
                m_lastRow = std::max(m_lastRow, ref.mid(digits).toInt());
            }
        }
        return !x.hasError();
    }

    QByteArray m_zip;
    bool m_ok = false;
    std::map<QString, XlsxCell> m_cells;
    int m_lastRow = 0;
};

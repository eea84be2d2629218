// The RTF writer. Each paragraph starts from \pard\plain and each run of text
// is a group that states its whole formatting, so no run depends on the one
// before it; the paragraph mark's own formatting follows the runs.

#include "rtf/Rtf.h"
#include "rtf/RtfCommon.h"

#include <QBuffer>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>

namespace rtf {

namespace {

// Writes `text` as RTF text: the format's own characters escaped, the
// characters of Windows-1252 beyond ASCII as \'hh, the others as \uN?.
void AppendText(QByteArray& out, QStringView text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        switch (u) {
        case u'\\':
            out += "\\\\";
            continue;
        case u'{':
            out += "\\{";
            continue;
        case u'}':
            out += "\\}";
            continue;
        case u'\t':
            out += "\\tab ";
            continue;
        case QChar::LineSeparator:
            out += "\\line ";
            continue;
        case QChar::Nbsp:
            out += "\\~";
            continue;
        case QChar::SoftHyphen:
            out += "\\-";
            continue;
        case 0x2011: // non-breaking hyphen
            out += "\\_";
            continue;
        default:
            break;
        }
        if (u < 0x20 || u == QChar::ObjectReplacementCharacter || u == QChar::ParagraphSeparator)
            continue;
        if (u < 0x80) {
            out += char(u);
            continue;
        }
        const int byte = Windows1252Byte(u);
        if (byte >= 0)
            out += "\\'" + QByteArray::number(byte, 16).rightJustified(2, '0');
        else
            out += "\\u" + QByteArray::number(qint16(u)) + '?';
    }
}

QByteArray Control(const char* word, int value)
{
    return QByteArray("\\") + word + QByteArray::number(value);
}

class Writer {
public:
    explicit Writer(const QTextDocument& document)
        : m_document(document), m_defaultFamily(document.defaultFont().family()),
          m_defaultSize(document.defaultFont().pointSizeF() > 0 ? document.defaultFont().pointSizeF() : 12.0)
    {
    }

    QByteArray write();

private:
    int fontIndex(const QString& family);
    int colorIndex(const QColor& color);
    QByteArray charProperties(const QTextCharFormat& format);
    static QByteArray blockProperties(const QTextBlockFormat& format);
    void writeBlock(const QTextBlock& block, bool inTable, const char* end);
    void writeTable(const QTextTable& table);
    void writePicture(const QTextImageFormat& image);

    const QTextDocument& m_document;
    const QString m_defaultFamily;
    const double m_defaultSize;
    QStringList m_fonts;
    QHash<QString, int> m_fontIndexes;
    QList<QRgb> m_colors;
    QByteArray m_body;
};

// The blocks a frame holds, those of the frames inside it included.
void CollectBlocks(QTextFrame::iterator it, QList<QTextBlock>& blocks)
{
    for (; !it.atEnd(); ++it) {
        if (const QTextFrame* frame = it.currentFrame())
            CollectBlocks(frame->begin(), blocks);
        else
            blocks.append(it.currentBlock());
    }
}

QByteArray Writer::write()
{
    for (auto it = m_document.rootFrame()->begin(); !it.atEnd(); ++it) {
        const QTextFrame* frame = it.currentFrame();
        if (!frame) {
            writeBlock(it.currentBlock(), false, "\\par");
        } else if (const auto* table = qobject_cast<const QTextTable*>(frame)) {
            writeTable(*table);
        } else {
            QList<QTextBlock> blocks;
            CollectBlocks(frame->begin(), blocks);
            for (const QTextBlock& block : blocks)
                writeBlock(block, false, "\\par");
        }
    }

    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n{\\fonttbl";
    for (int i = 0; i < m_fonts.size(); ++i) {
        out += "{" + Control("f", i) + "\\fnil\\fcharset0 ";
        AppendText(out, QString(m_fonts.at(i)).remove(QLatin1Char(';')));
        out += ";}";
    }
    out += "}\r\n{\\colortbl;";
    for (const QRgb rgb : m_colors)
        out += Control("red", qRed(rgb)) + Control("green", qGreen(rgb)) + Control("blue", qBlue(rgb)) + ';';
    out += "}\r\n";
    out += m_body;
    out += '}';
    return out;
}

int Writer::fontIndex(const QString& family)
{
    const auto found = m_fontIndexes.constFind(family);
    if (found != m_fontIndexes.constEnd())
        return *found;
    m_fonts.append(family);
    m_fontIndexes.insert(family, int(m_fonts.size() - 1));
    return int(m_fonts.size() - 1);
}

int Writer::colorIndex(const QColor& color)
{
    const QRgb rgb = color.rgb();
    int i = int(m_colors.indexOf(rgb));
    if (i < 0) {
        m_colors.append(rgb);
        i = int(m_colors.size() - 1);
    }
    return i + 1; // entry 0 is the automatic colour
}

QByteArray Writer::charProperties(const QTextCharFormat& format)
{
    QString family = format.fontFamilies().toStringList().value(0);
    if (family.isEmpty())
        family = m_defaultFamily;
    double points = format.fontPointSize();
    if (points <= 0 && format.hasProperty(QTextFormat::FontPixelSize))
        points = format.intProperty(QTextFormat::FontPixelSize) * 72.0 / 96.0;
    if (points <= 0)
        points = m_defaultSize;
    QByteArray p = Control("f", fontIndex(family)) + Control("fs", qMax(1, qRound(points * 2)));
    if (format.fontWeight() >= QFont::DemiBold)
        p += "\\b";
    if (format.fontItalic())
        p += "\\i";
    const auto underline = format.underlineStyle();
    if (format.fontUnderline()
        || (underline != QTextCharFormat::NoUnderline && underline != QTextCharFormat::SpellCheckUnderline))
        p += "\\ul";
    if (format.fontStrikeOut())
        p += "\\strike";
    if (format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().style() != Qt::NoBrush)
        p += Control("cf", colorIndex(format.foreground().color()));
    if (format.hasProperty(QTextFormat::BackgroundBrush) && format.background().style() != Qt::NoBrush)
        p += Control("highlight", colorIndex(format.background().color()));
    if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        p += "\\super";
    else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
        p += "\\sub";
    return p;
}

QByteArray Writer::blockProperties(const QTextBlockFormat& format)
{
    QByteArray p;
    const bool rtl = format.layoutDirection() == Qt::RightToLeft;
    if (rtl)
        p += "\\rtlpar";
    if (format.hasProperty(QTextFormat::BlockAlignment)) {
        const Qt::Alignment h = format.alignment() & Qt::AlignHorizontal_Mask;
        // Qt's left and right swap in a right-to-left paragraph unless
        // absolute; RTF's are always the page's.
        const bool mirrored = rtl && !(h & Qt::AlignAbsolute);
        if (h & Qt::AlignHCenter)
            p += "\\qc";
        else if (h & Qt::AlignJustify)
            p += "\\qj";
        else if (h & Qt::AlignRight)
            p += mirrored ? "\\ql" : "\\qr";
        else if (h & Qt::AlignLeft)
            p += mirrored ? "\\qr" : "\\ql";
    }
    const auto length = [&p](const char* word, double pixels) {
        const int twips = TwipsFromPixels(pixels);
        if (twips != 0)
            p += Control(word, twips);
    };
    length("li", format.leftMargin());
    length("ri", format.rightMargin());
    length("fi", format.textIndent());
    length("sb", format.topMargin());
    length("sa", format.bottomMargin());
    const double height = format.lineHeight();
    switch (format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        if (height > 0)
            p += Control("sl", qRound(height * 240.0 / 100.0)) + "\\slmult1";
        break;
    case QTextBlockFormat::FixedHeight:
        if (TwipsFromPixels(height) > 0)
            p += Control("sl", -TwipsFromPixels(height)) + "\\slmult0";
        break;
    case QTextBlockFormat::MinimumHeight:
        if (TwipsFromPixels(height) > 0)
            p += Control("sl", TwipsFromPixels(height)) + "\\slmult0";
        break;
    default:
        break;
    }
    for (const QTextOption::Tab& tab : format.tabPositions()) {
        if (tab.type == QTextOption::RightTab)
            p += "\\tqr";
        else if (tab.type == QTextOption::CenterTab)
            p += "\\tqc";
        p += Control("tx", TwipsFromPixels(tab.position));
    }
    return p;
}

void Writer::writeBlock(const QTextBlock& block, bool inTable, const char* end)
{
    m_body += "\\pard\\plain";
    if (inTable)
        m_body += "\\intbl";
    m_body += blockProperties(block.blockFormat());
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid())
            continue;
        const QTextCharFormat format = fragment.charFormat();
        if (format.isImageFormat()) {
            for (qsizetype i = 0; i < fragment.length(); ++i)
                writePicture(format.toImageFormat());
            continue;
        }
        m_body += '{' + charProperties(format) + ' ';
        AppendText(m_body, fragment.text());
        m_body += '}';
    }
    m_body += charProperties(block.charFormat()) + end + "\r\n";
}

void Writer::writeTable(const QTextTable& table)
{
    const QTextTableFormat format = table.format();
    const QList<QTextLength> constraints = format.columnWidthConstraints();
    const int columns = table.columns();
    QByteArray cells;
    int edge = 0;
    for (int c = 0; c < columns; ++c) {
        const QTextLength length = constraints.value(c);
        int width = DefaultTableWidth / columns;
        if (length.type() == QTextLength::FixedLength)
            width = TwipsFromPixels(length.rawValue());
        else if (length.type() == QTextLength::PercentageLength)
            width = qRound(DefaultTableWidth * length.rawValue() / 100.0);
        edge += width;
        if (format.border() > 0)
            cells += "\\clbrdrt\\brdrs\\brdrw15\\clbrdrl\\brdrs\\brdrw15"
                     "\\clbrdrb\\brdrs\\brdrw15\\clbrdrr\\brdrs\\brdrw15";
        cells += Control("cellx", edge);
    }
    const QByteArray row = "\\trowd" + Control("trgaph", TwipsFromPixels(format.cellPadding())) + cells + "\r\n";
    for (int r = 0; r < table.rows(); ++r) {
        m_body += row;
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = table.cellAt(r, c);
            if (cell.row() != r || cell.column() != c) {
                // Covered by a merged cell, whose text is written once.
                m_body += "\\pard\\plain\\intbl\\cell\r\n";
                continue;
            }
            QList<QTextBlock> blocks;
            CollectBlocks(cell.begin(), blocks);
            for (int b = 0; b < blocks.size(); ++b)
                writeBlock(blocks.at(b), true, b + 1 < blocks.size() ? "\\par" : "\\cell");
        }
        m_body += "\\row\r\n";
    }
}

void Writer::writePicture(const QTextImageFormat& image)
{
    const QVariant resource = m_document.resource(QTextDocument::ImageResource, QUrl(image.name()));
    QByteArray data;
    if (resource.typeId() == QMetaType::QByteArray)
        data = resource.toByteArray();
    PictureKind kind = KindOfPicture(data);
    if (kind == PictureKind::Unknown) {
        // Any other picture is written as PNG.
        QImage picture;
        if (resource.typeId() == QMetaType::QImage)
            picture = resource.value<QImage>();
        else if (resource.typeId() == QMetaType::QPixmap)
            picture = resource.value<QPixmap>().toImage();
        else
            picture = QImage::fromData(data);
        if (picture.isNull())
            return;
        data.clear();
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        if (!picture.save(&buffer, "PNG"))
            return;
        kind = PictureKind::Png;
    }
    QBuffer buffer(&data);
    const QSize natural = QImageReader(&buffer).size();
    double width = image.width();
    double height = image.height();
    if (width <= 0 && height <= 0) {
        width = natural.width();
        height = natural.height();
    } else if (width <= 0 && natural.height() > 0) {
        width = height * natural.width() / natural.height();
    } else if (height <= 0 && natural.width() > 0) {
        height = width * natural.height() / natural.width();
    }
    m_body += kind == PictureKind::Png ? "{\\pict\\pngblip" : "{\\pict\\jpegblip";
    m_body += Control("picw", natural.width()) + Control("pich", natural.height())
              + Control("picwgoal", TwipsFromPixels(width)) + Control("pichgoal", TwipsFromPixels(height)) + "\r\n";
    const QByteArray hex = data.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128)
        m_body += hex.mid(i, 128) + "\r\n";
    m_body += '}';
}

} // namespace

QByteArray Write(const QTextDocument& document)
{
    return Writer(document).write();
}

} // namespace rtf

#include "reports/engine/TextMetrics.h"


#include <QHash>
#include <QImage>
#include <QTextLayout>
#include <QTextOption>

#include <cmath>
#include <memory>

namespace rpt {

namespace {

// Font pixels per report pixel: an 8-point text (10.67 report pixels) is
// measured and drawn at 128 pixels, a whole number for every size in
// sixteenths of a point.
constexpr double Magnification = 12;

// A paint device for text layouts; the fonts are sized in pixels, so its
// resolution plays no part.
const QImage& LayoutDevice()
{
    static const QImage device(1, 1, QImage::Format_RGB32);
    return device;
}

// Size of a font in report pixels; a pixel size counts as pixels at 96 per inch.
double ReportPixels(const QFont& font)
{
    if (font.pointSizeF() > 0)
        return font.pointSizeF() * 96.0 / 72.0;
    return font.pixelSize() > 0 ? font.pixelSize() : 10.0 * 96.0 / 72.0;
}

QStringList SplitParagraphs(const QString& text)
{
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return {text};
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t.split(QLatin1Char('\n'));
}

QString TrimmedEnd(QString text)
{
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return text;
}

} // namespace

PrintFontSetup PrintFont(const QFont& font)
{
    const double size = ReportPixels(font);
    PrintFontSetup setup;
    setup.font = font;
    const int pixels = std::max(1, int(std::lround(size * Magnification)));
    setup.font.setPixelSize(pixels);
    setup.font.setHintingPreference(QFont::PreferNoHinting);
    setup.scale = size / pixels;
    return setup;
}

FontMetrics::FontMetrics(const QFont& font)
    : m_setup(PrintFont(font))
    , m_fm(m_setup.font, &LayoutDevice())
{
    m_lineHeight = (m_fm.ascent() + m_fm.descent()) * m_setup.scale;
    m_ascent = m_fm.ascent() * m_setup.scale;
}

const FontMetrics& FontMetrics::of(const QFont& font)
{
    // Keyed by the font's description; a document uses a handful of fonts.
    static QHash<QString, std::shared_ptr<FontMetrics>> cache;
    const QString key = font.key();
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return **it;
    auto metrics = std::make_shared<FontMetrics>(font);
    cache.insert(key, metrics);
    return *metrics;
}

double FontMetrics::width(const QString& text) const
{
    if (text.isEmpty())
        return 0;
    return m_fm.horizontalAdvance(text) * m_setup.scale;
}

QStringList FontMetrics::lines(const QString& text, double width, bool wrap) const
{
    const QStringList paragraphs = SplitParagraphs(text);
    if (!wrap)
        return paragraphs;
    QStringList result;
    const double limit = width / m_setup.scale;
    for (const QString& paragraph : paragraphs) {
        if (paragraph.isEmpty()
            || (!paragraph.contains(QLatin1Char('\t')) && m_fm.horizontalAdvance(paragraph) <= limit)) {
            result << paragraph;
            continue;
        }
        QTextLayout layout(paragraph, m_setup.font, &LayoutDevice());
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        option.setUseDesignMetrics(true);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(limit);
            result << TrimmedEnd(paragraph.mid(line.textStart(), line.textLength()));
        }
        layout.endLayout();
    }
    return result;
}

int WrappedTextHeight(const QFont& font, const QString& text, int width)
{
    const FontMetrics& m = FontMetrics::of(font);
    const qsizetype n = std::max<qsizetype>(1, m.lines(text, width, true).size());
    return int(std::ceil(n * m.lineHeight() - 1e-6));
}

int TextWidth(const QFont& font, const QString& text)
{
    return int(std::ceil(FontMetrics::of(font).width(text) - 1e-6));
}

int LineHeight(const QFont& font)
{
    return int(std::ceil(FontMetrics::of(font).lineHeight() - 1e-6));
}

int LabelTextHeight(const QFont& font, const QString& text, int width)
{
    const FontMetrics& m = FontMetrics::of(font);
    const double textWidth = m.width(text);
    int lines = 1;
    if (width > 0 && textWidth > width)
        lines = int(std::ceil(textWidth / width));
    return int(std::ceil(lines * m.lineHeight() - 1e-6));
}

} // namespace rpt

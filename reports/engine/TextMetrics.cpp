#include "reports/engine/TextMetrics.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QTextLayout>
#include <QTextOption>

#include <cmath>
#include <memory>

namespace rpt {

namespace {

constexpr double ReferenceDpi = 1200;
constexpr double ToReport = 96.0 / ReferenceDpi;

// A paint device that only gives the reference resolution to font metrics.
const QImage& ReferenceDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMeter = int(std::lround(ReferenceDpi / 0.0254));
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

// Point size of a font; a pixel size counts as pixels at 96 per inch.
QFont InPoints(const QFont& font)
{
    if (font.pointSizeF() > 0)
        return font;
    QFont f(font);
    f.setPointSizeF(font.pixelSize() > 0 ? font.pixelSize() * 72.0 / 96.0 : 10.0);
    return f;
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

} // namespace

FontMetrics::FontMetrics(const QFont& font)
    : m_font(InPoints(font), &ReferenceDevice())
    , m_fm(m_font, &ReferenceDevice())
{
    m_lineHeight = (m_fm.ascent() + m_fm.descent()) * ToReport;
    m_ascent = m_fm.ascent() * ToReport;
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
    return m_fm.horizontalAdvance(text) * ToReport;
}

QStringList FontMetrics::lines(const QString& text, double width, bool wrap) const
{
    const QStringList paragraphs = SplitParagraphs(text);
    if (!wrap)
        return paragraphs;
    QStringList result;
    const QFontMetricsF& fm = m_fm;
    const double limit = width / ToReport;
    for (const QString& paragraph : paragraphs) {
        if (paragraph.isEmpty() || (!paragraph.contains(QLatin1Char('\t')) && fm.horizontalAdvance(paragraph) <= limit)) {
            result << paragraph;
            continue;
        }
        QTextLayout layout(paragraph, m_font, &ReferenceDevice());
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        option.setUseDesignMetrics(true);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(limit);
            QString part = paragraph.mid(line.textStart(), line.textLength());
            while (!part.isEmpty() && part.back().isSpace())
                part.chop(1);
            result << part;
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

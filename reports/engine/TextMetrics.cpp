#include "reports/engine/TextMetrics.h"

#include "reports/engine/PageModel.h"

#include <QHash>
#include <QImage>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace rpt {

namespace {

// Font pixels per report pixel: an 8-point text (10.67 report pixels) is
// measured and drawn at 128 pixels, a whole number for every size in
// sixteenths of a point.
constexpr double Magnification = 12;
// Widths and heights within this much of a box still fit it.
constexpr double Tolerance = 0.5;

// The letters whose advances a font keeps in its table: Latin with its
// supplement and extensions, the letters of the documents.
constexpr char16_t AdvanceTableEnd = 0x250;
// How much wider than the sum of its letters' advances kerning could make a
// text: a share of the sum and a tenth of the font's size.
constexpr double KerningShare = 0.02;
constexpr double KerningEms = 0.1;
// The most measured widths a font keeps; past that it starts again.
constexpr qsizetype MaxMeasuredWidths = 50000;

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

// Whether the text holds only letters of the advance table and blanks: no
// tab, no control character.
bool InAdvanceTable(const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= AdvanceTableEnd || u < 0x20 || (u >= 0x7f && u < 0xa0))
            return false;
    }
    return true;
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

double FontMetrics::advanceBound(const QString& text) const
{
    if (!InAdvanceTable(text))
        return -1;
    if (m_advances.empty())
        m_advances.assign(AdvanceTableEnd, -1.0f);
    double sum = 0;
    for (const QChar c : text) {
        float& advance = m_advances[c.unicode()];
        if (advance < 0)
            advance = float(m_fm.horizontalAdvance(c));
        sum += advance;
    }
    return (sum * (1 + KerningShare) + KerningEms * m_setup.font.pixelSize()) * m_setup.scale;
}

double FontMetrics::width(const QString& text) const
{
    if (text.isEmpty())
        return 0;
    const auto known = m_widths.constFind(text);
    if (known != m_widths.constEnd())
        return *known;
    if (m_widths.size() >= MaxMeasuredWidths)
        m_widths.clear();
    const double measured = m_fm.horizontalAdvance(text) * m_setup.scale;
    m_widths.insert(text, measured);
    return measured;
}

bool FontMetrics::noWiderThan(const QString& text, double width) const
{
    const double bound = advanceBound(text);
    if (bound >= 0 && bound <= width)
        return true;
    return this->width(text) <= width;
}

bool FontMetrics::fitsWidth(const QString& text, double width) const
{
    return noWiderThan(text, width + Tolerance);
}

QStringList FontMetrics::lines(const QString& text, double width, bool wrap) const
{
    const QStringList paragraphs = SplitParagraphs(text);
    if (!wrap)
        return paragraphs;
    QStringList result;
    const double limit = width / m_setup.scale;
    for (const QString& paragraph : paragraphs) {
        if (paragraph.isEmpty() || (!paragraph.contains(QLatin1Char('\t')) && noWiderThan(paragraph, width))) {
            result << paragraph;
            continue;
        }
        QTextLayout layout(paragraph, m_setup.font, &LayoutDevice());
        QTextOption option;
        // Between words only: a word longer than the line stays whole.
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

int FontMetrics::linesIn(double height) const
{
    return std::max(1, int(std::floor((height + Tolerance) / m_lineHeight)));
}

QString FontMetrics::elided(const QString& line, double width) const
{
    if (fitsWidth(line, width))
        return line;
    // The longest beginning, cut between two letters, that leaves room for the ellipsis.
    const double room = width + Tolerance - this->width(Ellipsis);
    std::vector<qsizetype> cuts;
    QTextBoundaryFinder letters(QTextBoundaryFinder::Grapheme, line);
    for (qsizetype at = letters.toNextBoundary(); at > 0 && at < line.size(); at = letters.toNextBoundary())
        cuts.push_back(at);
    const auto past = std::partition_point(cuts.begin(), cuts.end(),
                                           [&](qsizetype at) { return noWiderThan(line.left(at), room); });
    const qsizetype keep = past == cuts.begin() ? 0 : *(past - 1);
    return TrimmedEnd(line.left(keep)) + Ellipsis;
}

QStringList FontMetrics::fitted(const QStringList& lines, double width, double height) const
{
    const qsizetype room = linesIn(height);
    QStringList result = lines.mid(0, room);
    if (lines.size() > room) {
        // What does not fit runs on the last line kept, which then ends with the ellipsis.
        QString last = result.back();
        for (qsizetype i = room; i < lines.size(); ++i)
            last += QLatin1Char(' ') + lines[i];
        result.back() = last;
    }
    for (QString& line : result)
        line = elided(line, width);
    return result;
}

bool FontMetrics::fit(const QStringList& lines, double width, double height) const
{
    if (lines.size() * m_lineHeight > height + Tolerance)
        return false;
    for (const QString& line : lines)
        if (!fitsWidth(line, width))
            return false;
    return true;
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

QRectF TextExtent(const PageItem& item)
{
    const FontMetrics& m = FontMetrics::of(item.font);
    const QStringList lines = item.text.split(QLatin1Char('\n'));
    double widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, m.width(line));
    const double pitch = item.lineHeight > 0 ? item.lineHeight : m.lineHeight();
    QRectF extent(item.rect.left(), item.rect.top(), widest, lines.size() * pitch);
    if (item.align & Qt::AlignRight)
        extent.moveRight(item.rect.right());
    else if (item.align & Qt::AlignHCenter)
        extent.moveLeft(item.rect.center().x() - widest / 2);
    return extent;
}

} // namespace rpt

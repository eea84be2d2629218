#include "reports/engine/PagePainter.h"

#include "reports/engine/TextMetrics.h"

#include "controls/RoundRectShape.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextDocument>
#include <QTextLayout>

#include <cmath>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <deque>
#include <limits>

namespace rpt {

namespace {

// What painting one page keeps between its items: the fonts of its texts as
// the engine draws them (TextMetrics.h; a page uses a handful), the font the
// painter holds, and the page's own transformation. A text is drawn in its
// font's pixels, the painter scaled to them; the texts of one size that
// follow one another share that scale, so the painter's transformation, and
// with it the state a PDF file writes out, changes only when the size does.
class PageState {
public:
    struct Font {
        QFont source;
        PrintFontSetup setup;
        QFont drawn;                       // the setup's font without its underline and strike-out
        QString key;                       // the drawn font's description
        bool decorated = false;
    };

    explicit PageState(const QTransform& page) : m_page(page) {}

    const Font& font(const QFont& font)
    {
        for (const Font& entry : m_fonts)
            if (entry.source == font)
                return entry;
        Font& entry = m_fonts.emplace_back();
        entry.source = font;
        entry.setup = PrintFont(font);
        entry.drawn = entry.setup.font;
        entry.drawn.setUnderline(false);
        entry.drawn.setStrikeOut(false);
        entry.key = entry.drawn.key();
        entry.decorated = entry.setup.font.underline() || entry.setup.font.strikeOut();
        return entry;
    }

    // Sets the painter's font to `font` unless it holds it already.
    void useFont(QPainter& painter, const Font& font)
    {
        if (m_current != &font) {
            painter.setFont(font.drawn);
            m_current = &font;
        }
    }
    // The painter's state was put back: its font is no longer known.
    void forgetFont() { m_current = nullptr; }

    // The painter in the page's report pixels, or scaled by `scale` from them.
    void usePage(QPainter& painter) const { use(painter, m_page); }
    void useScaled(QPainter& painter, double scale) const
    {
        use(painter, QTransform::fromScale(scale, scale) * m_page);
    }

private:
    static void use(QPainter& painter, const QTransform& transform)
    {
        if (painter.transform() != transform)
            painter.setTransform(transform);
    }

    QTransform m_page;
    std::deque<Font> m_fonts;
    const Font* m_current = nullptr;
};

// The underline and the strike-out of one line of text drawn in `font`.
// Qt places them for the sizes screens use: on the large font of the engine
// its line would cross the letters.
void PaintDecoration(QPainter& painter, const QFont& font, const QFontMetricsF& fm, const QRectF& line,
                     int align, const QString& text, const QColor& color)
{
    const double width = fm.horizontalAdvance(text);
    double left = line.left();
    if (align & Qt::AlignRight)
        left = line.right() - width;
    else if (align & Qt::AlignHCenter)
        left = line.center().x() - width / 2;
    const double baseline = line.top() + fm.ascent();
    if (font.underline())
        painter.fillRect(QRectF(left, baseline + fm.underlinePos(), width, fm.lineWidth()), color);
    if (font.strikeOut())
        painter.fillRect(QRectF(left, baseline - fm.strikeOutPos() - fm.lineWidth() / 2, width, fm.lineWidth()), color);
}

// Whether Qt lays a line out in one run of one font, left to right, on the
// font's own baseline: letters of the European scripts, punctuation and
// blanks, no tab nor control character.
bool IsSimpleLine(const QString& line)
{
    for (const QChar c : line) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7f && u < 0xa0) || (u >= 0x590 && (u < 0x2000 || u > 0x20cf)))
            return false;
    }
    return true;
}

// A line of text shaped in the font it is drawn in: its glyphs, placed from
// the top left of the line, and the width of its letters (trailing blanks
// left out, as Qt aligns a line in a rectangle), in the font's pixels.
struct ShapedLine {
    QList<QGlyphRun> runs;
    double natural = 0;
};

// The lines shaped so far, by font and text: a listing prints the same
// dates, names and headings on every page, each shaped once.
const ShapedLine& Shaped(const PageState::Font& font, const QString& line)
{
    constexpr qsizetype MaxLinesPerFont = 20000;
    static QHash<QString, QHash<QString, ShapedLine>> shapedByFont;
    static const QImage device(1, 1, QImage::Format_RGB32);
    QHash<QString, ShapedLine>& shaped = shapedByFont[font.key];
    const auto known = shaped.constFind(line);
    if (known != shaped.constEnd())
        return *known;
    if (shaped.size() >= MaxLinesPerFont)
        shaped.clear();
    QTextLayout layout(line, font.drawn, &device);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine laid = layout.createLine();
    laid.setLineWidth(std::numeric_limits<int>::max() / 2);
    layout.endLayout();
    ShapedLine result;
    result.runs = layout.glyphRuns();
    result.natural = laid.naturalTextWidth();
    return *shaped.insert(line, std::move(result));
}

void PaintText(QPainter& painter, const PageItem& item, PageState& state)
{
    const PageState::Font& font = state.font(item.font);
    const PrintFontSetup& setup = font.setup;
    const QStringList lines = item.text.contains(QLatin1Char('\n')) ? item.text.split(QLatin1Char('\n'))
                                                                    : QStringList{item.text};
    const double lh = item.lineHeight > 0 ? item.lineHeight : item.rect.height();
    const int flags = (item.align & Qt::AlignHorizontal_Mask) | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
    state.useFont(painter, font);
    painter.setPen(item.color);
    // The text's box in the font's pixels.
    QRectF box(item.rect.topLeft() / setup.scale, item.rect.size() / setup.scale);
    const bool turned = std::fmod(std::abs(double(item.angle)), 360.0) > 0.001;
    if (turned) {
        state.usePage(painter);
        painter.translate(item.rect.center());
        painter.rotate(-item.angle);
        const double quarter = std::fmod(std::abs(double(item.angle)), 180.0);
        QSizeF size = item.rect.size();
        if (std::abs(quarter - 90.0) < 45.0)
            size.transpose();
        painter.translate(-size.width() / 2, -size.height() / 2);
        painter.scale(setup.scale, setup.scale);
        box = QRectF(QPointF(0, 0), size / setup.scale);
    } else {
        state.useScaled(painter, setup.scale);
    }
    const double step = lh / setup.scale;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.isEmpty())
            continue;
        const QRectF lineBox(box.left(), box.top() + i * step, box.width(), step);
        // A simple line is shaped once and its glyphs placed where Qt's
        // layout of the rectangle would put them; others (tabs, letters of
        // other scripts) go through that layout each time.
        if (IsSimpleLine(line)) {
            const ShapedLine& shaped = Shaped(font, line);
            double left = lineBox.left();
            if (item.align & Qt::AlignRight)
                left = lineBox.right() - shaped.natural;
            else if (item.align & Qt::AlignHCenter)
                left += (lineBox.width() - shaped.natural) / 2;
            for (const QGlyphRun& run : shaped.runs)
                painter.drawGlyphRun(QPointF(left, lineBox.top()), run);
        } else
            painter.drawText(lineBox, flags, line);
    }
    if (font.decorated) {
        const QFontMetricsF fm(font.drawn, painter.device());
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (!lines[i].isEmpty())
                PaintDecoration(painter, setup.font, fm, QRectF(box.left(), box.top() + i * step, box.width(), step),
                                item.align, lines[i], item.color);
    }
}

void PaintItem(QPainter& painter, const PageItem& item, PageState& state)
{
    if (item.kind != ItemKind::Text)
        state.usePage(painter);
    switch (item.kind) {
    case ItemKind::Text:
        PaintText(painter, item, state);
        break;
    case ItemKind::Line:
        painter.setPen(item.pen);
        painter.drawLine(item.rect.topLeft(), item.rect.bottomRight());
        break;
    case ItemKind::Rect:
        painter.setPen(item.pen);
        painter.setBrush(item.brush);
        painter.drawRect(item.rect);
        break;
    case ItemKind::Ellipse:
        painter.setPen(item.pen);
        painter.setBrush(item.brush);
        painter.drawEllipse(item.rect);
        break;
    case ItemKind::RoundRect:
        painter.setPen(item.pen);
        painter.setBrush(item.brush);
        TRoundRectShape::DrawRounded(painter, item.rect, item.extra ? item.extra->ellipse : QSizeF());
        break;
    case ItemKind::Image: {
        if (!item.extra || item.extra->image.isNull())
            break;
        const QImage& image = item.extra->image;
        if (item.extra->stretch) {
            painter.drawImage(item.rect, image);
            break;
        }
        QRectF target(item.rect.topLeft(), QSizeF(image.size()));
        if (item.extra->center)
            target.moveCenter(item.rect.center());
        painter.save();
        painter.setClipRect(item.rect, Qt::IntersectClip);
        painter.drawImage(target, image);
        painter.restore();
        break;
    }
    case ItemKind::RichText: {
        if (!item.extra || !item.extra->document)
            break;
        painter.save();
        const double top = item.extra->documentTop;
        painter.translate(item.rect.topLeft() - QPointF(0, top));
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(QPointF(0, top), item.rect.size());
        // A part of a text that goes on over pages: its cuts fall between
        // lines. The lines that only touch a cut belong to the next or the
        // previous part: the layout leaves them out (a line clipped away
        // would still be in a PDF file's text).
        if (item.extra->documentPart) {
            painter.setClipRect(context.clip, Qt::IntersectClip);
            context.clip.adjust(0, 0.5, 0, -0.5);
        }
        context.palette.setColor(QPalette::Text, Qt::black);
        item.extra->document->documentLayout()->draw(&painter, context);
        painter.restore();
        break;
    }
    }
}

// Qt's PDF engine (PDF files and printers alike) takes two 10 MB buffers for
// every page it writes out and frees them at once. With the C library's
// defaults their memory goes back to the system and is faulted in again for
// the next page, which costs more than writing the page itself. While pages
// are painted, such blocks stay on the library's heap and are reused; the
// defaults come back at the end and the heap is handed back.
class LargeBlocksKept {
public:
    LargeBlocksKept()
    {
#ifdef __GLIBC__
        mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);   // the most the library takes
        mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
    }
    ~LargeBlocksKept()
    {
#ifdef __GLIBC__
        mallopt(M_TRIM_THRESHOLD, DefaultThreshold);
        mallopt(M_MMAP_THRESHOLD, DefaultThreshold);
        malloc_trim(0);
#endif
    }
    LargeBlocksKept(const LargeBlocksKept&) = delete;
    LargeBlocksKept& operator=(const LargeBlocksKept&) = delete;

private:
    static constexpr int DefaultThreshold = 128 * 1024;
};

// Paints pages `from` to `to` (0-based, inclusive) `passes` times on a device
// whose origin is the paper's corner.
bool PaintPages(QPagedPaintDevice& device, const PreparedPages& pages, int from, int to, int passes)
{
    const LargeBlocksKept blocks;
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const double sx = device.logicalDpiX() / 96.0;
    const double sy = device.logicalDpiY() / 96.0;
    bool first = true;
    for (int pass = 0; pass < passes; ++pass) {
        for (int i = from; i <= to; ++i) {
            if (!first && !device.newPage()) {
                painter.end();
                return false;
            }
            first = false;
            painter.save();
            painter.scale(sx, sy);
            PaintPage(painter, pages.page(i));
            painter.restore();
        }
    }
    return painter.end();
}

} // namespace

void PaintPage(QPainter& painter, const Page& page)
{
    PageState state(painter.transform());
    for (const PageItem& item : page.items) {
        const bool clipped = (item.clip >= 0 && size_t(item.clip) < page.clips.size())
                          || (item.options & PageItem::ClipToRect);
        if (!clipped) {
            PaintItem(painter, item, state);
            continue;
        }
        state.usePage(painter);
        painter.save();
        if (item.clip >= 0 && size_t(item.clip) < page.clips.size())
            painter.setClipRect(page.clips[size_t(item.clip)], Qt::IntersectClip);
        if (item.options & PageItem::ClipToRect)
            painter.setClipRect(item.rect, Qt::IntersectClip);
        PaintItem(painter, item, state);
        painter.restore();
        state.forgetFont();
    }
    state.usePage(painter);
}

bool PrintPages(QPrinter& printer, const PreparedPages& pages, int fromPage, int toPage, int copies)
{
    const int count = pages.count();
    const int from = fromPage <= 0 ? 1 : fromPage;
    const int to = toPage <= 0 || toPage > count ? count : toPage;
    if (count == 0 || from > to)
        return false;
    printer.setFullPage(true);
    printer.setPageLayout(pages.setup.pageLayout());
    int passes = std::max(1, copies);
    if (printer.supportsMultipleCopies()) {
        printer.setCopyCount(passes);
        passes = 1;
    }
    return PaintPages(printer, pages, from - 1, to - 1, passes);
}

bool WritePdf(const PreparedPages& pages, const QString& fileName)
{
    if (pages.isEmpty())
        return false;
    QPdfWriter writer(fileName);
    writer.setCreator(QStringLiteral("Vorel"));
    writer.setTitle(pages.title);
    writer.setPageLayout(pages.setup.pageLayout());
    return PaintPages(writer, pages, 0, pages.count() - 1, 1) && QFileInfo(fileName).size() > 0;
}

QPrinter& SystemPrinter()
{
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

} // namespace rpt

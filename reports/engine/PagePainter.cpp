#include "reports/engine/PagePainter.h"

#include "reports/engine/TextMetrics.h"

#include "controls/RoundRectShape.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextDocument>

#include <cmath>

namespace rpt {

namespace {

// The fonts of the items as the engine draws them (TextMetrics.h), the last
// few kept: a page uses a handful.
class FontCache {
public:
    const PrintFontSetup& operator()(const QFont& font)
    {
        for (const auto& [source, setup] : m_entries)
            if (source == font)
                return setup;
        if (m_entries.size() > 16)
            m_entries.erase(m_entries.begin());
        m_entries.emplace_back(font, PrintFont(font));
        return m_entries.back().second;
    }

private:
    std::vector<std::pair<QFont, PrintFontSetup>> m_entries;
};

// The underline and the strike-out of one line of text drawn at the
// painter's origin in `font`. Qt places them for the sizes screens use: on
// the large font of the engine its line would cross the letters.
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

void PaintText(QPainter& painter, const PageItem& item, FontCache& fonts)
{
    const PrintFontSetup& setup = fonts(item.font);
    const QStringList lines = item.text.contains(QLatin1Char('\n')) ? item.text.split(QLatin1Char('\n'))
                                                                    : QStringList{item.text};
    const double lh = item.lineHeight > 0 ? item.lineHeight : item.rect.height();
    const int flags = (item.align & Qt::AlignHorizontal_Mask) | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
    const bool decorated = setup.font.underline() || setup.font.strikeOut();
    QFont font = setup.font;
    font.setUnderline(false);
    font.setStrikeOut(false);
    painter.save();
    painter.setFont(font);
    painter.setPen(item.color);
    QSizeF size = item.rect.size();
    const bool turned = std::fmod(std::abs(double(item.angle)), 360.0) > 0.001;
    if (turned) {
        painter.translate(item.rect.center());
        painter.rotate(-item.angle);
        const double quarter = std::fmod(std::abs(double(item.angle)), 180.0);
        if (std::abs(quarter - 90.0) < 45.0)
            size.transpose();
        painter.translate(-size.width() / 2, -size.height() / 2);
    } else {
        painter.translate(item.rect.topLeft());
    }
    // The lines are laid out in the font's own pixels, then scaled to the item.
    painter.scale(setup.scale, setup.scale);
    const double w = size.width() / setup.scale;
    const double step = lh / setup.scale;
    for (qsizetype i = 0; i < lines.size(); ++i)
        painter.drawText(QRectF(0, i * step, w, step), flags, lines[i]);
    if (decorated) {
        const QFontMetricsF fm(font, painter.device());
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (!lines[i].isEmpty())
                PaintDecoration(painter, setup.font, fm, QRectF(0, i * step, w, step), item.align, lines[i],
                                item.color);
    }
    painter.restore();
}

void PaintItem(QPainter& painter, const PageItem& item, FontCache& fonts)
{
    switch (item.kind) {
    case ItemKind::Text:
        PaintText(painter, item, fonts);
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

// Paints pages `from` to `to` (0-based, inclusive) `passes` times on a device
// whose origin is the paper's corner.
bool PaintPages(QPagedPaintDevice& device, const PreparedPages& pages, int from, int to, int passes)
{
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
    FontCache fonts;
    for (const PageItem& item : page.items) {
        const bool clipped = (item.clip >= 0 && size_t(item.clip) < page.clips.size())
                          || (item.options & PageItem::ClipToRect);
        if (!clipped) {
            PaintItem(painter, item, fonts);
            continue;
        }
        painter.save();
        if (item.clip >= 0 && size_t(item.clip) < page.clips.size())
            painter.setClipRect(page.clips[size_t(item.clip)], Qt::IntersectClip);
        if (item.options & PageItem::ClipToRect)
            painter.setClipRect(item.rect, Qt::IntersectClip);
        PaintItem(painter, item, fonts);
        painter.restore();
    }
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

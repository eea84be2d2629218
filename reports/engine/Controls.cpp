#include "reports/engine/Report.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QImageReader>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextImageFormat>
#include <QTextDocument>
#include <QTextLayout>

#include "rtf/Rtf.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace rpt {

namespace {

// A paint device that gives rich texts the report's resolution.
QPaintDevice* ReportDevice()
{
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(3780);   // 96 per inch
        image.setDotsPerMeterY(3780);
        return image;
    }();
    return &device;
}

// Pictures larger than `room` (report pixels) drawn smaller, keeping their
// proportions, so that none runs off the page nor over pages of its own: a
// line that holds one still fits a page whole. A
// picture without a size of its own is measured by its image.
void FitPictures(QTextDocument& document, const QSizeF& room)
{
    struct Fitted {
        int position;
        int length;
        QTextImageFormat format;
    };
    std::vector<Fitted> fitted;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            QSizeF size(image.width(), image.height());
            if (size.width() <= 0 || size.height() <= 0) {
                const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(image.name()));
                const QSizeF natural = resource.canConvert<QImage>() && !resource.value<QImage>().isNull()
                                           ? QSizeF(resource.value<QImage>().size())
                                           : QSizeF(QImage::fromData(resource.toByteArray()).size());
                if (size.width() <= 0 && size.height() <= 0)
                    size = natural;
                else if (size.width() <= 0 && natural.height() > 0)
                    size.setWidth(natural.width() * size.height() / natural.height());
                else if (size.height() <= 0 && natural.width() > 0)
                    size.setHeight(natural.height() * size.width() / natural.width());
            }
            if (size.width() <= 0 || size.height() <= 0)
                continue;
            // A picture stands on the line's base: the font's part below it
            // makes the line taller than the picture.
            const QFontMetricsF metrics(image.font(), ReportDevice());
            const double height = std::max(1.0, room.height() - metrics.descent() - metrics.leading() - 1);
            const double scale = std::min({1.0, room.width() / size.width(), height / size.height()});
            if (scale >= 1.0)
                continue;
            image.setWidth(size.width() * scale);
            image.setHeight(size.height() * scale);
            fitted.push_back({fragment.position(), fragment.length(), image});
        }
    }
    for (const Fitted& f : fitted) {
        QTextCursor cursor(&document);
        cursor.setPosition(f.position);
        cursor.setPosition(f.position + f.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(f.format);
    }
}

bool IsNumericMask(const QString& mask)
{
    for (QChar c : mask)
        if (c != QLatin1Char('#') && c != QLatin1Char('0') && c != QLatin1Char(' ') && c != QLatin1Char('.')
            && c != QLatin1Char(','))
            return false;
    return mask.contains(QLatin1Char('0')) || mask.contains(QLatin1Char('#'));
}

} // namespace

QString FormatAmount(Currency amount, const QString& mask)
{
    if (mask.isEmpty())
        return amount.toPlainText();
    const qsizetype point = mask.indexOf(QLatin1Char('.'));
    const int decimals = point < 0 ? 0 : int(std::min<qsizetype>(4, mask.size() - point - 1));
    const QString integerMask = point < 0 ? mask : mask.left(point);
    const QChar separator = integerMask.contains(QLatin1Char(',')) ? QLatin1Char(',') : QLatin1Char(' ');
    const bool grouped = integerMask.contains(QLatin1Char(' ')) || integerMask.contains(QLatin1Char(','));

    std::int64_t scaled = amount.toScaled(decimals);
    const bool negative = scaled < 0;
    if (negative)
        scaled = -scaled;
    std::int64_t divisor = 1;
    for (int i = 0; i < decimals; ++i)
        divisor *= 10;
    const QString digits = QString::number(scaled / divisor);
    QString text = grouped ? GroupThousands(digits, separator) : digits;
    if (decimals > 0)
        text += QLatin1Char('.') + QStringLiteral("%1").arg(scaled % divisor, decimals, 10, QLatin1Char('0'));
    return negative ? QLatin1Char('-') + text : text;
}

QString FormatValue(const db::Value& value, const QString& mask)
{
    if (db::isNull(value))
        return QString();
    if (mask.isEmpty())
        return db::toText(value);
    if (IsNumericMask(mask)) {
        if (std::holds_alternative<QString>(value)) {
            const auto parsed = Currency::parse(std::get<QString>(value).trimmed());
            return parsed ? FormatAmount(*parsed, mask) : std::get<QString>(value);
        }
        return FormatAmount(db::toCurrency(value), mask);
    }
    if (std::holds_alternative<QDate>(value))
        return std::get<QDate>(value).toString(mask);
    if (std::holds_alternative<QDateTime>(value))
        return std::get<QDateTime>(value).toString(mask);
    return db::toText(value);
}

void RenderContext::add(PageItem&& item)
{
    item.clip = clip;
    page->items.push_back(std::move(item));
}

// ---------------------------------------------------------------------------

Control::Control(ControlKind kind, Band& band, const QString& name, const QRect& rect)
    : m_kind(kind), m_band(&band), m_name(name), m_rect(rect)
{
}

Control::~Control() = default;

double Control::neededHeight(const RenderContext&) const
{
    return m_rect.height();
}

void Control::renderFill(RenderContext& context, const QRectF& at) const
{
    if (!m_color.isValid() || m_color.alpha() == 0)
        return;
    PageItem item;
    item.kind = ItemKind::Rect;
    item.rect = at;
    item.pen = Qt::NoPen;
    item.brush = QBrush(m_color);
    item.control = m_name;
    context.add(std::move(item));
}

void Control::renderFrame(RenderContext& context, const QRectF& at) const
{
    AddFrameLines(context, m_frame, at, m_name);
}

void AddFrameLines(RenderContext& context, const Frame& frame, const QRectF& at, const QString& control)
{
    if (!frame.any())
        return;
    QPen pen(frame.color, frame.width);
    pen.setCapStyle(Qt::SquareCap);
    auto line = [&](QPointF a, QPointF b) {
        PageItem item;
        item.kind = ItemKind::Line;
        item.rect = QRectF(a, b);
        item.pen = pen;
        item.control = control;
        context.add(std::move(item));
    };
    if (frame.top)
        line(at.topLeft(), at.topRight());
    if (frame.bottom)
        line(at.bottomLeft(), at.bottomRight());
    if (frame.left)
        line(at.topLeft(), at.bottomLeft());
    if (frame.right)
        line(at.topRight(), at.bottomRight());
}

// ---------------------------------------------------------------------------

Label::Label(Band& band, const QString& name, const QRect& rect, const QString& caption)
    : Label(ControlKind::Label, band, name, rect, caption)
{
}

Label::Label(ControlKind kind, Band& band, const QString& name, const QRect& rect, const QString& caption)
    : Control(kind, band, name, rect), m_caption(caption), m_font(band.report().font())
{
}

void Label::setFont(const QFont& font)
{
    m_font = font;
    m_metrics = nullptr;
}

void Label::changeFont(const std::function<void(QFont&)>& change)
{
    QFont f = m_font;
    change(f);
    setFont(f);
}

void Label::setBold(bool bold)
{
    changeFont([bold](QFont& f) { f.setBold(bold); });
}

void Label::setItalic(bool italic)
{
    changeFont([italic](QFont& f) { f.setItalic(italic); });
}

void Label::setUnderline(bool underline)
{
    changeFont([underline](QFont& f) { f.setUnderline(underline); });
}

void Label::setFontSize(double points)
{
    changeFont([points](QFont& f) { f.setPointSizeF(points); });
}

const FontMetrics& Label::metrics() const
{
    if (!m_metrics)
        m_metrics = &FontMetrics::of(m_font);
    return *m_metrics;
}

QString Label::text(const RenderContext*) const
{
    return m_caption;
}

int Label::wrappedTextHeight() const
{
    return WrappedTextHeight(m_font, m_caption, width());
}

QStringList Label::lines() const
{
    return metrics().lines(text(), width(), m_wordWrap);
}

double Label::textHeight() const
{
    return std::max<qsizetype>(1, lines().size()) * metrics().lineHeight();
}

bool Label::fits() const
{
    return fits(text());
}

bool Label::fits(const QString& text) const
{
    if (text.isEmpty())
        return true;
    const FontMetrics& m = metrics();
    const QStringList lines = m.lines(text, width(), m_wordWrap);
    return m.fit(lines, width(), m_autoStretch ? std::numeric_limits<double>::infinity() : height());
}

bool Label::fitsAcross() const
{
    return metrics().fit(lines(), width(), std::numeric_limits<double>::infinity());
}

void Label::shrinkToFit(double minimumPoints)
{
    ShrinkTogether({this}, minimumPoints);
}

double Label::neededHeight(const RenderContext& context) const
{
    if (!m_autoStretch)
        return height();
    const QStringList lines = metrics().lines(text(&context), width(), m_wordWrap);
    return std::max<double>(height(), lines.size() * metrics().lineHeight());
}

void Label::render(RenderContext& context, const QRectF& at) const
{
    const QString shown = text(&context);
    const FontMetrics& m = metrics();
    const bool turned = std::fmod(std::abs(m_angle), 360.0) > 0.001;
    QStringList lines = m.lines(shown, at.width(), m_wordWrap && !turned);
    const double textHeight = lines.size() * m.lineHeight();

    QRectF r = at;
    if (m_autoSize && !turned) {
        double widest = 0;
        for (const QString& line : lines)
            widest = std::max(widest, m.width(line));
        if (!m_wordWrap) {
            if (m_alignment & Qt::AlignRight)
                r.setLeft(r.right() - widest);
            else if (m_alignment & Qt::AlignHCenter)
                r.setLeft(r.center().x() - widest / 2);
            r.setWidth(widest);
        }
        r.setHeight(textHeight);
    } else {
        if (m_autoStretch)
            r.setHeight(std::max(r.height(), textHeight));
        // A text never runs out of its box: what the box cannot hold is left
        // out at a letter and the ellipsis says so.
        if (!turned && !m.fit(lines, r.width(), r.height()))
            lines = m.fitted(lines, r.width(), r.height());
    }

    renderFill(context, r);
    if (!shown.isEmpty()) {
        PageItem item;
        item.kind = ItemKind::Text;
        item.rect = r;
        item.text = lines.size() == 1 ? lines.front() : lines.join(QLatin1Char('\n'));
        item.align = int(m_alignment);
        item.angle = float(m_angle);
        item.lineHeight = float(m.lineHeight());
        item.font = m_font;
        item.color = m_fontColor;
        item.control = name();
        context.add(std::move(item));
    }
    renderFrame(context, r);
}

// ---------------------------------------------------------------------------
// Fitting texts to their boxes

namespace {

constexpr double PointStep = 0.5;

// Makes every label one step smaller, none below `floor`; false when all are at the floor already.
bool ShrinkStep(const std::vector<Label*>& labels, double floor)
{
    bool changed = false;
    for (Label* label : labels) {
        const double size = label->font().pointSizeF();
        if (size - PointStep >= floor - 1e-9) {
            label->setFontSize(size - PointStep);
            changed = true;
        }
    }
    return changed;
}

} // namespace

void ShrinkTogether(const std::vector<Label*>& labels, double floor)
{
    const auto allFit = [&] {
        return std::all_of(labels.begin(), labels.end(), [](const Label* l) { return l->fits(); });
    };
    while (!allFit() && ShrinkStep(labels, floor)) {
    }
}

double ShrinkColumn(Label& cell, const QStringList& texts, double floor)
{
    // A text that fits at a size fits at a smaller one: each size tries the
    // texts the larger one left out.
    QStringList left;
    for (const QString& text : texts)
        if (!cell.fits(text))
            left << text;
    while (!left.isEmpty() && ShrinkStep({&cell}, floor))
        left.removeIf([&](const QString& text) { return cell.fits(text); });
    return cell.font().pointSizeF();
}

int StackRows(const std::vector<StackRow>& rows, int top, int bottom, double floor)
{
    if (rows.empty())
        return top;
    std::vector<Label*> texts;
    for (const StackRow& row : rows)
        texts.push_back(row.text);
    const double room = bottom - top;
    // The height each row's text takes now, and what the rows take together.
    std::vector<double> heights(rows.size());
    const auto measure = [&] {
        double total = 0;
        for (size_t i = 0; i < rows.size(); ++i) {
            heights[i] = rows[i].text->textHeight();
            total += i + 1 < rows.size() ? std::max<double>(rows[i].pitch, heights[i] + rows[i].gap) : heights[i];
        }
        return total;
    };
    const auto tooWide = [&] {
        return std::any_of(texts.begin(), texts.end(), [](const Label* text) { return !text->fitsAcross(); });
    };
    while ((measure() > room + 0.5 || tooWide()) && ShrinkStep(texts, floor)) {
    }
    const bool squeezed = measure() > room + 0.5;
    if (squeezed) {
        // Even at the floor: the rows share the room, a short one keeping what
        // it needs, the others as many whole lines as their share holds.
        double gaps = 0;
        for (size_t i = 0; i + 1 < rows.size(); ++i)
            gaps += rows[i].gap;
        std::vector<size_t> order(rows.size());
        std::iota(order.begin(), order.end(), size_t(0));
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return heights[a] < heights[b]; });
        double left = std::max(0.0, room - gaps);
        for (size_t k = 0; k < order.size(); ++k) {
            const size_t i = order[k];
            const double share = left / double(order.size() - k);
            if (heights[i] > share) {
                const FontMetrics& m = FontMetrics::of(rows[i].text->font());
                heights[i] = m.linesIn(share) * m.lineHeight();
            }
            left -= heights[i];
        }
    }
    double y = top;
    for (size_t i = 0; i < rows.size(); ++i) {
        const StackRow& row = rows[i];
        const int rowTop = int(std::lround(y));
        const double advance = squeezed ? heights[i] + row.gap : std::max<double>(row.pitch, heights[i] + row.gap);
        row.text->setTop(rowTop);
        row.text->setHeight(int(std::ceil(heights[i] - 1e-6)));
        for (Control* beside : row.beside) {
            beside->setTop(rowTop);
            beside->setHeight(std::max(1, std::min(beside->height(), int(std::floor(advance)))));
        }
        y += i + 1 < rows.size() ? advance : heights[i];
    }
    return int(std::ceil(y - 1e-6));
}

// ---------------------------------------------------------------------------

DataText::DataText(Band& band, const QString& name, const QRect& rect, const QString& field, const QString& mask)
    : Label(ControlKind::DataText, band, name, rect, QString()), m_field(field), m_mask(mask)
{
}

void DataText::setShrinkWithColumn(double floor)
{
    m_columnFloor = floor;
    m_columnPoints = font().pointSizeF();
}

QString DataText::text(const RenderContext*) const
{
    const RowSource* rows = m_rows ? m_rows : band().report().rows();
    if (!rows)
        return caption();
    return FormatValue(rows->value(m_field), m_mask);
}

// ---------------------------------------------------------------------------

Expr::Expr(Band& band, const QString& name, const QRect& rect, Aggregate aggregate, const QString& field,
           Reset reset, const QString& mask)
    : Label(ControlKind::Expr, band, name, rect, QString())
    , m_aggregate(aggregate)
    , m_field(field)
    , m_reset(reset)
    , m_mask(mask)
{
}

void Expr::clear()
{
    m_total = Currency();
    m_count = 0;
}

void Expr::accumulate(const RowSource* reportRows)
{
    ++m_count;
    if (m_aggregate != Aggregate::Sum)
        return;
    if (m_value) {
        m_total += m_value();
        return;
    }
    const RowSource* rows = m_rows ? m_rows : reportRows;
    if (rows && !m_field.isEmpty())
        m_total += db::toCurrency(rows->value(m_field));
}

QString Expr::text(const RenderContext*) const
{
    if (m_aggregate == Aggregate::Count)
        return QString::number(m_count);
    return FormatAmount(m_total, m_mask.isEmpty() ? MoneyMask : m_mask);
}

// ---------------------------------------------------------------------------

SysData::SysData(Band& band, const QString& name, const QRect& rect, Value value, const QString& caption)
    : Label(ControlKind::SysData, band, name, rect, caption), m_value(value)
{
}

QString SysData::text(const RenderContext*) const
{
    const Report& report = band().report();
    switch (m_value) {
    case Value::PageNumber: return caption() + QString::number(report.pageNumber());
    case Value::ReportTitle: return caption() + report.title();
    case Value::Date: return caption() + report.runTime().date().toString(QStringLiteral("dd/MM/yyyy"));
    case Value::Time: return caption() + report.runTime().time().toString(QStringLiteral("HH:mm:ss"));
    case Value::DateTime:
        return caption() + report.runTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    }
    return caption();
}

// ---------------------------------------------------------------------------

Shape::Shape(Band& band, const QString& name, const QRect& rect, Form form)
    : Control(ControlKind::Shape, band, name, rect), m_form(form), m_pen(Qt::black, 1), m_brush(Qt::NoBrush)
{
}

void Shape::render(RenderContext& context, const QRectF& at) const
{
    QRectF r = at;
    if (m_stretchWithBand)
        r.setHeight(r.height() + context.growth);
    PageItem item;
    item.control = name();
    item.pen = m_pen;
    item.brush = m_brush;
    switch (m_form) {
    case Form::Rectangle:
        item.kind = ItemKind::Rect;
        item.rect = r;
        break;
    case Form::Circle:
        item.kind = ItemKind::Ellipse;
        item.rect = r;
        break;
    case Form::HorLine:
        item.kind = ItemKind::Line;
        item.rect = QRectF(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
        break;
    case Form::VertLine:
        item.kind = ItemKind::Line;
        item.rect = QRectF(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom()));
        break;
    }
    context.add(std::move(item));
}

// ---------------------------------------------------------------------------

RoundRect::RoundRect(Band& band, const QString& name, const QRect& rect)
    : Control(ControlKind::RoundRect, band, name, rect)
{
}

void RoundRect::render(RenderContext& context, const QRectF& at) const
{
    // The shape's corner ellipse is given in the control's pixels, which are
    // report pixels: printed at the control's size.
    TRoundRectShape sized = m_shape;
    sized.SetSize(width(), height());
    auto extra = std::make_shared<ItemExtra>();
    extra->ellipse = sized.PrintedEllipse(at.size());
    PageItem item;
    item.kind = ItemKind::RoundRect;
    item.rect = at;
    item.pen = m_shape.Pen();
    item.brush = m_shape.Brush();
    item.control = name();
    item.extra = std::move(extra);
    context.add(std::move(item));
}

// ---------------------------------------------------------------------------

Image::Image(Band& band, const QString& name, const QRect& rect, const QImage& picture)
    : Control(ControlKind::Image, band, name, rect), m_picture(picture)
{
}

bool Image::loadPicture(const QString& fileName)
{
    QImageReader reader(fileName);
    reader.setAutoTransform(true);
    QImage picture = reader.read();
    if (picture.isNull())
        return false;
    m_picture = picture;
    return true;
}

void Image::render(RenderContext& context, const QRectF& at) const
{
    renderFill(context, at);
    if (!m_picture.isNull()) {
        auto extra = std::make_shared<ItemExtra>();
        extra->image = m_picture;
        extra->stretch = m_stretch;
        extra->center = m_center;
        PageItem item;
        item.kind = ItemKind::Image;
        item.rect = at;
        item.control = name();
        item.extra = std::move(extra);
        context.add(std::move(item));
    }
    renderFrame(context, at);
}

// ---------------------------------------------------------------------------

RichText::RichText(Band& band, const QString& name, const QRect& rect)
    : Control(ControlKind::RichText, band, name, rect), m_document(std::make_unique<QTextDocument>())
{
    m_document->setDefaultFont(band.report().font());
}

RichText::~RichText() = default;

void RichText::setHtml(const QString& html)
{
    m_document->setHtml(html);
}

void RichText::setPlainText(const QString& text)
{
    m_document->setPlainText(text);
}

std::optional<QString> RichText::setRtf(QByteArrayView rtf)
{
    return rtf::Read(rtf, *m_document);
}

std::shared_ptr<QTextDocument> RichText::laidOut(double width) const
{
    std::shared_ptr<QTextDocument> doc(m_document->clone());
    doc->documentLayout()->setPaintDevice(ReportDevice());
    doc->setUseDesignMetrics(true);
    doc->setDocumentMargin(0);
    // No picture wider than the text nor taller than the page's printable area.
    const PageSetup& page = band().report().page();
    const double printable = MmToPx(page.length - page.margins.top - page.margins.bottom);
    FitPictures(*doc, QSizeF(std::max(1.0, width), std::max(1.0, printable)));
    doc->setTextWidth(width);
    return doc;
}

double RichText::neededHeight(const RenderContext&) const
{
    if (!m_autoStretch)
        return height();
    return std::max<double>(height(), laidOut(width())->size().height());
}

void RichText::render(RenderContext& context, const QRectF& at) const
{
    auto extra = std::make_shared<ItemExtra>();
    extra->document = laidOut(at.width());
    QRectF r = at;
    if (m_autoStretch)
        r.setHeight(std::max(r.height(), extra->document->size().height()));
    renderFill(context, r);
    PageItem item;
    item.kind = ItemKind::RichText;
    item.rect = r;
    item.text = extra->document->toPlainText();
    item.control = name();
    item.options = PageItem::ClipToRect;
    item.extra = std::move(extra);
    context.add(std::move(item));
    renderFrame(context, r);
}

namespace {

// Calls `visit(top, bottom, text)` for every line of the laid-out document,
// in the document's pixels; the lines of table cells included.
template <class Visit>
void ForEachLine(const QTextDocument& laid, Visit visit)
{
    QAbstractTextDocumentLayout* layout = laid.documentLayout();
    for (QTextBlock block = laid.begin(); block.isValid(); block = block.next()) {
        const QTextLayout* lines = block.layout();
        if (!lines)
            continue;
        const double top = layout->blockBoundingRect(block).top() - lines->boundingRect().top();
        const QString text = block.text();
        for (int i = 0; i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            visit(top + line.y(), top + line.y() + line.height(), QStringView(text).mid(line.textStart(), line.textLength()));
        }
    }
}

} // namespace

void RichText::renderPart(RenderContext& context, const QRectF& at, const std::shared_ptr<QTextDocument>& laid,
                          double from, double to) const
{
    auto extra = std::make_shared<ItemExtra>();
    extra->document = laid;
    extra->documentTop = from;
    extra->documentPart = true;
    const QRectF r(at.left(), at.top(), at.width(), std::max(0.0, to - from));
    renderFill(context, r);
    // The page model holds the text of the lines of this part.
    QStringList shown;
    ForEachLine(*laid, [&](double top, double bottom, QStringView text) {
        if (top >= from - 0.01 && bottom <= to + 0.01)
            shown << text.toString();
    });
    PageItem item;
    item.kind = ItemKind::RichText;
    item.rect = r;
    item.text = shown.join(QLatin1Char('\n'));
    item.control = name();
    item.options = PageItem::ClipToRect;
    item.extra = std::move(extra);
    context.add(std::move(item));
    renderFrame(context, r);
}

std::vector<std::pair<double, double>> LineSpans(const QTextDocument& laid)
{
    std::vector<std::pair<double, double>> lines;
    ForEachLine(laid, [&](double top, double bottom, QStringView) { lines.emplace_back(top, bottom); });
    std::sort(lines.begin(), lines.end());
    std::vector<std::pair<double, double>> spans;
    for (const auto& line : lines) {
        if (!spans.empty() && line.first < spans.back().second - 0.01)
            spans.back().second = std::max(spans.back().second, line.second);
        else
            spans.push_back(line);
    }
    return spans;
}

double CutAbove(const std::vector<std::pair<double, double>>& spans, double limit)
{
    // The last span starting above the limit: the cut goes above it when it
    // crosses the limit.
    auto it = std::upper_bound(spans.begin(), spans.end(), limit,
                               [](double value, const std::pair<double, double>& span) { return value < span.first; });
    if (it == spans.begin())
        return limit;
    --it;
    return it->second > limit + 0.01 ? it->first : limit;
}

} // namespace rpt

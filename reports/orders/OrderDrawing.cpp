#include "reports/orders/OrderDrawing.h"

#include <QtMath>

#include <algorithm>

namespace mdt {

namespace {

const QColor Shade(0xE6, 0xE6, 0xE6);
const QColor RoundShade(0xEA, 0xEA, 0xEA);

} // namespace

int Mm(double mm)
{
    return qRound(rpt::MmToPx(mm));
}

QFont FontOf(const TextStyle& style)
{
    QFont font(QString::fromLatin1(style.family));
    font.setPointSizeF(style.size);
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    return font;
}

TextStyle Bold(double size, Qt::Alignment align)
{
    TextStyle s;
    s.size = size;
    s.bold = true;
    s.align = align;
    return s;
}

TextStyle Plain(double size, Qt::Alignment align)
{
    TextStyle s;
    s.size = size;
    s.align = align;
    return s;
}

rpt::Label* Text(rpt::Band& band, const QString& name, const QRect& rect, const QString& caption,
                 const TextStyle& style)
{
    rpt::Label* label = band.addLabel(name, rect, caption);
    label->setFont(FontOf(style));
    label->setAlignment(style.align);
    label->setWordWrap(style.wrap);
    return label;
}

void ShadedCell(rpt::Band& band, const QString& shape, const QString& label, const QRect& rect,
                const QString& caption, const TextStyle& style)
{
    rpt::Shape* cell = band.addShape(shape, rect);
    cell->setBrush(Shade);
    const int lineHeight = rpt::LineHeight(FontOf(style));
    TextStyle centred = style;
    centred.align = Qt::AlignHCenter;
    Text(band, label, QRect(rect.left() + 2, rect.top() + (rect.height() - lineHeight) / 2, rect.width() - 4, lineHeight),
         caption, centred);
}

void ShowAmount(rpt::Label* label, Currency amount)
{
    label->setCaption(amount.formatMoney());
    label->shrinkToFit(rpt::MinFontPoints);
}

void FitCentred(rpt::Label* label, int boxTop, int boxHeight)
{
    label->setTop(boxTop);
    label->setHeight(boxHeight);
    label->shrinkToFit(rpt::MinFontPoints);
    const int height = std::min(label->wrappedTextHeight(), boxHeight);
    label->setTop(boxTop + (boxHeight - height) / 2);
    label->setHeight(height + 1);
}

rpt::Shape* Box(rpt::Band& band, const QString& name, const QRect& rect)
{
    rpt::Shape* box = band.addShape(name, rect);
    box->setBrush(Qt::NoBrush);
    return box;
}

rpt::Shape* HLine(rpt::Band& band, const QString& name, int left, int top, int width)
{
    return band.addShape(name, QRect(left, top, width, 1), rpt::Shape::Form::HorLine);
}

rpt::Shape* VLine(rpt::Band& band, const QString& name, int left, int top, int height)
{
    return band.addShape(name, QRect(left, top, 1, height), rpt::Shape::Form::VertLine);
}

rpt::RoundRect* RoundBox(rpt::Band& band, const QString& name, const QRect& rect)
{
    rpt::RoundRect* box = band.addRoundRect(name, rect);
    box->shape().SetPen(QPen(Qt::black, 2));
    box->shape().SetBrush(QBrush(RoundShade));
    box->shape().SetEllipseWidth(15);
    box->shape().SetEllipseHeight(15);
    return box;
}

} // namespace mdt

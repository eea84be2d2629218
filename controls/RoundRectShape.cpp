#include "controls/RoundRectShape.h"

#include <QPainter>

#include <cmath>

TRoundRectShape::TRoundRectShape()
    : m_pen(Qt::black, 1, Qt::SolidLine)
    , m_brush(Qt::white, Qt::SolidPattern)
{
}

void TRoundRectShape::SetPen(const QPen& pen)
{
    m_pen = pen;
    Changed();
}

void TRoundRectShape::SetBrush(const QBrush& brush)
{
    m_brush = brush;
    Changed();
}

void TRoundRectShape::SetEllipse(int index, qreal value)
{
    qreal& target = index == 0 ? m_ellipseHeight : m_ellipseWidth;
    if (target == value)
        return;
    target = value;
    Changed();
}

void TRoundRectShape::SetSize(int width, int height)
{
    m_width = width;
    m_height = height;
}

void TRoundRectShape::Changed() const
{
    if (OnChange)
        OnChange();
}

void TRoundRectShape::Paint(QPainter& painter) const
{
    painter.save();
    painter.setPen(m_pen);
    painter.setBrush(m_brush);
    DrawRounded(painter, QRectF(0, 0, m_width, m_height),
                QSizeF(std::trunc(m_ellipseWidth), std::trunc(m_ellipseHeight)));
    painter.restore();
}

QSizeF TRoundRectShape::PrintedEllipse(const QSizeF& printedSize) const
{
    // A control of zero size has no proportion to keep: plain corners.
    const qreal w = m_width > 0 ? printedSize.width() / m_width * m_ellipseWidth : 0;
    const qreal h = m_height > 0 ? printedSize.height() / m_height * m_ellipseHeight : 0;
    return QSizeF(w, h);
}

void TRoundRectShape::Print(QPainter& painter, const QRectF& target) const
{
    painter.save();
    painter.setPen(m_pen);
    painter.setBrush(m_brush);
    DrawRounded(painter, target, PrintedEllipse(target.size()));
    painter.restore();
}

void TRoundRectShape::DrawRounded(QPainter& painter, const QRectF& rect, const QSizeF& ellipse)
{
    if (ellipse.width() <= 0 || ellipse.height() <= 0 || rect.width() <= 0 || rect.height() <= 0) {
        painter.drawRect(rect);
        return;
    }
    // The ellipse spans the corner twice: the radii are its halves, never more
    // than half the rectangle.
    const qreal rx = std::min(ellipse.width() / 2, rect.width() / 2);
    const qreal ry = std::min(ellipse.height() / 2, rect.height() / 2);
    painter.drawRoundedRect(rect, rx, ry, Qt::AbsoluteSize);
}

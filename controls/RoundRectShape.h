#pragma once
// TRoundRectShape: a rectangle with rounded corners, outlined with a pen and
// filled with a brush, as printed documents draw it around blocks of a white
// page. The report engine places it on a band like its other shapes (the
// engine's round-rectangle control holds one); a window that shows a
// document's design paints it with Paint().
//
// The corner ellipse is given in the control's own pixels. Printed at another
// size, the corners keep the proportion they have on screen: the printed
// ellipse is the ellipse times the printed size over the control's size. A
// control or an ellipse of zero size draws a plain rectangle.

#include <QBrush>
#include <QPen>
#include <QRectF>
#include <QSizeF>

#include <functional>

class QPainter;

class TRoundRectShape {
public:
    TRoundRectShape();

    const QPen& Pen() const { return m_pen; }
    void SetPen(const QPen& pen);          // copies the pen's settings
    const QBrush& Brush() const { return m_brush; }
    void SetBrush(const QBrush& brush);    // copies the brush's settings

    qreal EllipseWidth() const { return m_ellipseWidth; }
    qreal EllipseHeight() const { return m_ellipseHeight; }
    // The one setter of both ellipse sizes: index 0 is the height, 1 the width.
    void SetEllipse(int index, qreal value);
    void SetEllipseWidth(qreal value) { SetEllipse(1, value); }
    void SetEllipseHeight(qreal value) { SetEllipse(0, value); }

    // The control's size in screen pixels.
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void SetSize(int width, int height);

    // Called after any change of the pen, the brush or an ellipse (a window
    // showing the shape repaints it).
    std::function<void()> OnChange;

    // On screen: from (0, 0) to (Width, Height), the ellipse truncated to whole pixels.
    void Paint(QPainter& painter) const;
    // Printed into `target`, in the painter's units.
    void Print(QPainter& painter, const QRectF& target) const;
    // The corner ellipse of the shape printed at `printedSize`.
    QSizeF PrintedEllipse(const QSizeF& printedSize) const;

    // Draws a rounded rectangle whose corner ellipse is `ellipse` (full width
    // and height of the ellipse) with the painter's pen and brush; a plain
    // rectangle when either side of the ellipse is 0.
    static void DrawRounded(QPainter& painter, const QRectF& rect, const QSizeF& ellipse);

private:
    void Changed() const;

    QPen m_pen;
    QBrush m_brush;
    qreal m_ellipseWidth = 40;
    qreal m_ellipseHeight = 40;
    int m_width = 65;
    int m_height = 65;
};

// The rounded rectangle of printed documents: corners keep their proportion
// at any printed size, and a shape or an ellipse of zero size draws a plain
// rectangle.
#include "controls/RoundRectShape.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

// Paints the shape into `target` of a white image with a black fill and no outline.
QImage Printed(const TRoundRectShape& shape, const QRectF& target)
{
    QImage image(120, 120, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    shape.Print(painter, target);
    painter.end();
    return image;
}

TRoundRectShape BlackShape()
{
    TRoundRectShape shape;
    shape.SetPen(Qt::NoPen);
    shape.SetBrush(QBrush(Qt::black));
    return shape;
}

} // namespace

TEST(RoundRectShape, PrintedCornersKeepTheProportionTheyHaveOnScreen)
{
    TRoundRectShape shape;
    EXPECT_EQ(shape.Width(), 65);
    EXPECT_EQ(shape.EllipseWidth(), 40);
    shape.SetSize(100, 40);
    shape.SetEllipse(1, 10);   // index 1: the width
    shape.SetEllipse(0, 8);    // index 0: the height
    const double pxPerMm = 96.0 / 25.4;
    const QSizeF ellipse = shape.PrintedEllipse(QSizeF(50 * pxPerMm, 20 * pxPerMm));
    EXPECT_NEAR(ellipse.width() / pxPerMm, 5.0, 1e-9);
    EXPECT_NEAR(ellipse.height() / pxPerMm, 4.0, 1e-9);
}

TEST(RoundRectShape, ZeroSizeOrZeroEllipseDrawsAPlainRectangle)
{
    TRoundRectShape rounded = BlackShape();
    rounded.SetSize(80, 80);
    rounded.SetEllipseWidth(40);
    rounded.SetEllipseHeight(40);
    const QRectF target(10, 10, 80, 80);
    EXPECT_EQ(Printed(rounded, target).pixelColor(11, 11), QColor(Qt::white));   // a rounded corner
    EXPECT_EQ(Printed(rounded, target).pixelColor(50, 50), QColor(Qt::black));

    TRoundRectShape flat = rounded;
    flat.SetEllipseWidth(0);
    EXPECT_EQ(Printed(flat, target).pixelColor(11, 11), QColor(Qt::black));

    TRoundRectShape empty = rounded;
    empty.SetSize(0, 0);   // no size to keep a proportion to
    EXPECT_EQ(empty.PrintedEllipse(target.size()), QSizeF(0, 0));
    EXPECT_EQ(Printed(empty, target).pixelColor(11, 11), QColor(Qt::black));
}

TEST(RoundRectShape, ChangesOfPenBrushOrEllipseAskForARepaint)
{
    TRoundRectShape shape;
    int repaints = 0;
    shape.OnChange = [&] { ++repaints; };
    shape.SetPen(QPen(Qt::red, 2));
    shape.SetBrush(QBrush(QColor(0xEA, 0xEA, 0xEA)));
    shape.SetEllipseWidth(15);
    shape.SetEllipseWidth(15);   // unchanged
    EXPECT_EQ(repaints, 3);
    EXPECT_EQ(shape.Pen().width(), 2);
}

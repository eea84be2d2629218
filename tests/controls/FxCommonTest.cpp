#include "controls/FxCommon.h"

#include <QImage>
#include <QPainter>
#include <stdexcept>
#include <gtest/gtest.h>

TEST(FxCommon, HslOnThe240Scale)
{
    struct { QColor color; int h, s, l; } toHsl[] = {
        {QColor(255, 0, 0), 0, 240, 120},
        {QColor(0, 255, 0), 80, 240, 120},
        {QColor(0, 0, 255), 160, 240, 120},
        {QColor(255, 255, 255), 0, 0, 240},
        {QColor(0, 0, 0), 0, 0, 0},
        {QColor(128, 128, 128), 0, 0, 120},
        {QColor(128, 0, 0), 0, 240, 60},
        {QColor(255, 0, 255), 200, 240, 120},
    };
    for (const auto& c : toHsl) {
        const THsl240 hsl = ColorToHsl240(c.color);
        EXPECT_EQ(hsl.h, c.h) << c.color.name().toStdString();
        EXPECT_EQ(hsl.s, c.s) << c.color.name().toStdString();
        EXPECT_EQ(hsl.l, c.l) << c.color.name().toStdString();
    }

    struct { int h, s, l; QRgb rgb; } toColor[] = {
        {0, 240, 120, qRgb(255, 0, 0)},
        {0, 0, 240, qRgb(255, 255, 255)},
        {0, 0, 0, qRgb(0, 0, 0)},
        {0, 0, 120, qRgb(128, 128, 128)},
        {80, 240, 120, qRgb(0, 255, 2)},    // hues are sixths of 239
        {239, 240, 120, qRgb(255, 0, 0)},
        {0, 0, 255, qRgb(255, 255, 255)},   // a luminance past 240 is capped
    };
    for (const auto& c : toColor)
        EXPECT_EQ(Hsl240ToColor(c.h, c.s, c.l).rgb(), c.rgb) << c.h << "/" << c.s << "/" << c.l;

    const QColor white(255, 255, 255), black(0, 0, 0), grey(128, 128, 128);
    struct { QColor in; int amount; QRgb out; } shifts[] = {
        {white, -240, qRgb(0, 0, 0)},
        {white, -255, qRgb(0, 0, 0)},        // not below 0
        {black, 255, qRgb(255, 255, 255)},
        {grey, 30, qRgb(159, 159, 159)},    // L 120 -> 150
        {grey, -30, qRgb(96, 96, 96)},      // L 120 -> 90
        {QColor(10, 20, 30), 0, qRgb(10, 20, 30)},
    };
    for (const auto& c : shifts)
        EXPECT_EQ(ShiftLuminance(c.in, c.amount).rgb(), c.out) << c.amount;
    EXPECT_EQ(DarkenColor(white, 240).rgb(), qRgb(0, 0, 0));
    EXPECT_EQ(LightenColor(black, 255).rgb(), qRgb(255, 255, 255));
    EXPECT_THROW(ShiftLuminance(grey, 256), std::out_of_range);
    EXPECT_THROW(ShiftLuminance(grey, -256), std::out_of_range);
}

namespace {

const QRgb kBack = qRgb(255, 0, 255);

QImage Canvas()
{
    QImage img(20, 16, QImage::Format_RGB32);
    img.fill(kBack);
    return img;
}

} // namespace

// Every style paints exactly the band it reports as taken, so a label sized by
// the thickness keeps its text clear of the frame.
TEST(FxCommon, FramesPaintTheBandTheyTake)
{
    const QRect rect(0, 0, 20, 16);
    for (int s = fsNone; s <= fsFlatRounded; ++s) {
        for (const bool inner : {false, true}) {
            const auto style = TFrameStyleEx(s);
            TFrameBorder border;
            (inner ? border.inner : border.outer) = style;
            border.flatColor = QColor(40, 40, 40);
            border.parentColor = QColor(1, 2, 3);
            border.controlColor = QColor(4, 5, 6);
            border.bandColor = QColor(7, 8, 9);
            border.shadowColor = QColor(90, 90, 90);
            border.highlightColor = QColor(250, 250, 250);
            border.bevelWidth = 3;
            QImage img = Canvas();
            QRect got;
            {
                QPainter p(&img);
                got = PaintFrameBorder(p, rect, border);
            }
            const int t = FrameThickness(style, border.bevelWidth);
            EXPECT_EQ(got, rect.adjusted(t, t, -t, -t)) << s << (inner ? " inner" : " outer");
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 20; ++x) {
                    const bool inFrame = !got.contains(x, y);
                    const bool painted = img.pixel(x, y) != kBack;
                    ASSERT_EQ(painted, inFrame) << "style " << s << (inner ? " inner" : " outer") << " at " << x
                                                << "," << y;
                }
        }
    }

    // The rounded frame cuts its corners; transparent, they show what lies below.
    {
        QImage img = Canvas();
        TFrameBorder border;
        border.outer = fsFlatRounded;
        border.transparent = true;
        border.flatColor = QColor(40, 40, 40);
        QPainter p(&img);
        PaintFrameBorder(p, QRect(0, 0, 20, 16), border);
        p.end();
        EXPECT_EQ(img.pixel(0, 0), kBack);
        EXPECT_EQ(img.pixel(1, 0), kBack);
        EXPECT_EQ(img.pixel(0, 1), kBack);
        EXPECT_NE(img.pixel(1, 1), kBack);
        EXPECT_NE(img.pixel(2, 0), kBack);
        EXPECT_EQ(img.pixel(19, 15), kBack);
    }

    // A line in the none colour is left unpainted but still taken.
    {
        QImage img = Canvas();
        QPainter p(&img);
        const QRect inner = PaintSideLines(p, QRect(0, 0, 20, 16), QColor(), sdAllSides, QColor(0, 0, 0));
        p.end();
        EXPECT_EQ(inner, QRect(1, 1, 18, 14));
        EXPECT_EQ(img.pixel(0, 5), kBack);
        EXPECT_EQ(img.pixel(5, 0), kBack);
        EXPECT_EQ(img.pixel(19, 5), qRgb(0, 0, 0));
        EXPECT_EQ(img.pixel(5, 15), qRgb(0, 0, 0));
    }

    // Only the chosen sides are framed.
    {
        QImage img = Canvas();
        QPainter p(&img);
        const QRect inner = PaintStyleFrame(p, QRect(0, 0, 20, 16), fsGroove, TSides(sdLeft | sdBottom));
        p.end();
        EXPECT_EQ(inner, QRect(2, 0, 18, 14));
        EXPECT_EQ(img.pixel(19, 0), kBack);
        EXPECT_EQ(img.pixel(10, 0), kBack);
        EXPECT_NE(img.pixel(1, 8), kBack);
        EXPECT_NE(img.pixel(10, 14), kBack);
    }
}

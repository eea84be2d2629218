#include "controls/Gradient.h"

#include <QImage>
#include <stdexcept>
#include <gtest/gtest.h>

namespace {

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

// Counts pattern rebuilds through a custom handler.
struct RebuildCounter {
    int count = 0;
    void Attach(TGradient& g)
    {
        g.SetStyle(gsCustom);
        g.SetOnCustom([this](TGradient*, const TGradientColors&, QImage&) { ++count; });
        count = 0;
    }
};

QImage Render(TGradient& g)
{
    return g.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST(Gradient, DefaultsAndClamping)
{
    TGradient g;
    EXPECT_EQ(g.ColorBegin().rgb(), kWhite);
    EXPECT_EQ(g.ColorEnd().rgb(), TGradient::ButtonFaceColor().rgb());
    EXPECT_EQ(g.Style(), gsRadialC);
    EXPECT_EQ(g.size(), QSize(100, 100));
    EXPECT_EQ(g.Pattern().size(), QSize(362, 362));

    struct { int in, stored; } cases[] = {{150, 100}, {-150, -100}, {100, 100}, {-37, -37}, {0, 0}};
    for (const auto& c : cases) {
        g.SetShift(c.in);
        g.SetRotation(c.in);
        EXPECT_EQ(g.Shift(), c.stored) << c.in;
        EXPECT_EQ(g.Rotation(), c.stored) << c.in;
    }
}

TEST(Gradient, RampShiftAndRotation)
{
    TGradient g;
    g.SetColorBegin(QColor(0, 0, 0));
    g.SetColorEnd(QColor(255, 100, 10));
    const QRgb end = qRgb(255, 100, 10);

    // Plain ramp: start at 0, end at 255, linear with truncation in between.
    EXPECT_EQ(g.Colors()[0], kBlack);
    EXPECT_EQ(g.Colors()[255], end);
    EXPECT_EQ(g.Colors()[128], qRgb(128, 100 * 128 / 255, 10 * 128 / 255));

    g.SetShift(100);
    for (QRgb c : g.Colors())
        ASSERT_EQ(c, end);
    g.SetShift(-100);
    for (QRgb c : g.Colors())
        ASSERT_EQ(c, kBlack);
    g.SetShift(50);   // start colour half-way to the end colour
    EXPECT_EQ(g.Colors()[0], qRgb(128, 50, 5));
    EXPECT_EQ(g.Colors()[255], end);
    g.SetShift(0);

    // Full rotation either way runs from the end colour down to the start colour.
    for (int rotation : {100, -100}) {
        g.SetRotation(rotation);
        EXPECT_EQ(g.Colors()[0], end) << rotation;
        EXPECT_EQ(g.Colors()[255], kBlack) << rotation;
    }
    // Half rotation (k = 128) peaks at entry 127 and returns to the start colour.
    g.SetRotation(50);
    EXPECT_EQ(g.Colors()[0], kBlack);
    EXPECT_EQ(g.Colors()[127], end);
    EXPECT_EQ(g.Colors()[255], kBlack);
    // Negative half rotation dips to the start colour at entry 128.
    g.SetRotation(-50);
    EXPECT_EQ(g.Colors()[0], end);
    EXPECT_EQ(g.Colors()[128], kBlack);
    EXPECT_EQ(g.Colors()[255], end);

    // Reverse swaps the ends.
    g.SetRotation(0);
    g.SetReverse(true);
    EXPECT_EQ(g.Colors()[0], end);
    EXPECT_EQ(g.Colors()[255], kBlack);
}

TEST(Gradient, PatternIndicesStayInRangeAndHitTheirEnds)
{
    for (int s = gsRadialC; s <= gsButterfly; ++s) {
        const auto style = TGradientStyle(s);
        const QSize size = TGradient::PatternSize(style);
        int lo = 256, hi = -1;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                const int i = TGradient::PatternIndex(style, x, y);
                lo = std::min(lo, i);
                hi = std::max(hi, i);
            }
        EXPECT_GE(lo, 0) << s;
        EXPECT_LE(lo, 1) << s;   // the butterfly's lowest entry is 1
        EXPECT_EQ(hi, 255) << s;
    }

    // Where the start colour (index 0) and the end colour (255) lie.
    struct { TGradientStyle style; int x, y, index; } cases[] = {
        {gsRadialC, 180, 180, 0}, {gsRadialC, 181, 180, 0}, {gsRadialC, 181, 181, 1}, {gsRadialC, 0, 361, 255},
        {gsRadialT, 181, 0, 0}, {gsRadialB, 180, 180, 0}, {gsRadialL, 0, 181, 0},
        {gsRadialR, 180, 180, 0}, {gsRadialTL, 0, 0, 0}, {gsRadialBR, 0, 0, 255},
        {gsLinearH, 0, 0, 0}, {gsLinearH, 255, 0, 255}, {gsLinearV, 0, 255, 255},
        {gsReflectedH, 0, 255, 0}, {gsReflectedH, 0, 256, 0}, {gsReflectedH, 0, 0, 255},
        {gsReflectedH, 0, 511, 255}, {gsReflectedV, 511, 0, 255}, {gsReflectedV, 256, 0, 0},
        {gsDiagonalLF, 0, 0, 0}, {gsDiagonalLB, 127, 0, 0}, {gsDiagonalRF, 0, 0, 255},
        {gsDiagonalRF, 255, 0, 0}, {gsDiagonalRB, 10, 10, 0}, {gsDiagonalRB, 255, 0, 255},
        {gsArrowL, 128, 127, 0}, {gsArrowR, 0, 127, 0}, {gsArrowU, 127, 128, 0},
        {gsArrowD, 127, 0, 0}, {gsDiamond, 127, 127, 1}, {gsDiamond, 0, 0, 255},
        {gsDiamond, 255, 255, 255}, {gsButterfly, 0, 127, 1}, {gsButterfly, 127, 0, 255},
        {gsButterfly, 0, 0, 128},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TGradient::PatternIndex(c.style, c.x, c.y), c.index)
            << c.style << " (" << c.x << "," << c.y << ")";
}

TEST(Gradient, PaintsStretchedPattern)
{
    TGradient g;
    g.resize(200, 40);
    g.SetColorBegin(QColor(255, 255, 255));
    g.SetColorEnd(QColor(192, 192, 192));

    // A horizontal band: white along the middle line, silver at top and bottom.
    g.SetStyle(gsReflectedH);
    // Each screen row samples one of the 512 pattern rows.
    QImage img = Render(g);
    EXPECT_GE(qGray(img.pixel(100, 20)), 250);
    EXPECT_GE(qGray(img.pixel(100, 19)), 250);
    EXPECT_LE(qGray(img.pixel(5, 0)), 195);
    EXPECT_LE(qGray(img.pixel(150, 39)), 195);
    EXPECT_GT(qGray(img.pixel(5, 10)), qGray(img.pixel(5, 0)));
    for (int y : {0, 10, 20, 39})
        EXPECT_EQ(img.pixel(0, y), img.pixel(199, y)) << y;   // constant along a row

    // Left to right, from black to white.
    g.SetColorBegin(QColor(0, 0, 0));
    g.SetColorEnd(QColor(255, 255, 255));
    g.SetStyle(gsLinearH);
    img = Render(g);
    EXPECT_LE(qGray(img.pixel(0, 10)), 2);
    EXPECT_GE(qGray(img.pixel(199, 10)), 253);
    EXPECT_LT(qRed(img.pixel(50, 10)), qRed(img.pixel(150, 10)));

    // Custom without handler: the two colours crossed in the four quadrants.
    g.SetStyle(gsCustom);
    img = Render(g);
    EXPECT_EQ(img.pixel(10, 5), kBlack);
    EXPECT_EQ(img.pixel(190, 35), kBlack);
    EXPECT_EQ(img.pixel(190, 5), kWhite);
    EXPECT_EQ(img.pixel(10, 35), kWhite);

    // Equal colours give a flat fill whatever the style.
    g.SetColorBegin(QColor(10, 20, 30));
    g.SetColorEnd(QColor(10, 20, 30));
    for (int s = gsCustom; s <= gsButterfly; ++s) {
        g.SetStyle(TGradientStyle(s));
        img = Render(g);
        for (QPoint p : {QPoint(0, 0), QPoint(100, 20), QPoint(199, 39), QPoint(37, 11)})
            ASSERT_EQ(img.pixel(p), qRgb(10, 20, 30)) << s;
    }
}

TEST(Gradient, RebuildsOnlyOnRealChangesAndOncePerUpdate)
{
    TGradient g;
    RebuildCounter counter;
    counter.Attach(g);

    g.SetColorEnd(g.ColorEnd());
    g.SetColorBegin(g.ColorBegin());
    g.SetShift(0);
    g.SetStyle(gsCustom);
    EXPECT_EQ(counter.count, 0);

    g.SetColorEnd(QColor(1, 2, 3));
    EXPECT_EQ(counter.count, 1);

    g.BeginUpdate();
    g.SetColorBegin(QColor(9, 9, 9));
    g.SetShift(20);
    g.SetRotation(-20);
    g.SetReverse(true);
    EXPECT_EQ(counter.count, 1);
    g.EndUpdate();
    EXPECT_EQ(counter.count, 2);

    // A handler that throws leaves the control able to paint again.
    EXPECT_THROW(g.SetOnCustom([](TGradient*, const TGradientColors&, QImage&) { throw std::runtime_error("x"); }),
                 std::runtime_error);
    EXPECT_THROW(g.SetShift(30), std::runtime_error);
    g.SetOnCustom([](TGradient*, const TGradientColors& colors, QImage& pattern) {
        pattern = QImage(1, 1, QImage::Format_RGB32);
        pattern.setPixel(0, 0, colors[255]);
    });
    g.resize(10, 10);
    EXPECT_EQ(Render(g).pixel(5, 5), g.Colors()[255]);
}

TEST(Gradient, ColourChangeSwitchesSystemColoursOff)
{
    TGradient g;
    g.SetUseSysColors(true);
    // The platform offers no caption gradient colour: both ends take the
    // caption colour and the flag falls back off.
    EXPECT_EQ(g.ColorBegin().rgb(), g.ColorEnd().rgb());
    EXPECT_FALSE(g.UseSysColors());
    g.SetColorEnd(QColor(1, 1, 1));
    EXPECT_FALSE(g.UseSysColors());
    EXPECT_EQ(g.ColorEnd().rgb(), qRgb(1, 1, 1));
}

#include "controls/FxLabel.h"

#include <QImage>
#include <QPalette>
#include <QWidget>
#include <functional>
#include <memory>
#include <gtest/gtest.h>

namespace {

const QString kCaption = QStringLiteral("Situation financière");

// A label on a white window, drawn without anti-aliasing so every pixel is
// one of the colours it was painted in.
struct Stage {
    QWidget window;
    TFxLabel* label;

    explicit Stage(const QString& caption = kCaption)
    {
        QPalette pal = window.palette();
        pal.setColor(QPalette::Window, Qt::white);
        pal.setColor(QPalette::WindowText, Qt::black);
        window.setPalette(pal);
        window.resize(400, 300);
        label = new TFxLabel(&window);
        QFont f = label->font();
        f.setPointSize(12);
        f.setBold(true);
        f.setStyleStrategy(QFont::NoAntialias);
        label->setFont(f);
        label->move(20, 20);
        label->setText(caption);
    }

    QImage Grab() const { return label->grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

// The smallest rectangle holding the pixels of `img` that match.
QRect InkBox(const QImage& img, const std::function<bool(QRgb)>& match)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (match(img.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

int Count(const QImage& img, const QRect& area, QRgb colour)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += img.pixel(x, y) == colour;
    return n;
}

} // namespace

// Automatic sizing leaves exactly the plain label's room inside every frame:
// the label grows by the frame's thickness on each chosen side.
TEST(FxLabel, AutoSizeKeepsTheTextRoomInsideEachFrame)
{
    Stage plain;
    const QSize text = plain.label->size();
    ASSERT_GT(text.width(), 50);

    struct { TFrameStyleEx style; int thickness; } frames[] = {
        {fsNone, 0}, {fsFlat, 1}, {fsGroove, 2}, {fsBump, 2}, {fsLowered, 2}, {fsButtonDown, 2},
        {fsRaised, 2}, {fsButtonUp, 2}, {fsStatus, 3}, {fsPopup, 3}, {fsFlatBold, 2}, {fsFlatRounded, 2},
    };
    for (const auto& f : frames) {
        for (const bool inner : {false, true}) {
            Stage s;
            s.label->SetBevelWidth(3);
            if (inner) {
                s.label->SetBorderInner(f.style);
                s.label->SetBorderWidth(4);
            } else {
                s.label->SetBorderOuter(f.style);
            }
            const int t = f.thickness + (inner ? 4 : 0);
            EXPECT_EQ(s.label->size(), text + QSize(2 * t, 2 * t)) << f.style << (inner ? " inner" : " outer");
            EXPECT_EQ(s.label->ShrinkByFrame(s.label->rect(), true).size(), text) << f.style;
            EXPECT_EQ(s.label->sizeHint(), s.label->size()) << f.style;
        }
    }

    // Frames on two sides only; a margin; a shadow.
    Stage s;
    s.label->SetBorderOuter(fsFlatBold);
    s.label->SetBorderWidth(1);
    s.label->SetBorderSides(TSides(sdLeft | sdTop));
    EXPECT_EQ(s.label->size(), text + QSize(3, 3));
    s.label->SetBorderSides(sdAllSides);
    s.label->SetTextMargin(5);
    EXPECT_EQ(s.label->size(), text + QSize(16, 16));
    s.label->SetTextMargin(0);
    s.label->SetBorderOuter(fsNone);
    s.label->SetBorderWidth(0);
    s.label->SetTextStyle(tsShadow);
    s.label->SetShadowDepth(3);
    EXPECT_EQ(s.label->size(), text + QSize(3, 3));

    // A right-aligned label keeps its right edge.
    Stage right;
    right.label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    const int rightEdge = right.label->geometry().right();
    right.label->setText(kCaption + QStringLiteral(" au 31/12"));
    EXPECT_EQ(right.label->geometry().right(), rightEdge);
    EXPECT_GT(right.label->width(), text.width());
}

// Angles are kept in 0..359; a turned label is as wide and as tall as the box
// around its turned text, whatever the quadrant.
TEST(FxLabel, AnglesWrapAndSizeTheTurnedBox)
{
    struct { int in, stored; } angles[] = {
        {-90, 270}, {400, 40}, {-400, 320}, {720, 0}, {-1, 359}, {360, 0}, {359, 359}, {-720, 0},
    };
    for (const auto& a : angles) {
        Stage s;
        s.label->SetAngle(a.in);
        EXPECT_EQ(s.label->Angle(), a.stored) << a.in;
        EXPECT_EQ(s.label->Rotation(), a.stored ? roFlat : roNone) << a.in;
    }

    Stage flat;
    flat.label->SetRotation(roFlat);
    const QSize straight = flat.label->size();
    ASSERT_GT(straight.width(), 3 * straight.height());

    // Tall between 45 and 135 degrees and between 225 and 315, wide elsewhere.
    struct { int angle; bool tall; } shapes[] = {
        {10, false}, {80, true}, {90, true}, {100, true}, {135 - 10, true}, {170, false}, {190, false},
        {260, true}, {270, true}, {280, true}, {300, true}, {350, false},
    };
    for (const auto& c : shapes) {
        Stage s;
        s.label->SetAngle(c.angle);
        const QSize size = s.label->size();
        EXPECT_EQ(size.height() > size.width(), c.tall) << c.angle << ": " << size.width() << "x" << size.height();
    }

    // The box is the same for the angle, its supplement and the half turn.
    for (int angle : {10, 30, 60, 80}) {
        Stage a, b, c;
        a.label->SetAngle(angle);
        b.label->SetAngle(180 - angle);
        c.label->SetAngle(angle + 180);
        EXPECT_EQ(a.label->size(), b.label->size()) << angle;
        EXPECT_EQ(a.label->size(), c.label->size()) << angle;
    }
    Stage upright;
    upright.label->SetAngle(90);
    EXPECT_EQ(upright.label->size(), straight.transposed());

    // Setting the rotation back puts the text straight.
    Stage back;
    back.label->SetAngle(45);
    back.label->SetRotation(roNone);
    EXPECT_EQ(back.label->Angle(), 0);
    back.label->SetRotation(roCurve);
    back.label->SetAngle(30);
    back.label->SetCenterPoint(cpLowerCenter);
    back.label->SetRotation(roFlat);
    EXPECT_EQ(back.label->Angle(), 0);
    EXPECT_EQ(back.label->CenterPoint(), cpCenter);
}

// A framed label sized by itself shows its whole caption: none of the text is
// cut by the frame, and the frame is whole.
TEST(FxLabel, FramedLabelShowsItsWholeCaption)
{
    Stage plain;
    const QImage plainImg = plain.Grab();
    const int ink = Count(plainImg, plainImg.rect(), qRgb(0, 0, 0));
    ASSERT_GT(ink, 100);

    for (TFrameStyleEx style : {fsFlatBold, fsFlatRounded}) {
        Stage s;
        s.label->SetFlatColor(QColor(0, 0, 200));
        s.label->SetFlatColorAdjustment(0);
        s.label->SetBorderOuter(style);
        const QImage img = s.Grab();
        const QRect inside = img.rect().adjusted(2, 2, -2, -2);
        EXPECT_EQ(Count(img, inside, qRgb(0, 0, 0)), ink) << style;
        // The frame's outer line runs along the whole right side.
        const int right = img.width() - 1;
        for (int y = 2; y < img.height() - 2; ++y)
            ASSERT_EQ(img.pixel(right, y), qRgb(0, 0, 200)) << style << " at " << y;
    }

    // A turned label holds its text: upright between 91 and 179 degrees.
    Stage turned;
    turned.label->SetAngle(100);
    const QRect box = InkBox(turned.Grab(), [](QRgb c) { return c == qRgb(0, 0, 0); });
    EXPECT_GT(box.height(), 2 * box.width());
    EXPECT_GT(box.height(), plainImg.width() * 8 / 10);
}

// The text effects draw their copies where they belong: recessed light text
// has its highlight one pixel down-right and no shadow copy; the shadow lies
// ShadowDepth down-right of the caption.
TEST(FxLabel, TextEffectsDrawTheirCopies)
{
    const QRgb highlight = qRgb(255, 0, 0), shadow = qRgb(0, 0, 255), black = qRgb(0, 0, 0);
    auto isBlack = [&](QRgb c) { return c == black; };

    for (const bool light : {true, false}) {
        Stage s;
        s.label->SetTextMargin(2);   // room for the copies on every side
        s.label->SetHighlightColor(QColor(highlight));
        s.label->SetShadowColor(QColor(shadow));
        s.label->SetTextStyle(tsRecessed);
        s.label->SetLightTextStyle(light);
        const QImage img = s.Grab();
        const QRect caption = InkBox(img, isBlack);
        const QRect red = InkBox(img, [&](QRgb c) { return c == highlight; });
        ASSERT_FALSE(red.isEmpty());
        EXPECT_EQ(red.bottomRight(), caption.bottomRight() + QPoint(1, 1)) << light;
        const QRect blue = InkBox(img, [&](QRgb c) { return c == shadow; });
        if (light) {
            EXPECT_TRUE(blue.isEmpty());
        } else {
            ASSERT_FALSE(blue.isEmpty());
            EXPECT_EQ(blue.topLeft(), caption.topLeft() - QPoint(1, 1));
        }
    }

    // Sized by itself, the shadowed label draws its caption where a plain one
    // does and its whole shadow beside it, whatever the alignment.
    Stage plain;
    const QRect plainInk = InkBox(plain.Grab(), isBlack);
    for (Qt::Alignment align : {Qt::AlignLeft | Qt::AlignTop, Qt::AlignHCenter | Qt::AlignVCenter,
                                Qt::AlignRight | Qt::AlignBottom}) {
        Stage s;
        s.label->setAlignment(align);
        s.label->SetShadowColor(QColor(shadow));
        s.label->SetTextStyle(tsShadow);
        s.label->SetShadowDepth(4);
        const QImage img = s.Grab();
        const QRect caption = InkBox(img, isBlack);
        const QRect shade = InkBox(img, [&](QRgb c) { return c == shadow; });
        EXPECT_EQ(caption, plainInk) << int(align);
        EXPECT_EQ(shade.bottomRight(), caption.bottomRight() + QPoint(4, 4)) << int(align);
    }

    // A disabled label ignores the effect: grey embossed text.
    Stage off;
    off.label->SetShadowColor(QColor(shadow));
    off.label->SetTextStyle(tsShadow);
    off.label->setEnabled(false);
    const QImage img = off.Grab();
    EXPECT_TRUE(InkBox(img, [&](QRgb c) { return c == shadow; }).isEmpty());
    EXPECT_TRUE(InkBox(img, isBlack).isEmpty());
    EXPECT_FALSE(InkBox(img, [&](QRgb c) { return c == SystemColor(QPalette::Dark).rgb(); }).isEmpty());
}

// One timer serves every label: intervals are shared, the blinking labels
// follow its phases, and the timer lives exactly as long as a label does.
TEST(FxLabel, SharedBlinkTimer)
{
    ASSERT_EQ(TFxBlinkingControlsList::Instance(), nullptr);
    {
        auto a = std::make_unique<TFxLabel>(QStringLiteral("A"));
        auto b = std::make_unique<TFxLabel>(QStringLiteral("B"));
        TFxBlinkingControlsList* list = TFxBlinkingControlsList::Instance();
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->LabelCount(), 2);
        EXPECT_TRUE(list->Timer().isActive());
        EXPECT_EQ(list->Timer().interval(), 500);

        a->SetBlinkIntervalOn(800);
        b->SetBlinkIntervalOn(700);
        a->SetBlinkIntervalOff(600);
        EXPECT_EQ(a->BlinkIntervalOn(), 700);
        EXPECT_EQ(b->BlinkIntervalOff(), 600);

        const QColor font = a->CurrentColor();
        a->SetBlinkColor(QColor(255, 0, 0));
        a->SetBlinking(true);
        EXPECT_EQ(a->CurrentColor(), font);   // follows at the next tick
        list->Tick();                          // into the normal phase
        EXPECT_EQ(a->CurrentColor(), font);
        EXPECT_EQ(list->Timer().interval(), 600);
        list->Tick();                          // into the blink phase
        EXPECT_EQ(a->CurrentColor(), QColor(255, 0, 0));
        EXPECT_EQ(b->CurrentColor(), b->palette().color(QPalette::WindowText));
        EXPECT_EQ(list->Timer().interval(), 700);
        a->SetBlinking(false);
        EXPECT_EQ(a->CurrentColor(), font);

        b.reset();
        EXPECT_EQ(list->LabelCount(), 1);
    }
    EXPECT_EQ(TFxBlinkingControlsList::Instance(), nullptr);

    TFxLabel again;
    ASSERT_NE(TFxBlinkingControlsList::Instance(), nullptr);
    EXPECT_EQ(again.BlinkIntervalOn(), 500);
    EXPECT_EQ(again.BlinkIntervalOff(), 500);
    EXPECT_TRUE(TFxBlinkingControlsList::Instance()->Timer().isActive());
}

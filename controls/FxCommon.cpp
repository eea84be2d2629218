#include "controls/FxCommon.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

namespace {

// A rectangle by its edges; right and bottom are the first pixels past it.
struct Edges {
    int left, top, right, bottom;

    explicit Edges(const QRect& r) : left(r.x()), top(r.y()), right(r.x() + r.width()), bottom(r.y() + r.height()) {}
    QRect ToRect() const { return QRect(left, top, right - left, bottom - top); }
};

// The pixels of a horizontal or vertical line from (x1, y1) to (x2, y2), the
// end point left out.
void Line(QPainter& painter, int x1, int y1, int x2, int y2, const QColor& color)
{
    if (!color.isValid())
        return;
    if (y1 == y2 && x2 > x1)
        painter.fillRect(x1, y1, x2 - x1, 1, color);
    else if (x1 == x2 && y2 > y1)
        painter.fillRect(x1, y1, 1, y2 - y1, color);
}

void Pixel(QPainter& painter, int x, int y, const QColor& color)
{
    if (color.isValid())
        painter.fillRect(x, y, 1, 1, color);
}

// Rounds halves to even, as the colour model's byte conversion does.
int RoundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

std::unique_ptr<TFxBlinkingControlsList>& BlinkList()
{
    static std::unique_ptr<TFxBlinkingControlsList> list;
    return list;
}

} // namespace

QColor SystemColor(QPalette::ColorRole role)
{
    return QApplication::palette().color(QPalette::Active, role);
}

// ---------------------------------------------------------------------------
// Colours

THsl240 ColorToHsl240(const QColor& color)
{
    const QColor rgb = color.toRgb();
    const double r = rgb.red() / 255.0, g = rgb.green() / 255.0, b = rgb.blue() / 255.0;
    const double M = std::max({r, g, b});
    const double m = std::min({r, g, b});
    const double L = (M + m) / 2;
    double H = 0, S = 0;
    if (M != m) {
        const double delta = M - m;
        S = L < 0.5 ? delta / (M + m) : delta / (2 - M - m);
        if (r == M)
            H = (g - b) / delta;
        else if (g == M)
            H = (b - r) / delta + 2;
        else
            H = (r - g) / delta + 4;
        H /= 6;
        if (H < 0)
            H += 1;
    }
    THsl240 hsl;
    hsl.h = static_cast<quint8>(std::clamp(RoundEven(H * 240), 0, 255));
    hsl.s = static_cast<quint8>(std::clamp(RoundEven(S * 240), 0, 255));
    hsl.l = static_cast<quint8>(std::clamp(RoundEven(L * 240), 0, 255));
    return hsl;
}

QColor Hsl240ToColor(quint8 h, quint8 s, quint8 l)
{
    const double L = l / 240.0, S = s / 240.0;
    const double M2 = L < 0.5 ? L * (1 + S) : L + S - L * S;
    if (M2 <= 0)
        return QColor(0, 0, 0);
    const double M1 = 2 * L - M2;
    // The picker's hues run 0..239, so the sixths are taken of 239.
    const double t = h / 239.0 * 6;
    const int k = std::min(static_cast<int>(t), 6);
    const double f = (M2 - M1) * (t - k);
    double c[3];
    switch (k) {
    case 0: c[0] = M2; c[1] = M1 + f; c[2] = M1; break;
    case 1: c[0] = M2 - f; c[1] = M2; c[2] = M1; break;
    case 2: c[0] = M1; c[1] = M2; c[2] = M1 + f; break;
    case 3: c[0] = M1; c[1] = M2 - f; c[2] = M2; break;
    case 4: c[0] = M1 + f; c[1] = M1; c[2] = M2; break;
    case 5: c[0] = M2; c[1] = M1; c[2] = M2 - f; break;
    default: c[0] = M2; c[1] = M1; c[2] = M1; break;
    }
    int out[3];
    for (int i = 0; i < 3; ++i)
        out[i] = std::clamp(RoundEven(std::min(c[i], 1.0) * 255), 0, 255);
    return QColor(out[0], out[1], out[2]);
}

QColor DarkenColor(const QColor& color, int amount)
{
    const THsl240 hsl = ColorToHsl240(color);
    return Hsl240ToColor(hsl.h, hsl.s, static_cast<quint8>(std::max(0, hsl.l - amount)));
}

QColor LightenColor(const QColor& color, int amount)
{
    const THsl240 hsl = ColorToHsl240(color);
    return Hsl240ToColor(hsl.h, hsl.s, static_cast<quint8>(std::min(255, hsl.l + amount)));
}

QColor ShiftLuminance(const QColor& color, int amount)
{
    if (amount > 255 || amount < -255)
        throw std::out_of_range("luminance shift beyond 255");
    if (amount > 0)
        return LightenColor(color, amount);
    if (amount < 0)
        return DarkenColor(color, -amount);
    return color;
}

// ---------------------------------------------------------------------------
// Frames

QRect PaintSideLines(QPainter& painter, const QRect& rect, const QColor& ul, TSides sides, const QColor& lr)
{
    Edges e(rect);
    if (sides & sdLeft)
        Line(painter, e.left, e.top, e.left, e.bottom, ul);
    if (sides & sdTop)
        Line(painter, e.left, e.top, e.right, e.top, ul);
    if (sides & sdRight)
        Line(painter, e.right - 1, e.top, e.right - 1, e.bottom, lr);
    if (sides & sdBottom)
        Line(painter, e.left, e.bottom - 1, e.right, e.bottom - 1, lr);
    if (sides & sdLeft)
        ++e.left;
    if (sides & sdTop)
        ++e.top;
    if (sides & sdRight)
        --e.right;
    if (sides & sdBottom)
        --e.bottom;
    return e.ToRect();
}

QRect PaintBevelLines(QPainter& painter, const QRect& rect, const QColor& ul, TSides sides, int count,
                      const QColor& lr)
{
    QRect r = rect;
    for (int i = 0; i < count; ++i)
        r = PaintSideLines(painter, r, ul, sides, lr);
    return r;
}

namespace {

QRect PaintEtched(QPainter& painter, const QRect& rect, const QColor& ul, TSides sides, const QColor& lr)
{
    const Edges e(rect);
    const bool left = sides & sdLeft, top = sides & sdTop, right = sides & sdRight, bottom = sides & sdBottom;
    // The corner pixels the two line passes leave out.
    if (right)
        Pixel(painter, e.right - 1, e.top, lr);
    if (top && !right)
        Pixel(painter, e.right - 1, e.top, ul);
    if (bottom)
        Pixel(painter, e.left, e.bottom - 1, lr);
    if (left && !bottom)
        Pixel(painter, e.left, e.bottom - 1, ul);
    if (top && !left)
        Pixel(painter, e.left, e.top + 1, lr);
    if (left && !top)
        Pixel(painter, e.left + 1, e.top, lr);
    if (bottom && !right)
        Pixel(painter, e.right - 1, e.bottom - 2, ul);
    if (right && !bottom)
        Pixel(painter, e.right - 2, e.bottom - 1, ul);

    PaintSideLines(painter, QRect(QPoint(e.left + 1, e.top + 1), QPoint(e.right - 1, e.bottom - 1)), lr, sides, lr);
    PaintSideLines(painter, QRect(QPoint(e.left, e.top), QPoint(e.right - 2, e.bottom - 2)), ul, sides, ul);

    Edges inner = e;
    if (left)
        inner.left += 2;
    if (top)
        inner.top += 2;
    if (right)
        inner.right -= 2;
    if (bottom)
        inner.bottom -= 2;
    return inner.ToRect();
}

QRect PaintTwoBevels(QPainter& painter, const QRect& rect, TSides sides, QPalette::ColorRole outerUl,
                     QPalette::ColorRole outerLr, QPalette::ColorRole innerUl, QPalette::ColorRole innerLr)
{
    const QRect r = PaintBevelLines(painter, rect, SystemColor(outerUl), sides, 1, SystemColor(outerLr));
    return PaintBevelLines(painter, r, SystemColor(innerUl), sides, 1, SystemColor(innerLr));
}

} // namespace

QRect PaintStyleFrame(QPainter& painter, const QRect& rect, TFrameStyleEx style, TSides sides)
{
    using R = QPalette::ColorRole;
    switch (style) {
    case fsNone:
    case fsFlatRounded:
        break;
    case fsFlat:
        return PaintSideLines(painter, rect, SystemColor(R::Shadow), sides, SystemColor(R::Shadow));
    case fsStatus:
        return PaintSideLines(painter, rect, SystemColor(R::Dark), sides, SystemColor(R::Light));
    case fsPopup:
        return PaintSideLines(painter, rect, SystemColor(R::Light), sides, SystemColor(R::Dark));
    case fsFlatBold:
        return PaintBevelLines(painter, rect, SystemColor(R::Dark), sides, 2, SystemColor(R::Dark));
    case fsGroove:
        return PaintEtched(painter, rect, SystemColor(R::Dark), sides, SystemColor(R::Light));
    case fsBump:
        return PaintEtched(painter, rect, SystemColor(R::Light), sides, SystemColor(R::Dark));
    case fsLowered:
        return PaintTwoBevels(painter, rect, sides, R::Dark, R::Light, R::Shadow, R::Midlight);
    case fsButtonDown:
        return PaintTwoBevels(painter, rect, sides, R::ButtonText, R::ButtonText, R::Dark, R::Dark);
    case fsRaised:
        return PaintTwoBevels(painter, rect, sides, R::Midlight, R::Shadow, R::Light, R::Dark);
    case fsButtonUp:
        return PaintTwoBevels(painter, rect, sides, R::Light, R::Shadow, R::Midlight, R::Dark);
    }
    return rect;
}

QRect PaintRoundedFrame(QPainter& painter, const QRect& rect, const QColor& color, TSides sides)
{
    const Edges e(rect);
    const bool left = sides & sdLeft, top = sides & sdTop, right = sides & sdRight, bottom = sides & sdBottom;
    const int t = top ? e.top + 2 : e.top;
    const int b = bottom ? e.bottom - 2 : e.bottom;
    const int l = left ? e.left + 2 : e.left;
    const int r = right ? e.right - 2 : e.right;
    if (left)
        Line(painter, e.left, t, e.left, b, color);
    if (top)
        Line(painter, l, e.top, r, e.top, color);
    if (right)
        Line(painter, e.right - 1, t, e.right - 1, b, color);
    if (bottom)
        Line(painter, l, e.bottom - 1, r, e.bottom - 1, color);
    if (left && top)
        Pixel(painter, e.left + 1, e.top + 1, color);
    if (right && top)
        Pixel(painter, e.right - 2, e.top + 1, color);
    if (right && bottom)
        Pixel(painter, e.right - 2, e.bottom - 2, color);
    if (left && bottom)
        Pixel(painter, e.left + 1, e.bottom - 2, color);
    return QRect(QPoint(l, t), QPoint(r - 1, b - 1));
}

int FrameThickness(TFrameStyleEx style, int bevelWidth)
{
    switch (style) {
    case fsNone: return 0;
    case fsFlat: return 1;
    case fsStatus:
    case fsPopup: return std::max(0, bevelWidth);
    default: return 2;
    }
}

namespace {

// The outer frame (inner false) or the inner frame of PaintFrameBorder.
QRect PaintBorderFrame(QPainter& painter, const QRect& rect, TFrameStyleEx style, const TFrameBorder& border,
                       bool inner)
{
    const TSides sides = border.sides;
    switch (style) {
    case fsFlat:
    case fsFlatBold:
    case fsFlatRounded: {
        const QColor fc = ShiftLuminance(border.flatColor, border.flatColorAdjustment);
        if (style == fsFlatBold)
            return PaintBevelLines(painter, rect, fc, sides, 2, fc);
        if (style == fsFlat) {
            if (!(inner && border.roundedCorners))
                return PaintSideLines(painter, rect, fc, sides, fc);
            const Edges e(rect);
            Line(painter, e.left, e.top + 1, e.left, e.bottom - 1, fc);
            Line(painter, e.left + 1, e.top, e.right - 1, e.top, fc);
            Line(painter, e.right - 1, e.top + 1, e.right - 1, e.bottom - 1, fc);
            Line(painter, e.left + 1, e.bottom - 1, e.right - 1, e.bottom - 1, fc);
            return rect.adjusted(1, 1, -1, -1);
        }
        // The corners the rounded frame cuts show what lies under them: the
        // parent outside, then the band (or the control inside).
        if (!inner) {
            const bool bandOrInner = border.bandWidth > 0 || border.inner != fsNone;
            if (!border.transparent) {
                const QRect second = PaintSideLines(painter, rect, border.parentColor, sides, border.parentColor);
                const QColor fill = bandOrInner ? border.bandColor : border.controlColor;
                PaintSideLines(painter, second, fill, sides, fill);
            } else if (bandOrInner) {
                PaintSideLines(painter, rect.adjusted(1, 1, -1, -1), border.bandColor, sides, border.bandColor);
            }
        } else {
            const QRect second = PaintSideLines(painter, rect, border.bandColor, sides, border.bandColor);
            if (!border.transparent)
                PaintSideLines(painter, second, border.controlColor, sides, border.controlColor);
        }
        return PaintRoundedFrame(painter, rect, fc, sides);
    }
    case fsPopup:
        return PaintBevelLines(painter, rect, border.highlightColor, sides, border.bevelWidth, border.shadowColor);
    case fsStatus:
        return PaintBevelLines(painter, rect, border.shadowColor, sides, border.bevelWidth, border.highlightColor);
    default:
        return PaintStyleFrame(painter, rect, style, sides);
    }
}

} // namespace

QRect PaintFrameBorder(QPainter& painter, const QRect& rect, const TFrameBorder& border)
{
    QRect r = PaintBorderFrame(painter, rect, border.outer, border, false);
    if (border.bandWidth > 0)
        r = PaintBevelLines(painter, r, border.bandColor, border.sides, border.bandWidth, border.bandColor);
    return PaintBorderFrame(painter, r, border.inner, border, true);
}

// ---------------------------------------------------------------------------
// Turned text

TAngledFont CreateAngledFont(const QFont& font, int angle)
{
    TAngledFont angled;
    angled.font = font;
    angled.font.setWeight(font.bold() ? QFont::Bold : QFont::Normal);
    angled.escapement = angle * 10;
    return angled;
}

bool FontIsTrueType(const QFont& font)
{
    const QFontInfo info(font);
    return QFontDatabase::isSmoothlyScalable(info.family(), info.styleName());
}

void TextOutAngled(QPainter& painter, const TAngledFont& font, QPoint anchor, TTextAnchor anchorKind,
                   const QString& text)
{
    painter.save();
    painter.setFont(font.font);
    const QFontMetrics fm = painter.fontMetrics();
    int x = 0, y = 0;
    if (anchorKind == taTopCenter || anchorKind == taBaselineCenter)
        x = -(fm.horizontalAdvance(text) / 2);
    if (anchorKind == taTopLeft || anchorKind == taTopCenter)
        y = fm.ascent();
    painter.translate(anchor);
    // The escapement turns counter-clockwise on a screen whose y runs down.
    if (font.escapement != 0)
        painter.rotate(-font.escapement / 10.0);
    painter.drawText(QPoint(x, y), text);
    painter.restore();
}

// ---------------------------------------------------------------------------
// The shared blink timer

TFxBlinkingControlsList::TFxBlinkingControlsList()
{
    m_timer.setInterval(DefaultInterval);
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { Tick(); });
    m_timer.start();
}

TFxBlinkingControlsList::~TFxBlinkingControlsList() = default;

TFxBlinkingControlsList* TFxBlinkingControlsList::Instance() { return BlinkList().get(); }

void TFxBlinkingControlsList::AttachBlinkingControl(TFxBlinkingControl* control)
{
    auto& list = BlinkList();
    if (!list)
        list.reset(new TFxBlinkingControlsList);
    list->m_controls.push_back(control);
}

void TFxBlinkingControlsList::DetachBlinkingControl(TFxBlinkingControl* control)
{
    auto& list = BlinkList();
    if (!list)
        return;
    auto& controls = list->m_controls;
    controls.erase(std::remove(controls.begin(), controls.end(), control), controls.end());
    DisposeBlinkListWhenEmpty();
}

void TFxBlinkingControlsList::DisposeBlinkListWhenEmpty()
{
    auto& list = BlinkList();
    if (list && list->m_controls.empty())
        list.reset();
}

void TFxBlinkingControlsList::Tick()
{
    m_blinkPhase = !m_blinkPhase;
    m_timer.setInterval(m_blinkPhase ? m_intervalOn : m_intervalOff);
    const std::vector<TFxBlinkingControl*> controls = m_controls;
    for (TFxBlinkingControl* control : controls)
        if (control->IsBlinking())
            control->SetBlinkState(m_blinkPhase);
}

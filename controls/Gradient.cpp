#include "controls/Gradient.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <cmath>
#include <cstdlib>

namespace {

// a * b / c rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c)
{
    const long long p = static_cast<long long>(a) * b;
    long long q = p / c;
    const long long r = p % c;
    if (2 * std::llabs(r) >= std::llabs(static_cast<long long>(c)))
        q += ((p < 0) != (c < 0)) ? -1 : 1;
    return static_cast<int>(q);
}

int Clamp100(int v) { return v < -100 ? -100 : (v > 100 ? 100 : v); }

int Nearest(double v) { return static_cast<int>(std::lround(v)); }

int Radius(int dx, int dy) { return Nearest(std::sqrt(double(dx) * dx + double(dy) * dy)); }

// Distance from the middle of a 362-pixel span (pixels 180 and 181 are both at 0).
int FromMiddle(int v) { return v <= 180 ? 180 - v : v - 181; }

} // namespace

TGradient::TGradient(QWidget* parent)
    : QWidget(parent)
    , m_colorBegin(QColor(255, 255, 255))
    , m_colorEnd(ButtonFaceColor())
{
    // The control paints every pixel itself: no background erase, no flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(100, 100);
    RebuildPattern();
}

TGradient::~TGradient() = default;

QColor TGradient::ButtonFaceColor()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Button);
}

void TGradient::SetColorBegin(const QColor& value)
{
    if (value.rgb() == m_colorBegin.rgb())
        return;
    m_colorBegin = QColor(value.rgb());
    m_useSysColors = false;
    RebuildPattern();
}

void TGradient::SetColorEnd(const QColor& value)
{
    if (value.rgb() == m_colorEnd.rgb())
        return;
    m_colorEnd = QColor(value.rgb());
    m_useSysColors = false;
    RebuildPattern();
}

void TGradient::SetStyle(TGradientStyle value)
{
    if (value == m_style)
        return;
    m_style = value;
    RebuildPattern();
}

void TGradient::SetShift(TGradientShift value)
{
    value = Clamp100(value);
    if (value == m_shift)
        return;
    m_shift = value;
    RebuildPattern();
}

void TGradient::SetRotation(TGradientRotation value)
{
    value = Clamp100(value);
    if (value == m_rotation)
        return;
    m_rotation = value;
    RebuildPattern();
}

void TGradient::SetReverse(bool value)
{
    if (value == m_reverse)
        return;
    m_reverse = value;
    RebuildPattern();
}

void TGradient::SetUseSysColors(bool value)
{
    if (value == m_useSysColors)
        return;
    m_useSysColors = value;
    if (value)
        LoadSystemColors();
}

void TGradient::SetOnCustom(TCustomGradientEvent handler)
{
    m_onCustom = std::move(handler);
    if (m_style == gsCustom)
        RebuildPattern();
}

void TGradient::BeginUpdate() { ++m_updateCount; }

void TGradient::EndUpdate()
{
    if (m_updateCount > 0)
        --m_updateCount;
    if (m_updateCount == 0 && m_rebuildWanted)
        RebuildPattern();
}

void TGradient::LoadSystemColors()
{
    BeginUpdate();
    // The platform's active-caption colour; it offers no second colour for a
    // caption gradient, so both ends take it and the system colours are not
    // followed.
    const QColor caption = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
    SetColorBegin(caption);
    SetColorEnd(caption);
    m_useSysColors = false;
    EndUpdate();
}

void TGradient::BuildRamp(QRgb begin, QRgb end)
{
    int c1[3] = {qRed(begin), qGreen(begin), qBlue(begin)};
    int c2[3] = {qRed(end), qGreen(end), qBlue(end)};
    if (m_shift > 0) {
        for (int j = 0; j < 3; ++j)
            c1[j] += MulDiv(c2[j] - c1[j], m_shift, 100);
    } else if (m_shift < 0) {
        for (int j = 0; j < 3; ++j)
            c2[j] += MulDiv(c2[j] - c1[j], m_shift, 100);
    }
    int delta[3];
    for (int j = 0; j < 3; ++j)
        delta[j] = c2[j] - c1[j];

    const int k = MulDiv(255, m_rotation, 100);
    for (int i = 0; i < 256; ++i) {
        int c[3];
        for (int j = 0; j < 3; ++j) {
            if (k == 0) {
                c[j] = c1[j] + delta[j] * i / 255;
            } else if (k > 0) {
                c[j] = i < 255 - k ? c1[j] + delta[j] * i / (255 - k)
                                   : c1[j] + delta[j] * (255 - i) / k;
            } else {
                const int m = -k;
                c[j] = i <= m ? c2[j] - delta[j] * i / m
                              : c2[j] - delta[j] * (255 - i) / (255 - m);
            }
        }
        m_colors[i] = qRgb(c[0], c[1], c[2]);
    }
}

QSize TGradient::PatternSize(TGradientStyle style)
{
    switch (style) {
    case gsRadialC: return {362, 362};
    case gsRadialT: case gsRadialB: return {362, 181};
    case gsRadialL: case gsRadialR: return {181, 362};
    case gsRadialTL: case gsRadialTR: case gsRadialBL: case gsRadialBR: return {181, 181};
    case gsLinearH: return {256, 1};
    case gsLinearV: return {1, 256};
    case gsReflectedH: return {1, 512};
    case gsReflectedV: return {512, 1};
    case gsDiagonalLF: case gsDiagonalLB: return {128, 129};
    case gsDiagonalRF: case gsDiagonalRB: return {256, 256};
    case gsArrowL: case gsArrowR: return {129, 256};
    case gsArrowU: case gsArrowD: return {256, 129};
    case gsDiamond: case gsButterfly: return {256, 256};
    case gsCustom: break;
    }
    return {2, 2};
}

int TGradient::PatternIndex(TGradientStyle style, int x, int y)
{
    switch (style) {
    case gsRadialC: return Radius(FromMiddle(x), std::abs(180 - y));
    case gsRadialT: return Radius(FromMiddle(x), y);
    case gsRadialB: return Radius(FromMiddle(x), 180 - y);
    case gsRadialL: return Radius(x, FromMiddle(y));
    case gsRadialR: return Radius(180 - x, FromMiddle(y));
    case gsRadialTL: return Radius(x, y);
    case gsRadialTR: return Radius(180 - x, y);
    case gsRadialBL: return Radius(x, 180 - y);
    case gsRadialBR: return Radius(180 - x, 180 - y);
    case gsLinearH: return x;
    case gsLinearV: return y;
    case gsReflectedH: return y <= 255 ? 255 - y : y - 256;
    case gsReflectedV: return x <= 255 ? 255 - x : x - 256;
    case gsDiagonalLF: return x + y;
    case gsDiagonalLB: return y - x + 127;
    case gsDiagonalRF: return x + y <= 254 ? 255 - (x + y) : x + y - 255;
    case gsDiagonalRB: return std::abs(x - y);
    case gsArrowL: return y <= 127 ? 255 - x - y : y - x;
    case gsArrowR: return y <= 127 ? x - y + 127 : x + y - 128;
    case gsArrowU: return x <= 127 ? 255 - x - y : x - y;
    case gsArrowD: return x <= 127 ? y - x + 127 : x + y - 128;
    case gsDiamond:
        if (x <= 127)
            return y <= 127 ? 255 - x - y : y - x;
        return y <= 127 ? x - y : x + y - 255;
    case gsButterfly:
        if (x <= 127)
            return y <= 127 ? x - y + 128 : x + y - 128;
        return y <= 127 ? 383 - x - y : y - x + 128;
    case gsCustom: break;
    }
    return 0;
}

void TGradient::RebuildPattern()
{
    m_rebuildWanted = true;
    if (m_updateCount > 0)
        return;
    m_rebuildWanted = false;

    QRgb begin = m_colorBegin.rgb();
    QRgb end = m_colorEnd.rgb();
    if (m_reverse)
        std::swap(begin, end);
    BuildRamp(begin, end);

    m_rebuilding = true;
    struct ClearMark {
        bool& flag;
        ~ClearMark() { flag = false; }
    } clearMark{m_rebuilding};

    if (m_style == gsCustom) {
        if (m_onCustom) {
            m_pattern = QImage(2, 2, QImage::Format_RGB32);
            m_pattern.fill(begin);
            m_onCustom(this, m_colors, m_pattern);
        } else {
            m_pattern = QImage(2, 2, QImage::Format_RGB32);
            m_pattern.setPixel(0, 0, begin);
            m_pattern.setPixel(1, 1, begin);
            m_pattern.setPixel(1, 0, end);
            m_pattern.setPixel(0, 1, end);
        }
    } else {
        const QSize size = PatternSize(m_style);
        m_pattern = QImage(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(m_pattern.scanLine(y));
            for (int x = 0; x < size.width(); ++x)
                line[x] = m_colors[PatternIndex(m_style, x, y)];
        }
    }
    update();
}

void TGradient::paintEvent(QPaintEvent*)
{
    if (m_rebuilding || m_pattern.isNull())
        return;
    QPainter painter(this);
    // Plain stretch (nearest pixel), as the pattern is meant to be enlarged.
    painter.drawImage(rect(), m_pattern);
}

void TGradient::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange && m_useSysColors)
        LoadSystemColors();
    QWidget::changeEvent(event);
}

void TGradient::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        event->accept();   // keeps the release for this control
        return;
    }
    QWidget::mousePressEvent(event);
}

void TGradient::mouseReleaseEvent(QMouseEvent* event)
{
    const bool wasPressed = m_pressed;
    m_pressed = false;
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && wasPressed && rect().contains(event->position().toPoint()))
        emit clicked();
}

void TGradient::mouseDoubleClickEvent(QMouseEvent* event)
{
    QWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

#pragma once
// TGradient: an opaque control that fills its rectangle with a colour gradient.
// A ramp of 256 colours between two colours is computed, then a small pattern
// image whose pixels are taken from the ramp according to the style; painting
// only stretches that pattern over the control. Ramp and pattern are rebuilt
// when a property changes, never while painting.

#include <QColor>
#include <QImage>
#include <QWidget>
#include <array>
#include <functional>

enum TGradientStyle : int {
    gsCustom,
    gsRadialC, gsRadialT, gsRadialB, gsRadialL, gsRadialR,
    gsRadialTL, gsRadialTR, gsRadialBL, gsRadialBR,
    gsLinearH, gsLinearV, gsReflectedH, gsReflectedV,
    gsDiagonalLF, gsDiagonalLB, gsDiagonalRF, gsDiagonalRB,
    gsArrowL, gsArrowR, gsArrowU, gsArrowD,
    gsDiamond, gsButterfly
};

using TGradientShift = int;      // -100..100
using TGradientRotation = int;   // -100..100
using TGradientColors = std::array<QRgb, 256>;

class TGradient;
// Fills `pattern` (which the handler may resize or replace) from the ramp.
using TCustomGradientEvent =
    std::function<void(TGradient* sender, const TGradientColors& colors, QImage& pattern)>;

class TGradient : public QWidget {
    Q_OBJECT
public:
    explicit TGradient(QWidget* parent = nullptr);
    ~TGradient() override;

    QColor ColorBegin() const { return m_colorBegin; }
    void SetColorBegin(const QColor& value);
    QColor ColorEnd() const { return m_colorEnd; }
    void SetColorEnd(const QColor& value);
    TGradientStyle Style() const { return m_style; }
    void SetStyle(TGradientStyle value);
    TGradientShift Shift() const { return m_shift; }
    void SetShift(TGradientShift value);
    TGradientRotation Rotation() const { return m_rotation; }
    void SetRotation(TGradientRotation value);
    bool Reverse() const { return m_reverse; }
    void SetReverse(bool value);
    bool UseSysColors() const { return m_useSysColors; }
    void SetUseSysColors(bool value);
    const TCustomGradientEvent& OnCustom() const { return m_onCustom; }
    void SetOnCustom(TCustomGradientEvent handler);

    // Several property changes between BeginUpdate and the last EndUpdate
    // cost one rebuild.
    void BeginUpdate();
    void EndUpdate();

    // Recomputes ramp and pattern and asks for a repaint.
    virtual void RebuildPattern();
    // Takes the active-caption colours of the system.
    virtual void LoadSystemColors();

    // The current ramp and pattern (read by tests and custom painters).
    const TGradientColors& Colors() const { return m_colors; }
    const QImage& Pattern() const { return m_pattern; }

    // The system button-face colour, ColorEnd's default.
    static QColor ButtonFaceColor();

    // Ramp index of pixel (x, y) of the pattern of `style` (not gsCustom), and
    // that pattern's size.
    static int PatternIndex(TGradientStyle style, int x, int y);
    static QSize PatternSize(TGradientStyle style);

signals:
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    QSize sizeHint() const override { return QSize(100, 100); }

private:
    void BuildRamp(QRgb begin, QRgb end);

    QColor m_colorBegin;
    QColor m_colorEnd;
    TGradientStyle m_style = gsRadialC;
    TGradientShift m_shift = 0;
    TGradientRotation m_rotation = 0;
    bool m_reverse = false;
    bool m_useSysColors = false;
    TCustomGradientEvent m_onCustom;

    TGradientColors m_colors{};
    QImage m_pattern;
    int m_updateCount = 0;
    bool m_rebuildWanted = false;
    bool m_rebuilding = false;
    bool m_pressed = false;
};

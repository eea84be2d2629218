#pragma once
// The drawing and colour routines behind the effect label:
//
// - frames drawn line by line, pixel exact, in the system's 3-D colours;
// - colours lightened or darkened in the hue-saturation-luminance model on the
//   0..240 scale of the platform's colour picker;
// - text turned by an angle about an anchor point;
// - the one blink timer shared by every effect label of the program.
//
// Rectangles are QRects; the routines read them by their edges the way a line
// drawing does: a line from (left, top) to (left, bottom) covers the pixels
// from top to bottom - 1, and "right" and "bottom" are the first pixel past
// the rectangle (x + width, y + height).

#include <QColor>
#include <QFlags>
#include <QFont>
#include <QPalette>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QTimer>

#include <vector>

class QPainter;

enum TFrameStyleEx : int {
    fsNone,
    fsFlat,
    fsGroove,
    fsBump,
    fsLowered,
    fsButtonDown,
    fsRaised,
    fsButtonUp,
    fsStatus,
    fsPopup,
    fsFlatBold,
    fsFlatRounded
};

enum TSide : unsigned { sdLeft = 1, sdTop = 2, sdRight = 4, sdBottom = 8 };
Q_DECLARE_FLAGS(TSides, TSide)
Q_DECLARE_OPERATORS_FOR_FLAGS(TSides)
inline constexpr TSides sdAllSides = TSides(sdLeft | sdTop | sdRight | sdBottom);

// A system colour of the application's active palette (button face, button
// shadow, ...), as the frames and the label's defaults use them.
QColor SystemColor(QPalette::ColorRole role);

// ---------------------------------------------------------------------------
// Colours

struct THsl240 {
    quint8 h = 0;   // hue 0..239
    quint8 s = 0;   // saturation 0..240
    quint8 l = 0;   // luminance 0..240 (LightenColor may carry it up to 255)
};

THsl240 ColorToHsl240(const QColor& color);
QColor Hsl240ToColor(quint8 h, quint8 s, quint8 l);
// The colour with its luminance lowered by `amount` (0..255), not below 0.
QColor DarkenColor(const QColor& color, int amount);
// The colour with its luminance raised by `amount` (0..255), not above 255;
// a luminance beyond 240 gives components capped at 255.
QColor LightenColor(const QColor& color, int amount);
// Lightens for a positive amount, darkens by its opposite for a negative one,
// leaves the colour for 0. Throws std::out_of_range when |amount| > 255.
QColor ShiftLuminance(const QColor& color, int amount);

// ---------------------------------------------------------------------------
// Frames. An invalid QColor is the "none" colour: its lines are skipped but
// still counted, so the inner rectangle moves in the same.

// One line on each chosen side: left and top in `ul`, right and bottom in
// `lr`. Returns the rectangle moved in by 1 on each chosen side.
QRect PaintSideLines(QPainter& painter, const QRect& rect, const QColor& ul, TSides sides, const QColor& lr);
// PaintSideLines `count` times, each inside the previous one.
QRect PaintBevelLines(QPainter& painter, const QRect& rect, const QColor& ul, TSides sides, int count,
                      const QColor& lr);
// A frame of one of the styles in the system colours (fsFlatRounded is drawn
// by PaintFrameBorder only; here it draws nothing).
QRect PaintStyleFrame(QPainter& painter, const QRect& rect, TFrameStyleEx style, TSides sides);
// A one-colour frame whose corners are cut by one pixel. Returns the
// rectangle moved in by 2 on each chosen side.
QRect PaintRoundedFrame(QPainter& painter, const QRect& rect, const QColor& color, TSides sides);

// How many pixels a frame of `style` takes on each of its sides.
int FrameThickness(TFrameStyleEx style, int bevelWidth);

// Everything PaintFrameBorder draws: an outer frame, a plain band, an inner
// frame, on the chosen sides.
struct TFrameBorder {
    TFrameStyleEx outer = fsNone;
    bool roundedCorners = false;    // an inner fsFlat leaves its corner pixels out
    bool transparent = false;       // the rounded frames leave their corners unpainted
    QColor parentColor;
    QColor controlColor;
    int flatColorAdjustment = 0;    // -255..255, applied to flatColor
    QColor flatColor;
    QColor shadowColor;             // fsStatus and fsPopup
    QColor highlightColor;          // fsStatus and fsPopup
    QColor bandColor;
    int bevelWidth = 1;             // line count of fsStatus and fsPopup
    TSides sides = sdAllSides;
    int bandWidth = 0;
    TFrameStyleEx inner = fsNone;
};

// Paints the outer frame, the band and the inner frame on `rect` and returns
// the rectangle inside them.
QRect PaintFrameBorder(QPainter& painter, const QRect& rect, const TFrameBorder& border);

// ---------------------------------------------------------------------------
// Turned text

// A font turned by an angle: the font (bold or normal weight, its italic,
// underline and strike-out kept) and the escapement in tenths of a degree,
// counter-clockwise.
struct TAngledFont {
    QFont font;
    int escapement = 0;
};

TAngledFont CreateAngledFont(const QFont& font, int angle);
// Whether the font is drawn from scalable outlines (as a turned font must be).
bool FontIsTrueType(const QFont& font);

// Which point of the text a turned text is drawn about.
enum TTextAnchor { taTopLeft, taTopCenter, taBaselineLeft, taBaselineCenter };

// Draws one line of `text` in the painter's pen, turned by the font's
// escapement about `anchor`.
void TextOutAngled(QPainter& painter, const TAngledFont& font, QPoint anchor, TTextAnchor anchorKind,
                   const QString& text);

// ---------------------------------------------------------------------------
// The shared blink timer

// What the blink list asks of a control.
class TFxBlinkingControl {
public:
    virtual bool IsBlinking() const = 0;
    virtual void SetBlinkState(bool on) = 0;

protected:
    ~TFxBlinkingControl() = default;
};

// One list for the whole program: created when the first control attaches,
// freed with its timer when the last one detaches. Its timer runs as long as
// it exists; at each tick the list changes phase and sets every blinking
// control to it (the blink colour in the blink phase, the font colour in the
// normal phase), then waits the phase's interval.
class TFxBlinkingControlsList {
public:
    static constexpr quint16 DefaultInterval = 500;

    // The list, or nullptr when no control exists.
    static TFxBlinkingControlsList* Instance();
    static void AttachBlinkingControl(TFxBlinkingControl* control);
    static void DetachBlinkingControl(TFxBlinkingControl* control);

    ~TFxBlinkingControlsList();
    TFxBlinkingControlsList(const TFxBlinkingControlsList&) = delete;
    TFxBlinkingControlsList& operator=(const TFxBlinkingControlsList&) = delete;

    int LabelCount() const { return static_cast<int>(m_controls.size()); }

    quint16 IntervalOn() const { return m_intervalOn; }
    void SetIntervalOn(quint16 ms) { m_intervalOn = ms; }
    quint16 IntervalOff() const { return m_intervalOff; }
    void SetIntervalOff(quint16 ms) { m_intervalOff = ms; }

    bool InBlinkPhase() const { return m_blinkPhase; }
    const QTimer& Timer() const { return m_timer; }

    // One tick of the timer (called by it; tests call it to step the phases).
    void Tick();

private:
    TFxBlinkingControlsList();
    static void DisposeBlinkListWhenEmpty();

    std::vector<TFxBlinkingControl*> m_controls;
    QTimer m_timer;
    bool m_blinkPhase = true;
    quint16 m_intervalOn = DefaultInterval;
    quint16 m_intervalOff = DefaultInterval;
};

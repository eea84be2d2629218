#pragma once
// TFxLabel: the program's text label with effects. Raised, recessed or
// shadowed text, text turned by an angle or laid along an arc, frames around
// it, a font colour that changes while the mouse is over it, and blinking
// driven by the one timer all labels share.
//
// It is a QLabel: text, font, alignment, word wrap and layout direction keep
// their meaning, and a window swaps a QLabel for it without other changes.
// The label paints everything itself (plain text, no pictures or rich text);
// the font colour is the palette's window text, the background the palette's
// window colour (the parent's unless set), filled inside the frames unless
// the label is transparent.
//
// Sizing: the label's size hint is its text's extent grown by the margin,
// the frames, the shadow and the turn, so a layout gives it room for all of
// them. A label placed by hand with AutoSize on (the default) takes that size
// itself whenever its text, font or effects change; a right-aligned one keeps
// its right edge. Calls through a QLabel pointer to setText() repaint but do
// not resize a hand-placed label.

#include "controls/FxCommon.h"

#include <QLabel>

class QEnterEvent;

enum TTextStyle : int { tsNormal, tsRaised, tsRecessed, tsShadow };
enum TRotation : int { roNone, roFlat, roCurve };
enum TCenterPoint : int {
    cpUpperLeft, cpUpperCenter, cpUpperRight,
    cpLeftCenter, cpCenter, cpRightCenter,
    cpLowerLeft, cpLowerCenter, cpLowerRight
};
enum TCondenseCaption : int { ccNone, ccAtEnd, ccWithinPath };
enum TTextLayout : int { tlTop, tlCenter, tlBottom };

class TFxLabel : public QLabel, public TFxBlinkingControl {
    Q_OBJECT
public:
    explicit TFxLabel(QWidget* parent = nullptr);
    explicit TFxLabel(const QString& text, QWidget* parent = nullptr);
    ~TFxLabel() override;

    // Text effect and its colours.
    TTextStyle TextStyle() const { return m_textStyle; }
    void SetTextStyle(TTextStyle value);
    // Raised and recessed text draw only one of their two offset copies.
    bool LightTextStyle() const { return m_lightTextStyle; }
    void SetLightTextStyle(bool value);
    QColor HighlightColor() const { return m_highlightColor; }
    void SetHighlightColor(const QColor& value);
    QColor ShadowColor() const { return m_shadowColor; }
    void SetShadowColor(const QColor& value);
    int ShadowDepth() const { return m_shadowDepth; }
    void SetShadowDepth(int value);

    // Straight text, text turned by Angle, or text along an arc.
    TRotation Rotation() const { return m_rotation; }
    void SetRotation(TRotation value);
    // Degrees, kept in 0..359 (-90 is stored as 270, -400 as 320, 400 as 40).
    // A non-zero angle turns straight text into turned text.
    int Angle() const { return m_angle; }
    void SetAngle(int value);
    TCenterPoint CenterPoint() const { return m_centerPoint; }
    void SetCenterPoint(TCenterPoint value);

    int TextMargin() const { return m_textMargin; }
    void SetTextMargin(int value);
    // An ellipsis at the end, or within a path, when the text does not fit;
    // anything but ccNone switches AutoSize off.
    TCondenseCaption CondenseCaption() const { return m_condenseCaption; }
    void SetCondenseCaption(TCondenseCaption value);
    // The vertical part of the alignment.
    TTextLayout Layout() const;
    void SetLayout(TTextLayout value);
    // '&' marks the next character as the accelerator ("&&" shows one '&').
    bool ShowAccelChar() const { return m_showAccelChar; }
    void SetShowAccelChar(bool value);
    bool Transparent() const { return m_frame.transparent; }
    void SetTransparent(bool value);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool value);

    // Frames: an outer frame, a plain band of BorderWidth pixels in
    // BorderColor, an inner frame, on the chosen sides.
    TFrameStyleEx BorderOuter() const { return m_frame.outer; }
    void SetBorderOuter(TFrameStyleEx value);
    TFrameStyleEx BorderInner() const { return m_frame.inner; }
    void SetBorderInner(TFrameStyleEx value);
    TSides BorderSides() const { return m_frame.sides; }
    void SetBorderSides(TSides value);
    int BorderWidth() const { return m_frame.bandWidth; }
    void SetBorderWidth(int value);
    QColor BorderColor() const { return m_frame.bandColor; }
    void SetBorderColor(const QColor& value);
    QColor BorderHighlight() const { return m_frame.highlightColor; }
    void SetBorderHighlight(const QColor& value);
    QColor BorderShadow() const { return m_frame.shadowColor; }
    void SetBorderShadow(const QColor& value);
    // Line count of the fsStatus and fsPopup frames.
    int BevelWidth() const { return m_frame.bevelWidth; }
    void SetBevelWidth(int value);
    QColor FlatColor() const { return m_frame.flatColor; }
    void SetFlatColor(const QColor& value);
    // Lightening (positive) or darkening (negative) of FlatColor, -255..255.
    int FlatColorAdjustment() const { return m_frame.flatColorAdjustment; }
    void SetFlatColorAdjustment(int value);

    // The font colour while the mouse is over the label.
    bool FlyByEnabled() const { return m_flyByEnabled; }
    void SetFlyByEnabled(bool value);
    QColor FlyByColor() const { return m_flyByColor; }
    void SetFlyByColor(const QColor& value);

    // Blinking alternates the text colour with BlinkColor at the shared
    // timer's ticks; the intervals are those of the shared timer, the same for
    // every label.
    bool Blinking() const { return m_blinking; }
    void SetBlinking(bool value);
    QColor BlinkColor() const { return m_blinkColor; }
    void SetBlinkColor(const QColor& value);
    quint16 BlinkIntervalOn() const;
    void SetBlinkIntervalOn(quint16 ms);
    quint16 BlinkIntervalOff() const;
    void SetBlinkIntervalOff(quint16 ms);

    // The colour the text is drawn in now (the font colour, or BlinkColor in
    // the blink phase).
    QColor CurrentColor() const { return m_currentColor; }

    // Blink phase (on) or normal phase (off), repainted at once.
    bool IsBlinking() const override { return m_blinking; }
    void SetBlinkState(bool on) override;

    // A text extent enlarged by the frames, the band, the shadow and the turn.
    virtual QSize GrowByFrame(const QSize& extent) const;
    // The client rectangle shrunk to the area inside the frames (and the band
    // when asked).
    virtual QRect ShrinkByFrame(const QRect& rect, bool includeBand) const;
    // The size automatic sizing gives the label.
    QSize AutoSizeExtent() const;

    // The text, resizing a hand-placed label with AutoSize on.
    void setText(const QString& text);
    void setWordWrap(bool on);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    int heightForWidth(int width) const override;

signals:
    // Raised after the fly-by colour has been set or put back.
    void mouseEntered();
    void mouseLeft();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // Extent of the text measured within `width` pixels (word wrap only).
    QSize TextExtent(int width) const;
    QSize ExtentForWidth(int width) const;
    // Pixels the frames (and the band when asked) take on each chosen side.
    int FramesWidth(bool includeBand) const;
    void AdjustBounds();
    void Changed(bool resize);
    // Sets a property and repaints (resizes too when asked) if it changed.
    template <typename T>
    void Assign(T& field, const T& value, bool resize);
    void FitTurnedFont();
    QColor FontColor() const;
    void SetFontColor(const QColor& color);
    int DrawFlags() const;
    QString ShownText(int width) const;
    Qt::Alignment HorizontalAlignment() const;

    void PaintStraight(QPainter& painter, const QRect& textRect) const;
    void PaintFlat(QPainter& painter, const QRect& textRect) const;
    void PaintCurve(QPainter& painter) const;
    // Draws the style copies of one text, then the text itself, each through
    // `draw` with its offset: tsShadow puts its shadow at `shadowOffset` and
    // its caption at `captionShift` down-right.
    template <typename Draw>
    void DrawCopies(QPainter& painter, int shadowOffset, int captionShift, Draw draw) const;

    TTextStyle m_textStyle = tsNormal;
    bool m_lightTextStyle = false;
    QColor m_highlightColor;
    QColor m_shadowColor;
    int m_shadowDepth = 2;
    TRotation m_rotation = roNone;
    int m_angle = 0;
    TCenterPoint m_centerPoint = cpCenter;
    int m_textMargin = 0;
    TCondenseCaption m_condenseCaption = ccNone;
    bool m_showAccelChar = true;
    bool m_autoSize = true;
    // The frames, the band and their colours (parent and control colours
    // are taken at each paint).
    TFrameBorder m_frame;
    bool m_flyByEnabled = false;
    QColor m_flyByColor;
    bool m_blinking = false;
    QColor m_blinkColor;

    QColor m_fontColor;          // the font colour remembered while blinking
    QColor m_currentColor;       // the colour the text is drawn in
    bool m_blinkPhase = false;
    QColor m_savedFlyByColor;    // the font colour while the mouse is over the label
    bool m_flyByActive = false;
};

// The label of the windows' titles and totals: bold text in `style` with the
// light variant (one offset copy), in `color` when given, named `name`. It
// keeps the place its window gives it (no automatic sizing) and lets the
// background it stands on (a panel, a gradient) show through.
TFxLabel* MakeEffectLabel(QWidget* parent, const char* name, const QString& text, TTextStyle style,
                          const QColor& color = QColor());

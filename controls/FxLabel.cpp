#include "controls/FxLabel.h"

#include <QEnterEvent>
#include <QEvent>
#include <QFontMetrics>
#include <QLayout>
#include <QPainter>
#include <QStyle>

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

namespace {

int Nearest(double v) { return static_cast<int>(std::lround(v)); }

double Radians(double degrees) { return degrees * std::numbers::pi / 180; }

// Whether `layout` or one of the layouts it holds places `widget`.
bool Holds(const QLayout* layout, const QWidget* widget)
{
    if (!layout)
        return false;
    if (layout->indexOf(widget) >= 0)
        return true;
    for (int i = 0; i < layout->count(); ++i)
        if (Holds(layout->itemAt(i)->layout(), widget))
            return true;
    return false;
}

bool PlacedByLayout(const QWidget* widget)
{
    const QWidget* parent = widget->parentWidget();
    return parent && Holds(parent->layout(), widget);
}

// Elides a path in its middle, keeping as much as fits of its last part.
QString PathEllipsis(const QFontMetrics& fm, const QString& text, int width, int flags)
{
    const int sep = std::max(text.lastIndexOf(u'\\'), text.lastIndexOf(u'/'));
    if (sep > 0) {
        const QString tail = text.mid(sep);
        const int headWidth = width - fm.horizontalAdvance(tail);
        if (headWidth > fm.horizontalAdvance(QStringLiteral("…")))
            return fm.elidedText(text.left(sep), Qt::ElideRight, headWidth, flags) + tail;
    }
    return fm.elidedText(text, Qt::ElideMiddle, width, flags);
}

} // namespace

TFxLabel::TFxLabel(QWidget* parent) : TFxLabel(QString(), parent) {}

TFxLabel::TFxLabel(const QString& text, QWidget* parent)
    : QLabel(parent)
    , m_highlightColor(SystemColor(QPalette::Light))
    , m_shadowColor(SystemColor(QPalette::Dark))
    , m_flyByColor(SystemColor(QPalette::Highlight))
    , m_blinkColor(SystemColor(QPalette::Highlight))
{
    m_frame.bandColor = SystemColor(QPalette::Button);
    m_frame.highlightColor = SystemColor(QPalette::Light);
    m_frame.shadowColor = SystemColor(QPalette::Dark);
    m_frame.flatColor = SystemColor(QPalette::Dark);
    m_frame.flatColorAdjustment = 30;
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_fontColor = m_currentColor = FontColor();
    TFxBlinkingControlsList::AttachBlinkingControl(this);
    QLabel::setText(text);
    AdjustBounds();
}

TFxLabel::~TFxLabel() { TFxBlinkingControlsList::DetachBlinkingControl(this); }

// ---------------------------------------------------------------------------
// Properties

template <typename T>
void TFxLabel::Assign(T& field, const T& value, bool resize)
{
    if (field == value)
        return;
    field = value;
    Changed(resize);
}

void TFxLabel::Changed(bool resize)
{
    if (resize) {
        updateGeometry();
        AdjustBounds();
    }
    update();
}

void TFxLabel::SetTextStyle(TTextStyle value) { Assign(m_textStyle, value, true); }

void TFxLabel::SetLightTextStyle(bool value) { Assign(m_lightTextStyle, value, false); }

void TFxLabel::SetHighlightColor(const QColor& value) { Assign(m_highlightColor, value, false); }

void TFxLabel::SetShadowColor(const QColor& value) { Assign(m_shadowColor, value, false); }

void TFxLabel::SetShadowDepth(int value) { Assign(m_shadowDepth, std::max(0, value), true); }

void TFxLabel::FitTurnedFont()
{
    // A turned text needs an outline font; Verdana is one on every system the
    // program runs on (or its registered stand-in).
    if (!FontIsTrueType(font())) {
        QFont f = font();
        f.setFamily(QStringLiteral("Verdana"));
        setFont(f);
    }
}

void TFxLabel::SetRotation(TRotation value)
{
    if (value == m_rotation)
        return;
    if (value != roNone)
        FitTurnedFont();
    m_rotation = value;
    if (value == roNone || value == roFlat)
        m_angle = 0;
    if (value == roFlat)
        m_centerPoint = cpCenter;
    Changed(true);
}

void TFxLabel::SetAngle(int value)
{
    // Wrapped into 0..359 whatever the sign: -90 is 270 and -400 is 320.
    value = ((value % 360) + 360) % 360;
    if (value == m_angle)
        return;
    m_angle = value;
    if (value != 0) {
        FitTurnedFont();
        if (m_rotation == roNone)
            m_rotation = roFlat;
    }
    Changed(true);
}

void TFxLabel::SetCenterPoint(TCenterPoint value) { Assign(m_centerPoint, value, false); }

void TFxLabel::SetTextMargin(int value) { Assign(m_textMargin, std::max(0, value), true); }

void TFxLabel::SetCondenseCaption(TCondenseCaption value)
{
    if (value == m_condenseCaption)
        return;
    m_condenseCaption = value;
    if (value != ccNone)
        m_autoSize = false;
    Changed(false);
}

TTextLayout TFxLabel::Layout() const
{
    const Qt::Alignment v = alignment() & Qt::AlignVertical_Mask;
    if (v & Qt::AlignBottom)
        return tlBottom;
    if (v & Qt::AlignVCenter)
        return tlCenter;
    return tlTop;
}

void TFxLabel::SetLayout(TTextLayout value)
{
    const Qt::Alignment v = value == tlBottom ? Qt::AlignBottom : value == tlCenter ? Qt::AlignVCenter : Qt::AlignTop;
    setAlignment((alignment() & ~Qt::AlignVertical_Mask) | v);
    update();
}

void TFxLabel::SetShowAccelChar(bool value) { Assign(m_showAccelChar, value, true); }

void TFxLabel::SetTransparent(bool value) { Assign(m_frame.transparent, value, false); }

void TFxLabel::SetAutoSize(bool value)
{
    if (value == m_autoSize)
        return;
    m_autoSize = value;
    AdjustBounds();
}

void TFxLabel::SetBorderOuter(TFrameStyleEx value) { Assign(m_frame.outer, value, true); }

void TFxLabel::SetBorderInner(TFrameStyleEx value) { Assign(m_frame.inner, value, true); }

void TFxLabel::SetBorderSides(TSides value) { Assign(m_frame.sides, value, true); }

void TFxLabel::SetBorderWidth(int value) { Assign(m_frame.bandWidth, std::max(0, value), true); }

void TFxLabel::SetBorderColor(const QColor& value) { Assign(m_frame.bandColor, value, false); }

void TFxLabel::SetBorderHighlight(const QColor& value) { Assign(m_frame.highlightColor, value, false); }

void TFxLabel::SetBorderShadow(const QColor& value) { Assign(m_frame.shadowColor, value, false); }

void TFxLabel::SetBevelWidth(int value) { Assign(m_frame.bevelWidth, std::max(0, value), true); }

void TFxLabel::SetFlatColor(const QColor& value) { Assign(m_frame.flatColor, value, false); }

void TFxLabel::SetFlatColorAdjustment(int value)
{
    Assign(m_frame.flatColorAdjustment, std::clamp(value, -255, 255), false);
}

void TFxLabel::SetFlyByEnabled(bool value)
{
    if (value == m_flyByEnabled)
        return;
    m_flyByEnabled = value;
    if (!value && m_flyByActive) {
        m_flyByActive = false;
        SetFontColor(m_savedFlyByColor);
    }
    update();
}

void TFxLabel::SetFlyByColor(const QColor& value)
{
    m_flyByColor = value;
    update();
}

void TFxLabel::SetBlinking(bool value)
{
    if (value == m_blinking)
        return;
    m_blinking = value;
    // Blinking starts at the shared timer's next tick; it stops at once.
    if (!value)
        SetBlinkState(false);
}

void TFxLabel::SetBlinkColor(const QColor& value)
{
    m_blinkColor = value;
    if (m_blinkPhase)
        m_currentColor = value;
    update();
}

quint16 TFxLabel::BlinkIntervalOn() const { return TFxBlinkingControlsList::Instance()->IntervalOn(); }

void TFxLabel::SetBlinkIntervalOn(quint16 ms) { TFxBlinkingControlsList::Instance()->SetIntervalOn(ms); }

quint16 TFxLabel::BlinkIntervalOff() const { return TFxBlinkingControlsList::Instance()->IntervalOff(); }

void TFxLabel::SetBlinkIntervalOff(quint16 ms) { TFxBlinkingControlsList::Instance()->SetIntervalOff(ms); }

void TFxLabel::SetBlinkState(bool on)
{
    m_blinkPhase = on;
    m_currentColor = on ? m_blinkColor : m_fontColor;
    update();
}

QColor TFxLabel::FontColor() const { return palette().color(QPalette::Active, foregroundRole()); }

void TFxLabel::SetFontColor(const QColor& color)
{
    QPalette p = palette();
    p.setColor(foregroundRole(), color);
    setPalette(p);
}

void TFxLabel::setText(const QString& text)
{
    QLabel::setText(text);
    AdjustBounds();
}

void TFxLabel::setWordWrap(bool on)
{
    QLabel::setWordWrap(on);
    AdjustBounds();
}

// ---------------------------------------------------------------------------
// Sizing

int TFxLabel::FramesWidth(bool includeBand) const
{
    // The band is painted on the chosen sides only, like the frames.
    return FrameThickness(m_frame.outer, m_frame.bevelWidth) + (includeBand ? m_frame.bandWidth : 0)
         + FrameThickness(m_frame.inner, m_frame.bevelWidth);
}

QRect TFxLabel::ShrinkByFrame(const QRect& rect, bool includeBand) const
{
    const int frames = FramesWidth(includeBand);
    return rect.adjusted(m_frame.sides & sdLeft ? frames : 0, m_frame.sides & sdTop ? frames : 0,
                         m_frame.sides & sdRight ? -frames : 0, m_frame.sides & sdBottom ? -frames : 0);
}

QSize TFxLabel::GrowByFrame(const QSize& extent) const
{
    // The same thickness per side as ShrinkByFrame takes off, so a label sized
    // by it keeps its whole text inside the frames.
    const int frames = FramesWidth(true);
    int w = extent.width(), h = extent.height();
    if (m_frame.sides & sdLeft)
        w += frames;
    if (m_frame.sides & sdRight)
        w += frames;
    if (m_frame.sides & sdTop)
        h += frames;
    if (m_frame.sides & sdBottom)
        h += frames;

    if (m_textStyle == tsShadow && m_rotation == roNone) {
        w += m_shadowDepth;
        h += m_shadowDepth;
    }
    if (m_rotation == roFlat) {
        if (m_angle % 180 != 0) {
            // The box around the turned rectangle: each side projects on both
            // axes by the size of the angle's cosine and sine, whatever the
            // quadrant.
            const double c = std::abs(std::cos(Radians(m_angle)));
            const double s = std::abs(std::sin(Radians(m_angle)));
            const int turnedW = Nearest(c * w + s * h);
            const int turnedH = Nearest(s * w + c * h);
            w = turnedW;
            h = turnedH;
        }
        // Turned text draws its shadow and its caption half the depth either
        // side of the anchor, across and down the screen.
        if (m_textStyle == tsShadow) {
            w += 2 * (m_shadowDepth / 2);
            h += 2 * (m_shadowDepth / 2);
        }
    }
    return QSize(w, h);
}

int TFxLabel::DrawFlags() const
{
    int flags = Qt::TextExpandTabs;
    if (wordWrap())
        flags |= Qt::TextWordWrap;
    if (m_showAccelChar)
        flags |= Qt::TextShowMnemonic;
    return flags;
}

Qt::Alignment TFxLabel::HorizontalAlignment() const
{
    const Qt::Alignment h = QStyle::visualAlignment(layoutDirection(), alignment()) & Qt::AlignHorizontal_Mask;
    if (h & Qt::AlignRight)
        return Qt::AlignRight;
    if (h & Qt::AlignHCenter)
        return Qt::AlignHCenter;
    return Qt::AlignLeft;
}

QString TFxLabel::ShownText(int width) const
{
    const QString t = text();
    if (m_condenseCaption == ccNone || wordWrap())
        return t;
    const QFontMetrics fm(font());
    if (m_condenseCaption == ccAtEnd)
        return fm.elidedText(t, Qt::ElideRight, width, DrawFlags());
    return PathEllipsis(fm, t, width, DrawFlags());
}

QSize TFxLabel::TextExtent(int width) const
{
    // An empty caption still measures one line.
    const QString t = text().isEmpty() ? QStringLiteral(" ") : text();
    const QFontMetrics fm(font());
    return fm.boundingRect(QRect(0, 0, std::max(1, width), INT_MAX / 4), DrawFlags() | Qt::AlignLeft | Qt::AlignTop, t)
        .size();
}

QSize TFxLabel::ExtentForWidth(int width) const
{
    const QRect inner = ShrinkByFrame(QRect(0, 0, width, height()), true)
                            .adjusted(m_textMargin, m_textMargin, -m_textMargin, -m_textMargin);
    const QSize text = TextExtent(inner.width());
    return GrowByFrame(QSize(text.width() + 2 * m_textMargin, text.height() + 2 * m_textMargin));
}

QSize TFxLabel::AutoSizeExtent() const { return ExtentForWidth(width()); }

void TFxLabel::AdjustBounds()
{
    // In a layout the size hint carries the same extent; the layout places it.
    if (!m_autoSize || PlacedByLayout(this))
        return;
    const QSize size = AutoSizeExtent();
    int x = pos().x();
    if (HorizontalAlignment() == Qt::AlignRight)
        x += width() - size.width();
    setGeometry(x, pos().y(), size.width(), size.height());
}

QSize TFxLabel::sizeHint() const
{
    if (!wordWrap())
        return ExtentForWidth(width());
    // A wrapped text takes the width the plain label would choose for it.
    const QSize frames = GrowByFrame(QSize(2 * m_textMargin, 2 * m_textMargin));
    return ExtentForWidth(QLabel::sizeHint().width() + frames.width());
}

QSize TFxLabel::minimumSizeHint() const
{
    if (!wordWrap())
        return m_condenseCaption == ccNone ? sizeHint() : QSize(0, sizeHint().height());
    return QLabel::minimumSizeHint() + GrowByFrame(QSize(2 * m_textMargin, 2 * m_textMargin));
}

int TFxLabel::heightForWidth(int width) const
{
    return wordWrap() ? ExtentForWidth(width).height() : QLabel::heightForWidth(width);
}

// ---------------------------------------------------------------------------
// Painting

template <typename Draw>
void TFxLabel::DrawCopies(QPainter& painter, int shadowOffset, int captionShift, Draw draw) const
{
    if (!isEnabled()) {
        painter.setPen(SystemColor(QPalette::Light));
        draw(QPoint(1, 1));
        painter.setPen(SystemColor(QPalette::Dark));
        draw(QPoint(0, 0));
        return;
    }
    switch (m_textStyle) {
    case tsRaised:
        if (!m_lightTextStyle) {
            painter.setPen(m_shadowColor);
            draw(QPoint(1, 1));
        }
        painter.setPen(m_highlightColor);
        draw(QPoint(-1, -1));
        break;
    case tsRecessed:
        painter.setPen(m_highlightColor);
        draw(QPoint(1, 1));
        if (!m_lightTextStyle) {
            painter.setPen(m_shadowColor);
            draw(QPoint(-1, -1));
        }
        break;
    case tsShadow:
        painter.setPen(m_shadowColor);
        draw(QPoint(shadowOffset, shadowOffset));
        break;
    case tsNormal:
        break;
    }
    painter.setPen(m_currentColor);
    const int shift = m_textStyle == tsShadow ? captionShift : 0;
    draw(QPoint(shift, shift));
}

void TFxLabel::PaintStraight(QPainter& painter, const QRect& textRect) const
{
    const QString shown = ShownText(textRect.width());
    if (shown.isEmpty())
        return;
    const QFontMetrics fm(font());
    const Qt::Alignment h = HorizontalAlignment();
    const int flags = DrawFlags() | h | Qt::AlignTop;

    // Each copy is placed by the layout within the text rectangle.
    const int textHeight =
        fm.boundingRect(QRect(0, 0, std::max(1, textRect.width()), INT_MAX / 4), flags, shown).height();
    const TTextLayout layout = Layout();
    int dy = 0;
    if (layout == tlCenter)
        dy = (textRect.height() - textHeight) / 2;
    else if (layout == tlBottom)
        dy = textRect.height() - textHeight;
    QRect place = textRect.translated(0, dy);

    // The shadow takes the depth beside the text: right-aligned and bottom
    // text moves back by it, centred text by half of it.
    if (m_textStyle == tsShadow) {
        const int d = m_shadowDepth;
        place.translate(h == Qt::AlignRight ? -d : h == Qt::AlignHCenter ? -(d / 2) : 0,
                        layout == tlBottom ? -d : layout == tlCenter ? -(d / 2) : 0);
    }
    DrawCopies(painter, m_shadowDepth, 0,
               [&](QPoint offset) { painter.drawText(place.translated(offset), flags, shown); });
}

void TFxLabel::PaintFlat(QPainter& painter, const QRect& textRect) const
{
    const QString caption = text();
    if (caption.isEmpty())
        return;
    const TAngledFont angled = CreateAngledFont(font(), m_angle);
    const QFontMetrics fm(angled.font);
    const int hP = fm.height();
    const double q = hP / 4.0;
    const int W = fm.horizontalAdvance(caption);
    const int e = m_textStyle == tsShadow ? m_shadowDepth / 2 : 0;
    const int H = hP + e;
    const int G = W + e;
    const QPoint C(width() / 2, height() / 2);
    const double a = Radians(m_angle + 90);
    const int left = textRect.x(), top = textRect.y();
    const int right = textRect.x() + textRect.width(), bottom = textRect.y() + textRect.height();
    const Qt::Alignment h = HorizontalAlignment();
    const bool centred = h == Qt::AlignHCenter, toRight = h == Qt::AlignRight;

    QPoint anchor;
    TTextAnchor kind = taBaselineLeft;
    switch (m_angle) {
    case 0:
        anchor = QPoint(centred ? C.x() : toRight ? right - W - 2 * e : left + e, C.y() - H / 2);
        kind = centred ? taTopCenter : taTopLeft;
        break;
    case 90:
        anchor = QPoint(C.x() - Nearest(std::cos(a) * q),
                        centred ? bottom - (bottom - G) / 2 : toRight ? top + e + G : bottom - e);
        break;
    case 180:
        anchor = QPoint(centred ? right - (right - G) / 2 : toRight ? left + G : right - e, C.y() - H / 4);
        break;
    case 270:
        anchor = QPoint(C.x() - Nearest(std::cos(a) * q),
                        centred ? (bottom - G) / 2 : toRight ? bottom - G - e : top + e);
        break;
    default:
        anchor = QPoint(C.x() - Nearest(std::cos(a) * q), C.y() + Nearest(std::sin(a) * q));
        kind = taBaselineCenter;
        break;
    }

    painter.save();
    painter.setClipRect(textRect);
    // The shadow goes half the depth down-right of the anchor, the caption
    // half the depth up-left.
    DrawCopies(painter, e, -e,
               [&](QPoint offset) { TextOutAngled(painter, angled, anchor + offset, kind, caption); });
    painter.restore();
}

void TFxLabel::PaintCurve(QPainter& painter) const
{
    const QString caption = text();
    const int b = m_frame.bandWidth, d = 2 * m_frame.bandWidth;
    const int w = width(), h = height();
    QPoint P;
    int rx = 0, ry = 0;
    switch (m_centerPoint) {
    case cpUpperLeft: P = {b, b}; break;
    case cpUpperCenter: P = {w / 2, b}; break;
    case cpUpperRight: P = {w, b}; break;
    case cpLeftCenter: P = {b, h / 2}; break;
    case cpCenter: P = {w / 2, h / 2}; break;
    case cpRightCenter: P = {w - b, h / 2}; break;
    case cpLowerLeft: P = {b, h - b}; break;
    case cpLowerCenter: P = {w / 2, h - b}; break;
    case cpLowerRight: P = {w - b, h - b}; break;
    }
    switch (m_centerPoint) {
    case cpUpperCenter:
    case cpLowerCenter: rx = w / 2 - d; ry = h - d; break;
    case cpLeftCenter:
    case cpRightCenter: rx = w - d; ry = h / 2 - d; break;
    case cpCenter: rx = w / 2 - d; ry = h / 2 - d; break;
    default: rx = w - d; ry = h - d; break;
    }
    if (caption.isEmpty() || rx <= 0 || ry <= 0)
        return;

    const QFontMetrics fm(font());
    const int hY = fm.height();
    const double step = (fm.horizontalAdvance(u'w') + 2) / double(rx);
    double theta = Radians(m_angle);
    for (int i = 0; i < caption.size();) {
        const int len = caption.at(i).isHighSurrogate() && i + 1 < caption.size() ? 2 : 1;
        const QString ch = caption.mid(i, len);
        i += len;
        const QPoint at(P.x() - Nearest(std::sin(theta) * (rx - hY)), P.y() - Nearest(std::cos(theta) * (ry - hY)));
        TAngledFont turned = CreateAngledFont(font(), 0);
        turned.escapement = Nearest(theta * 1800 / std::numbers::pi);
        DrawCopies(painter, m_shadowDepth, 0,
                   [&](QPoint offset) { TextOutAngled(painter, turned, at + offset, taBaselineCenter, ch); });
        theta -= step;
    }
}

void TFxLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor controlColor = palette().color(backgroundRole());
    const QWidget* parent = parentWidget();

    TFrameBorder border = m_frame;
    border.parentColor = parent ? parent->palette().color(parent->backgroundRole()) : controlColor;
    border.controlColor = controlColor;
    const QRect inside = PaintFrameBorder(painter, rect(), border);
    if (!m_frame.transparent)
        painter.fillRect(inside, controlColor);

    painter.setFont(font());
    if (m_rotation == roCurve) {
        PaintCurve(painter);
        return;
    }
    const QRect textRect = ShrinkByFrame(rect(), true)
                               .adjusted(m_textMargin, m_textMargin, -m_textMargin, -m_textMargin);
    if (m_rotation == roFlat)
        PaintFlat(painter, textRect);
    else
        PaintStraight(painter, textRect);
}

// ---------------------------------------------------------------------------
// Notifications

void TFxLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        // A font that cannot be turned puts the text back straight.
        if (m_angle != 0 && !FontIsTrueType(font()))
            m_angle = 0;
        Changed(true);
        break;
    case QEvent::PaletteChange:
        // The font colour is remembered for the normal phase of blinking.
        m_fontColor = FontColor();
        if (!m_blinkPhase)
            m_currentColor = m_fontColor;
        update();
        break;
    case QEvent::LayoutDirectionChange:
        Changed(true);
        break;
    default:
        break;
    }
}

void TFxLabel::enterEvent(QEnterEvent* event)
{
    QLabel::enterEvent(event);
    if (m_flyByEnabled && !m_flyByActive) {
        m_savedFlyByColor = FontColor();
        m_flyByActive = true;
        SetFontColor(m_flyByColor);
    }
    emit mouseEntered();
}

void TFxLabel::leaveEvent(QEvent* event)
{
    QLabel::leaveEvent(event);
    if (m_flyByActive) {
        m_flyByActive = false;
        SetFontColor(m_savedFlyByColor);
    }
    emit mouseLeft();
}

TFxLabel* MakeEffectLabel(QWidget* parent, const char* name, const QString& text, TTextStyle style,
                          const QColor& color)
{
    auto* label = new TFxLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->SetAutoSize(false);
    label->SetTextStyle(style);
    label->SetLightTextStyle(true);
    label->SetTransparent(true);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    if (color.isValid()) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, color);
        label->setPalette(p);
    }
    return label;
}

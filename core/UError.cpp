#include "core/UError.h"

#include "controls/FxLabel.h"
#include "core/GlobalState.h"
#include "core/Pause.h"
#include "core/Routines.h"
#include "controls/Gradient.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QTimer>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <array>

namespace {

struct ButtonKind {
    MsgButton kind;
    const char* name;
    const char* caption;
    int result;
};

// Layout order, left to right.
const std::array<ButtonKind, 11> kButtons = {{
    {MsgButton::Yes, "Yes", "&Oui", mrYes},
    {MsgButton::No, "No", "&Non", mrNo},
    {MsgButton::OK, "OK", "OK", mrOk},
    {MsgButton::Cancel, "Cancel", "Annuler", mrCancel},
    {MsgButton::Abort, "Abort", "&Abandonner", mrAbort},
    {MsgButton::Retry, "Retry", "&Retenter", mrRetry},
    {MsgButton::Ignore, "Ignore", "&Ignorer", mrIgnore},
    {MsgButton::All, "All", "&Tous", mrAll},
    {MsgButton::NoToAll, "NoToAll", "Non &pour tout", mrNoToAll},
    {MsgButton::YesToAll, "YesToAll", "O&ui pour tout", mrYesToAll},
    {MsgButton::Help, "Help", "&Aide", mrNone},
}};

// Caption widths measured once per button kind for the whole process.
std::array<int, 11> g_captionWidths{};

const char* const kResultProperty = "modalResult";

// a * b / c rounded to the nearest integer.
int MulDiv(int a, int b, int c)
{
    const long long p = static_cast<long long>(a) * b;
    long long q = p / c;
    const long long r = p % c;
    if (2 * (r < 0 ? -r : r) >= (c < 0 ? -c : c))
        q += ((p < 0) != (c < 0)) ? -1 : 1;
    return static_cast<int>(q);
}

// A carriage return in a message is a line break.
QString MessageLines(const QString& text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

// Height of the text drawn word-wrapped, tabs expanded, into `width` pixels.
int TextHeight(const QFont& font, int width, const QString& text)
{
    if (text.isEmpty())
        return 0;
    const QFontMetrics metrics(font);
    return metrics
        .boundingRect(QRect(0, 0, width, 1 << 20),
                      Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextExpandTabs, text)
        .height();
}

// The rounded rectangle behind the message: white, framed in black, corners
// rounded by an eighth of the shorter side.
class TRoundFrame : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::white);
        const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        const qreal radius = std::min(r.width(), r.height()) / 8.0;
        painter.drawRoundedRect(r, radius, radius);
    }
};

QStyle::StandardPixmap IconOf(int type)
{
    switch (type) {
    case mtWarning: return QStyle::SP_MessageBoxWarning;
    case mtError: return QStyle::SP_MessageBoxCritical;
    case mtInformation: return QStyle::SP_MessageBoxInformation;
    default: return QStyle::SP_MessageBoxQuestion;
    }
}

QString CaptionOf(int type)
{
    switch (type) {
    case mtWarning: return QStringLiteral("Avertissement");
    case mtError: return QStringLiteral("Erreur");
    case mtInformation: return QStringLiteral("Information");
    case mtConfirmation: return QStringLiteral("Confirmation");
    default: return QString::fromUtf8(ApplicationTitle);
    }
}

} // namespace

QFont TfrmError::CanvasFont()
{
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(13);
    return font;
}

QFont TfrmError::MessageFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    font.setBold(true);
    return font;
}

TfrmError::TfrmError(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmError"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint
                   | Qt::WindowStaysOnTopHint);
    setLayoutDirection(QApplication::layoutDirection());
    setFont(CanvasFont());

    shpUpper = new TRoundFrame(this);
    shpUpper->setObjectName(QStringLiteral("Shape1"));
    shpUpper->setGeometry(0, 0, ClientWidth, 65);

    Gradient4 = new TGradient(this);
    Gradient4->setObjectName(QStringLiteral("Gradient4"));
    Gradient4->SetStyle(gsReflectedH);
    Gradient4->SetColorEnd(QColor(192, 192, 192));

    lError = MakeEffectLabel(this, "lError", QString(), tsRecessed, Qt::black);
    lError->setWordWrap(true);
    lError->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lError->setFont(MessageFont());
    lError->setGeometry(68, 8, 445, 45);

    SetWindowHeight(165);
}

TfrmError::~TfrmError() = default;

void TfrmError::SetWindowHeight(int height)
{
    m_windowHeight = height;
    setFixedSize(ClientWidth, height - NonClientHeight);
}

void TfrmError::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Gradient4->setGeometry(0, height() - 45, width(), 45);
}

QPushButton* TfrmError::Button(MsgButton kind) const
{
    for (const ButtonKind& b : kButtons)
        if (b.kind == kind)
            return findChild<QPushButton*>(QLatin1String(b.name), Qt::FindDirectChildrenOnly);
    return nullptr;
}

std::unique_ptr<TfrmError> TfrmError::Build(const QString& text, int type, MsgButtons buttons)
{
    auto box = std::make_unique<TfrmError>();
    const QString message = MessageLines(text);

    // Height from the measured message: never below two lines' worth.
    int h = TextHeight(box->lError->font(), box->lError->width(), message);
    h = h < 53 ? 63 : h + 10;
    box->lError->resize(box->lError->width(), h + 18);
    box->shpUpper->resize(box->shpUpper->width(), h + 23);
    box->SetWindowHeight(h + 102);

    const QFont canvas = CanvasFont();
    const QSize chars = GetAverageCharSize(canvas);
    const int cx = chars.width();
    const int cy = chars.height();

    // Every button takes the width of the widest caption, at least 50/4 characters.
    int buttonWidth = MulDiv(cx, 50, 4);
    const QFontMetrics canvasMetrics(canvas);
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        if (!buttons.testFlag(kButtons[i].kind))
            continue;
        if (g_captionWidths[i] == 0)
            g_captionWidths[i] =
                canvasMetrics.horizontalAdvance(StripAccelerator(QString::fromUtf8(kButtons[i].caption))) + 8;
        buttonWidth = std::max(buttonWidth, g_captionWidths[i]);
    }
    const int buttonHeight = MulDiv(cy, 14, 8);
    const int spacing = MulDiv(cx, 4, 4);

    box->setWindowTitle(CaptionOf(type));
    if (type >= mtWarning && type <= mtConfirmation) {
        box->Image = new QLabel(box.get());
        box->Image->setObjectName(QStringLiteral("Image"));
        box->Image->setGeometry(MulDiv(cx, 8, 4), MulDiv(cy, 8, 8), 32, 32);
        box->Image->setPixmap(box->style()->standardIcon(IconOf(type)).pixmap(32, 32));
    }

    box->lError->setText(message);

    int count = 0;
    for (const ButtonKind& b : kButtons)
        if (buttons.testFlag(b.kind))
            ++count;
    const int total = count * buttonWidth + (count - 1) * spacing;
    int left = (ClientWidth - total) / 2;
    const int top = box->m_windowHeight - 70;
    for (const ButtonKind& b : kButtons) {
        if (!buttons.testFlag(b.kind))
            continue;
        auto* button = new QPushButton(QString::fromUtf8(b.caption), box.get());
        button->setObjectName(QLatin1String(b.name));
        button->setProperty(kResultProperty, b.result);
        button->setGeometry(left, top, buttonWidth, buttonHeight);
        TfrmError* self = box.get();
        connect(button, &QPushButton::clicked, self, [self, result = b.result] {
            // A button without a modal result leaves the box open.
            if (result != mrNone)
                self->done(result);
        });
        left += buttonWidth + spacing;
    }

    for (MsgButton kind : {MsgButton::OK, MsgButton::Yes, MsgButton::Retry})
        if (QPushButton* button = box->Button(kind)) {
            box->m_defaultButton = button;
            break;
        }
    for (MsgButton kind : {MsgButton::Cancel, MsgButton::No, MsgButton::OK})
        if (QPushButton* button = box->Button(kind)) {
            box->m_escapeButton = button;
            break;
        }
    if (box->m_defaultButton) {
        box->m_defaultButton->setDefault(true);
        box->m_defaultButton->setFocus();
    }

    // Centred on the screen.
    if (const QScreen* screen = QApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        box->move(area.left() + area.width() / 2 - ClientWidth / 2,
                  area.top() + area.height() / 2 - box->m_windowHeight / 2);
    }
    return box;
}

int TfrmError::Execute(const QString& text, int type, MsgButtons buttons)
{
    const std::unique_ptr<TfrmError> box = Build(text, type, buttons);
    return box->exec();
}

void TfrmError::showEvent(QShowEvent* event)
{
    // Measured again as shown: a long message takes exactly its height.
    const int v = TextHeight(lError->font(), lError->width(), lError->text());
    if (v > 60) {
        lError->resize(lError->width(), v);
        SetWindowHeight(v + 105);
        shpUpper->resize(shpUpper->width(), m_windowHeight - 80);
    }
    setWindowOpacity(1.0);
    QDialog::showEvent(event);
    if (m_defaultButton)
        m_defaultButton->setFocus();
}

void TfrmError::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (m_escapeButton)
            m_escapeButton->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmError::reject()
{
    // Closed by the title bar or the system menu.
    done(mrCancel);
}

void TfrmError::FadeOutThenClose(int result)
{
    m_fadeResult = result;
    m_fadeAlpha = 180;
    setWindowOpacity(m_fadeAlpha / 255.0);
    const int interval = int(10 * PauseScale());
    if (interval <= 0) {
        while (m_closing)
            FadeStep();
        return;
    }
    if (!m_fade) {
        m_fade = new QTimer(this);
        connect(m_fade, &QTimer::timeout, this, [this] { FadeStep(); });
    }
    m_fade->start(interval);
}

void TfrmError::FadeStep()
{
    m_fadeAlpha -= 8;
    if (m_fadeAlpha > 9) {
        setWindowOpacity(m_fadeAlpha / 255.0);
        return;
    }
    if (m_fade)
        m_fade->stop();
    QDialog::done(m_fadeResult);
    m_closing = false;
}

void TfrmError::done(int result)
{
    // Every way out comes here once; the box fades before it closes.
    if (m_closing)
        return;
    m_closing = true;
    if (isVisible()) {
        FadeOutThenClose(result);
        return;
    }
    QDialog::done(result);
    m_closing = false;
}

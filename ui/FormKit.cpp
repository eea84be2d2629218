#include "ui/FormKit.h"

#include "controls/NumEdit.h"
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "ui/UCalendar.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QBoxLayout>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QImage>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextCursor>
#include <QToolButton>
#include <QValidator>

#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------------------
// Commands

QAction* MakeCommand(QWidget* window, const char* name, const QString& text, std::function<void()> handler,
                     const QKeySequence& key)
{
    auto* action = new QAction(text, window);
    if (name && *name)
        action->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty())
        action->setShortcut(key);
    if (handler)
        QObject::connect(action, &QAction::triggered, window, Guarded(std::move(handler)));
    return action;
}

void BindButton(QAbstractButton* button, QAction* command)
{
    QObject::connect(button, &QAbstractButton::clicked, command, [command] { command->trigger(); });
    QObject::connect(command, &QAction::enabledChanged, button, &QWidget::setEnabled);
    button->setEnabled(command->isEnabled());
}

// ---------------------------------------------------------------------------
// Controls

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, const QString& hint)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    b->setDefault(false);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    return b;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, const QString& hint,
                        QStyle::StandardPixmap icon)
{
    QPushButton* b = MakeButton(parent, name, text, hint);
    b->setIcon(b->style()->standardIcon(icon));
    return b;
}

QVBoxLayout* MakeWindowColumn(QWidget* window)
{
    auto* column = new QVBoxLayout(window);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    return column;
}

QHBoxLayout* AddToolPanel(QWidget* window, QVBoxLayout* column, QWidget** panel, const char* name)
{
    *panel = new QWidget(window);
    (*panel)->setObjectName(QString::fromLatin1(name));
    auto* bar = new QHBoxLayout(*panel);
    bar->setContentsMargins(4, 4, 4, 4);
    bar->setSpacing(2);
    column->addWidget(*panel);
    return bar;
}

QPushButton* AddToolButton(QWidget* parent, QBoxLayout* bar, const char* name, const QString& text,
                           const QString& hint, QStyle::StandardPixmap icon)
{
    QPushButton* b = MakeButton(parent, name, text, hint, icon);
    bar->addWidget(b);
    return b;
}

QToolButton* MakeToolButton(QWidget* parent, const char* name, const QString& text, const QString& hint,
                            QStyle::StandardPixmap icon)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(text);
    b->setToolTip(hint);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    b->setMinimumWidth(70);
    return b;
}

QHBoxLayout* MakeOkCancelRow(QWidget* dialog, QPushButton** ok, QPushButton** cancel, const char* cancelName)
{
    *ok = new QPushButton(QStringLiteral("OK"), dialog);
    (*ok)->setObjectName(QStringLiteral("btnOk"));
    (*ok)->setDefault(true);
    *cancel = MakeButton(dialog, cancelName, QStringLiteral("Annuler"));
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(*ok);
    row->addWidget(*cancel);
    return row;
}

namespace {

// The tone, over white, that an enabled glyph's darkest ink reaches at the
// lightest (0 black, 255 white); a disabled glyph is drawn at a fifth of its
// opacity, in grey, so that its darkest ink stays lighter than any enabled
// glyph's.
constexpr int kEnabledInk = 100;

// The icon in two looks plainly apart, whatever its own colours. Enabled:
// its own image, with the faint dark edge some glyphs are drawn with (a blank
// page outlined in translucent black) made plain, and a pale glyph (a light
// grey bin) darkened until its darkest ink reaches kEnabledInk. Disabled:
// that image in grey at a fifth of its opacity.
QIcon WithPlainLooks(const QIcon& icon, const QSize& size)
{
    QIcon out;
    for (const QSize s : {size, size * 2}) {
        const QPixmap source = icon.pixmap(s, QIcon::Normal, QIcon::Off);
        QImage enabled = source.toImage().convertToFormat(QImage::Format_ARGB32);
        int darkest = 255;
        for (int y = 0; y < enabled.height(); ++y)
            for (int x = 0; x < enabled.width(); ++x) {
                QRgb p = enabled.pixel(x, y);
                if (qAlpha(p) < 255 && qGray(p) < 128) {
                    p = qRgba(qRed(p), qGreen(p), qBlue(p), std::min(255, qAlpha(p) * 5 / 2));
                    enabled.setPixel(x, y, p);
                }
                darkest = std::min(darkest, 255 - qAlpha(p) * (255 - qGray(p)) / 255);
            }
        // Darker mid-tones, white kept white.
        const double gamma = darkest > kEnabledInk && darkest < 255
                                 ? std::log(kEnabledInk / 255.0) / std::log(darkest / 255.0)
                                 : 1.0;
        auto darken = [gamma](int c) { return int(255 * std::pow(c / 255.0, gamma) + 0.5); };
        QImage disabled(enabled.size(), QImage::Format_ARGB32);
        for (int y = 0; y < enabled.height(); ++y)
            for (int x = 0; x < enabled.width(); ++x) {
                QRgb p = enabled.pixel(x, y);
                if (gamma != 1.0) {
                    p = qRgba(darken(qRed(p)), darken(qGreen(p)), darken(qBlue(p)), qAlpha(p));
                    enabled.setPixel(x, y, p);
                }
                const int grey = qGray(p);
                disabled.setPixel(x, y, qRgba(grey, grey, grey, (qAlpha(p) + 2) / 5));
            }
        QPixmap normal = QPixmap::fromImage(enabled);
        QPixmap faded = QPixmap::fromImage(disabled);
        normal.setDevicePixelRatio(source.devicePixelRatio());
        faded.setDevicePixelRatio(source.devicePixelRatio());
        out.addPixmap(normal, QIcon::Normal);
        out.addPixmap(faded, QIcon::Disabled);
    }
    return out;
}

} // namespace

QToolButton* MakeIconButton(QWidget* parent, const char* name, const QString& hint, QStyle::StandardPixmap icon)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    b->setAutoRaise(true);
    b->setIcon(WithPlainLooks(parent->style()->standardIcon(icon), b->iconSize()));
    return b;
}

QToolButton* MakePickButton(QWidget* parent, const char* name, const QString& hint)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(QStringLiteral("..."));
    b->setToolTip(hint);
    return b;
}

QLabel* MakeCaption(QWidget* parent, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, int maxLength, bool readOnly)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    e->setReadOnly(readOnly);
    return e;
}

QLineEdit* MakeShownEdit(QWidget* parent, const char* name)
{
    QLineEdit* e = MakeEdit(parent, name, 0, true);
    e->setFocusPolicy(Qt::NoFocus);
    QPalette p = e->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(group, QPalette::Base, p.color(group, QPalette::Window));
    e->setPalette(p);
    return e;
}

QComboBox* MakeCombo(QWidget* parent, const char* name)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setMaxVisibleItems(15);
    return c;
}

QLabel* MakeValueLabel(QWidget* parent, const char* name)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setFrameShape(QFrame::StyledPanel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMinimumWidth(90);
    l->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

TNumEdit* MakeAmountEdit(QWidget* parent, const char* name, int width)
{
    auto* e = new TNumEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->SetDecimals(2);
    e->SetNumberFormat(TNumEdit::Thousands);
    e->setFixedWidth(width);
    return e;
}

namespace {

// Whole numbers in a range; unlike QIntValidator, a text beyond the range is
// refused outright rather than let through as unfinished.
class TWholeNumberValidator : public QValidator {
public:
    TWholeNumberValidator(qint64 min, qint64 max, QObject* parent) : QValidator(parent), m_min(min), m_max(max) {}
    State validate(QString& input, int&) const override
    {
        const QString text = input.trimmed();
        if (text.isEmpty() || (text == QLatin1String("-") && m_min < 0))
            return Intermediate;
        for (int i = 0; i < text.size(); ++i)
            if (!text[i].isDigit() && !(i == 0 && text[i] == QLatin1Char('-') && m_min < 0))
                return Invalid;
        bool ok = false;
        const qint64 value = text.toLongLong(&ok);
        if (!ok || value > m_max || value < m_min)
            return Invalid;
        return Acceptable;
    }

private:
    qint64 m_min, m_max;
};

} // namespace

void LimitToWholeNumbers(QLineEdit* edit, qint64 min, qint64 max)
{
    edit->setValidator(new TWholeNumberValidator(min, max, edit));
}

void MakeUpperCaseEdit(QLineEdit* edit)
{
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
        const QString up = text.toUpper();
        if (up != text) {
            const int pos = edit->cursorPosition();
            edit->setText(up);
            edit->setCursorPosition(pos);
        }
    });
}

void LimitPlainText(QPlainTextEdit* memo, int maxLength)
{
    QObject::connect(memo, &QPlainTextEdit::textChanged, memo, [memo, maxLength] {
        const QString text = memo->toPlainText();
        if (text.size() > maxLength) {
            QTextCursor c = memo->textCursor();
            const int pos = std::min(c.position(), maxLength);
            memo->setPlainText(text.left(maxLength));
            c = memo->textCursor();
            c.setPosition(pos);
            memo->setTextCursor(c);
        }
    });
}

QString CutText(const QString& text, int maxLength)
{
    return text.size() > maxLength ? text.left(maxLength) : text;
}

// ---------------------------------------------------------------------------
// Date fields

QString ReplaceQuestion(const QString& oldText, const QString& newText)
{
    return QStringLiteral("Remplacer ") + oldText + QStringLiteral("  par  ") + newText + QStringLiteral(" ?");
}

namespace {

// Writes `newText` into the field: at once when the field is empty (or
// `ask` is false), after the replace question when it holds another text.
bool OfferDate(QLineEdit* edit, const QString& newText, bool ask)
{
    const QString old = edit->text().trimmed();
    if (old == newText)
        return false;
    if (ask && !old.isEmpty() && !AskConfirmation(ReplaceQuestion(old, newText)))
        return false;
    edit->setText(newText);
    return true;
}

// The double click of one date field.
class DateFieldWatch : public QObject {
public:
    DateFieldWatch(QLineEdit* edit, TDateFieldRules rules, std::function<void()> afterPick)
        : QObject(edit), m_edit(edit), m_rules(rules), m_afterPick(std::move(afterPick))
    {
        edit->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_edit || event->type() != QEvent::MouseButtonDblClick)
            return false;
        RunGuarded([this] {
            QString date;
            if (m_rules.doubleClick == TDateFieldRules::DoubleClick::Today) {
                m_edit->setText(m_edit->text().trimmed());
                date = DateText(DefaultDate());
            } else {
                const std::optional<QDate> picked = TfrmCalendar::PickDate(m_edit->window());
                if (!picked)
                    return;
                date = DateText(*picked);
            }
            if (OfferDate(m_edit, date, true) && m_afterPick)
                m_afterPick();
        });
        return true;
    }

private:
    QLineEdit* m_edit;
    TDateFieldRules m_rules;
    std::function<void()> m_afterPick;
};

} // namespace

void AttachDateField(QLineEdit* edit, QAbstractButton* button, const TDateFieldRules& rules,
                     std::function<void()> afterPick)
{
    if (button) {
        QObject::connect(button, &QAbstractButton::clicked, edit, Guarded([edit, rules, afterPick] {
            const std::optional<QDate> picked = TfrmCalendar::PickDate(edit->window());
            if (picked && OfferDate(edit, DateText(*picked), rules.buttonAsks) && afterPick)
                afterPick();
        }));
    }
    new DateFieldWatch(edit, rules, std::move(afterPick));
}

// ---------------------------------------------------------------------------
// Window pieces

TStatusBar::TStatusBar(const QList<int>& widths, QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("stBar"));
    setSizeGripEnabled(false);
    for (int i = 0; i < widths.size(); ++i) {
        auto* l = new QLabel(this);
        l->setObjectName(QStringLiteral("stBarPanel%1").arg(i));
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setMinimumWidth(widths[i]);
        l->setAlignment(Qt::AlignCenter);
        const bool last = i == widths.size() - 1;
        if (!last)
            l->setMaximumWidth(widths[i]);
        addWidget(l, last ? 1 : 0);
        m_panels.append(l);
    }
}

void TStatusBar::SetPanel(int index, const QString& text)
{
    if (index >= 0 && index < m_panels.size())
        m_panels[index]->setText(text);
}

QString TStatusBar::Panel(int index) const
{
    return (index >= 0 && index < m_panels.size()) ? m_panels[index]->text() : QString();
}

TWaitCursor::TWaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

TWaitCursor::~TWaitCursor()
{
    QApplication::restoreOverrideCursor();
}

void ResizeWithinScreen(QWidget* window, const QSize& wanted)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableGeometry().size() : wanted;
    window->resize(wanted.boundedTo(room));
}

void DropMenuUnder(QMenu* menu, QWidget* button)
{
    PopupPoint = button->mapToGlobal(QPoint(0, button->height()));
    menu->popup(PopupPoint);
}

void UseAsContextMenu(QWidget* widget, QMenu* menu)
{
    // A scroll area reports positions in its viewport.
    auto* area = qobject_cast<QAbstractScrollArea*>(widget);
    QWidget* origin = area ? area->viewport() : widget;
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(widget, &QWidget::customContextMenuRequested, menu,
                     [menu, origin](const QPoint& pos) { RunGuarded([&] { menu->popup(origin->mapToGlobal(pos)); }); });
}

bool AskConfirmation(const QString& text)
{
    return ShowMessageBox(text, mtConfirmation, MsgButton::Yes | MsgButton::No) == mrYes;
}

bool AskDeletionTwice(const QString& warning, const QString& confirmation)
{
    return ShowMessageBox(warning, mtWarning, MsgButton::Yes | MsgButton::No) == mrYes
        && AskConfirmation(confirmation);
}

QHBoxLayout* MakeFieldRow(std::initializer_list<QWidget*> widgets)
{
    auto* h = new QHBoxLayout;
    h->setSpacing(3);
    for (QWidget* w : widgets)
        h->addWidget(w);
    h->addStretch(1);
    return h;
}

QGridLayout* MakeEntryPanel(QWidget* window, QWidget** panel, int margin, int rowSpacing)
{
    auto* frame = new QFrame(window);
    frame->setObjectName(QStringLiteral("pnlMain"));
    frame->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(10, margin, 10, margin);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(rowSpacing);
    *panel = frame;
    return grid;
}

void SilenceChildren(QObject* window)
{
    for (QObject* child : window->findChildren<QObject*>())
        child->blockSignals(true);
}

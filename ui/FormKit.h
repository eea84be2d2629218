#pragma once
// The form kit: the small pieces every window builds its controls from.
//
// - Commands: one user command is one QAction (MakeCommand), placed in the
//   menus and popup menus as it is; a button shows the same command
//   (BindButton): its click triggers the action, and it is enabled exactly
//   when the action is.
// - Controls: buttons, tool-bar buttons, pick buttons ("..."), captions,
//   edits, choice boxes, read-only value labels, amount fields (TNumEdit, two
//   decimals, thousands grouped), date fields with their calendar button and
//   double click.
// - The status bar of fixed panels, the wait cursor, the popup menu dropped
//   under its button, the confirmation box.

#include "core/Routines.h"

#include <QKeySequence>
#include <QList>
#include <QStatusBar>
#include <QString>
#include <QStyle>

#include <functional>
#include <initializer_list>

class QAbstractButton;
class QAction;
class QBoxLayout;
class QComboBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QVBoxLayout;
class QPushButton;
class QToolButton;
class QWidget;
class TNumEdit;

// ---------------------------------------------------------------------------
// Commands

// A command of `window`: an action named `name` (the menu item's name) with
// `text` as its menu caption and `key` as its shortcut, whose trigger runs
// `handler` through the handler guard (none: another unit connects it).
QAction* MakeCommand(QWidget* window, const char* name, const QString& text, std::function<void()> handler,
                     const QKeySequence& key = QKeySequence());
// `button` shows `command`: a click triggers it; enabled as it is.
void BindButton(QAbstractButton* button, QAction* command);

// ---------------------------------------------------------------------------
// Controls

// A push button that never answers Enter by itself (only the window's default
// button does).
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, const QString& hint = QString());
// The same with one of the style's standard icons.
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, const QString& hint,
                        QStyle::StandardPixmap icon);
// The same, appended to the tool bar `bar`.
QPushButton* AddToolButton(QWidget* parent, QBoxLayout* bar, const char* name, const QString& text,
                           const QString& hint, QStyle::StandardPixmap icon);
// The column of a window made of a tool bar, its body and a status bar (no
// margins, no spacing), and the tool-bar panel `name` at its top: the row
// its buttons go in is returned, the panel put in `panel`.
QVBoxLayout* MakeWindowColumn(QWidget* window);
QHBoxLayout* AddToolPanel(QWidget* window, QVBoxLayout* column, QWidget** panel, const char* name = "pnlBtns");
// A flat tool-bar button, its text under its icon.
QToolButton* MakeToolButton(QWidget* parent, const char* name, const QString& text, const QString& hint,
                            QStyle::StandardPixmap icon);
// A dialog's "OK" (its default button) and "Annuler" (named `cancelName`)
// side by side at the right of a row.
QHBoxLayout* MakeOkCancelRow(QWidget* dialog, QPushButton** ok, QPushButton** cancel,
                             const char* cancelName = "btnCancel");
// A small flat button showing only an icon (the lines' buttons of a grid, the
// navigator's): `hint` is its tooltip and its accessible name, and disabled it
// shows its icon faded, plainly apart from the enabled one.
QToolButton* MakeIconButton(QWidget* parent, const char* name, const QString& hint, QStyle::StandardPixmap icon);
// The small "..." button beside a field that picks its value from a list.
QToolButton* MakePickButton(QWidget* parent, const char* name, const QString& hint);

// A caption before a field, right-aligned.
QLabel* MakeCaption(QWidget* parent, const QString& text);
// A line edit; `maxLength` 0 leaves the length free.
QLineEdit* MakeEdit(QWidget* parent, const char* name, int maxLength = 0, bool readOnly = false);
// A field that shows a value the user never types: out of the Tab order and
// drawn on the window's colour, so that it does not look like an entry.
QLineEdit* MakeShownEdit(QWidget* parent, const char* name);
// A drop-down choice list.
QComboBox* MakeCombo(QWidget* parent, const char* name);
// A sunken read-only label showing a value.
QLabel* MakeValueLabel(QWidget* parent, const char* name);
// An amount field: two decimals, thousands grouped, `width` pixels wide.
TNumEdit* MakeAmountEdit(QWidget* parent, const char* name, int width);

// An edit of whole numbers from `min` to `max` (the range of the column it
// fills): a character that would leave the range, or is no digit, is refused
// as it is typed or pasted, so nothing too large ever reaches the database.
void LimitToWholeNumbers(QLineEdit* edit, qint64 min, qint64 max);
// The range of a SMALLINT column.
inline constexpr qint64 SmallIntMin = -32768;
inline constexpr qint64 SmallIntMax = 32767;

// Edits that upper-case what is typed; memos that hold at most `maxLength` characters.
void MakeUpperCaseEdit(QLineEdit* edit);
void LimitPlainText(QPlainTextEdit* memo, int maxLength);
// The text cut to its first `maxLength` characters.
QString CutText(const QString& text, int maxLength);

// ---------------------------------------------------------------------------
// Date fields

// The question asked before a field's date is replaced by another.
QString ReplaceQuestion(const QString& oldText, const QString& newText);

struct TDateFieldRules {
    // Whether the button's date replaces another text only after the question
    // (otherwise it is written at once).
    bool buttonAsks = true;
    // A double click in the field: the calendar, or today's date.
    enum class DoubleClick { Calendar, Today } doubleClick = DoubleClick::Today;
};
// Makes `edit` a date field: `button` (may be null) opens the calendar on
// today's date, a double click does what the rules say; an empty field takes
// the date at once, a field holding another text asks ReplaceQuestion first.
// `afterPick` runs after a date was written.
void AttachDateField(QLineEdit* edit, QAbstractButton* button, const TDateFieldRules& rules,
                     std::function<void()> afterPick = {});

// ---------------------------------------------------------------------------
// Window pieces

// A status bar of fixed panels (labels), read back by index.
class TStatusBar : public QStatusBar {
    Q_OBJECT
public:
    TStatusBar(const QList<int>& widths, QWidget* parent = nullptr);
    void SetPanel(int index, const QString& text);
    QString Panel(int index) const;
    int PanelCount() const { return int(m_panels.size()); }

private:
    QList<QLabel*> m_panels;
};

// Fields side by side, 3 pixels apart, the rest of the row left empty.
QHBoxLayout* MakeFieldRow(std::initializer_list<QWidget*> widgets);

// The framed entry panel of a window, named "pnlMain", put in `panel`, and the
// grid of its fields: 10 pixels from its sides and `margin` from its top and
// bottom, its columns 6 and its rows `rowSpacing` pixels apart.
QGridLayout* MakeEntryPanel(QWidget* window, QWidget** panel, int margin, int rowSpacing);

// The wait cursor for the life of the object.
class TWaitCursor {
public:
    TWaitCursor();
    ~TWaitCursor();
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

// Gives `window` the size `wanted`, or less where the screen it opens on
// has less room, its taskbar and panels left out.
void ResizeWithinScreen(QWidget* window, const QSize& wanted);

// Drops `menu` just below the lower-left corner of `button`; the screen
// position is kept in PopupPoint.
void DropMenuUnder(QMenu* menu, QWidget* button);
// `menu` pops up where `widget` is right-clicked.
void UseAsContextMenu(QWidget* widget, QMenu* menu);

// The confirmation box with Yes and No; true on Yes.
bool AskConfirmation(const QString& text);
// The two questions before a document is deleted for good: `warning` (a
// warning box), then `confirmation`; true when both are answered Yes.
bool AskDeletionTwice(const QString& warning, const QString& confirmation);

// Stops every child of `window` from signalling. The window bases call it as
// their destructor starts: the derived window is gone by then, and what its
// children still do while they are taken down (a box closing its list as the
// window hides, a view losing its model) must reach none of its handlers.
void SilenceChildren(QObject* window);

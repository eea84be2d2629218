#pragma once
// TListWindow: what every window built around a list of rows shares (the
// listings of the year's documents, the reference-data lists, the budget, the
// users, the expense picker, the financial situation): its first showing,
// the commands of its popup menu and the count of its rows.
//
// - The first showing runs the window's FormShow once, through the handler
//   guard, then gives the focus to the control SetFirstFocus names (its grid).
// - One command is one QAction (AddCommand) in the popup menu, its key
//   working on the whole window, shown by its button when it has one; the
//   popup menu drops under the menu button and pops up on a right click where
//   the window says.
// - FollowRowCount keeps a status-bar panel on the number of rows.
//
// The window's destructor stops its children from signalling
// (SilenceChildren) before they are taken down.

#include <QDialog>
#include <QKeySequence>
#include <QString>

#include <functional>

class QAbstractButton;
class QAction;
class QMenu;
class QueryTableModel;
class TStatusBar;

// What a row count counts: the rows shown (after the client filter), or the
// rows the list fetched.
enum class TRowsCounted { Shown, Fetched };

// Writes the number of rows of `model`, followed by `suffix`, into panel
// `panel` of `bar`: now, and again every time the rows are read again,
// filtered or sorted, so a list's count always follows its rows.
void FollowRowCount(QueryTableModel* model, TStatusBar* bar, int panel, const QString& suffix = QString(),
                    TRowsCounted counted = TRowsCounted::Shown);

class TListWindow : public QDialog {
    Q_OBJECT
protected:
    // `menuName`: the object name of the popup menu of its commands.
    explicit TListWindow(QWidget* parent, const char* menuName = "PopMenu");
    ~TListWindow() override;

    // The popup menu of the window's commands.
    QMenu* PopupMenu() const { return m_menu; }
    // A command named `name` at the end of the popup menu: `text` is its
    // caption, `handler` runs (guarded) when it is triggered (none: a caller
    // connects it), `key` works on the whole window, `button` shows it.
    QAction* AddCommand(const char* name, const QString& text, std::function<void()> handler,
                        const QKeySequence& key = QKeySequence(), QAbstractButton* button = nullptr);
    // The popup menu dropped under `button` when it is clicked.
    void DropMenuFrom(QAbstractButton* button);
    // The popup menu where `widget` is right-clicked.
    void PopUpMenuOn(QWidget* widget);

    // The first showing: FormShow, then the focus on `focus` (when given).
    virtual void FormShow() = 0;
    void SetFirstFocus(QWidget* focus) { m_firstFocus = focus; }
    // Runs FormShow through the handler guard; a window adds what its first
    // showing does around it.
    virtual void FirstShow();
    // Whether the window has been shown.
    bool Shown() const { return m_shown; }

    void showEvent(QShowEvent* event) override;

private:
    QMenu* m_menu = nullptr;
    QWidget* m_firstFocus = nullptr;
    bool m_shown = false;
};

#pragma once
// TEditorWindow: the one base of every window that browses, inserts and edits
// records (record windows of the reference data, users, budget allocations,
// expense editors, commitment sheets, payment orders, transfers...).
//
// What the base does, once for every window:
// - the three modes, browse ("Affichage"), insert ("Insertion") and edit
//   ("Edition"), written into the window's mode panel of the status bar;
// - the commands: each is one QAction (MakeCommand in ui/FormKit.h) with an
//   enabling rule; SetMode and UpdateCommands apply every rule in one place,
//   and the buttons bound to a command follow it;
// - the entry panel: enabled and in the active colours only while editing;
// - the record navigator: usable in browse mode (or always, by option), its
//   buttons following the position;
// - the keys: Esc cancels the entry (the cancel command) or, in browse mode,
//   closes; Enter never presses a default button and moves to the next field
//   in the controls the window names; the shortcuts of the window's commands
//   win over the edits' own keys;
// - the close question, by rule: SaveAndStay (the unsaved-changes question:
//   Yes saves and stays, No closes, Cancel stays), SaveThenClose (the window's
//   own question: Yes saves then closes, No cancels then closes, Cancel
//   stays), Discard (closing drops the entry without a question);
// - the optional question before a cancel ("Etes-vous sûr de vouloir annuler
//   les modifications ?");
// - the first-show hook, run once, after the write right was taken once;
// - the refusals of a save: the message, the focus, the silent abort;
// - saves that never undo another user's change: the window says which
//   stored row it shows (ShownRow); each time it enters browse mode the base
//   takes that row and its version, and a save in edit mode (the command
//   named "mnPost", and the close question's save) locks the row first and is
//   refused, nothing written and the entry kept, when another user changed or
//   deleted it since; the user may then have the stored row shown again
//   (ShowStoredRow). A change of another user still in progress refuses the
//   save through the engine's update conflict, told in French.
//
// How to build a window on this:
//
//     class TfrmThing : public TEditorWindow {
//     public:
//         explicit TfrmThing(QWidget* parent)
//             : TEditorWindow(Options{.writeRightItem = "mnThing",
//                                     .statusWidths = {80, 50, 80, 100},
//                                     .modePanel = 3},
//                             parent)
//         {
//             // Commands: the menu item's name and caption, when it is enabled,
//             // what it runs; then the buttons that show it and the menus.
//             mnAdd = AddCommand("mnAdd", "&Nouveau", When::BrowseWithRight, [this] { btnAddClick(); },
//                                Qt::Key_Insert);
//             mnPost = AddCommand("mnPost", "&Enregistrer", When::Editing, [this] { btnPostClick(); },
//                                 Qt::CTRL | Qt::Key_S);
//             mnCancel = AddCommand("mnCancel", "&Annuler", When::Editing, [this] { CancelEntry(); });
//             BindButton(btnAdd, mnAdd);  ...  PopMenu->addAction(mnAdd);  ...
//             AttachPopupMenu(PopMenu, btnMenu);
//             SetEntryPanel(pnlMain);
//             SetNavigator(MyNavigator);           // connect its moved() to the showing
//             AddEnterToNext(edSomething);          // where the window's keys say so
//             AttachDateField(edDate, btnGetDate, {...});   // ui/FormKit.h
//         }
//     protected:
//         bool HasRows() const override;        // a current row exists
//         void FormShow() override;             // open the rows, show the first one
//         void btnPostClick() override;         // checks (Refuse...), one TWriteGuard, then browse mode
//         void btnCancelClick() override;       // show the current row again, browse mode
//     };
//
// The window shows a row and calls SetMode(emBrowse); btnAddClick clears the
// entry and calls SetMode(emInsert); btnEditClick SetMode(emEdit). A save
// that succeeds ends in browse mode; a refused save (a refusal, a failed
// statement, a refused commit) abandons the handler, so the entry stays on
// screen in its mode. ModeChanged() is the hook for what a window adds to the
// mode table (fields enabled by the row shown, and the like).

#include "core/MessageBox.h"
#include "core/Refusal.h"
#include "data/ShownRow.h"
#include "ui/FormKit.h"
#include "ui/RecordNavigator.h"

#include <QDialog>
#include <QList>
#include <QPointer>

#include <functional>

class QMenu;

enum TEditMode { emBrowse, emInsert, emEdit };

class TEditorWindow : public QDialog {
    Q_OBJECT
public:
    ~TEditorWindow() override;

    TEditMode Mode() const { return m_mode; }
    static QString ModeText(TEditMode mode);
    bool WriteRight() const { return m_writeRight; }

    // The status bar; the mode is written into its mode panel.
    TStatusBar* stBar = nullptr;

    // "Les informations modifiées n'ont pas été enregistrées !\rVoulez-vous les enregistrer maintenant ?"
    static const QString UnsavedQuestion;
    // "Etes-vous sûr de vouloir annuler les modifications ?"
    static const QString CancelQuestion;
    // Asked when a save is refused because another user changed (deleted)
    // the row since it was shown: "Ces informations ont été modifiées par un
    // autre utilisateur depuis leur affichage ..."; Yes shows the stored row.
    static const QString RowChangedQuestion;
    static const QString RowDeletedQuestion;

    // The cancel command: CancelQuestion (or the window's own question) first
    // when the window asks it, then btnCancelClick.
    void CancelEntry();

    enum class CloseRule { SaveAndStay, SaveThenClose, Discard };
    struct Options {
        QString writeRightItem = {};         // the menu item whose write right the window takes at first show
        QList<int> statusWidths = {80, 50, 80, 100};
        int modePanel = 3;
        CloseRule closeRule = CloseRule::SaveAndStay;
        QString closeQuestion = {};          // SaveThenClose: the question asked
        bool confirmCancel = false;          // the cancel command asks CancelQuestion first
        QString cancelQuestion = {};         // the window's own question in place of CancelQuestion
        bool navigatorWhileEditing = false;  // the navigator stays usable in insert and edit modes
        bool recolourEntryPanel = true;      // the entry panel takes the mode's colours
    };
protected:
    TEditorWindow(const Options& options, QWidget* parent);

    // --- commands -------------------------------------------------------------
    enum class When {
        Always,
        Browse,                 // browse mode
        BrowseOnRow,            // browse mode, a row shown
        BrowseWithRight,        // browse mode, the write right
        BrowseOnRowWithRight,   // browse mode, a row shown, the write right
        Editing,                // insert and edit modes
    };
    // A command of the window (see MakeCommand), enabled by `when`.
    QAction* AddCommand(const char* name, const QString& text, When when, std::function<void()> handler,
                        const QKeySequence& key = QKeySequence());
    // The same with a rule of the window's own.
    QAction* AddCommand(const char* name, const QString& text, std::function<bool()> enabled,
                        std::function<void()> handler, const QKeySequence& key = QKeySequence());
    // A control (pick button, field) enabled by the mode table too.
    void Follow(QWidget* control, When when);
    // Re-applies every rule (after the rows or the row shown changed).
    void UpdateCommands();

    // --- building ---------------------------------------------------------------
    void SetEntryPanel(QWidget* panel) { m_entryPanel = panel; }
    QWidget* EntryPanel() const { return m_entryPanel; }
    void SetNavigator(TRecordNavigator* navigator) { m_navigator = navigator; }
    TRecordNavigator* Navigator() const { return m_navigator; }
    // The popup menu: dropped under `menuButton` (may be null); with
    // `contextMenu` it is also the window's context menu and its items' keys
    // act on the whole window.
    void AttachPopupMenu(QMenu* menu, QAbstractButton* menuButton, bool contextMenu = true);
    // A command's key acting on the whole window, the command being in no menu.
    void AddWindowKey(QAction* command);
    // Enter in these controls moves the focus to the next control.
    void AddEnterToNext(QWidget* control);

    // --- mode -----------------------------------------------------------------
    // Sets the mode and applies the mode table: commands, followers, entry
    // panel, navigator, the mode panel; then ModeChanged().
    void SetMode(TEditMode mode);
    // Re-applies the entry panel's colours (after a control of it changed state).
    void RecolourEntryPanel();
    virtual void ModeChanged() {}

    // --- write right ----------------------------------------------------------
    void RequireWriteRight() const;   // DenyWriteAccess without the right

    // --- refusals ---------------------------------------------------------------
    // A check's refusal is shown by Refuse (core/Refusal.h): its message, the
    // focus on the field, the silent abort.
    // Yes/No confirmation; No puts the focus on `focus` and aborts.
    static void ConfirmOrRefuse(const QString& text, QWidget* focus);
    static bool Confirm(const QString& text);

    // --- hooks of each window ---------------------------------------------------
    // The menu item whose write right the window takes at its first show.
    virtual QString RightItem() const { return m_options.writeRightItem; }
    virtual bool HasRows() const = 0;
    virtual void FormShow() {}        // the first show, after the write right was taken
    virtual void FormClose() {}       // closing, once the close question let it
    virtual void btnPostClick() = 0;  // the save
    virtual void btnCancelClick() = 0;// drops the entry: the current row again, browse mode
    // The stored row shown, with the version it was read with (-1: the base
    // reads it when it takes the row); an unset row when none is shown.
    virtual TShownRow ShownRow() const { return {}; }
    // Reads the stored row again and shows it, after a save found that
    // another user had changed it. By default btnCancelClick, for windows
    // that read the row afresh to show it.
    virtual void ShowStoredRow() { btnCancelClick(); }
    // Takes the row shown again (its version), after an operation of the
    // window's own, other than its save, wrote it (a salary line changing its
    // expense's amount) and the window read it again, or after the window
    // showed another row without leaving browse mode (a grid's current row).
    void ShownRowRewritten() { TakeShownRow(); }
    // Saves the entry as the save command does (the check of the row shown
    // armed in edit mode, the refusals and errors shown), for a window that
    // also saves when the user moves on; true when the save ended in browse mode.
    bool SaveEntry();
    // Runs `write`, an operation on the row shown other than the save (its
    // deletion), with the check of that row armed: another user's change or
    // deletion since it was shown refuses it, nothing written, with the
    // save's question; the handler is then abandoned.
    void WriteShownRow(const std::function<void()>& write);


    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool MayClose();
    bool Enabled(When when) const;
    // Runs the save `save` with the check of the row shown armed in edit mode.
    void RunSave(const std::function<void()>& save);
    // Runs `write` with the check of `row` armed (none when unset).
    void RunChecked(const TShownRow& row, const std::function<void()>& write);
    void TakeShownRow();

    Options m_options;
    TEditMode m_mode = emBrowse;
    bool m_writeRight = false;
    bool m_shown = false;
    bool m_closing = false;
    QList<QPair<QPointer<QObject>, std::function<bool()>>> m_rules;
    QPointer<QWidget> m_entryPanel;
    QPointer<TRecordNavigator> m_navigator;
    QList<QWidget*> m_enterToNext;
    TShownRow m_shownRow;
};

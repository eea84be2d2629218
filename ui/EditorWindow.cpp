#include "ui/EditorWindow.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/Routines.h"
#include "data/AccessRights.h"
#include "ui/RecordNavigator.h"

#include <QAbstractButton>
#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>

const QString TEditorWindow::UnsavedQuestion = QStringLiteral(
    "Les informations modifiées n'ont pas été enregistrées !\rVoulez-vous les enregistrer maintenant ?");
const QString TEditorWindow::CancelQuestion = QStringLiteral("Etes-vous sûr de vouloir annuler les modifications ?");
const QString TEditorWindow::RowChangedQuestion = QStringLiteral(
    "Ces informations ont été modifiées par un autre utilisateur depuis leur affichage : votre saisie n'a pas été "
    "enregistrée.\rVoulez-vous afficher les informations enregistrées ? (Non : votre saisie reste à l'écran.)");
const QString TEditorWindow::RowDeletedQuestion = QStringLiteral(
    "Ces informations ont été supprimées par un autre utilisateur depuis leur affichage : votre saisie n'a pas été "
    "enregistrée.\rVoulez-vous afficher les informations enregistrées ? (Non : votre saisie reste à l'écran.)");

TEditorWindow::TEditorWindow(const Options& options, QWidget* parent) : QDialog(parent), m_options(options)
{
    stBar = new TStatusBar(options.statusWidths, this);
}

TEditorWindow::~TEditorWindow()
{
    SilenceChildren(this);
}

QString TEditorWindow::ModeText(TEditMode mode)
{
    switch (mode) {
    case emBrowse: return QStringLiteral("Affichage");
    case emInsert: return QStringLiteral("Insertion");
    case emEdit: return QStringLiteral("Edition");
    }
    return QString();
}

// --- commands -----------------------------------------------------------------

QAction* TEditorWindow::AddCommand(const char* name, const QString& text, When when, std::function<void()> handler,
                                   const QKeySequence& key)
{
    return AddCommand(name, text, [this, when] { return Enabled(when); }, std::move(handler), key);
}

QAction* TEditorWindow::AddCommand(const char* name, const QString& text, std::function<bool()> enabled,
                                   std::function<void()> handler, const QKeySequence& key)
{
    // The save command saves with the check of the row shown.
    if (qstrcmp(name, "mnPost") == 0)
        handler = [this, save = std::move(handler)] { RunSave(save); };
    QAction* command = MakeCommand(this, name, text, std::move(handler), key);
    m_rules.append({QPointer<QObject>(command), std::move(enabled)});
    return command;
}

void TEditorWindow::Follow(QWidget* control, When when)
{
    m_rules.append({QPointer<QObject>(control), [this, when] { return Enabled(when); }});
}

bool TEditorWindow::Enabled(When when) const
{
    const bool browse = m_mode == emBrowse;
    switch (when) {
    case When::Always: return true;
    case When::Browse: return browse;
    case When::BrowseOnRow: return browse && HasRows();
    case When::BrowseWithRight: return browse && m_writeRight;
    case When::BrowseOnRowWithRight: return browse && HasRows() && m_writeRight;
    case When::Editing: return !browse;
    }
    return false;
}

void TEditorWindow::UpdateCommands()
{
    for (const auto& [object, enabled] : m_rules) {
        if (!object)
            continue;
        const bool on = enabled();
        if (auto* action = qobject_cast<QAction*>(object.data()))
            action->setEnabled(on);
        else if (auto* widget = qobject_cast<QWidget*>(object.data()))
            widget->setEnabled(on);
    }
    if (m_navigator) {
        m_navigator->setEnabled(m_mode == emBrowse || m_options.navigatorWhileEditing);
        m_navigator->UpdateButtons();
    }
}

// --- building -----------------------------------------------------------------

void TEditorWindow::AttachPopupMenu(QMenu* menu, QAbstractButton* menuButton, bool contextMenu)
{
    if (menuButton)
        connect(menuButton, &QAbstractButton::clicked, menu, [menu, menuButton] { DropMenuUnder(menu, menuButton); });
    if (!contextMenu)
        return;
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, menu,
            [this, menu](const QPoint& pos) { menu->popup(mapToGlobal(pos)); });
    for (QAction* a : menu->actions())
        if (!a->isSeparator() && !a->menu())
            AddWindowKey(a);
}

void TEditorWindow::AddWindowKey(QAction* command)
{
    command->setShortcutContext(Qt::WindowShortcut);
    addAction(command);
}

void TEditorWindow::AddEnterToNext(QWidget* control)
{
    m_enterToNext.append(control);
    control->installEventFilter(this);
}

// --- mode -----------------------------------------------------------------------

void TEditorWindow::SetMode(TEditMode mode)
{
    m_mode = mode;
    // Browse mode follows the showing of a row: the row the entry will edit.
    if (mode == emBrowse)
        TakeShownRow();
    UpdateCommands();
    if (m_entryPanel)
        m_entryPanel->setEnabled(mode != emBrowse);
    RecolourEntryPanel();
    stBar->SetPanel(m_options.modePanel, ModeText(mode));
    ModeChanged();
}

void TEditorWindow::RecolourEntryPanel()
{
    if (!m_entryPanel || !m_options.recolourEntryPanel)
        return;
    const bool editing = m_mode != emBrowse;
    // The panel colours are set at start-up; until then the system's own serve.
    QColor colour = editing ? PanelColorActive : PanelColorInactive;
    if (!colour.isValid())
        colour = palette().color(editing ? QPalette::Window : QPalette::Button);
    m_entryPanel->setAutoFillBackground(true);
    QPalette p = m_entryPanel->palette();
    p.setColor(QPalette::Window, colour);
    p.setColor(QPalette::Disabled, QPalette::Window, colour);
    m_entryPanel->setPalette(p);
    SetPanelEditColors(m_entryPanel, editing);
}

// --- the row shown and its saves ---------------------------------------------------

void TEditorWindow::TakeShownRow()
{
    m_shownRow = ShownRow();
    if (m_shownRow.IsSet() && m_shownRow.version < 0)
        m_shownRow.version = ReadRowVersion(m_shownRow);
}

void TEditorWindow::RunChecked(const TShownRow& row, const std::function<void()>& write)
{
    TSaveCheck check(row);
    try {
        write();
    } catch (const ERowChanged& changed) {
        // Nothing was written; the entry stays on screen in its mode unless
        // the user asks for the stored row.
        if (ShowMessageBox(changed.Deleted() ? RowDeletedQuestion : RowChangedQuestion, mtWarning,
                           MsgButton::Yes | MsgButton::No)
            == mrYes)
            ShowStoredRow();
        Abort();
    }
    // The row now bears this operation's version, unless the window has read it again since.
    if (check.Stored() && m_shownRow.SameRow(row) && m_shownRow.version == row.version)
        m_shownRow.version = check.WrittenVersion();
}

void TEditorWindow::RunSave(const std::function<void()>& save)
{
    RunChecked(m_mode == emEdit ? m_shownRow : TShownRow{}, save);
}

bool TEditorWindow::SaveEntry()
{
    return RunGuarded([this] { RunSave([this] { btnPostClick(); }); }) && m_mode == emBrowse;
}

void TEditorWindow::WriteShownRow(const std::function<void()>& write)
{
    RunChecked(m_shownRow, write);
}

// --- write right -----------------------------------------------------------------

void TEditorWindow::RequireWriteRight() const
{
    if (!m_writeRight)
        DenyWriteAccess();
}

// --- refusals ----------------------------------------------------------------------

bool TEditorWindow::Confirm(const QString& text)
{
    return AskConfirmation(text);
}

void TEditorWindow::ConfirmOrRefuse(const QString& text, QWidget* focus)
{
    if (Confirm(text))
        return;
    if (focus && focus->isEnabled())
        focus->setFocus();
    Abort();
}

void TEditorWindow::CancelEntry()
{
    if (m_mode == emBrowse)
        return;
    if (m_options.confirmCancel
        && !Confirm(m_options.cancelQuestion.isEmpty() ? CancelQuestion : m_options.cancelQuestion))
        return;
    btnCancelClick();
}

// --- window events -------------------------------------------------------------------

void TEditorWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // The window's keys win over the edits' own (Ctrl+Z, Ctrl+S, Ctrl+Del...).
    if (!actions().isEmpty())
        for (QWidget* w : findChildren<QWidget*>())
            w->installEventFilter(this);
    RunGuarded([this] { m_writeRight = CanWrite(RightItem(), CurrentUserId); });
    SetMode(emBrowse);
    RunGuarded([this] { FormShow(); });
}

bool TEditorWindow::MayClose()
{
    if (m_mode == emBrowse)
        return true;
    switch (m_options.closeRule) {
    case CloseRule::Discard:
        return true;
    case CloseRule::SaveAndStay:
        switch (ShowMessageBox(UnsavedQuestion, mtWarning, MsgButton::Yes | MsgButton::No | MsgButton::Cancel)) {
        case mrYes:
            // The save keeps the window open, in browse mode when it succeeded.
            RunGuarded([this] { RunSave([this] { btnPostClick(); }); });
            return false;
        case mrNo:
            return true;
        default:
            return false;
        }
    case CloseRule::SaveThenClose:
        switch (ShowMessageBox(m_options.closeQuestion, mtWarning, MsgButton::Yes | MsgButton::No | MsgButton::Cancel)) {
        case mrYes:
            // A refused or failed save keeps the window open, in its mode.
            return SaveEntry();
        case mrNo:
            RunGuarded([this] { btnCancelClick(); });
            return true;
        default:
            return false;
        }
    }
    return true;
}

void TEditorWindow::done(int result)
{
    // Every way out (the close button, Esc, the window's close box) comes here.
    if (m_closing)
        return;
    m_closing = true;
    bool mayClose = false;
    RunGuarded([&] { mayClose = MayClose(); });
    if (mayClose) {
        RunGuarded([this] { FormClose(); });
        QDialog::done(result);
    }
    m_closing = false;
}

void TEditorWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        if (m_mode != emBrowse)
            RunGuarded([this] { CancelEntry(); });
        else
            close();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();   // no default button
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TEditorWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence sequence(key->keyCombination());
        for (QAction* a : actions())
            if (a->isEnabled() && a->shortcut() == sequence)
                return true;   // not taken by the control: the window's shortcut runs
    } else if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            m_enterToNext.contains(static_cast<QWidget*>(watched))) {
            // The next field the user types in: the pick and calendar buttons
            // and the read-only fields on the way are passed, so that Enter
            // never rests where it has nothing more to do.
            const auto typedIn = [](const QWidget* w) {
                const auto* edit = qobject_cast<const QLineEdit*>(w);
                return !qobject_cast<const QAbstractButton*>(w) && !(edit && edit->isReadOnly());
            };
            for (int step = 0; step < 64; ++step) {
                focusNextChild();
                const QWidget* now = focusWidget();
                if (!now || now == watched || typedIn(now))
                    break;
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

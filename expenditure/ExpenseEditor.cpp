#include "expenditure/ExpenseEditor.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "security/Rights.h"
#include "core/Routines.h"
#include "ui/UCalendar.h"
#include "data/UDM.h"
#include "db/Database.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QStyle>
#include <QToolButton>

// ---------------------------------------------------------------------------
// TRecordNavigator

TRecordNavigator::TRecordNavigator(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("MyNavigator"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto make = [this, layout](const char* name, QStyle::StandardPixmap icon, const QString& hint) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(style()->standardIcon(icon));
        b->setToolTip(hint);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(b);
        return b;
    };
    btnFirst = make("btnFirst", QStyle::SP_MediaSkipBackward, QStringLiteral("Premier"));
    btnPrior = make("btnPrior", QStyle::SP_MediaSeekBackward, QStringLiteral("Précédent"));
    btnNext = make("btnNext", QStyle::SP_MediaSeekForward, QStringLiteral("Suivant"));
    btnLast = make("btnLast", QStyle::SP_MediaSkipForward, QStringLiteral("Dernier"));
    connect(btnFirst, &QToolButton::clicked, this, [this] { MoveTo(0); });
    connect(btnPrior, &QToolButton::clicked, this, [this] { if (m_query) MoveTo(m_query->row() - 1); });
    connect(btnNext, &QToolButton::clicked, this, [this] { if (m_query) MoveTo(m_query->row() + 1); });
    connect(btnLast, &QToolButton::clicked, this, [this] { if (m_query) MoveTo(m_query->rowCount() - 1); });
    UpdateButtons();
}

void TRecordNavigator::SetQuery(db::Query* query)
{
    m_query = query;
    UpdateButtons();
}

void TRecordNavigator::MoveTo(int row)
{
    if (!m_query || !m_query->isOpen() || m_query->isEmpty())
        return;
    row = qBound(0, row, m_query->rowCount() - 1);
    if (row == m_query->row())
        return;
    m_query->moveTo(row);
    UpdateButtons();
    emit moved();
}

void TRecordNavigator::UpdateButtons()
{
    const bool rows = m_query && m_query->isOpen() && !m_query->isEmpty();
    const bool atFirst = !rows || m_query->row() <= 0;
    const bool atLast = !rows || m_query->row() >= m_query->rowCount() - 1;
    btnFirst->setEnabled(!atFirst);
    btnPrior->setEnabled(!atFirst);
    btnNext->setEnabled(!atLast);
    btnLast->setEnabled(!atLast);
}

void TRecordNavigator::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        UpdateButtons();
    QWidget::changeEvent(event);
}

// ---------------------------------------------------------------------------
// TExpenseLookups

TExpenseLookups::TExpenseLookups(QString fnmSql, QString benSql)
    : m_fnmSql(std::move(fnmSql)), m_benSql(std::move(benSql))
{
}

void TExpenseLookups::Reload()
{
    Clear();
    db::Query qFNM(DM->LURDO, m_fnmSql);
    qFNM.open();
    for (qFNM.first(); !qFNM.eof(); qFNM.next())
        m_lines.insert(qFNM.asInt(QStringLiteral("ID_FNM")),
                       BudgetLine{qFNM.asString(QStringLiteral("CHAP")), qFNM.asString(QStringLiteral("ART")),
                                  qFNM.asString(QStringLiteral("PAR")), qFNM.asString(QStringLiteral("INTITULE"))});
    db::Query qBen(DM->LURDO, m_benSql);
    qBen.open();
    for (qBen.first(); !qBen.eof(); qBen.next())
        m_names.insert(qBen.asInt(QStringLiteral("ID_BEN")), qBen.asString(QStringLiteral("NOM")));
}

void TExpenseLookups::Clear()
{
    m_lines.clear();
    m_names.clear();
}

// ---------------------------------------------------------------------------
// TExpenseEditor

const QString TExpenseEditor::UnsavedQuestion = QStringLiteral(
    "Les informations modifiées n'ont pas été enregistrées !\rVoulez-vous les enregistrer maintenant ?");

TExpenseEditor::TExpenseEditor(QWidget* parent, QString writeItemName, const QList<int>& statusWidths, int modePanel)
    : QDialog(parent), m_writeItemName(std::move(writeItemName)), m_modePanel(modePanel)
{
    stBar = new TStatusBar(statusWidths, this);
}

TExpenseEditor::~TExpenseEditor() = default;

QString TExpenseEditor::ModeText(TEditMode mode)
{
    switch (mode) {
    case emBrowse: return QStringLiteral("Affichage");
    case emInsert: return QStringLiteral("Insertion");
    case emEdit: return QStringLiteral("Edition");
    }
    return QString();
}

QString TExpenseEditor::ReplaceQuestion(const QString& oldText, const QString& newText)
{
    return QStringLiteral("Remplacer ") + oldText + QStringLiteral("  par  ") + newText + QStringLiteral(" ?");
}

QDate TExpenseEditor::ParseDate(const QString& text)
{
    const QString t = text.trimmed();
    QDate d = QDate::fromString(t, QStringLiteral("dd/MM/yyyy"));
    if (!d.isValid())
        d = QDate::fromString(t, QStringLiteral("d/M/yyyy"));
    return d;
}

QString TExpenseEditor::DateText(const QDate& date)
{
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

QString TExpenseEditor::PaymentOrderNumberOf(qint64 idDepense)
{
    // Joined from the expense's lines (indexed), not by a subquery per order
    // header, so that it stays fast on a full year; the first order by key.
    db::Query q(DM->LURDO, QStringLiteral("SELECT FIRST 1 E.NO_MDT FROM DET_MDT D JOIN ENT_MDT E ON E.ID_MDT=D.ID_MDT "
                                          "WHERE D.ID_DETAIL=:ID_DETAIL ORDER BY E.ID_MDT"));
    q.setParam(QStringLiteral("ID_DETAIL"), idDepense);
    q.open();
    return q.isEmpty() ? QString() : q.asString(QStringLiteral("NO_MDT")).trimmed();
}

QString TExpenseEditor::CommitmentNumberOf(qint64 idDepense)
{
    // Any sheet holding the expense, cancelled or not; the first by key.
    db::Query q(DM->LURDO, QStringLiteral("SELECT FIRST 1 E.NO_ENG FROM DET_ENG D JOIN ENT_ENG E ON E.ID_ENG=D.ID_ENG "
                                          "WHERE D.ID_DETAIL=:ID_DETAIL AND D.OBJET=0 ORDER BY E.ID_ENG"));
    q.setParam(QStringLiteral("ID_DETAIL"), idDepense);
    q.open();
    return q.isEmpty() ? QString() : q.asString(QStringLiteral("NO_ENG")).trimmed();
}

// --- building -----------------------------------------------------------------

void TExpenseEditor::AddControl(Role role, QObject* control)
{
    m_controls.append({role, QPointer<QObject>(control)});
}

void TExpenseEditor::AttachPopupMenu(QMenu* menu, QAbstractButton* menuButton)
{
    // The items' shortcuts work on the whole window while the menu is closed;
    // a disabled item's shortcut does nothing.
    for (QAction* a : menu->actions()) {
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, menu,
            [this, menu](const QPoint& pos) { menu->popup(mapToGlobal(pos)); });
    if (menuButton)
        connect(menuButton, &QAbstractButton::clicked, menu, [menu, menuButton] { DropMenuUnder(menu, menuButton); });
}

void TExpenseEditor::AddEnterToNext(QWidget* control)
{
    m_enterToNext.append(control);
    control->installEventFilter(this);
}

void TExpenseEditor::AttachDateField(QLineEdit* edit, QAbstractButton* button, std::function<void()> afterPick)
{
    if (button)
        connect(button, &QAbstractButton::clicked, this,
                Guarded([this, edit, afterPick] { PickDate(edit, false, afterPick); }));
    m_dateDoubleClick.insert(edit, [this, edit, afterPick] { PickDate(edit, true, afterPick); });
    edit->installEventFilter(this);
}

void TExpenseEditor::PickDate(QLineEdit* edit, bool askReplace, const std::function<void()>& afterPick)
{
    const std::optional<QDate> date = TfrmCalendar::PickDate(this);
    if (!date)
        return;
    const QString picked = DateText(*date);
    const QString old = edit->text();
    if (askReplace && !old.trimmed().isEmpty() && old != picked) {
        if (!Confirm(ReplaceQuestion(old, picked)))
            return;
    }
    edit->setText(picked);
    if (afterPick)
        afterPick();
}

// --- mode -----------------------------------------------------------------------

void TExpenseEditor::SetMode(TEditMode mode)
{
    m_mode = mode;
    ApplyButtonTable();
    stBar->SetPanel(m_modePanel, ModeText(mode));
}

void TExpenseEditor::ApplyButtonTable()
{
    const bool browse = m_mode == emBrowse;
    const bool rows = HasRows();
    for (const auto& [role, object] : m_controls) {
        if (!object)
            continue;
        bool enabled = false;
        switch (role) {
        case Role::Browse: enabled = browse; break;
        case Role::BrowseWrite: enabled = browse && m_writeRight; break;
        case Role::RowWrite: enabled = browse && rows && m_writeRight; break;
        case Role::Editing: enabled = !browse; break;
        }
        if (auto* w = qobject_cast<QWidget*>(object.data()))
            w->setEnabled(enabled);
        else if (auto* a = qobject_cast<QAction*>(object.data()))
            a->setEnabled(enabled);
    }
    if (m_navigator)
        m_navigator->setEnabled(browse);
    if (m_entryPanel)
        m_entryPanel->setEnabled(!browse);
    RecolourEntryPanel();
}

void TExpenseEditor::RecolourEntryPanel()
{
    if (!m_entryPanel)
        return;
    const bool editing = m_mode != emBrowse;
    m_entryPanel->setAutoFillBackground(true);
    QPalette pal = m_entryPanel->palette();
    pal.setColor(QPalette::Window, m_entryPanel->isEnabled() ? PanelColorActive : PanelColorInactive);
    m_entryPanel->setPalette(pal);
    SetPanelEditColors(m_entryPanel, editing);
}

// --- write right -----------------------------------------------------------------

void TExpenseEditor::TakeWriteRight()
{
    m_writeRight = CanWrite(m_writeItemName, CurrentUserId);
}

void TExpenseEditor::RequireWriteRight() const
{
    if (!m_writeRight)
        DenyWriteAccess();
}

// --- refusals ----------------------------------------------------------------------

void TExpenseEditor::Refuse(const QString& text, QWidget* focus)
{
    ShowMessageBox(text, mtInformation, MsgButton::OK);
    if (focus && focus->isEnabled())
        focus->setFocus();
    Abort();
}

bool TExpenseEditor::Confirm(const QString& text)
{
    return AskConfirmation(text);
}

void TExpenseEditor::ConfirmOrRefuse(const QString& text, QWidget* focus)
{
    if (Confirm(text))
        return;
    if (focus && focus->isEnabled())
        focus->setFocus();
    Abort();
}

QDate TExpenseEditor::CheckDateField(QLineEdit* edit, const QString& missing, const QString& incorrect,
                                     const QString& otherYear, YearRule rule)
{
    const QString text = edit->text().trimmed();
    if (text.isEmpty())
        Refuse(missing, edit);
    const QDate date = ParseDate(text);
    if (!date.isValid())
        Refuse(incorrect, edit);
    if (QString::number(date.year()) != FiscalYear.trimmed()) {
        if (rule == YearRule::Refuse)
            Refuse(otherYear, edit);
        ConfirmOrRefuse(otherYear, edit);
    }
    return date;
}

void TExpenseEditor::RefuseByState(int state, const std::array<QString, 3>& texts)
{
    if (state >= 1 && state <= 3) {
        ShowInfo(texts[size_t(state - 1)]);
        Abort();
    }
}

// --- window events -------------------------------------------------------------------

bool TExpenseEditor::FormCloseQuery()
{
    if (m_mode == emBrowse)
        return true;
    switch (ShowMessageBox(UnsavedQuestion, mtWarning, MsgButton::Yes | MsgButton::No | MsgButton::Cancel)) {
    case mrYes:
        // The save keeps the window open, in browse mode when it succeeded.
        RunGuarded([this] { btnPostClick(); });
        return false;
    case mrNo:
        return true;
    default:
        return false;
    }
}

void TExpenseEditor::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        RunGuarded([this] { FormShow(); });
}

void TExpenseEditor::closeEvent(QCloseEvent* event)
{
    bool canClose = false;
    RunGuarded([&] { canClose = FormCloseQuery(); });
    if (!canClose) {
        event->ignore();
        return;
    }
    RunGuarded([this] { FormClose(); });
    m_closing = true;
    QDialog::closeEvent(event);
    m_closing = false;
}

void TExpenseEditor::reject()
{
    // Every way out goes through the close question.
    if (m_closing)
        QDialog::reject();
    else
        close();
}

void TExpenseEditor::keyPressEvent(QKeyEvent* event)
{
    if (!HandleEditWindowKeys(this, event, m_cancelButton.data(), [this] { btnCancelClick(); }))
        QDialog::keyPressEvent(event);
}

bool TExpenseEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        auto it = m_dateDoubleClick.constFind(watched);
        if (it != m_dateDoubleClick.constEnd()) {
            const auto fn = it.value();
            RunGuarded(fn);
            return true;
        }
    } else if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            m_enterToNext.contains(static_cast<QWidget*>(watched))) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

#include "ui/ListRecordPattern.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "data/AccessRights.h"
#include "core/Routines.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"
#include "controls/Gradient.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableView>

// ---------------------------------------------------------------------------
// Small shared pieces

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

void DropMenuUnder(QMenu* menu, QWidget* button)
{
    PopupPoint = button->mapToGlobal(QPoint(0, button->height()));
    menu->popup(PopupPoint);
}

bool AskConfirmation(const QString& text)
{
    return ShowMessageBox(text, mtConfirmation, MsgButton::Yes | MsgButton::No) == mrYes;
}

bool HasRows(const QString& sql, const QString& param, qint64 key)
{
    TWaitCursor wait;
    db::Query q(DM->LURDO, sql);
    q.setParam(param, key);
    q.open();
    const bool rows = !q.isEmpty();
    q.close();
    return rows;
}

bool ConfirmAndDelete(const QString& question, const QString& deleteSql, const QString& param, qint64 key)
{
    if (!AskConfirmation(question))
        return false;
    TWaitCursor wait;
    TWriteGuard write;
    db::Query q(DM->LURDO, deleteSql);
    q.setParam(param, key);
    q.exec();
    try {
        write.Commit();
    } catch (const EAbort&) {
        return false;
    }
    return true;
}

QueryTableModel::RowTint EvenRowTint(const QColor& color)
{
    return [color](int shownRow, const QueryRow&) { return (shownRow + 1) % 2 == 0 ? color : QColor(); };
}

void SetSelectionColors(QWidget* grid, const QColor& background, const QColor& text)
{
    QPalette p = grid->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Highlight, background);
        p.setColor(group, QPalette::HighlightedText, text);
    }
    grid->setPalette(p);
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
// List window

TRefListForm::TRefListForm(const Options& options, QWidget* parent) : QDialog(parent)
{
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);

    pnlTop = new QFrame(this);
    pnlTop->setObjectName(QStringLiteral("pnlTop"));
    static_cast<QFrame*>(pnlTop)->setFrameShape(QFrame::StyledPanel);
    m_topLayout = new QHBoxLayout(pnlTop);
    m_topLayout->setContentsMargins(4, 4, 4, 4);
    btnModif = MakeButton(pnlTop, "btnModif", QStringLiteral("Ajouter/Modifier"), QString(),
                          QStyle::SP_FileDialogDetailedView);
    btnDelete = MakeButton(pnlTop, "btnDelete", QStringLiteral("Supprimer"),
                           QStringLiteral("Supprimer l'enregistrement courant"), QStyle::SP_TrashIcon);
    btnOk = MakeButton(this, "btnOk", QStringLiteral("OK"), QString(), QStyle::SP_DialogOkButton);
    btnOk->setAutoDefault(true);
    btnOk->setDefault(true);
    btnMenu = MakeButton(pnlTop, "btnMenu", QStringLiteral("&Menu..."));
    btnClose = MakeButton(pnlTop, "btnClose", QStringLiteral("Fermer"), QString(), QStyle::SP_DialogCloseButton);
    m_topLayout->addWidget(btnModif);
    m_topLayout->addWidget(btnDelete);
    if (options.okInTopPanel)
        m_topLayout->addWidget(btnOk);
    m_topLayout->addStretch(1);
    m_topLayout->addWidget(btnMenu);
    m_topLayout->addWidget(btnClose);
    m_layout->addWidget(pnlTop);

    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("grid"));
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->setWordWrap(false);
    m_model = new QueryTableModel(this);
    m_model->attachView(m_grid);
    m_layout->addWidget(m_grid, 1);

    QList<int> widths;
    for (int i = 0; i < options.statusPanels; ++i)
        widths << (i == 0 ? 80 : (i == 1 ? 50 : 130));
    stBar = new TStatusBar(widths, this);
    m_layout->addWidget(stBar);

    PopMenu = new QMenu(this);
    PopMenu->setObjectName(QStringLiteral("PopMenu"));
    mnModif = PopMenu->addAction(QStringLiteral("Ajouter/Modifier"));
    mnModif->setObjectName(QStringLiteral("mnModif"));
    mnDelete = PopMenu->addAction(QStringLiteral("Supprimer l'enregistrement"));
    mnDelete->setObjectName(QStringLiteral("mnDelete"));
    PopMenu->addSeparator();
    mnClose = PopMenu->addAction(QStringLiteral("Fermer"));
    mnClose->setObjectName(QStringLiteral("mnClose"));

    if (options.popupIsContextMenu) {
        // The popup is the window's context menu: right click shows it and its keys act.
        for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(m_grid)}) {
            w->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(w, &QWidget::customContextMenuRequested, this,
                    [this, w](const QPoint& pos) { PopMenu->popup(w->mapToGlobal(pos)); });
        }
        m_grid->viewport()->setContextMenuPolicy(Qt::NoContextMenu);
    }

    connect(btnModif, &QPushButton::clicked, this, Guarded([this] { btnModifClick(); }));
    connect(mnModif, &QAction::triggered, this, Guarded([this] { btnModifClick(); }));
    connect(btnDelete, &QPushButton::clicked, this, Guarded([this] { btnDeleteClick(); }));
    connect(mnDelete, &QAction::triggered, this, Guarded([this] { btnDeleteClick(); }));
    connect(btnOk, &QPushButton::clicked, this, Guarded([this] { accept(); }));
    connect(btnMenu, &QPushButton::clicked, this, Guarded([this] { btnMenuClick(); }));
    connect(btnClose, &QPushButton::clicked, this, Guarded([this] { reject(); }));
    connect(mnClose, &QAction::triggered, this, Guarded([this] { reject(); }));
    connect(m_grid, &QTableView::doubleClicked, this, Guarded([this] { GridDoubleClick(); }));
}

void TRefListForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    btnOk->setVisible(SelectMode);
    RunGuarded([this] { FormShow(); });
    RunGuarded([this] { UpdateButtons(); });
    m_grid->setFocus();
}

void TRefListForm::UpdateButtons()
{
    const bool rows = !m_model->isEmpty();
    btnDelete->setEnabled(rows);
    mnDelete->setEnabled(rows);
}

void TRefListForm::btnModifClick()
{
    const QList<db::Value> key = m_model->currentKey();
    RunRecordWindow();
    m_model->refresh();
    if (key.isEmpty() || !m_model->locate(key))
        m_model->setCurrentRow(0);
    UpdateButtons();
}

void TRefListForm::btnDeleteClick()
{
    if (m_model->isEmpty())
        return;
    DeleteCurrent();
    UpdateButtons();
}

void TRefListForm::btnMenuClick()
{
    DropMenuUnder(PopMenu, btnMenu);
}

void TRefListForm::GridDoubleClick()
{
    if (SelectMode) {
        if (!m_model->isEmpty())
            accept();
    } else {
        btnModifClick();
    }
}

void TRefListForm::done(int result)
{
    if (m_closing)
        return;
    m_closing = true;
    RunGuarded([this, result] { SetResults(result == QDialog::Accepted); });
    RunGuarded([this] { FormClose(); });
    QDialog::done(result);
    m_closing = false;
}

// ---------------------------------------------------------------------------
// Record window

TRefRecordForm::TRefRecordForm(const Options& options, QWidget* parent)
    : QDialog(parent), m_options(options)
{
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);

    if (options.gradientButtonBar) {
        auto* g = new TGradient(this);
        g->SetStyle(gsReflectedV);
        g->SetColorEnd(QColor(0xC0, 0xC0, 0xC0));
        pnlBtns = g;
    } else {
        auto* f = new QFrame(this);
        f->setFrameShape(QFrame::StyledPanel);
        pnlBtns = f;
    }
    pnlBtns->setObjectName(QStringLiteral("pnlBtns"));
    m_btnLayout = new QHBoxLayout(pnlBtns);
    m_btnLayout->setContentsMargins(4, 4, 4, 4);
    btnAdd = MakeButton(pnlBtns, "btnAdd", QStringLiteral("Nouveau"), QStringLiteral("Nouvel enregistrement"),
                        QStyle::SP_FileIcon);
    btnEdit = MakeButton(pnlBtns, "btnEdit", QStringLiteral("Modifier"),
                         QStringLiteral("Modifier l'enregistrement courant"), QStyle::SP_FileDialogDetailedView);
    btnPost = MakeButton(pnlBtns, "btnPost", QStringLiteral("Enregistrer"),
                         QStringLiteral("Enregistrer les modifications"), QStyle::SP_DialogSaveButton);
    btnCancel = MakeButton(pnlBtns, "btnCancel", QStringLiteral("Annuler"),
                           QStringLiteral("Annuler les modifications"), QStyle::SP_DialogCancelButton);
    m_btnLayout->addWidget(btnAdd);
    m_btnLayout->addWidget(btnEdit);
    m_btnLayout->addWidget(btnPost);
    m_btnLayout->addWidget(btnCancel);
    if (options.hasDelete) {
        btnDelete = MakeButton(pnlBtns, "btnDelete", QStringLiteral("Supprimer"),
                               QStringLiteral("Supprimer l'enregistrement courant"), QStyle::SP_TrashIcon);
        m_btnLayout->addWidget(btnDelete);
    }
    if (options.hasNavigator) {
        m_btnLayout->addSpacing(12);
        btnFirst = MakeButton(pnlBtns, "btnFirst", QString(), QStringLiteral("Premier"), QStyle::SP_MediaSkipBackward);
        btnPrior = MakeButton(pnlBtns, "btnPrior", QString(), QStringLiteral("Précédent"),
                              QStyle::SP_MediaSeekBackward);
        btnNext = MakeButton(pnlBtns, "btnNext", QString(), QStringLiteral("Suivant"), QStyle::SP_MediaSeekForward);
        btnLast = MakeButton(pnlBtns, "btnLast", QString(), QStringLiteral("Dernier"), QStyle::SP_MediaSkipForward);
        for (QPushButton* b : {btnFirst, btnPrior, btnNext, btnLast})
            m_btnLayout->addWidget(b);
        connect(btnFirst, &QPushButton::clicked, this, Guarded([this] { Navigate(nbFirst); }));
        connect(btnPrior, &QPushButton::clicked, this, Guarded([this] { Navigate(nbPrior); }));
        connect(btnNext, &QPushButton::clicked, this, Guarded([this] { Navigate(nbNext); }));
        connect(btnLast, &QPushButton::clicked, this, Guarded([this] { Navigate(nbLast); }));
    }
    m_btnLayout->addStretch(1);
    btnMenu = MakeButton(pnlBtns, "btnMenu", QStringLiteral("&Menu"));
    btnClose = MakeButton(pnlBtns, "btnClose", QStringLiteral("Fermer"), QStringLiteral("Quitter cet écran"),
                          QStyle::SP_DialogCloseButton);
    m_btnLayout->addWidget(btnMenu);
    m_btnLayout->addWidget(btnClose);
    if (options.gradientButtonBar) {
        // The gradient control asks for a square of its own; the bar is only as
        // high as its buttons, the entry panel takes the rest.
        pnlBtns->setFixedHeight(m_btnLayout->sizeHint().height());
    }
    m_layout->addWidget(pnlBtns);

    auto* main = new QFrame(this);
    main->setFrameShape(QFrame::StyledPanel);
    main->setAutoFillBackground(true);
    pnlMain = main;
    pnlMain->setObjectName(QStringLiteral("pnlMain"));
    m_layout->addWidget(pnlMain, 1);

    stBar = new TStatusBar({80, 50, 80, 100}, this);
    m_layout->addWidget(stBar);

    PopMenu = new QMenu(this);
    PopMenu->setObjectName(QStringLiteral("PopMenu"));
    mnAdd = PopMenu->addAction(QStringLiteral("&Nouveau"));
    mnAdd->setObjectName(QStringLiteral("mnAdd"));
    mnAdd->setShortcut(QKeySequence(Qt::Key_Insert));
    mnEdit = PopMenu->addAction(QStringLiteral("Modifier"));
    mnEdit->setObjectName(QStringLiteral("mnEdit"));
    mnEdit->setShortcut(QKeySequence(Qt::Key_F2));
    if (options.hasDelete) {
        mnDelete = PopMenu->addAction(QStringLiteral("&Supprimer"));
        mnDelete->setObjectName(QStringLiteral("mnDelete"));
        mnDelete->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    }
    PopMenu->addSeparator();
    mnPost = PopMenu->addAction(QStringLiteral("&Enregistrer"));
    mnPost->setObjectName(QStringLiteral("mnPost"));
    mnPost->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnCancel = PopMenu->addAction(QStringLiteral("&Annuler"));
    mnCancel->setObjectName(QStringLiteral("mnCancel"));
    mnCancel->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    PopMenu->addSeparator();
    mnClose = PopMenu->addAction(QStringLiteral("&Fermer"));
    mnClose->setObjectName(QStringLiteral("mnClose"));

    if (options.popupIsContextMenu) {
        // The popup is the window's context menu: right click shows it and its keys act.
        setContextMenuPolicy(Qt::CustomContextMenu);
        connect(this, &QWidget::customContextMenuRequested, this,
                [this](const QPoint& pos) { PopMenu->popup(mapToGlobal(pos)); });
        for (QAction* a : PopMenu->actions())
            if (!a->isSeparator())
                addAction(a);
    }

    connect(btnAdd, &QPushButton::clicked, this, Guarded([this] { btnAddClick(); }));
    connect(mnAdd, &QAction::triggered, this, Guarded([this] { btnAddClick(); }));
    connect(btnEdit, &QPushButton::clicked, this, Guarded([this] { btnEditClick(); }));
    connect(mnEdit, &QAction::triggered, this, Guarded([this] { btnEditClick(); }));
    connect(btnPost, &QPushButton::clicked, this, Guarded([this] { btnPostClick(); }));
    connect(mnPost, &QAction::triggered, this, Guarded([this] { btnPostClick(); }));
    connect(btnCancel, &QPushButton::clicked, this, Guarded([this] { btnCancelClick(); }));
    connect(mnCancel, &QAction::triggered, this, Guarded([this] { btnCancelClick(); }));
    if (btnDelete) {
        connect(btnDelete, &QPushButton::clicked, this, Guarded([this] { btnDeleteClick(); }));
        connect(mnDelete, &QAction::triggered, this, Guarded([this] { btnDeleteClick(); }));
    }
    connect(btnMenu, &QPushButton::clicked, this, Guarded([this] { btnMenuClick(); }));
    connect(btnClose, &QPushButton::clicked, this, Guarded([this] { close(); }));
    connect(mnClose, &QAction::triggered, this, Guarded([this] { close(); }));
}

bool TRefRecordForm::RowsEmpty() const
{
    QueryTableModel* rows = Rows();
    return !rows || rows->isEmpty();
}

void TRefRecordForm::SetOwnRows(const QString& sql, const QString& keyField)
{
    m_keyField = keyField;
    m_ownRows = new QueryTableModel(this);
    m_ownRows->setKeyFields({keyField});
    m_ownQuery = std::make_unique<db::Query>(DM->LURDO, sql);
    m_ownRows->setQuery(m_ownQuery.get());
}

void TRefRecordForm::ReadOwnRows(qint64 key)
{
    m_ownQuery->close();
    m_ownQuery->open();
    m_ownRows->reload();
    if (!m_ownRows->locate({db::Value(key)}))
        m_ownRows->setCurrentRow(0);
}

qint64 TRefRecordForm::CurrentKey() const
{
    QueryTableModel* rows = Rows();
    if (!rows || rows->isEmpty())
        return -1;
    return rows->current().asInt(m_keyField.isEmpty() ? rows->keyFields().value(0) : m_keyField);
}

void TRefRecordForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    if (m_options.popupIsContextMenu) {
        // The window's own keys win over the edits' (Ctrl+Z, Ctrl+Del).
        for (QWidget* w : findChildren<QWidget*>())
            w->installEventFilter(this);
    }
    stBar->SetPanel(0, CurrentUserCode);
    if (m_options.showFiscalYear)
        stBar->SetPanel(1, FiscalYear);
    RunGuarded([this] { m_canWrite = CanWrite(RightItem(), CurrentUserId); });
    SetMode(emBrowse);
    RunGuarded([this] {
        OpenRows();
        LoadCurrent();
    });
}

void TRefRecordForm::LoadCurrent()
{
    ShowCurrent();
    SetMode(emBrowse);
}

void TRefRecordForm::SetMode(TEditMode mode)
{
    m_mode = mode;
    const bool browse = mode == emBrowse;
    const bool rows = !RowsEmpty();
    const bool editDelete = browse && (m_options.editDeleteAlways || rows);
    btnAdd->setEnabled(browse);
    mnAdd->setEnabled(browse);
    btnEdit->setEnabled(editDelete);
    mnEdit->setEnabled(editDelete);
    if (btnDelete) {
        btnDelete->setEnabled(editDelete);
        mnDelete->setEnabled(editDelete);
    }
    btnPost->setEnabled(!browse);
    btnCancel->setEnabled(!browse);
    mnPost->setEnabled(!browse);
    mnCancel->setEnabled(!browse);
    if (btnFirst) {
        bool nav = browse || m_options.navigatorInEditModes;
        if (m_options.navigatorNeedsRows)
            nav = nav && rows;
        for (QPushButton* b : {btnFirst, btnPrior, btnNext, btnLast})
            b->setEnabled(nav);
    }
    pnlMain->setEnabled(!browse);
    // The panel colours are set at start-up; until then the system's own serve.
    QColor colour = browse ? PanelColorInactive : PanelColorActive;
    if (!colour.isValid())
        colour = palette().color(browse ? QPalette::Button : QPalette::Window);
    QPalette p = pnlMain->palette();
    p.setColor(QPalette::Window, colour);
    p.setColor(QPalette::Disabled, QPalette::Window, colour);
    pnlMain->setPalette(p);
    SetPanelEditColors(pnlMain, !browse);
    stBar->SetPanel(3, mode == emInsert ? QStringLiteral("Insertion")
                       : mode == emEdit ? QStringLiteral("Edition")
                                        : QStringLiteral("Affichage"));
}

void TRefRecordForm::btnAddClick()
{
    if (!m_canWrite)
        DenyWriteAccess();
    SetMode(emInsert);
    ClearForInsert();
}

void TRefRecordForm::btnEditClick()
{
    if (!m_canWrite)
        DenyWriteAccess();
    SetMode(emEdit);
    FocusForEdit();
}

void TRefRecordForm::btnPostClick()
{
    if (m_mode == emBrowse)
        return;
    if (!m_canWrite)
        DenyWriteAccess();
    SaveRecord();
    SetMode(emBrowse);
}

void TRefRecordForm::btnCancelClick()
{
    LoadCurrent();
}

void TRefRecordForm::btnDeleteClick()
{
    if (!m_canWrite)
        DenyWriteAccess();
    DeleteRecord();
}

void TRefRecordForm::btnMenuClick()
{
    DropMenuUnder(PopMenu, btnMenu);
}

void TRefRecordForm::Navigate(NavButton button)
{
    QueryTableModel* rows = Rows();
    if (!rows || rows->isEmpty())
        return;
    int r = rows->currentRow();
    switch (button) {
    case nbFirst: r = 0; break;
    case nbPrior: r = std::max(0, r - 1); break;
    case nbNext: r = std::min(rows->rowCount() - 1, r + 1); break;
    case nbLast: r = rows->rowCount() - 1; break;
    }
    rows->setCurrentRow(r);
    LoadCurrent();
}

bool TRefRecordForm::TrySave()
{
    return RunGuarded([this] { btnPostClick(); }) && m_mode == emBrowse;
}

void TRefRecordForm::done(int result)
{
    if (m_mode != emBrowse) {
        if (m_options.closeQuestion == cqSaveThenClose) {
            const int answer = ShowMessageBox(
                QStringLiteral("Voulez-vous enregistrer les modifications apportées à cet élément ?"), mtWarning,
                MsgButton::Yes | MsgButton::No | MsgButton::Cancel);
            if (answer == mrYes) {
                if (!TrySave())
                    return;
            } else if (answer == mrNo) {
                RunGuarded([this] { btnCancelClick(); });
            } else {
                return;
            }
        } else {
            const int answer = ShowMessageBox(
                QStringLiteral("Les informations modifiées n'ont pas été enregistrées !\rVoulez-vous les enregistrer "
                               "maintenant ?"),
                mtWarning, MsgButton::Yes | MsgButton::No | MsgButton::Cancel);
            if (answer == mrYes) {
                TrySave();
                return;
            }
            if (answer != mrNo)
                return;
        }
    }
    QDialog::done(result);
}

bool HandleEditWindowKeys(QWidget* window, QKeyEvent* event, const QAbstractButton* cancelButton,
                          const std::function<void()>& cancelClick)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        if (cancelButton && cancelButton->isEnabled())
            RunGuarded(cancelClick);
        else
            window->close();
        return true;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return true;
    }
    return false;
}

void TRefRecordForm::keyPressEvent(QKeyEvent* event)
{
    if (!HandleEditWindowKeys(this, event, btnCancel, [this] { btnCancelClick(); }))
        QDialog::keyPressEvent(event);
}

bool TRefRecordForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        auto* ke = static_cast<QKeyEvent*>(event);
        const QKeySequence seq(ke->keyCombination());
        for (QAction* a : actions()) {
            if (a->isEnabled() && a->shortcut() == seq)
                return true;   // not accepted: the window's shortcut runs
        }
    }
    return QDialog::eventFilter(watched, event);
}

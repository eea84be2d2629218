#include "ui/ListRecordPattern.h"

#include "controls/Gradient.h"
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "data/WriteGuard.h"
#include "ui/RecordNavigator.h"

#include <QAction>
#include <QBoxLayout>
#include <QFrame>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTableView>

// ---------------------------------------------------------------------------
// Small shared pieces

bool ConfirmAndDelete(const QString& question, const std::function<void()>& deletion,
                      const std::function<bool()>& refusedNow)
{
    if (!AskConfirmation(question))
        return false;
    TWaitCursor wait;
    TWriteGuard write;
    if (refusedNow && refusedNow())
        return false;
    deletion();
    try {
        write.Commit();
    } catch (const EAbort&) {
        return false;
    }
    return true;
}

bool ConfirmAndDeleteUnused(const QString& question, const std::function<void()>& deletion,
                            const std::function<bool()>& inUse, const QString& refusal)
{
    const auto refusedInUse = [&] {
        bool used = false;
        {
            TWaitCursor wait;
            used = inUse();
        }
        if (used)
            ShowInfo(refusal);
        return used;
    };
    return !refusedInUse() && ConfirmAndDelete(question, deletion, refusedInUse);
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

// ---------------------------------------------------------------------------
// List window

TRefListForm::TRefListForm(const Options& options, QWidget* parent) : TListWindow(parent)
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

    PopMenu = PopupMenu();
    mnModif = AddCommand("mnModif", QStringLiteral("Ajouter/Modifier"), [this] { btnModifClick(); }, QKeySequence(),
                         btnModif);
    mnDelete = AddCommand("mnDelete", QStringLiteral("Supprimer l'enregistrement"), [this] { btnDeleteClick(); },
                          QKeySequence(), btnDelete);
    PopMenu->addSeparator();
    mnClose = AddCommand("mnClose", QStringLiteral("Fermer"), [this] { reject(); }, QKeySequence(), btnClose);

    if (options.popupIsContextMenu) {
        // The popup is the window's context menu: right click shows it and its keys act.
        for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(m_grid)}) {
            w->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(w, &QWidget::customContextMenuRequested, this,
                    [this, w](const QPoint& pos) { PopMenu->popup(w->mapToGlobal(pos)); });
        }
        m_grid->viewport()->setContextMenuPolicy(Qt::NoContextMenu);
    }

    connect(btnOk, &QPushButton::clicked, this, Guarded([this] { accept(); }));
    connect(btnMenu, &QPushButton::clicked, this, Guarded([this] { btnMenuClick(); }));
    connect(m_grid, &QTableView::doubleClicked, this, Guarded([this] { GridDoubleClick(); }));
    SetFirstFocus(m_grid);
}

void TRefListForm::FirstShow()
{
    btnOk->setVisible(SelectMode);
    TListWindow::FirstShow();
    RunGuarded([this] { UpdateButtons(); });
}

void TRefListForm::UpdateButtons()
{
    mnDelete->setEnabled(!m_model->isEmpty());
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
    : TEditorWindow(TEditorWindow::Options{.statusWidths = {80, 50, 80, 100},
                                           .modePanel = 3,
                                           .closeRule = options.closeQuestion == cqSaveThenClose
                                                            ? CloseRule::SaveThenClose
                                                            : CloseRule::SaveAndStay,
                                           .closeQuestion = QStringLiteral(
                                               "Voulez-vous enregistrer les modifications apportées à cet élément ?"),
                                           .navigatorWhileEditing = options.navigatorInEditModes},
                    parent),
      m_options(options)
{
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);

    // Commands.
    const bool editDeleteAlways = options.editDeleteAlways;
    auto onRowOrAlways = [this, editDeleteAlways] { return Mode() == emBrowse && (editDeleteAlways || !RowsEmpty()); };
    mnAdd = AddCommand("mnAdd", QStringLiteral("&Nouveau"), When::Browse, [this] { btnAddClick(); },
                       QKeySequence(Qt::Key_Insert));
    mnEdit = AddCommand("mnEdit", QStringLiteral("Modifier"), onRowOrAlways, [this] { btnEditClick(); },
                        QKeySequence(Qt::Key_F2));
    if (options.hasDelete)
        mnDelete = AddCommand("mnDelete", QStringLiteral("&Supprimer"), onRowOrAlways, [this] { btnDeleteClick(); },
                              QKeySequence(Qt::CTRL | Qt::Key_Delete));
    mnPost = AddCommand("mnPost", QStringLiteral("&Enregistrer"), When::Editing, [this] { btnPostClick(); },
                        QKeySequence(Qt::CTRL | Qt::Key_S));
    mnCancel = AddCommand("mnCancel", QStringLiteral("&Annuler"), When::Editing, [this] { CancelEntry(); },
                          QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnClose = AddCommand("mnClose", QStringLiteral("&Fermer"), When::Always, [this] { close(); });

    // The tool bar.
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
    BindButton(btnAdd, mnAdd);
    BindButton(btnEdit, mnEdit);
    BindButton(btnPost, mnPost);
    BindButton(btnCancel, mnCancel);
    m_btnLayout->addWidget(btnAdd);
    m_btnLayout->addWidget(btnEdit);
    m_btnLayout->addWidget(btnPost);
    m_btnLayout->addWidget(btnCancel);
    if (options.hasDelete) {
        btnDelete = MakeButton(pnlBtns, "btnDelete", QStringLiteral("Supprimer"),
                               QStringLiteral("Supprimer l'enregistrement courant"), QStyle::SP_TrashIcon);
        BindButton(btnDelete, mnDelete);
        m_btnLayout->addWidget(btnDelete);
    }
    if (options.hasNavigator) {
        m_btnLayout->addSpacing(12);
        MyNavigator = new TRecordNavigator(pnlBtns);
        btnFirst = MyNavigator->btnFirst;
        btnPrior = MyNavigator->btnPrior;
        btnNext = MyNavigator->btnNext;
        btnLast = MyNavigator->btnLast;
        m_btnLayout->addWidget(MyNavigator);
        SetNavigator(MyNavigator);
        connect(MyNavigator, &TRecordNavigator::moved, this, Guarded([this] { LoadCurrent(); }));
    }
    m_btnLayout->addStretch(1);
    btnMenu = MakeButton(pnlBtns, "btnMenu", QStringLiteral("&Menu"));
    btnClose = MakeButton(pnlBtns, "btnClose", QStringLiteral("Fermer"), QStringLiteral("Quitter cet écran"),
                          QStyle::SP_DialogCloseButton);
    BindButton(btnClose, mnClose);
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
    pnlMain = main;
    pnlMain->setObjectName(QStringLiteral("pnlMain"));
    m_layout->addWidget(pnlMain, 1);
    SetEntryPanel(pnlMain);
    m_layout->addWidget(stBar);

    PopMenu = new QMenu(this);
    PopMenu->setObjectName(QStringLiteral("PopMenu"));
    PopMenu->addAction(mnAdd);
    PopMenu->addAction(mnEdit);
    if (mnDelete)
        PopMenu->addAction(mnDelete);
    PopMenu->addSeparator();
    PopMenu->addAction(mnPost);
    PopMenu->addAction(mnCancel);
    PopMenu->addSeparator();
    PopMenu->addAction(mnClose);
    // The popup is the window's context menu only where the window says so;
    // its keys act only then.
    AttachPopupMenu(PopMenu, btnMenu, options.popupIsContextMenu);
}

bool TRefRecordForm::RowsEmpty() const
{
    QueryTableModel* rows = Rows();
    return !rows || rows->isEmpty();
}

void TRefRecordForm::SetOwnRows(QueryTableModel::Reader reader, const QString& keyField)
{
    m_keyField = keyField;
    m_ownRows = new QueryTableModel(this);
    m_ownRows->setKeyFields({keyField});
    m_ownRows->setReader(std::move(reader));
}

void TRefRecordForm::ReadOwnRows(qint64 key)
{
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

TShownRow TRefRecordForm::ShownRow() const
{
    QueryTableModel* rows = Rows();
    if (RowTable().isEmpty() || !rows || rows->isEmpty())
        return {};
    const QueryRow row = rows->current();
    return TShownRow{RowTable(), m_keyField.isEmpty() ? rows->keyFields().value(0) : m_keyField, CurrentKey(),
                     row.hasField(QStringLiteral("ROW_VERSION")) ? row.asInt(QStringLiteral("ROW_VERSION")) : -1};
}

void TRefRecordForm::ShowStoredRow()
{
    const qint64 key = CurrentKey();
    if (m_ownRows)
        ReadOwnRows(key);
    else if (QueryTableModel* rows = Rows())
        rows->refresh();
    LoadCurrent();
}

void TRefRecordForm::FormShow()
{
    stBar->SetPanel(0, CurrentUserCode);
    if (m_options.showFiscalYear)
        stBar->SetPanel(1, FiscalYear);
    if (MyNavigator)
        MyNavigator->SetModel(Rows());
    OpenRows();
    LoadCurrent();
}

void TRefRecordForm::LoadCurrent()
{
    ShowCurrent();
    SetMode(emBrowse);
}

void TRefRecordForm::btnAddClick()
{
    RequireWriteRight();
    SetMode(emInsert);
    ClearForInsert();
}

void TRefRecordForm::btnEditClick()
{
    RequireWriteRight();
    SetMode(emEdit);
    FocusForEdit();
}

void TRefRecordForm::btnPostClick()
{
    if (Mode() == emBrowse)
        return;
    RequireWriteRight();
    SaveRecord();
    SetMode(emBrowse);
}

void TRefRecordForm::btnCancelClick()
{
    LoadCurrent();
}

void TRefRecordForm::btnDeleteClick()
{
    RequireWriteRight();
    DeleteRecord();
}

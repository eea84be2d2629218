#include "security/UListUsers.h"

#include "data/MenuItems.h"
#include "security/AccountStore.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "ui/ListRecordPattern.h"
#include "core/MessageBox.h"
#include "ui/QueryTableModel.h"
#include "security/Rights.h"
#include "security/UUsers.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TfrmListUsers::TfrmListUsers(QWidget* parent)
    : TListWindow(parent)
{
    setObjectName(QStringLiteral("frmListUsers"));
    setWindowTitle(QStringLiteral("Utilisateurs"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(560, 380);

    btnModif = MakeButton(this, "btnModif", QStringLiteral("Ajouter/Modifier"), QStringLiteral("Ajouter/Modifier"));
    btnDelete = MakeButton(this, "btnDelete", QStringLiteral("Supprimer"), QStringLiteral("Supprimer l'enregistrement courant"));
    btnMenu = MakeButton(this, "btnMenu", QStringLiteral("&Menu..."));
    btnClose = MakeButton(this, "btnClose", QStringLiteral("Fermer"));

    auto* top = new QHBoxLayout;
    top->addWidget(btnModif);
    top->addWidget(btnDelete);
    top->addWidget(btnMenu);
    top->addStretch();
    top->addWidget(btnClose);

    grdUsers = new QTableView(this);
    grdUsers->setObjectName(QStringLiteral("grdUsers"));
    grdUsers->verticalHeader()->setVisible(false);
    grdUsers->verticalHeader()->setDefaultSectionSize(20);
    grdUsers->horizontalHeader()->setStretchLastSection(true);
    // The selected row: white on navy, whether the grid has the focus or not.
    SetSelectionColors(grdUsers, QColor(0, 0, 128), Qt::white);

    m_model = new QueryTableModel(this);
    m_model->addColumn(QStringLiteral("NOM"), QStringLiteral("Nom"));
    m_model->addColumn(QStringLiteral("PRENOM"), QStringLiteral("Prénom"));
    m_model->addColumn(QStringLiteral("USER_ID"), QStringLiteral("Code Utilisateur"));
    m_model->setKeyFields({QStringLiteral("ID_USER")});
    // Rows with an even record number on $F5F5F5.
    m_model->setRowTint(EvenRowTint(QColor(0xF5, 0xF5, 0xF5)));
    m_model->attachView(grdUsers);
    grdUsers->setColumnWidth(0, 190);
    grdUsers->setColumnWidth(1, 190);

    stBar = new TStatusBar({80, 60}, this);

    PopMenu = PopupMenu();
    mnModif = AddCommand("mnModif", QStringLiteral("Ajouter/Modifier"), [this] { btnModifClick(); }, QKeySequence(),
                         btnModif);
    mnDelete = AddCommand("mnDelete", QStringLiteral("Supprimer l'enregistrement"), [this] { btnDeleteClick(); },
                          QKeySequence(), btnDelete);
    PopMenu->addSeparator();
    mnClose = AddCommand("mnClose", QStringLiteral("Fermer"), [this] { close(); }, QKeySequence(), btnClose);

    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(4, 4, 4, 0);
    main->addLayout(top);
    main->addWidget(grdUsers, 1);
    main->addWidget(stBar);

    connect(grdUsers, &QTableView::doubleClicked, this, Guarded([this] { btnModifClick(); }));
    connect(btnMenu, &QPushButton::clicked, this, Guarded([this] { btnMenuClick(); }));
    PopUpMenuOn(grdUsers);
    SetFirstFocus(grdUsers);
}

TfrmListUsers::~TfrmListUsers() = default;

void TfrmListUsers::Execute(QWidget* parent)
{
    TfrmListUsers dlg(parent);
    dlg.exec();
}

void TfrmListUsers::FormShow()
{
    m_canWrite = CanWrite(MenuItem::mnUsers, CurrentUserId);
    stBar->SetPanel(0, CurrentUserCode);
    stBar->SetPanel(1, FiscalYear);
    m_model->setReader([this] { return m_users.ReadAll(); });
    m_model->refresh();
    UpdateDeleteButton();
}

void TfrmListUsers::UpdateDeleteButton()
{
    const bool enabled = m_canWrite && !m_model->isEmpty();
    mnDelete->setEnabled(enabled);
}

int TfrmListUsers::CurrentUserKey() const
{
    return m_model->isEmpty() ? -1 : TAccountStore::UserOf(m_model->current()).id;
}

void TfrmListUsers::btnModifClick()
{
    if (!m_canWrite)
        DenyWriteAccess();
    const int id = CurrentUserKey();
    {
        TfrmUsers form(this);
        form.IdUser = id;
        form.exec();
    }
    m_model->refresh();
    if (!m_model->locate({db::Value(qint64(id))}) && !m_model->isEmpty())
        m_model->setCurrentRow(0);
    UpdateDeleteButton();
}

void TfrmListUsers::btnDeleteClick()
{
    if (!m_canWrite)
        DenyWriteAccess();
    if (m_model->isEmpty())
        return;
    if (ShowMessageBox(QStringLiteral("Etes-vous sûr de vouloir supprimer cet enregistrement ?"), mtConfirmation,
                       MsgButton::Yes | MsgButton::No) != mrYes)
        return;
    DeleteUserRows(CurrentUserKey());
    m_model->refresh();
    if (!m_model->isEmpty())
        m_model->setCurrentRow(0);
    UpdateDeleteButton();
}

void TfrmListUsers::btnMenuClick()
{
    DropMenuUnder(PopMenu, btnMenu);
}

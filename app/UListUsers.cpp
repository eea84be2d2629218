#include "app/UListUsers.h"

#include "app/GlobalState.h"
#include "app/Guard.h"
#include "app/ListRecordPattern.h"
#include "app/MessageBox.h"
#include "app/QueryTableModel.h"
#include "app/Rights.h"
#include "app/UDM.h"
#include "app/UUsers.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

TfrmListUsers::TfrmListUsers(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmListUsers"));
    setWindowTitle(QStringLiteral("Utilisateurs"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(560, 380);

    btnModif = new QPushButton(QStringLiteral("Ajouter/Modifier"), this);
    btnModif->setObjectName(QStringLiteral("btnModif"));
    btnModif->setToolTip(QStringLiteral("Ajouter/Modifier"));
    btnDelete = new QPushButton(QStringLiteral("Supprimer"), this);
    btnDelete->setObjectName(QStringLiteral("btnDelete"));
    btnDelete->setToolTip(QStringLiteral("Supprimer l'enregistrement courant"));
    btnMenu = new QPushButton(QStringLiteral("&Menu..."), this);
    btnMenu->setObjectName(QStringLiteral("btnMenu"));
    btnClose = new QPushButton(QStringLiteral("Fermer"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    for (QPushButton* b : {btnModif, btnDelete, btnMenu, btnClose})
        b->setAutoDefault(false);

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
    grdUsers->setContextMenuPolicy(Qt::CustomContextMenu);
    // The selected row: white on navy, whether the grid has the focus or not.
    QPalette pal = grdUsers->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Highlight, QColor(0, 0, 128));
        pal.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    grdUsers->setPalette(pal);

    m_model = new QueryTableModel(this);
    m_model->addColumn(QStringLiteral("NOM"), QStringLiteral("Nom"));
    m_model->addColumn(QStringLiteral("PRENOM"), QStringLiteral("Prénom"));
    m_model->addColumn(QStringLiteral("USER_ID"), QStringLiteral("Code Utilisateur"));
    m_model->setKeyFields({QStringLiteral("ID_USER")});
    // Rows with an even record number on $F5F5F5.
    m_model->setRowTint([](int row, const QueryRow&) {
        return (row + 1) % 2 == 0 ? QColor(0xF5, 0xF5, 0xF5) : QColor();
    });
    m_model->attachView(grdUsers);
    grdUsers->setColumnWidth(0, 190);
    grdUsers->setColumnWidth(1, 190);

    stBar = new QStatusBar(this);
    stBar->setObjectName(QStringLiteral("stBar"));
    stBar->setSizeGripEnabled(false);
    const int widths[2] = {80, 60};
    for (int i = 0; i < 2; ++i) {
        stPanel[i] = new QLabel(stBar);
        stPanel[i]->setAlignment(Qt::AlignCenter);
        stPanel[i]->setMinimumWidth(widths[i]);
        stPanel[i]->setFrameShape(QFrame::Panel);
        stPanel[i]->setFrameShadow(QFrame::Sunken);
        stBar->addWidget(stPanel[i]);
    }

    PopMenu = new QMenu(this);
    PopMenu->setObjectName(QStringLiteral("PopMenu"));
    mnModif = PopMenu->addAction(QStringLiteral("Ajouter/Modifier"));
    mnModif->setObjectName(QStringLiteral("mnModif"));
    mnDelete = PopMenu->addAction(QStringLiteral("Supprimer l'enregistrement"));
    mnDelete->setObjectName(QStringLiteral("mnDelete"));
    PopMenu->addSeparator();
    mnClose = PopMenu->addAction(QStringLiteral("Fermer"));
    mnClose->setObjectName(QStringLiteral("mnClose"));

    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(4, 4, 4, 0);
    main->addLayout(top);
    main->addWidget(grdUsers, 1);
    main->addWidget(stBar);

    connect(btnModif, &QPushButton::clicked, this, Guarded([this] { btnModifClick(); }));
    connect(mnModif, &QAction::triggered, this, Guarded([this] { btnModifClick(); }));
    connect(grdUsers, &QTableView::doubleClicked, this, Guarded([this] { btnModifClick(); }));
    connect(btnDelete, &QPushButton::clicked, this, Guarded([this] { btnDeleteClick(); }));
    connect(mnDelete, &QAction::triggered, this, Guarded([this] { btnDeleteClick(); }));
    connect(btnMenu, &QPushButton::clicked, this, Guarded([this] { btnMenuClick(); }));
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
    connect(mnClose, &QAction::triggered, this, &QDialog::close);
    connect(grdUsers, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopMenu->popup(grdUsers->viewport()->mapToGlobal(pos)); });
}

TfrmListUsers::~TfrmListUsers() = default;

void TfrmListUsers::Execute(QWidget* parent)
{
    TfrmListUsers dlg(parent);
    dlg.exec();
}

void TfrmListUsers::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        RunGuarded([this] { FormShow(); });
    }
}

void TfrmListUsers::FormShow()
{
    m_canWrite = CanWrite(QStringLiteral("mnUsers"), CurrentUserId);
    stPanel[0]->setText(CurrentUserCode);
    stPanel[1]->setText(FiscalYear);
    qUsers = std::make_unique<db::Query>(DM->LURDO, QStringLiteral("SELECT * FROM T_USERS ORDER BY NOM, PRENOM"));
    m_model->setQuery(qUsers.get());
    m_model->refresh();
    UpdateDeleteButton();
    grdUsers->setFocus();
}

void TfrmListUsers::UpdateDeleteButton()
{
    const bool enabled = m_canWrite && !m_model->isEmpty();
    btnDelete->setEnabled(enabled);
    mnDelete->setEnabled(enabled);
}

int TfrmListUsers::CurrentUserKey() const
{
    return m_model->isEmpty() ? -1 : int(m_model->current().asInt(QStringLiteral("ID_USER")));
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

void TfrmListUsers::done(int result)
{
    if (qUsers)
        qUsers->close();
    QDialog::done(result);
}

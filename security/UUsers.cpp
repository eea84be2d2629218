#include "security/UUsers.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "ui/ListRecordPattern.h"
#include "core/MessageBox.h"
#include "security/Rights.h"
#include "core/Routines.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QString ModeText(TfrmUsers::TMode mode)
{
    switch (mode) {
    case TfrmUsers::dmInsert: return QStringLiteral("Insertion");
    case TfrmUsers::dmEdit: return QStringLiteral("Edition");
    default: return QStringLiteral("Affichage");
    }
}

} // namespace

void DeleteUserRows(int idUser)
{
    TWriteGuard write;
    db::Query delRights(DM->LURDO, QStringLiteral("DELETE FROM T_SECUR WHERE ID_USER=:ID_USER"));
    delRights.setParam(QStringLiteral("ID_USER"), idUser);
    delRights.exec();
    db::Query delUser(DM->LURDO, QStringLiteral("DELETE FROM T_USERS WHERE ID_USER=:ID_USER"));
    delUser.setParam(QStringLiteral("ID_USER"), idUser);
    delUser.exec();
    write.Commit();
}

TfrmUsers::TfrmUsers(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmUsers"));
    setWindowTitle(QStringLiteral("Fiche Utilisateur"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    pnlBtns = new QFrame(this);
    pnlBtns->setObjectName(QStringLiteral("pnlBtns"));
    pnlBtns->setFrameShape(QFrame::StyledPanel);
    auto makeButton = [this](const char* name, const QString& caption, const QString& hint) {
        QPushButton* b = MakeButton(pnlBtns, name, caption, hint);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    btnAdd = makeButton("btnAdd", QStringLiteral("Nouveau"), QStringLiteral("Nouvel utilisateur"));
    btnEdit = makeButton("btnEdit", QStringLiteral("Modifier"), QStringLiteral("Modifier l'utilisateur"));
    btnPost = makeButton("btnPost", QStringLiteral("Enregistrer"), QStringLiteral("Enregistrer les modifications"));
    btnCancel = makeButton("btnCancel", QStringLiteral("Annuler"), QStringLiteral("Annuler les modifications"));
    btnDelete = makeButton("btnDelete", QStringLiteral("Supprimer"), QStringLiteral("Supprimer l'utilisateur"));
    btnMenu = makeButton("btnMenu", QStringLiteral("&Menu"), QStringLiteral("Menu"));
    btnClose = makeButton("btnClose", QStringLiteral("Fermer"), QStringLiteral("Quitter cet écran"));

    MyNavigator = new QFrame(pnlBtns);
    MyNavigator->setObjectName(QStringLiteral("MyNavigator"));
    auto makeNav = [this](const char* name, QStyle::StandardPixmap icon, const QString& hint) {
        auto* b = new QToolButton(MyNavigator);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(style()->standardIcon(icon));
        b->setToolTip(hint);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    btnFirst = makeNav("btnFirst", QStyle::SP_MediaSkipBackward, QStringLiteral("Premier"));
    btnPrior = makeNav("btnPrior", QStyle::SP_MediaSeekBackward, QStringLiteral("Précédent"));
    btnNext = makeNav("btnNext", QStyle::SP_MediaSeekForward, QStringLiteral("Suivant"));
    btnLast = makeNav("btnLast", QStyle::SP_MediaSkipForward, QStringLiteral("Dernier"));
    auto* navLayout = new QHBoxLayout(MyNavigator);
    navLayout->setContentsMargins(0, 0, 0, 0);
    navLayout->setSpacing(1);
    for (QToolButton* b : {btnFirst, btnPrior, btnNext, btnLast})
        navLayout->addWidget(b);

    auto* btnLayout = new QHBoxLayout(pnlBtns);
    btnLayout->setContentsMargins(4, 4, 4, 4);
    for (QPushButton* b : {btnAdd, btnEdit, btnPost, btnCancel, btnDelete, btnMenu})
        btnLayout->addWidget(b);
    btnLayout->addSpacing(8);
    btnLayout->addWidget(MyNavigator);
    btnLayout->addStretch();
    btnLayout->addWidget(btnClose);

    pnlMain = new QFrame(this);
    pnlMain->setObjectName(QStringLiteral("pnlMain"));
    pnlMain->setFrameShape(QFrame::StyledPanel);
    pnlMain->setAutoFillBackground(true);
    edNom = new QLineEdit(pnlMain);
    edNom->setObjectName(QStringLiteral("edNom"));
    edNom->setMaxLength(40);
    edPrenom = new QLineEdit(pnlMain);
    edPrenom->setObjectName(QStringLiteral("edPrenom"));
    edPrenom->setMaxLength(40);
    edUser = new QLineEdit(pnlMain);
    edUser->setObjectName(QStringLiteral("edUser"));
    edUser->setMaxLength(15);
    edPW = new QLineEdit(pnlMain);
    edPW->setObjectName(QStringLiteral("edPW"));
    edPW->setMaxLength(10);
    for (QLineEdit* e : {edNom, edPrenom, edUser, edPW})
        MakeUpperCaseEdit(e);
    cmbTypeUser = new QComboBox(pnlMain);
    cmbTypeUser->setObjectName(QStringLiteral("cmbTypeUser"));
    cmbTypeUser->addItems({QStringLiteral("MANAGER"), QStringLiteral("SIMPLE USER")});
    cmbTypeUser->setCurrentIndex(-1);

    auto* pwRow = new QHBoxLayout;
    pwRow->addWidget(edPW);
    pwRow->addWidget(new QLabel(QStringLiteral("(Max. 10 car)"), pnlMain));
    pwRow->addStretch();
    auto* form = new QFormLayout(pnlMain);
    form->addRow(QStringLiteral("Nom : "), edNom);
    form->addRow(QStringLiteral("Prénom : "), edPrenom);
    form->addRow(QStringLiteral("Code Utilisateur : "), edUser);
    form->addRow(QStringLiteral("Mot de passe : "), pwRow);
    form->addRow(QStringLiteral("Type d'utilisateur : "), cmbTypeUser);

    // 0 the user code, 1 the fiscal year, 3 the mode.
    stBar = new TStatusBar({80, 60, 120, 80}, this);

    PopMenu = new QMenu(this);
    PopMenu->setObjectName(QStringLiteral("PopMenu"));
    auto makeItem = [this](const char* name, const QString& caption, const QKeySequence& key) {
        QAction* a = PopMenu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
        return a;
    };
    mnAdd = makeItem("mnAdd", QStringLiteral("&Nouveau"), QKeySequence(Qt::Key_Insert));
    mnEdit = makeItem("mnEdit", QStringLiteral("Modifier"), QKeySequence(Qt::Key_F2));
    mnDelete = makeItem("mnDelete", QStringLiteral("&Supprimer"), QKeySequence(Qt::CTRL | Qt::Key_Delete));
    PopMenu->addSeparator();
    mnPost = makeItem("mnPost", QStringLiteral("&Enregistrer"), QKeySequence(Qt::CTRL | Qt::Key_S));
    mnCancel = makeItem("mnCancel", QStringLiteral("&Annuler"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    PopMenu->addSeparator();
    mnClose = makeItem("mnClose", QStringLiteral("&Fermer"), QKeySequence());
    setContextMenuPolicy(Qt::CustomContextMenu);

    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 0);
    main->setSpacing(2);
    main->addWidget(pnlBtns);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(6, 4, 6, 4);
    body->addWidget(pnlMain);
    main->addLayout(body, 1);
    main->addWidget(stBar);
    resize(600, 260);

    connect(btnAdd, &QPushButton::clicked, this, Guarded([this] { btnAddClick(); }));
    connect(mnAdd, &QAction::triggered, this, Guarded([this] { btnAddClick(); }));
    connect(btnEdit, &QPushButton::clicked, this, Guarded([this] { btnEditClick(); }));
    connect(mnEdit, &QAction::triggered, this, Guarded([this] { btnEditClick(); }));
    connect(btnPost, &QPushButton::clicked, this, Guarded([this] { btnPostClick(); }));
    connect(mnPost, &QAction::triggered, this, Guarded([this] { btnPostClick(); }));
    connect(btnCancel, &QPushButton::clicked, this, Guarded([this] { btnCancelClick(); }));
    connect(mnCancel, &QAction::triggered, this, Guarded([this] { btnCancelClick(); }));
    connect(btnDelete, &QPushButton::clicked, this, Guarded([this] { btnDeleteClick(); }));
    connect(mnDelete, &QAction::triggered, this, Guarded([this] { btnDeleteClick(); }));
    connect(btnMenu, &QPushButton::clicked, this, Guarded([this] { btnMenuClick(); }));
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
    connect(mnClose, &QAction::triggered, this, &QDialog::close);
    connect(btnFirst, &QToolButton::clicked, this, Guarded([this] { Navigate(-2); }));
    connect(btnPrior, &QToolButton::clicked, this, Guarded([this] { Navigate(-1); }));
    connect(btnNext, &QToolButton::clicked, this, Guarded([this] { Navigate(1); }));
    connect(btnLast, &QToolButton::clicked, this, Guarded([this] { Navigate(2); }));
    connect(edPW, &QLineEdit::textEdited, this, [this] { m_pwEdited = true; });
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopMenu->popup(mapToGlobal(pos)); });
}

TfrmUsers::~TfrmUsers() = default;

void TfrmUsers::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        RunGuarded([this] { FormShow(); });
    }
}

void TfrmUsers::OpenUsers()
{
    if (!qUsers)
        qUsers = std::make_unique<db::Query>(DM->LURDO, QStringLiteral("SELECT * FROM T_USERS ORDER BY NOM, PRENOM"));
    qUsers->close();
    qUsers->open();
}

bool TfrmUsers::LocateUser(int idUser)
{
    for (int r = 0; r < qUsers->rowCount(); ++r) {
        qUsers->moveTo(r);
        if (qUsers->asInt(QStringLiteral("ID_USER")) == idUser)
            return true;
    }
    qUsers->first();
    return false;
}

bool TfrmUsers::LocateCode(const QString& code)
{
    for (int r = 0; r < qUsers->rowCount(); ++r) {
        qUsers->moveTo(r);
        if (qUsers->asString(QStringLiteral("USER_ID")).trimmed() == code)
            return true;
    }
    qUsers->first();
    return false;
}

int TfrmUsers::CurrentId() const
{
    if (!qUsers || qUsers->isEmpty() || qUsers->eof())
        return -1;
    return int(qUsers->asInt(QStringLiteral("ID_USER")));
}

void TfrmUsers::FormShow()
{
    m_canWrite = CanWrite(QStringLiteral("mnUsers"), CurrentUserId);
    stBar->SetPanel(0, CurrentUserCode);
    stBar->SetPanel(1, FiscalYear);
    OpenUsers();
    LocateUser(IdUser);
    ShowCurrent();
}

void TfrmUsers::ShowCurrent()
{
    if (!qUsers || qUsers->isEmpty()) {
        for (QLineEdit* e : {edNom, edPrenom, edUser, edPW})
            e->clear();
        cmbTypeUser->setCurrentIndex(-1);
    } else {
        edNom->setText(qUsers->asString(QStringLiteral("NOM")));
        edPrenom->setText(qUsers->asString(QStringLiteral("PRENOM")));
        edUser->setText(qUsers->asString(QStringLiteral("USER_ID")));
        edPW->setText(qUsers->asString(QStringLiteral("PW")));
        const bool noType = qUsers->isNull(QStringLiteral("TYPE_USER"));
        const int type = int(qUsers->asInt(QStringLiteral("TYPE_USER")));
        cmbTypeUser->setCurrentIndex(noType || type < 0 || type > 1 ? -1 : type);
    }
    SetMode(dmBrowse);
}

void TfrmUsers::SetMode(TMode mode)
{
    m_mode = mode;
    m_pwEdited = false;
    const bool editing = mode != dmBrowse;
    const bool hasRows = qUsers && !qUsers->isEmpty();
    btnAdd->setEnabled(!editing && m_canWrite);
    mnAdd->setEnabled(btnAdd->isEnabled());
    btnEdit->setEnabled(!editing && m_canWrite && hasRows);
    mnEdit->setEnabled(btnEdit->isEnabled());
    btnDelete->setEnabled(!editing && m_canWrite && hasRows);
    mnDelete->setEnabled(btnDelete->isEnabled());
    btnPost->setEnabled(editing);
    mnPost->setEnabled(editing);
    btnCancel->setEnabled(editing);
    mnCancel->setEnabled(editing);
    MyNavigator->setEnabled(!editing);

    pnlMain->setEnabled(editing);
    QPalette pal = pnlMain->palette();
    const QColor inactive = PanelColorInactive.isValid() ? PanelColorInactive : palette().color(QPalette::Button);
    pal.setColor(QPalette::Window, editing ? PanelColorActive : inactive);
    pnlMain->setPalette(pal);
    SetPanelEditColors(pnlMain, editing);
    stBar->SetPanel(3, ModeText(mode));
}

void TfrmUsers::Navigate(int step)
{
    if (m_mode != dmBrowse || !qUsers || qUsers->isEmpty())
        return;
    switch (step) {
    case -2: qUsers->first(); break;
    case -1: if (qUsers->row() > 0) qUsers->moveTo(qUsers->row() - 1); break;
    case 1: if (qUsers->row() < qUsers->rowCount() - 1) qUsers->next(); break;
    default: qUsers->last(); break;
    }
    ShowCurrent();
}

void TfrmUsers::btnAddClick()
{
    if (!m_canWrite)
        DenyWriteAccess();
    SetMode(dmInsert);
    for (QLineEdit* e : {edNom, edPrenom, edUser, edPW})
        e->clear();
    cmbTypeUser->setCurrentIndex(-1);
    edNom->setFocus();
}

void TfrmUsers::btnEditClick()
{
    if (!m_canWrite)
        DenyWriteAccess();
    if (CurrentId() < 0)
        return;
    SetMode(dmEdit);
    edNom->setFocus();
}

void TfrmUsers::btnCancelClick()
{
    ShowCurrent();
}

void TfrmUsers::btnPostClick()
{
    if (!m_canWrite)
        DenyWriteAccess();
    if (m_mode == dmBrowse)
        return;
    const QString nom = edNom->text().trimmed().toUpper();
    const QString prenom = edPrenom->text().trimmed().toUpper();
    const QString code = edUser->text().trimmed().toUpper();
    const bool pwEdited = m_pwEdited || m_mode == dmInsert;
    const QString pw = edPW->text().trimmed().toUpper();

    auto refuse = [](const QString& message, QWidget* field) {
        ShowMessageBox(message, mtWarning, MsgButton::OK);
        field->setFocus();
        Abort();
    };
    if (nom.isEmpty())
        refuse(QStringLiteral("Le Nom de l'utilisateur est manquant !"), edNom);
    if (code.isEmpty())
        refuse(QStringLiteral("Le Code Utilisateur est manquant !"), edUser);

    // The code is tested as it will be stored: trimmed.
    const int editedId = m_mode == dmEdit ? CurrentId() : -1;
    db::Query taken(DM->LURDO, QStringLiteral("SELECT ID_USER, USER_ID FROM T_USERS WHERE USER_ID=:USER_ID"));
    taken.setParam(QStringLiteral("USER_ID"), code);
    taken.open();
    for (taken.first(); !taken.eof(); taken.next())
        if (m_mode == dmInsert || taken.asInt(QStringLiteral("ID_USER")) != editedId)
            refuse(QStringLiteral("Ce Code Utilisateur existe déjà !"), edUser);
    if (cmbTypeUser->currentIndex() < 0)
        refuse(QStringLiteral("Le type d'Utilisateur est manquant !"), cmbTypeUser);

    // The normalised texts go back into the fields.
    edNom->setText(nom);
    edPrenom->setText(prenom);
    edUser->setText(code);
    if (pwEdited)
        edPW->setText(pw);

    {
        TWaitCursor wait;
        std::unique_ptr<db::Query> write;
        if (m_mode == dmInsert) {
            write = std::make_unique<db::Query>(
                DM->LURDO, QStringLiteral("INSERT INTO T_USERS       (NOM, PRENOM, USER_ID, PW, TYPE_USER) "
                                          "VALUES(:NOM, :PRENOM, :USER_ID, :PW, :TYPE_USER )"));
        } else if (pwEdited) {
            write = std::make_unique<db::Query>(
                DM->LURDO, QStringLiteral("UPDATE T_USERS SET NOM=:NOM, PRENOM=:PRENOM, USER_ID=:USER_ID, "
                                          "TYPE_USER=:TYPE_USER, PW=:PW WHERE ID_USER=:ID_USER"));
        } else {
            // The password field was not touched: the stored password stays as it
            // is (it may have been set, as typed, by the password change).
            write = std::make_unique<db::Query>(
                DM->LURDO, QStringLiteral("UPDATE T_USERS SET NOM=:NOM, PRENOM=:PRENOM, USER_ID=:USER_ID, "
                                          "TYPE_USER=:TYPE_USER WHERE ID_USER=:ID_USER"));
        }
        write->setParam(QStringLiteral("NOM"), nom);
        write->setParam(QStringLiteral("PRENOM"), prenom);
        write->setParam(QStringLiteral("USER_ID"), code);
        write->setParam(QStringLiteral("TYPE_USER"), cmbTypeUser->currentIndex());
        if (pwEdited)
            write->setParam(QStringLiteral("PW"), pw);
        if (m_mode == dmEdit)
            write->setParam(QStringLiteral("ID_USER"), editedId);
        TWriteGuard guard;
        write->exec();
        guard.Commit();
    }
    const TMode savedMode = m_mode;
    OpenUsers();
    if (savedMode == dmEdit)
        LocateUser(editedId);
    else
        LocateCode(code);
    ShowCurrent();
}

void TfrmUsers::btnDeleteClick()
{
    if (!m_canWrite)
        DenyWriteAccess();
    const int id = CurrentId();
    if (id < 0)
        return;
    if (ShowMessageBox(QStringLiteral("Etes-vous sûr de vouloir supprimer cet enregistrement ?"), mtConfirmation,
                       MsgButton::Yes | MsgButton::No) != mrYes)
        return;
    const int row = qUsers->row();
    DeleteUserRows(id);
    OpenUsers();
    if (!qUsers->isEmpty())
        qUsers->moveTo(qMin(row, qUsers->rowCount() - 1));
    ShowCurrent();
}

void TfrmUsers::btnMenuClick()
{
    DropMenuUnder(PopMenu, btnMenu);
}

void TfrmUsers::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (m_mode != dmBrowse)
            RunGuarded([this] { btnCancelClick(); });
        else
            close();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmUsers::reject()
{
    if (m_mode != dmBrowse) {
        const int answer = ShowMessageBox(
            QStringLiteral("Voulez-vous enregistrer les modifications apportées à l'utilisateur ?"), mtWarning,
            MsgButton::Yes | MsgButton::No | MsgButton::Cancel);
        if (answer == mrYes) {
            if (!RunGuarded([this] { btnPostClick(); }) || m_mode != dmBrowse)
                return;
        } else if (answer == mrNo) {
            RunGuarded([this] { btnCancelClick(); });
        } else {
            return;
        }
    }
    if (qUsers)
        qUsers->close();
    QDialog::reject();
}

#include "security/UUsers.h"

#include "data/MenuItems.h"
#include "security/AccountStore.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "ui/ListRecordPattern.h"
#include "core/MessageBox.h"
#include "security/Rights.h"
#include "core/Routines.h"
#include "data/WriteGuard.h"
#include "ui/QueryTableModel.h"
#include "ui/RecordNavigator.h"

#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

void DeleteUserRows(int idUser)
{
    TWriteGuard write;
    TAccountStore().Delete(idUser);
    write.Commit();
}

TfrmUsers::TfrmUsers(QWidget* parent)
    : TEditorWindow(Options{.writeRightItem = MenuItem::mnUsers,
                            .statusWidths = {80, 60, 120, 80},
                            .modePanel = 3,
                            .closeRule = CloseRule::SaveThenClose,
                            .closeQuestion =
                                QStringLiteral("Voulez-vous enregistrer les modifications apportées à l'utilisateur ?")},
                    parent)
{
    setObjectName(QStringLiteral("frmUsers"));
    setWindowTitle(QStringLiteral("Fiche Utilisateur"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    mnAdd = AddCommand("mnAdd", QStringLiteral("&Nouveau"), When::BrowseWithRight, [this] { btnAddClick(); },
                       QKeySequence(Qt::Key_Insert));
    mnEdit = AddCommand("mnEdit", QStringLiteral("Modifier"), When::BrowseOnRowWithRight, [this] { btnEditClick(); },
                        QKeySequence(Qt::Key_F2));
    mnDelete = AddCommand("mnDelete", QStringLiteral("&Supprimer"), When::BrowseOnRowWithRight,
                          [this] { btnDeleteClick(); }, QKeySequence(Qt::CTRL | Qt::Key_Delete));
    mnPost = AddCommand("mnPost", QStringLiteral("&Enregistrer"), When::Editing, [this] { btnPostClick(); },
                        QKeySequence(Qt::CTRL | Qt::Key_S));
    mnCancel = AddCommand("mnCancel", QStringLiteral("&Annuler"), When::Editing, [this] { CancelEntry(); },
                          QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnClose = AddCommand("mnClose", QStringLiteral("&Fermer"), When::Always, [this] { close(); });

    pnlBtns = new QFrame(this);
    pnlBtns->setObjectName(QStringLiteral("pnlBtns"));
    pnlBtns->setFrameShape(QFrame::StyledPanel);
    auto button = [this](const char* name, const QString& caption, const QString& hint, QAction* command) {
        QPushButton* b = MakeButton(pnlBtns, name, caption, hint);
        b->setFocusPolicy(Qt::NoFocus);
        if (command)
            BindButton(b, command);
        return b;
    };
    btnAdd = button("btnAdd", QStringLiteral("Nouveau"), QStringLiteral("Nouvel utilisateur"), mnAdd);
    btnEdit = button("btnEdit", QStringLiteral("Modifier"), QStringLiteral("Modifier l'utilisateur"), mnEdit);
    btnPost = button("btnPost", QStringLiteral("Enregistrer"), QStringLiteral("Enregistrer les modifications"), mnPost);
    btnCancel = button("btnCancel", QStringLiteral("Annuler"), QStringLiteral("Annuler les modifications"), mnCancel);
    btnDelete = button("btnDelete", QStringLiteral("Supprimer"), QStringLiteral("Supprimer l'utilisateur"), mnDelete);
    btnMenu = button("btnMenu", QStringLiteral("&Menu"), QStringLiteral("Menu"), nullptr);
    btnClose = button("btnClose", QStringLiteral("Fermer"), QStringLiteral("Quitter cet écran"), mnClose);

    MyNavigator = new TRecordNavigator(pnlBtns);
    btnFirst = MyNavigator->btnFirst;
    btnPrior = MyNavigator->btnPrior;
    btnNext = MyNavigator->btnNext;
    btnLast = MyNavigator->btnLast;
    SetNavigator(MyNavigator);
    connect(MyNavigator, &TRecordNavigator::moved, this, Guarded([this] { ShowCurrent(); }));

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
    SetEntryPanel(pnlMain);
    edNom = MakeEdit(pnlMain, "edNom", 40);
    edPrenom = MakeEdit(pnlMain, "edPrenom", 40);
    edUser = MakeEdit(pnlMain, "edUser", 15);
    edPW = MakeEdit(pnlMain, "edPW", 10);
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

    PopMenu = new QMenu(this);
    PopMenu->setObjectName(QStringLiteral("PopMenu"));
    PopMenu->addActions({mnAdd, mnEdit, mnDelete});
    PopMenu->addSeparator();
    PopMenu->addActions({mnPost, mnCancel});
    PopMenu->addSeparator();
    PopMenu->addAction(mnClose);
    AttachPopupMenu(PopMenu, btnMenu);

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

    connect(edPW, &QLineEdit::textEdited, this, [this] { m_pwEdited = true; });

    m_rows = new QueryTableModel(this);
    m_rows->setKeyFields({QStringLiteral("ID_USER")});
    m_rows->setReader([this] { return m_users.ReadAll(); });
    MyNavigator->SetModel(m_rows);
}

TfrmUsers::~TfrmUsers() = default;

void TfrmUsers::OpenUsers()
{
    m_rows->reload();
}

bool TfrmUsers::LocateUser(int idUser)
{
    if (m_rows->locate({db::Value(qint64(idUser))}))
        return true;
    m_rows->setCurrentRow(0);
    return false;
}

bool TfrmUsers::LocateCode(const QString& code)
{
    for (int r = 0; r < m_rows->rowCount(); ++r) {
        if (TAccountStore::UserOf(m_rows->row(r)).code.trimmed() == code) {
            m_rows->setCurrentRow(r);
            return true;
        }
    }
    m_rows->setCurrentRow(0);
    return false;
}

int TfrmUsers::CurrentId() const
{
    if (m_rows->isEmpty())
        return -1;
    return TAccountStore::UserOf(m_rows->current()).id;
}

TShownRow TfrmUsers::ShownRow() const
{
    if (CurrentId() < 0)
        return {};
    return TAccountStore::ShownRowOf(m_rows->current());
}

void TfrmUsers::ShowStoredRow()
{
    const int id = CurrentId();
    OpenUsers();
    LocateUser(id);
    ShowCurrent();
}

bool TfrmUsers::HasRows() const
{
    return !m_rows->isEmpty();
}

void TfrmUsers::FormShow()
{
    stBar->SetPanel(0, CurrentUserCode);
    stBar->SetPanel(1, FiscalYear);
    OpenUsers();
    LocateUser(IdUser);
    ShowCurrent();
}

void TfrmUsers::ShowCurrent()
{
    if (m_rows->isEmpty()) {
        for (QLineEdit* e : {edNom, edPrenom, edUser, edPW})
            e->clear();
        cmbTypeUser->setCurrentIndex(-1);
    } else {
        const TUserEntry user = TAccountStore::UserOf(m_rows->current());
        edNom->setText(user.nom);
        edPrenom->setText(user.prenom);
        edUser->setText(user.code);
        edPW->setText(user.password);
        cmbTypeUser->setCurrentIndex(user.type < 0 || user.type > 1 ? -1 : user.type);
    }
    SetMode(emBrowse);
}

void TfrmUsers::ModeChanged()
{
    m_pwEdited = false;
}

void TfrmUsers::btnAddClick()
{
    RequireWriteRight();
    SetMode(emInsert);
    for (QLineEdit* e : {edNom, edPrenom, edUser, edPW})
        e->clear();
    cmbTypeUser->setCurrentIndex(-1);
    edNom->setFocus();
}

void TfrmUsers::btnEditClick()
{
    RequireWriteRight();
    if (CurrentId() < 0)
        return;
    SetMode(emEdit);
    edNom->setFocus();
}

void TfrmUsers::btnCancelClick()
{
    ShowCurrent();
}

void TfrmUsers::btnPostClick()
{
    RequireWriteRight();
    if (Mode() == emBrowse)
        return;
    const QString nom = edNom->text().trimmed().toUpper();
    const QString prenom = edPrenom->text().trimmed().toUpper();
    const QString code = edUser->text().trimmed().toUpper();
    const bool pwEdited = m_pwEdited || Mode() == emInsert;
    const QString pw = edPW->text().trimmed().toUpper();

    auto refuse = [](const QString& message, QWidget* field) { Refuse(message, field, mtWarning); };
    if (nom.isEmpty())
        refuse(QStringLiteral("Le Nom de l'utilisateur est manquant !"), edNom);
    if (code.isEmpty())
        refuse(QStringLiteral("Le Code Utilisateur est manquant !"), edUser);

    // The code is tested as it will be stored: trimmed.
    const int editedId = Mode() == emEdit ? CurrentId() : -1;
    if (m_users.CodeTaken(code, editedId))
        refuse(QStringLiteral("Ce Code Utilisateur existe déjà !"), edUser);
    if (cmbTypeUser->currentIndex() < 0)
        refuse(QStringLiteral("Le type d'Utilisateur est manquant !"), cmbTypeUser);

    // The normalised texts go back into the fields.
    edNom->setText(nom);
    edPrenom->setText(prenom);
    edUser->setText(code);
    if (pwEdited)
        edPW->setText(pw);

    TUserEntry user;
    user.id = editedId;
    user.nom = nom;
    user.prenom = prenom;
    user.code = code;
    user.password = pw;
    user.type = cmbTypeUser->currentIndex();
    {
        TWaitCursor wait;
        TWriteGuard write;
        if (Mode() == emInsert)
            m_users.Insert(user);
        else
            m_users.Update(user, pwEdited);
        write.Commit();
    }
    const TEditMode savedMode = Mode();
    OpenUsers();
    if (savedMode == emEdit)
        LocateUser(editedId);
    else
        LocateCode(code);
    ShowCurrent();
}

void TfrmUsers::btnDeleteClick()
{
    RequireWriteRight();
    const int id = CurrentId();
    if (id < 0)
        return;
    if (ShowMessageBox(QStringLiteral("Etes-vous sûr de vouloir supprimer cet enregistrement ?"), mtConfirmation,
                       MsgButton::Yes | MsgButton::No) != mrYes)
        return;
    const int row = m_rows->currentRow();
    DeleteUserRows(id);
    OpenUsers();
    m_rows->setCurrentRow(row);
    ShowCurrent();
}


#include "security/UChangePassWord.h"

#include "security/AccountStore.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "ui/ListRecordPattern.h"
#include "core/MessageBox.h"
#include "data/WriteGuard.h"
#include "security/UPassWord.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

int g_checkFailures = 0;

} // namespace

int PasswordCheckFailureCount() { return g_checkFailures; }
void ResetPasswordCheckFailures() { g_checkFailures = 0; }

bool CheckPassword(const QString& userCode, const QString& password)
{
    return TAccountStore::PasswordMatches(userCode, password);
}

TfrmChangePassWord::TfrmChangePassWord(QWidget* parent)
    : QDialog(parent)
{
    SetLoginDialogBorder(this, "frmChangePassWord", QStringLiteral("Changement du mot de passe"));

    lUser = new QLabel(this);
    lUser->setObjectName(QStringLiteral("lUser"));
    QFont bold = lUser->font();
    bold.setBold(true);
    lUser->setFont(bold);
    lUser->setStyleSheet(QStringLiteral("color: navy;"));

    lOldPW = new QLabel(QStringLiteral("Ancien : "), this);
    edOldPW = NewPasswordEdit(this, "edOldPW");
    lOldPW->setBuddy(edOldPW);

    lNewPW = new QLabel(QStringLiteral("Nouvveau : "), this);
    edNewPW = NewPasswordEdit(this, "edNewPW");
    lNewPW->setBuddy(edNewPW);

    btnClair = new QToolButton(this);
    btnClair->setObjectName(QStringLiteral("btnClair"));
    btnClair->setCheckable(true);
    btnClair->setText(QStringLiteral("abc"));
    btnClair->setToolTip(QStringLiteral("Mot de passe en clair"));
    btnClair->setFocusPolicy(Qt::NoFocus);

    auto* grid = new QGridLayout;
    grid->addWidget(lOldPW, 0, 0, Qt::AlignRight);
    grid->addWidget(edOldPW, 0, 1);
    grid->addWidget(lNewPW, 1, 0, Qt::AlignRight);
    grid->addWidget(edNewPW, 1, 1);
    grid->addWidget(btnClair, 1, 2);
    grid->setColumnStretch(1, 1);

    auto* main = new QVBoxLayout(this);
    main->addWidget(lUser);
    main->addLayout(grid);
    main->addLayout(NewOkCancelRow(this, btnOk, btnCancel));
    setFixedWidth(330);

    connect(btnClair, &QToolButton::toggled, this, Guarded([this] { btnClairClick(); }));
    connect(btnOk, &QPushButton::clicked, this, Guarded([this] { btnOkClick(); }));
    connect(btnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

TfrmChangePassWord::~TfrmChangePassWord() = default;

int TfrmChangePassWord::Execute(QWidget* parent)
{
    TfrmChangePassWord dlg(parent);
    return dlg.exec();
}

void TfrmChangePassWord::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        RunGuarded([this] { FormShow(); });
    }
}

void TfrmChangePassWord::FormShow()
{
    lUser->setText(QString::number(CurrentUserId) + QStringLiteral(" : ") + CurrentUserLastName
                   + QStringLiteral(" ") + CurrentUserFirstName);
    edOldPW->setFocus();
}

void TfrmChangePassWord::btnClairClick()
{
    edNewPW->setEchoMode(btnClair->isChecked() ? QLineEdit::Normal : QLineEdit::Password);
}

void TfrmChangePassWord::btnOkClick()
{
    // The built-in accounts have no T_USERS row: their password cannot change here.
    if (IsBuiltInManager || IsBuiltInAdmin) {
        ShowMessageBox(QStringLiteral("Le mot de passe d'un compte intégré (MANAGER, ADMIN) ne peut pas être modifié !"),
                       mtWarning, MsgButton::OK);
        Abort();
    }
    if (!CheckPassword(CurrentUserCode, edOldPW->text())) {
        ShowMessageBox(QStringLiteral("Mot de Passe incorrect !"), mtWarning, MsgButton::OK);
        ++g_checkFailures;
        if (g_checkFailures >= 3)
            done(mrCancel);
        else
            edOldPW->setFocus();
        return;
    }
    // The login compares the stored password trimmed with the typed one: a
    // password with surrounding spaces could never be typed back.
    if (edNewPW->text() != edNewPW->text().trimmed()) {
        ShowMessageBox(QStringLiteral("Le nouveau mot de passe ne doit ni commencer ni finir par un espace !"),
                       mtWarning, MsgButton::OK);
        edNewPW->setFocus();
        Abort();
    }
    if (ShowMessageBox(QStringLiteral("Confirmer le changement du mot de passe ?"), mtConfirmation,
                       MsgButton::Yes | MsgButton::No) != mrYes)
        return;
    bool found = false;
    {
        TWriteGuard write;
        found = TAccountStore().SetPassword(CurrentUserId, edNewPW->text()) > 0;
        write.Commit();
    }
    if (!found) {
        // The user's row is gone (deleted meanwhile): nothing was changed.
        ShowMessageBox(QStringLiteral("Utilisateur introuvable : le mot de passe n'a pas été modifié !"), mtWarning,
                       MsgButton::OK);
        Abort();
    }
    done(mrOk);
}

void TfrmChangePassWord::reject()
{
    done(mrCancel);
}

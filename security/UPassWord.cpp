#include "security/UPassWord.h"

#include "security/AccountStore.h"

#include "controls/FxLabel.h"
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "ui/ListRecordPattern.h"
#include "core/MessageBox.h"
#include "data/WriteGuard.h"
#include "controls/Gradient.h"
#include "platform/SystemDate.h"

#include <QCryptographicHash>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

int g_loginFailures = 0;

// SHA-256 of the built-in accounts' passwords: the passwords themselves are not
// kept in the program.
constexpr char kManagerHash[] = "dd8a330e326b8381bda9fcf45e36f35b11ecb76dcac8fbd5c95172a3283f5ef1";
constexpr char kAdminHash[] = "d0011ca2f941b50d3600c53c86a515eca78548f59499a2c0a41c9f6bb60da183";

bool MatchesHash(const QString& password, const char* hexHash)
{
    const QByteArray digest = QCryptographicHash::hash(password.toUtf8(), QCryptographicHash::Sha256);
    return digest.toHex() == QByteArray(hexHash);
}

// Masks password edits with "°" instead of the platform's bullet.
class DegreeMaskStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return 0x00B0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Shows a password edit masked with "°".
void ApplyDegreeMask(QLineEdit* edit)
{
    auto* style = new DegreeMaskStyle;
    style->setParent(edit);
    edit->setStyle(style);
    edit->setEchoMode(QLineEdit::Password);
}

} // namespace

QLineEdit* NewPasswordEdit(QWidget* parent, const char* name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(TAccountStore::kMaxPassword);
    ApplyDegreeMask(edit);
    return edit;
}

void SetLoginDialogBorder(QDialog* dialog, const char* name, const QString& caption)
{
    dialog->setObjectName(QString::fromLatin1(name));
    dialog->setWindowTitle(caption);
    dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                           | Qt::WindowCloseButtonHint);
    dialog->setModal(true);
}

QHBoxLayout* NewOkCancelRow(QWidget* parent, QPushButton*& ok, QPushButton*& cancel)
{
    ok = new QPushButton(QStringLiteral("OK"), parent);
    ok->setObjectName(QStringLiteral("btnOk"));
    ok->setDefault(true);
    cancel = new QPushButton(QStringLiteral("Annuler"), parent);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

int LoginFailureCount() { return g_loginFailures; }
void ResetLoginFailures() { g_loginFailures = 0; }

bool CheckLogin(const QString& userCode, const QString& password)
{
    TWaitCursor wait;
    IsBuiltInManager = false;
    IsBuiltInAdmin = false;

    const bool manager = userCode == QLatin1String("MANAGER") && MatchesHash(password, kManagerHash);
    const bool admin = !manager && userCode == QLatin1String("ADMIN") && MatchesHash(password, kAdminHash);
    if (manager || admin) {
        IsBuiltInManager = manager;
        IsBuiltInAdmin = admin;
        CurrentUserAccess = 9;
        CurrentUserId = 0;
        CurrentUserLastName.clear();
        CurrentUserFirstName.clear();
        return true;
    }

    // Only a real match touches the current-user values.
    const std::optional<TLoginRow> row = TAccountStore::FindLogin(userCode, password);
    if (!row)
        return false;
    CurrentUserId = row->id;
    CurrentUserAccess = std::int16_t(row->access);
    CurrentUserLastName = row->nom;
    CurrentUserFirstName = row->prenom;
    return true;
}

TfrmPassWord::TfrmPassWord(QWidget* parent)
    : QDialog(parent)
{
    SetLoginDialogBorder(this, "frmPassWord", QStringLiteral("Mot de passe"));

    Gradient = new TGradient(this);
    Gradient->setObjectName(QStringLiteral("Gradient"));
    Gradient->SetColorBegin(QColor(255, 255, 255));
    Gradient->SetColorEnd(QColor(0xC8, 0xD7, 0xF0));
    Gradient->SetStyle(gsLinearV);
    Gradient->setFixedHeight(48);

    lBienvenue = MakeEffectLabel(Gradient, "lBienvenue",
                                 QStringLiteral("Bienvenue dans Vorel, la gestion des finances publiques !"), tsRecessed,
                                 QColor(0, 0, 0x80));
    auto* gradLayout = new QHBoxLayout(Gradient);
    gradLayout->setContentsMargins(16, 0, 16, 0);
    gradLayout->addWidget(lBienvenue, 0, Qt::AlignCenter);

    lUserId = new QLabel(QStringLiteral("Utilisateur : "), this);
    edUserId = new QLineEdit(QStringLiteral("MANAGER"), this);
    edUserId->setObjectName(QStringLiteral("edUserId"));
    edUserId->setMaxLength(TAccountStore::kMaxUserCode);
    lUserId->setBuddy(edUserId);

    lPassword = new QLabel(QStringLiteral("Mot de passe : "), this);
    edPassword = NewPasswordEdit(this, "edPassword");
    lPassword->setBuddy(edPassword);

    lDate = new QLabel(QStringLiteral("Nous sommes le : "), this);
    DatePicker = new QDateEdit(this);
    DatePicker->setObjectName(QStringLiteral("DatePicker"));
    DatePicker->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    DatePicker->setCalendarPopup(true);
    lDate->setBuddy(DatePicker);

    lNB = MakeEffectLabel(this, "lNB", QStringLiteral("N.B : Veuillez  vérifier la date du jour SVP."), tsRecessed,
                          QColor(0x80, 0, 0));

    // The three fields share one column, as wide as a code or a date needs.
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    const QList<QPair<QLabel*, QWidget*>> rows = {{lUserId, edUserId}, {lPassword, edPassword}, {lDate, DatePicker}};
    for (int r = 0; r < rows.size(); ++r) {
        grid->addWidget(rows[r].first, r, 0, Qt::AlignRight);
        grid->addWidget(rows[r].second, r, 1);
        rows[r].second->setFixedWidth(170);
    }
    grid->setColumnStretch(2, 1);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(24, 12, 16, 12);
    body->setSpacing(10);
    body->addLayout(grid);
    body->addWidget(lNB, 0, Qt::AlignHCenter);
    body->addLayout(NewOkCancelRow(this, btnOk, btnCancel));

    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 0);
    main->setSpacing(0);
    main->addWidget(Gradient);
    main->addLayout(body);
    // The dialog keeps the size its contents need.
    main->setSizeConstraint(QLayout::SetFixedSize);

    connect(DatePicker, &QDateEdit::dateChanged, this, Guarded([this] { DatePickerChange(); }));
    connect(btnOk, &QPushButton::clicked, this, Guarded([this] { btnOkClick(); }));
    connect(btnCancel, &QPushButton::clicked, this, Guarded([this] { btnCancelClick(); }));
}

TfrmPassWord::~TfrmPassWord() = default;

int TfrmPassWord::Execute(QWidget* parent)
{
    TfrmPassWord dlg(parent);
    return dlg.exec();
}

void TfrmPassWord::setVisible(bool visible)
{
    // The showing work runs before the window appears: the default user's
    // commit processes pending events, which must not reach a window whose
    // size is not settled yet (a window system could then impose its default).
    if (visible && !m_shown) {
        m_shown = true;
        FormShow();
    }
    QDialog::setVisible(visible);
}

void TfrmPassWord::CreateDefaultUser()
{
    TAccountStore users;
    if (users.AnyUser())
        return;
    TWriteGuard write;
    users.InsertDefaultUser();
    write.Commit();
    CurrentUserCode = QStringLiteral("MANAGER");
}

void TfrmPassWord::FormShow()
{
    // A database error here is shown in the standard error box; the dialog stays usable.
    RunGuarded([this] { CreateDefaultUser(); });

    {
        const QSignalBlocker block(DatePicker);
        DatePicker->setDate(QDate::currentDate());
    }
    m_dateChanged = false;
    edUserId->setText(CurrentUserCode.trimmed().isEmpty() ? QStringLiteral("MANAGER") : CurrentUserCode);
    edPassword->setFocus();
}

void TfrmPassWord::DatePickerChange()
{
    m_dateChanged = true;
}

void TfrmPassWord::btnOkClick()
{
    CurrentUserCode = edUserId->text();
    if (CheckLogin(CurrentUserCode, edPassword->text())) {
        if (m_dateChanged) {
            // The day picked, at the current time of day. A refusal (no privilege)
            // has no visible effect.
            platform::SetLocalDateTime(QDateTime(DatePicker->date(), QTime::currentTime()));
        }
        done(mrOk);
        return;
    }
    ShowMessageBox(QStringLiteral("Combinaison Utilisateur et Mot de Passe incorrecte !"), mtWarning,
                   MsgButton::OK);
    ++g_loginFailures;
    if (g_loginFailures >= 3) {
        done(mrCancel);
        return;
    }
    edPassword->setFocus();
    edPassword->selectAll();
}

void TfrmPassWord::btnCancelClick()
{
    done(mrCancel);
}

void TfrmPassWord::reject()
{
    done(mrCancel);
}

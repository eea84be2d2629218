#include "shell/UConnect.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/IniFile.h"
#include "core/MessageBox.h"
#include "data/UDM.h"
#include "data/YearSwitch.h"
#include "platform/FilePicker.h"
#include "ui/FormKit.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kParam = QStringLiteral("PARAM");

QLabel* Explanation(QWidget* parent, const QString& text, bool example = false)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    if (example)
        label->setStyleSheet(QStringLiteral("color: gray;"));
    return label;
}

} // namespace

TfrmConnect::TfrmConnect(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmConnect"));
    setWindowTitle(QStringLiteral("Connection"));

    cmbServer = MakeCombo(this, "cmbServer");
    cmbServer->addItems({QStringLiteral("Local"), QStringLiteral("Distant")});
    lAdr = new QLabel(QStringLiteral("Adresse : "), this);
    lAdr->setObjectName(QStringLiteral("lAdr"));
    edAdrIP = MakeEdit(this, "edAdrIP");
    lAdr->setBuddy(edAdrIP);
    edPath = MakeEdit(this, "edPath");
    btnPath = MakePickButton(this, "btnPath", QStringLiteral("Sélectionner le chemin de la base de données"));
    btnConnect = MakeButton(this, "btnConnect", QStringLiteral("Connecter"),
                            QStringLiteral("Se connecter à la base de données"));
    QHBoxLayout* buttons = MakeOkCancelRow(this, &btnOk, &btCancel, "btCancel");
    buttons->insertWidget(0, btnConnect);
    stBar = new TStatusBar({120, 60}, this);

    auto* grid = new QGridLayout;
    grid->addWidget(Explanation(this, QStringLiteral("Veuillez indiquer le chemin de la base de données")), 0, 0, 1, 3);
    grid->addWidget(MakeCaption(this, QStringLiteral("Serveur : ")), 1, 0);
    grid->addWidget(cmbServer, 1, 1);
    grid->addWidget(lAdr, 2, 0, Qt::AlignRight);
    grid->addWidget(edAdrIP, 2, 1);
    grid->addWidget(Explanation(this, QStringLiteral("L'adresse IP ou le Nom de l'ordinateur ou se trouve la base "
                                                     "de données")),
                    3, 1, 1, 2);
    grid->addWidget(Explanation(this, QStringLiteral("Exemple : 192.168.1.10 ou SERVEUR"), true), 4, 1, 1, 2);
    grid->addWidget(MakeCaption(this, QStringLiteral("Chemin : ")), 5, 0);
    grid->addWidget(edPath, 5, 1);
    grid->addWidget(btnPath, 5, 2);
    grid->addWidget(Explanation(this, QStringLiteral("Le disque et le dossier ou se trouve la base de données")), 6,
                    1, 1, 2);
    grid->addWidget(Explanation(this, QStringLiteral("Exemple : /home/vorel/donnees/"), true), 7, 1, 1, 2);
    grid->setColumnStretch(1, 1);

    auto* main = new QVBoxLayout(this);
    main->addLayout(grid);
    main->addLayout(buttons);
    main->addStretch();
    main->addWidget(stBar);
    resize(460, sizeHint().height());

    connect(cmbServer, &QComboBox::currentIndexChanged, this, Guarded([this] { cmbServerChange(); }));
    connect(btnPath, &QToolButton::clicked, this, Guarded([this] { btnPathClick(); }));
    connect(btnOk, &QPushButton::clicked, this, Guarded([this] { btnOkClick(); }));
    connect(btCancel, &QPushButton::clicked, this, [this] { reject(); });
}

TfrmConnect::~TfrmConnect() = default;

int TfrmConnect::Execute(QWidget* parent)
{
    TfrmConnect dialog(parent);
    return dialog.exec() == QDialog::Accepted ? mrOk : mrCancel;
}

void TfrmConnect::showEvent(QShowEvent* event)
{
    if (!m_shown) {
        m_shown = true;
        RunGuarded([this] { FormShow(); });
    }
    QDialog::showEvent(event);
}

void TfrmConnect::FormShow()
{
    m_wasConnected = DM && DM->LURDO.isOpen();
    edAdrIP->clear();
    edPath->setText(DbWorkDir);
    const int server = IniReadInteger(IniPath, kParam, QStringLiteral("SERVER"), 0);
    cmbServer->setCurrentIndex(server == 1 ? 1 : 0);
    edAdrIP->setText(IniReadString(IniPath, kParam, QStringLiteral("IP_ADR")));
    cmbServerChange();
    stBar->SetPanel(0, CurrentUserCode);
    stBar->SetPanel(1, FiscalYear);
}

void TfrmConnect::cmbServerChange()
{
    const bool remote = cmbServer->currentIndex() == 1;
    lAdr->setEnabled(remote);
    edAdrIP->setEnabled(remote);
    if (!remote)
        edAdrIP->clear();
}

void TfrmConnect::btnPathClick()
{
    const std::optional<QString> folder =
        platform::PickFolder(this, QStringLiteral("Choisir le chemin de la BDD"), edPath->text());
    if (folder)
        edPath->setText(*folder);
}

QString TfrmConnect::WithTrailingSeparator(const QString& folder)
{
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
        return folder;
    return folder + QLatin1Char('/');
}

void TfrmConnect::btnOkClick()
{
    edAdrIP->setText(edAdrIP->text().trimmed());
    const bool remote = cmbServer->currentIndex() == 1;
    const QString address = remote ? edAdrIP->text() : QString();
    if (remote && address.isEmpty()) {
        ShowInfo(QStringLiteral("L'adresse du serveur est manquante !"));
        edAdrIP->setFocus();
        return;
    }
    const QString workDir = WithTrailingSeparator(edPath->text());
    const QString local = workDir + DbFileName;
    const QString path = remote ? address + QLatin1Char(':') + local : local;

    TWaitCursor wait;
    if (!MoveConnection(path)) {
        ShowInfo(QStringLiteral("Impossible de se connecter à la base de données :\rBase de données : ") + path);
        return;
    }
    DbWorkDir = workDir;
    ServerAddress = address;
    // The connection stands: a settings file that cannot be written is told,
    // and the location is written again when the program closes.
    RunGuarded([&] {
        IniWriteStrings(IniPath, kParam,
                        {{QStringLiteral("SERVER"), QString::number(remote ? 1 : 0)},
                         {QStringLiteral("IP_ADR"), address},
                         {QStringLiteral("DB_WORKDIR"), DbWorkDir},
                         {QStringLiteral("DB_PATH"), DbPath}});
    });
    accept();
}

void TfrmConnect::reject()
{
    // A failed OK may have left the program without its previous database
    // (it could not be opened again): Cancel tries once more, as at a
    // reopening.
    if (m_wasConnected && DM && !DM->LURDO.isOpen()) {
        QDialog::reject();
        DM->ReopenDatabase();
        return;
    }
    QDialog::reject();
}

void InstallConnectionDialog()
{
    SetConnectionDialogOffer([] { return TfrmConnect::Execute(nullptr) == mrOk; });
}

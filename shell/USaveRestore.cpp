#include "shell/USaveRestore.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/IniFile.h"
#include "core/MessageBox.h"
#include "data/AccessRights.h"
#include "platform/FilePicker.h"
#include "ui/FormKit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

bool Confirmed(const QString& question)
{
    return ShowMessageBox(question, mtConfirmation, MsgButton::Yes | MsgButton::No) == mrYes;
}

const QString kParam = QStringLiteral("PARAM");
const QString kBackupFolderKey = QStringLiteral("BACKUP_DIR");

// Where backups are written: the folder of the last backup written while it
// exists, else the folder of the year's database.
QString BackupFolder()
{
    const QString last = IniReadString(IniPath, kParam, kBackupFolderKey).trimmed();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    return QFileInfo(DbPath).absolutePath() + QLatin1Char('/');
}

} // namespace

TfrmSaveRestore::TfrmSaveRestore(Mode mode, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSaveRestore"));
    setWindowTitle(mode == Mode::Save ? QStringLiteral("Sauvegarde") : QStringLiteral("Restaure"));
    setFixedSize(300, 130);

    btnSave = MakeButton(this, "btnSave", QStringLiteral("&Sauvegarder"), QStringLiteral("Préparer la sauvegarde"),
                         QStyle::SP_DialogSaveButton);
    btnRestore = MakeButton(this, "btnRestore", QStringLiteral("&Restaurer"),
                            QStringLiteral("Préparer la restauration"), QStyle::SP_DialogOpenButton);
    btnClose = MakeButton(this, "btnClose", QStringLiteral("Fermer"), QStringLiteral("Fermer cet écran"),
                          QStyle::SP_DialogCloseButton);
    // The button shown takes the same place in both forms.
    for (QPushButton* b : {btnSave, btnRestore})
        b->setGeometry(20, 25, 130, 30);
    btnClose->setGeometry(160, 25, 120, 30);
    btnSave->setVisible(mode == Mode::Save);
    btnRestore->setVisible(mode == Mode::Restore);

    stBar = new TStatusBar({}, this);
    pBar = new QProgressBar(stBar);
    pBar->setObjectName(QStringLiteral("pBar"));
    pBar->setTextVisible(false);
    stBar->addWidget(pBar, 1);
    pBar->hide();
    stBar->setGeometry(0, height() - 24, width(), 24);

    connect(btnSave, &QPushButton::clicked, this, Guarded([this] { btnSaveClick(); }));
    connect(btnRestore, &QPushButton::clicked, this, Guarded([this] { btnRestoreClick(); }));
    connect(btnClose, &QPushButton::clicked, this, [this] { reject(); });

    // A restore replaces the year and a backup may replace the day's earlier
    // one: both write, and a user with read access only is refused them.
    m_canWrite = CanWrite(mode == Mode::Save ? MenuItem::mnSave : MenuItem::mnRestore, CurrentUserId);
    btnRestore->setEnabled(m_canWrite);

    if (BackupToolPath().isEmpty())
        ShowInfo(QStringLiteral("L'utilitaire de sauvegarde gbak.exe est introuvable !"));
}

TfrmSaveRestore::~TfrmSaveRestore() = default;

int TfrmSaveRestore::Execute(QWidget* parent, Mode mode)
{
    TfrmSaveRestore dialog(mode, parent);
    dialog.exec();
    return mrOk;
}

void TfrmSaveRestore::reject()
{
    // Esc and the close button wait for the run to end.
    if (!Running())
        QDialog::reject();
}

void TfrmSaveRestore::closeEvent(QCloseEvent* event)
{
    if (Running()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TfrmSaveRestore::StartRun(int steps, int shownStep)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    btnSave->setEnabled(false);
    btnRestore->setEnabled(false);
    btnClose->setEnabled(false);
    pBar->setRange(0, steps);
    pBar->setValue(shownStep);
    pBar->show();
}

void TfrmSaveRestore::EndRun(const TToolOutcome& outcome)
{
    m_outcome = outcome;
    pBar->setValue(pBar->maximum());
    pBar->hide();
    btnSave->setEnabled(true);
    btnRestore->setEnabled(m_canWrite);
    btnClose->setEnabled(true);
    QApplication::restoreOverrideCursor();
    // The next backup's folder and the restore's file dialog start where this
    // backup was written.
    if (outcome.ok && m_backup)
        RunGuarded([&] {
            IniWriteString(IniPath, kParam, kBackupFolderKey,
                           QFileInfo(outcome.file).absolutePath() + QLatin1Char('/'));
        });
    // The job is let go once its signal has returned.
    QTimer::singleShot(0, this, [this] {
        m_backup.reset();
        m_restore.reset();
        emit RunFinished();
    });
    ShowMessageBox(outcome.message, outcome.ok ? mtInformation : mtError, MsgButton::OK);
}

void TfrmSaveRestore::btnSaveClick()
{
    if (Running())
        return;
    if (!ServerAddress.isEmpty()) {
        ShowInfo(QStringLiteral("La sauvegarde de la base de données ne se fait que sur le serveur !"));
        return;
    }
    const std::optional<QString> folder =
        platform::PickFolder(this, QStringLiteral("Choisir l'endroit où sauvegarder."), BackupFolder());
    if (!folder)
        return;
    const QString target = BackupFilePath(*folder, QDate::currentDate());
    // Replacing the day's earlier backup is a write.
    if (!m_canWrite && QFileInfo::exists(target))
        DenyWriteAccess();
    StartRun(5, 4);
    m_backup = std::make_unique<TBackupJob>(target, m_canWrite);
    connect(m_backup.get(), &TBackupJob::Finished, this, [this](const TToolOutcome& outcome) { EndRun(outcome); });
    m_backup->Start();
}

void TfrmSaveRestore::btnRestoreClick()
{
    if (Running())
        return;
    if (!m_canWrite)
        DenyWriteAccess();
    if (!ServerAddress.isEmpty()) {
        ShowInfo(QStringLiteral("La restauration de la base de données ne se fait que sur le serveur !"));
        return;
    }
    if (!Confirmed(QStringLiteral("Etes-vous sûr de vouloir procéder à la restauration ?")))
        return;
    const std::optional<QString> file = platform::PickFileToOpen(
        this, QStringLiteral("Restaurer"), BackupFolder(),
        QStringLiteral("fbk files (*.fbk *.FBK *.Fbk);;Tous les fichiers (*)"));
    if (!file)
        return;
    // A backup of another year asks first: restoring it would put that year's
    // books in place of the open one.
    const QString backupYear = BackupFileYear(*file);
    if (!backupYear.isEmpty() && backupYear != FiscalYear
        && !Confirmed(QStringLiteral("Ce fichier est une sauvegarde de l'exercice %1, et non de l'exercice %2 "
                                     "ouvert.\r\rProcéder à la restauration ?")
                          .arg(backupYear, FiscalYear)))
        return;
    if (!Confirmed(QStringLiteral("La base de données ne doit pas être en utilisation pendant la restauration.\r\r"
                                  "Etes-vous sûr de vouloir procéder à la restauration ?"))
        || !Confirmed(QStringLiteral("Toutes les données actuelles seront remplacées par celles contenues dans le "
                                     "fichier sélectionné !\r\rProcéder à la restauration ?")))
        return;
    StartRun(7, 5);
    m_restore = std::make_unique<TRestoreJob>(*file);
    connect(m_restore.get(), &TRestoreJob::Finished, this, [this](const TToolOutcome& outcome) { EndRun(outcome); });
    m_restore->Start();
}

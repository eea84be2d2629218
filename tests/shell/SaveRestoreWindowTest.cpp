// The backup and restore window with the real backup tool: its questions, the
// refusals in server mode, a backup made from the folder picked, and a junk
// file that leaves the year as it was.
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "data/AccessRights.h"
#include "data/Backup.h"
#include "data/UDM.h"
#include "platform/FilePicker.h"
#include "shell/USaveRestore.h"
#include "common/BackupFixture.h"
#include "common/MessageRecorder.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class SaveRestoreWindowTest : public BackupYearTest {
protected:
    void TearDown() override
    {
        CurrentUserId = savedUserId;
        platform::SetFilePickResponder({});
        BackupYearTest::TearDown();
    }
    // The dialogs answer with `answer` and record what they were asked.
    void Pick(const std::optional<QString>& answer)
    {
        platform::SetFilePickResponder([this, answer](const platform::FilePickCall& call) {
            picks << call.title + QStringLiteral(" | ") + call.filter;
            starts << call.startFolder;
            return answer;
        });
    }
    // Clicks `button` and waits for the run it starts.
    bool RunFrom(TfrmSaveRestore& window, QPushButton* button)
    {
        QSignalSpy finished(&window, &TfrmSaveRestore::RunFinished);
        button->click();
        if (!window.Running())
            return !finished.isEmpty();
        EXPECT_FALSE(window.btnClose->isEnabled());
        EXPECT_TRUE(window.pBar->isVisible());
        return finished.wait(60000);
    }

    // Gives the user `userId` read access only on the menu items named.
    void ReadOnly(int userId, const QStringList& items)
    {
        CurrentUserId = userId;
        for (const QString& item : items)
            rows::Exec(QStringLiteral("INSERT INTO T_SECUR (ID_USER, OBJECT_NAME, TYPE_ACCES, TV_LEVEL, NB_CHILD) "
                                      "VALUES (:U, :O, 1, 2, 0)"),
                       {{"U", qint64(userId)}, {"O", RightsKey(item)}});
        DM->CommitWork();
    }

    MessageRecorder messages;
    QStringList picks;
    QStringList starts;
    const int savedUserId = CurrentUserId;
};

TEST_F(SaveRestoreWindowTest, EachFormShowsItsOwnButtonAndRefusesServerMode)
{
    TfrmSaveRestore save(TfrmSaveRestore::Mode::Save);
    TfrmSaveRestore restore(TfrmSaveRestore::Mode::Restore);
    EXPECT_EQ(save.windowTitle(), QStringLiteral("Sauvegarde"));
    EXPECT_EQ(restore.windowTitle(), QStringLiteral("Restaure"));
    EXPECT_FALSE(save.btnSave->isHidden());
    EXPECT_TRUE(save.btnRestore->isHidden());
    EXPECT_TRUE(restore.btnSave->isHidden());
    EXPECT_FALSE(restore.btnRestore->isHidden());

    ServerAddress = QStringLiteral("192.0.2.7");
    Pick(std::nullopt);
    save.btnSave->click();
    restore.btnRestore->click();
    EXPECT_EQ(messages.texts(),
              (QStringList{QStringLiteral("La sauvegarde de la base de données ne se fait que sur le serveur !"),
                           QStringLiteral("La restauration de la base de données ne se fait que sur le serveur !")}));
    EXPECT_TRUE(picks.isEmpty());
}

TEST_F(SaveRestoreWindowTest, ABackupGoesIntoTheFolderPickedAndIsTold)
{
    TfrmSaveRestore window(TfrmSaveRestore::Mode::Save);
    window.show();
    Pick(std::nullopt);
    window.btnSave->click();  // the picker cancelled: nothing
    EXPECT_FALSE(window.Running());
    EXPECT_TRUE(messages.calls().isEmpty());

    Pick(backups.path());
    ASSERT_TRUE(RunFrom(window, window.btnSave));
    const QString file = BackupFilePath(backups.path(), QDate::currentDate());
    EXPECT_TRUE(QFileInfo(file).size() > 0);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("La sauvegarde est terminée :\r") + file});
    EXPECT_TRUE(window.btnClose->isEnabled());
    EXPECT_FALSE(window.pBar->isVisible());
    EXPECT_TRUE(DM->LURDO.isOpen());

    // The next backup's folder picker and the restore's file dialog open
    // where this backup was written, in this run and the next ones.
    // Before the first backup, the picker opened in the database's folder.
    const QString folder = backups.path() + QLatin1Char('/');
    TfrmSaveRestore again(TfrmSaveRestore::Mode::Save);
    Pick(std::nullopt);
    again.btnSave->click();
    TfrmSaveRestore restore(TfrmSaveRestore::Mode::Restore);
    restore.btnRestore->click();
    EXPECT_EQ(starts, (QStringList{year->dir(), year->dir(), folder, folder})) << starts.join(" | ").toStdString();
}

TEST_F(SaveRestoreWindowTest, ARestoreAsksThriceAndAJunkFileLeavesTheYearAsItWas)
{
    QFile junk(backups.filePath(QStringLiteral("VOREL_2024_20240101.fbk")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("rien");
    junk.close();
    const QByteArray before = [&] {
        QFile f(year->path());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();

    TfrmSaveRestore window(TfrmSaveRestore::Mode::Restore);
    window.show();
    Pick(junk.fileName());
    ASSERT_TRUE(RunFrom(window, window.btnRestore));
    ASSERT_EQ(messages.calls().size(), 4);
    EXPECT_EQ(messages.texts().mid(0, 3),
              (QStringList{QStringLiteral("Etes-vous sûr de vouloir procéder à la restauration ?"),
                           QStringLiteral("La base de données ne doit pas être en utilisation pendant la "
                                          "restauration.\r\rEtes-vous sûr de vouloir procéder à la restauration ?"),
                           QStringLiteral("Toutes les données actuelles seront remplacées par celles contenues dans "
                                          "le fichier sélectionné !\r\rProcéder à la restauration ?")}));
    EXPECT_EQ(picks, QStringList{QStringLiteral("Restaurer | fbk files (*.fbk *.FBK *.Fbk);;Tous les fichiers (*)")});
    EXPECT_EQ(messages.calls()[3].type, mtError);
    EXPECT_TRUE(messages.calls()[3].text.startsWith(QStringLiteral("La restauration a échoué")));
    QFile after(year->path());
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
    EXPECT_TRUE(DM->LURDO.isOpen());
}

// A restore that succeeds says where the year as it was is kept.
TEST_F(SaveRestoreWindowTest, ARestoreTellsWhereTheOldYearIsKept)
{
    TfrmSaveRestore save(TfrmSaveRestore::Mode::Save);
    save.show();
    Pick(backups.path());
    ASSERT_TRUE(RunFrom(save, save.btnSave));
    TfrmSaveRestore window(TfrmSaveRestore::Mode::Restore);
    window.show();
    Pick(BackupFilePath(backups.path(), QDate::currentDate()));
    messages.clear();
    ASSERT_TRUE(RunFrom(window, window.btnRestore));
    ASSERT_TRUE(window.LastOutcome().ok) << window.LastOutcome().message.toStdString();
    const QString kept = window.LastOutcome().file;
    EXPECT_TRUE(kept.startsWith(year->path() + QStringLiteral(".before-restore-")));
    EXPECT_TRUE(QFile::exists(kept));
    ASSERT_FALSE(messages.calls().isEmpty());
    EXPECT_EQ(messages.calls().last().type, int(mtInformation));
    EXPECT_EQ(messages.texts().last(), QStringLiteral("La restauration est terminée.\rL'ancienne base de données est "
                                                      "conservée sous le nom :\r")
                                           + kept);
}

// Read access on "Restaurer" and "Sauvegarder" refuses every write: the
// restore, and a backup over the day's earlier one; a backup into a new file
// only reads the year.
TEST_F(SaveRestoreWindowTest, ReadAccessRefusesTheRestoreAndABackupOverAnExistingOne)
{
    ReadOnly(7, {QStringLiteral("mnRestore"), QStringLiteral("mnSave")});
    const QString denied = QStringLiteral("Alerte de sécurité : Ecriture non autorisée !");

    TfrmSaveRestore restore(TfrmSaveRestore::Mode::Restore);
    EXPECT_FALSE(restore.btnRestore->isEnabled());
    Pick(backups.filePath(QStringLiteral("VOREL_2024_20240101.Fbk")));
    RunGuarded([&] { restore.btnRestoreClick(); });
    EXPECT_EQ(messages.texts(), QStringList{denied});
    EXPECT_TRUE(picks.isEmpty());
    EXPECT_FALSE(restore.Running());

    TfrmSaveRestore save(TfrmSaveRestore::Mode::Save);
    save.show();
    EXPECT_TRUE(save.btnSave->isEnabled());
    Pick(backups.path());
    messages.clear();
    ASSERT_TRUE(RunFrom(save, save.btnSave));
    const QString file = BackupFilePath(backups.path(), QDate::currentDate());
    ASSERT_TRUE(save.LastOutcome().ok) << save.LastOutcome().message.toStdString();
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray first = written.readAll();
    written.close();

    messages.clear();
    save.btnSave->click();
    EXPECT_FALSE(save.Running());
    EXPECT_EQ(messages.texts(), QStringList{denied});
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), first);

    // Even when the day's backup appears while the tool runs, a backup made
    // without the write right never replaces it.
    ASSERT_TRUE(QFile::remove(file));
    TBackupJob job(file, false);
    QSignalSpy finished(&job, &TBackupJob::Finished);
    job.Start();
    {
        QFile meanwhile(file);
        ASSERT_TRUE(meanwhile.open(QIODevice::WriteOnly));
        meanwhile.write("la sauvegarde d'un autre");
    }
    ASSERT_TRUE(!finished.isEmpty() || finished.wait(60000));
    EXPECT_FALSE(job.Outcome().ok);
    QFile other(file);
    ASSERT_TRUE(other.open(QIODevice::ReadOnly));
    EXPECT_EQ(other.readAll(), QByteArray("la sauvegarde d'un autre"));
    EXPECT_FALSE(QFile::exists(file + QStringLiteral(".part")));
    EXPECT_TRUE(DM->LURDO.isOpen());
}

TEST_F(SaveRestoreWindowTest, ABackupOfAnotherYearAsksFirst)
{
    TfrmSaveRestore window(TfrmSaveRestore::Mode::Restore);
    Pick(backups.filePath(QStringLiteral("VOREL_2023_20231231.Fbk")));
    messages.answer(mrYes);
    messages.answer(mrNo);
    window.btnRestore->click();
    EXPECT_FALSE(window.Running());
    ASSERT_EQ(messages.calls().size(), 2);
    EXPECT_EQ(messages.texts()[1], QStringLiteral("Ce fichier est une sauvegarde de l'exercice 2023, et non de "
                                                  "l'exercice 2024 ouvert.\r\rProcéder à la restauration ?"));
}

} // namespace

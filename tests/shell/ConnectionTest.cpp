// The connection dialog and the fiscal-year switch on real year files: only a
// connection that stands changes the program's database and its settings; a
// failure leaves the previous year open; the switch makes a missing local
// year and comes back.
#include "core/GlobalState.h"
#include "core/IniFile.h"
#include "data/AccessRights.h"
#include "data/UDM.h"
#include "data/YearCreation.h"
#include "shell/UChangeYear.h"
#include "shell/UConnect.h"
#include "shell/UInfos.h"
#include "common/MessageRecorder.h"
#include "common/ModalDriver.h"
#include "common/YearDb.h"

#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray Bytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
}

class ConnectionTest : public YearDbTest {
protected:
    void SetUp() override
    {
        YearDbTest::SetUp();
        ASSERT_TRUE(elsewhere.isValid());
        IniWriteString(IniPath, QStringLiteral("PARAM"), QStringLiteral("VILLE"), QStringLiteral("Oran"));
    }
    void TearDown() override
    {
        EXPECT_TRUE(StopPendingModalWatches());
        YearDbTest::TearDown();
    }

    QTemporaryDir elsewhere;
    MessageRecorder messages;
};

TEST_F(ConnectionTest, AFailedOkLeavesThePreviousYearOpenAndTheSettingsAsTheyWere)
{
    const QByteArray settings = Bytes(IniPath);
    const QString path = DbPath, workDir = DbWorkDir;
    TfrmConnect dialog;
    dialog.show();
    EXPECT_EQ(dialog.edPath->text(), DbWorkDir);
    // A folder without the year's file: the dialog never makes a database.
    dialog.edPath->setText(elsewhere.path());
    dialog.btnOk->click();
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Impossible de se connecter à la base de données :\r"
                                                           "Base de données : ")
                                            + elsewhere.path() + QStringLiteral("/KIV_DB_2024.FDB")});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(QFile::exists(elsewhere.path() + QStringLiteral("/KIV_DB_2024.FDB")));
    EXPECT_EQ(DbPath, path);
    EXPECT_EQ(DbWorkDir, workDir);
    ASSERT_TRUE(DM->LURDO.isOpen());
    EXPECT_EQ(DM->LURDO.params().path, year->path());
    EXPECT_EQ(Bytes(IniPath), settings);

    // Server mode without its address: told, nothing tried.
    messages.clear();
    dialog.cmbServer->setCurrentIndex(1);
    EXPECT_TRUE(dialog.edAdrIP->isEnabled());
    dialog.edAdrIP->setText(QStringLiteral("   "));
    dialog.btnOk->click();
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("L'adresse du serveur est manquante !")});

    // Cancel after typing a server changes nothing either.
    dialog.edAdrIP->setText(QStringLiteral("192.0.2.99"));
    dialog.btCancel->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(ServerAddress.isEmpty());
    EXPECT_EQ(Bytes(IniPath), settings);
    EXPECT_EQ(DM->LURDO.params().path, year->path());
}

TEST_F(ConnectionTest, AnOkThatConnectsMovesTheProgramAndStoresTheLocation)
{
    const QString moved = elsewhere.path() + QStringLiteral("/KIV_DB_2024.FDB");
    ASSERT_TRUE(QFile::copy(year->path(), moved));
    TfrmConnect dialog;
    dialog.show();
    dialog.edPath->setText(elsewhere.path());
    dialog.btnOk->click();
    EXPECT_TRUE(messages.calls().isEmpty()) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(DbWorkDir, elsewhere.path() + QLatin1Char('/'));
    EXPECT_EQ(DbPath, moved);
    EXPECT_EQ(DM->LURDO.params().path, moved);
    EXPECT_EQ(IniReadString(IniPath, QStringLiteral("PARAM"), QStringLiteral("SERVER")), QStringLiteral("0"));
    EXPECT_EQ(IniReadString(IniPath, QStringLiteral("PARAM"), QStringLiteral("DB_PATH")), moved);
    EXPECT_EQ(IniReadString(IniPath, QStringLiteral("PARAM"), QStringLiteral("VILLE")), QStringLiteral("Oran"));
}

TEST_F(ConnectionTest, AFailedOpeningAtStartOffersTheDialogWhichConnectsElsewhere)
{
    // The settings name a folder without the year; in server mode the opening
    // makes nothing, fails and offers the dialog.
    delete DM;
    DM = nullptr;
    const QString folder = DbWorkDir;
    DbWorkDir = elsewhere.path() + QLatin1Char('/');
    DbPath = DbWorkDir + DbFileName;
    ServerAddress = QStringLiteral("127.0.0.1/1");
    DbPath = ServerAddress + QLatin1Char(':') + DbPath;
    InstallConnectionDialog();
    OnNextModal([&](QDialog* d) {
        auto* connect = qobject_cast<TfrmConnect*>(d);
        ASSERT_NE(connect, nullptr);
        connect->cmbServer->setCurrentIndex(0);
        connect->edPath->setText(folder);
        connect->btnOk->click();
    });
    DM = new TDM();
    SetConnectionDialogOffer({});
    ASSERT_NE(DM, nullptr);
    EXPECT_TRUE(DM->LURDO.isOpen());
    EXPECT_FALSE(DM->ProgramEndRequested());
    EXPECT_EQ(DbPath, year->path());
    EXPECT_TRUE(ServerAddress.isEmpty());
}

TEST_F(ConnectionTest, TheYearSwitchMovesToAMissingYearMadeLocallyAndStaysOpen)
{
    TfrmChangeYear dialog;
    dialog.show();
    EXPECT_EQ(dialog.lYear->text(), QStringLiteral("2024"));

    // Arrows, the arrow keys and clicks on the year; never past 1900..3000.
    auto key = [&](int k) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(dialog.btnOk, &press);
    };
    auto click = [&](Qt::MouseButton button) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), dialog.lYear->mapToGlobal(QPointF(5, 5)), button,
                          button, Qt::NoModifier);
        QApplication::sendEvent(dialog.lYear, &press);
    };
    key(Qt::Key_Up);
    key(Qt::Key_Right);
    key(Qt::Key_Down);
    EXPECT_EQ(dialog.lYear->text(), QStringLiteral("2025"));
    click(Qt::LeftButton);
    click(Qt::RightButton);
    click(Qt::RightButton);
    EXPECT_EQ(dialog.Year(), 2024);
    dialog.UpDown1->setValue(3000);
    key(Qt::Key_Up);
    EXPECT_EQ(dialog.Year(), 3000);
    dialog.UpDown1->setValue(2025);
    EXPECT_EQ(dialog.lYear->text(), QStringLiteral("2025"));

    dialog.btnOk->click();
    EXPECT_TRUE(messages.calls().isEmpty()) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(FiscalYear, QStringLiteral("2025"));
    EXPECT_TRUE(QFile::exists(DbWorkDir + YearFileName(QStringLiteral("2025"))));
    EXPECT_TRUE(dialog.isVisible());
    const auto told = dialog.findChildren<TfrmInfos*>();
    ASSERT_EQ(told.size(), 1);
    EXPECT_EQ(told[0]->lInfos->text(), QStringLiteral("Vous êtes sur l'exercice 2025"));

    // Esc closes it.
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(dialog.btnOk, &esc);
    EXPECT_FALSE(dialog.isVisible());
}

// With read access only on "Changer Exercice" the user moves between the
// years that exist; making a year is refused before anything is closed.
TEST_F(ConnectionTest, AReadOnlyUserMovesBetweenYearsButNeverMakesOne)
{
    const int savedUserId = CurrentUserId;
    CurrentUserId = 7;
    db::Query right(DM->LURDO, QStringLiteral("INSERT INTO T_SECUR (ID_USER, OBJECT_NAME, TYPE_ACCES, TV_LEVEL, "
                                              "NB_CHILD) VALUES (7, :O, 1, 2, 0)"));
    right.setParam(QStringLiteral("O"), RightsKey(QStringLiteral("ChangerExercice1")));
    right.exec();
    ASSERT_TRUE(DM->CommitWork());
    CreateDatabase(DbWorkDir + YearFileName(QStringLiteral("2023")));

    TfrmChangeYear dialog;
    dialog.UpDown1->setValue(2026);
    dialog.btnOk->click();
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Alerte de sécurité : Ecriture non autorisée !")});
    EXPECT_FALSE(QFile::exists(DbWorkDir + YearFileName(QStringLiteral("2026"))));
    EXPECT_EQ(FiscalYear, QStringLiteral("2024"));
    EXPECT_TRUE(DM->LURDO.isOpen());
    EXPECT_EQ(DM->LURDO.params().path, year->path());

    messages.clear();
    dialog.UpDown1->setValue(2023);
    dialog.btnOk->click();
    EXPECT_TRUE(messages.calls().isEmpty()) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(FiscalYear, QStringLiteral("2023"));
    EXPECT_EQ(DM->LURDO.params().path, DbWorkDir + YearFileName(QStringLiteral("2023")));
    CurrentUserId = savedUserId;
}

} // namespace

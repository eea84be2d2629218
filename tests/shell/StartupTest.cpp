// The start-up: the program folder, the settings read into the global state,
// "Firebird.conf", the regional settings, and the failures that must not stop
// the start.
#include "core/GlobalState.h"
#include "core/IniFile.h"
#include "shell/Startup.h"
#include "data/UDM.h"
#include "shell/UInfos.h"
#include "shell/UKivMain.h"
#include "security/UPassWord.h"
#include "common/MessageRecorder.h"
#include "common/ProgramFolder.h"
#include "platform/Registry.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

QString currentYear()
{
    return QString::number(QDate::currentDate().year());
}

Currency units(std::int64_t n)
{
    return Currency::fromUnits(n);
}

}  // namespace

TEST(Startup, FirstStartOnAnEmptyProgramFolder)
{
    ProgramFolder folder;
    // Leftovers of an earlier start must not leak into this one.
    DecisionCommit = DecisionMandate = DecisionTransfer = DecisionMandateCommit = 0;
    SupplierThresholds = {Currency(), Currency()};
    MaxDocLines = 20;
    MessageRecorder messages;
    {
        TfrmKivMain w;

        EXPECT_TRUE(messages.calls().isEmpty()) << messages.texts().join(QStringLiteral(" | ")).toStdString();
        EXPECT_EQ(AppDir, folder.path());
        EXPECT_EQ(IniPath, folder.path() + QStringLiteral("VOREL.INI"));
        EXPECT_EQ(TempDir, folder.path() + QStringLiteral("Temp/"));
        EXPECT_TRUE(QFileInfo(TempDir).isDir());

        // Firebird.conf with its two keys.
        const QString conf = folder.path() + QStringLiteral("Firebird.conf");
        EXPECT_EQ(IniReadString(conf, QStringLiteral("#FB"), QStringLiteral("RootDirectory")), folder.path());
        EXPECT_EQ(IniReadString(conf, QStringLiteral("#FB"), QStringLiteral("TempDirectories")), TempDir);

        // Defaults of a settings file that does not exist.
        EXPECT_EQ(FiscalYear, currentYear());
        EXPECT_EQ(CurrentUserCode, QStringLiteral("MANAGER"));
        EXPECT_TRUE(ServerAddress.isEmpty());
        EXPECT_EQ(LocalAddress, QString::fromLatin1(ProgramFolder::LocalAddress));
        EXPECT_EQ(DbFileName, QStringLiteral("KIV_DB_") + currentYear() + QStringLiteral(".FDB"));
        // No folder in the settings: the one the engine finds the year in,
        // the current folder, is named.
        EXPECT_EQ(DbWorkDir, QDir::currentPath() + QStringLiteral("/"));
        EXPECT_EQ(DbPath, DbWorkDir + DbFileName);
        EXPECT_EQ(DbUser, QStringLiteral("SYSDBA"));
        EXPECT_EQ(DbPassword, DefaultDbPassword());
        EXPECT_EQ(SupplierThresholds[0], units(4000000));
        EXPECT_EQ(SupplierThresholds[1], units(6000000));
        for (std::uint8_t policy : {DecisionCommit, DecisionMandate, DecisionTransfer, DecisionMandateCommit})
            EXPECT_EQ(policy, 2);
        EXPECT_EQ(City, QString::fromUtf8(DefaultCity));
        EXPECT_EQ(Signatory, QStringLiteral("Le Doyen"));
        EXPECT_TRUE(PrintFacultyName);
        EXPECT_EQ(MaxDocLines, 25);
        EXPECT_FALSE(FacultyName.isEmpty());
        EXPECT_FALSE(VersionLabel.isEmpty());

        // What the window shows.
        EXPECT_EQ(w.StatusPanel(0)->text(), QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
        EXPECT_EQ(w.StatusPanel(1)->text(), currentYear());
        EXPECT_EQ(w.StatusPanel(2)->text(), VersionLabel);
        EXPECT_EQ(w.StatusPanel(3)->text(), QStringLiteral("NT"));
        EXPECT_EQ(w.StatusPanel(4)->text(), DbWorkDir);
        EXPECT_EQ(w.lFiscalYear->text(), QStringLiteral("Exercice : ") + currentYear());
        EXPECT_EQ(w.lClient->text(), FacultyName);
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Vorel - Gestion des Finances"));
        EXPECT_TRUE(w.windowState().testFlag(Qt::WindowMaximized));
        EXPECT_EQ(w.BackGround.size(), QImage(QStringLiteral(":/images/background.bmp")).size());

        // Regional settings of the current user.
        platform::Registry reg;
        ASSERT_TRUE(reg.OpenKey(QStringLiteral("Control Panel\\International\\"), false));
        const std::pair<const char*, const char*> values[] = {
            {"sDecimal", "."}, {"sMonDecimal", "."}, {"sCurrency", " "},
            {"sMonThousandSep", " "}, {"sDate", "/"}, {"sShortDate", "dd/MM/yyyy"}};
        for (const auto& [name, value] : values)
            EXPECT_EQ(reg.ReadString(QString::fromLatin1(name)), QString::fromLatin1(value)) << name;
    }
    // Closing without the window ever being closed: the destruction still
    // records the database path, the year and the user.
    EXPECT_EQ(IniReadString(folder.iniPath(), QStringLiteral("PARAM"), QStringLiteral("EXER")), currentYear());
    EXPECT_EQ(IniReadString(folder.iniPath(), QStringLiteral("PARAM"), QStringLiteral("USERID")),
              QStringLiteral("MANAGER"));
}

// One settings file, the values it must give, and the keys whose text does
// not read (reported, their defaults used).
struct SettingsCase {
    const char* name;
    const char* ini;
    std::function<void()> check;
    QStringList unreadable = {};
};

TEST(Startup, SettingsFileIsReadWithItsDefaultsAndDerivedValues)
{
    const QString year = currentYear();
    const SettingsCase cases[] = {
        {"ceilings that are not plain numbers give the defaults",
         "[PARAM]\nPRESTMAX=12abc\nFOURMAX=1 000 000\n",
         [] {
             EXPECT_EQ(SupplierThresholds[0], units(4000000));
             EXPECT_EQ(SupplierThresholds[1], units(6000000));
         },
         {"PRESTMAX", "FOURMAX"}},
        {"ceilings beyond what an amount column holds give the defaults",
         "[PARAM]\nPRESTMAX=99999999999999999999\nFOURMAX=10000000000000\n",
         [] {
             EXPECT_EQ(SupplierThresholds[0], units(4000000));
             EXPECT_EQ(SupplierThresholds[1], units(6000000));
         },
         {"PRESTMAX", "FOURMAX"}},
        {"a year that is not four digits is the current year",
         "[PARAM]\nEXER=20x4\nDB_WORKDIR=/w/\n",
         [year] {
             EXPECT_EQ(FiscalYear, year);
             EXPECT_EQ(DbPath, QStringLiteral("/w/KIV_DB_") + year + QStringLiteral(".FDB"));
         },
         {"EXER"}},
        {"plain ceilings are read exactly, rounded to four decimals",
         "[PARAM]\nPRESTMAX=2500000.5\nFOURMAX=123.45678\n",
         [] {
             EXPECT_EQ(SupplierThresholds[0], Currency::fromRaw(25000005000));
             EXPECT_EQ(SupplierThresholds[1], Currency::fromRaw(1234568));
         }},
        {"empty ceilings give the defaults; a blank one is a missing one",
         "[PARAM]\nPRESTMAX=\nFOURMAX=.\n",
         [] {
             EXPECT_EQ(SupplierThresholds[0], units(4000000));
             EXPECT_EQ(SupplierThresholds[1], units(6000000));
         },
         {"FOURMAX"}},
        {"policies are bytes: -1 reads back as 255, garbage as the default",
         "[PARAM]\nDEC_ENG=0\nDEC_MDT=-1\nDEC_TRANS=x\nDEC_MDT_ENG=1\n",
         [] {
             EXPECT_EQ(DecisionCommit, 0);
             EXPECT_EQ(DecisionMandate, 255);
             EXPECT_EQ(DecisionTransfer, 2);
             EXPECT_EQ(DecisionMandateCommit, 1);
         }},
        {"a server address equal to this computer's is local mode",
         "[PARAM]\nIP_ADR=192.0.2.10\nDB_WORKDIR=/data/\nEXER=2019\n",
         [] {
             EXPECT_TRUE(ServerAddress.isEmpty());
             EXPECT_EQ(DbFileName, QStringLiteral("KIV_DB_2019.FDB"));
             EXPECT_EQ(DbPath, QStringLiteral("/data/KIV_DB_2019.FDB"));
         }},
        {"another server address is kept, and the folder on the server as given",
         "[PARAM]\nIP_ADR=192.0.2.77\n",
         [] {
             EXPECT_EQ(ServerAddress, QStringLiteral("192.0.2.77"));
             EXPECT_TRUE(DbWorkDir.isEmpty());
         }},
        {"a new installation names the folder it uses: the current one",
         "[PARAM]\nEXER=2019\n",
         [] {
             EXPECT_EQ(DbWorkDir, QDir::currentPath() + QStringLiteral("/"));
             EXPECT_EQ(DbPath, QDir::currentPath() + QStringLiteral("/KIV_DB_2019.FDB"));
         }},
        {"a stored path without a folder is in the current one",
         "[PARAM]\nDB_PATH=KIV_DB_2018.FDB\nDB_WORKDIR=/w/\n",
         [] {
             EXPECT_EQ(DbWorkDir, QStringLiteral("/w/"));
             EXPECT_EQ(DbPath, QDir::currentPath() + QStringLiteral("/KIV_DB_2018.FDB"));
         }},
        {"a stored database path wins over the folder and the year",
         "[PARAM]\nDB_WORKDIR=/data/\nEXER=2020\nDB_PATH=/old/KIV_DB_2018.FDB\n",
         [] {
             EXPECT_EQ(FiscalYear, QStringLiteral("2020"));
             EXPECT_EQ(DbFileName, QStringLiteral("KIV_DB_2020.FDB"));
             EXPECT_EQ(DbPath, QStringLiteral("/old/KIV_DB_2018.FDB"));
         }},
        {"blank path, year and user are composed or defaulted",
         "[PARAM]\nDB_PATH=   \nDB_WORKDIR=/w/\nEXER=  \nUSERID= \n",
         [year] {
             EXPECT_EQ(FiscalYear, year);
             EXPECT_EQ(CurrentUserCode, QStringLiteral("MANAGER"));
             EXPECT_EQ(DbPath, QStringLiteral("/w/KIV_DB_") + year + QStringLiteral(".FDB"));
         }},
        {"values are read without the blanks around them",
         "[PARAM]\nEXER = 2023 \nDB_WORKDIR =  /w/ \nIP_ADR = 192.0.2.77\t\nVILLE =  Béjaïa \nUSERID =  ALI \n",
         [] {
             EXPECT_EQ(FiscalYear, QStringLiteral("2023"));
             EXPECT_EQ(DbFileName, QStringLiteral("KIV_DB_2023.FDB"));
             EXPECT_EQ(DbPath, QStringLiteral("/w/KIV_DB_2023.FDB"));
             EXPECT_EQ(ServerAddress, QStringLiteral("192.0.2.77"));
             EXPECT_EQ(City, QStringLiteral("Béjaïa"));
             EXPECT_EQ(CurrentUserCode, QStringLiteral("ALI"));
         }},
        {"a stored path and this computer's address with blanks around them",
         "[PARAM]\nDB_PATH = /old/KIV_DB_2018.FDB  \nIP_ADR =  192.0.2.10 \n",
         [] {
             EXPECT_EQ(DbPath, QStringLiteral("/old/KIV_DB_2018.FDB"));
             EXPECT_TRUE(ServerAddress.isEmpty());
         }},
        {"texts are read as stored",
         "[PARAM]\nVILLE=Oran\nSIGNATAIRE=Le Recteur\nRIT=111\nRIP=222\nRIPFOUR=333\nPRINT_FAC_NAME=0\nUSERID=ALI\n",
         [] {
             EXPECT_EQ(City, QStringLiteral("Oran"));
             EXPECT_EQ(Signatory, QStringLiteral("Le Recteur"));
             EXPECT_EQ(TreasuryAccount, QStringLiteral("111"));
             EXPECT_EQ(PostalAccount, QStringLiteral("222"));
             EXPECT_EQ(SupplierPostalAccount, QStringLiteral("333"));
             EXPECT_FALSE(PrintFacultyName);
             EXPECT_EQ(CurrentUserCode, QStringLiteral("ALI"));
         }},
    };
    for (const SettingsCase& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramFolder folder;
        folder.writeIni(QString::fromUtf8(c.ini));
        SetProgramFolders();
        const QString report = ReadSettings();
        EXPECT_EQ(DbUser, QStringLiteral("SYSDBA"));
        c.check();
        for (const char* key : {"EXER", "PRESTMAX", "FOURMAX"})
            EXPECT_EQ(report.contains(QLatin1String(key) + QStringLiteral(" = «")),
                      c.unreadable.contains(QLatin1String(key)))
                << key << ": " << report.toStdString();
    }
}

TEST(Startup, CeilingTextMustBeAPlainNumber)
{
    const std::pair<const char*, std::optional<std::int64_t>> cases[] = {
        {"4000000", 40000000000}, {" 12.5 ", 125000}, {"-3", -30000}, {".5", 5000}, {"7.", 70000},
        {"9999999999999.99", 99999999999999900}, {"", std::nullopt}, {"1e6", std::nullopt}, {"1,5", std::nullopt},
        {"1 000", std::nullopt}, {"abc", std::nullopt}, {"99999999999999999999", std::nullopt},
        {"10000000000000", std::nullopt},
    };
    for (const auto& [text, raw] : cases) {
        const auto value = ParseCeiling(QString::fromLatin1(text));
        ASSERT_EQ(value.has_value(), raw.has_value()) << text;
        if (raw) {
            EXPECT_EQ(value->raw(), *raw) << text;
        }
    }
}

TEST(Startup, TempFolderThatCannotBeCreatedSkipsTheRestOfTheCreation)
{
    ProgramFolder folder;
    // A file where the folder should be makes its creation fail.
    QFile blocker(folder.path() + QStringLiteral("Temp"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    folder.writeIni(QStringLiteral("[PARAM]\nEXER=2015\n"));
    FiscalYear = QStringLiteral("1999");

    MessageRecorder messages;
    TfrmKivMain w;
    ASSERT_EQ(messages.calls().size(), 1);
    EXPECT_EQ(messages.calls()[0].text,
              QStringLiteral("Impossible de créer le répertoire : ") + folder.path() + QStringLiteral("Temp/\r"));
    EXPECT_EQ(messages.calls()[0].type, mtError);
    EXPECT_EQ(messages.calls()[0].buttons, MsgButtons(MsgButton::OK));
    // Skipped: Firebird.conf, the settings, the texts.
    EXPECT_FALSE(QFile::exists(folder.path() + QStringLiteral("Firebird.conf")));
    EXPECT_EQ(FiscalYear, QStringLiteral("1999"));
    EXPECT_TRUE(w.StatusPanel(3)->text().isEmpty());
    // Filled before the failure.
    EXPECT_EQ(IniPath, folder.iniPath());
}

TEST(Startup, BackgroundPictureFromTheSettings)
{
    ProgramFolder folder;
    QImage picture(30, 20, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(folder.path() + QStringLiteral("fond.bmp")));
    QFile broken(folder.path() + QStringLiteral("casse.jpg"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    const QSize builtIn = QImage(QStringLiteral(":/images/background.bmp")).size();

    const struct {
        const char* image;
        QSize size;
        int warnings;
    } cases[] = {
        {"", builtIn, 0},
        {"fond.bmp", QSize(30, 20), 0},
        {"absent.bmp", builtIn, 1},
        {"casse.jpg", builtIn, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.image);
        folder.writeIni(QStringLiteral("[PARAMS]\nIMAGE=%1\n").arg(QString::fromLatin1(c.image)));
        MessageRecorder messages;
        TfrmKivMain w;
        EXPECT_EQ(w.BackGround.size(), c.size);
        ASSERT_EQ(messages.calls().size(), c.warnings);
        if (c.warnings) {
            EXPECT_EQ(messages.calls()[0].text, QStringLiteral("Format d'image incorrect !"));
            EXPECT_EQ(messages.calls()[0].type, mtWarning);
        }
        // The start goes on.
        EXPECT_EQ(w.StatusPanel(3)->text(), QStringLiteral("NT"));
    }
}

TEST(Startup, ChangingAndRestoringTheBackgroundPicture)
{
    ProgramFolder folder;
    QTemporaryDir elsewhere;
    QImage picture(10, 12, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    const QString chosen = elsewhere.filePath(QStringLiteral("ciel.png"));
    ASSERT_TRUE(picture.save(chosen));
    const QString junk = elsewhere.filePath(QStringLiteral("faux.bmp"));
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("junk");
    f.close();

    MessageRecorder messages;
    TfrmKivMain w;
    const QSize builtIn = w.BackGround.size();

    w.ChangeBackgroundImage(junk);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Format d'image incorrect !")});
    EXPECT_EQ(w.BackGround.size(), builtIn);
    EXPECT_FALSE(QFile::exists(folder.path() + QStringLiteral("faux.bmp")));
    EXPECT_FALSE(IniKeyExists(folder.iniPath(), QStringLiteral("PARAMS"), QStringLiteral("IMAGE")));

    messages.clear();
    w.ChangeBackgroundImage(chosen);
    EXPECT_EQ(messages.texts(),
              QStringList{QStringLiteral("L'image sera active au prochain démarrage du programme")});
    EXPECT_EQ(QImage(folder.path() + QStringLiteral("ciel.png")).size(), QSize(10, 12));
    EXPECT_EQ(IniReadString(folder.iniPath(), QStringLiteral("PARAMS"), QStringLiteral("IMAGE")),
              QStringLiteral("ciel.png"));
    {
        // The next start shows the copy in the program folder.
        QFile::remove(chosen);
        TfrmKivMain next;
        EXPECT_EQ(next.BackGround.size(), QSize(10, 12));
    }

    messages.clear();
    w.RestoreBackgroundImage();
    EXPECT_EQ(messages.texts(),
              QStringList{QStringLiteral("L'image sera active au prochain démarrage du programme")});
    EXPECT_TRUE(IniKeyExists(folder.iniPath(), QStringLiteral("PARAMS"), QStringLiteral("IMAGE")));
    EXPECT_EQ(IniReadString(folder.iniPath(), QStringLiteral("PARAMS"), QStringLiteral("IMAGE"), QStringLiteral("x")),
              QString());
}

// A year and ceilings that do not read: the start goes on with their defaults
// and says so once, naming each.
TEST(Startup, UnreadableYearAndCeilingsAreReportedOnceAtStart)
{
    ProgramFolder folder;
    folder.writeIni(QStringLiteral("[PARAM]\nEXER=deux mille\nPRESTMAX=quatre\nFOURMAX=6000000\n"));
    MessageRecorder messages;
    {
        TfrmKivMain w;
        ASSERT_EQ(messages.calls().size(), 1) << messages.texts().join(QStringLiteral(" | ")).toStdString();
        const QString text = messages.texts().first();
        EXPECT_TRUE(text.contains(folder.iniPath())) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("EXER = « deux mille » : ") + currentYear())) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("PRESTMAX = « quatre » : 4 000 000.00"))) << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("FOURMAX")));
        EXPECT_EQ(FiscalYear, currentYear());
        EXPECT_EQ(SupplierThresholds[0], units(4000000));
        EXPECT_EQ(SupplierThresholds[1], units(6000000));
    }
}

TEST(Startup, UnreadableSettingsFileGivesTheDefaultsAndAFailedWriteIsShown)
{
    ProgramFolder folder;
    // A folder in place of the settings file: nothing can be read or written.
    ASSERT_TRUE(QDir().mkpath(folder.iniPath()));
    MessageRecorder messages;
    {
        TfrmKivMain w;
        EXPECT_TRUE(messages.calls().isEmpty());
        EXPECT_EQ(FiscalYear, currentYear());
        EXPECT_EQ(CurrentUserCode, QStringLiteral("MANAGER"));
        EXPECT_EQ(SupplierThresholds[1], units(6000000));
        EXPECT_EQ(w.StatusPanel(3)->text(), QStringLiteral("NT"));
    }
    // The destruction's write fails with the platform's error in the standard error box.
    ASSERT_EQ(messages.calls().size(), 1);
    EXPECT_TRUE(messages.calls()[0].standard);
    EXPECT_TRUE(messages.calls()[0].text.contains(folder.iniPath())) << messages.calls()[0].text.toStdString();
}

// The whole run of the program on an empty program folder, as scripts/run
// starts it: the splash, the year's database created under the information
// window, the login answered, the main window shown and left through Esc and
// the confirmation, the program's run then ending with the four keys written.
TEST(Startup, ProgramRunsFromTheSplashThroughTheLoginToTheMainWindowAndCloses)
{
    ProgramFolder folder;
    MessageRecorder messages;
    // The year's database path is relative to the current folder, which is
    // the program folder when the program is started by scripts/run.
    const QString previousFolder = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    const QString savedUser = CurrentUserCode;
    const qint16 savedAccess = CurrentUserAccess;
    CurrentUserAccess = 0;
    ResetLoginFailures();

    // The windows shown, in order, with the information window's text.
    struct ShownWindows : QObject {
        QStringList names;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            auto* w = qobject_cast<QWidget*>(watched);
            if (event->type() == QEvent::Show && w && w->isWindow() && !watched->objectName().isEmpty()) {
                QString name = watched->objectName();
                if (auto* infos = qobject_cast<TfrmInfos*>(watched))
                    name += QStringLiteral(": ") + infos->lInfos->text();
                if (names.isEmpty() || names.last() != name)
                    names << name;
            }
            return false;
        }
    } shown;
    qApp->installEventFilter(&shown);
    // Owns the polling timers below: none of them outlives the test.
    QObject polls;

    // The login, answered once it is open: the built-in manager of a new year.
    std::function<void(int)> answerLogin = [&](int triesLeft) {
        if (auto* login = qobject_cast<TfrmPassWord*>(QApplication::activeModalWidget())) {
            login->edUserId->setText(QStringLiteral("MANAGER"));
            login->edPassword->clear();
            login->btnOk->click();
        } else if (triesLeft > 0) {
            QTimer::singleShot(10, &polls, [&, triesLeft] { answerLogin(triesLeft - 1); });
        }
    };
    // Once the main window shows over the open database, Esc asks to quit and
    // the answer is Yes.
    bool mainWindowShown = false;
    std::function<void(int)> leave = [&](int triesLeft) {
        if (frmKivMain && frmKivMain->isVisible() && !QApplication::activeModalWidget() && DM
            && DM->LURDO.isOpen()) {
            mainWindowShown = true;
            messages.answer(mrYes);
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(frmKivMain->ClientArea, &esc);
        } else if (triesLeft > 0) {
            QTimer::singleShot(10, &polls, [&, triesLeft] { leave(triesLeft - 1); });
        } else {
            // Never left hanging: whatever is open is closed and the run ends.
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
            QCoreApplication::exit(1);
        }
    };
    QTimer::singleShot(0, &polls, [&] {
        answerLogin(6000);
        leave(6000);
    });

    const int result = RunProgram(*qApp);
    qApp->removeEventFilter(&shown);
    qApp->setQuitOnLastWindowClosed(true);
    const QString year = currentYear();
    auto key = [&](const char* k) { return IniReadString(folder.iniPath(), QStringLiteral("PARAM"), QString::fromLatin1(k)); };
    const QString dbFile = folder.path() + QStringLiteral("KIV_DB_") + year + QStringLiteral(".FDB");
    const bool dbCreated = QFileInfo(dbFile).isFile();
    QDir::setCurrent(previousFolder);
    CurrentUserCode = savedUser;
    CurrentUserAccess = savedAccess;

    EXPECT_TRUE(mainWindowShown) << "the program ended before its main window showed";
    EXPECT_EQ(result, 0);
    EXPECT_EQ(frmKivMain, nullptr);
    EXPECT_EQ(DM, nullptr);
    EXPECT_TRUE(dbCreated);
    EXPECT_EQ(shown.names, (QStringList{QStringLiteral("frmSplash"),
                                        QStringLiteral("frmInfos: Création de la base de données ..."),
                                        QStringLiteral("frmPassWord"), QStringLiteral("frmKivMain")}));
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Voulez-vous, réellement, quitter l'application ?")});
    EXPECT_EQ(key("DB_PATH"), dbFile);
    EXPECT_EQ(key("DB_WORKDIR"), folder.path());
    EXPECT_EQ(key("EXER"), year);
    EXPECT_EQ(key("USERID"), QStringLiteral("MANAGER"));
    EXPECT_TRUE(QFileInfo(folder.path() + QStringLiteral("Temp")).isDir());
}

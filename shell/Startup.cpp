#include "shell/Startup.h"

#include "core/Fonts.h"
#include "core/GlobalState.h"
#include "core/IniFile.h"
#include "core/Pause.h"
#include "data/UDM.h"
#include "shell/UConnect.h"
#include "shell/UInfos.h"
#include "shell/UKivMain.h"
#include "shell/USplash.h"
#include "core/Guard.h"
#include "platform/NetworkAddress.h"
#include "platform/Registry.h"
#include "platform/TerminationSignals.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QPalette>
#include <QProgressBar>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <QTranslator>
#include <memory>

namespace {

QString& executablePath()
{
    static QString path;
    return path;
}

QString withSlash(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

const QString kParam = QStringLiteral("PARAM");

}  // namespace

// Outside any namespace, as the resource initialiser requires.
static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

void InitProgramResources()
{
    initResources();
}

void SetProcessFormats()
{
    QLocale::setDefault(QLocale::c());
}

void SetExecutablePath(const QString& path)
{
    executablePath() = path;
}

QString ExecutableFolder()
{
    const QString path = executablePath();
    if (path.contains(QLatin1Char('/')))
        return withSlash(QFileInfo(path).absolutePath());
    return withSlash(QCoreApplication::applicationDirPath());
}

void SetInstallationValues()
{
    FacultyName = QString::fromUtf8(DefaultFacultyName);
    UniversityName = QString::fromUtf8(DefaultUniversityName);
    VersionLabel = QStringLiteral("Version 1.0");
}

void SetProgramFolders()
{
    AppDir = ExecutableFolder();
    IniPath = AppDir + QStringLiteral("VOREL.INI");
    TempDir = AppDir + QStringLiteral("Temp/");
}

bool EnsureTempDir()
{
    if (QFileInfo(TempDir).isDir())
        return true;
    return QDir().mkpath(TempDir) && QFileInfo(TempDir).isDir();
}

void WriteRegionalSettings()
{
    platform::Registry reg;
    if (!reg.OpenKey(QString::fromLatin1(RegionalSettingsKey), true))
        return;
    reg.WriteString(QStringLiteral("sDecimal"), QStringLiteral("."));
    reg.WriteString(QStringLiteral("sMonDecimal"), QStringLiteral("."));
    reg.WriteString(QStringLiteral("sCurrency"), QStringLiteral(" "));
    reg.WriteString(QStringLiteral("sMonThousandSep"), QStringLiteral(" "));
    reg.WriteString(QStringLiteral("sDate"), QStringLiteral("/"));
    reg.WriteString(QStringLiteral("sShortDate"), QStringLiteral("dd/MM/yyyy"));
    reg.CloseKey();
}

void SetDefaultPolicies()
{
    DecisionCommit = 2;
    DecisionMandate = 2;
    DecisionTransfer = 2;
    DecisionMandateCommit = 2;
}

void SetEditColours()
{
    const QPalette pal = QApplication::palette();
    PanelColorInactive = pal.color(QPalette::Button);
    PanelColorActive = QColor(0xE6, 0xE6, 0xE6);
    EditColorInactive = QColor(0xF2, 0xF2, 0xF2);
    EditColorActive = pal.color(QPalette::Base);
}

void WriteFirebirdConf()
{
    const QString conf = AppDir + QStringLiteral("Firebird.conf");
    IniWriteString(conf, QStringLiteral("#FB"), QStringLiteral("RootDirectory"), AppDir);
    IniWriteString(conf, QStringLiteral("#FB"), QStringLiteral("TempDirectories"), TempDir);
}

QString ReadSettings()
{
    QList<TUnreadableSetting> unreadable;
    ApplyParamSettings(ReadParamSettings(IniPath, &unreadable));

    ServerAddress = IniReadString(IniPath, kParam, QStringLiteral("IP_ADR"));
    DbWorkDir = IniReadString(IniPath, kParam, QStringLiteral("DB_WORKDIR"));
    DbPath = IniReadString(IniPath, kParam, QStringLiteral("DB_PATH"));
    const QString currentYear = QString::number(QDate::currentDate().year());
    FiscalYear = IniReadString(IniPath, kParam, QStringLiteral("EXER"), currentYear);
    CurrentUserCode = IniReadString(IniPath, kParam, QStringLiteral("USERID"), QStringLiteral("MANAGER"));

    if (CurrentUserCode.trimmed().isEmpty())
        CurrentUserCode = QStringLiteral("MANAGER");
    // A year that is not four digits would name a database file of no year.
    static const QRegularExpression fourDigits(QStringLiteral("^\\d{4}$"));
    if (FiscalYear.trimmed().isEmpty()) {
        FiscalYear = currentYear;
    } else if (!fourDigits.match(FiscalYear.trimmed()).hasMatch()) {
        unreadable.prepend({QStringLiteral("EXER"), FiscalYear, currentYear});
        FiscalYear = currentYear;
    }
    FiscalYear = FiscalYear.trimmed();

    LocalAddress = platform::LocalIpAddress();
    DbFileName = QStringLiteral("KIV_DB_") + FiscalYear + QStringLiteral(".FDB");
    if (ServerAddress == LocalAddress)
        ServerAddress.clear();
    // In local mode a blank folder, or a database path without one, is where
    // the engine finds the year: the process's current folder. The folder is
    // named as such, so that the status bar and the connection dialog show it
    // and the settings keep it.
    if (ServerAddress.isEmpty()) {
        if (DbWorkDir.trimmed().isEmpty())
            DbWorkDir = withSlash(QDir::currentPath());
        if (!DbPath.trimmed().isEmpty() && QFileInfo(DbPath.trimmed()).isRelative()
            && !DbPath.contains(QLatin1Char(':')) && !DbPath.contains(QLatin1Char('\\')))
            DbPath = QDir::current().absoluteFilePath(DbPath.trimmed());
    }
    if (DbPath.trimmed().isEmpty())
        DbPath = DbWorkDir + DbFileName;
    DbUser = QStringLiteral("SYSDBA");
    DbPassword = DefaultDbPassword();

    if (unreadable.isEmpty())
        return QString();
    QString report = QStringLiteral("Le fichier de paramètres ") + IniPath
                     + QStringLiteral(" contient des valeurs illisibles ; les valeurs par défaut sont utilisées :");
    for (const TUnreadableSetting& u : unreadable)
        report += QStringLiteral("\r") + u.key + QStringLiteral(" = « ") + u.text + QStringLiteral(" » : ") + u.used;
    return report;
}

namespace {

// What the program does when the system asks it to end: the settings written
// as at a close, the database let go, the message loop ended.
void EndOnTerminationRequest(TfrmKivMain* mainWindow)
{
    if (mainWindow)
        RunGuarded([mainWindow] { mainWindow->FormClose(); });
    // Rolls back the open transaction and detaches: whatever runs while the
    // open windows unwind can no longer write.
    if (DM)
        DM->CloseDatabase();
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

} // namespace

int RunProgram(QApplication& app)
{
    // From here on SIGTERM, SIGINT and SIGHUP end the program as a close
    // does, without its question; before the message loop runs, the start-up
    // stops at its next step.
    platform::TerminationSignals termination;
    bool terminated = false;
    std::unique_ptr<TfrmKivMain> mainWindow;
    QObject::connect(&termination, &platform::TerminationSignals::terminationRequested, [&](int) {
        if (terminated)
            return;
        terminated = true;
        EndOnTerminationRequest(mainWindow.get());
    });

    // The program ends when the main window closes (or the login is refused),
    // never because the splash or the login dialog was the last window shown.
    app.setQuitOnLastWindowClosed(false);
    // Qt's own dialogs (file and printer dialogs) speak French like the rest
    // of the program.
    auto* qtTexts = new QTranslator(&app);
    if (qtTexts->load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTexts);
    RegisterFontSubstitutions();
    InitProgramResources();
    SetInstallationValues();

    // The splash, with the version known at this moment.
    auto splash = std::make_unique<TfrmSplash>();
    splash->lVersion->setText(VersionLabel);
    splash->pBar->setMaximum(5);
    splash->pBar->setVisible(true);
    splash->show();
    ProcessMessages();

    Pause(1000);
    for (int position = 1; position <= 3; ++position) {
        splash->pBar->setValue(position);
        ProcessMessages();
        Pause(100);
    }
    splash->pBar->setValue(4);
    ProcessMessages();

    QApplication::setApplicationName(QString::fromUtf8(ApplicationTitle));

    // The main window, not yet shown: its creation fills the global state
    // from the settings file and never touches the database.
    mainWindow = std::make_unique<TfrmKivMain>();

    // The data module opens the fiscal year's database, creating and seeding
    // a missing one. It is destroyed before the main window.
    InstallInfosProgressDisplay();
    InstallConnectionDialog();
    std::unique_ptr<TDM> dataModule;
    if (!terminated) {
        dataModule = std::make_unique<TDM>();
        DM = dataModule.get();
        // The engine's client library has set its own signal handlers by now.
        termination.Reclaim();
    }

    ProcessMessages();
    splash->pBar->setValue(5);
    ProcessMessages();
    Pause(100);
    splash->lChargement->hide();
    splash->pBar->hide();
    ProcessMessages();
    Pause(100);
    splash.reset();
    ProcessMessages();

    int result = 0;
    // A connection the user gave up on ends the program here.
    if (!terminated && !DM->ProgramEndRequested()) {
        // The message loop shows the main window, whose first showing runs the login.
        QTimer::singleShot(0, mainWindow.get(), [&mainWindow] { mainWindow->show(); });
        result = app.exec();
    }
    if (terminated)
        result = 0;
    dataModule.reset();
    DM = nullptr;
    mainWindow.reset();
    return result;
}

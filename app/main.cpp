// The program's entry: process formats, splash, main window, data module, then
// the message loop, in the order the rest of the program relies on.
#include "app/Fonts.h"
#include "app/GlobalState.h"
#include "app/Pause.h"
#include "app/Startup.h"
#include "app/UDM.h"
#include "app/UKivMain.h"
#include "app/USplash.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <memory>

int main(int argc, char** argv)
{
    // 1. Process formats, before any window exists.
    SetProcessFormats();
    QApplication app(argc, argv);
    // The program ends when the main window closes (or the login is refused),
    // never because the splash or the login dialog was the last window shown.
    app.setQuitOnLastWindowClosed(false);
    // The program folder is the folder of the path the program was started by
    // (scripts/run starts it through a link in its program folder).
    SetExecutablePath(QString::fromLocal8Bit(argv[0]));
    RegisterFontSubstitutions();
    InitProgramResources();
    SetInstallationValues();

    // 2. Splash.
    auto splash = std::make_unique<TfrmSplash>();
    splash->lVersion->setText(VersionLabel);
    splash->pBar->setMaximum(5);
    splash->pBar->setVisible(true);
    splash->show();
    ProcessMessages();

    // 3. Progress.
    Pause(1000);
    for (int position = 1; position <= 3; ++position) {
        splash->pBar->setValue(position);
        ProcessMessages();
        Pause(100);
    }
    splash->pBar->setValue(4);
    ProcessMessages();

    // 4. Application title.
    QApplication::setApplicationName(QString::fromUtf8(ApplicationTitle));

    // 5. Main window (not yet shown).
    auto mainWindow = std::make_unique<TfrmKivMain>();

    // 6. Data module: opens the fiscal year's database (offering the
    // connection dialog when that fails). It is destroyed before the main
    // window and closes the database.
    std::unique_ptr<TDM> dataModule(new TDM);
    DM = dataModule.get();

    // 7. Splash hidden and freed.
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

    // A connection the user gave up on ends the program here.
    if (DM->ProgramEndRequested())
        return 0;

    // 8. The message loop shows the main window, which runs its first showing.
    QTimer::singleShot(0, mainWindow.get(), [&mainWindow] { mainWindow->show(); });
    const int result = app.exec();
    dataModule.reset();
    DM = nullptr;
    return result;
}

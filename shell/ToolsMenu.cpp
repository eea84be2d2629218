#include "shell/ToolsMenu.h"

#include "core/GlobalState.h"
#include "core/MessageBox.h"
#include "shell/UChangeYear.h"
#include "shell/UConnect.h"
#include "shell/UKivMain.h"
#include "shell/UOption.h"
#include "shell/USaveRestore.h"
#include "shell/USql.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>

void OpenOptions(TfrmKivMain& main)
{
    if (TfrmOptions::Execute(&main) == mrOk)
        main.lClient->setText(FacultyName);
}

void OpenChangeYear(TfrmKivMain& main)
{
    TfrmChangeYear dialog(&main);
    dialog.exec();
    main.lFiscalYear->setText(QStringLiteral("Exercice : ") + FiscalYear);
}

void OpenBackup(QWidget* parent)
{
    TfrmSaveRestore::Execute(parent, TfrmSaveRestore::Mode::Save);
}

void OpenRestore(QWidget* parent)
{
    TfrmSaveRestore::Execute(parent, TfrmSaveRestore::Mode::Restore);
}

void OpenSqlConsole(TfrmKivMain& main)
{
    TfrmSql::ShowConsole(&main);
}

void OpenSqlConsoleByKey(TfrmKivMain& main)
{
    // The item is shown to the built-in MANAGER only, once the rights are
    // applied after the login; before it nobody is logged in.
    if (IsBuiltInManager && main.mnSQL->isVisible())
        OpenSqlConsole(main);
}

void OpenConnectionSettings(TfrmKivMain& main)
{
    TfrmConnect::Execute(&main);
    main.ShowDatabaseFolder();
}

void OpenConnect(TfrmKivMain& main)
{
    const int result = TfrmConnect::Execute(&main);
    main.ShowDatabaseFolder();
    if (result != mrOk) {
        // As a close does, without its question.
        main.FormClose();
        QCoreApplication::exit(0);
    }
}

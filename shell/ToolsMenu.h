#pragma once
// The main menu's openers of the "Outils" tools: each runs its window as the
// menu item does and then shows on the main window what changed.

class TfrmKivMain;
class QWidget;

void OpenOptions(TfrmKivMain& main);               // "Paramètres"
void OpenChangeYear(TfrmKivMain& main);            // "Changer Exercice" (F7)
void OpenBackup(QWidget* parent);                  // "Sauvegarder"
void OpenRestore(QWidget* parent);                 // "Restaurer"
void OpenSqlConsole(TfrmKivMain& main);            // "SQL"
// Left Shift + left Ctrl + S: the console, for the users the "SQL" item is
// shown to only (it runs any statement on every table).
void OpenSqlConsoleByKey(TfrmKivMain& main);
void OpenConnectionSettings(TfrmKivMain& main);    // "Paramétres de connection"
// "Connection": the program ends when the dialog is cancelled.
void OpenConnect(TfrmKivMain& main);

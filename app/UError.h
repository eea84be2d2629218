#pragma once
// The program's message box window.

#include "app/MessageBox.h"

#include <QDialog>

class TfrmError : public QDialog {
    Q_OBJECT
public:
    // Builds the box for one message, shows it modally and returns the modal result.
    static int Execute(const QString& text, int type, MsgButtons buttons);
};

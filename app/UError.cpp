#include "app/UError.h"

#include <QMessageBox>

// Provisional: a plain box until the sized French message box lands.
int TfrmError::Execute(const QString& text, int type, MsgButtons buttons)
{
    QMessageBox box;
    box.setText(QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    QMessageBox::StandardButtons sb;
    if (buttons.testFlag(MsgButton::Yes)) sb |= QMessageBox::Yes;
    if (buttons.testFlag(MsgButton::No)) sb |= QMessageBox::No;
    if (buttons.testFlag(MsgButton::OK)) sb |= QMessageBox::Ok;
    if (buttons.testFlag(MsgButton::Cancel)) sb |= QMessageBox::Cancel;
    box.setStandardButtons(sb);
    switch (box.exec()) {
    case QMessageBox::Yes: return mrYes;
    case QMessageBox::No: return mrNo;
    case QMessageBox::Ok: return mrOk;
    default: return mrCancel;
    }
}

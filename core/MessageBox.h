#pragma once
// The program's message box and the few standard dialogs. Both accept a test
// responder that records each call and answers it without showing a window.

#include <QFlags>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

// Button kinds in layout order; the value is the bit of the button set.
enum class MsgButton : unsigned {
    Yes = 1u << 0, No = 1u << 1, OK = 1u << 2, Cancel = 1u << 3, Abort = 1u << 4,
    Retry = 1u << 5, Ignore = 1u << 6, All = 1u << 7, NoToAll = 1u << 8,
    YesToAll = 1u << 9, Help = 1u << 10
};
Q_DECLARE_FLAGS(MsgButtons, MsgButton)
Q_DECLARE_OPERATORS_FOR_FLAGS(MsgButtons)

// Modal results.
enum ModalResult : int {
    mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
    mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10
};

// Dialog types of the message box.
enum MsgType : int { mtWarning = 0, mtError = 1, mtInformation = 2, mtConfirmation = 3, mtCustom = 4 };

// Shows the program's message box modally and returns the modal result.
int ShowMessageBox(const QString& text, int type, MsgButtons buttons);
// Information with an OK button; the result is ignored.
void ShowInfo(const QString& text);

// The platform's standard message dialog, for the few messages that use it.
enum class StdDialogType { Warning, Error, Information, Confirmation };
int ShowStandardDialog(const QString& text, StdDialogType type, MsgButtons buttons);

// The platform's input box with a prompt, with French buttons; the text typed
// on OK, nothing on Cancel.
std::optional<QString> InputBox(QWidget* parent, const QString& title, const QString& prompt);

// Test seam: when set, every message box and standard dialog goes to the
// responder instead of a window. `standard` tells which of the two was asked.
struct MessageCall {
    QString text;
    int type = 0;
    MsgButtons buttons;
    bool standard = false;
};
using MessageResponder = std::function<int(const MessageCall&)>;
void SetMessageResponder(MessageResponder responder);
const MessageResponder& CurrentMessageResponder();

#pragma once
// The login dialog: asks for a user code and a password, checks them against
// T_USERS or the two built-in accounts, fills the current-user values of the
// global state and lets the user correct the computer's date.

#include <QDialog>

class QDateEdit;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class TGradient;

// Checks a user code and a password (both exactly as typed). On success the
// current-user values of the global state are filled; on failure they are left
// as they were. Database errors propagate.
bool CheckLogin(const QString& userCode, const QString& password);

// Failed logins of this process (the third ends the login), and a fresh start
// of that count (a new session; used by tests).
int LoginFailureCount();
void ResetLoginFailures();

// A password edit of the login dialogs: at most 10 characters, masked with "°".
QLineEdit* NewPasswordEdit(QWidget* parent, const char* name);

// The dialog border of the login dialogs (fixed size, title and close button).
void SetLoginDialogBorder(QDialog* dialog, const char* name, const QString& caption);

// "OK" (the default button) and "Annuler", right-aligned in one row.
QHBoxLayout* NewOkCancelRow(QWidget* parent, QPushButton*& ok, QPushButton*& cancel);

class TfrmPassWord : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPassWord(QWidget* parent = nullptr);
    ~TfrmPassWord() override;

    // Creates the dialog, runs it modally and frees it: mrOk (1) or mrCancel (2).
    static int Execute(QWidget* parent = nullptr);

    bool DateChanged() const { return m_dateChanged; }

    // The first showing runs FormShow before the window appears.
    void setVisible(bool visible) override;

    TGradient* Gradient = nullptr;
    QLabel* lBienvenue = nullptr;
    QLabel* lNB = nullptr;
    QLabel* lUserId = nullptr;
    QLabel* lPassword = nullptr;
    QLabel* lDate = nullptr;
    QLineEdit* edUserId = nullptr;
    QLineEdit* edPassword = nullptr;
    QDateEdit* DatePicker = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    void FormShow();
    void DatePickerChange();
    void btnOkClick();
    void btnCancelClick();

protected:
    void reject() override;

private:
    void CreateDefaultUser();

    bool m_dateChanged = false;
    bool m_shown = false;
};

#pragma once
// The login dialog: asks for a user code and a password, checks them against
// T_USERS or the two built-in accounts, fills the current-user values of the
// global state and lets the user correct the computer's date.

#include <QDialog>

class QDateEdit;
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

// Shows a password edit masked with "°".
void ApplyDegreeMask(QLineEdit* edit);

class TfrmPassWord : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPassWord(QWidget* parent = nullptr);
    ~TfrmPassWord() override;

    // Creates the dialog, runs it modally and frees it: mrOk (1) or mrCancel (2).
    static int Execute(QWidget* parent = nullptr);

    bool DateChanged() const { return m_dateChanged; }

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
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void CreateDefaultUser();

    bool m_dateChanged = false;
    bool m_shown = false;
};

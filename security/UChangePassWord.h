#pragma once
// The password-change dialog of the logged-in user.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// True when T_USERS holds a row whose trimmed USER_ID equals the code and whose
// trimmed PW equals the password. Changes nothing.
bool CheckPassword(const QString& userCode, const QString& password);

// Failed old-password checks of this process, and a fresh start of that count
// (a new session; used by tests).
int PasswordCheckFailureCount();
void ResetPasswordCheckFailures();

class TfrmChangePassWord : public QDialog {
    Q_OBJECT
public:
    explicit TfrmChangePassWord(QWidget* parent = nullptr);
    ~TfrmChangePassWord() override;

    // Creates the dialog, runs it modally and frees it: mrOk (1) or mrCancel (2).
    static int Execute(QWidget* parent = nullptr);

    QLabel* lUser = nullptr;
    QLabel* lOldPW = nullptr;
    QLabel* lNewPW = nullptr;
    QLineEdit* edOldPW = nullptr;
    QLineEdit* edNewPW = nullptr;
    QToolButton* btnClair = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    void FormShow();
    void btnClairClick();
    void btnOkClick();

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    bool m_shown = false;
};

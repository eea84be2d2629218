#pragma once
// The connection dialog "Connection": a local database file or a database
// server, and the folder of the year's database. OK connects the program's
// one connection there (never making a database); only a connection that
// stands changes the program's database location and the settings file. A
// failed OK opens the previous database again and keeps the dialog open;
// Cancel changes nothing.

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class TStatusBar;

class TfrmConnect : public QDialog {
    Q_OBJECT
public:
    explicit TfrmConnect(QWidget* parent = nullptr);
    ~TfrmConnect() override;

    // Runs the dialog modally; mrOk when a connection was made.
    static int Execute(QWidget* parent);

    QComboBox* cmbServer = nullptr;   // "Local" 0, "Distant" 1
    QLabel* lAdr = nullptr;
    QLineEdit* edAdrIP = nullptr;
    QLineEdit* edPath = nullptr;
    QToolButton* btnPath = nullptr;
    QPushButton* btnConnect = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btCancel = nullptr;
    TStatusBar* stBar = nullptr;

    void btnOkClick();
    void btnPathClick();

    // The database folder as the dialog stores it: its trailing separator added.
    static QString WithTrailingSeparator(const QString& folder);

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void FormShow();
    void cmbServerChange();

    bool m_shown = false;
    // Whether the program was connected when the dialog opened.
    bool m_wasConnected = false;
};

// Makes the data module offer this dialog when an opening fails.
void InstallConnectionDialog();

#pragma once
// The rights editor: for one user, every rights-managed item of the main menu
// with its read and write rights, changed by double clicks and saved together.

#include "security/Rights.h"
#include "security/AccountStore.h"

#include <QDialog>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QTableWidget;
namespace db { class Query; }

class TfrmSecure : public QDialog {
    Q_OBJECT
public:
    // Grid columns.
    enum { colNo, colIdSecur, colLevel, colName, colModule, colRead, colWrite, colReadFlag, colWriteFlag,
           colChanged, colNbChild, colCount };

    // `mainMenu` is the main window's menu whose items the rights follow.
    explicit TfrmSecure(QMenuBar* mainMenu, QWidget* parent = nullptr);
    ~TfrmSecure() override;

    // Creates the editor, runs it modally and frees it.
    static void Execute(QMenuBar* mainMenu, QWidget* parent = nullptr);

    // Creates the user's missing rights rows, removes stale ones and fills the grid.
    void LoadUserRights(int userId);

    // The user chosen in cmbUser (-1 when none) and that user's type (0 when unknown).
    int ChosenUser() const;
    int ChosenUserType() const;
    bool WriteAllowed() const { return m_canWrite; }

    QLabel* lUser = nullptr;
    QComboBox* cmbUser = nullptr;
    QPushButton* btnUsers = nullptr;
    QPushButton* btnPost = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnClose = nullptr;
    QTableWidget* grdSecure = nullptr;
    QMenu* PopMenu = nullptr;
    QAction* mnUsers = nullptr;
    QAction* mnPost = nullptr;
    QAction* mnCancel = nullptr;

    void FormShow();
    void cmbUserChange();
    void grdSecureDblClick(int row, int column);
    void btnPostClick();
    void btnCancelClick();
    void btnUsersClick();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillUsers(int selectId);
    void SetSaveEnabled(bool enabled);
    void SetRowAccess(int row, bool read, bool write);
    void LayoutColumns();

    QMenuBar* m_menu;
    TAccountStore m_users;
    int m_loadedUser = -1;
    bool m_canWrite = false;
    bool m_shown = false;
};

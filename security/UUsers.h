#pragma once
// The user form: adds, changes and deletes the rows of T_USERS, one at a time,
// with browse, insert and edit modes.

#include <QDialog>
#include <memory>

class QAction;
class QComboBox;
class QFrame;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;
class TStatusBar;
namespace db { class Query; }

// Deletes a user's rights rows, then the user, in one write; a refused commit
// has been told and aborts silently.
void DeleteUserRows(int idUser);

class TfrmUsers : public QDialog {
    Q_OBJECT
public:
    enum TMode { dmBrowse, dmInsert, dmEdit };

    explicit TfrmUsers(QWidget* parent = nullptr);
    ~TfrmUsers() override;

    // The user shown first (set before showing); the first user in name order
    // when no user has this key.
    int IdUser = -1;

    TMode Mode() const { return m_mode; }
    bool WriteAllowed() const { return m_canWrite; }
    // Key of the user shown (-1 when none).
    int CurrentId() const;

    QFrame* pnlBtns = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnEdit = nullptr;
    QPushButton* btnPost = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnDelete = nullptr;
    QPushButton* btnMenu = nullptr;
    QPushButton* btnClose = nullptr;
    QFrame* MyNavigator = nullptr;
    QToolButton* btnFirst = nullptr;
    QToolButton* btnPrior = nullptr;
    QToolButton* btnNext = nullptr;
    QToolButton* btnLast = nullptr;
    QFrame* pnlMain = nullptr;
    QLineEdit* edNom = nullptr;
    QLineEdit* edPrenom = nullptr;
    QLineEdit* edUser = nullptr;
    QLineEdit* edPW = nullptr;
    QComboBox* cmbTypeUser = nullptr;
    TStatusBar* stBar = nullptr;   // 0 the user code, 1 the fiscal year, 3 the mode
    QMenu* PopMenu = nullptr;
    QAction* mnAdd = nullptr;
    QAction* mnEdit = nullptr;
    QAction* mnDelete = nullptr;
    QAction* mnPost = nullptr;
    QAction* mnCancel = nullptr;
    QAction* mnClose = nullptr;

    void FormShow();
    void ShowCurrent();
    void btnAddClick();
    void btnEditClick();
    void btnPostClick();
    void btnCancelClick();
    void btnDeleteClick();
    void btnMenuClick();
    void Navigate(int step);   // -2 first, -1 prior, 1 next, 2 last

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    void SetMode(TMode mode);
    void OpenUsers();
    bool LocateUser(int idUser);
    bool LocateCode(const QString& code);

    std::unique_ptr<db::Query> qUsers;
    TMode m_mode = dmBrowse;
    bool m_canWrite = false;
    bool m_shown = false;
    bool m_pwEdited = false;
};

#pragma once
// The user form: adds, changes and deletes the rows of T_USERS, one at a time,
// with browse, insert and edit modes.

#include "security/AccountStore.h"
#include "ui/EditorWindow.h"

#include <memory>

class QAction;
class QComboBox;
class QFrame;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;
class QueryTableModel;
class TRecordNavigator;

// Deletes a user's rights rows, then the user, in one write; a refused commit
// has been told and aborts silently.
void DeleteUserRows(int idUser);

class TfrmUsers : public TEditorWindow {
    Q_OBJECT
public:
    explicit TfrmUsers(QWidget* parent = nullptr);
    ~TfrmUsers() override;

    // The user shown first (set before showing); the first user in name order
    // when no user has this key.
    int IdUser = -1;

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
    TRecordNavigator* MyNavigator = nullptr;
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
    // stBar: 0 the user code, 1 the fiscal year, 3 the mode
    QMenu* PopMenu = nullptr;
    QAction* mnAdd = nullptr;
    QAction* mnEdit = nullptr;
    QAction* mnDelete = nullptr;
    QAction* mnPost = nullptr;
    QAction* mnCancel = nullptr;
    QAction* mnClose = nullptr;

    void FormShow() override;
    void ShowCurrent();
    void btnAddClick();
    void btnEditClick();
    void btnPostClick() override;
    void btnCancelClick() override;
    void btnDeleteClick();

protected:
    bool HasRows() const override;
    TShownRow ShownRow() const override;
    void ShowStoredRow() override;
    void ModeChanged() override;

private:
    void OpenUsers();
    bool LocateUser(int idUser);
    bool LocateCode(const QString& code);

    TAccountStore m_users;
    QueryTableModel* m_rows = nullptr;   // the users, by name, as last read
    bool m_pwEdited = false;
};

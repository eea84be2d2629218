#pragma once
// The user list: the rows of T_USERS, opened from the main menu; opens the user
// form to add and change users, and deletes them with their rights rows.

#include "security/AccountStore.h"
#include "ui/ListWindow.h"

class QAction;
class QMenu;
class QPushButton;
class TStatusBar;
class QTableView;
class QueryTableModel;

class TfrmListUsers : public TListWindow {
    Q_OBJECT
public:
    explicit TfrmListUsers(QWidget* parent = nullptr);
    ~TfrmListUsers() override;

    // Creates the list, runs it modally and frees it.
    static void Execute(QWidget* parent = nullptr);

    QPushButton* btnModif = nullptr;
    QPushButton* btnDelete = nullptr;
    QPushButton* btnMenu = nullptr;
    QPushButton* btnClose = nullptr;
    QTableView* grdUsers = nullptr;
    TStatusBar* stBar = nullptr;   // 0 the user code, 1 the fiscal year
    QMenu* PopMenu = nullptr;
    QAction* mnModif = nullptr;
    QAction* mnDelete = nullptr;
    QAction* mnClose = nullptr;

    QueryTableModel* Model() const { return m_model; }
    bool WriteAllowed() const { return m_canWrite; }

    void FormShow() override;
    void btnModifClick();
    void btnDeleteClick();
    void btnMenuClick();

private:
    void UpdateDeleteButton();
    int CurrentUserKey() const;

    TAccountStore m_users;
    QueryTableModel* m_model = nullptr;
    bool m_canWrite = false;
};

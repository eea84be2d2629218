#pragma once
// The user list: the rows of T_USERS, opened from the main menu; opens the user
// form to add and change users, and deletes them with their rights rows.

#include "ui/ListWindow.h"

#include <memory>

class QAction;
class QMenu;
class QPushButton;
class TStatusBar;
class QTableView;
class QueryTableModel;
namespace db { class Query; }

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

protected:
    void done(int result) override;

private:
    void UpdateDeleteButton();
    int CurrentUserKey() const;

    std::unique_ptr<db::Query> qUsers;
    QueryTableModel* m_model = nullptr;
    bool m_canWrite = false;
};

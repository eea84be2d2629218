#pragma once
// TfrmListTree_Eng ("Listing des Engagements"): every commitment sheet of the
// year as a read-only tree (budget line, its sheets in number order, each
// sheet's lines), read once when the window is made. F3 finds a sheet by its
// number; F5 starts the calculator; Esc closes.
//
// The main menu item "Listing en Arborescence" creates it, shows it modally
// and frees it.

#include "ui/ListWindow.h"

class QAction;
class QPushButton;
class QTreeView;
class TCommitmentTreeModel;

class TfrmListTree_Eng : public TListWindow {
    Q_OBJECT
public:
    explicit TfrmListTree_Eng(QWidget* parent = nullptr);
    ~TfrmListTree_Eng() override;

    QTreeView* MyTV = nullptr;
    QPushButton* btnClose = nullptr;
    QAction* mnFind = nullptr;
    QAction* mnClose = nullptr;

    TCommitmentTreeModel* Tree() const { return m_model; }

    // Asks for a sheet number and shows the first sheet of that number.
    void FindClick();
    // Shows the first sheet numbered `typed` (padded to four digits): made
    // visible, expanded and selected. False, with the message, when none.
    bool ShowSheet(const QString& typed);

protected:
    void FormShow() override;

private:
    TCommitmentTreeModel* m_model = nullptr;
};

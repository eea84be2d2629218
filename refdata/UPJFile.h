#pragma once
// TfrmPJFile: the attachment labels (PJ: number and label), edited in place in
// the grid, on the editor base. The table has no key: each row is named by the
// engine's address of it and the version it was read at, so that a change or
// a deletion touches that one row, and never undoes another user's change.

#include "refdata/RefDataStore.h"
#include "ui/EditorWindow.h"

class QPushButton;
class QTableWidget;

class TfrmPJFile : public TEditorWindow {
    Q_OBJECT
public:
    explicit TfrmPJFile(QWidget* parent = nullptr);
    ~TfrmPJFile() override;

    QTableWidget* grdPJ = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnEdit = nullptr;
    QPushButton* btnDelete = nullptr;
    QPushButton* btnPost = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnClose = nullptr;
    QAction* mnAdd = nullptr;
    QAction* mnEdit = nullptr;
    QAction* mnDelete = nullptr;
    QAction* mnPost = nullptr;
    QAction* mnCancel = nullptr;

    void btnAddClick();
    void btnEditClick();
    void btnDeleteClick();
    void btnPostClick() override;
    void btnCancelClick() override;

    static constexpr int MaxLabelLength = 60;

protected:
    bool HasRows() const override;
    void FormShow() override;
    TShownRow ShownRow() const override;
    void ShowStoredRow() override;
    void ModeChanged() override;

private:
    // Reads every row again; the row at `dbKey` becomes current when it is there.
    void ReadRows(const QByteArray& current = QByteArray());
    // Shows a row as stored (its texts, address and version) in grid row `r`.
    void SetStoredRow(int r, const TAttachmentStore::Row& row);
    void CommitEditor();
    void RowChanged(int newRow, int oldRow);

    TAttachmentStore m_store;
    int m_editRow = -1;
    bool m_moving = false;
};

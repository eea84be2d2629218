#pragma once
// TfrmPJFile: the attachment labels (PJ: number and label), edited in place in
// the grid. The table has no key: a row is found again by its stored values,
// and every change touches that one row only.

#include "refdata/RefDataStore.h"

#include <QDialog>

class QPushButton;
class QTableWidget;

class TfrmPJFile : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPJFile(QWidget* parent = nullptr);
    ~TfrmPJFile() override;

    enum PJState { psBrowse, psEdit, psInsert };

    QTableWidget* grdPJ = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnEdit = nullptr;
    QPushButton* btnDelete = nullptr;
    QPushButton* btnPost = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnClose = nullptr;

    PJState State() const { return m_state; }

    void btnAddClick();
    void btnEditClick();
    void btnDeleteClick();
    void btnPostClick();
    void btnCancelClick();

    static constexpr int MaxLabelLength = 60;

private:
    void ReadRows();
    void UpdateLook();
    void CommitEditor();
    void RowChanged(int newRow, int oldRow);

    TAttachmentStore m_store;
    PJState m_state = psBrowse;
    int m_editRow = -1;
    bool m_moving = false;
};

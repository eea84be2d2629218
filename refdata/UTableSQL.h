#pragma once
// TfrmTable: the record window of one code-table row. It has no rows of its
// own: it reads and positions the rows of the list window that opens it.

#include "ui/ListRecordPattern.h"

class QLineEdit;
class TfrmListTable;

class TfrmTable : public TRefRecordForm {
    Q_OBJECT
public:
    explicit TfrmTable(TfrmListTable* list, QWidget* parent = nullptr);

    QString CodeTable;
    QString KeyField;
    QString FormCaption;
    QString ObjectName;
    qint64 IdTable = 0;    // key of the row shown first

    QLineEdit* edLib = nullptr;

    static constexpr int MaxLabelLength = 40;

protected:
    QString RightItem() const override { return ObjectName; }
    void OpenRows() override;
    QueryTableModel* Rows() const override;
    QString RowTable() const override { return CodeTable; }
    void ShowCurrent() override;
    void ClearForInsert() override;
    void FocusForEdit() override;
    void SaveRecord() override;

private:
    TfrmListTable* m_list;
};

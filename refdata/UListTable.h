#pragma once
// TfrmListTable: the list and picker of the four code tables (bank agencies,
// wilayas, grades, deduction kinds), each a key column and a label LIBELLE.
//
// Caller: create, set CodeTable, KeyField, FormCaption, ObjectName, SelectMode
// (and IdTable for the row shown first), exec(); after QDialog::Accepted read
// IdTable (key of the chosen row) and Libelle; otherwise IdTable is -1 and
// Libelle empty.

#include "ui/ListRecordPattern.h"

class TCodeTableStore;

#include <memory>

class TfrmListTable : public TRefListForm {
    Q_OBJECT
public:
    explicit TfrmListTable(QWidget* parent = nullptr);
    ~TfrmListTable() override;

    QString CodeTable;     // AGENCE, FWIL, GRADE or FRET
    QString KeyField;      // its key column
    QString FormCaption;   // window caption
    QString ObjectName;    // menu item of the write right; empty: writing allowed
    qint64 IdTable = 0;    // in: row shown first; out: chosen key, -1 when none
    QString Libelle;       // out: label of the chosen row

    QTableView* grdTable = nullptr;
    QAction* mnPrint = nullptr;

    // Whether the pair names one of the four code tables and its key column.
    static bool IsCodeTable(const QString& table, const QString& keyField);

protected:
    void FormShow() override;
    void RunRecordWindow() override;
    void DeleteCurrent() override;
    void SetResults(bool ok) override;

private:
    std::unique_ptr<TCodeTableStore> m_table;   // made once the table is known
};

#pragma once
// TfrmBanqueSQL: the record window of one bank, opened by the bank list.

#include "data/MenuItems.h"
#include "refdata/RefDataStore.h"
#include "ui/ListRecordPattern.h"

class QLineEdit;

class TfrmBanqueSQL : public TRefRecordForm {
    Q_OBJECT
public:
    explicit TfrmBanqueSQL(QWidget* parent = nullptr);
    ~TfrmBanqueSQL() override;

    qint64 IdBanque = 0;   // in: the bank shown first

    QLineEdit* edRs = nullptr;
    QLineEdit* edDim = nullptr;

protected:
    QString RightItem() const override { return MenuItem::mnBanque; }
    void OpenRows() override { ReadOwnRows(IdBanque); }
    void ShowCurrent() override;
    void ClearForInsert() override;
    void FocusForEdit() override;
    void SaveRecord() override;
    void DeleteRecord() override;

private:
    TBankStore m_banks;
};

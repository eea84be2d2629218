#pragma once
// TfrmListBanque: the list of the banks of the beneficiaries' accounts.
//
// Caller: create, set SelectMode, exec(); after QDialog::Accepted read IdBanque
// and NomBanque (the bank's RS); otherwise 0 and empty.

#include "refdata/RefDataStore.h"
#include "ui/ListRecordPattern.h"

class TfrmListBanque : public TRefListForm {
    Q_OBJECT
public:
    explicit TfrmListBanque(QWidget* parent = nullptr);
    ~TfrmListBanque() override;

    qint64 IdBanque = 0;   // out
    QString NomBanque;     // out

    QTableView* grdBanque = nullptr;
    QMenu* PopMnClient = nullptr;

protected:
    void FormShow() override;
    void RunRecordWindow() override;
    void DeleteCurrent() override;
    void SetResults(bool ok) override;
    void UpdateButtons() override;

private:
    TBankStore m_banks;
    bool m_modifFollowsRows = false;
};

// Shared by the bank list and record: refuses (with its message) a bank that a
// beneficiary uses, asks the confirmation and deletes it in one operation.
// Returns true when the bank was deleted.
bool DeleteBank(qint64 idBanque);

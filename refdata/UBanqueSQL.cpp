#include "refdata/UBanqueSQL.h"

#include "refdata/RefDataStore.h"

#include "core/Guard.h"
#include "core/MessageBox.h"
#include "data/WriteGuard.h"
#include "refdata/UListBanque.h"

#include <QDate>
#include <QFormLayout>
#include <QLineEdit>

TfrmBanqueSQL::TfrmBanqueSQL(QWidget* parent)
    : TRefRecordForm(Options{.hasDelete = true,
                             .hasNavigator = true,
                             .popupIsContextMenu = true,
                             .closeQuestion = cqSaveAndStay,
                             .gradientButtonBar = true},
                     parent)
{
    setObjectName(QStringLiteral("frmBanqueSQL"));
    setWindowTitle(QStringLiteral("Fiche banque"));
    resize(640, 150);
    auto* form = new QFormLayout(pnlMain);
    form->setContentsMargins(16, 16, 16, 16);
    edRs = MakeEdit(pnlMain, "edRs", 40);
    edDim = MakeEdit(pnlMain, "edDim", 8);
    edDim->setMaximumWidth(120);
    form->addRow(QStringLiteral("Rasion sociale : "), edRs);
    form->addRow(QStringLiteral("Diminutif : "), edDim);

    SetOwnRows([this] { return m_banks.ReadAll(); }, QStringLiteral("ID_BANQUE"));
    SetRowTable(QStringLiteral("BANQUE"));
}

TfrmBanqueSQL::~TfrmBanqueSQL() = default;

void TfrmBanqueSQL::ShowCurrent()
{
    if (RowsEmpty()) {
        edRs->clear();
        edDim->clear();
        return;
    }
    const TBank bank = TBankStore::BankOf(Rows()->current());
    edRs->setText(bank.rs);
    edDim->setText(bank.diminutif);
}

void TfrmBanqueSQL::ClearForInsert()
{
    edRs->clear();
    edDim->clear();
    edRs->setFocus();
}

void TfrmBanqueSQL::FocusForEdit()
{
    edRs->setFocus();
}

void TfrmBanqueSQL::SaveRecord()
{
    const QString rs = edRs->text().toUpper().trimmed();
    edRs->setText(rs);
    if (rs.isEmpty()) {
        ShowMessageBox(QStringLiteral("La Raison sociale de la banque est manquante !"), mtWarning, MsgButton::OK);
        edRs->setFocus();
        Abort();
    }
    const QString dim = edDim->text().trimmed();
    const bool inserting = Mode() == emInsert;
    qint64 key = inserting ? 0 : CurrentKey();
    if (key < 0)
        return;
    TWaitCursor wait;
    {
        TWriteGuard write;
        TBankStore banks;
        if (inserting)
            key = banks.Insert(rs, dim);
        else
            banks.Update(key, rs, dim);
        write.Commit();
    }
    // The saved row (the new one after an insert) is the current row from now on.
    ReadOwnRows(key);
    IdBanque = CurrentKey();
}

void TfrmBanqueSQL::DeleteRecord()
{
    const qint64 key = CurrentKey();
    if (key < 0)
        return;
    DeleteBank(key);
    ReadOwnRows(key);
    LoadCurrent();
}

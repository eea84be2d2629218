#include "refdata/UListBanque.h"

#include "data/MenuItems.h"
#include "refdata/RefDataStore.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "security/Rights.h"
#include "refdata/UBanqueSQL.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

bool DeleteBank(qint64 idBanque)
{
    // A beneficiary may be given the bank while the question is on screen.
    TBankStore banks;
    return ConfirmAndDeleteUnused(QStringLiteral("Etes-vous sûr de vouloir supprimer cette banque ?"),
                                  [&] { banks.Delete(idBanque); }, [&] { return banks.InUse(idBanque); },
                                  QStringLiteral("Cette Banque est affectée à un bénéficiaire !\rSuppression impossible."));
}

TfrmListBanque::TfrmListBanque(QWidget* parent) : TRefListForm(Options{}, parent)
{
    setObjectName(QStringLiteral("frmListBanque"));
    setWindowTitle(QStringLiteral("Banques"));
    resize(560, 480);
    grdBanque = grid();
    grdBanque->setObjectName(QStringLiteral("grdBanque"));
    PopMnClient = PopMenu;
    PopMnClient->setObjectName(QStringLiteral("PopMnClient"));
    btnModif->setToolTip(QStringLiteral("Mise à jour des banques"));

    model()->addColumn(QStringLiteral("RS"), QStringLiteral("Raison sociale"));
    model()->addColumn(QStringLiteral("DIMINUTIF"), QStringLiteral("Diminutif"));
    model()->setKeyFields({QStringLiteral("ID_BANQUE")});
    model()->setRowTint(EvenRowTint(QColor(0xF5, 0xF5, 0xF5)));
    SetSelectionColors(grdBanque, QColor(0, 0, 128), Qt::white);
    grdBanque->setColumnWidth(0, 380);

    model()->setReader([this] { return m_banks.ReadAll(); });
    FollowRowCount(model(), stBar, 2, QStringLiteral(" Banque(s)"));
}

TfrmListBanque::~TfrmListBanque() = default;

void TfrmListBanque::FormShow()
{
    stBar->SetPanel(0, CurrentUserCode);
    stBar->SetPanel(1, FiscalYear);
    model()->reload();
}

void TfrmListBanque::UpdateButtons()
{
    TRefListForm::UpdateButtons();
    if (m_modifFollowsRows) {
        const bool rows = !model()->isEmpty();
        btnModif->setEnabled(rows);
        mnModif->setEnabled(rows);
    }
}

void TfrmListBanque::RunRecordWindow()
{
    TfrmBanqueSQL f(this);
    f.IdBanque = model()->isEmpty() ? 0 : TBankStore::BankOf(model()->current()).id;
    f.exec();
    // Back from the record window, "Ajouter/Modifier" follows the rows too.
    m_modifFollowsRows = true;
}

void TfrmListBanque::DeleteCurrent()
{
    if (!CanWrite(MenuItem::mnBanque, CurrentUserId))
        DenyWriteAccess();
    if (DeleteBank(TBankStore::BankOf(model()->current()).id)) {
        model()->refresh();
        model()->setCurrentRow(0);
    }
}

void TfrmListBanque::SetResults(bool ok)
{
    if (ok && !model()->isEmpty()) {
        const TBank bank = TBankStore::BankOf(model()->current());
        IdBanque = bank.id;
        NomBanque = bank.rs;
    } else {
        IdBanque = 0;
        NomBanque.clear();
    }
}

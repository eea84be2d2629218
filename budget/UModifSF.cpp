#include "budget/UModifSF.h"

#include "controls/NumEdit.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"
#include "ui/FormKit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

TfrmModifSF::TfrmModifSF(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmModifSF"));
    setWindowTitle(QStringLiteral("Modifier"));

    auto* layout = new QVBoxLayout(this);
    lImp = new QLabel(this);
    lImp->setObjectName(QStringLiteral("lImp"));
    QFont bold = lImp->font();
    bold.setBold(true);
    lImp->setFont(bold);
    layout->addWidget(lImp);
    lInt = new QLabel(this);
    lInt->setObjectName(QStringLiteral("lInt"));
    lInt->setWordWrap(true);
    lInt->setMinimumWidth(360);
    layout->addWidget(lInt);

    auto* grid = new QGridLayout;
    const auto amount = [&](int row, const QString& caption, const char* name) {
        TNumEdit* e = MakeAmountEdit(this, name, 160);
        QLabel* c = MakeCaption(this, caption);
        c->setBuddy(e);
        grid->addWidget(c, row, 0, Qt::AlignRight);
        grid->addWidget(e, row, 1);
        connect(e, &QLineEdit::textChanged, this, Guarded([this] { FiguresChanged(); }));
        return e;
    };
    edCr_AL = amount(0, QStringLiteral("Crédits Initiaux : "), "edCr_AL");
    edCr_RV = amount(1, QStringLiteral("Crédits Révisés : "), "edCr_RV");
    edEng = amount(2, QStringLiteral("Engagements : "), "edEng");
    edPmt = amount(3, QStringLiteral("Paiements : "), "edPmt");
    const auto result = [&](int row, const QString& caption, const char* name, const QString& suffix) {
        QLabel* l = MakeValueLabel(this, name);
        l->setText(QStringLiteral("0.00"));
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(MakeCaption(this, caption), row, 0, Qt::AlignRight);
        grid->addWidget(l, row, 1);
        if (!suffix.isEmpty())
            grid->addWidget(new QLabel(suffix, this), row, 2);
        return l;
    };
    lSolde = result(4, QStringLiteral("Solde : "), "lSolde", QString());
    lTaux = result(5, QStringLiteral("Tx Cons.: "), "lTaux", QStringLiteral(" %"));
    layout->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btnOk = MakeButton(this, "btnOk", QStringLiteral("OK"));
    btnOk->setDefault(true);
    btnCancel = MakeButton(this, "btnCancel", QStringLiteral("Annuler"));
    btnClose = MakeButton(this, "btnClose", QStringLiteral("Fermer"));
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnClose);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnOk, &QPushButton::clicked, this, Guarded([this] { btnOkClick(); }));
    connect(btnCancel, &QPushButton::clicked, this, Guarded([this] { btnCancelClick(); }));
    connect(btnClose, &QPushButton::clicked, this, Guarded([this] { reject(); }));
}

TfrmModifSF::~TfrmModifSF() = default;

void TfrmModifSF::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    RunGuarded([this] { FormShow(); });
}

void TfrmModifSF::FormShow()
{
    lImp->setText(Row.par.trimmed().isEmpty() ? Row.chap + QStringLiteral("-") + Row.art
                                              : Row.chap + QStringLiteral("-") + Row.art + QStringLiteral(".") + Row.par);
    lInt->setText(Row.intitule.trimmed());
    SetFigures(Row);
    btnClose->setFocus();
}

void TfrmModifSF::SetFigures(const TSituationRow& row)
{
    m_filling = true;
    edCr_AL->SetAsCurrency(row.crAl);
    edCr_RV->SetAsCurrency(row.crRv);
    edEng->SetAsCurrency(row.eng);
    edPmt->SetAsCurrency(row.pmt);
    m_filling = false;
    const TSituationRow shown = EditedRow();
    lSolde->setText(shown.sld.formatMoney());
    lTaux->setText(shown.taux.formatMoney());
    SetPending(false);
}

void TfrmModifSF::SetPending(bool pending)
{
    btnOk->setEnabled(pending);
    btnCancel->setEnabled(pending);
}

TSituationRow TfrmModifSF::EditedRow() const
{
    return CorrectedSituationRow(Row, edCr_AL->AsCurrency(), edCr_RV->AsCurrency(), edEng->AsCurrency(),
                                 edPmt->AsCurrency());
}

void TfrmModifSF::FiguresChanged()
{
    if (m_filling)
        return;
    const TSituationRow edited = EditedRow();
    lSolde->setText(edited.sld.formatMoney());
    lTaux->setText(edited.taux.formatMoney());
    SetPending(true);
}

void TfrmModifSF::btnCancelClick()
{
    SetFigures(Row);
}

void TfrmModifSF::btnOkClick()
{
    if (ShowMessageBox(QStringLiteral("Appliquer les modifs apportées à la situation ?"), mtConfirmation,
                       MsgButton::Yes | MsgButton::No) != mrYes)
        return;
    TWaitCursor wait;
    // Whether the save succeeds or is refused, the window shows the table as it stands.
    const auto refresh = qScopeGuard([this] {
        if (Applied)
            Applied();
    });
    {
        TWriteGuard write;
        TSituationStore(DM->LURDO).CorrectRow(Row, EditedRow());
        write.Commit();
    }
    SetPending(false);
}

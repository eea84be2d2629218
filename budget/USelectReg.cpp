#include "budget/USelectReg.h"

#include "core/Guard.h"
#include "refdata/UListFNM.h"
#include "ui/FormKit.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const SheetOrigin kKinds[] = {SheetOrigin::PaymentOrders, SheetOrigin::Transfer, SheetOrigin::AmendingBudget,
                              SheetOrigin::Cancellation};

} // namespace

TfrmSelectReg::TfrmSelectReg(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSelectReg"));
    setWindowTitle(QStringLiteral("Régularisation"));
    auto* main = new QVBoxLayout(this);

    auto* line = new QGridLayout;
    // The line is chosen through the button only: its fields show it.
    edChap = MakeShownEdit(this, "edChap");
    edArt = MakeShownEdit(this, "edArt");
    edPar = MakeShownEdit(this, "edPar");
    for (QLineEdit* e : {edChap, edArt, edPar})
        e->setFixedWidth(60);
    btnGetImp = MakeButton(this, "btnGetImp", QStringLiteral("Sélectionner une imputation"));
    line->addWidget(MakeCaption(this, QStringLiteral("Imputation : ")), 0, 0);
    line->addLayout(MakeFieldRow({edChap, edArt, edPar, btnGetImp}), 0, 1);
    lInt = new QLabel(this);
    lInt->setObjectName(QStringLiteral("lInt"));
    lInt->setWordWrap(true);
    line->addWidget(lInt, 1, 1);
    main->addLayout(line);

    auto* box = new QGroupBox(QStringLiteral("Régulariser"), this);
    box->setObjectName(QStringLiteral("rdRegul"));
    auto* radios = new QVBoxLayout(box);
    rdRegul = new QButtonGroup(this);
    int index = 0;
    for (const char* caption : {"Mandats", "Transfert", "Modificatif", "Désengagement"}) {
        auto* r = new QRadioButton(QString::fromUtf8(caption), box);
        radios->addWidget(r);
        rdRegul->addButton(r, index++);
    }
    rdRegul->button(0)->setChecked(true);
    main->addWidget(box);
    main->addLayout(MakeOkCancelRow(this, &btnOk, &btnCancel));
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnGetImp, &QPushButton::clicked, this, Guarded([this] { btnGetImpClick(); }));
    // The first thing the user can do: choose the line.
    btnGetImp->setFocus();
}

SheetOrigin TfrmSelectReg::Kind() const
{
    const int index = rdRegul->checkedId();
    return kKinds[index >= 0 && index < 4 ? index : 0];
}

QString TfrmSelectReg::LineText() const
{
    if (IdFnm <= 0)
        return QString();
    QString imput = edChap->text() + QStringLiteral(".") + edArt->text();
    if (!edPar->text().isEmpty())
        imput += QStringLiteral(".") + edPar->text();
    return imput + QStringLiteral(" - ") + lInt->text();
}

void TfrmSelectReg::TakeLine(qint64 idFnm, const QString& chap, const QString& art, const QString& par,
                             const QString& title)
{
    IdFnm = idFnm;
    edChap->setText(chap.trimmed());
    edArt->setText(art.trimmed());
    edPar->setText(par.trimmed());
    lInt->setText(title);
    rdRegul->checkedButton()->setFocus();
}

void TfrmSelectReg::btnGetImpClick()
{
    TfrmListFNM picker(this);
    picker.SelectMode = true;
    if (picker.exec() != QDialog::Accepted || picker.IdFnm <= 0)
        return;
    TakeLine(picker.IdFnm, picker.Chap, picker.Art, picker.Par, picker.Intitule);
}

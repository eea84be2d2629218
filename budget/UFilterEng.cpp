#include "budget/UFilterEng.h"

#include "controls/NumEdit.h"
#include "core/Guard.h"
#include "refdata/Pickers.h"
#include "ui/FormKit.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmFilterEng::TfrmFilterEng(QWidget* parent)
    : TFilterDialog(parent)
{
    setObjectName(QStringLiteral("frmFilterEng"));
    setWindowTitle(QStringLiteral("Filtre Engagements"));
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(6);

    const int num = AddCriterion(layout, "lblNum", "gradNum", QStringLiteral("N° FE"), &NumChecked, &lblNum, &gradNum);
    AddNumberRange(layout, num, &edNumD, &edNumF);

    const int date = AddCriterion(layout, "lblDate", "gradDate", QStringLiteral("Date"), &DateChecked, &lblDate,
                                  &gradDate);
    AddDateRange(layout, date, &DateD, &DateF);

    const int imput = AddCriterion(layout, "lblImput", "gradImput", QStringLiteral("Imputation"), &ImputChecked,
                                   &lblImput, &gradImput);
    AddBudgetLineRow(layout, imput, &edChap, &edArt, &edPar, &btnGetImput);

    const int mt = AddCriterion(layout, "lblMt", "gradMt", QStringLiteral("Montant Eng"), &MtChecked, &lblMt, &gradMt);
    AddAmountRange(layout, mt, "edMtMin", "edMtMax", &edMtMin, &edMtMax);

    // The beneficiary and the amounts of the sheet's expenses.
    auto* box = new QGroupBox(QStringLiteral("Bénéficiaire"), this);
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->setContentsMargins(6, 4, 6, 6);
    auto* benRow = new QHBoxLayout;
    benRow->addWidget(new QLabel(QStringLiteral("Nom : "), box));
    edNomBen = MakeEdit(box, "edNomBen", 0, true);
    edNomBen->setFocusPolicy(Qt::NoFocus);
    btnGetBen = MakeButton(box, "btnGetBen", QStringLiteral("..."), QStringLiteral("Choisir le bénéficiaire"));
    btnGetBen->setFixedWidth(28);
    btnClearBen = MakeButton(box, "btnClearBen", QStringLiteral("X"), QStringLiteral("Aucun bénéficiaire"));
    btnClearBen->setFixedWidth(28);
    benRow->addWidget(edNomBen, 1);
    benRow->addWidget(btnGetBen);
    benRow->addWidget(btnClearBen);
    boxLayout->addLayout(benRow);
    const int mtBen = AddCriterion(boxLayout, "lblMtBen", "gradMtBen", QStringLiteral("Montant"), &MtBenChecked,
                                   &lblMtBen, &gradMtBen);
    AddAmountRange(boxLayout, mtBen, "edMtMinBen", "edMtMaxBen", &edMtMinBen, &edMtMaxBen);
    layout->addWidget(box);

    AddApplyButtons(layout, &btnOk, &btnCancel);
    connect(btnGetImput, &QPushButton::clicked, this, Guarded([this] { btnGetImputClick(); }));
    connect(btnGetBen, &QPushButton::clicked, this, Guarded([this] { btnGetBenClick(); }));
    connect(btnClearBen, &QPushButton::clicked, this, Guarded([this] { btnClearBenClick(); }));

    const TCommitmentCriteria reset = TCommitmentCriteria::Reset();
    DateD->setDate(reset.dateFrom);
    DateF->setDate(reset.dateTo);
    setFixedWidth(420);
}

void TfrmFilterEng::SetCriteria(const TCommitmentCriteria& f)
{
    NumChecked = f.num;
    DateChecked = f.date;
    ImputChecked = f.imput;
    MtChecked = f.mt;
    MtBenChecked = f.mtBen;
    edNumD->setText(f.numFrom);
    edNumF->setText(f.numTo);
    DateD->setDate(f.dateFrom);
    DateF->setDate(f.dateTo);
    edMtMin->SetAsCurrency(f.mtMin);
    edMtMax->SetAsCurrency(f.mtMax);
    edMtMinBen->SetAsCurrency(f.mtMinBen);
    edMtMaxBen->SetAsCurrency(f.mtMaxBen);
    IdFnm = f.idFnm;
    edChap->setText(f.chap);
    edArt->setText(f.art);
    edPar->setText(f.par);
    IdBen = f.idBen;
    edNomBen->setText(f.benName);
    ShowCriteria();
}

TCommitmentCriteria TfrmFilterEng::Criteria() const
{
    TCommitmentCriteria f;
    f.num = NumChecked;
    f.date = DateChecked;
    f.imput = ImputChecked;
    f.mt = MtChecked;
    f.mtBen = MtBenChecked;
    f.numFrom = edNumD->text();
    f.numTo = edNumF->text();
    f.dateFrom = DateD->date();
    f.dateTo = DateF->date();
    f.mtMin = edMtMin->TryAsCurrency().value_or(Currency());
    f.mtMax = edMtMax->TryAsCurrency().value_or(Currency());
    f.mtMinBen = edMtMinBen->TryAsCurrency().value_or(Currency());
    f.mtMaxBen = edMtMaxBen->TryAsCurrency().value_or(Currency());
    f.idFnm = IdFnm;
    f.chap = edChap->text();
    f.art = edArt->text();
    f.par = edPar->text();
    f.idBen = IdBen;
    f.benName = edNomBen->text();
    return f;
}

void TfrmFilterEng::btnGetImputClick()
{
    const std::optional<TPickedBudgetLine> line = PickBudgetLine(this);
    if (!line)
        return;
    IdFnm = line->idFnm;
    edChap->setText(line->chap);
    edArt->setText(line->art);
    edPar->setText(line->par);
}

void TfrmFilterEng::btnGetBenClick()
{
    // A cancelled choice keeps the beneficiary shown, which is the one that filters.
    const std::optional<TPickedBeneficiary> ben = PickBeneficiary(this);
    if (!ben)
        return;
    IdBen = ben->idBen;
    edNomBen->setText(ben->name);
}

void TfrmFilterEng::btnClearBenClick()
{
    IdBen = -1;
    edNomBen->clear();
}

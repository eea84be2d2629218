#include "expenditure/UFilterDep.h"

#include "controls/Gradient.h"
#include "controls/NumEdit.h"
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "refdata/Pickers.h"
#include "ui/ListRecordPattern.h"
#include "ui/RowCriteria.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

} // namespace

// ---------------------------------------------------------------------------
// Criteria and their condition

TExpenseFilter TExpenseFilter::Reset()
{
    TExpenseFilter f;
    f.ResetDates();
    return f;
}

std::optional<ExpenseKind> TExpenseFilter::Kind() const
{
    // The list holds "Toutes les dépenses", then the kinds in the order of their codes.
    return kindIndex > 0 ? std::optional(fromDb<ExpenseKind>(kindIndex - 1)) : std::nullopt;
}

void TSqlCondition::BindTo(db::Query& query) const
{
    for (const auto& p : params)
        query.setParam(p.first, p.second);
}

TSqlCondition BuildExpenseCondition(const TExpenseFilter& f, const QString& prefix)
{
    TSqlCondition c;
    QStringList pieces;
    auto column = [&](const char* name) { return prefix + QLatin1String(name); };
    if (const std::optional<ExpenseKind> kind = f.Kind()) {
        pieces << QStringLiteral("(%1=:TYPE_DEPENSE)").arg(column("TYPE_DEPENSE"));
        c.params.append({QStringLiteral("TYPE_DEPENSE"), toDbValue(*kind)});
    }
    if (f.imput && f.idFnm != -1) {
        pieces << QStringLiteral("(%1=:ID_FNM)").arg(column("ID_FNM"));
        c.params.append({QStringLiteral("ID_FNM"), db::Value(f.idFnm)});
    }
    if (f.num && !f.numFrom.isEmpty()) {
        // Numbers compare as text.
        pieces << QStringLiteral("(%1>=:NUM_D) AND (%1<=:NUM_F)").arg(column("NO_DEPENSE"));
        c.params.append({QStringLiteral("NUM_D"), db::Value(f.numFrom)});
        c.params.append({QStringLiteral("NUM_F"), db::Value(f.numTo)});
    }
    if (f.date) {
        pieces << QStringLiteral("(%1>=:DATE_D) AND (%1<=:DATE_F)").arg(column("DATE_DEPENSE"));
        c.params.append({QStringLiteral("DATE_D"), db::Value(f.dateFrom)});
        c.params.append({QStringLiteral("DATE_F"), db::Value(f.dateTo)});
    }
    if (f.mt) {
        pieces << QStringLiteral("(%1>=:MT_MIN) AND (%1<=:MT_MAX)").arg(column("MONTANT"));
        c.params.append({QStringLiteral("MT_MIN"), db::Value(f.mtMin)});
        c.params.append({QStringLiteral("MT_MAX"), db::Value(f.mtMax)});
    }
    if (f.ben && f.idBen != -1) {
        pieces << QStringLiteral("(%1=:ID_BEN)").arg(column("ID_BEN"));
        c.params.append({QStringLiteral("ID_BEN"), db::Value(f.idBen)});
    }
    c.sql = pieces.join(QStringLiteral(" AND "));
    return c;
}

QueryTableModel::Filter ExpenseRowFilter(const TExpenseFilter& f)
{
    const std::optional<ExpenseKind> kind = f.Kind();
    const bool imput = f.imput && f.idFnm != -1;
    const bool num = f.num && !f.numFrom.isEmpty();
    const bool ben = f.ben && f.idBen != -1;
    if (!kind && !imput && !num && !f.date && !f.mt && !ben)
        return nullptr;
    return [=](const QueryRow& r) {
        if (kind && !criteria::KeyEquals(r.value(QStringLiteral("TYPE_DEPENSE")), toDb(*kind)))
            return false;
        if (imput && !criteria::KeyEquals(r.value(QStringLiteral("ID_FNM")), f.idFnm))
            return false;
        if (num && !criteria::TextBetween(r.value(QStringLiteral("NO_DEPENSE")), f.numFrom, f.numTo))
            return false;
        if (f.date && !criteria::DateBetween(r.value(QStringLiteral("DATE_DEPENSE")), f.dateFrom, f.dateTo))
            return false;
        if (f.mt && !criteria::AmountBetween(r.value(QStringLiteral("MONTANT")), f.mtMin, f.mtMax))
            return false;
        if (ben && !criteria::KeyEquals(r.value(QStringLiteral("ID_BEN")), f.idBen))
            return false;
        return true;
    };
}

// ---------------------------------------------------------------------------
// The dialog

TfrmFilterDep::TfrmFilterDep(QWidget* parent)
    : TFilterDialog(parent)
{
    setObjectName(QStringLiteral("frmFilterDep"));
    setWindowTitle(QStringLiteral("Filtre dépenses"));
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(6);

    auto* kind = new QHBoxLayout;
    lTypeDep = new QLabel(QStringLiteral("Type : "), this);
    cmbTypeDep = new QComboBox(this);
    cmbTypeDep->setObjectName(QStringLiteral("cmbTypeDep"));
    cmbTypeDep->addItems({QStringLiteral("Toutes les dépenses"), QStringLiteral("Factures"),
                          QStringLiteral("Missions et autres dépenses"), QStringLiteral("Charges salariales à mandater"),
                          QStringLiteral("Charges salariales à engager")});
    kind->addWidget(lTypeDep);
    kind->addWidget(cmbTypeDep, 1);
    layout->addLayout(kind);

    const int num = AddCriterion(layout, "lblNum", "gradNum", QStringLiteral("N° Dépense"), &FilterNum, &lblNum,
                                 &gradNum);
    AddNumberRange(layout, num, &edNumD, &edNumF);

    const int date = AddCriterion(layout, "lblDate", "gradDate", QStringLiteral("Date"), &FilterDate, &lblDate,
                                  &gradDate);
    AddDateRange(layout, date, &DateD, &DateF);

    const int imput = AddCriterion(layout, "lblImput", "gradImput", QStringLiteral("Imputation"), &FilterImput,
                                   &lblImput, &gradImput);
    AddBudgetLineRow(layout, imput, &edChap, &edArt, &edPar, &btnGetImput);
    lInt = new QLabel(this);
    lInt->setObjectName(QStringLiteral("lInt"));
    lInt->setWordWrap(true);
    lInt->setContentsMargins(12, 0, 0, 0);
    layout->addWidget(lInt);

    const int mt = AddCriterion(layout, "lblMt", "gradMt", QStringLiteral("Montant"), &FilterMt, &lblMt, &gradMt);
    AddAmountRange(layout, mt, "edMtMin", "edMtMax", &edMtMin, &edMtMax);

    const int ben = AddCriterion(layout, "lblBen", "gradBen", QStringLiteral("Bénéficiaire"), &FilterBen, &lblBen,
                                 &gradBen);
    QHBoxLayout* benRow = AddRow(layout);
    lNomBen = new QLabel(this);
    lNomBen->setObjectName(QStringLiteral("lNomBen"));
    lNomBen->setMinimumWidth(260);
    lNomBen->setFrameShape(QFrame::StyledPanel);
    btnGetBen = MakeButton(this, "btnGetBen", QStringLiteral("..."), QStringLiteral("Choisir le bénéficiaire"));
    btnGetBen->setFixedWidth(28);
    benRow->addWidget(lNomBen, 1);
    benRow->addWidget(btnGetBen);
    AddCriterionControls(ben, {btnGetBen});

    AddApplyButtons(layout, &btnOk, &btnCancel);
    connect(btnGetImput, &QPushButton::clicked, this, Guarded([this] { btnGetImputClick(); }));
    connect(btnGetBen, &QPushButton::clicked, this, Guarded([this] { btnGetBenClick(); }));

    SetChoiceFields(&IdFnm, &IdBen);
    setFixedWidth(420);
}

void TfrmFilterDep::SetCriteria(const TExpenseFilter& f)
{
    TypeDepIndex = f.kindIndex;
    FilterBen = f.ben;
    PutRanges(f);
}

TExpenseFilter TfrmFilterDep::Criteria() const
{
    TExpenseFilter f;
    TakeRanges(f);
    f.kindIndex = cmbTypeDep->currentIndex() < 0 ? 0 : cmbTypeDep->currentIndex();
    f.ben = FilterBen;
    return f;
}

void TfrmFilterDep::ShowBudgetLineTitle(const QString& intitule)
{
    lInt->setText(intitule);
}

void TfrmFilterDep::SetBeneficiaryName(const QString& name)
{
    lNomBen->setText(name);
}

QString TfrmFilterDep::BeneficiaryName() const
{
    return lNomBen->text();
}

void TfrmFilterDep::showEvent(QShowEvent* event)
{
    TFilterDialog::showEvent(event);
    const bool anyKind = !TypeDep;
    cmbTypeDep->setEnabled(anyKind);
    lTypeDep->setEnabled(anyKind);
    cmbTypeDep->setCurrentIndex(anyKind ? TypeDepIndex : toDb(*TypeDep) + 1);
}

void TfrmFilterDep::CriterionToggled(int criterion, bool on)
{
    // Switching the beneficiary off forgets it; the budget line is kept.
    if (criterion == crBen && !on) {
        IdBen = -1;
        lNomBen->clear();
    }
}

void TfrmFilterDep::btnGetImputClick()
{
    if (const std::optional<TPickedBudgetLine> line = PickBudgetLine(this))
        ShowBudgetLine(line->idFnm, line->chap, line->art, line->par, line->intitule);
}

void TfrmFilterDep::btnGetBenClick()
{
    const std::optional<TPickedBeneficiary> ben = PickBeneficiary(this);
    if (!ben)
        return;
    IdBen = ben->idBen;
    lNomBen->setText(ben->name);
}

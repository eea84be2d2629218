#include "expenditure/DocumentFilter.h"

#include "controls/NumEdit.h"
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "data/UDM.h"
#include "refdata/Pickers.h"
#include "ui/FormKit.h"
#include "ui/RowCriteria.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TDocumentCriteria TDocumentCriteria::Reset()
{
    TDocumentCriteria f;
    f.ResetDates();
    return f;
}

QSet<qint64> DocumentsOfExpenses(const TDocumentCriteria& f, const TDocumentRows& rows)
{
    QStringList where;
    if (rows.lineObject)
        where << QStringLiteral("D.OBJET=:OBJET");
    if (f.idBen != -1)
        where << QStringLiteral("E.ID_BEN=:ID_BEN");
    if (f.mtBen)
        where << QStringLiteral("E.MONTANT>=:MT_MIN AND E.MONTANT<=:MT_MAX");
    db::Query q(DM->LURDO, QStringLiteral("SELECT DISTINCT D.%1 FROM %2 D JOIN DEPENSE E ON E.ID_DEPENSE=D.ID_DETAIL")
                                   .arg(rows.key, rows.lineTable)
                               + (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "))));
    if (rows.lineObject)
        q.setParam(QStringLiteral("OBJET"), toDb(*rows.lineObject));
    if (f.idBen != -1)
        q.setParam(QStringLiteral("ID_BEN"), f.idBen);
    if (f.mtBen) {
        q.setParam(QStringLiteral("MT_MIN"), f.mtMinBen);
        q.setParam(QStringLiteral("MT_MAX"), f.mtMaxBen);
    }
    q.open();
    QSet<qint64> ids;
    ids.reserve(q.rowCount());
    for (int r = 0; r < q.rowCount(); ++r)
        ids.insert(db::toInt(q.at(r, 0)));
    return ids;
}

QueryTableModel::Filter DocumentRowFilter(const TDocumentCriteria& f, const TDocumentRows& rows,
                                          const QSet<qint64>& ofLine, const QString& chapter)
{
    if (f.IsEmpty() && chapter.isEmpty())
        return nullptr;
    const bool num = f.ByNumber();
    const bool line = f.ByBudgetLine();
    const bool byExpenses = f.ByExpenses();
    const QSet<qint64> ofExpenses = byExpenses ? DocumentsOfExpenses(f, rows) : QSet<qint64>();
    return [=](const QueryRow& r) {
        if (!chapter.isEmpty() && criteria::CompareStoredText(r.asString(QStringLiteral("CHAP")), chapter) != 0)
            return false;
        if (num && !criteria::TextBetween(r.value(rows.number), f.numFrom, f.numTo))
            return false;
        if (line) {
            const bool onLine = rows.budgetLine.isEmpty() ? ofLine.contains(r.asInt(rows.key))
                                                          : criteria::KeyEquals(r.value(rows.budgetLine), f.idFnm);
            if (!onLine)
                return false;
        }
        if (f.date && !criteria::DateBetween(r.value(rows.date), f.dateFrom, f.dateTo))
            return false;
        if (f.mt && !criteria::AmountBetween(r.value(rows.amount), f.mtMin, f.mtMax))
            return false;
        if (byExpenses && !ofExpenses.contains(r.asInt(rows.key)))
            return false;
        return true;
    };
}

TDocumentFilterDialog::TDocumentFilterDialog(QWidget* parent, const QString& numberCaption,
                                             const QString& amountCaption)
    : TFilterDialog(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(6);

    const int num = AddCriterion(layout, "lblNum", "gradNum", numberCaption, &NumChecked, &lblNum, &gradNum);
    AddNumberRange(layout, num, &edNumD, &edNumF);

    const int date = AddCriterion(layout, "lblDate", "gradDate", QStringLiteral("Date"), &DateChecked, &lblDate,
                                  &gradDate);
    AddDateRange(layout, date, &DateD, &DateF);

    const int imput = AddCriterion(layout, "lblImput", "gradImput", QStringLiteral("Imputation"), &ImputChecked,
                                   &lblImput, &gradImput);
    AddBudgetLineRow(layout, imput, &edChap, &edArt, &edPar, &btnGetImput);

    const int mt = AddCriterion(layout, "lblMt", "gradMt", amountCaption, &MtChecked, &lblMt, &gradMt);
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

    SetChoiceFields(&IdFnm, &IdBen);
    setFixedWidth(440);
}

void TDocumentFilterDialog::SetCriteria(const TDocumentCriteria& f)
{
    MtBenChecked = f.mtBen;
    edMtMinBen->SetAsCurrency(f.mtMinBen);
    edMtMaxBen->SetAsCurrency(f.mtMaxBen);
    PutRanges(f);
}

TDocumentCriteria TDocumentFilterDialog::Criteria() const
{
    TDocumentCriteria f;
    TakeRanges(f);
    f.mtBen = MtBenChecked;
    f.mtMinBen = edMtMinBen->TryAsCurrency().value_or(Currency());
    f.mtMaxBen = edMtMaxBen->TryAsCurrency().value_or(Currency());
    return f;
}

void TDocumentFilterDialog::SetBeneficiaryName(const QString& name)
{
    edNomBen->setText(name);
}

QString TDocumentFilterDialog::BeneficiaryName() const
{
    return edNomBen->text();
}

void TDocumentFilterDialog::btnGetImputClick()
{
    if (const std::optional<TPickedBudgetLine> line = PickBudgetLine(this))
        ShowBudgetLine(line->idFnm, line->chap, line->art, line->par, line->intitule);
}

void TDocumentFilterDialog::btnGetBenClick()
{
    // A cancelled choice keeps the beneficiary shown, which is the one that filters.
    const std::optional<TPickedBeneficiary> ben = PickBeneficiary(this);
    if (!ben)
        return;
    IdBen = ben->idBen;
    edNomBen->setText(ben->name);
}

void TDocumentFilterDialog::btnClearBenClick()
{
    IdBen = -1;
    edNomBen->clear();
}

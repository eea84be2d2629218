#pragma once
// TfrmFilterDep ("Filtre dépenses"): the filter dialog of the expense listing
// and of the expense picker. It edits a set of criteria that the caller keeps
// while it is open (TExpenseFilter) and turns into a condition on DEPENSE
// (BuildExpenseCondition), every value a parameter.
//
// Each criterion sits under a clickable gradient header that switches it on
// (green to lime) or off (green to black); see ui/FilterDialog.h.

#include "data/Codes.h"
#include "db/Database.h"
#include "ui/FilterDialog.h"
#include "ui/QueryTableModel.h"

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class TGradient;
class TNumEdit;

// The criteria a listing keeps between two filter runs.
struct TExpenseFilter : TRangeCriteria {
    int kindIndex = 0;          // 0 "Toutes les dépenses", then the kinds in the order of their codes
    bool ben = false;

    std::optional<ExpenseKind> Kind() const;   // the kind chosen; none: every kind

    // Every switch off, nothing chosen, the dates 1 January to 31 December of
    // the fiscal year.
    static TExpenseFilter Reset();
};

// A condition on DEPENSE and the values of its parameters.
struct TSqlCondition {
    QString sql;                                   // empty: no criterion
    QList<QPair<QString, db::Value>> params;
    bool IsEmpty() const { return sql.isEmpty(); }
    void BindTo(db::Query& query) const;
};

// The condition of the criteria, in the order kind, budget line, numbers,
// dates, amounts, beneficiary; `prefix` qualifies the columns ("D.").
TSqlCondition BuildExpenseCondition(const TExpenseFilter& filter, const QString& prefix = QString());
// The same criteria over fetched expense rows (TYPE_DEPENSE, ID_FNM,
// NO_DEPENSE, DATE_DEPENSE, MONTANT, ID_BEN): a row is kept exactly when the
// condition above would select it. Null when no criterion applies.
QueryTableModel::Filter ExpenseRowFilter(const TExpenseFilter& filter);

class TfrmFilterDep : public TFilterDialog {
    Q_OBJECT
public:
    explicit TfrmFilterDep(QWidget* parent = nullptr);

    // In: the caller's kind (none: the kind can be chosen); the kept kind index.
    std::optional<ExpenseKind> TypeDep;
    int TypeDepIndex = 0;
    // In and out.
    bool FilterNum = false;
    bool FilterDate = false;
    bool FilterImput = false;
    bool FilterMt = false;
    bool FilterBen = false;
    qint64 IdBen = -1;
    qint64 IdFnm = -1;

    // Gives the dialog the kept criteria (fields and controls), and reads them back.
    void SetCriteria(const TExpenseFilter& filter);
    TExpenseFilter Criteria() const;

    QComboBox* cmbTypeDep = nullptr;
    QLabel* lTypeDep = nullptr;
    QLabel* lblNum = nullptr;
    QLabel* lblDate = nullptr;
    QLabel* lblImput = nullptr;
    QLabel* lblMt = nullptr;
    QLabel* lblBen = nullptr;
    TGradient* gradNum = nullptr;
    TGradient* gradDate = nullptr;
    TGradient* gradImput = nullptr;
    TGradient* gradMt = nullptr;
    TGradient* gradBen = nullptr;
    QLineEdit* edNumD = nullptr;
    QLineEdit* edNumF = nullptr;
    QDateEdit* DateD = nullptr;
    QDateEdit* DateF = nullptr;
    TNumEdit* edMtMin = nullptr;
    TNumEdit* edMtMax = nullptr;
    QLineEdit* edChap = nullptr;
    QLineEdit* edArt = nullptr;
    QLineEdit* edPar = nullptr;
    QLabel* lInt = nullptr;
    QLabel* lNomBen = nullptr;
    QPushButton* btnGetImput = nullptr;
    QPushButton* btnGetBen = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    enum Criterion { crNum, crDate, crImput, crMt, crBen };
    void btnGetImputClick();
    void btnGetBenClick();

protected:
    void showEvent(QShowEvent* event) override;
    void CriterionToggled(int criterion, bool on) override;
    void ShowBudgetLineTitle(const QString& intitule) override;
    void SetBeneficiaryName(const QString& name) override;
    QString BeneficiaryName() const override;
};

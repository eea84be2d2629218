#pragma once
// TfrmFilterDep ("Filtre dépenses"): the filter dialog of the expense listing
// and of the expense picker (documents/FilterDialog.h): the kind, expense
// numbers, dates, budget line and its title, amounts, and the beneficiary as a
// criterion of its own. The caller keeps the criteria (TFilterCriteria) and
// turns them into a condition on DEPENSE (BuildExpenseCondition), every value
// a parameter.

#include "db/Database.h"
#include "documents/FilterDialog.h"
#include "ui/QueryTableModel.h"

#include <QList>
#include <QPair>
#include <QString>

// A condition on DEPENSE and the values of its parameters.
struct TSqlCondition {
    QString sql;                                   // empty: no criterion
    QList<QPair<QString, db::Value>> params;
    bool IsEmpty() const { return sql.isEmpty(); }
    void BindTo(db::Query& query) const;
};

// The condition of the criteria, in the order kind, budget line, numbers,
// dates, amounts, beneficiary; `prefix` qualifies the columns ("D.").
TSqlCondition BuildExpenseCondition(const TFilterCriteria& filter, const QString& prefix = QString());
// The same criteria over fetched expense rows (TYPE_DEPENSE, ID_FNM,
// NO_DEPENSE, DATE_DEPENSE, MONTANT, ID_BEN): a row is kept exactly when the
// condition above would select it. Null when no criterion applies.
QueryTableModel::Filter ExpenseRowFilter(const TFilterCriteria& filter);

class TfrmFilterDep : public TFilterDialog {
    Q_OBJECT
public:
    explicit TfrmFilterDep(QWidget* parent = nullptr);
};

#pragma once
// The expense listing's and the expense picker's criteria (TFilterCriteria,
// which TfrmFilterDep edits) as a condition on DEPENSE, every value a
// parameter, and as the same test over fetched expense rows.

#include "data/ListingRows.h"
#include "db/Database.h"
#include "documents/DocumentFilter.h"

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
TRowFilter ExpenseRowFilter(const TFilterCriteria& filter);

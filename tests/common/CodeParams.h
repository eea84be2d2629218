#pragma once
// The codes a test statement names as parameters, by one fixed vocabulary
// (:INVOICE, :USER_ORIGIN, :IN_FORCE...): each bound to its stored form when
// the statement has it, so that the rows a test writes in plain SQL name their
// codes as the program does.

#include "data/Codes.h"
#include "db/Database.h"

#include <QList>
#include <QPair>

namespace rows {

inline void BindCodes(db::Query& q)
{
    const QList<QPair<QString, db::Value>> codes{
        {QStringLiteral("INVOICE"), toDbValue(ExpenseKind::Invoice)},
        {QStringLiteral("MISSION"), toDbValue(ExpenseKind::Mission)},
        {QStringLiteral("SALARY_TO_PAY"), toDbValue(ExpenseKind::SalaryToPay)},
        {QStringLiteral("SALARY_TO_COMMIT"), toDbValue(ExpenseKind::SalaryToCommit)},
        {QStringLiteral("EXPENSE_SHEET"), toDbValue(SheetObject::Expense)},
        {QStringLiteral("ECONOMY"), toDbValue(SheetObject::Economy)},
        {QStringLiteral("EXPENSE_LINE"), toDbValue(LineObject::Expense)},
        {QStringLiteral("USER_ORIGIN"), toDbValue(SheetOrigin::User)},
        {QStringLiteral("CANCELLATION"), toDbValue(SheetOrigin::Cancellation)},
        {QStringLiteral("PRIMITIVE"), toDbValue(SheetOrigin::PrimitiveBudget)},
        {QStringLiteral("PAYMENT_ORDERS"), toDbValue(SheetOrigin::PaymentOrders)},
        {QStringLiteral("GIVING"), toDbValue(TransferSide::Giving)},
        {QStringLiteral("IN_FORCE"), db::Value(SheetInForce)},
        {QStringLiteral("PAID"), toDbValue(OrderStatus::Paid)},
        {QStringLiteral("IMPUTATION"), toDbValue(SalaryLineType::Imputation)},
        {QStringLiteral("SUPPLIER"), toDbValue(BeneficiaryType::Supplier)}};
    const QStringList named = q.paramNames();
    for (const auto& [name, value] : codes)
        if (named.contains(name))
            q.setParam(name, value);
}

} // namespace rows

#pragma once
// The codes of the domain as the year's tables store them: expense kinds,
// sheet origins and objects, transfer sides, states, salary lines, beneficiary
// types and service kinds, and the expense picker's document mode (a letter the
// picker is handed, not a stored column). The program names a code
// by its enumerator; toDb gives the stored form a statement binds as a
// parameter, fromDb<Code> reads a stored value back. Numeric codes keep their
// stored number as the enumerator's value, so a value the program does not
// know reads back as itself and falls to a switch's default.

#include "db/Database.h"

#include <QString>

#include <optional>
#include <type_traits>

// DEPENSE.TYPE_DEPENSE.
enum class ExpenseKind : int { Invoice = 0, Mission = 1, SalaryToPay = 2, SalaryToCommit = 3 };

// ENT_ENG.ORIGINE (and ENT_ENG_REG.ORIGINE, a regularisation sheet's kind):
// where a sheet comes from. Stored as text: empty for a user commitment, the
// digit otherwise.
enum class SheetOrigin : int {
    User = 0,             // a user's expense commitment ("")
    Cancellation = 1,     // "1": cancels the sheet ID_ORIGINE
    PrimitiveBudget = 2,  // "2": the primitive budget of the line ID_ORIGINE
    AmendingBudget = 3,   // "3": its amending budget
    Transfer = 4,         // "4": one row of the credit transfer ID_ORIGINE
    PaymentOrders = 5,    // "5": a regularisation sheet of payment orders
};

// ENT_ENG.ID_ORIGINE of a user commitment: it comes from no record.
inline constexpr qint64 NoOriginRecord = -1;

// ENT_ENG.OBJET: which way a sheet moves its line's credit.
enum class SheetObject : int {
    Expense = 0,   // DEPENSE: takes credit away
    Economy = 1,   // ECONOMIE: gives credit to the line
};

// DET_ENG.OBJET (and DET_ENG_REG.OBJET): what a sheet's line points to.
enum class LineObject : int {
    Expense = 0,          // an expense (ID_DETAIL = ID_DEPENSE)
    Cancellation = 1,     // the cancelled sheet
    PrimitiveBudget = 2,  // the budget line's primitive budget
    AmendingBudget = 3,   // its amending budget
    Transfer = 4,         // a transfer row's budget line
    PaymentOrder = 5,     // a payment order of a regularisation sheet (ID_DETAIL = ID_MDT)
};

// ENT_ENG.STATUT: 0 while the sheet is in force; a cancellation writes its own
// ID_ENG there.
inline constexpr qint64 SheetInForce = 0;

// VIREMENT.SENS: "D" the line gives credit, "E" it receives credit.
enum class TransferSide { Giving, Receiving };

// ENT_MDT.STATUT: the position of its caption in the order window's list.
enum class OrderStatus : int { Paid = 0, Pending = 1 };

// DEPENSE.REMBOURS (stored NULL when none was chosen).
enum class PaymentType : int { Reimbursement = 0, Payment = 1 };

// Where an expense stands (GetExpenseState, the listing's DEP_STATE): on a
// commitment sheet that is not cancelled, on a payment order, on both, or free.
enum class ExpenseState : int { Free = 0, Committed = 1, Mandated = 2, CommittedAndMandated = 3 };
constexpr ExpenseState ExpenseStateOf(bool committed, bool mandated)
{
    return ExpenseState((committed ? int(ExpenseState::Committed) : 0) + (mandated ? int(ExpenseState::Mandated) : 0));
}
constexpr bool IsCommitted(ExpenseState s)
{
    return s == ExpenseState::Committed || s == ExpenseState::CommittedAndMandated;
}
constexpr bool IsMandated(ExpenseState s)
{
    return s == ExpenseState::Mandated || s == ExpenseState::CommittedAndMandated;
}

// DET_SALAIRE.TYPE_DET: what a salary expense's detail line is.
enum class SalaryLineType : int {
    Imputation = 0,   // a share of the gross on a budget line (ID_DETAIL = ID_FNM)
    Deduction = 1,    // a deduction of one kind (ID_DETAIL = FRET.ID_RETENUE)
};

// BENEF.TYPE_BEN.
enum class BeneficiaryType : int { Supplier = 0, Employee = 1, Other = 2 };

// BENEF.SERVICE_GRADE of a beneficiary who is not an employee: what he sells
// ("PRESTATION", "FOURNITURE", "AUTRE"). An employee's SERVICE_GRADE holds the
// key of his GRADE instead.
enum class ServiceKind : int { Service = 0, Supply = 1, Other = 2 };

// Whether the ceiling of a supplier's turnover applies to a beneficiary: a
// supplier whose SERVICE_GRADE is services or supplies (the ceilings are kept
// by that kind); -1 stands for a NULL SERVICE_GRADE.
constexpr bool SupplierCeilingApplies(BeneficiaryType type, qint64 serviceGrade)
{
    return type == BeneficiaryType::Supplier
           && (serviceGrade == qint64(ServiceKind::Service) || serviceGrade == qint64(ServiceKind::Supply));
}

// The expense picker's ModeDoc: the document whose lines it fills, "E" a
// commitment sheet (DET_ENG), "M" a payment order (DET_MDT).
enum class PickerMode { Commitment, PaymentOrder };

// --- stored forms -----------------------------------------------------------------

constexpr int toDb(ExpenseKind c) { return int(c); }
constexpr int toDb(SheetObject c) { return int(c); }
constexpr int toDb(LineObject c) { return int(c); }
constexpr int toDb(OrderStatus c) { return int(c); }
constexpr int toDb(PaymentType c) { return int(c); }
constexpr int toDb(ExpenseState c) { return int(c); }
constexpr int toDb(SalaryLineType c) { return int(c); }
constexpr int toDb(BeneficiaryType c) { return int(c); }
constexpr int toDb(ServiceKind c) { return int(c); }
inline QString toDb(SheetOrigin c)
{
    return c == SheetOrigin::User ? QStringLiteral("") : QString::number(int(c));
}
inline QString toDb(TransferSide c)
{
    return c == TransferSide::Giving ? QStringLiteral("D") : QStringLiteral("E");
}
inline QString toDb(PickerMode c)
{
    return c == PickerMode::PaymentOrder ? QStringLiteral("M") : QStringLiteral("E");
}

// The stored form as a statement's value, for the lists of parameters.
template <class Code> db::Value toDbValue(Code c)
{
    const auto stored = toDb(c);
    if constexpr (std::is_same_v<decltype(stored), const QString>)
        return db::Value(stored);
    else
        return db::Value(qint64(stored));
}

// A stored value read back. Numeric codes: the enumerator of that number.
// SheetOrigin: trimmed, empty is a user commitment, a digit its origin.
// TransferSide: "D" gives, anything else receives.
// PickerMode: "M" a payment order, anything else a commitment sheet.
template <class Code> Code fromDb(qint64 stored) = delete;
template <class Code> Code fromDb(const QString& stored) = delete;

template <> constexpr ExpenseKind fromDb<ExpenseKind>(qint64 v) { return ExpenseKind(int(v)); }
template <> constexpr SheetObject fromDb<SheetObject>(qint64 v) { return SheetObject(int(v)); }
template <> constexpr LineObject fromDb<LineObject>(qint64 v) { return LineObject(int(v)); }
template <> constexpr OrderStatus fromDb<OrderStatus>(qint64 v) { return OrderStatus(int(v)); }
template <> constexpr PaymentType fromDb<PaymentType>(qint64 v) { return PaymentType(int(v)); }
template <> constexpr ExpenseState fromDb<ExpenseState>(qint64 v) { return ExpenseState(int(v)); }
template <> constexpr SalaryLineType fromDb<SalaryLineType>(qint64 v) { return SalaryLineType(int(v)); }
template <> constexpr BeneficiaryType fromDb<BeneficiaryType>(qint64 v) { return BeneficiaryType(int(v)); }
template <> constexpr ServiceKind fromDb<ServiceKind>(qint64 v) { return ServiceKind(int(v)); }
template <> inline SheetOrigin fromDb<SheetOrigin>(const QString& v)
{
    const QString t = v.trimmed();
    if (t.isEmpty())
        return SheetOrigin::User;
    bool ok = false;
    const int n = t.toInt(&ok);
    return ok ? SheetOrigin(n) : SheetOrigin(-1);
}
template <> inline TransferSide fromDb<TransferSide>(const QString& v)
{
    return v == QLatin1String("D") ? TransferSide::Giving : TransferSide::Receiving;
}
template <> inline PickerMode fromDb<PickerMode>(const QString& v)
{
    return v == QLatin1String("M") ? PickerMode::PaymentOrder : PickerMode::Commitment;
}

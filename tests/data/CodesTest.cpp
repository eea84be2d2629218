// The codes of the domain against the values the year's tables store: every
// other test names a code by its enumerator, so the stored forms are pinned
// here once, each read back to the code it was written from.

#include "data/Codes.h"

#include <gtest/gtest.h>

namespace {

template <class Code>
void ExpectNumbers(std::initializer_list<std::pair<Code, int>> table)
{
    for (const auto& [code, stored] : table) {
        EXPECT_EQ(toDb(code), stored);
        EXPECT_EQ(fromDb<Code>(stored), code) << stored;
        EXPECT_EQ(toDbValue(code), db::Value(qint64(stored))) << stored;
    }
}

} // namespace

TEST(Codes, NumericCodesAreTheirStoredNumbers)
{
    ExpectNumbers<ExpenseKind>({{ExpenseKind::Invoice, 0},
                                {ExpenseKind::Mission, 1},
                                {ExpenseKind::SalaryToPay, 2},
                                {ExpenseKind::SalaryToCommit, 3}});
    ExpectNumbers<SheetObject>({{SheetObject::Expense, 0}, {SheetObject::Economy, 1}});
    ExpectNumbers<LineObject>({{LineObject::Expense, 0},
                               {LineObject::Cancellation, 1},
                               {LineObject::PrimitiveBudget, 2},
                               {LineObject::AmendingBudget, 3},
                               {LineObject::Transfer, 4},
                               {LineObject::PaymentOrder, 5}});
    ExpectNumbers<OrderStatus>({{OrderStatus::Paid, 0}, {OrderStatus::Pending, 1}});
    ExpectNumbers<PaymentType>({{PaymentType::Reimbursement, 0}, {PaymentType::Payment, 1}});
    ExpectNumbers<SalaryLineType>({{SalaryLineType::Imputation, 0}, {SalaryLineType::Deduction, 1}});
    ExpectNumbers<BeneficiaryType>(
        {{BeneficiaryType::Supplier, 0}, {BeneficiaryType::Employee, 1}, {BeneficiaryType::Other, 2}});
    ExpectNumbers<ServiceKind>({{ServiceKind::Service, 0}, {ServiceKind::Supply, 1}, {ServiceKind::Other, 2}});
    EXPECT_EQ(SheetInForce, 0);
    EXPECT_EQ(NoOriginRecord, -1);
    // A number the program does not know reads back as itself.
    EXPECT_EQ(toDb(fromDb<ExpenseKind>(7)), 7);
}

TEST(Codes, TextCodesAreTheirStoredLetters)
{
    const std::pair<SheetOrigin, const char*> origins[] = {
        {SheetOrigin::User, ""},           {SheetOrigin::Cancellation, "1"}, {SheetOrigin::PrimitiveBudget, "2"},
        {SheetOrigin::AmendingBudget, "3"}, {SheetOrigin::Transfer, "4"},    {SheetOrigin::PaymentOrders, "5"}};
    for (const auto& [origin, stored] : origins) {
        EXPECT_EQ(toDb(origin), QString::fromLatin1(stored));
        EXPECT_EQ(fromDb<SheetOrigin>(QString::fromLatin1(stored)), origin) << stored;
    }
    // CHAR(1) comes back padded; NULL reads as empty.
    EXPECT_EQ(fromDb<SheetOrigin>(QStringLiteral(" ")), SheetOrigin::User);
    EXPECT_EQ(fromDb<SheetOrigin>(QString()), SheetOrigin::User);
    EXPECT_NE(fromDb<SheetOrigin>(QStringLiteral("X")), SheetOrigin::User);

    EXPECT_EQ(toDb(TransferSide::Giving), QStringLiteral("D"));
    EXPECT_EQ(toDb(TransferSide::Receiving), QStringLiteral("E"));
    EXPECT_EQ(fromDb<TransferSide>(QStringLiteral("D")), TransferSide::Giving);
    EXPECT_EQ(fromDb<TransferSide>(QStringLiteral("E")), TransferSide::Receiving);

    // The picker's document: "M" an order, any other letter a sheet.
    EXPECT_EQ(toDb(PickerMode::Commitment), QStringLiteral("E"));
    EXPECT_EQ(toDb(PickerMode::PaymentOrder), QStringLiteral("M"));
    for (const char* stored : {"E", "", "X", "m"})
        EXPECT_EQ(fromDb<PickerMode>(QString::fromLatin1(stored)), PickerMode::Commitment) << stored;
    EXPECT_EQ(fromDb<PickerMode>(QStringLiteral("M")), PickerMode::PaymentOrder);
}

// The supplier ceiling is kept for suppliers of services and of supplies only;
// an employee's SERVICE_GRADE is a grade key, whatever its number.
TEST(Codes, SupplierCeilingAppliesToSuppliersOfServicesOrSupplies)
{
    const struct {
        BeneficiaryType type;
        qint64 serviceGrade;
        bool applies;
    } cases[] = {{BeneficiaryType::Supplier, 0, true},  {BeneficiaryType::Supplier, 1, true},
                 {BeneficiaryType::Supplier, 2, false}, {BeneficiaryType::Supplier, -1, false},
                 {BeneficiaryType::Employee, 0, false}, {BeneficiaryType::Employee, 1, false},
                 {BeneficiaryType::Other, 1, false}};
    for (const auto& c : cases)
        EXPECT_EQ(SupplierCeilingApplies(c.type, c.serviceGrade), c.applies)
            << toDb(c.type) << " " << c.serviceGrade;
}

TEST(Codes, ExpenseStatesCombineTheTwoHolders)
{
    const struct {
        bool committed, mandated;
        ExpenseState state;
        int stored;
    } cases[] = {{false, false, ExpenseState::Free, 0},
                 {true, false, ExpenseState::Committed, 1},
                 {false, true, ExpenseState::Mandated, 2},
                 {true, true, ExpenseState::CommittedAndMandated, 3}};
    for (const auto& c : cases) {
        EXPECT_EQ(ExpenseStateOf(c.committed, c.mandated), c.state);
        EXPECT_EQ(IsCommitted(c.state), c.committed);
        EXPECT_EQ(IsMandated(c.state), c.mandated);
        EXPECT_EQ(toDb(c.state), c.stored);
        EXPECT_EQ(fromDb<ExpenseState>(c.stored), c.state);
    }
}

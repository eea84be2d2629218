// The payment-order store on a fresh year: numbers, the stored total following
// the lines, undated orders in the credit figures, deletion.
#include "common/ExpenseRows.h"
#include "common/MessageRecorder.h"
#include "common/YearDb.h"
#include "data/WriteGuard.h"
#include "expenditure/OrderStore.h"
#include "expenditure/PickerFacts.h"

#include <memory>

using rows::Money;
using rows::Write;

namespace {

class OrderStoreTest : public YearDbTest {
protected:
    void SetUp() override
    {
        YearDbTest::SetUp();
        supplier = rows::Beneficiary(QStringLiteral("SARL ALPHA"));
        line = rows::BudgetLine(QStringLiteral("22-03"), QStringLiteral("01"), QString(), QStringLiteral("A"),
                                Money("1000"));
    }

    qint64 NewOrder(const QString& number, const QDate& date = QDate(2024, 5, 2))
    {
        TOrder o;
        o.number = TOrderStore::PadNumber(number);
        o.date = date;
        qint64 id = 0;
        Write([&] { id = store.InsertOrder(o); });
        return id;
    }

    Currency StoredAmount(qint64 idMdt)
    {
        db::Connection c;
        c.open(year->params());
        db::Query q(c, QStringLiteral("SELECT MONTANT FROM ENT_MDT WHERE ID_MDT=:ID"));
        q.setParam(QStringLiteral("ID"), idMdt);
        q.open();
        return q.asCurrency(QStringLiteral("MONTANT"));
    }

    TOrderStore store;
    qint64 supplier = 0;
    qint64 line = 0;
};

} // namespace

TEST_F(OrderStoreTest, NumbersArePaddedAndUniqueButAnOrderIsNotADuplicateOfItself)
{
    EXPECT_EQ(QStringLiteral("0007"), TOrderStore::PadNumber(QStringLiteral(" 7 ")));
    EXPECT_EQ(QString(), TOrderStore::PadNumber(QStringLiteral("  ")));
    const qint64 id = NewOrder(QStringLiteral("7"));
    EXPECT_EQ(QStringLiteral("0007"), store.Read(id)->number);
    EXPECT_TRUE(store.NumberTaken(QStringLiteral("0007"), -1));
    EXPECT_FALSE(store.NumberTaken(QStringLiteral("0007"), id));
    EXPECT_EQ(id, store.FindByNumber(QStringLiteral("0007")));
    EXPECT_EQ(-1, store.FindByNumber(QStringLiteral("7")));
}

TEST_F(OrderStoreTest, TheStoredTotalIsTheSumOfTheLinesAfterEveryChange)
{
    const qint64 order = NewOrder(QStringLiteral("1"));
    const qint64 a = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("100.25"));
    const qint64 b = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("200"));
    const qint64 c = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("300"));
    for (qint64 e : {a, b, c})
        Write([&] { store.AddLine(order, e, Money(e == a ? "100.25" : e == b ? "200" : "300")); });
    EXPECT_EQ(Money("600.25"), StoredAmount(order));
    EXPECT_EQ(ExpenseState::Mandated, DM->Queries().GetExpenseState(b));

    Write([&] { store.RemoveLineAt(order, 2); });
    EXPECT_EQ(Money("400.25"), StoredAmount(order));
    EXPECT_EQ(ExpenseState::Free, DM->Queries().GetExpenseState(b));
    QList<int> numbers;
    for (const TDocumentLine& l : store.Lines(order))
        numbers << l.noLine;
    EXPECT_EQ((QList<int>{1, 2}), numbers);

    Write([&] { store.RemoveExpenseLine(order, a); });
    EXPECT_EQ(Money("300"), StoredAmount(order));

    // A header save stores the lines' sum, whatever total the window held.
    TOrder header = *store.Read(order);
    header.amount = Money("999");
    Write([&] { store.UpdateOrder(header); });
    EXPECT_EQ(Money("300"), StoredAmount(order));

    Write([&] { store.RemoveExpenseLine(order, c); });
    EXPECT_EQ(Currency(), StoredAmount(order));
}

TEST_F(OrderStoreTest, UndatedOrdersCountInThePaymentOrderCredit)
{
    const qint64 dated = NewOrder(QStringLiteral("1"), QDate(2024, 5, 2));
    const qint64 undated = NewOrder(QStringLiteral("2"), QDate());
    Write([&] { store.AddLine(dated, rows::Expense(ExpenseKind::Invoice, line, supplier, Money("100")), Money("100")); });
    const qint64 invoice = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("40"));
    const qint64 salary = rows::Expense(ExpenseKind::SalaryToPay, -1, supplier, Money("60"));
    rows::Imputation(salary, line, Money("60"));
    Write([&] {
        store.AddLine(undated, invoice, Money("40"));
    });
    const qint64 second = NewOrder(QStringLiteral("3"), QDate());
    Write([&] { store.AddLine(second, salary, Money("60")); });

    const QDate end(2024, 12, 31);
    EXPECT_EQ(Money("100"), DM->Queries().TotalMandatedAt(0, line, end));
    EXPECT_EQ(Money("100"), DM->Queries().UndatedMandatedOn(line));
    EXPECT_EQ(Money("200"), DatabaseFacts(picker::Mode::PaymentOrder, end).credit(line).mandated);
    EXPECT_EQ(Money("1000"), DatabaseFacts(picker::Mode::PaymentOrder, end).credit(line).available);
    EXPECT_EQ(Money("60"), DatabaseFacts(picker::Mode::PaymentOrder, end).imputations(salary).value(line));
}

TEST_F(OrderStoreTest, DeletingAnOrderTakesItsLinesAndARegularisedOrderIsKnown)
{
    const qint64 order = NewOrder(QStringLiteral("1"));
    const qint64 kept = NewOrder(QStringLiteral("2"));
    const qint64 e = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("10"));
    Write([&] { store.AddLine(order, e, Money("10")); });
    rows::Exec(QStringLiteral("INSERT INTO DET_ENG_REG (ID_ENG, NOLINE, OBJET, ID_DETAIL, MONTANT) "
                              "VALUES (1, 1, :OBJET, :ID, 0)"),
               {{"OBJET", toDbValue(LineObject::PaymentOrder)}, {"ID", kept}});
    DM->CommitWork();
    EXPECT_TRUE(store.OnRegularisationSheet(kept));
    EXPECT_FALSE(store.OnRegularisationSheet(order));

    Write([&] { store.DeleteOrder(order); });
    EXPECT_FALSE(store.Exists(order));
    EXPECT_TRUE(store.Lines(order).isEmpty());
    EXPECT_EQ(ExpenseState::Free, DM->Queries().GetExpenseState(e));
}

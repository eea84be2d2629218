// The expense store on a fresh year: deletion refused while any document holds
// an expense, salary lines numbered within their expense and the amount
// following them.
#include "expenditure/ExpenseFixture.h"

#include "core/Refusal.h"
#include "data/WriteGuard.h"
#include "expenditure/ExpenseRows.h"
#include "expenditure/ExpenseStore.h"
#include "ui/QueryTableModel.h"

using rows::Money;
using rows::Write;

namespace {

class ExpenseStoreTest : public ExpenseTest {
protected:
    qint64 SalaryExpense()
    {
        TExpense e;
        e.kind = ExpenseKind::SalaryToPay;
        e.date = QDate(2024, 3, 1);
        e.idBen = body;
        e.rembours = PaymentType::Payment;
        qint64 id = 0;
        Write([&] { id = store.InsertExpense(e); });
        return id;
    }
    qint64 AddLine(qint64 idDepense, SalaryLineType type, qint64 detail, std::optional<Currency> amount)
    {
        TSalaryLine l;
        l.idDepense = idDepense;
        l.type = type;
        l.idDetail = detail;
        l.amount = amount;
        qint64 id = 0;
        Write([&] { id = store.AddSalaryLine(l); });
        return id;
    }
    TExpenseStore store;
};

} // namespace

// An expense on any document is never deleted, the check being made inside
// the deleting transaction; a salary expense's lines go with it.
TEST_F(ExpenseStoreTest, DeletionRefusedWhileAnyDocumentHoldsTheExpense)
{
    struct Case {
        const char* name;
        Holder holder;
        ExpenseState state;   // what locks its amount
        int hold;             // what refuses its deletion
    };
    const std::vector<Case> cases = {
        {"free", Holder::None, ExpenseState::Free, 0},
        {"committed", Holder::Sheet, ExpenseState::Committed, 1},
        {"on a cancelled sheet", Holder::CancelledSheet, ExpenseState::Free, 1},
        {"mandated", Holder::Order, ExpenseState::Mandated, 2},
        {"both", Holder::Both, ExpenseState::CommittedAndMandated, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const qint64 id = SalaryExpense();
        AddLine(id, SalaryLineType::Imputation, line, Money("100"));
        AddLine(id, SalaryLineType::Deduction, 3, Money("10"));
        Hold(id, c.holder, Money("100"));
        EXPECT_EQ(DM->Queries().GetExpenseState(id), c.state);
        TExpenseHold hold;
        Write([&] { hold = store.DeleteExpense(id); });
        EXPECT_EQ(toDb(hold.Code()), c.hold);
        const qint64 left = CommittedScalar(QStringLiteral("SELECT COUNT(*) FROM DEPENSE WHERE ID_DEPENSE=:ID"),
                                            {{"ID", id}});
        const qint64 lines = CommittedScalar(QStringLiteral("SELECT COUNT(*) FROM DET_SALAIRE WHERE ID_DEPENSE=:ID"),
                                             {{"ID", id}});
        EXPECT_EQ(left, c.hold ? 1 : 0);
        EXPECT_EQ(lines, c.hold ? 2 : 0);
    }
}

// The expense is worth its imputations whatever is done to them; a line without
// an amount counts for nothing; deductions never change it.
TEST_F(ExpenseStoreTest, SalaryAmountFollowsItsImputations)
{
    const qint64 id = SalaryExpense();
    const qint64 a = AddLine(id, SalaryLineType::Imputation, line, Money("30000.00"));
    const qint64 b = AddLine(id, SalaryLineType::Imputation, social, Money("12500.50"));
    AddLine(id, SalaryLineType::Imputation, rows::BudgetLine("22-09", "01", "", "Autre"), std::nullopt);
    AddLine(id, SalaryLineType::Deduction, 1, Money("4000.00"));
    const QString amount = QStringLiteral("SELECT MONTANT FROM DEPENSE WHERE ID_DEPENSE=:ID");
    EXPECT_EQ(CommittedMoney(amount, id), Money("42500.50"));
    EXPECT_EQ(store.SalaryTotals(id).gross, Money("42500.50"));
    EXPECT_EQ(store.SalaryTotals(id).deductions, Money("4000.00"));

    Write([&] { store.DeleteSalaryLine(id, b); });
    EXPECT_EQ(CommittedMoney(amount, id), Money("30000.00"));

    TSalaryLine changed = store.SalaryLines(id, SalaryLineType::Imputation).first();
    ASSERT_EQ(changed.id, a);
    changed.amount = Money("29999.99");
    Write([&] { store.UpdateSalaryLine(changed); });
    EXPECT_EQ(CommittedMoney(amount, id), Money("29999.99"));
    EXPECT_EQ(store.SalaryTotals(id).deductions, Money("4000.00"));

    // The lines of each type, in their order, with their labels.
    const TSalaryLines imputations = store.SalaryLines(id, SalaryLineType::Imputation);
    ASSERT_EQ(imputations.size(), 2);
    EXPECT_EQ(imputations[0].chap, QStringLiteral("22-04"));
    EXPECT_FALSE(imputations[1].amount.has_value());
    EXPECT_EQ(store.SalaryLines(id, SalaryLineType::Deduction).size(), 1);
    EXPECT_TRUE(store.SalaryDetailTaken(id, SalaryLineType::Imputation, line, -1));
    EXPECT_FALSE(store.SalaryDetailTaken(id, SalaryLineType::Imputation, line, a));
    EXPECT_TRUE(store.SalaryDetailTaken(id, SalaryLineType::Deduction, 1, -1));
    EXPECT_FALSE(store.SalaryDetailTaken(id, SalaryLineType::Deduction, 2, -1));
}

// Lines are numbered 10, 20, ... within their expense and type, however many
// lines the other expenses hold.
TEST_F(ExpenseStoreTest, LineOrderNumbersStayWithinTheExpense)
{
    // Five thousand lines elsewhere, numbered as a table-wide rule would have
    // numbered them, up to the column's limit.
    const qint64 other = SalaryExpense();
    Write([&] {
        db::Query q(DM->LURDO, QStringLiteral("INSERT INTO DET_SALAIRE (ID_DET_SAL, ID_DEPENSE, ID_DETAIL, NO_ORD, "
                                              "TYPE_DET, MONTANT) VALUES (:ID, :DEP, :F, :N, :T, 1)"));
        q.setParam(QStringLiteral("T"), toDbValue(SalaryLineType::Imputation));
        for (int i = 1; i <= 5000; ++i) {
            q.setParam(QStringLiteral("ID"), qint64(20000 + i));
            q.setParam(QStringLiteral("DEP"), other);
            q.setParam(QStringLiteral("F"), qint64(i));
            q.setParam(QStringLiteral("N"), qint64(std::min(32767, i * 10)));
            q.exec();
        }
    });
    const qint64 id = SalaryExpense();
    AddLine(id, SalaryLineType::Imputation, line, Money("1"));
    AddLine(id, SalaryLineType::Imputation, social, Money("2"));
    AddLine(id, SalaryLineType::Deduction, 1, Money("3"));
    QList<int> imput, ret;
    for (const TSalaryLine& l : store.SalaryLines(id, SalaryLineType::Imputation))
        imput << l.noOrd;
    for (const TSalaryLine& l : store.SalaryLines(id, SalaryLineType::Deduction))
        ret << l.noOrd;
    EXPECT_EQ(imput, (QList<int>{10, 20}));
    EXPECT_EQ(ret, QList<int>{10});
}

// A line's order number stays within its column: the last one that fits is
// given, past it the store refuses inside the write and nothing is written.
TEST_F(ExpenseStoreTest, AnExpenseTakesNoLineNumberedPastTheColumn)
{
    const QString full = QStringLiteral("Cette dépense a atteint le nombre maximal de lignes !");
    struct Case {
        const char* name;
        int highest;         // the expense's highest order number
        QString refusal;     // empty: the line is added, numbered 10 after it
    };
    const std::vector<Case> cases = {
        {"the last that fits", 32757, QString()},
        {"one past it", 32758, full},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const qint64 id = SalaryExpense();
        Write([&] {
            rows::Exec(QStringLiteral("INSERT INTO DET_SALAIRE (ID_DET_SAL, ID_DEPENSE, ID_DETAIL, NO_ORD, TYPE_DET, "
                                      "MONTANT) VALUES (:ID, :DEP, :F, :N, :T, 1)"),
                       {{"ID", DM->NextGeneratorValue(QStringLiteral("GEN_DET_SAL_ID"))},
                        {"DEP", id},
                        {"F", line},
                        {"N", c.highest},
                        {"T", toDbValue(SalaryLineType::Imputation)}});
        });
        TSalaryLine l;
        l.idDepense = id;
        l.type = SalaryLineType::Imputation;
        l.idDetail = social;
        l.amount = Money("2");
        QString refusal;
        try {
            TWriteGuard write;
            store.AddSalaryLine(l);
            write.Commit();
        } catch (const TRefusalError& e) {
            refusal = e.refusal().message;
        }
        EXPECT_EQ(refusal, c.refusal);
        QList<int> numbers;
        for (const TSalaryLine& stored : store.SalaryLines(id, SalaryLineType::Imputation))
            numbers << stored.noOrd;
        EXPECT_EQ(numbers, c.refusal.isEmpty() ? (QList<int>{c.highest, c.highest + 10}) : QList<int>{c.highest});
        EXPECT_EQ(store.SalaryTotals(id).gross, c.refusal.isEmpty() ? Money("3") : Money("1"));
    }
}

// After one expense is written or deleted only its row is read again: the
// browsed rows then are what reading them all again gives, in date order, the
// cursor on the expense written (on the next row after a deletion).
TEST_F(ExpenseStoreTest, OneRowReadAgainKeepsTheBrowsedRowsAsAFullRead)
{
    auto invoice = [&](int day, const char* number) {
        TExpense e;
        e.kind = ExpenseKind::Invoice;
        e.number = QString::fromLatin1(number);
        e.date = day ? QDate(2024, 3, day) : QDate();
        e.idBen = supplier;
        e.idFnm = line;
        e.amount = Money("10");
        return e;
    };
    qint64 ids[4] = {};
    const int days[] = {5, 10, 15, 20};
    for (int i = 0; i < 4; ++i)
        Write([&] { ids[i] = store.InsertExpense(invoice(days[i], "F")); });
    auto keys = [](const QueryTableModel& rows) {
        QList<qint64> out;
        for (int r = 0; r < rows.rowCount(); ++r)
            out << rows.row(r).asInt(QStringLiteral("ID_DEPENSE"));
        return out;
    };
    auto readInto = [](QueryTableModel& rows, TExpenseStore& from) {
        TListingRows read = from.ReadExpenses(ExpenseKind::Invoice);
        rows.setRows(read.names, std::move(read.rows));
    };
    TExpenseStore fresh;
    struct Step {
        const char* name;
        std::function<qint64()> write;   // the expense written or deleted
        bool deleted;
    };
    const Step steps[] = {
        {"moved later", [&] { TExpense e = invoice(17, "F"); e.id = ids[0]; Write([&] { store.UpdateExpense(e); }); return e.id; }, false},
        {"moved first", [&] { TExpense e = invoice(1, "F"); e.id = ids[3]; Write([&] { store.UpdateExpense(e); }); return e.id; }, false},
        {"added", [&] { qint64 id = 0; Write([&] { id = store.InsertExpense(invoice(12, "G")); }); return id; }, false},
        {"deleted", [&] { Write([&] { store.DeleteExpense(ids[1]); }); return ids[1]; }, true},
    };
    QueryTableModel rows;
    readInto(rows, store);
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        const int before = s.deleted ? keys(rows).indexOf(ids[1]) : -1;
        const qint64 id = s.write();
        TakeExpense(store, rows, id);
        QueryTableModel again;
        readInto(again, fresh);
        EXPECT_EQ(keys(rows), keys(again));
        if (s.deleted)
            EXPECT_EQ(rows.currentRow(), before);
        else
            EXPECT_EQ(rows.current().asInt(QStringLiteral("ID_DEPENSE")), id);
    }
}

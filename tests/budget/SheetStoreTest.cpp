// The commitment-sheet store on a fresh year: numbering and balances across
// every kind of sheet, the header following its lines, renumbering, and
// groups of writes that leave nothing behind when one statement fails.
#include "budget/BudgetFixture.h"
#include "budget/SheetStore.h"
#include "core/Refusal.h"
#include "common/ExpenseRows.h"
#include "expenditure/PickerFacts.h"
#include "data/WriteGuard.h"

using rows::Money;
using rows::Write;

namespace {

class SheetStoreTest : public BudgetTest {
protected:
    void SetUp() override
    {
        BudgetTest::SetUp();
        supplier = rows::Beneficiary(QStringLiteral("SARL ALPHA"));
    }

    // A sheet of the movements of a line's credit, as the budget and transfer windows write them.
    qint64 Movement(qint64 idFnm, const QString& number, SheetOrigin origin, SheetObject objet, LineObject lineObjet,
                    const char* amount)
    {
        TSheet s;
        s.number = number;
        s.date = QDate(2024, 1, 10);
        s.idFnm = idFnm;
        s.objet = objet;
        s.amount = Money(amount);
        s.origin = origin;
        s.idOrigine = idFnm;
        qint64 id = 0;
        Write([&] { id = store.InsertMovementSheet(s, lineObjet, idFnm); });
        return id;
    }

    qint64 NewSheet()
    {
        TSheet s;
        s.date = QDate(2024, 4, 1);
        qint64 id = 0;
        Write([&] { id = store.InsertUserSheet(s); });
        return id;
    }

    TSheetSync Add(qint64 idEng, qint64 idDepense, const char* amount)
    {
        TSheetSync sync;
        Write([&] { sync = store.AddExpenseLine(idEng, idDepense, Money(amount)); });
        return sync;
    }

    // The committed header of a sheet (read on a connection of its own).
    TSheet Stored(qint64 idEng)
    {
        db::Query q(Committed(), QStringLiteral("SELECT NO_ENG, MONTANT, ID_FNM FROM ENT_ENG WHERE ID_ENG=:ID"));
        q.setParam(QStringLiteral("ID"), idEng);
        q.open();
        TSheet s;
        s.id = q.isEmpty() ? -1 : idEng;
        s.number = q.asString(QStringLiteral("NO_ENG")).trimmed();
        s.amount = q.asCurrency(QStringLiteral("MONTANT"));
        s.idFnm = q.asInt(QStringLiteral("ID_FNM"));
        return s;
    }

    // The committed lines of a sheet as "NOLINE:ID_DETAIL".
    QStringList StoredLines(qint64 idEng)
    {
        db::Query q(Committed(), QStringLiteral("SELECT NOLINE, ID_DETAIL FROM DET_ENG WHERE ID_ENG=:ID ORDER BY NOLINE"));
        q.setParam(QStringLiteral("ID"), idEng);
        q.open();
        QStringList out;
        for (int r = 0; r < q.rowCount(); ++r)
            out << QStringLiteral("%1:%2").arg(db::toInt(q.at(r, 0))).arg(db::toInt(q.at(r, 1)));
        return out;
    }

    TSheetStore store;
    qint64 supplier = 0;
};

} // namespace

TEST_F(SheetStoreTest, UserSheetsNumberAfterBudgetAndTransferSheetsAndBalanceThroughThemAll)
{
    const qint64 lineA = rows::BudgetLine(QStringLiteral("22-03"), QStringLiteral("01"), QString(), QStringLiteral("A"));
    const qint64 lineB = rows::BudgetLine(QStringLiteral("22-03"), QStringLiteral("02"), QString(), QStringLiteral("B"));
    Movement(lineA, QStringLiteral("0001"), SheetOrigin::PrimitiveBudget, SheetObject::Economy, LineObject::PrimitiveBudget,
             "1000");
    Movement(lineA, QStringLiteral("0002"), SheetOrigin::AmendingBudget, SheetObject::Expense, LineObject::AmendingBudget,
             "-200");   // negative amending budget
    Movement(lineA, QStringLiteral("0003"), SheetOrigin::Transfer, SheetObject::Economy, LineObject::Transfer,
             "300");    // transfer received

    const qint64 first = NewSheet();
    EXPECT_EQ(QString(), Stored(first).number);   // no number until it has lines
    Add(first, rows::Expense(ExpenseKind::Invoice, lineA, supplier, Money("250")), "250");
    const qint64 second = NewSheet();
    Add(second, rows::Expense(ExpenseKind::Invoice, lineA, supplier, Money("100")), "100");
    // A line without any sheet: its first user sheet never takes "0001".
    const qint64 onB = NewSheet();
    Add(onB, rows::Expense(ExpenseKind::Invoice, lineB, supplier, Money("5")), "5");

    EXPECT_EQ(QStringLiteral("0004"), Stored(first).number);
    EXPECT_EQ(QStringLiteral("0005"), Stored(second).number);
    EXPECT_EQ(QStringLiteral("0002"), Stored(onB).number);
    EXPECT_EQ(Money("1100"), DM->Queries().CommitmentBalanceBefore(lineA, QStringLiteral("0004")));   // 1000 - 200 + 300
    EXPECT_EQ(Money("850"), DM->Queries().CommitmentBalanceBefore(lineA, QStringLiteral("0005")));
    EXPECT_EQ(Money("250"), Stored(first).amount);
    EXPECT_EQ(lineA, Stored(first).idFnm);

    // Only the user's own sheets are browsed.
    QStringList browsed;
    for (const TDocumentKey& k : store.UserSheetKeys())
        browsed << k.number;
    EXPECT_EQ((QStringList{QStringLiteral("0002"), QStringLiteral("0004"), QStringLiteral("0005")}), browsed);
}

TEST_F(SheetStoreTest, TheHeaderFollowsItsLinesAndANumberTakenOnTheNewLineGivesTheNextFreeOne)
{
    const qint64 lineA = rows::BudgetLine(QStringLiteral("22-03"), QStringLiteral("01"), QString(), QStringLiteral("A"),
                                          Money("500"));
    const qint64 lineB = rows::BudgetLine(QStringLiteral("22-03"), QStringLiteral("02"), QString(), QStringLiteral("B"));
    const qint64 onA = rows::Expense(ExpenseKind::Invoice, lineA, supplier, Money("100"));

    // Ten adds of 100 on a line with 500: the committed total counts each at once.
    const picker::Facts facts = DatabaseFacts(picker::Mode::Commitment, QDate(2024, 12, 31));
    const qint64 sheet = NewSheet();
    Add(sheet, onA, "100");
    EXPECT_EQ(Money("100"), facts.credit(lineA).committed);
    for (int i = 0; i < 4; ++i)
        Add(sheet, rows::Expense(ExpenseKind::Invoice, lineA, supplier, Money("100")), "100");
    EXPECT_EQ(Money("500"), facts.credit(lineA).committed);
    const auto never = [](const QString&) { return true; };
    EXPECT_TRUE(picker::CheckCommitCredit(facts.credit(lineA), Money("100"), 1, never).has_value());
    EXPECT_EQ(Money("500"), Stored(sheet).amount);
    EXPECT_EQ(QStringLiteral("0002"), Stored(sheet).number);

    // Emptied, the sheet keeps its number but has no line and no amount.
    for (const TDocumentLine& l : store.Lines(sheet))
        Write([&] { store.RemoveExpenseLine(sheet, l.idDepense); });
    EXPECT_EQ(QStringLiteral("0002"), Stored(sheet).number);
    EXPECT_EQ(Currency(), Stored(sheet).amount);
    EXPECT_EQ(-1, Stored(sheet).idFnm);
    EXPECT_EQ(Currency(), DM->Queries().TotalCommittedAt(0, lineA, QDate(2024, 12, 31)));

    // Line B's "0002" is taken meanwhile: the sheet moves to B's next number.
    const qint64 other = NewSheet();
    Add(other, rows::Expense(ExpenseKind::Invoice, lineB, supplier, Money("7")), "7");
    const TSheetSync sync = Add(sheet, rows::Expense(ExpenseKind::Invoice, lineB, supplier, Money("40")), "40");
    EXPECT_TRUE(sync.Renumbered());
    EXPECT_EQ(QStringLiteral("0002"), sync.previousNumber);
    EXPECT_EQ(QStringLiteral("0003"), Stored(sheet).number);
    EXPECT_EQ(Money("40"), Stored(sheet).amount);
    EXPECT_EQ(lineB, Stored(sheet).idFnm);
    EXPECT_EQ(Money("47"), DM->Queries().TotalCommittedAt(0, lineB, QDate(2024, 12, 31)));
}

// A sheet's lines change only while it has no visa and no cancellation, read
// inside the write: a visa or a cancellation given by another user since the
// sheet was shown refuses the add and both removals, and nothing changes.
TEST_F(SheetStoreTest, AVisaOrACancellationGivenMeanwhileKeepsTheLines)
{
    const qint64 line = rows::BudgetLine(QStringLiteral("22-03"), QStringLiteral("01"), QString(), QStringLiteral("A"),
                                         Money("500"));
    struct Case {
        const char* name;
        const char* change;   // :ID is the sheet
        const char* refusal;
    };
    const Case cases[] = {
        {"visa", "UPDATE ENT_ENG SET NO_VISA='V-1' WHERE ID_ENG=:ID", "Fiche visée, modification impossible !"},
        {"cancellation", "UPDATE ENT_ENG SET STATUT=9999 WHERE ID_ENG=:ID", "Fiche annulée, modification impossible !"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const qint64 sheet = NewSheet();
        const qint64 kept = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("100"));
        Add(sheet, kept, "100");
        Write([&] { rows::Exec(QString::fromLatin1(c.change), {{"ID", sheet}}); });
        const QStringList lines = StoredLines(sheet);
        const qint64 other = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("50"));
        const std::function<void()> writes[] = {
            [&] { store.AddExpenseLine(sheet, other, Money("50")); },
            [&] { store.RemoveExpenseLine(sheet, kept); },
            [&] { store.RemoveLineAt(sheet, 1); },
        };
        for (const auto& write : writes) {
            try {
                TWriteGuard guard;
                write();
                guard.Commit();
                ADD_FAILURE() << "the write went through";
            } catch (const TRefusalError& e) {
                EXPECT_EQ(e.refusal().message, QString::fromUtf8(c.refusal));
            }
            EXPECT_EQ(StoredLines(sheet), lines);
            EXPECT_EQ(Stored(sheet).amount, Money("100"));
        }
    }
}

// Names in French order: an accented initial sorts with its letter, not after Z.
TEST_F(SheetStoreTest, LinesRenumberByBeneficiaryNameKeepingTiesInTheirOrder)
{
    const qint64 line = rows::BudgetLine(QStringLiteral("22-03"), QStringLiteral("01"), QString(), QStringLiteral("A"));
    const qint64 zeta = rows::Beneficiary(QStringLiteral("ZETA"));
    const qint64 alpha = rows::Beneficiary(QStringLiteral("alpha"));
    const qint64 mu = rows::Beneficiary(QStringLiteral("ÉLECTRICITÉ"));
    const qint64 z = rows::Expense(ExpenseKind::Invoice, line, zeta, Money("1"));
    const qint64 a1 = rows::Expense(ExpenseKind::Invoice, line, alpha, Money("2"));
    const qint64 m = rows::Expense(ExpenseKind::Invoice, line, mu, Money("3"));
    const qint64 a2 = rows::Expense(ExpenseKind::Invoice, line, alpha, Money("4"));
    const qint64 sheet = NewSheet();
    for (qint64 e : {z, a1, m, a2})
        Add(sheet, e, "1");

    Write([&] { store.RenumberLinesByName(sheet); });
    EXPECT_EQ((QStringList{QStringLiteral("1:%1").arg(a1), QStringLiteral("2:%1").arg(a2), QStringLiteral("3:%1").arg(m),
                           QStringLiteral("4:%1").arg(z)}),
              StoredLines(sheet));

    // Removing line 2 numbers the others 1..3 and the amount follows.
    Write([&] { store.RemoveLineAt(sheet, 2); });
    EXPECT_EQ((QStringList{QStringLiteral("1:%1").arg(a1), QStringLiteral("2:%1").arg(m), QStringLiteral("3:%1").arg(z)}),
              StoredLines(sheet));
    EXPECT_EQ(Money("3"), Stored(sheet).amount);

    // The picker's own order, expenses not listed last.
    Write([&] { store.RenumberLines(sheet, {z, a1}); });
    EXPECT_EQ((QStringList{QStringLiteral("1:%1").arg(z), QStringLiteral("2:%1").arg(a1), QStringLiteral("3:%1").arg(m)}),
              StoredLines(sheet));
}

TEST_F(SheetStoreTest, AStatementFailingInAGroupLeavesNothingOfTheGroup)
{
    const qint64 line = rows::BudgetLine(QStringLiteral("22-03"), QStringLiteral("01"), QString(), QStringLiteral("A"));
    const qint64 b = rows::Beneficiary(QStringLiteral("B"));
    const qint64 a = rows::Beneficiary(QStringLiteral("A"));
    const qint64 sheet = NewSheet();
    const qint64 first = rows::Expense(ExpenseKind::Invoice, line, b, Money("10"));
    const qint64 second = rows::Expense(ExpenseKind::Invoice, line, a, Money("20"));
    Add(sheet, first, "10");
    Add(sheet, second, "20");
    const QStringList before = StoredLines(sheet);

    // The engine refuses the second renumbering update, or any header update.
    Exec(QStringLiteral("CREATE EXCEPTION E_TEST 'refused'"));
    Exec(QStringLiteral("CREATE TRIGGER T_TEST_LINE FOR DET_ENG BEFORE UPDATE AS BEGIN "
                        "IF (NEW.NOLINE = 2) THEN EXCEPTION E_TEST; END"));
    DM->CommitWork();
    EXPECT_THROW(Write([&] { store.RenumberLinesByName(sheet); }), db::DbError);
    EXPECT_EQ(before, StoredLines(sheet));

    Exec(QStringLiteral("CREATE TRIGGER T_TEST_HEAD FOR ENT_ENG BEFORE UPDATE AS BEGIN EXCEPTION E_TEST; END"));
    DM->CommitWork();
    const qint64 third = rows::Expense(ExpenseKind::Invoice, line, a, Money("5"));
    EXPECT_THROW(Write([&] { store.AddExpenseLine(sheet, third, Money("5")); }),
                 db::DbError);
    EXPECT_EQ(before, StoredLines(sheet));
    EXPECT_EQ(Money("30"), Stored(sheet).amount);
}

TEST_F(SheetStoreTest, ACancelledSheetFreesItsExpensesAndTheReferencePrefersTheActiveSheet)
{
    const qint64 line = rows::BudgetLine(QStringLiteral("22-03"), QStringLiteral("01"), QString(), QStringLiteral("A"));
    const qint64 expense = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("10"));
    const qint64 cancelled = NewSheet();
    Add(cancelled, expense, "10");
    Exec(QStringLiteral("UPDATE ENT_ENG SET STATUT=999, DATE_ENG=:D WHERE ID_ENG=:ID"),
         {{"D", QDate(2024, 2, 1)}, {"ID", cancelled}});
    DM->CommitWork();
    EXPECT_FALSE(store.CommittedExpenseIds().contains(expense));

    const qint64 active = NewSheet();
    Add(active, expense, "10");
    EXPECT_TRUE(store.CommittedExpenseIds().contains(expense));
    EXPECT_EQ(QStringLiteral("F.E N° 0003 DU 01/04/2024"), DM->Queries().CommitmentReference(expense));
    EXPECT_EQ(QStringLiteral("F.E N°  DU "),
              DM->Queries().CommitmentReference(rows::Expense(ExpenseKind::Invoice, line, supplier, Money("1"))));

    Write([&] { store.DeleteSheet(active); });
    EXPECT_EQ(-1, Stored(active).id);
    EXPECT_TRUE(StoredLines(active).isEmpty());
}

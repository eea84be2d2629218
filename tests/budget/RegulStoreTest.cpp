// The regularisation-sheet store on a fresh year: numbering in the line's own
// series, the visa carried to the ordinary sheets of the orders' expenses,
// the header following its lines, copies made once, the orders offered at
// the line's share and the weight limit of a sheet.
#include "budget/BudgetFixture.h"
#include "budget/RegulStore.h"
#include "common/ExpenseRows.h"
#include "common/SheetRows.h"
#include "core/Refusal.h"
#include "data/WriteGuard.h"

using rows::Money;
using rows::Write;

namespace {

class RegulStoreTest : public BudgetTest {
protected:
    void SetUp() override
    {
        BudgetTest::SetUp();
        savedMax = MaxDocLines;
        MaxDocLines = 25;
        supplier = rows::Beneficiary(QStringLiteral("SARL ALPHA"));
        line = rows::BudgetLine(QStringLiteral("22-01"), QStringLiteral("01"), QString(), QStringLiteral("Fournitures"),
                                Money("100000"));
        other = rows::BudgetLine(QStringLiteral("22-01"), QStringLiteral("02"), QString(), QStringLiteral("Mobilier"),
                                 Money("50000"));
    }
    void TearDown() override
    {
        MaxDocLines = savedMax;
        BudgetTest::TearDown();
    }

    // A payment order paying `expenses`, each line of the expense's amount given.
    qint64 Order(const QList<QPair<qint64, const char*>>& expenses, const QString& number = QString())
    {
        const qint64 id = DM->NextGeneratorValue(QStringLiteral("GEN_MDT"));
        Exec(QStringLiteral("INSERT INTO ENT_MDT (ID_MDT, NO_MDT, DATE_MDT, NATURE, STATUT, MONTANT) "
                            "VALUES (:ID, :NO, :D, :N, 0, 0)"),
             {{"ID", id},
              {"NO", number.isEmpty() ? QStringLiteral("%1").arg(id, 4, 10, QLatin1Char('0')) : number},
              {"D", QDate(2024, 5, 2)},
              {"N", QStringLiteral("Nature %1").arg(id)}});
        int n = 0;
        for (const auto& e : expenses)
            Exec(QStringLiteral("INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) VALUES (:M, :L, :D, :A)"),
                 {{"M", id}, {"L", ++n}, {"D", e.first}, {"A", Money(e.second)}});
        DM->CommitWork();
        return id;
    }

    qint64 Invoice(qint64 idFnm, const char* amount)
    {
        return rows::Expense(ExpenseKind::Invoice, idFnm, supplier, Money(amount));
    }

    qint64 NewSheet(const QString& visa = QString())
    {
        TRegulSheet s;
        s.date = QDate(2024, 6, 1);
        s.visaNumber = visa;
        qint64 id = 0;
        Write([&] { id = store.Insert(s); });
        return id;
    }

    // Runs a store write in its own operation; the refusal's text, empty when it passed.
    QString Try(const std::function<void()>& write)
    {
        try {
            TWriteGuard guard;
            write();
            guard.Commit();
        } catch (const TRefusalError& r) {
            return r.refusal().message;
        }
        return QString();
    }

    void SaveHeader(qint64 idEng, const QString& number, const QString& visa, const QDate& visaDate = QDate())
    {
        TRegulSheet s = *store.Read(idEng);
        s.number = number;
        s.visaNumber = visa;
        s.visaDate = visaDate;
        Write([&] { store.Update(s); });
    }

    TRegulSheet Stored(qint64 idEng)
    {
        db::Query q(Committed(), QStringLiteral("SELECT NO_ENG, MONTANT, ID_FNM, ORIGINE, OBJET FROM ENT_ENG_REG "
                                                "WHERE ID_ENG=:ID"));
        q.setParam(QStringLiteral("ID"), idEng);
        q.open();
        TRegulSheet s;
        s.id = q.isEmpty() ? -1 : idEng;
        s.number = q.asString(QStringLiteral("NO_ENG"));
        s.amount = q.asCurrency(QStringLiteral("MONTANT"));
        s.idFnm = q.asInt(QStringLiteral("ID_FNM"));
        const QString origin = q.asString(QStringLiteral("ORIGINE")).trimmed();
        if (!origin.isEmpty())
            s.kind = fromDb<SheetOrigin>(origin);
        s.objet = int(q.asInt(QStringLiteral("OBJET")));
        return s;
    }

    QStringList StoredLines(qint64 idEng)
    {
        db::Query q(Committed(), QStringLiteral("SELECT NOLINE, ID_DETAIL, MONTANT FROM DET_ENG_REG WHERE ID_ENG=:ID "
                                                "ORDER BY NOLINE, ID_DETAIL"));
        q.setParam(QStringLiteral("ID"), idEng);
        q.open();
        QStringList out;
        for (int r = 0; r < q.rowCount(); ++r)
            out << QStringLiteral("%1:%2:%3").arg(db::toInt(q.at(r, 0))).arg(db::toInt(q.at(r, 1)))
                       .arg(db::toCurrency(q.at(r, 2)).formatMoney());
        return out;
    }

    QString VisaOf(qint64 idEng)
    {
        db::Query q(Committed(), QStringLiteral("SELECT NO_VISA FROM ENT_ENG WHERE ID_ENG=:ID"));
        q.setParam(QStringLiteral("ID"), idEng);
        q.open();
        return q.asString(QStringLiteral("NO_VISA")).trimmed();
    }

    TRegulStore store;
    qint64 supplier = 0;
    qint64 line = 0;
    qint64 other = 0;
    int savedMax = 25;
};

TEST_F(RegulStoreTest, NumbersArePaddedComparedAsNumbersAndNeverTakenTwice)
{
    const qint64 first = NewSheet();
    Write([&] { store.AddOrder(first, line, Order({{Invoice(line, "100"), "100"}})); });
    // The series starts at 2 on a line without regularisation.
    EXPECT_EQ(Stored(first).number.trimmed(), QStringLiteral("0002"));

    // A number typed short is stored on four digits and counts as a number.
    SaveHeader(first, QStringLiteral("13"), QString());
    EXPECT_EQ(Stored(first).number.trimmed(), QStringLiteral("0013"));
    EXPECT_TRUE(store.NumberTaken(line, QStringLiteral("13"), -1));
    EXPECT_TRUE(store.NumberTaken(line, QStringLiteral("0013 "), -1));
    EXPECT_FALSE(store.NumberTaken(other, QStringLiteral("13"), -1));

    const qint64 second = NewSheet();
    Write([&] { store.AddOrder(second, line, Order({{Invoice(line, "50"), "50"}})); });
    EXPECT_EQ(Stored(second).number.trimmed(), QStringLiteral("0014"));
    EXPECT_FALSE(store.IsLastNumber(line, QStringLiteral("0013")));
    EXPECT_TRUE(store.IsLastNumber(line, QStringLiteral("0014")));

    // Typing a number another sheet holds is refused, in any spelling.
    TRegulSheet s = *store.Read(second);
    for (const char* typed : {"13", "0013", "013"}) {
        s.number = QString::fromLatin1(typed);
        EXPECT_EQ(Try([&] { store.Update(s); }), QStringLiteral("Ce N° de Fiche existe déjà !")) << typed;
    }
    EXPECT_EQ(Stored(second).number.trimmed(), QStringLiteral("0014"));

    // Only the last sheet of a line goes.
    EXPECT_EQ(Try([&] { store.Delete(first); }),
              QStringLiteral("Seule la dernière fiche d'une imputation peut être supprimée !"));
    EXPECT_EQ(Try([&] { store.Delete(second); }), QString());
    EXPECT_EQ(Stored(second).id, -1);
    EXPECT_TRUE(StoredLines(second).isEmpty());
}

TEST_F(RegulStoreTest, TheVisaReachesExactlyTheSheetsOfTheOrdersExpensesAndNeverBlanksOne)
{
    const qint64 e1 = Invoice(line, "100");
    const qint64 e2 = Invoice(line, "200");
    const qint64 e3 = Invoice(line, "300");
    rows::PrimitiveSheet(line, Money("100000"));
    const qint64 plain = rows::UserSheet({e1}, Money("100"), QDate(2024, 3, 2));
    const qint64 visaed = rows::UserSheet({e2}, Money("200"), QDate(2024, 3, 3));
    const qint64 elsewhere = rows::UserSheet({e3}, Money("300"), QDate(2024, 3, 4));
    Exec(QStringLiteral("UPDATE ENT_ENG SET NO_VISA='CF-7', DATE_VISA='2024-03-10' WHERE ID_ENG=:ID"), {{"ID", visaed}});
    DM->CommitWork();
    const qint64 order = Order({{e1, "100"}, {e2, "200"}});
    Order({{e3, "300"}});

    // Orders added to a sheet without visa leave every visa as it was.
    const qint64 regul = NewSheet();
    Write([&] { store.AddOrder(regul, line, order); });
    EXPECT_EQ(VisaOf(plain), QString());
    EXPECT_EQ(VisaOf(visaed), QStringLiteral("CF-7"));

    struct Step {
        const char* visa;
        const char* plain;
    } steps[] = {
        {"V-1", "V-1"},   // given to the sheet without visa only
        {"V-2", "V-2"},   // a change replaces what this sheet gave
        {"", "V-2"},      // an empty visa blanks nothing
    };
    for (const Step& step : steps) {
        SaveHeader(regul, store.Read(regul)->number,
                   QString::fromLatin1(step.visa), QDate(2024, 6, 2));
        EXPECT_EQ(VisaOf(plain), QString::fromLatin1(step.plain)) << step.visa;
        EXPECT_EQ(VisaOf(visaed), QStringLiteral("CF-7")) << step.visa;
        EXPECT_EQ(VisaOf(elsewhere), QString()) << step.visa;
    }
}

TEST_F(RegulStoreTest, TheHeaderAmountIsTheSumOfItsLinesWhateverIsRemoved)
{
    const qint64 a = Order({{Invoice(line, "100"), "100"}});
    const qint64 b = Order({{Invoice(line, "250.50"), "250.50"}});
    const qint64 regul = NewSheet();
    Write([&] {
        store.AddOrder(regul, line, a);
        store.AddOrder(regul, line, b);
    });
    EXPECT_EQ(Stored(regul).amount, Money("350.50"));
    EXPECT_EQ(Stored(regul).kind, SheetOrigin::PaymentOrders);
    EXPECT_EQ(Stored(regul).objet, int(SheetObject::Expense));

    Write([&] { store.RemoveLine(regul, LineObject::PaymentOrder, a); });
    EXPECT_EQ(StoredLines(regul), QStringList{QStringLiteral("1:%1:250.50").arg(b)});
    EXPECT_EQ(Stored(regul).amount, Money("250.50"));

    // A copied sheet whose line is removed counts nothing and keeps kind and number.
    const qint64 transfer = 77;
    TSheetStore sheets;
    TSheet moved;
    moved.number = QStringLiteral("0003");
    moved.date = QDate(2024, 4, 1);
    moved.idFnm = other;
    moved.objet = SheetObject::Economy;
    moved.amount = Money("900");
    moved.origin = SheetOrigin::Transfer;
    moved.idOrigine = transfer;
    qint64 copied = 0;
    Write([&] { copied = sheets.InsertMovementSheet(moved, LineObject::Transfer, other); });
    const qint64 copy = NewSheet();
    Write([&] { store.CopySheet(copy, copied, SheetOrigin::Transfer); });
    EXPECT_EQ(Stored(copy).amount, Money("900"));
    EXPECT_EQ(Stored(copy).idFnm, other);
    EXPECT_EQ(Stored(copy).number.trimmed(), QStringLiteral("0002"));
    Write([&] { store.RemoveLine(copy, LineObject::Transfer, transfer); });
    EXPECT_EQ(Stored(copy).amount, Currency());
    EXPECT_EQ(Stored(copy).kind, SheetOrigin::Transfer);
    EXPECT_EQ(Stored(copy).number.trimmed(), QStringLiteral("0002"));
    EXPECT_EQ(DM->Queries().RegularisationBalanceBefore(other, QStringLiteral("0003")), Money("50000"));
}

// A removal numbers the other lines at once and an addition follows the
// highest number, so that no two lines share a number; a removal takes the
// one line it names, even where older data gave two lines one number.
TEST_F(RegulStoreTest, LinesKeepDistinctNumbersAndARemovalTakesOneLine)
{
    const qint64 a = Order({{Invoice(line, "100"), "100"}});
    const qint64 b = Order({{Invoice(line, "200"), "200"}});
    const qint64 c = Order({{Invoice(line, "300"), "300"}});
    const qint64 d = Order({{Invoice(line, "400"), "400"}});
    const qint64 e = Order({{Invoice(line, "500"), "500"}});
    const auto lines = [](std::initializer_list<QPair<qint64, const char*>> expected) {
        QStringList out;
        int n = 0;
        for (const auto& l : expected)
            out << QStringLiteral("%1:%2:%3").arg(++n).arg(l.first).arg(Money(l.second).formatMoney());
        return out;
    };
    const qint64 regul = NewSheet();
    Write([&] {
        for (qint64 order : {a, b, c})
            store.AddOrder(regul, line, order);
    });

    // Remove line 2 of three, add an order, remove the last line.
    Write([&] { store.RemoveLine(regul, LineObject::PaymentOrder, b); });
    EXPECT_EQ(StoredLines(regul), lines({{a, "100"}, {c, "300"}}));
    Write([&] { store.AddOrder(regul, line, d); });
    EXPECT_EQ(StoredLines(regul), lines({{a, "100"}, {c, "300"}, {d, "400"}}));
    Write([&] { store.RemoveLine(regul, LineObject::PaymentOrder, d); });
    EXPECT_EQ(StoredLines(regul), lines({{a, "100"}, {c, "300"}}));
    EXPECT_EQ(Stored(regul).amount, Money("400"));

    // Two lines numbered 2 (left so by an older version): a new line comes
    // after them, and removing one of them leaves the other.
    Exec(QStringLiteral("UPDATE DET_ENG_REG SET NOLINE=2 WHERE ID_ENG=:ID"), {{"ID", regul}});
    DM->CommitWork();
    Write([&] { store.AddOrder(regul, line, e); });
    EXPECT_EQ(StoredLines(regul).last(), QStringLiteral("3:%1:500.00").arg(e));
    Write([&] { store.RemoveLine(regul, LineObject::PaymentOrder, a); });
    EXPECT_EQ(StoredLines(regul), lines({{c, "300"}, {e, "500"}}));
    EXPECT_EQ(Stored(regul).amount, Money("800"));
}

TEST_F(RegulStoreTest, AnOrdinarySheetIsCopiedOnceOnItsLineAndACopyHoldsOneLine)
{
    TSheetStore sheets;
    const auto movement = [&](qint64 idFnm, SheetObject objet, const char* number) {
        TSheet s;
        s.number = QString::fromLatin1(number);
        s.date = QDate(2024, 4, 1);
        s.idFnm = idFnm;
        s.objet = objet;
        s.amount = Money("400");
        s.origin = SheetOrigin::Transfer;
        s.idOrigine = 31;   // both sides of one transfer
        qint64 id = 0;
        Write([&] { id = sheets.InsertMovementSheet(s, LineObject::Transfer, idFnm); });
        return id;
    };
    const qint64 giving = movement(line, SheetObject::Expense, "0002");
    const qint64 receiving = movement(other, SheetObject::Economy, "0002");
    // Offered on every line when no line was chosen.
    EXPECT_EQ(store.CopyableSheets(SheetOrigin::Transfer, -1).size(), 2);
    EXPECT_EQ(store.CopyableSheets(SheetOrigin::Transfer, other).size(), 1);

    const qint64 first = NewSheet();
    EXPECT_EQ(Try([&] { store.CopySheet(first, giving, SheetOrigin::Transfer); }), QString());
    // A second copy onto the same sheet, and the same origin onto another sheet of its line, are refused.
    EXPECT_EQ(Try([&] { store.CopySheet(first, receiving, SheetOrigin::Transfer); }),
              QStringLiteral("Cette fiche de régularisation a déjà sa fiche d'engagement !"));
    const qint64 second = NewSheet();
    EXPECT_EQ(Try([&] { store.CopySheet(second, giving, SheetOrigin::Transfer); }),
              QStringLiteral("Cette fiche est déjà régularisée !"));
    EXPECT_TRUE(StoredLines(second).isEmpty());
    // The other side of the transfer, on its own line, is copied once too.
    EXPECT_EQ(Try([&] { store.CopySheet(second, receiving, SheetOrigin::Transfer); }), QString());
    EXPECT_EQ(Stored(second).objet, int(SheetObject::Economy));
    EXPECT_EQ(StoredLines(second), QStringList{QStringLiteral("1:31:400.00")});

    // A number typed before the line was known stays when it is free on the line.
    const qint64 typed = NewSheet();
    Write([&] {
        db::Query q(DM->LURDO, QStringLiteral("UPDATE ENT_ENG_REG SET NO_ENG='0009' WHERE ID_ENG=:ID"));
        q.setParam(QStringLiteral("ID"), typed);
        q.exec();
    });
    const qint64 third = movement(other, SheetObject::Economy, "0003");
    Exec(QStringLiteral("UPDATE ENT_ENG SET ID_ORIGINE=32 WHERE ID_ENG=:ID"), {{"ID", third}});
    DM->CommitWork();
    EXPECT_EQ(Try([&] { store.CopySheet(typed, third, SheetOrigin::Transfer); }), QString());
    EXPECT_EQ(Stored(typed).number.trimmed(), QStringLiteral("0009"));
}

TEST_F(RegulStoreTest, OrdersAreOfferedAtTheLinesShareOnlyWhenTheyPayTheLine)
{
    const qint64 invoice = Invoice(line, "120");
    const qint64 invoiceElsewhere = Invoice(other, "80");
    const qint64 salary = rows::Expense(ExpenseKind::SalaryToPay, -1, supplier, Money("1000"));
    rows::Imputation(salary, line, Money("300"));
    rows::Imputation(salary, other, Money("700"));
    // A deduction row whose id equals the line's key is no imputation.
    const qint64 deductionOnly = rows::Expense(ExpenseKind::SalaryToPay, -1, supplier, Money("60"));
    Exec(QStringLiteral("INSERT INTO DET_SALAIRE (ID_DET_SAL, ID_DEPENSE, ID_DETAIL, NO_ORD, TYPE_DET, MONTANT) "
                        "VALUES (9001, :D, :F, 1, :T, 60)"),
         {{"D", deductionOnly}, {"F", line}, {"T", toDbValue(SalaryLineType::Deduction)}});
    DM->CommitWork();

    const qint64 mixed = Order({{invoice, "120"}, {invoiceElsewhere, "80"}});
    const qint64 salaries = Order({{salary, "1000"}});
    Order({{deductionOnly, "60"}});

    QStringList offered;
    for (const TRegulOrder& o : store.OfferedOrders(line))
        offered << QStringLiteral("%1:%2:%3").arg(o.idMdt).arg(o.amount.formatMoney()).arg(o.weight);
    EXPECT_EQ(offered, (QStringList{QStringLiteral("%1:120.00:2").arg(mixed),
                                    QStringLiteral("%1:300.00:1").arg(salaries)}));

    // An order on another sheet of the line is refused, checked inside the write.
    const qint64 first = NewSheet();
    Write([&] { store.AddOrder(first, line, salaries); });
    EXPECT_EQ(StoredLines(first), QStringList{QStringLiteral("1:%1:300.00").arg(salaries)});
    const qint64 second = NewSheet();
    EXPECT_EQ(Try([&] { store.AddOrder(second, line, salaries); }), QStringLiteral("Ce mandat est déjà régularisé !"));
    EXPECT_EQ(Try([&] { store.AddOrder(first, line, salaries); }), QStringLiteral("Le mandat est déjà sélectionné !"));
    // On the other line the same order counts its share there.
    const qint64 third = NewSheet();
    Write([&] { store.AddOrder(third, other, salaries); });
    EXPECT_EQ(Stored(third).amount, Money("700"));
}

TEST_F(RegulStoreTest, TheWeightLimitCountsTheLinesAlreadyOnTheSheet)
{
    // Orders of weight 3: their own line and two expenses of the line.
    QList<qint64> orders;
    for (int i = 0; i < 9; ++i)
        orders << Order({{Invoice(line, "10"), "10"}, {Invoice(line, "5"), "5"}});
    const qint64 regul = NewSheet();
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Try([&] { store.AddOrder(regul, line, orders[i]); }), QString()) << i;
    EXPECT_EQ(store.SheetWeight(regul, line), 24);
    EXPECT_EQ(Try([&] { store.AddOrder(regul, line, orders[8]); }),
              QStringLiteral("La fiche d'engagement ne peut pas prendre plus de 25 de lignes !\rSélectionnées : 27"));
    // An order of weight 2 still fits: 26 is the boundary.
    const qint64 light = Order({{Invoice(line, "7"), "7"}});
    EXPECT_EQ(Try([&] { store.AddOrder(regul, line, light); }), QString());
    EXPECT_EQ(Stored(regul).amount, Money("127"));

    // Renumbering follows the order given.
    QList<qint64> reversed;
    for (const TRegulLine& l : store.Lines(regul))
        reversed.prepend(l.idDetail);
    Write([&] { store.RenumberOrders(regul, reversed); });
    QList<qint64> now;
    for (const TRegulLine& l : store.Lines(regul))
        now << l.idDetail;
    EXPECT_EQ(now, reversed);
}

TEST(RegulObservation, TheFirstExpenseKindCountAndBeneficiariesDecide)
{
    const auto e = [](ExpenseKind kind, qint64 ben, const char* name) {
        TRegulExpense x;
        x.kind = kind;
        x.idBen = ben;
        x.benName = QString::fromUtf8(name);
        x.noDepense = QStringLiteral("F-12");
        x.dateDepense = QDate(2024, 3, 5);
        x.lineTitle = QStringLiteral("Frais de mission");
        return x;
    };
    struct Case {
        QList<TRegulExpense> expenses;
        const char* text;
    } cases[] = {
        {{}, "***"},
        {{e(ExpenseKind::Mission, 1, "ALI"), e(ExpenseKind::Mission, 1, "ALI")}, "ENGAGEMENT FRAIS DE MISSION DE : ALI"},
        {{e(ExpenseKind::Mission, 1, "ALI"), e(ExpenseKind::Invoice, 2, "OMAR")}, "ENGAGEMENT FRAIS DE MISSION"},
        {{e(ExpenseKind::SalaryToCommit, 1, "X")}, "ENGAGEMENT EMI - EXERCICE 2024"},
        {{e(ExpenseKind::Invoice, 1, "SARL")}, "ENGAGEMENT DE LA FACTURE NO F-12  DU  05/03/2024 DU FOURNISSEUR SARL"},
        {{e(ExpenseKind::Invoice, 1, "SARL"), e(ExpenseKind::Invoice, 1, "SARL")},
         "ENGAGEMENT DE DIVERSES FACTURES  DU FOURNISSEUR SARL"},
        {{e(ExpenseKind::Invoice, 1, "SARL"), e(ExpenseKind::Invoice, 2, "EURL")},
         "ENGAGEMENT DE DIVERSES FACTURES  DE DIVERS FOURNISSEURS"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RegulObservation(c.expenses, QStringLiteral("2024")), QString::fromUtf8(c.text));
}

} // namespace

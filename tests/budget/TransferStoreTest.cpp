// Credit transfers in the store: rows, sheets and their numbers, the credit of
// the lines before and after the transfer's date, a change keeping its sheet
// numbers, the credit test leaving the transfer's own rows out, a failure
// leaving nothing; and the entry rules.
#include "budget/TransferFixture.h"

#include "budget/TransferRules.h"

namespace {

TEST_F(TransferTest, NewTransferStoresItsRowsAndOneSheetPerRow)
{
    const QDate date(2024, 3, 10);
    const Currency givingBefore = DM->Queries().CreditAvailableAt(giving, date);
    const qint64 id = SaveTransfer(Example(date));
    EXPECT_GT(id, 0);

    const auto rows = TransferRows(id);
    ASSERT_EQ(rows.size(), 3u);
    const TransferSide sens[] = {TransferSide::Giving, TransferSide::Receiving, TransferSide::Receiving};
    const qint64 lines[] = {giving, receiving, empty};
    const char* const amounts[] = {"100000", "60000", "40000"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rows[i].noLine, i + 1);
        EXPECT_EQ(rows[i].sens, sens[i]);
        EXPECT_EQ(rows[i].idFnm, lines[i]);
        EXPECT_EQ(rows[i].amount, Money(amounts[i]));
        EXPECT_EQ(rows[i].date, date);
        EXPECT_EQ(rows[i].user, QStringLiteral("SYSDBA"));   // the database user
    }

    // The giving line's DEPENSE sheet follows its primitive-budget sheet; the
    // line that had no sheet does not take "0001", the primitive budget's.
    struct Expected {
        qint64 line;
        const char* number;
        SheetObject objet;
        const char* amount;
        const char* obs;
    };
    for (const Expected& e : {Expected{giving, "0002", SheetObject::Expense, "100000", "Diminution"},
                              Expected{receiving, "0002", SheetObject::Economy, "60000", "Augmentation"},
                              Expected{empty, "0002", SheetObject::Economy, "40000", "Augmentation"}}) {
        const auto sheet = TransferSheet(e.line);
        ASSERT_TRUE(sheet.has_value()) << e.line;
        EXPECT_EQ(sheet->number, QString::fromLatin1(e.number));
        EXPECT_EQ(sheet->objet, e.objet);
        EXPECT_EQ(sheet->amount, Money(e.amount));
        EXPECT_EQ(sheet->idOrigine, id);
        EXPECT_EQ(sheet->sheetDate, date);
        EXPECT_EQ(sheet->obs, QString::fromUtf8(e.obs));
        EXPECT_EQ(sheet->statut, SheetInForce);
        EXPECT_EQ(sheet->user, QStringLiteral("BUDGETIER"));
        EXPECT_EQ(sheet->lines, 1);
        EXPECT_EQ(sheet->lineObjet, LineObject::Transfer);
        EXPECT_EQ(sheet->lineDetail, e.line);
        EXPECT_EQ(sheet->lineAmount, Money(e.amount));
    }

    // The credit moves on the transfer's date, not before.
    EXPECT_EQ(DM->Queries().CreditAvailableAt(giving, date.addDays(-1)), givingBefore);
    EXPECT_EQ(DM->Queries().CreditAvailableAt(giving, date), givingBefore - Money("100000"));
    EXPECT_EQ(DM->Queries().CreditAvailableAt(empty, date.addDays(-1)), Currency());
    EXPECT_EQ(DM->Queries().CreditAvailableAt(empty, date), Money("40000"));

    TTransferStore store;
    const TListingRows keys = store.ReadKeys();
    ASSERT_EQ(keys.rows.size(), 1u);
    EXPECT_EQ(TTransferStore::KeyOf(QueryRow(&keys.names, &keys.rows[0])), id);
    const auto read = store.Read(id);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->date, date);
    ASSERT_EQ(read->giving.size(), 1);
    ASSERT_EQ(read->receiving.size(), 2);
    EXPECT_EQ(read->receiving[1].intitule, QStringLiteral("Documentation"));
}

TEST_F(TransferTest, ChangedTransferKeepsItsNumbersAndIsNotCountedAgainstItself)
{
    const qint64 id = SaveTransfer(Example());
    TTransferStore store;

    // Its own stored rows are left out of its giving line's credit: the same
    // line giving the same amount again sees the credit it had before.
    const Currency before = DM->Queries().CreditAvailableAt(giving, QDate(2024, 12, 31)) + Money("100000");
    EXPECT_EQ(store.Credit(id, giving, QDate(2024, 12, 31)).available, before);
    EXPECT_EQ(store.Credit(-1, giving, QDate(2024, 12, 31)).available, before - Money("100000"));
    EXPECT_EQ(store.Credit(id, empty, QDate(2024, 12, 31)).available, Currency());

    // Changed: another date, the third line dropped, its amount moved. Its
    // sheets are written again on the keys they had: the change draws none.
    const qint64 givingSheet = TransferSheet(giving)->id;
    auto lastKey = [] {
        db::Query q(DM->LURDO, QStringLiteral("SELECT GEN_ID(GEN_ENGAGEMENT_ID, 0) AS K FROM RDB$DATABASE"));
        q.open();
        return q.asInt(QStringLiteral("K"));
    };
    const qint64 keyBefore = lastKey();
    TTransfer t = *store.Read(id);
    t.date = QDate(2024, 3, 12);
    t.receiving = {Row(receiving, "22-01", "100000")};
    EXPECT_EQ(SaveTransfer(t), id);
    const auto rows = TransferRows(id);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].amount, Money("100000"));
    EXPECT_EQ(rows[1].date, QDate(2024, 3, 12));
    EXPECT_EQ(TransferSheet(giving)->number, QStringLiteral("0002"));
    EXPECT_EQ(TransferSheet(giving)->id, givingSheet);   // written again, on its key and number
    EXPECT_EQ(lastKey(), keyBefore);
    EXPECT_EQ(TransferSheet(receiving)->amount, Money("100000"));
    EXPECT_FALSE(TransferSheet(empty).has_value());

    // A later sheet on the giving line: its transfer sheet is no longer the last.
    EXPECT_TRUE(store.RowSheetIsLast(id, giving, TransferSide::Giving));
    AddUserSheet(giving, QStringLiteral("0003"), Money("10"));
    EXPECT_FALSE(store.RowSheetIsLast(id, giving, TransferSide::Giving));
    EXPECT_TRUE(store.RowSheetIsLast(id, receiving, TransferSide::Receiving));
    EXPECT_TRUE(store.RowSheetIsLast(id, empty, TransferSide::Receiving));   // no sheet: last

    // Deleted: rows and sheets go together.
    {
        TWriteGuard write;
        store.Delete(id);
        write.Commit();
    }
    EXPECT_TRUE(TransferRows(id).empty());
    EXPECT_FALSE(TransferSheet(giving).has_value());
    EXPECT_FALSE(TransferSheet(receiving).has_value());
    EXPECT_TRUE(store.ReadKeys().rows.empty());
}

TEST_F(TransferTest, CreditShortWhenPaidPlusAmountExceedsTheCredit)
{
    Paid(giving, Money("240000"), QDate(2024, 2, 1));
    // An order not dated yet pays on the line all the same.
    Paid(giving, Money("10000"), QDate());
    TTransferStore store;
    const TTransferCredit credit = store.Credit(-1, giving, QDate(2024, 12, 31));
    EXPECT_EQ(credit.available, Money("300000"));
    EXPECT_EQ(credit.mandated, Money("250000"));
    EXPECT_FALSE(TransferCreditShort(credit, Money("50000")));
    EXPECT_TRUE(TransferCreditShort(credit, Money("50000.01")));
}

TEST_F(TransferTest, AFailureDuringTheSaveLeavesTheStoredTransferWhole)
{
    const qint64 id = SaveTransfer(Example());
    const int sheetLines = AllSheetLines();
    TTransferStore store;
    TTransfer t = *store.Read(id);
    // A row whose line the table refuses: the save fails after the old rows
    // and sheets were deleted and some new ones written.
    TTransferRow bad = Row(giving, "22-01", "1");
    bad.idFnm = 99999999;   // beyond the small-integer column
    t.receiving.append(bad);
    t.giving[0].amount = Money("100001");
    EXPECT_THROW(SaveTransfer(t), db::DbError);

    const auto rows = TransferRows(id);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].amount, Money("100000"));
    EXPECT_EQ(TransferSheet(giving)->amount, Money("100000"));
    EXPECT_EQ(TransferSheet(empty)->number, QStringLiteral("0002"));
    EXPECT_EQ(AllSheetLines(), sheetLines);
    // Nothing of it reaches a later commit either.
    DM->CommitWork();
    EXPECT_EQ(TransferRows(id).size(), 3u);
    EXPECT_EQ(AllSheetLines(), sheetLines);
}

TEST(TransferRules, AmountsAreReadOnceToTheCent)
{
    struct Case {
        const char* text;
        const char* amount;   // nullptr: refused
    };
    const Case cases[] = {
        {"1500.5", "1500.50"},
        {"1 500.50", "1500.50"},       // the money format of a reformatted cell
        {"2.008", "2.01"},             // rounded once; the cell then shows 2.01
        {"2.005", "2.01"},
        {"2.00495", "2.00"},           // not 2.0050 first, then 2.01
        {"-5", "-5.00"},
        {".5", "0.50"},
        {"abc", nullptr},
        {"", nullptr},
        {"1+2", nullptr},
        {"9999999999999.99", "9999999999999.99"},
        {"10000000000000", nullptr},    // more than the column holds
    };
    for (const Case& c : cases) {
        const std::optional<Currency> a = TransferAmount(QString::fromUtf8(c.text));
        if (!c.amount) {
            EXPECT_FALSE(a.has_value()) << c.text;
        } else {
            ASSERT_TRUE(a.has_value()) << c.text;
            EXPECT_EQ(a->toFixed2(), QString::fromLatin1(c.amount)) << c.text;
        }
    }
}

TEST(TransferRules, EachGridAndTheTotalsAreChecked)
{
    auto entry = [](int row, const char* text) {
        TTransferEntry e;
        e.gridRow = row;
        e.amount = TransferAmount(QString::fromLatin1(text));
        return e;
    };
    EXPECT_FALSE(CheckTransferAmounts({entry(1, "10"), entry(2, "0.01")}).has_value());
    auto r = CheckTransferAmounts({entry(1, "10"), entry(2, "dix"), entry(3, "0")});
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->message, QStringLiteral("Le montant de l'imputation n'est  pas numérique !"));
    EXPECT_EQ(r->row, 2);
    r = CheckTransferAmounts({entry(1, "10"), entry(4, "-3"), entry(5, "x")});
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->message, QStringLiteral("Le Montant doit supérieur à zéro !"));
    EXPECT_EQ(r->row, 4);

    const Currency a = *Currency::parse(u"100000"), b = *Currency::parse(u"99999");
    EXPECT_FALSE(CheckTransferTotals(a, a).has_value());
    EXPECT_EQ(CheckTransferTotals(a, b)->message, QStringLiteral("Les Montants des imputations sont différents !"));
    EXPECT_EQ(CheckTransferTotals(a, b)->field, GivingGrid);
    EXPECT_EQ(CheckTransferTotals(Currency(), a)->message, QStringLiteral("Le Montant doit être non nul !"));
    EXPECT_EQ(CheckTransferTotals(Currency(), a)->field, GivingGrid);
    EXPECT_EQ(CheckTransferTotals(a, Currency())->field, ReceivingGrid);
}

} // namespace

// The checks of an invoice before it is saved, without a window: which entry
// is refused, with which message and on which field, and what is asked first.
#include "expenditure/ExpenseRules.h"

#include "common/Verdicts.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

using namespace expense;

const QString OtherYearQuestion =
    QStringLiteral("La date Facture ne correspond pas à l'exercice en cours ! \rVoulez-vous continuer ?");
const QString NumberTwice =
    QStringLiteral("Ce N° de Facture a déjà été saisi pour ce fournisseur !\rContinuer tout de même ?");

InvoiceEntry Entry(const char* number, const char* date, const char* amount, const char* supplier,
                   bool numberTaken = false, bool hasBudgetLine = true)
{
    InvoiceEntry e;
    e.number = QString::fromUtf8(number);
    e.date = QString::fromLatin1(date);
    if (amount)
        e.amount = Currency::parse(QString::fromLatin1(amount));
    e.supplier = QString::fromLatin1(supplier);
    e.numberTaken = numberTaken;
    e.hasBudgetLine = hasBudgetLine;
    return e;
}

} // namespace

TEST(InvoiceRules, RefusalsAndQuestionsComeInOrder)
{
    struct Case {
        const char* name;
        InvoiceEntry entry;
        bool answer;                 // to every question
        const char* message;         // nullptr: accepted
        int field;
        QStringList questions;
    };
    const Case cases[] = {
        {"in order", Entry(" F-1 ", "01/06/2024", "10.50", "7"), true, nullptr, -1, {}},
        {"no number", Entry("   ", "01/06/2024", "10", "7"), true, "Le N° de Facture est manquant !", InvoiceNumber, {}},
        {"no date", Entry("F-1", " ", "10", "7"), true, "La Date Facture est manquante !", InvoiceDate, {}},
        {"no real date", Entry("F-1", "30/02/2024", "10", "7"), true, "La Date Facture est incorrecte !", InvoiceDate, {}},
        {"other year, No", Entry("F-1", "01/06/2023", "10", "7"), false, "", InvoiceDate, {OtherYearQuestion}},
        {"other year, Yes", Entry("F-1", "01/06/2023", "10", "7"), true, nullptr, -1, {OtherYearQuestion}},
        {"no amount", Entry("F-1", "01/06/2024", nullptr, "7"), true, "Le Montant de la Facture est incorrect !",
         InvoiceAmount, {}},
        {"amount 0", Entry("F-1", "01/06/2024", "0", "7"), true, "Le Montant de la Facture est incorrect !",
         InvoiceAmount, {}},
        {"amount below 0", Entry("F-1", "01/06/2024", "-5", "7"), true, "Le Montant de la Facture est incorrect !",
         InvoiceAmount, {}},
        {"amount beyond the column", Entry("F-1", "01/06/2024", "10000000000000", "7"), true,
         "Le Montant de la Facture est incorrect !", InvoiceAmount, {}},
        {"the largest amount", Entry("F-1", "01/06/2024", "9999999999999.99", "7"), true, nullptr, -1, {}},
        {"no supplier", Entry("F-1", "01/06/2024", "10", "  "), true, "Le fournisseur est manquant !", InvoiceSupplier,
         {}},
        {"number given twice, No", Entry("F-1", "01/06/2024", "10", "7", true), false, "", InvoiceNumber, {NumberTwice}},
        {"number given twice, Yes", Entry("F-1", "01/06/2024", "10", "7", true), true, nullptr, -1, {NumberTwice}},
        {"both questions, in order", Entry("F-1", "01/06/2023", "10", "7", true), true, nullptr, -1,
         {OtherYearQuestion, NumberTwice}},
        {"no budget line", Entry("F-1", "01/06/2024", "10", "7", false, false), true, "L'Imputation est manquante !",
         InvoiceBudgetLine, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InvoiceEntry entry = c.entry;
        QStringList asked;
        Invoice out;
        const TVerdict verdict = CheckInvoice(entry, 2024, Answering(c.answer, asked), out);
        EXPECT_EQ(asked, c.questions);
        ExpectVerdict(verdict, c.message, c.field);
    }
}

TEST(InvoiceRules, AnAcceptedInvoiceIsStoredAsTyped)
{
    InvoiceEntry entry = Entry("  F-2024/7 ", "1/6/2024", "9999999999999.99", " 12 ");
    Invoice out;
    ASSERT_FALSE(CheckInvoice(entry, 2024, [](const QString&) { return false; }, out));
    EXPECT_EQ(entry.number, QStringLiteral("F-2024/7"));
    EXPECT_EQ(out.number, QStringLiteral("F-2024/7"));
    EXPECT_EQ(out.date, QDate(2024, 6, 1));
    EXPECT_EQ(out.amount, Currency::fromRaw(99999999999999900));
    EXPECT_EQ(out.idBen, 12);
}

// The checks of an invoice before it is saved, without a window: which entry
// is refused, with which message and on which field, and what is asked first;
// what an expense's state lets change; the mission dates.
#include "expenditure/ExpenseRules.h"
#include "expenditure/ExpenseStore.h"

#include "common/Verdicts.h"
#include "core/Routines.h"

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

// Each kind against each state: a free (or new) expense may change what the
// kind has; a committed or mandated one keeps its amount, budget line,
// contributions and lines.
TEST(ExpenseRules, WhatTheStateLetsChange)
{
    struct Case {
        const char* name;
        ExpenseKind kind;
        bool inserting;
        ExpenseState state;
        bool contributionMode;
        TEditRights expected;   // amount, budget line, contributions, lines
    };
    using enum ExpenseKind;
    using enum ExpenseState;
    const std::vector<Case> cases = {
        {"invoice free", Invoice, false, Free, false, {true, true, false, false}},
        {"invoice committed", Invoice, false, Committed, false, {false, false, false, false}},
        {"invoice new", Invoice, true, CommittedAndMandated, false, {true, true, false, false}},
        {"mission free", Mission, false, Free, false, {true, true, false, false}},
        {"mission free, contributions", Mission, false, Free, true, {false, true, true, false}},
        {"mission committed, contributions", Mission, false, Committed, true, {false, false, false, false}},
        {"mission mandated", Mission, false, Mandated, false, {false, false, false, false}},
        {"mission new, contributions", Mission, true, Free, true, {false, true, true, false}},
        {"salary to pay free", SalaryToPay, false, Free, false, {false, false, false, true}},
        {"salary to pay mandated", SalaryToPay, false, Mandated, false, {false, false, false, false}},
        {"salary to pay both", SalaryToPay, false, CommittedAndMandated, false, {false, false, false, false}},
        {"salary to pay new", SalaryToPay, true, Free, false, {false, false, false, false}},
        {"salary to commit free", SalaryToCommit, false, Free, false, {true, true, false, false}},
        {"salary to commit committed", SalaryToCommit, false, Committed, false, {false, false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TEditRights r = EditRights(c.kind, c.inserting, c.state, c.contributionMode);
        EXPECT_EQ(r.amount, c.expected.amount);
        EXPECT_EQ(r.budgetLine, c.expected.budgetLine);
        EXPECT_EQ(r.contributions, c.expected.contributions);
        EXPECT_EQ(r.lines, c.expected.lines);
    }
}

TEST(MissionRules, DatesBothOrNeitherInTheirOrder)
{
    struct Case {
        const char* name;
        const char* start;
        const char* end;
        bool answer;             // to a question about the year
        const char* refusal;     // nullptr: accepted; "" a question answered No
        int field;
        QStringList questions;
    };
    const QString startYear =
        QStringLiteral("La date de début de mission ne correspond pas à l'exercice en cours !\rVoulez-vous continuer ?");
    const QString endYear =
        QStringLiteral("La date de fin de mission ne correspond pas à l'exercice en cours !\rVoulez-vous continuer ?");
    const int Start = expense::MissionStart, End = expense::MissionEnd;
    const std::vector<Case> cases = {
        {"both empty", "", "  ", true, nullptr, Start, {}},
        {"both", "02/03/2024", "05/03/2024", true, nullptr, Start, {}},
        {"one day", "02/03/2024", "2/3/2024", true, nullptr, Start, {}},
        {"start missing", "", "05/03/2024", true, "La Date de début de mission est manquante !", Start, {}},
        {"end missing", "02/03/2024", "", true, "La Date de fin de mission est manquante !", End, {}},
        {"start wrong", "31/02/2024", "05/03/2024", true, "La Date de début de mission est incorrecte !", Start, {}},
        {"end wrong", "02/03/2024", "3/2024", true, "La Date de fin de mission est incorrecte !", End, {}},
        {"end before start", "05/03/2024", "02/03/2024", true,
         "La Date de fin de mission est antérieure à la date de début !", End, {}},
        {"start of another year refused", "30/12/2023", "02/01/2024", false, "", Start, {startYear}},
        {"across the year accepted", "30/12/2023", "02/01/2025", true, nullptr, Start, {startYear, endYear}},
        {"end of another year refused", "30/12/2024", "02/01/2025", false, "", End, {endYear}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList asked;
        QDate start, end;
        const TVerdict verdict = CheckMissionDates(QString::fromUtf8(c.start), QString::fromUtf8(c.end), 2024,
                                                   Answering(c.answer, asked), start, end);
        EXPECT_EQ(asked, c.questions);
        ExpectVerdict(verdict, c.refusal, c.field);
        if (!c.refusal) {
            EXPECT_EQ(start, ParseDate(QString::fromUtf8(c.start)));
            EXPECT_EQ(end, ParseDate(QString::fromUtf8(c.end)));
        }
    }
}

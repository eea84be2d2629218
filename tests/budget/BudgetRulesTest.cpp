// The checks of a budget line's allocations, without a window: which entry is
// refused, with which message and on which field, what is asked, and what is
// stored.
#include "budget/BudgetRules.h"

#include "common/Verdicts.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

using namespace budget;

std::optional<Currency> Money(const char* text)
{
    if (!text)
        return std::nullopt;
    return Currency::parse(QString::fromUtf8(text));
}

AllocationEntry Entry(const char* bp, const char* regie, const char* bs, const char* dateBP, const char* dateEngBP,
                      const char* dateBS, const char* dateEngBS)
{
    AllocationEntry e;
    e.bp = Money(bp);
    e.regie = Money(regie);
    e.bs = Money(bs);
    e.dateBP = QString::fromLatin1(dateBP);
    e.dateEngBP = QString::fromLatin1(dateEngBP);
    e.dateBS = QString::fromLatin1(dateBS);
    e.dateEngBS = QString::fromLatin1(dateEngBS);
    return e;
}

const QString AmendingVisaQuestion = QStringLiteral("La date de prise en charge du BS est incorrecte !\rContinuer ?");

} // namespace

TEST(BudgetRules, RefusalsComeInOrderWithTheirMessageAndField)
{
    struct Case {
        const char* name;
        AllocationEntry entry;
        bool answer;              // to the amending-visa question
        const char* message;      // nullptr: accepted
        int field;
        int questions;
    };
    AllocationEntry headingNotLast = Entry("5", "0", "0", "", "", "", "");
    headingNotLast.article = false;
    headingNotLast.hasAmendingSheet = true;
    headingNotLast.amendingSheetIsLast = false;
    AllocationEntry notLast = Entry("100", "0", "0", "", "02/01/2024", "", "");
    notLast.hasAmendingSheet = true;
    notLast.amendingSheetIsLast = false;
    AllocationEntry firstTaken = Entry("100", "0", "0", "", "02/01/2024", "", "");
    firstTaken.firstNumberTaken = true;
    AllocationEntry firstTakenKept = firstTaken;
    firstTakenKept.hasPrimitiveSheet = true;   // its sheet already stands: only changed
    AllocationEntry firstTakenNoBudget = Entry("0", "0", "5", "", "", "03/01/2024", "04/01/2024");
    firstTakenNoBudget.firstNumberTaken = true;
    AllocationEntry notLastKept = notLast;
    const std::string firstTakenText = FirstNumberTakenRefusal.toStdString();
    notLastKept.bs = Currency::fromUnits(50);
    notLastKept.dateBS = QStringLiteral("03/01/2024");
    notLastKept.dateEngBS = QStringLiteral("04/01/2024");

    const Case cases[] = {
        {"all in order", Entry("100", "10", "-20", "02/01/2024", "02/01/2024", "03/01/2024", "04/01/2024"), true,
         nullptr, -1, 0},
        {"primitive no amount", Entry(nullptr, "0", "0", "", "", "", ""), true,
         "Le Montant du budget primitif est incorrect !", PrimitiveAmount, 0},
        {"primitive beyond the column", Entry("10000000000000", "0", "0", "", "01/01/2024", "", ""), true,
         "Le Montant du budget primitif est incorrect !", PrimitiveAmount, 0},
        {"imprest no amount", Entry("0", nullptr, "0", "", "", "", ""), true, "Le Montant de la régie est incorrect !",
         ImprestAmount, 0},
        {"amending beyond the column", Entry("0", "0", "-10000000000000", "", "", "", ""), true,
         "Le Montant du budget modificatif est incorrect !", AmendingAmount, 0},
        {"primitive below zero", Entry("-1", "0", "0", "", "", "", ""), true,
         "Le Montant du budget primitif doit être supérieur ou égale à zéro !", PrimitiveAmount, 0},
        {"imprest below zero", Entry("10", "-0.01", "0", "", "02/01/2024", "", ""), true,
         "Le Montant de la régie doit être supérieur ou égale à zéro !", ImprestAmount, 0},
        {"primitive visa no date", Entry("10", "0", "0", "31/02/2024", "02/01/2024", "", ""), true,
         "La Date visa du BP est incorrecte !", PrimitiveVisaDate, 0},
        {"primitive visa other year", Entry("10", "0", "0", "31/12/2023", "02/01/2024", "", ""), true,
         "La date visa du BP ne correspond pas à l'exercice en cours !", PrimitiveVisaDate, 0},
        {"primitive sheet date missing", Entry("10", "0", "0", "", "  ", "", ""), true,
         "La Date de la fiche d'engagement (BP) est manquante !", PrimitiveSheetDate, 0},
        {"primitive sheet date no date", Entry("10", "0", "0", "", "2/13/2024", "", ""), true,
         "La Date de la fiche d'engagement (BP) est incorrecte !", PrimitiveSheetDate, 0},
        {"primitive sheet date other year", Entry("10", "0", "0", "", "02/01/2025", "", ""), true,
         "La date de la fiche d'engagement (BP) ne correspond pas à l'exercice en cours !", PrimitiveSheetDate, 0},
        {"no primitive: its dates are not looked at", Entry("0", "0", "0", "bad", "bad", "", ""), true, nullptr, -1, 0},
        {"amending without visa, No", Entry("0", "0", "5", "", "", "", "04/01/2024"), false, "", AmendingVisaDate, 1},
        {"amending without visa, Yes", Entry("0", "0", "5", "", "", "", "04/01/2024"), true, nullptr, -1, 1},
        {"amending visa no date, Yes, still refused", Entry("0", "0", "5", "", "", "99/99/2024", "04/01/2024"), true,
         "La Date visa du BS est incorrecte !", AmendingVisaDate, 1},
        {"amending visa other year", Entry("0", "0", "5", "", "", "03/01/2023", "04/01/2024"), true,
         "La date visa du BS ne correspond pas à l'exercice en cours !", AmendingVisaDate, 0},
        {"amending sheet date missing", Entry("0", "0", "5", "", "", "03/01/2024", ""), true,
         "La Date de la fiche d'engagement (BS) est manquante !", AmendingSheetDate, 0},
        {"amending sheet date other year", Entry("0", "0", "5", "", "", "03/01/2024", "04/01/2023"), true,
         "La date de la fiche d'engagement (BS) ne correspond pas à l'exercice en cours !", AmendingSheetDate, 0},
        {"no amending: its dates are not looked at", Entry("0", "0", "0", "", "", "bad", "bad"), true, nullptr, -1, 0},
        {"amending sheet not the last goes with 0", notLast, true,
         "Cette ficher n'est pas la dernière !\rIl faut, donc, supprimer les celles qui sont aprés celle-là.",
         AmendingAmount, 0},
        {"amending sheet not the last, kept", notLastKept, true, nullptr, -1, 0},
        {"a heading has no sheets", headingNotLast, true, nullptr, -1, 0},
        {"first primitive budget, 0001 taken", firstTaken, true, firstTakenText.c_str(),
         PrimitiveAmount, 0},
        {"primitive sheet kept, 0001 taken too", firstTakenKept, true, nullptr, -1, 0},
        {"no primitive budget, 0001 taken", firstTakenNoBudget, true, nullptr, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AllocationEntry entry = c.entry;
        QStringList asked;
        Allocations out;
        const TVerdict verdict = CheckAllocations(entry, 2024, Answering(c.answer, asked), out);
        EXPECT_EQ(asked.size(), c.questions);
        for (const QString& q : asked)
            EXPECT_EQ(q, AmendingVisaQuestion);
        ExpectVerdict(verdict, c.message, c.field);
    }
}

TEST(BudgetRules, AcceptedAllocationsAreStoredToTheCentAndTheEntryTidied)
{
    // The largest amount the columns hold is taken exactly; amounts go to the cent.
    AllocationEntry e = Entry("9999999999999.99", "0.005", "-0.004", " 02/01/2024 ", "2/1/2024 ", "", "");
    Allocations out;
    ASSERT_FALSE(CheckAllocations(e, 2024, [](const QString&) { return false; }, out));
    EXPECT_EQ(out.bp, Currency::fromRaw(99999999999999900));
    EXPECT_EQ(out.regie, Currency::fromRaw(100));
    EXPECT_TRUE(out.bs.isZero());
    EXPECT_EQ(out.dateBP, QDate(2024, 1, 2));
    EXPECT_EQ(out.dateEngBP, QDate(2024, 1, 2));
    EXPECT_EQ(e.dateBP, QStringLiteral("02/01/2024"));
    EXPECT_EQ(e.dateEngBP, QStringLiteral("2/1/2024"));

    // A heading keeps nothing; a zero amount loses its dates.
    AllocationEntry heading = Entry("100", "5", "7", "02/01/2024", "02/01/2024", "03/01/2024", "04/01/2024");
    heading.article = false;
    ASSERT_FALSE(CheckAllocations(heading, 2024, [](const QString&) { return true; }, out));
    EXPECT_EQ(heading.bp, Currency());
    EXPECT_EQ(heading.bs, Currency());
    for (const QString& date : {heading.dateBP, heading.dateEngBP, heading.dateBS, heading.dateEngBS})
        EXPECT_TRUE(date.isEmpty());
    EXPECT_TRUE(out.bp.isZero() && out.regie.isZero() && out.bs.isZero());
    EXPECT_FALSE(out.dateBP.isValid());

    // Tidying stops at the refusal: the amending dates stay as typed.
    AllocationEntry refused = Entry("-1", "0", "0", "x", "x", "y", "y");
    ASSERT_TRUE(CheckAllocations(refused, 2024, [](const QString&) { return true; }, out));
    EXPECT_EQ(refused.dateBP, QStringLiteral("x"));
    EXPECT_EQ(refused.dateBS, QStringLiteral("y"));
}

#pragma once
// The checks of an expense before it is saved, as plain functions over the
// typed values: the dates of the expense editors and the invoice's entry; what
// an expense's state lets the user change; the employer contributions of the
// social-charge lines and the mission dates.

#include "core/Currency.h"
#include "core/Refusal.h"
#include "data/Codes.h"

#include <QDate>
#include <QString>
#include <optional>

namespace expense {

// A required date: missing, no date, or outside the fiscal year are refused
// with their messages; outside the fiscal year may instead ask whether to go
// on. `field` is the refusal's field.
enum class OtherYear { Ask, Refuse };
TVerdict CheckDate(const QString& text, const QString& missing, const QString& incorrect, const QString& otherYear,
                   OtherYear rule, int fiscalYear, const TAsk& ask, int field, QDate& out);

// The fields of an invoice a refusal points to (TRefusal::field).
enum InvoiceField : int {
    InvoiceNumber,       // edNoFact
    InvoiceDate,         // edDFact
    InvoiceAmount,       // edMontant
    InvoiceSupplier,     // edFour
    InvoiceBudgetLine,   // edChap
};

struct InvoiceEntry {
    QString number;                    // trimmed by the check
    QString date;
    std::optional<Currency> amount;    // nothing: the text is no amount
    QString supplier;                  // the supplier's key as shown
    bool numberTaken = false;          // another expense of the supplier has the number
    bool hasBudgetLine = false;
};

struct Invoice {
    QString number;
    QDate date;
    Currency amount;
    qint64 idBen = -1;
};

// Runs the checks in their order: the number, the date (another year asks),
// the amount (above 0, within the columns), the supplier, the number already
// given to the supplier (asks), the budget line.
TVerdict CheckInvoice(InvoiceEntry& entry, int fiscalYear, const TAsk& ask, Invoice& out);

// --- what an expense's state lets change -------------------------------------------

struct TEditRights {
    bool amount = false;          // the amount field
    bool budgetLine = false;      // the budget-line picker
    bool contributions = false;   // the three contribution fields of a mission
    bool lines = false;           // the detail lines of a salary expense to pay
};

// `state`: GetExpenseState of the expense shown; `inserting`: a new entry (always free);
// `contributionMode`: a mission on a social-contribution line, whose amount is
// the sum of its contributions and never typed.
// A committed or mandated expense keeps its amount, budget line, contributions
// and lines: its sheet and its order hold the amount it had.
TEditRights EditRights(ExpenseKind kind, bool inserting, ExpenseState state, bool contributionMode);

// --- missions --------------------------------------------------------------------------

// Whether a mission's budget line takes the employer contributions (chapter
// 21.05/22.05, article 01, in their written forms).
bool IsContributionLine(const QString& chap, const QString& art);

// The amount of a mission in contribution mode: the exact sum of the three.
Currency ContributionSum(Currency regimeGen, Currency assChomage, Currency retraiteAnt);

// The fields of the mission dates a refusal points to (TRefusal::field).
enum MissionField : int { MissionStart = 100, MissionEnd };

// The optional mission dates, both or neither: each required, a date, in the
// fiscal year (asked), and the end not before the start. `start` and `end`
// receive the dates (invalid when both are empty).
TVerdict CheckMissionDates(const QString& startText, const QString& endText, int fiscalYear, const TAsk& ask,
                           QDate& start, QDate& end);

} // namespace expense

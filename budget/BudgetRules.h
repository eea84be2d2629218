#pragma once
// The checks of a budget line's allocations before they are saved: the
// primitive budget, its imprest part and its visa date, the date of the
// primitive-budget sheet, the amending budget with its visa date and the date
// of its sheet, and whether the amending sheet may go.

#include "core/Currency.h"
#include "core/Refusal.h"

#include <QDate>
#include <QString>
#include <optional>

namespace budget {

// The fields a refusal points to (TRefusal::field).
enum AllocationField : int {
    PrimitiveAmount,     // edMt_BP
    ImprestAmount,       // edMt_Regie
    AmendingAmount,      // edMt_BS
    PrimitiveVisaDate,   // edDateBP
    PrimitiveSheetDate,  // edDateEng_BP
    AmendingVisaDate,    // edDateBS
    AmendingSheetDate,   // edDateEng_BS
};

// What the user typed, and what the database says of the line's sheets.
struct AllocationEntry {
    bool article = true;                       // a chapter heading (no article) keeps no allocations
    std::optional<Currency> bp, regie, bs;     // nothing: the text is no amount
    QString dateBP, dateEngBP, dateBS, dateEngBS;
    bool hasAmendingSheet = false;             // the line has an amending-budget sheet
    bool amendingSheetIsLast = true;           // ... and it is the line's last sheet
    bool hasPrimitiveSheet = false;            // the line has its primitive-budget sheet
    bool firstNumberTaken = false;             // a sheet of another origin holds "0001" on the line
};

// The refusal of a primitive budget whose sheet cannot take its number
// "0001": another sheet of the line holds it.
extern const QString FirstNumberTakenRefusal;
// The refusal of an amending budget set to 0 whose sheet is not its line's
// last: the sheet cannot go.
extern const QString AmendingSheetNotLastRefusal;

// The allocations to store, amounts to the cent.
struct Allocations {
    Currency bp, regie, bs;
    QDate dateBP, dateEngBP, dateBS, dateEngBS;
};

// Runs the checks in their order and returns the first refusal, or nothing
// with `out` filled. `entry` is tidied as the checks go, up to a refusal: a
// heading's amounts become 0 and its visa dates empty, a zero amount loses its
// dates, the dates are trimmed; the window shows the tidied entry.
// An amending budget whose visa date is no date asks whether to go on. A
// first primitive budget is refused when "0001" of its line is taken, so a
// line never holds two sheets of one number.
TVerdict CheckAllocations(AllocationEntry& entry, int fiscalYear, const TAsk& ask, Allocations& out);

} // namespace budget

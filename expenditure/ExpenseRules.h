#pragma once
// The checks of an expense before it is saved, as plain functions over the
// typed values: the dates of the expense editors and the invoice's entry.

#include "core/Refusal.h"
#include "db/Currency.h"

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

} // namespace expense

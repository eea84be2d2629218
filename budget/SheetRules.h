#pragma once
// The rules of a user commitment sheet's header, as plain functions over the
// typed values: its number, its date and its visa date, and the default
// observation its lines give it. Each check either passes or refuses with its
// message and the field to focus (core/Refusal.h).

#include "core/Refusal.h"
#include "documents/DocumentLines.h"

#include <QDate>
#include <QString>

namespace sheet {

// The fields a refusal points to (TRefusal::field).
enum Field : int { Number, Date, VisaDate };

// A number another sheet of the line holds already.
extern const QString NumberTakenRefusal;   // "Ce N° de Fiche existe déjà !"

// A number typed for a sheet: trimmed, a whole number of at most four digits,
// 2 or more (0001 is the line's primitive-budget sheet). `padded` receives the
// number padded with "0" to four digits.
TVerdict CheckNumber(const QString& typed, QString* padded);

// The sheet date (required, in the fiscal year) and the visa date (optional,
// in the fiscal year, asked about through `ask` when later than the sheet's;
// an empty `ask` asks nothing). `date` and `visaDate` receive the dates read
// (invalid for an empty visa date).
TVerdict CheckDates(const QString& dateText, const QString& visaText, int fiscalYear, const TAsk& ask, QDate* date,
                    QDate* visaDate);

// The observation a sheet's lines suggest, by the kind of its first line.
QString CommitmentObservation(const TDocumentLines& lines);

} // namespace sheet

#pragma once
// The rules of a user commitment sheet's header, as plain functions over the
// typed values: its number, its date and its visa date, and the default
// observation its lines give it. Each check either passes or refuses with its
// message and the field to focus.

#include "documents/DocumentLines.h"

#include <QDate>
#include <QString>

#include <functional>
#include <optional>

namespace sheet {

enum class Field { Number, Date, VisaDate };

struct Refusal {
    QString message;   // empty: the user answered No to a question
    Field field;
};
using Verdict = std::optional<Refusal>;
using Ask = std::function<bool(const QString& question)>;

// A number another sheet of the line holds already.
extern const QString NumberTakenRefusal;   // "Ce N° de Fiche existe déjà !"

// A number typed for a sheet: trimmed, a whole number of at most four digits,
// 2 or more (0001 is the line's primitive-budget sheet). `padded` receives the
// number padded with "0" to four digits.
Verdict CheckNumber(const QString& typed, QString* padded);

// The sheet date (required, in the fiscal year) and the visa date (optional,
// in the fiscal year, asked about when later than the sheet's). `date` and
// `visaDate` receive the dates read (invalid for an empty visa date).
Verdict CheckDates(const QString& dateText, const QString& visaText, int fiscalYear, const Ask& ask, QDate* date,
                   QDate* visaDate);

// The observation a sheet's lines suggest, by the kind of its first line.
QString CommitmentObservation(const TDocumentLines& lines);

} // namespace sheet

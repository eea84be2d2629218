#pragma once
// The rules of a payment order's header as plain functions: its date, and the
// attachment texts its lines suggest.

#include "core/Refusal.h"
#include "documents/DocumentLines.h"

#include <QDate>
#include <QString>

#include <array>
#include <functional>
#include <optional>

namespace order {

// Empty: no date (NULL). Otherwise a date of the fiscal year; refused with its
// message when it is not. `date` receives the date read.
TVerdict CheckDate(const QString& text, int fiscalYear, QDate* date);

// The first three attachment texts after the lines changed: for invoices and
// for missions the commitment reference of the current line's expense, the
// number of lines and the payment statement; other kinds keep theirs
// (nothing returned). `reference` gives "F.E N° ... DU ..." for an expense.
std::optional<std::array<QString, 3>> Attachments(const TDocumentLines& lines, int currentLine,
                                                  const std::function<QString(qint64 idDepense)>& reference);

} // namespace order

#pragma once
// The payment order as the payment-order window prints it: the document is
// chosen from the kind of the order's current line, its budget line and the
// order's contributions, and from the stationery of the print item.

#include "data/Codes.h"
#include "reports/mandat/MandatForm.h"

#include <memory>
#include <optional>

class QWidget;

// The message of the pre-printed item for a salary order.
QString MandatWhitePaperOnlyText();

// The document of order `idMdt`, its current line of expense kind `kind` (none:
// no line) on chapter `chap` and article `art`: a salary order (salaries to
// pay) the salary document on white paper and none on stationery; an order on a
// social-contribution line (chapter 21.05/22.05 article 01, 21.02/22.02
// article 08) whose lines' contributions make what it pays the
// social-contribution documents; every other order (an invoice on such a
// line among them) the standard ones. The document's IdMdt is set.
std::unique_ptr<TRptMandatForm> CreateMandatDocument(int idMdt, std::optional<ExpenseKind> kind, const QString& chap,
                                                     const QString& art, bool prePrinted);

// Prints order `idMdt` through its preview, modally to `caller`; a salary
// order on stationery is refused with its message.
void PreviewMandat(QWidget* caller, int idMdt, std::optional<ExpenseKind> kind, const QString& chap, const QString& art,
                   bool prePrinted);

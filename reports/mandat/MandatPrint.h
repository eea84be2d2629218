#pragma once
// The payment order as the payment-order window prints it: the document is
// chosen from the kind of the order's current line and its budget line, and
// from the stationery of the print item.

#include "reports/mandat/MandatForm.h"

#include <memory>

class QWidget;

// The message of the pre-printed item for a salary order.
QString MandatWhitePaperOnlyText();

// The document for an order whose current line is of expense kind `kind` on
// chapter `chap` and article `art`: a salary order (kind 2) the salary
// document on white paper and none on stationery; the social-contribution
// lines (chapter 21.05/22.05 article 01, 21.02/22.02 article 08) their own
// documents; every other order the standard ones.
std::unique_ptr<TRptMandatForm> CreateMandatDocument(int kind, const QString& chap, const QString& art,
                                                     bool prePrinted);

// Prints order `idMdt` through its preview, modally to `caller`; a salary
// order on stationery is refused with its message.
void PreviewMandat(QWidget* caller, int idMdt, int kind, const QString& chap, const QString& art, bool prePrinted);

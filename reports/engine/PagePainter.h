#pragma once
// The one painter of prepared pages: the preview, the printer and PDF files
// all draw through PaintPage, so what is previewed is what prints.

#include "reports/engine/PageModel.h"

#include <QString>

class QPainter;
class QPrinter;

namespace rpt {

// Paints one page; the painter's units are report pixels (96 per inch) from
// the paper's top-left corner (scale the painter to the device first).
void PaintPage(QPainter& painter, const Page& page);

// Prints pages `fromPage` to `toPage` (1-based, inclusive; 0 for the first or
// the last page) `copies` times, collated, in full-page mode: the printer's
// own margins never move the report's positions. False when the printer
// could not start or no page lies in the range.
bool PrintPages(QPrinter& printer, const PreparedPages& pages, int fromPage = 0, int toPage = 0, int copies = 1);

// Writes every page to a PDF file at the report's paper size. False when the
// file cannot be written.
bool WritePdf(const PreparedPages& pages, const QString& fileName);

// The printer documents print on: the process's system printer, which the
// main window's printer setup configures.
QPrinter& SystemPrinter();

} // namespace rpt

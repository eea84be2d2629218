#pragma once
// The drawing kit of the order pages: millimetres in report pixels, text
// styles, labels, frames, rules and shaded cells, amounts that shrink rather
// than be cut. The payment-order documents, the transfer advices and the
// payment statements all draw with it.

#include "reports/engine/Report.h"

#include <QRect>
#include <QString>

namespace mdt {

// Millimetres in report pixels, rounded.
int Mm(double mm);

struct TextStyle {
    const char* family = "Arial";
    double size = 9;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    Qt::Alignment align = Qt::AlignLeft;
    bool wrap = false;
};

QFont FontOf(const TextStyle& style);
TextStyle Bold(double size = 9, Qt::Alignment align = Qt::AlignLeft);
TextStyle Plain(double size = 9, Qt::Alignment align = Qt::AlignLeft);

rpt::Label* Text(rpt::Band& band, const QString& name, const QRect& rect, const QString& caption,
                 const TextStyle& style);
// A grey cell with a frame and its caption centred in it.
void ShadedCell(rpt::Band& band, const QString& shape, const QString& label, const QRect& rect,
                const QString& caption, const TextStyle& style);
// A frame (outline only).
rpt::Shape* Box(rpt::Band& band, const QString& name, const QRect& rect);
rpt::Shape* HLine(rpt::Band& band, const QString& name, int left, int top, int width);
rpt::Shape* VLine(rpt::Band& band, const QString& name, int left, int top, int height);
// An amount as money, in a smaller font when the label's is too wide for it:
// a figure is never cut.
void ShowAmount(rpt::Label* label, Currency amount);
// Places a label's text in the box from `boxTop`, `boxHeight` high, centred
// vertically; a text taller than the box takes a smaller font, so that it
// prints whole inside the box rather than over its neighbours.
void FitCentred(rpt::Label* label, int boxTop, int boxHeight);
// A rounded grey box (pen 2, corners of 15).
rpt::RoundRect* RoundBox(rpt::Band& band, const QString& name, const QRect& rect);

} // namespace mdt

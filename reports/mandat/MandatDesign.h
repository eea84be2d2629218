#pragma once
// The design of the payment-order documents: the zones of the page, each
// placing its variable labels (the same names and places in every
// presentation) and, on white paper only, its fixed texts, frames, shaded
// cells and the emblem. Pre-printed stationery carries everything fixed, so
// its documents place the variable labels only; their stored layout then
// moves them onto the stationery's boxes.
//
// Positions are report pixels (96 per inch) within the detail band; Mm()
// converts the millimetres the page is drawn in.

#include "reports/engine/Report.h"

#include <QRect>
#include <QString>


namespace mdt {

// Millimetres in report pixels, rounded.
int Mm(double mm);

// The printable width of the page (A4 less the 10 and 7 mm side margins).
inline constexpr int PageWidth = 729;

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

// The zones shared by the standard, social-contribution and salary documents.
// `white` adds the fixed parts of white paper.
struct HeaderZone {
    int width;          // of the left column
    int univTop;
    int facTop;
    int exerciceLeft;   // "Exercice : " (80 pixels), then lYear
    int exerciceTop;
    int sectionLeft;
    int sectionTop;
    int sectionWidth;
    Qt::Alignment sectionAlign;
};
void AddHeader(rpt::Band& band, const HeaderZone& zone, bool white);
// "MANDAT DE PAIEMENT N° : " and lNoMdt in a rounded frame, from `left` to the right edge.
void AddTitle(rpt::Band& band, int left, bool white);

struct CreditorZone {
    int left;
    int width;
    int nomTop;         // the box lNom is centred in (32 pixels high)
    int bnqTop;         // the box lBnq is centred in (27 pixels high)
    int compteTop;
    const char* nomCaption;
};
void AddCreditor(rpt::Band& band, const CreditorZone& zone, bool white);
// "PARTIE RESERVEE AU COMPTABLE" and its two halves, admission and rejection.
void AddAccountantPart(rpt::Band& band, const QRect& rect, bool white);
// The two rounded boxes of the net to pay, from `left` to the right edge.
void AddNetToPay(rpt::Band& band, int left, int split, int top, const char* caption, bool white);
// The sentence "Le présent mandat ..." and lLettre.
void AddWords(rpt::Band& band, int sentenceTop, int wordsTop, bool white);
// "Pièces jointes", lPJ1 to lPJ6, the place and date, "L'Ordonnateur".
void AddAttachments(rpt::Band& band, int top, int signatureTop, bool white);

struct PaymentModesZone {
    int barTop;
    int boxTop;
    int boxHeight;
    int lineGap;        // between the lines of a box
    bool colons;        // "Chèque N° :" rather than "Chèque N° "
    int idTop;          // lIdMdt
    int refsTop;
};
// The bar, the four boxes qRect1 to qRect4, lIdMdt and the bookkeeping
// references lRefs, lJC, lFolio, lMois, lOrd.
void AddPaymentModes(rpt::Band& band, const PaymentModesZone& zone, bool white);

} // namespace mdt

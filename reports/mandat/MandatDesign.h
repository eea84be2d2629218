#pragma once
// The design of the payment-order documents: the zones of the page, each
// placing its variable labels (the same names and places in every
// presentation) and, on white paper only, its fixed texts, frames, shaded
// cells and the emblem. Pre-printed stationery carries everything fixed, so
// its documents place the variable labels only; their stored layout then
// moves them onto the stationery's boxes.
//
// Positions are report pixels (96 per inch) within the detail band; Mm()
// (OrderDrawing.h) converts the millimetres the page is drawn in.

#include "reports/orders/OrderDrawing.h"

#include <QRect>
#include <QString>


namespace mdt {

// The printable width of the page (A4 less the 10 and 7 mm side margins).
inline constexpr int PageWidth = 729;

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

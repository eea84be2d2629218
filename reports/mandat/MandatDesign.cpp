#include "reports/mandat/MandatDesign.h"

#include <QtMath>

#include <algorithm>

namespace mdt {

namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

} // namespace

void AddHeader(rpt::Band& band, const HeaderZone& zone, bool white)
{
    // The emblem stands at the left of the institution's names.
    const int textLeft = 90;
    const int textWidth = zone.width - textLeft;
    if (white) {
        TextStyle republic = Bold(9, Qt::AlignHCenter);
        republic.wrap = true;
        Text(band, QStringLiteral("lTxtRepublique"), {0, Mm(0.5), zone.width, 32},
             S("République Algérienne Démocratique et Populaire"), republic);
        TextStyle ministry = Plain(8, Qt::AlignHCenter);
        ministry.wrap = true;
        Text(band, QStringLiteral("lTxtMinistere"), {0, Mm(10.1), zone.width, 30},
             S("Ministère de l'Enseignement Supérieur et de la Recherche Scientifique"), ministry);
        rpt::Image* emblem = band.addImage(QStringLiteral("imgEmblem"), {0, zone.univTop, 84, 84});
        emblem->loadPicture(QStringLiteral(":/images/mandat_emblem.jpg"));
        TextStyle univ = Bold(9, Qt::AlignHCenter);
        univ.wrap = true;
        Text(band, QStringLiteral("lUniv"), {textLeft, zone.univTop, textWidth, zone.facTop - zone.univTop - 2},
             QString(), univ);
    }
    TextStyle fac = Bold(9, Qt::AlignHCenter);
    fac.wrap = true;
    Text(band, QStringLiteral("lFac"), {textLeft, zone.facTop, textWidth, 16}, QString(), fac);
    if (white) {
        // A short rule under the faculty with a small circle on it; placed by
        // the run under the faculty's text.
        const int centre = textLeft + textWidth / 2;
        HLine(band, QStringLiteral("shpTrait"), centre - 50, zone.facTop + 26, 100)->setPenWidth(1);
        rpt::Shape* circle = band.addShape(QStringLiteral("shpCircle"), {centre - 4, zone.facTop + 22, 8, 8},
                                           rpt::Shape::Form::Circle);
        circle->setBrush(Qt::white);
        Text(band, QStringLiteral("lTxtExercice"), {zone.exerciceLeft, zone.exerciceTop, 80, 18},
             QStringLiteral("Exercice : "), Bold(10, Qt::AlignRight));
    }
    Text(band, QStringLiteral("lYear"), {zone.exerciceLeft + 80, zone.exerciceTop, 60, 18}, QString(), Bold(10));
    Text(band, QStringLiteral("lSection"), {zone.sectionLeft, zone.sectionTop, zone.sectionWidth, 18}, QString(),
         Bold(10, zone.sectionAlign));
}

void AddTitle(rpt::Band& band, int left, bool white)
{
    TextStyle title = Bold(12, Qt::AlignRight);
    title.family = "Times New Roman";
    if (white) {
        RoundBox(band, QStringLiteral("shpTitre"), {left, 0, PageWidth - left, 34})->shape().SetBrush(Qt::NoBrush);
        Text(band, QStringLiteral("lTxtTitre"), {left + 4, 8, PageWidth - left - 92, 20},
             S("MANDAT DE PAIEMENT N° : "), title);
    }
    title.align = Qt::AlignLeft;
    Text(band, QStringLiteral("lNoMdt"), {PageWidth - 88, 8, 82, 20}, QString(), title);
}

void AddCreditor(rpt::Band& band, const CreditorZone& zone, bool white)
{
    const int valueLeft = zone.left + 92;
    const int valueWidth = zone.width - 96;
    if (white) {
        Text(band, QStringLiteral("lTxtNom"), {zone.left + 4, zone.nomTop + 8, 86, 16}, S(zone.nomCaption), Bold(8));
        Text(band, QStringLiteral("lTxtDomicile"), {zone.left + 4, zone.bnqTop + 6, 86, 16}, S("Domicile"), Bold(8));
        Text(band, QStringLiteral("lTxtCompte"), {zone.left + 4, zone.compteTop, 86, 16}, S("N° Compte"), Bold(8));
    }
    TextStyle nom = Bold(9);
    nom.wrap = true;
    Text(band, QStringLiteral("lNom"), {valueLeft, zone.nomTop, valueWidth, 32}, QString(), nom);
    TextStyle bnq = Plain(8);
    bnq.wrap = true;
    Text(band, QStringLiteral("lBnq"), {valueLeft, zone.bnqTop, valueWidth, 27}, QString(), bnq);
    Text(band, QStringLiteral("lCompte"), {valueLeft, zone.compteTop, valueWidth, 16}, QString(), Plain(9));
}

void AddAccountantPart(rpt::Band& band, const QRect& r, bool white)
{
    if (!white)
        return;
    Box(band, QStringLiteral("shpComptable"), r);
    ShadedCell(band, QStringLiteral("shpTxtComptable"), QStringLiteral("lTxtComptable"),
               {r.left(), r.top(), r.width(), 18}, S("PARTIE RESERVEE AU COMPTABLE"), Bold(8));
    const int half = r.width() / 2;
    VLine(band, QStringLiteral("shpComptableSep"), r.left() + half, r.top() + 18, r.height() - 18);
    const int l = r.left() + 6;
    const int rl = r.left() + half + 6;
    const int w = half - 12;
    const int t = r.top() + 24;
    Text(band, QStringLiteral("lTxtAdmission"), {l, t, w, 15}, S("Admission "), Bold(8));
    Text(band, QStringLiteral("lTxtEnDepense"), {l, t + 14, w, 15}, S("en Dépense"), Bold(8));
    Text(band, QStringLiteral("lTxtLe1"), {l, t + 40, w, 15}, S("Le "), Plain(8));
    Text(band, QStringLiteral("lTxtLeComptable"), {l, r.bottom() - 22, w, 15}, S("Le Comptable"),
         Bold(8, Qt::AlignHCenter));
    TextStyle reject = Bold(7.5);
    reject.wrap = true;
    Text(band, QStringLiteral("lTxtRejet"), {rl, t, w, 30}, S("Rejet Provisoire/Définitif"), reject);
    Text(band, QStringLiteral("lTxtMotif"), {rl, t + 30, w, 15}, S("Motif du rejet"), Plain(8));
    Text(band, QStringLiteral("lTxtLe2"), {rl, r.bottom() - 22, w, 15}, S("Le "), Plain(8));
}

void AddNetToPay(rpt::Band& band, int left, int split, int top, const char* caption, bool white)
{
    if (white) {
        RoundBox(band, QStringLiteral("shpNap1"), {left, top, split - left - 6, 26});
        Text(band, QStringLiteral("lTxtNap"), {left, top + 5, split - left - 6, 16}, S(caption),
             Bold(10, Qt::AlignHCenter));
        RoundBox(band, QStringLiteral("shpNap2"), {split, top, PageWidth - split, 26});
    }
    Text(band, QStringLiteral("lNAP"), {split + 6, top + 5, PageWidth - split - 12, 16}, QString(),
         Bold(10, Qt::AlignRight));
}

void AddWords(rpt::Band& band, int sentenceTop, int wordsTop, bool white)
{
    if (white) {
        TextStyle sentence = Plain(8);
        sentence.family = "Verdana";
        Text(band, QStringLiteral("lTxtArrete"), {0, sentenceTop, PageWidth, 15},
             S("Le présent mandat de paiement est arrêté à la somme de:"), sentence);
    }
    TextStyle words = Bold(9);
    words.family = "Verdana";
    words.italic = true;
    words.wrap = true;
    Text(band, QStringLiteral("lLettre"), {0, wordsTop, PageWidth, 32}, QString(), words);
}

void AddAttachments(rpt::Band& band, int top, int signatureTop, bool white)
{
    if (white) {
        TextStyle heading = Bold(9);
        heading.underline = true;
        Text(band, QStringLiteral("lTxtPJ"), {0, top, 96, 16}, S("Pièces jointes"), heading);
        Text(band, QStringLiteral("lVille"), {420, top, 170, 16}, QString(), Plain(9, Qt::AlignRight));
        Text(band, QStringLiteral("lTxtOrdonnateur"), {470, signatureTop, PageWidth - 470, 16}, S("L'Ordonnateur"),
             Bold(10, Qt::AlignHCenter));
    }
    for (int i = 1; i <= 6; ++i)
        Text(band, QStringLiteral("lPJ%1").arg(i), {100, top + (i - 1) * 16, 316, 16}, QString(), Plain(8));
    Text(band, QStringLiteral("lDate"), {592, top, PageWidth - 592, 16}, QString(), Plain(9));
}

void AddPaymentModes(rpt::Band& band, const PaymentModesZone& zone, bool white)
{
    if (white) {
        ShadedCell(band, QStringLiteral("shpModes"), QStringLiteral("lTxtModes"), {0, zone.barTop, PageWidth, 20},
                   S("M O D E S   D E   P A I E M E N T "), Bold(9));
        const int width = 177;
        const int step = (PageWidth - width) / 3;   // 184: the last box ends at the right edge
        const char* heads[4] = {"COMPTE TRESOR", "COMPTE CHEQUE POSTAL", "C A I S S E ", "LE COMPTABLE"};
        const char* lines[4][3] = {
            {zone.colons ? "Chèque N° :" : "Chèque N° ", "Date : ", "Montant : "},
            {zone.colons ? "Chèque N° :" : "Chèque N° ", "Date : ", "Montant : "},
            {zone.colons ? "Reçu N° :" : "Reçu N° ", "Date : ", "Montant : "},
            {"Vérifié et pris en compte", nullptr, nullptr},
        };
        TextStyle head = Bold(8, Qt::AlignHCenter);
        head.underline = true;
        for (int b = 0; b < 4; ++b) {
            const int left = b * step;
            Box(band, QStringLiteral("qRect%1").arg(b + 1), {left, zone.boxTop, width, zone.boxHeight});
            Text(band, QStringLiteral("lTxtMode%1").arg(b + 1), {left + 2, zone.boxTop + 4, width - 4, 15},
                 S(heads[b]), head);
            for (int l = 0; l < 3 && lines[b][l]; ++l)
                Text(band, QStringLiteral("lTxtMode%1_%2").arg(b + 1).arg(l + 1),
                     {left + 6, zone.boxTop + 4 + (l + 1) * zone.lineGap, width - 12, 15}, S(lines[b][l]),
                     b == 3 ? Plain(8, Qt::AlignHCenter) : Plain(8));
        }
        TextStyle refs = Bold(8);
        refs.underline = true;
        Text(band, QStringLiteral("lRefs"), {0, zone.refsTop, 175, 16}, S("Réfs de comptabilisation :"), refs);
        Text(band, QStringLiteral("lJC"), {185, zone.refsTop, 125, 16}, S("J.C N° : "), Plain(8));
        Text(band, QStringLiteral("lFolio"), {320, zone.refsTop, 125, 16}, S("Folio N° : "), Plain(8));
        Text(band, QStringLiteral("lMois"), {455, zone.refsTop, 125, 16}, S("Mois N° : "), Plain(8));
        Text(band, QStringLiteral("lOrd"), {590, zone.refsTop, PageWidth - 590, 16}, S("N° d'Ordre : "), Plain(8));
    }
    rpt::Label* id = Text(band, QStringLiteral("lIdMdt"), {3, zone.idTop, 60, 11}, QString(), Plain(6));
    id->setFontColor(QColor(0x80, 0x80, 0x80));
}

} // namespace mdt

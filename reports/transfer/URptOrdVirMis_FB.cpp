#include "reports/transfer/URptOrdVirMis_FB.h"

#include "core/GlobalState.h"
#include "reports/orders/OrderDrawing.h"

using namespace mdt;

namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

constexpr double CardHeight = 125.4;
constexpr double CardWidth = 97.9;

} // namespace

TfrmRptOrdVirMis_FB::TfrmRptOrdVirMis_FB()
    : TRptTransferForm(QStringLiteral("RptOrdVirMis_FB"), QStringLiteral("Avis de virements Missions"))
{
    // Margins top 15, bottom 0, left 10, right 10. Letter is 215.9 mm wide: two
    // columns of 97.9 mm in the 195.9 mm between the margins; two cards of
    // 125.4 mm in the 264.4 mm below the top margin.
    rpt::PageSetup page = rpt::PageSetup::Standard(rpt::Paper::Letter, QPageLayout::Portrait, {15, 0, 10, 10});
    page.columns = 2;
    report().setPage(page);
    BuildDesign();
    report().onBeforePrint = [this] { RptBeforePrint(); };
    Detail().onBeforePrint = [this](rpt::Band&, bool&) {
        StartRecord();
        bdDetailBeforePrint();
    };
}

void TfrmRptOrdVirMis_FB::BuildDesign()
{
    rpt::Band& b = *AddDetail(Mm(CardHeight));
    const int w = Mm(CardWidth) - 2;
    const int in = 8;            // the texts' margin inside the frame
    const int tw = w - 2 * in;
    Box(b, QStringLiteral("shpCadre"), {0, 0, w, Mm(CardHeight) - Mm(3)});
    rpt::Image* emblem = b.addImage(QStringLiteral("imgEmblem"), {in, Mm(2), Mm(12), Mm(12)});
    emblem->loadPicture(QStringLiteral(":/images/mandat_emblem.jpg"));

    TextStyle centre = Bold(7, Qt::AlignHCenter);
    centre.wrap = true;
    const int hl = in + Mm(13);
    const int hw = w - hl - in;
    Text(b, QStringLiteral("lTxtRep"), {hl, Mm(2), hw, 24}, QStringLiteral("REPUBLIQUE ALGERIENNE DEMOCRATIQUE ET POPULAIRE"),
         centre);
    HLine(b, QStringLiteral("shpTrait1"), hl, Mm(9), hw);
    TextStyle ministry = Plain(6.5, Qt::AlignHCenter);
    ministry.wrap = true;
    Text(b, QStringLiteral("lTxtMinistere"), {hl, Mm(9.5), hw, 22},
         S("Ministère de l'Enseignement Supérieur et de la Recherche Scientifique"), ministry);
    HLine(b, QStringLiteral("shpTrait2"), hl, Mm(15.5), hw);
    Text(b, QStringLiteral("lUniv"), {in, Mm(17), tw, 16}, QString(), Bold(9, Qt::AlignHCenter));
    Text(b, QStringLiteral("lVille"), {in, Mm(21.5), tw, 16}, QString(), Plain(8, Qt::AlignHCenter));
    Text(b, QStringLiteral("lFac"), {in, Mm(26), tw, 16}, QString(), Bold(8, Qt::AlignHCenter));
    rpt::Shape* bar = b.addShape(QStringLiteral("shpBar"), {in, Mm(32), tw, Mm(1.2)});
    bar->setBrush(Qt::black);

    Text(b, QStringLiteral("lTxtBenef"), {in, Mm(35.5), tw, 16}, QStringLiteral("DESIGNATION DU BENEFICIAIRE"),
         Bold(9, Qt::AlignHCenter));
    TextStyle name = Bold(10, Qt::AlignHCenter);
    name.wrap = true;
    Text(b, QStringLiteral("lNom"), {in, Mm(42), tw, Mm(9)}, QString(), name);
    Text(b, QStringLiteral("lBnq"), {in, Mm(52), tw, 16}, QString(), Plain(9, Qt::AlignHCenter));

    const int half = tw / 2;
    HLine(b, QStringLiteral("shpTrait3"), in, Mm(58), tw);
    Text(b, QStringLiteral("lTxtCpt"), {in, Mm(59.5), half, 16}, S("N° COMPTE VIREMENT"), Bold(8, Qt::AlignHCenter));
    Text(b, QStringLiteral("lTxtNap"), {in + half, Mm(59.5), half, 16}, QStringLiteral("NET A PAYER"),
         Bold(8, Qt::AlignHCenter));
    VLine(b, QStringLiteral("shpSep"), in + half, Mm(58), Mm(16));
    Text(b, QStringLiteral("lCpt"), {in + 2, Mm(66), half - 4, 16}, QString(), Bold(9, Qt::AlignHCenter));
    Text(b, QStringLiteral("lNap1"), {in + half + 2, Mm(66), half - 4, 16}, QString(), Bold(10, Qt::AlignHCenter));
    HLine(b, QStringLiteral("shpTrait4"), in, Mm(74), tw);

    Text(b, QStringLiteral("lTxtComptable"), {in, Mm(78), tw, 16}, QStringLiteral("COMPTABLE ASSIGNATAIRE"),
         Bold(9, Qt::AlignHCenter));
    Text(b, QStringLiteral("lTxtMonsieur"), {in, Mm(85), tw, 16}, S("Monsieur le Comptable de l'Université"),
         Plain(9, Qt::AlignHCenter));
    Text(b, QStringLiteral("lTxtDe"), {in, Mm(91), 40, 16}, QStringLiteral("de : "), Plain(9));
    Text(b, QStringLiteral("lWil"), {in + 40, Mm(91), tw - 40, 16}, QString(), Bold(9));
    Text(b, QStringLiteral("lTxtDebit"), {in, Mm(98), 120, 16}, S("Compte à débiter : "), Plain(9));
    Text(b, QStringLiteral("lRITP"), {in + 120, Mm(98), tw - 120, 16}, QString(), Bold(9));
}

void TfrmRptOrdVirMis_FB::RptBeforePrint()
{
    StartRun();
    WalkRecords(int(m_data.beneficiaries.size()));
}

void TfrmRptOrdVirMis_FB::bdDetailBeforePrint()
{
    const TTransferBeneficiary& ben = m_data.beneficiaries.at(size_t(Record()));
    SetText(QStringLiteral("lUniv"), UniversityName);
    SetText(QStringLiteral("lVille"), City);
    SetText(QStringLiteral("lFac"), FacultyName);
    SetText(QStringLiteral("lWil"), City);
    SetText(QStringLiteral("lRITP"), DebitAccountFor(ben));
    SetText(QStringLiteral("lCpt"), ben.compte);
    SetText(QStringLiteral("lBnq"), ben.BankAndAgency());
    rpt::Label* nom = report().label(QStringLiteral("lNom"));
    nom->setCaption(ben.nom);
    FitCentred(nom, Mm(42), Mm(9));
    for (const char* name : {"lUniv", "lVille", "lFac", "lWil", "lRITP", "lCpt", "lBnq"})
        report().label(QString::fromLatin1(name))->shrinkToFit(rpt::MinFontPoints);
    SetAmount(QStringLiteral("lNap1"), ben.Total());
}

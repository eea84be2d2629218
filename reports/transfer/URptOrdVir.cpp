#include "reports/transfer/URptOrdVir.h"

#include "core/GlobalState.h"
#include "reports/orders/OrderDrawing.h"

using namespace mdt;

namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

// The order and its cutting line (mm).
constexpr double OrderHeight = 133.9;
constexpr double CutHeight = 7.4;
// The left column and the right part.
const int LeftWidth = Mm(57);
const int RightLeft = Mm(64);
// The box the beneficiary's name is centred in (pixels from the band's top).
constexpr int NameBoxTop = 217;
constexpr int NameBoxHeight = 71;

} // namespace

TfrmRptOrdVir::TfrmRptOrdVir() : TRptTransferForm(QStringLiteral("RptOrdVir"), QStringLiteral("Ordres de virements"))
{
    // The order's margins: top 5, bottom 0, left 15, right 10.
    report().setPage(rpt::PageSetup::Standard(rpt::Paper::A4, QPageLayout::Portrait, {5, 0, 15, 10}));
    BuildDesign();
    report().onBeforePrint = [this] { RptOrdVirBeforePrint(); };
    Detail().onBeforePrint = [this](rpt::Band&, bool&) {
        StartRecord();
        bdDetailBeforePrint();
    };
}

QString TfrmRptOrdVir::TooManyInvoicesText(const QString& name)
{
    return name + S(" a plus de 13 factures !\nSeules les 13 premières sont prises en compte.");
}

void TfrmRptOrdVir::BuildDesign()
{
    rpt::Band& b = *AddDetail(Mm(OrderHeight));
    // The right part and the cutting line reach the right margin.
    const int width = Mm(report().page().printableWidth());

    // The ordering service, the paying agent and the treasury account.
    Text(b, QStringLiteral("lTxtOrdonnateur"), {0, Mm(0.8), LeftWidth, 17}, QStringLiteral("SERVICE ORDONNATEUR"),
         Bold(9, Qt::AlignHCenter));
    TextStyle head = Bold(8, Qt::AlignHCenter);
    head.wrap = true;
    Text(b, QStringLiteral("lUniv"), {0, Mm(6.1), LeftWidth, Mm(9.6)}, QString(), head);
    Text(b, QStringLiteral("lFac"), {0, Mm(16.1), LeftWidth, Mm(9.4)}, QString(), head);
    TextStyle agent = Plain(8, Qt::AlignHCenter);
    agent.wrap = true;
    Text(b, QStringLiteral("lAgent"), {0, Mm(25.9), LeftWidth, Mm(8.2)}, PayingAgentTitle, agent);
    HLine(b, QStringLiteral("shpTrait"), LeftWidth / 4, Mm(34.4), LeftWidth / 2);
    Text(b, QStringLiteral("lTresor"), {0, Mm(37.8), LeftWidth, Mm(5.8)}, TreasuryOfficeName, agent);
    Text(b, QStringLiteral("lRIT"), {0, Mm(43.9), LeftWidth, 17}, QString(), Bold(9, Qt::AlignHCenter));

    // The correspondence: the object and the invoices.
    ShadedCell(b, QStringLiteral("shpCorresp"), QStringLiteral("lTxtCorresp"), {0, Mm(50.3), LeftWidth, Mm(5.2)},
               QStringLiteral("CORRESPONDANCE"), Bold(8));
    Text(b, QStringLiteral("lDetail"), {0, Mm(56.4), LeftWidth, 16}, QString(), Bold(8));
    for (int i = 1; i <= InvoiceRows; ++i) {
        const int top = Mm(62.2 + (i - 1) * 4.5);
        Text(b, QStringLiteral("lNo%1").arg(i), {0, top, 24, 15}, S("N° :"), Plain(8));
        Text(b, QStringLiteral("lNoF%1").arg(i), {24, top, 84, 15}, QString(), Plain(8));
        Text(b, QStringLiteral("lDu%1").arg(i), {110, top, 22, 15}, QStringLiteral("du :"), Plain(8));
        Text(b, QStringLiteral("lDate%1").arg(i), {132, top, LeftWidth - 132, 15}, QString(), Plain(8));
    }
    Text(b, QStringLiteral("lTxtMontant1"), {0, Mm(123.3), 58, 16}, QStringLiteral("Montant : "), Bold(8));
    Text(b, QStringLiteral("lMontant1"), {58, Mm(123.3), LeftWidth - 58 - 22, 16}, QString(),
         Bold(8, Qt::AlignRight));
    Text(b, QStringLiteral("lDA1"), {LeftWidth - 20, Mm(123.3), 20, 16}, QStringLiteral("DA"), Bold(8));
    VLine(b, QStringLiteral("shpSep"), LeftWidth + Mm(3), 0, Mm(130));

    // The order: its title in a box with a grey shadow.
    const int titleLeft = RightLeft + Mm(25);
    const int titleWidth = width - titleLeft - Mm(20);
    rpt::Shape* shadow = b.addShape(QStringLiteral("shpOmbre"), {titleLeft + 6, Mm(4.2) + 6, titleWidth, Mm(11)});
    shadow->setBrush(QColor(0x80, 0x80, 0x80));
    shadow->setPen(Qt::NoPen);
    rpt::Shape* title = b.addShape(QStringLiteral("shpTitre"), {titleLeft, Mm(4.2), titleWidth, Mm(11)});
    title->setBrush(Qt::white);
    title->setPenWidth(2);
    Text(b, QStringLiteral("lTitre"), {titleLeft + 4, Mm(4.2) + 10, titleWidth - 8, 24},
         QStringLiteral("ORDRE DE VIREMENT"), Bold(14, Qt::AlignHCenter));

    // The amount in its box.
    Text(b, QStringLiteral("lTxtMontant"), {RightLeft, Mm(33.5), 90, 18}, QStringLiteral("Montant : "), Bold(10));
    Box(b, QStringLiteral("shpMontant"), {RightLeft + 92, Mm(32.0), Mm(60), Mm(7.7)});
    Text(b, QStringLiteral("lMontant"), {RightLeft + 98, Mm(33.5), Mm(60) - 12, 18}, QString(),
         Bold(11, Qt::AlignRight));
    Text(b, QStringLiteral("lDA"), {RightLeft + 98 + Mm(60), Mm(33.5), 30, 18}, QStringLiteral("DA"), Bold(10));

    // The beneficiary: its name centred in the box of four corner marks.
    Text(b, QStringLiteral("lTxtCredit"), {RightLeft, Mm(55.6) + 4, 100, 18}, S("Au crédit de : "), Plain(10));
    const int boxLeft = RightLeft + 104;
    const int boxRight = width - 4;
    const int boxTop = Mm(55.6);
    const int boxBottom = Mm(77.3);
    constexpr int Arm = 14;
    int mark = 0;
    for (const int x : {boxLeft, boxRight}) {
        for (const int y : {boxTop, boxBottom}) {
            const int hx = x == boxLeft ? x : x - Arm;
            const int vy = y == boxTop ? y : y - Arm;
            HLine(b, QStringLiteral("shpCoin%1").arg(++mark), hx, y, Arm);
            VLine(b, QStringLiteral("shpCoin%1").arg(++mark), x, vy, Arm);
        }
    }
    TextStyle name = Bold(11, Qt::AlignHCenter);
    name.wrap = true;
    Text(b, QStringLiteral("lNom"), {boxLeft + 8, NameBoxTop, boxRight - boxLeft - 16, NameBoxHeight}, QString(), name);

    // The bank, the agency, the account.
    struct Row {
        const char* caption;
        const char* captionName;
        const char* value;
        double top;
    };
    const Row rows[] = {{"Organisme Bancaire : ", "lTxtBnq", "lBnq", 82.8},
                        {"Agence : ", "lTxtAgence", "lAgence", 91.0},
                        {"Compte N° : ", "lTxtCompte", "lCompte", 99.5}};
    for (const Row& row : rows) {
        Text(b, QString::fromLatin1(row.captionName), {RightLeft, Mm(row.top), 140, 18}, S(row.caption), Plain(10));
        Text(b, QString::fromLatin1(row.value), {RightLeft + 140, Mm(row.top), width - RightLeft - 140, 18},
             QString(), Bold(10));
    }

    // The cutting line between the two orders of a page.
    rpt::Band* cut = b.addChild(QStringLiteral("bdCut"), Mm(CutHeight));
    HLine(*cut, QStringLiteral("shpCut1"), 0, Mm(CutHeight) / 2 - 2, width);
    HLine(*cut, QStringLiteral("shpCut2"), 0, Mm(CutHeight) / 2 + 2, width);
    cut->onBeforePrint = [this](rpt::Band&, bool& print) {
        // Only between the first and the second order of a page.
        print = Record() % 2 == 0 && Record() + 1 < RecordCount();
    };
}

void TfrmRptOrdVir::RptOrdVirBeforePrint()
{
    StartRun();
    WalkRecords(int(m_data.beneficiaries.size()));
}

void TfrmRptOrdVir::bdDetailBeforePrint()
{
    const TTransferBeneficiary& ben = m_data.beneficiaries.at(size_t(Record()));

    SetText(QStringLiteral("lUniv"), UniversityName.toUpper() + QStringLiteral(", ") + City.toUpper());
    SetText(QStringLiteral("lFac"), FacultyName);
    SetText(QStringLiteral("lAgent"), PayingAgentTitle);
    SetText(QStringLiteral("lTresor"), TreasuryOfficeName);
    SetText(QStringLiteral("lRIT"), TreasuryAccount);
    for (const char* name : {"lUniv", "lFac", "lAgent", "lTresor", "lRIT"})
        report().label(QString::fromLatin1(name))->shrinkToFit(rpt::MinFontPoints);

    rpt::Label* nom = report().label(QStringLiteral("lNom"));
    nom->setCaption(ben.nom);
    FitCentred(nom, NameBoxTop, NameBoxHeight);
    SetText(QStringLiteral("lBnq"), ben.bank);
    SetText(QStringLiteral("lAgence"), ben.agency);
    SetText(QStringLiteral("lCompte"), ben.compte);
    for (const char* name : {"lBnq", "lAgence", "lCompte"})
        report().label(QString::fromLatin1(name))->shrinkToFit(rpt::MinFontPoints);

    // The rows show the first invoices; the amounts are every invoice's, what
    // the order pays the beneficiary.
    if (int(ben.lines.size()) > InvoiceRows)
        report().warn(TooManyInvoicesText(ben.nom));
    ShowInvoiceRows(ben, InvoiceRows);
    const Currency total = ben.Total();
    SetAmount(QStringLiteral("lMontant"), total);
    SetAmount(QStringLiteral("lMontant1"), total);
    SetText(QStringLiteral("lDetail"), ben.lines.size() > 1 ? QStringLiteral("Paiement de Factures")
                                                            : QStringLiteral("Paiement de la Facture"));
}

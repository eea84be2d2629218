#include "reports/transfer/URptOrdVirCCP.h"

#include "core/GlobalState.h"
#include "reports/orders/OrderDrawing.h"
#include "reports/transfer/URptOrdVirCCP_ACTEL.h"

using namespace mdt;

namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

// One form and its cutting line (mm).
constexpr double FormHeight = 129.9;
constexpr double CutHeight = 8.5;
// The forms' margins: top 10, bottom 0, left 10, right 10; the forms fill the
// 190 mm between the left and right margins.
constexpr rpt::Margins PageMargins{10, 0, 10, 10};
const int Width = Mm(210 - PageMargins.left - PageMargins.right);
const int Gap = Mm(6);
const int HalfWidth = (Width - Gap) / 2;

// The cutting line, two rules across the width, in a child band of the form.
rpt::Band* AddCuttingLine(rpt::Band& form)
{
    rpt::Band* cut = form.addChild(QStringLiteral("bdCut"), Mm(CutHeight));
    HLine(*cut, QStringLiteral("shpCut1"), 0, Mm(CutHeight) / 2 - 2, Width);
    HLine(*cut, QStringLiteral("shpCut2"), 0, Mm(CutHeight) / 2 + 2, Width);
    return cut;
}

} // namespace

// --- the two order forms -----------------------------------------------------

TRptPostalOrder::TRptPostalOrder(const QString& reportName)
    : TRptTransferForm(reportName, QStringLiteral("Ordres de virements"))
{
    report().setPage(rpt::PageSetup::Standard(rpt::Paper::A4, QPageLayout::Portrait, PageMargins));
    BuildDesign();
    report().onBeforePrint = [this] { RptBeforePrint(); };
    Detail().onBeforePrint = [this](rpt::Band&, bool&) {
        StartRecord();
        bdDetailBeforePrint();
    };
}

void TRptPostalOrder::BuildDesign()
{
    rpt::Band& b = *AddDetail(Mm(FormHeight));
    BuildHalf(b, 0, false);
    BuildHalf(b, HalfWidth + Gap, true);
    // The perforation between the advice and the order.
    rpt::Shape* perforation = VLine(b, QStringLiteral("imgSep"), HalfWidth + Gap / 2, Mm(1), Mm(FormHeight - 2));
    perforation->setPen(QPen(Qt::black, 1, Qt::DashLine));
    rpt::Band* cut = AddCuttingLine(b);
    cut->onBeforePrint = [this](rpt::Band&, bool& print) {
        // Only between the first and the second form of a page.
        print = Record() % 2 == 0 && Record() + 1 < RecordCount();
    };
}

void TRptPostalOrder::BuildHalf(rpt::Band& b, int left, bool order)
{
    const QString suffix = order ? QStringLiteral("1") : QString();
    const auto n = [&](const char* name) { return QString::fromLatin1(name) + suffix; };
    const int w = HalfWidth;

    // The centre and the form's number.
    rpt::Shape* logo = b.addShape(n("imgCCP"), {left, Mm(2.4), 18, 18}, rpt::Shape::Form::Circle);
    logo->setBrush(QColor(0xD0, 0xD0, 0xD0));
    Text(b, n("lTxtCentre"), {left + 24, Mm(2.4) + 1, w - 24 - 52, 16}, QStringLiteral("CENTRE DE CHEQUE"), Bold(9));
    Box(b, n("shpCH50"), {left + w - 48, Mm(2.4), 48, 18});
    Text(b, n("lTxtCH50"), {left + w - 46, Mm(2.4) + 1, 44, 16}, QStringLiteral("CH50"), Bold(9, Qt::AlignHCenter));
    ShadedCell(b, n("shpTitre"), n("lTitre"), {left, Mm(10.8), w, Mm(7)},
               order ? QStringLiteral("ORDRE DE VIREMENT") : QStringLiteral("AVIS DE VIREMENT"), Bold(11));

    // The account to debit and its holder.
    Text(b, n("lTxtDebit"), {left, Mm(25.4), w, 16}, S("Compte à débiter"), Bold(9));
    Text(b, n("lTxtCC"), {left, Mm(32.3) + 4, 30, 16}, QStringLiteral("C/C"), Plain(9));
    Box(b, n("shpRIP"), {left + 32, Mm(32.3), w - 32 - 92, Mm(7)});
    Text(b, n("lRIP"), {left + 36, Mm(32.3) + 4, w - 32 - 100, 16}, QString(), Bold(10));
    Text(b, n("lTxtCle"), {left + w - 86, Mm(32.3) + 4, 30, 16}, S("Clé"), Plain(9));
    Box(b, n("shpKey"), {left + w - 54, Mm(32.3), 54, Mm(7)});
    Text(b, n("lKey"), {left + w - 50, Mm(32.3) + 4, 46, 16}, QString(), Bold(10, Qt::AlignHCenter));
    TextStyle holder = Plain(8);
    Text(b, n("lTitulaire"), {left, Mm(49.5), w, 16}, QString(), holder);
    Text(b, n("lTresor"), {left, Mm(54.8), w, 16}, QString(), holder);
    Text(b, n("lAdresse"), {left, Mm(60.1), w, 16}, QString(), holder);
    rpt::Shape* bar = b.addShape(n("shpBar"), {left, Mm(69.8), w, Mm(1.5)});
    bar->setBrush(Qt::black);

    // The account to credit, the payee, the amount and the object.
    Text(b, n("lTxtCredit"), {left, Mm(76.2), w, 16}, S("Compte à créditer"), Bold(9));
    Text(b, n("lTxtCC2"), {left, Mm(82.5) + 4, 30, 16}, QStringLiteral("C/C"), Plain(9));
    Box(b, n("shpCpt"), {left + 32, Mm(82.5), w - 32, Mm(7)});
    Text(b, n("lCpt"), {left + 36, Mm(82.5) + 4, w - 40, 16}, QString(), Bold(10));
    // The payee's name wraps over the room down to the amount's box.
    TextStyle payee = Bold(10);
    payee.wrap = true;
    Text(b, n("lFour"), {left, Mm(89.4) + 4, w, Mm(100.5) - Mm(89.4) - 6}, QString(), payee);
    Text(b, n("lTxtMontant"), {left, Mm(100.5) + 4, 70, 16}, QStringLiteral("Montant : "), Plain(9));
    Box(b, n("shpMontant"), {left + 72, Mm(100.5), w - 72 - 30, Mm(7)});
    Text(b, order ? QStringLiteral("lMontant") : QStringLiteral("lMontant1"), {left + 76, Mm(100.5) + 4, w - 72 - 38, 16},
         QString(), Bold(10, Qt::AlignRight));
    Text(b, n("lDA"), {left + w - 26, Mm(100.5) + 4, 26, 16}, QStringLiteral("DA"), Bold(9));
    TextStyle underlined = Plain(9);
    underlined.underline = true;
    Text(b, n("lTxtCorresp"), {left, Mm(109.3), w, 16}, QStringLiteral("Correspondance"), underlined);
    TextStyle object = Bold(9);
    object.italic = true;
    Text(b, n("lObs"), {left, Mm(114.3), w, 16}, QString(), object);
    if (!order)
        Text(b, QStringLiteral("lTxtCle2"), {left, Mm(123.6), w, 15},
             S("Prière indiquer la clé de contrôle du compte à créditer"), Plain(7));
}

void TRptPostalOrder::RptBeforePrint()
{
    StartRun();
    WalkRecords(int(m_data.beneficiaries.size()));
}

void TRptPostalOrder::bdDetailBeforePrint()
{
    const TTransferBeneficiary& ben = m_data.beneficiaries.at(size_t(Record()));
    const Values v = ValuesFor(ben);
    const TAccountAndKey debit = SplitAccountKey(v.debitAccount);
    for (const QString& suffix : {QString(), QStringLiteral("1")}) {
        const auto set = [&](const char* name, const QString& text) {
            rpt::Label* label = report().label(QString::fromLatin1(name) + suffix);
            label->setCaption(text);
            label->shrinkToFit(rpt::MinFontPoints);
        };
        set("lRIP", debit.account);
        set("lKey", debit.key);
        set("lCpt", v.creditAccount);
        set("lFour", v.payee);
        set("lObs", v.object);
        set("lTitulaire", FacultyName);
        set("lTresor", TreasuryOfficeName);
        set("lAdresse", City);
    }
    const Currency total = ben.Total();
    SetAmount(QStringLiteral("lMontant"), total);
    SetAmount(QStringLiteral("lMontant1"), total);
}

TfrmRptOrdVirCCP::TfrmRptOrdVirCCP() : TRptPostalOrder(QStringLiteral("RptOrdVirCCP")) {}

TRptPostalOrder::Values TfrmRptOrdVirCCP::ValuesFor(const TTransferBeneficiary& ben) const
{
    const bool employee = ben.IsEmployee();
    return {employee ? PostalAccount : SupplierPostalAccount, ben.compte, ben.nom,
            employee ? QStringLiteral("Frais de Mission") : QStringLiteral("Paiement de factures")};
}

TfrmRptOrdVirCCP_Actel::TfrmRptOrdVirCCP_Actel() : TRptPostalOrder(QStringLiteral("RptOrdVirCCP_Actel")) {}

TRptPostalOrder::Values TfrmRptOrdVirCCP_Actel::ValuesFor(const TTransferBeneficiary&) const
{
    return {PhonePayeeDebitAccount, PhonePayeeAccount, PhonePayeeName, PhonePayeeObject};
}

// --- the back ----------------------------------------------------------------

TfrmRptOrdVirCCP_Verso::TfrmRptOrdVirCCP_Verso()
    : TRptTransferForm(QStringLiteral("RptOrdVirCCP_Verso"), QStringLiteral("Ordres de virements"))
{
    report().setPage(rpt::PageSetup::Standard(rpt::Paper::A4, QPageLayout::Portrait, PageMargins));
    BuildDesign();
    report().onBeforePrint = [this] { RptBeforePrint(); };
    Detail().onBeforePrint = [this](rpt::Band&, bool&) {
        StartRecord();
        bdDetailBeforePrint();
    };
}

QString TfrmRptOrdVirCCP_Verso::TooManyInvoicesText(const QString& name)
{
    return name + S(" a plus de 25 factures !\nSeules les 25 premières sont imprimées au verso.");
}

void TfrmRptOrdVirCCP_Verso::BuildDesign()
{
    rpt::Band& b = *AddDetail(Mm(FormHeight));
    TextStyle heading = Bold(10);
    heading.underline = true;
    Text(b, QStringLiteral("lTitre"), {0, Mm(2.5), HalfWidth, 18}, QStringLiteral("Paiement de Facture(s)"), heading);
    for (int i = 1; i <= InvoiceRows; ++i) {
        const int top = Mm(10.1 + (i - 1) * 4.5);
        for (rpt::Label* row :
             {Text(b, QStringLiteral("lNo%1").arg(i), {0, top, 26, 15}, S("N° :"), Plain(8)),
              Text(b, QStringLiteral("lNoF%1").arg(i), {26, top, 110, 15}, QString(), Plain(8)),
              Text(b, QStringLiteral("lDu%1").arg(i), {140, top, 24, 15}, QStringLiteral("du :"), Plain(8)),
              Text(b, QStringLiteral("lDate%1").arg(i), {164, top, 90, 15}, QString(), Plain(8))})
            row->setEnabled(false);
    }
    // A total line the back does not print: the fronts carry the amounts.
    Text(b, QStringLiteral("lTxtTotal"), {0, Mm(124), 50, 16}, QStringLiteral("Total : "), Bold(9))->setEnabled(false);
    rpt::Label* total = Text(b, QStringLiteral("lMontant"), {50, Mm(124), 120, 16}, QString(), Bold(9, Qt::AlignRight));
    total->frame().setAll(true);
    total->setEnabled(false);
    AddCuttingLine(b);
}

void TfrmRptOrdVirCCP_Verso::RptBeforePrint()
{
    StartRun();
    WalkRecords(int(m_data.beneficiaries.size()));
}

void TfrmRptOrdVirCCP_Verso::bdDetailBeforePrint()
{
    const TTransferBeneficiary& ben = m_data.beneficiaries.at(size_t(Record()));
    // Every row is cleared for each beneficiary, whatever the settings' line
    // count: a back never shows the previous beneficiary's invoices.
    if (int(ben.lines.size()) > InvoiceRows)
        report().warn(TooManyInvoicesText(ben.nom));
    ShowInvoiceRows(ben, InvoiceRows);
}

#include "reports/mandat/URptMandat_Salaire.h"

#include "core/GlobalState.h"
#include "core/Routines.h"

using namespace mdt;

namespace {

constexpr int MaxRows = 13;
// Below a title that takes more than its row's pitch, before the next row.
constexpr int RowGap = 1;
constexpr int RightPart = 325;   // the imputation and deduction blocks start here (86 mm)

QString S(const char* text) { return QString::fromUtf8(text); }

} // namespace

TfrmRptMandat_Salaire::TfrmRptMandat_Salaire()
    : TRptMandatForm(QStringLiteral("RptMandat_Salaire"), true, {10, 1043, 125, 1016}, {5, 1005, 97, 984})
{
    BuildDesign();
    report().onBeforePrint = [this] { RptMandatBeforePrint(); };
    report().onAfterPrint = [this] { RptMandatAfterPrint(); };
    Detail().onBeforePrint = [this](rpt::Band&, bool&) { bdDetailBeforePrint(); };
}

TfrmRptMandat_Salaire::~TfrmRptMandat_Salaire() = default;

void TfrmRptMandat_Salaire::BuildDesign()
{
    rpt::Band& b = Detail();
    const int leftWidth = RightPart - 7;

    AddHeader(b, {leftWidth, Mm(19.6), Mm(30.7), 0, Mm(46.6), 150, Mm(46.6), leftWidth - 150, Qt::AlignRight},
              true);
    SetText(QStringLiteral("lSection"), QStringLiteral("S/SECTION  1"));
    AddTitle(b, RightPart, true);

    // Imputations: code, title and amount of up to 13 rows, then the gross.
    const int zoneWidth = PageWidth - RightPart;
    const int imputTop = Mm(11.4);
    const int grossTop = Mm(88.1);
    Box(b, QStringLiteral("shpImput"), {RightPart, imputTop, zoneWidth, grossTop + 20 - imputTop});
    ShadedCell(b, QStringLiteral("shpTxtImput"), QStringLiteral("lTxtImput"), {RightPart, imputTop, zoneWidth, 22},
               QStringLiteral("I M P U T A T I O N"), Bold(9));
    VLine(b, QStringLiteral("shpImputSep1"), 390, imputTop + 22, grossTop - 4 - imputTop - 22);
    VLine(b, QStringLiteral("shpImputSep2"), 624, imputTop + 22, grossTop + 20 - imputTop - 22);
    HLine(b, QStringLiteral("shpImputTot"), RightPart, grossTop - 4, zoneWidth);
    // A row is one line high as designed; a longer title takes the lines it needs (StackRows).
    TextStyle title = Plain(8);
    title.wrap = true;
    const int rowHeight = rpt::LineHeight(FontOf(title));
    for (int i = 1; i <= MaxRows; ++i) {
        const int top = 80 + (i - 1) * 19;
        Text(b, QStringLiteral("lImp_%1").arg(i), {328, top, 60, 16}, QString(), Plain(8));
        Text(b, QStringLiteral("lLibImp_%1").arg(i), {394, top, 228, rowHeight}, QString(), title);
        Text(b, QStringLiteral("lMtImp_%1").arg(i), {628, top, 97, 16}, QString(), Plain(8, Qt::AlignRight));
    }
    Text(b, QStringLiteral("lTxtTotBrut"), {394, grossTop, 228, 16}, QStringLiteral("T o t a l   Brut"), Bold(9));
    Text(b, QStringLiteral("lTotBrut"), {628, grossTop, 97, 16}, QString(), Bold(9, Qt::AlignRight));

    // Deductions: title and amount of up to 13 rows, then their total.
    const int retTop = Mm(94.5);
    const int retTotalTop = Mm(164.0);
    Box(b, QStringLiteral("shpRet"), {RightPart, retTop, zoneWidth, retTotalTop + 20 - retTop});
    ShadedCell(b, QStringLiteral("shpTxtRet"), QStringLiteral("lTxtRet"), {RightPart, retTop, zoneWidth, 20},
               QStringLiteral("R E T E N U E S"), Bold(9));
    VLine(b, QStringLiteral("shpRetSep"), 624, retTop + 20, retTotalTop + 20 - retTop - 20);
    HLine(b, QStringLiteral("shpRetTot"), RightPart, retTotalTop - 4, zoneWidth);
    for (int j = 1; j <= MaxRows; ++j) {
        const int top = 390 + (j - 1) * 18;
        Text(b, QStringLiteral("lRet_%1").arg(j), {334, top, 288, rowHeight}, QString(), title);
        Text(b, QStringLiteral("lMtRet_%1").arg(j), {628, top, 97, 16}, QString(), Plain(8, Qt::AlignRight));
    }
    Text(b, QStringLiteral("lTxtTotRet"), {334, retTotalTop, 288, 16}, QStringLiteral("Total des Retenues"), Bold(9));
    Text(b, QStringLiteral("lTotRet"), {628, retTotalTop, 97, 16}, QString(), Bold(9, Qt::AlignRight));

    // The left column: the sentence, the object, the creditor, the accountant's part.
    TextStyle sentence = Plain(8);
    sentence.family = "Verdana";
    sentence.wrap = true;
    Text(b, QStringLiteral("lTxtVertu"), {0, Mm(59.5), leftWidth - 14, 62},
         S("En vertu des crédits ouverts au budget de l’établissement, le comptable est chargé d’exécuter ce "
           "mandat de paiement, conformément aux indications suivantes : "),
         sentence);
    const int objetTop = Mm(79.4);
    Box(b, QStringLiteral("shpObjet"), {0, objetTop, leftWidth, 67});
    ShadedCell(b, QStringLiteral("shpTxtObjet"), QStringLiteral("lTxtObjet"), {0, objetTop, leftWidth, 18},
               QStringLiteral("OBJET DE PAIEMENT"), Bold(9));
    TextStyle object = Plain(9);
    object.wrap = true;
    Text(b, QStringLiteral("lObjet"), {4, Mm(84.9), leftWidth - 8, 44}, QString(), object);
    const int creditorTop = Mm(98.2);
    const int accountantTop = Mm(126.5);
    Box(b, QStringLiteral("shpCreanciers"), {0, creditorTop, leftWidth, accountantTop - 1 - creditorTop});
    ShadedCell(b, QStringLiteral("shpTxtCreanciers"), QStringLiteral("lTxtCreanciers"),
               {0, creditorTop, leftWidth, 18}, QStringLiteral("C R E A N C I E R S"), Bold(9));
    AddCreditor(b, {0, leftWidth, Mm(103.5), Mm(113.0), Mm(121.4), "Nom/R. Sociale"}, true);
    AddAccountantPart(b, {0, accountantTop, leftWidth, retTotalTop + 20 - accountantTop}, true);

    AddNetToPay(b, RightPart, 521, Mm(170.4), "Net à Payer : ", true);
    AddWords(b, Mm(178.6), Mm(183.1), true);
    AddAttachments(b, Mm(192.1), Mm(207.7), true);
    AddPaymentModes(b, {Mm(224.9), Mm(224.9) + 24, 125, 20, true, Mm(224.9) + 5, Mm(268.8)}, true);
}

void TfrmRptMandat_Salaire::RptMandatBeforePrint()
{
    StartRun();
    m_data.Load(IdMdt);
    m_data.LoadSalary(IdMdt);
}

void TfrmRptMandat_Salaire::RptMandatAfterPrint()
{
    EndRun();
}

void TfrmRptMandat_Salaire::bdDetailBeforePrint()
{
    FillHeader(UniversityName + QStringLiteral(", ") + City);
    SetText(QStringLiteral("lObjet"), MdtField(QStringLiteral("NATURE")));

    for (int i = 1; i <= MaxRows; ++i)
        for (const char* prefix : {"lImp_", "lLibImp_", "lMtImp_", "lRet_", "lMtRet_"})
            Row(prefix, i)->setEnabled(false);
    const Currency gross = FillImputations();
    const Currency deductions = FillDeductions();
    SetAmount(QStringLiteral("lTotBrut"), gross);
    SetAmount(QStringLiteral("lTotRet"), deductions);
    FillTotal(gross - deductions, gross);

    FillCreditor(MandatSalaryCreditor(m_data), Mm(103.5), Mm(113.0));
}

Currency TfrmRptMandat_Salaire::FillImputations()
{
    const std::vector<TMandatSalaryRow>& rows = m_data.imputations;
    const int n = int(rows.size());
    RequireRows(n, MaxRows, "imputations");
    const int pitch = n >= 1 && n <= 9 ? 21 : 19;
    const int top = n >= 1 && n <= 12 ? 80 : 75;
    std::vector<rpt::StackRow> stack;
    int next = 1;
    // The chapter heads the rows when they all charge one chapter: the
    // chapters of the salary's own budget lines decide.
    if (n >= 1 && n <= 5 && MandatSalarySingleChapter(m_data)) {
        stack.push_back(ChapterHeading("lLibImp_", "lImp_", rows.front().chap.trimmed()));
        next = 2;
    }
    for (const TMandatSalaryRow& row : rows) {
        rpt::Label* code = Row("lImp_", next);
        rpt::Label* title = Row("lLibImp_", next);
        rpt::Label* amount = Row("lMtImp_", next);
        code->setCaption(MandatSalaryImputationCode(row.chap, row.art, row.par));
        title->setCaption(row.title);
        SetAmount(amount, row.amount);
        for (rpt::Label* label : {code, title, amount})
            label->setEnabled(true);
        stack.push_back({title, {code, amount}, pitch, RowGap});
        ++next;
    }
    // The rows end above the rule of the gross.
    rpt::StackRows(stack, top, Mm(88.1) - 5, rpt::MinFontPoints);
    return m_data.ImputationsTotal();
}

Currency TfrmRptMandat_Salaire::FillDeductions()
{
    const std::vector<TMandatSalaryRow>& rows = m_data.deductions;
    const int m = int(rows.size());
    RequireRows(m, MaxRows, "retenues");
    const int pitch = m >= 1 && m <= 9 ? 20 : 18;
    const int top = m >= 1 && m <= 12 ? 390 : 382;
    std::vector<rpt::StackRow> stack;
    int next = 1;
    for (const TMandatSalaryRow& row : rows) {
        rpt::Label* title = Row("lRet_", next);
        rpt::Label* amount = Row("lMtRet_", next);
        title->setCaption(row.title);
        SetAmount(amount, row.amount);
        for (rpt::Label* label : {title, amount})
            label->setEnabled(true);
        stack.push_back({title, {amount}, pitch, RowGap});
        ++next;
    }
    // The rows end above the rule of their total.
    rpt::StackRows(stack, top, Mm(164.0) - 5, rpt::MinFontPoints);
    return m_data.DeductionsTotal();
}

#include "reports/mandat/MandatForm.h"

#include "core/GlobalState.h"
#include "core/Routines.h"
#include "data/BudgetQueries.h"
#include "data/UDM.h"
#include "reports/ReportLayout.h"
#include "reports/UPaper.h"

#include <algorithm>

using namespace mdt;

namespace {

const QString TooManyImputations4 = QStringLiteral("Nombre maximum d'imputations (4) dépassé !");
// The height the imputation rows have below the first one's top.
constexpr int ImputationRowsHeight = 186;
// Below a budget line's title, before the next row; below a chapter heading.
constexpr int RowGap = 4;
constexpr int HeadingGap = 14;

QString S(const char* text) { return QString::fromUtf8(text); }

} // namespace

// ---------------------------------------------------------------------------

TRptMandatForm::TRptMandatForm(const QString& reportName, bool whitePaper, PaperValues a4, PaperValues letter)
    : TReportForm(reportName, QStringLiteral("Mandat de paiement")), m_white(whitePaper), m_a4(a4), m_letter(letter)
{
    Param(QStringLiteral("IdMdt"), IdMdt);
    report().setPage(rpt::PageSetup::Standard(rpt::Paper::A4, QPageLayout::Portrait, {10, 0, 10, 7}));
    m_detail = report().addBand(rpt::BandKind::Detail, QStringLiteral("bdDetail"), a4.bandHeight);
}

TRptMandatForm::~TRptMandatForm() = default;

void TRptMandatForm::FormCreate()
{
    if (m_white)
        PaperIndex = TfrmPaper::Ask(nullptr);
}

void TRptMandatForm::SetText(const QString& control, const QString& text) const
{
    if (rpt::Label* label = report().label(control))
        label->setCaption(text);
}

void TRptMandatForm::SetAmount(rpt::Label* label, Currency amount)
{
    label->setCaption(amount.formatMoney());
    label->shrinkToFit(rpt::MinFontPoints);
}

void TRptMandatForm::SetAmount(const QString& control, Currency amount) const
{
    if (rpt::Label* label = report().label(control))
        SetAmount(label, amount);
}

QString TRptMandatForm::MdtField(const QString& column) const
{
    return qMdt && !qMdt->isEmpty() ? qMdt->asString(column).trimmed() : QString();
}

rpt::Label* TRptMandatForm::Row(const char* prefix, int number) const
{
    return report().find<rpt::Label>(QString::fromLatin1(prefix) + QString::number(number));
}

rpt::StackRow TRptMandatForm::ChapterHeading(const char* titlePrefix, const char* codePrefix,
                                             const QString& chapter) const
{
    rpt::Label* heading = Row(titlePrefix, 1);
    heading->setCaption(DM->Queries().GetChapterTitle(chapter));
    heading->setBold(true);
    heading->setEnabled(true);
    rpt::Label* code = Row(codePrefix, 1);
    code->setCaption(chapter);
    code->setEnabled(true);
    return {heading, {code}, 0, HeadingGap};
}

void TRptMandatForm::RequireRows(qsizetype rows, int room, const char* what)
{
    report().requireRoom(rows, room,
                         QStringLiteral("Ce mandat porte sur %1 %2 ; le formulaire n'en contient que %3. "
                                        "Répartissez-les sur plusieurs mandats.")
                             .arg(rows)
                             .arg(QLatin1String(what))
                             .arg(room));
}

void TRptMandatForm::StartRun()
{
    // The design is remembered before the first run changes anything.
    if (!m_design.taken())
        m_design.take(report());
    m_design.restore();

    if (!m_white) {
        LoadReportLayout(report());
    } else {
        const bool a4 = PaperIndex == 0;
        const PaperValues& v = a4 ? m_a4 : m_letter;
        report().page().setPaper(a4 ? rpt::Paper::A4 : rpt::Paper::Letter);
        report().page().margins.top = v.topMargin;
        m_detail->setHeight(v.bandHeight);
        for (int i = 1; i <= 4; ++i)
            if (rpt::Control* box = report().findNumbered(QStringLiteral("qRect"), i))
                box->setHeight(v.boxHeight);
        for (const char* name : {"lRefs", "lJC", "lFolio", "lMois", "lOrd"})
            if (rpt::Control* c = report().find(QString::fromLatin1(name)))
                c->setTop(v.refsTop);
    }

    qMdt = std::make_unique<db::Query>(DM->LURDO, QStringLiteral("SELECT * FROM ENT_MDT WHERE ID_MDT=:ID_MDT"));
    qMdt->setParam(QStringLiteral("ID_MDT"), IdMdt);
    qMdt->open();
}

void TRptMandatForm::EndRun()
{
    if (qMdt)
        qMdt->close();
}

void TRptMandatForm::FillHeader(const QString& university)
{
    SetText(QStringLiteral("lUniv"), university);
    rpt::Label* fac = report().label(QStringLiteral("lFac"));
    fac->setCaption(FacultyName);
    fac->setHeight(fac->wrappedTextHeight() + 2);
    if (m_white) {
        // The rule 8 pixels under the faculty's text, the circle on it.
        rpt::Control* rule = report().find(QStringLiteral("shpTrait"));
        rule->setTop(fac->top() + fac->height() + 8);
        report().find(QStringLiteral("shpCircle"))->setTop(rule->top() - 4);
    } else {
        fac->setEnabled(PrintFacultyName);
    }

    SetText(QStringLiteral("lIdMdt"), QString::number(IdMdt));
    SetText(QStringLiteral("lNoMdt"), MdtField(QStringLiteral("NO_MDT")));
    SetText(QStringLiteral("lVille"), City + QStringLiteral(", le "));
    SetText(QStringLiteral("lDate"), MdtField(QStringLiteral("DATE_MDT")));
    SetText(QStringLiteral("lYear"), FiscalYear);
    for (int i = 1; i <= 6; ++i)
        SetText(QStringLiteral("lPJ%1").arg(i), MdtField(QStringLiteral("PJ%1").arg(i)));
}

void TRptMandatForm::FillCreditor(const TMandatCreditor& creditor, int nomTop, int bnqTop)
{
    SetText(QStringLiteral("lNom"), creditor.nom);
    SetText(QStringLiteral("lBnq"), creditor.bnq);
    SetText(QStringLiteral("lCompte"), creditor.compte);
    // A name or a bank longer than its box takes a smaller font, so that it
    // prints whole inside the box rather than over its neighbours.
    auto fit = [this](const char* name, int boxTop, int boxHeight) {
        rpt::Label* label = report().label(QString::fromLatin1(name));
        if (!m_white) {
            label->shrinkToFit(rpt::MinFontPoints);   // stationery keeps the boxes of its layout
            return;
        }
        label->setTop(boxTop);
        label->setHeight(boxHeight);
        label->shrinkToFit(rpt::MinFontPoints);
        const int height = std::min(label->wrappedTextHeight(), boxHeight);
        label->setTop(boxTop + (boxHeight - height) / 2);
        label->setHeight(height + 1);
    };
    fit("lNom", nomTop, 32);
    fit("lBnq", bnqTop, 27);
}

void TRptMandatForm::FillTotal(Currency total, Currency wordsOf)
{
    SetAmount(QStringLiteral("lTot"), total);
    SetAmount(QStringLiteral("lNAP"), total);
    SetText(QStringLiteral("lLettre"), AmountToWords(wordsOf));
}

// ---------------------------------------------------------------------------

TRptMandatStandard::TRptMandatStandard(const QString& reportName, Block block, bool whitePaper)
    : TRptMandatForm(reportName, whitePaper, {10, 1025, 160, 1002}, {5, 1005, 145, 984}), m_block(block)
{
    BuildDesign();
    report().onBeforePrint = [this] { RptMandatBeforePrint(); };
    report().onAfterPrint = [this] { RptMandatAfterPrint(); };
    Detail().onBeforePrint = [this](rpt::Band&, bool&) { bdDetailBeforePrint(); };
}

TRptMandatStandard::~TRptMandatStandard() = default;

void TRptMandatStandard::BuildDesign()
{
    rpt::Band& b = Detail();
    const bool white = WhitePaper();

    AddHeader(b, {370, Mm(21.4), Mm(32.3), 130, Mm(51.6), 90, Mm(60.6), 280, Qt::AlignHCenter}, white);
    AddTitle(b, 392, white);

    // The imputation zone, at the right of the header.
    const int zoneTop = Mm(16.4);
    const int zoneBottom = 280;
    if (white) {
        Box(b, QStringLiteral("shpImput"), {392, zoneTop, PageWidth - 392, zoneBottom - zoneTop});
        ShadedCell(b, QStringLiteral("shpTxtImput"), QStringLiteral("lTxtImput"), {392, zoneTop, PageWidth - 392, 22},
                   QStringLiteral("I M P U T A T I O N"), Bold(9));
        VLine(b, QStringLiteral("shpImputSep1"), 448, zoneTop + 22, zoneBottom - zoneTop - 22);
        VLine(b, QStringLiteral("shpImputSep2"), 628, zoneTop + 22, zoneBottom - zoneTop - 22);
    }
    TextStyle title = Plain(8);
    title.wrap = true;
    if (m_block == Block::Imputations) {
        for (int i = 1; i <= 4; ++i) {
            const int top = 92 + (i - 1) * 38;
            Text(b, QStringLiteral("cArt%1").arg(i), {394, top, 52, 16}, QString(), Plain(9, Qt::AlignHCenter));
            Text(b, QStringLiteral("lArt%1").arg(i), {452, top, 172, 16}, QString(), title);
            Text(b, QStringLiteral("lMt%1").arg(i), {631, top, 94, 16}, QString(), Plain(9, Qt::AlignRight));
        }
    } else {
        TextStyle chapter = Bold(8);
        chapter.wrap = true;
        Text(b, QStringLiteral("cChap"), {394, Mm(26.5), 52, 16}, QString(), Bold(9, Qt::AlignHCenter));
        Text(b, QStringLiteral("lChap"), {452, Mm(26.5), 174, 32}, QString(), chapter);
        Text(b, QStringLiteral("cArt"), {394, Mm(36.0), 52, 16}, QString(), Plain(9, Qt::AlignHCenter));
        Text(b, QStringLiteral("lArt"), {452, Mm(36.0), 174, 60}, QString(), title);
        struct Contribution {
            const char* name;
            const char* rateName;
            const char* caption;
            const char* rate;
            const char* amount;
            double top;
        };
        const Contribution rows[] = {
            {"lTxtRegime", "lTxtTauxRegime", "Régime général", "23.75%", "lRegimeGen", 57.4},
            {"lTxtChomage", "lTxtTauxChomage", "Assurance chômage ", "1.00%", "lAssChomage", 62.4},
            {"lTxtRetraite", "lTxtTauxRetraite", "Retraite anticipée", "0.25%", "lRetraiteAnt", 67.5},
        };
        for (const Contribution& row : rows) {
            Text(b, QString::fromLatin1(row.name), {452, Mm(row.top), 118, 16}, S(row.caption), Plain(8));
            Text(b, QString::fromLatin1(row.rateName), {570, Mm(row.top), 54, 16}, S(row.rate),
                 Plain(8, Qt::AlignRight));
            Text(b, QString::fromLatin1(row.amount), {631, Mm(row.top), 94, 16}, QString(), Plain(9, Qt::AlignRight));
        }
    }

    // The sentence, then the table of creditors, object and amount, whose
    // lower left part is the accountant's.
    const int tableTop = Mm(87.0);
    const int tableBottom = Mm(153.2);
    if (white) {
        TextStyle sentence = Plain(8);
        sentence.family = "Verdana";
        Text(b, QStringLiteral("lTxtVertu1"), {0, Mm(75.7), PageWidth, 15},
             S("En vertu des crédits ouverts au budget de l’établissement le comptable est chargé d’exécuter ce "
               "mandat"),
             sentence);
        Text(b, QStringLiteral("lTxtVertu2"), {0, Mm(75.7) + 15, PageWidth, 15},
             S("de paiement, conformément aux indications suivantes : "), sentence);
        Box(b, QStringLiteral("shpTable"), {0, tableTop, PageWidth, tableBottom - tableTop});
        ShadedCell(b, QStringLiteral("shpTxtCreanciers"), QStringLiteral("lTxtCreanciers"), {0, tableTop, 272, 22},
                   QStringLiteral("C R E A N C I E R S"), Bold(9));
        ShadedCell(b, QStringLiteral("shpTxtObjet"), QStringLiteral("lTxtObjet"), {272, tableTop, 268, 22},
                   QStringLiteral("OBJET DE PAIEMENT"), Bold(9));
        ShadedCell(b, QStringLiteral("shpTxtMontant"), QStringLiteral("lTxtMontant"),
                   {540, tableTop, PageWidth - 540, 22}, QStringLiteral("MONTANT"), Bold(9));
        VLine(b, QStringLiteral("shpTableSep1"), 272, tableTop + 22, tableBottom - tableTop - 22);
        VLine(b, QStringLiteral("shpTableSep2"), 540, tableTop + 22, tableBottom - tableTop - 22);
    }
    AddCreditor(b, {0, 272, 352, 389, 420, "Nom/R. Soc."}, white);
    AddAccountantPart(b, {0, Mm(116.7), 272, tableBottom - Mm(116.7)}, white);
    TextStyle object = Plain(10);
    object.wrap = true;
    Text(b, QStringLiteral("lObjet"), {278, 356, 256, Mm(55)}, QString(), object);
    Text(b, QStringLiteral("lTot"), {546, 360, 177, 18}, QString(), Bold(10, Qt::AlignRight));

    AddNetToPay(b, 380, 546, Mm(154.3), "Net à Payer", white);
    AddWords(b, Mm(162.2), Mm(167.5), white);
    AddAttachments(b, Mm(176.5), Mm(192.6), white);
    AddPaymentModes(b, {Mm(210.3), Mm(210.3) + 24, 160, 30, false, Mm(210.3) + 5, Mm(261.7)}, white);
}

void TRptMandatStandard::RptMandatBeforePrint()
{
    StartRun();
    report().setDataSet(qMdt.get());
    m_data.Load(IdMdt);
}

void TRptMandatStandard::RptMandatAfterPrint()
{
    EndRun();
}

void TRptMandatStandard::bdDetailBeforePrint()
{
    const bool social = m_block == Block::Contributions;
    FillHeader(social ? UniversityName + QStringLiteral(", ") + QLatin1Char('\n') + City
                      : UniversityName + QStringLiteral(", ") + City);
    const Currency total = social ? FillContributions() : FillImputationRows();
    SetText(QStringLiteral("lSection"), social ? QStringLiteral("S/SECTION  I") : MandatSectionText(m_data));
    FillTotal(total, total);
    const TMandatCreditor creditor = MandatCreditor(m_data);
    SetText(QStringLiteral("lObjet"), creditor.objet);
    FillCreditor(creditor, 352, 389);
}

Currency TRptMandatStandard::FillImputationRows()
{
    for (int i = 1; i <= 4; ++i)
        for (const char* prefix : {"cArt", "lArt", "lMt"})
            Row(prefix, i)->setEnabled(false);

    const std::vector<TMandatBudgetLine>& lines = m_data.budgetLines;
    RequireRows(qsizetype(lines.size()), 4, "imputations");
    // A line whose expense is gone charges no budget line: its amount would
    // be in the total and in no row.
    Currency rowsTotal;
    for (const TMandatBudgetLine& line : lines)
        rowsTotal += line.amount;
    if (rowsTotal != m_data.LinesTotal())
        report().refuse(QStringLiteral("Une ligne de ce mandat ne porte plus sur aucune dépense : son montant ne "
                                       "figurerait sur aucune imputation. Corrigez le mandat avant de l'imprimer."));
    // White paper starts at the first row of its design, stationery where its
    // layout put the first row; the rows end where the imputation zone does.
    const int top = WhitePaper() ? 92 : Row("lArt", 1)->top();
    std::vector<rpt::StackRow> rows;
    int next = 1;
    if (!lines.empty() && lines.size() < 4 && DM->Queries().IsSingleChapterOrder(IdMdt)) {
        // One chapter: its title heads the rows.
        rows.push_back(ChapterHeading("lArt", "cArt", lines.front().chap.trimmed()));
        next = 2;
    }
    for (const TMandatBudgetLine& line : lines) {
        rpt::Label* title = Row("lArt", next);
        rpt::Label* code = Row("cArt", next);
        rpt::Label* amount = Row("lMt", next);
        title->setCaption(line.intitule);
        code->setCaption(MandatImputationCode(line.art, line.par));
        SetAmount(amount, line.amount);
        for (rpt::Label* label : {title, code, amount})
            label->setEnabled(true);
        rows.push_back({title, {code, amount}, 0, RowGap});
        ++next;
    }
    rpt::StackRows(rows, top, top + ImputationRowsHeight, rpt::MinFontPoints);
    return m_data.LinesTotal();
}

Currency TRptMandatStandard::FillContributions()
{
    const std::vector<TMandatBudgetLine>& lines = m_data.budgetLines;
    const TMandatBudgetLine* first = lines.empty() ? nullptr : &lines.front();
    const QString chapter = first ? first->chap.trimmed() : QString();
    SetText(QStringLiteral("cChap"), chapter);
    SetText(QStringLiteral("cArt"), first ? first->art.trimmed() : QString());
    SetText(QStringLiteral("lChap"), first ? DM->Queries().GetChapterTitle(chapter) : QString());
    SetText(QStringLiteral("lArt"), first ? first->intitule : QString());
    if (!m_data.ContributionsMakeTotal())
        report().refuse(QStringLiteral("Les lignes de ce mandat ne portent pas de cotisations sociales égales à son "
                                       "montant : il s'imprime sur le formulaire des mandats ordinaires."));
    if (lines.size() > 4)
        report().warn(TooManyImputations4);

    // Every line's contributions, whatever the number of budget lines.
    Currency regime;
    Currency chomage;
    Currency retraite;
    for (const TMandatLine& line : m_data.lines) {
        regime += line.regimeGen;
        chomage += line.assChomage;
        retraite += line.retraiteAnt;
    }
    SetAmount(QStringLiteral("lRegimeGen"), regime);
    SetAmount(QStringLiteral("lAssChomage"), chomage);
    SetAmount(QStringLiteral("lRetraiteAnt"), retraite);
    return regime + chomage + retraite;
}

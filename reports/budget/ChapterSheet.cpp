#include "reports/budget/ChapterSheet.h"

#include "core/GlobalState.h"
#include "core/Routines.h"
#include "data/Codes.h"
#include "data/UDM.h"
#include "reports/budget/BudgetSheet.h"

#include <algorithm>

using sheetdoc::Presentation;

namespace {

// The observation takes the table's first row; the lines start below it.
constexpr int LinesTop = sheetdoc::TableFirstTop + 44;
constexpr int LineHeight = 30;
// One line of text of the stationery's lines (the measure of their room).
constexpr int TextLineHeight = 16;

// The gap between two lines of the stationery by the lines of text they take.
int PrePrintedGap(int textLines)
{
    if (textLines >= 1 && textLines <= 23)
        return 10;
    switch (textLines) {
    case 24: case 25: return 8;
    case 26: return 7;
    case 27: return 6;
    case 28: return 5;
    case 29: case 30: return 4;
    case 31: return 3;
    case 32: case 33: return 2;
    case 34: return 1;
    default: return 0;
    }
}

// The white paper spreads its lines by their number, between 32 and 40 pixels.
int WhitePaperStep(int lines)
{
    const int step = 608 / std::max(lines, 1);
    return lines >= 20 || step > 40 ? 32 : step;
}

} // namespace

namespace chaptersheet {

TChapterSheet Read(const QString& chapter, SheetOrigin origin)
{
    TChapterSheet sheet;
    {
        db::Query q(DM->LURDO, QStringLiteral("SELECT ID_FNM, CHAP, ART, PAR, INTITULE, MT_BP FROM FNM "
                                              "WHERE CHAP=:CHAP ORDER BY CHAP, ART, PAR"));
        q.setParam(QStringLiteral("CHAP"), chapter);
        q.open();
        for (q.first(); !q.eof(); q.next()) {
            TChapterSheetLine line;
            line.art = q.asString(QStringLiteral("ART")).trimmed();
            line.amount = q.asCurrency(QStringLiteral("MT_BP"));
            // Only article lines holding a primitive budget are the sheet's lines.
            if (line.art.isEmpty() || line.amount.isZero())
                continue;
            line.idFnm = q.asInt(QStringLiteral("ID_FNM"));
            line.chap = q.asString(QStringLiteral("CHAP")).trimmed();
            line.par = q.asString(QStringLiteral("PAR")).trimmed();
            line.title = q.asString(QStringLiteral("INTITULE")).trimmed();
            sheet.total += line.amount;
            sheet.lines.append(line);
        }
    }
    if (sheet.lines.isEmpty())
        return sheet;
    db::Query q(DM->LURDO, QStringLiteral("SELECT FIRST 1 NO_ENG, DATE_ENG, MONTANT, OBS FROM ENT_ENG "
                                          "WHERE ORIGINE=:ORIGINE AND ID_ORIGINE=:ID_ORIGINE ORDER BY ID_ENG"));
    q.setParam(QStringLiteral("ORIGINE"), toDbValue(origin));
    q.setParam(QStringLiteral("ID_ORIGINE"), sheet.lines.first().idFnm);
    q.open();
    if (!q.isEmpty()) {
        sheet.hasSheet = true;
        sheet.number = q.asString(QStringLiteral("NO_ENG")).trimmed();
        sheet.date = q.asDate(QStringLiteral("DATE_ENG"));
        sheet.amount = q.asCurrency(QStringLiteral("MONTANT"));
        sheet.obs = q.asString(QStringLiteral("OBS"));
    }
    return sheet;
}

QString LineText(const TChapterSheetLine& line, int number, Presentation presentation)
{
    QString text = line.art + QStringLiteral("-");
    if (!line.par.isEmpty())
        text += line.par + QStringLiteral("- ");
    text += line.title;
    if (presentation == Presentation::PrePrinted)
        return text;
    return QString::number(number) + QStringLiteral(" . ") + line.chap + QStringLiteral(" - ") + text;
}

QString TooManyLinesText(Presentation presentation, int lines)
{
    const bool stationery = presentation == Presentation::PrePrinted;
    return QStringLiteral("Ce chapitre compte %1 lignes dotées ; la fiche%2 n'en contient que %3.\r"
                          "La fiche récapitulative n'est pas imprimée.")
        .arg(lines)
        .arg(stationery ? QStringLiteral(" pré-imprimée") : QString())
        .arg(stationery ? PrePrintedLines : WhitePaperLines);
}

QString NoFundedArticleText(const QString& chapter)
{
    return QStringLiteral("Le chapitre %1 n'a aucun article doté d'un budget primitif !").arg(chapter.trimmed());
}

} // namespace chaptersheet

TChapterSheetForm::TChapterSheetForm(const QString& reportName, Presentation presentation)
    : TReportForm(reportName, QStringLiteral("Fiche d'engagement - Economie")), m_presentation(presentation)
{
    Param(QStringLiteral("Origine"), Origine);
    Param(QStringLiteral("Chap"), Chap);
    Param(QStringLiteral("Intitule"), Intitule);

    const bool white = presentation == Presentation::WhitePaper;
    rpt::Band* band = sheetdoc::BuildSheetPage(report(), presentation);
    sheetdoc::AddRowLabel(band, presentation, QStringLiteral("lObs1"), QRect(8, sheetdoc::TableFirstTop, 546, 40),
                          Qt::AlignLeft, true);
    const int count = white ? chaptersheet::WhitePaperLines : chaptersheet::PrePrintedLines;
    const int designStep = white ? 36 : 20;
    for (int k = 1; k <= count; ++k) {
        const int top = LinesTop + (k - 1) * designStep;
        if (!white)
            sheetdoc::AddRowLabel(band, presentation, QStringLiteral("lNum%1").arg(k), QRect(4, top, 40, LineHeight))
                ->setEnabled(false);
        sheetdoc::AddRowLabel(band, presentation, QStringLiteral("lFact%1").arg(k),
                              white ? QRect(8, top, 546, LineHeight) : QRect(44, top, 510, LineHeight), Qt::AlignLeft,
                              true)
            ->setEnabled(false);
        sheetdoc::AddRowLabel(band, presentation, QStringLiteral("lMt%1").arg(k),
                              QRect(566, top, white ? 158 : 115, LineHeight), Qt::AlignRight)
            ->setEnabled(false);
    }
    m_design.take(report());
    report().onBeforePrint = [this] { RptBeforePrint(); };
    report().band(rpt::BandKind::Detail)->onBeforePrint = [this](rpt::Band&, bool&) { bdDetailBeforePrint(); };
}

TChapterSheetForm::~TChapterSheetForm() = default;

void TChapterSheetForm::RptBeforePrint()
{
    // Every print reads the chapter again: nothing is kept from another one.
    sheetdoc::StartSheetRun(report(), m_design, m_presentation);
    m_sheet = chaptersheet::Read(Chap, SheetOrigin(Origine));
    if (m_sheet.lines.isEmpty())
        report().refuse(chaptersheet::NoFundedArticleText(Chap));
    if (!m_sheet.hasSheet)
        report().refuse(budgetsheet::NoSheetText());
    const int room =
        m_presentation == Presentation::WhitePaper ? chaptersheet::WhitePaperLines : chaptersheet::PrePrintedLines;
    report().requireRoom(m_sheet.lines.size(), room,
                         chaptersheet::TooManyLinesText(m_presentation, int(m_sheet.lines.size())));
}

void TChapterSheetForm::bdDetailBeforePrint()
{
    rpt::Report& r = report();
    const bool white = m_presentation == Presentation::WhitePaper;
    const auto set = [&r](const char* control, const QString& text) {
        sheetdoc::SetText(r, QString::fromLatin1(control), text);
    };
    const QString chapter = m_sheet.lines.first().chap;

    if (white) {
        set("lUniv", UniversityName.toUpper());
        set("lFac", FacultyName);
    }
    set("lExer", FiscalYear);
    set("lNoFe", m_sheet.number);
    set("dbChap", chapter);
    set("dbChap1", chapter);
    set("dblChap", Intitule.trimmed());

    // The sheet's own observation on white paper, else the service's.
    const QString column = budgetsheet::ObservationColumn(SheetOrigin(Origine));
    QString obs = white ? m_sheet.obs.trimmed() : QString();
    if (obs.isEmpty())
        obs = DM->Queries().GetServiceObservation(white ? column : QStringLiteral("OBS_BP"), chapter);
    set("lObs", obs);
    set("lObs1", obs);
    set("lObjet", m_sheet.amount > Currency() ? QStringLiteral("ECONOMIE") : QStringLiteral("DEPENSE"));

    FillLines();

    set("lOldSolde", Currency().formatMoney());
    set("lMontant", m_sheet.total.formatMoney());
    set("lMontant1", m_sheet.total.formatMoney());
    set("lNewSolde", m_sheet.total.formatMoney());
    set("lLettre", AmountToWords(m_sheet.total));
    if (white)
        set("lVille", City + QStringLiteral(", le ") + DateText(m_sheet.date));
    else
        set("lDate", DateText(m_sheet.date));
    set("lSignataire", Signatory);

    // The sheet is the chapter's: no article nor paragraph row; the
    // observation follows the chapter's title.
    for (const char* name : {"dbArt1", "dbPar1", "lCapArt", "dbArt", "lTiretArt", "dblArt", "lPar", "dbPar",
                             "lTiretPar", "dblPar"})
        if (rpt::Control* c = r.find(QString::fromLatin1(name)))
            c->setEnabled(false);
    rpt::Label* dblChap = r.label(QStringLiteral("dblChap"));
    rpt::Label* lObs = r.label(QStringLiteral("lObs"));
    rpt::Control* dblArt = r.find(QStringLiteral("dblArt"));
    if (dblChap && lObs && dblArt) {
        lObs->setTop(dblArt->top());
        if (white) {
            dblChap->setHeight(std::max(dblChap->height(), dblChap->wrappedTextHeight() + 5));
            lObs->setTop(std::max(lObs->top(), dblChap->bottom() + 10));
            lObs->setHeight(lObs->wrappedTextHeight() + 5);
            // Kept above the place and date.
            if (rpt::Control* lVille = r.find(QStringLiteral("lVille")))
                lObs->setHeight(std::max(0, std::min(lObs->height(), lVille->top() - 6 - lObs->top())));
        }
    }
}

void TChapterSheetForm::FillLines()
{
    rpt::Report& r = report();
    const bool white = m_presentation == Presentation::WhitePaper;
    rpt::Control* first = r.find(QStringLiteral("lFact1"));
    const int top = first ? first->top() : LinesTop;
    std::vector<rpt::StackRow> rows;
    std::vector<rpt::Label*> texts;
    for (int i = 1; i <= m_sheet.lines.size(); ++i) {
        const TChapterSheetLine& line = m_sheet.lines[i - 1];
        rpt::Label* fact = r.find<rpt::Label>(QStringLiteral("lFact%1").arg(i));
        rpt::Label* mt = r.find<rpt::Label>(QStringLiteral("lMt%1").arg(i));
        rpt::Label* num = r.find<rpt::Label>(QStringLiteral("lNum%1").arg(i));
        fact->setCaption(chaptersheet::LineText(line, i, m_presentation));
        fact->setEnabled(true);
        mt->setCaption(line.amount.formatMoney());
        mt->setEnabled(true);
        std::vector<rpt::Control*> beside{mt};
        if (num) {
            num->setCaption(QString::number(i) + QStringLiteral(" . "));
            num->setEnabled(true);
            beside.push_back(num);
        }
        rows.push_back({fact, beside, 0, 0});
        texts.push_back(fact);
    }
    if (white) {
        const int step = WhitePaperStep(int(rows.size()));
        for (rpt::StackRow& row : rows)
            row.pitch = step;
    } else {
        // The gap between lines narrows as their texts take more room.
        int textLines = 0;
        for (const rpt::Label* text : texts)
            textLines += std::max(1, text->wrappedTextHeight() / TextLineHeight);
        const int gap = PrePrintedGap(textLines);
        for (rpt::StackRow& row : rows)
            row.gap = gap;
    }
    const int bottom = top + (sheetdoc::TableRowsBottom - LinesTop);
    rpt::StackRows(rows, top, bottom, rpt::MinFontPoints);
}

#pragma once
// The printed commitment sheet ("fiche d'engagement") of one ENT_ENG row, in
// its two presentations: on white A3 paper, where it draws the whole form, and
// on the pre-printed stationery, where it prints the variable fields only, at
// the positions the layout editor stored. TfrmRptFEDep and
// TfrmRptFEDep_PreImp are the two documents; this unit holds what they share:
// the reading of the sheet, the texts of its rows and the filling of the form.
//
// A sheet of SheetObject::Expense is a DEPENSE sheet (it takes credit from its
// budget line), any other an ECONOMIE sheet (it gives credit back). Each line
// prints what it is: an expense line (LineObject::Expense) its expense, a cancellation
// line the sheet it cancels, a budget or transfer line its movement. The
// total, the amount in words and the balances are the sheet's own; a sheet
// with more lines than its form has rows prints nothing and says so, so the
// total always stands under every line.
//
// The same forms print the regularisation sheets (ENT_ENG_REG), whose
// balances run in their own series: a sheet of payment orders lists, for each
// order, its expenses on the sheet's budget line and then the order itself;
// any other regularisation sheet prints its observation as its one entry.

#include "reports/ReportForm.h"
#include "reports/engine/DesignSnapshot.h"

#include "core/Currency.h"
#include "data/Codes.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <vector>

namespace db {
class Query;
}

// One line of a sheet as it prints.
struct TSheetPrintLine {
    int noLine = 0;
    LineObject objet = LineObject::Expense;   // what the line points to
    qint64 idDetail = -1;
    Currency amount;

    // An expense line whose expense exists.
    bool hasExpense = false;
    ExpenseKind typeDepense = ExpenseKind::Invoice;
    QString noDepense;
    QDate dateDepense;
    QDate datedMission;
    QDate datefMission;
    QString objetDepense;      // the expense's OBJET text
    QString expenseChapter;    // chapter of the expense's budget line
    QString beneficiary;
    QString grade;             // the employee's grade label; empty when none applies
    // The first payment order holding the expense.
    QString noMdt;
    QDate dateMdt;

    // A cancellation line: the cancelled sheet.
    QString cancelledNumber;
    QDate cancelledDate;
};

// The header fields a printed sheet uses.
struct TSheetPrintHeader {
    qint64 idEng = -1;
    QString number;
    QDate date;
    qint64 idFnm = -1;
    Currency amount;
    SheetObject objet = SheetObject::Expense;
    QString obs;
    qint64 idOrigine = -1;
};

namespace sheetdoc {

enum class Presentation { WhitePaper, PrePrinted };
// Which series the sheet belongs to; for a regularisation sheet, whether it
// regularises payment orders.
enum class Series { Commitments, RegulOrders, RegulOthers };

// How many rows each form holds.
inline constexpr int WhitePaperRows = 25;
inline constexpr int PrePrintedRows = 20;

// Why a sheet of `lines` lines does not print on a form of fewer rows.
QString TooManyLinesText(Presentation presentation, int lines);

// " - MANDAT No " + number + " DU " + date, or empty when the expense is on no payment order.
QString PaymentOrderSuffix(const TSheetPrintLine& line);
// The text a line prints in its row.
QString LineText(const TSheetPrintLine& line, const TSheetPrintHeader& header, Presentation presentation);
// The lines of a sheet in NOLINE order, with their expense, beneficiary, grade,
// payment order or cancelled sheet: two queries, whatever the number of lines.
QList<TSheetPrintLine> ReadLines(qint64 idEng);

// One printed entry of a regularisation sheet: an expense of an order
// (numbered within the order) or the order's own line (emphasised).
struct TRegulPrintRow {
    QString number;
    QString text;
    Currency amount;
    bool order = false;
};
// The entries of a payment-order regularisation sheet, in line order: for each
// order its expenses charged to `idFnm`, then the order. One query.
QList<TRegulPrintRow> RegulOrderRows(qint64 idEng, qint64 idFnm);
// How many entries a regularisation form prints at most: the form's slots
// and the program's line limit (MaxDocLines, one more on white paper).
int RegulSlotLimit(Presentation presentation);
inline constexpr int RegulWhitePaperSlots = 26;
// Why a regularisation sheet of `rows` entries does not print.
QString RegulTooManyText(Presentation presentation, int rows, int limit);

// Where the rows go: the first row's top, the step between rows, and the font
// size of the row labels (0: as designed).
struct RowPlacement {
    int firstTop = 0;
    int step = 0;
    double fontSize = 0;
};
// `rows` is the number of rows printed; `storedTop` the pre-printed form's top of lFact1.
RowPlacement PlaceRows(Presentation presentation, bool depense, int rows, int storedTop);

// The page the sheets of a budget line share (the commitment sheet, the
// budget and transfer sheets by article, the chapter's recapitulative sheet),
// A3 landscape, in one page-high detail band: on white paper the frames, the
// fixed texts and the value labels; on stationery the value labels only.
// The rows of the left-hand table are each document's own (AddRowLabel).
rpt::Band* BuildSheetPage(rpt::Report& report, Presentation presentation);
// The top of the left-hand table's first row, and where its rows end on
// white paper (above the total's frame).
inline constexpr int TableFirstTop = 120;
inline constexpr int TableRowsBottom = 884;
// A rectangle of the white-paper form, moved to the same place of the
// stationery (whose margins differ).
QRect At(Presentation presentation, const QRect& whitePaper);
// A label of the left-hand table at its white-paper rectangle.
rpt::Label* AddRowLabel(rpt::Band* band, Presentation presentation, const QString& name, const QRect& whitePaper,
                        Qt::Alignment alignment = Qt::AlignLeft, bool wrap = false);
void SetText(rpt::Report& report, const QString& control, const QString& text);
// At the start of a print: the page as designed, then, on the stationery,
// the positions the layout editor stored.
void StartSheetRun(rpt::Report& report, const rpt::DesignSnapshot& design, Presentation presentation);
// The budget-line block: chapter, article and paragraph with their titles;
// without a paragraph its row is hidden and the observation moves up to it.
// Returns the line's chapter (empty when the line is missing).
QString FillBudgetLine(rpt::Report& report, qint64 idFnm);
// White paper: the titles and the observation take the height of their
// wrapped texts, the rows below moving down, all kept above the place and date.
void FitWhitePaperLabels(rpt::Report& report);

} // namespace sheetdoc

// The base of the two commitment-sheet documents.
class TCommitmentSheetForm : public TReportForm {
public:
    ~TCommitmentSheetForm() override;

    int IdEng = -1;   // in: the ENT_ENG.ID_ENG of the sheet (ENT_ENG_REG for a regularisation)
    int IdFnm = -1;   // in, payment-order regularisations: the line whose expenses print (-1: the sheet's)

protected:
    TCommitmentSheetForm(const QString& reportName, sheetdoc::Presentation presentation,
                         sheetdoc::Series series = sheetdoc::Series::Commitments);

private:
    void BuildDesign();

    void RptBeforePrint();
    void RptAfterPrint();
    void bdDetailBeforePrint();

    TSheetPrintHeader ReadHeader() const;
    void FillRows(const TSheetPrintHeader& header);
    void FillRegulRows(const TSheetPrintHeader& header);
    int Slots() const;
    void SetText(const QString& control, const QString& text);

    sheetdoc::Presentation m_presentation;
    sheetdoc::Series m_series;
    std::unique_ptr<db::Query> qEng;
    rpt::DesignSnapshot m_design;
};

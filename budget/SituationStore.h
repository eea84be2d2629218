#pragma once
// The financial situation of the budget lines over a period: for each line its
// initial and revised credits, its commitments and payments of the period, its
// balance and its consumption rate, with one total row per chapter; or, in the
// general recap, one row per budget section. The result lives in the work
// table SIT_FIN, emptied and refilled at every display.
//
// Each measure is read for every line at once (one grouped query per measure)
// and merged in memory by line, so a display costs a handful of queries
// whatever the size of the nomenclature.
//
// The rules, per line, with D and F the start and end of the period:
// - initial credits: the primitive budget when F is on or after its visa date
//   (or, undated, the date of its sheet; with neither, today);
// - revised credits: the initial credits, plus the amending budget under the
//   same rule on its own dates, plus the transfers received less those given,
//   dated up to F (transfers have no lower bound);
// - commitments: the user's own expense sheets dated D to F, restricted to the
//   visaed (visa on or before F) or not visaed ones, and not cancelled on or
//   before F;
// - payments: order lines of orders dated D to F (paid, unpaid or both). A
//   line counts every payment charged to it, whatever its kind and the line's
//   section: the gross salary lines charged to it, each once, whose expense
//   stands on such an order, and the order lines of its invoices, missions and
//   other expenses. The views and the recap differ only by the lines they
//   take. Orders without a date fall outside every period;
// - balance = revised credits - payments; rate = payments / revised credits
//   x 100, cut to two decimals (0 without revised credits).

#include "core/Currency.h"
#include "data/ListingRows.h"
#include "data/SituationRow.h"
#include "db/Database.h"

#include <QDate>
#include <QHash>
#include <QString>

#include <functional>
#include <vector>

// The views of the situation (the index of its view box).
enum TSituationView { svSection1 = 0, svSection2 = 1, svBothSections = 2, svRecap = 3 };
// The commitment filter: every commitment, the visaed ones, those without a visa.
enum TCommitmentFilter { cfAll = 0, cfVisaed = 1, cfNotVisaed = 2 };
// The payment filter: every order, the paid orders (status 0), the others.
enum TPaymentFilter { pfAll = 0, pfPaid = 1, pfUnpaid = 2 };

struct TSituationRequest {
    int view = svSection2;
    int commitments = cfAll;
    int payments = pfAll;
    QDate start;
    QDate end;
    // A budget dated neither by its visa nor by its sheet counts from this day.
    QDate today;
};

// The sums of the line rows (and recap rows) of SIT_FIN, chapter rows left out,
// in the figures of a row.
struct TSituationTotals {
    TSituationRow sums;
    bool empty = true;   // SIT_FIN holds no row at all
};

// The row corrected by hand: its four figures replaced, its balance and rate
// computed again from them.
TSituationRow CorrectedSituationRow(const TSituationRow& row, Currency crAl, Currency crRv, Currency eng, Currency pmt);

// The last day of a quarter (0 to 3) of a year; the general recap runs from
// 1 January to it.
QDate QuarterEnd(int quarter, int year);

class TSituationStore {
public:
    // Told the stage reached (done of total), so a window can show progress.
    using Progress = std::function<void(int done, int total)>;

    explicit TSituationStore(db::Connection& connection);

    // Views 0 to 2: one row per budget line of the view in CHAP, ART, PAR order,
    // the chapter rows holding the sums of their chapter.
    std::vector<TSituationRow> LineRows(const TSituationRequest& request, const Progress& progress = {});
    // The general recap: one row per section, "SECTION 1" then "SECTION 2".
    std::vector<TSituationRow> RecapRows(const TSituationRequest& request, const Progress& progress = {});
    // The number of stages LineRows and RecapRows report.
    static int Stages();

    // Whether payment orders without a date exist (they count in no period).
    bool HasUndatedOrders();

    // Empties SIT_FIN and writes the rows; salary lines without an amount get 0.
    // Runs inside the caller's write operation, which commits.
    void Replace(const std::vector<TSituationRow>& rows);

    // What SIT_FIN holds, in grid order (as typed rows, and as the rows of a
    // grid, every column), and its totals.
    std::vector<TSituationRow> StoredRows();
    TListingRows GridRows();
    TSituationTotals Totals();
    // The titles of the chapter headings, by chapter.
    QHash<QString, QString> ChapterTitles();

    // Writes a row corrected by hand (CorrectedSituationRow) over the stored
    // row `stored`, named by all its key texts: the two recap rows share their
    // ID_FNM and stay apart. The row's chapter row, when it has one, then
    // becomes the sum of the chapter's other rows. Runs inside the caller's
    // write operation; a row another display has removed meanwhile is told
    // (ERowChanged) and nothing is written.
    void CorrectRow(const TSituationRow& stored, const TSituationRow& corrected);

private:
    struct LineFigures;
    std::vector<LineFigures> ComputeLines(const TSituationRequest& request, int section, const Progress& progress);

    db::Connection& m_conn;
};

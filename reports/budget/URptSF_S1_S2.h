#pragma once
// TfrmRptSF_S1_S2: the financial situation as the work table SIT_FIN holds it
// (report RptSF_S1_S2): one line per budget line (or per section in the
// general recap), grouped by chapter with the chapter's total, the carried
// totals at the foot of every page but the last and at the head of the next
// one, and the grand total. A4 landscape, or the wide paper the paper dialog
// offers. Printed from the financial-situation window, which hands the rows:
//     TfrmRptSF_S1_S2 form;
//     form.DateD = start; form.DateF = end; form.Trimestre = -1;
//     form.Rows = StoredSituation;
//     form.Preview(this);
//
// Every figure printed comes from the rows printed: a chapter's total is the
// sum of its lines, the grand total the sum of every line, and the carried
// sums those of the lines printed on the pages before; all of them start
// again at each print.

#include "data/SituationRow.h"
#include "reports/ReportForm.h"
#include "reports/engine/RowSource.h"

#include <QDate>
#include <QHash>
#include <QString>

#include <functional>
#include <vector>

// What the document prints: the situation's rows in grid order, chapter rows
// included, and the titles of the chapter headings, by chapter.
struct TSituationPrintRows {
    std::vector<TSituationRow> rows;
    QHash<QString, QString> chapterTitles;
};

// The five summed columns of a set of situation rows.
struct TSituationSums {
    Currency crAl, crRv, eng, pmt, sld;
    void add(const TSituationRow& row);
    Currency rate() const;
};

class TfrmRptSF_S1_S2 : public TReportForm {
public:
    TfrmRptSF_S1_S2();
    ~TfrmRptSF_S1_S2() override;

    QDate DateD;          // in: first day of the period (date mode)
    QDate DateF;          // in: last day of the period (date mode)
    int Trimestre = -1;   // in: -1 date mode; 0 to 3 the quarter the situation is closed at
    // in: the rows, asked for at every print; without it no line prints.
    std::function<TSituationPrintRows()> Rows;

    // The two-line state heading of the title.
    static QString StateHeading();

protected:
    void FormCreate() override;

private:
    void BuildDesign();
    void RptBeforePrint();
    void TitleBeforePrint();
    void DetailBeforePrint(bool& print);
    void DetailAfterPrint(bool printed);
    void PutSums(const QString& prefix, const TSituationSums& sums, const QString& mask);
    const TSituationRow& Current() const;

    std::vector<TSituationRow> m_rows;
    QHash<QString, QString> m_titles;
    QHash<QString, TSituationSums> m_chapters;   // the printed lines of each chapter
    TSituationSums m_total;                      // every printed line
    TSituationSums m_carried;                    // the lines printed so far
    bool m_summaryPrinted = false;
    rpt::TableRows m_table;
};

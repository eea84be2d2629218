#pragma once
// The recapitulative commitment sheet of a chapter's primitive budget: every
// article line of the chapter that holds a primitive budget, each with its
// amount, their total as the sheet's amount and in words, and the number,
// date and observation of the primitive-budget sheet of the chapter's first
// funded article. TfrmRptFEEco_Chap prints it on white paper (19 lines at
// most), TfrmRptFEEco_Chap_PreImp on the stationery (35 lines at most).
//
// The total is the sum of every funded line: a chapter with more lines than
// its form holds prints nothing and the user is told, and so is a chapter
// without any funded article (it has no sheet to print).

#include "reports/ReportForm.h"
#include "reports/commitments/CommitmentSheet.h"
#include "reports/engine/DesignSnapshot.h"

#include "core/Currency.h"
#include "data/Codes.h"

#include <QDate>
#include <QList>
#include <QString>

// One funded line of a chapter.
struct TChapterSheetLine {
    qint64 idFnm = -1;
    QString chap, art, par, title;
    Currency amount;
};

// What a chapter's recapitulative sheet prints.
struct TChapterSheet {
    QList<TChapterSheetLine> lines;   // article lines with a primitive budget, in nomenclature order
    Currency total;                   // their sum
    // The primitive-budget sheet of the first funded article.
    bool hasSheet = false;
    QString number;
    QDate date;
    Currency amount;
    QString obs;
};

namespace chaptersheet {

inline constexpr int WhitePaperLines = 19;
inline constexpr int PrePrintedLines = 35;

// The chapter's funded article lines and the sheet of the first of them:
// two queries, whatever the size of the chapter.
TChapterSheet Read(const QString& chapter, SheetOrigin origin);
// The text of a line: white paper numbers it and starts with the chapter.
QString LineText(const TChapterSheetLine& line, int number, sheetdoc::Presentation presentation);
QString TooManyLinesText(sheetdoc::Presentation presentation, int lines);
QString NoFundedArticleText(const QString& chapter);

} // namespace chaptersheet

class TChapterSheetForm : public TReportForm {
public:
    ~TChapterSheetForm() override;

    int Origine = 2;    // in: the origin of the sheets (the primitive budget)
    QString Chap;       // in: the chapter ("21-05")
    QString Intitule;   // in: its title, printed as its heading

protected:
    TChapterSheetForm(const QString& reportName, sheetdoc::Presentation presentation);

private:
    void RptBeforePrint();
    void bdDetailBeforePrint();
    void FillLines();

    sheetdoc::Presentation m_presentation;
    rpt::DesignSnapshot m_design;
    TChapterSheet m_sheet;
};

#pragma once
// The payment-order documents ("Mandat de paiement"): one A4 page telling the
// accountant which budget lines to charge, whom to pay, for what, how much in
// figures and in words and which documents are attached. Five forms print it:
//   TfrmRptMandat_FB, TfrmRptMandat_P          invoices, missions and other expenses
//   TfrmRptMandat_2205_FB, TfrmRptMandat_2205_P employer social contributions
//   TfrmRptMandat_Salaire                       salary expenses to pay
// (_FB on white paper, _P on pre-printed stationery). The payment-order window
// chooses one (MandatPrint.h). This file holds what they share.

#include "reports/ReportForm.h"
#include "reports/engine/DesignSnapshot.h"
#include "reports/orders/MandatData.h"
#include "reports/mandat/MandatDesign.h"

#include <memory>

namespace db {
class Query;
}

// The base of the five documents: the parameter IdMdt, the paper question and
// page adaptation of white paper, the stored layout of stationery, the header,
// the creditor block and the design put back before each run.
class TRptMandatForm : public TReportForm {
public:
    ~TRptMandatForm() override;

    int IdMdt = -1;         // in: the order's ID_MDT
    int PaperIndex = 0;     // white paper: the paper dialog's answer (0 A4, any other Letter)

protected:
    // What the page adaptation of white paper sets for one paper.
    struct PaperValues {
        double topMargin;   // mm
        int bandHeight;     // of the detail band
        int boxHeight;      // of the four payment-mode boxes
        int refsTop;        // of the bookkeeping references
    };

    TRptMandatForm(const QString& reportName, bool whitePaper, PaperValues a4, PaperValues letter);

    // White paper asks the paper format, once per form.
    void FormCreate() override;

    bool WhitePaper() const { return m_white; }
    rpt::Band& Detail() const { return *m_detail; }
    void SetText(const QString& control, const QString& text) const;
    // An amount as money, in a smaller font when the design's is too wide for
    // it: a figure is never cut.
    static void SetAmount(rpt::Label* label, Currency amount);
    void SetAmount(const QString& control, Currency amount) const;
    // A column of the order's header, trimmed; empty when there is no such order.
    QString MdtField(const QString& column) const;
    // The control named prefix + number, as a text.
    rpt::Label* Row(const char* prefix, int number) const;
    // The heading row of a block of rows: row 1 bold with the chapter's
    // title, its code beside it, 14 pixels above the next row.
    rpt::StackRow ChapterHeading(const char* titlePrefix, const char* codePrefix, const QString& chapter) const;
    // Refuses the run when the order has more rows of `what` ("imputations",
    // "retenues") than the form's `room`: their amounts would not all print.
    void RequireRows(qsizetype rows, int room, const char* what);

    // Start of every run: the design as built, then the stored layout
    // (stationery) or the page adaptation (white paper); the order's header
    // is read into qMdt.
    void StartRun();
    void EndRun();
    // The header column, the order's number, date, year and attachments;
    // `university` is the institution header of white paper.
    void FillHeader(const QString& university);
    // The creditor texts; on white paper the name and the bank are centred in
    // the boxes whose tops are given (32 and 27 pixels high).
    void FillCreditor(const TMandatCreditor& creditor, int nomTop, int bnqTop);
    // The total in figures and in words.
    void FillTotal(Currency total, Currency wordsOf);

    std::unique_ptr<db::Query> qMdt;
    TMandatData m_data;

private:
    bool m_white;
    PaperValues m_a4;
    PaperValues m_letter;
    rpt::Band* m_detail;
    rpt::DesignSnapshot m_design;
};

// The four documents of invoices, missions and social contributions: the
// detail band prints once for the order's header.
class TRptMandatStandard : public TRptMandatForm {
public:
    ~TRptMandatStandard() override;

protected:
    enum class Block { Imputations, Contributions };
    TRptMandatStandard(const QString& reportName, Block block, bool whitePaper);

private:
    void RptMandatBeforePrint();
    void RptMandatAfterPrint();
    void bdDetailBeforePrint();
    // Up to four rows of budget lines (a chapter heading first when the lines
    // share one chapter), sharing the imputation zone; an order of more
    // budget lines prints nothing and says so. Returns the order's total.
    Currency FillImputationRows();
    // The chapter and article of the first budget line and the three
    // contributions of every line; returns their sum, which is what the
    // order pays: an order whose contributions do not make its amount
    // prints nothing on this form and says so.
    Currency FillContributions();

    void BuildDesign();

    Block m_block;
};

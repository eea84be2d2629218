#pragma once
// TPaymentStatementForm: the base of the four payment statements of an order
// (invoices, missions, study allowances and refunds, registration fees and
// scientific leave). Each lists, for one order, what is paid to whom, in a
// ruled table under the institution's heading and a framed title, and ends
// with the total in figures and in words and the signatures.
//
// A statement gives its columns and, for each run, its title and its rows
// (the values of its columns). The rows are built at the start of every run
// from the order read afresh; the totals are the sums of those very rows, so
// the figures, the words and the rows printed above them always agree, after
// a page break and on a reprint from the preview.
//
// Column rules: in the statements whose rows keep one height, the rules of a
// page's first rows reach down to a fixed depth of rows, each printed row
// shortening them by its height; they never reach below the last row the
// page will hold nor below the statement's last row, so they neither leave
// the page nor cross the total. Statements whose rows grow with their texts
// rule each row to its own height.

#include "reports/ReportForm.h"
#include "reports/etats/PaymentStatementData.h"

#include <vector>

class TPaymentStatementForm : public TReportForm {
public:
    int IdMdt = -1;

    // The totals of the last run: of each amount column, and the one the
    // words say.
    Currency ColumnTotal(const QString& field) const;
    Currency GrandTotal() const { return m_grand; }

protected:
    struct Column {
        const char* field;        // the row's value and the detail control "l" + field
        const char* heading;
        const char* group;        // a heading over consecutive columns; nullptr: none
        int width;                // report pixels
        Qt::Alignment align;
        bool amount;              // money, totalled in the summary
        const char* total;        // the summary's label of its total; nullptr: none
    };
    struct Design {
        QString reportName;
        rpt::PageSetup page;
        bool stateName = false;        // the state's name at the top right
        std::vector<Column> columns;
        int rowHeight = 22;
        int ruleDepth = 0;             // rows the rules reach on a page; 0: rows grow, each ruled alone
        QString aboveTable;            // a caption over the table
        QString totalCaption;          // before the totals
        const char* grandField = "";   // the amount column the words say
        bool visas = false;            // the two visas, else the signatory
    };

    explicit TPaymentStatementForm(const Design& design);

    // The title of the statement of `data`.
    virtual QString Title(const TPaymentStatementData& data) const = 0;
    // The rows, each the values of the columns in their order.
    virtual std::vector<std::vector<db::Value>> Rows(const TPaymentStatementData& data) const = 0;

    const TPaymentStatementData& Data() const { return m_data; }

private:
    // What the cell of `column` prints for `value`.
    QString CellText(size_t column, const db::Value& value) const;
    void StatementBeforePrint();
    void HeaderBeforePrint();
    void DetailBeforePrint(rpt::Band& band);

    Design m_design;
    TPaymentStatementData m_data;
    rpt::TableRows m_rows;
    int m_rowCount = 0;
    std::vector<Currency> m_totals;   // per column (amount columns only)
    Currency m_grand;
    int m_headerHeight = 0;
    int m_rowsOnPage = 0;             // rows printed on the page so far
    int m_rowOnPage = 0;              // the place of the row being printed
    std::vector<rpt::Shape*> m_rules;
    std::vector<rpt::Label*> m_cells;
};

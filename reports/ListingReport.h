#pragma once
// TListingReportForm: the base of the printed listings (expenses, payment
// orders, commitment sheets). A listing window hands over the rows its grid
// shows (UseListing), and the document prints them in that order and under
// that filter. Created without a window (the print tool), the document asks
// the reader the listing's area handed it for the whole listing, narrowed by
// its own parameter.
//
// Also here: the framed grey strip of column headings of the listings and
// their columns of free text.

#include "reports/ReportForm.h"

#include <QRect>
#include <QString>

#include <memory>
#include <vector>

class QueryTableModel;

class TListingReportForm : public TReportForm {
public:
    ~TListingReportForm() override;
    // The rows a listing window shows, as filtered and sorted; the model must
    // outlive the form.
    void UseListing(const QueryTableModel& rows);

protected:
    TListingReportForm(const QString& reportName, const QString& title);
    // Without a listing: fills `rows` with the listing the parameters ask for,
    // through the reader handed to the document (none: no row).
    virtual void ReadOwnRows(QueryTableModel& rows) = 0;
    void FormCreate() override;

    struct Heading {
        const char* name;
        int left;
        int width;
        const char* text;
        Qt::Alignment align;
    };
    // A column of free text (a name, a nature): it wraps within its width
    // and its row grows to the lines it takes, so a long text prints whole;
    // a word wider than the column makes the whole column smaller.
    static rpt::DataText* AddTextColumn(rpt::Band* band, const QString& name, const QRect& rect,
                                        const QString& field);
    // A framed strip of `color` at `strip` in `band`, with the headings in
    // bold on it, 2 pixels below its top.
    static void AddHeadingStrip(rpt::Band* band, const QRect& strip, const QColor& color,
                                const std::vector<Heading>& headings);

private:
    std::unique_ptr<QueryTableModel> m_own;
    bool m_given = false;
};

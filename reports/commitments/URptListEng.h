#pragma once
// TfrmRptListEng ("Listing des Engagements"): the commitment listing as the
// listing window shows it, with the criteria filter, the chapter filter and
// the sort order in force: each sheet's number, date, budget line, old
// balance, amount, new balance and visa, and the total of the amounts
// printed. Without a listing window (the print tool) it prints every sheet,
// or those of the chapter `Chap`, as its reader gives them (the budget
// area's ReadCommitmentListing).

#include "reports/ListingReport.h"

#include <functional>

class TfrmRptListEng : public TListingReportForm {
public:
    TfrmRptListEng();

    QString Chap;   // without a listing window: the chapter printed (empty: all)
    // Without a listing window: fills the rows with the sheets of a chapter
    // (empty: all).
    std::function<void(QueryTableModel& rows, const QString& chap)> ReadListing;

protected:
    void ReadOwnRows(QueryTableModel& rows) override;

private:
    void RptListEngBeforePrint();
};

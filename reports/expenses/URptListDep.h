#pragma once
// TfrmRptListDep ("Listing des Factures"): the expenses a list shows (the
// expense listing, the expense picker), in its order and under its filter:
// number, date, beneficiary, budget line, amount, payment order and
// commitment sheet, with the total of the amounts printed. Without a listing
// window (the print tool) it prints the expenses of the kind `TypeDep`
// (none, or -1 on the print tool's command line: every kind), as its reader
// gives them (the expenditure area's ReadExpenseListing).

#include "data/Codes.h"
#include "reports/ListingReport.h"

#include <functional>
#include <optional>

class TfrmRptListDep : public TListingReportForm {
public:
    TfrmRptListDep();

    std::optional<ExpenseKind> TypeDep;   // without a listing window: the kind printed (none: all)
    // Without a listing window: fills the rows with the expenses of a kind
    // (none: all).
    std::function<void(QueryTableModel& rows, std::optional<ExpenseKind> kind)> ReadListing;

protected:
    void ReadOwnRows(QueryTableModel& rows) override;

private:
    void RptListDepBeforePrint();
};

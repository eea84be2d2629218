#pragma once
// TfrmRptListDep ("Listing des Factures"): the expenses a list shows (the
// expense listing, the expense picker), in its order and under its filter:
// number, date, beneficiary, budget line, amount, payment order and
// commitment sheet, with the total of the amounts printed. Without a listing
// window (the print tool) it prints the expenses of the kind `TypeDep`
// (-1: every kind).

#include "reports/ListingReport.h"

class TfrmRptListDep : public TListingReportForm {
public:
    TfrmRptListDep();

    int TypeDep = -1;   // without a listing window: the kind printed (-1: all)

protected:
    void ReadOwnRows(QueryTableModel& rows) override;

private:
    void RptListDepBeforePrint();
};

#pragma once
// TfrmRptListMdt ("Listing des Mandats"): the payment orders a window lists
// (the payment-order listing, the dispatch slips), in its order and under its
// filter: a row number, each order's number, date, amount and nature, with
// the totals of the amounts printed. Filtered on a salary budget line, the
// caller gives the line's caption (ImputCaption): it heads the listing and
// switches on the column of the line's share of each order and its total.
// Without a listing window (the print tool) it prints every order, or those
// of the budget line `IdFnm`, as its reader gives them (the expenditure
// area's ReadOrderListing). The rows handed over hold ID_MDT, NO_MDT,
// DATE_MDT, MONTANT, NATURE and LIB_MONTANT (TOrderListing's rows).

#include "reports/ListingReport.h"

#include <functional>

class TfrmRptListMdt : public TListingReportForm {
public:
    TfrmRptListMdt();

    QString ImputCaption;   // the salary line the list is filtered on; empty: none
    qint64 IdFnm = -1;      // without a listing window: the budget line printed (-1: all orders)
    // Without a listing window: fills the rows with the orders of a budget
    // line (-1: all) and returns the line's caption when it is a salary line
    // (else empty).
    std::function<QString(QueryTableModel& rows, qint64 idFnm)> ReadListing;

protected:
    void ReadOwnRows(QueryTableModel& rows) override;

private:
    void RptListMdtBeforePrint();
};

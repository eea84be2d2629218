#pragma once
// The rows of the transfer listing: one row per transfer of the year, most
// recent first, with the amount it moves; and the rows of one transfer, its
// giving lines before its receiving ones.

#include "data/Codes.h"
#include "data/ListingRows.h"

#include <memory>

namespace db { class Query; }

class TTransferListing {
public:
    TTransferListing();
    ~TTransferListing();
    TTransferListing(const TTransferListing&) = delete;
    TTransferListing& operator=(const TTransferListing&) = delete;

    // ID_VIR, DATE_VIR and MONTANT, by date, the most recent first. The
    // amount is half the sum of all the transfer's rows: its giving and
    // receiving totals are equal.
    TListingRows ReadTransfers();
    // ID_VIR, NOLINE, SENS, DATE_VIR, ID_FNM, MONTANT, CHAP, ART, PAR and
    // INTITULE of one transfer: the giving rows first, then the receiving
    // ones, each side by chapter, article and paragraph.
    TListingRows ReadRows(qint64 idVir);

    // The transfer of a row of either read; the side of a row of ReadRows.
    static qint64 KeyOf(const QueryRow& row);
    static TransferSide SideOf(const QueryRow& row);

private:
    std::unique_ptr<db::Query> m_transfers, m_rows;
};

#pragma once
// TTransferStore: the SQL of credit transfers. A transfer is the VIREMENT
// rows of one ID_VIR, each a budget line that gives or receives (its
// TransferSide) an amount on the transfer's date; every row is also a movement
// of its line's credit, recorded by a commitment sheet of the transfer origin
// (DEPENSE on a giving line, ECONOMIE on a receiving one) written through the
// sheet store.
//
// Reads run on the program's connection. Save and Delete run statements only,
// inside the caller's write operation, so that a transfer, its rows and its
// sheets are stored, changed or deleted together or not at all.

#include "budget/SheetStore.h"
#include "core/Currency.h"
#include "data/ListingRows.h"

#include <QDate>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace db { class Query; }

// One row of a transfer, as shown in its grids.
struct TTransferRow {
    qint64 idFnm = -1;
    QString chap;
    QString art;
    QString par;
    QString intitule;
    Currency amount;
};

// A transfer: its date, its giving rows then its receiving rows, in grid order.
struct TTransfer {
    qint64 id = -1;             // -1: a new transfer
    QDate date;
    QList<TTransferRow> giving;
    QList<TTransferRow> receiving;
};

// What the credit test of a giving line compares.
struct TTransferCredit {
    Currency available;   // the line's credit at the date, the transfer's own stored rows left out
    Currency mandated;    // paid on the line by orders dated up to the date, and by orders not dated yet
};

class TTransferStore {
public:
    TTransferStore();
    ~TTransferStore();
    TTransferStore(const TTransferStore&) = delete;
    TTransferStore& operator=(const TTransferStore&) = delete;

    // --- reads -------------------------------------------------------------
    // The transfers a window moves through, one row (ID_VIR, DATE_VIR) each in
    // date order, and the key of such a row.
    TListingRows ReadKeys();
    static qint64 KeyOf(const QueryRow& row);
    // The stored transfer (its rows in CHAP, ART, PAR order); nothing when gone.
    std::optional<TTransfer> Read(qint64 idVir);
    // The sheet of a row of a transfer: its line and side.
    std::optional<TSheetKey> RowSheet(qint64 idVir, qint64 idFnm, TransferSide side);
    // Whether the sheet of a row of the transfer is still the last of its line
    // (a row without a sheet counts as last).
    bool RowSheetIsLast(qint64 idVir, qint64 idFnm, TransferSide side);
    // The credit test's figures for a giving line at `date`; the rows stored for
    // transfer `idVir` (-1: none) are left out of the credit, so that a transfer
    // being changed is not counted against itself.
    TTransferCredit Credit(qint64 idVir, qint64 idFnm, const QDate& date);

    // --- writes (inside the caller's write operation) ----------------------
    // Stores the transfer: a new one takes the next key of GEN_VIR; a changed
    // one loses its stored rows and sheets first. Rows are numbered 1..n over
    // the giving rows, then on over the receiving ones; each gets its sheet,
    // numbered after the line's last one ("0001" stays the primitive budget's).
    // Returns the transfer's key.
    qint64 Save(const TTransfer& transfer);
    // The transfer, its rows and their sheets.
    void Delete(qint64 idVir);

private:
    // Deletes the transfer's rows and sheets; the keys its sheets had, in order.
    QList<qint64> DeleteStored(qint64 idVir);

    TSheetStore m_sheets;
    std::unique_ptr<db::Query> m_keys, m_rowSheet, m_ownRows;
};

#include "budget/TransferListing.h"

#include "data/KeptStatement.h"
#include "db/Database.h"

namespace {

TListingRows Fetched(db::Query& q)
{
    q.open();
    TListingRows out;
    out.names = q.columnNames();
    out.rows = q.rows();
    q.close();
    return out;
}

} // namespace

TTransferListing::TTransferListing() = default;
TTransferListing::~TTransferListing() = default;

TListingRows TTransferListing::ReadTransfers()
{
    // Two transfers of one date keep a stable order: the later key first.
    return Fetched(KeptStatement(m_transfers, QStringLiteral("SELECT ID_VIR, DATE_VIR, SUM(MONTANT)/2 AS MONTANT\n"
                                                             "FROM VIREMENT\n"
                                                             "GROUP BY ID_VIR, DATE_VIR\n"
                                                             "ORDER BY DATE_VIR DESCENDING, ID_VIR DESCENDING")));
}

TListingRows TTransferListing::ReadRows(qint64 idVir)
{
    db::Query& q = KeptStatement(m_rows, QStringLiteral("SELECT ID_VIR,   NOLINE, SENS, DATE_VIR, A.ID_FNM,  MONTANT,\n"
                                                        "               CHAP, ART, PAR, INTITULE\n"
                                                        "FROM VIREMENT A LEFT JOIN FNM B\n"
                                                        "ON A.ID_FNM=B.ID_FNM\n"
                                                        "WHERE ID_VIR=:MyIdVir\n"
                                                        "ORDER BY SENS, CHAP, ART, PAR"));
    q.setParam(QStringLiteral("MyIdVir"), idVir);
    return Fetched(q);
}

qint64 TTransferListing::KeyOf(const QueryRow& row)
{
    return row.asInt(QStringLiteral("ID_VIR"));
}

TransferSide TTransferListing::SideOf(const QueryRow& row)
{
    return fromDb<TransferSide>(row.asString(QStringLiteral("SENS")));
}

#include "budget/TransferStore.h"

#include "core/GlobalState.h"
#include "data/ShownRow.h"
#include "data/UDM.h"
#include "db/Database.h"
#include "documents/DocumentLines.h"

namespace {

// A giving row's sheet takes credit away from its line, a receiving row's gives it.
SheetObject SheetObjectOf(TransferSide side)
{
    return side == TransferSide::Giving ? SheetObject::Expense : SheetObject::Economy;
}

} // namespace

TTransferStore::TTransferStore() = default;
TTransferStore::~TTransferStore() = default;

// ---------------------------------------------------------------------------
// Reads

TListingRows TTransferStore::ReadKeys()
{
    return ReadListingRows(KeptStatement(m_keys, QStringLiteral("SELECT ID_VIR, DATE_VIR FROM VIREMENT\n"
                                                                "GROUP BY ID_VIR, DATE_VIR\n"
                                                                "ORDER BY DATE_VIR, ID_VIR")));
}

qint64 TTransferStore::KeyOf(const QueryRow& row)
{
    return row.asInt(QStringLiteral("ID_VIR"));
}

std::optional<TTransfer> TTransferStore::Read(qint64 idVir)
{
    db::Query q(DM->LURDO, QStringLiteral("SELECT ID_VIR,   NOLINE, SENS, DATE_VIR, A.ID_FNM,  MONTANT,\n"
                                          "               CHAP, ART, PAR, INTITULE\n"
                                          "FROM VIREMENT A LEFT JOIN FNM B\n"
                                          "ON A.ID_FNM=B.ID_FNM\n"
                                          "WHERE ID_VIR=:MyIdVir\n"
                                          "ORDER BY CHAP, ART, PAR, NOLINE"));
    q.setParam(QStringLiteral("MyIdVir"), idVir);
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    TTransfer t;
    t.id = idVir;
    t.date = q.asDate(QStringLiteral("DATE_VIR"));
    for (q.first(); !q.eof(); q.next()) {
        TTransferRow row;
        row.idFnm = q.asInt(QStringLiteral("ID_FNM"));
        row.chap = q.asString(QStringLiteral("CHAP"));
        row.art = q.asString(QStringLiteral("ART"));
        row.par = q.asString(QStringLiteral("PAR"));
        row.intitule = q.asString(QStringLiteral("INTITULE"));
        row.amount = q.asCurrency(QStringLiteral("MONTANT"));
        (fromDb<TransferSide>(q.asString(QStringLiteral("SENS"))) == TransferSide::Giving ? t.giving : t.receiving)
            .append(row);
    }
    return t;
}

std::optional<TSheetKey> TTransferStore::RowSheet(qint64 idVir, qint64 idFnm, TransferSide side)
{
    db::Query& q = KeptStatement(m_rowSheet, QStringLiteral("SELECT ID_ENG, NO_ENG FROM ENT_ENG WHERE ORIGINE=:ORIGINE AND "
                                                            "      ID_ORIGINE=:ID_ORIGINE AND       ID_FNM=:ID_FNM AND "
                                                            "OBJET=:OBJET "));
    q.setParam(QStringLiteral("ORIGINE"), toDb(SheetOrigin::Transfer));
    q.setParam(QStringLiteral("ID_ORIGINE"), idVir);
    q.setParam(QStringLiteral("ID_FNM"), idFnm);
    q.setParam(QStringLiteral("OBJET"), toDb(SheetObjectOf(side)));
    q.open();
    std::optional<TSheetKey> key;
    if (!q.isEmpty())
        key = TSheetKey{q.asInt(QStringLiteral("ID_ENG")), q.asString(QStringLiteral("NO_ENG"))};
    q.close();
    return key;
}

bool TTransferStore::RowSheetIsLast(qint64 idVir, qint64 idFnm, TransferSide side)
{
    const std::optional<TSheetKey> sheet = RowSheet(idVir, idFnm, side);
    return !sheet || DM->Queries().IsLastCommitmentNumber(idFnm, sheet->number);
}

TTransferCredit TTransferStore::Credit(qint64 idVir, qint64 idFnm, const QDate& date)
{
    TTransferCredit credit;
    credit.available = DM->Queries().CreditAvailableAt(idFnm, date);
    // A new order has no date until one is typed: its lines are paid on the
    // line all the same.
    credit.mandated = DM->Queries().TotalMandatedAt(0, idFnm, date) + DM->Queries().UndatedMandatedOn(idFnm);
    if (idVir > 0) {
        db::Query& q = KeptStatement(m_ownRows, QStringLiteral("SELECT SENS, SUM(MONTANT) AS MT_VIR FROM VIREMENT "
                                                               "WHERE ID_VIR=:ID_VIR AND ID_FNM=:ID_FNM AND "
                                                               "DATE_VIR<=:DATE_VIR GROUP BY SENS"));
        q.setParam(QStringLiteral("ID_VIR"), idVir);
        q.setParam(QStringLiteral("ID_FNM"), idFnm);
        q.setParam(QStringLiteral("DATE_VIR"), date);
        q.open();
        // What the stored transfer gave is given back, what it received taken away.
        for (q.first(); !q.eof(); q.next()) {
            const Currency amount = q.asCurrency(QStringLiteral("MT_VIR"));
            credit.available +=
                fromDb<TransferSide>(q.asString(QStringLiteral("SENS"))) == TransferSide::Giving ? amount : -amount;
        }
        q.close();
    }
    return credit;
}

// ---------------------------------------------------------------------------
// Writes

QList<qint64> TTransferStore::DeleteStored(qint64 idVir)
{
    // The transfer's sheets are found through their origin (indexed), then
    // deleted with their lines by key: a subquery over every sheet line of
    // the year would read the whole table.
    db::Query sheets(DM->LURDO, QStringLiteral("SELECT ID_ENG FROM ENT_ENG WHERE ORIGINE=:ORIGINE AND "
                                               "      ID_ORIGINE=:ID_ORIGINE ORDER BY ID_ENG"));
    sheets.setParam(QStringLiteral("ORIGINE"), toDb(SheetOrigin::Transfer));
    sheets.setParam(QStringLiteral("ID_ORIGINE"), idVir);
    sheets.open();
    QList<qint64> keys;
    for (sheets.first(); !sheets.eof(); sheets.next()) {
        keys.append(sheets.asInt(QStringLiteral("ID_ENG")));
        m_sheets.DeleteSheet(keys.last());
    }
    db::Query rows(DM->LURDO, QStringLiteral("DELETE FROM VIREMENT WHERE ID_VIR=:ID_VIR"));
    rows.setParam(QStringLiteral("ID_VIR"), idVir);
    // A stored transfer has its rows: none means another user deleted it.
    ExecOnRow(rows);
    return keys;
}

qint64 TTransferStore::Save(const TTransfer& transfer)
{
    qint64 id = transfer.id;
    // A changed transfer is written again whole; its sheets' keys serve its
    // new sheets, so a change draws a key only for a row it adds.
    QList<qint64> freedKeys;
    if (id > 0)
        freedKeys = DeleteStored(id);
    else
        id = DM->NextKey(QStringLiteral("GEN_VIR"));

    const QDate today = QDate::currentDate();
    db::Query row(DM->LURDO, QStringLiteral("INSERT INTO VIREMENT        (ID_VIR, NOLINE, DATE_VIR, SENS, MONTANT,        "
                                            "ID_FNM, ID_USER, DATEC, DATEM ) VALUES(:MyIdVir, :myLine, :MyDateVir, :MySens,"
                                            "        :MyMontant, :ID_FNM, :MyIdUser, :MyDateC, :MyDateM)"));
    int noLine = 0;
    auto writeRows = [&](const QList<TTransferRow>& rows, TransferSide side) {
        for (const TTransferRow& r : rows) {
            row.setParam(QStringLiteral("MyIdVir"), id);
            row.setParam(QStringLiteral("myLine"), ++noLine);
            row.setParam(QStringLiteral("MyDateVir"), transfer.date);
            row.setParam(QStringLiteral("MySens"), toDb(side));
            row.setParam(QStringLiteral("MyMontant"), r.amount);
            row.setParam(QStringLiteral("ID_FNM"), r.idFnm);
            // Transfer rows keep the database user, not the login code.
            row.setParam(QStringLiteral("MyIdUser"), DbUser);
            row.setParam(QStringLiteral("MyDateC"), today);
            row.setParam(QStringLiteral("MyDateM"), today);
            row.exec();
        }
    };
    writeRows(transfer.giving, TransferSide::Giving);
    writeRows(transfer.receiving, TransferSide::Receiving);

    // One sheet per row. A changed transfer lost its sheets above, so every
    // row gets a new one; they having been the last of their lines, the lines
    // kept take their numbers again.
    auto writeSheets = [&](const QList<TTransferRow>& rows, TransferSide side, const QString& observation) {
        for (const TTransferRow& r : rows) {
            TSheet sheet;
            sheet.number = TSheetStore::NextUserNumber(r.idFnm);
            sheet.date = transfer.date;
            sheet.idFnm = r.idFnm;
            sheet.obs = DM->Queries().GetServiceObservation(observation, r.chap);
            sheet.objet = SheetObjectOf(side);
            sheet.amount = r.amount;
            sheet.origin = SheetOrigin::Transfer;
            sheet.idOrigine = id;
            sheet.statut = SheetInForce;
            m_sheets.InsertMovementSheet(sheet, LineObject::Transfer, r.idFnm,
                                         freedKeys.isEmpty() ? -1 : freedKeys.takeFirst());
        }
    };
    writeSheets(transfer.giving, TransferSide::Giving, QStringLiteral("OBS_VIR_D"));
    writeSheets(transfer.receiving, TransferSide::Receiving, QStringLiteral("OBS_VIR_E"));
    return id;
}

void TTransferStore::Delete(qint64 idVir)
{
    DeleteStored(idVir);
}

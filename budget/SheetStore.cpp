#include "budget/SheetStore.h"

#include "core/GlobalState.h"
#include "core/Refusal.h"
#include "core/Routines.h"
#include "data/ShownRow.h"
#include "data/UDM.h"
#include "db/Database.h"
#include "documents/DocumentNumbers.h"

#include <algorithm>
#include <memory>

namespace {

TSheet SheetFromRow(const db::Query& q)
{
    TSheet s;
    ReadSheetHeader(q, s);
    s.objet = fromDb<SheetObject>(q.asInt(QStringLiteral("OBJET")));
    s.origin = fromDb<SheetOrigin>(q.asString(QStringLiteral("ORIGINE")));
    return s;
}

// The values of a new ENT_ENG header under the key `id`, written today by the user.
void BindNewHeader(db::Query& q, qint64 id, const TSheet& h)
{
    BindNewSheetHeader(q, id, h, toDb(h.objet), toDb(h.origin));
}

} // namespace

// The numbers of the sheets of one budget line: "0001" is the line's
// primitive-budget sheet, so the series gives numbers from 2 on.
class TSheetStore::LineNumbers final : public TDrawnNumberSeries {
public:
    LineNumbers(TSheetStore& store, qint64 idFnm) : m_store(store), m_idFnm(idFnm) {}

    bool Taken(const QString& number, qint64 exceptId) override
    {
        return m_store.NumberTaken(m_idFnm, number, exceptId);
    }
    QString Next() override
    {
        return PadNumber(QString::number(std::max(2, DM->Queries().NextCommitmentNumber(m_idFnm))));
    }

protected:
    void LockSeries() override { LockBudgetLine(m_idFnm); }

private:
    TSheetStore& m_store;
    qint64 m_idFnm;
};

TSheetStore::TSheetStore() = default;
TSheetStore::~TSheetStore() = default;

QString TSheetStore::PadNumber(const QString& number)
{
    return PadLeft(number.trimmed(), QStringLiteral("0"), 4);
}

void TSheetStore::LockBudgetLine(qint64 idFnm)
{
    if (idFnm > 0)
        LockRow(QStringLiteral("FNM"), QStringLiteral("ID_FNM"), idFnm);
}

QString TSheetStore::NextUserNumber(qint64 idFnm)
{
    // The line's numbers are read once it is locked: another operation
    // numbering a sheet of the line at the same time is refused until this
    // one ends, and then reads this one's number.
    TSheetStore store;
    LineNumbers numbers(store, idFnm);
    return DrawNumber(numbers);
}

// ---------------------------------------------------------------------------
// Reads

QList<TDocumentKey> TSheetStore::UserSheetKeys(SheetObject objet)
{
    // Only the user's own commitments: transfer, budget and cancellation
    // sheets have an origin and are kept by their own windows.
    db::Query q(DM->LURDO, QStringLiteral("SELECT ID_ENG, NO_ENG FROM ENT_ENG WHERE OBJET=:OBJET AND "
                                          "COALESCE(ORIGINE, :ORIGINE)=:ORIGINE ORDER BY NO_ENG, ID_ENG"));
    q.setParam(QStringLiteral("OBJET"), toDb(objet));
    q.setParam(QStringLiteral("ORIGINE"), toDb(SheetOrigin::User));
    q.open();
    return ReadDocumentKeys(q);
}

std::optional<TSheet> TSheetStore::Read(qint64 idEng)
{
    db::Query& q = KeptStatement(m_read, QStringLiteral("SELECT * FROM ENT_ENG WHERE ID_ENG=:ID_ENG"));
    q.setParam(QStringLiteral("ID_ENG"), idEng);
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    return SheetFromRow(q);
}

std::optional<TSheet> TSheetStore::LockSheet(qint64 idEng)
{
    if (!LockRow(QStringLiteral("ENT_ENG"), QStringLiteral("ID_ENG"), idEng))
        return std::nullopt;
    return Read(idEng);
}

TDocumentLines TSheetStore::Lines(qint64 idEng)
{
    return m_lines.Lines(idEng);
}

Currency TSheetStore::LinesTotal(qint64 idEng)
{
    return m_lines.Total(idEng);
}

QString TSheetStore::CancelledBy(qint64 idEng)
{
    db::Query& q = KeptStatement(m_cancelled, QStringLiteral("SELECT FIRST 1 NO_ENG FROM ENT_ENG WHERE ID_ORIGINE=:ID_ENG "
                                                             "AND OBJET=:OBJET AND ORIGINE=:ORIGINE ORDER BY ID_ENG"));
    q.setParam(QStringLiteral("ID_ENG"), idEng);
    q.setParam(QStringLiteral("OBJET"), toDb(SheetObject::Economy));
    q.setParam(QStringLiteral("ORIGINE"), toDb(SheetOrigin::Cancellation));
    q.open();
    return q.isEmpty() ? QString() : q.asString(QStringLiteral("NO_ENG")).trimmed();
}

bool TSheetStore::NumberTaken(qint64 idFnm, const QString& number, qint64 exceptId)
{
    db::Query& q = KeptStatement(m_taken, QStringLiteral("SELECT FIRST 1 ID_ENG FROM ENT_ENG WHERE ID_FNM=:ID_FNM AND "
                                                         "NO_ENG=:NO_ENG AND ID_ENG<>:ID_ENG"));
    q.setParam(QStringLiteral("ID_FNM"), idFnm);
    q.setParam(QStringLiteral("NO_ENG"), number);
    q.setParam(QStringLiteral("ID_ENG"), exceptId);
    q.open();
    return !q.isEmpty();
}

bool TSheetStore::NumberFree(qint64 idFnm, const QString& number, qint64 exceptId)
{
    LineNumbers numbers(*this, idFnm);
    return ::NumberFree(numbers, number, exceptId);
}

qint64 TSheetStore::FindUserSheet(const QString& chap, const QString& art, const QString& par, const QString& number)
{
    return FindSheet(chap, art, par, number, SheetObject::Expense, SheetOrigin::User);
}

qint64 TSheetStore::FindSheet(const QString& chap, const QString& art, const QString& par, const QString& number,
                              SheetObject objet, SheetOrigin origin)
{
    db::Query q(DM->LURDO, QStringLiteral("SELECT FIRST 1 E.ID_ENG FROM FNM F JOIN ENT_ENG E ON E.ID_FNM=F.ID_FNM "
                                          "WHERE F.CHAP=:CHAP AND COALESCE(F.ART, '')=:ART AND "
                                          "COALESCE(F.PAR, '')=:PAR AND E.NO_ENG=:NO_ENG AND E.OBJET=:OBJET AND "
                                          "COALESCE(E.ORIGINE, :USER_ORIGIN)=:ORIGINE ORDER BY E.ID_ENG"));
    q.setParam(QStringLiteral("OBJET"), toDb(objet));
    q.setParam(QStringLiteral("ORIGINE"), toDb(origin));
    q.setParam(QStringLiteral("USER_ORIGIN"), toDb(SheetOrigin::User));
    q.setParam(QStringLiteral("CHAP"), chap);
    q.setParam(QStringLiteral("ART"), art);
    q.setParam(QStringLiteral("PAR"), par);
    q.setParam(QStringLiteral("NO_ENG"), number);
    q.open();
    return q.isEmpty() ? -1 : q.asInt(QStringLiteral("ID_ENG"));
}

QSet<qint64> TSheetStore::CommittedExpenseIds()
{
    // A cancellation frees the expenses of the sheet it cancels.
    db::Query q(DM->LURDO, QStringLiteral("SELECT D.ID_DETAIL FROM DET_ENG D JOIN ENT_ENG E ON E.ID_ENG=D.ID_ENG "
                                          "WHERE D.OBJET=:OBJET AND COALESCE(E.STATUT, :IN_FORCE)=:IN_FORCE"));
    q.setParam(QStringLiteral("OBJET"), toDb(LineObject::Expense));
    q.setParam(QStringLiteral("IN_FORCE"), SheetInForce);
    q.open();
    return ReadKeySet(q);
}

std::optional<TSheet> TSheetStore::SheetOfOrigin(SheetOrigin origin, qint64 idOrigine)
{
    db::Query q(DM->LURDO, QStringLiteral("SELECT * FROM ENT_ENG WHERE ORIGINE=:ORIGINE AND "
                                          "      ID_ORIGINE=:ID_ORIGINE"));
    q.setParam(QStringLiteral("ORIGINE"), toDb(origin));
    q.setParam(QStringLiteral("ID_ORIGINE"), idOrigine);
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    return SheetFromRow(q);
}

// ---------------------------------------------------------------------------
// User commitment sheets

qint64 TSheetStore::InsertUserSheet(const TSheet& entry)
{
    const qint64 id = DM->NextKey(QStringLiteral("GEN_ENGAGEMENT_ID"));
    db::Query q(DM->LURDO, QStringLiteral("INSERT INTO ENT_ENG  (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, OBS,  NO_VISA, "
                                          "DATE_VISA, OBJET, MONTANT,  ORIGINE, ID_ORIGINE, STATUT, ID_USER, DATEC, "
                                          "DATEM ) VALUES(:ID_ENG, :NO_ENG, :DATE_ENG, :ID_FNM, :OBS,       :NO_VISA, "
                                          ":DATE_VISA, :OBJET, :MONTANT,        :ORIGINE, :ID_ORIGINE, :STATUT, "
                                          ":ID_USER, :DATEC, :DATEM)"));
    // No number, budget line or amount until the sheet has lines.
    TSheet header = entry;
    header.number = QString();
    header.idFnm = -1;
    header.amount = Currency();
    header.origin = SheetOrigin::User;
    header.idOrigine = NoOriginRecord;
    header.statut = SheetInForce;
    BindNewHeader(q, id, header);
    q.exec();
    return id;
}

void TSheetStore::UpdateUserSheet(const TSheet& entry)
{
    db::Query q(DM->LURDO, QStringLiteral("UPDATE ENT_ENG SET        NO_ENG=:NO_ENG,        OBS=:OBS,         "
                                          "DATE_ENG=:DATE_ENG,         NO_VISA=:NO_VISA,        DATE_VISA=:DATE_VISA,"
                                          "        ID_USER=:ID_USER,        DATEM=:DATEM WHERE ID_ENG=:ID_ENG "));
    q.setParam(QStringLiteral("NO_ENG"), entry.number);
    q.setParam(QStringLiteral("OBS"), entry.obs);
    q.setParam(QStringLiteral("DATE_ENG"), entry.date);
    q.setParam(QStringLiteral("NO_VISA"), entry.visaNumber);
    q.setParam(QStringLiteral("DATE_VISA"), entry.visaDate);
    q.setParam(QStringLiteral("ID_USER"), CurrentUserCode);
    q.setParam(QStringLiteral("DATEM"), QDate::currentDate());
    q.setParam(QStringLiteral("ID_ENG"), entry.id);
    ExecOnRow(q);
}

void TSheetStore::SetObservation(qint64 idEng, const QString& obs)
{
    db::Query q(DM->LURDO, QStringLiteral("UPDATE ENT_ENG SET OBS=:OBS WHERE ID_ENG=:ID_ENG"));
    q.setParam(QStringLiteral("OBS"), obs);
    q.setParam(QStringLiteral("ID_ENG"), idEng);
    ExecOnRow(q);
}

namespace {

// A sheet with a visa or a cancellation keeps its lines; a sheet another
// user deleted takes none.
void RequireOpenSheet(const std::optional<TSheet>& sheet)
{
    if (!sheet)
        throw TRefusalError(QStringLiteral("Cette fiche n'existe plus !"));
    if (sheet->Cancelled())
        throw TRefusalError(QStringLiteral("Fiche annulée, modification impossible !"));
    if (!sheet->visaNumber.trimmed().isEmpty())
        throw TRefusalError(QStringLiteral("Fiche visée, modification impossible !"));
}

} // namespace

TSheetSync TSheetStore::AddExpenseLine(qint64 idEng, qint64 idDepense, Currency amount)
{
    RequireOpenSheet(LockSheet(idEng));
    m_lines.Insert(idEng, idDepense, amount);
    return SyncHeader(idEng);
}

TSheetSync TSheetStore::RemoveExpenseLine(qint64 idEng, qint64 idDepense)
{
    RequireOpenSheet(LockSheet(idEng));
    m_lines.RemoveExpense(idEng, idDepense);
    return SyncHeader(idEng);
}

TSheetSync TSheetStore::RemoveLineAt(qint64 idEng, int noLine)
{
    RequireOpenSheet(LockSheet(idEng));
    m_lines.RemoveAt(idEng, noLine);
    return SyncHeader(idEng);
}

void TSheetStore::RenumberLines(qint64 idEng, const QList<qint64>& expenseIds)
{
    m_lines.RenumberAs(idEng, expenseIds);
}

void TSheetStore::RenumberLinesByName(qint64 idEng)
{
    m_lines.RenumberByName(idEng);
}

TSheetSync TSheetStore::SyncHeader(qint64 idEng)
{
    db::Query& l = KeptStatement(m_syncLines, QStringLiteral("SELECT A.MONTANT, B.ID_FNM FROM DET_ENG A "
                                                             "LEFT JOIN DEPENSE B ON B.ID_DEPENSE=A.ID_DETAIL "
                                                             "WHERE A.ID_ENG=:ID_ENG AND A.OBJET=:OBJET "
                                                             "ORDER BY A.NOLINE"));
    l.setParam(QStringLiteral("ID_ENG"), idEng);
    l.setParam(QStringLiteral("OBJET"), toDb(LineObject::Expense));
    l.open();
    TSheetSync sync;
    for (int r = 0; r < l.rowCount(); ++r)
        sync.amount += db::toCurrency(l.at(r, 0));
    if (!l.isEmpty() && !db::isNull(l.at(0, 1)))
        sync.idFnm = db::toInt(l.at(0, 1));
    const bool hasLines = !l.isEmpty();
    l.close();

    const std::optional<TSheet> head = Read(idEng);
    sync.number = head ? head->number : QString();
    // A number is given to the line (drawn, or kept by a sheet that moves to
    // the line) only once the line is locked, so that two sheets of one line
    // never take the same number; a sheet staying on its line keeps its own.
    if (hasLines && sync.idFnm > 0) {
        LineNumbers numbers(*this, sync.idFnm);
        static_cast<TDocumentNumbering&>(sync) =
            TakeNumber(numbers, sync.number, idEng, head && head->idFnm != sync.idFnm);
    }

    db::Query& u = KeptStatement(m_sync, QStringLiteral("UPDATE ENT_ENG SET        NO_ENG=:NO_ENG,        MONTANT=:MONTANT,"
                                                        "        ID_FNM=:ID_FNM WHERE ID_ENG=:ID_ENG"));
    u.setParam(QStringLiteral("NO_ENG"), sync.number);
    u.setParam(QStringLiteral("MONTANT"), sync.amount);
    u.setParam(QStringLiteral("ID_FNM"), sync.idFnm);
    u.setParam(QStringLiteral("ID_ENG"), idEng);
    ExecOnRow(u);
    return sync;
}

void TSheetStore::DeleteSheet(qint64 idEng)
{
    m_lines.DeleteDocument(idEng);
}

// ---------------------------------------------------------------------------
// Sheets of the movements of a line's credit

qint64 TSheetStore::InsertMovementSheet(const TSheet& header, LineObject lineObjet, qint64 lineDetail, qint64 key)
{
    const qint64 id = key > 0 ? key : DM->NextKey(QStringLiteral("GEN_ENGAGEMENT_ID"));
    db::Query head(DM->LURDO, QStringLiteral("INSERT INTO ENT_ENG        (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, OBS,        "
                                             "NO_VISA, DATE_VISA, OBJET, MONTANT,        ORIGINE, ID_ORIGINE, STATUT, "
                                             "ID_USER, DATEC, DATEM ) VALUES(:ID_ENG, :NO_ENG, :DATE_ENG, :ID_FNM, :OBS,  "
                                             "     :NO_VISA, :DATE_VISA, :OBJET, :MONTANT,        :ORIGINE, :ID_ORIGINE, "
                                             ":STATUT, :ID_USER, :DATEC, :DATEM)"));
    BindNewHeader(head, id, header);
    head.exec();

    db::Query line(DM->LURDO, QStringLiteral("INSERT INTO DET_ENG       (ID_ENG, NOLINE, OBJET, ID_DETAIL, MONTANT) "
                                             "VALUES(:ID_ENG, :NOLINE, :OBJET, :ID_DETAIL, :MONTANT) "));
    line.setParam(QStringLiteral("ID_ENG"), id);
    line.setParam(QStringLiteral("NOLINE"), 1);
    line.setParam(QStringLiteral("OBJET"), toDb(lineObjet));
    line.setParam(QStringLiteral("ID_DETAIL"), lineDetail);
    line.setParam(QStringLiteral("MONTANT"), header.amount);
    line.exec();
    return id;
}

void TSheetStore::UpdateMovementSheet(const TSheet& header, bool withObjet)
{
    const QString sql = withObjet
        ? QStringLiteral("UPDATE ENT_ENG SET        MONTANT=:MONTANT,        OBJET=:OBJET,         OBS=:OBS,         "
                         "DATE_ENG=:DATE_ENG,         ID_FNM=:ID_FNM,        NO_VISA=:NO_VISA,        "
                         "DATE_VISA=:DATE_VISA,        ID_USER=:ID_USER,        DATEM=:DATEM WHERE ID_ENG=:ID_ENG ")
        : QStringLiteral("UPDATE ENT_ENG SET        MONTANT=:MONTANT,        OBS=:OBS,         DATE_ENG=:DATE_ENG,  "
                         "       ID_FNM=:ID_FNM,        NO_VISA=:NO_VISA,        DATE_VISA=:DATE_VISA,        "
                         "ID_USER=:ID_USER,        DATEM=:DATEM WHERE ID_ENG=:ID_ENG ");
    db::Query head(DM->LURDO, sql);
    head.setParam(QStringLiteral("MONTANT"), header.amount);
    if (withObjet)
        head.setParam(QStringLiteral("OBJET"), toDb(header.objet));
    head.setParam(QStringLiteral("OBS"), header.obs);
    head.setParam(QStringLiteral("DATE_ENG"), header.date);
    head.setParam(QStringLiteral("ID_FNM"), header.idFnm);
    head.setParam(QStringLiteral("NO_VISA"), header.visaNumber);
    head.setParam(QStringLiteral("DATE_VISA"), header.visaDate);
    head.setParam(QStringLiteral("ID_USER"), CurrentUserCode);
    head.setParam(QStringLiteral("DATEM"), QDate::currentDate());
    head.setParam(QStringLiteral("ID_ENG"), header.id);
    ExecOnRow(head);

    db::Query line(DM->LURDO, QStringLiteral("UPDATE DET_ENG SET        MONTANT=:MONTANT WHERE ID_ENG=:ID_ENG "));
    line.setParam(QStringLiteral("MONTANT"), header.amount);
    line.setParam(QStringLiteral("ID_ENG"), header.id);
    line.exec();
}

// ---------------------------------------------------------------------------
// Cancellations

QList<TDocumentKey> TSheetStore::CancellationKeys()
{
    db::Query q(DM->LURDO, QStringLiteral("SELECT ID_ENG, NO_ENG FROM ENT_ENG WHERE OBJET=:OBJET AND ORIGINE=:ORIGINE "
                                          "ORDER BY NO_ENG, ID_ENG"));
    q.setParam(QStringLiteral("OBJET"), toDb(SheetObject::Economy));
    q.setParam(QStringLiteral("ORIGINE"), toDb(SheetOrigin::Cancellation));
    q.open();
    return ReadDocumentKeys(q);
}

qint64 TSheetStore::FindCancellation(const QString& chap, const QString& art, const QString& par,
                                     const QString& number)
{
    return FindSheet(chap, art, par, number, SheetObject::Economy, SheetOrigin::Cancellation);
}

QList<TCancellableSheet> TSheetStore::CancellableSheets()
{
    // The balance before a sheet counts every earlier-numbered sheet of its
    // line by its absolute amount, as a credit when it is not an expense: the
    // running sum over the line's sheets in number order, less the sheets of
    // the same number (they are not before it). Only the columns shown are
    // carried through the sorts.
    db::Query q(DM->LURDO, QStringLiteral(
        "SELECT S.ID_ENG, S.NO_ENG, S.DATE_ENG, S.ID_FNM, S.NO_VISA, S.DATE_VISA, S.MONTANT, F.CHAP, F.ART, F.PAR, "
        "S.UP_TO - S.SAME AS ANC_SOLDE "
        "FROM (SELECT E.ID_ENG, E.NO_ENG, E.DATE_ENG, E.ID_FNM, E.NO_VISA, E.DATE_VISA, E.MONTANT, E.ORIGINE, "
        "             E.STATUT, "
        "             SUM(IIF(E.MONTANT <> 0 AND E.NO_ENG IS NOT NULL, "
        "                     IIF(COALESCE(E.OBJET, :EXPENSE) = :EXPENSE, -ABS(E.MONTANT), ABS(E.MONTANT)), 0)) "
        "                 OVER (PARTITION BY E.ID_FNM ORDER BY E.NO_ENG) AS UP_TO, "
        "             SUM(IIF(E.MONTANT <> 0 AND E.NO_ENG IS NOT NULL, "
        "                     IIF(COALESCE(E.OBJET, :EXPENSE) = :EXPENSE, -ABS(E.MONTANT), ABS(E.MONTANT)), 0)) "
        "                 OVER (PARTITION BY E.ID_FNM, E.NO_ENG) AS SAME "
        "      FROM ENT_ENG E) S "
        "LEFT JOIN FNM F ON F.ID_FNM = S.ID_FNM "
        "WHERE COALESCE(S.ORIGINE, :USER_ORIGIN) = :USER_ORIGIN AND COALESCE(S.STATUT, :IN_FORCE) = :IN_FORCE "
        "AND S.ID_FNM > 0 "
        "ORDER BY F.CHAP, F.ART, F.PAR, S.NO_ENG, S.ID_ENG"));
    q.setParam(QStringLiteral("EXPENSE"), toDb(SheetObject::Expense));
    q.setParam(QStringLiteral("USER_ORIGIN"), toDb(SheetOrigin::User));
    q.setParam(QStringLiteral("IN_FORCE"), SheetInForce);
    q.open();
    QList<TCancellableSheet> out;
    out.reserve(q.rowCount());
    for (int r = 0; r < q.rowCount(); ++r) {
        const auto at = [&](int column) -> const db::Value& { return q.at(r, column); };
        TCancellableSheet c;
        c.sheet.id = db::toInt(at(0));
        c.sheet.number = db::toText(at(1)).trimmed();
        c.sheet.date = db::toDate(at(2));
        c.sheet.idFnm = db::toInt(at(3));
        c.sheet.visaNumber = db::toText(at(4)).trimmed();
        c.sheet.visaDate = db::toDate(at(5));
        c.sheet.amount = db::toCurrency(at(6));
        c.chap = db::toText(at(7)).trimmed();
        c.art = db::toText(at(8)).trimmed();
        c.par = db::toText(at(9)).trimmed();
        c.oldBalance = db::toCurrency(at(10));
        out.append(c);
    }
    return out;
}

std::optional<TSheet> TSheetStore::EarlierSheetDatedAfter(qint64 idFnm, const QString& number, const QDate& date)
{
    db::Query q(DM->LURDO, QStringLiteral("SELECT FIRST 1 * FROM ENT_ENG WHERE ID_FNM=:ID_FNM AND NO_ENG<:NO_ENG AND "
                                          "DATE_ENG>:DATE_ENG ORDER BY NO_ENG, ID_ENG"));
    q.setParam(QStringLiteral("ID_FNM"), idFnm);
    q.setParam(QStringLiteral("NO_ENG"), number);
    q.setParam(QStringLiteral("DATE_ENG"), date);
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    return SheetFromRow(q);
}

std::optional<TRecommitted> TSheetStore::Recommitted(qint64 idCancelled)
{
    db::Query q(DM->LURDO, QStringLiteral("SELECT FIRST 1 D.NO_DEPENSE, E.NO_ENG FROM DET_ENG L "
                                          "JOIN DET_ENG O ON O.ID_DETAIL=L.ID_DETAIL AND O.OBJET=:OBJET AND "
                                          "O.ID_ENG<>L.ID_ENG "
                                          "JOIN ENT_ENG E ON E.ID_ENG=O.ID_ENG AND "
                                          "COALESCE(E.STATUT, :IN_FORCE)=:IN_FORCE "
                                          "LEFT JOIN DEPENSE D ON D.ID_DEPENSE=L.ID_DETAIL "
                                          "WHERE L.ID_ENG=:ID_ENG AND L.OBJET=:OBJET ORDER BY E.NO_ENG, E.ID_ENG"));
    q.setParam(QStringLiteral("ID_ENG"), idCancelled);
    q.setParam(QStringLiteral("OBJET"), toDb(LineObject::Expense));
    q.setParam(QStringLiteral("IN_FORCE"), SheetInForce);
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    return TRecommitted{q.asString(QStringLiteral("NO_DEPENSE")).trimmed(),
                        q.asString(QStringLiteral("NO_ENG")).trimmed()};
}

void TSheetStore::LockSheetExpenses(qint64 idEng)
{
    db::Query q(DM->LURDO, QStringLiteral("SELECT ID_DEPENSE FROM DEPENSE WHERE ID_DEPENSE IN "
                                          "(SELECT ID_DETAIL FROM DET_ENG WHERE ID_ENG=:ID_ENG AND OBJET=:OBJET) "
                                          "WITH LOCK"));
    q.setParam(QStringLiteral("ID_ENG"), idEng);
    q.setParam(QStringLiteral("OBJET"), toDb(LineObject::Expense));
    q.open();
}

bool TSheetStore::MarkCancelled(qint64 idCancelled, qint64 by)
{
    db::Query q(DM->LURDO, QStringLiteral("UPDATE ENT_ENG SET STATUT=:STATUT WHERE ID_ENG=:ID_ENG AND "
                                          "COALESCE(STATUT, :IN_FORCE)=:IN_FORCE AND "
                                          "COALESCE(ORIGINE, :USER_ORIGIN)=:USER_ORIGIN"));
    q.setParam(QStringLiteral("STATUT"), by);
    q.setParam(QStringLiteral("IN_FORCE"), SheetInForce);
    q.setParam(QStringLiteral("USER_ORIGIN"), toDb(SheetOrigin::User));
    q.setParam(QStringLiteral("ID_ENG"), idCancelled);
    q.exec();
    return q.rowsAffected() == 1;
}

bool TSheetStore::InsertCancellation(const TSheet& header, qint64* id)
{
    // The cancelled sheet locked, then read: its amount and line as they stand
    // now are given back, and no line can be added to it or removed from it
    // until the cancellation is stored.
    const std::optional<TSheet> cancelled = LockSheet(header.idOrigine);
    if (!cancelled || cancelled->Cancelled() || cancelled->origin != SheetOrigin::User)
        return false;
    TSheet h = header;
    h.amount = cancelled->amount;
    h.idFnm = cancelled->idFnm;
    h.objet = SheetObject::Economy;
    h.origin = SheetOrigin::Cancellation;
    h.statut = SheetInForce;
    *id = InsertMovementSheet(h, LineObject::Cancellation, h.idOrigine);
    return MarkCancelled(h.idOrigine, *id);
}

bool TSheetStore::UpdateCancellation(const TSheet& header, qint64 previouslyCancelled)
{
    // The sheet cancelled keeps its lines while the cancellation is stored.
    if (header.idOrigine > 0)
        LockSheet(header.idOrigine);
    UpdateUserSheet(header);
    db::Query head(DM->LURDO, QStringLiteral("UPDATE ENT_ENG SET        ID_ORIGINE=:ID_ORIGINE,        ID_FNM=:ID_FNM,"
                                             "        MONTANT=:MONTANT WHERE ID_ENG=:ID_ENG "));
    head.setParam(QStringLiteral("ID_ORIGINE"), header.idOrigine);
    head.setParam(QStringLiteral("ID_FNM"), header.idFnm);
    head.setParam(QStringLiteral("MONTANT"), header.amount);
    head.setParam(QStringLiteral("ID_ENG"), header.id);
    ExecOnRow(head);
    db::Query line(DM->LURDO, QStringLiteral("UPDATE DET_ENG SET        ID_DETAIL=:ID_DETAIL,        MONTANT=:MONTANT "
                                             "WHERE ID_ENG=:ID_ENG "));
    line.setParam(QStringLiteral("ID_DETAIL"), header.idOrigine);
    line.setParam(QStringLiteral("MONTANT"), header.amount);
    line.setParam(QStringLiteral("ID_ENG"), header.id);
    line.exec();
    if (line.rowsAffected() == 0) {
        db::Query add(DM->LURDO, QStringLiteral("INSERT INTO DET_ENG       (ID_ENG, NOLINE, OBJET, ID_DETAIL, MONTANT) "
                                                "VALUES(:ID_ENG, 1, :OBJET, :ID_DETAIL, :MONTANT) "));
        add.setParam(QStringLiteral("ID_ENG"), header.id);
        add.setParam(QStringLiteral("OBJET"), toDb(LineObject::Cancellation));
        add.setParam(QStringLiteral("ID_DETAIL"), header.idOrigine);
        add.setParam(QStringLiteral("MONTANT"), header.amount);
        add.exec();
    }
    if (header.idOrigine > 0 && header.idOrigine != previouslyCancelled)
        return MarkCancelled(header.idOrigine, header.id);
    return true;
}

std::optional<TRecommitted> TSheetStore::DeleteCancellation(qint64 idEng, qint64 idCancelled)
{
    if (idCancelled > 0) {
        // Its expenses were free while it was cancelled: one committed again
        // elsewhere would then stand on two active sheets. They are locked
        // before the other sheets are read, so that none is committed
        // elsewhere while the cancelled sheet becomes active again.
        LockSheet(idCancelled);
        LockSheetExpenses(idCancelled);
        if (std::optional<TRecommitted> again = Recommitted(idCancelled))
            return again;
        db::Query q(DM->LURDO, QStringLiteral("UPDATE ENT_ENG SET STATUT=:IN_FORCE WHERE ID_ENG=:ID_ENG AND "
                                              "STATUT=:STATUT"));
        q.setParam(QStringLiteral("IN_FORCE"), SheetInForce);
        q.setParam(QStringLiteral("ID_ENG"), idCancelled);
        q.setParam(QStringLiteral("STATUT"), idEng);
        q.exec();
    }
    DeleteSheet(idEng);
    return std::nullopt;
}

TExpenseDocument::State TSheetExpenseLines::ReadState(qint64 idEng)
{
    const std::optional<TSheet> sheet = m_sheets.Read(idEng);
    return State{sheet && sheet->Cancelled(), sheet && sheet->HasVisa()};
}

#include "expenditure/OrderStore.h"

#include "core/GlobalState.h"
#include "core/Refusal.h"
#include "core/Routines.h"
#include "data/NumberSeries.h"
#include "data/ShownRow.h"
#include "data/UDM.h"
#include "db/Database.h"
#include "documents/DocumentNumbers.h"

#include <algorithm>

namespace {

QString PjName(int i)
{
    return QStringLiteral("PJ%1").arg(i + 1);
}

} // namespace

// The year's order numbers: typed by the user, never drawn.
class TOrderStore::Numbers final : public TNumberSeries {
public:
    explicit Numbers(TOrderStore& store) : m_store(store) {}

    bool Taken(const QString& number, qint64 exceptId) override { return m_store.NumberTaken(number, exceptId); }

protected:
    void LockSeries() override { m_store.LockNumbers(); }

private:
    TOrderStore& m_store;
};

TOrderStore::TOrderStore() = default;
TOrderStore::~TOrderStore() = default;

QString TOrderStore::PadNumber(const QString& number)
{
    const QString t = number.trimmed();
    return t.isEmpty() ? t : PadLeft(t, QStringLiteral("0"), 4);
}

// ---------------------------------------------------------------------------
// Reads

QList<TDocumentKey> TOrderStore::OrderKeys()
{
    db::Query q(DM->LURDO, QStringLiteral("SELECT ID_MDT, NO_MDT FROM ENT_MDT ORDER BY NO_MDT, ID_MDT"));
    q.open();
    return ReadDocumentKeys(q);
}

std::optional<TOrder> TOrderStore::Read(qint64 idMdt)
{
    db::Query& q = KeptStatement(m_read, QStringLiteral("SELECT * FROM ENT_MDT WHERE ID_MDT=:ID_MDT"));
    q.setParam(QStringLiteral("ID_MDT"), idMdt);
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    TOrder o;
    o.id = q.asInt(QStringLiteral("ID_MDT"));
    o.number = q.asString(QStringLiteral("NO_MDT")).trimmed();
    o.date = q.asDate(QStringLiteral("DATE_MDT"));
    o.statut = fromDb<OrderStatus>(q.asInt(QStringLiteral("STATUT")));
    o.nature = q.asString(QStringLiteral("NATURE"));
    o.amount = q.asCurrency(QStringLiteral("MONTANT"));
    for (int i = 0; i < 6; ++i)
        o.pj[size_t(i)] = q.asString(PjName(i));
    return o;
}

bool TOrderStore::LockOrder(qint64 idMdt)
{
    return LockRow(QStringLiteral("ENT_MDT"), QStringLiteral("ID_MDT"), idMdt);
}

void TOrderStore::LockNumbers()
{
    LockNumberSeries(NumberSeries::PaymentOrders);
}

TDocumentLines TOrderStore::Lines(qint64 idMdt)
{
    return m_lines.Lines(idMdt);
}

Currency TOrderStore::LinesTotal(qint64 idMdt)
{
    return m_lines.Total(idMdt);
}

bool TOrderStore::NumberTaken(const QString& number, qint64 exceptId)
{
    db::Query& q = KeptStatement(m_taken, QStringLiteral("SELECT FIRST 1 ID_MDT FROM ENT_MDT WHERE NO_MDT=:NO_MDT AND "
                                                         "ID_MDT<>:ID_MDT"));
    q.setParam(QStringLiteral("NO_MDT"), number);
    q.setParam(QStringLiteral("ID_MDT"), exceptId);
    q.open();
    return !q.isEmpty();
}

bool TOrderStore::NumberFree(const QString& number, qint64 exceptId)
{
    Numbers numbers(*this);
    return ::NumberFree(numbers, number, exceptId);
}

qint64 TOrderStore::FindByNumber(const QString& number)
{
    db::Query q(DM->LURDO, QStringLiteral("SELECT FIRST 1 ID_MDT FROM ENT_MDT WHERE NO_MDT=:NO_MDT ORDER BY ID_MDT"));
    q.setParam(QStringLiteral("NO_MDT"), number);
    q.open();
    return q.isEmpty() ? -1 : q.asInt(QStringLiteral("ID_MDT"));
}

bool TOrderStore::Exists(qint64 idMdt)
{
    return Read(idMdt).has_value();
}

QSet<qint64> TOrderStore::MandatedExpenseIds()
{
    db::Query q(DM->LURDO, QStringLiteral("SELECT ID_DETAIL FROM DET_MDT"));
    q.open();
    return ReadKeySet(q);
}

Currency TOrderStore::SupplierPaidTotal(qint64 idBen)
{
    db::Query& q = KeptStatement(m_paid, QStringLiteral("SELECT SUM(A.MONTANT) AS TOT_FOUR FROM DET_MDT A JOIN DEPENSE B "
                                                        "ON B.ID_DEPENSE=A.ID_DETAIL WHERE B.ID_BEN=:ID_BEN"));
    q.setParam(QStringLiteral("ID_BEN"), idBen);
    q.open();
    return q.asCurrency(QStringLiteral("TOT_FOUR"));
}

bool TOrderStore::OnRegularisationSheet(qint64 idMdt)
{
    db::Query q(DM->LURDO, QStringLiteral("SELECT FIRST 1 ID_ENG FROM DET_ENG_REG WHERE OBJET=:OBJET AND "
                                          "ID_DETAIL=:ID_MDT"));
    q.setParam(QStringLiteral("OBJET"), toDb(LineObject::PaymentOrder));
    q.setParam(QStringLiteral("ID_MDT"), idMdt);
    q.open();
    return !q.isEmpty();
}

// ---------------------------------------------------------------------------
// Writes

qint64 TOrderStore::InsertOrder(const TOrder& order)
{
    const qint64 id = DM->NextKey(QStringLiteral("GEN_MDT"));
    const QDate today = QDate::currentDate();
    db::Query q(DM->LURDO, QStringLiteral("INSERT INTO ENT_MDT         (ID_MDT, NO_MDT, DATE_MDT, STATUT,         PJ1, "
                                          "PJ2, PJ3, PJ4, PJ5, PJ6, MONTANT,         NATURE, ID_USER, DATEC, DATEM ) "
                                          "VALUES(:MyIdMdt, :MyNoMdt, :MyDateMDT, :STATUT,        :PJ1, :PJ2, :PJ3, "
                                          ":PJ4, :PJ5, :PJ6, :MONTANT,        :MYNATURE, :MyIdUser, :MyDateC, "
                                          ":MyDateM)"));
    q.setParam(QStringLiteral("MyIdMdt"), id);
    q.setParam(QStringLiteral("MyNoMdt"), order.number);
    q.setParam(QStringLiteral("MyDateMDT"), order.date);
    q.setParam(QStringLiteral("STATUT"), toDb(order.statut));
    for (int i = 0; i < 6; ++i)
        q.setParam(PjName(i), order.pj[size_t(i)]);
    // A new order has no line yet.
    q.setParam(QStringLiteral("MONTANT"), Currency());
    q.setParam(QStringLiteral("MYNATURE"), order.nature);
    q.setParam(QStringLiteral("MyIdUser"), CurrentUserCode);
    q.setParam(QStringLiteral("MyDateC"), today);
    q.setParam(QStringLiteral("MyDateM"), today);
    q.exec();
    return id;
}

void TOrderStore::UpdateOrder(const TOrder& order)
{
    db::Query q(DM->LURDO, QStringLiteral("UPDATE ENT_MDT SET NO_MDT=:MyNoMdt, STATUT=:STATUT, DATE_MDT=:MyDateMDT, "
                                          "PJ1=:PJ1, PJ2=:PJ2, PJ3=:PJ3, PJ4=:PJ4, PJ5=:PJ5, PJ6=:PJ6, "
                                          "MONTANT=(SELECT COALESCE(SUM(MONTANT), 0) FROM DET_MDT WHERE ID_MDT=:MyIdMdt), "
                                          "NATURE=:MYNATURE, ID_USER=:MyIdUser, DateM=:MyDateM WHERE ID_MDT=:MyIdMdt "));
    q.setParam(QStringLiteral("MyNoMdt"), order.number);
    q.setParam(QStringLiteral("STATUT"), toDb(order.statut));
    q.setParam(QStringLiteral("MyDateMDT"), order.date);
    for (int i = 0; i < 6; ++i)
        q.setParam(PjName(i), order.pj[size_t(i)]);
    q.setParam(QStringLiteral("MYNATURE"), order.nature);
    q.setParam(QStringLiteral("MyIdUser"), CurrentUserCode);
    q.setParam(QStringLiteral("MyDateM"), QDate::currentDate());
    q.setParam(QStringLiteral("MyIdMdt"), order.id);
    ExecOnRow(q);
}

namespace {

// An order another user deleted takes and loses no line.
void RequireOrder(bool exists)
{
    if (!exists)
        throw TRefusalError(QStringLiteral("Ce mandat n'existe plus !"));
}

} // namespace

Currency TOrderStore::AddLine(qint64 idMdt, qint64 idDepense, Currency amount)
{
    RequireOrder(LockOrder(idMdt));
    m_lines.Insert(idMdt, idDepense, amount);
    return SyncTotal(idMdt);
}

Currency TOrderStore::RemoveExpenseLine(qint64 idMdt, qint64 idDepense)
{
    RequireOrder(LockOrder(idMdt));
    m_lines.RemoveExpense(idMdt, idDepense);
    return SyncTotal(idMdt);
}

Currency TOrderStore::RemoveLineAt(qint64 idMdt, int noLine)
{
    RequireOrder(LockOrder(idMdt));
    m_lines.RemoveAt(idMdt, noLine);
    return SyncTotal(idMdt);
}

void TOrderStore::RenumberLines(qint64 idMdt, const QList<qint64>& expenseIds)
{
    m_lines.RenumberAs(idMdt, expenseIds);
}

void TOrderStore::RenumberLinesByName(qint64 idMdt)
{
    m_lines.RenumberByName(idMdt);
}

Currency TOrderStore::SyncTotal(qint64 idMdt)
{
    const Currency total = LinesTotal(idMdt);
    db::Query& q = KeptStatement(m_sync, QStringLiteral("UPDATE ENT_MDT SET MONTANT=:MONTANT WHERE ID_MDT=:ID_MDT"));
    q.setParam(QStringLiteral("MONTANT"), total);
    q.setParam(QStringLiteral("ID_MDT"), idMdt);
    ExecOnRow(q);
    return total;
}

void TOrderStore::DeleteOrder(qint64 idMdt)
{
    m_lines.DeleteDocument(idMdt);
}

#include "expenditure/OrderListing.h"

#include "data/BudgetQueries.h"
#include "data/Codes.h"
#include "data/UDM.h"
#include "expenditure/OrderStore.h"

#include <algorithm>

namespace {

const TDocumentRows kOrders{QStringLiteral("DET_MDT"), std::nullopt,       QStringLiteral("ID_MDT"),
                            QStringLiteral("NO_MDT"),  QStringLiteral("DATE_MDT"), QStringLiteral("MONTANT"),
                            QString()};

} // namespace

TOrderListing::TOrderListing(Order order) : m_order(order)
{
}

TOrderListing::~TOrderListing() = default;

qint64 TOrderListing::KeyOf(const QueryRow& row)
{
    return row.asInt(QStringLiteral("ID_MDT"));
}

QSet<qint64> TOrderListing::KeysOf(const TListingRows& rows)
{
    QSet<qint64> keys;
    const auto id = size_t(rows.names.indexOf(QStringLiteral("ID_MDT")));
    for (const std::vector<db::Value>& row : rows.rows)
        keys.insert(db::toInt(row[id]));
    return keys;
}

TListingRows TOrderListing::RowsOf(const TListingRows& rows, const QSet<qint64>& keys, Currency& total)
{
    const auto id = size_t(rows.names.indexOf(QStringLiteral("ID_MDT")));
    const auto amount = size_t(rows.names.indexOf(QStringLiteral("MONTANT")));
    const auto no = size_t(rows.names.indexOf(QStringLiteral("NO_MDT")));
    const auto date = size_t(rows.names.indexOf(QStringLiteral("DATE_MDT")));
    TListingRows out{rows.names, {}};
    total = Currency();
    for (const std::vector<db::Value>& row : rows.rows) {
        if (!keys.contains(db::toInt(row[id])))
            continue;
        out.rows.push_back(row);
        total += db::toCurrency(row[amount]);
    }
    std::stable_sort(out.rows.begin(), out.rows.end(), [&](const auto& a, const auto& b) {
        const QString na = db::toText(a[no]).trimmed(), nb = db::toText(b[no]).trimmed();
        if (na != nb)
            return na < nb;
        return db::toDate(a[date]) < db::toDate(b[date]);
    });
    return out;
}

TListingRows TOrderListing::Read()
{
    if (!m_read)
        m_read = std::make_unique<db::Query>(DM->LURDO,
                                             QStringLiteral("SELECT ID_MDT, NO_MDT, DATE_MDT, MONTANT, NATURE, "
                                                            "MONTANT AS LIB_MONTANT FROM ENT_MDT ")
                                                 + (m_order == Order::LastFirst
                                                        ? QStringLiteral("ORDER BY NO_MDT DESC, ID_MDT DESC")
                                                        : QStringLiteral("ORDER BY NO_MDT, DATE_MDT, ID_MDT")));
    m_read->open();
    TListingRows out{m_read->columnNames(), m_read->rows()};
    m_read->close();
    return out;
}

TLineOrders TOrderListing::OrdersOfLine(qint64 idFnm)
{
    TLineOrders line;
    db::Query section(DM->LURDO, QStringLiteral("SELECT SECTION FROM FNM WHERE ID_FNM=:ID_FNM"));
    section.setParam(QStringLiteral("ID_FNM"), idFnm);
    section.open();
    line.salary = !section.isEmpty() && section.asInt(QStringLiteral("SECTION")) == 1;
    // A salary line's amounts are in the imputations of the orders' salary
    // expenses; any other line is the budget line of the expenses themselves.
    db::Query q(DM->LURDO,
                line.salary ? QStringLiteral("SELECT A.ID_MDT, SUM(B.MONTANT) AS MT_IMPUT FROM DET_MDT A "
                                             "JOIN DET_SALAIRE B ON B.ID_DEPENSE=A.ID_DETAIL "
                                             "WHERE B.TYPE_DET=:IMPUTATION AND B.ID_DETAIL=:ID_FNM GROUP BY A.ID_MDT")
                            : QStringLiteral("SELECT DISTINCT A.ID_MDT FROM DET_MDT A "
                                             "JOIN DEPENSE B ON B.ID_DEPENSE=A.ID_DETAIL WHERE B.ID_FNM=:ID_FNM"));
    q.setParam(QStringLiteral("ID_FNM"), idFnm);
    if (line.salary)
        q.setParam(QStringLiteral("IMPUTATION"), toDb(SalaryLineType::Imputation));
    q.open();
    line.orders.reserve(q.rowCount());
    for (int r = 0; r < q.rowCount(); ++r) {
        const qint64 id = db::toInt(q.at(r, 0));
        line.orders.insert(id);
        if (line.salary && !db::isNull(q.at(r, 1)))
            line.amounts.insert(id, db::toCurrency(q.at(r, 1)));
    }
    return line;
}

void TOrderListing::SetLineAmounts(TListingRows& rows, const std::optional<TLineOrders>& line)
{
    const int id = int(rows.names.indexOf(QStringLiteral("ID_MDT")));
    const int amount = int(rows.names.indexOf(QStringLiteral("MONTANT")));
    const int lib = int(rows.names.indexOf(QStringLiteral("LIB_MONTANT")));
    const bool salary = line && line->salary;
    for (std::vector<db::Value>& r : rows.rows) {
        if (!salary) {
            r[size_t(lib)] = r[size_t(amount)];
            continue;
        }
        const auto it = line->amounts.constFind(db::toInt(r[size_t(id)]));
        r[size_t(lib)] = it == line->amounts.constEnd() ? db::Value() : db::Value(*it);
    }
}

TRowFilter TOrderListing::RowFilter(const TOrderCriteria& f, const std::optional<TLineOrders>& line)
{
    return DocumentRowFilter(f, kOrders, line ? line->orders : QSet<qint64>());
}

QString TOrderListing::BudgetLineCaption(qint64 idFnm)
{
    db::Query q(DM->LURDO, QStringLiteral("SELECT CHAP, ART, PAR, INTITULE FROM FNM WHERE ID_FNM=:ID_FNM"));
    q.setParam(QStringLiteral("ID_FNM"), idFnm);
    q.open();
    if (q.isEmpty())
        return QString();
    const QString par = q.asString(QStringLiteral("PAR")).trimmed();
    return q.asString(QStringLiteral("CHAP")).trimmed() + QLatin1Char('.') + q.asString(QStringLiteral("ART")).trimmed()
         + (par.isEmpty() ? QString() : QLatin1Char('.') + par) + QStringLiteral(" - ")
         + q.asString(QStringLiteral("INTITULE")).trimmed();
}

bool TOrderListing::HasNumber(const QueryRow& row, qint64 number)
{
    bool ok = false;
    const qint64 stored = row.asString(QStringLiteral("NO_MDT")).trimmed().toLongLong(&ok);
    return ok && stored == number;
}

TVerdict TOrderListing::DeleteRefusal(qint64 idMdt)
{
    TOrderStore store;
    if (!store.Exists(idMdt))
        return TRefusal{QStringLiteral("Ce mandat n'existe plus !")};
    if (store.OnRegularisationSheet(idMdt))
        return TRefusal{QStringLiteral("Ce mandat figure sur une fiche de régularisation !\rSuppression impossible.")};
    return std::nullopt;
}

TVerdict TOrderListing::DeleteOrder(qint64 idMdt)
{
    TOrderStore store;
    store.LockOrder(idMdt);
    TVerdict refusal = DeleteRefusal(idMdt);
    if (!refusal)
        store.DeleteOrder(idMdt);
    return refusal;
}

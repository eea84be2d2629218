#include "expenditure/ExpenseListing.h"

#include "data/KeptStatement.h"
#include "documents/DocumentLines.h"

#include <QHash>

#include <algorithm>
#include <numeric>

namespace {

// The document holding an expense, as the listing shows it.
struct Holder {
    db::Value id, number, date;
    bool cancelled = false;
};

// What holds an expense: the first order and the first sheet shown, and
// whether it is mandated (on an order line) and committed (on a line of a
// sheet that no cancellation points to).
struct Held {
    Holder order, sheet;
    bool mandated = false;
    bool committed = false;
};

db::Query& Opened(std::unique_ptr<db::Query>& query, const QString& sql)
{
    db::Query& q = KeptStatement(query, sql);
    q.open();
    return q;
}

} // namespace

TExpenseListing::Row TExpenseListing::RowOf(const QueryRow& row)
{
    Row r;
    r.id = row.asInt(QStringLiteral("ID_DEPENSE"));
    r.kind = fromDb<ExpenseKind>(row.asInt(QStringLiteral("TYPE_DEPENSE")));
    r.state = fromDb<ExpenseState>(row.asInt(QStringLiteral("DEP_STATE")));
    r.idMdt = row.isNull(QStringLiteral("ID_MDT")) ? -1 : row.asInt(QStringLiteral("ID_MDT"));
    r.idEng = row.isNull(QStringLiteral("ID_ENG")) ? -1 : row.asInt(QStringLiteral("ID_ENG"));
    return r;
}

TExpenseListing::TExpenseListing() = default;
TExpenseListing::~TExpenseListing() = default;

TListingRows TExpenseListing::Read(std::optional<ExpenseKind> kind)
{
    // The budget lines' labels and the beneficiaries' names by key.
    QHash<qint64, QString> labels;
    db::Query& lines = Opened(m_lines, QStringLiteral("SELECT ID_FNM, CHAP, ART, PAR FROM FNM"));
    labels.reserve(lines.rowCount());
    for (const auto& r : lines.rows())
        labels.insert(db::toInt(r[0]), BudgetLineLabel(db::toText(r[1]).trimmed(), db::toText(r[2]).trimmed(),
                                                       db::toText(r[3]).trimmed()));
    lines.close();
    QHash<qint64, QString> names;
    db::Query& benefs = Opened(m_benefs, QStringLiteral("SELECT ID_BEN, NOM FROM BENEF"));
    names.reserve(benefs.rowCount());
    for (const auto& r : benefs.rows())
        names.insert(db::toInt(r[0]), db::toText(r[1]));
    benefs.close();

    QHash<qint64, Held> held;

    // The first order of each expense, by key, from the order lines. An
    // expense with an order line is mandated, whatever became of the order.
    db::Query& o = Opened(m_orders, QStringLiteral("SELECT D.ID_DETAIL, M.ID_MDT, M.NO_MDT, M.DATE_MDT FROM DET_MDT D "
                                                   "LEFT JOIN ENT_MDT M ON M.ID_MDT=D.ID_MDT"));
    held.reserve(o.rowCount());
    for (const auto& r : o.rows()) {
        Held& h = held[db::toInt(r[0])];
        h.mandated = true;
        if (!db::isNull(r[1]) && (db::isNull(h.order.id) || db::toInt(r[1]) < db::toInt(h.order.id)))
            h.order = Holder{r[1], r[2], r[3]};
    }
    o.close();

    // The first sheet of each expense, from the expense lines of the sheets:
    // a sheet without a cancellation before a cancelled one, then by key.
    db::Query& s = KeptStatement(m_sheets, QStringLiteral(
        "SELECT D.ID_DETAIL, E.ID_ENG, E.NO_ENG, E.DATE_ENG, "
        "       IIF(EXISTS (SELECT 1 FROM ENT_ENG C WHERE C.ID_ORIGINE=D.ID_ENG AND C.OBJET=:ECONOMY "
        "                   AND C.ORIGINE=:CANCELLATION), "
        "           1, 0) AS CANCELLED "
        "FROM DET_ENG D LEFT JOIN ENT_ENG E ON E.ID_ENG=D.ID_ENG WHERE D.OBJET=:EXPENSE_LINE"));
    s.setParam(QStringLiteral("ECONOMY"), toDb(SheetObject::Economy));
    s.setParam(QStringLiteral("CANCELLATION"), toDb(SheetOrigin::Cancellation));
    s.setParam(QStringLiteral("EXPENSE_LINE"), toDb(LineObject::Expense));
    s.open();
    for (const auto& r : s.rows()) {
        Held& h = held[db::toInt(r[0])];
        const Holder sheet{r[1], r[2], r[3], db::toInt(r[4]) != 0};
        h.committed = h.committed || !sheet.cancelled;
        if (!db::isNull(sheet.id)
            && (db::isNull(h.sheet.id)
                || std::pair(sheet.cancelled, db::toInt(sheet.id)) < std::pair(h.sheet.cancelled, db::toInt(h.sheet.id))))
            h.sheet = sheet;
    }
    s.close();

    // The expenses as stored; the latest date first (undated ones last), the
    // latest key first within a day: sorted here rather than by the engine,
    // which would sort the whole rows, their texts at full width, for it.
    db::Query& e = KeptStatement(m_expenses, QStringLiteral("SELECT ID_DEPENSE, TYPE_DEPENSE, NO_DEPENSE, DATE_DEPENSE, "
                                                            "ID_FNM, ID_BEN, MONTANT, OBJET FROM DEPENSE "
                                                            "WHERE (:KIND = -1 OR TYPE_DEPENSE = :KIND)"));
    // No kind is stored as -1: it asks for every kind.
    e.setParam(QStringLiteral("KIND"), kind ? toDb(*kind) : -1);
    e.open();
    const std::vector<std::vector<db::Value>>& stored = e.rows();
    std::vector<size_t> order(stored.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const QDate dateA = db::toDate(stored[a][3]), dateB = db::toDate(stored[b][3]);
        if (dateA != dateB)
            return !dateB.isValid() || (dateA.isValid() && dateA > dateB);
        return db::toInt(stored[a][0]) > db::toInt(stored[b][0]);
    });

    TListingRows out;
    out.names = e.columnNames();
    out.names << QStringLiteral("IMPUT") << QStringLiteral("NOM_BEN") << QStringLiteral("ID_MDT")
              << QStringLiteral("NO_MDT") << QStringLiteral("DATE_MDT") << QStringLiteral("ID_ENG")
              << QStringLiteral("NO_ENG") << QStringLiteral("DATE_ENG") << QStringLiteral("DEP_STATE");
    out.rows.reserve(stored.size());
    const Held none;
    for (size_t i : order) {
        const std::vector<db::Value>& r = stored[i];
        const auto found = held.constFind(db::toInt(r[0]));
        const Held& h = found != held.constEnd() ? *found : none;
        std::vector<db::Value> row;
        row.reserve(r.size() + 9);
        row.insert(row.end(), r.begin(), r.end());
        row.emplace_back(db::isNull(r[4]) ? db::Value() : db::Value(labels.value(db::toInt(r[4]))));
        row.emplace_back(names.value(db::toInt(r[5])));
        for (const Holder* holder : {&h.order, &h.sheet}) {
            row.push_back(holder->id);
            row.push_back(holder->number);
            row.push_back(holder->date);
        }
        // As BudgetQueries::GetExpenseState answers.
        row.emplace_back(qint64(toDb(ExpenseStateOf(h.committed, h.mandated))));
        out.rows.push_back(std::move(row));
    }
    e.close();
    return out;
}

TListingRows TExpenseListing::ReadExpenses(const QList<qint64>& ids)
{
    TListingRows all = Read(std::nullopt);
    const int key = int(all.names.indexOf(QStringLiteral("ID_DEPENSE")));
    QHash<qint64, size_t> byId;
    byId.reserve(qsizetype(all.rows.size()));
    for (size_t r = 0; r < all.rows.size(); ++r)
        byId.insert(db::toInt(all.rows[r][size_t(key)]), r);
    TListingRows picked{all.names, {}};
    picked.rows.reserve(size_t(ids.size()));
    for (qint64 id : ids) {
        const auto it = byId.constFind(id);
        if (it != byId.constEnd())
            picked.rows.push_back(std::move(all.rows[*it]));
    }
    return picked;
}

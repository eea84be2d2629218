#include "expenditure/ExpenseListing.h"

#include "data/BudgetQueries.h"
#include "data/UDM.h"
#include "expenditure/DocumentLines.h"

#include <QHash>

namespace {

// The document holding an expense, as the listing shows it.
struct Holder {
    db::Value id, number, date;
    bool cancelled = false;
};

db::Query& Opened(std::unique_ptr<db::Query>& query, const QString& sql)
{
    if (!query)
        query = std::make_unique<db::Query>(DM->LURDO, sql);
    query->open();
    return *query;
}

} // namespace

TExpenseListing::TExpenseListing() = default;
TExpenseListing::~TExpenseListing() = default;

TListingRows TExpenseListing::Read(int kind)
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

    // The first order of each expense, from the order lines.
    QHash<qint64, Holder> orders;
    db::Query& o = Opened(m_orders, QStringLiteral("SELECT D.ID_DETAIL, M.ID_MDT, M.NO_MDT, M.DATE_MDT FROM DET_MDT D "
                                                   "JOIN ENT_MDT M ON M.ID_MDT=D.ID_MDT"));
    orders.reserve(o.rowCount());
    for (const auto& r : o.rows()) {
        const qint64 expense = db::toInt(r[0]);
        auto it = orders.find(expense);
        if (it == orders.end() || db::toInt(r[1]) < db::toInt(it->id))
            orders.insert(expense, Holder{r[1], r[2], r[3]});
    }
    o.close();

    // The first sheet of each expense, from the expense lines of the sheets.
    QHash<qint64, Holder> sheets;
    db::Query& s = Opened(m_sheets, QStringLiteral(
        "SELECT D.ID_DETAIL, E.ID_ENG, E.NO_ENG, E.DATE_ENG, "
        "       IIF(EXISTS (SELECT 1 FROM ENT_ENG C WHERE C.ID_ORIGINE=E.ID_ENG AND C.OBJET=1 AND C.ORIGINE='1'), "
        "           1, 0) AS CANCELLED "
        "FROM DET_ENG D JOIN ENT_ENG E ON E.ID_ENG=D.ID_ENG WHERE D.OBJET=0"));
    sheets.reserve(s.rowCount());
    for (const auto& r : s.rows()) {
        const qint64 expense = db::toInt(r[0]);
        const Holder h{r[1], r[2], r[3], db::toInt(r[4]) != 0};
        auto it = sheets.find(expense);
        if (it == sheets.end() || std::pair(h.cancelled, db::toInt(h.id)) < std::pair(it->cancelled, db::toInt(it->id)))
            sheets.insert(expense, h);
    }
    s.close();

    const QHash<qint64, int> states = DM->Queries().ExpenseStates();

    if (!m_expenses)
        m_expenses = std::make_unique<db::Query>(
            DM->LURDO,
            QStringLiteral("SELECT ID_DEPENSE, TYPE_DEPENSE, NO_DEPENSE, DATE_DEPENSE, ID_FNM, ID_BEN, MONTANT, OBJET "
                           "FROM DEPENSE WHERE (:KIND = -1 OR TYPE_DEPENSE = :KIND) "
                           "ORDER BY DATE_DEPENSE DESC, ID_DEPENSE DESC"));
    m_expenses->setParam(QStringLiteral("KIND"), kind);
    m_expenses->open();
    TListingRows out;
    out.names = m_expenses->columnNames();
    out.names << QStringLiteral("IMPUT") << QStringLiteral("NOM_BEN") << QStringLiteral("ID_MDT")
              << QStringLiteral("NO_MDT") << QStringLiteral("DATE_MDT") << QStringLiteral("ID_ENG")
              << QStringLiteral("NO_ENG") << QStringLiteral("DATE_ENG") << QStringLiteral("DEP_STATE");
    out.rows.reserve(size_t(m_expenses->rowCount()));
    const Holder none;
    for (const auto& r : m_expenses->rows()) {
        const qint64 id = db::toInt(r[0]);
        std::vector<db::Value> row;
        row.reserve(r.size() + 9);
        row.insert(row.end(), r.begin(), r.end());
        row.emplace_back(db::isNull(r[4]) ? db::Value() : db::Value(labels.value(db::toInt(r[4]))));
        row.emplace_back(names.value(db::toInt(r[5])));
        const Holder& order = orders.contains(id) ? *orders.constFind(id) : none;
        const Holder& sheet = sheets.contains(id) ? *sheets.constFind(id) : none;
        row.insert(row.end(), {order.id, order.number, order.date, sheet.id, sheet.number, sheet.date});
        row.emplace_back(qint64(states.value(id)));
        out.rows.push_back(std::move(row));
    }
    m_expenses->close();
    return out;
}

TListingRows TExpenseListing::ReadExpenses(const QList<qint64>& ids)
{
    TListingRows all = Read(-1);
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

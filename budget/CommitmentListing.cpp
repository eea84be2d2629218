#include "budget/CommitmentListing.h"

#include "budget/SheetStore.h"
#include "data/BudgetQueries.h"
#include "data/KeptStatement.h"
#include "data/RowCriteria.h"
#include "data/UDM.h"
#include "documents/DocumentLines.h"

#include <QHash>

#include <algorithm>

namespace {

// Orders two stored texts as the engine does for ORDER BY: NULL first, then
// code by code, trailing blanks ignored.
int CompareText(const db::Value& a, const db::Value& b)
{
    const bool na = db::isNull(a), nb = db::isNull(b);
    if (na || nb)
        return na == nb ? 0 : (na ? -1 : 1);
    return criteria::CompareStoredText(db::toText(a), db::toText(b));
}

// A stored OBJET; a NULL one counts as an expense sheet.
SheetObject ObjectOf(const db::Value& objet)
{
    return db::isNull(objet) ? SheetObject::Expense : fromDb<SheetObject>(db::toInt(objet));
}

} // namespace

TCommitmentListing::TCommitmentListing() = default;
TCommitmentListing::~TCommitmentListing() = default;

TCommitmentListing::Row TCommitmentListing::RowOf(const QueryRow& row)
{
    Row r;
    r.idEng = row.asInt(QStringLiteral("ID_ENG"));
    r.idFnm = row.asInt(QStringLiteral("ID_FNM"));
    r.number = row.asString(QStringLiteral("NO_ENG"));
    r.origine = fromDb<SheetOrigin>(row.asString(QStringLiteral("ORIGINE")));
    r.visa = row.asString(QStringLiteral("NO_VISA"));
    r.statut = row.asInt(QStringLiteral("STATUT"));
    r.objet = fromDb<SheetObject>(row.asInt(QStringLiteral("OBJET")));
    return r;
}

QHash<qint64, QString> TCommitmentListing::LastNumbers(const TListingRows& rows)
{
    QHash<qint64, QString> last;
    const int idFnm = rows.names.indexOf(QStringLiteral("ID_FNM"));
    const int noEng = rows.names.indexOf(QStringLiteral("NO_ENG"));
    for (const std::vector<db::Value>& r : rows.rows) {
        if (db::isNull(r[size_t(idFnm)]) || db::isNull(r[size_t(noEng)]))
            continue;
        const qint64 line = db::toInt(r[size_t(idFnm)]);
        const QString number = db::toText(r[size_t(noEng)]);
        auto it = last.find(line);
        if (it == last.end())
            last.insert(line, number);
        else if (criteria::CompareStoredText(number, *it) > 0)
            *it = number;
    }
    return last;
}

TListingRows TCommitmentListing::Read()
{
    // The sheets and the budget lines are read as stored; the order and the
    // balances are made here: the engine would sort the whole rows three
    // times for them (the listing's order and the two running sums).
    db::Query& q = KeptStatement(m_read, QStringLiteral("SELECT ID_FNM, ID_ENG, NO_ENG, DATE_ENG, MONTANT, NO_VISA, "
                                                        "STATUT, DATE_VISA, OBJET, ORIGINE, ID_ORIGINE FROM ENT_ENG"));
    db::Query& l = KeptStatement(m_lines, QStringLiteral("SELECT ID_FNM, CHAP, ART, PAR FROM FNM"));
    q.open();
    l.open();
    struct Line {
        db::Value chap, art, par;
        QString label;
    };
    QHash<qint64, Line> lines;
    lines.reserve(l.rowCount());
    for (const std::vector<db::Value>& r : l.rows())
        lines.insert(db::toInt(r[0]), Line{r[1], r[2], r[3],
                                           BudgetLineLabel(db::toText(r[1]).trimmed(), db::toText(r[2]).trimmed(),
                                                           db::toText(r[3]).trimmed())});
    l.close();

    enum { cFnm, cId, cNo, cDate, cAmount, cVisa, cStatut, cDateVisa, cObjet, cOrigine, cIdOrigine, cChap, cArt, cPar,
           cOld, cNew, cImput };
    const std::vector<std::vector<db::Value>>& stored = q.rows();
    std::vector<std::vector<db::Value>> rows;
    rows.reserve(stored.size());
    const Line noLine{db::Value(), db::Value(), db::Value(), BudgetLineLabel(QString(), QString(), QString())};
    for (const std::vector<db::Value>& r : stored) {
        std::vector<db::Value> row;
        row.reserve(cImput + 1);
        row.insert(row.end(), r.begin(), r.end());
        const auto line = db::isNull(r[cFnm]) ? lines.constEnd() : lines.constFind(db::toInt(r[cFnm]));
        const Line& of = line != lines.constEnd() ? *line : noLine;
        row.insert(row.end(), {of.chap, of.art, of.par, Currency(), db::Value(), of.label});
        rows.push_back(std::move(row));
    }
    QStringList names = q.columnNames();
    names << QStringLiteral("CHAP") << QStringLiteral("ART") << QStringLiteral("PAR") << QStringLiteral("OLD_SOLDE")
          << QStringLiteral("NEW_SOLDE") << QStringLiteral("IMPUT");
    q.close();

    // The old balance of a sheet: the shares of the line's sheets numbered
    // before it, the numbers compared as stored text (BudgetQueries::
    // CommitmentBalanceBefore). A sheet's share is its absolute amount, a
    // credit when it is not an expense sheet, a commitment when it is (a NULL
    // OBJET too); sheets without a number or an amount take no part, and a sheet
    // without a line or a number has no balance before it.
    auto share = [](const std::vector<db::Value>& r) {
        if (db::isNull(r[cNo]) || db::isNull(r[cAmount]))
            return Currency();
        const Currency amount = db::toCurrency(r[cAmount]).abs();
        return ObjectOf(r[cObjet]) != SheetObject::Expense ? amount : -amount;
    };
    std::vector<size_t> numbered;
    numbered.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        if (!db::isNull(rows[i][cFnm]) && !db::isNull(rows[i][cNo]))
            numbered.push_back(i);
    std::sort(numbered.begin(), numbered.end(), [&](size_t a, size_t b) {
        const qint64 la = db::toInt(rows[a][cFnm]), lb = db::toInt(rows[b][cFnm]);
        if (la != lb)
            return la < lb;
        return CompareText(rows[a][cNo], rows[b][cNo]) < 0;
    });
    for (size_t first = 0; first < numbered.size();) {
        // One budget line: its numbers in order, a number shared by several
        // sheets counted once they have all passed.
        const qint64 line = db::toInt(rows[numbered[first]][cFnm]);
        Currency running;
        size_t i = first;
        while (i < numbered.size() && db::toInt(rows[numbered[i]][cFnm]) == line) {
            size_t j = i;
            Currency same;
            while (j < numbered.size() && db::toInt(rows[numbered[j]][cFnm]) == line
                   && CompareText(rows[numbered[j]][cNo], rows[numbered[i]][cNo]) == 0) {
                rows[numbered[j]][cOld] = running;
                same += share(rows[numbered[j]]);
                ++j;
            }
            running += same;
            i = j;
        }
        first = i;
    }
    for (std::vector<db::Value>& row : rows)
        row[cNew] = BudgetQueries::CommitmentBalanceAfter(db::toCurrency(row[cOld]), ObjectOf(row[cObjet]),
                                                          db::toCurrency(row[cAmount]));

    // Chapter, article, paragraph, number, key.
    std::sort(rows.begin(), rows.end(), [](const std::vector<db::Value>& a, const std::vector<db::Value>& b) {
        for (int c : {int(cChap), int(cArt), int(cPar), int(cNo)})
            if (const int order = CompareText(a[size_t(c)], b[size_t(c)]))
                return order < 0;
        return db::toInt(a[cId]) < db::toInt(b[cId]);
    });

    TListingRows out;
    out.names = std::move(names);
    out.rows = std::move(rows);
    return out;
}

TRowFilter TCommitmentListing::RowFilter(const TCommitmentCriteria& f, const QString& chapter)
{
    static const TDocumentRows sheets{QStringLiteral("DET_ENG"), LineObject::Expense, QStringLiteral("ID_ENG"),
                                      QStringLiteral("NO_ENG"), QStringLiteral("DATE_ENG"), QStringLiteral("MONTANT"),
                                      QStringLiteral("ID_FNM")};
    return DocumentRowFilter(f, sheets, {}, chapter);
}

qint64 TCommitmentListing::FindBudgetLine(const QString& chap, const QString& art, const QString& par)
{
    db::Query q(DM->LURDO, QStringLiteral("SELECT FIRST 1 ID_FNM FROM FNM WHERE CHAP=:CHAP AND "
                                          "COALESCE(ART, '')=:ART AND COALESCE(PAR, '')=:PAR ORDER BY ID_FNM"));
    q.setParam(QStringLiteral("CHAP"), chap);
    q.setParam(QStringLiteral("ART"), art);
    q.setParam(QStringLiteral("PAR"), par);
    q.open();
    return q.isEmpty() ? -1 : q.asInt(QStringLiteral("ID_FNM"));
}

TVerdict TCommitmentListing::DeleteRefusal(qint64 idEng)
{
    // The sheet and its line locked first: no line can be added to the sheet,
    // and no later sheet given to the line, until the deletion ends.
    TSheetStore sheets;
    const std::optional<TSheet> sheet = sheets.LockSheet(idEng);
    if (sheet)
        TSheetStore::LockBudgetLine(sheet->idFnm);
    db::Query q(DM->LURDO, QStringLiteral("SELECT A.NO_ENG, A.ORIGINE, A.NO_VISA, A.STATUT, "
                                          "(SELECT MAX(B.NO_ENG) FROM ENT_ENG B WHERE B.ID_FNM=A.ID_FNM) AS LAST_NO "
                                          "FROM ENT_ENG A WHERE A.ID_ENG=:ID_ENG"));
    q.setParam(QStringLiteral("ID_ENG"), idEng);
    q.open();
    if (q.isEmpty())
        return TRefusal{QStringLiteral("Cette fiche n'existe plus !")};
    if (!q.asString(QStringLiteral("NO_VISA")).trimmed().isEmpty())
        return TRefusal{QStringLiteral("Fiche visée, suppression impossible !")};
    if (fromDb<SheetOrigin>(q.asString(QStringLiteral("ORIGINE"))) != SheetOrigin::User)
        return TRefusal{QStringLiteral("Seules les fiches d'engagement de dépenses se suppriment ici !")};
    if (q.asInt(QStringLiteral("STATUT")) != SheetInForce)
        return TRefusal{QStringLiteral("Cette fiche est annulée, suppression impossible !")};
    const QString number = q.asString(QStringLiteral("NO_ENG"));
    if (!number.trimmed().isEmpty() && !q.isNull(QStringLiteral("LAST_NO"))
        && criteria::CompareStoredText(q.asString(QStringLiteral("LAST_NO")), number) != 0)
        return TRefusal{QStringLiteral("Seule la dernière fiche d'une imputation peut être supprimée !")};
    return std::nullopt;
}

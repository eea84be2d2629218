#include "budget/CommitmentListing.h"

#include "budget/SheetStore.h"
#include "data/BudgetQueries.h"
#include "data/UDM.h"
#include "expenditure/DocumentLines.h"
#include "ui/RowCriteria.h"

namespace {

// A sheet's signed share of its line's balance: its absolute amount, as a
// credit when its OBJET is not 0 (a NULL OBJET counts as 0), as a commitment
// when it is. Sheets without a number or an amount take no part.
const QString kShare = QStringLiteral(
    "IIF(A.NO_ENG IS NULL OR A.MONTANT IS NULL, 0, IIF(A.OBJET <> 0, ABS(A.MONTANT), -ABS(A.MONTANT)))");

} // namespace

TCommitmentListing::TCommitmentListing() = default;
TCommitmentListing::~TCommitmentListing() = default;

TListingRows TCommitmentListing::Read()
{
    if (!m_read)
        // The running sum over the line's sheets up to this number, less the
        // sheets of this very number: the sheets strictly before it, as the
        // text comparison of numbers orders them.
        m_read = std::make_unique<db::Query>(
            DM->LURDO,
            QStringLiteral("SELECT A.ID_FNM, A.ID_ENG, A.NO_ENG, A.DATE_ENG, A.MONTANT, A.NO_VISA, A.STATUT, "
                           "A.DATE_VISA, A.OBJET, A.ORIGINE, A.ID_ORIGINE, B.CHAP, B.ART, B.PAR, "
                           "IIF(A.ID_FNM IS NULL OR A.NO_ENG IS NULL, 0, "
                           "    SUM(%1) OVER (PARTITION BY A.ID_FNM ORDER BY A.NO_ENG) "
                           "  - SUM(%1) OVER (PARTITION BY A.ID_FNM, A.NO_ENG)) AS OLD_SOLDE "
                           "FROM ENT_ENG A LEFT JOIN FNM B ON A.ID_FNM=B.ID_FNM "
                           "ORDER BY B.CHAP, B.ART, B.PAR, A.NO_ENG, A.ID_ENG")
                .arg(kShare));
    db::Query& q = *m_read;
    q.open();
    TListingRows out;
    out.names = q.columnNames();
    out.names << QStringLiteral("NEW_SOLDE") << QStringLiteral("IMPUT");
    const int objet = q.columnIndex(QStringLiteral("OBJET"));
    const int amount = q.columnIndex(QStringLiteral("MONTANT"));
    const int old = q.columnIndex(QStringLiteral("OLD_SOLDE"));
    const int chap = q.columnIndex(QStringLiteral("CHAP"));
    const int art = q.columnIndex(QStringLiteral("ART"));
    const int par = q.columnIndex(QStringLiteral("PAR"));
    out.rows.reserve(size_t(q.rowCount()));
    for (const std::vector<db::Value>& r : q.rows()) {
        std::vector<db::Value> row;
        row.reserve(r.size() + 2);
        row = r;
        row.emplace_back(BudgetQueries::CommitmentBalanceAfter(db::toCurrency(r[size_t(old)]),
                                                               int(db::toInt(r[size_t(objet)])),
                                                               db::toCurrency(r[size_t(amount)])));
        row.emplace_back(BudgetLineLabel(db::toText(r[size_t(chap)]).trimmed(), db::toText(r[size_t(art)]).trimmed(),
                                         db::toText(r[size_t(par)]).trimmed()));
        out.rows.push_back(std::move(row));
    }
    q.close();
    return out;
}

QueryTableModel::Filter TCommitmentListing::RowFilter(const TCommitmentCriteria& f, const QString& chapter)
{
    static const TDocumentRows sheets{QStringLiteral("DET_ENG"), QStringLiteral("D.OBJET=0"), QStringLiteral("ID_ENG"),
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

QString TCommitmentListing::DeleteRefusal(qint64 idEng)
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
        return QStringLiteral("Cette fiche n'existe plus !");
    if (!q.asString(QStringLiteral("NO_VISA")).trimmed().isEmpty())
        return QStringLiteral("Fiche visée, suppression impossible !");
    if (!q.asString(QStringLiteral("ORIGINE")).trimmed().isEmpty())
        return QStringLiteral("Seules les fiches d'engagement de dépenses se suppriment ici !");
    if (q.asInt(QStringLiteral("STATUT")) != 0)
        return QStringLiteral("Cette fiche est annulée, suppression impossible !");
    const QString number = q.asString(QStringLiteral("NO_ENG"));
    if (!number.trimmed().isEmpty() && !q.isNull(QStringLiteral("LAST_NO"))
        && criteria::CompareStoredText(q.asString(QStringLiteral("LAST_NO")), number) != 0)
        return QStringLiteral("Seule la dernière fiche d'une imputation peut être supprimée !");
    return QString();
}

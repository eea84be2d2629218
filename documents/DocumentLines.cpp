#include "documents/DocumentLines.h"

#include "core/Routines.h"
#include "data/ShownRow.h"
#include "data/UDM.h"
#include "db/Database.h"

#include <QCollator>
#include <algorithm>

namespace {

QString Trimmed(const db::Value& v)
{
    return db::toText(v).trimmed();
}

} // namespace

QString BudgetLineLabel(const QString& chap, const QString& art, const QString& par)
{
    const QString c = chap.trimmed(), a = art.trimmed(), p = par.trimmed();
    if (c.isEmpty() && a.isEmpty() && p.isEmpty())
        return QString();
    return p.isEmpty() ? c + QLatin1Char('-') + a : c + QLatin1Char('-') + a + QLatin1Char('-') + p;
}

QList<TDocumentKey> ReadDocumentKeys(const db::Query& q)
{
    QList<TDocumentKey> keys;
    keys.reserve(q.rowCount());
    for (int r = 0; r < q.rowCount(); ++r)
        keys.append(TDocumentKey{db::toInt(q.at(r, 0)), db::toText(q.at(r, 1)).trimmed()});
    return keys;
}

QSet<qint64> ReadKeySet(const db::Query& q)
{
    QSet<qint64> ids;
    ids.reserve(q.rowCount());
    for (int r = 0; r < q.rowCount(); ++r)
        ids.insert(db::toInt(q.at(r, 0)));
    return ids;
}

QString TDocumentLine::Imput() const
{
    return BudgetLineLabel(chap, art, par);
}

namespace {

TDocumentLines ReadDocumentLines(const db::Query& q)
{
    TDocumentLines lines;
    const int cNoLine = q.columnIndex(QStringLiteral("NOLINE"));
    const int cDetail = q.columnIndex(QStringLiteral("ID_DETAIL"));
    const int cAmount = q.columnIndex(QStringLiteral("MONTANT"));
    const int cKind = q.columnIndex(QStringLiteral("TYPE_DEPENSE"));
    const int cFnm = q.columnIndex(QStringLiteral("ID_FNM"));
    const int cBen = q.columnIndex(QStringLiteral("ID_BEN"));
    const int cNo = q.columnIndex(QStringLiteral("NO_DEPENSE"));
    const int cDate = q.columnIndex(QStringLiteral("DATE_DEPENSE"));
    const int cStart = q.columnIndex(QStringLiteral("DATED_MISSION"));
    const int cEnd = q.columnIndex(QStringLiteral("DATEF_MISSION"));
    const int cRembours = q.columnIndex(QStringLiteral("REMBOURS"));
    const int cObject = q.columnIndex(QStringLiteral("OBJET_DEP"));
    const int cName = q.columnIndex(QStringLiteral("NOM"));
    const int cChap = q.columnIndex(QStringLiteral("CHAP"));
    const int cArt = q.columnIndex(QStringLiteral("ART"));
    const int cPar = q.columnIndex(QStringLiteral("PAR"));
    const int cTitle = q.columnIndex(QStringLiteral("INTITULE"));
    lines.reserve(q.rowCount());
    for (int r = 0; r < q.rowCount(); ++r) {
        TDocumentLine l;
        l.noLine = int(db::toInt(q.at(r, cNoLine)));
        l.idDepense = db::toInt(q.at(r, cDetail));
        l.amount = db::toCurrency(q.at(r, cAmount));
        if (!db::isNull(q.at(r, cKind)))
            l.kind = fromDb<ExpenseKind>(db::toInt(q.at(r, cKind)));
        l.idFnm = db::isNull(q.at(r, cFnm)) ? -1 : db::toInt(q.at(r, cFnm));
        l.idBen = db::isNull(q.at(r, cBen)) ? -1 : db::toInt(q.at(r, cBen));
        l.noDepense = Trimmed(q.at(r, cNo));
        l.dateDepense = db::toDate(q.at(r, cDate));
        l.missionStart = db::toDate(q.at(r, cStart));
        l.missionEnd = db::toDate(q.at(r, cEnd));
        if (!db::isNull(q.at(r, cRembours)))
            l.rembours = fromDb<PaymentType>(db::toInt(q.at(r, cRembours)));
        l.expenseObject = Trimmed(q.at(r, cObject));
        l.benName = Trimmed(q.at(r, cName));
        l.chap = Trimmed(q.at(r, cChap));
        l.art = Trimmed(q.at(r, cArt));
        l.par = Trimmed(q.at(r, cPar));
        l.intitule = Trimmed(q.at(r, cTitle));
        lines.append(l);
    }
    return lines;
}

} // namespace

Currency LinesTotal(const TDocumentLines& lines)
{
    Currency total;
    for (const TDocumentLine& l : lines)
        total += l.amount;
    return total;
}

// ---------------------------------------------------------------------------
// TDocumentLineTable

TDocumentLineTable::TDocumentLineTable(Document document)
    : m_document(document),
      m_table(document == CommitmentSheet ? QStringLiteral("DET_ENG") : QStringLiteral("DET_MDT")),
      m_key(document == CommitmentSheet ? QStringLiteral("ID_ENG") : QStringLiteral("ID_MDT"))
{
}

TDocumentLineTable::~TDocumentLineTable() = default;

QString TDocumentLineTable::Where() const
{
    return m_document == CommitmentSheet ? QStringLiteral("A.ID_ENG=:ID_DOC AND A.OBJET=:OBJET")
                                         : QStringLiteral("A.ID_MDT=:ID_DOC");
}

void TDocumentLineTable::BindDocument(db::Query& q, qint64 idDoc) const
{
    q.setParam(QStringLiteral("ID_DOC"), idDoc);
    if (m_document == CommitmentSheet)
        q.setParam(QStringLiteral("OBJET"), toDb(LineObject::Expense));
}

TDocumentLines TDocumentLineTable::Lines(qint64 idDoc)
{
    // Keys only: the lines through the document's key, the expense, its
    // beneficiary and its budget line each through theirs.
    db::Query& q = KeptStatement(
        m_lines, QStringLiteral("SELECT A.NOLINE, A.ID_DETAIL, A.MONTANT, B.TYPE_DEPENSE, B.ID_FNM, B.ID_BEN, "
                                "B.NO_DEPENSE, B.DATE_DEPENSE, B.DATED_MISSION, B.DATEF_MISSION, B.REMBOURS, "
                                "B.OBJET AS OBJET_DEP, C.NOM, F.CHAP, F.ART, F.PAR, F.INTITULE "
                                "FROM %1 A LEFT JOIN DEPENSE B ON B.ID_DEPENSE=A.ID_DETAIL "
                                "LEFT JOIN BENEF C ON C.ID_BEN=B.ID_BEN "
                                "LEFT JOIN FNM F ON F.ID_FNM=B.ID_FNM "
                                "WHERE %2 ORDER BY A.NOLINE")
                     .arg(m_table, Where()));
    BindDocument(q, idDoc);
    q.open();
    TDocumentLines lines = ReadDocumentLines(q);
    q.close();
    return lines;
}

Currency TDocumentLineTable::Total(qint64 idDoc)
{
    db::Query& q = KeptStatement(m_total, QStringLiteral("SELECT SUM(A.MONTANT) AS TOTAL FROM %1 A WHERE %2")
                                              .arg(m_table, Where()));
    BindDocument(q, idDoc);
    q.open();
    return q.asCurrency(QStringLiteral("TOTAL"));
}

void TDocumentLineTable::Insert(qint64 idDoc, qint64 idDepense, Currency amount)
{
    // The document's own lines, read through its key, not the whole table.
    db::Query& max = KeptStatement(m_max, QStringLiteral("SELECT MAX(NOLINE) AS NUM FROM %1 WHERE %2=:ID_DOC")
                                              .arg(m_table, m_key));
    max.setParam(QStringLiteral("ID_DOC"), idDoc);
    max.open();
    const qint64 next = max.asInt(QStringLiteral("NUM")) + 1;
    max.close();

    db::Query& q = KeptStatement(
        m_insert, m_document == CommitmentSheet
                      ? QStringLiteral("INSERT INTO DET_ENG      (ID_ENG, NOLINE, OBJET, ID_DETAIL, MONTANT) "
                                       "VALUES(:ID_DOC, :NOLINE, :OBJET, :ID_DETAIL, :MONTANT) ")
                      : QStringLiteral("INSERT INTO DET_MDT      (ID_MDT, NOLINE, ID_DETAIL, MONTANT) "
                                       "VALUES(:ID_DOC, :NOLINE, :ID_DETAIL, :MONTANT) "));
    BindDocument(q, idDoc);
    q.setParam(QStringLiteral("NOLINE"), next);
    q.setParam(QStringLiteral("ID_DETAIL"), idDepense);
    q.setParam(QStringLiteral("MONTANT"), amount);
    q.exec();
}

void TDocumentLineTable::RemoveExpense(qint64 idDoc, qint64 idDepense)
{
    db::Query q(DM->LURDO, QStringLiteral("DELETE FROM %1 A WHERE %2 AND A.ID_DETAIL=:ID_DETAIL").arg(m_table, Where()));
    BindDocument(q, idDoc);
    q.setParam(QStringLiteral("ID_DETAIL"), idDepense);
    ExecOnRow(q);
}

void TDocumentLineTable::RemoveAt(qint64 idDoc, int noLine)
{
    db::Query q(DM->LURDO, QStringLiteral("DELETE FROM %1 A WHERE %2 AND A.NOLINE=:NOLINE").arg(m_table, Where()));
    BindDocument(q, idDoc);
    q.setParam(QStringLiteral("NOLINE"), noLine);
    ExecOnRow(q);
    Renumber(idDoc, Lines(idDoc));
}

void TDocumentLineTable::DeleteDocument(qint64 idDoc)
{
    // Table and column names are the program's own.
    db::Query lines(DM->LURDO, QStringLiteral("DELETE FROM %1 WHERE %2=:ID_DOC").arg(m_table, m_key));
    lines.setParam(QStringLiteral("ID_DOC"), idDoc);
    lines.exec();
    const QString header = m_document == CommitmentSheet ? QStringLiteral("ENT_ENG") : QStringLiteral("ENT_MDT");
    db::Query document(DM->LURDO, QStringLiteral("DELETE FROM %1 WHERE %2=:ID_DOC").arg(header, m_key));
    document.setParam(QStringLiteral("ID_DOC"), idDoc);
    ExecOnRow(document);
}

void TDocumentLineTable::Renumber(qint64 idDoc, const TDocumentLines& ordered)
{
    // The number is part of a sheet line's key together with its expense, and
    // an order's lines have no key: either way the expense tells two lines apart.
    db::Query& q = KeptStatement(m_renumber, QStringLiteral("UPDATE %1 A SET NOLINE=:NOLINE WHERE %2 AND "
                                                            "A.NOLINE=:NOLINE1 AND A.ID_DETAIL=:ID_DETAIL")
                                                 .arg(m_table, Where()));
    for (int k = 0; k < ordered.size(); ++k) {
        if (ordered[k].noLine == k + 1)
            continue;
        q.setParam(QStringLiteral("NOLINE"), k + 1);
        BindDocument(q, idDoc);
        q.setParam(QStringLiteral("NOLINE1"), ordered[k].noLine);
        q.setParam(QStringLiteral("ID_DETAIL"), ordered[k].idDepense);
        q.exec();
    }
}

void TDocumentLineTable::RenumberAs(qint64 idDoc, const QList<qint64>& expenseIds)
{
    const TDocumentLines lines = Lines(idDoc);
    TDocumentLines ordered;
    QList<bool> taken(lines.size(), false);
    for (qint64 id : expenseIds)
        for (int i = 0; i < lines.size(); ++i)
            if (!taken[i] && lines[i].idDepense == id) {
                ordered.append(lines[i]);
                taken[i] = true;
            }
    for (int i = 0; i < lines.size(); ++i)
        if (!taken[i])
            ordered.append(lines[i]);
    Renumber(idDoc, ordered);
}

void TDocumentLineTable::RenumberByName(qint64 idDoc)
{
    TDocumentLines lines = Lines(idDoc);
    std::stable_sort(lines.begin(), lines.end(), [](const TDocumentLine& a, const TDocumentLine& b) {
        return FrenchCollator().compare(a.benName, b.benName) < 0;
    });
    Renumber(idDoc, lines);
}

#include "expenditure/DocumentLines.h"

#include "db/Database.h"

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

QString TDocumentLine::Imput() const
{
    return BudgetLineLabel(chap, art, par);
}

QString DocumentLinesSql(const QString& table)
{
    const bool sheet = table == QLatin1String("DET_ENG");
    // Keys only: the lines through the document's key, the expense, its
    // beneficiary and its budget line each through theirs.
    return QStringLiteral("SELECT A.NOLINE, A.ID_DETAIL, A.MONTANT, B.TYPE_DEPENSE, B.ID_FNM, B.ID_BEN, "
                          "B.NO_DEPENSE, B.DATE_DEPENSE, B.DATED_MISSION, B.DATEF_MISSION, B.REMBOURS, "
                          "B.OBJET AS OBJET_DEP, C.NOM, F.CHAP, F.ART, F.PAR, F.INTITULE "
                          "FROM %1 A LEFT JOIN DEPENSE B ON B.ID_DEPENSE=A.ID_DETAIL "
                          "LEFT JOIN BENEF C ON C.ID_BEN=B.ID_BEN "
                          "LEFT JOIN FNM F ON F.ID_FNM=B.ID_FNM "
                          "WHERE %2 ORDER BY A.NOLINE")
        .arg(sheet ? QStringLiteral("DET_ENG") : QStringLiteral("DET_MDT"),
             sheet ? QStringLiteral("A.ID_ENG=:ID_DOC AND A.OBJET=0") : QStringLiteral("A.ID_MDT=:ID_DOC"));
}

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
        l.kind = db::isNull(q.at(r, cKind)) ? -1 : int(db::toInt(q.at(r, cKind)));
        l.idFnm = db::isNull(q.at(r, cFnm)) ? -1 : db::toInt(q.at(r, cFnm));
        l.idBen = db::isNull(q.at(r, cBen)) ? -1 : db::toInt(q.at(r, cBen));
        l.noDepense = Trimmed(q.at(r, cNo));
        l.dateDepense = db::toDate(q.at(r, cDate));
        l.missionStart = db::toDate(q.at(r, cStart));
        l.missionEnd = db::toDate(q.at(r, cEnd));
        l.rembours = db::isNull(q.at(r, cRembours)) ? -1 : int(db::toInt(q.at(r, cRembours)));
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

Currency LinesTotal(const TDocumentLines& lines)
{
    Currency total;
    for (const TDocumentLine& l : lines)
        total += l.amount;
    return total;
}

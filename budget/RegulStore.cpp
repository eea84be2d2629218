#include "budget/RegulStore.h"

#include "core/GlobalState.h"
#include "core/Refusal.h"
#include "core/Routines.h"
#include "data/KeptStatement.h"
#include "data/ShownRow.h"
#include "data/UDM.h"
#include "db/Database.h"
#include "documents/DocumentNumbers.h"

#include <algorithm>

namespace {

const QString kSheetColumns = QStringLiteral(
    "R.ID_ENG, R.NO_ENG, R.DATE_ENG, R.ID_FNM, R.OBS, R.NO_VISA, R.DATE_VISA, R.OBJET, R.MONTANT, R.ORIGINE, "
    "R.ID_ORIGINE, R.STATUT, F.CHAP, F.ART, F.PAR, F.INTITULE");

TRegulSheet SheetFromRow(const db::Query& q)
{
    TRegulSheet s;
    ReadSheetHeader(q, s);
    s.objet = q.isNull(QStringLiteral("OBJET")) ? -1 : int(q.asInt(QStringLiteral("OBJET")));
    const QString origin = q.asString(QStringLiteral("ORIGINE")).trimmed();
    if (!origin.isEmpty() && IsNumberText(origin))
        s.kind = fromDb<SheetOrigin>(origin);
    s.chap = q.asString(QStringLiteral("CHAP")).trimmed();
    s.art = q.asString(QStringLiteral("ART")).trimmed();
    s.par = q.asString(QStringLiteral("PAR")).trimmed();
    s.intitule = q.asString(QStringLiteral("INTITULE"));
    return s;
}

// A stored or typed sheet number as a number; -1 when it is none.
int NumberValue(const QString& text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? n : -1;
}

QString Padded(int number)
{
    return PadLeft(QString::number(number), QStringLiteral("0"), 4);
}

} // namespace

QString TRegulSheet::LineText() const
{
    if (idFnm < 0 || chap.isEmpty())
        return QString();
    return BudgetLineLabel(chap, art, par) + QStringLiteral(" : ") + intitule;
}

QString RegulObservation(const QList<TRegulExpense>& expenses, const QString& fiscalYear)
{
    if (expenses.isEmpty())
        return QStringLiteral("***");
    const TRegulExpense& first = expenses.first();
    const bool oneBeneficiary = std::all_of(expenses.begin(), expenses.end(),
                                            [&](const TRegulExpense& e) { return e.idBen == first.idBen; });
    switch (first.kind) {
    case ExpenseKind::Mission:
        if (oneBeneficiary)
            return QStringLiteral("ENGAGEMENT ") + first.lineTitle.toUpper() + QStringLiteral(" DE : ") + first.benName;
        return QStringLiteral("ENGAGEMENT ") + first.lineTitle.toUpper();
    case ExpenseKind::SalaryToCommit:
        return QStringLiteral("ENGAGEMENT EMI - EXERCICE ") + fiscalYear;
    default:
        if (expenses.size() == 1)
            return QStringLiteral("ENGAGEMENT DE LA FACTURE NO ") + first.noDepense + QStringLiteral("  DU  ")
                   + DateText(first.dateDepense) + QStringLiteral(" DU FOURNISSEUR ") + first.benName;
        if (oneBeneficiary)
            return QStringLiteral("ENGAGEMENT DE DIVERSES FACTURES  DU FOURNISSEUR ") + first.benName;
        return QStringLiteral("ENGAGEMENT DE DIVERSES FACTURES  DE DIVERS FOURNISSEURS");
    }
}

// The numbers of the regularisation sheets of one budget line, compared as
// numbers; the series gives numbers from 2 on.
class TRegulStore::LineNumbers final : public TDrawnNumberSeries {
public:
    LineNumbers(TRegulStore& store, qint64 idFnm) : m_store(store), m_idFnm(idFnm) {}

    bool Taken(const QString& number, qint64 exceptId) override
    {
        return m_store.NumberTaken(m_idFnm, number, exceptId);
    }
    QString Next() override { return m_store.NextNumber(m_idFnm); }

protected:
    void LockSeries() override { m_store.LockLine(m_idFnm); }

private:
    TRegulStore& m_store;
    qint64 m_idFnm;
};

TRegulStore::TRegulStore() = default;
TRegulStore::~TRegulStore() = default;

QString TRegulStore::BrowseKey(qint64 idFnm, const QString& number)
{
    // Sheets without a line first, then by line and number.
    if (idFnm < 0)
        return QString();
    return QStringLiteral("%1|%2").arg(idFnm, 10, 10, QLatin1Char('0')).arg(number.trimmed());
}

// ---------------------------------------------------------------------------
// Reads

QList<TDocumentKey> TRegulStore::Keys()
{
    db::Query q(DM->LURDO, QStringLiteral("SELECT ID_ENG, ID_FNM, NO_ENG FROM ENT_ENG_REG ORDER BY ID_FNM, NO_ENG, ID_ENG"));
    q.open();
    QList<TDocumentKey> keys;
    keys.reserve(q.rowCount());
    for (q.first(); !q.eof(); q.next())
        keys.append({q.asInt(QStringLiteral("ID_ENG")),
                     BrowseKey(q.isNull(QStringLiteral("ID_FNM")) ? -1 : q.asInt(QStringLiteral("ID_FNM")),
                               q.asString(QStringLiteral("NO_ENG")))});
    std::stable_sort(keys.begin(), keys.end(),
                     [](const TDocumentKey& a, const TDocumentKey& b) { return a.number < b.number; });
    return keys;
}

std::optional<TRegulSheet> TRegulStore::Read(qint64 idEng)
{
    db::Query& q = KeptStatement(m_read, QStringLiteral("SELECT ") + kSheetColumns
                                             + QStringLiteral(" FROM ENT_ENG_REG R LEFT JOIN FNM F ON F.ID_FNM=R.ID_FNM "
                                                              "WHERE R.ID_ENG=:ID_ENG"));
    q.setParam(QStringLiteral("ID_ENG"), idEng);
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    return SheetFromRow(q);
}

TRegulLines TRegulStore::Lines(qint64 idEng)
{
    // The labels are joined by the line's kind: an order, a transfer, the
    // budget line's amending budget; a cancellation has its label only.
    db::Query& q = KeptStatement(m_lines, QStringLiteral(
        "SELECT D.NOLINE, D.ID_DETAIL, D.OBJET, D.MONTANT, M.NO_MDT, M.DATE_MDT, M.NATURE, F.DATE_BS, "
        "       (SELECT FIRST 1 V.DATE_VIR FROM VIREMENT V WHERE V.ID_VIR=D.ID_DETAIL) AS DATE_VIR "
        "FROM DET_ENG_REG D "
        "LEFT JOIN ENT_MDT M ON D.OBJET=:ORDER_LINE AND M.ID_MDT=D.ID_DETAIL "
        "LEFT JOIN FNM F ON D.OBJET=:AMENDING_LINE AND F.ID_FNM=D.ID_DETAIL "
        "WHERE D.ID_ENG=:ID_ENG ORDER BY D.NOLINE, D.OBJET, D.ID_DETAIL"));
    q.setParam(QStringLiteral("ORDER_LINE"), toDb(LineObject::PaymentOrder));
    q.setParam(QStringLiteral("AMENDING_LINE"), toDb(LineObject::AmendingBudget));
    q.setParam(QStringLiteral("ID_ENG"), idEng);
    q.open();
    TRegulLines lines;
    for (q.first(); !q.eof(); q.next()) {
        TRegulLine l;
        l.noLine = int(q.asInt(QStringLiteral("NOLINE")));
        l.idDetail = q.asInt(QStringLiteral("ID_DETAIL"));
        l.objet = fromDb<LineObject>(q.asInt(QStringLiteral("OBJET")));
        l.amount = q.asCurrency(QStringLiteral("MONTANT"));
        switch (l.objet) {
        case LineObject::PaymentOrder:
            l.noDet = q.asString(QStringLiteral("NO_MDT")).trimmed();
            l.dateDet = q.asDate(QStringLiteral("DATE_MDT"));
            l.libDet = q.asString(QStringLiteral("NATURE"));
            break;
        case LineObject::Transfer:
            l.noDet = QString::number(l.idDetail);
            l.dateDet = q.asDate(QStringLiteral("DATE_VIR"));
            l.libDet = QStringLiteral("VIREMENT");
            break;
        case LineObject::AmendingBudget:
            l.noDet = QString::number(l.idDetail);
            l.dateDet = q.asDate(QStringLiteral("DATE_BS"));
            l.libDet = QStringLiteral("MODIFICATIF");
            break;
        case LineObject::Cancellation:
            l.libDet = QStringLiteral("DESENGAGEMENT");
            break;
        default:
            break;
        }
        lines.append(l);
    }
    q.close();
    return lines;
}

QList<int> TRegulStore::Numbers(qint64 idFnm, qint64 exceptId)
{
    db::Query q(DM->LURDO, QStringLiteral("SELECT NO_ENG FROM ENT_ENG_REG WHERE ID_FNM=:ID_FNM AND ID_ENG<>:ID_ENG"));
    q.setParam(QStringLiteral("ID_FNM"), idFnm);
    q.setParam(QStringLiteral("ID_ENG"), exceptId);
    q.open();
    QList<int> numbers;
    for (q.first(); !q.eof(); q.next())
        numbers.append(NumberValue(q.asString(QStringLiteral("NO_ENG"))));
    return numbers;
}

bool TRegulStore::NumberTaken(qint64 idFnm, const QString& number, qint64 exceptId)
{
    const int wanted = NumberValue(number);
    return wanted >= 0 && idFnm >= 0 && Numbers(idFnm, exceptId).contains(wanted);
}

QString TRegulStore::NextNumber(qint64 idFnm)
{
    const QList<int> numbers = Numbers(idFnm);
    const int highest = numbers.isEmpty() ? 0 : *std::max_element(numbers.begin(), numbers.end());
    // "0001" is never given: the series starts after the primitive budget.
    return Padded(std::max(2, highest + 1));
}

bool TRegulStore::IsLastNumber(qint64 idFnm, const QString& number)
{
    const int n = NumberValue(number);
    if (number.trimmed().isEmpty() || n < 0)
        return true;
    const QList<int> numbers = Numbers(idFnm);
    return std::none_of(numbers.begin(), numbers.end(), [n](int other) { return other > n; });
}

qint64 TRegulStore::Find(const QString& chap, const QString& art, const QString& par, const QString& number)
{
    db::Query q(DM->LURDO, QStringLiteral("SELECT R.ID_ENG, R.NO_ENG FROM FNM F JOIN ENT_ENG_REG R ON R.ID_FNM=F.ID_FNM "
                                          "WHERE F.CHAP=:CHAP AND COALESCE(F.ART, '')=:ART AND "
                                          "COALESCE(F.PAR, '')=:PAR ORDER BY R.ID_ENG"));
    q.setParam(QStringLiteral("CHAP"), chap);
    q.setParam(QStringLiteral("ART"), art);
    q.setParam(QStringLiteral("PAR"), par);
    q.open();
    const int wanted = NumberValue(number);
    for (q.first(); !q.eof(); q.next())
        if (wanted >= 0 && NumberValue(q.asString(QStringLiteral("NO_ENG"))) == wanted)
            return q.asInt(QStringLiteral("ID_ENG"));
    return -1;
}

QList<TRegulExpense> TRegulStore::OrderExpenses(qint64 idEng)
{
    db::Query q(DM->LURDO, QStringLiteral(
        "SELECT E.TYPE_DEPENSE, E.ID_BEN, E.NO_DEPENSE, E.DATE_DEPENSE, B.NOM, F.INTITULE "
        "FROM DET_ENG_REG R JOIN DET_MDT D ON D.ID_MDT=R.ID_DETAIL "
        "JOIN DEPENSE E ON E.ID_DEPENSE=D.ID_DETAIL "
        "LEFT JOIN BENEF B ON B.ID_BEN=E.ID_BEN LEFT JOIN FNM F ON F.ID_FNM=E.ID_FNM "
        "WHERE R.ID_ENG=:ID_ENG AND R.OBJET=:OBJET ORDER BY R.NOLINE, D.NOLINE"));
    q.setParam(QStringLiteral("ID_ENG"), idEng);
    q.setParam(QStringLiteral("OBJET"), toDb(LineObject::PaymentOrder));
    q.open();
    QList<TRegulExpense> list;
    for (q.first(); !q.eof(); q.next()) {
        TRegulExpense e;
        e.kind = fromDb<ExpenseKind>(q.asInt(QStringLiteral("TYPE_DEPENSE")));
        e.idBen = q.isNull(QStringLiteral("ID_BEN")) ? -1 : q.asInt(QStringLiteral("ID_BEN"));
        e.benName = q.asString(QStringLiteral("NOM")).trimmed();
        e.noDepense = q.asString(QStringLiteral("NO_DEPENSE")).trimmed();
        e.dateDepense = q.asDate(QStringLiteral("DATE_DEPENSE"));
        e.lineTitle = q.asString(QStringLiteral("INTITULE")).trimmed();
        list.append(e);
    }
    return list;
}

namespace {

// The orders paying the line with their share of it: the lines of their
// expenses on the line (salary expenses to pay excepted, whose lines are in
// their imputation rows), and the imputation rows of their salary expenses on
// the line. Each expense line also weighs one line on the sheet. `oneOrder`
// keeps the order :ID_MDT only.
QString OfferedOrdersSql(bool oneOrder)
{
    const QString order = oneOrder ? QStringLiteral(" AND D.ID_MDT=:ID_MDT") : QString();
    return QStringLiteral(
               "SELECT M.ID_MDT, M.NO_MDT, M.DATE_MDT, M.NATURE, SUM(X.MT) AS MONTANT, SUM(X.W) AS WEIGHT "
               "FROM (SELECT D.ID_MDT, D.MONTANT AS MT, 1 AS W FROM DEPENSE E "
               "      JOIN DET_MDT D ON D.ID_DETAIL=E.ID_DEPENSE "
               "      WHERE E.ID_FNM=:ID_FNM AND E.TYPE_DEPENSE<>:SALARY")
           + order
           + QStringLiteral(
               "      UNION ALL "
               "      SELECT D.ID_MDT, S.MONTANT AS MT, 0 AS W FROM DET_SALAIRE S "
               "      JOIN DET_MDT D ON D.ID_DETAIL=S.ID_DEPENSE "
               "      WHERE S.TYPE_DET=:IMPUTATION AND S.ID_DETAIL=:ID_FNM")
           + order
           + QStringLiteral(
               ") X "
               "JOIN ENT_MDT M ON M.ID_MDT=X.ID_MDT "
               "GROUP BY M.ID_MDT, M.NO_MDT, M.DATE_MDT, M.NATURE ORDER BY M.NO_MDT, M.ID_MDT");
}

QList<TRegulOrder> ReadOrders(db::Query& q)
{
    q.open();
    QList<TRegulOrder> orders;
    orders.reserve(q.rowCount());
    for (q.first(); !q.eof(); q.next()) {
        TRegulOrder o;
        o.idMdt = q.asInt(QStringLiteral("ID_MDT"));
        o.noMdt = q.asString(QStringLiteral("NO_MDT")).trimmed();
        o.dateMdt = q.asDate(QStringLiteral("DATE_MDT"));
        o.nature = q.asString(QStringLiteral("NATURE"));
        o.amount = q.asCurrency(QStringLiteral("MONTANT"));
        o.weight = 1 + int(q.asInt(QStringLiteral("WEIGHT")));
        orders.append(o);
    }
    return orders;
}

} // namespace

QList<TRegulOrder> TRegulStore::OfferedOrders(qint64 idFnm)
{
    db::Query q(DM->LURDO, OfferedOrdersSql(false));
    q.setParam(QStringLiteral("ID_FNM"), idFnm);
    q.setParam(QStringLiteral("SALARY"), toDb(ExpenseKind::SalaryToPay));
    q.setParam(QStringLiteral("IMPUTATION"), toDb(SalaryLineType::Imputation));
    return ReadOrders(q);
}

std::optional<TRegulOrder> TRegulStore::OfferedOrder(qint64 idFnm, qint64 idMdt)
{
    db::Query q(DM->LURDO, OfferedOrdersSql(true));
    q.setParam(QStringLiteral("ID_FNM"), idFnm);
    q.setParam(QStringLiteral("SALARY"), toDb(ExpenseKind::SalaryToPay));
    q.setParam(QStringLiteral("ID_MDT"), idMdt);
    q.setParam(QStringLiteral("IMPUTATION"), toDb(SalaryLineType::Imputation));
    const QList<TRegulOrder> orders = ReadOrders(q);
    if (orders.isEmpty())
        return std::nullopt;
    return orders.first();
}

QSet<qint64> TRegulStore::OrdersOnOtherSheets(qint64 idFnm, qint64 exceptEng)
{
    db::Query q(DM->LURDO, QStringLiteral("SELECT D.ID_DETAIL FROM DET_ENG_REG D JOIN ENT_ENG_REG R ON R.ID_ENG=D.ID_ENG "
                                          "WHERE D.OBJET=:OBJET AND R.ID_FNM=:ID_FNM AND D.ID_ENG<>:ID_ENG"));
    q.setParam(QStringLiteral("OBJET"), toDb(LineObject::PaymentOrder));
    q.setParam(QStringLiteral("ID_FNM"), idFnm);
    q.setParam(QStringLiteral("ID_ENG"), exceptEng);
    q.open();
    return ReadKeySet(q);
}

QList<TCopyableSheet> TRegulStore::CopyableSheets(SheetOrigin origin, qint64 idFnm)
{
    QString sql = QStringLiteral("SELECT A.ID_ENG, A.NO_ENG, A.DATE_ENG, A.ID_FNM, A.MONTANT, A.DATE_VISA, A.OBJET, A.OBS, "
                                 "A.ID_ORIGINE, B.CHAP, B.ART, B.PAR FROM ENT_ENG A LEFT JOIN FNM B ON A.ID_FNM=B.ID_FNM "
                                 "WHERE A.ORIGINE=:ORIGINE");
    if (idFnm > 0)
        sql += QStringLiteral(" AND A.ID_FNM=:ID_FNM");
    sql += QStringLiteral(" ORDER BY B.CHAP, B.ART, B.PAR, A.NO_ENG");
    db::Query q(DM->LURDO, sql);
    q.setParam(QStringLiteral("ORIGINE"), toDb(origin));
    if (idFnm > 0)
        q.setParam(QStringLiteral("ID_FNM"), idFnm);
    q.open();
    QList<TCopyableSheet> list;
    for (q.first(); !q.eof(); q.next()) {
        TCopyableSheet s;
        s.idEng = q.asInt(QStringLiteral("ID_ENG"));
        s.number = q.asString(QStringLiteral("NO_ENG")).trimmed();
        s.date = q.asDate(QStringLiteral("DATE_ENG"));
        s.idFnm = q.isNull(QStringLiteral("ID_FNM")) ? -1 : q.asInt(QStringLiteral("ID_FNM"));
        s.amount = q.asCurrency(QStringLiteral("MONTANT"));
        s.visaDate = q.asDate(QStringLiteral("DATE_VISA"));
        s.objet = fromDb<SheetObject>(q.asInt(QStringLiteral("OBJET")));
        s.obs = q.asString(QStringLiteral("OBS"));
        s.origin = origin;
        s.idOrigine = q.isNull(QStringLiteral("ID_ORIGINE")) ? NoOriginRecord : q.asInt(QStringLiteral("ID_ORIGINE"));
        s.chap = q.asString(QStringLiteral("CHAP")).trimmed();
        s.art = q.asString(QStringLiteral("ART")).trimmed();
        s.par = q.asString(QStringLiteral("PAR")).trimmed();
        list.append(s);
    }
    return list;
}

int TRegulStore::SheetWeight(qint64 idEng, qint64 idFnm)
{
    db::Query q(DM->LURDO, QStringLiteral(
        "SELECT (SELECT COUNT(*) FROM DET_ENG_REG R WHERE R.ID_ENG=:ID_ENG AND R.OBJET=:OBJET) + "
        "       (SELECT COUNT(*) FROM DET_ENG_REG R JOIN DET_MDT D ON D.ID_MDT=R.ID_DETAIL "
        "        JOIN DEPENSE E ON E.ID_DEPENSE=D.ID_DETAIL "
        "        WHERE R.ID_ENG=:ID_ENG AND R.OBJET=:OBJET AND E.ID_FNM=:ID_FNM AND E.TYPE_DEPENSE<>:SALARY) AS W "
        "FROM RDB$DATABASE"));
    q.setParam(QStringLiteral("ID_ENG"), idEng);
    q.setParam(QStringLiteral("OBJET"), toDb(LineObject::PaymentOrder));
    q.setParam(QStringLiteral("ID_FNM"), idFnm);
    q.setParam(QStringLiteral("SALARY"), toDb(ExpenseKind::SalaryToPay));
    q.open();
    return int(q.asInt(QStringLiteral("W")));
}

// ---------------------------------------------------------------------------
// Writes

std::optional<TRegulSheet> TRegulStore::LockSheet(qint64 idEng)
{
    if (!LockRow(QStringLiteral("ENT_ENG_REG"), QStringLiteral("ID_ENG"), idEng))
        return std::nullopt;
    return Read(idEng);
}

void TRegulStore::LockLine(qint64 idFnm)
{
    // Two operations numbering sheets of one line run one after the other.
    if (idFnm > 0)
        LockRow(QStringLiteral("FNM"), QStringLiteral("ID_FNM"), idFnm);
}

void TRegulStore::RequireOpen(const std::optional<TRegulSheet>& sheet)
{
    if (!sheet)
        throw TRefusalError(QStringLiteral("Cette fiche n'existe plus !"));
    if (sheet->HasVisa())
        throw TRefusalError(QStringLiteral("Fiche visée, modification impossible !"));
}

qint64 TRegulStore::Insert(const TRegulSheet& entry)
{
    const qint64 id = DM->NextKey(QStringLiteral("GEN_ENGAGEMENT_ID"));
    db::Query q(DM->LURDO, QStringLiteral(
        "INSERT INTO ENT_ENG_REG (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, OBS, NO_VISA, DATE_VISA, OBJET, MONTANT, ORIGINE, "
        "ID_ORIGINE, STATUT, ID_USER, DATEC, DATEM ) VALUES(:ID_ENG, :NO_ENG, :DATE_ENG, :ID_FNM, :OBS, :NO_VISA, "
        ":DATE_VISA, :OBJET, :MONTANT, :ORIGINE, :ID_ORIGINE, :STATUT, :ID_USER, :DATEC, :DATEM)"));
    // No number, line, kind or amount until the sheet has lines.
    TSheetHeader header = entry;
    header.number = QString();
    header.idFnm = -1;
    header.amount = Currency();
    header.idOrigine = NoOriginRecord;
    header.statut = SheetInForce;
    BindNewSheetHeader(q, id, header, -1, QString());
    q.exec();
    return id;
}

void TRegulStore::Update(const TRegulSheet& entry)
{
    const std::optional<TRegulSheet> stored = LockSheet(entry.id);
    if (!stored)
        throw TRefusalError(QStringLiteral("Cette fiche n'existe plus !"));
    QString number = entry.number.trimmed();
    if (NumberValue(number) != NumberValue(stored->number) || number.isEmpty() != stored->number.isEmpty()) {
        LineNumbers numbers(*this, stored->idFnm);
        if (!NumberFree(numbers, number, entry.id))
            throw TRefusalError(QStringLiteral("Ce N° de Fiche existe déjà !"));
    }
    if (!number.isEmpty() && NumberValue(number) >= 0)
        number = Padded(NumberValue(number));
    db::Query q(DM->LURDO, QStringLiteral("UPDATE ENT_ENG_REG SET NO_ENG=:NO_ENG, OBS=:OBS, DATE_ENG=:DATE_ENG, "
                                          "NO_VISA=:NO_VISA, DATE_VISA=:DATE_VISA, ID_USER=:ID_USER, DATEM=:DATEM "
                                          "WHERE ID_ENG=:ID_ENG"));
    q.setParam(QStringLiteral("NO_ENG"), number);
    q.setParam(QStringLiteral("OBS"), entry.obs);
    q.setParam(QStringLiteral("DATE_ENG"), entry.date);
    q.setParam(QStringLiteral("NO_VISA"), entry.visaNumber.trimmed());
    q.setParam(QStringLiteral("DATE_VISA"), entry.visaDate);
    q.setParam(QStringLiteral("ID_USER"), CurrentUserCode);
    q.setParam(QStringLiteral("DATEM"), QDate::currentDate());
    q.setParam(QStringLiteral("ID_ENG"), entry.id);
    ExecOnRow(q);
    CarryVisa(entry.id, stored->visaNumber, stored->visaDate);
}

void TRegulStore::SetObservation(qint64 idEng, const QString& obs)
{
    db::Query q(DM->LURDO, QStringLiteral("UPDATE ENT_ENG_REG SET OBS=:OBS WHERE ID_ENG=:ID_ENG"));
    q.setParam(QStringLiteral("OBS"), obs);
    q.setParam(QStringLiteral("ID_ENG"), idEng);
    ExecOnRow(q);
}

void TRegulStore::CarryVisa(qint64 idEng, const QString& previousNumber, const QDate& previousDate)
{
    const std::optional<TRegulSheet> sheet = Read(idEng);
    if (!sheet || !sheet->HasVisa() || sheet->kind != SheetOrigin::PaymentOrders)
        return;
    // The ordinary sheets holding an expense of the sheet's orders, read in
    // one query from the sheet's lines; each then takes this sheet's visa when
    // it has none, or the one this sheet gave before; a sheet visaed
    // otherwise keeps its own.
    db::Query sheets(DM->LURDO, QStringLiteral(
        "SELECT DISTINCT L.ID_ENG FROM DET_ENG_REG R "
        "JOIN DET_MDT D ON D.ID_MDT=R.ID_DETAIL "
        "JOIN DET_ENG L ON L.ID_DETAIL=D.ID_DETAIL "
        "WHERE R.ID_ENG=:ID_ENG AND R.OBJET=:ORDER_LINE AND L.OBJET=:EXPENSE_LINE"));
    sheets.setParam(QStringLiteral("ID_ENG"), idEng);
    sheets.setParam(QStringLiteral("ORDER_LINE"), toDb(LineObject::PaymentOrder));
    sheets.setParam(QStringLiteral("EXPENSE_LINE"), toDb(LineObject::Expense));
    sheets.open();
    db::Query q(DM->LURDO, QStringLiteral(
        "UPDATE ENT_ENG SET NO_VISA=:NO_VISA, DATE_VISA=:DATE_VISA WHERE ID_ENG=:ID_ENG "
        "AND (TRIM(COALESCE(NO_VISA, ''))='' "
        "     OR (TRIM(NO_VISA)=:PREVIOUS AND DATE_VISA IS NOT DISTINCT FROM :PREVIOUS_DATE))"));
    for (sheets.first(); !sheets.eof(); sheets.next()) {
        q.setParam(QStringLiteral("NO_VISA"), sheet->visaNumber);
        q.setParam(QStringLiteral("DATE_VISA"), sheet->visaDate);
        q.setParam(QStringLiteral("ID_ENG"), sheets.asInt(QStringLiteral("ID_ENG")));
        q.setParam(QStringLiteral("PREVIOUS"), previousNumber.trimmed());
        q.setParam(QStringLiteral("PREVIOUS_DATE"), previousDate);
        q.exec();
    }
}

void TRegulStore::SyncAmount(qint64 idEng)
{
    db::Query q(DM->LURDO, QStringLiteral("UPDATE ENT_ENG_REG SET MONTANT=(SELECT COALESCE(SUM(D.MONTANT), 0) "
                                          "FROM DET_ENG_REG D WHERE D.ID_ENG=:ID_ENG) WHERE ID_ENG=:ID_ENG"));
    q.setParam(QStringLiteral("ID_ENG"), idEng);
    ExecOnRow(q);
}

void TRegulStore::AddOrder(qint64 idEng, qint64 idFnm, qint64 idMdt)
{
    const std::optional<TRegulSheet> sheet = LockSheet(idEng);
    RequireOpen(sheet);
    // A sheet's kind and line are fixed by its first line.
    if ((sheet->kind && *sheet->kind != SheetOrigin::PaymentOrders) || (sheet->idFnm > 0 && sheet->idFnm != idFnm))
        throw TRefusalError(QStringLiteral("Cette fiche ne régularise pas les mandats de cette imputation !"));
    LineNumbers numbers(*this, idFnm);
    numbers.Lock();
    // The order locked, then read again: its deletion (or a change of its
    // lines) by another user waits for this operation, or was stored before
    // and is seen here.
    if (!LockRow(QStringLiteral("ENT_MDT"), QStringLiteral("ID_MDT"), idMdt))
        throw TRefusalError(QStringLiteral("Ce mandat n'existe plus !"));
    const TRegulLines lines = Lines(idEng);
    if (std::any_of(lines.begin(), lines.end(), [&](const TRegulLine& l) { return l.idDetail == idMdt; }))
        throw TRefusalError(QStringLiteral("Le mandat est déjà sélectionné !"));
    if (OrdersOnOtherSheets(idFnm, idEng).contains(idMdt))
        throw TRefusalError(QStringLiteral("Ce mandat est déjà régularisé !"));
    const std::optional<TRegulOrder> order = OfferedOrder(idFnm, idMdt);
    if (!order)
        throw TRefusalError(QStringLiteral("Ce mandat ne paie aucune dépense de cette imputation !"));
    const int weight = SheetWeight(idEng, idFnm) + order->weight;
    if (MaxDocLines + 1 < weight)
        throw TRefusalError(QStringLiteral("La fiche d'engagement ne peut pas prendre plus de ") + QString::number(MaxDocLines)
                            + QStringLiteral(" de lignes !\rSélectionnées : ") + QString::number(weight));

    // After the highest number: the lines' numbers stay distinct even when
    // one is missing from the series.
    int last = 0;
    for (const TRegulLine& l : lines)
        last = std::max(last, l.noLine);
    db::Query ins(DM->LURDO, QStringLiteral("INSERT INTO DET_ENG_REG (ID_ENG, NOLINE, OBJET, ID_DETAIL, MONTANT) "
                                            "VALUES(:ID_ENG, :NOLINE, :OBJET, :ID_DETAIL, :MONTANT)"));
    ins.setParam(QStringLiteral("ID_ENG"), idEng);
    ins.setParam(QStringLiteral("NOLINE"), last + 1);
    ins.setParam(QStringLiteral("OBJET"), toDb(LineObject::PaymentOrder));
    ins.setParam(QStringLiteral("ID_DETAIL"), idMdt);
    ins.setParam(QStringLiteral("MONTANT"), order->amount);
    ins.exec();

    const QString number = TakeNumber(numbers, sheet->number, idEng, true).number;
    db::Query head(DM->LURDO, QStringLiteral("UPDATE ENT_ENG_REG SET NO_ENG=:NO_ENG, OBJET=:OBJET, ORIGINE=:ORIGINE, "
                                             "ID_FNM=:ID_FNM WHERE ID_ENG=:ID_ENG"));
    head.setParam(QStringLiteral("NO_ENG"), number);
    head.setParam(QStringLiteral("OBJET"), toDb(SheetObject::Expense));
    head.setParam(QStringLiteral("ORIGINE"), toDb(SheetOrigin::PaymentOrders));
    head.setParam(QStringLiteral("ID_FNM"), idFnm);
    head.setParam(QStringLiteral("ID_ENG"), idEng);
    ExecOnRow(head);
    SyncAmount(idEng);
}

void TRegulStore::RenumberOrders(qint64 idEng, const QList<qint64>& idMdts)
{
    db::Query q(DM->LURDO, QStringLiteral("UPDATE DET_ENG_REG SET NOLINE=:NOLINE WHERE ID_ENG=:ID_ENG AND "
                                          "OBJET=:OBJET AND ID_DETAIL=:ID_DETAIL"));
    int n = 0;
    for (qint64 id : idMdts) {
        q.setParam(QStringLiteral("NOLINE"), ++n);
        q.setParam(QStringLiteral("ID_ENG"), idEng);
        q.setParam(QStringLiteral("OBJET"), toDb(LineObject::PaymentOrder));
        q.setParam(QStringLiteral("ID_DETAIL"), id);
        q.exec();
    }
}

void TRegulStore::RemoveLine(qint64 idEng, LineObject objet, qint64 idDetail)
{
    RequireOpen(LockSheet(idEng));
    // The line is named by what it points to, which is on the sheet once:
    // never by its number, which two lines may share in older data.
    db::Query del(DM->LURDO, QStringLiteral("DELETE FROM DET_ENG_REG WHERE ID_ENG=:ID_ENG AND OBJET=:OBJET AND "
                                            "ID_DETAIL=:ID_DETAIL"));
    del.setParam(QStringLiteral("ID_ENG"), idEng);
    del.setParam(QStringLiteral("OBJET"), toDb(objet));
    del.setParam(QStringLiteral("ID_DETAIL"), idDetail);
    ExecOnRow(del);
    // The others numbered 1..n in their order, in this operation.
    const TRegulLines rest = Lines(idEng);
    db::Query renumber(DM->LURDO, QStringLiteral("UPDATE DET_ENG_REG SET NOLINE=:NEW WHERE ID_ENG=:ID_ENG AND "
                                                 "OBJET=:OBJET AND ID_DETAIL=:ID_DETAIL"));
    for (int i = 0; i < rest.size(); ++i) {
        if (rest[i].noLine == i + 1)
            continue;
        renumber.setParam(QStringLiteral("NEW"), i + 1);
        renumber.setParam(QStringLiteral("ID_ENG"), idEng);
        renumber.setParam(QStringLiteral("OBJET"), toDb(rest[i].objet));
        renumber.setParam(QStringLiteral("ID_DETAIL"), rest[i].idDetail);
        renumber.exec();
    }
    SyncAmount(idEng);
}

void TRegulStore::CopySheet(qint64 idEng, qint64 idCopied, SheetOrigin kind)
{
    const std::optional<TRegulSheet> sheet = LockSheet(idEng);
    RequireOpen(sheet);
    if (!Lines(idEng).isEmpty())
        throw TRefusalError(QStringLiteral("Cette fiche de régularisation a déjà sa fiche d'engagement !"));
    if (!LockRow(QStringLiteral("ENT_ENG"), QStringLiteral("ID_ENG"), idCopied))
        throw TRefusalError(QStringLiteral("Cette fiche n'existe plus !"));
    db::Query c(DM->LURDO, QStringLiteral("SELECT A.ID_FNM, A.MONTANT, A.OBJET, A.OBS, A.ORIGINE, A.ID_ORIGINE, B.CHAP "
                                          "FROM ENT_ENG A LEFT JOIN FNM B ON B.ID_FNM=A.ID_FNM WHERE A.ID_ENG=:ID_ENG"));
    c.setParam(QStringLiteral("ID_ENG"), idCopied);
    c.open();
    if (c.isEmpty() || fromDb<SheetOrigin>(c.asString(QStringLiteral("ORIGINE"))) != kind)
        throw TRefusalError(QStringLiteral("Cette fiche n'existe plus !"));
    const qint64 idFnm = c.isNull(QStringLiteral("ID_FNM")) ? -1 : c.asInt(QStringLiteral("ID_FNM"));
    const qint64 idOrigine = c.asInt(QStringLiteral("ID_ORIGINE"));
    const Currency amount = c.asCurrency(QStringLiteral("MONTANT"));
    const SheetObject objet = fromDb<SheetObject>(c.asInt(QStringLiteral("OBJET")));
    QString obs = c.asString(QStringLiteral("OBS"));
    const QString chap = c.asString(QStringLiteral("CHAP")).trimmed();
    c.close();

    // Copied once on its line: the same origin on a sheet of that line.
    LineNumbers numbers(*this, idFnm);
    numbers.Lock();
    db::Query done(DM->LURDO, QStringLiteral("SELECT FIRST 1 D.ID_ENG FROM DET_ENG_REG D JOIN ENT_ENG_REG R ON "
                                             "R.ID_ENG=D.ID_ENG WHERE D.OBJET=:OBJET AND D.ID_DETAIL=:ID_DETAIL AND "
                                             "R.ID_FNM=:ID_FNM AND D.ID_ENG<>:ID_ENG"));
    done.setParam(QStringLiteral("OBJET"), toDb(LineObject(int(kind))));
    done.setParam(QStringLiteral("ID_DETAIL"), idOrigine);
    done.setParam(QStringLiteral("ID_FNM"), idFnm);
    done.setParam(QStringLiteral("ID_ENG"), idEng);
    done.open();
    if (!done.isEmpty())
        throw TRefusalError(QStringLiteral("Cette fiche est déjà régularisée !"));

    // A number typed before the line was known is kept when it is free there.
    const QString number = TakeNumber(numbers, sheet->number, idEng, true).number;

    if (obs.trimmed().isEmpty()) {
        QString column;
        switch (kind) {
        case SheetOrigin::AmendingBudget: column = QStringLiteral("OBS_BS"); break;
        default:
            column = objet != SheetObject::Expense ? QStringLiteral("OBS_VIR_E") : QStringLiteral("OBS_VIR_D");
            break;
        }
        obs = DM->Queries().GetServiceObservation(column, chap);
    }

    db::Query head(DM->LURDO, QStringLiteral("UPDATE ENT_ENG_REG SET NO_ENG=:NO_ENG, MONTANT=:MONTANT, OBJET=:OBJET, "
                                             "ID_ENG_REG=:ID_ENG_REG, ID_FNM=:ID_FNM, ORIGINE=:ORIGINE, "
                                             "ID_ORIGINE=:ID_ORIGINE, OBS=:OBS WHERE ID_ENG=:ID_ENG"));
    head.setParam(QStringLiteral("NO_ENG"), number);
    head.setParam(QStringLiteral("MONTANT"), amount);
    head.setParam(QStringLiteral("OBJET"), toDb(objet));
    head.setParam(QStringLiteral("ID_ENG_REG"), idCopied);
    head.setParam(QStringLiteral("ID_FNM"), idFnm);
    head.setParam(QStringLiteral("ORIGINE"), toDb(kind));
    head.setParam(QStringLiteral("ID_ORIGINE"), idOrigine);
    head.setParam(QStringLiteral("OBS"), obs);
    head.setParam(QStringLiteral("ID_ENG"), idEng);
    ExecOnRow(head);

    db::Query line(DM->LURDO, QStringLiteral("INSERT INTO DET_ENG_REG (ID_ENG, NOLINE, OBJET, ID_DETAIL, MONTANT) "
                                             "VALUES(:ID_ENG, :NOLINE, :OBJET, :ID_DETAIL, :MONTANT)"));
    line.setParam(QStringLiteral("ID_ENG"), idEng);
    line.setParam(QStringLiteral("NOLINE"), 1);
    line.setParam(QStringLiteral("OBJET"), toDb(LineObject(int(kind))));
    line.setParam(QStringLiteral("ID_DETAIL"), idOrigine);
    line.setParam(QStringLiteral("MONTANT"), amount);
    line.exec();
}

void TRegulStore::Delete(qint64 idEng)
{
    const std::optional<TRegulSheet> sheet = LockSheet(idEng);
    if (!sheet)
        return;
    if (sheet->HasVisa())
        throw TRefusalError(QStringLiteral("Fiche visée, suppression impossible !"));
    LockLine(sheet->idFnm);
    if (sheet->idFnm > 0 && !IsLastNumber(sheet->idFnm, sheet->number))
        throw TRefusalError(QStringLiteral("Seule la dernière fiche d'une imputation peut être supprimée !"));
    for (const QString& sql : {QStringLiteral("DELETE FROM DET_ENG_REG WHERE ID_ENG=:ID_ENG"),
                               QStringLiteral("DELETE FROM ENT_ENG_REG WHERE ID_ENG=:ID_ENG")}) {
        db::Query q(DM->LURDO, sql);
        q.setParam(QStringLiteral("ID_ENG"), idEng);
        q.exec();
    }
}

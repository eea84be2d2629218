#include "expenditure/ExpenseStore.h"

#include "core/GlobalState.h"
#include "core/Refusal.h"
#include "core/Routines.h"
#include "data/KeptStatement.h"
#include "data/ShownRow.h"
#include "data/UDM.h"
#include "db/Database.h"

#include <functional>

namespace {

// NO_ORD is a SMALLINT.
constexpr int MaxOrderNumber = 32767;

db::Value OptionalDate(const QDate& d)
{
    return d.isValid() ? db::Value(d) : db::Value();
}

db::Value OptionalCode(const std::optional<PaymentType>& code)
{
    return code ? toDbValue(*code) : db::Value();
}

db::Value OptionalAmount(const std::optional<Currency>& amount)
{
    return amount ? db::Value(*amount) : db::Value();
}

QString Trimmed(const db::Query& q, const char* column)
{
    return q.asString(QLatin1String(column)).trimmed();
}

} // namespace

namespace {

// The expense of a row read by column name (a query's current row or a
// model's row).
template <class Row>
TExpense ExpenseOf(const Row& q)
{
    TExpense e;
    e.id = q.asInt(QStringLiteral("ID_DEPENSE"));
    e.kind = fromDb<ExpenseKind>(q.asInt(QStringLiteral("TYPE_DEPENSE")));
    e.number = q.asString(QStringLiteral("NO_DEPENSE"));
    e.date = q.asDate(QStringLiteral("DATE_DEPENSE"));
    e.idBen = q.isNull(QStringLiteral("ID_BEN")) ? -1 : q.asInt(QStringLiteral("ID_BEN"));
    e.objet = q.asString(QStringLiteral("OBJET"));
    if (!q.isNull(QStringLiteral("REMBOURS")))
        e.rembours = fromDb<PaymentType>(q.asInt(QStringLiteral("REMBOURS")));
    else
        e.rembours = std::nullopt;
    e.idFnm = q.isNull(QStringLiteral("ID_FNM")) ? -1 : q.asInt(QStringLiteral("ID_FNM"));
    e.amount = q.asCurrency(QStringLiteral("MONTANT"));
    e.missionStart = q.asDate(QStringLiteral("DATED_MISSION"));
    e.missionEnd = q.asDate(QStringLiteral("DATEF_MISSION"));
    e.regimeGen = q.asCurrency(QStringLiteral("REGIME_GEN"));
    e.assChomage = q.asCurrency(QStringLiteral("ASS_CHOMAGE"));
    e.retraiteAnt = q.asCurrency(QStringLiteral("RETRAITE_ANT"));
    return e;
}

} // namespace

TExpense ExpenseOfRow(const db::Query& row)
{
    return ExpenseOf(row);
}

TExpense ExpenseOfRow(const QueryRow& row)
{
    return ExpenseOf(row);
}

TExpenseStore::TExpenseStore() = default;
TExpenseStore::~TExpenseStore() = default;

TListingRows TExpenseStore::ReadExpenses(ExpenseKind kind)
{
    db::Query& q = KeptStatement(
        m_expenses, QStringLiteral("SELECT D.*, D.RDB$RECORD_VERSION AS ROW_VERSION FROM DEPENSE D "
                                   "WHERE TYPE_DEPENSE=:TYPE_DEPENSE ORDER BY DATE_DEPENSE"));
    q.setParam(QStringLiteral("TYPE_DEPENSE"), toDb(kind));
    return ReadListingRows(q);
}

TShownRow TExpenseStore::ShownRowOf(const QueryRow& row)
{
    return TShownRow{QStringLiteral("DEPENSE"), QStringLiteral("ID_DEPENSE"), row.asInt(QStringLiteral("ID_DEPENSE")),
                     row.asInt(QStringLiteral("ROW_VERSION"))};
}

TListingRows TExpenseStore::ReadExpenseRow(qint64 id)
{
    db::Query& q = KeptStatement(m_expense, QStringLiteral("SELECT D.*, D.RDB$RECORD_VERSION AS ROW_VERSION FROM DEPENSE D "
                                                           "WHERE ID_DEPENSE=:ID_DEPENSE"));
    q.setParam(QStringLiteral("ID_DEPENSE"), id);
    return ReadListingRows(q);
}

QString TExpenseStore::PaymentOrderNumberOf(qint64 idDepense)
{
    // Joined from the expense's lines (indexed), not by a subquery per order
    // header, so that it stays fast on a full year; the first order by key.
    db::Query& q = KeptStatement(m_order, QStringLiteral("SELECT FIRST 1 E.NO_MDT FROM DET_MDT D JOIN ENT_MDT E ON "
                                                         "E.ID_MDT=D.ID_MDT WHERE D.ID_DETAIL=:ID_DETAIL ORDER BY E.ID_MDT"));
    q.setParam(QStringLiteral("ID_DETAIL"), idDepense);
    q.open();
    const QString number = q.isEmpty() ? QString() : q.asString(QStringLiteral("NO_MDT")).trimmed();
    q.close();
    return number;
}

QString TExpenseStore::CommitmentNumberOf(qint64 idDepense)
{
    db::Query& q = KeptStatement(m_sheet, QStringLiteral("SELECT FIRST 1 E.NO_ENG FROM DET_ENG D JOIN ENT_ENG E ON "
                                                         "E.ID_ENG=D.ID_ENG WHERE D.ID_DETAIL=:ID_DETAIL AND "
                                                         "D.OBJET=:OBJET "
                                                         "ORDER BY E.ID_ENG"));
    q.setParam(QStringLiteral("ID_DETAIL"), idDepense);
    q.setParam(QStringLiteral("OBJET"), toDb(LineObject::Expense));
    q.open();
    const QString number = q.isEmpty() ? QString() : q.asString(QStringLiteral("NO_ENG")).trimmed();
    q.close();
    return number;
}

Currency TExpenseStore::BeneficiaryTotal(ExpenseKind kind, qint64 idBen)
{
    if (idBen < 0)
        return Currency();
    db::Query& q = KeptStatement(m_total, QStringLiteral("SELECT SUM(MONTANT) AS TOTAL FROM DEPENSE WHERE "
                                                         "TYPE_DEPENSE=:TYPE_DEPENSE AND       ID_BEN=:ID_BEN"));
    q.setParam(QStringLiteral("TYPE_DEPENSE"), toDb(kind));
    q.setParam(QStringLiteral("ID_BEN"), idBen);
    q.open();
    const Currency total = q.asCurrency(QStringLiteral("TOTAL"));
    q.close();
    return total;
}

bool TExpenseStore::NumberTaken(const QString& number, qint64 idBen, qint64 exceptId)
{
    db::Query& q = KeptStatement(m_taken, QStringLiteral("SELECT FIRST 1 ID_DEPENSE FROM DEPENSE WHERE ID_BEN=:ID_BEN "
                                                         "AND NO_DEPENSE=:NO_DEPENSE AND ID_DEPENSE<>:EXCEPT_ID"));
    q.setParam(QStringLiteral("ID_BEN"), idBen);
    q.setParam(QStringLiteral("NO_DEPENSE"), number);
    q.setParam(QStringLiteral("EXCEPT_ID"), exceptId);
    q.open();
    const bool taken = !q.isEmpty();
    q.close();
    return taken;
}

TExpenseHold TExpenseStore::Hold(qint64 idDepense)
{
    // Only expense lines are expenses; a cancelled sheet's lines count too.
    TExpenseHold hold;
    db::Query& s = KeptStatement(m_onSheet, QStringLiteral("SELECT FIRST 1 ID_ENG FROM DET_ENG "
                                                           "WHERE ID_DETAIL=:ID_DETAIL AND OBJET=:OBJET"));
    s.setParam(QStringLiteral("ID_DETAIL"), idDepense);
    s.setParam(QStringLiteral("OBJET"), toDb(LineObject::Expense));
    s.open();
    hold.onSheet = !s.isEmpty();
    s.close();
    db::Query& o = KeptStatement(m_onOrder, QStringLiteral("SELECT FIRST 1 ID_MDT FROM DET_MDT WHERE ID_DETAIL=:ID_DETAIL"));
    o.setParam(QStringLiteral("ID_DETAIL"), idDepense);
    o.open();
    hold.onOrder = !o.isEmpty();
    o.close();
    return hold;
}

std::optional<TExpense> TExpenseStore::ReadExpense(qint64 idDepense)
{
    db::Query& q = KeptStatement(m_one, QStringLiteral("SELECT * FROM DEPENSE WHERE ID_DEPENSE=:ID_DEPENSE"));
    q.setParam(QStringLiteral("ID_DEPENSE"), idDepense);
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    const TExpense stored = ExpenseOfRow(q);
    q.close();
    return stored;
}

std::optional<TExpense> TExpenseStore::LockExpense(qint64 idDepense)
{
    if (!LockRow(QStringLiteral("DEPENSE"), QStringLiteral("ID_DEPENSE"), idDepense))
        return std::nullopt;
    return ReadExpense(idDepense);
}

std::optional<TExpense> TExpenseStore::HeldChange(const TExpense& entry)
{
    // A salary expense to pay is worth its lines, which refuse a change themselves.
    if (entry.id <= 0 || entry.kind == ExpenseKind::SalaryToPay
        || DM->Queries().GetExpenseState(entry.id) == ExpenseState::Free)
        return std::nullopt;
    const std::optional<TExpense> found = ReadExpense(entry.id);
    if (!found)
        return std::nullopt;
    const TExpense& stored = *found;
    const bool mission = entry.kind == ExpenseKind::Mission;
    if (entry.amount != stored.amount || entry.idFnm != stored.idFnm
        || (mission
            && (entry.regimeGen != stored.regimeGen || entry.assChomage != stored.assChomage
                || entry.retraiteAnt != stored.retraiteAnt)))
        return stored;
    return std::nullopt;
}

int TExpenseStore::NextMissionNumber()
{
    db::Query q(DM->LURDO, QStringLiteral("SELECT MAX(NO_DEPENSE) AS NO_ORD  FROM DEPENSE WHERE TYPE_DEPENSE=:TYPE_DEPENSE"));
    q.setParam(QStringLiteral("TYPE_DEPENSE"), toDb(ExpenseKind::Mission));
    q.open();
    const QString text = q.asString(QStringLiteral("NO_ORD")).trimmed();
    if (!IsNumberText(text))
        return 1;
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok && n < MaxOrderNumber ? n + 1 : 1;
}

qint64 TExpenseStore::InsertExpense(const TExpense& e)
{
    const qint64 id = DM->NextKey(QStringLiteral("GEN_DEPENSE_ID"));
    const QDate today = QDate::currentDate();
    const bool mission = e.kind == ExpenseKind::Mission;
    db::Query& q = KeptStatement(m_insert, QStringLiteral(
        "INSERT INTO DEPENSE        (ID_DEPENSE, NO_DEPENSE, DATE_DEPENSE,        TYPE_DEPENSE, ID_BEN, OBJET, REMBOURS,"
        "        REGIME_GEN, ASS_CHOMAGE, RETRAITE_ANT,        DATED_MISSION, DATEF_MISSION,"
        "        ID_FNM, MONTANT, ID_USER, DATEC, DATEM ) VALUES(:ID_DEPENSE, :NO_DEPENSE, :DATE_DEPENSE,"
        "        :TYPE_DEPENSE, :ID_BEN, :OBJET, :REMBOURS,        :REGIME_GEN, :ASS_CHOMAGE, :RETRAITE_ANT,"
        "        :DATED_MISSION, :DATEF_MISSION,        :ID_FNM, :MONTANT, :ID_USER, :DATEC, :DATEM ) "));
    q.setParam(QStringLiteral("ID_DEPENSE"), id);
    q.setParam(QStringLiteral("NO_DEPENSE"), e.kind == ExpenseKind::Invoice ? e.number : QString::number(id));
    q.setParam(QStringLiteral("DATE_DEPENSE"), e.date);
    q.setParam(QStringLiteral("TYPE_DEPENSE"), toDb(e.kind));
    q.setParam(QStringLiteral("ID_BEN"), e.idBen);
    q.setParam(QStringLiteral("OBJET"), e.objet);
    q.setParam(QStringLiteral("REMBOURS"), OptionalCode(e.rembours));
    q.setParam(QStringLiteral("REGIME_GEN"), mission ? db::Value(e.regimeGen) : db::Value());
    q.setParam(QStringLiteral("ASS_CHOMAGE"), mission ? db::Value(e.assChomage) : db::Value());
    q.setParam(QStringLiteral("RETRAITE_ANT"), mission ? db::Value(e.retraiteAnt) : db::Value());
    q.setParam(QStringLiteral("DATED_MISSION"), mission ? OptionalDate(e.missionStart) : db::Value());
    q.setParam(QStringLiteral("DATEF_MISSION"), mission ? OptionalDate(e.missionEnd) : db::Value());
    q.setParam(QStringLiteral("ID_FNM"), e.idFnm < 0 ? db::Value() : db::Value(e.idFnm));
    q.setParam(QStringLiteral("MONTANT"), e.amount);
    q.setParam(QStringLiteral("ID_USER"), CurrentUserCode);
    q.setParam(QStringLiteral("DATEC"), today);
    q.setParam(QStringLiteral("DATEM"), today);
    q.exec();
    return id;
}

void TExpenseStore::UpdateExpense(const TExpense& e)
{
    if (e.kind == ExpenseKind::SalaryToPay) {
        // Its number stays, it has no budget line, and its amount is the sum of its lines.
        db::Query& q = KeptStatement(m_updateSalary, QStringLiteral(
            "UPDATE DEPENSE SET        DATE_DEPENSE=:DATE_DEPENSE,        ID_BEN=:ID_BEN, OBJET=:OBJET,"
            "        ID_USER=:ID_USER, DATEM=:DATEM WHERE ID_DEPENSE=:ID_DEPENSE"));
        q.setParam(QStringLiteral("ID_DEPENSE"), e.id);
        q.setParam(QStringLiteral("DATE_DEPENSE"), e.date);
        q.setParam(QStringLiteral("ID_BEN"), e.idBen);
        q.setParam(QStringLiteral("OBJET"), e.objet);
        q.setParam(QStringLiteral("ID_USER"), CurrentUserCode);
        q.setParam(QStringLiteral("DATEM"), QDate::currentDate());
        ExecOnRow(q);
        SyncSalaryAmount(e.id);
        return;
    }
    const bool mission = e.kind == ExpenseKind::Mission;
    db::Query& q = mission
        ? KeptStatement(m_updateMission, QStringLiteral(
              "UPDATE DEPENSE SET        NO_DEPENSE=:NO_DEPENSE,        DATE_DEPENSE=:DATE_DEPENSE,"
              "        ID_BEN=:ID_BEN, OBJET=:OBJET,        REMBOURS=:REMBOURS,"
              "        DATED_MISSION=:DATED_MISSION,        DATEF_MISSION=:DATEF_MISSION,"
              "        ID_FNM=:ID_FNM, MONTANT=:MONTANT,        REGIME_GEN=:REGIME_GEN,"
              "        ASS_CHOMAGE=:ASS_CHOMAGE,        RETRAITE_ANT=:RETRAITE_ANT,"
              "        ID_USER=:ID_USER, DATEM=:DATEM WHERE ID_DEPENSE=:ID_DEPENSE"))
        : KeptStatement(m_update, QStringLiteral(
              "UPDATE DEPENSE SET        NO_DEPENSE=:NO_DEPENSE,        DATE_DEPENSE=:DATE_DEPENSE,"
              "        ID_BEN=:ID_BEN, OBJET=:OBJET,        ID_FNM=:ID_FNM, MONTANT=:MONTANT,"
              "        ID_USER=:ID_USER, DATEM=:DATEM WHERE ID_DEPENSE=:ID_DEPENSE"));
    q.setParam(QStringLiteral("ID_DEPENSE"), e.id);
    q.setParam(QStringLiteral("NO_DEPENSE"), e.number);
    q.setParam(QStringLiteral("DATE_DEPENSE"), e.date);
    q.setParam(QStringLiteral("ID_BEN"), e.idBen);
    q.setParam(QStringLiteral("OBJET"), e.objet);
    q.setParam(QStringLiteral("ID_FNM"), e.idFnm < 0 ? db::Value() : db::Value(e.idFnm));
    q.setParam(QStringLiteral("MONTANT"), e.amount);
    q.setParam(QStringLiteral("ID_USER"), CurrentUserCode);
    q.setParam(QStringLiteral("DATEM"), QDate::currentDate());
    if (mission) {
        q.setParam(QStringLiteral("REMBOURS"), OptionalCode(e.rembours));
        q.setParam(QStringLiteral("DATED_MISSION"), OptionalDate(e.missionStart));
        q.setParam(QStringLiteral("DATEF_MISSION"), OptionalDate(e.missionEnd));
        q.setParam(QStringLiteral("REGIME_GEN"), e.regimeGen);
        q.setParam(QStringLiteral("ASS_CHOMAGE"), e.assChomage);
        q.setParam(QStringLiteral("RETRAITE_ANT"), e.retraiteAnt);
    }
    ExecOnRow(q);
}

TExpenseHold TExpenseStore::DeleteExpense(qint64 idDepense)
{
    // Locked, then read inside the deleting transaction: a document may have
    // taken the expense since it was shown, and none can take it now until the
    // deletion ends. One already gone leaves nothing to delete.
    if (!LockExpense(idDepense))
        return TExpenseHold();
    const TExpenseHold hold = Hold(idDepense);
    if (hold.Any())
        return hold;
    // A salary expense's detail lines go with it.
    for (auto [slot, sql] : {std::pair{&m_deleteDetail, "DELETE FROM DET_SALAIRE WHERE ID_DEPENSE=:ID_DEPENSE"},
                             std::pair{&m_delete, "DELETE FROM DEPENSE WHERE ID_DEPENSE=:ID_DEPENSE"}}) {
        db::Query& q = KeptStatement(*slot, QString::fromLatin1(sql));
        q.setParam(QStringLiteral("ID_DEPENSE"), idDepense);
        // The expense itself must still be there; it may have no lines.
        if (slot == &m_delete)
            ExecOnRow(q);
        else
            q.exec();
    }
    return hold;
}

// ---------------------------------------------------------------------------
// Salary lines

TSalaryLines TExpenseStore::SalaryLines(qint64 idDepense, SalaryLineType type)
{
    // Only the expense's own lines, through the index on ID_DEPENSE; the label
    // of an imputation is its budget line's, of a deduction its kind's.
    db::Query& q = KeptStatement(m_lines, QStringLiteral("SELECT S.ID_DET_SAL, S.ID_DETAIL, S.NO_ORD, S.MONTANT, "
                                                         "F.CHAP, F.ART, F.PAR, F.INTITULE, R.LIBELLE "
                                                         "FROM DET_SALAIRE S "
                                                         "LEFT JOIN FNM F ON S.TYPE_DET=:IMPUTATION AND F.ID_FNM=S.ID_DETAIL "
                                                         "LEFT JOIN FRET R ON S.TYPE_DET=:DEDUCTION AND R.ID_RETENUE=S.ID_DETAIL "
                                                         "WHERE S.ID_DEPENSE=:ID_DEPENSE AND S.TYPE_DET=:TYPE_DET "
                                                         "ORDER BY S.NO_ORD, S.ID_DET_SAL"));
    q.setParam(QStringLiteral("ID_DEPENSE"), idDepense);
    q.setParam(QStringLiteral("TYPE_DET"), toDb(type));
    q.setParam(QStringLiteral("IMPUTATION"), toDb(SalaryLineType::Imputation));
    q.setParam(QStringLiteral("DEDUCTION"), toDb(SalaryLineType::Deduction));
    q.open();
    TSalaryLines lines;
    lines.reserve(q.rowCount());
    for (q.first(); !q.eof(); q.next()) {
        TSalaryLine l;
        l.id = q.asInt(QStringLiteral("ID_DET_SAL"));
        l.idDepense = idDepense;
        l.type = type;
        l.idDetail = q.asInt(QStringLiteral("ID_DETAIL"));
        l.noOrd = int(q.asInt(QStringLiteral("NO_ORD")));
        if (!q.isNull(QStringLiteral("MONTANT")))
            l.amount = q.asCurrency(QStringLiteral("MONTANT"));
        l.chap = Trimmed(q, "CHAP");
        l.art = Trimmed(q, "ART");
        l.par = Trimmed(q, "PAR");
        l.intitule = Trimmed(q, "INTITULE");
        l.libelle = Trimmed(q, "LIBELLE");
        lines.append(l);
    }
    q.close();
    return lines;
}

TSalaryTotals TExpenseStore::SalaryTotals(qint64 idDepense)
{
    db::Query& q = KeptStatement(m_totals, QStringLiteral("SELECT TYPE_DET, SUM(MONTANT) AS TOT_DET FROM DET_SALAIRE "
                                                          "WHERE ID_DEPENSE=:ID_DEPENSE GROUP BY TYPE_DET"));
    q.setParam(QStringLiteral("ID_DEPENSE"), idDepense);
    q.open();
    TSalaryTotals totals;
    for (q.first(); !q.eof(); q.next()) {
        const SalaryLineType type = fromDb<SalaryLineType>(q.asInt(QStringLiteral("TYPE_DET")));
        if (type == SalaryLineType::Imputation)
            totals.gross = q.asCurrency(QStringLiteral("TOT_DET"));
        else if (type == SalaryLineType::Deduction)
            totals.deductions = q.asCurrency(QStringLiteral("TOT_DET"));
    }
    q.close();
    return totals;
}

bool TExpenseStore::SalaryDetailTaken(qint64 idDepense, SalaryLineType type, qint64 idDetail, qint64 exceptLine)
{
    db::Query& q = KeptStatement(m_lineTaken, QStringLiteral("SELECT FIRST 1 ID_DET_SAL FROM DET_SALAIRE "
                                                             "WHERE ID_DEPENSE=:ID_DEPENSE AND TYPE_DET=:TYPE_DET AND "
                                                             "ID_DETAIL=:ID_DETAIL AND ID_DET_SAL<>:ID_DET_SAL"));
    q.setParam(QStringLiteral("ID_DEPENSE"), idDepense);
    q.setParam(QStringLiteral("TYPE_DET"), toDb(type));
    q.setParam(QStringLiteral("ID_DETAIL"), idDetail);
    q.setParam(QStringLiteral("ID_DET_SAL"), exceptLine);
    q.open();
    const bool taken = !q.isEmpty();
    q.close();
    return taken;
}

int TExpenseStore::NextSalaryOrder(qint64 idDepense, SalaryLineType type)
{
    db::Query& q = KeptStatement(m_maxOrd, QStringLiteral("SELECT MAX(NO_ORD) AS NO_ORD FROM DET_SALAIRE "
                                                          "WHERE ID_DEPENSE=:ID_DEPENSE AND TYPE_DET=:TYPE_DET"));
    q.setParam(QStringLiteral("ID_DEPENSE"), idDepense);
    q.setParam(QStringLiteral("TYPE_DET"), toDb(type));
    q.open();
    const qint64 max = q.asInt(QStringLiteral("NO_ORD"));
    q.close();
    if (max + 10 > MaxOrderNumber)
        throw TRefusalError(QStringLiteral("Cette dépense a atteint le nombre maximal de lignes !"));
    return int(max + 10);
}

qint64 TExpenseStore::AddSalaryLine(const TSalaryLine& line)
{
    const int noOrd = NextSalaryOrder(line.idDepense, line.type);
    const qint64 id = DM->NextKey(QStringLiteral("GEN_DET_SAL_ID"));
    db::Query q(DM->LURDO, QStringLiteral("INSERT INTO DET_SALAIRE (ID_DET_SAL, ID_DEPENSE, ID_DETAIL, NO_ORD, TYPE_DET, "
                                          "MONTANT) VALUES (:ID_DET_SAL, :ID_DEPENSE, :ID_DETAIL, :NO_ORD, :TYPE_DET, "
                                          ":MONTANT)"));
    q.setParam(QStringLiteral("ID_DET_SAL"), id);
    q.setParam(QStringLiteral("ID_DEPENSE"), line.idDepense);
    q.setParam(QStringLiteral("ID_DETAIL"), line.idDetail);
    q.setParam(QStringLiteral("NO_ORD"), noOrd);
    q.setParam(QStringLiteral("TYPE_DET"), toDb(line.type));
    q.setParam(QStringLiteral("MONTANT"), OptionalAmount(line.amount));
    q.exec();
    SyncSalaryAmount(line.idDepense);
    return id;
}

void TExpenseStore::UpdateSalaryLine(const TSalaryLine& line)
{
    db::Query q(DM->LURDO, QStringLiteral("UPDATE DET_SALAIRE SET ID_DETAIL=:ID_DETAIL, MONTANT=:MONTANT "
                                          "WHERE ID_DET_SAL=:ID_DET_SAL AND ID_DEPENSE=:ID_DEPENSE"));
    q.setParam(QStringLiteral("ID_DETAIL"), line.idDetail);
    q.setParam(QStringLiteral("MONTANT"), OptionalAmount(line.amount));
    q.setParam(QStringLiteral("ID_DET_SAL"), line.id);
    q.setParam(QStringLiteral("ID_DEPENSE"), line.idDepense);
    ExecOnRow(q);
    SyncSalaryAmount(line.idDepense);
}

void TExpenseStore::DeleteSalaryLine(qint64 idDepense, qint64 idLine)
{
    db::Query q(DM->LURDO, QStringLiteral("DELETE FROM DET_SALAIRE WHERE ID_DET_SAL=:ID_DET_SAL AND "
                                          "ID_DEPENSE=:ID_DEPENSE"));
    q.setParam(QStringLiteral("ID_DET_SAL"), idLine);
    q.setParam(QStringLiteral("ID_DEPENSE"), idDepense);
    ExecOnRow(q);
    SyncSalaryAmount(idDepense);
}

Currency TExpenseStore::SyncSalaryAmount(qint64 idDepense)
{
    const Currency gross = SalaryTotals(idDepense).gross;
    db::Query& q = KeptStatement(m_sync, QStringLiteral("UPDATE DEPENSE SET MONTANT=:MONTANT,        ID_USER=:ID_USER, "
                                                        "DATEM=:DATEM WHERE ID_DEPENSE=:ID_DEPENSE"));
    q.setParam(QStringLiteral("MONTANT"), gross);
    q.setParam(QStringLiteral("ID_USER"), CurrentUserCode);
    q.setParam(QStringLiteral("DATEM"), QDate::currentDate());
    q.setParam(QStringLiteral("ID_DEPENSE"), idDepense);
    ExecOnRow(q);
    return gross;
}

// ---------------------------------------------------------------------------
// TExpenseLookups

TExpenseLookups::TExpenseLookups(QString fnmSql, QString benSql)
    : m_fnmSql(std::move(fnmSql)), m_benSql(std::move(benSql))
{
}

void TExpenseLookups::Reload()
{
    Clear();
    db::Query qFNM(DM->LURDO, m_fnmSql);
    qFNM.open();
    for (qFNM.first(); !qFNM.eof(); qFNM.next())
        m_lines.insert(qFNM.asInt(QStringLiteral("ID_FNM")),
                       BudgetLine{qFNM.asString(QStringLiteral("CHAP")), qFNM.asString(QStringLiteral("ART")),
                                  qFNM.asString(QStringLiteral("PAR")), qFNM.asString(QStringLiteral("INTITULE"))});
    db::Query qBen(DM->LURDO, m_benSql);
    qBen.open();
    for (qBen.first(); !qBen.eof(); qBen.next())
        m_names.insert(qBen.asInt(QStringLiteral("ID_BEN")), qBen.asString(QStringLiteral("NOM")));
}

void TExpenseLookups::Refresh(qint64 idFnm, qint64 idBen)
{
    db::Query qFNM(DM->LURDO, QStringLiteral("SELECT ID_FNM, CHAP, ART, PAR, INTITULE FROM FNM WHERE ID_FNM=:ID"));
    qFNM.setParam(QStringLiteral("ID"), idFnm);
    qFNM.open();
    if (!qFNM.isEmpty())
        m_lines.insert(idFnm, BudgetLine{qFNM.asString(QStringLiteral("CHAP")), qFNM.asString(QStringLiteral("ART")),
                                         qFNM.asString(QStringLiteral("PAR")), qFNM.asString(QStringLiteral("INTITULE"))});
    db::Query qBen(DM->LURDO, QStringLiteral("SELECT ID_BEN, NOM FROM BENEF WHERE ID_BEN=:ID"));
    qBen.setParam(QStringLiteral("ID"), idBen);
    qBen.open();
    if (!qBen.isEmpty())
        m_names.insert(idBen, qBen.asString(QStringLiteral("NOM")));
}

void TExpenseLookups::Clear()
{
    m_lines.clear();
    m_names.clear();
}

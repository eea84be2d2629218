#include "expenditure/ExpenseStore.h"

#include "core/GlobalState.h"
#include "data/KeptStatement.h"
#include "data/UDM.h"
#include "db/Database.h"

TExpenseStore::TExpenseStore() = default;
TExpenseStore::~TExpenseStore() = default;

db::Query& TExpenseStore::ReadExpenses(int kind)
{
    db::Query& q = KeptStatement(
        m_expenses, QStringLiteral("SELECT * FROM DEPENSE WHERE TYPE_DEPENSE=:TYPE_DEPENSE ORDER BY DATE_DEPENSE"));
    q.close();
    q.setParam(QStringLiteral("TYPE_DEPENSE"), kind);
    q.open();
    return q;
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
                                                         "E.ID_ENG=D.ID_ENG WHERE D.ID_DETAIL=:ID_DETAIL AND D.OBJET=0 "
                                                         "ORDER BY E.ID_ENG"));
    q.setParam(QStringLiteral("ID_DETAIL"), idDepense);
    q.open();
    const QString number = q.isEmpty() ? QString() : q.asString(QStringLiteral("NO_ENG")).trimmed();
    q.close();
    return number;
}

Currency TExpenseStore::BeneficiaryTotal(int kind, qint64 idBen)
{
    if (idBen < 0)
        return Currency();
    db::Query& q = KeptStatement(m_total, QStringLiteral("SELECT SUM(MONTANT) AS TOTAL FROM DEPENSE WHERE "
                                                         "TYPE_DEPENSE=:TYPE_DEPENSE AND       ID_BEN=:ID_BEN"));
    q.setParam(QStringLiteral("TYPE_DEPENSE"), kind);
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

qint64 TExpenseStore::InsertExpense(const TExpense& e)
{
    const qint64 id = DM->NextKey(QStringLiteral("GEN_DEPENSE_ID"));
    const QDate today = QDate::currentDate();
    db::Query& q = KeptStatement(m_insert, QStringLiteral(
        "INSERT INTO DEPENSE        (ID_DEPENSE, NO_DEPENSE, DATE_DEPENSE,        TYPE_DEPENSE, ID_BEN, OBJET, REMBOURS,"
        "        ID_FNM, MONTANT, ID_USER, DATEC, DATEM ) VALUES(:ID_DEPENSE, :NO_DEPENSE, :DATE_DEPENSE,"
        "        :TYPE_DEPENSE, :ID_BEN, :OBJET, :REMBOURS,        :ID_FNM, :MONTANT, :ID_USER, :DATEC, :DATEM ) "));
    q.setParam(QStringLiteral("ID_DEPENSE"), id);
    q.setParam(QStringLiteral("NO_DEPENSE"), e.number);
    q.setParam(QStringLiteral("DATE_DEPENSE"), e.date);
    q.setParam(QStringLiteral("TYPE_DEPENSE"), e.kind);
    q.setParam(QStringLiteral("ID_BEN"), e.idBen);
    q.setParam(QStringLiteral("OBJET"), e.objet);
    q.setParam(QStringLiteral("REMBOURS"), e.rembours);
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
    db::Query& q = KeptStatement(m_update, QStringLiteral(
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
    q.exec();
}

void TExpenseStore::DeleteExpense(qint64 idDepense)
{
    // A salary expense's detail lines go with it.
    for (auto [slot, sql] : {std::pair{&m_deleteDetail, "DELETE FROM DET_SALAIRE WHERE ID_DEPENSE=:ID_DEPENSE"},
                             std::pair{&m_delete, "DELETE FROM DEPENSE WHERE ID_DEPENSE=:ID_DEPENSE"}}) {
        db::Query& q = KeptStatement(*slot, QString::fromLatin1(sql));
        q.setParam(QStringLiteral("ID_DEPENSE"), idDepense);
        q.exec();
    }
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

void TExpenseLookups::Clear()
{
    m_lines.clear();
    m_names.clear();
}

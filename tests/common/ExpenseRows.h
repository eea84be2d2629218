#pragma once
// Rows the expenditure and commitment tests start from, written straight into
// the year's database and committed: beneficiaries, budget lines with their
// credit, expenses of every kind, a salary expense's imputations.

#include "data/Codes.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"
#include "db/Database.h"

#include <QDate>
#include <QString>

namespace rows {

// One user operation: its statements committed together, or none of them.
template <typename F>
void Write(F statements)
{
    TWriteGuard write;
    statements();
    write.Commit();
}

inline Currency Money(const char* text) { return *Currency::parse(QString::fromUtf8(text)); }

inline qint64 Scalar(const QString& sql, const QList<QPair<QString, db::Value>>& params = {})
{
    db::Query q(DM->LURDO, sql);
    for (const auto& p : params)
        q.setParam(p.first, p.second);
    q.open();
    return q.isEmpty() ? -1 : db::toInt(q.at(0, 0));
}

inline void Exec(const QString& sql, const QList<QPair<QString, db::Value>>& params = {})
{
    db::Query q(DM->LURDO, sql);
    for (const auto& p : params)
        q.setParam(p.first, p.second);
    q.exec();
}

// A user of the user form (a year in use always has one).
inline void User(const QString& code)
{
    Write([&] {
        Exec(QStringLiteral("INSERT INTO T_USERS (USER_ID, PW, ACCESS, NOM) VALUES (:C, 'x', 1, :C)"), {{"C", code}});
    });
}

// `grade`: SERVICE_GRADE, a supplier's ServiceKind or an employee's grade key.
inline qint64 Beneficiary(const QString& name, BeneficiaryType type = BeneficiaryType::Supplier,
                          int grade = toDb(ServiceKind::Supply))
{
    Exec(QStringLiteral("INSERT INTO BENEF (TYPE_BEN, SERVICE_GRADE, NOM, ID_BANQUE) VALUES (:T, :G, :N, 1)"),
         {{"T", toDbValue(type)}, {"G", qint64(grade)}, {"N", name}});
    const qint64 id = Scalar(QStringLiteral("SELECT MAX(ID_BEN) FROM BENEF"));
    DM->CommitWork();
    return id;
}

// A budget line whose primitive budget (undated, so counted at every date) is `credit`.
inline qint64 BudgetLine(const QString& chap, const QString& art, const QString& par, const QString& title,
                         Currency credit = Currency())
{
    Exec(QStringLiteral("INSERT INTO FNM (CHAP, ART, PAR, INTITULE, RECTORAT, SECTION, MT_BP, MT_REGIE, MT_BS) "
                        "VALUES (:C, :A, :P, :T, 0, 2, :BP, 0, 0)"),
         {{"C", chap}, {"A", art}, {"P", par}, {"T", title}, {"BP", credit}});
    const qint64 id = Scalar(QStringLiteral("SELECT MAX(ID_FNM) FROM FNM"));
    DM->CommitWork();
    return id;
}

// An expense of `kind`, paid (REMBOURS) as a payment.
inline qint64 Expense(ExpenseKind kind, qint64 idFnm, qint64 idBen, Currency amount, const QString& number = QString(),
                      const QDate& date = QDate(2024, 3, 1), const QString& object = QString())
{
    const qint64 id = DM->NextGeneratorValue(QStringLiteral("GEN_DEPENSE_ID"));
    Exec(QStringLiteral("INSERT INTO DEPENSE (ID_DEPENSE, TYPE_DEPENSE, NO_DEPENSE, DATE_DEPENSE, ID_FNM, ID_BEN, "
                        "MONTANT, OBJET, REMBOURS) VALUES (:ID, :K, :NO, :D, :F, :B, :M, :O, :R)"),
         {{"ID", id},
          {"K", toDbValue(kind)},
          {"R", toDbValue(PaymentType::Payment)},
          {"NO", number.isEmpty() ? QString::number(id) : number},
          {"D", date},
          {"F", idFnm > 0 ? db::Value(idFnm) : db::Value()},
          {"B", idBen},
          {"M", amount},
          {"O", object}});
    DM->CommitWork();
    return id;
}

// One imputation of a salary expense to pay.
inline void Imputation(qint64 idDepense, qint64 idFnm, Currency amount)
{
    const qint64 id = DM->NextGeneratorValue(QStringLiteral("GEN_DET_SAL_ID"));
    Exec(QStringLiteral("INSERT INTO DET_SALAIRE (ID_DET_SAL, ID_DEPENSE, ID_DETAIL, NO_ORD, TYPE_DET, MONTANT) "
                        "VALUES (:ID, :DEP, :F, :N, :T, :M)"),
         {{"ID", id}, {"DEP", idDepense}, {"F", idFnm}, {"N", id}, {"T", toDbValue(SalaryLineType::Imputation)},
          {"M", amount}});
    DM->CommitWork();
}

// A paid payment order `id` numbered `id` on four digits, dated `date`, one
// line per expense paying the expense's amount, its total their sum.
inline void PaymentOrder(qint64 id, const QList<qint64>& expenses, const QDate& date = QDate(2024, 3, 5),
                         const QString& nature = QString())
{
    Write([&] {
        Exec(QStringLiteral("INSERT INTO ENT_MDT (ID_MDT, NO_MDT, DATE_MDT, NATURE, STATUT, MONTANT) "
                            "VALUES (:ID, :NO, :D, :N, :S, 0)"),
             {{"ID", id},
              {"NO", QStringLiteral("%1").arg(id, 4, 10, QLatin1Char('0'))},
              {"D", date},
              {"N", nature},
              {"S", toDbValue(OrderStatus::Paid)}});
        qint64 line = 1;
        for (qint64 e : expenses)
            Exec(QStringLiteral("INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) "
                                "SELECT :ID, :L, ID_DEPENSE, MONTANT FROM DEPENSE WHERE ID_DEPENSE=:E"),
                 {{"ID", id}, {"L", line++}, {"E", e}});
        Exec(QStringLiteral("UPDATE ENT_MDT SET MONTANT=(SELECT SUM(MONTANT) FROM DET_MDT WHERE ID_MDT=:ID) "
                            "WHERE ID_MDT=:ID"),
             {{"ID", id}});
    });
}

} // namespace rows

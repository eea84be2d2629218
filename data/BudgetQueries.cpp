#include "data/BudgetQueries.h"

#include "core/Routines.h"

namespace {

// Runs a statement that returns at most one row and reads one column of it:
// no row or NULL gives 0. The statement stays prepared.
Currency sumOf(db::Query& query, const QString& column)
{
    query.open();
    const Currency value = query.asCurrency(column);
    query.close();
    return value;
}

int nextNumber(db::Query& q, qint64 idFnm)
{
    q.setParam(QStringLiteral("ID_FNM"), idFnm);
    q.open();
    const QString text = q.asString(QStringLiteral("NOFE")); // no row or NULL: empty
    q.close();
    if (!IsNumberText(text))
        return 1;
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return (ok ? n : int(text.trimmed().toDouble())) + 1;
}

// The line's last sheet number is its largest one: sheet numbers are compared
// as text, and the ordered list's last row is its maximum.
bool isLastNumber(db::Query& q, qint64 idFnm, const QString& number)
{
    if (number.trimmed().isEmpty())
        return true;
    q.setParam(QStringLiteral("ID_FNM"), idFnm);
    q.open();
    const bool noSheet = q.isNull(QStringLiteral("NOFE")) && q.asInt(QStringLiteral("COUNT_ENG")) == 0;
    const bool last = noSheet || q.asString(QStringLiteral("NOFE")) == number;
    q.close();
    return last;
}

} // namespace

struct BudgetQueries::Statements {
    explicit Statements(db::Connection& c)
        : primitive(c, QStringLiteral("SELECT (MT_BP - MT_REGIE) AS TOT FROM FNM WHERE ID_FNM=:ID_FNM AND "
                                      "      ( (DATE_BP IS NULL) OR (DATE_BP <=:DATE_SOLDE) )")),
          amending(c, QStringLiteral("SELECT MT_BS FROM FNM WHERE ID_FNM=:ID_FNM AND "
                                     "      ( (DATE_BS IS NULL) OR (DATE_BS <=:DATE_SOLDE) )")),
          transfers(c, QStringLiteral("SELECT SUM(MONTANT)AS TOT FROM VIREMENT WHERE SENS=:SENS AND ID_FNM=:ID_FNM AND "
                                      "      DATE_VIR <=:DATE_SOLDE")),
          mandated{db::Query(c, QStringLiteral("SELECT * FROM GET_TOT_MDT(:ID_FNM, :DATE_MDT)")),
                   db::Query(c, QStringLiteral("SELECT * FROM GET_TOT_MDT_SEC_1(:ID_FNM, :DATE_MDT)")),
                   db::Query(c, QStringLiteral("SELECT * FROM GET_TOT_MDT_SEC_2(:ID_FNM, :DATE_MDT)"))},
          // The same two halves as the dated totals, for the orders without a date.
          undatedMandated(c, QStringLiteral(
              "SELECT (SELECT SUM(D.MONTANT) FROM DEPENSE X JOIN DET_MDT D ON D.ID_DETAIL=X.ID_DEPENSE "
              "        JOIN ENT_MDT M ON M.ID_MDT=D.ID_MDT "
              "        WHERE X.ID_FNM=:ID_FNM AND X.TYPE_DEPENSE IN (:INVOICE, :MISSION) AND M.DATE_MDT IS NULL) AS TOT_S2, "
              "       (SELECT SUM(S.MONTANT) FROM DET_SALAIRE S JOIN DET_MDT D ON D.ID_DETAIL=S.ID_DEPENSE "
              "        JOIN ENT_MDT M ON M.ID_MDT=D.ID_MDT "
              "        WHERE S.TYPE_DET=:IMPUTATION AND S.ID_DETAIL=:ID_FNM AND M.DATE_MDT IS NULL) AS TOT_S1 "
              "FROM RDB$DATABASE")),
          committed(c, QStringLiteral("SELECT SUM(MONTANT) AS TOT_ENG FROM ENT_ENG WHERE OBJET=:OBJET AND "
                                      "      ORIGINE=:ORIGINE AND "
                                      "      STATUT=:STATUT AND "
                                      "      ID_FNM=:ID_FNM AND "
                                      "      DATE_ENG<=:DATE_ENG")),
          lastCommitment(c, QStringLiteral("SELECT MAX(NO_ENG) AS NOFE, COUNT(*) AS COUNT_ENG FROM ENT_ENG "
                                           "WHERE ID_FNM=:ID_FNM")),
          // Every earlier sheet by its absolute amount, on the side its OBJET gives.
          commitmentBalance(c, QStringLiteral("SELECT OBJET, SUM(ABS(MONTANT)) AS MT_ENG FROM ENT_ENG "
                                              "WHERE (MONTANT <> 0) AND (ID_FNM=:ID_FNM) AND (NO_ENG<:NO_ENG) "
                                              "GROUP BY OBJET")),
          lastRegularisation(c, QStringLiteral("SELECT MAX(NO_ENG) AS NOFE, COUNT(*) AS COUNT_ENG FROM ENT_ENG_REG "
                                               "WHERE ID_FNM=:ID_FNM")),
          primitiveBase(c, QStringLiteral("SELECT MT_BP FROM FNM WHERE ID_FNM=:ID_FNM")),
          // Expenses of the series by their absolute amount, credits with their sign.
          regularisationBalance(c, QStringLiteral(
                                       "SELECT SUM(IIF(OBJET=:EXPENSE, ABS(MONTANT), 0)) AS EXPENSES, "
                                       "       SUM(IIF(OBJET=:ECONOMY, MONTANT, 0)) AS CREDITS "
                                       "FROM ENT_ENG_REG WHERE ID_FNM=:ID_FNM AND NO_ENG<:NO_ENG")),
          // Only expense lines are expenses: the other lines of a sheet point
          // to a budget line, a cancelled sheet or a transfer, whose ids an
          // expense may share.
          committedExpense(c, QStringLiteral("SELECT FIRST 1 ID_DETAIL FROM DET_ENG A "
                                             "WHERE (ID_DETAIL=:ID_DETAIL) AND (A.OBJET=:EXPENSE_LINE) AND "
                                             "      (ID_ENG NOT IN (SELECT ID_ORIGINE FROM ENT_ENG "
                                             "                      WHERE (OBJET=:ECONOMY) AND "
                                             "                            (ORIGINE=:CANCELLATION) AND "
                                             "                            (ID_ORIGINE=A.ID_ENG)))")),
          mandatedExpense(c, QStringLiteral("SELECT FIRST 1 ID_DETAIL FROM DET_MDT WHERE ID_DETAIL=:ID_DETAIL")),
          commitmentOfExpense(c, QStringLiteral("SELECT FIRST 1 E.NO_ENG, E.DATE_ENG FROM DET_ENG D "
                                                "JOIN ENT_ENG E ON E.ID_ENG=D.ID_ENG "
                                                "WHERE D.OBJET=:OBJET AND D.ID_DETAIL=:ID_DETAIL "
                                                "ORDER BY IIF(COALESCE(E.STATUT, :IN_FORCE)=:IN_FORCE, 0, 1), E.ID_ENG")),
          // The chapters of the budget lines of the order's expenses, read from
          // the order's own lines; expenses without a line, or whose line is
          // missing, take no part.
          orderChapters(c, QStringLiteral("SELECT DISTINCT COALESCE(F.CHAP, '') FROM DET_MDT D "
                                          "JOIN DEPENSE E ON E.ID_DEPENSE=D.ID_DETAIL "
                                          "JOIN FNM F ON F.ID_FNM=E.ID_FNM "
                                          "WHERE D.ID_MDT=:ID_MDT")),
          observation(c, QStringLiteral("SELECT * FROM OBS_SERVICE WHERE CHAP=:CHAP")),
          chapterTitle(c, QStringLiteral("SELECT INTITULE FROM FNM WHERE CHAP=:Chap AND "
                                         "      (ART=:ART OR ART IS NULL)AND "
                                         "      (PAR=:PAR OR PAR IS NULL)"))
    {
    }

    db::Query primitive;
    db::Query amending;
    db::Query transfers;
    db::Query mandated[3];
    db::Query undatedMandated;
    db::Query committed;
    db::Query lastCommitment;
    db::Query commitmentBalance;
    db::Query lastRegularisation;
    db::Query primitiveBase;
    db::Query regularisationBalance;
    db::Query committedExpense;
    db::Query mandatedExpense;
    db::Query commitmentOfExpense;
    db::Query orderChapters;
    db::Query observation;
    db::Query chapterTitle;
};

BudgetQueries::BudgetQueries(db::Connection& connection) : q(std::make_unique<Statements>(connection)) {}

BudgetQueries::~BudgetQueries() = default;

Currency BudgetQueries::CreditAvailableAt(qint64 idFnm, const QDate& date)
{
    for (db::Query* s : {&q->primitive, &q->amending, &q->transfers}) {
        s->setParam(QStringLiteral("ID_FNM"), idFnm);
        s->setParam(QStringLiteral("DATE_SOLDE"), date);
    }
    const Currency primitive = sumOf(q->primitive, QStringLiteral("TOT"));
    const Currency amending = sumOf(q->amending, QStringLiteral("MT_BS"));
    q->transfers.setParam(QStringLiteral("SENS"), toDb(TransferSide::Giving));
    const Currency given = sumOf(q->transfers, QStringLiteral("TOT"));
    q->transfers.setParam(QStringLiteral("SENS"), toDb(TransferSide::Receiving));
    const Currency received = sumOf(q->transfers, QStringLiteral("TOT"));
    return primitive + received + amending - given;
}

Currency BudgetQueries::TotalMandatedAt(int kind, qint64 idFnm, const QDate& date)
{
    if (kind < 0 || kind > 2)
        return Currency();
    db::Query& s = q->mandated[kind];
    s.setParam(QStringLiteral("ID_FNM"), idFnm);
    s.setParam(QStringLiteral("DATE_MDT"), date);
    s.open();
    Currency total;
    if (kind == 0 || kind == 1)
        total += s.asCurrency(QStringLiteral("TOT_S1"));
    if (kind == 0 || kind == 2)
        total += s.asCurrency(QStringLiteral("TOT_S2"));
    s.close();
    return total;
}

Currency BudgetQueries::UndatedMandatedOn(qint64 idFnm)
{
    db::Query& s = q->undatedMandated;
    s.setParam(QStringLiteral("ID_FNM"), idFnm);
    s.setParam(QStringLiteral("INVOICE"), toDb(ExpenseKind::Invoice));
    s.setParam(QStringLiteral("MISSION"), toDb(ExpenseKind::Mission));
    s.setParam(QStringLiteral("IMPUTATION"), toDb(SalaryLineType::Imputation));
    s.open();
    const Currency total = s.asCurrency(QStringLiteral("TOT_S1")) + s.asCurrency(QStringLiteral("TOT_S2"));
    s.close();
    return total;
}

Currency BudgetQueries::TotalCommittedAt(int kind, qint64 idFnm, const QDate& date)
{
    Q_UNUSED(kind);
    db::Query& s = q->committed;
    s.setParam(QStringLiteral("OBJET"), toDb(SheetObject::Expense));
    s.setParam(QStringLiteral("ORIGINE"), toDb(SheetOrigin::User));
    s.setParam(QStringLiteral("STATUT"), SheetInForce);
    s.setParam(QStringLiteral("ID_FNM"), idFnm);
    s.setParam(QStringLiteral("DATE_ENG"), date);
    return sumOf(s, QStringLiteral("TOT_ENG"));
}

int BudgetQueries::NextCommitmentNumber(qint64 idFnm)
{
    return nextNumber(q->lastCommitment, idFnm);
}

bool BudgetQueries::IsLastCommitmentNumber(qint64 idFnm, const QString& number)
{
    return isLastNumber(q->lastCommitment, idFnm, number);
}

Currency BudgetQueries::CommitmentBalanceBefore(qint64 idFnm, const QString& number)
{
    db::Query& s = q->commitmentBalance;
    s.setParam(QStringLiteral("ID_FNM"), idFnm);
    s.setParam(QStringLiteral("NO_ENG"), number);
    s.open();
    Currency credits;
    Currency commitments;
    for (s.first(); !s.eof(); s.next()) {
        const Currency amount = s.asCurrency(QStringLiteral("MT_ENG"));
        if (fromDb<SheetObject>(s.asInt(QStringLiteral("OBJET"))) != SheetObject::Expense)
            credits += amount;
        else
            commitments += amount;
    }
    s.close();
    return credits - commitments;
}

int BudgetQueries::NextRegularisationNumber(qint64 idFnm)
{
    return nextNumber(q->lastRegularisation, idFnm);
}

bool BudgetQueries::IsLastRegularisationNumber(qint64 idFnm, const QString& number)
{
    return isLastNumber(q->lastRegularisation, idFnm, number);
}

Currency BudgetQueries::RegularisationBalanceBefore(qint64 idFnm, const QString& number)
{
    q->primitiveBase.setParam(QStringLiteral("ID_FNM"), idFnm);
    const Currency base = sumOf(q->primitiveBase, QStringLiteral("MT_BP"));

    db::Query& s = q->regularisationBalance;
    s.setParam(QStringLiteral("EXPENSE"), toDb(SheetObject::Expense));
    s.setParam(QStringLiteral("ECONOMY"), toDb(SheetObject::Economy));
    s.setParam(QStringLiteral("ID_FNM"), idFnm);
    s.setParam(QStringLiteral("NO_ENG"), number);
    s.open();
    const Currency expenses = s.asCurrency(QStringLiteral("EXPENSES"));
    const Currency credits = s.asCurrency(QStringLiteral("CREDITS"));
    s.close();
    return base + credits - expenses;
}

ExpenseState BudgetQueries::GetExpenseState(qint64 idDepense)
{
    q->mandatedExpense.setParam(QStringLiteral("ID_DETAIL"), idDepense);
    q->mandatedExpense.open();
    const bool mandated = !q->mandatedExpense.isEmpty();
    q->mandatedExpense.close();

    q->committedExpense.setParam(QStringLiteral("ID_DETAIL"), idDepense);
    q->committedExpense.setParam(QStringLiteral("EXPENSE_LINE"), toDb(LineObject::Expense));
    q->committedExpense.setParam(QStringLiteral("ECONOMY"), toDb(SheetObject::Economy));
    q->committedExpense.setParam(QStringLiteral("CANCELLATION"), toDb(SheetOrigin::Cancellation));
    q->committedExpense.open();
    const bool committed = !q->committedExpense.isEmpty();
    q->committedExpense.close();
    return ExpenseStateOf(committed, mandated);
}

QString BudgetQueries::CommitmentReference(qint64 idDepense)
{
    db::Query& s = q->commitmentOfExpense;
    s.setParam(QStringLiteral("ID_DETAIL"), idDepense);
    s.setParam(QStringLiteral("OBJET"), toDb(LineObject::Expense));
    s.setParam(QStringLiteral("IN_FORCE"), SheetInForce);
    s.open();
    QString number, date;
    if (!s.isEmpty()) {
        number = s.asString(QStringLiteral("NO_ENG")).trimmed();
        date = DateText(s.asDate(QStringLiteral("DATE_ENG")));
    }
    s.close();
    return QStringLiteral("F.E N° ") + number + QStringLiteral(" DU ") + date;
}

bool BudgetQueries::IsSingleChapterOrder(qint64 idMdt)
{
    db::Query& s = q->orderChapters;
    s.setParam(QStringLiteral("ID_MDT"), idMdt);
    s.open();
    const bool single = s.rowCount() <= 1;
    s.close();
    return single;
}

QString BudgetQueries::GetServiceObservation(const QString& column, const QString& chapter)
{
    if (column.isEmpty())
        return QString();
    db::Query& s = q->observation;
    s.setParam(QStringLiteral("CHAP"), chapter);
    s.open();
    const QString text = s.isEmpty() ? QString() : s.asString(column);
    s.close();
    return text;
}

QString BudgetQueries::GetChapterTitle(const QString& chapter)
{
    db::Query& s = q->chapterTitle;
    s.setParam(QStringLiteral("CHAP"), chapter);
    s.setParam(QStringLiteral("ART"), QString());
    s.setParam(QStringLiteral("PAR"), QString());
    s.open();
    const QString title = s.isEmpty() ? QStringLiteral("-") : s.asString(QStringLiteral("INTITULE"));
    s.close();
    return title;
}

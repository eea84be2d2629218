#pragma once
// The read-only questions the windows and documents ask about a budget line or
// a document: the credit of a line at a date, what was committed and paid on
// it, sheet numbering and balances, an expense's state, a payment order's
// chapters, a chapter's title and its default observations.
//
// Each question runs statements that are prepared once per connection and only
// re-executed afterwards: listings ask some of them for every row they show.
// A statement is prepared at its first use; when the connection closes (year
// switch, backup) the engine drops it and the next use prepares it again.
//
// The data module owns the one instance on its connection: DM->Queries().

#include "data/Codes.h"
#include "db/Database.h"

#include <QDate>
#include <QString>
#include <memory>

class BudgetQueries {
public:
    explicit BudgetQueries(db::Connection& connection);
    ~BudgetQueries();
    BudgetQueries(const BudgetQueries&) = delete;
    BudgetQueries& operator=(const BudgetQueries&) = delete;

    // The credit opened on the line at the date: the primitive budget net of
    // its imprest part and the amending budget (each counted when undated or
    // dated up to the date), plus the transfers received, less those given.
    Currency CreditAvailableAt(qint64 idFnm, const QDate& date);
    // Paid on the line by payment orders dated up to the date: kind 0 both
    // halves, 1 the salary lines, 2 the invoices and missions; any other kind 0.
    Currency TotalMandatedAt(int kind, qint64 idFnm, const QDate& date);
    // What the lines of orders still without a date put on the line (invoices
    // and missions by their own line, salary expenses by their imputations);
    // the mandated totals by date leave them out.
    Currency UndatedMandatedOn(qint64 idFnm);
    // The user's own expense commitments on the line dated up to the date
    // (cancelled, budget, transfer and cancellation sheets left out). Every
    // caller asks for kind 0.
    Currency TotalCommittedAt(int kind, qint64 idFnm, const QDate& date);

    // The number after the line's largest sheet number, 1 when it has none
    // (or its largest is not a number); the caller pads it to four digits.
    int NextCommitmentNumber(qint64 idFnm);
    // True for a blank number, for a line without sheets, and for the line's
    // last sheet number compared as stored text ("12" is not "0012").
    bool IsLastCommitmentNumber(qint64 idFnm, const QString& number);
    // The line's balance just before the sheet: every earlier sheet counts by
    // its absolute amount, as a credit when its OBJET is not an expense, as
    // a commitment when it is.
    Currency CommitmentBalanceBefore(qint64 idFnm, const QString& number);
    // The line's balance just after a sheet, by the same rule: its absolute
    // amount taken away when its OBJET is an expense, added otherwise. So a
    // sheet's new balance is the next sheet's old balance, whatever the sign
    // stored.
    static Currency CommitmentBalanceAfter(Currency before, SheetObject objet, Currency amount)
    {
        return objet == SheetObject::Expense ? before - amount.abs() : before + amount.abs();
    }

    // The same over the regularisation series, whose balance starts from the
    // line's primitive budget and whose credits count with their sign.
    int NextRegularisationNumber(qint64 idFnm);
    bool IsLastRegularisationNumber(qint64 idFnm, const QString& number);
    Currency RegularisationBalanceBefore(qint64 idFnm, const QString& number);

    // Free, on a commitment sheet that is not cancelled, on a payment order,
    // or both. Read from the stored lines, so it always answers as they do.
    ExpenseState GetExpenseState(qint64 idDepense);
    // "F.E N° " + number + " DU " + date of the sheet holding the expense, an
    // active sheet before a cancelled one; both parts empty when none.
    QString CommitmentReference(qint64 idDepense);
    // Called after every commit that adds or removes payment-order lines or
    // deletes an order. GetExpenseState reads the stored lines themselves, so
    // there is nothing to refresh.
    void RefreshMandatedSnapshot() {}

    // True when the budget lines of the order's expenses all belong to one
    // chapter (expenses without a line left out; an order without lines too).
    bool IsSingleChapterOrder(qint64 idMdt);
    // The named column of OBS_SERVICE for the chapter; empty when the column
    // name is empty or the chapter has no row.
    QString GetServiceObservation(const QString& column, const QString& chapter);
    // The title of the chapter's heading row (article and paragraph empty or
    // missing); "-" when there is none.
    QString GetChapterTitle(const QString& chapter);

private:
    struct Statements;
    std::unique_ptr<Statements> q;
};

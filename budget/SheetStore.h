#pragma once
// TSheetStore: the SQL of the commitment sheets (ENT_ENG headers and their
// DET_ENG lines) shared by every window that writes or reads them: the budget
// window (primitive and amending budget sheets), the commitment window and the
// expense picker (user commitments and their expense lines), the transfer and
// cancellation windows, the commitment listing, the sheet finder and the
// payment-order window (the sheets an order's expenses stand on).
//
// Reads run on the program's connection. Write methods run statements only:
// the caller holds them in one write operation for the user's action, so that
// every statement of the action is committed together or not at all.
//
// A user commitment sheet is an expense header (SheetObject::Expense) of the
// user's origin whose lines are expense lines. Its amount and budget line always follow its
// lines: every change of lines runs SyncHeader in the same transaction.

#include "budget/SheetRow.h"
#include "core/Currency.h"
#include "data/Codes.h"
#include "documents/DocumentLines.h"
#include "documents/ExpenseDocument.h"

#include <QDate>
#include <QList>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>

namespace db { class Query; }

// One ENT_ENG header: the shared header (budget/SheetRow.h), with what it
// moves of its line's credit and where it comes from.
struct TSheet : TSheetHeader {
    SheetObject objet = SheetObject::Expense;
    SheetOrigin origin = SheetOrigin::User;
};

// A sheet's key and number.
using TSheetKey = TDocumentKey;

// A user commitment that a cancellation may take: the active sheet (key,
// number, date, line, visa and amount) with its budget line and the line's
// balance just before it.
struct TCancellableSheet {
    TSheet sheet;
    QString chap, art, par;
    Currency oldBalance;   // CommitmentBalanceBefore of the sheet
    Currency NewBalance() const { return oldBalance - sheet.amount.abs(); }
};

// Where a cancelled sheet's expense stands again: the expense and the active sheet.
struct TRecommitted {
    QString expenseNumber;
    QString sheetNumber;
};

// What SyncHeader wrote: the amount, the budget line and the number.
struct TSheetSync : TDocumentNumbering {
    Currency amount;
    qint64 idFnm = -1;
};

class TSheetStore {
public:
    TSheetStore();
    ~TSheetStore();
    TSheetStore(const TSheetStore&) = delete;
    TSheetStore& operator=(const TSheetStore&) = delete;

    // Pads a sheet number to four digits with "0" ("2" gives "0002").
    static QString PadNumber(const QString& number);
    // The next free number of a line for a sheet that must not take "0001"
    // (the primitive-budget sheet's), padded. Taken inside the caller's write
    // operation, with the line locked first (LockBudgetLine).
    static QString NextUserNumber(qint64 idFnm);
    // Locks the budget line for the caller's write operation before a number
    // of its series is taken or checked (data/ShownRow.h, LockRow): two
    // operations numbering sheets of one line run one after the other, the
    // second refused while the first is in progress, so that two sheets of a
    // line never take one number. Nothing for an operation without a line (-1).
    static void LockBudgetLine(qint64 idFnm);

    // --- reads -------------------------------------------------------------
    // The user commitment sheets of `objet`, in number order (all lines together).
    QList<TDocumentKey> UserSheetKeys(SheetObject objet = SheetObject::Expense);
    std::optional<TSheet> Read(qint64 idEng);
    // The sheet locked for the caller's write operation, then read: until the
    // operation ends no other user can change it, delete it, cancel it or
    // change its lines. Nothing when it is gone.
    std::optional<TSheet> LockSheet(qint64 idEng);
    TDocumentLines Lines(qint64 idEng);
    Currency LinesTotal(qint64 idEng);
    // The number of the cancellation sheet that cancelled `idEng`; empty when none.
    QString CancelledBy(qint64 idEng);
    // Whether another sheet of the line (not `exceptId`) holds `number`.
    bool NumberTaken(qint64 idFnm, const QString& number, qint64 exceptId);
    // Whether `number`, typed for the sheet `exceptId` (-1 a new one), is
    // free on the line, checked with the line locked (LockBudgetLine) inside
    // the caller's write operation: none can take it until the operation ends.
    bool NumberFree(qint64 idFnm, const QString& number, qint64 exceptId);
    // The user commitment sheet of a budget line, typed as in the
    // nomenclature, with that number; -1 when none.
    qint64 FindUserSheet(const QString& chap, const QString& art, const QString& par, const QString& number);
    // The expenses that stand on the line of a sheet that is not cancelled.
    QSet<qint64> CommittedExpenseIds();
    // The sheet of an origin and its source (a line's budget sheets, a
    // transfer row's, a cancellation's).
    std::optional<TSheet> SheetOfOrigin(SheetOrigin origin, qint64 idOrigine);

    // --- writes (inside the caller's write operation) ----------------------
    // A new user commitment header: no number, line or amount yet.
    qint64 InsertUserSheet(const TSheet& entry);
    // The header fields a user edits: number, date, observation, visa.
    void UpdateUserSheet(const TSheet& entry);
    void SetObservation(qint64 idEng, const QString& obs);

    // The three below lock the sheet, then change its lines only while it
    // exists and has no visa and no cancellation, read inside the caller's
    // write operation (another user may have given either since the sheet was
    // shown): otherwise they throw the refusal (TRefusalError, "Fiche visée,
    // modification impossible !"), so that the operation stores nothing.
    // An expense line after the sheet's other lines, then SyncHeader.
    TSheetSync AddExpenseLine(qint64 idEng, qint64 idDepense, Currency amount);
    // Removes the expense's line, then SyncHeader.
    TSheetSync RemoveExpenseLine(qint64 idEng, qint64 idDepense);
    // Removes the line numbered `noLine`, numbers the others 1..n in their
    // order, then SyncHeader.
    TSheetSync RemoveLineAt(qint64 idEng, int noLine);
    // Numbers the expense lines 1..n in the order given (expenses not listed follow).
    void RenumberLines(qint64 idEng, const QList<qint64>& expenseIds);
    // Numbers the expense lines 1..n by beneficiary name; lines of one name
    // keep their order.
    void RenumberLinesByName(qint64 idEng);
    // The header's amount and budget line from its lines (the budget line of
    // the first line's expense, -1 without lines). A sheet with lines and no
    // number, or whose number another sheet of its line holds, takes the
    // line's next free number; a number is given to a line only with the line
    // locked.
    TSheetSync SyncHeader(qint64 idEng);
    // The sheet and its lines.
    void DeleteSheet(qint64 idEng);

    // Sheets recording one movement of a line's credit, with their one line
    // (primitive or amending budget, transfer row, cancellation).
    // `key`: the key of a sheet the new one replaces in the same operation
    // (deleted before), taken again so that a change draws no key; -1 draws
    // a new one.
    qint64 InsertMovementSheet(const TSheet& header, LineObject lineObjet, qint64 lineDetail, qint64 key = -1);
    // Amount, observation, dates, budget line and visa of the header (and its
    // OBJET when `withObjet`), and the amount of its line.
    void UpdateMovementSheet(const TSheet& header, bool withObjet);

    // --- cancellations ------------------------------------------------------
    // A cancellation is an economy sheet of the cancellation origin whose one
    // line (LineObject::Cancellation) points to the sheet it cancels; that sheet's STATUT holds the
    // cancellation's key, which takes it out of the committed totals and frees
    // its expenses.
    //
    // The cancellation sheets, in number order (all lines together).
    QList<TDocumentKey> CancellationKeys();
    // The cancellation of a budget line, typed as in the nomenclature, with that number; -1 when none.
    qint64 FindCancellation(const QString& chap, const QString& art, const QString& par, const QString& number);
    // The user commitments that are not cancelled and have a budget line, by
    // line then number, each with its line's balance before it, in one query.
    QList<TCancellableSheet> CancellableSheets();
    // The first sheet of the line numbered before `number` but dated after `date`.
    std::optional<TSheet> EarlierSheetDatedAfter(qint64 idFnm, const QString& number, const QDate& date);
    // An expense of the cancelled sheet that stands on another sheet that is
    // not cancelled (read in the caller's transaction); nothing when none.
    std::optional<TRecommitted> Recommitted(qint64 idCancelled);

    // Writes (inside the caller's write operation). The cancelled sheet is
    // locked before it is read. Insert and update refuse (return false, the
    // caller abandons the operation) when it is no longer an active user
    // commitment: gone or cancelled already.
    //
    // A new cancellation of `header.idOrigine` (its number, date, observation
    // and visa; its amount and line are the cancelled sheet's, read here) with
    // its line, and the cancelled sheet marked with the new key, given in `id`.
    bool InsertCancellation(const TSheet& header, qint64* id);
    // The cancellation's header and line; a sheet chosen for it now is marked.
    bool UpdateCancellation(const TSheet& header, qint64 previouslyCancelled);
    // The cancelled sheet active again, then the cancellation and its line gone.
    // Refused while one of the cancelled sheet's expenses stands on another
    // active sheet: returns that expense and sheet (nothing written), or
    // nothing when deleted. The cancelled sheet and its expenses are locked
    // before the other sheets are read.
    std::optional<TRecommitted> DeleteCancellation(qint64 idEng, qint64 idCancelled);

private:
    // The numbers of the sheets of one budget line (documents/DocumentNumbers.h).
    class LineNumbers;

    // Locks the expenses of the sheet's lines for the caller's write operation.
    void LockSheetExpenses(qint64 idEng);
    // Marks `idCancelled` as cancelled by `by` when it is an active user commitment.
    bool MarkCancelled(qint64 idCancelled, qint64 by);
    qint64 FindSheet(const QString& chap, const QString& art, const QString& par, const QString& number,
                     SheetObject objet, SheetOrigin origin);

    TDocumentLineTable m_lines{TDocumentLineTable::CommitmentSheet};
    std::unique_ptr<db::Query> m_read, m_cancelled, m_taken, m_sync, m_syncLines;
};

// A user commitment sheet's expense lines as the expense picker fills them.
class TSheetExpenseLines : public TExpenseDocument {
public:
    TDocumentLines Lines(qint64 idEng) override { return m_sheets.Lines(idEng); }
    State ReadState(qint64 idEng) override;
    QSet<qint64> PlacedExpenseIds() override { return m_sheets.CommittedExpenseIds(); }
    TDocumentNumbering AddExpenseLine(qint64 idEng, qint64 idDepense, Currency amount) override
    {
        return m_sheets.AddExpenseLine(idEng, idDepense, amount);
    }
    void RemoveExpenseLine(qint64 idEng, qint64 idDepense) override { m_sheets.RemoveExpenseLine(idEng, idDepense); }
    void RenumberLines(qint64 idEng, const QList<qint64>& expenseIds) override
    {
        m_sheets.RenumberLines(idEng, expenseIds);
    }

private:
    TSheetStore m_sheets;
};

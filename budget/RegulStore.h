#pragma once
// TRegulStore: the SQL of the regularisation sheets (ENT_ENG_REG headers and
// their DET_ENG_REG lines), the second series of commitment sheets, numbered
// per budget line in their own series. A sheet's kind is its ORIGINE: payment
// orders (any number of lines, each an order's amount on the sheet's line), or
// a copy of one ordinary sheet of a transfer, the amending budget or a
// cancellation (one line).
//
// Reads run on the program's connection. Writes run inside the caller's write
// operation (data/WriteGuard.h): each locks the sheet first and decides on what
// it reads then, so that two users never both win; a refusal throws
// TRefusalError (core/Refusal.h) with the message for the user, and the
// operation stores nothing.
//
// Invariants every write keeps: the header's amount is the sum of its lines;
// numbers are four digits, unique on the line (compared as numbers), never
// "0001"; a sheet's lines carry distinct numbers; an order stands on one sheet
// of a line at most; an ordinary sheet is copied onto one regularisation sheet
// of its line at most.

#include "budget/SheetRow.h"
#include "core/Currency.h"
#include "data/Codes.h"
#include "documents/DocumentLines.h"

#include <QDate>
#include <QList>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>

namespace db { class Query; }

// One ENT_ENG_REG header: the shared header (budget/SheetRow.h); its OBJET
// and its kind (ORIGINE) are none until its first line, and it is read with
// its budget line.
struct TRegulSheet : TSheetHeader {
    int objet = -1;         // -1 a new sheet, else SheetObject
    std::optional<SheetOrigin> kind;   // none for a new sheet
    QString chap, art, par, intitule;  // the sheet's budget line

    bool IsExpense() const { return objet == int(SheetObject::Expense); }
    // "Imput" then " : " and the title; empty without a line.
    QString LineText() const;
};

// A line of a sheet with what the window shows of it.
struct TRegulLine {
    int noLine = 0;
    qint64 idDetail = -1;
    LineObject objet = LineObject::PaymentOrder;
    Currency amount;
    QString noDet;      // the order's number, the transfer's or the line's key
    QDate dateDet;
    QString libDet;     // the order's nature, or the kind's label
};
using TRegulLines = QList<TRegulLine>;

// A payment order the picker offers for a budget line: the order, its
// amount on the line (its expenses of the line and its salary rows imputed
// to the line) and its weight on a sheet (its own line plus one per expense
// of the line).
struct TRegulOrder {
    qint64 idMdt = -1;
    QString noMdt;
    QDate dateMdt;
    QString nature;
    Currency amount;
    int weight = 1;
};

// An ordinary commitment sheet a regularisation sheet may copy.
struct TCopyableSheet {
    qint64 idEng = -1;
    QString number;
    QDate date;
    qint64 idFnm = -1;
    Currency amount;
    QDate visaDate;
    SheetObject objet = SheetObject::Expense;
    QString obs;
    SheetOrigin origin = SheetOrigin::Transfer;
    qint64 idOrigine = NoOriginRecord;
    QString chap, art, par;
};

// The default observation of a payment-order sheet from its expenses: the
// first expense's kind decides, then the count and the beneficiaries.
struct TRegulExpense {
    ExpenseKind kind = ExpenseKind::Invoice;
    qint64 idBen = -1;
    QString benName;
    QString noDepense;
    QDate dateDepense;
    QString lineTitle;   // the title of the expense's budget line
};
QString RegulObservation(const QList<TRegulExpense>& expenses, const QString& fiscalYear);

class TRegulStore {
public:
    TRegulStore();
    ~TRegulStore();
    TRegulStore(const TRegulStore&) = delete;
    TRegulStore& operator=(const TRegulStore&) = delete;

    // The key a sheet takes in the browsing list: by budget line, then number.
    static QString BrowseKey(qint64 idFnm, const QString& number);

    // --- reads -------------------------------------------------------------
    QList<TDocumentKey> Keys();
    std::optional<TRegulSheet> Read(qint64 idEng);
    // The lines with their labels, in line order (one query).
    TRegulLines Lines(qint64 idEng);
    // Whether another sheet of the line (not `exceptId`) holds `number`, the
    // numbers compared as numbers ("13" and "0013 " are one number).
    bool NumberTaken(qint64 idFnm, const QString& number, qint64 exceptId);
    // The line's next number, at least 2, padded to four digits.
    QString NextNumber(qint64 idFnm);
    // Whether `number` is the highest number of the line (a sheet without number is).
    bool IsLastNumber(qint64 idFnm, const QString& number);
    // The sheet of a budget line, typed as in the nomenclature, with that number; -1 when none.
    qint64 Find(const QString& chap, const QString& art, const QString& par, const QString& number);
    // The expenses of the sheet's payment orders, for the default observation.
    QList<TRegulExpense> OrderExpenses(qint64 idEng);

    // The orders offered for a budget line, by number (one query).
    QList<TRegulOrder> OfferedOrders(qint64 idFnm);
    // One order as OfferedOrders gives it; nothing when it pays nothing on the line.
    std::optional<TRegulOrder> OfferedOrder(qint64 idFnm, qint64 idMdt);
    // The orders standing on a sheet of the line other than `exceptEng`.
    QSet<qint64> OrdersOnOtherSheets(qint64 idFnm, qint64 exceptEng);
    // The ordinary sheets of an origin, of one line or of every line (-1).
    QList<TCopyableSheet> CopyableSheets(SheetOrigin origin, qint64 idFnm);

    // --- writes (inside the caller's write operation) ----------------------
    // The sheet locked, then read; nothing when it is gone.
    std::optional<TRegulSheet> LockSheet(qint64 idEng);
    // A new empty sheet (no number, line, kind or amount); its key drawn here.
    qint64 Insert(const TRegulSheet& entry);
    // Number, date, observation and visa; a number is checked free on the
    // locked line; then the visa carried over (CarryVisa).
    void Update(const TRegulSheet& entry);
    void SetObservation(qint64 idEng, const QString& obs);
    // The visa of a payment-order sheet carried to the ordinary sheets that
    // hold an expense of its orders, in one statement: an empty visa changes
    // nothing; a visa replaces an empty one or the one the sheet gave before
    // (`previousNumber`, `previousDate`), never another.
    void CarryVisa(qint64 idEng, const QString& previousNumber, const QDate& previousDate);
    // Adds an order to a payment-order sheet at `idFnm`'s share, numbered
    // after the sheet's highest line; refused when the sheet has a visa or
    // another kind, the order is gone, on the sheet or on another sheet of the
    // line, or the sheet's weight would exceed MaxDocLines + 1. The order is
    // locked with the sheet and the line: a deletion of it waits for this
    // operation or is refused after it. The header follows: kind, line,
    // number (drawn when empty) and amount.
    void AddOrder(qint64 idEng, qint64 idFnm, qint64 idMdt);
    // Numbers the order lines 1..n in the order given.
    void RenumberOrders(qint64 idEng, const QList<qint64>& idMdts);
    // Removes the one line pointing to `idDetail` (an order, or the copied
    // sheet's origin) and numbers the others 1..n in their order, in the
    // same operation; the amount follows, the kind and the number stay.
    void RemoveLine(qint64 idEng, LineObject objet, qint64 idDetail);
    // Copies an ordinary sheet (`idCopied`, of origin `kind`) into the
    // regularisation sheet: header values and its one line. Refused when the
    // sheet has a visa or a line already, or the copied sheet is already
    // regularised on its line.
    void CopySheet(qint64 idEng, qint64 idCopied, SheetOrigin kind);
    // The sheet and its lines; refused with a visa or when a later sheet of
    // the line exists.
    void Delete(qint64 idEng);

    // The sheet's weight: its orders' weights (TRegulOrder::weight).
    int SheetWeight(qint64 idEng, qint64 idFnm);

private:
    // The numbers of the regularisation sheets of one budget line
    // (documents/DocumentNumbers.h).
    class LineNumbers;

    void LockLine(qint64 idFnm);
    // The numbers of the line's sheets (other than `exceptId`), -1 for one that is none.
    QList<int> Numbers(qint64 idFnm, qint64 exceptId = -1);
    void SyncAmount(qint64 idEng);
    static void RequireOpen(const std::optional<TRegulSheet>& sheet);

    std::unique_ptr<db::Query> m_read, m_lines;
};

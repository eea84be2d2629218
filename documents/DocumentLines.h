#pragma once
// The expense lines of a document (a commitment sheet's DET_ENG expense
// lines, or a payment order's DET_MDT lines) read with what every window
// shows of their expense: kind, budget line and its label, beneficiary,
// number and dates. One query per document, joined on keys, in line order.

#include "core/Currency.h"
#include "data/Codes.h"
#include "data/KeptStatement.h"

#include <QDate>
#include <QList>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>

namespace db { class Query; }

// One line of a document.
struct TDocumentLine {
    int noLine = 0;
    qint64 idDepense = 0;    // ID_DETAIL
    Currency amount;         // the line's MONTANT (copied from the expense when added)
    std::optional<ExpenseKind> kind;   // the expense's kind (none when the expense is gone)
    qint64 idFnm = -1;       // the expense's budget line (-1 when it has none)
    qint64 idBen = -1;
    QString noDepense;
    QDate dateDepense;
    QDate missionStart;
    QDate missionEnd;
    std::optional<PaymentType> rembours;
    QString expenseObject;   // DEPENSE.OBJET
    QString benName;
    QString chap, art, par;  // the expense's budget line
    QString intitule;
    QString Imput() const;   // chapter-article-paragraph, or chapter-article
};

using TDocumentLines = QList<TDocumentLine>;

// A document as a browsing window lists it: its key and its number.
struct TDocumentKey {
    qint64 id = -1;
    QString number;
};

// The keys and numbers of documents from an opened query whose first two
// columns are the key and the number, in the query's order.
QList<TDocumentKey> ReadDocumentKeys(const db::Query& q);

// The keys in the first column of an opened query (the expenses that stand on
// documents, and the like).
QSet<qint64> ReadKeySet(const db::Query& q);

// The label of a budget line: chapter, article and paragraph joined by "-",
// chapter and article only when the paragraph is empty.
QString BudgetLineLabel(const QString& chap, const QString& art, const QString& par);

// The sum of the lines' amounts.
Currency LinesTotal(const TDocumentLines& lines);


// The expense lines of one kind of document: a commitment sheet's DET_ENG
// expense lines (keyed by ID_ENG) or a payment order's DET_MDT lines
// (keyed by ID_MDT). Reads run on the program's connection; writes run
// statements only, inside the caller's write operation. Each statement is
// prepared once for the life of the object.
class TDocumentLineTable {
public:
    enum Document { CommitmentSheet, PaymentOrder };
    explicit TDocumentLineTable(Document document);
    ~TDocumentLineTable();
    TDocumentLineTable(const TDocumentLineTable&) = delete;
    TDocumentLineTable& operator=(const TDocumentLineTable&) = delete;

    TDocumentLines Lines(qint64 idDoc);
    Currency Total(qint64 idDoc);

    // A line for the expense after the document's other lines (its number is
    // the document's largest + 1 until the lines are numbered again).
    void Insert(qint64 idDoc, qint64 idDepense, Currency amount);
    void RemoveExpense(qint64 idDoc, qint64 idDepense);
    // Removes the line numbered `noLine` and numbers the others 1..n in their order.
    void RemoveAt(qint64 idDoc, int noLine);
    // Numbers the lines 1..n in the order of `expenseIds`; lines of other
    // expenses follow in their order.
    void RenumberAs(qint64 idDoc, const QList<qint64>& expenseIds);
    // Numbers the lines 1..n by beneficiary name; lines of one name keep their order.
    void RenumberByName(qint64 idDoc);
    // Deletes the document: all its lines, whatever their kind, then its
    // header, which must still be there (ERowChanged when another user
    // deleted it); it may have no lines.
    void DeleteDocument(qint64 idDoc);

private:
    // Writes the numbers 1..n of the lines in the order given; a line is found
    // by its number and expense, and only lines whose number changes are written.
    void Renumber(qint64 idDoc, const TDocumentLines& ordered);
    QString Where() const;   // the document's lines, with :ID_DOC (and :OBJET)
    void BindDocument(db::Query& q, qint64 idDoc) const;   // the parameters of Where()

    Document m_document;
    QString m_table, m_key;
    std::unique_ptr<db::Query> m_lines, m_total, m_max, m_insert, m_renumber;
};

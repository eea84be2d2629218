#pragma once
// The expense lines of a document (a commitment sheet's DET_ENG lines of
// OBJET 0, or a payment order's DET_MDT lines) read with what every window
// shows of their expense: kind, budget line and its label, beneficiary,
// number and dates. One query per document, joined on keys, in line order.

#include "db/Currency.h"

#include <QDate>
#include <QList>
#include <QString>

namespace db { class Query; }

// One line of a document.
struct TDocumentLine {
    int noLine = 0;
    qint64 idDepense = 0;    // ID_DETAIL
    Currency amount;         // the line's MONTANT (copied from the expense when added)
    int kind = -1;           // TYPE_DEPENSE of the expense (-1 when the expense is gone)
    qint64 idFnm = -1;       // the expense's budget line (-1 when it has none)
    qint64 idBen = -1;
    QString noDepense;
    QDate dateDepense;
    QDate missionStart;
    QDate missionEnd;
    int rembours = -1;
    QString expenseObject;   // DEPENSE.OBJET
    QString benName;
    QString chap, art, par;  // the expense's budget line
    QString intitule;
    QString Imput() const;   // chapter-article-paragraph, or chapter-article
};

using TDocumentLines = QList<TDocumentLine>;

// The label of a budget line: chapter, article and paragraph joined by "-",
// chapter and article only when the paragraph is empty.
QString BudgetLineLabel(const QString& chap, const QString& art, const QString& par);

// The select that reads the lines of one document of `table` ("DET_ENG" keyed
// by ID_ENG, expense lines only; "DET_MDT" keyed by ID_MDT), parameter :ID_DOC.
QString DocumentLinesSql(const QString& table);
// Reads the rows of an opened DocumentLinesSql query.
TDocumentLines ReadDocumentLines(const db::Query& query);

// The sum of the lines' amounts.
Currency LinesTotal(const TDocumentLines& lines);

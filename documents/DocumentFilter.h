#pragma once
// The criteria of the listings' filter (TFilterCriteria), which the filter
// dialog edits (documents/FilterDialog.h), and how the commitment-sheet and
// payment-order listings apply them to the rows they fetched: the document's
// numbers, dates, budget line and amount, a beneficiary and the amounts of
// the document's expenses. A chosen beneficiary filters while it is chosen,
// whether the amounts are switched on or not. (The expense listing's
// condition is its own: expenditure/ExpenseCriteria.h.)

#include "core/Currency.h"
#include "data/Codes.h"
#include "core/Currency.h"
#include "data/ListingRows.h"

#include <QDate>
#include <QSet>
#include <QString>

#include <optional>

// The criteria a listing keeps between two filter runs.
struct TFilterCriteria {
    bool num = false, date = false, imput = false, mt = false;
    QString numFrom, numTo;       // compared as text with the stored numbers
    QDate dateFrom, dateTo;
    Currency mtMin, mtMax;
    qint64 idFnm = -1;
    QString chap, art, par, intitule;
    qint64 idBen = -1;
    QString benName;
    // The expense listing's: the kind and the beneficiary's switch.
    int kindIndex = 0;            // 0 "Toutes les dépenses", then the kinds in the order of their codes
    bool ben = false;
    // The sheet and order listings': the amounts of an expense on the document.
    bool mtBen = false;
    Currency mtMinBen, mtMaxBen;

    // Every switch off, nothing chosen, the dates 1 January to 31 December of
    // the fiscal year.
    static TFilterCriteria Reset();

    // The expense kind chosen; none: every kind.
    std::optional<ExpenseKind> Kind() const;

    // As the sheet and order listings read them:
    bool ByNumber() const { return num && !numFrom.isEmpty(); }
    bool ByBudgetLine() const { return imput && idFnm != -1; }
    // Whether the beneficiary part applies (a chosen beneficiary, or the
    // expense amounts switched on).
    bool ByExpenses() const { return idBen != -1 || mtBen; }
    // Whether no criterion applies: the listing shows every document.
    bool IsEmpty() const { return !ByNumber() && !ByBudgetLine() && !date && !mt && !ByExpenses(); }
};

// Where a listing's fetched rows keep what the criteria test.
struct TDocumentRows {
    QString lineTable;       // the documents' expense lines: "DET_ENG", "DET_MDT"
    std::optional<LineObject> lineObject;   // which of those lines are expenses (their OBJET); none: all
    QString key;             // the document's key, in the rows and in the lines
    QString number, date, amount;
    QString budgetLine;      // the rows' budget line; empty: the caller gives the documents of the line
};

// The documents having an expense line whose expense is the chosen
// beneficiary's and/or within the expense amounts, read in one statement.
QSet<qint64> DocumentsOfExpenses(const TFilterCriteria& criteria, const TDocumentRows& rows);
// The rows the criteria keep, exactly as the same conditions in SQL would
// select them; null when no criterion applies and no chapter is given.
// `ofLine`: the documents of the chosen budget line when the rows do not hold
// it. `chapter`: the rows of that chapter only (a CHAP column).
TRowFilter DocumentRowFilter(const TFilterCriteria& criteria, const TDocumentRows& rows,
                             const QSet<qint64>& ofLine = {}, const QString& chapter = QString());

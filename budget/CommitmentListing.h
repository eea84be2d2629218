#pragma once
// The rows of the commitment listing and its criteria: every commitment sheet
// of the year, whatever its origin, with its budget line and the line's
// balance before and after it; the criteria of its filter dialog, applied to
// the fetched rows. Shared by the listing window and its printed listing.
//
// The sheets and the budget lines are read as stored, in two statements; the
// order and the balances are made from them: the old balance of a sheet is
// the running sum, per budget line in number order, of the earlier sheets'
// absolute amounts (credits when not an expense sheet, commitments when it is),
// exactly BudgetQueries::CommitmentBalanceBefore; the new balance follows
// BudgetQueries::CommitmentBalanceAfter.

#include "core/Refusal.h"
#include "data/Codes.h"
#include "data/ListingRows.h"
#include "db/Database.h"
#include "documents/DocumentFilter.h"

#include <QDate>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// The criteria the listing keeps while it is open.
using TCommitmentCriteria = TFilterCriteria;

class TCommitmentListing {
public:
    TCommitmentListing();
    ~TCommitmentListing();
    TCommitmentListing(const TCommitmentListing&) = delete;
    TCommitmentListing& operator=(const TCommitmentListing&) = delete;

    // Every sheet, in the order chapter, article, paragraph, number: ID_FNM,
    // ID_ENG, NO_ENG, DATE_ENG, MONTANT, NO_VISA, STATUT, DATE_VISA, OBJET,
    // ORIGINE, ID_ORIGINE, CHAP, ART, PAR, OLD_SOLDE, NEW_SOLDE and IMPUT
    // (the budget line's label).
    TListingRows Read();

    // What the listing window reads of a row of Read().
    struct Row {
        qint64 idEng = -1;
        qint64 idFnm = -1;
        QString number;     // NO_ENG
        SheetOrigin origine = SheetOrigin::User;
        QString visa;       // NO_VISA
        qint64 statut = SheetInForce;
        SheetObject objet = SheetObject::Expense;
    };
    static Row RowOf(const QueryRow& row);
    // The last number of each budget line among rows of Read(), as the
    // database orders numbers (rows without a line or a number left out).
    static QHash<qint64, QString> LastNumbers(const TListingRows& rows);

    // The rows the criteria and the chapter (empty: every chapter) keep; null
    // when none applies. The sheets of the beneficiary part (those with an
    // expense line (LineObject::Expense) of the beneficiary or within the expense
    // amounts) are read here, once, in one statement.
    static TRowFilter RowFilter(const TCommitmentCriteria& filter, const QString& chapter = QString());

    // Why the sheet cannot be deleted from the listing, as it stands now (the
    // caller reads it inside its deleting transaction, which it locks the
    // sheet and its budget line for): a visa, an origin
    // other than a user commitment, a cancellation, a later sheet on its
    // line, or the sheet gone. None when it can be deleted.
    static TVerdict DeleteRefusal(qint64 idEng);

    // The budget line of a chapter, article and paragraph; -1 when none.
    static qint64 FindBudgetLine(const QString& chap, const QString& art, const QString& par);

private:
    std::unique_ptr<db::Query> m_read, m_lines;
};

#pragma once
// The filter of the commitment-sheet and payment-order listings: its criteria
// (TDocumentCriteria) and the dialog both listings' filter dialogs are made
// of (TDocumentFilterDialog): the document's numbers, dates, budget line and
// amount, and under "Bénéficiaire" a beneficiary and the amounts of the
// document's expenses. A chosen beneficiary filters while it is chosen,
// whether the amounts are switched on or not; "X" beside its name forgets it.

#include "data/Codes.h"
#include "db/Currency.h"
#include "ui/FilterDialog.h"
#include "ui/QueryTableModel.h"

#include <QDate>
#include <QSet>
#include <QString>

#include <optional>

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class TGradient;
class TNumEdit;

struct TDocumentCriteria : TRangeCriteria {
    bool mtBen = false;
    Currency mtMinBen, mtMaxBen;  // the amount of an expense on the document

    // Every switch off, nothing chosen, the dates 1 January to 31 December of
    // the fiscal year.
    static TDocumentCriteria Reset();
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
QSet<qint64> DocumentsOfExpenses(const TDocumentCriteria& criteria, const TDocumentRows& rows);
// The rows the criteria keep, exactly as the same conditions in SQL would
// select them; null when no criterion applies and no chapter is given.
// `ofLine`: the documents of the chosen budget line when the rows do not hold
// it. `chapter`: the rows of that chapter only (a CHAP column).
QueryTableModel::Filter DocumentRowFilter(const TDocumentCriteria& criteria, const TDocumentRows& rows,
                                          const QSet<qint64>& ofLine = {}, const QString& chapter = QString());

class TDocumentFilterDialog : public TFilterDialog {
    Q_OBJECT
public:
    // In and out: the five switches and the two choices.
    bool NumChecked = false;
    bool DateChecked = false;
    bool ImputChecked = false;
    bool MtChecked = false;
    bool MtBenChecked = false;
    qint64 IdBen = -1;
    qint64 IdFnm = -1;

    // Gives the dialog the kept criteria (fields and controls), and reads them back.
    void SetCriteria(const TDocumentCriteria& criteria);
    TDocumentCriteria Criteria() const;

    QLabel* lblNum = nullptr;
    QLabel* lblDate = nullptr;
    QLabel* lblImput = nullptr;
    QLabel* lblMt = nullptr;
    QLabel* lblMtBen = nullptr;
    TGradient* gradNum = nullptr;
    TGradient* gradDate = nullptr;
    TGradient* gradImput = nullptr;
    TGradient* gradMt = nullptr;
    TGradient* gradMtBen = nullptr;
    QLineEdit* edNumD = nullptr;
    QLineEdit* edNumF = nullptr;
    QDateEdit* DateD = nullptr;
    QDateEdit* DateF = nullptr;
    QLineEdit* edChap = nullptr;
    QLineEdit* edArt = nullptr;
    QLineEdit* edPar = nullptr;
    TNumEdit* edMtMin = nullptr;
    TNumEdit* edMtMax = nullptr;
    TNumEdit* edMtMinBen = nullptr;
    TNumEdit* edMtMaxBen = nullptr;
    QLineEdit* edNomBen = nullptr;
    QPushButton* btnGetImput = nullptr;
    QPushButton* btnGetBen = nullptr;
    QPushButton* btnClearBen = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    enum Criterion { crNum, crDate, crImput, crMt, crMtBen };
    void btnGetImputClick();
    void btnGetBenClick();
    void btnClearBenClick();

protected:
    // `numberCaption` and `amountCaption` head the document's number and
    // amount criteria ("N° FE", "Montant Eng").
    TDocumentFilterDialog(QWidget* parent, const QString& numberCaption, const QString& amountCaption);
    void SetBeneficiaryName(const QString& name) override;
    QString BeneficiaryName() const override;
};

#pragma once
// TfrmFilterEng ("Filtre Engagements"): the filter dialog of the commitment
// listing. It edits the criteria the listing keeps (TCommitmentCriteria): sheet
// numbers, dates, budget line, sheet amounts, and under "Bénéficiaire" a
// beneficiary and the amounts of the sheet's expenses. A chosen beneficiary
// filters while it is chosen; "X" beside its name forgets it.

#include "budget/CommitmentListing.h"
#include "ui/FilterDialog.h"

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class TGradient;
class TNumEdit;

class TfrmFilterEng : public TFilterDialog {
    Q_OBJECT
public:
    explicit TfrmFilterEng(QWidget* parent = nullptr);

    // In and out: the five switches and the two choices.
    bool NumChecked = false;
    bool DateChecked = false;
    bool ImputChecked = false;
    bool MtChecked = false;
    bool MtBenChecked = false;
    qint64 IdBen = -1;
    qint64 IdFnm = -1;

    // Gives the dialog the kept criteria (fields and controls), and reads them back.
    void SetCriteria(const TCommitmentCriteria& filter);
    TCommitmentCriteria Criteria() const;

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
};

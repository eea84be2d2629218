#pragma once
// TFilterDialog: the filter dialog of the listings of expenses, commitment
// sheets and payment orders. The listing keeps its criteria (TFilterCriteria),
// hands them to its dialog and reads them back after "Appliquer". Each
// listing's own dialog (TfrmFilterDep, TfrmFilterEng, TfrmFilterMdt) names it
// and says what it shows beyond the criteria every listing has.
//
// - Each criterion sits under a clickable gradient header (its caption is
//   clickable too) that switches it on (green to lime) or off (green to
//   black); the criterion's controls are enabled exactly while it is on.
// - The criteria: the numbers, the dates (typed dates with their calendar
//   buttons), the budget line, the amounts, and the beneficiary. The expense
//   listing adds the kind, shows the budget line's title and makes the
//   beneficiary a criterion whose switching off forgets it; the sheet and
//   order listings show under "Bénéficiaire" a beneficiary, which filters
//   while it is chosen ("X" forgets it), and the amounts of the document's
//   expenses.
// - Number edits take digits only and Enter moves on (in the dates too);
//   while the "from" number is typed, the "to" number follows it when it was
//   empty at the first key, until the "from" edit is left. An amount maximum
//   follows its minimum the same way when it was 0.
// - Whichever way the dialog closes (Appliquer, Annuler, Esc) both numbers are
//   trimmed, both dates must be dates, and the number range and the date
//   range must be in order (text order for the numbers), even for a criterion
//   switched off: the dialog stays open with its message otherwise. Then an
//   empty number becomes "-1".

#include "documents/DocumentFilter.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

class QBoxLayout;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class TGradient;
class TNumEdit;

// A budget line and a beneficiary as the user picked them from their lists.
struct TPickedBudgetLine {
    qint64 idFnm = -1;
    QString chap, art, par, intitule;
};
struct TPickedBeneficiary {
    qint64 idBen = -1;
    QString name;
};
// How the filter dialog has a budget line and a beneficiary chosen: the
// nomenclature's and the beneficiaries' lists in pick mode, which belong to
// the reference data above this layer (refdata/Pickers.h gives them). Each
// returns nothing when the user cancels.
struct TFilterPickers {
    std::function<std::optional<TPickedBudgetLine>(QWidget* parent)> budgetLine;
    std::function<std::optional<TPickedBeneficiary>(QWidget* parent)> beneficiary;
};

class TFilterDialog : public QDialog {
    Q_OBJECT
public:
    // In (expense listing): the caller's kind (none: the kind can be
    // chosen) and the kept kind index.
    std::optional<ExpenseKind> TypeDep;
    int TypeDepIndex = 0;
    // In and out: the switches and the two choices.
    bool NumChecked = false;
    bool DateChecked = false;
    bool ImputChecked = false;
    bool MtChecked = false;
    bool BenChecked = false;     // expense listing: the beneficiary
    bool MtBenChecked = false;   // sheet and order listings: the amounts of the document's expenses
    qint64 IdBen = -1;
    qint64 IdFnm = -1;

    // Gives the dialog the kept criteria (fields and controls), and reads them back.
    void SetCriteria(const TFilterCriteria& criteria);
    TFilterCriteria Criteria() const;

    // A header clicked: the criterion switches on or off.
    // The fifth is the beneficiary, or the amounts of the document's expenses.
    enum Criterion { crNum, crDate, crImput, crMt, crBen };
    void ToggleCriterion(int criterion);

    void done(int result) override;

    QLabel* lblNum = nullptr;
    QLabel* lblDate = nullptr;
    QLabel* lblImput = nullptr;
    QLabel* lblMt = nullptr;
    TGradient* gradNum = nullptr;
    TGradient* gradDate = nullptr;
    TGradient* gradImput = nullptr;
    TGradient* gradMt = nullptr;
    QLineEdit* edNumD = nullptr;
    QLineEdit* edNumF = nullptr;
    QLineEdit* DateD = nullptr;
    QLineEdit* DateF = nullptr;
    QToolButton* btnGetDateD = nullptr;
    QToolButton* btnGetDateF = nullptr;
    QLineEdit* edChap = nullptr;
    QLineEdit* edArt = nullptr;
    QLineEdit* edPar = nullptr;
    TNumEdit* edMtMin = nullptr;
    TNumEdit* edMtMax = nullptr;
    QPushButton* btnGetImput = nullptr;
    QPushButton* btnGetBen = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
    // The expense listing's.
    QComboBox* cmbTypeDep = nullptr;
    QLabel* lTypeDep = nullptr;
    QLabel* lblBen = nullptr;
    TGradient* gradBen = nullptr;
    QLabel* lInt = nullptr;
    QLabel* lNomBen = nullptr;
    // The sheet and order listings'.
    QLineEdit* edNomBen = nullptr;
    QPushButton* btnClearBen = nullptr;
    QLabel* lblMtBen = nullptr;
    TGradient* gradMtBen = nullptr;
    TNumEdit* edMtMinBen = nullptr;
    TNumEdit* edMtMaxBen = nullptr;

    void btnGetImputClick();
    void btnGetBenClick();
    void btnClearBenClick();

protected:
    // What one listing's dialog is.
    struct Listing {
        const char* name = nullptr;   // the dialog's object name
        QString title;
        QString numberCaption;        // "N° Dépense", "N° FE", "N° MDT"
        QString amountCaption;        // "Montant", "Montant Eng", "Montant MDT"
        bool expenses = false;        // the expense listing's dialog (see above)
        int width = 440;
    };
    TFilterDialog(QWidget* parent, const Listing& listing, TFilterPickers pickers);

    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Switch {
        bool* on;
        QLabel* label;
        TGradient* gradient;
        QList<QWidget*> controls;
    };
    struct Follow {
        QWidget* leader;
        QWidget* follower;
        bool amount;
        bool firstKey = true;
        bool follows = false;
    };

    // A criterion's header in `layout`; `on` is the switch it shows and changes.
    int AddCriterion(QBoxLayout* layout, const char* labelName, const char* gradientName, const QString& caption,
                     bool* on, QLabel** label, TGradient** gradient);
    // An indented row under a header.
    QHBoxLayout* AddRow(QBoxLayout* layout);
    // "Du N° : " and "Au N° : ", the second following the first.
    void AddNumberRange(QBoxLayout* layout, int criterion);
    // "Du : " and "Au : ", typed dates with their calendar buttons.
    void AddDateRange(QBoxLayout* layout, int criterion);
    // "Mt Min : " and "Mt Max : ", the maximum following the minimum.
    void AddAmountRange(QBoxLayout* layout, int criterion, const char* minName, const char* maxName, TNumEdit** min,
                        TNumEdit** max);
    // The chosen budget line and its picker button, which alone the criterion enables.
    void AddBudgetLineRow(QBoxLayout* layout, int criterion);
    void AddExpenseKind(QBoxLayout* layout);
    // The beneficiary as a criterion (expenses), or the group of the
    // beneficiary and the amounts of the document's expenses.
    void AddBeneficiaryCriterion(QBoxLayout* layout);
    void AddBeneficiaryGroup(QBoxLayout* layout);
    void AddApplyButtons(QBoxLayout* layout);

    QLineEdit* MakeNumberEdit(const char* name);
    QLineEdit* MakeDateEdit(const char* name, const char* buttonName, QToolButton** button);
    TNumEdit* MakeRangeAmountEdit(const char* name);
    QLineEdit* MakeKeyEdit(const char* name, int width);
    void FollowLeader(QLineEdit* leader, QWidget* follower, bool amount);
    void Lead(Follow& f);

    // A budget line chosen: its key, its key edits and its title.
    void ShowBudgetLine(qint64 idFnm, const QString& chap, const QString& art, const QString& par,
                        const QString& intitule);
    void SetBeneficiaryName(const QString& name);
    QString BeneficiaryName() const;
    void ShowCriterion(int criterion);
    void ShowCriteria();

    Listing m_listing;
    TFilterPickers m_pickers;
    QList<Switch> m_switches;
    QList<Follow> m_follows;
    QList<QLineEdit*> m_enterMovesOn;
    QString m_intitule;
};

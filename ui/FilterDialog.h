#pragma once
// TFilterDialog: what the filter dialogs of the listings share (expenses,
// payment orders, commitment sheets). The listing keeps the criteria, hands
// them to its dialog and reads them back after "Appliquer".
//
// - Each criterion sits under a clickable gradient header (its caption is
//   clickable too) that switches it on (green to lime) or off (green to
//   black); the criterion's controls are enabled exactly while it is on.
// - Number edits take digits only and Enter moves on; while the "from" number
//   is typed, the "to" number follows it when it was empty at the first key,
//   until the "from" edit is left. An amount maximum follows its minimum the
//   same way when it was 0.
// - Whichever way the dialog closes (Appliquer, Annuler, Esc) both numbers are
//   trimmed and the number range and the date range must be in order (text
//   order for the numbers), even for a criterion switched off: the dialog
//   stays open with its message otherwise. Then an empty number becomes "-1".
//
// A dialog builds its controls with the helpers below, declares each
// criterion with AddCriterion and its controls, and names its ranges with
// SetRanges.

#include "db/Currency.h"

#include <QDate>
#include <QDialog>
#include <QList>
#include <QString>

class QBoxLayout;
class QDateEdit;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class TGradient;
class TNumEdit;

// The criteria every listing's filter has: document numbers, dates, amounts,
// a budget line and a beneficiary.
struct TRangeCriteria {
    bool num = false, date = false, imput = false, mt = false;
    QString numFrom, numTo;       // compared as text with the stored numbers
    QDate dateFrom, dateTo;
    Currency mtMin, mtMax;
    qint64 idFnm = -1;
    QString chap, art, par, intitule;
    qint64 idBen = -1;
    QString benName;

    // The dates 1 January to 31 December of the fiscal year.
    void ResetDates();
};

class TFilterDialog : public QDialog {
    Q_OBJECT
public:
    // A header clicked: the criterion switches on or off.
    void ToggleCriterion(int criterion);

    void done(int result) override;

protected:
    explicit TFilterDialog(QWidget* parent);

    // Adds a criterion's header to `layout`; `on` is the switch it shows and
    // changes. Returns the criterion's index (0, 1, ... in the order added).
    int AddCriterion(QBoxLayout* layout, const char* labelName, const char* gradientName, const QString& caption,
                     bool* on, QLabel** label = nullptr, TGradient** gradient = nullptr);
    // Adds controls that a criterion enables.
    void AddCriterionControls(int criterion, const QList<QWidget*>& controls);
    // A switch changed from outside (the caller's criteria): the headers and
    // controls show the switches again.
    void ShowCriteria();
    // The common criteria into the dialog's switches, controls and choices
    // (the budget line's key edits and title, the chosen line and
    // beneficiary, whose name the dialog shows itself), and back.
    void PutRanges(const TRangeCriteria& criteria);
    void TakeRanges(TRangeCriteria& criteria) const;
    // Where the dialog keeps the chosen budget line and beneficiary.
    void SetChoiceFields(qint64* idFnm, qint64* idBen);
    // A budget line chosen: its key, its key edits and its title.
    void ShowBudgetLine(qint64 idFnm, const QString& chap, const QString& art, const QString& par,
                        const QString& intitule);
    // Shows the title of the chosen budget line (dialogs that show it).
    virtual void ShowBudgetLineTitle(const QString& intitule) {}
    // The beneficiary's name as the dialog shows it.
    virtual void SetBeneficiaryName(const QString& name) = 0;
    virtual QString BeneficiaryName() const = 0;
    // Called after a header switched its criterion.
    virtual void CriterionToggled(int criterion, bool on) {}

    QLineEdit* MakeNumberEdit(const char* name);
    QDateEdit* MakeDateEdit(const char* name);
    TNumEdit* MakeRangeAmountEdit(const char* name);
    // A read-only display of a chosen key (chapter, article, paragraph).
    QLineEdit* MakeKeyEdit(const char* name, int width);
    // `to` follows `from` while `from` is typed (see above).
    void FollowNumbers(QLineEdit* from, QLineEdit* to);
    void FollowAmounts(TNumEdit* min, TNumEdit* max);
    // The ranges checked at closing.
    void SetRanges(QLineEdit* numFrom, QLineEdit* numTo, QDateEdit* dateFrom, QDateEdit* dateTo);

    // Rows under a criterion's header, their controls enabled by it:
    // an indented row;
    QHBoxLayout* AddRow(QBoxLayout* layout);
    // "Du N° : " and "Au N° : " (edNumD, edNumF), the second following the
    // first, checked at closing;
    void AddNumberRange(QBoxLayout* layout, int criterion, QLineEdit** from, QLineEdit** to);
    // "Du : " and "Au : " (DateD, DateF), checked at closing;
    void AddDateRange(QBoxLayout* layout, int criterion, QDateEdit** from, QDateEdit** to);
    // "Mt Min : " and "Mt Max : ", the maximum following the minimum;
    void AddAmountRange(QBoxLayout* layout, int criterion, const char* minName, const char* maxName, TNumEdit** min,
                        TNumEdit** max);
    // The chosen budget line (edChap, edArt, edPar) and its picker button
    // btnGetImput, which alone the criterion enables.
    void AddBudgetLineRow(QBoxLayout* layout, int criterion, QLineEdit** chap, QLineEdit** art, QLineEdit** par,
                          QPushButton** pick);
    // "Appliquer" (accepts) and "Annuler" (rejects), at the bottom right.
    void AddApplyButtons(QBoxLayout* layout, QPushButton** ok, QPushButton** cancel);

    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Criterion {
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
    void ShowCriterion(int criterion);
    void Lead(Follow& f);

    QList<Criterion> m_criteria;
    bool* m_numOn = nullptr;
    bool* m_dateOn = nullptr;
    bool* m_imputOn = nullptr;
    bool* m_mtOn = nullptr;
    TNumEdit* m_mtMin = nullptr;
    TNumEdit* m_mtMax = nullptr;
    QLineEdit* m_chap = nullptr;
    QLineEdit* m_art = nullptr;
    QLineEdit* m_par = nullptr;
    QString m_intitule;
    qint64* m_idFnm = nullptr;
    qint64* m_idBen = nullptr;
    QList<Follow> m_follows;
    QList<QLineEdit*> m_numberEdits;
    QLineEdit* m_numFrom = nullptr;
    QLineEdit* m_numTo = nullptr;
    QDateEdit* m_dateFrom = nullptr;
    QDateEdit* m_dateTo = nullptr;
};

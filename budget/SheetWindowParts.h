#pragma once
// Pieces shared by the windows of commitment sheets (the user's commitments
// and their cancellations): the header fields (number, date, visa number and
// date with their calendar buttons, the title of the sheet's kind), the
// observation memo, the balance footer, and the entry edit that has the focus
// standing out.

#include "budget/SheetRules.h"
#include "data/ShownRow.h"
#include "db/Currency.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QGridLayout;
class TDocumentKeyList;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;
class QWidget;
struct TSheet;

struct TSheetHeaderFields {
    QLineEdit* edNoFiche = nullptr;
    QLineEdit* edDateE = nullptr;
    QLineEdit* edNoVisa = nullptr;
    QLineEdit* edDateVisa = nullptr;
    QToolButton* btnGetDateEng = nullptr;
    QToolButton* btnGetDateVisa = nullptr;

    // The fields on the first two rows of `grid` (four columns), the title
    // (`kind`: "DEPENSE" or "ECONOMIE") in the fifth; the calendar buttons and
    // a double click put a date in their field.
    void Build(QWidget* panel, QGridLayout* grid, const QString& kind);
    void Clear();
    // The sheet's number, date, visa number and visa date.
    void Show(const TSheet& sheet);
    // The four edits, in their order on screen.
    QList<QLineEdit*> Edits() const { return {edNoFiche, edDateE, edNoVisa, edDateVisa}; }
};

// The number typed in `edNoFiche` when a sheet is changed: trimmed, checked
// (sheet::CheckNumber) and free on the sheet's budget line (`taken` answers
// whether another sheet of the line holds the padded number: "Ce N° de Fiche
// existe déjà !"); the edit then shows it padded to four digits.
TVerdict TakeTypedNumber(QLineEdit* edNoFiche, const std::function<bool(const QString& padded)>& taken);

// The stored row a sheet window shows: the sheet's ENT_ENG row, read afresh
// when shown (its version is read with it); none without a sheet.
TShownRow SheetShownRow(const std::optional<TSheet>& sheet);

// The sheet a sheet window shows first: `idEng` when it is listed (the first
// sheet when it is not), the last one when `idEng` is 0 or less.
void LocateFirstSheet(TDocumentKeyList* keys, qint64 idEng);

// The two questions before a sheet is deleted for good; true when both are answered Yes.
bool AskSheetDeletion();

// "Observations" over the memo (at most 512 characters), on a panel of its own.
QWidget* BuildObservationPanel(QWidget* parent, QPlainTextEdit** memo);

// The balances of the sheet shown: "Anc. Solde", "Montant", "Nouv. Solde".
struct TBalanceFooter {
    QLabel* lOldSolde = nullptr;
    QLabel* lMontant = nullptr;
    QLabel* lNewSolde = nullptr;

    QWidget* Build(QWidget* parent);
    void Show(Currency oldBalance, Currency amount, Currency newBalance);
    void ShowZero();
};

// The search of a sheet window: TfrmFindFE, then `find` (the key of the sheet
// of that budget line and number, -1 when none) located in `keys`; "Fiche
// d'engagement introuvable ! " when it is not there. True when located.
bool FindSheetThroughDialog(QWidget* parent, TDocumentKeyList* keys,
                            const std::function<qint64(const QString& chap, const QString& art, const QString& par,
                                                       const QString& number)>& find);

// The preview of a sheet on one of its documents (a report form with IdEng).
template <typename Form>
void PreviewSheet(QWidget* parent, qint64 idEng)
{
    Form form;
    form.IdEng = int(idEng);
    form.Preview(parent);
}

// The entry edits given take the focus colour while they have the focus; when
// one loses it, `recolour` gives the entry panel its colours back.
class TFocusColour : public QObject {
public:
    TFocusColour(QObject* parent, const QList<QLineEdit*>& edits, std::function<void()> recolour);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_recolour;
};

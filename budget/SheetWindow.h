#pragma once
// TSheetWindow: what the windows of commitment sheets share (the user's
// commitments, their cancellations and the regularisation sheets), on the
// document windows' base (documents/DocumentWindow.h): the header fields
// (number, date, visa number and date), the observation memo, the balance
// footer, the popup menu PopMnEng, the closing rule (closing drops an open
// entry; the navigator stays usable while one is open), the header edits'
// Enter key and focus colour, and what the mode changes of the observation
// and the number.

#include "budget/SheetWindowParts.h"
#include "documents/DocumentWindow.h"

class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QToolButton;
class QWidget;

class TSheetWindow : public TDocumentWindow {
    Q_OBJECT
public:
    ~TSheetWindow() override;

    // Controls every sheet window has.
    QWidget* pnlObs = nullptr;
    QLineEdit* edNoFiche = nullptr;
    QLineEdit* edDateE = nullptr;
    QLineEdit* edNoVisa = nullptr;
    QLineEdit* edDateVisa = nullptr;
    QToolButton* btnGetDateEng = nullptr;
    QToolButton* btnGetDateVisa = nullptr;
    QLabel* lInt = nullptr;
    QPlainTextEdit* mmObs = nullptr;
    QToolButton* btnModifDet = nullptr;
    QLabel* lOldSolde = nullptr;
    QLabel* lMontant = nullptr;
    QLabel* lNewSolde = nullptr;
    QToolButton* btnModif = nullptr;
    QMenu* PopMnEng = nullptr;

protected:
    TSheetWindow(const char* name, const QString& title, const QString& writeRightItem, QWidget* parent);

    // The popup menu PopMnEng begun (BeginPopupMenu).
    QMenu* BeginSheetMenu();
    // Browsing through the keys (BrowseDocuments), then Enter and the focus
    // colour on the header's edits.
    void BrowseSheets(std::function<void()> show);
    // The observation is entered while an entry is open; the number is typed
    // only when a sheet is changed (a new one takes its number from its line).
    void ModeChanged() override;

    TSheetHeaderFields m_header;
    TBalanceFooter m_balances;
};

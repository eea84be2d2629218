#pragma once
// TfrmSF: the financial situation of the budget lines over a period, by
// section, both sections, or as the general recap of the two sections. A
// display recomputes the work table SIT_FIN and shows it in a grid with its
// totals; the table outlives the window, which shows the last display when it
// opens. The view, filters and period are kept in the settings file ([SIT_FIN]).
//
// Modal; opened from the main menu, it asks for no write right. It prints
// the situation (btnPrint, mnPrint) and opens the correction of a row
// ("Modifier la Situation", mnModif, or a double click on the grid).

#include "budget/SituationStore.h"
#include "reports/budget/URptSF_S1_S2.h"
#include "ui/ListWindow.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;
class QToolButton;
class QueryTableModel;
class TStatusBar;

class TfrmSF : public TListWindow {
    Q_OBJECT
public:
    explicit TfrmSF(QWidget* parent = nullptr);
    ~TfrmSF() override;

    QComboBox* cmbSection = nullptr;
    QComboBox* cmbEng = nullptr;
    QComboBox* cmbMdt = nullptr;
    QComboBox* cmbPeriode = nullptr;
    // The period: typed dates ("dd/MM/yyyy"), each with its calendar button.
    QLineEdit* edDateD = nullptr;
    QLineEdit* edDateF = nullptr;
    QToolButton* btnGetDateD = nullptr;
    QToolButton* btnGetDateF = nullptr;
    QLabel* lDateD = nullptr;
    QLabel* lDateF = nullptr;
    QPushButton* btnDisplay = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnClose = nullptr;
    QTableView* grdSF = nullptr;
    QLabel* lTotAll = nullptr;
    QLabel* lTotRev = nullptr;
    QLabel* lTotEng = nullptr;
    QLabel* lTotPmt = nullptr;
    QLabel* lTotSLD = nullptr;
    QLabel* lTaux = nullptr;
    TStatusBar* stBar = nullptr;

    // The popup menu (also the grid's context menu).
    QMenu* PopMenu = nullptr;
    QAction* mnDisplay = nullptr;   // "Afficher"
    QAction* mnPrint = nullptr;     // "Imprimer"
    QAction* mnExcel = nullptr;     // "Envoyer vers Excel"
    QAction* mnModif = nullptr;     // "Modifier la Situation"
    QAction* mnClose = nullptr;     // "Fermer"

    QueryTableModel* model() const { return m_model; }

    void FormShow() override;
    // The date pickers for views 0 to 2, the quarter for the recap.
    void UpdatePeriodControls();
    void btnDisplayClick();
    // A display: computes the situation, writes it into SIT_FIN and shows the
    // rows and totals it read back inside the same operation, so what is shown
    // is what this display wrote, whatever other users display meanwhile.
    void BuildSituation(const TSituationRequest& request);
    void BuildSituationRecap(const TSituationRequest& request);
    // Fills the totals bar and re-reads the grid from SIT_FIN as it stands.
    void ShowSituationTotals();
    void mnExcelClick();
    // Prints the situation the table holds; opens the correction of the
    // current row (refused on a chapter row).
    void btnPrintClick();
    void mnModifClick();
    void FormClose();

    // The period a display covers: the pickers, or for the recap 1 January to
    // the end of the chosen quarter.
    TSituationRequest Request() const;

protected:
    void done(int result) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildWindow();
    void Build(const TSituationRequest& request, bool recap);
    // Shows the rows of SIT_FIN `grid` and the totals `totals`.
    void ShowSituation(const TSituationTotals& totals, TListingRows grid);
    void FitColumns();
    void FitTitle();
    void PlaceTotals();
    QLabel* TotalOf(int column) const;

    QueryTableModel* m_model = nullptr;
    QWidget* pnlTotals = nullptr;
    QLabel* lTotaux = nullptr;
    int m_fixedWidth = 0;   // the columns other than the title
    bool m_building = false;
};

// What the work table SIT_FIN holds, as the printed situation takes it: the
// rows the window hands TfrmRptSF_S1_S2 at every print.
TSituationPrintRows StoredSituation();

#pragma once
// TfrmVirement: credit transfers between budget lines. A transfer has a date,
// the lines that give credit (the "Dépenses" grid) and the lines that receive
// it (the "Economie" grid), each with a positive amount; the two totals are
// equal. Saving checks the credit of every giving line under the transfer
// policy and stores the rows and one commitment sheet per row together;
// changing or deleting a stored transfer is possible only while each of its
// sheets is still the last sheet of its line.
//
// Modal; the caller sets IdVir (-1: the last transfer in date order), runs
// exec() and frees the window. Each grid holds its lines as values
// (TTransferLinesModel); typing an amount only recomputes the totals from
// them: nothing is read from the database per key.
//
// The print items (PopMnPrint, and "Imprimer ..." in PopMnVIR) and "Modifier la
// Décision de Transfert" are connected by the transfer documents and the
// decision template's window.

#include "budget/TransferLines.h"
#include "budget/TransferStore.h"
#include "ui/EditorWindow.h"

#include <QPointer>
#include <QTableView>

class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class TfrmVirement;

// A grid of the window over its lines: an amount cell opens for typing only
// when the window lets it, and the editor can be closed from the window (its
// text kept).
class TTransferGrid : public QTableView {
public:
    TTransferGrid(TfrmVirement* window, int rows, QWidget* parent);

    TTransferLinesModel* Lines() const { return m_lines; }
    // The current cell, as a table widget names it.
    void setCurrentCell(int row, int column) { setCurrentIndex(model()->index(row, column)); }
    int currentRow() const { return currentIndex().row(); }

    // Commits the text being typed, if any, and closes its editor.
    void FinishEditing();
    void SetEditor(QWidget* editor) { m_editor = editor; }

    using QTableView::edit;

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

private:
    TfrmVirement* m_window;
    TTransferLinesModel* m_lines;
    QPointer<QWidget> m_editor;
};

class TfrmVirement : public TEditorWindow {
    Q_OBJECT
public:
    explicit TfrmVirement(QWidget* parent = nullptr);
    ~TfrmVirement() override;

    // In: the transfer to show first (-1: the last one). While the window runs,
    // the transfer shown (0 when there is none).
    qint64 IdVir = -1;

    // The grids' columns; rows 0 to 28 hold the lines (29 at most).
    enum Column {
        colNo = blNo,
        colChap = blChap,
        colArt = blArt,
        colPar = blPar,
        colIntitule = blIntitule,
        colMontant = blMontant,
        colIdFnm = TTransferLinesModel::IdColumn,
        colCount
    };
    static constexpr int GridRows = 29;

    // Tool bar.
    QWidget* pnlBtns = nullptr;
    TRecordNavigator* myNavigator = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnDelete = nullptr;
    QPushButton* btnEdit = nullptr;
    QPushButton* btnPost = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnMenu = nullptr;
    QPushButton* btnClose = nullptr;

    QLineEdit* edDate = nullptr;
    QPushButton* btnGetDate = nullptr;
    TTransferGrid* grdDep = nullptr;
    TTransferGrid* grdEco = nullptr;
    QPushButton* btnAddDep = nullptr;
    QPushButton* btnDelDep = nullptr;
    QPushButton* btnAddEco = nullptr;
    QPushButton* btnDelEco = nullptr;
    QLabel* lTotDep = nullptr;
    QLabel* lTotEco = nullptr;

    // PopMnVIR (the window's context menu) and PopMnPrint.
    QMenu* PopMnVIR = nullptr;
    QMenu* PopMnPrint = nullptr;
    QAction* mnAdd = nullptr;
    QAction* mnEdit = nullptr;
    QAction* mnPost = nullptr;
    QAction* mnCancel = nullptr;
    QAction* mnDelete = nullptr;
    QAction* mnAddDep = nullptr;
    QAction* mnDelDep = nullptr;
    QAction* mnAddEco = nullptr;
    QAction* mnDelEco = nullptr;
    QAction* mnModiDec = nullptr;
    QAction* mnClose = nullptr;
    QAction* mnFicheDep = nullptr;       // "Fiche d'engagement - Dépense"
    QAction* mnFicheDepPre = nullptr;    // "... - Dépense - PréImprimé"
    QAction* mnFicheEco = nullptr;       // "Fiche d'engagement - Economie"
    QAction* mnFicheEcoPre = nullptr;    // "... - Economie - PréImprimé"
    QAction* mnEtatVir = nullptr;        // "Etat de virement"
    QAction* mnDecision = nullptr;       // "Décision de Transfert"

    void ShowTransfer();
    void btnAddClick();
    void btnEditClick();
    void btnDeleteClick();
    // Adds a line picked in the nomenclature to the grid, removes the selected one.
    void AddTransferLine(TTransferGrid* grid);
    void RemoveTransferLine(TTransferGrid* grid);
    // The sum of the grid's amounts, the one being typed included.
    Currency TransferGridTotal(TTransferGrid* grid) const;

    // Whether the line's sheet of the transfer shown (giving or receiving side)
    // allows a change: outside edit mode always; in edit mode when the line has
    // no sheet yet or its sheet is still the line's last (else a message).
    bool CanChangeTransferLine(TTransferGrid* grid, qint64 idFnm);
    // Whether every sheet of the transfer shown is still the last of its line
    // (else a message).
    bool TransferSheetsAreLast();
    // The credit test of a giving line under the transfer policy.
    bool CheckTransferCredit(qint64 idFnm, Currency amount);
    // The sheet of the line selected in a grid (its side's sheet), on white
    // paper or on the stationery; the statement of the transfer shown.
    void PrintTransferSheet(TTransferGrid* grid, bool prePrinted);
    void mnEtatVirClick();

protected:
    bool HasRows() const override;
    TShownRow ShownRow() const override;
    void FormShow() override;
    void btnPostClick() override;
    void btnCancelClick() override;
    void ModeChanged() override;

private:
    friend class TTransferGrid;
    friend class TTransferCellDelegate;

    void BuildWindow();
    TTransferGrid* MakeGrid(const char* name);
    void ClearTransferGrid(TTransferGrid* grid);
    // Shows the rows of a stored transfer in a grid.
    void PutRows(TTransferGrid* grid, const QList<TTransferRow>& rows);
    qint64 LineAt(TTransferGrid* grid, int row) const;
    QList<TTransferRow> TransferRows(TTransferGrid* grid) const;
    void ShowTotals();
    void LocateTransfer(qint64 idVir);
    // An amount cell may be typed in: its row holds a line whose sheet allows it.
    bool MayEditAmount(TTransferGrid* grid, int row);
    // The text being typed in a cell, before it is written back.
    void AmountTyped(TTransferGrid* grid, int row, const QString& text);
    void AmountLeft();
    // Ends the typing of a cell: its text is written back as the amount it reads.
    void FinishTyping();
    [[noreturn]] void RefuseRow(TTransferGrid* grid, int row, const QString& message);

    TTransferStore m_store;
    QueryTableModel* m_keys = nullptr;   // the transfers, in date order
    // The row painted red while its removal is asked.
    QPointer<TTransferGrid> m_removingGrid;
    int m_removingRow = -1;
};

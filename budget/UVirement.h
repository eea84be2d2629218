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
// exec() and frees the window. Typing an amount only recomputes the totals
// from the grids' texts: nothing is read from the database per key.
//
// The print items (PopMnPrint, and "Imprimer ..." in PopMnVIR) and "Modifier la
// Décision de Transfert" are connected by the transfer documents and the
// decision template's window.

#include "budget/TransferStore.h"
#include "ui/EditorWindow.h"

#include <QPointer>

class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableWidget;
class TTransferGrid;

class TfrmVirement : public TEditorWindow {
    Q_OBJECT
public:
    explicit TfrmVirement(QWidget* parent = nullptr);
    ~TfrmVirement() override;

    // In: the transfer to show first (-1: the last one). While the window runs,
    // the transfer shown (0 when there is none).
    qint64 IdVir = -1;

    // The grids' columns; rows 0 to 28 hold the lines (29 at most).
    enum Column { colNo, colChap, colArt, colPar, colIntitule, colMontant, colIdFnm, colCount };
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
    QTableWidget* grdDep = nullptr;
    QTableWidget* grdEco = nullptr;
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
    void AddTransferLine(QTableWidget* grid);
    void RemoveTransferLine(QTableWidget* grid);
    // The sum of the grid's amounts that read as numbers.
    Currency TransferGridTotal(QTableWidget* grid) const;

    // Whether the line's sheet of the transfer shown (giving or receiving side)
    // allows a change: outside edit mode always; in edit mode when the line has
    // no sheet yet or its sheet is still the line's last (else a message).
    bool CanChangeTransferLine(QTableWidget* grid, qint64 idFnm);
    // Whether every sheet of the transfer shown is still the last of its line
    // (else a message).
    bool TransferSheetsAreLast();
    // The credit test of a giving line under the transfer policy.
    bool CheckTransferCredit(qint64 idFnm, Currency amount);

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
    QTableWidget* MakeGrid(const char* name);
    void ClearTransferGrid(QTableWidget* grid);
    void PutRow(QTableWidget* grid, int row, const TTransferRow& line);
    int FirstFreeTransferRow(QTableWidget* grid) const;
    qint64 LineAt(QTableWidget* grid, int row) const;
    QString CellText(QTableWidget* grid, int row, int column) const;
    QList<TTransferRow> TransferRows(QTableWidget* grid) const;
    void ShowTotals();
    void LocateTransfer(qint64 idVir);
    // An amount cell may be typed in: its row holds a line whose sheet allows it.
    bool MayEditAmount(QTableWidget* grid, int row);
    // The text being typed in a cell, before it is written back.
    void AmountTyped(QTableWidget* grid, int row, const QString& text);
    void AmountLeft();
    // Ends the typing of a cell: its text is written back as the amount it reads.
    void FinishTyping();
    [[noreturn]] void RefuseRow(QTableWidget* grid, int row, const QString& message);

    TTransferStore m_store;
    db::Query* qVir = nullptr;
    // The cell being typed and its live text.
    QPointer<QTableWidget> m_typedGrid;
    int m_typedRow = -1;
    QString m_typedText;
    // The row painted red while its removal is asked.
    QPointer<QTableWidget> m_removingGrid;
    int m_removingRow = -1;
};

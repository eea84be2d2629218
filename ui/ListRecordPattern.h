#pragma once
// The list-and-record pattern of the reference-data windows.
//
// A list window (TRefListForm) shows a table's rows in a grid with buttons to
// open the record window, delete a row and, in pick mode, choose one. A record
// window (TRefRecordForm) is an editor window (ui/EditorWindow.h) with the
// pattern's own tool bar, popup menu and rows; each pair derives from these
// two and supplies its store's reads, fields, checks and messages.
//
// Also here: the usage test and the confirmed delete, the row tints and the
// selection colours of the grids.

#include "ui/EditorWindow.h"
#include "ui/FormKit.h"
#include "ui/ListWindow.h"
#include "ui/QueryTableModel.h"

#include <QDialog>

#include <functional>
#include <memory>

class QAction;
class QHBoxLayout;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;
class QVBoxLayout;

// Asks `question`; on Yes runs `deletion` (a store's delete) as one committed
// operation. True when the row was deleted; false on No and when the commit
// was refused (the user has been told, the row is still there).
// `refusedNow`, when given, runs first inside the deleting transaction and
// says (having told the user why) that the row may no longer go: what was
// checked before the question may have changed while it was asked. Nothing
// is deleted then, and the answer is false.
bool ConfirmAndDelete(const QString& question, const std::function<void()>& deletion,
                      const std::function<bool()>& refusedNow = {});
// The same for a row that may not go while something uses it: `inUse` is read
// before the question and again inside the deleting transaction, and refuses
// with the information `refusal`.
bool ConfirmAndDeleteUnused(const QString& question, const std::function<void()>& deletion,
                            const std::function<bool()>& inUse, const QString& refusal);

// A row tint for every even row (1-based) of the grid.
QueryTableModel::RowTint EvenRowTint(const QColor& color);

// Selection colours of a grid (text on background).
void SetSelectionColors(QWidget* grid, const QColor& background, const QColor& text);

// ---------------------------------------------------------------------------

class TRefListForm : public TListWindow {
    Q_OBJECT
public:

    // In: true when the window is a picker (OK shown, double-click and Enter choose).
    bool SelectMode = false;

    QTableView* grid() const { return m_grid; }
    QueryTableModel* model() const { return m_model; }
    TStatusBar* stBar = nullptr;
    QPushButton* btnModif = nullptr;
    QPushButton* btnDelete = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnMenu = nullptr;
    QPushButton* btnClose = nullptr;
    QMenu* PopMenu = nullptr;
    QAction* mnModif = nullptr;
    QAction* mnDelete = nullptr;
    QAction* mnClose = nullptr;

    // "Ajouter/Modifier": opens the record window on the current row, then
    // re-reads the rows and makes the same key current again (first row when gone).
    void btnModifClick();
    void btnDeleteClick();
    void btnMenuClick();

protected:
    struct Options {
        int statusPanels = 3;
        bool popupIsContextMenu = true;
        bool okInTopPanel = true;   // false: the pair puts btnOk in its own bottom panel
    };
    TRefListForm(const Options& options, QWidget* parent);

    // Hooks of each pair.
    void FormShow() override = 0;                // opens the rows, fills the status bar
    virtual void RunRecordWindow() = 0;          // record window on the current row
    virtual void DeleteCurrent() = 0;            // right, usage checks, confirmation, delete
    virtual void SetResults(bool ok) = 0;        // result fields at closing
    virtual void UpdateButtons();                // delete enabled only when rows are shown
    virtual void FormClose() {}                  // after the results are set

    // The OK button shown in pick mode only, the delete command's state.
    void FirstShow() override;
    void done(int result) override;

    QVBoxLayout* m_layout = nullptr;     // top panel, grid, status bar
    QWidget* pnlTop = nullptr;
    QHBoxLayout* m_topLayout = nullptr;

private:
    void GridDoubleClick();

    QTableView* m_grid = nullptr;
    QueryTableModel* m_model = nullptr;
    bool m_closing = false;
};

// ---------------------------------------------------------------------------

class TRefRecordForm : public TEditorWindow {
    Q_OBJECT
public:
    QWidget* pnlBtns = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnEdit = nullptr;
    QPushButton* btnPost = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnDelete = nullptr;     // null in the code-table record
    QPushButton* btnMenu = nullptr;
    QPushButton* btnClose = nullptr;
    TRecordNavigator* MyNavigator = nullptr;   // null without one
    QToolButton* btnFirst = nullptr;
    QToolButton* btnPrior = nullptr;
    QToolButton* btnNext = nullptr;
    QToolButton* btnLast = nullptr;
    QWidget* pnlMain = nullptr;
    QMenu* PopMenu = nullptr;
    QAction* mnAdd = nullptr;
    QAction* mnEdit = nullptr;
    QAction* mnDelete = nullptr;          // null in the code-table record
    QAction* mnPost = nullptr;
    QAction* mnCancel = nullptr;
    QAction* mnClose = nullptr;

    void btnAddClick();
    void btnEditClick();
    void btnPostClick() override;
    void btnCancelClick() override;
    void btnDeleteClick();

protected:
    enum CloseQuestion {
        cqSaveThenClose,   // "Voulez-vous enregistrer les modifications apportées à cet élément ?"
        cqSaveAndStay      // "Les informations modifiées n'ont pas été enregistrées !..."
    };
    struct Options {
        bool hasDelete = true;
        bool hasNavigator = true;
        bool popupIsContextMenu = true;     // its keys act only then
        CloseQuestion closeQuestion = cqSaveAndStay;
        bool editDeleteAlways = false;      // nomenclature: Edit and Delete whatever the rows
        bool navigatorInEditModes = false;  // beneficiaries: the navigator stays usable
        bool gradientButtonBar = false;     // banks: the button bar is a gradient
        bool showFiscalYear = true;         // status panel 1
    };
    TRefRecordForm(const Options& options, QWidget* parent);

    // Hooks of each pair.
    QString RightItem() const override = 0;      // menu item of the write right
    virtual void OpenRows() = 0;                 // rows opened, positioned on the passed key
    virtual QueryTableModel* Rows() const { return m_ownRows; }   // the rows the window shows and navigates
    virtual void ShowCurrent() = 0;              // controls from the current row (cleared when none)
    virtual void ClearForInsert() = 0;           // clears the pair's controls, focuses the first
    virtual void FocusForEdit() = 0;
    virtual void SaveRecord() = 0;               // normalise, checks (Abort on failure), write, commit
    virtual void DeleteRecord() {}

    bool RowsEmpty() const;
    bool HasRows() const override { return !RowsEmpty(); }
    void FormShow() override;

    // Windows with rows of their own: the rows `reader` reads (a store's
    // read), found by `keyField`.
    void SetOwnRows(QueryTableModel::Reader reader, const QString& keyField);
    // The table of the rows, for the check that a save undoes no other user's
    // change (their store reads RDB$RECORD_VERSION as ROW_VERSION).
    virtual QString RowTable() const { return m_rowTable; }
    void SetRowTable(const QString& table) { m_rowTable = table; }
    TShownRow ShownRow() const override;
    void ShowStoredRow() override;
    // Opens (or re-reads) the own rows and makes the row of `key` current, the
    // first row when it is absent.
    void ReadOwnRows(qint64 key);
    // The key of the current row; -1 when there are no rows.
    qint64 CurrentKey() const;
    // Loads the current row into the controls, then browse mode.
    void LoadCurrent();

    QVBoxLayout* m_layout = nullptr;
    QHBoxLayout* m_btnLayout = nullptr;

private:
    Options m_options;
    QueryTableModel* m_ownRows = nullptr;
    QString m_keyField;
    QString m_rowTable;
};

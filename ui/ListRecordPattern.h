#pragma once
// The list-and-record pattern of the reference-data windows.
//
// A list window (TRefListForm) shows a table's rows in a grid with buttons to
// open the record window, delete a row and, in pick mode, choose one. A record
// window (TRefRecordForm) shows one row with three modes (browse, insert,
// edit); its buttons, menu items, entry panel and status panel follow the mode;
// closing with unsaved changes asks whether to save. Each pair derives from
// these two and supplies its queries, fields, checks and messages.
//
// Also here: the status bar with fixed panels, the popup menu dropped under its
// button, the wait cursor, and the confirmed delete.

#include "ui/QueryTableModel.h"

#include <QDialog>
#include <QPointer>
#include <QStatusBar>
#include <QStyle>

class QAbstractButton;
class QKeyEvent;

#include <functional>
#include <memory>

class QAction;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;

// A status bar of fixed panels (labels), read back by index.
class TStatusBar : public QStatusBar {
    Q_OBJECT
public:
    TStatusBar(const QList<int>& widths, QWidget* parent = nullptr);
    void SetPanel(int index, const QString& text);
    QString Panel(int index) const;
    int PanelCount() const { return int(m_panels.size()); }

private:
    QList<QLabel*> m_panels;
};

// The wait cursor for the life of the object.
class TWaitCursor {
public:
    TWaitCursor();
    ~TWaitCursor();
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

// A push button that never answers Enter by itself (only the window's default
// button does).
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, const QString& hint = QString());
// The same with one of the style's standard icons.
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, const QString& hint,
                        QStyle::StandardPixmap icon);

// Drops `menu` just below the lower-left corner of `button`; the screen
// position is kept in PopupPoint.
void DropMenuUnder(QMenu* menu, QWidget* button);

// The confirmation box with Yes and No; true on Yes.
bool AskConfirmation(const QString& text);

// The keys every editing window shares: Esc runs the cancel handler while the
// cancel button is enabled and closes the window otherwise; Enter never
// triggers a default button. Returns whether the key was taken.
bool HandleEditWindowKeys(QWidget* window, QKeyEvent* event, const QAbstractButton* cancelButton,
                          const std::function<void()>& cancelClick);

// Whether `sql`, with the parameter `param` = `key`, returns a row (read under
// the wait cursor); the usage tests before a deletion.
bool HasRows(const QString& sql, const QString& param, qint64 key);
// Asks `question`; on Yes runs `deleteSql` with `param` = `key` as one
// committed operation. True when the row was deleted; false on No and when the
// commit was refused (the user has been told, the row is still there).
bool ConfirmAndDelete(const QString& question, const QString& deleteSql, const QString& param, qint64 key);

// A row tint for every even row (1-based) of the grid.
QueryTableModel::RowTint EvenRowTint(const QColor& color);

// Selection colours of a grid (text on background).
void SetSelectionColors(QWidget* grid, const QColor& background, const QColor& text);

// Edits that upper-case what is typed; memos that hold at most `maxLength` characters.
void MakeUpperCaseEdit(QLineEdit* edit);
void LimitPlainText(QPlainTextEdit* memo, int maxLength);
// The text cut to its first `maxLength` characters.
QString CutText(const QString& text, int maxLength);

// ---------------------------------------------------------------------------

class TRefListForm : public QDialog {
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
    virtual void FormShow() = 0;                 // opens the rows, fills the status bar
    virtual void RunRecordWindow() = 0;          // record window on the current row
    virtual void DeleteCurrent() = 0;            // right, usage checks, confirmation, delete
    virtual void SetResults(bool ok) = 0;        // result fields at closing
    virtual void UpdateButtons();                // delete enabled only when rows are shown
    virtual void FormClose() {}                  // after the results are set

    void showEvent(QShowEvent* event) override;
    void done(int result) override;

    QVBoxLayout* m_layout = nullptr;     // top panel, grid, status bar
    QWidget* pnlTop = nullptr;
    QHBoxLayout* m_topLayout = nullptr;

private:
    void GridDoubleClick();

    QTableView* m_grid = nullptr;
    QueryTableModel* m_model = nullptr;
    bool m_shown = false;
    bool m_closing = false;
};

// ---------------------------------------------------------------------------

enum TEditMode { emBrowse, emInsert, emEdit };

class TRefRecordForm : public QDialog {
    Q_OBJECT
public:
    TEditMode Mode() const { return m_mode; }
    bool WriteRight() const { return m_canWrite; }

    QWidget* pnlBtns = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnEdit = nullptr;
    QPushButton* btnPost = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnDelete = nullptr;     // null in the code-table record
    QPushButton* btnMenu = nullptr;
    QPushButton* btnClose = nullptr;
    QPushButton* btnFirst = nullptr;      // navigator; null without one
    QPushButton* btnPrior = nullptr;
    QPushButton* btnNext = nullptr;
    QPushButton* btnLast = nullptr;
    QWidget* pnlMain = nullptr;
    TStatusBar* stBar = nullptr;
    QMenu* PopMenu = nullptr;
    QAction* mnAdd = nullptr;
    QAction* mnEdit = nullptr;
    QAction* mnDelete = nullptr;          // null in the code-table record
    QAction* mnPost = nullptr;
    QAction* mnCancel = nullptr;
    QAction* mnClose = nullptr;

    void btnAddClick();
    void btnEditClick();
    void btnPostClick();
    void btnCancelClick();
    void btnDeleteClick();
    void btnMenuClick();
    enum NavButton { nbFirst, nbPrior, nbNext, nbLast };
    void Navigate(NavButton button);

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
        bool navigatorNeedsRows = false;    // banks: navigator only when rows exist
        bool navigatorInEditModes = false;  // beneficiaries: the navigator stays usable
        bool gradientButtonBar = false;     // banks: the button bar is a gradient
        bool showFiscalYear = true;         // status panel 1
    };
    TRefRecordForm(const Options& options, QWidget* parent);

    // Hooks of each pair.
    virtual QString RightItem() const = 0;       // menu item of the write right
    virtual void OpenRows() = 0;                 // rows opened, positioned on the passed key
    virtual QueryTableModel* Rows() const { return m_ownRows; }   // the rows the window shows and navigates
    virtual void ShowCurrent() = 0;              // controls from the current row (cleared when none)
    virtual void ClearForInsert() = 0;           // clears the pair's controls, focuses the first
    virtual void FocusForEdit() = 0;
    virtual void SaveRecord() = 0;               // normalise, checks (Abort on failure), write, commit
    virtual void DeleteRecord() {}

    bool RowsEmpty() const;

    // Windows with a query of their own: the rows of `sql`, found by `keyField`.
    void SetOwnRows(const QString& sql, const QString& keyField);
    // Opens (or re-reads) the own rows and makes the row of `key` current, the
    // first row when it is absent.
    void ReadOwnRows(qint64 key);
    // The key of the current row; -1 when there are no rows.
    qint64 CurrentKey() const;
    // Loads the current row into the controls, then browse mode.
    void LoadCurrent();
    void SetMode(TEditMode mode);
    // Whether a save ended well; used by the close question.
    bool TrySave();

    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    QVBoxLayout* m_layout = nullptr;
    QHBoxLayout* m_btnLayout = nullptr;

private:
    Options m_options;
    std::unique_ptr<db::Query> m_ownQuery;
    QueryTableModel* m_ownRows = nullptr;
    QString m_keyField;
    TEditMode m_mode = emBrowse;
    bool m_canWrite = false;
    bool m_shown = false;
};

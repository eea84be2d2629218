#pragma once
// TListingWindow: the frame the listings of the year's documents share
// (expenses, payment orders, commitment sheets). A tool bar of commands, a
// grid over the rows the listing fetched once, and the popup menu of the same
// commands (the grid's context menu, also dropped under btnMenu).
//
// The rows are read when the window is first shown and again after any
// window it opened has closed (and after a delete); sorting by a clicked
// title, filtering and searching work on the fetched rows and never read the
// database again. A re-read keeps the filter, the sort and the current row.
//
// A listing builds its commands with AddCommand (one QAction each, placed in
// the popup menu and, with a button, in the tool bar), its columns on
// Rows(), and overrides FormShow (first showing, under the wait cursor) and
// UpdateCommands (called whenever the rows or the current row change).

#include "ui/FormKit.h"
#include "ui/ListWindow.h"
#include "ui/QueryTableModel.h"

#include <QStyle>

#include <functional>

class QAction;
class QHBoxLayout;
class QMenu;
class QPushButton;
class QTableView;
class QVBoxLayout;

// How a column of a listing looks beyond its format.
struct TColumnStyle {
    QColor background;       // its cells, over the row tint
    bool bold = false;
    bool sortable = true;    // false: a click on its title leaves the order
    bool fitText = false;    // widened to its title and its widest text at every read
};

// The tool-bar button of a listing's command.
struct TListingButton {
    const char* name = nullptr;  // null: the command has no tool-bar button
    QString text;
    QString hint;
    QStyle::StandardPixmap icon = QStyle::SP_CustomBase;
};

class TListingWindow : public TListWindow {
    Q_OBJECT
public:
    QTableView* grid() const { return m_grid; }
    QueryTableModel* Rows() const { return m_model; }

    QWidget* pnlTop = nullptr;
    QMenu* PopMenu = nullptr;
    QPushButton* btnMenu = nullptr;
    QPushButton* btnClose = nullptr;
    TStatusBar* stBar = nullptr;     // null unless the listing asks for one

    // Whether the filter's criteria apply ("Annuler le filtre" takes them
    // away; they stay for the next filter).
    bool FilterActive() const { return m_filterActive; }
    void CancelFilter();

protected:
    // `gridName`: the grid's object name (grdDep, grdMdt, grdFE).
    TListingWindow(QWidget* parent, const char* gridName);

    using Button = TListingButton;
    // A command of the popup menu (its key works on the whole window), and
    // its tool-bar button when `button` names one. `button` receives it.
    QAction* AddCommand(const char* name, const QString& menuText, std::function<void()> handler,
                        const QKeySequence& key = QKeySequence(), const Button& button = Button(),
                        QPushButton** buttonOut = nullptr);
    void AddMenuSeparator();
    // Ends the tool bar: btnMenu, then btnClose at the right edge.
    void EndToolBar();
    // The area under the tool bar; the grid is in it, stretched.
    QHBoxLayout* Body() const { return m_body; }
    // A status bar of panels of these widths at the bottom.
    void AddStatusBar(const QList<int>& widths);

    // The width that shows a date or a number of `digits` digits whole in the
    // grid's font.
    int DateColumnWidth() const;
    int DigitsColumnWidth(int digits) const;
    // A column of the grid.
    void AddColumn(const char* field, const char* title, QueryTableModel::Format format,
                   Qt::Alignment alignment = {}, const TColumnStyle& style = TColumnStyle());

    // The rows to show: the previous current row stays current when it is
    // still shown (located by the model's key fields), else the first row.
    void ShowRows(TListingRows rows);

    // Runs the filter dialog on the kept criteria; true, with the criteria
    // chosen kept, after "Appliquer".
    template <class Dialog, class Criteria>
    bool AskCriteria(Criteria& kept, const std::function<void(Dialog&)>& prepare = nullptr)
    {
        Criteria chosen;
        {
            Dialog dialog(this);
            if (prepare)
                prepare(dialog);
            dialog.SetCriteria(kept);
            if (dialog.exec() != QDialog::Accepted)
                return false;
            chosen = dialog.Criteria();
        }
        kept = chosen;
        return true;
    }
    // New criteria kept: they apply when `any` criterion is given; the rows
    // are shown again under them, the first one current.
    void FilterChosen(bool any);
    // Shows the rows under the kept criteria when the filter is active, all
    // of them otherwise, keeping the current row when it is still shown.
    virtual void ShowFiltered() = 0;

    void FirstShow() override;
    virtual void UpdateCommands() {}

private:
    QTableView* m_grid = nullptr;
    QueryTableModel* m_model = nullptr;
    QHBoxLayout* m_toolBar = nullptr;
    QHBoxLayout* m_body = nullptr;
    QVBoxLayout* m_layout = nullptr;
    bool m_filterActive = false;
};

#pragma once
// QueryTableModel: the one read-only grid model of the program, over its own
// copy of the rows a store read. It is the proxy that filters and sorts
// (TShownRowsProxy) over the model that holds and shows the rows
// (TQueryRowsModel), and keeps a current row (like a dataset cursor),
// synchronised with an attached view.
//
// Usage:
//   QueryTableModel model;
//   model.addColumn("NOM", "Nom/Raison sociale");
//   model.addColumn("MONTANT", "Montant", QueryTableModel::Money);    // formatMask()
//   model.addColumn("DATE_DEPENSE", "Date", QueryTableModel::Date);   // dd/MM/yyyy
//   model.setKeyFields({"ID_BEN"});
//   model.setReader([&store] { return store.ReadAll(); });   // reload() and refresh() read through it
//   model.attachView(grid);          // sets itself as the grid's model; rows selected whole
//   model.refresh();                 // reads the rows, keeps the current key (else row 0)
//   model.setFilter([](const QueryRow& r) { return r.asString("ART").isEmpty(); });
//   model.setFilter(QueryTableModel::FieldEquals("CHAP", text));  // "CHAP='..'"
//   model.setSortingEnabled(true);   // header click sorts, second click descending
//   model.locate({qint64(12)});      // current row = the row whose key is 12
//   model.setRowTint([](int row, const QueryRow&) { return row % 2 ? QColor(0xEA, 0xEA, 0xEA) : QColor(); });
//   int id = model.current().asInt("ID_BEN");   // check model.isEmpty() first
// Without a reader, setRows() gives the model rows of any origin.
// Money columns of an attached view are widened, each time the rows are read,
// to show the largest and the smallest amount of the rows in full; so are the
// text columns marked fitText, to show their title and their widest text.

#include "data/ListingRows.h"
#include "db/Database.h"
#include "ui/QueryRowsModel.h"
#include "ui/ShownRowsProxy.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QTableView>

#include <functional>
#include <vector>

// Widens `column` of `view`, when it is narrower, so that the amounts from
// `smallest` to `largest` show in full in the mask "### ### ### ##0.00", in
// the view's font made bold (rows drawn bold included). Every grid that shows
// amounts sizes its amount columns through it.
void FitAmountColumn(QTableView* view, int column, Currency smallest, Currency largest);
// Widens `column` of `view`, when it is narrower, so that its title shows
// whole, with the room its header keeps for the sort indicator, and so does
// `widest`, the widest of its texts, in the view's font (made bold when
// `bold`).
void FitTextColumn(QTableView* view, int column, const QString& widest, bool bold = false);
// Keeps `column` of `view` as wide as the view's width leaves after the other
// shown columns, and at least `minimum`: whenever the view or another column
// changes width. The columns after it are then reached by scrolling only
// when the view is too narrow for all of them.
void GiveRestOfWidth(QTableView* view, int column, int minimum);

class QueryTableModel : public TShownRowsProxy {
    Q_OBJECT
public:
    using Format = TQueryRowsModel::Format;
    static constexpr Format Auto = TQueryRowsModel::Auto;
    static constexpr Format Text = TQueryRowsModel::Text;
    static constexpr Format Money = TQueryRowsModel::Money;
    static constexpr Format Date = TQueryRowsModel::Date;
    static constexpr Format Integer = TQueryRowsModel::Integer;
    using Column = TQueryRowsModel::Column;
    using Formatter = TQueryRowsModel::Formatter;
    using RowTint = std::function<QColor(int shownRow, const QueryRow&)>;
    using RowFont = std::function<QFont(int shownRow, const QueryRow&, const QFont& base)>;

    explicit QueryTableModel(QObject* parent = nullptr);
    ~QueryTableModel() override;

    // Columns shown, in order. Without columns every field of the rows is shown.
    void addColumn(const QString& field, const QString& title, Format format = Auto,
                   Qt::Alignment alignment = {});
    void addColumn(const Column& column);
    void clearColumns();
    const QList<Column>& columns() const { return m_source->columns(); }

    // Key columns used by locate(), currentKey() and refresh().
    void setKeyFields(const QStringList& fields) { m_keyFields = fields; }
    const QStringList& keyFields() const { return m_keyFields; }

    // How the rows are read: a store's read, called at each reload() and
    // refresh().
    using Reader = std::function<TListingRows()>;
    void setReader(Reader reader) { m_reader = std::move(reader); }

    // Reads the rows, applies filter and sort; current row = first.
    void reload();
    // Reads the rows again and makes the row with the previous current key
    // current again (else the first row).
    void refresh();
    // Rows of any origin; current row = first.
    void setRows(const QStringList& fieldNames, std::vector<std::vector<db::Value>> rows);
    // Forgets every row.
    void clearRows();

    // Client-side filter (nullptr: none). Applying it re-reads the shown rows and
    // makes the first one current.
    void setFilter(Filter filter);

    // Sorting by clicked column; off by default (rows keep their query order).
    void setSortingEnabled(bool enabled);
    bool sortingEnabled() const { return m_sortingEnabled; }
    // Sorts, keeping the current row, and shows the order on the attached
    // view's header.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Re-applies the filter after what it reads has changed, keeping the
    // current row when it is still shown (else the next shown row).
    void refilter();
    // Replaces the values of one copied row (index in query order) and
    // re-applies filter and sort, keeping the current row.
    void replaceRow(int sourceRow, std::vector<db::Value> values);
    // Puts a row in at `sourceRow` of the copied rows (query order), or takes
    // one out, and re-applies filter and sort.
    void insertSourceRow(int sourceRow, std::vector<db::Value> values);
    void removeSourceRow(int sourceRow);
    // The values of one copied row (query order).
    const std::vector<db::Value>& sourceValues(int sourceRow) const { return m_source->values(sourceRow); }
    // The copied row (query order) whose `field` holds `value`; -1 when none.
    int findSourceRow(const QString& field, const db::Value& value) const { return m_source->findRow(field, value); }

    // Appearance hooks.
    void setRowTint(RowTint tint);
    void setRowFont(RowFont font);
    void setRowTextColor(RowTint color);

    // The shown rows (after filter and sort), with the appearance hooks.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    bool isEmpty() const { return rowCount() == 0; }
    int totalRowCount() const { return m_source->size(); }   // before the filter
    const QStringList& fieldNames() const { return m_source->fieldNames(); }
    int fieldIndex(const QString& field) const { return m_source->fieldIndex(field); }   // -1 when missing
    QueryRow row(int shownRow) const;                          // invalid row out of range
    const db::Value& value(int shownRow, const QString& field) const;
    QString displayText(int shownRow, int column) const;

    // The current row (-1 when there are no rows); kept in step with an attached view.
    int currentRow() const { return m_current; }
    void setCurrentRow(int shownRow);
    QueryRow current() const { return row(m_current); }
    QList<db::Value> currentKey() const;

    // Finds a shown row by the values of the key fields (or the given fields);
    // -1 when none. locate() also makes it current.
    int findRow(const QList<db::Value>& keyValues) const;
    using TShownRowsProxy::findRow;
    bool locate(const QList<db::Value>& keyValues);
    bool locate(const QStringList& fields, const QList<db::Value>& values);

    // Sets the model on the view, whole-row single selection, no editing,
    // header clicks routed to sortByColumn() while sorting is enabled.
    void attachView(QTableView* view);
    QTableView* view() const { return m_view; }

    // True when two values hold the same thing (numbers by value, texts without trailing blanks).
    static bool sameValue(const db::Value& a, const db::Value& b) { return TQueryRowsModel::sameValue(a, b); }

signals:
    void currentRowChanged(int shownRow);
    // After reload/refresh/filter/sort changed the shown rows.
    void rowsReread();

private:
    // After the shown rows were rebuilt: makes `current` the current row,
    // fits the columns when `fit`, and tells the view and the listeners.
    void showRebuilt(int current, bool fit);
    // Applies `change`, which rebuilds the shown rows, keeping the current
    // copied row (else the next one shown, else the last).
    void rebuildKeepingCurrent(const std::function<void()>& change);
    void syncViewCurrent();
    void onHeaderClicked(int section);
    void fitColumns();

    TQueryRowsModel* m_source;
    QStringList m_keyFields;
    Reader m_reader;
    bool m_sortingEnabled = false;
    RowTint m_tint;
    RowTint m_textColor;
    RowFont m_font;
    int m_current = -1;
    QPointer<QTableView> m_view;
    bool m_syncing = false;
};

#pragma once
// QueryTableModel: the one read-only grid model of the program, over its own
// copy of the rows a store read. It keeps a current row (like a dataset
// cursor), synchronised with an attached view.
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

#include <QAbstractTableModel>
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

class QueryTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Format { Auto, Text, Money, Date, Integer };
    using Filter = TRowFilter;
    using RowTint = std::function<QColor(int shownRow, const QueryRow&)>;
    using RowFont = std::function<QFont(int shownRow, const QueryRow&, const QFont& base)>;
    using Formatter = std::function<QString(const db::Value&)>;

    struct Column {
        QString field;
        QString title;
        Format format = Auto;
        Qt::Alignment alignment;   // empty: right for numbers and money, left otherwise
        Formatter formatter;       // overrides the format when set
        QColor background;         // the column's cells, over the row tint; invalid: none
        bool sortable = true;      // false: a click on its title leaves the order
        bool bold = false;         // the column's cells in bold
        bool fitText = false;      // widened at every read to show its title and texts whole
    };

    explicit QueryTableModel(QObject* parent = nullptr);
    ~QueryTableModel() override;

    // Columns shown, in order. Without columns every field of the rows is shown.
    void addColumn(const QString& field, const QString& title, Format format = Auto,
                   Qt::Alignment alignment = {});
    void addColumn(const Column& column);
    void clearColumns();
    const QList<Column>& columns() const { return m_columns; }

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
    bool hasFilter() const { return bool(m_filter); }
    // A filter keeping the rows whose column text equals `text` (trailing blanks ignored).
    static Filter FieldEquals(const QString& field, const QString& text);

    // Sorting by clicked column; off by default (rows keep their query order).
    void setSortingEnabled(bool enabled);
    bool sortingEnabled() const { return m_sortingEnabled; }
    // The click rule: a new column sorts ascending, the same column again toggles.
    void sortByColumn(int column);
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

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
    const std::vector<db::Value>& sourceValues(int sourceRow) const { return m_rows[size_t(sourceRow)]; }
    // The copied row (query order) whose `field` holds `value`; -1 when none.
    int findSourceRow(const QString& field, const db::Value& value) const;

    // Appearance hooks.
    void setRowTint(RowTint tint);
    void setRowFont(RowFont font);
    void setRowTextColor(RowTint color);

    // The shown rows (after filter and sort).
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    bool isEmpty() const { return m_shown.empty(); }
    int totalRowCount() const { return int(m_rows.size()); }   // before the filter
    const QStringList& fieldNames() const { return m_names; }
    int fieldIndex(const QString& field) const;                // -1 when missing
    QueryRow row(int shownRow) const;                          // invalid row out of range
    const db::Value& value(int shownRow, const QString& field) const;
    QString displayText(int shownRow, int column) const;
    // Index in the copied (query-order) rows of a shown row.
    int sourceRow(int shownRow) const;

    // The current row (-1 when there are no rows); kept in step with an attached view.
    int currentRow() const { return m_current; }
    void setCurrentRow(int shownRow);
    QueryRow current() const { return row(m_current); }
    QList<db::Value> currentKey() const;

    // Finds a shown row by the values of the key fields (or the given fields);
    // -1 when none. locate() also makes it current.
    int findRow(const QList<db::Value>& keyValues) const;
    int findRow(const QStringList& fields, const QList<db::Value>& values) const;
    bool locate(const QList<db::Value>& keyValues);
    bool locate(const QStringList& fields, const QList<db::Value>& values);

    // Sets the model on the view, whole-row single selection, no editing,
    // header clicks routed to sortByColumn() while sorting is enabled.
    void attachView(QTableView* view);
    QTableView* view() const { return m_view; }

    // True when two values hold the same thing (numbers by value, texts without trailing blanks).
    static bool sameValue(const db::Value& a, const db::Value& b);
    // Orders two values: NULL first, numbers by value, dates, texts in French
    // order (accents and case weigh only after the letters).
    static int compareValues(const db::Value& a, const db::Value& b);

signals:
    void currentRowChanged(int shownRow);
    // After reload/refresh/filter/sort changed the shown rows.
    void rowsReread();

private:
    // Applies `change`, rebuilds the shown rows and makes the first one current.
    void resetShown(const std::function<void()>& change);
    // Rebuilds the shown rows after `change`, keeping the current copied row
    // (else the next one shown).
    void rebuildKeepingCurrent(const std::function<void()>& change);
    void rebuildShown();
    void applySort();
    int fieldOfColumn(int column) const;
    void syncViewCurrent();
    void onHeaderClicked(int section);
    void fitColumns();

    QList<Column> m_columns;
    QStringList m_keyFields;
    Reader m_reader;
    QStringList m_names;
    std::vector<std::vector<db::Value>> m_rows;
    std::vector<int> m_shown;
    Filter m_filter;
    bool m_sortingEnabled = false;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    RowTint m_tint;
    RowTint m_textColor;
    RowFont m_font;
    int m_current = -1;
    QPointer<QTableView> m_view;
    bool m_syncing = false;
};

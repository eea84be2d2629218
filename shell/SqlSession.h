#pragma once
// What the SQL console runs, apart from its window: a text run on the
// program's connection as a statement that changes data, as a query whose
// rows a grid shows (read from the engine as the grid scrolls), or as a script
// of statements. Every run ends its writes: what it wrote is committed, or,
// when one of its statements fails, everything it wrote is rolled back and the
// failure thrown with what became of the writes.

#include <QAbstractTableModel>
#include <QString>

#include <memory>

namespace db { class Query; }

// The rows of the console's query, read from the engine as they are shown.
class TSqlResultModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TSqlResultModel(QObject* parent = nullptr);
    ~TSqlResultModel() override;

    // Shows the query, opened for its first rows; the model reads the rest.
    void SetQuery(db::Query* query);
    void Clear();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // Rows read in one go as the grid scrolls.
    static constexpr int FetchRows = 500;

private:
    db::Query* m_query = nullptr;
    int m_rows = 0;
    bool m_failed = false;
};

// The console's runs; the query a run opens fills `model`.
class TSqlSession {
public:
    explicit TSqlSession(TSqlResultModel* model);
    ~TSqlSession();
    TSqlSession(const TSqlSession&) = delete;
    TSqlSession& operator=(const TSqlSession&) = delete;

    // A statement that changes data, committed.
    void Exec(const QString& text);
    // A query whose first `firstRows` rows the model shows at once; a text
    // that writes is committed like Exec.
    void Open(const QString& text, int firstRows);
    // A script of statements, committed.
    void RunScript(const QString& text);
    // The model lets the rows go and the query closes (before a run, and when
    // the connection closes).
    void Close();

private:
    TSqlResultModel* m_model;
    std::unique_ptr<db::Query> m_query;
};

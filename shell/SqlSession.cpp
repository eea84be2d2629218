#include "shell/SqlSession.h"

#include "core/Guard.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"
#include "db/Database.h"

namespace {

bool IsNumber(const db::Value& v)
{
    return std::holds_alternative<qint64>(v) || std::holds_alternative<double>(v)
           || std::holds_alternative<Currency>(v);
}

// A run that failed: the engine's report, with what became of the run's writes.
db::DbError RolledBack(const db::DbError& error, const QString& what)
{
    db::DbError told(what + QLatin1Char('\r') + error.message(), error.sqlCode(), error.gdsCode());
    told.setOperation(db::DbError::Operation::Write);
    return told;
}

} // namespace

// ---------------------------------------------------------------------------
// Result model

TSqlResultModel::TSqlResultModel(QObject* parent) : QAbstractTableModel(parent) {}

TSqlResultModel::~TSqlResultModel() = default;

void TSqlResultModel::SetQuery(db::Query* query)
{
    beginResetModel();
    m_query = query;
    m_rows = query ? query->rowCount() : 0;
    m_failed = false;
    endResetModel();
}

void TSqlResultModel::Clear()
{
    SetQuery(nullptr);
}

int TSqlResultModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TSqlResultModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_query ? 0 : m_query->columnCount();
}

QVariant TSqlResultModel::data(const QModelIndex& index, int role) const
{
    if (!m_query || !index.isValid() || index.row() >= m_rows)
        return QVariant();
    const db::Value& v = m_query->at(index.row(), index.column());
    if (role == Qt::DisplayRole)
        return db::toText(v);
    if (role == Qt::TextAlignmentRole)
        return int((IsNumber(v) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    return QVariant();
}

QVariant TSqlResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return section + 1;
    return m_query && section < m_query->columnCount() ? m_query->columnNames().at(section) : QVariant();
}

bool TSqlResultModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && m_query && !m_failed && m_query->hasMoreRows();
}

void TSqlResultModel::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent))
        return;
    // Qt calls this while it lays the grid out: a failure stops the reading
    // and is told once, never thrown through Qt.
    int added = 0;
    if (!RunGuarded([&] { added = m_query->fetchMore(FetchRows); }))
        m_failed = true;
    if (added <= 0)
        return;
    beginInsertRows(QModelIndex(), m_rows, m_rows + added - 1);
    m_rows += added;
    endInsertRows();
}

// ---------------------------------------------------------------------------
// Runs

TSqlSession::TSqlSession(TSqlResultModel* model) : m_model(model), m_query(std::make_unique<db::Query>(DM->LURDO)) {}

TSqlSession::~TSqlSession()
{
    m_model->Clear();
}

void TSqlSession::Close()
{
    m_model->Clear();
    m_query->close();
}

void TSqlSession::Exec(const QString& text)
{
    TWriteGuard write;
    try {
        db::Query statement(DM->LURDO, text);
        statement.exec();
    } catch (const db::DbError& e) {
        throw RolledBack(e, QStringLiteral("L'instruction a été refusée : elle a été annulée."));
    }
    write.Commit();
}

void TSqlSession::Open(const QString& text, int firstRows)
{
    // A select reads on the connection's read transaction and keeps its
    // cursor for the rows still to show; a text that writes is committed
    // like "Exec", or rolled back when it fails.
    // (A write another window left open is not this run's to end.)
    const bool ownWrite = !DM->LURDO.inTransaction();
    m_query->setSql(text);
    try {
        m_query->openPartial(firstRows);
    } catch (const db::DbError& e) {
        if (ownWrite && DM->LURDO.inTransaction()) {
            DM->LURDO.rollback();
            throw RolledBack(e, QStringLiteral("L'instruction a été refusée : elle a été annulée."));
        }
        throw;
    }
    if (ownWrite && DM->LURDO.inTransaction() && !DM->CommitWork())
        Abort();
    m_model->SetQuery(m_query.get());
}

void TSqlSession::RunScript(const QString& text)
{
    TWriteGuard write;
    try {
        DM->LURDO.executeScript(text);
    } catch (const db::DbError& e) {
        throw RolledBack(e, QStringLiteral("Le script s'est arrêté sur une instruction refusée : ce qu'il avait "
                                           "écrit depuis son début (ou son dernier COMMIT) a été annulé."));
    }
    write.Commit();
}

#pragma once
// Saves that never undo another user's change.
//
// An editing window shows a stored row (an invoice, a budget line, a
// beneficiary...) and remembers the version the engine gave that row when it
// was read (RDB$RECORD_VERSION: the transaction that wrote it). When the entry
// is saved, the save's write operation first locks the row and compares its
// version: a row another user changed or deleted since it was read refuses the
// save (ERowChanged) before anything is written, and a row whose change by
// another user is still in progress refuses it through the engine's update
// conflict. Once the lock is taken nobody else can change the row until the
// save commits.
//
// The editor base (ui/EditorWindow.h) does this for every editing window: the
// window says which row it shows, and the base arms the check around its
// saves in edit mode:
//
//     TSaveCheck check(shownRow);   // while the save runs
//     ... the save opens its TWriteGuard: the outermost guard made while a
//         check is armed runs it, inside its transaction, before any statement
//
// A check with an unset row arms nothing and hides the checks of the saves
// around it (a record window saving from inside another window's save).

#include <QByteArray>
#include <QString>

#include <exception>

namespace db { class Query; }

// The stored row an editing window shows: the table, its key column and the
// key, and the version the engine gave it when it was read; -1 when not known.
// A document stored as several rows (a transfer) names the one row that stands
// for it in `where` (a condition of the program's own, never typed text): any
// change of the document writes that row again.
// A row of a table without a key (observations, attachment labels) is named by
// the engine's own address of it, RDB$DB_KEY, read with it, in `dbKey` (and no
// key column): with the version, that address names the row read and no
// other, even once the engine has given a deleted row's place to a new one.
struct TShownRow {
    QString table;
    QString keyField;
    qint64 key = -1;
    qint64 version = -1;
    QString where = {};
    QByteArray dbKey = {};

    static TShownRow ByDbKey(const QString& table, const QByteArray& dbKey, qint64 version)
    {
        TShownRow row;
        row.table = table;
        row.dbKey = dbKey;
        row.version = version;
        return row;
    }
    bool IsSet() const
    {
        return !table.isEmpty() && ((!keyField.isEmpty() && key >= 0) || !dbKey.isEmpty());
    }
    bool SameRow(const TShownRow& other) const
    {
        return table == other.table && keyField == other.keyField && key == other.key && where == other.where
               && dbKey == other.dbKey;
    }
};

// The version the row has now, as the reads see it; -1 when there is no such row.
qint64 ReadRowVersion(const TShownRow& row);

// Locks the stored row for the write operation running now (inside a
// TWriteGuard), before the operation decides anything on it: until the
// operation ends nobody else can change or delete the row, and what is read
// of it meanwhile is what the operation stores against. Two users deciding on
// one row are so served one after the other: when another user's operation
// holds the row (a change, a deletion or a lock still in progress), the engine
// refuses at once with an update conflict (db::DbError::isConflict), which
// the user reads as "Ces informations sont en cours de modification par un
// autre utilisateur ...", and the operation writes nothing. Returns false when
// there is no such row. The lock stamps the row with the operation's version,
// as a change would.
bool LockRow(const TShownRow& row);
// The row of `table` whose `keyField` is `key`.
bool LockRow(const QString& table, const QString& keyField, qint64 key);

// A save refused because another user changed (or deleted) the row since it
// was shown; nothing was written. What it says is what the user reads when no
// window asks its own question about it.
class ERowChanged : public std::exception {
public:
    explicit ERowChanged(bool deleted) : m_deleted(deleted) {}
    bool Deleted() const { return m_deleted; }
    const char* what() const noexcept override;

private:
    bool m_deleted;
};

// Runs `statement`, a change or a deletion of one stored row named by its key,
// and throws ERowChanged (deleted) when it touched no row: another user deleted
// the row since it was read. Whatever the operation wrote before is then
// rolled back with its write guard, and nobody is told of a success.
void ExecOnRow(db::Query& statement);

class TSaveCheck {
public:
    explicit TSaveCheck(TShownRow row);
    ~TSaveCheck();
    TSaveCheck(const TSaveCheck&) = delete;
    TSaveCheck& operator=(const TSaveCheck&) = delete;

    // Whether the check passed and the write operation it guarded was
    // committed: the row's version is then WrittenVersion().
    bool Stored() const { return m_passed && m_committed; }
    qint64 WrittenVersion() const { return m_written; }

    // Run by the outermost write guard, inside its transaction: the innermost
    // armed check, once. Throws ERowChanged, or the engine's conflict error.
    static void RunArmed();
    // Told by the outermost write guard once its operation is committed.
    static void OperationCommitted();

private:
    void Run();

    TShownRow m_row;
    TSaveCheck* m_outer;
    bool m_ran = false;
    bool m_passed = false;
    bool m_committed = false;
    qint64 m_written = -1;
};

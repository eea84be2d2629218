#include "data/YearCreation.h"

#include "core/GlobalState.h"
#include "core/Pause.h"
#include "data/Progress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <memory>

// The schema script is a resource of a static library: its registration is
// linked in only when something refers to it.
static void initSchemaResource()
{
    Q_INIT_RESOURCE(schema);
}

namespace {

// The reference tables copied into a new year, in copy order; the list has 20
// slots, the last ones empty.
const std::array<const char*, 20> ReferenceTables = {
    "AGENCE", "BANQUE", "BENEF", "FAC", "FNM", "FWIL", "GRADE", "INTERCAL", "OBS_SERVICE", "REPORT",
    "T_SECUR", "T_USERS", "RAPPORT", "", "", "", "", "", "", ""};

// Tables whose key a BEFORE INSERT trigger draws from a generator.
struct KeyedTable {
    const char* table;
    const char* key;
    const char* generator;
};
const KeyedTable KeyedTables[] = {
    {"AGENCE", "ID_AGENCE", "GEN_AGENCE_ID"}, {"BANQUE", "ID_BANQUE", "GEN_BNQ"},
    {"BENEF", "ID_BEN", "GEN_BENEF"},         {"FNM", "ID_FNM", "GEN_FNM"},
    {"FWIL", "ID_WIL", "GEN_FWIL"},           {"GRADE", "ID_GRADE", "GEN_GRADE_ID"},
    {"RAPPORT", "ID_RAPPORT", "GEN_RAPPORT_ID"}, {"T_SECUR", "ID_SECUR", "GEN_ID_SECUR"},
    {"T_USERS", "ID_USER", "GEN_T_USERS_ID"},
};

const KeyedTable* keyedTable(const QString& table)
{
    for (const KeyedTable& k : KeyedTables)
        if (table == QLatin1String(k.table))
            return &k;
    return nullptr;
}

} // namespace

QString SchemaScript()
{
    initSchemaResource();
    QFile file(QStringLiteral(":/schema/schema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        throw db::DbError(QStringLiteral("Script de création de la base introuvable."));
    return QString::fromUtf8(file.readAll());
}

namespace {

// The lock that makes one run at a time create a given year.
QString creationLockPath(const QString& path)
{
    return path + QStringLiteral(".lock");
}

// Flushes a file, or a folder's entries, to the disk.
void syncToDisk(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

QString YearFileName(const QString& year)
{
    return QStringLiteral("KIV_DB_") + year + QStringLiteral(".FDB");
}

QString PreviousYearFile(const QString& path, const QString& fiscalYear)
{
    bool isYear = false;
    const int year = fiscalYear.trimmed().toInt(&isYear);
    if (!isYear)
        return QString();
    const QString previous = YearFileName(QString::number(year - 1));
    const QString besideIt = QFileInfo(path).dir().filePath(previous);
    if (QFileInfo(besideIt).isFile())
        return besideIt;
    const QString inProgramFolder = AppDir + previous;
    return QFileInfo(inProgramFolder).isFile() ? inProgramFolder : QString();
}

QString UnfinishedYearPath(const QString& path)
{
    return path + QStringLiteral(".tmp");
}

void RemoveUnfinishedYear(const QString& path)
{
    const QString unfinished = UnfinishedYearPath(path);
    if (!QFile::exists(unfinished) && !QFile::exists(creationLockPath(path)))
        return;
    // The lock of a run that ended without releasing it is stale (its process
    // is gone) and taken over; a live run's lock is left alone.
    QLockFile lock(creationLockPath(path));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0))
        return;
    QFile::remove(unfinished);
    lock.unlock();
}

bool CreateYear(const QString& path, const QString& previousYearPath, const QString& message)
{
    QLockFile lock(creationLockPath(path));
    lock.setStaleLockTime(0);
    if (!lock.lock())
        throw db::DbError(QStringLiteral("Impossible de créer la base de données %1 : "
                                         "le dossier est introuvable ou refuse l'écriture.")
                              .arg(path));
    if (QFile::exists(path))
        return false;

    const QString unfinished = UnfinishedYearPath(path);
    QFile::remove(unfinished); // left by a run that was stopped while making it
    CreateDatabase(unfinished);
    try {
        if (!previousYearPath.isEmpty()) {
            try {
                // Seeded without waiting for the disk at every page: the file
                // is synced as a whole below, before it takes its name.
                const db::ConnectParams params{unfinished, QStringLiteral("SYSDBA"), DefaultDbPassword()};
                db::Connection::setForcedWrites(params, false);
                db::Connection year;
                year.open(params);
                CopyReferenceTables(year, previousYearPath, message);
                year.close();
                db::Connection::setForcedWrites(params, true);
            } catch (const db::DbError& e) {
                throw YearSeedingError(e.message(), e.sqlCode(), e.gdsCode());
            } catch (const std::exception& e) {
                throw YearSeedingError(QString::fromUtf8(e.what()));
            }
        }
        syncToDisk(unfinished);
        // Never over an existing file (the rename refuses to replace one).
        if (!QFile::rename(unfinished, path)) {
            if (QFile::exists(path)) {
                QFile::remove(unfinished);
                return false;
            }
            throw db::DbError(QStringLiteral("Impossible de renommer %1 en %2.").arg(unfinished, path));
        }
        syncToDisk(QFileInfo(path).absolutePath());
    } catch (...) {
        QFile::remove(unfinished);
        throw;
    }
    return true;
}

void CreateDatabase(const QString& path)
{
    auto info = MakeProgressDisplay();
    info->start(QStringLiteral("Création de la base de données ..."), 0);

    const db::ConnectParams params{path, QStringLiteral("SYSDBA"), DefaultDbPassword()};
    bool created = false;
    try {
        db::Connection::create(params);
        created = true;
        // The script's many statements are run without waiting for the disk
        // at every page; the database writes synchronously once made.
        db::Connection::setForcedWrites(params, false);
        db::Connection conn;
        conn.open(params);
        conn.executeScript(SchemaScript());
        conn.commit();
        conn.close();
        db::Connection::setForcedWrites(params, true);
    } catch (...) {
        if (created)
            QFile::remove(path);
        Pause(2000);
        info.reset();
        throw;
    }
    Pause(2000);
    info.reset();
}

void CopyReferenceTables(db::Connection& target, const QString& sourcePath, const QString& message)
{
    auto info = MakeProgressDisplay();
    info->start(message, int(ReferenceTables.size()));

    DbUser = QStringLiteral("SYSDBA");
    DbPassword = DefaultDbPassword();
    db::Connection source;
    try {
        source.open(db::ConnectParams{sourcePath, DbUser, DbPassword});
        target.beginWrite();
        for (const char* name : ReferenceTables) {
            const QString table = QLatin1String(name);
            if (!table.isEmpty()) {
                db::Query rows(source, QStringLiteral("SELECT * FROM ") + table);
                rows.open();
                db::Query insert(target, BuildInsertStatement(rows, table, QStringLiteral("I")));

                // Copied rows keep their keys, so that references between the
                // copied tables stay right: before each insert the key's
                // generator is moved so that the key trigger draws the row's own
                // key; afterwards it stands past the largest copied key.
                const KeyedTable* keyed = keyedTable(table);
                const int keyColumn = keyed ? rows.columnIndex(QLatin1String(keyed->key)) : -1;
                std::unique_ptr<db::Query> step;
                qint64 generator = 0;
                qint64 largest = 0;
                if (keyColumn >= 0) {
                    step = std::make_unique<db::Query>(
                        target, QStringLiteral("SELECT GEN_ID(%1, CAST(:STEP AS BIGINT)) AS NUM FROM RDB$DATABASE")
                                    .arg(QLatin1String(keyed->generator)));
                    step->setParam(QStringLiteral("STEP"), 0);
                    step->open();
                    generator = step->asInt(QStringLiteral("NUM"));
                    largest = generator;
                }
                const QStringList& columns = rows.columnNames();
                for (int r = 0; r < rows.rowCount(); ++r) {
                    for (int c = 0; c < columns.size(); ++c)
                        insert.setParam(columns[c], rows.at(r, c));
                    if (step) {
                        const qint64 key = db::toInt(rows.at(r, keyColumn));
                        if (key - 1 != generator) {
                            step->setParam(QStringLiteral("STEP"), key - 1 - generator);
                            step->open();
                        }
                        generator = key;
                        largest = std::max(largest, key);
                    }
                    insert.exec();
                }
                if (step && largest != generator) {
                    step->setParam(QStringLiteral("STEP"), largest - generator);
                    step->open();
                }
            }
            info->step();
            ProcessMessages();
        }
        source.commit();

        db::Query clear(target, QStringLiteral(
            "UPDATE FNM SET        MT_BP=:MT_BP,        MT_REGIE=:MT_REGIE,        NO_DEC_BP=:NO_DEC_BP,"
            "        DATE_BP=:DATE_BP,        MT_BS=:MT_BS,        NO_DEC_BS=:NO_DEC_BS,"
            "        DATE_BS=:DATE_BS,        RESTE=:RESTE"));
        clear.setParam(QStringLiteral("MT_BP"), Currency());
        clear.setParam(QStringLiteral("MT_REGIE"), Currency());
        clear.setParam(QStringLiteral("NO_DEC_BP"), QString());
        clear.setNull(QStringLiteral("DATE_BP"));
        clear.setParam(QStringLiteral("MT_BS"), Currency());
        clear.setParam(QStringLiteral("NO_DEC_BS"), QString());
        clear.setNull(QStringLiteral("DATE_BS"));
        clear.setParam(QStringLiteral("RESTE"), Currency());
        clear.exec();
        // The whole copy is one transaction: a failure leaves nothing behind.
        target.commit();
        source.close();
    } catch (...) {
        try {
            target.rollback();
        } catch (...) {
        }
        info.reset();
        throw;
    }
    info.reset();
    Pause(200);
    ProcessMessages();
}

QString BuildInsertStatement(const db::Query& query, const QString& table, const QString& mode)
{
    if (mode != QLatin1String("I"))
        return QString();
    const QStringList& fields = query.columnNames();
    QStringList params;
    for (const QString& field : fields)
        params << QLatin1Char(':') + field;
    return QStringLiteral("INSERT INTO ") + table + QLatin1Char(' ') + QStringLiteral("( ") + fields.join(QStringLiteral(", "))
           + QStringLiteral(" )") + QStringLiteral(" VALUES ") + QStringLiteral("( ") + params.join(QStringLiteral(", "))
           + QStringLiteral(" )");
}

#pragma once
// Backup and restore of the open fiscal year's database through the engine's
// own backup tool, gbak, run as a process of its own: no shell, an argument
// list, the database account in its environment (never on its command line
// nor in a file), its standard input closed (a damaged backup cannot make it
// wait for an answer), its output appended to "IBGBAK.TXT" in the temporary
// folder, its exit code examined. Both work in local mode only.
//
// A backup is written under "<name>.part" and renamed over the final name
// only once the tool succeeded: a failing backup never spoils an earlier one
// of the same day. The embedded engine holds a database file for one program
// at a time, so the connection is closed while the tool reads the year and
// opened again afterwards (never creating a year).
//
// A restore never touches the open year until the backup is known good: it is
// restored into a new file beside the year, which is checked (the tool
// succeeded, the file opens, is not shut down, holds the year's tables and
// its users); only then is the connection closed, the year's file kept under
// "<name>.before-restore-<date-time>", the new file moved in and opened. On
// any failure the new file is deleted and the year opened again as it was.
// The year's file exists under its name at every instant, whenever the
// program is killed: the old year is kept under its second name first (a hard
// link, or a whole copy where the file system has no links), then the restored
// file takes the year's name in one rename that replaces the old one at once.
//
// The jobs run while the event loop runs (the window repaints, its buttons
// disabled); each emits Finished once, the connection open again.

#include <QDate>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// The backup tool: "gbak" in the program folder when there is one, else the
// one on the PATH; empty when there is none.
QString BackupToolPath();

// The backup of the open year made on `day` in `folder`:
// "VOREL_" + FiscalYear + "_" + yyyyMMdd + ".Fbk". Its case is kept.
QString BackupFilePath(const QString& folder, const QDate& day);
// The fiscal year a backup's file name names ("VOREL_2012_20120305.Fbk" gives
// "2012"); empty when the name names none.
QString BackupFileYear(const QString& path);

// The log file of the tool's runs: TempDir + "IBGBAK.TXT".
QString BackupLogPath();

// Why the file a backup was restored into, `path`, cannot serve as a fiscal
// year (it does not open, is shut down, lacks a table of the year, holds no
// user); empty when it can.
QString RestoredFileUnfit(const QString& path);

// The moments of a restore once the tool has run, in their order: the restored
// file written, then (checked) the year closed, the old year kept under its
// second name, the restored file moved in, the year opened again.
enum class RestoreStep { RestoredWritten, YearClosed, OldYearKept, RestoredMovedIn, Reopened };
// Called at each of those moments (tests stop the program there, as a kill
// would); none by default.
using RestoreStepObserver = std::function<void(RestoreStep)>;
void SetRestoreStepObserver(RestoreStepObserver observer);

// What an interrupted restore may have left beside the year file `path`.
struct TRestoreLeftovers {
    // "<path>.restore" when it exists, and whether it is a whole year.
    QString restored;
    bool restoredWhole = false;
    // The years kept before a restore, "<path>.before-restore-<date-time>",
    // the latest first.
    QStringList kept;
    bool empty() const { return restored.isEmpty() && kept.isEmpty(); }
};
TRestoreLeftovers FindRestoreLeftovers(const QString& path);

// The year file `path` is missing beside what a restore left: says what was
// found and offers to put back, in turn, the restored year (when whole) and
// the latest year kept before a restore. Returns whether one was put back
// under the year's name (never over a file of that name).
bool OfferToPutBackYear(const QString& path, const QString& fiscalYear, const TRestoreLeftovers& found);

// What a backup or a restore came to.
struct TToolOutcome {
    bool ok = false;
    // What the user is told: the outcome and, on failure, why, with the end
    // of the tool's report.
    QString message;
    // The backup written, or the file the previous year was kept under.
    QString file;
};

// One run of the backup tool.
class TGbakRun : public QObject {
    Q_OBJECT
public:
    explicit TGbakRun(QObject* parent = nullptr);
    ~TGbakRun() override;

    // Starts the tool with `arguments`; `title` heads its part of the log.
    void Start(const QString& title, const QStringList& arguments);
    bool Running() const;

    // After Finished: whether it ran to its end with exit code 0, and the last
    // lines it wrote.
    bool Succeeded() const { return m_succeeded; }
    bool Started() const { return m_started; }
    QString ReportTail() const { return m_tail; }

signals:
    void Finished();

private:
    void Done();

    QProcess m_process;
    qint64 m_logStart = 0;
    bool m_started = false;
    bool m_succeeded = false;
    bool m_done = false;
    QString m_tail;
};

// Backs the open year up into `target` (see above). Unless `mayReplace`, a
// file named `target` is never replaced: the backup then fails.
class TBackupJob : public QObject {
    Q_OBJECT
public:
    explicit TBackupJob(QString target, bool mayReplace = true, QObject* parent = nullptr);
    void Start();
    const TToolOutcome& Outcome() const { return m_outcome; }

signals:
    void Finished(const TToolOutcome& outcome);

private:
    void ToolFinished();
    void Finish(bool ok, const QString& message);

    QString m_target;
    QString m_part;
    bool m_mayReplace = true;
    TGbakRun m_run;
    TToolOutcome m_outcome;
};

// Restores the open year from the backup `source` (see above).
class TRestoreJob : public QObject {
    Q_OBJECT
public:
    explicit TRestoreJob(QString source, QObject* parent = nullptr);
    void Start();
    const TToolOutcome& Outcome() const { return m_outcome; }

    // The new file the backup is restored into, beside the year's file.
    static QString RestoredFilePath(const QString& livePath);

signals:
    void Finished(const TToolOutcome& outcome);

private:
    void ToolFinished();
    void Fail(const QString& why);
    void MoveIntoPlace();

    QString m_source;
    QString m_live;
    QString m_restored;
    TGbakRun m_run;
    TToolOutcome m_outcome;
};

#include "data/Backup.h"

#include "core/GlobalState.h"
#include "core/MessageBox.h"
#include "data/UDM.h"
#include "data/YearCreation.h"
#include "db/Database.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

// How many lines of the tool's report a message quotes.
constexpr int kReportLines = 8;

const QString kUnchanged = QStringLiteral("La base de données de l'exercice n'a pas été modifiée.");

QString withReport(const QString& text, const QString& report)
{
    return report.isEmpty() ? text : text + QStringLiteral("\r\r") + report;
}

// The last lines of `text`, blank lines left out.
QString lastLines(const QString& text, int count)
{
    QStringList lines;
    for (const QString& line : text.split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts))
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    return lines.mid(qMax(0, int(lines.size()) - count)).join(QLatin1Char('\n'));
}

// The tables the schema script makes.
QStringList SchemaTables()
{
    static const QStringList tables = [] {
        QStringList names;
        static const QRegularExpression create(QStringLiteral("CREATE\\s+TABLE\\s+\"?(\\w+)\"?"),
                                               QRegularExpression::CaseInsensitiveOption);
        auto it = create.globalMatch(SchemaScript());
        while (it.hasNext())
            names << it.next().captured(1).toUpper();
        names.removeDuplicates();
        return names;
    }();
    return tables;
}

RestoreStepObserver& restoreStepObserver()
{
    static RestoreStepObserver observer;
    return observer;
}

void reachStep(RestoreStep step)
{
    if (const RestoreStepObserver& observer = restoreStepObserver())
        observer(step);
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Gives the file `from` the name `to` in one step, replacing a file of that
// name; false with errno set on failure.
bool renameOver(const QString& from, const QString& to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// Keeps the year file `live` under the second name `kept` as well, leaving
// `live` in place: a hard link, or where the file system has none a whole
// copy (QFile::copy writes beside and renames). Never replaces a file named
// `kept`. Returns why it failed; empty on success.
QString keepBeside(const QString& live, const QString& kept)
{
    if (::link(QFile::encodeName(live).constData(), QFile::encodeName(kept).constData()) == 0)
        return QString();
    const int linkError = errno;
    if (linkError != EPERM && linkError != EXDEV && linkError != EMLINK && linkError != ENOTSUP
        && linkError != EOPNOTSUPP)
        return QString::fromLocal8Bit(std::strerror(linkError));
    QFile copy(live);
    if (!copy.copy(kept))
        return copy.errorString();
    return QString();
}

} // namespace

void SetRestoreStepObserver(RestoreStepObserver observer)
{
    restoreStepObserver() = std::move(observer);
}

QString BackupToolPath()
{
    const QString own = AppDir + QStringLiteral("gbak");
    if (!AppDir.isEmpty() && QFileInfo(own).isExecutable() && QFileInfo(own).isFile())
        return own;
    return QStandardPaths::findExecutable(QStringLiteral("gbak"));
}

QString BackupFilePath(const QString& folder, const QDate& day)
{
    QString dir = folder;
    if (!dir.isEmpty() && !dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir + QStringLiteral("VOREL_") + FiscalYear + QLatin1Char('_') + day.toString(QStringLiteral("yyyyMMdd"))
           + QStringLiteral(".Fbk");
}

QString BackupFileYear(const QString& path)
{
    static const QRegularExpression name(QStringLiteral("^VOREL_(\\d{4})_\\d{8}\\.fbk$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto m = name.match(QFileInfo(path).fileName());
    return m.hasMatch() ? m.captured(1) : QString();
}

QString BackupLogPath()
{
    return TempDir + QStringLiteral("IBGBAK.TXT");
}

QString RestoredFileUnfit(const QString& path)
{
    try {
        db::Connection check;
        check.open(db::ConnectParams{path, DbUser, DbPassword});
        {
            db::Query state(check, QStringLiteral("SELECT MON$SHUTDOWN_MODE FROM MON$DATABASE"));
            state.open();
            if (state.isEmpty() || db::toInt(state.at(0, 0)) != 0)
                return QStringLiteral("la base restaurée est fermée (shutdown).");
        }
        QStringList present;
        {
            db::Query tables(check, QStringLiteral("SELECT TRIM(RDB$RELATION_NAME) FROM RDB$RELATIONS "
                                                   "WHERE COALESCE(RDB$SYSTEM_FLAG, 0)=0 AND RDB$VIEW_BLR IS NULL"));
            tables.open();
            for (int r = 0; r < tables.rowCount(); ++r)
                present << db::toText(tables.at(r, 0)).toUpper();
        }
        QStringList missing;
        for (const QString& table : SchemaTables())
            if (!present.contains(table))
                missing << table;
        if (!missing.isEmpty())
            return QStringLiteral("la sauvegarde n'est pas celle d'un exercice (tables absentes : %1).")
                .arg(missing.join(QStringLiteral(", ")));
        db::Query users(check, QStringLiteral("SELECT FIRST 1 ID_USER FROM T_USERS"));
        users.open();
        if (users.isEmpty())
            return QStringLiteral("la sauvegarde ne contient aucun utilisateur.");
    } catch (const db::DbError& e) {
        return QStringLiteral("la base restaurée ne s'ouvre pas.\r") + e.message();
    }
    return QString();
}

// ---------------------------------------------------------------------------
// One run of the tool

TGbakRun::TGbakRun(QObject* parent) : QObject(parent)
{
    connect(&m_process, &QProcess::finished, this, [this] { Done(); });
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            Done();
    });
}

TGbakRun::~TGbakRun()
{
    // A run still going when its owner goes is ended, not left behind.
    m_process.disconnect(this);
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool TGbakRun::Running() const
{
    return m_process.state() != QProcess::NotRunning;
}

void TGbakRun::Start(const QString& title, const QStringList& arguments)
{
    m_started = m_succeeded = m_done = false;
    m_tail.clear();

    // The run's part of the log starts with what was run (never the password).
    const QString log = BackupLogPath();
    QDir().mkpath(QFileInfo(log).absolutePath());
    {
        QFile file(log);
        if (file.open(QIODevice::WriteOnly | QIODevice::Append)) {
            m_logStart = file.size();
            file.write(QStringLiteral("\n==== %1 %2 : gbak %3\n")
                           .arg(QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy hh:mm:ss")),
                                title, arguments.join(QLatin1Char(' ')))
                           .toUtf8());
        } else {
            m_logStart = 0;
        }
    }

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ISC_USER"), DbUser);
    environment.insert(QStringLiteral("ISC_PASSWORD"), DbPassword);
    m_process.setProcessEnvironment(environment);
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(log, QIODevice::Append);
    const QString tool = BackupToolPath();
    m_process.start(tool.isEmpty() ? QStringLiteral("gbak") : tool, arguments);
}

void TGbakRun::Done()
{
    if (m_done)
        return;
    m_done = true;
    m_started = m_process.error() != QProcess::FailedToStart;
    m_succeeded = m_started && m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;

    QFile file(BackupLogPath());
    if (file.open(QIODevice::ReadOnly) && file.seek(m_logStart)) {
        const QByteArray report = file.readAll();
        // The header line written before the run is not part of the tool's report.
        const qsizetype firstLine = report.indexOf("\n==== ");
        const qsizetype body = firstLine < 0 ? 0 : report.indexOf('\n', firstLine + 1);
        m_tail = lastLines(QString::fromUtf8(report.mid(body < 0 ? 0 : body)), kReportLines);
    }
    if (!m_started)
        m_tail = QStringLiteral("L'utilitaire de sauvegarde gbak.exe est introuvable !");
    else if (m_process.exitStatus() != QProcess::NormalExit)
        m_tail = withReport(m_tail, QStringLiteral("L'utilitaire de sauvegarde s'est arrêté avant la fin."));
    emit Finished();
}

// ---------------------------------------------------------------------------
// Backup

TBackupJob::TBackupJob(QString target, bool mayReplace, QObject* parent)
    : QObject(parent), m_target(std::move(target)), m_part(m_target + QStringLiteral(".part")),
      m_mayReplace(mayReplace)
{
    connect(&m_run, &TGbakRun::Finished, this, [this] { ToolFinished(); });
}

void TBackupJob::Start()
{
    // What an interrupted backup left is ours to remove.
    QFile::remove(m_part);
    DM->CloseDatabase();
    m_run.Start(QStringLiteral("Sauvegarde"), {QStringLiteral("-b"), DbPath, m_part});
}

void TBackupJob::ToolFinished()
{
    const bool written = m_run.Succeeded() && QFileInfo(m_part).size() > 0;
    // rename() replaces an earlier backup of the day in one step, and only now
    // that the new one is whole; where it may not be replaced, the backup only
    // takes a name nothing has (QFile::rename never replaces a file).
    if (written && (m_mayReplace ? renameOver(m_part, m_target) : QFile::rename(m_part, m_target))) {
        Finish(true, QStringLiteral("La sauvegarde est terminée :\r") + m_target);
        return;
    }
    QFile::remove(m_part);
    QString message = QStringLiteral("La sauvegarde a échoué : aucune sauvegarde n'a été écrite.");
    if (QFile::exists(m_target))
        message += QStringLiteral("\rLa sauvegarde précédente de ce jour est conservée.");
    Finish(false, withReport(message, m_run.ReportTail()));
}

void TBackupJob::Finish(bool ok, const QString& message)
{
    m_outcome.ok = ok;
    m_outcome.message = message;
    m_outcome.file = ok ? m_target : QString();
    DM->ReopenDatabase();
    emit Finished(m_outcome);
}

// ---------------------------------------------------------------------------
// Restore

TRestoreJob::TRestoreJob(QString source, QObject* parent)
    : QObject(parent), m_source(std::move(source)), m_live(DbPath), m_restored(RestoredFilePath(DbPath))
{
    connect(&m_run, &TGbakRun::Finished, this, [this] { ToolFinished(); });
}

QString TRestoreJob::RestoredFilePath(const QString& livePath)
{
    return livePath + QStringLiteral(".restore");
}

void TRestoreJob::Start()
{
    if (!QFileInfo(m_source).isFile()) {
        // Nothing was closed or written: the year stays open as it was.
        m_outcome.message = QStringLiteral("La restauration a échoué : le fichier de sauvegarde est introuvable.\r")
                            + m_source + QLatin1Char('\r') + kUnchanged;
        emit Finished(m_outcome);
        return;
    }
    // What an interrupted restore left is ours to remove; the tool then
    // creates the file and never replaces one.
    QFile::remove(m_restored);
    // Without -v: the report of every table restored would only slow the run;
    // the tool's errors reach the log all the same.
    m_run.Start(QStringLiteral("Restauration"), {QStringLiteral("-c"), m_source, m_restored});
}

void TRestoreJob::Fail(const QString& why)
{
    QFile::remove(m_restored);
    m_outcome.ok = false;
    m_outcome.file.clear();
    m_outcome.message = QStringLiteral("La restauration a échoué : ") + why;
    if (!DM->LURDO.isOpen())
        DM->ReopenDatabase();
    emit Finished(m_outcome);
}

void TRestoreJob::ToolFinished()
{
    if (!m_run.Succeeded()) {
        Fail(withReport(QStringLiteral("le fichier choisi n'est pas une sauvegarde complète.\r") + kUnchanged,
                        m_run.ReportTail()));
        return;
    }
    reachStep(RestoreStep::RestoredWritten);
    const QString unfit = RestoredFileUnfit(m_restored);
    if (!unfit.isEmpty()) {
        Fail(unfit + QLatin1Char('\r') + kUnchanged);
        return;
    }
    MoveIntoPlace();
}

void TRestoreJob::MoveIntoPlace()
{
    const QString kept = m_live + QStringLiteral(".before-restore-")
                         + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    DM->CloseDatabase();
    reachStep(RestoreStep::YearClosed);
    // The year keeps its name at every instant: the old year gets its second
    // name first, then the restored file replaces it under the year's name in
    // one rename.
    const QString notKept = keepBeside(m_live, kept);
    if (!notKept.isEmpty()) {
        Fail(QStringLiteral("la base de données de l'exercice ne peut pas être mise de côté (%1).\r").arg(notKept)
             + kUnchanged);
        return;
    }
    reachStep(RestoreStep::OldYearKept);
    if (!renameOver(m_restored, m_live)) {
        const QString why = systemError();
        // The year is still the old one under its name: its second name goes.
        QFile::remove(kept);
        Fail(QStringLiteral("la base restaurée ne peut pas prendre sa place (%1).\r").arg(why) + kUnchanged);
        return;
    }
    reachStep(RestoreStep::RestoredMovedIn);
    const TDM::TOpening opening = DM->ConnectTo(m_live, FiscalYear, false);
    if (!opening.ok()) {
        // The old year goes back under its name, again in one rename.
        DM->CloseDatabase();
        renameOver(kept, m_live);
        Fail(QStringLiteral("la base restaurée ne s'ouvre pas.\r") + kUnchanged
             + QStringLiteral("\r\r") + opening.reason);
        return;
    }
    reachStep(RestoreStep::Reopened);
    m_outcome.ok = true;
    m_outcome.file = kept;
    m_outcome.message = QStringLiteral("La restauration est terminée.\rL'ancienne base de données est conservée "
                                       "sous le nom :\r")
                        + kept;
    emit Finished(m_outcome);
}

// ---------------------------------------------------------------------------
// What an interrupted restore left

TRestoreLeftovers FindRestoreLeftovers(const QString& path)
{
    TRestoreLeftovers found;
    const QString restored = TRestoreJob::RestoredFilePath(path);
    if (QFileInfo(restored).isFile()) {
        found.restored = restored;
        found.restoredWhole = RestoredFileUnfit(restored).isEmpty();
    }
    const QFileInfo year(path);
    QStringList kept = year.dir().entryList({year.fileName() + QStringLiteral(".before-restore-*")}, QDir::Files,
                                            QDir::Name | QDir::Reversed);
    for (QString& name : kept)
        name = year.dir().filePath(name);
    found.kept = kept;
    return found;
}

bool OfferToPutBackYear(const QString& path, const QString& fiscalYear, const TRestoreLeftovers& found)
{
    QString seen = QStringLiteral("La base de données de l'exercice ") + fiscalYear
                   + QStringLiteral(" est introuvable :\r") + path
                   + QStringLiteral("\r\rUne restauration interrompue a laissé à côté :");
    if (!found.restored.isEmpty())
        seen += QLatin1Char('\r') + found.restored
                + (found.restoredWhole ? QStringLiteral(" (la base restaurée)")
                                       : QStringLiteral(" (une restauration inachevée)"));
    for (const QString& kept : found.kept)
        seen += QLatin1Char('\r') + kept + QStringLiteral(" (l'exercice avant une restauration)");
    seen += QStringLiteral("\r\r");

    QStringList offers;
    QStringList questions;
    if (!found.restored.isEmpty() && found.restoredWhole) {
        offers << found.restored;
        questions << QStringLiteral("Mettre la base restaurée en place comme base de l'exercice ?");
    }
    if (!found.kept.isEmpty()) {
        offers << found.kept.first();
        questions << QStringLiteral("Remettre en place l'exercice tel qu'il était avant la restauration :\r")
                         + found.kept.first() + QStringLiteral(" ?");
    }
    for (int i = 0; i < offers.size(); ++i) {
        if (ShowMessageBox(seen + questions[i], mtConfirmation, MsgButton::Yes | MsgButton::No) != mrYes)
            continue;
        // Under the year's name, never over a file that took it meanwhile.
        QFile chosen(offers[i]);
        if (chosen.rename(path))
            return true;
        ShowMessageBox(QStringLiteral("Le fichier ne peut pas être remis en place :\r") + offers[i]
                           + QStringLiteral("\r") + chosen.errorString(),
                       mtError, MsgButton::OK);
        return false;
    }
    return false;
}

#include "common/YearDb.h"

#include "core/GlobalState.h"
#include "common/MessageRecorder.h"
#include "data/YearCreation.h"

#include <QDir>
#include <QFile>

struct YearDb::Saved {
    QString appDir = AppDir, iniPath = IniPath, tempDir = TempDir, fiscalYear = FiscalYear;
    QString dbWorkDir = DbWorkDir, dbFileName = DbFileName, dbPath = DbPath;
    QString dbUser = DbUser, dbPassword = DbPassword, serverAddress = ServerAddress;
    std::int16_t access = CurrentUserAccess;
    TDM* dm = DM;

    void restore() const
    {
        AppDir = appDir;
        IniPath = iniPath;
        TempDir = tempDir;
        FiscalYear = fiscalYear;
        DbWorkDir = dbWorkDir;
        DbFileName = dbFileName;
        DbPath = dbPath;
        DbUser = dbUser;
        DbPassword = dbPassword;
        ServerAddress = serverAddress;
        CurrentUserAccess = access;
        DM = dm;
    }
};

namespace {

void pointGlobalsAt(const QString& dir, const QString& year)
{
    AppDir = dir;
    IniPath = dir + QStringLiteral("VOREL.INI");
    TempDir = dir + QStringLiteral("Temp/");
    QDir().mkpath(TempDir);
    FiscalYear = year;
    DbWorkDir = dir;
    DbFileName = YearFileName(year);
    DbPath = DbWorkDir + DbFileName;
    DbUser = QStringLiteral("SYSDBA");
    DbPassword = DefaultDbPassword();
    ServerAddress.clear();
    CurrentUserAccess = 0;
}

// Opens the data module on the current global state; a message fails the test.
TDM* openModule()
{
    MessageRecorder messages;
    auto* dm = new TDM();
    EXPECT_TRUE(messages.calls().isEmpty()) << "message while opening: " << messages.texts().join(" | ").toStdString();
    EXPECT_TRUE(dm->LURDO.isOpen()) << "the year's database did not open";
    return dm;
}

// A database made once per process by the data module, copied for each test.
const QString& pristineDatabase()
{
    static QTemporaryDir dir;
    static QString path;
    if (path.isEmpty()) {
        const QString folder = dir.path() + QLatin1Char('/');
        pointGlobalsAt(folder, QStringLiteral("2024"));
        delete openModule();
        path = DbPath;
    }
    return path;
}

} // namespace

YearDb::YearDb() : YearDb(Options()) {}

YearDb::YearDb(const Options& options) : m_saved(std::make_unique<Saved>()), m_year(options.fiscalYear)
{
    if (!m_dir.isValid()) {
        ADD_FAILURE() << "no temporary folder";
        return;
    }
    DM = nullptr;
    if (options.open) {
        const QString pristine = pristineDatabase();
        pointGlobalsAt(dir(), options.fiscalYear);
        if (!QFile::copy(pristine, DbPath))
            ADD_FAILURE() << "cannot copy the pristine year database";
        QFile(DbPath).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        DM = openModule();
    } else {
        pointGlobalsAt(dir(), options.fiscalYear);
    }
}

YearDb::~YearDb()
{
    delete DM;
    DM = nullptr;
    m_saved->restore();
}

QString YearDb::dir() const
{
    return m_dir.path() + QLatin1Char('/');
}

QString YearDb::path() const
{
    return dir() + YearFileName(m_year);
}

db::ConnectParams YearDb::params() const
{
    db::ConnectParams p;
    p.path = path();
    p.password = DefaultDbPassword();
    return p;
}

#include "bench/BenchYear.h"

#include "core/GlobalState.h"
#include "data/UDM.h"
#include "data/YearCreation.h"
#include "tools/FillYear.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <stdexcept>

bool OpenBenchYear()
{
    QFile schemaFile(QStringLiteral(":/schema/schema.sql"));
    if (!schemaFile.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "no schema script\n");
        return false;
    }
    const QByteArray schema = schemaFile.readAll();
    const QString digest = QString::fromLatin1(
        QCryptographicHash::hash(schema + QByteArray::number(fill::Revision), QCryptographicHash::Sha1)
            .toHex()
            .left(12));
    const QString dir = QDir::tempPath() + QStringLiteral("/vorel-bench-") + digest + QLatin1Char('/');
    QDir().mkpath(dir + QStringLiteral("Temp"));
    AppDir = dir;
    IniPath = dir + QStringLiteral("VOREL.INI");
    TempDir = dir + QStringLiteral("Temp/");
    FiscalYear = BenchFiscalYear;
    DbWorkDir = dir;
    DbFileName = YearFileName(BenchFiscalYear);
    DbPath = dir + DbFileName;
    DbUser = QStringLiteral("SYSDBA");
    DbPassword = DefaultDbPassword();
    ServerAddress.clear();

    if (!QFile::exists(DbPath)) {
        // Filled under another name and renamed once complete, so a run
        // stopped midway never leaves a half-filled year to be measured later.
        const QString filling = DbPath + QStringLiteral(".filling");
        std::fprintf(stderr, "Filling a full-scale year in %s ...\n", qPrintable(DbPath));
        QFile::remove(filling);
        db::ConnectParams params;
        params.path = filling;
        params.user = DbUser;
        params.password = DbPassword;
        try {
            fill::CreateYearDatabase(params, QString::fromUtf8(schema));
            {
                db::Connection conn;
                conn.open(params);
                fill::Options options;
                options.year = BenchFiscalYear.toInt();
                const fill::Counts counts = fill::FillYear(conn, options);
                for (const auto& [table, rows] : counts)
                    std::fprintf(stderr, "  %-12s %6d\n", qPrintable(table), rows);
            }
            if (!QFile::rename(filling, DbPath))
                throw std::runtime_error("cannot rename the filled year into place");
        } catch (const std::exception& e) {
            QFile::remove(filling);
            std::fprintf(stderr, "cannot fill the year: %s\n", e.what());
            return false;
        }
    }
    DM = new TDM();
    if (!DM->LURDO.isOpen()) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(DbPath));
        return false;
    }

    return true;
}

void CloseBenchYear()
{
    delete DM;
    DM = nullptr;
}

namespace {
QString copyPath;
}

bool OpenBenchYearCopy(const QString& fileName)
{
    if (!OpenBenchYear())
        return false;
    CloseBenchYear();
    copyPath = TempDir + fileName;
    QFile::remove(copyPath);
    if (!QFile::copy(DbPath, copyPath)) {
        std::fprintf(stderr, "cannot copy the year to %s\n", qPrintable(copyPath));
        return false;
    }
    DbPath = copyPath;
    DM = new TDM();
    return DM->LURDO.isOpen();
}

void CloseBenchYearCopy()
{
    CloseBenchYear();
    QFile::remove(copyPath);
}

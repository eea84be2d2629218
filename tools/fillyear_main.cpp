// vorel_fillyear: creates a fiscal-year database from the schema script and
// fills it with a full-scale year, for benchmarks.
//
//   vorel_fillyear <database file> <fiscal year> [--seed N] [--schema FILE]
//                  [--replace] [--password PW]

#include "tools/FillYear.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>
#include <exception>

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage: vorel_fillyear <database file> <fiscal year> [--seed N] [--schema FILE]\n"
                 "                      [--replace] [--password PW]\n"
                 "Creates the database from the schema script (the built-in one unless --schema)\n"
                 "and fills a full-scale fiscal year. --replace deletes an existing file first.\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QStringList positional;
    fill::Options options;
    QString schemaPath = QStringLiteral(":/schema/schema.sql");
    QString password = QStringLiteral("masterkey");
    bool replace = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--seed") && i + 1 < args.size())
            options.seed = args[++i].toULongLong();
        else if (a == QLatin1String("--schema") && i + 1 < args.size())
            schemaPath = args[++i];
        else if (a == QLatin1String("--password") && i + 1 < args.size())
            password = args[++i];
        else if (a == QLatin1String("--replace"))
            replace = true;
        else if (a.startsWith(QLatin1String("--")))
            return usage();
        else
            positional << a;
    }
    bool yearOk = false;
    if (positional.size() != 2 || (options.year = positional[1].toInt(&yearOk), !yearOk))
        return usage();

    const QString path = QFileInfo(positional[0]).absoluteFilePath();
    if (QFileInfo::exists(path)) {
        if (!replace) {
            std::fprintf(stderr, "%s exists (use --replace)\n", qPrintable(path));
            return 1;
        }
        if (!QFile::remove(path)) {
            std::fprintf(stderr, "cannot delete %s\n", qPrintable(path));
            return 1;
        }
    }
    QFile schema(schemaPath);
    if (!schema.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read the schema script %s\n", qPrintable(schemaPath));
        return 1;
    }
    const QString script = QString::fromUtf8(schema.readAll());

    try {
        db::ConnectParams params;
        params.path = path;
        params.password = password;
        QElapsedTimer timer;
        timer.start();
        const fill::Counts counts = fill::CreateFilledYear(params, script, options);
        QTextStream out(stdout);
        out << "Database " << path << " (fiscal year " << options.year << ", seed " << options.seed << ")\n";
        for (const auto& [table, n] : counts)
            out << "  " << table.leftJustified(12) << ' ' << n << '\n';
        out << "Created and filled in " << timer.elapsed() << " ms\n";
    } catch (const std::exception& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
    return 0;
}

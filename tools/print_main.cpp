// vorel_print: prepares one document off screen, as its print item does, and
// writes its PDF; prints the page count and the preparation time.
//
//   vorel_print YEARFILE UNIT [PARAM=VALUE ...] -o FILE.pdf [--paper N] [--preview]
//   vorel_print --list
//
// YEARFILE is a fiscal year's database ("KIV_DB_2024.FDB": its year is read
// from the name, or given with --year). The settings file VOREL.INI of the
// database's folder is read when it exists. --paper answers the paper dialog
// (0 A4, 1 Letter); --preview shows the preview window instead of writing a
// file (a display is needed). Messages the document shows are written to
// standard error. A document without page (nothing to print, or a document
// that refuses to print, its form too small for its rows) writes no file,
// says why on standard error and exits with 1.

#include "core/Fonts.h"
#include "core/GlobalState.h"
#include "core/MessageBox.h"
#include "core/Pause.h"
#include "data/UDM.h"
#include "reports/DocumentRegistry.h"
#include "reports/ReportForm.h"
#include "reports/UPaper.h"
#include "reports/budget/DecisionTemplate.h"
#include "reports/engine/PagePainter.h"
#include "shell/Documents.h"
#include "shell/Startup.h"
#include "tools/SampleDocuments.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <cstdio>
#include <exception>

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage: vorel_print YEARFILE UNIT [PARAM=VALUE ...] -o FILE.pdf [--paper N] [--year YYYY]\n"
                 "                  [--preview]\n"
                 "       vorel_print --list\n");
    return 2;
}

void listDocuments()
{
    for (const QString& unit : RegisteredDocuments()) {
        std::unique_ptr<TReportForm> form = CreateDocument(unit);
        std::printf("%s  %s\n", qPrintable(unit), qPrintable(form->ParameterNames().join(QLatin1Char(' '))));
    }
}

// Points the global state at the year's database and its folder.
bool useYearFile(const QString& file, const QString& year)
{
    const QFileInfo info(file);
    if (!info.exists()) {
        std::fprintf(stderr, "%s: no such file\n", qPrintable(file));
        return false;
    }
    AppDir = info.absolutePath() + QLatin1Char('/');
    IniPath = AppDir + QStringLiteral("VOREL.INI");
    TempDir = QDir::tempPath() + QLatin1Char('/');
    if (const QString unreadable = ReadSettings(); !unreadable.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(QString(unreadable).replace(QLatin1Char('\r'), QLatin1Char('\n'))));
    FiscalYear = year;
    if (FiscalYear.isEmpty()) {
        const auto m = QRegularExpression(QStringLiteral("(\\d{4})")).match(info.fileName());
        FiscalYear = m.hasMatch() ? m.captured(1) : QString::number(QDate::currentDate().year());
    }
    DbWorkDir = AppDir;
    DbFileName = info.fileName();
    DbPath = info.absoluteFilePath();
    ServerAddress.clear();
    // As the program does at its start.
    InstallDefaultDecisionTemplate(AppDir);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    bool preview = false;
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]) == "--preview")
            preview = true;
    if (!preview && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetProcessFormats();
    InitProgramResources();
    RegisterFontSubstitutions();
    SetInstallationValues();
    SetPauseScale(0);
    RegisterDocumentsWithTheirRows();
    RegisterSampleDocuments();

    QStringList positional;
    QString output;
    QString year;
    int paper = 0;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--list")) {
            listDocuments();
            return 0;
        }
        if (a == QLatin1String("-o") && i + 1 < args.size())
            output = args[++i];
        else if (a == QLatin1String("--paper") && i + 1 < args.size())
            paper = args[++i].toInt();
        else if (a == QLatin1String("--year") && i + 1 < args.size())
            year = args[++i];
        else if (a == QLatin1String("--preview"))
            continue;
        else if (a.startsWith(QLatin1String("-")))
            return usage();
        else
            positional << a;
    }
    if (positional.size() < 2 || (output.isEmpty() && !preview))
        return usage();

    // Off screen, every message goes to standard error and takes its default answer.
    if (!preview) {
        SetMessageResponder([](const MessageCall& call) {
            std::fprintf(stderr, "message: %s\n", qPrintable(call.text));
            if (call.buttons & MsgButton::Yes)
                return int(mrYes);
            return int(mrOk);
        });
        TfrmPaper::SetResponder([paper] { return paper; });
    }

    if (!useYearFile(positional[0], year))
        return 1;
    std::unique_ptr<TReportForm> form = CreateDocument(positional[1]);
    if (!form) {
        std::fprintf(stderr, "unknown document %s; the documents are:\n", qPrintable(positional[1]));
        listDocuments();
        return 2;
    }
    for (const QString& p : positional.mid(2)) {
        const qsizetype eq = p.indexOf(QLatin1Char('='));
        if (eq <= 0 || !form->SetParameter(p.left(eq), p.mid(eq + 1))) {
            std::fprintf(stderr, "bad parameter %s; the parameters of %s are: %s\n", qPrintable(p),
                         qPrintable(positional[1]), qPrintable(form->ParameterNames().join(QLatin1Char(' '))));
            return 2;
        }
    }

    int status = 0;
    try {
        DM = new TDM();
        if (!DM->LURDO.isOpen()) {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(DbPath));
            status = 1;
        } else if (preview) {
            form->Preview(nullptr);
        } else {
            QElapsedTimer timer;
            timer.start();
            std::unique_ptr<rpt::PreparedPages> pages = form->Prepare();
            const qint64 prepared = timer.elapsed();
            for (const QString& w : pages->warnings)
                std::fprintf(stderr, "message: %s\n", qPrintable(w));
            if (pages->isEmpty()) {
                // A refused document writes no file and says why.
                std::fprintf(stderr, "%s\n", qPrintable(TReportForm::WhyNothingPrints(*pages)));
                status = 1;
            } else {
                timer.restart();
                if (!rpt::WritePdf(*pages, output)) {
                    std::fprintf(stderr, "cannot write %s\n", qPrintable(output));
                    status = 1;
                } else {
                    std::printf("%s: %d page%s, prepared in %lld ms, PDF written in %lld ms to %s\n",
                                qPrintable(positional[1]), pages->count(), pages->count() > 1 ? "s" : "",
                                prepared, qint64(timer.elapsed()), qPrintable(output));
                }
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        status = 1;
    }
    form.reset();
    delete DM;
    DM = nullptr;
    return status;
}

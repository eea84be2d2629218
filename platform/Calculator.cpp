#include "platform/Calculator.h"

#include <QProcess>
#include <QStandardPaths>

namespace platform {

namespace {
CalculatorStarter g_starter;
}

const QStringList& CalculatorPrograms()
{
    static const QStringList programs = {
        QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
        QStringLiteral("galculator"), QStringLiteral("qalculate-gtk"),
        QStringLiteral("qalculate-qt"), QStringLiteral("mate-calc"),
        QStringLiteral("xcalc"),
    };
    return programs;
}

StartError StartFirstProgram(const QStringList& programs,
                             const std::function<QString(const QString&)>& find,
                             const std::function<bool(const QString&)>& launch)
{
    for (const QString& program : programs) {
        const QString path = find(program);
        if (path.isEmpty())
            continue;
        return launch(path) ? StartError::None : StartError::NotAProgram;
    }
    return StartError::FileNotFound;
}

StartError StartCalculator()
{
    if (g_starter)
        return g_starter();
    return StartFirstProgram(
        CalculatorPrograms(),
        [](const QString& program) { return QStandardPaths::findExecutable(program); },
        [](const QString& path) {
            QProcess process;
            process.setProgram(path);
            return process.startDetached();
        });
}

void SetCalculatorStarter(CalculatorStarter starter) { g_starter = std::move(starter); }

} // namespace platform

#pragma once
// The desktop calculator: the first calculator program found on the PATH is
// started detached, in its own window. Tests replace the starter so no real
// program is launched.

#include <QString>
#include <QStringList>
#include <functional>

namespace platform {

// Why a start failed, in the terms the program reports to the user.
enum class StartError { None, NotEnoughMemory, FileNotFound, NotAProgram, Other };

// The calculator programs looked for, in order.
const QStringList& CalculatorPrograms();

// Starts the first of `programs` that `find` resolves to a path (empty when
// absent), through `launch` (true when started). FileNotFound when none is
// found, NotAProgram when the program found could not be started.
StartError StartFirstProgram(const QStringList& programs,
                             const std::function<QString(const QString&)>& find,
                             const std::function<bool(const QString&)>& launch);

// Starts the calculator (through the test starter when one is set).
StartError StartCalculator();

// Replaces the starter (tests); an empty function restores the real one.
using CalculatorStarter = std::function<StartError()>;
void SetCalculatorStarter(CalculatorStarter starter);

} // namespace platform

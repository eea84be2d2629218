#include "core/Pause.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace {
double g_scale = 1.0;
}

void SetPauseScale(double scale) { g_scale = scale; }
double PauseScale() { return g_scale; }

void ProcessMessages()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

void Pause(int milliseconds)
{
    ProcessMessages();
    const int wait = int(milliseconds * g_scale);
    if (wait <= 0 || !QCoreApplication::instance())
        return;
    // The pending window messages run while a timer measures the pause.
    QEventLoop loop;
    QTimer::singleShot(wait, &loop, &QEventLoop::quit);
    loop.exec();
}

#include "core/Pause.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

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
    const qint64 wait = qint64(milliseconds * g_scale);
    QElapsedTimer timer;
    timer.start();
    ProcessMessages();
    while (timer.elapsed() < wait) {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents, int(wait - timer.elapsed()));
        QThread::msleep(5);
    }
}

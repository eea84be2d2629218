#pragma once
// Whether the event loop ran since the watch was made: a zero timer posted at
// its making fires only when pending events run. A handler that waited by
// spinning the event loop would run it.

#include <QObject>
#include <QTimer>

class TEventLoopWatch : public QObject {
public:
    TEventLoopWatch() { QTimer::singleShot(0, this, [this] { m_ran = true; }); }
    bool Ran() const { return m_ran; }

private:
    bool m_ran = false;
};

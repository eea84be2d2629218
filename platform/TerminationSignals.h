#pragma once
// The requests to end the program that the system sends it (SIGTERM at a
// desktop logout or a plain `kill`, SIGINT from a terminal's Ctrl+C, SIGHUP
// when its terminal goes away), delivered as a Qt signal on the thread that
// created the object, where the program can end cleanly.
//
// The signal handler itself only writes the signal's number into a pipe (the
// one thing that is safe there); a socket notifier reads it on the event loop.
// While an object exists, these three signals no longer end the process by
// themselves. The database engine's client library installs handlers of its own
// for SIGINT and SIGTERM when it first attaches a database, and its handler shuts
// the engine down on a thread of its own, racing the program's clean end: Reclaim,
// called once a database is attached, puts this object's handler back in front so
// that nothing but the program acts on the signals.

#include <QObject>

class QSocketNotifier;

namespace platform {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override; // the three signals' previous handling comes back

    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // Installs the handler again over whatever replaced it since (the
    // engine's, after the first attachment); harmless when nothing did.
    void Reclaim();

signals:
    void terminationRequested(int signalNumber);

private:
    void readPipe();

    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace platform

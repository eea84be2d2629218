#include "platform/TerminationSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr int Handled[] = {SIGTERM, SIGINT, SIGHUP};

// The pipe's two ends: the handler writes into [1], the notifier reads [0].
int g_pipe[2] = {-1, -1};
struct sigaction g_previous[3];

extern "C" void onTerminationSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    if (g_pipe[1] >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    }
    errno = savedErrno;
}

struct sigaction ownAction()
{
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return action;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    if (g_pipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0)
        return; // one object at a time; without a pipe the default handling stays
    ::fcntl(g_pipe[1], F_SETFL, ::fcntl(g_pipe[1], F_GETFL) | O_NONBLOCK);
    ::fcntl(g_pipe[0], F_SETFL, ::fcntl(g_pipe[0], F_GETFL) | O_NONBLOCK);
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPipe);

    const struct sigaction action = ownAction();
    for (int i = 0; i < 3; ++i)
        ::sigaction(Handled[i], &action, &g_previous[i]);
}

void TerminationSignals::Reclaim()
{
    if (!m_notifier)
        return;
    // The handling that was there before this object is what the destructor
    // restores; the handler installed in between is simply displaced.
    const struct sigaction action = ownAction();
    for (int i = 0; i < 3; ++i)
        ::sigaction(Handled[i], &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    for (int i = 0; i < 3; ++i)
        ::sigaction(Handled[i], &g_previous[i], nullptr);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void TerminationSignals::readPipe()
{
    unsigned char bytes[16];
    for (;;) {
        const ssize_t n = ::read(g_pipe[0], bytes, sizeof bytes);
        if (n <= 0)
            break;
        for (ssize_t i = 0; i < n; ++i)
            emit terminationRequested(int(bytes[i]));
    }
}

}  // namespace platform

#include "common/TestServer.h"

#include "core/GlobalState.h"

#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>

namespace {

QString scriptPath()
{
    return QStringLiteral(VOREL_SOURCE_DIR "/scripts/fb-test-server");
}

int freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

} // namespace

TestServer::TestServer()
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return;
    }
    // A port taken between the probe and the server's start is retried.
    for (int attempt = 0; attempt < 3 && !m_started; ++attempt) {
        m_port = freePort();
        QProcess start;
        start.setProcessChannelMode(QProcess::MergedChannels);
        start.start(QStringLiteral("bash"),
                    {scriptPath(), QStringLiteral("start"), folder() + QStringLiteral("server"),
                     QString::number(m_port), password()});
        if (!start.waitForFinished(60000)) {
            start.kill();
            m_error = QStringLiteral("the server did not start within a minute");
            continue;
        }
        const QString output = QString::fromLocal8Bit(start.readAll()).trimmed();
        if (start.exitCode() == 0) {
            m_started = true;
            m_error.clear();
        } else if (start.exitCode() == 2) {
            m_unavailable = output;
            return;
        } else {
            m_error = output;
        }
    }
}

TestServer::~TestServer()
{
    if (!m_started)
        return;
    QProcess stop;
    stop.start(QStringLiteral("bash"), {scriptPath(), QStringLiteral("stop"), folder() + QStringLiteral("server")});
    stop.waitForFinished(30000);
}

QString TestServer::address() const
{
    return QStringLiteral("127.0.0.1/") + QString::number(m_port);
}

QString TestServer::password() const
{
    return DefaultDbPassword();
}

#include "common/Isql.h"

#include "core/GlobalState.h"
#include "data/YearCreation.h"

#include <QStandardPaths>
#include <QTemporaryFile>
#include <gtest/gtest.h>

namespace {

QString isqlProgram()
{
    return QStandardPaths::findExecutable(QStringLiteral("isql-fb"));
}

QStringList account()
{
    return {QStringLiteral("-q"), QStringLiteral("-user"), QStringLiteral("SYSDBA"), QStringLiteral("-password"),
            DefaultDbPassword()};
}

} // namespace

QByteArray RunIsql(const QByteArray& script)
{
    const QString program = isqlProgram();
    if (program.isEmpty()) {
        ADD_FAILURE() << "isql-fb is not installed (package firebird3.0-utils)";
        return {};
    }
    // From a file: text read from its standard input loses every byte
    // beyond ASCII.
    QTemporaryFile file;
    if (!file.open() || file.write(script) != script.size() || !file.flush()) {
        ADD_FAILURE() << "cannot write the isql-fb script";
        return {};
    }
    QProcess isql;
    isql.setProcessChannelMode(QProcess::MergedChannels);
    isql.start(program, account() << QStringLiteral("-bail") << QStringLiteral("-i") << file.fileName());
    if (!isql.waitForStarted(10000)) {
        ADD_FAILURE() << "isql-fb did not start";
        return {};
    }
    isql.closeWriteChannel();
    if (!isql.waitForFinished(60000))
        ADD_FAILURE() << "isql-fb did not finish";
    const QByteArray output = isql.readAll();
    EXPECT_EQ(isql.exitCode(), 0) << output.toStdString();
    return output;
}

void MakeWindowsProgramYear(const QString& path, const QByteArray& statements)
{
    QByteArray script = "SET NAMES WIN1252;\n";
    script += "CREATE DATABASE '" + path.toUtf8() + "' USER 'SYSDBA' PASSWORD '" + DefaultDbPassword().toUtf8()
              + "' PAGE_SIZE 4096;\n";
    script += SchemaScript().toUtf8();
    script += "\nCOMMIT;\n" + statements + "\nCOMMIT;\n";
    RunIsql(script);
}

IsqlSession::IsqlSession(const QString& path)
{
    const QString program = isqlProgram();
    if (program.isEmpty()) {
        m_error = QStringLiteral("isql-fb is not installed (package firebird3.0-utils)");
        return;
    }
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(program, account() << path);
    if (!m_process.waitForStarted(10000)) {
        m_error = QStringLiteral("isql-fb did not start");
        return;
    }
    m_process.write("SELECT 'ATTACHED' AS STATE FROM RDB$DATABASE;\n");
    QByteArray output;
    while (!output.contains("\nATTACHED") && m_process.waitForReadyRead(30000))
        output += m_process.readAll();
    m_attached = output.contains("\nATTACHED");
    if (!m_attached)
        m_error = QString::fromLocal8Bit(output + m_process.readAll());
}

IsqlSession::~IsqlSession()
{
    quit();
}

void IsqlSession::quit()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.write("QUIT;\n");
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

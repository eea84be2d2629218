#pragma once
// The engine's own interactive tool, isql-fb, run as a separate program: it
// makes year files as another program would (the earlier Windows program's
// files have no default character set and hold Windows code-page text), and
// holds a database open from another process.
//
//     MakeWindowsProgramYear(path, "INSERT INTO BENEF ... 'SOCI\xc9T\xc9';");
//     IsqlSession other(path);          // the file is open in another program
//     ASSERT_TRUE(other.attached()) << other.error().toStdString();

#include <QByteArray>
#include <QProcess>
#include <QString>

// Runs isql-fb on a script given on its standard input; returns its whole
// output and records a test failure when it cannot run or fails.
QByteArray RunIsql(const QByteArray& script);

// A year file as the earlier Windows program left it: the schema script run
// on a database without a default character set (NONE), then `statements`,
// whose bytes go to the database as they are (Windows code page text), committed.
void MakeWindowsProgramYear(const QString& path, const QByteArray& statements);

// isql-fb attached to a database until the object goes.
class IsqlSession {
public:
    explicit IsqlSession(const QString& path);
    ~IsqlSession();
    IsqlSession(const IsqlSession&) = delete;
    IsqlSession& operator=(const IsqlSession&) = delete;

    bool attached() const { return m_attached; }
    QString error() const { return m_error; }
    // Ends the session (the file is let go).
    void quit();

private:
    QProcess m_process;
    bool m_attached = false;
    QString m_error;
};

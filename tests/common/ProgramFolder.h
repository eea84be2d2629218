#pragma once
// A temporary program folder for tests of the start-up and the main window:
// while it lives, the program folder is this folder (as if the executable
// were started from it), the current user's registry is a file beside it and
// this computer's address is a fixed test address.

#include <QString>
#include <QTemporaryDir>

class ProgramFolder {
public:
    static constexpr const char* LocalAddress = "192.0.2.10";

    ProgramFolder();
    ~ProgramFolder();

    // The program folder, with its trailing "/".
    QString path() const;
    QString iniPath() const { return path() + QStringLiteral("VOREL.INI"); }
    // Replaces the settings file with `text`.
    void writeIni(const QString& text) const;
    QString registryStore() const;

private:
    QTemporaryDir m_root;
};

#pragma once
// The settings-file access: each call opens the file, reads or writes one key
// and closes it. A write replaces only its own key (creating the file, section or
// key when missing) and keeps every other line as it was. Sections and keys are
// matched without regard to case; values are read without the blanks around
// them. A file that is not UTF-8 is read in the Windows code page (as the
// earlier Windows program wrote it) and written back in the encoding it was
// read in.

#include <QList>
#include <QPair>
#include <QString>

QString IniReadString(const QString& path, const QString& section, const QString& key,
                      const QString& defaultValue = QString());
int IniReadInteger(const QString& path, const QString& section, const QString& key, int defaultValue);
bool IniReadBool(const QString& path, const QString& section, const QString& key, bool defaultValue);
bool IniKeyExists(const QString& path, const QString& section, const QString& key);

// Throws std::runtime_error with the platform's reason when the file cannot be written.
void IniWriteString(const QString& path, const QString& section, const QString& key, const QString& value);
// Several keys of one section in one write: the file holds all of them
// afterwards, or (on failure) none of them.
void IniWriteStrings(const QString& path, const QString& section, const QList<QPair<QString, QString>>& values);
void IniWriteInteger(const QString& path, const QString& section, const QString& key, int value);
void IniWriteBool(const QString& path, const QString& section, const QString& key, bool value);

#pragma once
// The folder picker and the file-open dialog of the platform. Tests set a
// responder that answers instead of a dialog.

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace platform {

// A folder chosen by the user, with its trailing "/"; nothing when cancelled.
std::optional<QString> PickFolder(QWidget* parent, const QString& title, const QString& startFolder);

// An existing file chosen by the user; nothing when cancelled. `filter` in
// Qt's form: "Texte (*.txt);;Tous les fichiers (*)", the first one chosen.
std::optional<QString> PickFileToOpen(QWidget* parent, const QString& title, const QString& startFolder,
                                      const QString& filter);

// What a dialog was asked, as a responder sees it.
struct FilePickCall {
    bool folder = false;
    QString title;
    QString startFolder;
    QString filter;
};
using FilePickResponder = std::function<std::optional<QString>(const FilePickCall&)>;
// Replaces the dialogs (tests); an empty function restores them.
void SetFilePickResponder(FilePickResponder responder);

} // namespace platform

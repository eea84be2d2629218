#include "platform/FilePicker.h"

#include <QFileDialog>

namespace platform {

namespace {

FilePickResponder& responder()
{
    static FilePickResponder r;
    return r;
}

} // namespace

void SetFilePickResponder(FilePickResponder r)
{
    responder() = std::move(r);
}

std::optional<QString> PickFolder(QWidget* parent, const QString& title, const QString& startFolder)
{
    QString folder;
    if (responder()) {
        const std::optional<QString> answer = responder()(FilePickCall{true, title, startFolder, QString()});
        if (!answer)
            return std::nullopt;
        folder = *answer;
    } else {
        folder = QFileDialog::getExistingDirectory(parent, title, startFolder);
    }
    if (folder.isEmpty())
        return std::nullopt;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

std::optional<QString> PickFileToOpen(QWidget* parent, const QString& title, const QString& startFolder,
                                      const QString& filter)
{
    if (responder())
        return responder()(FilePickCall{false, title, startFolder, filter});
    const QString file = QFileDialog::getOpenFileName(parent, title, startFolder, filter);
    if (file.isEmpty())
        return std::nullopt;
    return file;
}

} // namespace platform

#include "platform/DocumentOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

namespace {

DocumentOpener& TestOpener()
{
    static DocumentOpener opener;
    return opener;
}

} // namespace

bool OpenDocument(const QString& path)
{
    if (TestOpener())
        return TestOpener()(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void SetDocumentOpener(DocumentOpener opener)
{
    TestOpener() = std::move(opener);
}

} // namespace platform

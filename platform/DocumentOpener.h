#pragma once
// Opens a document file with the desktop's default application for its kind
// (the spreadsheet export opens its workbook this way). Tests replace the
// opener so that no program is started.

#include <QString>
#include <functional>

namespace platform {

// True when an application was started on the file.
bool OpenDocument(const QString& path);

// Replaces the opener (tests); an empty function restores the real one.
using DocumentOpener = std::function<bool(const QString& path)>;
void SetDocumentOpener(DocumentOpener opener);

} // namespace platform

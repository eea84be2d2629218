#pragma once
// Rich Text Format read into a QTextDocument and written back from one; Qt
// itself reads and writes HTML and Markdown only.
//
// The reader takes what a letter or a decision holds: fonts with their
// character sets, colours, bold, italic, underline, struck-out text, sizes,
// superscript and subscript; paragraph alignment, indents, spacing, line
// spacing, tab stops, right-to-left paragraphs; tables; the shown result of
// fields; PNG and JPEG pictures. What the format holds besides (style sheets,
// headers and footers, document information, page setup) is passed over. The
// writer writes the same things, so a document read, written and read again
// is the same document.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

class QTextDocument;

namespace rtf {

// Replaces the contents of `document` with the RTF document `data`. The
// document ends unmodified, with no undo history. On failure it returns why,
// in French for the user, and leaves `document` as it was.
[[nodiscard]] std::optional<QString> Read(QByteArrayView data, QTextDocument& document);

// The RTF text of `document`: ANSI with the Windows-1252 code page, the
// characters that code page lacks written as Unicode escapes.
QByteArray Write(const QTextDocument& document);

// Read and Write on a file. A failure (file missing, unreadable, a folder, not
// RTF or cut short; a folder that cannot be written) returns the message to
// show, in French, naming the file; the document or the file on disk is then
// left as it was:
// a save writes a temporary file and renames it over the old one.
[[nodiscard]] std::optional<QString> LoadFile(const QString& path, QTextDocument& document);
[[nodiscard]] std::optional<QString> SaveFile(const QString& path, const QTextDocument& document);

} // namespace rtf

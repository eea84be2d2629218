#pragma once
// What the RTF reader and writer share: units, code pages, picture kinds.

#include <QByteArrayView>
#include <QtGlobal>

namespace rtf {

// RTF measures in twips (1/1440 inch); documents are laid out at 96 pixels
// per inch, so a pixel is 15 twips.
constexpr double TwipsPerPixel = 15.0;
inline double PixelsFromTwips(int twips) { return twips / TwipsPerPixel; }
inline int TwipsFromPixels(double pixels) { return qRound(pixels * TwipsPerPixel); }

// The width given to a table whose columns have no width of their own: the
// text width of an A4 page with 2.5 cm margins.
constexpr int DefaultTableWidth = 9070;

// The code pages the reader decodes: the Western one, and the Arabic one
// (fonts of character set 178 and documents declared \ansicpg1256).
enum class CodePage { Windows1252, Windows1256 };

// The character of a byte of 0x80 and above in the code page.
char16_t HighCharacter(CodePage page, unsigned char byte);

// The byte of a character in Windows-1252, or -1 when it has none.
int Windows1252Byte(char16_t character);

enum class PictureKind { Unknown, Png, Jpeg };
PictureKind KindOfPicture(QByteArrayView data);

} // namespace rtf

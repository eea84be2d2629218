#include "db/TextCodec.h"

#include <QStringDecoder>

namespace {

// Code points of the bytes 0x80..0x9F; the five bytes the code page leaves
// undefined keep their own value, as Windows itself does.
constexpr char16_t High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D,
    0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A,
    0x0153, 0x009D, 0x017E, 0x0178};

char16_t codePoint(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? High[byte - 0x80] : char16_t(byte);
}

} // namespace

QString DecodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text[i] = QChar(codePoint(static_cast<unsigned char>(bytes[i])));
    return text;
}

QByteArray EncodeWindows1252(const QString& text, bool* lossless)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    bool kept = true;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        char byte = '?';
        bool found = false;
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            byte = char(u);
            found = true;
        } else {
            for (int i = 0; i < 32 && !found; ++i) {
                if (High[i] == u) {
                    byte = char(0x80 + i);
                    found = true;
                }
            }
        }
        kept = kept && found;
        bytes.append(byte);
    }
    if (lossless)
        *lossless = kept;
    return bytes;
}

bool IsValidUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    Q_UNUSED(text);
    return !decoder.hasError();
}

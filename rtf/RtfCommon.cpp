#include "rtf/RtfCommon.h"

#include <QHash>
#include <QStringDecoder>
#include <array>

namespace rtf {

namespace {

using HighHalf = std::array<char16_t, 128>;

// The upper half of a Windows code page, as the system's converter decodes
// it; a byte it cannot decode reads as the replacement character.
HighHalf DecodedHighHalf(const char* name)
{
    HighHalf half;
    half.fill(QChar::ReplacementCharacter);
    QStringDecoder decoder(name);
    if (!decoder.isValid())
        return half;
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const char c = char(byte);
        const QString text = decoder.decode(QByteArrayView(&c, 1));
        if (text.size() == 1)
            half[byte - 0x80] = text.at(0).unicode();
    }
    return half;
}

const HighHalf& Half(CodePage page)
{
    static const HighHalf western = DecodedHighHalf("windows-1252");
    static const HighHalf arabic = DecodedHighHalf("windows-1256");
    return page == CodePage::Windows1256 ? arabic : western;
}

} // namespace

char16_t HighCharacter(CodePage page, unsigned char byte)
{
    return byte < 0x80 ? char16_t(byte) : Half(page)[byte - 0x80];
}

int Windows1252Byte(char16_t character)
{
    static const QHash<char16_t, int> bytes = [] {
        QHash<char16_t, int> map;
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            const char16_t c = HighCharacter(CodePage::Windows1252, static_cast<unsigned char>(byte));
            if (c != QChar::ReplacementCharacter && !map.contains(c))
                map.insert(c, byte);
        }
        return map;
    }();
    if (character < 0x80)
        return character;
    return bytes.value(character, -1);
}

PictureKind KindOfPicture(QByteArrayView data)
{
    if (data.startsWith("\x89PNG\r\n\x1a\n"))
        return PictureKind::Png;
    if (data.startsWith("\xFF\xD8\xFF"))
        return PictureKind::Jpeg;
    return PictureKind::Unknown;
}

} // namespace rtf

#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <numeric>

namespace tessik {

// Text on disk is Windows-1252, one byte a character. The five byte values the code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the same
// number, so every byte value survives a read and a write. Characters the code page cannot
// hold are written as "?"; callers that must not lose them check with firstUnencodable first.
QString decode1252(const QByteArray &bytes);
QByteArray encode1252(const QString &text);

// The position of the first character of the text that Windows-1252 cannot hold, or -1.
// A character outside the basic plane (two halves) counts once, at its first half.
qsizetype firstUnencodable(const QString &text);

// The character at that position as the user may see it: the character itself (both halves
// of one outside the basic plane) and its code, such as "Ł" (U+0141).
QString describeCharacterAt(const QString &text, qsizetype position);

// The character a byte stands for, and the byte for a character (-1 when there is none).
char16_t charFrom1252(unsigned char byte);
int byteFor1252(char16_t character);

// A table of every byte value, each at its own index: the start of the byte-mapping tables.
constexpr std::array<unsigned char, 256> everyByte()
{
    std::array<unsigned char, 256> bytes{};
    std::iota(bytes.begin(), bytes.end(), 0);
    return bytes;
}

// The small form of a Windows-1252 letter (A to Z and the accented capitals), as a byte.
unsigned char lowerCase1252(unsigned char byte);

} // namespace tessik

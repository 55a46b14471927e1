#include "files/codepage.h"

namespace tessik {

namespace {

// 0x80..0x9F; the undefined positions keep their own number.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Built at compile time, so the search's own tables, made at start-up, can rely on it.
constexpr std::array<unsigned char, 256> makeLowerTable()
{
    std::array<unsigned char, 256> table = everyByte();
    for (int c = 'A'; c <= 'Z'; ++c)
        table[size_t(c)] = static_cast<unsigned char>(c + 32);
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7) // the multiplication sign is no letter
            table[size_t(c)] = static_cast<unsigned char>(c + 32);
    table[0x8A] = 0x9A; // S caron
    table[0x8C] = 0x9C; // OE
    table[0x8E] = 0x9E; // Z caron
    table[0x9F] = 0xFF; // Y diaeresis
    return table;
}

constexpr std::array<unsigned char, 256> kLower = makeLowerTable();

} // namespace

char16_t charFrom1252(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return kHighControls[byte - 0x80];
    return byte;
}

int byteFor1252(char16_t character)
{
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return character;
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == character)
            return 0x80 + i;
    return -1;
}

QString decode1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(charFrom1252(static_cast<unsigned char>(bytes[i])));
    return text;
}

QByteArray encode1252(const QString &text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        // A character outside the basic plane arrives as two halves; it becomes one "?".
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode()))
            ++i;
        const int byte = byteFor1252(c);
        bytes[n++] = byte < 0 ? '?' : static_cast<char>(byte);
    }
    bytes.truncate(n);
    return bytes;
}

qsizetype firstUnencodable(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        if (byteFor1252(text[i].unicode()) < 0)
            return i;
    return -1;
}

QString describeCharacterAt(const QString &text, qsizetype position)
{
    const bool pair =
        text[position].isHighSurrogate() && position + 1 < text.size() && text[position + 1].isLowSurrogate();
    const char32_t code = pair ? QChar::surrogateToUcs4(text[position], text[position + 1]) : text[position].unicode();
    const QString hex = QString::number(uint(code), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    return QLatin1Char('"') + text.mid(position, pair ? 2 : 1) + QLatin1String("\" (U+") + hex + QLatin1Char(')');
}

unsigned char lowerCase1252(unsigned char byte)
{
    return kLower[byte];
}

} // namespace tessik

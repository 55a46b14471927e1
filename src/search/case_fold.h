#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>

namespace tessik {

// A search phrase as Windows-1252 bytes with letter case folded, and a scan for it in raw file
// bytes that ignores letter case the same way. Only letters fold (A to Z and the accented
// capitals of the code page); every other byte matches itself alone.
class FoldedPhrase {
public:
    explicit FoldedPhrase(const QString &phrase);

    // False when the phrase holds a character the code page cannot write: no file can hold it.
    bool canMatch() const { return m_canMatch; }
    const QByteArray &foldedBytes() const { return m_folded; }

    bool occursIn(const char *data, std::size_t size) const;

private:
    bool matchesAt(const unsigned char *at) const;

    QByteArray m_folded;
    bool m_canMatch = true;
    // The two spellings (small and capital) of the first and the last byte; a byte that is
    // no letter is its own pair.
    unsigned char m_firstSmall = 0, m_firstCapital = 0;
    unsigned char m_lastSmall = 0, m_lastCapital = 0;
};

// The Windows-1252 bytes of a text with letter case folded; false when a character has no byte.
bool foldTo1252(const QString &text, QByteArray &folded);

} // namespace tessik

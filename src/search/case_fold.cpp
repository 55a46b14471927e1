#include "search/case_fold.h"

#include "files/codepage.h"

#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tessik {

namespace {

// The capital whose small form is `small`; the byte itself when it has none.
std::array<unsigned char, 256> makeCapitalTable()
{
    std::array<unsigned char, 256> capital = everyByte();
    for (const unsigned char b : everyByte()) {
        const unsigned char small = lowerCase1252(b);
        if (small != b)
            capital[small] = b;
    }
    return capital;
}

const std::array<unsigned char, 256> kCapital = makeCapitalTable();

std::array<unsigned char, 256> makeSmallTable()
{
    std::array<unsigned char, 256> small = everyByte();
    for (unsigned char &b : small)
        b = lowerCase1252(b);
    return small;
}

const std::array<unsigned char, 256> kSmall = makeSmallTable();

} // namespace

bool foldTo1252(const QString &text, QByteArray &folded)
{
    folded.resize(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int byte = byteFor1252(text[i].unicode());
        if (byte < 0) {
            folded.clear();
            return false;
        }
        folded[i] = static_cast<char>(kSmall[size_t(byte)]);
    }
    return true;
}

FoldedPhrase::FoldedPhrase(const QString &phrase)
{
    m_canMatch = foldTo1252(phrase, m_folded);
    if (m_folded.isEmpty())
        return;
    m_firstSmall = static_cast<unsigned char>(m_folded.front());
    m_firstCapital = kCapital[m_firstSmall];
    m_lastSmall = static_cast<unsigned char>(m_folded.back());
    m_lastCapital = kCapital[m_lastSmall];
}

bool FoldedPhrase::matchesAt(const unsigned char *at) const
{
    // The first and the last byte are already known to match.
    const auto *phrase = reinterpret_cast<const unsigned char *>(m_folded.constData());
    const qsizetype last = m_folded.size() - 1;
    for (qsizetype i = 1; i < last; ++i)
        if (kSmall[at[i]] != phrase[i])
            return false;
    return true;
}

bool FoldedPhrase::occursIn(const char *data, std::size_t size) const
{
    const std::size_t length = std::size_t(m_folded.size());
    if (!m_canMatch)
        return false;
    if (length == 0)
        return true;
    if (size < length)
        return false;
    const auto *bytes = reinterpret_cast<const unsigned char *>(data);
    const std::size_t lastStart = size - length; // the last position a match can start at
    std::size_t at = 0;

#if defined(__SSE2__)
    // Sixteen starting positions at a time: a position is a candidate when both its first and
    // its phrase-length-later byte match; only candidates are compared in full.
    const __m128i firstSmall = _mm_set1_epi8(static_cast<char>(m_firstSmall));
    const __m128i firstCapital = _mm_set1_epi8(static_cast<char>(m_firstCapital));
    const __m128i lastSmall = _mm_set1_epi8(static_cast<char>(m_lastSmall));
    const __m128i lastCapital = _mm_set1_epi8(static_cast<char>(m_lastCapital));
    for (; at + 16 <= lastStart + 1; at += 16) {
        const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + at));
        const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + at + length - 1));
        const __m128i headHit = _mm_or_si128(_mm_cmpeq_epi8(head, firstSmall), _mm_cmpeq_epi8(head, firstCapital));
        const __m128i tailHit = _mm_or_si128(_mm_cmpeq_epi8(tail, lastSmall), _mm_cmpeq_epi8(tail, lastCapital));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(headHit, tailHit)));
        while (mask != 0) {
            const unsigned bit = static_cast<unsigned>(__builtin_ctz(mask));
            if (matchesAt(bytes + at + bit))
                return true;
            mask &= mask - 1;
        }
    }
#endif

    for (; at <= lastStart; ++at) {
        const unsigned char head = bytes[at];
        const unsigned char tail = bytes[at + length - 1];
        if ((head == m_firstSmall || head == m_firstCapital) && (tail == m_lastSmall || tail == m_lastCapital) &&
            matchesAt(bytes + at))
            return true;
    }
    return false;
}

} // namespace tessik

#include "model/classification.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tessik {

namespace {

const std::string_view kNotesKeywords[] = {"science", "technology", "human factors"};

bool isAscii(QStringView text)
{
    // Four characters at a time.
    constexpr std::uint64_t kHighBits = 0xff80ff80ff80ff80;
    const char16_t *chars = text.utf16();
    const qsizetype size = text.size();
    std::uint64_t bits = 0;
    qsizetype at = 0;
    for (; at + 4 <= size; at += 4) {
        std::uint64_t four;
        std::memcpy(&four, chars + at, sizeof four);
        bits |= four;
    }
    for (; at < size; ++at)
        bits |= chars[at];
    return (bits & kHighBits) == 0;
}

char16_t folded(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
}

// Whether ASCII `text` holds `keyword` (lower-case letters and spaces) in any letter case: for
// ASCII, Unicode case folding only pairs the two cases of a letter. Horspool's search: the
// character under the keyword's last letter says how far the keyword can move on.
bool containsAsciiKeyword(QStringView text, std::string_view keyword)
{
    const qsizetype length = qsizetype(keyword.size());
    std::array<qsizetype, 128> shift;
    shift.fill(length);
    for (qsizetype k = 0; k + 1 < length; ++k) {
        const char16_t c = char16_t(keyword[size_t(k)]);
        shift[c] = length - 1 - k;
        if (c >= u'a' && c <= u'z')
            shift[c - 32] = length - 1 - k;
    }
    const char16_t *chars = text.utf16();
    for (qsizetype at = 0; at + length <= text.size(); at += shift[chars[at + length - 1]]) {
        qsizetype k = length - 1;
        while (k >= 0 && folded(chars[at + k]) == char16_t(keyword[size_t(k)]))
            --k;
        if (k < 0)
            return true;
    }
    return false;
}

} // namespace

int notesIndex(const QString &notes)
{
    // Notes run to tens of kilobytes and are classified at every redraw: plain ASCII is searched
    // over twice as quick as with Unicode case folding, which the rest still needs (the long s,
    // for one, folds to s).
    const bool ascii = isAscii(notes);
    int index = 0;
    for (int bit = 0; bit < 3; ++bit) {
        const std::string_view keyword = kNotesKeywords[bit];
        if (ascii ? containsAsciiKeyword(notes, keyword)
                  : notes.contains(QLatin1String(keyword.data(), qsizetype(keyword.size())), Qt::CaseInsensitive))
            index += 1 << bit;
    }
    return index;
}

int categoryIndex(const QString &category)
{
    static const char *const keywords[] = {"physical resources",   "structure/process", "information",
                                           "knowledge and skills", "motives",           "wellness/capacity"};
    for (int i = 0; i < 6; ++i)
        if (category.contains(QLatin1String(keywords[i]), Qt::CaseInsensitive))
            return i + 1;
    return 0;
}

ColourTables ColourTables::standard()
{
    ColourTables tables;
    tables.NotesColour = {RGB(255, 255, 255), RGB(255, 191, 191), RGB(191, 255, 191), RGB(255, 255, 191),
                          RGB(191, 191, 255), RGB(255, 191, 255), RGB(191, 255, 255), RGB(235, 235, 235)};
    tables.CategoryColour = {RGB(255, 255, 255), RGB(251, 191, 191), RGB(239, 103, 229), RGB(170, 156, 254),
                             RGB(255, 255, 102), RGB(96, 246, 121),  RGB(102, 255, 255)};
    return tables;
}

QStringList presetEntries()
{
    return {QStringLiteral("<Select Categories>"),
            QStringLiteral("Science"),
            QStringLiteral("Technology"),
            QStringLiteral("Human Factors"),
            QStringLiteral("Societal Impacts"),
            QStringLiteral("<------------------>"),
            QStringLiteral("Physical Resources"),
            QStringLiteral("Structure/Process"),
            QStringLiteral("Information"),
            QStringLiteral("Knowledge and Skills"),
            QStringLiteral("Motives"),
            QStringLiteral("Wellness/Capacity")};
}

} // namespace tessik

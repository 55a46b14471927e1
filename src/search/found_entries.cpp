#include "search/found_entries.h"

#include "files/codepage.h"
#include "files/paths.h"
#include "search/analysis_listing.h"
#include "search/folder_access.h"

#include <QFontMetrics>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace tessik {

namespace {

// The folded value caseInsensitiveSortKey gives each Windows-1252 byte's character.
std::array<char32_t, 256> makeFoldedTable()
{
    std::array<char32_t, 256> folded{};
    for (const unsigned char byte : everyByte()) {
        const char16_t code = charFrom1252(byte);
        folded[byte] = code < 0x80 ? ((code >= 'A' && code <= 'Z') ? char32_t(code + 32) : char32_t(code))
                                   : QChar::toCaseFolded(char32_t(code));
    }
    return folded;
}

const std::array<char32_t, 256> kFolded = makeFoldedTable();

// The text of an entry between its description and its name: the gap and the opening bracket.
constexpr std::size_t kBetween = std::size_t(kEntryGapWidth) + 1;

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

void appendKeyUnit(std::string &bytes, char32_t folded)
{
    bytes += char(folded >> 16);
    bytes += char((folded >> 8) & 0xFF);
    bytes += char(folded & 0xFF);
}

// Compares the sort keys of two entries' texts without making them: the description's folded
// bytes, the gap and "[", then the name's key, which ends with the key of "]".
class KeyOrder {
public:
    explicit KeyOrder(const std::string &bytes) : m_bytes(reinterpret_cast<const unsigned char *>(bytes.data())) {}

    int compare(const FoundFile &a, const FoundFile &b) const
    {
        const unsigned char *da = m_bytes + a.at;
        const unsigned char *db = m_bytes + b.at;
        const std::size_t common = std::min(a.descriptionSize, b.descriptionSize);
        for (std::size_t i = 0; i < common; ++i) {
            if (da[i] != db[i] && kFolded[da[i]] != kFolded[db[i]])
                return kFolded[da[i]] < kFolded[db[i]] ? -1 : 1;
        }
        if (a.descriptionSize == b.descriptionSize) {
            const int byName =
                std::memcmp(da + a.descriptionSize, db + b.descriptionSize, std::min(a.nameKeySize, b.nameKeySize));
            if (byName != 0)
                return byName;
            return a.nameKeySize == b.nameKeySize ? 0 : (a.nameKeySize < b.nameKeySize ? -1 : 1);
        }
        return compareFrom(a, b, common);
    }

private:
    static std::size_t length(const FoundFile &file) { return file.descriptionSize + kBetween + file.nameKeySize / 3; }

    char32_t unit(const FoundFile &file, std::size_t k) const
    {
        const unsigned char *at = m_bytes + file.at;
        if (k < file.descriptionSize)
            return kFolded[at[k]];
        k -= file.descriptionSize;
        if (k < kBetween)
            return k + 1 < kBetween ? U' ' : U'[';
        const unsigned char *key = at + file.descriptionSize + 3 * (k - kBetween);
        return (char32_t(key[0]) << 16) | (char32_t(key[1]) << 8) | char32_t(key[2]);
    }

    // One description is the other's beginning, letter case ignored: the shorter one's gap
    // meets the other's next characters.
    int compareFrom(const FoundFile &a, const FoundFile &b, std::size_t k) const
    {
        const std::size_t la = length(a), lb = length(b);
        for (; k < std::min(la, lb); ++k) {
            const char32_t ua = unit(a, k), ub = unit(b, k);
            if (ua != ub)
                return ua < ub ? -1 : 1;
        }
        return la == lb ? 0 : (la < lb ? -1 : 1);
    }

    const unsigned char *m_bytes;
};

// Below this many entries a second thread costs more than it saves.
constexpr std::size_t kSortedInHalves = 20'000;

// Sorts many entries as two halves at once, one on a thread of its own, then merges them.
template <typename Less> void sortInHalves(std::vector<FoundFile> &found, const Less &less)
{
    if (found.size() >= kSortedInHalves && std::thread::hardware_concurrency() >= 2) {
        const auto middle = found.begin() + std::ptrdiff_t(found.size() / 2);
        std::optional<std::thread> other;
        try {
            other.emplace([&] { std::sort(found.begin(), middle, less); });
        } catch (const std::system_error &) {
            std::sort(found.begin(), middle, less); // no thread to be had
        }
        std::sort(middle, found.end(), less);
        if (other)
            other->join();
        std::inplace_merge(found.begin(), middle, found.end(), less);
        return;
    }
    std::sort(found.begin(), found.end(), less);
}

} // namespace

FoundFile appendFoundFile(std::string &bytes, const QByteArray &fileName, std::string_view description,
                          std::uint32_t listingIndex)
{
    FoundFile file;
    file.at = bytes.size();
    file.listingIndex = listingIndex;
    file.descriptionSize = std::uint32_t(description.size());
    bytes.append(description);
    const QByteArrayView name = analysisNameOf(fileName);
    if (isAscii(name)) {
        for (const char c : name)
            appendKeyUnit(bytes, kFolded[static_cast<unsigned char>(c)]);
    } else {
        const QByteArray key = caseInsensitiveSortKey(fileNameText(name.toByteArray()));
        bytes.append(key.constData(), std::size_t(key.size()));
    }
    appendKeyUnit(bytes, U']');
    file.nameKeySize = std::uint32_t(bytes.size() - file.at - file.descriptionSize);
    return file;
}

FoundEntries::FoundEntries(const QString &folder, std::vector<QByteArray> fileNames, std::string bytes,
                           std::vector<FoundFile> found)
{
    auto store = std::make_shared<Store>(Store{folder, std::move(fileNames), std::move(bytes), std::move(found)});
    const KeyOrder order(store->bytes);
    const std::vector<QByteArray> &names = store->fileNames;
    // A total order: no two entries compare equal, so the result is the same however it is sorted.
    sortInHalves(store->found, [&](const FoundFile &a, const FoundFile &b) {
        if (const int byText = order.compare(a, b); byText != 0)
            return byText < 0;
        // The same text, letter case ignored: by file, as the paths compare, in one folder.
        const int byFile = QString::compare(fileNameFromBytes(names[a.listingIndex]),
                                            fileNameFromBytes(names[b.listingIndex]), Qt::CaseSensitive);
        return byFile != 0 ? byFile < 0 : a.listingIndex < b.listingIndex;
    });
    m_store = std::move(store);
}

std::string_view FoundEntries::description(const FoundFile &file) const
{
    return std::string_view(m_store->bytes).substr(file.at, file.descriptionSize);
}

const QByteArray &FoundEntries::fileName(qsizetype row) const
{
    return m_store->fileNames[m_store->found[std::size_t(row)].listingIndex];
}

QString FoundEntries::text(qsizetype row) const
{
    const std::string_view bytes = description(m_store->found[std::size_t(row)]);
    return resultEntryText(decode1252(QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size()))),
                           fileNameText(analysisNameOf(fileName(row)).toByteArray()));
}

QString FoundEntries::filePath(qsizetype row) const
{
    return joinPath(m_store->folder, fileNameFromBytes(fileName(row)));
}

SearchEntry FoundEntries::at(qsizetype row) const
{
    return SearchEntry{text(row), filePath(row), m_store->folder, fileName(row)};
}

qint64 FoundEntries::estimatedWidth(qsizetype row, const std::vector<int> &byteWidths,
                                    const std::function<int(QChar)> &charWidth) const
{
    qint64 width = qint64(kEntryGapWidth) * byteWidths[' '] + byteWidths['['] + byteWidths[']'];
    for (const char c : description(m_store->found[std::size_t(row)]))
        width += byteWidths[static_cast<unsigned char>(c)];
    const QByteArrayView name = analysisNameOf(fileName(row));
    if (isAscii(name)) {
        for (const char c : name)
            width += byteWidths[static_cast<unsigned char>(c)];
    } else {
        for (const QChar c : fileNameText(name.toByteArray()))
            width += charWidth(c);
    }
    return width;
}

EntryFont::EntryFont(const QFont &listFont) : font(listFont), byteWidths(256)
{
    // Entries share most of their characters (the gap of blanks above all), so each character
    // of the code page is measured once.
    const QFontMetrics metrics(font);
    for (const unsigned char byte : everyByte())
        byteWidths[byte] = metrics.horizontalAdvance(QChar(charFrom1252(byte)));
}

QList<int> widestRows(const FoundEntries &entries, const EntryFont &font, int count)
{
    // Only names beyond the code page need the font itself.
    std::optional<QFontMetrics> metrics;
    const auto charWidth = [&](QChar c) {
        if (!metrics)
            metrics.emplace(font.font);
        return metrics->horizontalAdvance(c);
    };
    const std::vector<int> &byteWidths = font.byteWidths;
    // Widest first; of equal estimates the earlier row first.
    std::vector<std::pair<qint64, int>> kept;
    kept.reserve(std::size_t(std::max(count, 0)) + 1);
    for (qsizetype row = 0; row < entries.size() && count > 0; ++row) {
        const qint64 width = entries.estimatedWidth(row, byteWidths, charWidth);
        if (qsizetype(kept.size()) == count && width <= kept.back().first)
            continue;
        const auto at = std::find_if(kept.begin(), kept.end(), [width](const auto &k) { return k.first < width; });
        kept.insert(at, {width, int(row)});
        if (qsizetype(kept.size()) > count)
            kept.pop_back();
    }
    QList<int> rows;
    for (const auto &k : kept)
        rows << k.second;
    return rows;
}

} // namespace tessik

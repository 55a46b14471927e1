#pragma once

#include "search/result_entry.h"

#include <QByteArray>
#include <QFont>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tessik {

// What the search keeps of one file that holds the phrase: where its description's raw bytes and
// its name's sort key lie in the bytes the finds share, and which listed file it is.
struct FoundFile {
    std::size_t at = 0;                // the description, then the name's key
    std::uint32_t descriptionSize = 0; // bytes
    std::uint32_t nameKeySize = 0;     // bytes, three a character
    std::uint32_t listingIndex = 0;    // into the listing's file names
};

// Appends to `bytes` what sorting needs of a file that holds the phrase, and says where it lies.
FoundFile appendFoundFile(std::string &bytes, const QByteArray &fileName, std::string_view description,
                          std::uint32_t listingIndex);

// The result list of one search, sorted, in a few blocks of memory: a hundred thousand entries
// cost a handful of allocations, not several each. The text a row shows, its path and its
// entry are made when asked for, so that only the rows in view are ever made. Copies share
// the entries.
class FoundEntries {
public:
    FoundEntries() = default;
    // Sorts the finds into the one order of the result list: see caseInsensitiveSortKey.
    FoundEntries(const QString &folder, std::vector<QByteArray> fileNames, std::string bytes,
                 std::vector<FoundFile> found);

    qsizetype size() const { return m_store ? qsizetype(m_store->found.size()) : 0; }
    bool isEmpty() const { return size() == 0; }

    SearchEntry at(qsizetype row) const;
    SearchEntry operator[](qsizetype row) const { return at(row); }
    // The same as at(row).text and at(row).filePath.
    QString text(qsizetype row) const;
    QString filePath(qsizetype row) const;

    // The sum of the widths of the characters of the row's text; byteWidths holds the width of
    // each Windows-1252 byte's character, charWidth measures any other.
    qint64 estimatedWidth(qsizetype row, const std::vector<int> &byteWidths,
                          const std::function<int(QChar)> &charWidth) const;

    class const_iterator {
    public:
        const_iterator(const FoundEntries *entries, qsizetype row) : m_entries(entries), m_row(row) {}
        SearchEntry operator*() const { return m_entries->at(m_row); }
        const_iterator &operator++()
        {
            ++m_row;
            return *this;
        }
        bool operator!=(const const_iterator &other) const { return m_row != other.m_row; }

    private:
        const FoundEntries *m_entries;
        qsizetype m_row;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    struct Store {
        QString folder;
        std::vector<QByteArray> fileNames;
        std::string bytes;
        std::vector<FoundFile> found;
    };
    std::string_view description(const FoundFile &file) const;
    const QByteArray &fileName(qsizetype row) const;

    std::shared_ptr<const Store> m_store;
};

// The result list's font, with the width of each Windows-1252 byte's character measured on the
// thread that makes it: where the font is in use already. Another thread measuring them would
// first load the font for itself, which takes longer than a small search.
struct EntryFont {
    explicit EntryFont(const QFont &listFont);
    QFont font;
    std::vector<int> byteWidths; // 256
};

// The rows whose texts look widest in the font, widest first, at most `count` of them: each text's
// width estimated as the sum of its characters' advances. The list measures only these exactly
// and gives every row the size of the widest, rather than measuring every row. Any thread may
// ask, so a search finds them before the window is handed its list.
QList<int> widestRows(const FoundEntries &entries, const EntryFont &font, int count);

} // namespace tessik

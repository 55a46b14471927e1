#include "search/phrase_search.h"

#include "files/codepage.h"
#include "files/paths.h"
#include "search/case_fold.h"
#include "search/description_bytes.h"
#include "search/folder_access.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <thread>

namespace tessik {

namespace {

enum class ReadStatus : unsigned char { Read, Unreadable, TooLarge };

struct FileSlot {
    ReadStatus read = ReadStatus::Read;
    bool matched = false;
    SearchEntry entry;
    QByteArray sortKey;
};

// Below this many files per thread, starting a thread costs more than it saves.
constexpr std::size_t kFilesPerWorker = 64;
// Files taken from the shared counter at a time.
constexpr std::size_t kBatch = 16;
constexpr int kMaxWorkers = 8;

int workerCount(int requested, std::size_t files)
{
    if (requested > 0)
        return int(std::min<std::size_t>(std::size_t(requested), std::max<std::size_t>(1, files)));
    const std::size_t cores = std::size_t(std::clamp(int(std::thread::hardware_concurrency()), 1, kMaxWorkers));
    return int(std::min(cores, std::max<std::size_t>(1, files / kFilesPerWorker)));
}

bool cancelled(const SearchControl *control)
{
    return control != nullptr && control->cancelled.load(std::memory_order_relaxed);
}

// The entry of a file that holds the phrase, built from its raw bytes.
FileSlot matchedSlot(const QString &folder, const QByteArray &fileName, std::string_view fileBytes)
{
    const std::string_view description = descriptionBytes(fileBytes);
    FileSlot slot;
    slot.matched = true;
    slot.entry.text =
        resultEntryText(decode1252(QByteArray::fromRawData(description.data(), qsizetype(description.size()))),
                        fileNameText(analysisNameOf(fileName).toByteArray()));
    slot.entry.filePath = joinPath(folder, fileNameFromBytes(fileName));
    slot.entry.folder = folder;
    slot.entry.fileName = fileName;
    slot.sortKey = caseInsensitiveSortKey(slot.entry.text);
    return slot;
}

// Reads the listed files on several threads at once, each file into its own slot.
class FolderSearch {
public:
    FolderSearch(const AnalysisListing &listing, const FoldedPhrase &phrase, SearchControl *control)
        : m_listing(listing), m_phrase(phrase), m_control(control), m_reader(listing.folder),
          m_slots(listing.fileNames.size())
    {
    }

    std::vector<FileSlot> run(int workers)
    {
        std::vector<std::thread> helpers;
        for (int i = 1; i < workers; ++i) {
            // Where no thread can be started the files are shared among those that could.
            try {
                helpers.emplace_back([this] { work(); });
            } catch (const std::system_error &) {
                break;
            }
        }
        work();
        for (std::thread &helper : helpers)
            helper.join();
        return std::move(m_slots);
    }

private:
    void work()
    {
        FileBuffer buffer;
        const std::size_t count = m_slots.size();
        while (!cancelled(m_control)) {
            const std::size_t first = m_next.fetch_add(kBatch, std::memory_order_relaxed);
            if (first >= count)
                return;
            const std::size_t end = std::min(count, first + kBatch);
            for (std::size_t i = first; i < end; ++i)
                searchFileSafely(buffer, i);
            if (m_control != nullptr)
                m_control->filesRead.fetch_add(int(end - first), std::memory_order_relaxed);
        }
    }

    // A file too large to hold in memory is one the search could not read; it must not end
    // the program from a thread that cannot report it.
    void searchFileSafely(FileBuffer &buffer, std::size_t index)
    {
        try {
            searchFile(buffer, index);
        } catch (const std::bad_alloc &) {
            m_slots[index] = FileSlot{ReadStatus::Unreadable, false, {}, {}};
            buffer = FileBuffer();
        }
    }

    void searchFile(FileBuffer &buffer, std::size_t index)
    {
        const QByteArray &fileName = m_listing.fileNames[index];
        if (const FileRead read = m_reader.read(fileName, buffer); !read.ok) {
            m_slots[index].read = read.tooLarge ? ReadStatus::TooLarge : ReadStatus::Unreadable;
            return;
        }
        if (m_phrase.occursIn(buffer.data(), buffer.size()))
            m_slots[index] = matchedSlot(m_listing.folder, fileName, std::string_view(buffer.data(), buffer.size()));
    }

    const AnalysisListing &m_listing;
    const FoldedPhrase &m_phrase;
    SearchControl *const m_control;
    const ListedFileReader m_reader;
    std::vector<FileSlot> m_slots;
    std::atomic<std::size_t> m_next{0};
};

void countLeftOut(const std::vector<FileSlot> &slots, SearchOutcome &outcome)
{
    for (const FileSlot &slot : slots) {
        if (slot.read == ReadStatus::Unreadable)
            ++outcome.unreadable;
        else if (slot.read == ReadStatus::TooLarge)
            ++outcome.tooLarge;
    }
}

// The one order of the result list: see caseInsensitiveSortKey.
bool listedBefore(const FileSlot *a, const FileSlot *b)
{
    const int byText = a->sortKey.compare(b->sortKey);
    if (byText != 0)
        return byText < 0;
    return QString::compare(a->entry.filePath, b->entry.filePath, Qt::CaseSensitive) < 0;
}

QList<SearchEntry> sortedMatches(std::vector<FileSlot> &slots)
{
    std::vector<FileSlot *> found;
    for (FileSlot &slot : slots)
        if (slot.matched)
            found.push_back(&slot);
    std::sort(found.begin(), found.end(), listedBefore);
    QList<SearchEntry> entries;
    entries.reserve(qsizetype(found.size()));
    for (FileSlot *slot : found)
        entries.append(std::move(slot->entry));
    return entries;
}

} // namespace

SearchOutcome searchListedFiles(const AnalysisListing &listing, const QString &phrase, int workers,
                                SearchControl *control)
{
    SearchOutcome outcome;
    if (phrase.isEmpty())
        return outcome;
    outcome.folder = listing.folder;
    outcome.listing = listing;
    const FoldedPhrase folded(phrase);
    if (!folded.canMatch() || listing.fileNames.empty())
        return outcome;
    std::vector<FileSlot> slots =
        FolderSearch(listing, folded, control).run(workerCount(workers, listing.fileNames.size()));
    if (cancelled(control))
        return outcome;
    countLeftOut(slots, outcome);
    outcome.entries = sortedMatches(slots);
    return outcome;
}

SearchOutcome searchFolder(const QString &folder, const QString &phrase, SearchControl *control)
{
    if (phrase.isEmpty())
        return SearchOutcome();
    const AnalysisListing listing = listAnalysisFiles(folder, control != nullptr ? &control->cancelled : nullptr);
    if (control != nullptr)
        control->filesListed.store(int(listing.fileNames.size()), std::memory_order_relaxed);
    return searchListedFiles(listing, phrase, 0, control);
}

} // namespace tessik

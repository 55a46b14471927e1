#include "search/phrase_search.h"

#include "files/codepage.h"
#include "files/paths.h"
#include "search/case_fold.h"
#include "search/description_bytes.h"
#include "search/file_reader.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <fcntl.h>
#include <new>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace tessik {

namespace {

enum class FileResult : unsigned char { NoMatch, Match, Unreadable };

struct FileSlot {
    FileResult result = FileResult::NoMatch;
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

class FolderSearch {
public:
    FolderSearch(const AnalysisListing &listing, const FoldedPhrase &phrase, int folderFd)
        : m_listing(listing), m_phrase(phrase), m_folderFd(folderFd), m_slots(listing.fileNames.size())
    {
    }

    void run(int workers)
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
    }

    std::vector<FileSlot> &slots() { return m_slots; }

private:
    void work()
    {
        WholeFileReader reader;
        const std::size_t count = m_slots.size();
        for (;;) {
            const std::size_t first = m_next.fetch_add(kBatch, std::memory_order_relaxed);
            if (first >= count)
                return;
            const std::size_t end = std::min(count, first + kBatch);
            for (std::size_t i = first; i < end; ++i) {
                // A file too large to hold in memory is one the search could not read; it must
                // not end the program from a thread that cannot report it.
                try {
                    searchFile(reader, i);
                } catch (const std::bad_alloc &) {
                    m_slots[i] = FileSlot{FileResult::Unreadable, {}, {}};
                    reader = WholeFileReader();
                }
            }
        }
    }

    void searchFile(WholeFileReader &reader, std::size_t index)
    {
        FileSlot &slot = m_slots[index];
        const QByteArray &fileName = m_listing.fileNames[index];
        if (m_folderFd < 0 || !reader.read(m_folderFd, fileName.constData())) {
            slot.result = FileResult::Unreadable;
            return;
        }
        if (!m_phrase.occursIn(reader.data(), reader.size()))
            return;
        const std::string_view description = descriptionBytes(std::string_view(reader.data(), reader.size()));
        const QByteArray descriptionView = QByteArray::fromRawData(description.data(), qsizetype(description.size()));
        slot.result = FileResult::Match;
        slot.entry.text =
            resultEntryText(decode1252(descriptionView), QFile::decodeName(analysisNameOf(fileName).toByteArray()));
        slot.entry.filePath = joinPath(m_listing.folder, QFile::decodeName(fileName));
        slot.sortKey = caseInsensitiveSortKey(slot.entry.text);
    }

    const AnalysisListing &m_listing;
    const FoldedPhrase &m_phrase;
    const int m_folderFd;
    std::vector<FileSlot> m_slots;
    std::atomic<std::size_t> m_next{0};
};

} // namespace

SearchOutcome searchListedFiles(const AnalysisListing &listing, const QString &phrase, int workers)
{
    SearchOutcome outcome;
    if (phrase.isEmpty())
        return outcome;
    outcome.folder = listing.folder;
    outcome.listing = listing;
    const FoldedPhrase folded(phrase);
    if (!folded.canMatch() || listing.fileNames.empty())
        return outcome;

    // The folder is opened once and every file is opened relative to it. If it has gone since
    // the listing, every listed file counts as unreadable.
    const int folderFd = open(QFile::encodeName(listing.folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    FolderSearch search(listing, folded, folderFd);
    search.run(workerCount(workers, listing.fileNames.size()));
    if (folderFd >= 0)
        close(folderFd);

    std::vector<FileSlot> &slots = search.slots();
    std::vector<FileSlot *> found;
    for (FileSlot &slot : slots) {
        if (slot.result == FileResult::Unreadable)
            ++outcome.unreadable;
        else if (slot.result == FileResult::Match)
            found.push_back(&slot);
    }
    // The order of entryLessThan, on the keys made by the threads.
    std::sort(found.begin(), found.end(), [](const FileSlot *a, const FileSlot *b) {
        const int byText = a->sortKey.compare(b->sortKey);
        if (byText != 0)
            return byText < 0;
        return QString::compare(a->entry.filePath, b->entry.filePath, Qt::CaseSensitive) < 0;
    });
    outcome.entries.reserve(qsizetype(found.size()));
    for (FileSlot *slot : found)
        outcome.entries.append(std::move(slot->entry));
    return outcome;
}

SearchOutcome searchFolder(const QString &folder, const QString &phrase)
{
    if (phrase.isEmpty())
        return SearchOutcome();
    return searchListedFiles(listAnalysisFiles(folder), phrase);
}

} // namespace tessik

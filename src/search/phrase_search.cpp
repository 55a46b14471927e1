#include "search/phrase_search.h"

#include "search/case_fold.h"
#include "search/description_bytes.h"
#include "search/folder_access.h"
#include "search/found_entries.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <thread>

namespace tessik {

namespace {

// What one thread found: the files that hold the phrase, with the bytes they share, and how
// many it could not read.
struct Finds {
    std::string bytes;
    std::vector<FoundFile> found;
    int unreadable = 0;
    int tooLarge = 0;
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

// Reads the listed files on several threads at once, each thread keeping its own finds.
class FolderSearch {
public:
    FolderSearch(const AnalysisListing &listing, const FoldedPhrase &phrase, SearchControl *control)
        : m_listing(listing), m_phrase(phrase), m_control(control), m_reader(listing.folder)
    {
    }

    std::vector<Finds> run(int workers)
    {
        std::vector<Finds> finds(std::size_t(std::max(workers, 1)));
        std::vector<std::thread> helpers;
        for (int i = 1; i < workers; ++i) {
            // Where no thread can be started the files are shared among those that could.
            try {
                helpers.emplace_back([this, &mine = finds[std::size_t(i)]] { work(mine); });
            } catch (const std::system_error &) {
                break;
            }
        }
        work(finds[0]);
        for (std::thread &helper : helpers)
            helper.join();
        return finds;
    }

private:
    void work(Finds &finds)
    {
        FileBuffer buffer;
        const std::size_t count = m_listing.fileNames.size();
        while (!cancelled(m_control)) {
            const std::size_t first = m_next.fetch_add(kBatch, std::memory_order_relaxed);
            if (first >= count)
                return;
            const std::size_t end = std::min(count, first + kBatch);
            for (std::size_t i = first; i < end; ++i)
                searchFileSafely(buffer, finds, i);
            if (m_control != nullptr)
                m_control->filesRead.fetch_add(int(end - first), std::memory_order_relaxed);
        }
    }

    // A file too large to hold in memory is one the search could not read; it must not end
    // the program from a thread that cannot report it.
    void searchFileSafely(FileBuffer &buffer, Finds &finds, std::size_t index)
    {
        try {
            searchFile(buffer, finds, index);
        } catch (const std::bad_alloc &) {
            ++finds.unreadable;
            buffer = FileBuffer();
        }
    }

    void searchFile(FileBuffer &buffer, Finds &finds, std::size_t index)
    {
        const QByteArray &fileName = m_listing.fileNames[index];
        if (const FileRead read = m_reader.read(fileName, buffer); !read.ok) {
            ++(read.tooLarge ? finds.tooLarge : finds.unreadable);
            return;
        }
        if (!m_phrase.occursIn(buffer.data(), buffer.size()))
            return;
        const FoundFile found =
            appendFoundFile(finds.bytes, fileName, descriptionBytes(std::string_view(buffer.data(), buffer.size())),
                            std::uint32_t(index));
        finds.found.push_back(found);
    }

    const AnalysisListing &m_listing;
    const FoldedPhrase &m_phrase;
    SearchControl *const m_control;
    const ListedFileReader m_reader;
    std::atomic<std::size_t> m_next{0};
};

// The threads' finds in one block, in the one order of the result list.
FoundEntries joinedFinds(const AnalysisListing &listing, std::vector<Finds> &finds, SearchOutcome &outcome)
{
    std::string bytes;
    std::vector<FoundFile> found;
    std::size_t byteCount = 0, fileCount = 0;
    for (const Finds &mine : finds) {
        byteCount += mine.bytes.size();
        fileCount += mine.found.size();
    }
    bytes.reserve(byteCount);
    found.reserve(fileCount);
    for (Finds &mine : finds) {
        outcome.unreadable += mine.unreadable;
        outcome.tooLarge += mine.tooLarge;
        const std::size_t base = bytes.size();
        bytes += mine.bytes;
        for (FoundFile file : mine.found) {
            file.at += base;
            found.push_back(file);
        }
        mine = Finds();
    }
    return FoundEntries(listing.folder, listing.fileNames, std::move(bytes), std::move(found));
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
    std::vector<Finds> finds =
        FolderSearch(listing, folded, control).run(workerCount(workers, listing.fileNames.size()));
    if (cancelled(control))
        return outcome;
    outcome.entries = joinedFinds(listing, finds, outcome);
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

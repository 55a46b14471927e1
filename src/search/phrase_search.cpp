#include "search/phrase_search.h"

#include "search/case_fold.h"
#include "search/description_bytes.h"
#include "search/folder_access.h"
#include "search/found_entries.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <iterator>
#include <mutex>
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
// Names handed to the reading threads at a time.
constexpr std::size_t kRunLength = 32;
constexpr int kMaxWorkers = 8;

int coreCount()
{
    return std::clamp(int(std::thread::hardware_concurrency()), 1, kMaxWorkers);
}

bool cancelled(const SearchControl *control)
{
    return control != nullptr && control->cancelled.load(std::memory_order_relaxed);
}

// A run of listed names and the place of its first in the listing.
struct NameRun {
    std::size_t first = 0;
    std::vector<QByteArray> names;
};

// Reads the listed files on several threads at once, each thread keeping its own finds. The
// names come in runs, as the listing finds them, so that the files are read while the folder
// is still being listed; the thread that lists joins the reading once the listing has ended.
class FolderSearch : public ListingSink {
public:
    // At most `maxWorkers` threads, one more for every `filesPerWorker` names listed.
    FolderSearch(const QString &folder, const FoldedPhrase &phrase, SearchControl *control, int maxWorkers,
                 std::size_t filesPerWorker)
        : m_phrase(phrase), m_control(control), m_reader(folder), m_finds(std::size_t(std::max(maxWorkers, 1))),
          m_filesPerWorker(filesPerWorker)
    {
    }

    ~FolderSearch() override
    {
        // Also when the listing failed halfway: no helper may outlive what it reads.
        endListing({});
        for (std::thread &helper : m_helpers)
            helper.join();
    }

    void listed(const std::vector<QByteArray> &names) override
    {
        if (names.size() - m_handed >= kRunLength)
            hand(names);
        while (m_helpers.size() + 1 < m_finds.size() && names.size() >= (m_helpers.size() + 2) * m_filesPerWorker) {
            Finds &mine = m_finds[m_helpers.size() + 1];
            // Where no thread can be started the files are read by those that could.
            try {
                m_helpers.emplace_back([this, &mine] { work(mine); });
            } catch (const std::system_error &) {
                m_finds.resize(m_helpers.size() + 1);
            }
        }
    }

    // Hands over the names not handed yet; from then on a reader that finds no run stops.
    void endListing(const std::vector<QByteArray> &names)
    {
        hand(names);
        {
            const std::lock_guard lock(m_mutex);
            m_listed = true;
        }
        m_ready.notify_all();
    }

    // Reads on this thread too until every run is read, then gives every thread's finds.
    std::vector<Finds> finish(const std::vector<QByteArray> &names)
    {
        endListing(names);
        work(m_finds[0]);
        for (std::thread &helper : m_helpers)
            helper.join();
        m_helpers.clear();
        return std::move(m_finds);
    }

private:
    void hand(const std::vector<QByteArray> &names)
    {
        if (names.size() <= m_handed)
            return;
        std::deque<NameRun> runs;
        for (; m_handed < names.size(); m_handed = std::min(names.size(), m_handed + kRunLength)) {
            const auto from = names.begin() + std::ptrdiff_t(m_handed);
            runs.push_back({m_handed, std::vector<QByteArray>(
                                          from, from + std::ptrdiff_t(std::min(kRunLength, names.size() - m_handed)))});
        }
        {
            const std::lock_guard lock(m_mutex);
            std::move(runs.begin(), runs.end(), std::back_inserter(m_runs));
        }
        m_ready.notify_all();
    }

    bool take(NameRun &run)
    {
        std::unique_lock lock(m_mutex);
        m_ready.wait(lock, [this] { return !m_runs.empty() || m_listed; });
        if (m_runs.empty())
            return false;
        run = std::move(m_runs.front());
        m_runs.pop_front();
        return true;
    }

    void work(Finds &finds)
    {
        FileBuffer buffer;
        NameRun run;
        while (!cancelled(m_control) && take(run)) {
            for (std::size_t i = 0; i < run.names.size(); ++i)
                searchFileSafely(buffer, finds, run.names[i], run.first + i);
            if (m_control != nullptr)
                m_control->filesRead.fetch_add(int(run.names.size()), std::memory_order_relaxed);
        }
    }

    // A file too large to hold in memory is one the search could not read; it must not end
    // the program from a thread that cannot report it.
    void searchFileSafely(FileBuffer &buffer, Finds &finds, const QByteArray &fileName, std::size_t index)
    {
        try {
            searchFile(buffer, finds, fileName, index);
        } catch (const std::bad_alloc &) {
            ++finds.unreadable;
            buffer = FileBuffer();
        }
    }

    void searchFile(FileBuffer &buffer, Finds &finds, const QByteArray &fileName, std::size_t index)
    {
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

    const FoldedPhrase &m_phrase;
    SearchControl *const m_control;
    const ListedFileReader m_reader;
    std::vector<Finds> m_finds; // one a thread, the listing thread's first
    const std::size_t m_filesPerWorker;
    std::vector<std::thread> m_helpers;
    std::size_t m_handed = 0; // names handed over, on the listing thread only
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<NameRun> m_runs;
    bool m_listed = false;
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
    // As many threads as asked for, all at once; or as a search of the folder would start.
    const bool asked = workers > 0;
    FolderSearch search(listing.folder, folded, control,
                        asked ? int(std::min<std::size_t>(std::size_t(workers), listing.fileNames.size()))
                              : coreCount(),
                        asked ? 0 : kFilesPerWorker);
    search.listed(listing.fileNames);
    std::vector<Finds> finds = search.finish(listing.fileNames);
    if (cancelled(control))
        return outcome;
    outcome.entries = joinedFinds(listing, finds, outcome);
    return outcome;
}

SearchOutcome searchFolder(const QString &folder, const QString &phrase, SearchControl *control)
{
    if (phrase.isEmpty())
        return SearchOutcome();
    const FoldedPhrase folded(phrase);
    const std::atomic<bool> *stop = control != nullptr ? &control->cancelled : nullptr;
    const auto counted = [control](const AnalysisListing &listing) {
        if (control != nullptr)
            control->filesListed.store(int(listing.fileNames.size()), std::memory_order_relaxed);
    };
    // A phrase no file can hold: the folder is listed, and no file read.
    if (!folded.canMatch()) {
        const AnalysisListing listing = listAnalysisFiles(folder, stop);
        counted(listing);
        return searchListedFiles(listing, phrase, 0, control);
    }
    FolderSearch search(folder, folded, control, coreCount(), kFilesPerWorker);
    AnalysisListing listing = listAnalysisFiles(folder, stop, &search);
    counted(listing);
    std::vector<Finds> finds = search.finish(listing.fileNames);
    SearchOutcome outcome;
    outcome.folder = folder;
    outcome.listing = listing;
    if (!cancelled(control) && !listing.fileNames.empty())
        outcome.entries = joinedFinds(listing, finds, outcome);
    return outcome;
}

} // namespace tessik

#include "search/search_job.h"

#include "search/phrase_search.h"

#include <new>
#include <thread>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace tessik {

namespace {

// Often enough for a progress bar to move smoothly, seldom enough to cost nothing.
constexpr int kProgressIntervalMs = 50;
// How many of the entries that look widest the window measures exactly.
constexpr int kWidestRowsKept = 16;

// A search keeps every core busy for seconds; the window must still get a core the moment it
// wakes, or it stalls for tens of milliseconds at a time. Linux gives each thread its own nice
// value, and the threads a search starts inherit it; the window's thread keeps its own.
void yieldToTheWindow()
{
#ifdef Q_OS_LINUX
    constexpr int kSearchNice = 5;
    setpriority(PRIO_PROCESS, id_t(gettid()), kSearchNice);
#endif
}

} // namespace

struct SearchJob::Run {
    quint64 id = 0;
    SearchControl control;
    std::atomic<bool> ended{false};
    std::thread thread;
};

SearchJob::SearchJob(QObject *parent) : QObject(parent)
{
    m_progressTimer.setInterval(kProgressIntervalMs);
    connect(&m_progressTimer, &QTimer::timeout, this, &SearchJob::reportProgress);
}

SearchJob::~SearchJob()
{
    cancel();
    for (const std::unique_ptr<Run> &run : m_cancelled)
        run->thread.join();
}

void SearchJob::start(const QString &folder, const QString &phrase, const QFont &entryFont)
{
    cancel();
    m_current = std::make_unique<Run>();
    m_current->id = ++m_lastRunId;
    m_shownRead = 0;
    m_shownListed = -1;
    Run &run = *m_current;
    run.thread = std::thread(
        [this, &run, folder, phrase, measured = EntryFont(entryFont)] { work(run, folder, phrase, measured); });
    m_progressTimer.start();
    Q_EMIT progressed(m_shownRead, m_shownListed);
}

void SearchJob::cancel()
{
    joinEndedRuns();
    if (!m_current)
        return;
    // The thread is not waited for here: it stops within a few files, but the window must not.
    m_current->control.cancelled.store(true);
    m_cancelled.push_back(std::move(m_current));
}

bool SearchJob::isIdle() const
{
    if (m_current || m_progressTimer.isActive())
        return false;
    for (const std::unique_ptr<Run> &run : m_cancelled)
        if (!run->ended.load())
            return false;
    return true;
}

// On the search's own thread.
void SearchJob::work(Run &run, const QString &folder, const QString &phrase, const EntryFont &entryFont)
{
    yieldToTheWindow();
    SearchOutcome outcome;
    try {
        outcome = searchFolder(folder, phrase, &run.control);
        if (!run.control.cancelled.load())
            outcome.widestRows = widestRows(outcome.entries, entryFont, kWidestRowsKept);
    } catch (const std::bad_alloc &) {
        outcome = SearchOutcome();
        outcome.folder = folder;
        outcome.listing = IoResult::failure(QStringLiteral("There is not enough memory for the search."));
    }
    if (!run.control.cancelled.load())
        QMetaObject::invokeMethod(
            this, [this, id = run.id, outcome] { deliver(id, outcome); }, Qt::QueuedConnection);
    // Last: once this is seen, whatever the run had to post has been posted.
    run.ended.store(true);
}

void SearchJob::deliver(quint64 runId, const SearchOutcome &outcome)
{
    // A run cancelled after it had posted its outcome is over for the user already.
    if (!m_current || m_current->id != runId)
        return;
    reportProgress();
    m_current->thread.join();
    m_current.reset();
    Q_EMIT finished(outcome);
}

void SearchJob::reportProgress()
{
    if (!m_current) {
        // The search has ended or was cancelled: the timer's next tick stops it.
        m_progressTimer.stop();
        return;
    }
    const int listed = m_current->control.filesListed.load(std::memory_order_relaxed);
    const int read = m_current->control.filesRead.load(std::memory_order_relaxed);
    if (read == m_shownRead && listed == m_shownListed)
        return;
    m_shownRead = read;
    m_shownListed = listed;
    Q_EMIT progressed(read, listed);
}

void SearchJob::joinEndedRuns()
{
    std::erase_if(m_cancelled, [](const std::unique_ptr<Run> &run) {
        if (!run->ended.load())
            return false;
        run->thread.join();
        return true;
    });
}

} // namespace tessik

#pragma once

#include "search/search_control.h"
#include "search/search_outcome.h"

#include <QFont>
#include <QObject>
#include <QTimer>

#include <memory>
#include <vector>

namespace tessik {

// Runs one search at a time off the calling thread, so that the window keeps painting and
// answering while thousands of files are read. Its signals arrive on the thread that owns it.
class SearchJob : public QObject {
    Q_OBJECT
public:
    explicit SearchJob(QObject *parent = nullptr);
    ~SearchJob() override; // cancels, and waits for the threads to end

    // Starts searching the folder for the phrase; a search still running is cancelled first.
    // The outcome's widestRows are those that look widest in entryFont, the result list's font:
    // finding them takes as long as sorting the entries, so the window must not.
    void start(const QString &folder, const QString &phrase, const QFont &entryFont);
    // The running search ends without an outcome: finished is not emitted for it.
    void cancel();
    bool isRunning() const { return m_current != nullptr; }
    // No thread of this job is running any more, a cancelled one's included, and its progress
    // timer has stopped.
    bool isIdle() const;

Q_SIGNALS:
    // While a search runs, a few times a second: files read of files listed (-1 while listing).
    void progressed(int filesRead, int filesListed);
    void finished(const tessik::SearchOutcome &outcome);

private:
    struct Run;
    void work(Run &run, const QString &folder, const QString &phrase, const EntryFont &entryFont);
    void deliver(quint64 runId, const SearchOutcome &outcome);
    void reportProgress();
    void joinEndedRuns();

    std::unique_ptr<Run> m_current;
    std::vector<std::unique_ptr<Run>> m_cancelled; // their threads may still be ending
    quint64 m_lastRunId = 0;
    QTimer m_progressTimer;
    int m_shownRead = 0;
    int m_shownListed = 0;
};

} // namespace tessik

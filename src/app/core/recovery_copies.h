#pragma once

#include <QByteArray>
#include <QLockFile>
#include <QString>
#include <QThreadPool>

#include <memory>

namespace tessik {

inline const QString kRecoveryFolderName = QStringLiteral("Recovery");

// The question asked at start-up about a copy left behind for the file (empty: never saved).
QString recoveryQuestion(const QString &originalFile);

// A copy that a run left behind when it ended without warning, locked for the run that took it.
struct RecoveryOrphan {
    QString copyPath;
    QString originalFile; // the file the analysis belonged to; empty when it was never saved
    std::unique_ptr<QLockFile> lock;
};

// The copies of unsaved work in the Recovery folder of the per-user folder. Each run keeps its
// own copy, named after the run and guarded by a lock file that the run holds while it lives:
// two programs running at once never touch each other's copy, and a copy whose run has gone
// without removing it is an orphan for the next start-up. Writes and removals run one after
// another on a thread of their own, through the safe write, so the window never waits for the disk.
class RecoveryCopies {
public:
    explicit RecoveryCopies(const QString &userFolder);
    ~RecoveryCopies(); // waits for what is queued

    // Queues the writing of this run's copy (made by the caller) and the file it belongs to.
    void keep(const QByteArray &copy, const QString &originalFile);
    // Queues the removal of this run's copy.
    void discard();
    // Queues the removal of an orphan's files, after everything queued before; its lock goes last.
    void remove(std::unique_ptr<RecoveryOrphan> orphan);
    void waitForQueue();

    // The newest orphan that no running program holds, locked for this run; null when none.
    std::unique_ptr<RecoveryOrphan> takeOrphan();

    const QString &folder() const { return m_folder; }
    QString copyPath() const; // this run's copy

private:
    void removeAbandonedLocks();

    QString m_folder;
    QString m_run;
    QLockFile m_lock;
    QThreadPool m_writer;
};

} // namespace tessik

#pragma once

#include "files/analysis_reader.h"
#include "files/io_result.h"

#include <QByteArray>
#include <QLockFile>
#include <QString>
#include <QThreadPool>

#include <functional>
#include <memory>

namespace tessik {

inline const QString kRecoveryFolderName = QStringLiteral("Recovery");

// The largest copy read back. A copy is an analysis this program held, written in UTF-8: one
// loaded from the largest file taken (kMaxAnalysisFileBytes) in the 8-bit code page needs up to
// three bytes a character there, and the edits since add more. Four times the file limit leaves
// room for both and still refuses what no run of ours wrote, such as a link to an endless device.
inline constexpr qint64 kMaxRecoveryCopyBytes = 4 * kMaxAnalysisFileBytes;

// The question asked at start-up about a copy left behind for the file (empty: never saved).
QString recoveryQuestion(const QString &originalFile);
// The message for a copy that could not be restored; the copy is kept, and the message says where.
QString recoveryFailureMessage(const QString &copyPath, const QString &reason);
// The message for a copy of this run's work that could not be written.
QString recoveryWriteFailureMessage(const QString &copyPath, const QString &reason);

// The file a restored analysis belongs to: the one its copy names, when that is an analysis
// file's full path (ending in ".rca.xml", any letter case) and an ordinary file or none at all.
// Anything else is no file of ours to save over, so the analysis is restored as never saved.
QString restorableFileName(const QString &named);

// A copy that a run left behind when it ended without warning, locked for the run that took it.
struct RecoveryOrphan {
    QString copyPath;
    QString originalFile; // the file the analysis belonged to; empty when never saved or not usable
    std::unique_ptr<QLockFile> lock;
};

// A copy read back, with the limit that fits what this program writes.
ReadOutcome readRecoveryCopy(const QString &copyPath);

// The copies of unsaved work in the Recovery folder of the per-user folder. Each run keeps its
// own copy, named after the run and guarded by a lock file that the run holds while it lives:
// two programs running at once never touch each other's copy, and a copy whose run has gone
// without removing it is an orphan for the next start-up. Writes and removals run one after
// another on a thread of their own, through the safe write, so the window never waits for the disk.
// Only ordinary files are read there, and a link planted in the folder is never written through.
class RecoveryCopies {
public:
    explicit RecoveryCopies(const QString &userFolder);
    ~RecoveryCopies(); // waits for what is queued

    // Called on the writing thread after each write of this run's copy, with how it went.
    using WriteReport = std::function<void(const IoResult &written)>;
    void setWriteReport(WriteReport report) { m_report = std::move(report); }

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
    void makeFolder();
    void prepareFolder(); // on the writing thread only: it alone touches the lock
    void removeAbandonedLocks();

    QString m_folder;
    QString m_run;
    QLockFile m_lock;
    WriteReport m_report;
    QThreadPool m_writer;
};

} // namespace tessik

#include "app/core/recovery_copies.h"

#include "files/ordinary_file.h"
#include "files/paths.h"
#include "files/safe_write.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace tessik {

namespace {

const QString kCopyEnding = QStringLiteral(".analysis");
const QString kFileEnding = QStringLiteral(".file");
const QString kLockEnding = QStringLiteral(".lock");

// Runs are named by their start, so that names sort by age, and by their process.
QString runName()
{
    return QStringLiteral("%1-%2")
        .arg(QDateTime::currentMSecsSinceEpoch(), 15, 10, QLatin1Char('0'))
        .arg(QCoreApplication::applicationPid());
}

QString stem(const QString &folder, const QString &name, const QString &ending)
{
    return joinPath(folder, name.chopped(ending.size()));
}

// A lock held for the whole run: never taken for stale by its age, only when its process is gone.
std::unique_ptr<QLockFile> runLock(const QString &path)
{
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);
    return lock;
}

void removeCopyFiles(const QString &stemPath)
{
    QFile::remove(stemPath + kCopyEnding);
    QFile::remove(stemPath + kFileEnding);
}

// The names of the folder's files (hidden ones aside) with the ending, in any letter case, in
// name order. Matched here rather than by QDir's name filters, which compile a pattern: this runs
// before the window is first shown.
QStringList filesEndingWith(const QString &folder, const QString &ending)
{
    QStringList names;
    for (QDirIterator it(folder, QDir::Files); it.hasNext();) {
        const QString name = it.nextFileInfo().fileName();
        if (name.endsWith(ending, Qt::CaseInsensitive))
            names << name;
    }
    names.sort();
    return names;
}

// A lock file holds a process number and two names; anything much longer is none of ours.
constexpr qint64 kMaxLockBytes = 4096;
// The name file holds one full path.
constexpr qint64 kMaxNameBytes = 64 * 1024;

// Whether the lock may be tried: trying opens a lock that is there to read it, and a pipe in
// its place would hold the start-up for ever. A copy with any other lock is left alone.
bool lockCanBeTried(const QString &path)
{
    return fileKind(path, AtLink::NotFollowed) == FileKind::Missing ||
           readOrdinaryFile(path, kMaxLockBytes, AtLink::NotFollowed).ok;
}

// The file named beside a copy, or none when that cannot be read or is no file to restore to.
QString originalFileOf(const QString &stemPath)
{
    const FileBytes name = readOrdinaryFile(stemPath + kFileEnding, kMaxNameBytes, AtLink::NotFollowed);
    return name.ok ? restorableFileName(fileNameFromBytes(name.bytes)) : QString();
}

} // namespace

QString restorableFileName(const QString &named)
{
    const bool analysisName = QDir::isAbsolutePath(named) && named.endsWith(kAnalysisEnding, Qt::CaseInsensitive);
    // A link is fine where it leads to an ordinary file, as for a file the user opened through it.
    const bool fileOrNone = fileKind(named, AtLink::NotFollowed) == FileKind::Missing ||
                            fileKind(named, AtLink::Follow) == FileKind::Ordinary;
    return analysisName && fileOrNone ? named : QString();
}

ReadOutcome readRecoveryCopy(const QString &copyPath)
{
    const FileBytes read = readOrdinaryFile(copyPath, kMaxRecoveryCopyBytes, AtLink::NotFollowed);
    ReadOutcome outcome;
    if (read.tooLarge)
        outcome.reason =
            QStringLiteral("The copy is larger than any copy Tessik writes (%1 MB; at most %2 MB are read).")
                .arg(read.size / (1024 * 1024))
                .arg(kMaxRecoveryCopyBytes / (1024 * 1024));
    else if (!read.ok)
        outcome.reason = read.reason;
    else
        outcome = readAnalysisBytes(read.bytes, AnalysisEncoding::Utf8);
    return outcome;
}

QString recoveryQuestion(const QString &originalFile)
{
    const QString which = originalFile.isEmpty() ? QStringLiteral("an analysis that was never saved")
                                                 : QDir::toNativeSeparators(originalFile);
    return QStringLiteral("Tessik did not end normally last time. A copy of the unsaved work on\r\n\r\n%1\r\n\r\n"
                          "was kept. Do you want to restore it?\r\n\r\n"
                          "Yes opens it with its unsaved changes; No removes the copy.")
        .arg(which);
}

QString recoveryFailureMessage(const QString &copyPath, const QString &reason)
{
    return fileProblemMessage(
        QStringLiteral("The unsaved work could not be restored from its copy:"), copyPath, reason,
        QStringLiteral("The copy stays where it is, and is offered again when Tessik next starts."));
}

QString recoveryWriteFailureMessage(const QString &copyPath, const QString &reason)
{
    return fileProblemMessage(
        QStringLiteral("Tessik could not keep a copy of the unsaved work in case it ends without warning:"), copyPath,
        reason,
        QStringLiteral("Until this works, edits not yet saved would be lost if Tessik stopped unexpectedly, so save "
                       "your work now and then. Tessik tries again after each edit."));
}

RecoveryCopies::RecoveryCopies(const QString &userFolder)
    : m_folder(withTrailingSeparator(joinPath(userFolder, kRecoveryFolderName))), m_run(runName()),
      m_lock(joinPath(m_folder, m_run + kLockEnding))
{
    m_lock.setStaleLockTime(0);
    m_writer.setMaxThreadCount(1); // one task after another, in the order queued
    // The folder is there before orphans are looked for in it. Taking the lock syncs it to the
    // disk, which can take milliseconds: the window's first picture does not wait for that, and
    // every later task comes after it.
    makeFolder();
    m_writer.start([this] { prepareFolder(); });
}

void RecoveryCopies::makeFolder()
{
    // A link in the folder's place would carry the copies wherever it leads: it goes, and a
    // folder of our own takes its place. Anything else in the way stays, and the writes fail.
    const QString folder = m_folder.chopped(1);
    if (fileKind(folder, AtLink::NotFollowed) == FileKind::Link)
        QFile::remove(folder);
    QDir().mkpath(m_folder);
}

void RecoveryCopies::prepareFolder()
{
    makeFolder();
    if (!m_lock.isLocked())
        m_lock.tryLock();
}

RecoveryCopies::~RecoveryCopies()
{
    waitForQueue();
}

QString RecoveryCopies::copyPath() const
{
    return joinPath(m_folder, m_run + kCopyEnding);
}

void RecoveryCopies::keep(const QByteArray &copy, const QString &originalFile)
{
    const QString stemPath = joinPath(m_folder, m_run);
    m_writer.start([this, stemPath, copy, originalFile] {
        // What kept the copy from being written may have been put right since.
        prepareFolder();
        // The file's name first: a copy is never found without it.
        IoResult written = writeFileSafely(stemPath + kFileEnding, fileNameBytes(originalFile), AtLink::NotFollowed);
        if (written.ok)
            written = writeFileSafely(stemPath + kCopyEnding, copy, AtLink::NotFollowed);
        if (m_report)
            m_report(written);
    });
}

void RecoveryCopies::discard()
{
    const QString stemPath = joinPath(m_folder, m_run);
    m_writer.start([stemPath] { removeCopyFiles(stemPath); });
}

void RecoveryCopies::remove(std::unique_ptr<RecoveryOrphan> orphan)
{
    if (!orphan)
        return;
    std::shared_ptr<RecoveryOrphan> held(std::move(orphan));
    m_writer.start([held] {
        removeCopyFiles(held->copyPath.chopped(kCopyEnding.size()));
        held->lock.reset(); // unlocking removes the lock file
    });
}

void RecoveryCopies::waitForQueue()
{
    m_writer.waitForDone();
}

std::unique_ptr<RecoveryOrphan> RecoveryCopies::takeOrphan()
{
    removeAbandonedLocks();
    const QStringList copies = filesEndingWith(m_folder, kCopyEnding);
    // Newest first: the last run's work is the one the user remembers.
    for (auto name = copies.crbegin(); name != copies.crend(); ++name) {
        const QString stemPath = stem(m_folder, *name, kCopyEnding);
        // Only what a run of ours leaves is taken: the copy an ordinary file, its lock one or none.
        if (stemPath == joinPath(m_folder, m_run) ||
            fileKind(stemPath + kCopyEnding, AtLink::NotFollowed) != FileKind::Ordinary ||
            !lockCanBeTried(stemPath + kLockEnding))
            continue;
        auto lock = runLock(stemPath + kLockEnding);
        if (!lock->tryLock())
            continue; // its program is still running, or another one took it first
        return std::make_unique<RecoveryOrphan>(
            RecoveryOrphan{stemPath + kCopyEnding, originalFileOf(stemPath), std::move(lock)});
    }
    return nullptr;
}

void RecoveryCopies::removeAbandonedLocks()
{
    // A run that ended without warning before it had anything to keep leaves only its lock.
    const QStringList locks = filesEndingWith(m_folder, kLockEnding);
    for (const QString &name : locks) {
        const QString stemPath = stem(m_folder, name, kLockEnding);
        if (stemPath == joinPath(m_folder, m_run) ||
            fileKind(stemPath + kCopyEnding, AtLink::NotFollowed) != FileKind::Missing ||
            !lockCanBeTried(stemPath + kLockEnding))
            continue;
        auto lock = runLock(stemPath + kLockEnding);
        if (lock->tryLock())
            QFile::remove(stemPath + kFileEnding);
    }
}

} // namespace tessik

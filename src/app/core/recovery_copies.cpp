#include "app/core/recovery_copies.h"

#include "files/paths.h"
#include "files/safe_write.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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

} // namespace

QString recoveryQuestion(const QString &originalFile)
{
    const QString which = originalFile.isEmpty() ? QStringLiteral("an analysis that was never saved")
                                                 : QDir::toNativeSeparators(originalFile);
    return QStringLiteral("Tessik did not end normally last time. A copy of the unsaved work on\r\n\r\n%1\r\n\r\n"
                          "was kept. Do you want to restore it?\r\n\r\n"
                          "Yes opens it with its unsaved changes; No removes the copy.")
        .arg(which);
}

RecoveryCopies::RecoveryCopies(const QString &userFolder)
    : m_folder(withTrailingSeparator(joinPath(userFolder, kRecoveryFolderName))), m_run(runName()),
      m_lock(joinPath(m_folder, m_run + kLockEnding))
{
    QDir().mkpath(m_folder);
    m_lock.setStaleLockTime(0);
    m_lock.tryLock();
    m_writer.setMaxThreadCount(1); // one task after another, in the order queued
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
    m_writer.start([stemPath, copy, originalFile] {
        // The file's name first: a copy is never found without it.
        if (writeFileSafely(stemPath + kFileEnding, originalFile.toUtf8()).ok)
            writeFileSafely(stemPath + kCopyEnding, copy);
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
    QStringList copies = QDir(m_folder).entryList({QLatin1Char('*') + kCopyEnding}, QDir::Files, QDir::Name);
    // Newest first: the last run's work is the one the user remembers.
    for (auto name = copies.crbegin(); name != copies.crend(); ++name) {
        const QString stemPath = stem(m_folder, *name, kCopyEnding);
        if (stemPath == joinPath(m_folder, m_run))
            continue;
        auto lock = runLock(stemPath + kLockEnding);
        if (!lock->tryLock())
            continue; // its program is still running, or another one took it first
        QFile file(stemPath + kFileEnding);
        QString original;
        if (file.open(QIODevice::ReadOnly))
            original = QString::fromUtf8(file.readAll());
        return std::make_unique<RecoveryOrphan>(RecoveryOrphan{stemPath + kCopyEnding, original, std::move(lock)});
    }
    return nullptr;
}

void RecoveryCopies::removeAbandonedLocks()
{
    // A run that ended without warning before it had anything to keep leaves only its lock.
    const QStringList locks = QDir(m_folder).entryList({QLatin1Char('*') + kLockEnding}, QDir::Files);
    for (const QString &name : locks) {
        const QString stemPath = stem(m_folder, name, kLockEnding);
        if (stemPath == joinPath(m_folder, m_run) || QFileInfo::exists(stemPath + kCopyEnding))
            continue;
        auto lock = runLock(stemPath + kLockEnding);
        if (lock->tryLock())
            QFile::remove(stemPath + kFileEnding);
    }
}

} // namespace tessik

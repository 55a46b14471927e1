#include "files/safe_write.h"

#include "files/paths.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSaveFile>

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessik {

namespace {

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The folder part of a name's bytes, with its separator; empty for a bare name.
QByteArray folderBytes(const QByteArray &path)
{
    return path.left(path.lastIndexOf('/') + 1);
}

// Where a chain of links at the name ends: a save of a user's file writes there, as editors do.
QByteArray linkTarget(QByteArray path)
{
    for (int hop = 0; hop < 40; ++hop) {
        std::array<char, 4096> target;
        const ssize_t length = ::readlink(path.constData(), target.data(), target.size());
        if (length < 0 || length == ssize_t(target.size()))
            break;
        const QByteArray to(target.data(), length);
        path = to.startsWith('/') ? to : folderBytes(path) + to;
    }
    return path;
}

// Writes everything to the new file, then closes it; the descriptor is closed either way.
IoResult fillAndClose(int fd, const QByteArray &bytes, const QByteArray &replaced)
{
    // A replaced file keeps who may read it; a new one gets what the process's mask allows.
    struct stat old;
    if (::lstat(replaced.constData(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(fd, old.st_mode & 07777);
    qsizetype written = 0;
    int error = 0;
    while (written < bytes.size() && error == 0) {
        const ssize_t chunk = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (chunk >= 0)
            written += chunk;
        else if (errno != EINTR)
            error = errno;
    }
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error == 0 ? IoResult::success() : IoResult::failure(errorText(error));
}

// The safe write by the name's own bytes, for names Qt cannot carry and for names whose link is
// not followed: the final rename replaces whatever stands at the name, a link included, and never
// writes into what it leads to.
IoResult writeByNameBytes(QByteArray target, const QByteArray &bytes, AtLink link)
{
    if (link == AtLink::Follow)
        target = linkTarget(target);
    // A fresh name beside the file, created here: nothing planted there in advance is opened.
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = target + '.' + QByteArray::number(QRandomGenerator::system()->generate(), 36);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST)
            return IoResult::failure(errorText(errno));
    }
    if (fd < 0)
        return IoResult::failure(errorText(EEXIST));
    IoResult written = fillAndClose(fd, bytes, target);
    if (written.ok && ::rename(temporary.constData(), target.constData()) != 0)
        written = IoResult::failure(errorText(errno));
    if (!written.ok)
        ::unlink(temporary.constData());
    return written;
}

} // namespace

QString describeUnwritablePath(const QString &path, AtLink link)
{
    if (path.isEmpty())
        return QStringLiteral("No file name was given.");
    if (fileKind(path, link) == FileKind::Folder)
        return QStringLiteral("A folder of that name is in the way.");
    QString folder = FindPath(path);
    if (folder.size() > 1)
        folder.chop(1); // a file's name with a separator at its end would be refused as no folder
    switch (fileKind(folder.isEmpty() ? QStringLiteral(".") : folder, AtLink::Follow)) {
    case FileKind::Folder:
        return QString();
    case FileKind::Missing:
        return QStringLiteral("The folder does not exist.");
    default:
        return QStringLiteral("Part of the path is a file, not a folder.");
    }
}

IoResult writeFileSafely(const QString &path, const QByteArray &bytes, AtLink link)
{
    if (const QString reason = describeUnwritablePath(path, link); !reason.isEmpty())
        return IoResult::failure(reason);
    const QByteArray name = fileNameBytes(path);
    if (link == AtLink::NotFollowed || QFile::encodeName(path) != name)
        return writeByNameBytes(name, bytes, link);
    QSaveFile file(path);
    return writeThroughSaveFile(file, bytes);
}

IoResult writeThroughSaveFile(QSaveFile &file, const QByteArray &bytes)
{
    // Unbuffered, so every failed write is seen here: bytes left in a buffer that fail to reach
    // the disk at commit time would otherwise be renamed into place as a cut-off file, reported
    // as a success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return IoResult::failure(file.errorString());
    // A device may take part of the bytes and fail only on the next write (a disk that
    // fills up); writing on until it fails gives the user the device's own reason.
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 chunk = file.write(bytes.constData() + written, bytes.size() - written);
        if (chunk <= 0)
            return IoResult::failure(file.errorString());
        written += chunk;
    }
    if (!file.flush())
        return IoResult::failure(file.errorString());
    if (!file.commit())
        return IoResult::failure(file.errorString());
    return IoResult::success();
}

} // namespace tessik

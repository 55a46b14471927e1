#include "files/ordinary_file.h"

#include "files/analysis_reader.h"
#include "files/paths.h"

#include <algorithm>
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

FileKind kindOf(mode_t mode)
{
    return S_ISREG(mode)   ? FileKind::Ordinary
           : S_ISDIR(mode) ? FileKind::Folder
           : S_ISLNK(mode) ? FileKind::Link
                           : FileKind::Other;
}

QString refusalReason(FileKind kind)
{
    return kind == FileKind::Link ? QStringLiteral("This is a link, which is not followed here.")
                                  : notAnOrdinaryFileReason(kind == FileKind::Folder);
}

FileBytes failedRead(const QString &reason)
{
    FileBytes read;
    read.reason = reason;
    return read;
}

// What the name stands for, or the error that keeps it from being looked at.
FileKind lookAt(const QByteArray &name, AtLink link, int *error)
{
    struct stat info;
    if ((link == AtLink::Follow ? ::stat(name.constData(), &info) : ::lstat(name.constData(), &info)) == 0)
        return kindOf(info.st_mode);
    *error = errno;
    return FileKind::Missing;
}

// Reads the file as it stood when opened, up to the limit: a file still being written is not
// waited on, nor read past the size it had.
FileBytes readOpened(int fd, qint64 maxBytes, bool whole)
{
    struct stat info;
    if (fstat(fd, &info) != 0)
        return failedRead(errorText(errno));
    if (!S_ISREG(info.st_mode))
        return failedRead(refusalReason(kindOf(info.st_mode)));
    FileBytes read;
    read.size = info.st_size;
    if (whole && info.st_size > maxBytes) {
        read.tooLarge = true;
        return read;
    }
    read.bytes.resize(std::min<qint64>(info.st_size, maxBytes));
    qint64 got = 0;
    while (got < read.bytes.size()) {
        const ssize_t chunk = ::read(fd, read.bytes.data() + got, size_t(read.bytes.size() - got));
        if (chunk < 0 && errno == EINTR)
            continue;
        if (chunk < 0)
            return failedRead(errorText(errno));
        if (chunk == 0)
            break;
        got += chunk;
    }
    read.bytes.truncate(got);
    read.ok = true;
    return read;
}

FileBytes readOrdinary(const QString &path, qint64 maxBytes, AtLink link, bool whole)
{
    const QByteArray name = fileNameBytes(path);
    int error = 0;
    if (const FileKind kind = lookAt(name, link, &error); kind != FileKind::Ordinary)
        return failedRead(error != 0 ? errorText(error) : refusalReason(kind));
    // Non-blocking, so that a pipe put in the file's place since the look above cannot hold us.
    const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (link == AtLink::Follow ? 0 : O_NOFOLLOW);
    const int fd = ::open(name.constData(), flags);
    if (fd < 0)
        return failedRead(errorText(errno));
    FileBytes read = readOpened(fd, maxBytes, whole);
    ::close(fd);
    return read;
}

} // namespace

FileKind fileKind(const QString &path, AtLink link)
{
    int error = 0;
    return lookAt(fileNameBytes(path), link, &error);
}

FileBytes readOrdinaryFile(const QString &path, qint64 maxBytes, AtLink link)
{
    return readOrdinary(path, maxBytes, link, true);
}

FileBytes readOrdinaryFileStart(const QString &path, qint64 maxBytes, AtLink link)
{
    return readOrdinary(path, maxBytes, link, false);
}

} // namespace tessik

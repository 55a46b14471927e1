#include "search/folder_access.h"

#include "files/analysis_reader.h"
#include "files/paths.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessik {

namespace {

constexpr std::size_t kMaxBytes = std::size_t(kMaxAnalysisFileBytes);

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Whether a listed entry of unsure kind is taken; see listFolderFiles.
bool takeEntry(DIR *dir, const dirent *entry)
{
    switch (entry->d_type) {
    case DT_REG:
        return true;
    case DT_LNK:
    case DT_UNKNOWN: {
        struct stat target;
        if (fstatat(dirfd(dir), entry->d_name, &target, 0) != 0)
            return true;
        return S_ISREG(target.st_mode);
    }
    default: // folders, pipes, sockets and devices are no analyses
        return false;
    }
}

} // namespace

IoResult listFolderFiles(const QString &folder, bool (*wanted)(QByteArrayView name), std::vector<QByteArray> &names,
                         const std::atomic<bool> *stop, ListingSink *sink)
{
    DIR *dir = folder.isEmpty() ? nullptr : opendir(fileNameBytes(folder).constData());
    if (dir == nullptr)
        return IoResult::failure(folder.isEmpty() || errno == ENOENT || errno == ENOTDIR ? kFolderMissing
                                                                                         : errorText(errno));
    while (const dirent *entry = readdir(dir)) {
        if (stop != nullptr && stop->load(std::memory_order_relaxed))
            break;
        const QByteArrayView name(entry->d_name);
        if (wanted(name) && takeEntry(dir, entry)) {
            names.emplace_back(name.data(), name.size());
            if (sink != nullptr)
                sink->listed(names);
        }
    }
    closedir(dir);
    return IoResult::success();
}

QString fileNameText(const QByteArray &name)
{
    return QFile::decodeName(name);
}

// Opened once; every file is opened relative to it. If the folder has gone since the listing,
// every file counts as unreadable.
struct ListedFileReader::Folder {
    int handle = -1;
    int openError = 0;
};

ListedFileReader::ListedFileReader(const QString &folder) : m_folder(std::make_unique<Folder>())
{
    m_folder->handle = open(fileNameBytes(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_folder->handle < 0)
        m_folder->openError = errno;
}

ListedFileReader::~ListedFileReader()
{
    if (m_folder->handle >= 0)
        close(m_folder->handle);
}

namespace {

// Room for the first read: far more than most analyses hold. A read that does not fill it has
// reached the end of an ordinary file, so most files cost one read and no question about their
// kind or size.
constexpr std::size_t kFirstReadBytes = 64 * 1024;

ssize_t readSome(int fd, char *into, std::size_t room)
{
    ssize_t got;
    do {
        got = ::read(fd, into, room);
    } while (got < 0 && errno == EINTR);
    return got;
}

// After a first read that found nothing, failed or filled its room: the file's kind and size
// decide. `size` bytes are read already.
FileRead readRest(int fd, std::vector<char> &bytes, std::size_t &size, int readError)
{
    struct stat info;
    if (fstat(fd, &info) != 0)
        return FileRead::failure(errorText(errno));
    if (!S_ISREG(info.st_mode))
        return FileRead::failure(notAnOrdinaryFileReason(S_ISDIR(info.st_mode)));
    if (readError != 0)
        return FileRead::failure(errorText(readError));
    if (info.st_size > kMaxAnalysisFileBytes) {
        return FileRead::refusedTooLarge(info.st_size);
    }
    // One byte more than the file holds, so that a file read in one piece needs no second
    // call to see its end.
    const std::size_t expected = std::size_t(info.st_size);
    if (bytes.size() < expected + 1)
        bytes.resize(expected + 1);
    for (;;) {
        if (size == bytes.size())
            bytes.resize(std::min(bytes.size() * 2, kMaxBytes + 1));
        const ssize_t got = readSome(fd, bytes.data() + size, bytes.size() - size);
        if (got < 0)
            return FileRead::failure(errorText(errno));
        size += std::size_t(got);
        if (size > kMaxBytes) { // it grew past the limit while being read
            return FileRead::refusedTooLarge(qint64(size));
        }
        // A short read at or past the size the file had when opened is its end; a file still
        // being written is read as it stood then.
        if (got == 0 || (size >= expected && size < bytes.size()))
            return FileRead::success();
    }
}

FileRead readOpened(int fd, std::vector<char> &bytes, std::size_t &size)
{
    if (bytes.size() < kFirstReadBytes)
        bytes.resize(kFirstReadBytes);
    const ssize_t got = readSome(fd, bytes.data(), bytes.size());
    if (got > 0 && std::size_t(got) < bytes.size()) {
        size = std::size_t(got);
        return FileRead::success();
    }
    const int readError = got < 0 ? errno : 0;
    size = got > 0 ? std::size_t(got) : 0;
    return readRest(fd, bytes, size, readError);
}

} // namespace

FileRead ListedFileReader::read(const QByteArray &name, FileBuffer &buffer) const
{
    buffer.m_size = 0;
    if (m_folder->handle < 0)
        return FileRead::failure(m_folder->openError == ENOENT ? kFolderMissing : errorText(m_folder->openError));
    // Non-blocking, so that a pipe that took the file's place cannot hang the search.
    const int fd = openat(m_folder->handle, name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return FileRead::failure(errorText(errno));
    const FileRead read = readOpened(fd, buffer.m_bytes, buffer.m_size);
    close(fd);
    if (!read.ok)
        buffer.m_size = 0;
    return read;
}

} // namespace tessik

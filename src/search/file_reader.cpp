#include "search/file_reader.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessik {

bool WholeFileReader::read(int folderFd, const char *name)
{
    m_size = 0;
    // Non-blocking, so that a pipe that took the file's place cannot hang the search.
    const int fd = openat(folderFd, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return false;
    const bool ok = readOpened(fd);
    close(fd);
    if (!ok)
        m_size = 0;
    return ok;
}

bool WholeFileReader::readOpened(int fd)
{
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    const std::size_t expected = std::size_t(info.st_size);
    // One byte more than the file holds, so that a file read in one piece needs no second
    // call to see its end.
    if (m_buffer.size() < expected + 1)
        m_buffer.resize(expected + 1);
    for (;;) {
        if (m_size == m_buffer.size())
            m_buffer.resize(m_buffer.size() * 2);
        const ssize_t got = ::read(fd, m_buffer.data() + m_size, m_buffer.size() - m_size);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            return true;
        m_size += std::size_t(got);
        // A short read at or past the size the file had when opened is its end; a file still
        // being written is read as it stood then.
        if (m_size >= expected && m_size < m_buffer.size())
            return true;
    }
}

} // namespace tessik

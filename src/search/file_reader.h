#pragma once

#include <cstddef>
#include <vector>

namespace tessik {

// Reads whole files into one buffer that is kept from file to file, so a search over thousands
// of small files allocates almost nothing. One reader per thread.
class WholeFileReader {
public:
    // Reads the ordinary file `name` of the open folder `folderFd`. False when it cannot be
    // opened or read, or is no ordinary file (a folder or a pipe put in its place).
    bool read(int folderFd, const char *name);

    const char *data() const { return m_buffer.data(); }
    std::size_t size() const { return m_size; }

private:
    bool readOpened(int fd);

    std::vector<char> m_buffer;
    std::size_t m_size = 0;
};

} // namespace tessik

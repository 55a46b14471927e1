#pragma once

#include "files/analysis_reader.h"
#include "files/io_result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <atomic>
#include <cstddef>
#include <memory>
#include <vector>

// The search's access to one folder, by the names' own bytes. Two builds give the same results:
// POSIX calls (the default, the fastest) and std::filesystem (TESSIK_PORTABLE_SEARCH), for
// systems without POSIX.
namespace tessik {

inline const QString kFolderMissing = QStringLiteral("The folder does not exist.");

// Told of the names as they are listed, so that reading can begin before the listing ends.
class ListingSink {
public:
    virtual ~ListingSink() = default;
    // `names` holds every name listed so far, the newest last; valid only during the call.
    virtual void listed(const std::vector<QByteArray> &names) = 0;
};

// Lists the entries of the folder whose names `wanted` accepts and that are ordinary files,
// links to ordinary files, or links that lead nowhere (they look like analyses to the user, so
// failing to read them is reported), in the order the listing returns them. Names are the file
// system's own bytes where it has bytes (UTF-8 where it has UTF-16 names). Stops early, with
// what it found so far, once `stop` becomes true. A sink is told of each name taken.
IoResult listFolderFiles(const QString &folder, bool (*wanted)(QByteArrayView name), std::vector<QByteArray> &names,
                         const std::atomic<bool> *stop = nullptr, ListingSink *sink = nullptr);

// A name the listing gave, as text to show.
QString fileNameText(const QByteArray &name);

// The bytes of one file, in a buffer kept from file to file, so that reading thousands of small
// files allocates almost nothing. One per thread.
class FileBuffer {
public:
    const char *data() const { return m_bytes.data(); }
    std::size_t size() const { return m_size; }

private:
    friend class ListedFileReader;
    std::vector<char> m_bytes;
    std::size_t m_size = 0;
};

// What reading one listed file gave; on failure the reason says why.
struct FileRead : IoResult {
    bool tooLarge = false; // refused unread: larger than an analysis may be

    static FileRead success() { return FileRead{{true, QString()}, false}; }
    static FileRead failure(const QString &reason) { return FileRead{{false, reason}, false}; }
    static FileRead refusedTooLarge(qint64 size) { return FileRead{{false, tooLargeReason(size)}, true}; }
};

// Reads the listed files of one folder by their names. read() may run on several threads at once.
class ListedFileReader {
public:
    explicit ListedFileReader(const QString &folder);
    ~ListedFileReader();
    ListedFileReader(const ListedFileReader &) = delete;
    ListedFileReader &operator=(const ListedFileReader &) = delete;

    // Reads the whole file into the buffer. Fails for a file larger than an analysis may be
    // (tooLarge), one that cannot be opened or read, and one that is no ordinary file any more
    // (a folder or a pipe put in its place: never waited on).
    FileRead read(const QByteArray &name, FileBuffer &buffer) const;

private:
    struct Folder; // what each build keeps of the folder: an open handle, or its path
    std::unique_ptr<Folder> m_folder;
};

} // namespace tessik

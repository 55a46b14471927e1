#include "search/folder_access.h"

#include "files/analysis_reader.h"
#include "files/paths.h"

#include <QFile>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <type_traits>

namespace tessik {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxBytes = std::size_t(kMaxAnalysisFileBytes);

// Where paths are bytes (POSIX, macOS) the names are kept as those bytes; where they are
// UTF-16 (Windows) as UTF-8.
constexpr bool kBytePaths = std::is_same_v<fs::path::value_type, char>;

QByteArray nameBytes(const fs::path &name)
{
    if constexpr (kBytePaths) {
        return QByteArray(name.native().data(), qsizetype(name.native().size()));
    } else {
        const std::u8string utf8 = name.u8string();
        return QByteArray(reinterpret_cast<const char *>(utf8.data()), qsizetype(utf8.size()));
    }
}

fs::path pathOf(const QByteArray &name)
{
    if constexpr (kBytePaths)
        return fs::path(std::string(name.constData(), std::size_t(name.size())));
    else
        return fs::path(std::u8string(reinterpret_cast<const char8_t *>(name.constData()), std::size_t(name.size())));
}

fs::path folderPath(const QString &folder)
{
    if constexpr (kBytePaths)
        return pathOf(fileNameBytes(folder));
    else
        return fs::path(folder.toStdWString());
}

QString errorText(const std::error_code &error)
{
    return QString::fromLocal8Bit(error.message().c_str());
}

QString folderReason(const std::error_code &error)
{
    if (error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory)
        return kFolderMissing;
    return errorText(error);
}

// Whether a listed entry is taken; see listFolderFiles. An entry whose kind cannot be told
// (a link that leads nowhere, a target out of reach) stays in.
bool takeEntry(const fs::directory_entry &entry)
{
    std::error_code error;
    const fs::file_status target = entry.status(error);
    if (error || target.type() == fs::file_type::not_found)
        return true;
    return target.type() == fs::file_type::regular;
}

} // namespace

IoResult listFolderFiles(const QString &folder, bool (*wanted)(QByteArrayView name), std::vector<QByteArray> &names,
                         const std::atomic<bool> *stop, ListingSink *sink)
{
    if (folder.isEmpty())
        return IoResult::failure(kFolderMissing);
    std::error_code error;
    fs::directory_iterator entries(folderPath(folder), error);
    if (error)
        return IoResult::failure(folderReason(error));
    for (; entries != fs::directory_iterator(); entries.increment(error)) {
        if (error || (stop != nullptr && stop->load(std::memory_order_relaxed)))
            break;
        const QByteArray name = nameBytes(entries->path().filename());
        if (wanted(name) && takeEntry(*entries)) {
            names.push_back(name);
            if (sink != nullptr)
                sink->listed(names);
        }
    }
    return IoResult::success();
}

QString fileNameText(const QByteArray &name)
{
    if constexpr (kBytePaths)
        return QFile::decodeName(name);
    else
        return QString::fromUtf8(name);
}

struct ListedFileReader::Folder {
    fs::path path;
};

ListedFileReader::ListedFileReader(const QString &folder)
    : m_folder(std::make_unique<Folder>(Folder{folderPath(folder)}))
{
}

ListedFileReader::~ListedFileReader() = default;

FileRead ListedFileReader::read(const QByteArray &name, FileBuffer &buffer) const
{
    buffer.m_size = 0;
    const fs::path path = m_folder->path / pathOf(name);
    // The kind is looked at before opening: a pipe put in the file's place would block the open.
    std::error_code error;
    const fs::file_status kind = fs::status(path, error);
    if (error) {
        // A folder that has gone since it was listed says so, as the listing would.
        std::error_code folderError;
        const bool folderGone = fs::status(m_folder->path, folderError).type() == fs::file_type::not_found;
        return FileRead::failure(folderGone ? kFolderMissing : errorText(error));
    }
    if (kind.type() != fs::file_type::regular)
        return FileRead::failure(notAnOrdinaryFileReason(kind.type() == fs::file_type::directory));
    const std::uintmax_t expected = fs::file_size(path, error);
    if (!error && expected > kMaxBytes)
        return FileRead::refusedTooLarge(qint64(expected));
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return FileRead::failure(QStringLiteral("The file could not be opened."));

    std::vector<char> &bytes = buffer.m_bytes;
    bytes.resize(std::max<std::size_t>(bytes.size(), std::size_t(error ? 0 : expected) + 1));
    for (;;) {
        if (buffer.m_size == bytes.size())
            bytes.resize(std::min(bytes.size() * 2, kMaxBytes + 1));
        file.read(bytes.data() + buffer.m_size, std::streamsize(bytes.size() - buffer.m_size));
        buffer.m_size += std::size_t(file.gcount());
        if (buffer.m_size > kMaxBytes) { // it grew past the limit while being read
            const std::size_t size = buffer.m_size;
            buffer.m_size = 0;
            return FileRead::refusedTooLarge(qint64(size));
        }
        if (file.eof())
            return FileRead::success();
        if (!file) {
            buffer.m_size = 0;
            return FileRead::failure(QStringLiteral("The file could not be read."));
        }
    }
}

} // namespace tessik

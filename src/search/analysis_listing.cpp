#include "search/analysis_listing.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace tessik {

namespace {

constexpr char kEnding[] = ".rca.xml";
constexpr qsizetype kEndingLength = sizeof(kEnding) - 1;

char asciiSmall(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}

bool endingAt(QByteArrayView name, qsizetype at)
{
    for (qsizetype i = 0; i < kEndingLength; ++i)
        if (asciiSmall(name[at + i]) != kEnding[i])
            return false;
    return true;
}

// Whether a listed entry of unsure kind is to be read. A link that leads nowhere stays in:
// it looks like an analysis file to the user, so failing to read it is reported.
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

bool isAnalysisFileName(QByteArrayView fileName)
{
    if (fileName.isEmpty() || fileName.front() == '.')
        return false;
    return fileName.size() >= kEndingLength && endingAt(fileName, fileName.size() - kEndingLength);
}

QByteArrayView analysisNameOf(QByteArrayView fileName)
{
    for (qsizetype at = 0; at + kEndingLength <= fileName.size(); ++at)
        if (endingAt(fileName, at))
            return fileName.first(at);
    return fileName;
}

AnalysisListing listAnalysisFiles(const QString &folder)
{
    AnalysisListing listing;
    listing.folder = folder;
    DIR *dir = folder.isEmpty() ? nullptr : opendir(QFile::encodeName(folder).constData());
    if (dir == nullptr) {
        listing.reason = folder.isEmpty() || errno == ENOENT || errno == ENOTDIR
                             ? QStringLiteral("The folder does not exist.")
                             : QString::fromLocal8Bit(std::strerror(errno));
        return listing;
    }
    listing.ok = true;
    while (const dirent *entry = readdir(dir)) {
        const QByteArrayView name(entry->d_name);
        if (isAnalysisFileName(name) && takeEntry(dir, entry))
            listing.fileNames.emplace_back(name.data(), name.size());
    }
    closedir(dir);
    return listing;
}

} // namespace tessik

#include "search/analysis_listing.h"

#include "search/folder_access.h"

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

AnalysisListing listAnalysisFiles(const QString &folder, const std::atomic<bool> *stop, ListingSink *sink)
{
    AnalysisListing listing;
    listing.folder = folder;
    static_cast<IoResult &>(listing) = listFolderFiles(folder, isAnalysisFileName, listing.fileNames, stop, sink);
    return listing;
}

} // namespace tessik

#include "search/search_outcome.h"

#include "files/analysis_reader.h"

#include <QDir>

namespace tessik {

namespace {

QString unreadableText(int files)
{
    if (files == 1)
        return QStringLiteral("1 file could not be read and was left out.");
    return QStringLiteral("%1 files could not be read and were left out.").arg(files);
}

QString tooLargeText(int files)
{
    const qint64 megabytes = kMaxAnalysisFileBytes / (1024 * 1024);
    if (files == 1)
        return QStringLiteral("1 file is larger than %1 MB and was left out.").arg(megabytes);
    return QStringLiteral("%1 files are larger than %2 MB and were left out.").arg(files).arg(megabytes);
}

} // namespace

QString SearchOutcome::statusText() const
{
    if (!listing.ok)
        return QStringLiteral("The folder \"%1\" could not be searched. %2")
            .arg(QDir::toNativeSeparators(folder), listing.reason);
    QStringList parts;
    if (unreadable > 0)
        parts << unreadableText(unreadable);
    if (tooLarge > 0)
        parts << tooLargeText(tooLarge);
    return parts.join(QLatin1Char(' '));
}

} // namespace tessik

#include "search/search_outcome.h"

#include <QDir>

namespace tessik {

QString SearchOutcome::statusText() const
{
    const QString shownFolder = QDir::toNativeSeparators(folder);
    if (!listing.ok)
        return QStringLiteral("The folder \"%1\" could not be searched. %2").arg(shownFolder, listing.reason);
    if (unreadable == 1)
        return QStringLiteral("1 file could not be read and was left out.");
    if (unreadable > 1)
        return QStringLiteral("%1 files could not be read and were left out.").arg(unreadable);
    return QString();
}

} // namespace tessik

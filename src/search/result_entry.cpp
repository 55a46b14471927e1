#include "search/result_entry.h"

namespace tessik {

QString resultEntryText(const QString &description, const QString &name)
{
    return description + QString(kEntryGapWidth, QLatin1Char(' ')) + QLatin1Char('[') + name + QLatin1Char(']');
}

bool entryLessThan(const SearchEntry &a, const SearchEntry &b)
{
    const int byText = QString::compare(a.text, b.text, Qt::CaseInsensitive);
    if (byText != 0)
        return byText < 0;
    return QString::compare(a.filePath, b.filePath, Qt::CaseSensitive) < 0;
}

} // namespace tessik

#include "files/xml_get.h"

namespace tessik {

QString XMLget(const QString &XML, const QString &Tag, qsizetype &Start)
{
    const QString opening = QLatin1Char('<') + Tag + QLatin1Char('>');
    const QString closing = QLatin1String("</") + Tag + QLatin1Char('>');
    const qsizetype from = Start < 1 ? 0 : Start - 1;
    if (from > XML.size())
        return QString();
    const qsizetype open = XML.indexOf(opening, from, Qt::CaseSensitive);
    if (open < 0)
        return QString();
    const qsizetype close = XML.indexOf(closing, open, Qt::CaseSensitive);
    if (close < 0)
        return QString();
    Start = close + closing.size() + 1;
    const qsizetype contentStart = open + opening.size();
    // With an empty tag name "<>" and "</>" may overlap; nothing lies between them then.
    return close > contentStart ? XML.mid(contentStart, close - contentStart) : QString();
}

} // namespace tessik

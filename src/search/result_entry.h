#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace tessik {

// The result list shows the description first and the file's name far to the right, out of
// the way of the description; the gap is fixed, whatever the description's length.
inline constexpr int kEntryGapWidth = 91;

QString resultEntryText(const QString &description, const QString &name);

// One line of the result list. The entry keeps its own file: a name holding "[" or "]", or an
// ending written in capitals, cannot be recovered from the text alone.
struct SearchEntry {
    QString text;
    QString filePath;

    friend bool operator==(const SearchEntry &, const SearchEntry &) = default;
};

// The list's order: by text with letter case ignored, then by file, so that two entries with
// the same text always come out in the same order.
bool entryLessThan(const SearchEntry &a, const SearchEntry &b);

// Bytes that order as QString::compare(a, b, Qt::CaseInsensitive) orders the texts, and are
// equal exactly when that compare gives 0. Sorting thousands of entries that share long
// stretches of text is many times faster on these than with the case-ignoring compare.
QByteArray caseInsensitiveSortKey(QStringView text);

} // namespace tessik

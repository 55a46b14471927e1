#pragma once

#include "files/analysis_reader.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace tessik {

// The result list shows the description first and the file's name far to the right, out of
// the way of the description; the gap is fixed, whatever the description's length.
inline constexpr int kEntryGapWidth = 91;

QString resultEntryText(const QString &description, const QString &name);

// One line of the result list. The entry keeps its own file: a name holding "[" or "]", or an
// ending written in capitals, cannot be recovered from the text alone, and a name that is not
// valid in the system's encoding only through its own bytes.
struct SearchEntry {
    QString text;
    QString filePath;    // the file, its name's bytes kept (fileNameFromBytes), for the title and a later save
    QString folder;      // the folder searched
    QByteArray fileName; // the name as the folder listing gave it, byte for byte

    friend bool operator==(const SearchEntry &, const SearchEntry &) = default;
};

// Reads the analysis an entry stands for through the name's own bytes, with the limits of the
// search; the file is read again at every call.
ReadOutcome readEntryAnalysis(const SearchEntry &entry);

// The result list is ordered by text with letter case ignored, then by file, so that two
// entries with the same text always come out in the same order. The text's part of that order
// is the order of these keys: bytes that order as QString::compare(a, b, Qt::CaseInsensitive)
// orders the texts, and are equal exactly when that compare gives 0. Sorting thousands of
// entries that share long stretches of text is many times faster on keys made once per entry.
QByteArray caseInsensitiveSortKey(QStringView text);

} // namespace tessik

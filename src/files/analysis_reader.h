#pragma once

#include "files/analysis.h"
#include "files/file_stamp.h"
#include "files/io_result.h"

#include <QLocale>
#include <QString>
#include <QStringList>

namespace tessik {

// What reading an analysis file gave. When ok is false nothing was read: reason says why and
// analysis is empty. When ok is true, repairs lists, one line each, the faults in the file that
// were mended on the way (empty for a sound file); the file itself is never changed.
struct ReadOutcome : IoResult {
    Analysis analysis;
    QStringList repairs;
    FileStamp stamp; // of the bytes read
};

// The largest file taken for an analysis; a larger one is refused before it is read.
inline constexpr qint64 kMaxAnalysisFileBytes = qint64(256) * 1024 * 1024;

// Reads all bytes of the file as Windows-1252 and parses them as parseAnalysisText does.
ReadOutcome readAnalysisFile(const QString &path, const QLocale &locale = QLocale());

// Analysis files are Windows-1252; the program's own copies (writeAnalysisUtf8) are UTF-8.
enum class AnalysisEncoding { CodePage, Utf8 };
ReadOutcome readAnalysisFile(const QString &path, AnalysisEncoding encoding, const QLocale &locale = QLocale());

// The same for bytes the caller read itself, for a file that only the file system's own name
// bytes can reach (a name that is not valid in the system's encoding).
ReadOutcome readAnalysisBytes(const QByteArray &bytes, AnalysisEncoding encoding = AnalysisEncoding::CodePage,
                              const QLocale &locale = QLocale());

// Why a file is refused before it is read, in the words every reader of analyses uses.
QString notAnOrdinaryFileReason(bool isFolder);
QString tooLargeReason(qint64 bytes);

// The reading steps shared by Load and the search. The analysis element is found with
// XMLget; each header element is searched from its start; the block elements are taken in
// file order, the k-th becoming slot k whatever its id says, and one without its closing tag
// ends the list. A text without an opening analysis tag is no analysis: ok is false. Within a block one position runs
// through active, parent, x, y, text, notes and category in that order, so an element standing before the one read just
// before it is not found. Texts are taken as they stand.
//
// Mended, each with a line in repairs: a number that is missing, empty, not a number or out
// of its type's range becomes 0; a parent that names no block of the file, or the block
// itself, becomes 0; an empty block element becomes a free slot; blocks past the hundredth
// are left out. Kept as they are: a parent that
// names a free slot, and loops of parent links.
ReadOutcome parseAnalysisText(const QString &text, const QLocale &locale = QLocale());

// The message box text for a file that could not be read: the file and the reason.
QString readFailureMessage(const QString &path, const QString &reason);

// One message box text naming the file and what was repaired in it, listing at most ten
// repairs and counting the rest. Empty when there is nothing to tell.
QString repairMessage(const QString &path, const QStringList &repairs);

} // namespace tessik

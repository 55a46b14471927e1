#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tessik {

// The path helpers of the whole program. A folder separator is "/" everywhere and also "\" on
// Windows; elsewhere a backslash is an ordinary character of a file name.
bool isFolderSeparator(QChar c);

// The file name of a path without its folder and without the ".rca.xml" ending (found
// anywhere in the name, letter case ignored).
QString FileNameOnly(const QString &Path);

// The folder part of a path up to and including its last separator; empty when it has none.
QString FindPath(const QString &fname);

// The folder with a separator at its end, the native one when one must be added.
QString withTrailingSeparator(const QString &folder);

// A file inside a folder that may or may not end with a separator.
QString joinPath(const QString &folder, const QString &name);

inline const QString kAnalysisEnding = QStringLiteral(".rca.xml");

// A name as the file system's own bytes, and back. Qt's own conversion turns bytes that are no
// valid UTF-8 into U+FFFD, and a file so named can then be neither read nor written again under
// its name. Here each such byte becomes one unpaired low surrogate (U+DC80 to U+DCFF), which no
// valid UTF-8 gives, so the bytes come back exactly; a valid name is the text Qt gives.
QString fileNameFromBytes(QByteArrayView bytes);
QByteArray fileNameBytes(QStringView name);
// The same name for a person to read: each byte that is no text shows as U+FFFD.
QString shownFileName(const QString &name);

// The path made absolute against the current folder, by its text alone, so that a name given as
// bytes keeps them (QFileInfo would pass it through Qt's own conversion).
QString absoluteFilePath(const QString &path);

} // namespace tessik

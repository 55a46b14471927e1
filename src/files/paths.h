#pragma once

#include <QString>

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

} // namespace tessik

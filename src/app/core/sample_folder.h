#pragma once

#include <QString>

namespace tessik {

// The folder that holds the sample analyses: the installed data folder when the program runs
// from an installation (found relative to the program, so a moved installation still finds it),
// otherwise the program's own folder, where the build places them.
QString sampleFolder(const QString &programFolder);

} // namespace tessik

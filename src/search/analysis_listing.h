#pragma once

#include "files/io_result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <atomic>
#include <vector>

namespace tessik {

// The analysis files of one folder, as the directory listing gave them: ordinary files (or
// links to ordinary files) whose names end in ".rca.xml" in any letter case, hidden ones and
// everything that is no file left out. Names are kept as the file system's own bytes, so a name
// that is not valid in the locale's encoding still opens.
// When the folder cannot be listed, ok is false and reason says why.
struct AnalysisListing : IoResult {
    QString folder;
    std::vector<QByteArray> fileNames; // in the order the listing returned them
};

class ListingSink;

// Stops early, with what it found so far, once `stop` becomes true. A sink is told of each name
// as it is listed.
AnalysisListing listAnalysisFiles(const QString &folder, const std::atomic<bool> *stop = nullptr,
                                  ListingSink *sink = nullptr);

// A name the listing takes: it ends in ".rca.xml" (letter case ignored) and is not hidden.
bool isAnalysisFileName(QByteArrayView fileName);

// The name the result list shows: the file name cut just before its first ".rca.xml",
// letter case ignored.
QByteArrayView analysisNameOf(QByteArrayView fileName);

} // namespace tessik

#pragma once

#include <QString>

namespace tessik {

class Platform;
class Surface;

// Every snapshot goes to this one file in the current folder and replaces the one before.
inline const QString kSnapshotFileName = QStringLiteral("RCA_Snapshot.bmp");

struct SnapshotResult {
    bool ok = false;
    QString path;    // the full path written, or that could not be written
    QString message; // on failure, the message box text: the file and the reason
};

// Writes the diagram's retained picture as a 24-bit bitmap to kSnapshotFileName in the
// platform's current folder, then hands that file to the picture viewer. A failed write
// leaves any older snapshot as it was and opens nothing.
SnapshotResult takeSnapshot(const Surface &diagram, Platform &platform);

} // namespace tessik

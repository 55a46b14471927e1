#pragma once

#include "files/io_result.h"

#include <QImage>
#include <QString>

namespace tessik {

class Platform;

// Every snapshot goes to this one file in the current folder and replaces the one before.
inline const QString kSnapshotFileName = QStringLiteral("RCA_Snapshot.bmp");

struct SnapshotFile : IoResult {
    QString path; // the full path written, or that could not be written
};

// Writes the picture as a 24-bit bitmap to kSnapshotFileName in the platform's current folder,
// then hands that file to the picture viewer. A failed write leaves any older snapshot as it
// was and opens nothing. A link at the name is replaced, not written through.
SnapshotFile takeSnapshot(const QImage &picture, Platform &platform);

// The message box text for a snapshot that could not be written.
QString snapshotFailureMessage(const SnapshotFile &result);

} // namespace tessik

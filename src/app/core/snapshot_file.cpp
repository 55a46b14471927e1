#include "app/core/snapshot_file.h"

#include "files/paths.h"
#include "files/safe_write.h"
#include "platform/core/platform.h"
#include "render/bmp.h"

namespace tessik {

SnapshotFile takeSnapshot(const QImage &picture, Platform &platform)
{
    SnapshotFile result;
    const QString folder = platform.currentFolder();
    // A relative name would land wherever the process happens to be; with no current folder
    // (it was removed under us) there is no sensible place.
    if (folder.isEmpty()) {
        result.path = kSnapshotFileName;
        result.reason = QStringLiteral("The current folder is not available.");
        return result;
    }
    result.path = joinPath(folder, kSnapshotFileName);
    // The folder may be shared: a link someone put at the name is replaced by the picture, never
    // written through to the file it leads to.
    static_cast<IoResult &>(result) = writeFileSafely(result.path, encodeBmp24(picture), AtLink::NotFollowed);
    if (result.ok)
        platform.openUrl(result.path);
    return result;
}

QString snapshotFailureMessage(const SnapshotFile &result)
{
    return fileProblemMessage(QStringLiteral("The snapshot could not be saved as this file:"), result.path,
                              result.reason);
}

} // namespace tessik

#include "render/snapshot.h"

#include "app/core/paths.h"
#include "files/safe_write.h"
#include "platform/core/platform.h"
#include "render/bmp.h"
#include "render/surface.h"

#include <QDir>

namespace tessik {

namespace {

SnapshotResult failure(const QString &path, const QString &reason)
{
    return {false, path,
            QStringLiteral("The snapshot could not be saved as %1.\n%2").arg(QDir::toNativeSeparators(path), reason)};
}

} // namespace

SnapshotResult takeSnapshot(const Surface &diagram, Platform &platform)
{
    const QString folder = platform.currentFolder();
    // A relative name would land wherever the process happens to be; with no current folder
    // (it was removed under us) there is no sensible place.
    if (folder.isEmpty())
        return failure(kSnapshotFileName, QStringLiteral("The current folder is not available."));

    const QString path = joinPath(folder, kSnapshotFileName);
    const WriteResult written = writeFileSafely(path, encodeBmp24(diagram.image()));
    if (!written.ok)
        return failure(path, written.reason);

    platform.openUrl(path);
    return {true, path, QString()};
}

} // namespace tessik

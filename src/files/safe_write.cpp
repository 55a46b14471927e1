#include "files/safe_write.h"

#include <QFileInfo>
#include <QSaveFile>

namespace tessik {

QString describeUnwritablePath(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty())
        return QStringLiteral("No file name was given.");
    if (info.isDir())
        return QStringLiteral("A folder of that name is in the way.");
    const QFileInfo folder(info.absolutePath());
    if (!folder.exists())
        return QStringLiteral("The folder does not exist.");
    if (!folder.isDir())
        return QStringLiteral("Part of the path is a file, not a folder.");
    return QString();
}

IoResult writeFileSafely(const QString &path, const QByteArray &bytes)
{
    if (const QString reason = describeUnwritablePath(path); !reason.isEmpty())
        return IoResult::failure(reason);
    QSaveFile file(path);
    return writeThroughSaveFile(file, bytes);
}

IoResult writeThroughSaveFile(QSaveFile &file, const QByteArray &bytes)
{
    // Unbuffered, so every failed write is seen here: bytes left in a buffer that fail to reach
    // the disk at commit time would otherwise be renamed into place as a cut-off file, reported
    // as a success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return IoResult::failure(file.errorString());
    // A device may take part of the bytes and fail only on the next write (a disk that
    // fills up); writing on until it fails gives the user the device's own reason.
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 chunk = file.write(bytes.constData() + written, bytes.size() - written);
        if (chunk <= 0)
            return IoResult::failure(file.errorString());
        written += chunk;
    }
    if (!file.flush())
        return IoResult::failure(file.errorString());
    if (!file.commit())
        return IoResult::failure(file.errorString());
    return IoResult::success();
}

} // namespace tessik

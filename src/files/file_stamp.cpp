#include "files/file_stamp.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tessik {

namespace {

constexpr QCryptographicHash::Algorithm kStampHash = QCryptographicHash::Blake2b_256;

} // namespace

FileStamp FileStamp::of(const QByteArray &bytes)
{
    return {true, bytes.size(), QCryptographicHash::hash(bytes, kStampHash)};
}

FileStamp stampOnDisk(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return file.error() == QFileDevice::NoError ? FileStamp::of(bytes) : FileStamp();
}

bool changedSince(const QString &path, const FileStamp &stamp)
{
    const QFileInfo info(path);
    if (!stamp.known || !info.exists() || !info.isFile())
        return false;
    if (info.size() != stamp.size)
        return true;
    QFile file(path);
    QCryptographicHash hash(kStampHash);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file) || file.error() != QFileDevice::NoError)
        return true;
    return hash.result() != stamp.digest;
}

QString changedFileQuestion(const QString &path)
{
    return QStringLiteral("This file has changed since Tessik last opened or saved it; another program may have "
                          "saved its own changes there:\r\n\r\n%1\r\n\r\n"
                          "Do you want to replace it with this analysis?\r\n\r\n"
                          "Yes replaces the file, and those changes are lost; No saves nothing.")
        .arg(QDir::toNativeSeparators(path));
}

} // namespace tessik

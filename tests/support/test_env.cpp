#include "support/test_env.h"

#include <QDir>
#include <QFile>

namespace tessik::test {

TestEnvironment::TestEnvironment()
{
    QDir(root.path()).mkpath(QStringLiteral("appdata"));
    QDir(root.path()).mkpath(QStringLiteral("program"));
    QDir(root.path()).mkpath(QStringLiteral("work"));
    platform.environment.insert(QStringLiteral("AppData"), path(QStringLiteral("appdata")));
    platform.home = path(QStringLiteral("home"));
    platform.program = programFolder();
    platform.current = path(QStringLiteral("work"));
}

QString TestEnvironment::path(const QString &relative) const
{
    return QDir::toNativeSeparators(QDir(root.path()).filePath(relative));
}

QString TestEnvironment::userFolder() const
{
    return path(QStringLiteral("appdata/Tessik")) + QDir::separator();
}

QString TestEnvironment::programFolder() const
{
    return path(QStringLiteral("program"));
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size();
}

} // namespace tessik::test

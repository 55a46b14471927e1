#include "support/test_env.h"

#include <QDir>
#include <QFile>

namespace tessik::test {

TestEnvironment::TestEnvironment()
{
    QDir(root.path()).mkpath("work");
    platform.environment.insert("AppData", path("appdata"));
    platform.home = path("home");
    platform.program = path("program");
    platform.current = path("work");
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace tessik::test

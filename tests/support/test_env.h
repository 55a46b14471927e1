#pragma once

#include "platform/fake/fake_platform.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace tessik::test {

// A fake platform whose per-user folder, program folder and current folder live in a
// temporary folder, so a test never touches the real home folder or the source tree.
struct TestEnvironment {
    QTemporaryDir root;
    FakePlatform platform;

    TestEnvironment();
    QString path(const QString &relative) const; // inside the temporary root
    QString userFolder() const;                  // the per-user folder start-up will use
    QString programFolder() const;
};

QByteArray readBytes(const QString &path);
bool writeBytes(const QString &path, const QByteArray &bytes);

} // namespace tessik::test

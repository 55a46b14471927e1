#pragma once

#include "model/block_table.h"
#include "platform/fake/fake_platform.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/resource.h>

namespace tessik::test {

// A fake platform whose per-user folder (appdata/Tessik), program folder (program) and current
// folder (work) live in a temporary folder, so a test never touches the home folder or the sources.
struct TestEnvironment {
    QTemporaryDir root;
    FakePlatform platform;

    TestEnvironment();
    ~TestEnvironment();
    TestEnvironment(const TestEnvironment &) = delete;
    TestEnvironment &operator=(const TestEnvironment &) = delete;
    QString path(const QString &relative) const { return root.path() + '/' + relative; }
    QString userFolder() const { return path("appdata/Tessik/"); }
    QString programFolder() const { return path("program"); }
};

// While it lives, the disk is full as a write sees it: no file may grow past 100 bytes.
class FullDisk {
public:
    FullDisk();
    ~FullDisk();
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

private:
    rlimit m_before{};
};

// A fixture of tests/data.
inline const auto dataFile = [](const QString &name) -> QString { return TESSIK_TEST_DATA "/" + name; };
// A table kept in tests/data as text, for tables whose rows are plain values: one column "row"
// holding a row's fields, a row a line, its fields separated by tabs, the first naming the row.
// Blank lines and lines starting with '#' are left out; \t, \r and \n in a field stand for a tab,
// a carriage return and a line feed.
void addRowsFrom(const QString &tableFile);
QByteArray readBytes(const QString &path);
// The header fields, then a line a used slot: live mark, parent, corner and texts.
QStringList analysisLines(const QString &description, const QString &email, const QString &office,
                          const BlockTable &table);
bool writeBytes(const QString &path, const QByteArray &bytes); // creates the folders on the way
// Outputs recorded from the program and checked once by eye, in tests/data: a test compares what it
// makes with them. With TESSIK_RECORD set in the environment the tests record them afresh instead.
inline const bool kRecording = qEnvironmentVariableIsSet("TESSIK_RECORD");
// The lines made against the recorded file's, the first line that differs named with its number.
void compareWithRecorded(const QStringList &made, const QString &recordedFile);
// Where two pictures differ: how many pixels, the first, and both colours there; empty when alike.
QString pictureDifference(const QImage &recorded, const QImage &drawn);

} // namespace tessik::test

#include "files/safe_write.h"
#include "support/full_disk_save_file.h"
#include "support/test_env.h"

#include <QDir>
#include <QTest>

using namespace tessik;
using namespace tessik::test;

namespace {

const QByteArray kPrevious = QByteArray("<analysis>previous</analysis>\r\n\x81\x8D\xFF", 34);

const QByteArray kNew(64 * 1024, 'n');

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

class TestSafeWrite : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void unwritablePathsFailWithAReason_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::newRow("missing folder") << "missing/a.rca.xml";
        QTest::newRow("path is a folder") << "folder.rca.xml";
        QTest::newRow("under a regular file") << "previous.rca.xml/a.rca.xml";
        QTest::newRow("empty path") << "";
    }
    void unwritablePathsFailWithAReason()
    {
        QFETCH(QString, relative);
        TestEnvironment env;
        QVERIFY(writeBytes(env.path(QStringLiteral("previous.rca.xml")), kPrevious));
        QVERIFY(QDir().mkdir(env.path(QStringLiteral("folder.rca.xml"))));
        const IoResult result = writeFileSafely(relative.isEmpty() ? QString() : env.path(relative), kNew);
        QVERIFY(!result.ok);
        QVERIFY(!result.reason.isEmpty());
        QCOMPARE(readBytes(env.path(QStringLiteral("previous.rca.xml"))), kPrevious);
        QVERIFY(QFileInfo(env.path(QStringLiteral("folder.rca.xml"))).isDir());
        QCOMPARE(filesIn(env.root.path()), QStringList{QStringLiteral("previous.rca.xml")});
    }

    // A disk that fills up after N bytes: the file that was there stays byte for byte, a new
    // one is not created, and no half-written temporary file is left beside it.
    void fullDiskLeavesThePreviousFile_data()
    {
        QTest::addColumn<qint64>("room");
        QTest::addColumn<bool>("previousFile");
        QTest::newRow("nothing fits") << qint64(0) << true;
        QTest::newRow("all but one byte") << kNew.size() - 1 << true;
        QTest::newRow("exactly enough") << kNew.size() << true;
        QTest::newRow("new file, half fits") << kNew.size() / 2 << false;
    }
    void fullDiskLeavesThePreviousFile()
    {
        QFETCH(qint64, room);
        QFETCH(bool, previousFile);
        TestEnvironment env;
        const QString path = env.path(QStringLiteral("a.rca.xml"));
        if (previousFile)
            QVERIFY(writeBytes(path, kPrevious));
        const bool fits = room >= kNew.size();

        FullDiskSaveFile file(path, room);
        const IoResult result = writeThroughSaveFile(file, kNew);
        QCOMPARE(result.ok, fits);
        QCOMPARE(result.reason, fits ? QString() : QStringLiteral("No space left on device"));
        if (fits || previousFile)
            QCOMPARE(readBytes(path), fits ? kNew : kPrevious);
        QCOMPARE(filesIn(env.root.path()), fits || previousFile ? QStringList{"a.rca.xml"} : QStringList());
    }
};

QTEST_GUILESS_MAIN(TestSafeWrite)
#include "test_safe_write.moc"

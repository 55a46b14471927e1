#include "files/analysis_writer.h"
#include "files/safe_write.h"
#include "support/full_disk_save_file.h"
#include "support/test_env.h"

#include <QDir>
#include <QSaveFile>
#include <QTest>

using namespace tessik;
using namespace tessik::test;

namespace {

const QByteArray kPrevious = QByteArray("<analysis>previous</analysis>\r\n\x81\x8D\xFF", 34);

Analysis sample()
{
    Analysis analysis;
    analysis.description = QStringLiteral("Pump tripped");
    analysis.office = QStringLiteral("Plant South");
    for (int i = 0; i < 30; ++i) {
        const int id = analysis.table.addBlock(float(5 + 15 * (i % 4)), float(-15 + 12 * (i / 4)));
        analysis.table.BlockText[id] = QStringLiteral("Cause number %1").arg(id);
    }
    return analysis;
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

class TestSafeWrite : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void createsAndReplaces()
    {
        test::TestEnvironment env;
        const QString path = env.path(QStringLiteral("a.rca.xml"));
        QVERIFY(writeFileSafely(path, "first").ok);
        QCOMPARE(test::readBytes(path), QByteArray("first"));
        QVERIFY(writeFileSafely(path, "second, longer").ok);
        QCOMPARE(test::readBytes(path), QByteArray("second, longer"));
        QCOMPARE(filesIn(env.root.path()), QStringList{QStringLiteral("a.rca.xml")});
    }

    void unwritablePathsFailAndDamageNothing_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::newRow("missing folder") << "missing/a.rca.xml";
        QTest::newRow("path is a folder") << "folder.rca.xml";
        QTest::newRow("under a regular file") << "previous.rca.xml/a.rca.xml";
        QTest::newRow("empty path") << "";
    }
    void unwritablePathsFailAndDamageNothing()
    {
        QFETCH(QString, relative);
        test::TestEnvironment env;
        const QString previous = env.path(QStringLiteral("previous.rca.xml"));
        QVERIFY(test::writeBytes(previous, kPrevious));
        const QString folder = env.path(QStringLiteral("folder.rca.xml"));
        QVERIFY(QDir().mkdir(folder));
        QVERIFY(test::writeBytes(folder + QStringLiteral("/inside.txt"), "kept"));
        const QStringList before = filesIn(env.root.path());

        const QString path = relative.isEmpty() ? QString() : env.path(relative);
        const WriteResult result = saveAnalysisFile(path, sample());
        QVERIFY(!result.ok);
        QVERIFY(!result.reason.isEmpty());
        QCOMPARE(test::readBytes(previous), kPrevious);
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(test::readBytes(folder + QStringLiteral("/inside.txt")), QByteArray("kept"));
        QCOMPARE(filesIn(folder), QStringList{QStringLiteral("inside.txt")});
        QCOMPARE(filesIn(env.root.path()), before);
        QVERIFY(!QFileInfo::exists(env.path(QStringLiteral("missing"))));
    }

    void fullDiskLeavesThePreviousFile_data()
    {
        QTest::addColumn<qint64>("budget");
        QTest::addColumn<bool>("succeeds");
        const qint64 size = writeAnalysis(sample()).size();
        QTest::newRow("nothing fits") << qint64(0) << false;
        QTest::newRow("one byte fits") << qint64(1) << false;
        QTest::newRow("half fits") << size / 2 << false;
        QTest::newRow("all but one byte") << size - 1 << false;
        QTest::newRow("exactly enough") << size << true;
    }
    void fullDiskLeavesThePreviousFile()
    {
        QFETCH(qint64, budget);
        QFETCH(bool, succeeds);
        test::TestEnvironment env;
        const QString path = env.path(QStringLiteral("a.rca.xml"));
        QVERIFY(test::writeBytes(path, kPrevious));
        const QByteArray bytes = writeAnalysis(sample());

        FullDiskSaveFile file(path, budget);
        const WriteResult result = writeThroughSaveFile(file, bytes);
        QCOMPARE(result.ok, succeeds);
        QCOMPARE(test::readBytes(path), succeeds ? bytes : kPrevious);
        if (!succeeds)
            QVERIFY(!result.reason.isEmpty());
        // No half-written temporary file is left beside it.
        QCOMPARE(filesIn(env.root.path()), QStringList{QStringLiteral("a.rca.xml")});
    }

    void fullDiskOnANewFileCreatesNothing()
    {
        test::TestEnvironment env;
        const QString path = env.path(QStringLiteral("new.rca.xml"));
        FullDiskSaveFile file(path, 10);
        const WriteResult result = writeThroughSaveFile(file, writeAnalysis(sample()));
        QVERIFY(!result.ok);
        QCOMPARE(result.reason, QStringLiteral("No space left on device"));
        QCOMPARE(filesIn(env.root.path()), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestSafeWrite)
#include "test_safe_write.moc"

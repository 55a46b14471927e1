#include "app/core/snapshot_file.h"
#include "render/plot_diagram.h"
#include "render/surface.h"
#include "support/test_env.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

using namespace tessik;
using tessik::test::TestEnvironment;

namespace {

// One block, a search hit when the phrase is "flood": a red outline and a pink shadow.
Surface diagramOf(int width, int height, const QString &keyWord)
{
    BlockTable table;
    table.addBlock(5, 0);
    table.BlockText[1] = QStringLiteral("Flooding on Main St");
    Surface surface(width, height);
    surface.setMapping(PixelMapping::forStartupSize(670, 430));
    PlotDiagram(surface, table, DiagramColours(), keyWord);
    return surface;
}

// The file is a 24-bit bitmap that Qt's own reader gives back pixel for pixel.
void verifyHolds(const QString &path, const QImage &picture)
{
    const QByteArray bytes = tessik::test::readBytes(path);
    QVERIFY(bytes.startsWith("BM") && bytes.size() > 28);
    QCOMPARE(int(bytes[28]), 24);
    QImage read;
    QVERIFY(read.loadFromData(bytes, "BMP"));
    QCOMPARE(read.convertToFormat(QImage::Format_RGB32), picture);
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

} // namespace

class TestSnapshot : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Every snapshot replaces the one before in the one file, which holds the exact picture.
    void laterSnapshotReplacesTheFileWithTheExactPicture_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        // Rows that need 2, 3, 1 and no bytes of padding.
        QTest::newRow("start-up size") << 670 << 430;
        QTest::newRow("one pixel") << 1 << 1;
        QTest::newRow("three wide") << 3 << 2;
        QTest::newRow("four wide") << 4 << 5;
    }
    void laterSnapshotReplacesTheFileWithTheExactPicture()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        TestEnvironment env;
        const SnapshotFile first = takeSnapshot(diagramOf(width, height, QString()).image(), env.platform);
        Surface diagram = diagramOf(width, height, QStringLiteral("flood"));
        // Distinct corners, so a flipped or shifted row shows.
        QImage image = diagram.image();
        image.setPixel(0, 0, qRgb(1, 2, 3));
        image.setPixel(width - 1, height - 1, qRgb(250, 240, 230));
        diagram.setImage(image);
        const SnapshotFile second = takeSnapshot(diagram.image(), env.platform);
        QVERIFY2(first.ok && second.ok, qPrintable(first.reason + second.reason));
        QCOMPARE(second.path, QDir(env.platform.currentFolder()).filePath(kSnapshotFileName));
        QCOMPARE(filesIn(env.platform.currentFolder()), QStringList{kSnapshotFileName});
        verifyHolds(second.path, image);
        QCOMPARE(env.platform.openedUrls, QStringList({first.path, second.path}));
    }

    void failedSnapshotSaysWhyAndOpensNothing_data()
    {
        QTest::addColumn<QString>("folder"); // relative to the test's root; "-" for no current folder
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder vanished") << QStringLiteral("gone") << "folder does not exist";
        QTest::newRow("a folder named like the file")
            << QStringLiteral("blocked") << "folder of that name is in the way";
        QTest::newRow("part of the path is a file") << QStringLiteral("work/notes.txt") << "path is a file";
        QTest::newRow("no current folder") << QStringLiteral("-") << "current folder is not available";
    }
    void failedSnapshotSaysWhyAndOpensNothing()
    {
        QFETCH(QString, folder);
        QFETCH(QString, reason);
        TestEnvironment env;
        QVERIFY(tessik::test::writeBytes(env.path(QStringLiteral("work/notes.txt")), "notes"));
        QVERIFY(QDir(env.root.path()).mkpath(QStringLiteral("blocked/RCA_Snapshot.bmp")));
        auto everything = [&] {
            return filesIn(env.root.path()) + filesIn(env.path("work")) + filesIn(env.path("blocked"));
        };
        const QStringList before = everything();

        env.platform.current = folder == QLatin1String("-") ? QString() : env.path(folder);
        const SnapshotFile result = takeSnapshot(diagramOf(670, 430, QString()).image(), env.platform);

        QVERIFY(!result.ok);
        const QString message = snapshotFailureMessage(result);
        QVERIFY2(message.contains(kSnapshotFileName) && message.contains(reason), qPrintable(message));
        QVERIFY(env.platform.openedUrls.isEmpty());
        QCOMPARE(everything(), before);
        QVERIFY(QFileInfo(env.path(QStringLiteral("blocked/RCA_Snapshot.bmp"))).isDir());
    }
};

QTEST_MAIN(TestSnapshot)
#include "test_snapshot.moc"

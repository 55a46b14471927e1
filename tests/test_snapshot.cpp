#include "render/animation.h"
#include "render/snapshot.h"
#include "render/surface.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QtEndian>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace tessik;
using tessik::test::TestEnvironment;

namespace {

constexpr int kWidth = 670;
constexpr int kHeight = 430;

Surface diagramSurface(int width = kWidth, int height = kHeight)
{
    Surface surface(width, height);
    surface.setMapping(PixelMapping::forStartupSize(kWidth, kHeight));
    return surface;
}

// Block 1 has children 2 and 4, block 2 has child 3.
BlockTable chainTable()
{
    BlockTable table;
    for (const auto &p : {QPointF(5, 0), QPointF(25, 0), QPointF(45, 0), QPointF(5, 13)})
        table.addBlock(float(p.x()), float(p.y()));
    table.BlockText[1] = QStringLiteral("Flooding on Main St");
    table.BlockCategory[2] = QStringLiteral("Motives");
    table.BlockParent[2] = 1;
    table.BlockParent[4] = 1;
    table.BlockParent[3] = 2;
    return table;
}

quint32 read32(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}
quint16 read16(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

// Reads a 24-bit bitmap by hand, so the test does not lean on the image library's reader.
struct Bitmap {
    int width = 0;
    int height = 0;
    QByteArray bytes;

    static Bitmap parse(const QByteArray &bytes)
    {
        Bitmap bmp;
        if (bytes.size() < 54 || !bytes.startsWith("BM"))
            return bmp;
        if (read16(bytes, 28) != 24 || read32(bytes, 30) != 0)
            return bmp;
        const int width = int(read32(bytes, 18)), height = int(read32(bytes, 22));
        const int rowBytes = (width * 3 + 3) & ~3;
        if (int(read32(bytes, 2)) != bytes.size() || int(read32(bytes, 10)) + rowBytes * height != bytes.size())
            return bmp;
        bmp.width = width;
        bmp.height = height;
        bmp.bytes = bytes;
        return bmp;
    }
    bool valid() const { return !bytes.isEmpty(); }
    Colour pixel(int x, int y) const
    {
        const int rowBytes = (width * 3 + 3) & ~3;
        const int offset = int(read32(bytes, 10)) + (height - 1 - y) * rowBytes + x * 3;
        const auto *p = reinterpret_cast<const uchar *>(bytes.constData()) + offset;
        return RGB(p[2], p[1], p[0]);
    }
    bool sameAs(const Surface &surface) const
    {
        if (width != surface.pixelWidth() || height != surface.pixelHeight())
            return false;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (pixel(x, y) != surface.point(x, y))
                    return false;
        return true;
    }
};

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

// A filesystem that is full after a few bytes, for this process only.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool active() const { return m_active; }

private:
    rlimit m_saved{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_active = false;
};

} // namespace

class TestSnapshot : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bitmapKeepsEveryPixel_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        // Widths whose rows need 0, 1, 2 and 3 bytes of padding.
        QTest::newRow("start-up size") << kWidth << kHeight;
        QTest::newRow("one pixel") << 1 << 1;
        QTest::newRow("two wide") << 2 << 3;
        QTest::newRow("three wide") << 3 << 2;
        QTest::newRow("four wide") << 4 << 5;
    }
    void bitmapKeepsEveryPixel()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        TestEnvironment env;
        Surface diagram = diagramSurface(width, height);
        PlotDiagram(diagram, chainTable(), DiagramColours(), QStringLiteral("flood"));
        // Distinct colours in every corner, so a flipped or shifted row shows.
        QImage image = diagram.image();
        image.setPixel(0, 0, toPixel(RGB(1, 2, 3)));
        image.setPixel(width - 1, 0, toPixel(RGB(17, 34, 51)));
        image.setPixel(width - 1, height - 1, toPixel(RGB(250, 240, 230)));
        diagram.setImage(image);

        const SnapshotResult result = takeSnapshot(diagram, env.platform);
        QVERIFY2(result.ok, qPrintable(result.message));
        const Bitmap bmp = Bitmap::parse(tessik::test::readBytes(result.path));
        QVERIFY(bmp.valid());
        QCOMPARE(bmp.width, width);
        QCOMPARE(bmp.height, height);
        QVERIFY(bmp.sameAs(diagram));
        QCOMPARE(bmp.pixel(width - 1, height - 1), RGB(250, 240, 230));
    }

    void twoSnapshotsLeaveOneFileWithTheLaterPicture()
    {
        TestEnvironment env;
        const BlockTable table = chainTable();
        Surface diagram = diagramSurface();
        const PixelMapping &m = diagram.mapping();
        const int top = m.ScaleToPixelsY(table.BlockY[1]);
        const int midX = m.ScaleToPixelsX(table.BlockX[1] + 5);

        PlotDiagram(diagram, table, DiagramColours(), QStringLiteral("flood"));
        const SnapshotResult first = takeSnapshot(diagram, env.platform);
        QVERIFY2(first.ok, qPrintable(first.message));
        QCOMPARE(Bitmap::parse(tessik::test::readBytes(first.path)).pixel(midX, top), kRed);

        PlotDiagram(diagram, table, DiagramColours(), QString());
        const SnapshotResult second = takeSnapshot(diagram, env.platform);
        QVERIFY2(second.ok, qPrintable(second.message));
        QCOMPARE(second.path, first.path);

        const QString folder = env.platform.currentFolder();
        QCOMPARE(filesIn(folder), QStringList{kSnapshotFileName});
        const Bitmap bmp = Bitmap::parse(tessik::test::readBytes(second.path));
        QVERIFY(bmp.valid());
        QCOMPARE(bmp.pixel(midX, top), kBlack);
        QCOMPARE(bmp.pixel(0, 0), kWhite);
        QCOMPARE(bmp.pixel(m.ScaleToPixelsX(table.BlockX[2]) + 20, m.ScaleToPixelsY(table.BlockY[2]) + 20),
                 RGB(96, 246, 121));
        QVERIFY(bmp.sameAs(diagram));

        QCOMPARE(env.platform.openedUrls, QStringList({first.path, second.path}));
    }

    void snapshotLandsInTheCurrentFolder()
    {
        TestEnvironment env;
        // As after loading an analysis from another folder through the file dialog.
        QVERIFY(QDir(env.root.path()).mkpath(QStringLiteral("elsewhere")));
        const QString elsewhere = env.path(QStringLiteral("elsewhere"));
        const QString start = env.platform.currentFolder();
        env.platform.setCurrentFolder(elsewhere);

        const SnapshotResult result = takeSnapshot(diagramSurface(), env.platform);
        QVERIFY2(result.ok, qPrintable(result.message));
        QCOMPARE(QFileInfo(result.path).absolutePath(), QFileInfo(elsewhere).absoluteFilePath());
        QVERIFY(QFileInfo::exists(QDir(elsewhere).filePath(kSnapshotFileName)));
        QVERIFY(!QFileInfo::exists(QDir(start).filePath(kSnapshotFileName)));
        QCOMPARE(env.platform.openedUrls, QStringList{result.path});
    }

    void snapshotAfterAnimationStepHoldsTheFadedPicture()
    {
        TestEnvironment env;
        const BlockTable table = chainTable();
        Surface diagram = diagramSurface();
        Surface buffer = diagramSurface();
        PlotDiagram(diagram, table, DiagramColours(), QString());
        AnimationState state;
        state.step(table, AnimationDirection::Backward);
        PlotDiagramHidden(buffer, diagram, table, DiagramColours(), state, env.platform);
        state.step(table, AnimationDirection::Backward); // 3 and 4 revealing, 1 and 2 hidden
        PlotDiagramHidden(buffer, diagram, table, DiagramColours(), state, env.platform);

        const SnapshotResult result = takeSnapshot(diagram, env.platform);
        QVERIFY2(result.ok, qPrintable(result.message));
        const Bitmap bmp = Bitmap::parse(tessik::test::readBytes(result.path));
        QVERIFY(bmp.sameAs(diagram));
        const PixelMapping &m = diagram.mapping();
        auto top = [&](int id) {
            return bmp.pixel(m.ScaleToPixelsX(table.BlockX[size_t(id)] + 5),
                             m.ScaleToPixelsY(table.BlockY[size_t(id)]));
        };
        for (int id : {3, 4}) {
            // About 2 % of the picture before the step is still there.
            QVERIFY(redOf(top(id)) > 245 && greenOf(top(id)) < 10 && blueOf(top(id)) < 10);
        }
        for (int id : {1, 2}) {
            QVERIFY(redOf(top(id)) > 245 && greenOf(top(id)) > 245 && blueOf(top(id)) > 245);
        }
    }

    void failedSnapshotSaysWhyAndOpensNothing_data()
    {
        QTest::addColumn<QString>("folder"); // relative to the test's root; "-" for no current folder
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder vanished") << "gone"
                                         << "folder does not exist";
        QTest::newRow("a folder named like the file") << "blocked"
                                                      << "folder of that name is in the way";
        QTest::newRow("part of the path is a file") << "work/notes.txt"
                                                    << "path is a file";
        QTest::newRow("no current folder") << "-"
                                           << "current folder is not available";
        QTest::newRow("read-only folder") << "readonly"
                                          << "";
    }
    void failedSnapshotSaysWhyAndOpensNothing()
    {
        QFETCH(QString, folder);
        QFETCH(QString, reason);
        TestEnvironment env;
        QVERIFY(tessik::test::writeBytes(env.path(QStringLiteral("work/notes.txt")), "notes"));
        QVERIFY(QDir(env.root.path()).mkpath(QStringLiteral("blocked/RCA_Snapshot.bmp")));
        QVERIFY(QDir(env.root.path()).mkpath(QStringLiteral("readonly")));
        const QString readOnly = env.path(QStringLiteral("readonly"));
        QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        if (folder == QLatin1String("readonly") && QFileInfo(readOnly).isWritable())
            QSKIP("permissions do not stop this user from writing");

        env.platform.current = folder == QLatin1String("-") ? QString() : env.path(folder);
        const SnapshotResult result = takeSnapshot(diagramSurface(), env.platform);
        QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        QVERIFY(!result.ok);
        QVERIFY2(result.message.contains(kSnapshotFileName), qPrintable(result.message));
        QVERIFY2(result.message.contains(reason), qPrintable(result.message));
        const QStringList lines = result.message.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        QVERIFY(!lines[1].trimmed().isEmpty());
        QVERIFY(env.platform.openedUrls.isEmpty());
        QVERIFY(!QFileInfo(env.path(QStringLiteral("work/RCA_Snapshot.bmp"))).exists());
        QVERIFY(!QFileInfo::exists(QDir(readOnly).filePath(kSnapshotFileName)));
        QVERIFY(QFileInfo(env.path(QStringLiteral("blocked/RCA_Snapshot.bmp"))).isDir());
        QCOMPARE(filesIn(readOnly), QStringList());
    }

    void fullDiskKeepsTheOlderSnapshot()
    {
        TestEnvironment env;
        const BlockTable table = chainTable();
        Surface diagram = diagramSurface();
        PlotDiagram(diagram, table, DiagramColours(), QStringLiteral("flood"));
        const SnapshotResult first = takeSnapshot(diagram, env.platform);
        QVERIFY2(first.ok, qPrintable(first.message));
        const QByteArray before = tessik::test::readBytes(first.path);

        PlotDiagram(diagram, table, DiagramColours(), QString());
        SnapshotResult second;
        {
            const FileSizeLimit full(4096);
            if (!full.active())
                QSKIP("the file size limit cannot be set here");
            second = takeSnapshot(diagram, env.platform);
        }
        QVERIFY(!second.ok);
        QVERIFY2(second.message.contains(kSnapshotFileName), qPrintable(second.message));
        QCOMPARE(tessik::test::readBytes(first.path), before);
        QCOMPARE(filesIn(env.platform.currentFolder()), QStringList{kSnapshotFileName});
        QCOMPARE(env.platform.openedUrls, QStringList{first.path});
    }
};

QTEST_MAIN(TestSnapshot)
#include "test_snapshot.moc"

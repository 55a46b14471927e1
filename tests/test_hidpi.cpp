// Drawing on high-density screens: the diagram at the device's full resolution, while
// positions, hit tests and the snapshot stay in pixels of the mapping. The window part runs as
// on a screen of device pixel ratio 2.
#include "render/plot_diagram.h"
#include "render/surface.h"
#include "support/gui_driver.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <climits>

using namespace tessik;
using namespace tessik::test;

namespace {

constexpr Colour kMotives = RGB(96, 246, 121);
constexpr Colour kGrey = RGB(164, 164, 164);

// A block's box at (0, 0) in diagram units: pixels 10, 215 to 110, 315 of the mapping.
struct Scene {
    Surface surface;
    BlockTable table;
    DiagramColours colours;

    explicit Scene(qreal ratio, const QString &caption = QString())
    {
        surface.setDevicePixelRatio(ratio);
        surface.resize(670, 430);
        surface.setMapping(PixelMapping::forStartupSize(670, 430));
        const int id = table.addBlock(5, 5);
        table.BlockCategory[id] = QStringLiteral("Motives");
        table.BlockText[id] = caption;
        PlotDiagram(surface, table, colours, QString());
    }
    // The box in device pixels, right and bottom exclusive.
    QRect deviceBox() const
    {
        const qreal r = surface.devicePixelRatio();
        return QRect(QPoint(int(10 * r), int(215 * r)), QPoint(int(110 * r) - 1, int(315 * r) - 1));
    }
};

Colour at(const Surface &s, QPoint device)
{
    return fromPixel(s.image().pixel(device));
}

bool dark(QRgb pixel)
{
    return qRed(pixel) < 128 && qGreen(pixel) < 128;
}

// The first and last device columns holding ink inside the box, between its rounded corners.
std::pair<int, int> inkColumns(const Surface &s, const QRect &box)
{
    const int corner = int(16 * s.devicePixelRatio());
    int left = INT_MAX, right = -1;
    for (int y = box.top() + corner; y <= box.bottom() - corner; ++y)
        for (int x = box.left() + 2; x <= box.right() - 2; ++x)
            if (dark(s.image().pixel(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return {left, right};
}

} // namespace

class TestHighDensity : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each edge of a box at ratio 2: outside it, one device pixel of outline, then the fill.
    void boxEdgeIsOneDevicePixelSharp_data()
    {
        QTest::addColumn<QPoint>("outline"); // device pixel on the edge, half way along it
        QTest::addColumn<QPoint>("inward");  // one device pixel step into the box
        QTest::addColumn<Colour>("outside"); // the colour one step out of the box
        Scene scene(2);
        const QRect box = scene.deviceBox();
        const QPoint middle = box.center();
        QTest::newRow("left") << QPoint(box.left(), middle.y()) << QPoint(1, 0) << kWhite;
        QTest::newRow("top") << QPoint(middle.x(), box.top()) << QPoint(0, 1) << kWhite;
        QTest::newRow("right, over the shadow") << QPoint(box.right(), middle.y()) << QPoint(-1, 0) << kGrey;
        QTest::newRow("bottom, over the shadow") << QPoint(middle.x(), box.bottom()) << QPoint(0, -1) << kGrey;
    }
    void boxEdgeIsOneDevicePixelSharp()
    {
        QFETCH(QPoint, outline);
        QFETCH(QPoint, inward);
        QFETCH(Colour, outside);
        Scene scene(2);
        QCOMPARE(scene.surface.image().size(), QSize(1340, 860));
        QCOMPARE(at(scene.surface, outline - inward), outside);
        QCOMPARE(at(scene.surface, outline), kBlack);
        QCOMPARE(at(scene.surface, outline + inward), kMotives);
        // point() keeps pixels of the mapping.
        QCOMPARE(scene.surface.point(60, 225), kMotives);
        QCOMPARE(scene.surface.point(9, 265), kWhite);
        QCOMPARE(scene.surface.point(670, 0), -1);
    }

    // Drawn at device resolution, glyph edges fall between the device pixels of one pixel of the
    // mapping; an enlarged picture would have every 2 x 2 block of one colour.
    void captionGlyphEdgesAreNotBlocks()
    {
        Scene scene(2, QStringLiteral("Conveyor stopped twice"));
        const QRect box = scene.deviceBox();
        const QImage &image = scene.surface.image();
        int inked = 0, mixed = 0;
        for (int y = box.top() + 4; y < box.bottom() - 4; y += 2)
            for (int x = box.left() + 4; x < box.right() - 4; x += 2) {
                const QRgb pixels[4] = {image.pixel(x, y), image.pixel(x + 1, y), image.pixel(x, y + 1),
                                        image.pixel(x + 1, y + 1)};
                if (std::none_of(pixels, pixels + 4, dark))
                    continue;
                ++inked;
                mixed += std::any_of(pixels, pixels + 4, [&](QRgb p) { return p != pixels[0]; });
            }
        QVERIFY2(inked > 50, qPrintable(QString::number(inked)));
        QVERIFY2(mixed * 2 > inked, qPrintable(QStringLiteral("%1 of %2").arg(mixed).arg(inked)));
    }

    // Runs of one letter are where the font's own spacing strays furthest from the measured
    // widths the line was centred by.
    void lineInkIsCentredInItsBox_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<qreal>("ratio");
        for (const qreal ratio : {1.0, 2.0})
            for (const char *caption : {"wwwwwwwwww", "oooooooooooo", "HHHHHHHHHH"})
                QTest::addRow("%s at ratio %g", caption, ratio) << QString::fromLatin1(caption) << ratio;
    }
    void lineInkIsCentredInItsBox()
    {
        QFETCH(QString, caption);
        QFETCH(qreal, ratio);
        Scene scene(ratio, caption);
        const QRect box = scene.deviceBox();
        const auto [left, right] = inkColumns(scene.surface, box);
        QVERIFY(right > left);
        // Both centres in pixels of the mapping.
        const double inkCentre = (left + right + 1) / 2.0 / ratio;
        const double boxCentre = (box.left() + box.right() + 1) / 2.0 / ratio;
        QVERIFY2(std::abs(inkCentre - boxCentre) <= 1.0,
                 qPrintable(QStringLiteral("ink centre %1, box centre %2").arg(inkCentre).arg(boxCentre)));
    }

    void xorMarksRestoreEveryDevicePixel_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("ratio 2") << 2.0;
        QTest::newRow("ratio 1.5") << 1.5;
    }
    void xorMarksRestoreEveryDevicePixel()
    {
        QFETCH(qreal, ratio);
        Scene scene(ratio, QStringLiteral("Pump failed"));
        Surface &s = scene.surface;
        const QImage before = s.image().copy();
        s.setMixMode(MixMode::Xor);
        s.setPenColour(RGB(0, 64, 64));
        for (int pass = 0; pass < 2; ++pass) {
            outlineBox(s, 3.0f, 2.0f); // over the box and its caption
            s.circle(4.3f, 3.7f, 0.5f, RGB(0, 64, 64));
            if (pass == 0)
                QVERIFY(s.image() != before);
        }
        QCOMPARE(s.image(), before);
    }

    // A refresh names only what was drawn since the last one, in pixels of the mapping.
    void refreshReportsTheChangedArea()
    {
        Scene scene(2);
        Surface &s = scene.surface;
        QList<QRect> reported;
        s.setRefreshListener([&](const QRect &changed) { reported.append(changed); });
        s.refresh();
        QCOMPARE(reported.value(0), QRect(0, 0, 670, 430)); // the whole redraw
        s.setPenColour(kRed);
        outlineBox(s, 20, 0); // box 210, 215 to 310, 315
        s.refresh();
        QCOMPARE(reported.size(), 3);
        QCOMPARE(reported[1], QRect(QPoint(210, 215), QPoint(309, 314)));
        QVERIFY(reported[2].isEmpty()); // nothing new
    }

    void snapshotKeepsTheLogicalSize_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("ratio 1") << 1.0;
        QTest::newRow("ratio 2") << 2.0;
    }
    void snapshotKeepsTheLogicalSize()
    {
        QFETCH(qreal, ratio);
        Scene scene(ratio, QStringLiteral("Pump failed"));
        const QImage picture = scene.surface.logicalImage();
        QCOMPARE(picture.size(), QSize(670, 430));
        QCOMPARE(picture.devicePixelRatio(), 1.0);
        QCOMPARE(fromPixel(picture.pixel(60, 225)), kMotives);
        QCOMPARE(fromPixel(picture.pixel(5, 5)), kWhite);
        if (ratio == 1)
            QCOMPARE(picture, scene.surface.image());
    }

    // The real window on a screen of ratio 2: the bitmap holds device pixels, the gestures,
    // the key picture's colours and the snapshot keep to pixels of the mapping.
    void windowDrawsAtTheScreensDensity()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        QCOMPARE(w.picDiagram->devicePixelRatioF(), 2.0);
        const Surface &diagram = w.diagram();
        QCOMPARE(diagram.devicePixelRatio(), 2.0);
        QCOMPARE(QSize(diagram.pixelWidth(), diagram.pixelHeight()), w.picDiagram->contentsRect().size());
        QCOMPARE(diagram.image().size(), w.picDiagram->contentsRect().size() * 2);

        clickDiagram(w, Qt::LeftButton, 20.4f, -3.6f); // a new block, its box from (15, -9)
        QCOMPARE(w.table().BlockX[1], 15.0f);
        QCOMPARE(w.table().BlockY[1], -9.0f);
        QTest::mouseClick(w.btnCancel, Qt::LeftButton);
        const PixelMapping &m = w.mapping();
        const QPoint edge(2 * m.ScaleToPixelsX(15), 2 * m.ScaleToPixelsY(-4));
        QCOMPARE(at(diagram, edge), kBlack);
        QCOMPARE(at(diagram, edge + QPoint(1, 0)), kWhite);

        // The key picture shown is the dense one; the press reads the ordinary one's colours.
        QCOMPARE(w.PicCategories->surface().image().size(), QSize(202, 110));
        QTest::mouseClick(w.PicCategories, Qt::LeftButton, {},
                          QPoint(160, 30) + w.PicCategories->contentsRect().topLeft());
        QCOMPARE(w.PickText, QStringLiteral("Information"));
        clickDiagram(w, Qt::LeftButton, 20, -4);
        QCOMPARE(w.table().BlockCategory[1], QStringLiteral("Information"));

        QTest::mouseClick(w.btnSnapShot, Qt::LeftButton);
        QImage snapshot;
        QVERIFY(snapshot.load(f.path(QStringLiteral("work/RCA_Snapshot.bmp"))));
        QCOMPARE(snapshot.size(), w.picDiagram->contentsRect().size());
    }
};

int main(int argc, char **argv)
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestHighDensity test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_hidpi.moc"

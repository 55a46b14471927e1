// Drawing on high-density screens: the diagram at the device's full resolution, while
// positions, hit tests and the snapshot stay in pixels of the mapping. The window runs as on a
// screen of device pixel ratio 2.
#include "render/plot_diagram.h"
#include "render/surface.h"
#include "support/gui_driver.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

using namespace tessik;
using namespace tessik::test;

namespace {

constexpr Colour kMotives = RGB(96, 246, 121);

// One block whose box spans pixels 10, 215 to 110, 315 of the mapping.
struct Scene {
    Surface surface;
    explicit Scene(qreal ratio, const QString &caption = QString())
    {
        surface.setDevicePixelRatio(ratio);
        surface.resize(670, 430);
        surface.setMapping(PixelMapping::forStartupSize(670, 430));
        BlockTable table;
        table.addBlock(5, 5);
        table.BlockCategory[1] = QStringLiteral("Motives");
        table.BlockText[1] = caption;
        PlotDiagram(surface, table, DiagramColours(), QString());
    }
    QRect deviceBox() const // right and bottom inclusive
    {
        const qreal r = surface.devicePixelRatio();
        return QRect(QPoint(int(10 * r), int(215 * r)), QPoint(int(110 * r) - 1, int(315 * r) - 1));
    }
    Colour at(QPoint device) const { return fromPixel(surface.image().pixel(device)); }
    bool dark(int x, int y) const { return qGray(surface.image().pixel(x, y)) < 100; } // ink, not the fill
};

} // namespace

class TestHighDensity : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each edge of a box at ratio 2: outside it, one device pixel of outline, then the fill.
    void boxEdgeIsOneDevicePixelSharp_data()
    {
        QTest::addColumn<QPoint>("outline"); // on the edge, half way along it
        QTest::addColumn<QPoint>("inward");
        QTest::addColumn<Colour>("outside");
        const QRect box = Scene(2).deviceBox();
        const QPoint middle = box.center();
        const Colour shadow = RGB(164, 164, 164);
        QTest::newRow("left") << QPoint(box.left(), middle.y()) << QPoint(1, 0) << kWhite;
        QTest::newRow("top") << QPoint(middle.x(), box.top()) << QPoint(0, 1) << kWhite;
        QTest::newRow("right, over the shadow") << QPoint(box.right(), middle.y()) << QPoint(-1, 0) << shadow;
        QTest::newRow("bottom, over the shadow") << QPoint(middle.x(), box.bottom()) << QPoint(0, -1) << shadow;
    }
    void boxEdgeIsOneDevicePixelSharp()
    {
        QFETCH(QPoint, outline);
        QFETCH(QPoint, inward);
        QFETCH(Colour, outside);
        const Scene scene(2);
        QCOMPARE(scene.surface.image().size(), QSize(1340, 860));
        QCOMPARE(scene.at(outline - inward), outside);
        QCOMPARE(scene.at(outline), kBlack);
        QCOMPARE(scene.at(outline + inward), kMotives);
        QCOMPARE(scene.surface.point(60, 225), kMotives); // point() keeps pixels of the mapping
        QCOMPARE(scene.surface.point(670, 0), -1);
    }

    // Glyph edges fall between the device pixels of one pixel of the mapping; an enlarged
    // picture would have every aligned 2 x 2 block of one colour.
    void captionGlyphEdgesAreNotBlocks()
    {
        const Scene scene(2, QStringLiteral("Conveyor stopped twice"));
        const QRect box = scene.deviceBox().adjusted(4, 4, -4, -4);
        const QImage &image = scene.surface.image();
        int inked = 0, mixed = 0;
        for (int y = box.top(); y < box.bottom(); y += 2)
            for (int x = box.left(); x < box.right(); x += 2) {
                if (!scene.dark(x, y) && !scene.dark(x + 1, y) && !scene.dark(x, y + 1) && !scene.dark(x + 1, y + 1))
                    continue;
                ++inked;
                const QRgb first = image.pixel(x, y);
                mixed += image.pixel(x + 1, y) != first || image.pixel(x, y + 1) != first ||
                         image.pixel(x + 1, y + 1) != first;
            }
        QVERIFY2(inked > 50 && mixed * 2 > inked, qPrintable(QStringLiteral("%1 of %2").arg(mixed).arg(inked)));
    }

    // Runs of one letter are where the font's own spacing strays furthest from the measured
    // widths a line is centred by.
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
        const Scene scene(ratio, caption);
        const QRect box = scene.deviceBox();
        const int corner = int(16 * ratio); // rows clear of the rounded corners
        int left = box.right(), right = box.left();
        for (int y = box.top() + corner; y <= box.bottom() - corner; ++y)
            for (int x = box.left() + 2; x <= box.right() - 2; ++x)
                if (scene.dark(x, y)) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        const double inkCentre = (left + right + 1) / 2.0 / ratio;
        const double boxCentre = (box.left() + box.right() + 1) / 2.0 / ratio;
        QVERIFY2(right > left && std::abs(inkCentre - boxCentre) <= 1.0,
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
            QCOMPARE(s.image() == before, pass == 1);
        }
    }

    // The real window at ratio 2: the bitmap holds device pixels; gestures, the key picture's
    // colours and the snapshot keep to pixels of the mapping.
    void windowDrawsAtTheScreensDensity()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        const Surface &diagram = w.diagram();
        QCOMPARE(diagram.devicePixelRatio(), 2.0);
        QCOMPARE(diagram.image().size(), w.picDiagram->contentsRect().size() * 2);

        clickDiagram(w, Qt::LeftButton, 20.4f, -3.6f); // a new block, its box from (15, -9)
        QCOMPARE(w.table().BlockX[1], 15.0f);
        QTest::mouseClick(w.btnCancel, Qt::LeftButton);
        const QPoint edge(2 * w.mapping().ScaleToPixelsX(15), 2 * w.mapping().ScaleToPixelsY(-4));
        QCOMPARE(fromPixel(diagram.image().pixel(edge)), kBlack);
        QCOMPARE(fromPixel(diagram.image().pixel(edge + QPoint(1, 0))), kWhite);

        QTest::mouseClick(w.PicCategories, Qt::LeftButton, {},
                          QPoint(160, 30) + w.PicCategories->contentsRect().topLeft());
        clickDiagram(w, Qt::LeftButton, 20, -4);
        QCOMPARE(w.table().BlockCategory[1], QStringLiteral("Information"));

        QTest::mouseClick(w.btnSnapShot, Qt::LeftButton);
        QCOMPARE(QImage(f.path(QStringLiteral("work/RCA_Snapshot.bmp"))).size(), w.picDiagram->contentsRect().size());
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

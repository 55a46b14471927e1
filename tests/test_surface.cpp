#include "render/surface.h"

#include <QFontInfo>
#include <QTest>

using namespace tessik;

namespace {

Surface startupSurface()
{
    Surface surface(670, 430);
    surface.setMapping(PixelMapping::forStartupSize(670, 430));
    return surface;
}

} // namespace

class TestSurface : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void mappingOfTheStartupSize_data()
    {
        QTest::addColumn<int>("width"); // of the window at start-up; its height is in proportion
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<int>("px");
        QTest::addColumn<int>("py");
        QTest::newRow("top-left corner") << 670 << -1.0f << -21.5f << 0 << 0;
        QTest::newRow("origin") << 670 << 0.0f << 0.0f << 10 << 215;
        QTest::newRow("bottom-right corner") << 670 << 66.0f << 21.5f << 670 << 430;
        // Two pixels a unit: ties go to the even neighbour.
        QTest::newRow("half a pixel") << 134 << -0.75f << -21.25f << 0 << 0;
        QTest::newRow("one and a half pixels") << 134 << -0.25f << -20.75f << 2 << 2;
    }
    void mappingOfTheStartupSize()
    {
        QFETCH(int, width);
        QFETCH(float, x);
        QFETCH(float, y);
        QFETCH(int, px);
        QFETCH(int, py);
        const PixelMapping m = PixelMapping::forStartupSize(width, width * 430 / 670);
        QCOMPARE(m.ScaleToPixelsX(x), px);
        QCOMPARE(m.ScaleToPixelsY(y), py);
    }

    void hugePositionsDoNotOverflow()
    {
        const PixelMapping m = PixelMapping::forStartupSize(670, 430);
        QCOMPARE(m.ScaleToPixelsX(3.0e38f), std::numeric_limits<std::int32_t>::max());
        QCOMPARE(m.ScaleToPixelsY(-3.0e38f), std::numeric_limits<std::int32_t>::min());
        Surface s = startupSurface();
        s.line(-3e38f, 0, 3e38f, 0, kBlack); // clipped, not walked pixel by pixel
        s.setFillStyle(FillStyle::Solid);
        s.roundRect(std::numeric_limits<int>::min(), 0, std::numeric_limits<int>::max(), 100, 30, 30);
        QCOMPARE(s.point(300, 215), kBlack);
    }

    void roundRectExcludesRightAndBottomEdges()
    {
        Surface s = startupSurface();
        s.setFillStyle(FillStyle::Solid);
        s.setFillColour(RGB(10, 20, 30));
        s.setPenColour(kRed);
        s.roundRect(10, 215, 110, 315, 30, 30);
        QCOMPARE(s.point(10, 265), kRed);
        QCOMPARE(s.point(109, 265), kRed);
        QCOMPARE(s.point(110, 265), kWhite);
        QCOMPARE(s.point(60, 314), kRed);
        QCOMPARE(s.point(60, 315), kWhite);
        QCOMPARE(s.point(60, 265), RGB(10, 20, 30));
        // The corners are cut by a 30 by 30 ellipse: the corner pixel itself lies outside,
        // and the rounding is symmetric.
        QCOMPARE(s.point(10, 215), kWhite);
        QCOMPARE(s.point(109, 314), kWhite);
        for (int d = 0; d < 15; ++d) {
            QCOMPARE(s.point(10 + d, 215 + 7), s.point(109 - d, 314 - 7));
            QCOMPARE(s.point(10 + d, 215 + 7), s.point(10 + 7, 215 + d));
        }
        // The outline is closed: along every row the first pixel that is not white is outline.
        for (int y = 216; y < 314; ++y) {
            int x = 9;
            while (s.point(x, y) == kWhite)
                ++x;
            QCOMPARE(s.point(x, y), kRed);
        }
        // A hollow outline (the marks drawn between redraws) leaves the inside as it was.
        s.setFillStyle(FillStyle::Transparent);
        s.setPenColour(kBlack);
        s.roundRect(10, 215, 110, 315, 30, 30);
        QCOMPARE(s.point(60, 265), RGB(10, 20, 30));
        QCOMPARE(s.point(10, 265), kBlack);
    }

    // Each row's rounded rectangle and a small circle, both drawn twice with XOR.
    void xorDrawnTwiceRestoresEveryPixel_data()
    {
        QTest::addColumn<QRect>("box"); // left, top, right, bottom as roundRect takes them
        QTest::newRow("box outline") << QRect(QPoint(150, 150), QPoint(250, 250));
        QTest::newRow("outline half outside the picture") << QRect(QPoint(-40, 400), QPoint(60, 500));
        QTest::newRow("tiny box") << QRect(QPoint(120, 120), QPoint(123, 122));
    }
    void xorDrawnTwiceRestoresEveryPixel()
    {
        QFETCH(QRect, box);
        Surface s = startupSurface();
        s.setFillStyle(FillStyle::Solid);
        s.setFillColour(RGB(239, 103, 229));
        s.setPenColour(kBlack);
        s.roundRect(100, 100, 200, 200, 30, 30);
        s.setFillStyle(FillStyle::Transparent);
        const QImage before = s.image().copy();
        s.setMixMode(MixMode::Xor);
        s.setPenColour(RGB(0, 64, 64));
        for (int pass = 0; pass < 2; ++pass) {
            s.roundRect(box.left(), box.top(), box.right(), box.bottom(), 30, 30);
            s.circle(10.3f, 3.7f, 0.5f, RGB(0, 64, 64));
            if (pass == 0)
                QVERIFY(s.image() != before);
        }
        QCOMPARE(s.image(), before);
    }

    void textIsMeasuredInUnitsAndPrintedAtThePrintPosition()
    {
        Surface s = startupSurface();
        // The caption font is Arial, which this desktop provides as its metric twin.
        const QString family = QFontInfo(s.font()).family();
        QVERIFY2(family.contains("Liberation Sans") || family == "Arial", qPrintable(family));
        QCOMPARE(s.textWidth("Wide text"), float(s.textPixelWidth("Wide text") / 10.0));
        QVERIFY(s.textHeight("I") > 1.0f && s.textHeight("I") < 2.0f); // about 13 pixels of 10 per unit
        s.setCurrentX(0);
        s.setCurrentY(0);
        s.print("Hello");
        QCOMPARE(s.currentX(), s.textWidth("Hello"));
        int dark = 0; // from the print position's pixel on
        for (int y = 215; y < 230; ++y)
            for (int x = 10; x < 10 + s.textPixelWidth("Hello"); ++x)
                dark += qRed(s.image().pixel(x, y)) < 128 ? 1 : 0;
        QVERIFY(dark > 20);
    }

    void resizeKeepsTheUnitAndThePicture()
    {
        Surface s = startupSurface();
        s.line(0, 0, 10, 0, kBlack); // both ends are drawn
        s.resize(1000, 600);
        QCOMPARE(s.pixelWidth(), 1000);
        QCOMPARE(s.point(10, 215), kBlack);
        QCOMPARE(s.point(110, 215), kBlack);
        QCOMPARE(s.mapping().ScaleToPixelsX(10), 110);
        QCOMPARE(s.point(999, 599), kWhite);
        QCOMPARE(s.point(1000, 5), -1); // outside reads -1, which ends the key pictures' walk
        s.resize(-5, -5);               // a collapsed window
        QCOMPARE(s.pixelWidth(), 0);
        s.clear();
        s.roundRect(0, 0, 10, 10, 30, 30);
    }
};

QTEST_MAIN(TestSurface)
#include "test_surface.moc"

#include "render/bmp.h"
#include "render/surface.h"

#include <QFontInfo>
#include <QTest>
#include <QtEndian>

using namespace tessik;

namespace {

Surface startupSurface()
{
    Surface surface(670, 430);
    surface.setMapping(PixelMapping::forStartupSize(670, 430));
    return surface;
}

bool isColour(const Surface &s, int x, int y, Colour c) { return s.point(x, y) == c; }

} // namespace

class TestSurface : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void mappingOfTheStartupSize_data()
    {
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<int>("px");
        QTest::addColumn<int>("py");
        QTest::newRow("top-left corner") << -1.0f << -21.5f << 0 << 0;
        QTest::newRow("origin") << 0.0f << 0.0f << 10 << 215;
        QTest::newRow("a box's far corner") << 10.0f << 10.0f << 110 << 315;
        QTest::newRow("bottom-right corner") << 66.0f << 21.5f << 670 << 430;
    }
    void mappingOfTheStartupSize()
    {
        QFETCH(float, x);
        QFETCH(float, y);
        QFETCH(int, px);
        QFETCH(int, py);
        const PixelMapping m = PixelMapping::forStartupSize(670, 430);
        QCOMPARE(m.ScaleToPixelsX(x), px);
        QCOMPARE(m.ScaleToPixelsY(y), py);
    }

    void pixelTiesGoToTheEvenNeighbour()
    {
        const PixelMapping m = PixelMapping::forStartupSize(134, 86); // two pixels a unit
        QCOMPARE(m.ScaleToPixelsX(-0.75f), 0); // 0.5 pixel
        QCOMPARE(m.ScaleToPixelsX(-0.25f), 2); // 1.5 pixels
        QCOMPARE(m.ScaleToPixelsY(-21.25f), 0);
        QCOMPARE(m.ScaleToPixelsY(-20.75f), 2);
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
        // Straight edges.
        QVERIFY(isColour(s, 10, 265, kRed));
        QVERIFY(isColour(s, 109, 265, kRed));
        QVERIFY(isColour(s, 110, 265, kWhite));
        QVERIFY(isColour(s, 60, 215, kRed));
        QVERIFY(isColour(s, 60, 314, kRed));
        QVERIFY(isColour(s, 60, 315, kWhite));
        QVERIFY(isColour(s, 60, 265, RGB(10, 20, 30)));
        // The corners are cut by a 30 by 30 ellipse: the corner pixel itself lies outside,
        // and the rounding is symmetric.
        QVERIFY(isColour(s, 10, 215, kWhite));
        QVERIFY(isColour(s, 109, 314, kWhite));
        for (int d = 0; d < 15; ++d) {
            QCOMPARE(s.point(10 + d, 215 + 7), s.point(109 - d, 314 - 7));
            QCOMPARE(s.point(10 + d, 215 + 7), s.point(10 + 7, 215 + d));
        }
        // The outline is closed: every row of the box has exactly one outline run at each end.
        for (int y = 216; y < 314; ++y) {
            QVERIFY(s.point(9, y) == kWhite);
            int x = 10;
            while (s.point(x, y) == kWhite)
                ++x;
            QCOMPARE(s.point(x, y), kRed);
        }
    }

    void transparentFillLeavesTheInside()
    {
        Surface s = startupSurface();
        s.setFillStyle(FillStyle::Solid);
        s.setFillColour(RGB(1, 2, 3));
        s.roundRect(0, 0, 50, 50, 30, 30);
        s.setFillStyle(FillStyle::Transparent);
        s.setPenColour(kRed);
        s.roundRect(0, 0, 50, 50, 30, 30);
        QCOMPARE(s.point(25, 25), RGB(1, 2, 3));
        QCOMPARE(s.point(0, 25), kRed);
    }

    void xorDrawnTwiceRestoresEveryPixel_data()
    {
        QTest::addColumn<int>("shape");
        QTest::newRow("box outline") << 0;
        QTest::newRow("circle") << 1;
        QTest::newRow("outline half outside the picture") << 2;
        QTest::newRow("tiny box") << 3;
    }
    void xorDrawnTwiceRestoresEveryPixel()
    {
        QFETCH(int, shape);
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
            switch (shape) {
            case 0: s.roundRect(150, 150, 250, 250, 30, 30); break;
            case 1: s.circle(10.3f, 3.7f, 0.5f, RGB(0, 64, 64)); break;
            case 2: s.roundRect(-40, 400, 60, 500, 30, 30); break;
            default: s.roundRect(120, 120, 123, 122, 30, 30); break;
            }
            if (pass == 0)
                QVERIFY(s.image() != before);
        }
        QCOMPARE(s.image(), before);
    }

    void pointOutsideIsMinusOne()
    {
        const Surface s = startupSurface();
        QCOMPARE(s.point(-1, 0), -1);
        QCOMPARE(s.point(0, 430), -1);
        QCOMPARE(s.point(670, 5), -1);
        QCOMPARE(s.point(669, 429), kWhite);
    }

    void lineJoinsBothEnds()
    {
        Surface s = startupSurface();
        s.line(0, 0, 10, 10, kBlack);
        QCOMPARE(s.point(10, 215), kBlack);
        QCOMPARE(s.point(110, 315), kBlack);
        QCOMPARE(s.point(60, 265), kBlack);
    }

    void textIsMeasuredInUnitsAndPrintedAtThePrintPosition()
    {
        Surface s = startupSurface();
        // The caption font is Arial, which this desktop provides as its metric twin.
        QVERIFY2(QFontInfo(s.font()).family().contains("Liberation Sans") || QFontInfo(s.font()).family() == "Arial",
                 qPrintable(QFontInfo(s.font()).family()));
        QCOMPARE(s.textWidth("Wide text"), float(s.textPixelWidth("Wide text") / 10.0));
        QVERIFY(s.textHeight("I") > 1.0f && s.textHeight("I") < 2.0f); // about 13 pixels of 10 per unit
        s.setCurrentX(0);
        s.setCurrentY(0);
        s.print("Hello");
        QCOMPARE(s.currentX(), s.textWidth("Hello"));
        QCOMPARE(s.currentY(), 0.0f);
        int dark = 0;
        for (int y = 215; y < 230; ++y)
            for (int x = 10; x < 10 + s.textPixelWidth("Hello"); ++x)
                dark += qRed(s.image().pixel(x, y)) < 128 ? 1 : 0;
        QVERIFY(dark > 20);
    }

    void resizeKeepsTheUnitAndThePicture()
    {
        Surface s = startupSurface();
        s.line(0, 0, 10, 0, kBlack);
        s.resize(1000, 600);
        QCOMPARE(s.pixelWidth(), 1000);
        QCOMPARE(s.point(15, 215), kBlack);
        QCOMPARE(s.mapping().ScaleToPixelsX(10), 110);
        QCOMPARE(s.point(800, 500), kWhite);
        s.resize(-5, -5); // a collapsed window
        QCOMPARE(s.pixelWidth(), 0);
        s.clear();
        s.roundRect(0, 0, 10, 10, 30, 30);
    }

    void bitmapIs24BitBottomUp()
    {
        Surface s(3, 2);
        s.setFillStyle(FillStyle::Solid);
        s.setFillColour(RGB(1, 2, 3));
        s.setPenColour(RGB(1, 2, 3));
        s.roundRect(0, 0, 1, 1, 0, 0); // the top-left pixel only
        const QByteArray bmp = encodeBmp24(s.image());
        QCOMPARE(bmp.left(2), QByteArray("BM"));
        QCOMPARE(qFromLittleEndian<quint16>(bmp.constData() + 28), quint16(24));
        QCOMPARE(bmp.size(), 54 + 2 * 12); // rows padded to four bytes
        // The top row is stored last; blue, green, red.
        QCOMPARE(bmp.mid(54 + 12, 3), QByteArray("\x03\x02\x01", 3));
        QCOMPARE(bmp.mid(54, 3), QByteArray("\xff\xff\xff", 3));
        QImage decoded;
        QVERIFY(decoded.loadFromData(bmp, "BMP"));
        QCOMPARE(decoded.pixel(0, 0), qRgb(1, 2, 3));
    }
};

QTEST_MAIN(TestSurface)
#include "test_surface.moc"

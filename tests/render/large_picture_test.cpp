// White pictures of any size, those of two megabytes or more in pages of their own: they are white,
// of the size and format asked for, and behave as any other picture when copied and changed.
#include "render/large_picture.h"
#include "support/test_main.h"

using namespace tessik;

namespace {

// The first pixel that is not white, or an empty text.
QString firstNotWhite(const QImage &picture)
{
    for (int y = 0; y < picture.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if ((row[x] & 0xffffffu) != 0xffffffu)
                return QStringLiteral("(%1, %2) is #%3").arg(x).arg(y).arg(row[x], 8, 16, QLatin1Char('0'));
        }
    }
    return {};
}

} // namespace

class LargePictureTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void whiteOfTheSizeAndFormatAsked_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QImage::Format>("format");
        QTest::newRow("small") << QSize(37, 11) << QImage::Format_RGB32;
        QTest::newRow("large") << QSize(4652, 3980) << QImage::Format_RGB32;
        QTest::newRow("large, rows of an odd width") << QSize(3001, 1003) << QImage::Format_RGB32;
        QTest::newRow("large, with transparency") << QSize(3000, 1000) << QImage::Format_ARGB32_Premultiplied;
        QTest::newRow("empty") << QSize(0, 0) << QImage::Format_RGB32;
    }
    void whiteOfTheSizeAndFormatAsked()
    {
        QFETCH(QSize, size);
        QFETCH(QImage::Format, format);
        const QImage picture = whitePicture(size.width(), size.height(), format);
        QCOMPARE(picture.size(), size);
        if (size.isEmpty())
            return;
        QCOMPARE(picture.format(), format);
        const QString off = firstNotWhite(picture);
        QVERIFY2(off.isEmpty(), qPrintable("not white: " + off));
        QVERIFY2(picture.pixel(size.width() - 1, size.height() - 1) == 0xffffffffu,
                 "the last pixel is not opaque white");
    }

    // The system holds a picture's pixels in large pages (two megabytes) only where they start on
    // one's boundary: a picture of one large page or more does.
    void largePictureStartsOnALargePage_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("pictures");
        QTest::newRow("an export at scale 4") << QSize(4652, 3980) << 1;
        QTest::newRow("the diagram of a window at its start-up size") << QSize(976, 542) << 3;
        QTest::newRow("two megabytes exactly") << QSize(1024, 512) << 8;
    }
    void largePictureStartsOnALargePage()
    {
#ifdef Q_OS_LINUX
        QFETCH(QSize, size);
        QFETCH(int, pictures);
        // Several at once, each where the last left the address space.
        QList<QImage> held;
        for (int i = 0; i < pictures; ++i) {
            held.append(whitePicture(size.width(), size.height(), QImage::Format_RGB32));
            QCOMPARE(reinterpret_cast<quintptr>(held.last().constBits()) % (quintptr(2) << 20), quintptr(0));
        }
#else
        QSKIP("large pages are asked for on Linux only");
#endif
    }

    // A copy shares the pixels until one of them is changed; each keeps its own afterwards, also
    // once the first is gone.
    void copiesKeepTheirOwnPixels()
    {
        QImage first = whitePicture(3000, 1000, QImage::Format_RGB32);
        QImage second = first;
        second.setPixel(2999, 999, 0xff000000u);
        QCOMPARE(first.pixel(2999, 999), 0xffffffffu);
        first.setPixel(0, 0, 0xff0000ffu);
        QImage third = first;
        first = QImage();
        QCOMPARE(third.pixel(0, 0), 0xff0000ffu);
        QCOMPARE(second.pixel(0, 0), 0xffffffffu);
        QCOMPARE(second.pixel(2999, 999), 0xff000000u);
    }
};

TESSIK_TEST(LargePictureTest)

#include "large_picture_test.moc"

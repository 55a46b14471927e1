// White pictures of any size, those of two megabytes or more in pages of their own: they are white,
// of the size and format asked for, and behave as any other picture when copied and changed.
#include "render/large_picture.h"
#include "support/test_main.h"

using namespace tessik;

class LargePictureTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Small and large, rows of an odd width, with transparency; and several large ones at once, each
    // where the last left the address space. The system holds a picture's pixels in large pages (two
    // megabytes) only where they start on one's boundary: a picture of one large page or more does.
    void whiteOfTheSizeAndFormatAsked_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QImage::Format>("format");
        QTest::addColumn<int>("pictures");
        QTest::newRow("small") << QSize(37, 11) << QImage::Format_RGB32 << 1;
        QTest::newRow("two megabytes exactly") << QSize(1024, 512) << QImage::Format_RGB32 << 8;
        QTest::newRow("odd width") << QSize(3001, 1003) << QImage::Format_RGB32 << 3;
        QTest::newRow("transparency") << QSize(3000, 1000) << QImage::Format_ARGB32_Premultiplied << 1;
        QTest::newRow("empty") << QSize(0, 0) << QImage::Format_RGB32 << 1;
    }
    void whiteOfTheSizeAndFormatAsked()
    {
        QFETCH(QSize, size);
        QFETCH(QImage::Format, format);
        QFETCH(int, pictures);
        QList<QImage> held;
        for (int i = 0; i < pictures; ++i)
            held.append(whitePicture(size.width(), size.height(), format));
        const QImage &picture = held.last();
        QCOMPARE(picture.size(), size);
        if (size.isEmpty())
            return;
        QCOMPARE(picture.format(), format);
        QImage white(size, format);
        white.fill(0xffffffffu);
        QVERIFY2(picture == white, "a pixel is not opaque white");
#ifdef Q_OS_LINUX
        if (qsizetype(picture.sizeInBytes()) >= qsizetype(2) << 20)
            for (const QImage &each : held)
                QCOMPARE(reinterpret_cast<quintptr>(each.constBits()) % (quintptr(2) << 20), quintptr(0));
#endif
    }

    // A copy shares the pixels until one of them is changed; each keeps its own afterwards, also
    // once the first is gone.
    void copiesKeepTheirOwnPixels()
    {
        QImage first = whitePicture(3000, 1000, QImage::Format_RGB32), second = first;
        second.setPixel(2999, 999, 0xff000000u);
        first.setPixel(0, 0, 0xff0000ffu);
        const QImage third = first;
        first = QImage();
        QCOMPARE(third.pixel(0, 0), 0xff0000ffu);
        QCOMPARE(third.pixel(2999, 999), 0xffffffffu);
        QCOMPARE(second.pixel(0, 0), 0xffffffffu);
        QCOMPARE(second.pixel(2999, 999), 0xff000000u);
    }
};

TESSIK_TEST(LargePictureTest)

#include "large_picture_test.moc"

// Showing a picture in a window: copied pixel for pixel on several threads where the window's
// pixels line up with the picture's, drawn by the painter elsewhere, the same pixels either way.
#include "render/pixel_copy.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QPainter>
#include <QRandomGenerator>

using namespace tessik;
using namespace tessik::test;

namespace {

// Pixels no two neighbours of which are alike, so that a copy one pixel off shows.
QImage noise(int width, int height, qreal ratio)
{
    QImage picture(width, height, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y) {
        auto *pixel = reinterpret_cast<quint32 *>(picture.scanLine(y));
        for (int x = 0; x < width; ++x)
            pixel[x] = 0xff000000u | random.generate();
    }
    picture.setDevicePixelRatio(ratio);
    return picture;
}

// A window's pixels before the picture is shown in them.
QImage windowPixels(qreal ratio, QImage::Format format = QImage::Format_RGB32)
{
    QImage window(1300, 900, format);
    window.fill(QColor(192, 192, 192));
    window.setDevicePixelRatio(ratio);
    return window;
}

struct ShowRow {
    qreal ratio;
    QPoint offset; // of the view in the window, in pixels
    QRect shown;   // in the view, in pixels
    int threads;
    bool copied;
};

} // namespace

Q_DECLARE_METATYPE(ShowRow)

class PixelCopyTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The window's pixels come out as the painter draws them, copied or not.
    void shownAsThePainterDrawsIt_data()
    {
        addRows<ShowRow>({
            {"one pixel a pixel, whole window, 2 threads", {1, {4, 6}, {0, 0, 1200, 800}, 2, true}},
            {"twice the density, 3 threads", {2, {3, 5}, {0, 0, 600, 400}, 3, true}},
            {"twice the density, a small part", {2, {3, 5}, {17, 9, 40, 30}, 2, true}},
            {"three times, 4 threads", {3, {1, 1}, {0, 0, 400, 280}, 4, true}},
            {"one and a half, corners on whole pixels", {1.5, {2, 4}, {0, 0, 800, 540}, 2, true}},
            {"one and a half, corners between pixels", {1.5, {3, 4}, {1, 0, 799, 533}, 2, false}},
            {"one and a quarter", {1.25, {4, 4}, {0, 3, 960, 637}, 2, false}},
        });
    }
    void shownAsThePainterDrawsIt()
    {
        QFETCH(ShowRow, row);
        const QImage picture = noise(1240, 840, row.ratio);
        const QRectF source(QPointF(row.shown.topLeft()) * row.ratio, QSizeF(row.shown.size()) * row.ratio);
        const QRect target = row.shown.translated(row.offset);
        QImage shown = windowPixels(row.ratio), drawn = windowPixels(row.ratio);
        QPainter showing(&shown);
        QCOMPARE(showsByCopying(showing, target, picture, source), row.copied);
        showPicture(showing, target, picture, source, row.threads);
        showing.end();
        QPainter drawing(&drawn);
        drawing.drawImage(QRectF(target), picture, source);
        drawing.end();
        const QString diff = pictureDifference(drawn, shown);
        QVERIFY2(diff.isEmpty(), qPrintable("the shown pixels are not the drawn ones: " + diff));
    }

    // Where a copy would not be what the painter draws, the painter draws.
    void drawnWhereACopyWouldDiffer_data()
    {
        QTest::addColumn<QString>("painterState");
        QTest::newRow("half opacity") << "opacity";
        QTest::newRow("a clip") << "clip";
        QTest::newRow("turned") << "rotate";
        QTest::newRow("scaled beyond the density") << "scale";
        QTest::newRow("window of another format") << "format";
        QTest::newRow("picture with transparency") << "alpha";
        QTest::newRow("a blend of its own") << "multiply";
    }
    void drawnWhereACopyWouldDiffer()
    {
        QFETCH(QString, painterState);
        QImage picture = noise(200, 100, 1);
        if (painterState == "alpha")
            picture = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QImage window =
            windowPixels(1, painterState == "format" ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        QPainter painter(&window);
        if (painterState == "opacity")
            painter.setOpacity(0.5);
        else if (painterState == "clip")
            painter.setClipRect(0, 0, 50, 50);
        else if (painterState == "rotate")
            painter.rotate(90);
        else if (painterState == "scale")
            painter.scale(2, 2);
        else if (painterState == "multiply")
            painter.setCompositionMode(QPainter::CompositionMode_Multiply);
        QVERIFY2(!showsByCopying(painter, QRect(0, 0, 200, 100), picture, QRectF(0, 0, 200, 100)),
                 "the pixels would be copied where the painter draws them otherwise");
    }

    // A copy writes the rectangle it is given and nothing around it, however the rows are split.
    void copyTouchesOnlyItsRectangle_data()
    {
        QTest::addColumn<int>("threads");
        for (int threads : {1, 2, 3, 5})
            QTest::newRow(qPrintable(QString::number(threads))) << threads;
    }
    void copyTouchesOnlyItsRectangle()
    {
        QFETCH(int, threads);
        const QImage picture = noise(1100, 700, 1);
        QImage window = windowPixels(1);
        const QImage before = window;
        const QRect source(13, 21, 1001, 613);
        const QPoint at(40, 50);
        copyPixels(picture, source, window, at, threads);
        QVERIFY2(pictureDifference(windowPixels(1), before).isEmpty(),
                 "the copy wrote into a picture sharing the pixels");
        const QRect copied(at, source.size());
        for (const QPoint outside : {copied.topLeft() - QPoint(1, 0), copied.topLeft() - QPoint(0, 1),
                                     copied.bottomRight() + QPoint(1, 0), copied.bottomRight() + QPoint(0, 1)})
            QVERIFY2(window.pixel(outside) == before.pixel(outside),
                     qPrintable(QStringLiteral("(%1, %2) beside the copy changed").arg(outside.x()).arg(outside.y())));
        const QString diff = pictureDifference(picture.copy(source), window.copy(copied));
        QVERIFY2(diff.isEmpty(), qPrintable("the copy is not the picture's rectangle: " + diff));
    }
};

TESSIK_TEST(PixelCopyTest)

#include "pixel_copy_test.moc"

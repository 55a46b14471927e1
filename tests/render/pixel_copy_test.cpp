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
QImage noise(int width, int height, qreal ratio = 1, QImage::Format format = QImage::Format_RGB32)
{
    QImage picture(width, height, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, 0xff000000u | random.generate());
    picture.setDevicePixelRatio(ratio);
    return picture.convertToFormat(format);
}

// A window's pixels before the picture is shown in them.
QImage windowPixels(qreal ratio, QImage::Format format = QImage::Format_RGB32)
{
    QImage window(1300, 900, format);
    window.fill(QColor(192, 192, 192));
    window.setDevicePixelRatio(ratio);
    return window;
}

} // namespace

class PixelCopyTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The window's pixels come out as the painter draws them, copied (split among threads or
    // not) or, where the corners fall between device pixels, drawn.
    void shownAsThePainterDrawsIt_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<QPoint>("offset"); // of the view in the window, in pixels
        QTest::addColumn<QRect>("shown");   // in the view, in pixels
        QTest::addColumn<bool>("copied");
        QTest::newRow("one pixel a pixel, whole window") << 1.0 << QPoint(4, 6) << QRect(0, 0, 1200, 800) << true;
        QTest::newRow("twice the density, a small part") << 2.0 << QPoint(3, 5) << QRect(17, 9, 40, 30) << true;
        QTest::newRow("one and a half, on whole pixels") << 1.5 << QPoint(2, 4) << QRect(0, 0, 800, 540) << true;
        QTest::newRow("one and a half, between pixels") << 1.5 << QPoint(3, 4) << QRect(1, 0, 799, 533) << false;
    }
    void shownAsThePainterDrawsIt()
    {
        QFETCH(qreal, ratio);
        QFETCH(QPoint, offset);
        QFETCH(QRect, shown);
        QFETCH(bool, copied);
        const QImage picture = noise(1240, 840, ratio);
        const QRectF source(QPointF(shown.topLeft()) * ratio, QSizeF(shown.size()) * ratio);
        QImage window = windowPixels(ratio), drawn = windowPixels(ratio);
        QPainter showing(&window);
        QCOMPARE(showsByCopying(showing, shown.translated(offset), picture, source), copied);
        showPicture(showing, shown.translated(offset), picture, source, 3);
        showing.end();
        QPainter(&drawn).drawImage(QRectF(shown.translated(offset)), picture, source);
        const QString diff = pictureDifference(drawn, window);
        QVERIFY2(diff.isEmpty(), qPrintable("the shown pixels are not the drawn ones: " + diff));
    }

    // Where a copy would not be what the painter draws, the painter draws; a painter in none of
    // these states copies, so that each row shows its own state at work.
    void drawnWhereACopyWouldDiffer_data()
    {
        QTest::addColumn<QString>("painterState");
        for (const char *state : {"none", "opacity", "clip", "rotate", "scale", "window format", "alpha", "multiply"})
            QTest::newRow(state) << QString(state);
    }
    void drawnWhereACopyWouldDiffer()
    {
        QFETCH(QString, painterState);
        const QImage picture =
            noise(200, 100, 1, painterState == "alpha" ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        QImage window = windowPixels(1, painterState == "window format" ? QImage::Format_ARGB32_Premultiplied
                                                                        : QImage::Format_RGB32);
        QPainter painter(&window);
        painter.setOpacity(painterState == "opacity" ? 0.5 : 1);
        painter.setClipRect(0, 0, 50, 50, painterState == "clip" ? Qt::ReplaceClip : Qt::NoClip);
        painter.rotate(painterState == "rotate" ? 90 : 0);
        painter.scale(painterState == "scale" ? 2 : 1, 1);
        if (painterState == "multiply")
            painter.setCompositionMode(QPainter::CompositionMode_Multiply);
        const bool copies = showsByCopying(painter, QRect(0, 0, 200, 100), picture, QRectF(0, 0, 200, 100));
        QVERIFY2(copies == (painterState == "none"),
                 copies ? "copied where the painter draws otherwise" : "not copied");
    }
};

TESSIK_TEST(PixelCopyTest)

#include "pixel_copy_test.moc"

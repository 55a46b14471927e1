#include "platform/fake/fake_platform.h"
#include "render/fade.h"
#include "render/surface.h"

#include <QTest>

#include <cmath>

using namespace tessik;

namespace {

Surface surfaceOf(const QImage &image)
{
    Surface surface;
    surface.setImage(image);
    return surface;
}

Surface filled(int width, int height, Colour colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(toPixel(colour));
    return surfaceOf(image);
}

} // namespace

class TestFade : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Every pair of channel values meets once (red and green run over all 256 x 256 pairs), at
    // the fade's alphas and the ends of the range.
    void blendStaysWithinOneUnitOfExact()
    {
        QImage oldPicture(256, 256, QImage::Format_RGB32), newPicture(256, 256, QImage::Format_RGB32);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                oldPicture.setPixel(x, y, toPixel(RGB(x, y, (x + y) & 0xff)));
                newPicture.setPixel(x, y, toPixel(RGB(y, x, 255 - x)));
            }
        const Surface newSurface = surfaceOf(newPicture);
        QList<int> alphas{0, 2, 128, 254, 255};
        for (int frame = 0; frame < kFadeFrames; ++frame)
            alphas << fadeAlpha(frame);
        for (int alpha : alphas) {
            Surface blended = surfaceOf(oldPicture);
            blended.blendFrom(newSurface, alpha);
            for (int y = 0; y < 256; ++y)
                for (int x = 0; x < 256; ++x)
                    for (int shift = 0; shift <= 16; shift += 8) {
                        const int o = (fromPixel(oldPicture.pixel(x, y)) >> shift) & 0xff;
                        const int n = (newSurface.point(x, y) >> shift) & 0xff;
                        const int g = (blended.point(x, y) >> shift) & 0xff;
                        if (std::abs(g - (o + (n - o) * alpha / 255.0)) >= 1.0)
                            QFAIL(qPrintable(
                                QStringLiteral("alpha %1: %2 onto %3 gave %4").arg(alpha).arg(n).arg(o).arg(g)));
                    }
        }
    }

    // Stretches that are the same in both pictures are skipped: a single differing pixel at
    // the start of a row, amid it or in the short stretch at its end must still be blended.
    void rowThatDiffersInOnePixelStillBlends()
    {
        Surface diagram = filled(1925, 3, kWhite);
        QImage picture = diagram.image();
        const int columns[] = {0, 1001, 1924};
        for (int row = 0; row < 3; ++row)
            picture.setPixel(columns[row], row, toPixel(kBlack));
        diagram.blendFrom(surfaceOf(picture), 255);
        QCOMPARE(diagram.image(), picture);
    }

    void fadeShowsEveryFrameThenLetsEventsRunOnce()
    {
        Surface diagram = filled(40, 30, kBlack);
        FakePlatform platform;
        QList<int> shown;
        diagram.setRefreshListener([&](const QRect &) {
            // Each frame is shown before its pause, and no events run during the fade.
            QCOMPARE(platform.pauses.size(), shown.size());
            QCOMPARE(platform.processEventsCalls, 0);
            shown << redOf(diagram.point(5, 5));
        });
        fadeIn(diagram, filled(40, 30, kWhite), kFadeFramePause, platform);
        QCOMPARE(platform.pauses, QList<int>(kFadeFrames, kFadeFramePause));
        QCOMPARE(platform.processEventsCalls, 1);
        QCOMPARE(shown.size(), kFadeFrames);
        for (int frame = 0; frame < kFadeFrames; ++frame) // each refresh shows one more blend
            QVERIFY(shown[frame] > (frame == 0 ? 0 : shown[frame - 1]));
    }

    // The picture is faded in, never copied over: about 2 % of the old one stays, the weight
    // (1 - 1/255) x (1 - 3/255) x ... x (1 - 59/255).
    void fadeLeavesAFaintTraceOfTheOldPicture()
    {
        double keep = 1;
        for (int frame = 0; frame < kFadeFrames; ++frame)
            keep *= 1 - fadeAlpha(frame) / 255.0;
        QVERIFY(keep > 0.02 && keep < 0.022);
        for (const auto &[oldColour, newColour] : {std::pair{kBlack, kWhite}, std::pair{kWhite, kRed}}) {
            Surface diagram = filled(64, 8, oldColour);
            FakePlatform platform;
            fadeIn(diagram, filled(64, 8, newColour), kFadeFramePause, platform);
            for (int shift = 0; shift <= 16; shift += 8) {
                const int o = (oldColour >> shift) & 0xff, n = (newColour >> shift) & 0xff;
                const int got = (diagram.point(63, 7) >> shift) & 0xff;
                QVERIFY2(std::abs(got - (n + (o - n) * keep)) <= 1.0, qPrintable(QString::number(got)));
                QVERIFY(o == n || got != n);
            }
        }
    }
};

QTEST_MAIN(TestFade)
#include "test_fade.moc"

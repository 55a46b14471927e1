#include "platform/fake/fake_platform.h"
#include "render/fade.h"
#include "render/surface.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdlib>

using namespace tessik;

namespace {

// Every pair of channel values meets once: red and green run over all 256 x 256 pairs.
QImage pairsPicture(bool newPicture)
{
    QImage image(256, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y) {
        auto *row = reinterpret_cast<std::uint32_t *>(image.scanLine(y));
        for (int x = 0; x < 256; ++x)
            row[x] = newPicture ? toPixel(RGB(y, x, 255 - x)) : toPixel(RGB(x, y, (x + y) & 0xff));
    }
    return image;
}

Surface surfaceOf(const QImage &image)
{
    Surface surface;
    surface.setImage(image);
    return surface;
}

Surface filled(int width, int height, Colour colour)
{
    Surface surface(width, height);
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(toPixel(colour));
    surface.setImage(image);
    return surface;
}

// Weight the old picture keeps after the whole fade: (1 - 1/255) x (1 - 3/255) x ... x (1 - 59/255).
double traceWeight()
{
    double weight = 1;
    for (int frame = 0; frame < kFadeFrames; ++frame)
        weight *= 1 - fadeAlpha(frame) / 255.0;
    return weight;
}

// Records what the fade does, in order, together with the refreshes of the diagram.
class RecordingPlatform : public FakePlatform {
public:
    QStringList log;
    void pause(int milliseconds) override
    {
        FakePlatform::pause(milliseconds);
        log << QStringLiteral("pause %1").arg(milliseconds);
    }
    void processEvents() override
    {
        FakePlatform::processEvents();
        log << QStringLiteral("events");
    }
};

} // namespace

class TestFade : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void blendStaysWithinOneUnitOfExact_data()
    {
        QTest::addColumn<QList<int>>("alphas");
        QList<int> fade, others;
        for (int frame = 0; frame < kFadeFrames; ++frame)
            fade << fadeAlpha(frame);
        for (int alpha = 0; alpha <= 255; ++alpha)
            if (!fade.contains(alpha))
                others << alpha;
        QTest::newRow("the fade's alphas") << fade;
        QTest::newRow("every other alpha") << others;
    }
    void blendStaysWithinOneUnitOfExact()
    {
        QFETCH(QList<int>, alphas);
        const QImage oldPicture = pairsPicture(false);
        const Surface newSurface = surfaceOf(pairsPicture(true));
        for (int alpha : alphas) {
            Surface blended = surfaceOf(oldPicture);
            blended.blendFrom(newSurface, alpha);
            for (int y = 0; y < 256; ++y) {
                for (int x = 0; x < 256; ++x) {
                    const Colour was = fromPixel(oldPicture.pixel(x, y));
                    const Colour target = newSurface.point(x, y);
                    const Colour got = blended.point(x, y);
                    for (int shift = 0; shift <= 16; shift += 8) {
                        const int o = (was >> shift) & 0xff, n = (target >> shift) & 0xff, g = (got >> shift) & 0xff;
                        const double exact = o + (n - o) * alpha / 255.0;
                        if (std::abs(g - exact) >= 1.0)
                            QFAIL(qPrintable(QStringLiteral("alpha %1: %2 onto %3 gave %4, exact %5")
                                                 .arg(alpha)
                                                 .arg(n)
                                                 .arg(o)
                                                 .arg(g)
                                                 .arg(exact)));
                    }
                }
            }
        }
    }

    void rowThatDiffersInOnePixelStillBlends_data()
    {
        QTest::addColumn<int>("column");
        QTest::newRow("first pixel") << 0;
        QTest::newRow("last pixel") << 1920 - 1;
        QTest::newRow("middle") << 1001;
    }
    void rowThatDiffersInOnePixelStillBlends()
    {
        QFETCH(int, column);
        Surface diagram = filled(1920, 4, kWhite);
        QImage picture = diagram.image();
        picture.setPixel(column, 2, toPixel(kBlack));
        diagram.blendFrom(surfaceOf(picture), 255);
        QCOMPARE(diagram.point(column, 2), kBlack);
        QCOMPARE(diagram.image(), picture);
    }

    void fadeShowsEveryFrameThenLetsEventsRunOnce_data()
    {
        QTest::addColumn<int>("pause");
        QTest::newRow("a step of the run") << kFadeFramePause;
        QTest::newRow("the start of a run") << kFadeRestartPause;
    }
    void fadeShowsEveryFrameThenLetsEventsRunOnce()
    {
        QFETCH(int, pause);
        Surface diagram = filled(40, 30, kBlack);
        const Surface picture = filled(40, 30, kWhite);
        RecordingPlatform platform;
        QList<int> shown;
        diagram.setRefreshListener([&] {
            shown << redOf(diagram.point(5, 5));
            platform.log << QStringLiteral("refresh");
        });

        fadeIn(diagram, picture, pause, platform);

        QStringList expected;
        for (int frame = 0; frame < kFadeFrames; ++frame)
            expected << QStringLiteral("refresh") << QStringLiteral("pause %1").arg(pause);
        expected << QStringLiteral("events");
        QCOMPARE(platform.log, expected);

        // Each refresh shows one more blend with the alphas 1, 3, ..., 59 in turn.
        QCOMPARE(shown.size(), kFadeFrames);
        int before = 0;
        for (int frame = 0; frame < kFadeFrames; ++frame) {
            const double exact = before + (255 - before) * fadeAlpha(frame) / 255.0;
            QVERIFY2(
                std::abs(shown[frame] - exact) < 1.0,
                qPrintable(QStringLiteral("frame %1 showed %2, exact %3").arg(frame).arg(shown[frame]).arg(exact)));
            before = shown[frame];
        }
    }

    void fadeLeavesAFaintTraceOfTheOldPicture_data()
    {
        QTest::addColumn<Colour>("oldColour");
        QTest::addColumn<Colour>("newColour");
        QTest::newRow("black to white") << kBlack << kWhite;
        QTest::newRow("white to black") << kWhite << kBlack;
        QTest::newRow("white to red outline") << kWhite << kRed;
        QTest::newRow("shadow to white") << RGB(164, 164, 164) << kWhite;
        QTest::newRow("motives fill to white") << RGB(96, 246, 121) << kWhite;
    }
    void fadeLeavesAFaintTraceOfTheOldPicture()
    {
        QFETCH(Colour, oldColour);
        QFETCH(Colour, newColour);
        Surface diagram = filled(64, 8, oldColour);
        const Surface picture = filled(64, 8, newColour);
        FakePlatform platform;
        fadeIn(diagram, picture, kFadeFramePause, platform);

        const double keep = traceWeight();
        QVERIFY(keep > 0.02 && keep < 0.022);
        const Colour got = diagram.point(63, 7);
        bool anyTrace = false;
        for (int shift = 0; shift <= 16; shift += 8) {
            const int o = (oldColour >> shift) & 0xff, n = (newColour >> shift) & 0xff, g = (got >> shift) & 0xff;
            const double exact = n + (o - n) * keep;
            // Each frame rounds to whole units, so a small difference stops shrinking once a
            // frame's share of it is below half a unit; only large ones follow the exact weight.
            if (std::abs(n - o) >= 100)
                QVERIFY2(std::abs(g - exact) <= 1.0, qPrintable(QStringLiteral("%1, exact %2").arg(g).arg(exact)));
            else
                QVERIFY(g >= std::min(o, n) && g <= std::max(o, n));
            anyTrace = anyTrace || g != n;
        }
        // The picture is faded in, never copied over.
        QVERIFY(anyTrace);
    }

    void identicalPicturesStayExactlyTheSame()
    {
        Surface diagram = filled(100, 50, RGB(96, 246, 121));
        const Surface picture = filled(100, 50, RGB(96, 246, 121));
        FakePlatform platform;
        fadeIn(diagram, picture, kFadeFramePause, platform);
        QCOMPARE(diagram.image(), picture.image());
    }
};

QTEST_MAIN(TestFade)
#include "test_fade.moc"

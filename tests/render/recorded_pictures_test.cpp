#include "render/bmp.h"
#include "render/plot_text.h"
#include "render/surface.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QFontInfo>

#include <algorithm>
#include <random>

using namespace tessik;
using namespace tessik::test;

namespace {

// The pictures were recorded from a surface checked by eye and by the other render tests.
const QString kRecorded = dataFile("recorded");

// The device pixel ratio and the view of a surface of 160 x 120 pixels.
using Config = std::pair<qreal, PlaneView>;

Surface surface(const Config &config)
{
    Surface s;
    s.setDevicePixelRatio(config.first);
    s.setView(config.second);
    s.resize(160, 120);
    s.setMapping(PixelMapping::forStartupSize(160, 120));
    return s;
}

// What a drawing left: the area each step marked as changed, and the pictures at named points.
struct Record {
    QStringList changed;
    QList<std::pair<QString, QImage>> pictures;
    void step(const char *what, Surface &s, const QString &more = {})
    {
        const QRect a = s.takeChangedArea();
        changed << QString::asprintf("%s: %d,%d %dx%d", what, a.x(), a.y(), a.width(), a.height()) + more;
    }
    void keep(const QString &name, const Surface &s)
    {
        pictures.append({name + "-shown", s.image().convertToFormat(QImage::Format_RGB32)});
        pictures.append({name + "-plain", s.logicalImage().convertToFormat(QImage::Format_RGB32)});
    }
};

// Every kind of shape the diagram draws, at and across the picture's edges, in both mix modes,
// hidden under a box, cleared around boxes and blended.
Record drawEveryShape(const Config &config)
{
    Surface s = surface(config);
    Record record;
    s.takeChangedArea(); // the new picture counts as changed all over
    const PixelMapping &m = s.mapping();
    const auto box = [&](const char *what, const RoundedBox &b) {
        s.roundRect(b.left, b.top, b.right, b.bottom, b.cornerWidth, b.cornerHeight);
        record.step(what, s);
    };
    const auto under = [&](const char *what, const RoundedBox &b, const RoundedBox &hiddenBy) {
        s.roundRectUnder(b, hiddenBy);
        record.step(what, s);
    };
    const auto line = [&](const char *what, double x1, double y1, double x2, double y2, Colour colour) {
        s.line(m.pixelToUnitsX(x1), m.pixelToUnitsY(y1), m.pixelToUnitsX(x2), m.pixelToUnitsY(y2), colour);
        record.step(what, s);
    };
    const auto circle = [&](const char *what, double x, double y, float radius, Colour colour) {
        s.circle(m.pixelToUnitsX(x), m.pixelToUnitsY(y), radius, colour);
        record.step(what, s);
    };
    s.setFillStyle(FillStyle::Solid);
    s.setFillColour(RGB(250, 160, 40));
    s.setPenColour(kBlack);
    box("box", {10, 10, 60, 40, 16, 12});
    box("corners swapped", {150, 70, 110, 44, 90, 4}); // the ellipse wider than the box
    box("top left", {-20, -8, 14, 6, 10, 10});
    box("bottom right", {150, 110, 175, 130, -6, 20});
    box("one pixel wide", {70, 20, 71, 50, 8, 8});
    box("one pixel high", {72, 20, 90, 21, 8, 8});
    box("outside", {300, 10, 320, 20, 4, 4}); // wholly outside: nothing changes
    s.setFillStyle(FillStyle::Transparent);
    s.setPenColour(RGB(0, 90, 200));
    box("hollow", {20, 50, 80, 100, 0, 0});
    box("round hollow", {24, 54, 76, 96, 40, 40});
    s.setFillStyle(FillStyle::Solid);
    s.setFillColour(RGB(120, 200, 120));
    under("under one on its right", {90, 50, 140, 90, 20, 20}, {110, 60, 160, 80, 10, 10});
    under("under one inside", {95, 92, 130, 118, 8, 8}, {100, 100, 120, 110, 6, 6});
    under("under one apart", {30, 104, 60, 118, 8, 8}, {0, 0, 5, 5, 2, 2});
    const double lines[] = {5,   60, 15, 100, 5,   100, 15,  60, 2,   62,  18,  66, 18, 70, 2,  74,  40, 3,   40,  3,
                            -30, 45, 45, -30, 150, 125, 170, 95, 100, -10, 140, -2, 80, 60, 80, 200, 0,  119, 159, 119};
    for (size_t i = 0; i < std::size(lines); i += 4)
        line("line", lines[i], lines[i + 1], lines[i + 2], lines[i + 3], RGB(200, 0, 0));
    const double circles[] = {130, 30, 0.5, 130, 30, 1.2, 2, 115, 2, 157, 2, -0.8, 100, 100, 0};
    for (size_t i = 0; i < std::size(circles); i += 3)
        circle("circle", circles[i], circles[i + 1], float(circles[i + 2]), RGB(0, 0, 160));
    circle("circle outside", 400, 30, 1, RGB(0, 0, 160));
    s.setMixMode(MixMode::Xor);
    s.setPenColour(RGB(0, 64, 64));
    box("marked box", {40, 30, 100, 70, 30, 30});
    under("marked box under a box", {40, 70, 100, 110, 30, 30}, {40, 30, 100, 70, 30, 30}); // XOR hides nothing
    line("marked line", 0, 0, 159, 119, RGB(0, 64, 64));
    circle("marked circle", 60, 60, 1.5f, RGB(0, 64, 64));
    record.keep("drawn", s);
    s.setMixMode(MixMode::Copy);
    s.clearAround({{10, 10, 60, 40, 16, 12}, {50, 30, 90, 60, 30, 30}, {140, 100, 200, 150, 20, 20}});
    record.step("cleared around boxes", s);
    Surface other = surface(config);
    other.setFillStyle(FillStyle::Solid);
    other.setFillColour(RGB(30, 30, 230));
    other.roundRect(0, 0, 120, 90, 40, 40);
    s.blendFrom(other, 100);
    record.step("blended", s);
    s.resize(140, 130);
    record.step("resized", s);
    record.keep("cleared-blended-resized", s);
    return record;
}

// Captions on solid boxes (their kept pictures copied), on a hollow one and in XOR (printed),
// a caption that reaches past its box, and text across the picture's edges.
Record printEveryCaption(const Config &config)
{
    Surface s = surface(config);
    Record record;
    s.takeChangedArea();
    const PixelMapping &m = s.mapping();
    const auto at = [&](double px, double py, const QString &text) {
        return PlacedLine{text, m.pixelToUnitsX(px), m.pixelToUnitsY(py)};
    };
    const auto caption = [&](const RoundedBox &box, const QList<PlacedLine> &lines, const char *what) {
        s.roundRect(box.left, box.top, box.right, box.bottom, box.cornerWidth, box.cornerHeight);
        s.printCaption(lines, box);
        record.step(what, s, QString::asprintf(" at %g,%g", s.currentX(), s.currentY()));
    };
    s.setFillStyle(FillStyle::Solid);
    s.setFillColour(RGB(250, 160, 40));
    s.setPenColour(kBlack);
    caption({5, 5, 75, 45, 12, 12}, {at(12, 8, "Pump"), at(12, 22, "failed"), at(12, 36, {})}, "copied");
    caption({5, 5, 75, 45, 12, 12}, {at(12, 8, "Pump"), at(12, 22, "failed")}, "copied again");
    caption({80, 5, 110, 25, 8, 8}, {at(82, 8, "Overflowing caption")}, "past its box");
    s.setFillStyle(FillStyle::Transparent);
    caption({5, 50, 75, 80, 12, 12}, {at(12, 55, "Hollow")}, "hollow");
    s.setFillStyle(FillStyle::Solid);
    s.setMixMode(MixMode::Xor);
    s.setPenColour(RGB(0, 64, 64));
    caption({80, 50, 150, 80, 12, 12}, {at(86, 55, "Marked")}, "marked");
    s.setMixMode(MixMode::Copy);
    s.setPenColour(RGB(0, 0, 160));
    s.printAt(m.pixelToUnitsX(-6), m.pixelToUnitsY(-4), "Edge");
    record.step("printed at the top left", s);
    s.print(" and on");
    record.step("printed on", s);
    s.printAt(m.pixelToUnitsX(130), m.pixelToUnitsY(108), "Corner");
    record.step("printed at the bottom right", s);
    record.keep("captions", s);
    return record;
}

} // namespace

// The surface's pictures, pixel for pixel, against pictures recorded from it: every shape, at each
// device pixel ratio and in a zoomed and scrolled view.
class RecordedPicturesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyShape_data()
    {
        addRows<Config>({{"ratio 1", {1, {}}},
                         {"ratio 1.5", {1.5, {}}},
                         {"ratio 2 zoomed out", {2, {0.5, 0, 0}}},
                         {"ratio 1.25 zoomed and scrolled", {1.25, {1.5, 9, 30}}}});
    }
    void everyShape()
    {
        QFETCH(Config, row);
        compare(drawEveryShape(row), "surface-");
    }

    // The glyphs depend on the font: they are compared where the caption font is the one the
    // pictures were recorded with.
    void everyCaption_data() { everyShape_data(); }
    void everyCaption()
    {
        QFETCH(Config, row);
        const QString family = QFontInfo(surface(row).font()).family();
        if (family != "Liberation Sans")
            QSKIP(qPrintable("the captions were recorded in Liberation Sans, not " + family));
        compare(printEveryCaption(row), "caption-");
    }

    // The bitmap files the snapshot and the icons are written as, byte for byte: an odd width, so
    // rows are padded, and an alpha channel at 32 bits.
    void bitmapFilesAsRecorded_data() { addRows<int>({{"24 bits", 24}, {"32 bits", 32}}); }
    void bitmapFilesAsRecorded()
    {
        QFETCH(int, row);
        QImage image(5, 3, QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgba(x * 50, y * 80, (x + y) * 20, row == 24 ? 255 : 255 - x * 40));
        const QByteArray bytes =
            row == 24 ? encodeBmp24(image.convertToFormat(QImage::Format_RGB32)) : encodeBmp32(image);
        const QString file = kRecorded + QString("/bitmap-%1.bmp").arg(row);
        QVERIFY(!kRecording || writeBytes(file, bytes));
        const QByteArray recorded = readBytes(file);
        const auto at =
            std::mismatch(bytes.begin(), bytes.end(), recorded.begin(), recorded.end()).first - bytes.begin();
        QVERIFY2(bytes == recorded, qPrintable(QString("byte %1 of %2 differs from the recorded file's %3")
                                                   .arg(at)
                                                   .arg(bytes.size())
                                                   .arg(recorded.size())));
        QCOMPARE(decodeBmp(recorded), row == 24 ? image.convertToFormat(QImage::Format_RGB32) : image);
    }

    // Hundreds of random captions of narrow, wide, blank, zero-width and too-wide characters,
    // wrapped and placed in a box by a measure of whole pixels, as recorded.
    void captionsWrappedAndPlacedAsRecorded()
    {
        const CaptionMeasure measure{
            [](QChar c) {
                return c == '#' ? 120 : c == u'\u200b' ? 0 : c == 'W' ? 11 : c == 'i' || c == ' ' ? 3 : 6;
            },
            10};
        std::mt19937 random(7);
        const QString characters = QStringLiteral("aaaaiiiWW     #\u200b");
        QStringList lines;
        for (int i = 0; i < 400; ++i) {
            QString caption;
            for (int n = int(random() % 160); n > 0; --n)
                caption += characters[qsizetype(random() % characters.size())];
            const CaptionLines wrapped = wrapCaption(caption, measure);
            QString placed;
            for (const PlacedLine &line : placeCaption(wrapped, 2.5f, -1, 1.4f, measure))
                placed += QString::asprintf(" %g,%g", line.x, line.y);
            lines << caption + " => " + wrapped.lines.join('|') + (wrapped.truncated ? "..." : "") + " at" + placed;
        }
        compareWithRecorded(lines, kRecorded + "/captions.txt");
    }

private:
    static void compare(const Record &record, const QString &kind)
    {
        const QString name = kRecorded + '/' + kind + QString(QTest::currentDataTag()).replace(' ', '-');
        compareWithRecorded(record.changed, name + "-changed.txt");
        for (const auto &[stage, picture] : record.pictures)
            QVERIFY(!kRecording || picture.save(name + '-' + stage + ".png"));
        for (const auto &[stage, picture] : record.pictures) {
            const QImage recorded = QImage(name + '-' + stage + ".png").convertToFormat(QImage::Format_RGB32);
            const QString diff = pictureDifference(recorded, picture);
            QVERIFY2(diff.isEmpty(), qPrintable(stage + ": " + diff));
        }
    }
};

TESSIK_TEST(RecordedPicturesTest)

#include "recorded_pictures_test.moc"

#include "app/core/picture_export.h"
#include "interact/diagram_mouse.h"
#include "render/animation.h"
#include "render/bmp.h"
#include "render/diagram_picture.h"
#include "render/painter_canvas.h"
#include "render/png_encoder.h"
#include "render/surface.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QDir>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QXmlStreamReader>

#include <random>

using namespace tessik;
using namespace tessik::test;

namespace {

// At the start-up size one unit is ten pixels and the origin is pixel (10, 215).
const PixelMapping kMapping = PixelMapping::forStartupSize(670, 430);
constexpr Colour kMotives = RGB(96, 246, 121);

// Blocks with their boxes' corners at the points, each with the caption.
BlockTable blocksAt(const QList<QPointF> &corners, const QString &caption = {})
{
    BlockTable table;
    for (const QPointF &corner : corners)
        table.setCaption(table.addBlock(float(corner.x()) + 5, float(corner.y()) + 5), caption);
    table.setCategory(1, "Motives");
    return table;
}

// The window's bitmap of the table, drawn at a device pixel ratio, with the search hits.
Surface window(const BlockTable &table, qreal ratio, const QString &keyWord = "")
{
    Surface surface;
    surface.setDevicePixelRatio(ratio);
    surface.resize(670, 430);
    surface.setMapping(kMapping);
    PlotDiagram(surface, table, DiagramColours(), keyWord);
    return surface;
}
using Draw = std::function<void(Surface &, const BlockTable &)>;

QImage png(const BlockTable &table, double scale)
{
    return QImage::fromData(encodePicture(PictureFormat::Png, {table, {}, kMapping, "T"}, scale).bytes, "PNG");
}

// The smallest rectangle holding every pixel of the area darker than `darkness`.
QRect inkIn(const QImage &image, const QRect &area, int darkness)
{
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ink |= qGray(image.pixel(x, y)) < darkness ? QRect(x, y, 1, 1) : QRect();
    return ink;
}

// The ink (no fill is as dark) inside a box with its corner at (10, 215), clear of the outline and
// the rounded corners, in pixels of the mapping; the picture has `scale` pixels for each of them
// and starts at `corner`.
QRectF inkInBox(const QImage &image, int scale, QPoint corner = {})
{
    const QRect inside(QPoint(12, 231) - corner, QPoint(107, 298) - corner);
    const QRect ink = inkIn(image, QRect(inside.topLeft() * scale, inside.size() * scale), 100);
    return QRectF(QPointF(ink.topLeft()) / scale + corner, QSizeF(ink.size()) / scale);
}

} // namespace

// Pictures of the diagram: the window's bitmap on dense screens, and PNG, PDF and SVG files drawn
// through a painter.
using PngPicture = std::pair<QSize, QImage::Format>; // its size and pixel format

class PictureTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A PNG at any scale is the window's drawing, each pixel of the mapping `scale` by `scale`
    // pixels, cut to the area that covers every live block and link. Block 1 is freed; the link to
    // it still runs to where it was.
    void pngIsTheWindowsDrawing()
    {
        BlockTable table = blocksAt({{0, -10}, {20, -10}, {40, -10}, {20, 5}, {500, 500}});
        table.link(2, 1);
        table.link(3, 2);
        table.link(4, 2);
        table.setCategory(3, "Information");
        for (int id : {1, 5}) { // a freed slot takes no room
            Block freed = table.block(id);
            freed.active = 0;
            table.setBlock(id, freed);
        }
        const QRect area = diagramArea(table, kMapping);
        QCOMPARE(diagramArea(BlockTable(), kMapping), QRect(0, 0, 670, 430)); // what the window shows at start-up
        QImage outside = window(table, 1).image();
        const QImage shown = outside.copy(area);
        QPainter(&outside).fillRect(area, Qt::white);
        QVERIFY(outside == Surface(670, 430).image());       // nothing outside the area
        QCOMPARE(png(table, 1).text("Title"), QString("T")); // the picture carries the analysis' name
        for (const int scale : {1, 2, 3}) {         // along rows and columns through the boxes and links, clear of
            const QImage image = png(table, scale); // the rounded corners, which a painter draws its own way
            const QImage want = shown.scaled(area.size() * scale).convertToFormat(image.format());
            QStringList differ;
            for (int y = 0; y < want.height(); ++y)
                for (int x = 0; x < want.width(); ++x) {
                    const QPoint at = QPoint(x / scale, y / scale) + area.topLeft(); // y -5 and 10, x 25 and 45
                    if ((at.y() == 165 || at.y() == 315 || at.x() == 260 || at.x() == 460) &&
                        image.pixel(x, y) != want.pixel(x, y))
                        differ << QStringLiteral("(%1, %2)").arg(at.x()).arg(at.y());
                }
            QVERIFY2(image.size() == want.size() && differ.isEmpty(),
                     qPrintable(QString::number(scale) + ": " + differ.mid(0, 9).join(' ')));
        }
    }

    // A box one or two pixels wide or high is drawn whole in a picture, as in the window.
    void thinBoxIsTheWindowsDrawing_data()
    {
        QTest::addColumn<QRect>("box"); // left, top, right, bottom: right and bottom outside
        QTest::newRow("one pixel wide") << QRect(QPoint(10, 10), QPoint(11, 30));
        QTest::newRow("one pixel high") << QRect(QPoint(10, 10), QPoint(30, 11));
        QTest::newRow("two pixels wide") << QRect(QPoint(10, 10), QPoint(12, 30));
        QTest::newRow("two pixels high") << QRect(QPoint(10, 10), QPoint(30, 12));
        QTest::newRow("three pixels, turned") << QRect(QPoint(13, 30), QPoint(10, 10));
    }
    void thinBoxIsTheWindowsDrawing()
    {
        QFETCH(QRect, box);
        Surface surface;
        surface.resize(40, 40);
        surface.setMapping(kMapping);
        surface.setPenColour(RGB(0, 0, 0));
        surface.roundRect(box.left(), box.top(), box.right(), box.bottom(), 4, 4);
        QImage picture(40, 40, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QPainter painter(&picture);
        PainterCanvas canvas(painter, kMapping, picture.rect());
        canvas.setPenColour(RGB(0, 0, 0));
        canvas.roundRect(box.left(), box.top(), box.right(), box.bottom(), 4, 4);
        painter.end();
        QVERIFY2(inkIn(surface.image(), surface.image().rect(), 100).isValid(), "the window drew nothing");
        QCOMPARE(inkIn(picture, picture.rect(), 100), inkIn(surface.image(), surface.image().rect(), 100));
        QVERIFY2(picture == surface.image(), "the same outline, but not the same pixels");
    }

    // A link to a freed slot, the first or the last, still runs to where its block was, and the
    // area takes it in.
    void areaTakesInLinksToFreedSlots_data()
    {
        QTest::addColumn<int>("freedSlot");
        QTest::newRow("the first") << 1;
        QTest::newRow("the last") << int(kMaxBlocks);
    }
    void areaTakesInLinksToFreedSlots()
    {
        QFETCH(int, freedSlot);
        QList<QPointF> corners(kMaxBlocks, QPointF(0, 0));
        corners[freedSlot - 1] = QPointF(200, 100);
        BlockTable table = blocksAt(corners);
        table.link(freedSlot == 1 ? 2 : 1, std::int16_t(freedSlot));
        Block freed = table.block(freedSlot);
        freed.active = 0;
        table.setBlock(freedSlot, freed);
        const QRect area = diagramArea(table, kMapping);
        const QPoint end(kMapping.ScaleToPixelsX(freed.x + kHalfBox), kMapping.ScaleToPixelsY(freed.y + kHalfBox));
        QVERIFY2(area.contains(end), qPrintable(QString("the link's end (%1, %2) is outside %3,%4 %5x%6")
                                                    .arg(end.x())
                                                    .arg(end.y())
                                                    .arg(area.x())
                                                    .arg(area.y())
                                                    .arg(area.width())
                                                    .arg(area.height())));
    }

    // At a scale that puts the area's edge inside a pixel, that pixel is the page's white too: the
    // corners of the picture lie outside every rounded box.
    void pngCornersAreWhiteAtAnyScale_data()
    {
        QTest::addColumn<double>("scale");
        for (const double scale : {0.3, 1.37, 2.5, 3.9})
            QTest::addRow("%g", scale) << scale;
    }
    void pngCornersAreWhiteAtAnyScale()
    {
        QFETCH(double, scale);
        const QImage image = png(blocksAt({{0, 0}, {13.3f, 7.1f}}), scale);
        const QList<QPoint> corners{
            {0, 0}, {image.width() - 1, 0}, {0, image.height() - 1}, {image.width() - 1, image.height() - 1}};
        for (const QPoint &corner : corners)
            QVERIFY2(image.pixel(corner) == qRgb(255, 255, 255),
                     qPrintable(QStringLiteral("corner %1,%2 of %3x%4 is #%5")
                                    .arg(corner.x())
                                    .arg(corner.y())
                                    .arg(image.width())
                                    .arg(image.height())
                                    .arg(image.pixel(corner) & 0xffffff, 6, 16, QLatin1Char('0'))));
    }

    // The diagram has hard edges on any painter, even one set to smooth them: boxes and a slanted
    // link without captions give no colour but white, the outlines' black, the shadow and the fill.
    void diagramHasHardEdgesOnASmoothingPainter()
    {
        BlockTable table = blocksAt({{0, 0}, {20, 15}});
        table.link(2, 1);
        const QRect area = diagramArea(table, kMapping);
        QImage image(area.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(-area.topLeft());
        paintDiagram(painter, area, table, DiagramColours(), kMapping);
        painter.end();
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                colours.insert(image.pixel(x, y) & 0xffffff);
        const QSet<QRgb> hard{0xffffff, 0, toPixel(kShadowColour) & 0xffffff, toPixel(kMotives) & 0xffffff};
        QVERIFY2(colours == hard, qPrintable(QString("%1 colours, %2 expected").arg(colours.size()).arg(hard.size())));
    }

    // At a device pixel ratio of 2 the bitmap has twice the pixels each way and an outline is one
    // of them, while point(), the area a refresh repaints and the snapshot's picture stay in
    // pixels of the mapping.
    void denseWindowKeepsPixelsOfTheMapping()
    {
        Surface s = window(blocksAt({{0, 0}}), 2);
        QCOMPARE(
            QList({s.point(15, 225), s.point(669, 429), s.point(670, 0), fromPixel(s.logicalImage().pixel(15, 225))}),
            QList({kMotives, kWhite, -1, kMotives}));
        QCOMPARE(QList({s.image().size(), s.logicalImage().size(), s.logicalImage().deviceIndependentSize().toSize()}),
                 QList({QSize(1340, 860), QSize(670, 430), QSize(670, 430)})); // a plain picture, one pixel a pixel
        s.takeChangedArea();
        s.printAt(5, 5, ""); // nothing to print, or printed past the right edge: nothing to repaint
        s.printAt(66, 5, "x");
        QVERIFY(s.takeChangedArea().isEmpty());
        // Captions are drawn at device resolution: an enlarged picture would have every aligned
        // 2 x 2 block of one colour.
        const QImage dense = window(blocksAt({{0, 0}}, "Conveyor stopped twice"), 2).image();
        int inked = 0, mixed = 0;
        for (int y = 440; y < 620; y += 2)
            for (int x = 30; x < 210; x += 2) {
                const QRgb first = dense.pixel(x, y);
                const bool same = first == dense.pixel(x + 1, y) && first == dense.pixel(x, y + 1) &&
                                  first == dense.pixel(x + 1, y + 1);
                inked += !same || first != toPixel(kMotives);
                mixed += !same;
            }
        QVERIFY2(inked > 50 && mixed * 2 > inked, qPrintable(QStringLiteral("%1 of %2").arg(mixed).arg(inked)));
        s.setDevicePixelRatio(qInf()); // a ratio that makes no sense is 1
        QCOMPARE(QList({s.devicePixelRatio(), qreal(s.image().width())}), QList<qreal>({1, 670}));
    }

    // The snapshot's picture of a dense window is byte for byte the picture of a plain one after
    // the same drawing: the diagram with its search hits, then the marks of the moment, a replay's
    // faded frames, a larger window.
    void snapshotOfADenseWindowIsThePlainPicture_data()
    {
        QTest::addColumn<Draw>("draw");
        QTest::newRow("the diagram, a search hit") << Draw([](Surface &, const BlockTable &) {});
        QTest::newRow("the editor's outline, a drag mark, a link circle") << Draw([](Surface &s, const BlockTable &) {
            s.setPenColour(kRed);
            outlineBox(s, 20, -10);
            s.setMixMode(MixMode::Xor);
            s.setPenColour(kMarkColour);
            outlineBox(s, 33, 4);
            s.circle(7.3f, 4.1f, kLinkCircleRadius, kMarkColour);
        });
        QTest::newRow("two replay steps") << Draw([](Surface &s, const BlockTable &table) {
            Surface buffer;
            AnimationState state;
            FakePlatform platform;
            for (int step = 0; step < 2; ++step) {
                state.step(table, AnimationDirection::Backward);
                PlotDiagramHidden(buffer, s, table, DiagramColours(), state, platform);
            }
        });
        QTest::newRow("a larger window") << Draw([](Surface &s, const BlockTable &) { s.resize(700, 450); });
    }
    void snapshotOfADenseWindowIsThePlainPicture()
    {
        QFETCH(Draw, draw);
        BlockTable table = blocksAt({{0, 0}, {20, -10}, {40, 5}}, "Seal worn out");
        table.link(2, 1);
        table.link(3, 2);
        QList<QImage> pictures;
        for (const qreal ratio : {1.0, 2.0}) {
            Surface s = window(table, ratio, "worn");
            draw(s, table);
            pictures << s.logicalImage();
        }
        QVERIFY2(encodeBmp24(pictures[1]) == encodeBmp24(pictures[0]), "the snapshots differ");
    }

    // A caption line is drawn exactly as wide as it was measured, so it sits in the middle of its
    // box, and alike in the window at ratios 1 and 2 and in a PNG at scale 4. Runs of one letter
    // are where the font's own spacing strays furthest; characters the font lacks are drawn from
    // another font at their own places.
    void captionInkIsCentredAtEveryScale_data()
    {
        QTest::addColumn<QString>("caption");
        for (const char *caption : {"wwwwwwwwww", "iiiiiiiiiiiii", "OOOOO", "\u2605\u2605\u2605\u2605"})
            QTest::newRow(caption) << QString(caption);
    }
    void captionInkIsCentredAtEveryScale()
    {
        QFETCH(QString, caption);
        const BlockTable table = blocksAt({{0, 0}}, caption);
        const Surface plain = window(table, 1);
        const QRectF ink = inkInBox(plain.image(), 1); // drawn across, whichever font has the characters
        QVERIFY2(ink.width() > plain.textMetrics().pixelWidth(caption) / 2 && std::abs(ink.center().x() - 60) <= 1,
                 qPrintable(QStringLiteral("ink from %1, %2 wide").arg(ink.left()).arg(ink.width())));
        for (const QRectF &other : {inkInBox(window(table, 2).image(), 2),
                                    inkInBox(png(table, 4), 4, diagramArea(table, kMapping).topLeft())})
            QVERIFY2(std::max({std::abs(other.left() - ink.left()), std::abs(other.top() - ink.top()),
                               std::abs(other.right() - ink.right()), std::abs(other.bottom() - ink.bottom())}) <= 1,
                     qPrintable(QStringLiteral("%1 %2 %3 %4").arg(other.left()).arg(other.top()).arg(other.width())));
    }

    // Our PNG keeps every pixel (noise: every difference a filter meets) and any title, in any
    // size of picture, and reads back with Qt's own reader.
    void pngKeepsEveryPixel_data()
    {
        test::addRows<PngPicture>(
            {{"one pixel", {{1, 1}, QImage::Format_RGB32}},
             {"rows past one deflate batch", {{301, 67}, QImage::Format_RGB32}},
             {"a batch that packs into more than one output buffer", {{3000, 40}, QImage::Format_RGB32}},
             {"three bytes a pixel", {{5, 3}, QImage::Format_RGB888}}});
    }
    void pngKeepsEveryPixel()
    {
        QFETCH(PngPicture, row);
        QImage noise(row.first, row.second);
        std::mt19937 random(7); // no filter makes it smaller
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x)
                noise.setPixel(x, y, 0xff000000u | random());
        const QImage read = QImage::fromData(encodeOpaquePng(noise, {{"Title", "Überlauf ≥ 泵"}}), "PNG");
        QCOMPARE(read.convertToFormat(QImage::Format_RGB32), noise.convertToFormat(QImage::Format_RGB32));
        QCOMPARE(read.text("Title"), QString("Überlauf ≥ 泵"));
    }

    // The picture's density (its size on paper) goes with it, across and down.
    void pngKeepsItsDensity()
    {
        QImage picture(4, 3, QImage::Format_RGB32);
        picture.fill(Qt::white);
        picture.setDotsPerMeterX(7559); // 192 dots to the inch
        picture.setDotsPerMeterY(3780); // 96
        const QImage read = QImage::fromData(encodeOpaquePng(picture), "PNG");
        QVERIFY2(!read.isNull(), "our PNG does not read back");
        QCOMPARE(read.dotsPerMeterX(), 7559);
        QCOMPARE(read.dotsPerMeterY(), 3780);
    }

    // An SVG opens at the size of its pixels on a screen of 96 pixels to the inch, as the other
    // pictures do: its width in millimetres is its view box's width in pixels.
    void svgOpensAtItsPixelSize()
    {
        const BlockTable table = blocksAt({{0, 0}, {20, 5}}, "Pump seal");
        QXmlStreamReader svg(encodePicture(PictureFormat::Svg, {table, {}, kMapping, "Pump failure"}).bytes);
        QVERIFY(svg.readNextStartElement() && svg.name() == u"svg");
        const double millimetres = svg.attributes().value("width").chopped(2).toDouble();
        const double pixels = svg.attributes().value("viewBox").split(u' ').value(2).toDouble();
        QVERIFY2(pixels > 0 && std::abs(millimetres / 25.4 * 96 - pixels) < 0.01,
                 qPrintable(QString("%1 mm for %2 pixels").arg(millimetres).arg(pixels)));
    }

    // SVG draws with lines and text, no picture of the diagram, and holds every caption character
    // as text. On a page of another shape the diagram is as large as fits, centred.
    void svgAndFitting()
    {
        QCOMPARE(fitTransform(QRectF(10, 20, 100, 50), QRectF(0, 0, 400, 400)).mapRect(QRectF(10, 20, 100, 50)),
                 QRectF(0, 100, 400, 200));
        BlockTable table = blocksAt({{0, 0}, {20, 5}}, "Pump seal");
        table.link(2, 1);
        const QByteArray svgBytes = encodePicture(PictureFormat::Svg, {table, {}, kMapping, "Pump failure"}).bytes;
        QVERIFY(svgBytes.contains("<title>Pump failure</title>")); // the picture carries the analysis' name
        QXmlStreamReader svg(svgBytes);
        QStringList texts, elements;
        while (!svg.atEnd())
            if (svg.readNext() == QXmlStreamReader::StartElement)
                svg.name() == u"text" ? texts << svg.readElementText() : elements << svg.name().toString();
        QVERIFY(!svg.hasError() && !elements.contains("image") && elements.count("path") >= 4);
        QCOMPARE(texts.join(""), QString("PumpsealPumpseal"));
    }

    // The PDF draws with lines and text, no picture of the diagram, on one page the size of the
    // diagram in points (a pixel is 3/4 point). Its drawing fills the page as the PNG's fills its
    // picture, with no margin round the diagram: read at 96 dots an inch, their ink spans the same pixels.
    void pdfIsOnePageTheDiagramFills()
    {
        BlockTable table = blocksAt({{0, 0}, {20, 5}}, "Pump seal");
        table.link(2, 1);
        const QSizeF points = QSizeF(diagramArea(table, kMapping).size()) * 0.75;
        const QByteArray pdf = encodePicture(PictureFormat::Pdf, {table, {}, kMapping, "Pump failure"}).bytes;
        QVERIFY(pdf.startsWith("%PDF-") && !pdf.contains("/Subtype /Image") && pdf.contains("/FontFile2"));
        const auto page = QRegularExpression("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]").match(QString::fromLatin1(pdf));
        QCOMPARE(QList({int(pdf.count("/Type /Page\n")), qRound(page.captured(1).toDouble()),
                        qRound(page.captured(2).toDouble())}),
                 QList({1, qRound(points.width()), qRound(points.height())}));
        QTemporaryDir dir;
        QVERIFY(writeBytes(dir.filePath("d.pdf"), pdf));
        QCOMPARE(QProcess::execute("pdftoppm",
                                   {"-r", "96", "-png", "-singlefile", dir.filePath("d.pdf"), dir.filePath("d")}),
                 0);
        const QImage pageImage(dir.filePath("d.png")), pngImage = png(table, 1);
        const QRect ink = inkIn(pageImage, pageImage.rect(), 128), drawn = inkIn(pngImage, pngImage.rect(), 128);
        QVERIFY2(
            (ink.topLeft() - drawn.topLeft()).manhattanLength() <= 2 &&
                (ink.bottomRight() - drawn.bottomRight()).manhattanLength() <= 2,
            qPrintable("ink of the PDF's page " + QDebug::toString(ink) + ", of the PNG " + QDebug::toString(drawn)));
    }

    // The SVG's drawing fills its view box as the PNG's fills its picture: drawn at one pixel a
    // pixel, their ink spans the same pixels.
    void svgDrawingFillsItsViewBox()
    {
        BlockTable table = blocksAt({{0, 0}, {20, 5}}, "Pump seal");
        table.link(2, 1);
        QSvgRenderer svg(encodePicture(PictureFormat::Svg, {table, {}, kMapping, "Pump failure"}).bytes);
        QVERIFY2(svg.isValid(), "the SVG does not read back");
        QImage drawing(svg.viewBox().size(), QImage::Format_RGB32);
        drawing.fill(Qt::white);
        QPainter painter(&drawing);
        svg.render(&painter);
        painter.end();
        const QImage pngImage = png(table, 1);
        const QRect ink = inkIn(drawing, drawing.rect(), 128), drawn = inkIn(pngImage, pngImage.rect(), 128);
        QVERIFY2((ink.topLeft() - drawn.topLeft()).manhattanLength() <= 2 &&
                     (ink.bottomRight() - drawn.bottomRight()).manhattanLength() <= 2,
                 qPrintable("ink of the SVG " + QDebug::toString(ink) + ", of the PNG " + QDebug::toString(drawn)));
    }

    // The file's ending chooses the format, letter case ignored. A picture too large to make
    // (8316 pixels square, just past the limit) leaves the file of that name as it was, and no
    // file is left beside the pictures.
    void writingPictures()
    {
        TestEnvironment env;
        QVERIFY(writeBytes(env.path("work/kept.png"), "old"));
        QList<QByteArray> written;
        for (const QString name : {"a.PDF", "b.Svg", "c.pNg", "kept.png"}) {
            const IoResult result = writePicture(env.path("work/" + name), {blocksAt({{0, 0}}), {}, kMapping, "T"},
                                                 name == "kept.png" ? 66 : 1);
            written << readBytes(env.path("work/" + name)).left(4) + (result.ok ? "" : " refused");
        }
        QCOMPARE(written, QList<QByteArray>({"%PDF", "<?xm", "\x89PNG", "old refused"}));
        QCOMPARE(QDir(env.path("work")).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"a.PDF", "b.Svg", "c.pNg", "kept.png"}));
    }
};

TESSIK_TEST(PictureTest)
#include "picture_test.moc"

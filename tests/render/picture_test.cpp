#include "app/core/picture_export.h"
#include "render/diagram_picture.h"
#include "render/painter_canvas.h"
#include "render/plot_diagram.h"
#include "render/png_encoder.h"
#include "render/surface.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QPainter>
#include <QProcess>
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

// The window's bitmap of the table, drawn at a device pixel ratio.
Surface window(const BlockTable &table, qreal ratio)
{
    Surface surface;
    surface.setDevicePixelRatio(ratio);
    surface.resize(670, 430);
    surface.setMapping(kMapping);
    PlotDiagram(surface, table, DiagramColours(), "");
    return surface;
}

QImage png(const BlockTable &table, double scale)
{
    return QImage::fromData(encodePicture(PictureFormat::Png, {table, {}, kMapping, "T"}, scale).bytes, "PNG");
}

// The smallest rectangle holding every pixel of the area darker than `darkness`.
QRect inkIn(const QImage &image, const QRect &area, int darkness = 128)
{
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ink |= qGray(image.pixel(x, y)) < darkness ? QRect(x, y, 1, 1) : QRect();
    return ink;
}

BlockTable twoLinkedBlocks()
{
    BlockTable table = blocksAt({{0, 0}, {20, 5}}, "Pump seal");
    table.link(2, 1);
    return table;
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
        QVERIFY2(outside == Surface(670, 430).image(), "the window drew outside the picture's area");
        QCOMPARE(png(table, 1).text("Title"), QString("T")); // the picture carries the analysis' name
        for (const int scale : {1, 3}) {            // along rows and columns through the boxes and links, clear of
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
        // At a scale that puts the area's edge inside a pixel, that pixel is the page's white too:
        // the corners of the picture lie outside every rounded box.
        for (const double scale : {0.3, 1.37, 3.9}) {
            const QImage odd = png(blocksAt({{0, 0}, {13.3f, 7.1f}}), scale);
            const QRect r = odd.rect();
            for (const QPoint &corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()})
                QVERIFY2(odd.pixel(corner) == qRgb(255, 255, 255),
                         qPrintable(QString::number(scale) + ": corner " + QDebug::toString(corner)));
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
        const auto draw = [&box](Canvas &canvas) {
            canvas.setPenColour(RGB(0, 0, 0));
            canvas.roundRect(box.left(), box.top(), box.right(), box.bottom(), 4, 4);
        };
        Surface surface;
        surface.resize(40, 40);
        surface.setMapping(kMapping);
        draw(surface);
        QImage picture(40, 40, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QPainter painter(&picture);
        PainterCanvas canvas(painter, kMapping, picture.rect());
        draw(canvas);
        painter.end();
        QVERIFY2(inkIn(surface.image(), surface.image().rect()).isValid(), "the window drew nothing");
        QVERIFY2(picture == surface.image(), "the same outline, but not the same pixels");
    }

    // A link to the last slot, freed, still runs to where its block was, and the area takes it in.
    void areaTakesInALinkToTheLastSlotFreed()
    {
        QList<QPointF> corners(kMaxBlocks, QPointF(0, 0));
        corners.last() = QPointF(200, 100);
        BlockTable table = blocksAt(corners);
        table.link(1, kMaxBlocks);
        Block freed = table.block(kMaxBlocks);
        freed.active = 0;
        table.setBlock(kMaxBlocks, freed);
        const QRect area = diagramArea(table, kMapping);
        const QPoint end(kMapping.ScaleToPixelsX(freed.x + kHalfBox), kMapping.ScaleToPixelsY(freed.y + kHalfBox));
        QVERIFY2(area.contains(end), qPrintable("the link's end is outside " + QDebug::toString(area)));
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
        QCOMPARE(s.image().size(), QSize(1340, 860));
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
    }

    // Our PNG keeps every pixel (noise: every difference a filter meets), any title and its density
    // (its size on paper) across and down, in any size of picture, and reads back with Qt's reader.
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
        noise.setDotsPerMeterX(7559); // 192 dots to the inch
        noise.setDotsPerMeterY(3780); // 96
        const QImage read = QImage::fromData(encodeOpaquePng(noise, {{"Title", "Überlauf ≥ 泵"}}), "PNG");
        QCOMPARE(read.convertToFormat(QImage::Format_RGB32), noise.convertToFormat(QImage::Format_RGB32));
        QCOMPARE(read.text("Title"), QString("Überlauf ≥ 泵"));
        QCOMPARE(QList({read.dotsPerMeterX(), read.dotsPerMeterY()}), QList({7559, 3780}));
    }

    // SVG draws with lines and text, no picture of the diagram, and holds every caption character
    // as text. It opens at the size of its pixels on a screen of 96 pixels to the inch, as the
    // other pictures do. On a page of another shape the diagram is as large as fits, centred.
    void svgAndFitting()
    {
        QCOMPARE(fitTransform(QRectF(10, 20, 100, 50), QRectF(0, 0, 400, 400)).mapRect(QRectF(10, 20, 100, 50)),
                 QRectF(0, 100, 400, 200));
        const QByteArray bytes =
            encodePicture(PictureFormat::Svg, {twoLinkedBlocks(), {}, kMapping, "Pump failure"}).bytes;
        QVERIFY(bytes.contains("<title>Pump failure</title>")); // the picture carries the analysis' name
        QXmlStreamReader svg(bytes);
        QVERIFY(svg.readNextStartElement() && svg.name() == u"svg");
        const double millimetres = svg.attributes().value("width").chopped(2).toDouble();
        const double pixels = svg.attributes().value("viewBox").split(u' ').value(2).toDouble();
        QVERIFY2(pixels > 0 && std::abs(millimetres / 25.4 * 96 - pixels) < 0.01,
                 qPrintable(QString("%1 mm for %2 pixels").arg(millimetres).arg(pixels)));
        QStringList texts, elements;
        while (!svg.atEnd())
            if (svg.readNext() == QXmlStreamReader::StartElement)
                svg.name() == u"text" ? texts << svg.readElementText() : elements << svg.name().toString();
        QVERIFY(!svg.hasError() && !elements.contains("image") && elements.count("path") >= 4);
        QCOMPARE(texts.join(""), QString("PumpsealPumpseal"));
    }

    // The PDF draws with lines and text, no picture of the diagram, on one page. The PDF's and the
    // SVG's page is the PNG's picture at 96 dots an inch (a pixel is 3/4 point), and their drawing
    // fills it as the PNG's does, with no margin: their ink spans the same pixels.
    void drawingFillsItsPageAsThePngDoes_data()
    {
        QTest::addColumn<bool>("pdf");
        QTest::newRow("PDF") << true;
        QTest::newRow("SVG") << false;
    }
    void drawingFillsItsPageAsThePngDoes()
    {
        QFETCH(bool, pdf);
        const BlockTable table = twoLinkedBlocks();
        const QByteArray bytes =
            encodePicture(pdf ? PictureFormat::Pdf : PictureFormat::Svg, {table, {}, kMapping, "Pump failure"}).bytes;
        QImage page;
        QTemporaryDir dir;
        if (pdf) {
            QVERIFY(bytes.startsWith("%PDF-") && !bytes.contains("/Subtype /Image") && bytes.contains("/FontFile2") &&
                    bytes.count("/Type /Page\n") == 1);
            QVERIFY(writeBytes(dir.filePath("d.pdf"), bytes));
            QCOMPARE(QProcess::execute("pdftoppm",
                                       {"-r", "96", "-png", "-singlefile", dir.filePath("d.pdf"), dir.filePath("d")}),
                     0);
            page.load(dir.filePath("d.png"));
        } else {
            QSvgRenderer svg(bytes);
            QVERIFY2(svg.isValid(), "the SVG does not read back");
            page = QImage(svg.viewBox().size(), QImage::Format_RGB32);
            page.fill(Qt::white);
            QPainter painter(&page);
            svg.render(&painter);
        }
        const QImage drawn = png(table, 1);
        const QSize off = page.size() - drawn.size(); // a reader may round the page's points up
        QVERIFY2(std::max(std::abs(off.width()), std::abs(off.height())) <= 1,
                 qPrintable(QDebug::toString(page.size())));
        const QRect ink = inkIn(page, page.rect()), want = inkIn(drawn, drawn.rect());
        QVERIFY2((ink.topLeft() - want.topLeft()).manhattanLength() <= 2 &&
                     (ink.bottomRight() - want.bottomRight()).manhattanLength() <= 2,
                 qPrintable("ink of the page " + QDebug::toString(ink) + ", of the PNG " + QDebug::toString(want)));
    }

    // The file's ending chooses the format, letter case ignored.
    void pictureFormatFromTheEnding()
    {
        TestEnvironment env;
        QList<QByteArray> written;
        for (const QString name : {"a.PDF", "b.Svg", "c.pNg"}) {
            QVERIFY(writePicture(env.path("work/" + name), {blocksAt({{0, 0}}), {}, kMapping, "T"}).ok);
            written << readBytes(env.path("work/" + name)).left(4);
        }
        QCOMPARE(written, QList<QByteArray>({"%PDF", "<?xm", "\x89PNG"}));
    }
};

TESSIK_TEST(PictureTest)
#include "picture_test.moc"

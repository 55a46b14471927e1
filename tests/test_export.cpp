#include "app/core/picture_export.h"
#include "render/diagram_picture.h"
#include "render/surface.h"
#include "support/window_fixture.h"

#include <QRegularExpression>
#include <QTest>
#include <QXmlStreamReader>

using namespace tessik;
using namespace tessik::test;

namespace {

constexpr Colour kShadow = RGB(164, 164, 164);

// A block whose box starts at (x, y), with a caption and a category.
int put(BlockTable &table, float x, float y, const QString &caption = QString(), const QString &category = QString())
{
    const int id = table.addBlock(x, y);
    table.BlockX[id] = x;
    table.BlockY[id] = y;
    table.BlockText[id] = caption;
    table.BlockCategory[id] = category;
    return id;
}

QImage pngOf(const BlockTable &table, double scale)
{
    const EncodedPicture picture = encodePicture(PictureFormat::Png, {table, {}, startupMapping(), "T"}, scale);
    QImage image;
    if (!picture.ok || !image.loadFromData(picture.bytes, "PNG"))
        qWarning("no PNG");
    return image;
}

// Reads a picture in pixels of the mapping: `scale` device pixels each, the area's corner at 0.
struct Reader {
    QImage image;
    QPoint corner;
    int scale;
    // The device pixel `offset` pixels right and down of the mapping pixel's first device pixel.
    Colour at(int x, int y, int dx = 0, int dy = 0) const
    {
        const int px = (x - corner.x()) * scale + dx, py = (y - corner.y()) * scale + dy;
        if (!image.valid(px, py))
            return -1;
        return fromPixel(image.pixel(px, py));
    }
};

} // namespace

class TestExport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each box's outline lies on the first and last pixel row and column of its rectangle, one pixel
    // of the mapping thick, with the fill inside and the shadow or white outside: on the window's
    // bitmap, in a PNG at scale 1, and doubled in a PNG at scale 2.
    void boxesLieWhereTheGeometryPutsThem_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<QString>("category");
        QTest::addColumn<Colour>("fill");
        for (const char *picture : {"window", "PNG at scale 1", "PNG at scale 2"}) {
            auto row = [&](const char *name, float x, float y, const char *category, Colour fill) {
                QTest::addRow("%s, %s", picture, name) << QString(picture) << x << y << QString(category) << fill;
            };
            row("at the origin", 0, 0, "", kWhite);
            row("physical resources", 13, -7, "Physical Resources", RGB(251, 191, 191));
            row("structure/process", 27, 4, "Structure/Process", RGB(239, 103, 229));
            row("information", 41, -15, "Information", RGB(170, 156, 254));
            row("knowledge and skills", 2, 9, "Knowledge and Skills", RGB(255, 255, 102));
            row("motives", 52, 11, "Motives", RGB(96, 246, 121));
            row("wellness/capacity", 33, -20, "Wellness/Capacity", RGB(102, 255, 255));
        }
    }
    void boxesLieWhereTheGeometryPutsThem()
    {
        QFETCH(QString, picture);
        QFETCH(float, x);
        QFETCH(float, y);
        QFETCH(QString, category);
        QFETCH(Colour, fill);
        BlockTable table;
        put(table, x, y, QString(), category);
        const PixelMapping m = startupMapping();
        Reader read;
        if (picture == "window") {
            Surface surface(m.DiagramPixelWidth * 2, m.DiagramPixelHeight * 2);
            surface.setMapping(m);
            PlotDiagram(surface, table, DiagramColours(), QString());
            read = {surface.image(), QPoint(0, 0), 1};
        } else {
            const int scale = picture.endsWith('2') ? 2 : 1;
            read = {pngOf(table, scale), diagramArea(table, m).topLeft(), scale};
            QCOMPARE(read.image.size(), diagramArea(table, m).size() * scale);
        }
        const int s = read.scale;
        const int l = m.ScaleToPixelsX(x), t = m.ScaleToPixelsY(y);
        const int r = m.ScaleToPixelsX(x + 10) - 1, b = m.ScaleToPixelsY(y + 10) - 1; // last pixels of the box
        const int midX = (l + r) / 2, midY = (t + b) / 2;
        for (int d = 0; d < s; ++d) {
            QCOMPARE(read.at(l, midY, d), kBlack);
            QCOMPARE(read.at(r, midY, d), kBlack);
            QCOMPARE(read.at(midX, t, 0, d), kBlack);
            QCOMPARE(read.at(midX, b, 0, d), kBlack);
        }
        QCOMPARE(read.at(l + 1, midY), fill);
        QCOMPARE(read.at(r - 1, midY, s - 1), fill);
        QCOMPARE(read.at(midX, t + 1), fill);
        QCOMPARE(read.at(midX, b - 1, 0, s - 1), fill);
        QCOMPARE(read.at(midX, midY), fill);
        QCOMPARE(read.at(l - 1, midY, s - 1), kWhite);
        QCOMPARE(read.at(midX, t - 1, 0, s - 1), kWhite);
        // The shadow shows half a unit right of and below the box.
        QCOMPARE(read.at(r + 1, midY), kShadow);
        QCOMPARE(read.at(midX, b + 1), kShadow);
    }

    // Links run between the boxes, also to the place of a slot freed since; the caption is black.
    void linksAndCaptionsAreDrawn()
    {
        BlockTable table;
        const int freed = put(table, 0, 0);
        const int parent = put(table, 20, 0);
        const int child = put(table, 40, 0, "WWWW");
        const int orphan = put(table, 40, -20);
        table.BlockParent[child] = parent;
        table.BlockParent[orphan] = freed;
        table.BlockActive[freed] = 0;
        const PixelMapping m = startupMapping();
        const Reader read{pngOf(table, 2), diagramArea(table, m).topLeft(), 2};
        // Half way between the boxes of parent and child, on the line through their centres.
        const int linkY = m.ScaleToPixelsY(5);
        const int between = m.ScaleToPixelsX(35);
        QCOMPARE(read.at(between, linkY), kBlack);
        QCOMPARE(read.at(between, linkY, 1, 1), kBlack);
        QCOMPARE(read.at(between, linkY - 1), kWhite);
        QCOMPARE(read.at(between, linkY + 1, 0, 1), kWhite);
        // The freed slot's box is gone, but the link reaches its centre.
        QCOMPARE(read.at(m.ScaleToPixelsX(5), m.ScaleToPixelsY(5)), kBlack);
        QCOMPARE(read.at(m.ScaleToPixelsX(5), m.ScaleToPixelsY(5) + 5), kWhite);
        // Some of the child's caption is ink.
        int ink = 0;
        for (int px = m.ScaleToPixelsX(41); px < m.ScaleToPixelsX(49); ++px)
            ink += read.at(px, m.ScaleToPixelsY(5), 0, 1) == kBlack;
        QVERIFY(ink > 2);
    }

    // A caption line is drawn exactly as wide as it was measured to centre it, so a line of
    // repeated letters sits in the middle of its box.
    void captionsAreCentred_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::newRow("m") << "mmmmmm";
        QTest::newRow("i") << "iiiiiiiiiiii";
        QTest::newRow("O") << "OOOOO";
    }
    void captionsAreCentred()
    {
        QFETCH(QString, caption);
        BlockTable table;
        put(table, 0, 0, caption);
        const PixelMapping m = startupMapping();
        const int scale = 4;
        const Reader read{pngOf(table, scale), diagramArea(table, m).topLeft(), scale};
        const int l = m.ScaleToPixelsX(0) * scale, r = m.ScaleToPixelsX(10) * scale;
        int first = r, last = l;
        for (int y = m.ScaleToPixelsY(1) * scale; y < m.ScaleToPixelsY(9) * scale; ++y) {
            for (int x = l + 2 * scale; x < r - 2 * scale; ++x) {
                if (read.at(x / scale, y / scale, x % scale, y % scale) != kWhite) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
            }
        }
        QVERIFY(first < last);
        // Ink on the left and on the right of the line differs by at most one pixel of the mapping.
        const int leftGap = first - l, rightGap = r - 1 - last;
        QVERIFY2(std::abs(leftGap - rightGap) <= scale, qPrintable(QString("%1 %2").arg(leftGap).arg(rightGap)));
    }

    // The PDF is one page the size of the diagram, drawn in lines and text: no picture of it.
    void pdfIsVector()
    {
        BlockTable table;
        put(table, 0, 0, "Pump seal worn", "Information");
        put(table, 20, 5, "Spare part late");
        table.BlockParent[2] = 1;
        const EncodedPicture pdf = encodePicture(PictureFormat::Pdf, {table, {}, startupMapping(), "Pump failure"});
        QVERIFY(pdf.ok);
        QVERIFY(pdf.bytes.startsWith("%PDF-"));
        QVERIFY(!pdf.bytes.contains("/Subtype /Image")); // no image XObject
        QVERIFY(pdf.bytes.contains("/FontFile2"));       // the caption font, for text
        QCOMPARE(pdf.bytes.count("/Type /Page\n"), 1);
        const QRegularExpressionMatch box =
            QRegularExpression("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]").match(QString::fromLatin1(pdf.bytes));
        QVERIFY(box.hasMatch());
        const QSizeF points = QSizeF(diagramArea(table, startupMapping()).size()) * 0.75;
        QVERIFY(std::abs(box.captured(1).toDouble() - points.width()) < 1);
        QVERIFY(std::abs(box.captured(2).toDouble() - points.height()) < 1);
    }

    // The SVG draws with paths and text elements: every caption character is text, nothing is
    // an embedded picture.
    void svgIsVector()
    {
        BlockTable table;
        put(table, 0, 0, "Pump seal worn", "Information");
        put(table, 20, 5, "Spare part late");
        table.BlockParent[2] = 1;
        const EncodedPicture svg = encodePicture(PictureFormat::Svg, {table, {}, startupMapping(), "Pump failure"});
        QVERIFY(svg.ok);
        QXmlStreamReader xml(svg.bytes);
        QMap<QString, int> elements;
        QString text, viewBox;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            ++elements[xml.name().toString()];
            if (xml.name() == u"svg")
                viewBox = xml.attributes().value("viewBox").toString();
            if (xml.name() == u"text")
                text += xml.readElementText();
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(elements.value("image"), 0);
        QVERIFY(elements.value("path") >= 4); // two shadows, two boxes
        QCOMPARE(text, QString("PumpsealwornSparepartlate"));
        const QSize area = diagramArea(table, startupMapping()).size();
        QCOMPARE(viewBox, QString("0 0 %1 %2").arg(area.width()).arg(area.height()));
    }

    // Pictures made without a window use the unit size the window has.
    void picturesShareTheWindowsMapping()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        const PixelMapping m = startupMapping();
        QCOMPARE(w.mapping().DiagramPixelWidth, m.DiagramPixelWidth);
        QCOMPARE(w.mapping().DiagramPixelHeight, m.DiagramPixelHeight);
        QCOMPARE(QPointF(w.mapping().DiagramLeft, w.mapping().DiagramTop), QPointF(m.DiagramLeft, m.DiagramTop));
    }

    // An empty analysis is the white start-up view; blocks far apart are both in the picture whole.
    void areaCoversEveryBlockWithAMargin()
    {
        const PixelMapping m = startupMapping();
        BlockTable table;
        QCOMPARE(diagramArea(table, m), QRect(0, 0, m.DiagramPixelWidth, m.DiagramPixelHeight));
        put(table, -30, 40);
        put(table, 100, -60);
        const Reader read{pngOf(table, 1), diagramArea(table, m).topLeft(), 1};
        QCOMPARE(read.at(m.ScaleToPixelsX(-30), m.ScaleToPixelsY(45)), kBlack);
        QCOMPARE(read.at(m.ScaleToPixelsX(110) - 1, m.ScaleToPixelsY(-55)), kBlack);
    }

    // The printed page holds the diagram as large as fits, in the middle of the page.
    void printFitsTheDiagramToThePage()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        const int wide = w.document().addBlock(5, 5); // corners at (0, 0) and (60, 10)
        w.document().commitBlock(wide, "Wide", QString());
        w.document().addBlock(65, 15);
        f.platform.printAnswers.enqueue(PrintOutcome::Printed);
        w.printDiagram();
        QCOMPARE(f.platform.printRequests.value(0).landscape, true);
        QCOMPARE(f.platform.printRequests.value(0).jobName, QString("Diagram"));
        const QImage page = f.platform.printedPages.value(0);
        QRect ink;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (page.pixel(x, y) != qRgb(255, 255, 255))
                    ink |= QRect(x, y, 1, 1);
        QVERIFY(!ink.isEmpty());
        const int left = ink.left(), right = page.width() - 1 - ink.right();
        const int top = ink.top(), bottom = page.height() - 1 - ink.bottom();
        QVERIFY2(std::abs(left - right) <= 2 && std::abs(top - bottom) <= 2,
                 qPrintable(QString("%1 %2 %3 %4").arg(left).arg(right).arg(top).arg(bottom)));
        QVERIFY(ink.width() > page.width() * 0.9);
    }
};

QTEST_MAIN(TestExport)
#include "test_export.moc"

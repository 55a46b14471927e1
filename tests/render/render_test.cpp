#include "app/core/snapshot_file.h"
#include "platform/fake/fake_platform.h"
#include "render/animation.h"
#include "render/artwork.h"
#include "render/bmp.h"
#include "render/caption_tiles.h"
#include "render/fade.h"
#include "render/fonts.h"
#include "render/plot_text.h"
#include "render/surface.h"
#include "render/text_metrics.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QDir>
#include <QFontInfo>
#include <QPainter>
#include <QtEndian>

#include <algorithm>

using namespace tessik;
using namespace tessik::test;

namespace {

// At the start-up size one unit is ten pixels and the origin is pixel (10, 215). Boxes are solid red.
template <typename Kind = Surface> Kind startupSurface(int width = 670, int height = 430, qreal ratio = 1)
{
    Kind surface;
    surface.setDevicePixelRatio(ratio);
    surface.resize(width, height);
    surface.setMapping(PixelMapping::forStartupSize(670, 430));
    surface.setFillStyle(FillStyle::Solid);
    surface.setFillColour(kRed);
    surface.setPenColour(kRed);
    return surface;
}

// The colours at pixels x1, y1, x2, y2, ...
QList<Colour> pixels(const Surface &surface, const QList<int> &xy)
{
    QList<Colour> colours;
    for (qsizetype i = 0; i + 1 < xy.size(); i += 2)
        colours << surface.point(xy[i], xy[i + 1]);
    return colours;
}

// The text as the captions' font draws it, its baseline starting at (5, 20) of a white picture.
QImage drawnText(const Surface &s, const QString &text)
{
    QImage image(60, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(s.font());
    s.textMetrics().drawText(painter, QPointF(5, 20), text);
    return image;
}

Surface filled(Colour colour)
{
    Surface surface;
    QImage image(1925, 3, QImage::Format_RGB32);
    image.fill(toPixel(colour));
    surface.setImage(image);
    return surface;
}

// A surface that prints every caption line by line, as the window did before it kept captions.
class PrintingSurface : public Surface {
public:
    void printCaption(const QList<PlacedLine> &lines, const RoundedBox &box) override
    {
        Canvas::printCaption(lines, box);
    }
};

// What a redraw is given: the table, the colours and the view.
struct Scene {
    BlockTable table;
    DiagramColours colours;
    PlaneView view;
};
using SceneEdit = std::function<void(Scene &)>;

// One letter per slot 1..usedSlots(): H hidden, R revealing (highlighted), P plain, - a free slot.
QString looks(const AnimationState &state, const BlockTable &table)
{
    QString out;
    for (int i = 1; i <= table.usedSlots(); ++i)
        out += table.isLive(i) ? QChar("HPR"[int(state.lookOf(i))]) : QChar('-');
    return out;
}

// The font at twice its size, however its size is given.
QFont twiceAsLarge(QFont font)
{
    if (font.pixelSize() > 0)
        font.setPixelSize(2 * font.pixelSize());
    else
        font.setPointSizeF(2 * font.pointSizeF());
    return font;
}

// Block 1 has children 2 and 4, block 2 has child 3: boxes at x 0, 20 and 40 in a row, y -5, and
// block 4 below block 1. Every link runs straight across or down, half-way between two boxes.
BlockTable chainTable()
{
    BlockTable table;
    for (const QPointF &p : {QPointF(5, 0), QPointF(25, 0), QPointF(45, 0), QPointF(5, 13)})
        table.addBlock(float(p.x()), float(p.y()));
    table.link(2, 1);
    table.link(4, 1);
    table.link(3, 2);
    return table;
}

// The table, the buttons clicked ('B' backward, 'F' forward), the looks after each click and where
// a click started a new run, joined by "|".
using Run = std::tuple<BlockTable, QString, QString, QString>;

} // namespace

Q_DECLARE_METATYPE(QList<RoundedBox>)

// The drawing surface, the diagram, the captions, the replay, the snapshot and the
// pictures the program carries.
class RenderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Pixels are rounded to the even neighbour on a tie (two pixels a unit here); far off they saturate.
    // With no area yet the mapping has one pixel each way.
    void mapping()
    {
        const PixelMapping two = PixelMapping::forStartupSize(134, 86), none = PixelMapping::forStartupSize(0, 0);
        COMPARE_FACTS(
            int, {"x of -0.75", two.ScaleToPixelsX(-0.75f), 0}, {"y of -20.75", two.ScaleToPixelsY(-20.75f), 2},
            {"x of 3e38", two.ScaleToPixelsX(3e38f), INT_MAX}, {"y of -3e38", two.ScaleToPixelsY(-3e38f), INT_MIN},
            {"width of an empty window", none.DiagramPixelWidth, 1},
            {"height of an empty window", none.DiagramPixelHeight, 1});
    }

    // Shapes far outside the picture are clipped, not walked pixel by pixel; a line leaving at one
    // edge marks no pixel of the next row; with no box to keep, clearing whitens every pixel.
    void farShapesAreClipped()
    {
        Surface s = startupSurface();
        s.setFillColour(RGB(10, 20, 30));
        s.roundRect(INT_MIN, 0, INT_MAX, 100, 30, 30);
        s.line(-3e38f, 0, 3e38f, 0, kRed);
        s.line(40, -3e38f, 40, 3e38f, kRed);
        s.line(66, -5, 66, 5, kBlack);       // at the right edge, just outside
        const PixelMapping &m = s.mapping(); // two pixels across, one down: the middle one steps down
        s.line(m.pixelToUnitsX(300), m.pixelToUnitsY(380), m.pixelToUnitsX(302), m.pixelToUnitsY(381), kBlack);
        QCOMPARE(pixels(s, {0, 50, 300, 50, 300, 215, 410, 400, 410, 0, 0, 216, 669, 214, 301, 381, 301, 380, 0, 215}),
                 QList({RGB(10, 20, 30), RGB(10, 20, 30), kRed, kRed, kRed, kWhite, kWhite, kBlack, kWhite, kRed}));
        s.clearAround({});
        QCOMPARE(pixels(s, {300, 50, 669, 215, 40, 429}), QList({kWhite, kWhite, kWhite}));
    }

    // Clearing around boxes whitens all but the boxes, in whatever order they come (slot order is
    // not by their tops), also forty stacked at one place, which begin many rows at the same pixel.
    void clearingAroundKeepsEveryBox_data()
    {
        const RoundedBox a{20, 20, 120, 80, 20, 20}, b{200, 150, 300, 230, 20, 20}, c{60, 300, 180, 400, 20, 20},
            d{250, 40, 400, 110, 20, 20};
        addRows<QList<RoundedBox>>({{"top down", {a, d, b, c}},
                                    {"bottom up", {c, b, d, a}},
                                    {"as blocks come", {b, a, c, d}},
                                    {"forty at one place", QList<RoundedBox>(40, {100, 40, 220, 160, 30, 30})}});
    }
    void clearingAroundKeepsEveryBox()
    {
        QFETCH(QList<RoundedBox>, row);
        Surface s = startupSurface();
        s.roundRect(0, 0, 670, 430, 0, 0);
        s.clearAround(row);
        for (const RoundedBox &box : row) {
            const int middle = (box.left + box.right) / 2, across = (box.top + box.bottom) / 2;
            // Left of it, then its first row, a row in the middle and its last row.
            QVERIFY2(pixels(s, {box.left - 1, across, middle, box.top, middle, across, middle, box.bottom - 1}) ==
                         QList({kWhite, kRed, kRed, kRed}),
                     qPrintable(QString("around the box at (%1, %2)").arg(box.left).arg(box.top)));
        }
    }

    // A box reaching far past the left or bottom edge (a hand-edited position) changes the part of
    // it inside the picture, which is what the view repaints; on dense screens too.
    void changedAreaOfAFarBox_data() { addRows<qreal>({{"ratio 1", 1}, {"ratio 1.5", 1.5}, {"ratio 2", 2}}); }
    void changedAreaOfAFarBox()
    {
        QFETCH(qreal, row);
        Surface s = startupSurface(670, 430, row);
        s.takeChangedArea();
        s.roundRect(INT_MIN, 10, 50, 40, 0, 0);
        QCOMPARE(s.takeChangedArea(), QRect(0, 10, 50, 30));
        s.roundRect(60, 20, 90, INT_MAX, 0, 0);
        QCOMPARE(s.takeChangedArea(), QRect(60, 20, 30, 410));
    }

    // A zoom beyond what the view offers (a hand-edited setting) is taken at the nearest it
    // offers, and one that is no number at 100 %.
    void zoomBeyondTheViewsIsHeldToIt()
    {
        const auto taken = [](double asked) {
            Surface s = startupSurface();
            s.setView({asked, 0, 0});
            return s.view().zoom;
        };
        COMPARE_FACTS(double, {"too far in", taken(1e9), PlaneView::kMaxZoom},
                      {"too far out", taken(0), PlaneView::kMinZoom}, {"no number", taken(qQNaN()), 1.0},
                      {"infinite", taken(qInf()), 1.0});
    }

    // A dense picture knows its density: painted anywhere, it takes the diagram's size in pixels. A
    // fixed picture (a key) drawn for a dense screen measures in pixels, not device pixels.
    void densePicturesMeasureInPixels()
    {
        Surface s = startupSurface(670, 430, 2);
        QCOMPARE(s.image().deviceIndependentSize(), QSizeF(670, 430));
        QImage picture(40, 20, QImage::Format_RGB32);
        picture.setDevicePixelRatio(2);
        s.setImage(picture);
        QCOMPARE(QSize(s.pixelWidth(), s.pixelHeight()), QSize(20, 10));
    }

    // A density that is no number of device pixels a pixel counts as one: the picture keeps its size.
    void densityThatIsNoRatioCountsAsOne()
    {
        for (const qreal ratio : {0.0, qQNaN(), qInf()}) {
            Surface s(30, 20);
            s.setDevicePixelRatio(ratio);
            QVERIFY2(s.devicePixelRatio() == 1 && s.image().size() == QSize(30, 20),
                     qPrintable(QString::number(ratio)));
        }
    }

    // A shadow under a box leaves out every pixel the box covers, also where the box ends on the
    // shadow's first pixel.
    void shadowIsHiddenUpToTheBoxEdge()
    {
        Surface s = startupSurface();
        s.roundRectUnder({20, 10, 40, 30, 0, 0}, {0, 10, 21, 30, 0, 0}); // the box's last column is 20
        QCOMPARE(pixels(s, {20, 20, 21, 20}), QList({kWhite, kRed}));
    }

    // A circle at a place that is no number, across or down, draws nothing and changes nothing.
    void circleAtNoPlaceDrawsNothing()
    {
        Surface s = startupSurface();
        const QImage before = s.image();
        s.takeChangedArea();
        s.circle(qQNaN(), 0, 1, kRed);
        s.circle(20, qQNaN(), 1, kRed);
        QCOMPARE(s.takeChangedArea(), QRect());
        QVERIFY2(s.image() == before, "the picture changed");
    }

    // A circle centred on a pixel's middle, of a whole number of pixels' radius, is as high as
    // it is wide: the pixels it passes through the middles of count above and below as they do
    // left and right.
    void circleIsAsHighAsItIsWide()
    {
        Surface s = startupSurface();
        const QPoint centre(212, 247);    // (20.25, 3.25) lies in the middle of this pixel
        s.circle(20.25f, 3.25f, 2, kRed); // 20 pixels
        QSet<QPair<int, int>> drawn;      // from the middle pixel
        for (int y = 0; y < s.pixelHeight(); ++y)
            for (int x = 0; x < s.pixelWidth(); ++x)
                if (s.point(x, y) == kRed)
                    drawn.insert({x - centre.x(), y - centre.y()});
        QVERIFY2(drawn.contains({20, 0}) && drawn.contains({-20, 0}),
                 "the circle's sides are not where they should be");
        for (const auto &[dx, dy] : drawn)
            QVERIFY2(drawn.contains({dy, dx}),
                     qPrintable(QString("(%1, %2) is drawn, (%2, %1) is not").arg(dx).arg(dy)));
    }

    // A link to the block in the table's last slot is drawn like any other.
    void linkToTheLastSlotIsDrawn()
    {
        BlockTable table;
        for (int id = 1; id <= kMaxBlocks; ++id)
            table.addBlock(id == kMaxBlocks ? 30 : 0, id == 1 || id == kMaxBlocks ? 0 : 100); // the rest far below
        table.link(1, kMaxBlocks);
        Surface s = startupSurface();
        PlotDiagram(s, table, DiagramColours(), "");
        const PixelMapping &m = s.mapping(); // between the two boxes, on their centres' line
        QCOMPARE(s.point(m.ScaleToPixelsX(table.block(1).x + 20), m.ScaleToPixelsY(table.block(1).y + kHalfBox)),
                 kBlack);
    }

    // Moved back to a screen of ratio 1, the start-up view's picture is the one shown again.
    void backAtRatioOneThePictureIsTheShownOne()
    {
        Surface s = startupSurface(20, 10, 2);
        s.roundRect(0, 0, 10, 10, 0, 0);
        s.setDevicePixelRatio(1); // a new picture, drawn afresh by the caller
        s.roundRect(10, 0, 20, 10, 0, 0);
        QCOMPARE(s.logicalImage(), s.image());
    }

    // Liberation Sans is named Arial only where Arial, from any foundry, is missing.
    void arialStandInOnlyWhereArialIsMissing()
    {
        COMPARE_FACTS(bool, {"Liberation Sans alone", needsArialStandIn({"DejaVu Sans", "Liberation Sans"}), true},
                      {"Arial itself", needsArialStandIn({"Arial", "Liberation Sans"}), false},
                      {"Arial from one foundry", needsArialStandIn({"Arial [Monotype]", "Liberation Sans"}), false},
                      {"a family named like Arial", needsArialStandIn({"Arial Narrow", "Liberation Sans"}), true},
                      {"neither", needsArialStandIn({"DejaVu Sans"}), false});
    }

    // The captions are bold Arial, or its metric twin. A star the font lacks with an arrow above it,
    // a mark the font lacks too: the mark has no width in any font, so whichever fonts the machine
    // has, it must be drawn together with the star, as the painter's own fallback draws the pair.
    void captionTextIsBoldArialDrawnAsThePainterDraws()
    {
        const Surface s = startupSurface();
        const QString family = QFontInfo(s.font()).family();
        QVERIFY2((family.contains("Liberation Sans") || family == "Arial") && s.font().bold(), qPrintable(family));
        QImage own(60, 30, QImage::Format_RGB32);
        own.fill(Qt::white);
        QPainter painter(&own);
        painter.setFont(s.font());
        painter.drawText(QPointF(5, 20), "\u2605\u20d7");
        QCOMPARE(drawnText(s, "\u2605\u20d7"), own);
    }

    // A resize keeps the unit and the picture, and the new area is white; narrowed to nothing, or
    // collapsed, the surface has no pixels and drawing on it is harmless.
    void resizeKeepsTheUnitAndThePicture()
    {
        Surface s = startupSurface();
        s.line(0, 0, 10, 0, kBlack);
        s.resize(1000, 600);
        QCOMPARE(pixels(s, {10, 215, 110, 215, 999, 599, 1000, 5}), QList({kBlack, kBlack, kWhite, -1}));
        s.resize(1, 600);
        s.resize(0, 600);
        QCOMPARE(s.pixelWidth(), 0);
        s.resize(-5, -5);
        QCOMPARE(s.pixelWidth(), 0);
        s.roundRect(0, 0, 10, 10, 30, 30);
        s.print("x");
    }

    // Given another font (the replay's picture takes the diagram's), a surface measures captions
    // in it: twice as large, a caption wraps as that font wraps it, into more lines.
    void captionsWrapInTheSurfacesFont()
    {
        Surface s = startupSurface();
        const auto lines = [&](const TextMetrics &metrics) {
            return wrapCaption("Inspection of the relief valve was postponed twice",
                               captionMeasure(metrics, s.mapping()))
                .lines;
        };
        const QStringList before = lines(s.textMetrics());
        const QFont larger = twiceAsLarge(s.font());
        s.setFont(larger);
        QCOMPARE(lines(s.textMetrics()), lines(TextMetrics(larger)));
        QVERIFY2(lines(s.textMetrics()).size() > before.size(), "the larger font wraps into no more lines");
    }

    // A character that draws nothing (a soft hyphen, which the font may have a glyph for, or a
    // control code) adds no ink after a word. A character beyond the first 65,536 (two UTF-16
    // units) is one character at the end of a line too: what a blank after it leaves unchanged.
    void textDrawsAsTheSameTextWith_data()
    {
        addRows<std::pair<QString, QString>>({{"soft hyphen", {"ab", "ab\u00ad"}},
                                              {"control code", {"ab", "ab\u0001"}},
                                              {"two units ending a line", {"a\U0001F600", "a\U0001F600 "}}});
    }
    void textDrawsAsTheSameTextWith()
    {
        using Texts = std::pair<QString, QString>;
        QFETCH(Texts, row);
        const Surface s = startupSurface();
        QVERIFY2(drawnText(s, row.first) == drawnText(s, row.second), "the text drew differently");
    }

    // A mark the font lacks, after a letter it has, is drawn over that letter, not over the
    // character the font lacked before it.
    void markGoesWithTheLetterBeforeIt()
    {
        const Surface s = startupSurface();
        const QImage with = drawnText(s, "\u2605a\u20d7"), without = drawnText(s, "\u2605a");
        // A mark sits centred over its letter in any font; over the star it would sit left of it.
        const int letterStart = 5 + s.textMetrics().advance(QChar(0x2605));
        double sum = 0;
        int changed = 0;
        for (int y = 0; y < with.height(); ++y)
            for (int x = 0; x < with.width(); ++x)
                if (with.pixel(x, y) != without.pixel(x, y))
                    sum += x, ++changed;
        QVERIFY2(changed > 0 && sum / changed >= letterStart,
                 qPrintable(QString("%1 pixels changed, their middle at %2, the letter starts at %3")
                                .arg(changed)
                                .arg(sum / changed)
                                .arg(letterStart)));
    }

    // The notes view colours a box by which of three words its notes hold, in any case; the
    // category view by the first of six categories its category names, in the order of the key.
    void fillByNotesOrByCategory()
    {
        const QString notes = "rain|Science|technology|Technology; Science|Human Factors|Factors human|"
                              "HUMAN FACTORS, science|Technology; Human Factors|SCIENCE technology human FACTORS",
                      categories = "Science|Physical Resources|structure/PROCESS|Motives; Information|"
                                   "Knowledge and Skills|Motives|Wellness/Capacity";
        BlockTable table;
        table.addBlock(5, 5);
        QList<Colour> fills;
        for (int view = 0; view < 2; ++view)
            for (const QString &text : (view == 0 ? notes : categories).split('|')) {
                table.setNotes(1, view == 0 ? text : "Science"); // the other field is ignored
                table.setCategory(1, view == 0 ? "Motives" : text);
                fills << boxFill(table, 1, {view, ColourTables::standard()});
            }
        QCOMPARE(fills, QList<Colour>({RGB(255, 255, 255), RGB(255, 191, 191), RGB(191, 255, 191), RGB(255, 255, 191),
                                       RGB(191, 191, 255), RGB(255, 255, 255), RGB(255, 191, 255), RGB(191, 255, 255),
                                       RGB(235, 235, 235), RGB(255, 255, 255), RGB(251, 191, 191), RGB(239, 103, 229),
                                       RGB(170, 156, 254), RGB(255, 255, 102), RGB(96, 246, 121), RGB(102, 255, 255)}));
    }

    // Links run between the centres, under the boxes, only between blocks that are shown, and to
    // where a freed parent was. The later slot lies on top, every shadow below all boxes; search
    // hits (in any letter case) and revealing blocks get a red outline and a pink shadow. A box's right and bottom
    // edges are left out; its shadow lies half a unit down and right. The surface is left with a black pen and a
    // transparent fill for the marks drawn later.
    void diagram()
    {
        {
            Surface s = startupSurface();
            BlockTable table = chainTable();
            table.setCaption(1, "Flooding on Main St");
            table.setCategory(3, "Motives");
            table.setCategory(table.addBlock(49, 0), "Information"); // over block 3
            PlotDiagram(s, table, DiagramColours(), "FLOOD");
            QCOMPARE(pixels(s, {10, 215, 112, 200, 150, 215, 80, 175, 420, 200, 480, 200}),
                     QList({kRed, kHighlightShadowColour, kBlack, kWhite, RGB(96, 246, 121), RGB(170, 156, 254)}));
        }
        Surface s = startupSurface();
        BlockTable table = chainTable();
        drawDiagram(s, table, DiagramColours(), [](int id) {
            return id == 2 ? BlockLook::Hidden : id == 3 ? BlockLook::Highlighted : BlockLook::Plain;
        });
        QCOMPARE(pixels(s, {260, 165, 350, 215, 150, 215, 410, 215, 512, 200, 112, 200, 60,  280, 109,
                            200, 110, 200, 114, 200, 115, 200, 30,  264, 30,  265, 30,  269, 30,  270}),
                 QList({kWhite, kWhite, kWhite, kRed, kHighlightShadowColour, kShadowColour, kBlack, kBlack,
                        kShadowColour, kShadowColour, kWhite, kBlack, kShadowColour, kShadowColour, kWhite}));
        QVERIFY(s.penColour() == kBlack && s.fillStyle() == FillStyle::Transparent);
        Block freed = table.block(1); // a link to a freed parent still goes where it was
        freed.active = 0;
        table.setBlock(1, freed);
        table.link(2, 0);
        PlotDiagram(s, table, DiagramColours(), "");
        QCOMPARE(pixels(s, {60, 240, 150, 215}), QList({kBlack, kWhite}));
        PlotDiagram(s, BlockTable(), DiagramColours(), "");
        QCOMPARE(s.image(), Surface(670, 430).image()); // an empty table: all white
    }

    // A caption's kept picture is what printing it gives, at one and two device pixels a pixel, and
    // it never outlives what it shows: after each change the picture, the shown one and the one of
    // the snapshot, equals one whose captions were all printed afresh.
    void keptCaptions_data()
    {
        test::addRows<SceneEdit>({
            {"caption edited", [](Scene &s) { s.table.setCaption(1, "Flooding on Main St"); }},
            {"category changed", [](Scene &s) { s.table.setCategory(2, "Motives"); }},
            {"notes view", [](Scene &s) { s.colours.ViewType = NotesView; }},
            {"moved by part of a unit", [](Scene &s) { s.table.move(3, 45.37f, 0.61f); }},
            {"zoomed to 200 %", [](Scene &s) { s.view = PlaneView(2, 40, 330); }},
            {"zoomed to 150 %", [](Scene &s) { s.view = PlaneView(1.5, 7, 301); }},
        });
    }
    void keptCaptions()
    {
        QFETCH(SceneEdit, row);
        for (const qreal ratio : {1.0, 2.0}) {
            Scene scene{chainTable(), DiagramColours(), PlaneView()};
            for (int id = 1; id <= 4; ++id)
                scene.table.setCaption(id, id == 4 ? "Rain"
                                                   : "Pump motor overheated after the relief valve stuck "
                                                     "shut during the night shift's pressure test");
            Surface kept = startupSurface(670, 430, ratio);
            PlotDiagram(kept, scene.table, scene.colours, "");
            row(scene);
            kept.setView(scene.view);
            PlotDiagram(kept, scene.table, scene.colours, "");
            PrintingSurface printed = startupSurface<PrintingSurface>(670, 430, ratio);
            printed.setView(scene.view);
            PlotDiagram(printed, scene.table, scene.colours, "");
            QVERIFY2(kept.image() == printed.image() && kept.logicalImage() == printed.logicalImage(),
                     qPrintable(QString("the kept captions differ from printed ones at ratio %1").arg(ratio)));
        }
    }

    // An ordinary caption's kept picture holds every pixel its glyphs reach, so a redraw copies it
    // instead of drawing the glyphs again.
    void keptCaptionHoldsAllItsGlyphs()
    {
        const TextMetrics text(captionFont());
        CaptionTiles tiles;
        const CaptionTile &tile =
            tiles.tile({{"Pump", "seized"}, {{0.25, 0}, {0.25, 12}}, 2, RGB(0, 0, 0), RGB(255, 255, 192)}, text);
        QVERIFY2(tile.whole, "the glyphs reach the edge of the kept picture: the caption is drawn afresh every frame");
        QVERIFY2(
            std::any_of(tile.first.begin(), tile.first.end(), [&](int first) { return first < tile.pixels.width(); }),
            "the kept picture says no row holds a glyph");
    }

    // Zoomed in past the glyphs Qt keeps in its glyph cache, a kept caption is made of glyphs
    // filled one by one: it is Qt's own drawing of the lines, a unit off at most where two glyphs
    // share a pixel. The origins lie between pixels, as a caption's often do.
    void keptCaptionPastTheGlyphCacheIsQtsDrawing()
    {
        const TextMetrics text(captionFont());
        constexpr qreal kScale = 8;
        QVERIFY2(text.fillsOutlines(kScale), "at eight times its size the caption font still fits Qt's glyph cache");
        QVERIFY2(!text.fillsOutlines(64.0 / captionFont().pixelSize()),
                 "at the largest size Qt keeps in its glyph cache, the kept caption is filled from outlines, not as Qt "
                 "draws it");
        const CaptionTileKey key{
            {"Pump seized", "Valve"}, {{0.25, 0}, {0.5, 104.75}}, kScale, RGB(0, 0, 128), RGB(255, 255, 192)};
        CaptionTiles tiles;
        const CaptionTile &tile = tiles.tile(key, text);
        QImage drawn(tile.pixels.size(), QImage::Format_RGB32);
        drawn.fill(toPixel(key.fill));
        QPainter painter(&drawn);
        painter.setPen(QColor(0, 0, 128));
        for (qsizetype i = 0; i < key.lines.size(); ++i)
            text.drawText(painter, key.origins[i] - QPointF(tile.area.topLeft()), key.lines[i], kScale);
        painter.end();
        int worst = 0, inked = 0;
        for (int y = 0; y < drawn.height(); ++y) {
            for (int x = 0; x < drawn.width(); ++x) {
                const QColor a = tile.pixels.pixel(x, y), b = drawn.pixel(x, y);
                inked += b != drawn.pixel(0, 0);
                worst = std::max({worst, std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                                  std::abs(a.blue() - b.blue())});
            }
        }
        QVERIFY2(inked > 1000, "Qt drew next to nothing of the lines");
        QVERIFY2(worst <= 1, qPrintable(QString("the kept caption is %1 units off Qt's drawing").arg(worst)));
    }

    // Either button goes on with the run the other started, and a click after all is shown starts
    // anew; free slots, loops and a parent in the last slot are handled.
    void replayClicks_data()
    {
        BlockTable gap = chainTable(), top = chainTable(), loop = chainTable();
        gap.freeSlot(4); // a deleted block neither shows nor holds the run open
        top.link(2, 4);  // the parent in the highest used slot
        loop.link(1, 2); // 1 and 2 each other's parent, 3 below 2, 4 alone: the loop and
        loop.link(4, 0); // what waits for it are never revealed
        test::addRows<Run>({
            {"freed slot, forward", {gap, "FFFFFF", "HHH-|RHH-|PRH-|PPR-|PPP-|HHH-", "1|0|0|0|0|1"}},
            // With 3 and 4 shown, forward only 1 may follow: 2 still waits for its parent.
            {"switching buttons", {chainTable(), "BBFBFB", "HHHH|HHRR|RHPP|PRPP|PPPP|HHHH", "1|0|0|0|0|1"}},
            {"parent in the last slot, forward", {top, "FFFFF", "HHHH|RHHH|PHHR|PRHP|PPRP", "1|0|0|0|0"}},
            {"loop, backward", {loop, "BBBB", "HHHH|HHRR|HHPP|HHPP", "1|0|0|0"}},
            {"loop, forward", {loop, "FFFF", "HHHH|HHHR|HHHP|HHHP", "1|0|0|0"}},
            {"empty table", {BlockTable(), "BFB", "||", "1|1|1"}},
        });
    }
    void replayClicks()
    {
        QFETCH(Run, row);
        const auto &[table, buttons, clicks, restarts] = row;
        AnimationState state;
        QStringList seen, started;
        for (const QChar button : buttons) {
            state.step(table, button == 'B' ? AnimationDirection::Backward : AnimationDirection::Forward);
            seen << looks(state, table);
            started << QString::number(state.restart);
        }
        COMPARE_FACTS(QString, {"the blocks after each click", seen.join('|'), clicks},
                      {"the restarts", started.join('|'), restarts});
        state.endRun(table); // a full redraw shows everything, and the next click starts anew
        QVERIFY(!looks(state, table).contains('H'));
        state.step(table, AnimationDirection::Forward);
        QVERIFY(state.restart);
    }

    // The replay's frames are drawn in the diagram's own font and density: with nothing hidden,
    // the picture faded in on a dense screen is the diagram's.
    void replayDrawsInTheDiagramsFontAndDensity()
    {
        BlockTable table = chainTable();
        for (int id = 1; id <= table.usedSlots(); ++id)
            table.setCaption(id, "Inspection of the relief valve was postponed twice");
        Surface diagram = startupSurface(670, 430, 2);
        diagram.setFont(twiceAsLarge(diagram.font()));
        PlotDiagram(diagram, table, DiagramColours(), "");
        const QImage plain = diagram.image();
        Surface buffer;
        FakePlatform platform;
        PlotDiagramHidden(buffer, diagram, table, DiagramColours(), AnimationState(), platform);
        QVERIFY2(diagram.image() == plain, "the replay's picture is not the diagram's");
    }

    // The blend gives old + (new - old) x alpha / 255. Stretches that are the same in both pictures
    // are skipped: a pixel that differs (in the lowest bit only) at the start of a row, amid it or
    // in the short stretch at its end must still be blended.
    void blend()
    {
        Surface white = filled(kWhite), picture = filled(kBlack);
        white.blendFrom(picture, 128);
        QCOMPARE(white.point(1924, 2), RGB(127, 127, 127));
        white = filled(kWhite);
        QImage dots = white.image();
        for (int row = 0; row < 3; ++row)
            dots.setPixel(std::array{0, 1001, 1924}[size_t(row)], row, toPixel(row == 0 ? RGB(255, 255, 254) : kBlack));
        picture.setImage(dots);
        white.takeChangedArea();
        white.blendFrom(picture, 255);
        QCOMPARE(white.image(), dots);
        QCOMPARE(white.takeChangedArea(), QRect(0, 0, 1925, 3));
        white.blendFrom(filled(kBlack), 0); // nothing of the new picture yet
        QCOMPARE(white.image(), dots);
    }

    // No events are handled while the replay's picture fades in, so each frame is shown before its pause.
    void fadeShowsEveryFrameBeforeItsPause()
    {
        Surface diagram = filled(kBlack);
        FakePlatform platform;
        QList<int> pausesBeforeEachFrame, expected;
        diagram.setRefreshListener([&](const QRect &) { pausesBeforeEachFrame << int(platform.pauses.size()); });
        fadeIn(diagram, filled(kWhite), kFadeFramePause, platform);
        for (int frame = 0; frame < kFadeFrames; ++frame)
            expected << frame;
        QCOMPARE(pausesBeforeEachFrame, expected);
    }

    // Every snapshot replaces the one before in the one file, a bitmap that Qt's own reader and
    // ours give back pixel for pixel (rows of these sizes need 2, 3, 1 and no bytes of padding), and
    // hands it to the picture viewer. Without a current folder there is no place for it: it says so
    // and opens nothing. (The window's own tests cover the folder and the message naming the file.)
    void snapshot()
    {
        TestEnvironment env;
        for (const QSize size : {QSize(670, 430), QSize(1, 1), QSize(3, 2), QSize(4, 5)}) {
            QImage image = startupSurface(size.width(), size.height()).image();
            image.setPixel(0, 0, qRgb(1, 2, 3)); // distinct corners show a flipped or shifted row
            image.setPixel(size.width() - 1, size.height() - 1, qRgb(250, 240, 230));
            const QByteArray bytes = readBytes(takeSnapshot(image, env.platform).path);
            QVERIFY(QImage::fromData(bytes, "BMP").convertToFormat(QImage::Format_RGB32) == image &&
                    decodeBmp(bytes) == image);
        }
        QCOMPARE(QDir(env.path("work")).entryList(QDir::Files | QDir::Hidden), QStringList{kSnapshotFileName});
        env.platform.current.clear();
        QCOMPARE(takeSnapshot(QImage(1, 1, QImage::Format_RGB32), env.platform).reason,
                 QString("The current folder is not available."));
        QCOMPARE(env.platform.openedUrls, QStringList(4, env.path("work/RCA_Snapshot.bmp")));
    }

    // The bitmap reader refuses what it was not made for rather than guess at it: other depths,
    // compression, no width, rows stored top down, more than 4096 pixels a side, pixels cut short;
    // a bitmap of 4096 pixels either way it reads whole.
    void bitmapReader_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");
        const auto bitmap = [](int width, int height) {
            QImage image(width, height, QImage::Format_RGB32);
            image.fill(Qt::gray);
            return encodeBmp24(image);
        };
        const auto patched = [&](int at, qint32 value) {
            QByteArray bytes = bitmap(2, 2);
            qToLittleEndian(value, bytes.data() + at);
            return bytes;
        };
        QTest::newRow("16 bits a pixel") << patched(28, 16) << QSize(0, 0);
        QTest::newRow("compressed") << patched(30, 1) << QSize(0, 0);
        QTest::newRow("no width") << patched(18, 0) << QSize(0, 0);
        QTest::newRow("rows top down") << patched(22, -2) << QSize(0, 0);
        QTest::newRow("wider than 4096") << bitmap(4097, 1) << QSize(0, 0);
        QTest::newRow("taller than 4096") << bitmap(1, 4097) << QSize(0, 0);
        QTest::newRow("pixels cut short") << bitmap(2, 2).chopped(1) << QSize(0, 0);
        QTest::newRow("4096 wide") << bitmap(4096, 1) << QSize(4096, 1);
        QTest::newRow("4096 high") << bitmap(1, 4096) << QSize(1, 4096);
    }
    void bitmapReader()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        QCOMPARE(decodeBmp(bytes).size(), size);
    }

    // The pictures the program carries: the key pictures come plain and dense, the window icon in
    // the two sizes it is drawn in. The pick pointer's hot spot is its tip: the lowest, leftmost pixel of the drawing.
    void pictures()
    {
        COMPARE_FACTS(QSize,
                      {"the category key at twice the density, halved", categoryKeyPicture(2).size() / 2,
                       categoryKeyPicture().size()},
                      {"the notes legend at twice the density, halved", notesLegendPicture(2).size() / 2,
                       notesLegendPicture().size()},
                      {"the icon of 32", windowIconImage(32).size(), QSize(32, 32)},
                      {"pictures of an unknown density or size",
                       categoryKeyPicture(3).size() + notesLegendPicture(3).size() + windowIconImage(24).size(),
                       QSize(0, 0)});
        const QImage pointer = pickPointerImage();
        const QPoint tip = pickPointerHotSpot();
        COMPARE_FACTS(int, {"the tip", qAlpha(pointer.pixel(tip)), 255},
                      {"left of the tip", qAlpha(pointer.pixel(tip - QPoint(1, 0))), 0},
                      {"below the tip", qAlpha(pointer.pixel(tip + QPoint(0, 1))), 0});
    }
};

TESSIK_TEST(RenderTest)
#include "render_test.moc"

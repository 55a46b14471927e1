#include "model/block_table.h"
#include "render/bands.h"
#include "render/plot_diagram.h"
#include "render/surface.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QFontInfo>

#include <functional>

using namespace tessik;
using namespace tessik::test;

namespace {

// Large enough to be split among threads: 600,000 pixels at one pixel a pixel.
constexpr int kWidth = 1000, kHeight = 600;

// Calls the test makes in one frame, or each done as it comes.
using Drawing = void (*)(Surface &);

// Rows of blocks over the whole picture, so that boxes, captions and links cross the lines
// where the picture is split.
BlockTable crowdedTable()
{
    BlockTable table;
    for (int i = 0; i < 40; ++i) {
        const int id = table.addBlock(float(i % 8) * 12 - 1, float(i / 8) * 7.3f - 16);
        table.setCaption(id, i % 3 ? QStringLiteral("Valve %1 seized after the pressure test").arg(i)
                                   : QStringLiteral("Pump %1").arg(i));
        table.setCategory(id, i % 2 ? QStringLiteral("Information") : QStringLiteral("Motives"));
        if (i > 0)
            table.link(id, std::int16_t(i % 8 ? id - 1 : id - 7));
    }
    return table;
}

struct FrameRow {
    qreal ratio;
    PlaneView view;
    int threads;
    Drawing draw;
};

Surface surfaceFor(qreal ratio = 1, const PlaneView &view = {}, int threads = 2)
{
    const int width = int(kWidth / ratio), height = int(kHeight / ratio);
    Surface s;
    s.setDevicePixelRatio(ratio);
    s.setView(view);
    s.resize(width, height);
    s.setMapping(PixelMapping::forStartupSize(width, height));
    s.setDrawingThreads(threads);
    return s;
}

// What a redraw draws on, and a change to it between two redraws.
struct Redraw {
    Surface s = surfaceFor();
    BlockTable t = crowdedTable(); // some captions found by the search
    QString keyWord = "valve 1";
};
using Change = std::function<void(Redraw &)>;

// Every kind of call: marks in XOR, a clear, hollow boxes whose captions are drawn through a
// painter between the other calls, circles and lines across the whole picture.
void everyKindOfCall(Surface &s)
{
    s.setFillStyle(FillStyle::Solid);
    s.setFillColour(RGB(200, 0, 0));
    s.roundRect(-10, -10, 2000, 2000, 0, 0);
    s.clear();
    for (int i = 0; i < 12; ++i) {
        const RoundedBox box{40 * i, 25 * i, 40 * i + 300, 25 * i + 200, 30, 20};
        s.setMixMode(i % 2 ? MixMode::Xor : MixMode::Copy);
        s.setFillStyle(i % 3 ? FillStyle::Solid : FillStyle::Transparent);
        s.setFillColour(RGB(20 * i, 100, 255 - 20 * i));
        s.roundRect(box.left, box.top, box.right, box.bottom, box.cornerWidth, box.cornerHeight);
        s.printCaption({{QStringLiteral("Seal %1 worn").arg(i), 5.0f * float(i) - 40, 3.0f * float(i) - 15}}, box);
        s.line(-50, float(i) * 3 - 20, 80, 25 - float(i) * 2, RGB(0, 64, 64));
        s.circle(float(i) * 8 - 40, float(i) * 2 - 10, 9, RGB(0, 90, 200));
    }
    s.setMixMode(MixMode::Copy);
}

// Every box first, then the captions over them: a caption is copied on its own, not with its box.
void captionsAfterTheBoxes(Surface &s)
{
    const auto boxOf = [](int i) { return RoundedBox{90 * (i % 10), 13 * i, 90 * (i % 10) + 85, 13 * i + 60, 20, 20}; };
    const auto fillOf = [](int i) { return RGB(255 - 9 * i, 200, 120 + 3 * i); };
    s.setFillStyle(FillStyle::Solid);
    for (int i = 0; i < 40; ++i) {
        const RoundedBox box = boxOf(i);
        s.setFillColour(fillOf(i));
        s.roundRect(box.left, box.top, box.right, box.bottom, box.cornerWidth, box.cornerHeight);
    }
    for (int i = 0; i < 40; ++i) {
        s.setFillColour(fillOf(i));
        const float x = s.mapping().pixelToUnitsX(boxOf(i).left + 8), y = s.mapping().pixelToUnitsY(boxOf(i).top + 8);
        s.printCaption({{QStringLiteral("Gasket"), x, y}, {QStringLiteral("cracked"), x, y + 1.4f}}, boxOf(i));
    }
}

} // namespace

Q_DECLARE_METATYPE(FrameRow)
Q_DECLARE_METATYPE(Change)

// A frame's drawing held and done on several threads, each on its own rows of the picture, must
// give the picture its calls give one by one on one thread.
class HeldDrawingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void splitFrameIsTheFrameDrawnWhole_data()
    {
        const PlaneView zoomed{4, 900, 500}, zoomedOut{0.5, 0, 0};
        QTest::addColumn<FrameRow>("row");
        QTest::addRow("every kind of call, one thread") << FrameRow{1, {}, 1, everyKindOfCall};
        QTest::addRow("every kind of call, ratio 2, three threads") << FrameRow{2, {}, 3, everyKindOfCall};
        QTest::addRow("every kind of call, zoomed in, two threads") << FrameRow{1, zoomed, 2, everyKindOfCall};
        QTest::addRow("every kind of call, ratio 1.5 zoomed out, four threads")
            << FrameRow{1.5, zoomedOut, 4, everyKindOfCall};
        QTest::addRow("captions after the boxes, seven threads") << FrameRow{1, {}, 7, captionsAfterTheBoxes};
    }
    void splitFrameIsTheFrameDrawnWhole()
    {
        QFETCH(FrameRow, row);
        Surface oneByOne = surfaceFor(row.ratio, row.view, 1), split = surfaceFor(row.ratio, row.view, row.threads);
        row.draw(oneByOne);
        split.beginFrame();
        row.draw(split);
        split.endFrame();
        QString diff = pictureDifference(oneByOne.image(), split.image());
        QVERIFY2(diff.isEmpty(), qPrintable("the picture drawn in one frame differs: " + diff));
        // The snapshot's picture is drawn from the same calls afterwards, on one thread.
        diff = pictureDifference(oneByOne.logicalImage(), split.logicalImage());
        QVERIFY2(diff.isEmpty(), qPrintable("the plain picture differs: " + diff));
    }

    // A frame after a change, split among threads, draws what a surface that never drew the
    // picture before draws on one thread: what a redraw takes over from the last frame (where
    // each caption's kept picture lies) follows every change of the captions, their boxes and the
    // picture.
    void redrawIsTheChangedDiagramDrawnAfresh_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addRow("a block moved across") << Change([](Redraw &r) { r.t.move(9, 11, r.t.block(9).y); });
        QTest::addRow("a block moved down") << Change([](Redraw &r) { r.t.move(9, r.t.block(9).x, 2); });
        QTest::addRow("a caption changed") << Change([](Redraw &r) { r.t.setCaption(12, "Pump 12"); });
        // Figures of one width: the lines wrap and lie as they did.
        QTest::addRow("a figure of a caption changed")
            << Change([](Redraw &r) { r.t.setCaption(11, "Valve 19 seized after the pressure test"); });
        QTest::addRow("the first block gone") << Change([](Redraw &r) { r.t.freeSlot(1); });
        QTest::addRow("a fill changed") << Change([](Redraw &r) { r.t.setCategory(6, "Motives"); });
        QTest::addRow("searched for another") << Change([](Redraw &r) { r.keyWord = "pump"; });
        QTest::addRow("scrolled a pixel") << Change([](Redraw &r) { r.s.setView({1, 1, 0}); });
        QTest::addRow("scrolled down a pixel") << Change([](Redraw &r) { r.s.setView({1, 0, 1}); });
        QTest::addRow("zoomed in on the corner") << Change([](Redraw &r) { r.s.setView({2, 0, 0}); });
        QTest::addRow("smaller") << Change([](Redraw &r) { r.s.resize(kWidth - 150, kHeight); });
        QTest::addRow("another mapping") << Change(
            [](Redraw &r) { r.s.setMapping(PixelMapping::forStartupSize(kWidth - 200, kHeight)); });
        QTest::addRow("twice the density") << Change([](Redraw &r) { r.s.setDevicePixelRatio(2); });
        QTest::addRow("a larger font") << Change([](Redraw &r) {
            QFont font = r.s.font();
            font.setPixelSize(QFontInfo(font).pixelSize() + 3);
            r.s.setFont(font);
        });
        // Italics of the same advances: the lines wrap and lie as they did, in other glyphs.
        QTest::addRow("italics") << Change([](Redraw &r) {
            QFont font = r.s.font();
            font.setItalic(true);
            r.s.setFont(font);
        });
    }
    void redrawIsTheChangedDiagramDrawnAfresh()
    {
        QFETCH(Change, change);
        Redraw fresh, again;
        fresh.s.setDrawingThreads(1);
        PlotDiagram(again.s, again.t, DiagramColours(), again.keyWord);
        for (Redraw *r : {&fresh, &again}) {
            change(*r);
            PlotDiagram(r->s, r->t, DiagramColours(), r->keyWord);
        }
        const QString diff = pictureDifference(fresh.s.image(), again.s.image());
        QVERIFY2(diff.isEmpty(), qPrintable("the redraw differs from the picture drawn afresh: " + diff));
    }

    // A caption printed again in another pen, or over a box it no longer fits in, is drawn as a
    // surface that never printed it draws it.
    void captionPrintedAgainOtherwiseIsDrawnAfresh_data()
    {
        QTest::addColumn<Colour>("pen");
        QTest::addColumn<QRect>("box"); // in pixels of the mapping, as where the caption starts
        QTest::addColumn<QPoint>("at");
        const QRect large(100, 100, 201, 201); // the box of the first frame
        QTest::newRow("in another pen") << kRed << large << QPoint(130, 185);
        QTest::newRow("over a box too small for it") << kBlack << QRect(150, 150, 41, 41) << QPoint(130, 185);
        QTest::newRow("moved across its box") << kBlack << large << QPoint(140, 185);
        QTest::newRow("moved down its box") << kBlack << large << QPoint(130, 195);
    }
    void captionPrintedAgainOtherwiseIsDrawnAfresh()
    {
        QFETCH(Colour, pen);
        QFETCH(QRect, box);
        QFETCH(QPoint, at);
        const auto frame = [](Surface &s, Colour pen, const QRect &box, QPoint at) {
            const RoundedBox rounded{box.left(), box.top(), box.right(), box.bottom(), 30, 30};
            const QPointF units(s.mapping().pixelToUnitsX(at.x()), s.mapping().pixelToUnitsY(at.y()));
            s.beginFrame();
            s.clear();
            s.setFillStyle(FillStyle::Solid);
            s.setFillColour(RGB(200, 230, 255));
            s.setPenColour(kBlack);
            s.roundRect(rounded.left, rounded.top, rounded.right, rounded.bottom, 30, 30);
            s.setPenColour(pen);
            s.printCaption({{QStringLiteral("Seized valve"), float(units.x()), float(units.y())}}, rounded);
            s.endFrame();
        };
        Surface again = surfaceFor(), fresh = surfaceFor();
        frame(again, kBlack, QRect(100, 100, 201, 201), QPoint(130, 185)); // printed once
        frame(again, pen, box, at);
        frame(fresh, pen, box, at);
        const QString diff = pictureDifference(fresh.image(), again.image());
        QVERIFY2(diff.isEmpty(), qPrintable("the caption printed again differs: " + diff));
    }

    // After a frame the whole picture counts as changed, so the view shows all of it.
    void frameChangesTheWholePicture()
    {
        Surface s = surfaceFor();
        (void)s.takeChangedArea();
        s.beginFrame();
        s.line(0, 0, 1, 1, kBlack);
        s.endFrame();
        QCOMPARE(s.takeChangedArea(), QRect(0, 0, kWidth, kHeight));
    }

    // A picture is split among the threads from half a megapixel on, one band a thread, never into
    // more bands than rows, and into one when no thread is asked for.
    void bandsForAPicture()
    {
        QCOMPARE(QList({bandCount(1023, 512, 2), bandCount(1024, 512, 2), bandCount(1920, 1080, 4),
                        bandCount(300000, 3, 4), bandCount(1920, 1080, 0)}),
                 QList({1, 2, 4, 3, 1}));
    }
};

TESSIK_TEST(HeldDrawingTest)

#include "held_drawing_test.moc"

#include "model/block_table.h"
#include "render/fonts.h"
#include "render/plot_diagram.h"
#include "render/surface.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <functional>
#include <memory>

using namespace tessik;
using namespace tessik::test;

namespace {

constexpr int kWidth = 200, kHeight = 150;

// What is drawn: the same calls go to a surface at one pixel a pixel and to one on a dense
// screen or in another view, whose plain picture must come out the same.
using Drawing = std::function<void(Surface &)>;

struct Row {
    qreal ratio;
    PlaneView view;
    Drawing draw;
};

Surface surfaceFor(qreal ratio, const PlaneView &view)
{
    Surface s;
    s.setDevicePixelRatio(ratio);
    s.setView(view);
    s.resize(kWidth, kHeight);
    s.setMapping(PixelMapping::forStartupSize(kWidth, kHeight));
    return s;
}

BlockTable chainOf(int blocks, float shift)
{
    BlockTable table;
    for (int i = 0; i < blocks; ++i) {
        const int id = table.addBlock(float(i % 5) * 13 + shift, float(i / 5) * 10 - 15);
        table.setCaption(id, QStringLiteral("Valve %1 seized").arg(i));
        if (i > 0)
            table.link(id, std::int16_t(id - 1));
    }
    return table;
}

// A picture whose every pixel is something other than white, so pixels a clear leaves show.
void fillRed(Surface &s)
{
    s.setMixMode(MixMode::Copy);
    s.setFillStyle(FillStyle::Solid);
    s.setPenColour(RGB(200, 0, 0));
    s.setFillColour(RGB(200, 0, 0));
    s.roundRect(-10, -10, kWidth + 10, kHeight + 10, 0, 0);
}

const RoundedBox kLeft{20, 20, 80, 70, 20, 20}, kRight{60, 40, 140, 110, 20, 20};

void redrawsWithMarksBetween(Surface &s)
{
    for (int frame = 0; frame < 12; ++frame) {
        PlotDiagram(s, chainOf(9, float(frame)), DiagramColours(), frame % 3 ? QString() : QStringLiteral("valve 4"));
        s.setMixMode(MixMode::Xor);
        s.roundRect(30 + frame, 30, 90 + frame, 80, 16, 16);
        s.line(0, 0, float(frame) * 5, 20, RGB(0, 64, 64));
        s.setMixMode(MixMode::Copy);
    }
}

void moreMarksThanAreKept(Surface &s)
{
    PlotDiagram(s, chainOf(6, 0), DiagramColours(), QString());
    s.setMixMode(MixMode::Xor);
    for (int mark = 0; mark < 5000; ++mark)
        s.line(-1, float(mark % 40) - 20, 60, float(mark % 29) - 10, RGB(0, 90, 200));
    s.setMixMode(MixMode::Copy);
}

void clearedBoxesNotAllDrawnAgain(Surface &s)
{
    fillRed(s);
    s.clearAround({kLeft, kRight});
    s.setFillColour(RGB(0, 200, 0));
    s.roundRect(kLeft.left, kLeft.top, kLeft.right, kLeft.bottom, kLeft.cornerWidth, kLeft.cornerHeight);
}

void boxesOnlyUnderEachOther(Surface &s)
{
    fillRed(s);
    s.clearAround({kLeft, kRight});
    s.setFillColour(RGB(0, 0, 200));
    s.roundRectUnder(kLeft, kRight);
    s.roundRectUnder(kRight, kLeft);
}

void clearedBoxesDrawnInXor(Surface &s)
{
    fillRed(s);
    s.clearAround({kLeft});
    s.setMixMode(MixMode::Xor);
    s.roundRect(kLeft.left, kLeft.top, kLeft.right, kLeft.bottom, kLeft.cornerWidth, kLeft.cornerHeight);
    s.setMixMode(MixMode::Copy);
}

// A hollow box hides nothing: what was under it before the clear still shows inside it.
void clearedBoxesDrawnHollow(Surface &s)
{
    fillRed(s);
    s.clearAround({kLeft});
    s.setFillStyle(FillStyle::Transparent);
    s.roundRect(kLeft.left, kLeft.top, kLeft.right, kLeft.bottom, kLeft.cornerWidth, kLeft.cornerHeight);
    s.setFillStyle(FillStyle::Solid);
}

// A box drawn under one that was drawn whole only before the latest clear: the part it leaves
// out still shows what came before that clear.
void underABoxDrawnBeforeTheClear(Surface &s)
{
    fillRed(s);
    s.clearAround({kLeft, kRight});
    s.setFillColour(RGB(0, 200, 0));
    s.roundRect(kRight.left, kRight.top, kRight.right, kRight.bottom, kRight.cornerWidth, kRight.cornerHeight);
    s.clearAround({kLeft});
    s.setFillColour(RGB(0, 0, 200));
    s.roundRectUnder(kLeft, kRight);
}

// A clear in full after a clear around boxes, with a read before them: drawing those boxes again
// later does not undo the full clear.
void clearedInFullAfterAClearAround(Surface &s)
{
    fillRed(s);
    (void)s.logicalImage();
    s.line(0, 0, 30, 10, kBlack);
    s.clearAround({kLeft, kRight});
    s.clear();
    s.line(0, 20, 30, 10, kBlack);
    s.setFillColour(RGB(0, 200, 0));
    s.roundRect(kLeft.left, kLeft.top, kLeft.right, kLeft.bottom, kLeft.cornerWidth, kLeft.cornerHeight);
    s.roundRect(kRight.left, kRight.top, kRight.right, kRight.bottom, kRight.cornerWidth, kRight.cornerHeight);
}

// A clear after a read, its box drawn again, then another box: what the clear did stays done.
void clearedAfterARead(Surface &s)
{
    fillRed(s);
    (void)s.logicalImage();
    s.line(0, 0, 30, 10, kBlack);
    s.clearAround({kLeft});
    s.setFillColour(RGB(0, 200, 0));
    s.roundRect(kLeft.left, kLeft.top, kLeft.right, kLeft.bottom, kLeft.cornerWidth, kLeft.cornerHeight);
    s.roundRect(kRight.left, kRight.top, kRight.right, kRight.bottom, kRight.cornerWidth, kRight.cornerHeight);
}

void mappingChangedBeforeTheRead(Surface &s)
{
    s.line(0, 0, 30, 10, kBlack);
    s.circle(10, 5, 3, kBlack);
    s.setMapping(PixelMapping::forStartupSize(kWidth / 2, kHeight / 2));
    s.line(0, 0, 30, 10, RGB(0, 0, 255));
}

void fontChangedBeforeTheRead(Surface &s)
{
    s.printAt(0, 0, QStringLiteral("Pump"));
    QFont larger = captionFont();
    larger.setPixelSize(larger.pixelSize() * 2);
    s.setFont(larger);
    s.printAt(0, 8, QStringLiteral("Pump"));
}

void resizedBeforeTheRead(Surface &s)
{
    PlotDiagram(s, chainOf(4, 0), DiagramColours(), QString());
    s.resize(kWidth + 40, kHeight + 30);
    s.line(-1, 20, 90, 20, kBlack);
}

// The drawing goes on in a copy; the original is gone before the picture is read.
void readThroughACopy(Surface &s)
{
    PlotDiagram(s, chainOf(7, 0), DiagramColours(), QString());
    auto original = std::make_unique<Surface>(s);
    original->line(0, 0, 40, 10, kBlack);
    s = *original;
    original.reset();
}

} // namespace

Q_DECLARE_METATYPE(Row)

// On a dense screen, or zoomed and scrolled, the plain picture (the snapshot's) is drawn only
// when it is read, from the drawing calls kept for it. Whatever came between, it must equal the
// picture of a surface at one pixel a pixel that took the same calls.
class PlainPictureTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void plainPictureIsTheOneOfRatioOne_data()
    {
        const PlaneView zoomed{2, 60, 40}, zoomedOut{0.5, 0, 0};
        const struct {
            const char *name;
            Drawing draw;
        } drawings[] = {{"redraws with marks between", redrawsWithMarksBetween},
                        {"more marks than are kept", moreMarksThanAreKept},
                        {"cleared boxes not all drawn again", clearedBoxesNotAllDrawnAgain},
                        {"boxes only under each other", boxesOnlyUnderEachOther},
                        {"cleared boxes drawn in XOR", clearedBoxesDrawnInXor},
                        {"cleared boxes drawn hollow", clearedBoxesDrawnHollow},
                        {"under a box drawn before the clear", underABoxDrawnBeforeTheClear},
                        {"cleared after a read", clearedAfterARead},
                        {"cleared in full after a clear around", clearedInFullAfterAClearAround},
                        {"mapping changed before the read", mappingChangedBeforeTheRead},
                        {"font changed before the read", fontChangedBeforeTheRead},
                        {"resized before the read", resizedBeforeTheRead},
                        {"read through a copy", readThroughACopy}};
        QTest::addColumn<Row>("row");
        for (const auto &[name, draw] : drawings) {
            QTest::addRow("%s, ratio 2", name) << Row{2, {}, draw};
            QTest::addRow("%s, zoomed in and scrolled", name) << Row{1, zoomed, draw};
            QTest::addRow("%s, ratio 1.5 zoomed out", name) << Row{1.5, zoomedOut, draw};
        }
    }
    void plainPictureIsTheOneOfRatioOne()
    {
        QFETCH(Row, row);
        Surface plain = surfaceFor(1, {});
        Surface dense = surfaceFor(row.ratio, row.view);
        row.draw(plain);
        row.draw(dense);
        const QString diff = pictureDifference(plain.image(), dense.logicalImage());
        QVERIFY2(diff.isEmpty(), qPrintable("the plain picture differs: " + diff));
    }

    // Read between redraws, the plain picture is that of the last one, and a read changes
    // nothing that is drawn after it.
    void readBetweenRedrawsKeepsUp()
    {
        Surface plain = surfaceFor(1, {});
        Surface dense = surfaceFor(2, {});
        for (int frame = 0; frame < 4; ++frame) {
            for (Surface *s : {&plain, &dense})
                PlotDiagram(*s, chainOf(5, float(frame) * 3), DiagramColours(), QString());
            const QString diff = pictureDifference(plain.image(), dense.logicalImage());
            QVERIFY2(diff.isEmpty(), qPrintable(QStringLiteral("frame %1: ").arg(frame) + diff));
        }
    }

    // In another view point() reads the plain picture: it is drawn for that read too.
    void pointReadsTheDrawnPlainPicture()
    {
        Surface plain = surfaceFor(1, {});
        Surface zoomed = surfaceFor(1, {2, 30, 30});
        for (Surface *s : {&plain, &zoomed})
            PlotDiagram(*s, chainOf(5, 0), DiagramColours(), QString());
        for (int y = 0; y < kHeight; y += 7) {
            for (int x = 0; x < kWidth; x += 5)
                QVERIFY2(zoomed.point(x, y) == plain.point(x, y), qPrintable(QStringLiteral("at %1,%2").arg(x).arg(y)));
        }
    }
};

TESSIK_TEST(PlainPictureTest)

#include "plain_picture_test.moc"

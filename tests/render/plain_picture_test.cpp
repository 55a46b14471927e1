#include "model/block_table.h"
#include "render/fonts.h"
#include "render/plot_diagram.h"
#include "render/surface.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <functional>

using namespace tessik;
using namespace tessik::test;

namespace {

constexpr int kWidth = 200, kHeight = 150;

// What is drawn: the same calls go to a surface at one pixel a pixel and to one on a dense
// screen or in another view, whose plain picture must come out the same.
using Drawing = std::function<void(Surface &)>;

Surface surfaceFor(qreal ratio, const PlaneView &view)
{
    Surface s;
    s.setDevicePixelRatio(ratio);
    s.setView(view);
    s.resize(kWidth, kHeight);
    s.setMapping(PixelMapping::forStartupSize(kWidth, kHeight));
    return s;
}

void plotChain(Surface &s, int blocks, float shift = 0)
{
    BlockTable table;
    for (int i = 0; i < blocks; ++i) {
        const int id = table.addBlock(float(i % 5) * 13 + shift, float(i / 5) * 10 - 15);
        table.setCaption(id, QStringLiteral("Valve %1 seized").arg(i));
        if (i > 0)
            table.link(id, std::int16_t(id - 1));
    }
    PlotDiagram(s, table, DiagramColours(), shift > 3 ? QString() : QStringLiteral("valve 4"));
}

const RoundedBox kLeft{20, 20, 80, 70, 20, 20}, kRight{60, 40, 140, 110, 20, 20};

void box(Surface &s, const RoundedBox &b, Colour fill = RGB(0, 200, 0))
{
    s.setFillColour(fill);
    s.roundRect(b.left, b.top, b.right, b.bottom, b.cornerWidth, b.cornerHeight);
}

// A picture whose every pixel is something other than white, so pixels a clear leaves show.
void fillRed(Surface &s)
{
    s.setMixMode(MixMode::Copy);
    s.setFillStyle(FillStyle::Solid);
    s.setPenColour(RGB(200, 0, 0));
    box(s, {-10, -10, kWidth + 10, kHeight + 10, 0, 0}, RGB(200, 0, 0));
}

void redCleared(Surface &s, const QList<RoundedBox> &boxes)
{
    fillRed(s);
    s.clearAround(boxes);
}

} // namespace

// On a dense screen, or zoomed and scrolled, the plain picture (the snapshot's) is drawn only
// when it is read, from the drawing calls kept for it. Whatever came between, it must equal the
// picture of a surface at one pixel a pixel that took the same calls.
class PlainPictureTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void plainPictureIsTheOneOfRatioOne_data()
    {
        // The kept calls are dropped at a clear around boxes only once every one of its boxes is
        // drawn over solid: the rows of cleared boxes leave one, or part of one, not drawn so.
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<PlaneView>("view");
        QTest::addColumn<Drawing>("draw");
        const auto add = [](const char *name, const Drawing &draw) {
            QTest::addRow("%s, ratio 2", name) << 2.0 << PlaneView{} << draw;
            QTest::addRow("%s, zoomed in and scrolled", name) << 1.0 << PlaneView{2, 60, 40} << draw;
            QTest::addRow("%s, ratio 1.5 zoomed out", name) << 1.5 << PlaneView{0.5, 0, 0} << draw;
        };
        // The picture is read between redraws with marks between them: a read changes nothing
        // drawn after it, and a redraw's clear drops what came before.
        add("redraws read between", [](Surface &s) {
            for (int frame = 0; frame < 4; ++frame) {
                plotChain(s, 9, float(frame) * 3);
                (void)s.logicalImage();
                s.setMixMode(MixMode::Xor);
                s.line(0, 0, float(frame) * 5, 20, RGB(0, 64, 64));
                s.setMixMode(MixMode::Copy);
            }
        });
        add("more marks than are kept", [](Surface &s) {
            plotChain(s, 6);
            s.setMixMode(MixMode::Xor);
            for (int mark = 0; mark < 5000; ++mark)
                s.line(-1, float(mark % 40) - 20, 60, float(mark % 29) - 10, RGB(0, 90, 200));
        });
        add("cleared boxes not all drawn again", [](Surface &s) {
            redCleared(s, {kLeft, kRight});
            box(s, kLeft);
        });
        add("boxes only under each other", [](Surface &s) {
            redCleared(s, {kLeft, kRight});
            s.setFillColour(RGB(0, 0, 200));
            s.roundRectUnder(kLeft, kRight);
            s.roundRectUnder(kRight, kLeft);
        });
        add("cleared boxes drawn in XOR", [](Surface &s) {
            redCleared(s, {kLeft});
            s.setMixMode(MixMode::Xor);
            box(s, kLeft);
        });
        // A hollow box hides nothing: what was under it before the clear still shows inside it.
        add("cleared boxes drawn hollow", [](Surface &s) {
            redCleared(s, {kLeft});
            s.setFillStyle(FillStyle::Transparent);
            box(s, kLeft);
        });
        // A box drawn under one that was drawn whole only before the latest clear: the part it
        // leaves out still shows what came before that clear.
        add("under a box drawn before the clear", [](Surface &s) {
            redCleared(s, {kLeft, kRight});
            box(s, kRight);
            s.clearAround({kLeft});
            s.setFillColour(RGB(0, 0, 200));
            s.roundRectUnder(kLeft, kRight);
        });
        // A clear after a read, its box drawn again, then another box: what the clear did
        // stays done.
        add("cleared after a read", [](Surface &s) {
            fillRed(s);
            (void)s.logicalImage();
            s.line(0, 0, 30, 10, kBlack);
            s.clearAround({kLeft});
            box(s, kLeft);
            box(s, kRight);
        });
        // A clear in full after a clear around boxes, with a read before them: drawing those
        // boxes again later does not undo the full clear.
        add("cleared in full after a clear around", [](Surface &s) {
            fillRed(s);
            (void)s.logicalImage();
            s.line(0, 0, 30, 10, kBlack);
            s.clearAround({kLeft, kRight});
            s.clear();
            s.line(0, 20, 30, 10, kBlack);
            box(s, kLeft);
            box(s, kRight);
        });
        add("mapping changed before the read", [](Surface &s) {
            s.line(0, 0, 30, 10, kBlack);
            s.circle(10, 5, 3, kBlack);
            s.setMapping(PixelMapping::forStartupSize(kWidth / 2, kHeight / 2));
            s.line(0, 0, 30, 10, RGB(0, 0, 255));
        });
        add("font changed before the read", [](Surface &s) {
            s.printAt(0, 0, QStringLiteral("Pump"));
            QFont larger = captionFont();
            larger.setPixelSize(larger.pixelSize() * 2);
            s.setFont(larger);
            s.printAt(0, 8, QStringLiteral("Pump"));
        });
        add("resized before the read", [](Surface &s) {
            plotChain(s, 4);
            s.resize(kWidth + 40, kHeight + 30);
            s.line(-1, 20, 90, 20, kBlack);
        });
    }
    void plainPictureIsTheOneOfRatioOne()
    {
        QFETCH(qreal, ratio);
        QFETCH(PlaneView, view);
        QFETCH(Drawing, draw);
        Surface plain = surfaceFor(1, {}), dense = surfaceFor(ratio, view);
        draw(plain);
        draw(dense);
        // In another view point() reads the plain picture: it is drawn for that read too.
        for (int y = 0; ratio == 1 && y < kHeight; y += 7)
            for (int x = 0; x < kWidth; x += 5)
                QVERIFY2(dense.point(x, y) == plain.point(x, y), qPrintable(QStringLiteral("at %1,%2").arg(x).arg(y)));
        const QString diff = pictureDifference(plain.image(), dense.logicalImage());
        QVERIFY2(diff.isEmpty(), qPrintable("the plain picture differs: " + diff));
    }
};

TESSIK_TEST(PlainPictureTest)

#include "plain_picture_test.moc"

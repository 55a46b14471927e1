// Zoom and scroll through the real window: a view setting only, never an edit of the analysis.
#include "support/test_main.h"
#include "support/window.h"

using namespace tessik;
using namespace tessik::test;

namespace {

const Step zoomIn = key(Qt::CTRL | Qt::Key_Plus), zoomOut = key(Qt::CTRL | Qt::Key_Minus),
           fit = key(Qt::CTRL | Qt::SHIFT | Qt::Key_F), startView = key(Qt::CTRL | Qt::Key_0);

// Pump.rca.xml, with a fourth block "Far" whose box starts at x 150, opened in a default-size window.
QString startWithFarBlock(WindowDriver &d)
{
    d.start();
    Analysis pump = analysisWith(3);
    pump.table.setCaption(pump.table.addBlock(155, 5), "Far");
    return d.load(pump, "Pump.rca.xml");
}

using ViewThen = std::pair<QList<Step>, QList<Step>>; // the view's gestures, then what is snapshot

bool barShown(WindowDriver &d)
{
    return d.control("diagramScrollX")->isVisible();
}

} // namespace

class ViewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QTest::failOnWarning(QRegularExpression(".")); } // Qt's own complaints are faults too

    // A block beyond the window's right edge is reached by the scroll bar's wheel, by fit or by
    // selecting it with the keyboard, and a click on it then opens the editor on it.
    void aFarBlockIsReached_data()
    {
        addRows<QList<Step>>(
            {{"Shift+wheel", {wheel(-40, Qt::ShiftModifier)}},
             {"fit from a text box", {focus("txtOffice"), fit}},
             {"zoomed out with Ctrl+wheel", {wheel(-5, Qt::ControlModifier)}},
             {"zoomed out with Ctrl and the wheel turned sideways", {wheelSideways(-5, Qt::ControlModifier)}},
             {"chosen with the arrows",
              {focus("picDiagram"), key(Qt::Key_Home), key(Qt::Key_Right), key(Qt::Key_Right), key(Qt::Key_Right)}}});
    }
    void aFarBlockIsReached()
    {
        QFETCH(QList<Step>, row);
        WindowDriver d;
        startWithFarBlock(d);
        QVERIFY2(barShown(d), "no scroll bar shows the way to the block at x 150");
        run(d, row);
        QVERIFY2(d.text("txtOffice") == "Plant North", "a zoom key was typed into the text box");
        d.clickDiagram(155, 5); // a press outside the drawing area or on a bar opens nothing
        QVERIFY2(d.panel() == "frameEdit" && d.text("txtText") == "Far", qPrintable(d.seen().join('\n')));
    }

    // A block in the diagram's top left corner is in view: no bar offers to scroll to it.
    void aBlockInTheCornerNeedsNoBar()
    {
        WindowDriver d;
        d.start();
        Analysis a = analysisWith(1);
        a.table.move(1, -1, -21.5f);
        d.load(a, "Corner.rca.xml");
        QVERIFY2(!barShown(d) && !d.control("diagramScrollY")->isVisible(), "a bar shows for a block in view");
    }

    // A block below the window's lower edge: the upright bar shows the way down, the other none.
    void aBlockBelowShowsTheUprightBar()
    {
        WindowDriver d;
        d.start();
        Analysis a = analysisWith(1);
        a.table.move(1, 0, 60);
        d.load(a, "Below.rca.xml");
        QVERIFY2(d.control("diagramScrollY")->isVisible() && !barShown(d), "no upright bar, or an across one, shows");
        const QRect bar = d.control("diagramScrollY")->geometry(), inner = d.control("picDiagram")->contentsRect();
        QVERIFY2(bar.right() == inner.right() && bar.top() == inner.top() && bar.bottom() == inner.bottom(),
                 "the upright bar does not run down the diagram's right edge");
    }

    // Where the upright bar shows, a block that it would cover brings the across bar too: no block
    // hides under a bar without a way to reach it.
    void noBlockHidesUnderTheUprightBar()
    {
        for (float x = 93; x <= 99; x += 0.25f) {
            WindowDriver d;
            d.start();
            Analysis a = analysisWith(2);
            a.table.move(1, 0, 60); // below the window: the upright bar shows
            a.table.move(2, x, 0);
            d.load(a, "Edge.rca.xml");
            const int barLeft = d.control("diagramScrollY")->x(), right = d.pixelOf(x + BlockBoxSize, 0).x();
            QVERIFY2(barShown(d) || right < barLeft,
                     qPrintable(QString("the block at x %1 ends under the bar").arg(x)));
        }
    }

    // A block whose shadow reaches past the view's right edge, if only by its last column, brings
    // the across bar.
    void noBlockEndsPastTheRightEdge()
    {
        for (float x = 95; x <= 99; x += 0.125f) {
            WindowDriver d;
            d.start();
            Analysis a = analysisWith(1);
            a.table.move(1, x, 0);
            d.load(a, "Edge.rca.xml");
            const int pastShadow = d.pixelOf(x + BlockBoxSize + 0.5f, 0).x();
            QVERIFY2(barShown(d) || pastShadow <= d.control("picDiagram")->contentsRect().right() + 1,
                     qPrintable(QString("the block at x %1 ends past the edge").arg(x)));
        }
    }

    // A right-drag drop lands at the unit under the pointer at every zoom, and a drop on another
    // block links the two as at 100 %; zooming alone is no edit.
    void aDropLandsOnTheSameUnits_data()
    {
        addRows<QList<Step>>({{"100 %", {}},
                              {"200 %", {zoomIn, zoomIn, zoomIn}},
                              {"50 %", {zoomOut, zoomOut, zoomOut}},
                              {"200 %, scrolled", {zoomIn, zoomIn, zoomIn, wheel(1), wheel(-1, Qt::ShiftModifier)}}});
    }
    void aDropLandsOnTheSameUnits()
    {
        QFETCH(QList<Step>, row);
        WindowDriver d;
        d.start();
        d.load(analysisWith(3));
        run(d, row);
        QVERIFY2(!d.document().isModified(), "zooming or scrolling counted as an edit");
        run(d, {drag(35, 5, 44.3f, -6.2f), drag(44, -6, 20, 5)});
        QCOMPARE(d.document().table().block(3).x, 39.0f);
        QCOMPARE(d.document().table().block(3).y, -11.0f);
        QCOMPARE(d.document().table().block(3).parent, 2);
        // The view shows the box where the pointer finds it: the middle of its left edge.
        const QPoint edge = d.pixelOf(39, -6) - d.control("picDiagram")->contentsRect().topLeft();
        QCOMPARE(fromPixel(d.diagramSurface().image().pixel(edge * d.diagramSurface().devicePixelRatio())), kBlack);
    }

    // Zoomed in and back out about points that do not fall on whole pixels, the view is the
    // start-up one again, pixel for pixel, not one pixel off.
    void zoomedBackToTheStartIsTheStartUpPicture_data()
    {
        const QPointF over(101.5, 77.5);
        addRows<QList<Step>>(
            {{"by the wheel, a notch at a time out", {zoomOver(2, over), zoomOver(-1, over), zoomOver(-1, over)}},
             {"by the wheel, through 80 %", {zoomOver(1, over), zoomOver(-2, over), zoomOver(1, over)}},
             {"by the keys", {zoomIn, zoomIn, zoomOut, zoomOut}}});
    }
    void zoomedBackToTheStartIsTheStartUpPicture()
    {
        QFETCH(QList<Step>, row);
        WindowDriver d;
        d.start();
        d.load(analysisWith(3));
        const QImage shown = d.diagramSurface().image();
        run(d, row);
        QVERIFY2(d.diagramSurface().image() == shown, "back at 100 %, the picture is not the start-up one");
    }

    // Each notch of the wheel out is one step: 80, 67, 50, 33 and 25 %. A box is as wide as the step says.
    void everyNotchOutIsOneStep()
    {
        WindowDriver d;
        d.start();
        d.load(analysisWith(1));
        const auto drawnWidth = [&] { // of everything not white, the box and its shadow
            const QImage image = d.diagramSurface().image().convertToFormat(QImage::Format_RGB32);
            int left = image.width(), right = -1;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (image.pixel(x, y) != qRgb(255, 255, 255))
                        left = std::min(left, x), right = std::max(right, x);
            return double(right - left + 1);
        };
        const double atFull = drawnWidth();
        for (const double zoom : {0.8, 2 / 3.0, 0.5, 1 / 3.0, 0.25}) {
            run(d, {zoomOver(-1, QPointF(0, 0))});
            const double width = drawnWidth();
            QVERIFY2(
                std::abs(width - atFull * zoom) <= 3,
                qPrintable(
                    QString("at %1 %: %2 pixels wide, not about %3").arg(zoom * 100).arg(width).arg(atFull * zoom)));
        }
    }

    // Back at 100 % about another point than the one zoomed in about, the view keeps the two
    // pixels that leaves: only a rounding's pixel is taken back to the start-up view.
    void zoomedBackElsewhereKeepsItsOffset()
    {
        WindowDriver d;
        d.start();
        d.load(analysisWith(3));
        const QImage shown = d.diagramSurface().image();
        run(d, {zoomOver(1, QPointF(8, 0)), zoomOver(-1, QPointF(0, 0))}); // 8 * 1.25 - 8 = 2 pixels
        const int two = int(2 * shown.devicePixelRatio()), width = shown.width() - two;
        QVERIFY2(d.diagramSurface().image().copy(0, 0, width, shown.height()) ==
                     shown.copy(two, 0, width, shown.height()),
                 "the view is not the start-up one moved two pixels");
    }

    // The snapshot is the 100 % picture whatever the view, the replay's included, and the file
    // never changes with the view; Ctrl+0 brings back the start-up picture pixel for pixel.
    void theViewReachesNoFile_data()
    {
        const QList<Step> replay{press("btnAnimate"), press("btnAnimate")};
        addRows<ViewThen>({{"zoomed in and scrolled", {{zoomIn, zoomIn, wheel(-2), wheel(2, Qt::ShiftModifier)}, {}}},
                           {"zoomed out", {{zoomOut, zoomOut}, {}}},
                           {"fit", {{fit}, {}}},
                           {"a replay step zoomed in", {{wheel(1, Qt::ControlModifier)}, replay}}});
    }
    void theViewReachesNoFile()
    {
        QFETCH(ViewThen, row);
        const auto &[view, then] = row;
        WindowDriver d;
        const QString file = startWithFarBlock(d);
        const QByteArray saved = readBytes(file);
        const QImage shown = d.diagramSurface().image();
        run(d, then + QList<Step>{press("btnSnapShot")});
        const QByteArray atStart = readBytes(d.platform.openedUrls.last());
        run(d, view + then + QList<Step>{press("btnSnapShot")});
        QVERIFY2(readBytes(d.platform.openedUrls.last()) == atStart, "the snapshot depends on the view");
        QVERIFY2(readBytes(file) == saved && !d.document().isModified(), "the view changed the analysis");
        run(d, {startView});
        QVERIFY2(d.diagramSurface().image() == shown, "Ctrl+0 does not bring back the start-up picture");
    }
};

TESSIK_TEST(ViewTest)
#include "view_test.moc"

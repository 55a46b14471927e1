// Zoom and scroll through the real window: a view setting only, never an edit of the analysis.
#include "support/test_main.h"
#include "support/window.h"

#include <QScrollBar>

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
using ZoomedBack = std::pair<QList<Step>, int>;       // the gestures, then the pixels the view is moved by

bool barShown(WindowDriver &d)
{
    return d.control("diagramScrollX")->isVisible();
}

// The view's left edge and the upright bar's width (0 when hidden) once the keys have chosen "Far"
// at x 155, past the right edge; "Farther" beyond it leaves the view room to move on, and a block
// far below brings the upright bar.
std::pair<int, int> viewAfterChoosingFar(bool blockBelow)
{
    WindowDriver d;
    d.start();
    Analysis a = analysisWith(3);
    a.table.setCaption(a.table.addBlock(155, 5), "Far");
    a.table.setCaption(a.table.addBlock(185, 5), "Farther");
    if (blockBelow)
        a.table.setCaption(a.table.addBlock(5, 60), "Deep");
    d.load(a, "Pump.rca.xml");
    run(d, {focus("picDiagram"), key(Qt::Key_Home), key(Qt::Key_Right), key(Qt::Key_Right), key(Qt::Key_Right)});
    const auto *upright = d.find<QScrollBar>("diagramScrollY");
    const std::pair view(d.find<QScrollBar>("diagramScrollX")->value(), upright->isVisible() ? upright->width() : 0);
    d.key(Qt::Key_Return);
    return d.text("txtText") == "Far" ? view : std::pair(-1, -1);
}

} // namespace

class ViewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QTest::failOnWarning(QRegularExpression(".")); } // Qt's own complaints are faults too

    // A block beyond the window's right edge is reached by the scroll bar's wheel or by zooming
    // out, and a click on it then opens the editor on it.
    void aFarBlockIsReached_data()
    {
        addRows<QList<Step>>(
            {{"Shift+wheel", {wheel(-40, Qt::ShiftModifier)}},
             {"fit from a text box", {focus("txtOffice"), fit}},
             {"zoomed out with Ctrl+wheel", {wheel(-5, Qt::ControlModifier)}},
             {"zoomed out with Ctrl and the wheel turned sideways", {wheelSideways(-5, Qt::ControlModifier)}}});
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

    // A block in the top left corner is in view: no bar offers to scroll to it; one below the
    // window's lower edge brings the upright bar alone.
    void theBarsShowWhereABlockIsOutOfView_data()
    {
        QTest::addColumn<QPointF>("block");
        QTest::addColumn<bool>("upright");
        QTest::newRow("in the corner") << QPointF(-1, -21.5) << false;
        QTest::newRow("below") << QPointF(0, 60) << true;
    }
    void theBarsShowWhereABlockIsOutOfView()
    {
        QFETCH(QPointF, block);
        QFETCH(bool, upright);
        WindowDriver d;
        d.start();
        Analysis a = analysisWith(1);
        a.table.move(1, float(block.x()), float(block.y()));
        d.load(a, "Corner.rca.xml");
        QVERIFY2(!barShown(d), "the across bar shows for a block within the window's width");
        QCOMPARE(d.control("diagramScrollY")->isVisible(), upright);
    }

    // A block that the upright bar would cover, or whose shadow reaches past the view's right edge
    // if only by its last column, brings the across bar: no block hides without a way to reach it.
    void noBlockHidesAtTheRightEdge_data()
    {
        QTest::addColumn<bool>("upright");
        QTest::newRow("under the upright bar") << true;
        QTest::newRow("past the edge") << false;
    }
    void noBlockHidesAtTheRightEdge()
    {
        QFETCH(bool, upright);
        for (float x = upright ? 93 : 95; x <= 99; x += upright ? 0.25f : 0.125f) {
            WindowDriver d;
            d.start();
            Analysis a = analysisWith(upright ? 2 : 1);
            a.table.move(1, 0, 60); // below the window: the upright bar shows
            a.table.move(a.table.usedSlots(), x, 0);
            d.load(a, "Edge.rca.xml");
            const int end = d.pixelOf(x + BlockBoxSize + (upright ? 0 : 0.5f), 0).x(),
                      last = upright ? d.control("diagramScrollY")->x() - 1
                                     : d.control("picDiagram")->contentsRect().right() + 1;
            QVERIFY2(barShown(d) || end <= last, qPrintable(QString("the block at x %1 ends out of reach").arg(x)));
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
    // start-up one again, pixel for pixel, not one pixel off. Back at 100 % about another point
    // than the one zoomed in about, the view keeps the pixels that leaves: 8 * 1.25 - 8 = 2.
    void zoomedBackToTheStartIsTheStartUpPicture_data()
    {
        const QPointF over(101.5, 77.5);
        addRows<ZoomedBack>(
            {{"by the wheel, a notch at a time out", {{zoomOver(2, over), zoomOver(-1, over), zoomOver(-1, over)}, 0}},
             {"by the wheel, through 80 %", {{zoomOver(1, over), zoomOver(-2, over), zoomOver(1, over)}, 0}},
             {"by the keys", {{zoomIn, zoomIn, zoomOut, zoomOut}, 0}},
             {"about another point", {{zoomOver(1, QPointF(8, 0)), zoomOver(-1, QPointF(0, 0))}, 2}}});
    }
    void zoomedBackToTheStartIsTheStartUpPicture()
    {
        QFETCH(ZoomedBack, row);
        WindowDriver d;
        d.start();
        d.load(analysisWith(3));
        const QImage shown = d.diagramSurface().image();
        run(d, row.first);
        const int moved = int(row.second * shown.devicePixelRatio()), width = shown.width() - moved;
        QVERIFY2(
            d.diagramSurface().image().copy(0, 0, width, shown.height()) == shown.copy(moved, 0, width, shown.height()),
            qPrintable(QString("back at 100 %, the picture is not the start-up one moved %1 pixels").arg(row.second)));
    }

    // A block chosen by keys past the right edge comes just into view with its focus ring whole:
    // beside the upright bar the view moves on by the bar's width, no more and no less.
    void aChosenBlockComesJustIntoView()
    {
        const auto [alone, noBar] = viewAfterChoosingFar(false);
        const auto [beside, bar] = viewAfterChoosingFar(true);
        QVERIFY2(alone > 0 && beside > 0, "the keys did not choose the far block, or the view did not move to it");
        QCOMPARE(noBar, 0);
        QVERIFY2(bar > 0, "a block far below brings no upright bar");
        QCOMPARE(beside - alone, bar);
    }

    // Each notch of the wheel out is one step: 80, 67, 50, 33 and 25 %.
    void everyNotchOutIsOneStep()
    {
        WindowDriver d;
        d.start();
        d.load(analysisWith(1));
        for (const double zoom : {0.8, 2 / 3.0, 0.5, 1 / 3.0, 0.25}) {
            run(d, {zoomOver(-1, QPointF(0, 0))});
            const double shown = d.diagramSurface().view().zoom;
            QVERIFY2(std::abs(shown - zoom) < 0.01, qPrintable(QString("%1, not %2").arg(shown).arg(zoom)));
        }
    }

    // The snapshot is the 100 % picture whatever the view, the replay's included, and the file
    // never changes with the view; Ctrl+0 brings back the start-up picture pixel for pixel.
    void theViewReachesNoFile_data()
    {
        const QList<Step> replay{press("btnAnimate"), press("btnAnimate")};
        addRows<ViewThen>({{"zoomed in and scrolled", {{zoomIn, zoomIn, wheel(-2), wheel(2, Qt::ShiftModifier)}, {}}},
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

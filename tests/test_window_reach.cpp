#include "support/window_fixture.h"

#include <QPushButton>
#include <QTest>

using namespace tessik;
using namespace tessik::test;

namespace {

// Whether the control shows whole, not cut by the window or by the panel it stands on, and a
// click on its middle reaches it. (A few controls overlap a neighbour by design.)
bool wholeInReach(frmKelvane &w, QWidget *control)
{
    const QRect r(control->mapTo(&w, QPoint(0, 0)), control->size());
    for (QWidget *outer = control->parentWidget(); outer != &w; outer = outer->parentWidget()) {
        if (!QRect(outer->mapTo(&w, QPoint(0, 0)), outer->size()).contains(r))
            return false;
    }
    QWidget *hit = w.childAt(r.center());
    return w.rect().contains(r) && hit && (hit == control || control->isAncestorOf(hit));
}

} // namespace

class TestWindowReach : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The window cannot be made smaller than the size at which every control of the panel on
    // show can be seen and clicked whole.
    void everyControlInReachAtTheSmallestSize_data()
    {
        QTest::addColumn<QString>("panel");
        QTest::newRow("command panel") << "frameControl";
        QTest::newRow("block editor") << "frameEdit";
        QTest::newRow("search panel") << "frameAnalyze";
    }
    void everyControlInReachAtTheSmallestSize()
    {
        QFETCH(QString, panel);
        WindowFixture f;
        frmKelvane &w = f.start();
        const QSize smallest = w.minimumSize();
        QVERIFY(smallest.width() <= 1000 && smallest.height() <= 699); // the window starts larger
        w.resize(200, 100);
        QCOMPARE(w.size(), smallest);
        w.document().addBlock(5, -16);
        if (panel == "frameEdit")
            w.EditBlock(1);
        if (panel == "frameAnalyze")
            w.btnAnalyze->click();
        auto *shown = w.findChild<QFrame *>(panel);
        QVERIFY(shown && shown->isVisible());

        QStringList out;
        QList<QWidget *> controls = shown->findChildren<QWidget *>();
        controls << w.picDiagram << shown;
        for (QWidget *control : controls) {
            // Qt's own parts of a control (a list's viewport, its scroll bars) come with it.
            if (control->objectName().isEmpty() || control->objectName().startsWith("qt_") || !control->isVisible())
                continue;
            if (!wholeInReach(w, control))
                out << control->objectName();
        }
        QVERIFY2(out.isEmpty(), qPrintable("out of reach: " + out.join(", ")));
        QVERIFY(controls.size() > 5);
    }

    // At the smallest size a block at the top of the diagram still shows whole, shadow included.
    void smallestDiagramHoldsABlock()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        w.resize(w.minimumSize());
        // A block at the top of the diagram, shadow included.
        const int id = w.document().addBlock(5, w.mapping().DiagramTop + kHalfBox + 0.5f);
        const PixelMapping &m = w.mapping();
        const int shadowBottom = m.ScaleToPixelsY(w.table().BlockY[id] + 10.5f) - 1;
        QVERIFY(shadowBottom < w.diagram().pixelHeight());
        QCOMPARE(w.diagram().point(m.ScaleToPixelsX(5), shadowBottom), RGB(164, 164, 164));
    }
};

QTEST_MAIN(TestWindowReach)
#include "test_window_reach.moc"

// What the screen shows of the diagram after each kind of change: the picture the window drew,
// repainted where it changed, never a picture from before the change.
#include "support/test_main.h"
#include "support/window.h"

using namespace tessik;
using namespace tessik::test;

class ShownDiagramTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QTest::failOnWarning(QRegularExpression(".")); }

    void screenShowsTheDrawnPicture_data()
    {
        QTest::addColumn<QList<Step>>("steps");
        QTest::newRow("loaded") << QList<Step>{};
        QTest::newRow("a block moved") << QList<Step>{drag(20, 5, 30, 15)};
        QTest::newRow("a move undone") << QList<Step>{drag(20, 5, 30, 15), key(Qt::CTRL | Qt::Key_Z)};
        QTest::newRow("a block opened in the editor") << QList<Step>{at(20, 5)};
        QTest::newRow("a caption changed") << QList<Step>{at(20, 5), type("txtText", " leaks"), press("btnImplement")};
        QTest::newRow("a new analysis") << QList<Step>{press("btnNew")};
    }
    void screenShowsTheDrawnPicture()
    {
        QFETCH(QList<Step>, steps);
        WindowDriver d;
        d.start();
        d.load(analysisWith(3), "Pump.rca.xml");
        d.onScreen("picDiagram"); // the first picture is on the screen
        run(d, steps);
        const QImage drawn = d.diagramSurface().image().convertToFormat(QImage::Format_RGB32);
        const QString diff = pictureDifference(drawn, d.onScreen("picDiagram"));
        QVERIFY2(diff.isEmpty(), qPrintable("the screen does not show the diagram drawn: " + diff));
    }

    // While the button is held the diagram shows the dragged box's outline, following the pointer,
    // and the screen shows it too: it is drawn while no other event asks for a repaint. The release
    // leaves no trace of it.
    void screenShowsTheOutlineWhileDragging()
    {
        WindowDriver d;
        d.start();
        d.load(analysisWith(3), "Pump.rca.xml");
        d.onScreen("picDiagram");
        QString diff = "the drag did not start";
        d.dragDiagram(20, 5, 30, 15, {}, [&] { // the box's left edge, moved with the pointer from 15 to 25
            QVERIFY2(d.diagramColour(25, 15) != kWhite, "no outline follows the pointer");
            const QImage drawn = d.diagramSurface().image().convertToFormat(QImage::Format_RGB32);
            diff = pictureDifference(drawn, d.onScreen("picDiagram"));
        });
        QVERIFY2(diff.isEmpty(), qPrintable("the screen does not show the dragged outline: " + diff));
        QVERIFY2(d.diagramShowsTable(), "the outline stayed after the release");
    }
};

TESSIK_TEST(ShownDiagramTest)

#include "shown_diagram_test.moc"

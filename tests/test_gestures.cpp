#include "support/gui_driver.h"
#include "support/window_fixture.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace tessik;
using namespace tessik::test;

namespace {

void clickPicture(SurfaceView *picture, QPoint at)
{
    at += picture->contentsRect().topLeft();
    QTest::mouseClick(picture, Qt::LeftButton, {}, at);
}

QImage freshDrawing(frmKelvane &w)
{
    Surface fresh(w.diagram().pixelWidth(), w.diagram().pixelHeight());
    fresh.setMapping(w.mapping());
    PlotDiagram(fresh, w.table(), w.colours, QString());
    return fresh.image();
}

} // namespace

class TestGestures : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void buildTheWorkedExampleByHand()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        // Two blocks, made by left presses and captioned with Enter.
        clickDiagram(w, Qt::LeftButton, 5, 5);
        typeText(w.txtText, "Conveyor stopped");
        pressEnter(w.txtText);
        clickDiagram(w, Qt::LeftButton, 20, 2);
        typeText(w.txtText, "Sensor data missing");
        typeText(w.txtNotes, "Technology");
        pressEnter(w.txtText);
        // A category from the key picture, dropped on the second block.
        clickPicture(w.PicCategories, QPoint(160, 30));
        clickDiagram(w, Qt::LeftButton, 20, 2);
        // The second block dragged with the right button onto the first: the left one is the parent.
        dragDiagram(w, Qt::RightButton, 20, 2, 5, 5);
        QCOMPARE(w.diagram().image(), freshDrawing(w)); // the drag marks left no trace
        typeText(w.txtDescription, "Conveyor stopped twice");
        typeText(w.txtemail, "operator");
        typeText(w.txtOffice, "Plant North");
        const QString target = f.path("work/Conveyorstoppedtwice_operator.rca.xml");
        f.platform.fileAnswers.enqueue(target);
        QTest::mouseClick(w.btnSave, Qt::LeftButton);
        QVERIFY2(f.platform.messages.isEmpty(), qPrintable(f.platform.messages.join('\n')));
        QCOMPARE(f.platform.fileRequests.value(0).fileName, QString("Conveyorstoppedtwice_operator"));
        const QByteArray written = readBytes(target);
        QCOMPARE(written.size(), 623);
        QCOMPARE(written, readBytes(TESSIK_TEST_DATA "/worked_example.rca.xml"));
    }

    void rightDragWithAModifierMovesTheDescendants()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        for (const QPointF &centre : {QPointF(5, 5), QPointF(25, 5), QPointF(45, 5), QPointF(45, -15)}) {
            clickDiagram(w, Qt::LeftButton, float(centre.x()), float(centre.y()));
            w.btnCancel->click();
        }
        dragDiagram(w, Qt::RightButton, 45, 5, 25, 5); // 3 under 2
        dragDiagram(w, Qt::RightButton, 25, 5, 5, 5);  // 2 under 1
        QCOMPARE(w.table().BlockParent[3], std::int16_t(2));
        QCOMPARE(w.table().BlockParent[2], std::int16_t(1));
        dragDiagram(w, Qt::RightButton, 5, 5, 5, -10, Qt::ControlModifier);
        QCOMPARE(w.table().BlockY[1], -15.0f);
        QCOMPARE(w.table().BlockY[2], -15.0f);
        QCOMPARE(w.table().BlockY[3], -15.0f);
        QCOMPARE(w.table().BlockY[4], -20.0f);             // not linked: stays
        dragDiagram(w, Qt::RightButton, 45, -10, 60, -10); // block 3 alone
        QCOMPARE(w.table().BlockX[3], 55.0f);
        QCOMPARE(w.table().BlockX[2], 20.0f);
        QCOMPARE(w.windowTitle(), QString("Tessik:  *"));
        QCOMPARE(w.diagram().image(), freshDrawing(w));
    }

    void loopIsRefusedInTheWindow()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        clickDiagram(w, Qt::LeftButton, 10, 0);
        w.btnCancel->click();
        clickDiagram(w, Qt::LeftButton, 40, 0);
        w.btnCancel->click();
        dragDiagram(w, Qt::RightButton, 40, 0, 10, 0); // 2 under 1
        dragDiagram(w, Qt::RightButton, 10, 0, 55, 0); // 1 moves right of 2
        const int steps = w.document().history().count();
        const BlockTable before = w.table();
        dragDiagram(w, Qt::RightButton, 55, 0, 40, 0); // would put 2's parent under 2
        QCOMPARE(f.platform.messages, QStringList{DiagramMouse::kLoopMessage});
        QCOMPARE(w.table().BlockParent, before.BlockParent);
        QCOMPARE(w.table().BlockX, before.BlockX);
        QCOMPARE(w.document().history().count(), steps); // refused: no step to undo
        QCOMPARE(w.diagram().image(), freshDrawing(w));
    }
};

QTEST_MAIN(TestGestures)
#include "test_gestures.moc"

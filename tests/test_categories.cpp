#include "support/document_state.h"
#include "support/gui_driver.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace tessik;
using namespace tessik::test;

namespace {

void send(QWidget *picture, QEvent::Type type, QPoint local)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(local), QPointF(picture->mapToGlobal(local)), button, held, {});
    QApplication::sendEvent(picture, &event);
}

// Press and release on the picture: the pick waits for a click on a block.
void clickPicture(SurfaceView *picture, int x, int y)
{
    const QPoint at = QPoint(x, y) + picture->contentsRect().topLeft();
    send(picture, QEvent::MouseButtonPress, at);
    send(picture, QEvent::MouseButtonRelease, at);
}

// Press on the picture and release over the diagram: the picture holds the mouse, so the
// release arrives at the picture with the pointer over the diagram.
void dragFromPicture(frmKelvane &w, int x, int y, float toX, float toY)
{
    send(w.PicCategories, QEvent::MouseButtonPress, QPoint(x, y) + w.PicCategories->contentsRect().topLeft());
    const QPoint target = w.PicCategories->mapFromGlobal(w.picDiagram->mapToGlobal(diagramPixel(w, toX, toY)));
    send(w.PicCategories, QEvent::MouseMove, target);
    send(w.PicCategories, QEvent::MouseButtonRelease, target);
}

frmKelvane &windowWithTwoBlocks(WindowFixture &f, const std::function<void(BlockTable &)> &prepare = {})
{
    frmKelvane &w = f.start();
    Analysis analysis;
    analysis.table.addBlock(10, 0);
    analysis.table.addBlock(40, 0);
    if (prepare)
        prepare(analysis.table);
    openAnalysis(f, analysis);
    return w;
}

} // namespace

class TestCategories : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void viewSwitchShowsOnePictureAndRecolours()
    {
        WindowFixture f;
        frmKelvane &w = windowWithTwoBlocks(f, [](BlockTable &t) {
            t.BlockNotes[1] = "technology";
            t.BlockCategory[1] = "Motives";
        });
        QCOMPARE(diagramColour(w, 10, -4), RGB(96, 246, 121));
        w.optType[0]->click();
        QVERIFY(!w.picLedgend->isHidden() && w.PicCategories->isHidden());
        QCOMPARE(diagramColour(w, 10, -4), RGB(191, 255, 191));
        QVERIFY(!w.document().isModified()); // switching the view changes nothing in the analysis
        w.optType[1]->click();
        QVERIFY(w.picLedgend->isHidden());
        QCOMPARE(diagramColour(w, 10, -4), RGB(96, 246, 121));
    }

    void clickPictureThenClickBlock_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<QString>("category");
        QTest::newRow("middle of the Motives cell") << 100 << 75 << "Motives";
        QTest::newRow("the white ground empties the field") << 5 << 5 << "";
    }
    void clickPictureThenClickBlock()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(QString, category);
        WindowFixture f;
        frmKelvane &w = windowWithTwoBlocks(f, [](BlockTable &t) { t.BlockCategory[2] = "Information"; });
        clickPicture(w.PicCategories, x, y);
        QVERIFY(w.PickPending);
        QVERIFY(QApplication::overrideCursor());
        clickDiagram(w, Qt::LeftButton, 40, 0); // the press neither opens nor adds
        QVERIFY(w.frameEdit->isHidden());
        QCOMPARE(w.table().BlockCount, std::int16_t(2));
        QCOMPARE(w.table().BlockCategory[2], category);
        QVERIFY(!w.PickPending && !QApplication::overrideCursor());
        QVERIFY(w.document().isModified());
    }

    void dragFromThePicture_data()
    {
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<QString>("category");
        QTest::newRow("onto a block") << QPointF(10, 0) << "Physical Resources";
        QTest::newRow("onto empty space: discarded") << QPointF(25, 15) << "";
    }
    void dragFromThePicture()
    {
        QFETCH(QPointF, to);
        QFETCH(QString, category);
        WindowFixture f;
        frmKelvane &w = windowWithTwoBlocks(f);
        const Colour before = diagramColour(w, 10, -3);
        dragFromPicture(w, 40, 30, float(to.x()), float(to.y()));
        QVERIFY(!w.PickPending && !QApplication::overrideCursor());
        QCOMPARE(w.table().BlockCategory[1], category);
        QVERIFY(w.table().BlockCategory[2].isEmpty());
        QCOMPARE(w.document().isModified(), !category.isEmpty());
        QCOMPARE(diagramColour(w, 10, -3), category.isEmpty() ? before : RGB(251, 191, 191));
    }

    // The view at the release decides the field, and of two picks only the last is dropped.
    void theLastPickGoesIntoTheFieldOfTheViewAtTheRelease()
    {
        WindowFixture f;
        frmKelvane &w = windowWithTwoBlocks(f);
        clickPicture(w.PicCategories, 100, 75);
        clickPicture(w.PicCategories, 160, 30);
        w.optType[0]->click(); // the pick survives the switch
        QVERIFY(w.PickPending);
        clickDiagram(w, Qt::LeftButton, 10, 0);
        QCOMPARE(w.table().BlockNotes[1], QString("Information"));
        QVERIFY(w.table().BlockCategory[1].isEmpty());
        QVERIFY(!QApplication::overrideCursor()); // one press of the pointer, one release
    }
};

QTEST_MAIN(TestCategories)
#include "test_categories.moc"

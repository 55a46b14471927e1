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

QPoint picturePoint(SurfaceView *picture, int x, int y) { return QPoint(x, y) + picture->contentsRect().topLeft(); }

void send(QWidget *target, QEvent::Type type, QPoint local, QPoint global)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(local), QPointF(global), button, held, {});
    QApplication::sendEvent(target, &event);
}

// Press and release on the picture: the pick waits for a click on a block.
void clickPicture(SurfaceView *picture, int x, int y)
{
    const QPoint at = picturePoint(picture, x, y);
    send(picture, QEvent::MouseButtonPress, at, picture->mapToGlobal(at));
    send(picture, QEvent::MouseButtonRelease, at, picture->mapToGlobal(at));
}

// Press on the picture and release over the diagram: the picture holds the mouse, so the
// release arrives at the picture with the pointer over the diagram.
void dragFromPicture(frmKelvane &w, SurfaceView *picture, int x, int y, float toX, float toY)
{
    const QPoint at = picturePoint(picture, x, y);
    send(picture, QEvent::MouseButtonPress, at, picture->mapToGlobal(at));
    const QPoint target = w.picDiagram->mapToGlobal(diagramPixel(w, toX, toY));
    send(picture, QEvent::MouseMove, picture->mapFromGlobal(target), target);
    send(picture, QEvent::MouseButtonRelease, picture->mapFromGlobal(target), target);
}

frmKelvane &windowWithTwoBlocks(WindowFixture &f)
{
    frmKelvane &w = f.start();
    clickDiagram(w, Qt::LeftButton, 10, 0);
    w.btnCancel->click();
    clickDiagram(w, Qt::LeftButton, 40, 0);
    w.btnCancel->click();
    return w;
}

} // namespace

class TestCategories : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void viewSwitchShowsOnePictureAndRecolours()
    {
        WindowFixture f;
        frmKelvane &w = windowWithTwoBlocks(f);
        w.table().BlockNotes[1] = "technology";
        w.table().BlockCategory[1] = "Motives";
        w.PlotDiagram(QString());
        QCOMPARE(diagramColour(w, 10, -4), RGB(96, 246, 121));
        w.optType[0]->click();
        QCOMPARE(w.colours.ViewType, 0);
        QVERIFY(!w.picLedgend->isHidden());
        QVERIFY(w.PicCategories->isHidden());
        QCOMPARE(diagramColour(w, 10, -4), RGB(191, 255, 191));
        QVERIFY(!w.Unsaved); // switching the view changes nothing in the analysis
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
        QTest::newRow("the grid line at column 71") << 71 << 30 << "Structure/Process";
        QTest::newRow("the white ground") << 5 << 5 << "";
        QTest::newRow("the outer right frame") << 190 << 30 << "";
    }
    void clickPictureThenClickBlock()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(QString, category);
        WindowFixture f;
        frmKelvane &w = windowWithTwoBlocks(f);
        w.table().BlockCategory[2] = "Information";
        clickPicture(w.PicCategories, x, y);
        QVERIFY(w.PickPending);
        QVERIFY(QApplication::overrideCursor());
        clickDiagram(w, Qt::LeftButton, 40, 0); // the press neither opens nor adds
        QVERIFY(w.frameEdit->isHidden());
        QCOMPARE(w.table().BlockCount, std::int16_t(2));
        QCOMPARE(w.table().BlockCategory[2], category);
        QVERIFY(!w.PickPending);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(w.Unsaved);
        QCOMPARE(w.windowTitle(), QString("Tessik:  *"));
    }

    void dragFromThePictureOntoABlock()
    {
        WindowFixture f;
        frmKelvane &w = windowWithTwoBlocks(f);
        dragFromPicture(w, w.PicCategories, 40, 30, 10, 0);
        QCOMPARE(w.table().BlockCategory[1], QString("Physical Resources"));
        QCOMPARE(diagramColour(w, 10, -3), RGB(251, 191, 191));
        QVERIFY(!w.PickPending);
        QVERIFY(!QApplication::overrideCursor());
    }

    void releaseOnEmptySpaceDiscardsThePick()
    {
        WindowFixture f;
        frmKelvane &w = windowWithTwoBlocks(f);
        dragFromPicture(w, w.PicCategories, 100, 75, 25, 15);
        QVERIFY(!w.PickPending);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(w.table().BlockCategory[1].isEmpty() && w.table().BlockCategory[2].isEmpty());
        QVERIFY(!w.Unsaved);
        QCOMPARE(w.table().BlockCount, std::int16_t(2)); // and no block was added
    }

    void theViewAtTheReleaseDecidesTheField()
    {
        WindowFixture f;
        frmKelvane &w = windowWithTwoBlocks(f);
        clickPicture(w.PicCategories, 100, 75);
        w.optType[0]->click(); // the pick survives the switch
        QVERIFY(w.PickPending);
        clickDiagram(w, Qt::LeftButton, 10, 0);
        QCOMPARE(w.table().BlockNotes[1], QString("Motives"));
        QVERIFY(w.table().BlockCategory[1].isEmpty());
    }

    void legendInTheNotesView()
    {
        WindowFixture f;
        frmKelvane &w = windowWithTwoBlocks(f);
        w.optType[0]->click();
        w.table().BlockNotes[2] = "old notes";
        clickPicture(w.picLedgend, 64, 63); // the middle circle
        clickDiagram(w, Qt::LeftButton, 40, 0);
        QCOMPARE(w.table().BlockNotes[2], QString("Science; Technology; Human Factors"));
        QCOMPARE(diagramColour(w, 40, -3), RGB(235, 235, 235));
    }

    void onlyTheLastPickIsDropped()
    {
        WindowFixture f;
        frmKelvane &w = windowWithTwoBlocks(f);
        clickPicture(w.PicCategories, 100, 75);
        clickPicture(w.PicCategories, 160, 30);
        clickDiagram(w, Qt::LeftButton, 10, 0);
        QCOMPARE(w.table().BlockCategory[1], QString("Information"));
        QVERIFY(!QApplication::overrideCursor()); // one press of the pointer, one release
    }
};

QTEST_MAIN(TestCategories)
#include "test_categories.moc"

// The window on a high-density screen (device pixel ratio 2): the diagram at the device's full
// resolution, while gestures, the key picture's colours and the snapshot stay in pixels of the
// mapping. The surface's own drawing at ratios above 1 is tested in tests/render.
#include "render/surface.h"
#include "support/gui_driver.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

using namespace tessik;
using namespace tessik::test;

class TestHighDensity : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The real window at ratio 2: the bitmap holds device pixels; gestures, the key picture's
    // colours and the snapshot keep to pixels of the mapping.
    void windowDrawsAtTheScreensDensity()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        const Surface &diagram = w.diagram();
        QCOMPARE(diagram.devicePixelRatio(), 2.0);
        QCOMPARE(diagram.image().size(), w.picDiagram->contentsRect().size() * 2);

        clickDiagram(w, Qt::LeftButton, 20.4f, -3.6f); // a new block, its box from (15, -9)
        QCOMPARE(w.table().BlockX[1], 15.0f);
        QTest::mouseClick(w.btnCancel, Qt::LeftButton);
        const QPoint edge(2 * w.mapping().ScaleToPixelsX(15), 2 * w.mapping().ScaleToPixelsY(-4));
        QCOMPARE(fromPixel(diagram.image().pixel(edge)), kBlack);
        QCOMPARE(fromPixel(diagram.image().pixel(edge + QPoint(1, 0))), kWhite);

        QTest::mouseClick(w.PicCategories, Qt::LeftButton, {},
                          QPoint(160, 30) + w.PicCategories->contentsRect().topLeft());
        clickDiagram(w, Qt::LeftButton, 20, -4);
        QCOMPARE(w.table().BlockCategory[1], QStringLiteral("Information"));

        QTest::mouseClick(w.btnSnapShot, Qt::LeftButton);
        QCOMPARE(QImage(f.path(QStringLiteral("work/RCA_Snapshot.bmp"))).size(), w.picDiagram->contentsRect().size());
    }
};

int main(int argc, char **argv)
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestHighDensity test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_hidpi.moc"

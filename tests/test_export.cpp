// The pictures of the diagram as the window makes them: the unit size of pictures made without a
// window, and the printed page. The pictures themselves are tested in tests/render.
#include "app/core/picture_export.h"
#include "support/window_fixture.h"

#include <QTest>

using namespace tessik;
using namespace tessik::test;

class TestExport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Pictures made without a window use the unit size the window has.
    void picturesShareTheWindowsMapping()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        const PixelMapping m = startupMapping();
        QCOMPARE(w.mapping().DiagramPixelWidth, m.DiagramPixelWidth);
        QCOMPARE(w.mapping().DiagramPixelHeight, m.DiagramPixelHeight);
        QCOMPARE(QPointF(w.mapping().DiagramLeft, w.mapping().DiagramTop), QPointF(m.DiagramLeft, m.DiagramTop));
    }

    // The printed page holds the diagram as large as fits, in the middle of the page.
    void printFitsTheDiagramToThePage()
    {
        WindowFixture f;
        frmKelvane &w = f.start();
        const int wide = w.document().addBlock(5, 5); // corners at (0, 0) and (60, 10)
        w.document().commitBlock(wide, "Wide", QString());
        w.document().addBlock(65, 15);
        f.platform.printAnswers.enqueue(PrintOutcome::Printed);
        w.printDiagram();
        QCOMPARE(f.platform.printRequests.value(0).landscape, true);
        QCOMPARE(f.platform.printRequests.value(0).jobName, QString("Diagram"));
        const QImage page = f.platform.printedPages.value(0);
        QRect ink;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (page.pixel(x, y) != qRgb(255, 255, 255))
                    ink |= QRect(x, y, 1, 1);
        QVERIFY(!ink.isEmpty());
        const int left = ink.left(), right = page.width() - 1 - ink.right();
        const int top = ink.top(), bottom = page.height() - 1 - ink.bottom();
        QVERIFY2(std::abs(left - right) <= 2 && std::abs(top - bottom) <= 2,
                 qPrintable(QString("%1 %2 %3 %4").arg(left).arg(right).arg(top).arg(bottom)));
        QVERIFY(ink.width() > page.width() * 0.9);
    }
};

QTEST_MAIN(TestExport)
#include "test_export.moc"

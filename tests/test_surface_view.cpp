// The drawing box as the window uses it: which presses reach the handlers, and how much of it a
// refresh repaints.
#include "app/ui/surface_view.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QSignalSpy>
#include <QTest>

using namespace tessik;

namespace {

struct View : QObject {
    SurfaceView view;
    QSignalSpy downs{&view, &SurfaceView::mouseDown};
    QSignalSpy moves{&view, &SurfaceView::mouseMove};
    QSignalSpy ups{&view, &SurfaceView::mouseUp};
    QList<QRect> painted;

    View()
    {
        view.resize(304, 204); // a drawing area of 300 x 200 inside the 2-pixel border
        view.installEventFilter(this);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        painted.clear();
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted.append(static_cast<QPaintEvent *>(event)->rect());
        return false;
    }
    void send(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint at)
    {
        QMouseEvent event(type, QPointF(at), view.mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
        QApplication::sendEvent(&view, &event);
    }
    static int button(const QSignalSpy &spy) { return spy.last().at(0).value<PointerEvent>().Button; }
};

} // namespace

class TestSurfaceView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Only left, right and middle presses inside the drawing area are reported, with the moves
    // and the release that follow; extra buttons and the sunken border do nothing at all.
    void pressesThatReachTheHandlers_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("reported"); // the button code, 0 for nothing
        const QPoint inside(150, 100);
        QTest::newRow("left") << int(Qt::LeftButton) << inside << 1;
        QTest::newRow("right") << int(Qt::RightButton) << inside << 2;
        QTest::newRow("middle") << int(Qt::MiddleButton) << inside << 4;
        QTest::newRow("back") << int(Qt::BackButton) << inside << 0;
        QTest::newRow("forward") << int(Qt::ForwardButton) << inside << 0;
        QTest::newRow("left on the left border") << int(Qt::LeftButton) << QPoint(1, 100) << 0;
        QTest::newRow("right on the bottom border") << int(Qt::RightButton) << QPoint(150, 203) << 0;
        QTest::newRow("left on the first pixel inside") << int(Qt::LeftButton) << QPoint(2, 2) << 1;
    }
    void pressesThatReachTheHandlers()
    {
        QFETCH(int, button);
        QFETCH(QPoint, at);
        QFETCH(int, reported);
        View v;
        const auto b = Qt::MouseButton(button);
        v.send(QEvent::MouseButtonPress, b, b, at);
        v.send(QEvent::MouseMove, Qt::NoButton, b, QPoint(120, 80)); // dragged into the drawing area
        v.send(QEvent::MouseButtonRelease, b, Qt::NoButton, QPoint(120, 80));
        const qsizetype expected = reported ? 1 : 0;
        QCOMPARE(v.downs.size() + v.moves.size() + v.ups.size(), 3 * expected);
        if (reported)
            QCOMPARE(View::button(v.ups), reported);
    }

    // A back-button click in the middle of a right-button drag neither ends nor disturbs it.
    void extraButtonDuringADragIsIgnored()
    {
        View v;
        v.send(QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, QPoint(50, 50));
        v.send(QEvent::MouseButtonPress, Qt::BackButton, Qt::RightButton | Qt::BackButton, QPoint(60, 50));
        v.send(QEvent::MouseMove, Qt::NoButton, Qt::RightButton | Qt::BackButton, QPoint(70, 50));
        v.send(QEvent::MouseButtonRelease, Qt::BackButton, Qt::RightButton, QPoint(80, 50));
        QCOMPARE(v.ups.size(), 0);
        QCOMPARE(View::button(v.moves), 2);
        v.send(QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, QPoint(90, 50));
        QCOMPARE(v.ups.size(), 1);
    }

    // A refresh repaints at once what was drawn since the last one, and nothing else: a drag
    // mark costs its own few pixels, whatever the size of the picture.
    void refreshRepaintsOnlyTheChangedArea()
    {
        View v;
        Surface &s = v.view.surface();
        s.takeChangedArea();
        s.setMixMode(MixMode::Xor);
        s.roundRect(40, 30, 90, 70, 30, 30);
        s.refresh();
        QCOMPARE(v.painted, QList<QRect>{QRect(42, 32, 50, 40)}); // inside the 2-pixel border
        s.refresh();
        QCOMPARE(v.painted.size(), 1);
    }
};

QTEST_MAIN(TestSurfaceView)
#include "test_surface_view.moc"

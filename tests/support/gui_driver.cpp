#include "support/gui_driver.h"

#include <QApplication>
#include <QListView>
#include <QMouseEvent>
#include <QTest>

namespace tessik::test {

QPoint diagramPixel(frmKelvane &w, float x, float y)
{
    const PixelMapping &m = w.mapping();
    return QPoint(m.ScaleToPixelsX(x), m.ScaleToPixelsY(y)) + w.picDiagram->contentsRect().topLeft();
}

namespace {

// QTest's own move does not carry the held buttons, which the drag marks look at.
void sendMouse(QWidget *widget, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint at,
               Qt::KeyboardModifiers modifiers)
{
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, held, modifiers);
    QApplication::sendEvent(widget, &event);
}

} // namespace

void pressDiagram(frmKelvane &w, Qt::MouseButton button, float x, float y, Qt::KeyboardModifiers modifiers)
{
    sendMouse(w.picDiagram, QEvent::MouseButtonPress, button, button, diagramPixel(w, x, y), modifiers);
}

void releaseDiagram(frmKelvane &w, Qt::MouseButton button, float x, float y, Qt::KeyboardModifiers modifiers)
{
    sendMouse(w.picDiagram, QEvent::MouseButtonRelease, button, Qt::NoButton, diagramPixel(w, x, y), modifiers);
}

void clickDiagram(frmKelvane &w, Qt::MouseButton button, float x, float y, Qt::KeyboardModifiers modifiers)
{
    pressDiagram(w, button, x, y, modifiers);
    releaseDiagram(w, button, x, y, modifiers);
}

void dragDiagram(frmKelvane &w, Qt::MouseButton button, float fromX, float fromY, float toX, float toY,
                 Qt::KeyboardModifiers releaseModifiers)
{
    pressDiagram(w, button, fromX, fromY);
    const int steps = 5;
    for (int i = 1; i <= steps; ++i) {
        const float x = fromX + (toX - fromX) * float(i) / steps;
        const float y = fromY + (toY - fromY) * float(i) / steps;
        sendMouse(w.picDiagram, QEvent::MouseMove, Qt::NoButton, button, diagramPixel(w, x, y), {});
    }
    releaseDiagram(w, button, toX, toY, releaseModifiers);
}

void typeText(QWidget *widget, const QString &text)
{
    widget->setFocus();
    QTest::keyClicks(widget, text);
}

void pressEnter(QWidget *widget)
{
    QTest::keyClick(widget, Qt::Key_Return);
}

void waitForSearch(frmKelvane &w)
{
    QTRY_VERIFY_WITH_TIMEOUT(!w.searchRunning(), 60000);
}

QStringList listedEntries(frmKelvane &w)
{
    QStringList texts;
    const QAbstractItemModel *model = w.lstFileNames->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts.append(model->index(row, 0).data().toString());
    return texts;
}

Colour diagramColour(frmKelvane &w, float x, float y)
{
    const PixelMapping &m = w.mapping();
    return w.diagram().point(m.ScaleToPixelsX(x), m.ScaleToPixelsY(y));
}

} // namespace tessik::test

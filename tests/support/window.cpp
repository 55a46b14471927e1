#include "support/window.h"

#include "files/analysis_writer.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

namespace tessik::test {

frmKelvane &WindowFixture::start()
{
    window = std::make_unique<frmKelvane>(platform);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qWarning("the window was not shown");
    // The panels the window builds shortly after it shows itself.
    if (!QTest::qWaitFor([this] { return window->txtText && window->txtKeyWord; }))
        qWarning("the hidden panels were not built");
    return *window;
}

QString WindowFixture::load(const Analysis &analysis, const QString &name)
{
    const QString file = path("work/" + name);
    writeBytes(file, writeAnalysis(analysis));
    platform.fileAnswers.enqueue(file);
    window->btnLoadXML->click();
    return file;
}

QStringList DocumentState::summary() const
{
    QStringList lines{title, unsaved ? "unsaved" : "saved", currentFile, lastFolder, description, email, office};
    for (int i = 1; i <= table.BlockCount; ++i)
        lines << QString::asprintf("%d %d (%g, %g) ", table.BlockActive[i], table.BlockParent[i], table.BlockX[i],
                                   table.BlockY[i]) +
                     table.BlockText[i] + '|' + table.BlockNotes[i] + '|' + table.BlockCategory[i];
    return lines;
}

DocumentState observe(frmKelvane &w)
{
    const Document &d = w.document();
    return {w.windowTitle(),    d.currentFile(),     d.lastFolder(), w.txtDescription->text(),
            w.txtemail->text(), w.txtOffice->text(), d.isModified(), w.table()};
}

Analysis analysisWith(int count)
{
    Analysis a{"Pump failure", "op", "Plant North", {}};
    for (int i = 1; i <= count; ++i)
        a.table.BlockText[a.table.addBlock(float(15 * i - 10), 5)] = QStringLiteral("Block %1").arg(i);
    return a;
}

namespace {

QPoint pixelOf(frmKelvane &w, float x, float y)
{
    return QPoint(w.mapping().ScaleToPixelsX(x), w.mapping().ScaleToPixelsY(y)) +
           w.picDiagram->contentsRect().topLeft();
}

// QTest's own move does not carry the held buttons, which the drag marks look at.
void send(QWidget *widget, QEvent::Type type, Qt::MouseButton button, QPoint at, Qt::KeyboardModifiers modifiers = {})
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, modifiers);
    QApplication::sendEvent(widget, &event);
}

} // namespace

void clickDiagram(frmKelvane &w, float x, float y)
{
    send(w.picDiagram, QEvent::MouseButtonPress, Qt::LeftButton, pixelOf(w, x, y));
    send(w.picDiagram, QEvent::MouseButtonRelease, Qt::LeftButton, pixelOf(w, x, y));
}

void dragDiagram(frmKelvane &w, float fromX, float fromY, float toX, float toY, Qt::KeyboardModifiers atRelease)
{
    send(w.picDiagram, QEvent::MouseButtonPress, Qt::RightButton, pixelOf(w, fromX, fromY));
    for (float i = 1; i <= 4; ++i)
        send(w.picDiagram, QEvent::MouseMove, Qt::RightButton,
             pixelOf(w, fromX + (toX - fromX) * i / 4, fromY + (toY - fromY) * i / 4));
    send(w.picDiagram, QEvent::MouseButtonRelease, Qt::RightButton, pixelOf(w, toX, toY), atRelease);
}

// The picture holds the mouse from its press, so the release arrives at the picture with the
// pointer over the diagram.
void dragPicture(frmKelvane &w, SurfaceView *picture, QPoint at, float toX, float toY)
{
    send(picture, QEvent::MouseButtonPress, Qt::LeftButton, at + picture->contentsRect().topLeft());
    const QPoint target = picture->mapFromGlobal(w.picDiagram->mapToGlobal(pixelOf(w, toX, toY)));
    send(picture, QEvent::MouseMove, Qt::LeftButton, target);
    send(picture, QEvent::MouseButtonRelease, Qt::LeftButton, target);
}

} // namespace tessik::test

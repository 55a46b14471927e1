#include "support/window.h"

#include "files/analysis_writer.h"

#include <QMouseEvent>
#include <QTest>

namespace tessik::test {

frmKelvane &WindowFixture::start()
{
    window = std::make_unique<frmKelvane>(platform);
    window->show();
    window->activateWindow(); // the keys go to the active window
    if (!QTest::qWaitForWindowExposed(window.get()) || !QTest::qWaitForWindowActive(window.get()))
        qWarning("the window was not shown");
    // The panels the window builds shortly after it shows itself.
    if (!QTest::qWaitFor([this] { return window->txtText && window->txtKeyWord; }))
        qWarning("the hidden panels were not built");
    return *window;
}

QString WindowFixture::load(const Analysis &analysis, const QString &name)
{
    writeBytes(path("work/" + name), writeAnalysis(analysis));
    run(*this, {test::load("work/" + name)});
    return path("work/" + name);
}

QStringList DocumentState::summary() const
{
    return QStringList{title,
                       QString(unsaved ? "unsaved " : "saved ") + (ended   ? "ended"
                                                                   : shown ? "running"
                                                                           : "hidden"),
                       currentFile, lastFolder} +
           analysisLines(description, email, office, table);
}

namespace {

QString panelOf(frmKelvane &w)
{
    if (!w.frameEdit->isHidden())
        return QString("frameEdit %1: ").arg(w.EditedBlock) + w.txtText->toPlainText() + '|' +
               w.txtNotes->toPlainText();
    if (w.frameAnalyze->isHidden())
        return "frameControl";
    QStringList shown{"frameAnalyze " + w.btnSearch->text() + (w.prgSearch->isHidden() ? "" : " running"),
                      w.lblSearchStatus->text()};
    for (int row = 0; row < w.lstFileNames->model()->rowCount(); ++row)
        shown << w.lstFileNames->model()->index(row, 0).data().toString();
    return shown.join(" | ");
}

// Whether the diagram shows the table as drawn afresh, with the red outline of the block the
// editor is open on, or the hits of the phrase in the search panel: no stale outline, no missed
// redraw; and whether the box on screen paints that picture.
bool drawsTable(frmKelvane &w)
{
    Surface fresh(w.diagram().pixelWidth(), w.diagram().pixelHeight());
    fresh.setMapping(w.mapping());
    PlotDiagram(fresh, w.table(), w.colours, w.frameAnalyze->isHidden() ? QString() : w.txtKeyWord->text());
    if (!w.frameEdit->isHidden()) {
        fresh.setPenColour(kRed);
        outlineBox(fresh, w.table().block(w.EditedBlock).x, w.table().block(w.EditedBlock).y);
    }
    const QImage painted = w.picDiagram->grab(w.picDiagram->contentsRect()).toImage();
    return fresh.image() == w.diagram().image() && painted.convertToFormat(fresh.image().format()) == fresh.image();
}

} // namespace

DocumentState observe(frmKelvane &w)
{
    const Document &d = w.document();
    return {w.windowTitle(),    d.currentFile(),     d.lastFolder(), w.txtDescription->text(),
            w.txtemail->text(), w.txtOffice->text(), d.isModified(), w.ended(),
            w.table(),          panelOf(w),          drawsTable(w),  w.isVisible()};
}

Analysis analysisWith(int count)
{
    Analysis a{"Pump failure", "op", "Plant North", {}};
    for (int i = 1; i <= count; ++i)
        a.table.setCaption(a.table.addBlock(float(15 * i - 10), 5), QStringLiteral("Block %1").arg(i));
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

void clickEntry(frmKelvane &w, int row)
{
    const QRect entry = w.lstFileNames->visualRect(w.lstFileNames->model()->index(row, 0));
    QTest::mouseClick(w.lstFileNames->viewport(), Qt::LeftButton, {}, entry.center());
}

void waitForSearch(frmKelvane &w)
{
    if (!QTest::qWaitFor([&w] { return !w.searchRunning(); }, 60000))
        qWarning("the search did not end");
}

void run(WindowFixture &f, const QList<Step> &steps)
{
    for (const Step &step : steps)
        step(f);
}

Step at(float x, float y)
{
    return [=](WindowFixture &f) { clickDiagram(*f.window, x, y); };
}

Step type(const QString &box, const QString &text)
{
    return [=](WindowFixture &f) { typeText(f.window->findChild<QWidget *>(box), text); };
}

Step press(const QString &button)
{
    return [=](WindowFixture &f) { f.window->findChild<QPushButton *>(button)->click(); };
}

Step key(QKeyCombination combination)
{
    return [=](WindowFixture &f) {
        QWidget *focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : f.window.get(), combination.key(), combination.keyboardModifiers());
    };
}

Step answer(const QString &relative)
{
    return [=](WindowFixture &f) {
        f.platform.fileAnswers.enqueue(f.path(relative));
        ++f.answers;
    };
}

Step load(const QString &relative)
{
    return [=](WindowFixture &f) { run(f, {answer(relative), press("btnLoadXML")}); };
}

Step search(const QString &phrase)
{
    return [=](WindowFixture &f) {
        run(f, {press("btnAnalyze"), type("txtKeyWord", phrase), press("btnSearch")});
        waitForSearch(*f.window);
    };
}

} // namespace tessik::test

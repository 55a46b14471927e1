#include "support/window.h"

#include "app/ui/main_window.h"
#include "app/ui/surface_view.h"
#include "files/analysis_writer.h"
#include "render/plot_diagram.h"
#include "search/search_job.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace tessik::test {

namespace {

MainWindow &mainWindow(QWidget &window)
{
    return static_cast<MainWindow &>(window);
}

// QTest's own move does not carry the held buttons, which the drag marks look at.
void send(QWidget *widget, QEvent::Type type, Qt::MouseButton button, QPoint at, Qt::KeyboardModifiers modifiers = {})
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, modifiers);
    QApplication::sendEvent(widget, &event);
}

SurfaceView *drawingBox(const QWidget &window, const QString &name)
{
    return window.findChild<SurfaceView *>(name);
}

} // namespace

WindowDriver::WindowDriver() = default;
WindowDriver::~WindowDriver() = default;

QWidget &WindowDriver::start()
{
    m_owned.reset(); // a window started before ends first, as a program run does
    m_owned = std::make_unique<MainWindow>(platform);
    m_window = m_owned.get();
    m_window->show();
    m_window->activateWindow(); // the keys go to the active window
    if (!QTest::qWaitForWindowExposed(m_window) || !QTest::qWaitForWindowActive(m_window))
        qWarning("the window was not shown");
    // The panels the window builds shortly after it shows itself.
    if (!QTest::qWaitFor([this] {
            return m_window->findChild<QWidget *>("txtText") && m_window->findChild<QWidget *>("txtKeyWord");
        }))
        qWarning("the hidden panels were not built");
    return *m_window;
}

std::unique_ptr<QWidget> WindowDriver::startAnother()
{
    auto other = std::make_unique<MainWindow>(platform);
    other->show();
    return other;
}

void WindowDriver::offerRecovery(QWidget *window)
{
    mainWindow(window ? *window : *m_window).offerRecovery();
}

void WindowDriver::loadAtStart(const QString &path)
{
    mainWindow(*m_window).loadFile(path);
}

QWidget *WindowDriver::control(const QString &name) const
{
    QWidget *found = m_window->findChild<QWidget *>(name);
    if (!found)
        qWarning("no control named %s", qPrintable(name));
    return found;
}

void WindowDriver::click(const QString &button)
{
    QTest::mouseClick(find<QAbstractButton>(button), Qt::LeftButton);
}

void WindowDriver::type(const QString &box, const QString &text)
{
    QWidget *widget = control(box);
    widget->setFocus();
    QTest::keyClicks(widget, text);
}

void WindowDriver::commitText(const QString &box, const QString &text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    control(box)->setFocus();
    QApplication::sendEvent(QApplication::focusWidget(), &event);
}

void WindowDriver::setText(const QString &box, const QString &text)
{
    QWidget *widget = control(box);
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(widget, Qt::Key_Delete);
    else
        QTest::keyClicks(widget, text);
}

void WindowDriver::key(QKeyCombination combination)
{
    QWidget *focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : m_window, combination.key(), combination.keyboardModifiers());
}

QPoint WindowDriver::pixelOf(float x, float y) const
{
    return QPoint(mapping().ScaleToPixelsX(x), mapping().ScaleToPixelsY(y)) +
           control("picDiagram")->contentsRect().topLeft();
}

void WindowDriver::clickDiagram(float x, float y)
{
    QWidget *diagram = control("picDiagram");
    send(diagram, QEvent::MouseButtonPress, Qt::LeftButton, pixelOf(x, y));
    send(diagram, QEvent::MouseButtonRelease, Qt::LeftButton, pixelOf(x, y));
}

void WindowDriver::dragDiagram(float fromX, float fromY, float toX, float toY, Qt::KeyboardModifiers atRelease)
{
    QWidget *diagram = control("picDiagram");
    send(diagram, QEvent::MouseButtonPress, Qt::RightButton, pixelOf(fromX, fromY));
    for (float i = 1; i <= 4; ++i)
        send(diagram, QEvent::MouseMove, Qt::RightButton,
             pixelOf(fromX + (toX - fromX) * i / 4, fromY + (toY - fromY) * i / 4));
    send(diagram, QEvent::MouseButtonRelease, Qt::RightButton, pixelOf(toX, toY), atRelease);
}

void WindowDriver::clickPicture(const QString &picture, QPoint at)
{
    QWidget *box = control(picture);
    QTest::mouseClick(box, Qt::LeftButton, {}, at + box->contentsRect().topLeft());
}

// The picture holds the mouse from its press, so the release arrives at the picture with the
// pointer over the diagram.
void WindowDriver::dragPicture(const QString &picture, QPoint at, float toX, float toY)
{
    QWidget *box = control(picture);
    send(box, QEvent::MouseButtonPress, Qt::LeftButton, at + box->contentsRect().topLeft());
    const QPoint target = box->mapFromGlobal(control("picDiagram")->mapToGlobal(pixelOf(toX, toY)));
    send(box, QEvent::MouseMove, Qt::LeftButton, target);
    send(box, QEvent::MouseButtonRelease, Qt::LeftButton, target);
}

void WindowDriver::choosePreset(const QString &entry)
{
    auto *presets = find<QComboBox>("lstPresets");
    presets->setFocus();
    presets->setCurrentIndex(presets->findText(entry));
    Q_EMIT presets->activated(presets->currentIndex()); // as a choice in the open list does
}

void WindowDriver::clickEntry(int row)
{
    auto *list = find<QListView>("lstFileNames");
    const QRect entry = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center());
}

void WindowDriver::waitForSearch()
{
    auto *job = m_window->findChild<SearchJob *>();
    if (!QTest::qWaitFor([job] { return !job->isRunning() && job->isIdle(); }, 60000))
        qWarning("the search did not end");
    QCoreApplication::processEvents();
}

void WindowDriver::closeWindow()
{
    m_window->close();
}

void WindowDriver::discardWindow()
{
    m_owned.reset();
    m_window = nullptr;
}

void WindowDriver::answerFile(const QString &relative)
{
    platform.fileAnswers.enqueue(path(relative));
    ++fileAnswersGiven;
}

void WindowDriver::answerMessage(MessageAnswer answer)
{
    platform.messageAnswers.enqueue(answer);
}

QString WindowDriver::load(const Analysis &analysis, const QString &name)
{
    writeBytes(path("work/" + name), writeAnalysis(analysis));
    run(*this, {test::load("work/" + name)});
    return path("work/" + name);
}

const Document &WindowDriver::document() const
{
    return *m_window->findChild<Document *>("document");
}

QString WindowDriver::title() const
{
    return m_window->windowTitle();
}

QString WindowDriver::text(const QString &name) const
{
    const QWidget *c = control(name);
    if (const auto *box = qobject_cast<const QPlainTextEdit *>(c))
        return box->toPlainText();
    if (const auto *group = qobject_cast<const QGroupBox *>(c))
        return group->title();
    return c->property("text").toString();
}

bool WindowDriver::isShown(const QString &name) const
{
    return control(name)->isVisibleTo(m_window);
}

QString WindowDriver::panel() const
{
    for (const char *name : {"frameControl", "frameEdit", "frameAnalyze"})
        if (isShown(name))
            return name;
    return QString();
}

int WindowDriver::editedBlock() const
{
    if (panel() != "frameEdit")
        return 0;
    const BlockTable &table = document().table();
    for (const int id : table.liveIds())
        if (diagramColour(table.block(id).x + kHalfBox, table.block(id).y) == kRed)
            return id;
    return 0;
}

QStringList WindowDriver::entries() const
{
    QStringList shown;
    const QAbstractItemModel *model = find<QListView>("lstFileNames")->model();
    for (int row = 0; row < model->rowCount(); ++row)
        shown << model->index(row, 0).data().toString();
    return shown;
}

bool WindowDriver::pickPointer() const
{
    return QApplication::overrideCursor() != nullptr;
}

bool WindowDriver::ended() const
{
    return platform.endProgramCalls > 0 && !m_window->isVisible();
}

Surface &WindowDriver::diagramSurface() const
{
    return drawingBox(*m_window, "picDiagram")->surface();
}

const PixelMapping &WindowDriver::mapping() const
{
    return diagramSurface().mapping();
}

Colour WindowDriver::diagramColour(float x, float y) const
{
    return diagramSurface().point(mapping().ScaleToPixelsX(x), mapping().ScaleToPixelsY(y));
}

bool WindowDriver::diagramShowsTable() const
{
    const Surface &shown = diagramSurface();
    Surface fresh(shown.pixelWidth(), shown.pixelHeight());
    fresh.setMapping(shown.mapping());
    DiagramColours colours;
    colours.tables = ColourTables::standard();
    colours.ViewType = find<QRadioButton>("optType(0)")->isChecked() ? NotesView : CategoryView;
    const QString phrase = panel() == "frameAnalyze" ? text("txtKeyWord") : QString();
    PlotDiagram(fresh, document().table(), colours, phrase);
    if (const int open = panel() == "frameEdit" ? editedBlock() : 0) {
        fresh.setPenColour(kRed);
        outlineBox(fresh, document().table().block(open).x, document().table().block(open).y);
    }
    SurfaceView *box = drawingBox(*m_window, "picDiagram");
    const QImage painted = box->grab(box->contentsRect()).toImage();
    return fresh.image() == shown.image() && painted.convertToFormat(fresh.image().format()) == fresh.image();
}

QStringList WindowDriver::summary() const
{
    const Document &d = document();
    return QStringList{title(), QString(d.isModified() ? "unsaved " : "saved ") + (ended() ? "ended" : "running"),
                       d.currentFile(), d.lastFolder()} +
           analysisLines(text("txtDescription"), text("txtemail"), text("txtOffice"), d.table());
}

Analysis analysisWith(int count)
{
    Analysis a{"Pump failure", "op", "Plant North", {}};
    for (int i = 1; i <= count; ++i)
        a.table.setCaption(a.table.addBlock(float(15 * i - 10), 5), QStringLiteral("Block %1").arg(i));
    return a;
}

void run(WindowDriver &d, const QList<Step> &steps)
{
    for (const Step &step : steps)
        step(d);
}

Step at(float x, float y)
{
    return [=](WindowDriver &d) { d.clickDiagram(x, y); };
}

Step type(const QString &box, const QString &text)
{
    return [=](WindowDriver &d) { d.type(box, text); };
}

Step press(const QString &button)
{
    return [=](WindowDriver &d) { d.click(button); };
}

Step key(QKeyCombination combination)
{
    return [=](WindowDriver &d) { d.key(combination); };
}

Step answer(const QString &relative)
{
    return [=](WindowDriver &d) { d.answerFile(relative); };
}

Step load(const QString &relative)
{
    return [=](WindowDriver &d) { run(d, {answer(relative), press("btnLoadXML")}); };
}

Step search(const QString &phrase)
{
    return [=](WindowDriver &d) {
        run(d, {press("btnAnalyze"), type("txtKeyWord", phrase), press("btnSearch")});
        d.waitForSearch();
    };
}

} // namespace tessik::test

#include "support/window.h"

#include "app/ui/main_window.h"
#include "app/ui/surface_view.h"
#include "files/analysis_reader.h"
#include "files/analysis_writer.h"
#include "render/plot_diagram.h"
#include "search/search_job.h"

#include <QApplication>
#include <QComboBox>
#include <QDirIterator>
#include <QInputMethodEvent>
#include <QListView>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScreen>
#include <QWheelEvent>

namespace tessik::test {

// QTest's own move does not carry the held buttons, which the drag marks look at.
static void send(QWidget *widget, QEvent::Type type, Qt::MouseButton button, QPoint at,
                 Qt::KeyboardModifiers modifiers = {})
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, modifiers);
    QApplication::sendEvent(widget, &event);
}

void quickRecoveryCopies(QWidget &window)
{
    window.findChild<Document *>("document")->setRecoveryDelay(kQuickRecoveryDelayMs);
}

QWidget &WindowDriver::start()
{
    m_owned.reset(); // a window started before ends first, as a program run does
    m_window = (m_owned = std::make_unique<MainWindow>(platform)).get();
    quickRecoveryCopies(*m_window);
    m_window->show();
    m_window->activateWindow(); // the keys go to the active window
    // Then the panels the window builds shortly after it shows itself.
    if (!QTest::qWaitForWindowExposed(m_window) || !QTest::qWaitForWindowActive(m_window) || !QTest::qWaitFor([this] {
            return m_window->findChild<QWidget *>("txtText") && m_window->findChild<QWidget *>("txtKeyWord");
        }))
        qWarning("the window or its hidden panels were not shown");
    return *m_window;
}

void WindowDriver::offerRecovery()
{
    static_cast<MainWindow *>(m_window)->offerRecovery();
}

void WindowDriver::loadAtStart(const QString &path)
{
    static_cast<MainWindow *>(m_window)->loadFile(path);
}

QWidget *WindowDriver::control(const QString &name) const
{
    QWidget *found = m_window->findChild<QWidget *>(name);
    if (!found)
        qWarning("no control named %s", qPrintable(name));
    return found;
}

Step commit(const QString &box, const QString &text)
{
    return [=](WindowDriver &d) {
        QInputMethodEvent event;
        event.setCommitString(text);
        d.control(box)->setFocus();
        QApplication::sendEvent(QApplication::focusWidget(), &event);
    };
}

void WindowDriver::setText(const QString &box, const QString &text)
{
    QWidget *widget = control(box);
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(widget, Qt::Key_Delete);
    QTest::keyClicks(widget, text);
}

void WindowDriver::key(QKeyCombination combination)
{
    QWidget *focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : m_window, combination.key(), combination.keyboardModifiers());
}

QPoint WindowDriver::pixelOf(float x, float y) const
{
    // Where the zoomed and scrolled view shows the point.
    const PlaneView &view = diagramSurface().view();
    return QPoint(int(std::lround(view.toViewX(mapping().ScaleToPixelsX(x)))),
                  int(std::lround(view.toViewY(mapping().ScaleToPixelsY(y))))) +
           control("picDiagram")->contentsRect().topLeft();
}

void WindowDriver::clickDiagram(float x, float y)
{
    QWidget *diagram = control("picDiagram");
    send(diagram, QEvent::MouseButtonPress, Qt::LeftButton, pixelOf(x, y));
    send(diagram, QEvent::MouseButtonRelease, Qt::LeftButton, pixelOf(x, y));
}

void WindowDriver::dragDiagram(float fromX, float fromY, float toX, float toY, Qt::KeyboardModifiers atRelease,
                               const std::function<void()> &whileHeld)
{
    QWidget *diagram = control("picDiagram");
    send(diagram, QEvent::MouseButtonPress, Qt::RightButton, pixelOf(fromX, fromY));
    for (float i = 1; i <= 4; ++i)
        send(diagram, QEvent::MouseMove, Qt::RightButton,
             pixelOf(fromX + (toX - fromX) * i / 4, fromY + (toY - fromY) * i / 4));
    if (whileHeld)
        whileHeld();
    send(diagram, QEvent::MouseButtonRelease, Qt::RightButton, pixelOf(toX, toY), atRelease);
}

void WindowDriver::wheelDiagram(int notches, Qt::KeyboardModifiers modifiers, std::optional<QPointF> over,
                                Qt::Orientation turned)
{
    QWidget *diagram = control("picDiagram");
    const QPointF at = over ? *over + diagram->contentsRect().topLeft() : QRectF(diagram->contentsRect()).center();
    const QPoint angle = turned == Qt::Vertical ? QPoint(0, 120 * notches) : QPoint(120 * notches, 0);
    QWheelEvent event(at, diagram->mapToGlobal(at), {}, angle, Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(diagram, &event);
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

QString WindowDriver::load(const Analysis &analysis, const QString &name)
{
    writeBytes(path("work/" + name), writeAnalysis(analysis));
    run(*this, {test::load("work/" + name)});
    return path("work/" + name);
}

void WindowDriver::click(const QString &button)
{
    QAbstractButton *target = find<QAbstractButton>(button);
    QVERIFY2(target->isVisible() && target->isEnabled(), qPrintable(button + " is hidden or disabled"));
    QTest::mouseClick(target, Qt::LeftButton);
}

QString WindowDriver::text(const QString &name) const
{
    return control(name)->property(control(name)->inherits("QPlainTextEdit") ? "plainText" : "text").toString();
}

QString WindowDriver::panel() const
{
    for (const char *name : {"frameControl", "frameEdit", "frameAnalyze"})
        if (control(name)->isVisibleTo(m_window))
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

Surface &WindowDriver::diagramSurface() const
{
    return find<SurfaceView>("picDiagram")->surface();
}

Colour WindowDriver::diagramColour(float x, float y) const
{
    return diagramSurface().point(mapping().ScaleToPixelsX(x), mapping().ScaleToPixelsY(y));
}

QImage WindowDriver::onScreen(const QString &name) const
{
    QCoreApplication::processEvents();
    const QWidget *shown = control(name);
    const QRect inside = shown->contentsRect().translated(shown->mapTo(m_window, QPoint()));
    return shown->screen()
        ->grabWindow(m_window->winId(), inside.x(), inside.y(), inside.width(), inside.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

bool WindowDriver::diagramShowsTable() const
{
    const Surface &shown = diagramSurface();
    Surface fresh(shown.pixelWidth(), shown.pixelHeight());
    fresh.setMapping(shown.mapping());
    fresh.setView(shown.view());
    DiagramColours colours;
    colours.tables = ColourTables::standard();
    colours.ViewType = find<QRadioButton>("optType(0)")->isChecked() ? NotesView : CategoryView;
    const QString phrase = panel() == "frameAnalyze" ? text("txtKeyWord") : QString();
    PlotDiagram(fresh, document().table(), colours, phrase);
    if (const int open = panel() == "frameEdit" ? editedBlock() : 0) {
        fresh.setPenColour(kRed);
        outlineBox(fresh, document().table().block(open).x, document().table().block(open).y);
    }
    SurfaceView *box = find<SurfaceView>("picDiagram");
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

QStringList WindowDriver::seen() const
{
    const QWidget *focus = QApplication::focusWidget();
    QStringList lines =
        summary() << panel() << QString("editing %1").arg(editedBlock())
                  << "editor " + text("txtText") + '|' + text("txtNotes")
                  << "focus " + (focus ? focus->objectName() : QString())
                  << (pickPointer() ? "pointer picking" : "pointer normal")
                  << "search " + text("txtKeyWord") + '|' + text("btnSearch") + '|' + text("lblSearchStatus")
                  << "entries: " + entries().join('|');
    for (qsizetype i = 0; i < platform.messages.size(); ++i) {
        const bool question = platform.messageButtons.value(i) == MessageButtons::YesNo;
        const bool yesAtEnter = platform.messageDefaults.value(i) == MessageAnswer::Yes;
        lines << (question ? QString("Yes or No, %1 at Enter: ").arg(yesAtEnter ? "Yes" : "No") : QString("OK: ")) +
                     platform.messages[i];
    }
    for (const FileDialogRequest &r : platform.fileRequests)
        lines << "dialog" + r.title + " in " + r.initialFolder + '|' + r.fileName;
    for (const PrintRequest &r : platform.printRequests)
        lines << "print " + r.jobName + (r.landscape ? " landscape" : " portrait");
    return lines << platform.openedUrls << "history " + QString::fromUtf8(readBytes(userFolder() + "Tessik.hst"));
}

// Every file under the folder, with its bytes; links are not followed.
static QMap<QString, QByteArray> filesUnder(const QString &root)
{
    QMap<QString, QByteArray> files;
    for (QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories); it.hasNext();)
        if (const QString file = it.next(); !it.fileInfo().isSymLink())
            files.insert(file, readBytes(file));
    return files;
}

void checkGesture(const Gesture &gesture)
{
    const auto &[files, steps, messages, title, blocks, shows] = gesture;
    WindowDriver d;
    for (const auto &[file, bytes] : files.asKeyValueRange())
        QVERIFY(writeBytes(d.path(file), bytes));
    QMap<QString, QByteArray> kept = filesUnder(d.root.path());
    d.start();
    Analysis pump = analysisWith(3);
    pump.table.move(3, 30.5f, 0); // a fraction, written with the decimal separator
    const QString file = d.load(pump, "Pump.rca.xml");
    kept.insert(file, readBytes(file));
    const QStringList loaded = d.summary();
    run(d, steps);
    QCOMPARE(d.platform.messages.size(), messages);
    QCOMPARE(d.document().table().usedSlots(), blocks);
    QCOMPARE(d.title(), title);
    QCOMPARE(d.platform.fileRequests.size(), d.fileAnswersGiven); // every dialog expected, no other
    const QString seen = d.seen().join('\n');
    for (const QString &part : shows)
        QVERIFY2(seen.contains(part), qPrintable(part + " is not in\n" + seen));
    if (shows.isEmpty())
        QCOMPARE(d.summary(), loaded);
    QVERIFY(d.diagramShowsTable());
    const QString current = d.document().currentFile();
    const ReadOutcome back = current.isEmpty() ? ReadOutcome() : readAnalysisFile(current);
    const Analysis &a = back.analysis;
    if (!d.document().isModified() && back.ok)
        QCOMPARE(analysisLines(a.description, a.email, a.office, a.table), d.summary().mid(4));
    const QMap<QString, QByteArray> now = filesUnder(d.root.path());
    for (const auto &[path, bytes] : kept.asKeyValueRange())
        QVERIFY2(now.value(path) == bytes, qPrintable(path + " changed"));
}

Analysis analysisWith(int count)
{
    Analysis a{"Pump failure", "op", "Plant North", {}};
    for (int i = 1; i <= count; ++i)
        a.table.setCaption(a.table.addBlock(float(15 * i - 10), 5), QStringLiteral("Block %1").arg(i));
    return a;
}

} // namespace tessik::test

#pragma once

#include "app/core/document.h"
#include "files/analysis.h"
#include "model/colour.h"
#include "render/surface.h"
#include "support/test_env.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QKeyCombination>
#include <QMap>
#include <QPoint>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace tessik::test {

// Copies of unsaved work are written this soon after a change, so that tests need not wait the
// program's own delay.
constexpr int kQuickRecoveryDelayMs = 20;
void quickRecoveryCopies(QWidget &window);

// The real window on the fake platform, driven as a user drives it: controls are found by their
// objectNames, and every gesture is the mouse or the keyboard. Dialogs and messages are answered
// through the fake platform. Nothing here reaches into the window's own members.
class WindowDriver : public TestEnvironment {
public:
    WindowDriver() = default;
    // Drives a window made elsewhere (the real program's), which it does not own.
    explicit WindowDriver(QWidget &window) : m_window(&window) { quickRecoveryCopies(window); }

    // Builds the window as the program does, shows it, makes it active and waits for the panels
    // it builds shortly after; call after preparing the folders.
    QWidget &start();
    QWidget &window() const { return *m_window; }
    // Offers what an earlier run left behind, as the program does after its start.
    void offerRecovery();
    void loadAtStart(const QString &path); // as `tessik FILE` opens it

    // A control by its objectName; fails the test when there is none.
    QWidget *control(const QString &name) const;
    template <typename T> T *find(const QString &name) const { return qobject_cast<T *>(control(name)); }

    // The user's gestures. Diagram positions are in diagram units.
    void click(const QString &button); // a button the user can reach: shown and enabled
    // Into the box, which takes the focus.
    void type(QString box, QString text) { control(box)->setFocus(), QTest::keyClicks(control(box), text); }
    void setText(const QString &box, const QString &text); // the box's text replaced, as by select-all and typing
    void key(QKeyCombination combination);                 // to the widget with the focus, else the window
    void clickDiagram(float x, float y);
    // Presses the right button, moves there in steps with it held, looks (whileHeld), releases.
    void dragDiagram(float fromX, float fromY, float toX, float toY, Qt::KeyboardModifiers atRelease = {},
                     const std::function<void()> &whileHeld = {});
    // The wheel turned by whole notches (negative: towards the user) over the diagram's middle,
    // or over a point of its drawing area; a tilting wheel or a touchpad also turns it sideways.
    void wheelDiagram(int notches, Qt::KeyboardModifiers modifiers = {}, std::optional<QPointF> over = {},
                      Qt::Orientation turned = Qt::Vertical);
    // A left press on a key picture (PicCategories or picLedgend) at its own pixel, released there
    // or over the diagram.
    void clickPicture(const QString &picture, QPoint at);
    void dragPicture(const QString &picture, QPoint at, float toX, float toY);
    void choosePreset(const QString &entry);
    void clickEntry(int row);                 // an entry of the search's result list
    void waitForSearch();                     // the search has ended and all it posted has arrived
    void closeWindow() { m_window->close(); } // the desktop's close command
    // The window is destroyed without the program's end: no Quit, nothing written.
    void discardWindow() { m_owned.reset(), m_window = nullptr; }

    // Answers for the next file dialog (a path in the test's folder) and the next message.
    void answerFile(const QString &relative) { platform.fileAnswers.enqueue(path(relative)), ++fileAnswersGiven; }
    int fileAnswersGiven = 0;
    // Writes the analysis to work/<name> and opens it with Load, as a user would.
    QString load(const Analysis &analysis, const QString &name = "A.rca.xml");

    // What the user sees.
    const Document &document() const { return *m_window->findChild<Document *>("document"); }
    QString title() const { return m_window->windowTitle(); }
    QString text(const QString &control) const; // a box's, button's or label's text
    QString panel() const;                      // frameControl, frameEdit or frameAnalyze
    int editedBlock() const;                    // the block the editor is open on, by its red outline; 0 for none
    QStringList entries() const;                // the search's result list
    bool pickPointer() const { return QGuiApplication::overrideCursor(); }                // the pick pointer is showing
    bool ended() const { return platform.endProgramCalls > 0 && !m_window->isVisible(); } // the program has ended
    Colour diagramColour(float x, float y) const;
    // What the screen shows inside a control's frame once the repaints asked for are done: the
    // window's own pixels, not a fresh drawing of the control.
    QImage onScreen(const QString &control) const;
    const PixelMapping &mapping() const { return diagramSurface().mapping(); }
    Surface &diagramSurface() const;
    // The diagram shows the table drawn afresh, with the editor's outline or the search's hits
    // and nothing else, and the box on screen paints that picture.
    bool diagramShowsTable() const;
    // The header, the file, the title and the table, a line each, for comparisons that show what
    // differs.
    QStringList summary() const;
    // Everything the user has seen, a line each: the summary, the panel, the open block ("editing
    // N"), the editor's texts, the control with the focus, the pointer, the search panel's
    // phrase, button and status and its result list, then every message (its buttons, the answer
    // Enter gives, its text), file dialog (its
    // title, folder and proposed name), page or file opened, print, and the history file.
    QStringList seen() const;
    // Where the window shows a point of the diagram, in picDiagram's pixels.
    QPoint pixelOf(float x, float y) const;

private:
    std::unique_ptr<QWidget> m_owned;
    QWidget *m_window = nullptr;
};

// Blocks 1..count side by side, centred on (5, 5), (20, 5), ..., with the header filled in.
Analysis analysisWith(int count);

// A user's gesture as a step of a table row.
using Step = std::function<void(WindowDriver &)>;
inline void run(WindowDriver &d, const QList<Step> &steps)
{
    for (const Step &step : steps)
        step(d);
}
// A left click on the diagram.
inline const auto at = [](float x, float y) -> Step { return [=](WindowDriver &d) { d.clickDiagram(x, y); }; };
inline const auto type = [](QString box, QString text) -> Step { return [=](WindowDriver &d) { d.type(box, text); }; };
inline const auto press = [](const QString &button) -> Step { return [=](WindowDriver &d) { d.click(button); }; };
inline const auto key = [](QKeyCombination keys) -> Step { return [=](WindowDriver &d) { d.key(keys); }; };
// A right-button drag on the diagram, the modifiers held at the release.
inline const auto drag = [](float fromX, float fromY, float toX, float toY, Qt::KeyboardModifiers atRelease = {}) {
    return Step([=](WindowDriver &d) { d.dragDiagram(fromX, fromY, toX, toY, atRelease); });
};
inline const auto wheel = [](int notches, Qt::KeyboardModifiers modifiers = {}) -> Step {
    return [=](WindowDriver &d) { d.wheelDiagram(notches, modifiers); };
};
inline const auto wheelSideways = [](int notches, Qt::KeyboardModifiers modifiers = {}) -> Step {
    return [=](WindowDriver &d) { d.wheelDiagram(notches, modifiers, {}, Qt::Horizontal); };
};
// Ctrl+wheel over a point of the diagram's drawing area, in its pixels.
inline const auto zoomOver = [](int notches, QPointF over) -> Step {
    return [=](WindowDriver &d) { d.wheelDiagram(notches, Qt::ControlModifier, over); };
};
// The next file dialog's answer: a path in the test's folder.
inline const auto answer = [](const QString &path) -> Step { return [=](WindowDriver &d) { d.answerFile(path); }; };
// Load, the dialog answered.
inline const auto load = [](QString path) -> Step {
    return [=](WindowDriver &d) { run(d, {answer(path), press("btnLoadXML")}); };
};
inline const Step closeWindow = [](WindowDriver &d) { d.closeWindow(); }; // the desktop's close command
// Text as an input method commits it: how characters beyond the keyboard's reach are typed.
Step commit(const QString &box, const QString &text);
// The keyboard's focus moved to the control.
inline const auto focus = [](QString name) -> Step { return [=](WindowDriver &d) { d.control(name)->setFocus(); }; };
// The next file dialog is expected, and cancelled.
inline const Step cancelled = [](WindowDriver &d) { ++d.fileAnswersGiven; };
// The search panel opened, the phrase searched for to the end.
inline const auto search = [](const QString &phrase) -> Step {
    return [=](WindowDriver &d) {
        run(d, {press("btnAnalyze"), type("txtKeyWord", phrase), press("btnSearch")});
        d.waitForSearch();
    };
};

// A gesture through a window started with Pump.rca.xml (three blocks) loaded: the files made
// before the start, the steps, then the messages shown, the title, the blocks, and lines that what
// the user has seen must hold; when it need hold none, the document is exactly as it was loaded.
// Besides, every file dialog was expected, the diagram shows the table, every file that was there
// is left byte for byte as it was, and what the window shows as saved is what its file holds.
using Gesture = std::tuple<QMap<QString, QByteArray>, QList<Step>, int, QString, int, QStringList>;
inline void addGesture(const char *name, const QMap<QString, QByteArray> &files, const QList<Step> &steps, int messages,
                       const QString &title, int blocks, const QStringList &shows)
{
    QTest::newRow(name) << Gesture{files, steps, messages, title, blocks, shows};
}
void checkGesture(const Gesture &gesture);

} // namespace tessik::test

#pragma once

#include "app/core/document.h"
#include "files/analysis.h"
#include "model/colour.h"
#include "render/surface.h"
#include "support/test_env.h"

#include <QKeyCombination>
#include <QPoint>
#include <QStringList>
#include <QTest>

#include <functional>
#include <memory>

class QWidget;

namespace tessik::test {

// The real window on the fake platform, driven as a user drives it: controls are found by their
// objectNames, and every gesture is the mouse or the keyboard. Dialogs and messages are answered
// through the fake platform. Nothing here reaches into the window's own members.
class WindowDriver : public TestEnvironment {
public:
    WindowDriver();
    // Drives a window made elsewhere (the real program's), which it does not own.
    explicit WindowDriver(QWidget &window) : m_window(&window) {}
    ~WindowDriver();

    // Builds the window as the program does, shows it, makes it active and waits for the panels
    // it builds shortly after; call after preparing the folders.
    QWidget &start();
    QWidget &window() const { return *m_window; }
    // Builds a second window on the same platform and folders, as a second run of the program.
    std::unique_ptr<QWidget> startAnother();
    // Offers what an earlier run left behind, as the program does after its start (in this
    // window, or in one made by startAnother).
    void offerRecovery(QWidget *window = nullptr);
    void loadAtStart(const QString &path); // as `tessik FILE` opens it

    // A control by its objectName; fails the test when there is none.
    QWidget *control(const QString &name) const;
    template <typename T> T *find(const QString &name) const { return qobject_cast<T *>(control(name)); }

    // The user's gestures. Diagram positions are in diagram units.
    void click(const QString &button);
    void type(const QString &box, const QString &text); // into the box, which takes the focus
    // Text as an input method commits it: how characters beyond the keyboard's reach are typed.
    void commitText(const QString &box, const QString &text);
    void setText(const QString &box, const QString &text); // the box's text replaced, as by select-all and typing
    void key(QKeyCombination combination);                 // to the widget with the focus, else the window
    void clickDiagram(float x, float y);
    // Presses the right button, moves there in steps with it held, releases.
    void dragDiagram(float fromX, float fromY, float toX, float toY, Qt::KeyboardModifiers atRelease = {});
    // A left press on a key picture (PicCategories or picLedgend) at its own pixel, released there
    // or over the diagram.
    void clickPicture(const QString &picture, QPoint at);
    void dragPicture(const QString &picture, QPoint at, float toX, float toY);
    void choosePreset(const QString &entry);
    void clickEntry(int row); // an entry of the search's result list
    void waitForSearch();     // the search has ended and all it posted has arrived
    void closeWindow();       // the desktop's close command
    void discardWindow();     // the window is destroyed without the program's end: no Quit, nothing written

    // Answers for the next file dialog (a path in the test's folder) and the next message.
    void answerFile(const QString &relative);
    void answerMessage(MessageAnswer answer);
    int fileAnswersGiven = 0;
    // Writes the analysis to work/<name> and opens it with Load, as a user would.
    QString load(const Analysis &analysis, const QString &name = "A.rca.xml");

    // What the user sees.
    const Document &document() const;
    QString title() const;
    QString text(const QString &control) const; // a box's, button's or label's text
    bool isShown(const QString &control) const;
    QString panel() const;       // frameControl, frameEdit or frameAnalyze
    int editedBlock() const;     // the block the editor is open on, by its red outline; 0 for none
    QStringList entries() const; // the search's result list
    bool pickPointer() const;    // the pick pointer is showing
    bool ended() const;          // the program has ended
    Colour diagramColour(float x, float y) const;
    const PixelMapping &mapping() const;
    Surface &diagramSurface() const;
    // The diagram shows the table drawn afresh, with the editor's outline or the search's hits
    // and nothing else, and the box on screen paints that picture.
    bool diagramShowsTable() const;
    // The header, the file, the title and the table, a line each, for comparisons that show what
    // differs.
    QStringList summary() const;

private:
    QPoint pixelOf(float x, float y) const;

    std::unique_ptr<QWidget> m_owned;
    QWidget *m_window = nullptr;
};

// Blocks 1..count side by side, centred on (5, 5), (20, 5), ..., with the header filled in.
Analysis analysisWith(int count);

// A user's gesture as a step of a table row.
using Step = std::function<void(WindowDriver &)>;
void run(WindowDriver &d, const QList<Step> &steps);
Step at(float x, float y); // a left click on the diagram
Step type(const QString &box, const QString &text);
Step press(const QString &button);
Step key(QKeyCombination combination);
Step answer(const QString &relative); // the next file dialog's answer: a path in the test's folder
Step load(const QString &relative);   // Load, the dialog answered
Step search(const QString &phrase);   // the search panel opened, the phrase searched for to the end

} // namespace tessik::test

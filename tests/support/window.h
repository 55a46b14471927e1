#pragma once

#include "app/ui/frm_kelvane.h"
#include "files/analysis.h"
#include "support/test_env.h"

// The controls the tests reach through the window.
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTest>

#include <functional>
#include <memory>

namespace tessik::test {

// A real window on the fake platform, started as the program starts it.
struct WindowFixture : TestEnvironment {
    std::unique_ptr<frmKelvane> window;
    int answers = 0; // file dialogs answered by load() and answer() steps

    frmKelvane &start(); // builds, shows and activates the window; call after preparing the folders
    // Writes the analysis to work/<name> and opens it with Load, as a user would.
    QString load(const Analysis &analysis, const QString &name = "A.rca.xml");
};

// The document as the window shows it. Window tests read the document only through observe(),
// so that only it changes when the state moves out of the window.
struct DocumentState {
    QString title, currentFile, lastFolder, description, email, office;
    bool unsaved = false, ended = false;
    BlockTable table;
    // The panel on show and what it shows: the editor's block and typing, or the search's
    // button, status line and entries.
    QString panel;
    bool drawn = false;          // the diagram shows the table (and the editor's outline), nothing else
    bool shown = true;           // the window is on the screen
    QStringList summary() const; // all but the panel, a line a used slot, for comparisons that show what differs
};
DocumentState observe(frmKelvane &w);

// The header filled in and blocks 1..count side by side, centred on (5, 5), (20, 5), ...
Analysis analysisWith(int count);

// The mouse and the keys on the real window; diagram positions in diagram units.
void clickDiagram(frmKelvane &w, float x, float y); // the left button
// Press, move there in steps with the button held, release.
void dragDiagram(frmKelvane &w, float fromX, float fromY, float toX, float toY, Qt::KeyboardModifiers atRelease = {});
// A left press on a key picture at its own pixel, released there or over the diagram.
inline const auto clickPicture = [](SurfaceView *picture, QPoint at) {
    QTest::mouseClick(picture, Qt::LeftButton, {}, at + picture->contentsRect().topLeft());
};
void dragPicture(frmKelvane &w, SurfaceView *picture, QPoint at, float toX, float toY);
inline const auto typeText = [](QWidget *widget, const QString &text) {
    widget->setFocus();
    QTest::keyClicks(widget, text);
};
inline const auto pressEnter = [](QWidget *widget) { QTest::keyClick(widget, Qt::Key_Return); };
inline const auto diagramColour = [](frmKelvane &w, float x, float y) {
    return w.diagram().point(w.mapping().ScaleToPixelsX(x), w.mapping().ScaleToPixelsY(y));
};
void clickEntry(frmKelvane &w, int row); // an entry of the search's result list
void waitForSearch(frmKelvane &w);

// A user's gesture as a step of a table row; controls are named by their object names.
using Step = std::function<void(WindowFixture &)>;
void run(WindowFixture &f, const QList<Step> &steps);
Step at(float x, float y); // a left click on the diagram
Step type(const QString &box, const QString &text);
Step press(const QString &button);
Step key(QKeyCombination combination); // to the widget that has the focus, else the window
Step answer(const QString &relative);  // the next file dialog's answer: a path in the test's folder
Step load(const QString &relative);    // Load, the dialog answered
Step search(const QString &phrase);    // the search panel opened, the phrase searched for to the end

} // namespace tessik::test

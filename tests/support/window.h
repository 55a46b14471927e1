#pragma once

#include "app/ui/frm_kelvane.h"
#include "files/analysis.h"
#include "support/test_env.h"

#include <QStringList>
#include <QTest>

#include <memory>

namespace tessik::test {

// A real window on the fake platform, started as the program starts it.
struct WindowFixture : TestEnvironment {
    std::unique_ptr<frmKelvane> window;

    frmKelvane &start(); // builds and shows the window; call after preparing the folders
    // Writes the analysis to work/<name> and opens it with Load, as a user would.
    QString load(const Analysis &analysis, const QString &name = "A.rca.xml");
};

// The document as the window shows it. Window tests read the document only through observe(),
// so that only it changes when the state moves out of the window.
struct DocumentState {
    QString title, currentFile, lastFolder, description, email, office;
    bool unsaved = false;
    BlockTable table;
    QStringList summary() const; // all of it, a line a used slot, for comparisons that show what differs
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

} // namespace tessik::test

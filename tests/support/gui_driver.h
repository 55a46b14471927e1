#pragma once

#include "app/ui/frm_kelvane.h"

#include <QPoint>
#include <QString>
#include <QStringList>
#include <Qt>

class QWidget;

namespace tessik::test {

// Drives the real window with mouse and key events, in diagram units where the diagram is concerned.
QPoint diagramPixel(frmKelvane &w, float x, float y); // widget coordinates of picDiagram
void pressDiagram(frmKelvane &w, Qt::MouseButton button, float x, float y, Qt::KeyboardModifiers modifiers = {});
void releaseDiagram(frmKelvane &w, Qt::MouseButton button, float x, float y, Qt::KeyboardModifiers modifiers = {});
void clickDiagram(frmKelvane &w, Qt::MouseButton button, float x, float y, Qt::KeyboardModifiers modifiers = {});
// Press on one place, move there with the button held (several steps), release.
void dragDiagram(frmKelvane &w, Qt::MouseButton button, float fromX, float fromY, float toX, float toY,
                 Qt::KeyboardModifiers releaseModifiers = {});
void typeText(QWidget *widget, const QString &text);
void pressEnter(QWidget *widget);
// Waits until the search the panel started has ended and its outcome is shown.
void waitForSearch(frmKelvane &w);
// The texts the result list shows, top to bottom.
QStringList listedEntries(frmKelvane &w);
// The pixel of the diagram at diagram units.
Colour diagramColour(frmKelvane &w, float x, float y);

} // namespace tessik::test

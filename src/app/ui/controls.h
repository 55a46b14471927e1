#pragma once

#include <QString>
#include <QWidget>

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The window's controls at the places they were drawn at, in pixels of their panel. Each gets
// the objectName the layout, the tests and bug reports know it by.
namespace tessik::controls {

template <typename T> T *named(QWidget *parent, const char *name)
{
    auto *control = new T(parent);
    control->setObjectName(QLatin1String(name));
    return control;
}

template <typename T> T *place(QWidget *parent, const char *name, int left, int top, int width, int height)
{
    auto *control = named<T>(parent, name);
    control->setGeometry(left, top, width, height);
    return control;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption, int left, int top, int width,
                    int height);
QLabel *label(QWidget *parent, const char *name, const QString &caption, int left, int top, int width, int height);
// Names a control after its label for screen readers, as a sighted user reads the label.
void nameAfter(QWidget *control, QLabel *label);
// A panel's left edge and height are its own; the window gives it its top and width. The
// panels have no caption; a screen reader says what each is for.
void makePanel(QFrame *panel, const char *name, int left, int height, const QString &accessibleName);
QFrame *verticalLine(QWidget *parent, const char *name, int x, int top, int bottom);
QLineEdit *lineBox(QWidget *parent, const char *name, int left, int top, int width, int height);
// The block editor's multi-line boxes: bold text on light yellow.
QPlainTextEdit *yellowBox(QWidget *parent, const char *name, int left, int top, int width, int height);
// Gives a control its own font when it is first shown (see the definition for why).
void fontOnFirstShow(QWidget *control, const QFont &font);

} // namespace tessik::controls

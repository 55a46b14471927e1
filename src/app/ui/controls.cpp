#include "app/ui/controls.h"

#include "app/ui/caption_button.h"
#include "render/fonts.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <limits>

namespace tessik::controls {

namespace {

// The controls of the panels hidden at start-up take their own fonts only when first shown, so
// loading those fonts is no part of the start-up; nobody ever sees the control without its font.
class FontOnFirstShow : public QObject {
public:
    FontOnFirstShow(QWidget *control, const QFont &font) : QObject(control), m_font(font)
    {
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            watched->removeEventFilter(this);
            static_cast<QWidget *>(watched)->setFont(m_font);
            deleteLater();
        }
        return false;
    }

private:
    QFont m_font;
};

} // namespace

QPushButton *button(QWidget *parent, const char *name, const QString &caption, int left, int top, int width, int height)
{
    auto *control = place<CaptionButton>(parent, name, left, top, width, height);
    control->setText(caption);
    control->setAutoDefault(false);
    return control;
}

QLabel *label(QWidget *parent, const char *name, const QString &caption, int left, int top, int width, int height)
{
    auto *control = place<QLabel>(parent, name, left, top, width, height);
    control->setText(caption);
    // The places were made for a narrower dialog font; a caption that would be cut gets a
    // size smaller instead.
    if (control->fontMetrics().horizontalAdvance(caption) > width)
        control->setFont(arialFont(10, false));
    return control;
}

void nameAfter(QWidget *control, QLabel *label)
{
    // A reader names a control without a name of its own by its buddy's text.
    label->setBuddy(control);
}

void makePanel(QFrame *panel, const char *name, int left, int height, const QString &accessibleName)
{
    panel->setObjectName(QLatin1String(name));
    panel->setAccessibleName(accessibleName);
    panel->setGeometry(left, panel->y(), panel->width(), height);
    panel->setFrameStyle(QFrame::Box | QFrame::Sunken);
}

QFrame *verticalLine(QWidget *parent, const char *name, int x, int top, int bottom)
{
    auto *line = place<QFrame>(parent, name, x, top, 1, bottom - top);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, QColor(192, 192, 192));
    line->setPalette(palette);
    return line;
}

QLineEdit *lineBox(QWidget *parent, const char *name, int left, int top, int width, int height)
{
    auto *box = place<QLineEdit>(parent, name, left, top, width, height);
    // Texts from files may be long; the box must hand them back whole.
    box->setMaxLength(std::numeric_limits<int>::max());
    return box;
}

QPlainTextEdit *yellowBox(QWidget *parent, const char *name, int left, int top, int width, int height)
{
    auto *box = place<QPlainTextEdit>(parent, name, left, top, width, height);
    fontOnFirstShow(box, arialFont(12, true));
    // The background is fixed, so the text colour is too: a dark desktop theme would otherwise
    // write light text on the light yellow.
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, QColor(255, 255, 192));
    palette.setColor(QPalette::Text, Qt::black);
    box->setPalette(palette);
    box->setTabChangesFocus(true);
    return box;
}

void fontOnFirstShow(QWidget *control, const QFont &font)
{
    new FontOnFirstShow(control, font);
}

} // namespace tessik::controls

#pragma once

#include "render/surface.h"

#include <QFrame>

namespace tessik {

// Mouse arguments as the handlers take them: the button (1 left, 2 right, 4 middle, summed),
// the modifiers (1 Shift, 2 Ctrl, 4 Alt) and the position in pixels of the drawing area.
struct PointerEvent {
    int Button = 0;
    int Shift = 0;
    QPointF pixel;
    QPointF global; // on the screen, to find where a release lands outside this box
};

// A drawing box: shows its surface's retained bitmap inside a sunken border and reports the
// mouse in plain numbers.
class SurfaceView : public QFrame {
    Q_OBJECT
public:
    explicit SurfaceView(QWidget *parent = nullptr);

    Surface &surface() { return m_surface; }
    const Surface &surface() const { return m_surface; }
    // Whether the bitmap follows the box's size (the diagram) or stays a fixed picture.
    void setFollowsSize(bool follows) { m_followsSize = follows; }

    static int buttonCode(Qt::MouseButtons buttons);
    static int shiftCode(Qt::KeyboardModifiers modifiers);

Q_SIGNALS:
    void mouseDown(const tessik::PointerEvent &event);
    void mouseMove(const tessik::PointerEvent &event);
    void mouseUp(const tessik::PointerEvent &event);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    PointerEvent toPointer(QMouseEvent *event, Qt::MouseButtons buttons) const;

    Surface m_surface;
    bool m_followsSize = true;
};

} // namespace tessik

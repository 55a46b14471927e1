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

// A drawing box: shows its surface's retained bitmap inside a sunken border, at the screen's
// full resolution, and reports the mouse in plain numbers: only the left, right and middle
// buttons, and only presses inside the drawing area (and the releases that end them).
class SurfaceView : public QFrame {
    Q_OBJECT
public:
    explicit SurfaceView(QWidget *parent = nullptr);

    Surface &surface() { return m_surface; }
    const Surface &surface() const { return m_surface; }
    // Whether the bitmap follows the box's size and the screen's density (the diagram) or
    // stays a fixed picture.
    void setFollowsSize(bool follows) { m_followsSize = follows; }

    // Fits the bitmap to the drawing area at the screen's device pixel ratio. True when the
    // ratio changed: the bitmap is white then and the picture has to be drawn again.
    bool fitSurface();

    // Shows what was drawn on the surface since it was last shown, once the window paints.
    void showChanges();

    // A fixed picture drawn at one and at two device pixels per pixel (a key picture). The
    // surface holds the first, whose colours a press reads; a high-density screen shows the
    // second in its place. Both are loaded when first needed; set the source before the view
    // is first shown.
    using PictureSource = QImage (*)(int scale);
    void setFixedPicture(PictureSource source);

    static int buttonCode(Qt::MouseButtons buttons);
    static int shiftCode(Qt::KeyboardModifiers modifiers);

Q_SIGNALS:
    void mouseDown(const tessik::PointerEvent &event);
    void mouseMove(const tessik::PointerEvent &event);
    void mouseUp(const tessik::PointerEvent &event);
    // The screen's density changed: the surface is white at the new resolution.
    void densityChanged();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    PointerEvent toPointer(QMouseEvent *event, Qt::MouseButtons buttons) const;
    void loadFixedPicture();
    void followDensity();
    const QImage &shownPicture() const;

    Surface m_surface;
    bool m_followsSize = true;
    Qt::MouseButtons m_ignoredPresses; // held down since a press that was not reported
    PictureSource m_pictureSource = nullptr;
    QImage m_densePicture;
};

} // namespace tessik

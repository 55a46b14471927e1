#include "app/ui/surface_view.h"

#include "interact/diagram_mouse.h"
#include "render/pixel_copy.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

namespace tessik {

SurfaceView::SurfaceView(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setAttribute(Qt::WA_OpaquePaintEvent); // the paint event covers every pixel itself
    // A refresh happens while no events run (a drag mark, a fade frame): repaint at once, and
    // only what changed.
    m_surface.setRefreshListener([this](const QRect &changed) {
        if (!changed.isEmpty())
            repaint(changed.translated(contentsRect().topLeft()));
    });
}

int SurfaceView::buttonCode(Qt::MouseButtons buttons)
{
    return (buttons & Qt::LeftButton ? kLeftButton : 0) | (buttons & Qt::RightButton ? kRightButton : 0) |
           (buttons & Qt::MiddleButton ? kMiddleButton : 0);
}

int SurfaceView::shiftCode(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? kShiftKey : 0) | (modifiers & Qt::ControlModifier ? kCtrlKey : 0) |
           (modifiers & Qt::AltModifier ? kAltKey : 0);
}

bool SurfaceView::fitSurface()
{
    const bool densityChanged = devicePixelRatioF() != m_surface.devicePixelRatio();
    m_surface.setDevicePixelRatio(devicePixelRatioF());
    m_surface.resize(contentsRect().width(), contentsRect().height());
    return densityChanged;
}

void SurfaceView::showChanges()
{
    const QRect changed = m_surface.takeChangedArea();
    if (!changed.isEmpty())
        update(changed.translated(contentsRect().topLeft()));
}

void SurfaceView::setFixedPicture(PictureSource source)
{
    m_pictureSource = source;
}

void SurfaceView::loadFixedPicture()
{
    if (m_surface.image().isNull())
        m_surface.setImage(m_pictureSource(1));
    if (devicePixelRatioF() > 1 && m_densePicture.isNull()) {
        m_densePicture = m_pictureSource(2);
        m_densePicture.setDevicePixelRatio(2);
    }
}

void SurfaceView::followDensity()
{
    if (m_pictureSource)
        loadFixedPicture();
    else if (m_followsSize && fitSurface())
        Q_EMIT densityChanged();
    update();
}

const QImage &SurfaceView::shownPicture() const
{
    return !m_densePicture.isNull() && devicePixelRatioF() > 1 ? m_densePicture : m_surface.image();
}

bool SurfaceView::event(QEvent *event)
{
    // Moved to a screen of another density: the bitmap is rebuilt at the new resolution.
    if (event->type() == QEvent::ScreenChangeInternal)
        followDensity();
    return QFrame::event(event);
}

void SurfaceView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect inner = contentsRect();
    const QRect exposed = event->rect() & inner;
    const QRect pictureArea(inner.topLeft(), QSize(m_surface.pixelWidth(), m_surface.pixelHeight()));
    // Only what the bitmap does not cover needs the white ground: the fade repaints often.
    for (const QRect &rest : QRegion(exposed).subtracted(QRegion(pictureArea)))
        painter.fillRect(rest, Qt::white);
    // Only the exposed parts are copied, device pixel for device pixel: a drag repaints the few
    // pixels of its marks, not the whole picture. A whole picture is copied on several threads.
    const QImage &picture = shownPicture();
    const qreal ratio = picture.devicePixelRatio();
    for (const QRect &shown : picture.isNull() ? QRegion() : event->region() & (inner & pictureArea)) {
        const QRectF source(QPointF(shown.topLeft() - inner.topLeft()) * ratio, QSizeF(shown.size()) * ratio);
        showPicture(painter, shown, picture, source, m_surface.drawingThreads());
    }
    painter.end();
    QFrame::paintEvent(event);
    if (m_followsSize && !m_pictureSource && devicePixelRatioF() != m_surface.devicePixelRatio())
        QMetaObject::invokeMethod(this, &SurfaceView::followDensity, Qt::QueuedConnection);
}

void SurfaceView::resizeEvent(QResizeEvent *event)
{
    if (m_followsSize && !m_pictureSource && fitSurface())
        Q_EMIT densityChanged();
    QFrame::resizeEvent(event);
}

void SurfaceView::showEvent(QShowEvent *event)
{
    followDensity();
    QFrame::showEvent(event);
}

PointerEvent SurfaceView::toPointer(QMouseEvent *event, Qt::MouseButtons buttons) const
{
    const QPointF inside = event->position() - QPointF(contentsRect().topLeft());
    return {buttonCode(buttons), shiftCode(event->modifiers()), QPointF(std::floor(inside.x()), std::floor(inside.y())),
            event->globalPosition()};
}

void SurfaceView::mousePressEvent(QMouseEvent *event)
{
    // Extra buttons (back, forward) and presses on the sunken border do nothing, and neither
    // does the release that ends them.
    if (buttonCode(event->button()) == 0 || !contentsRect().contains(event->position().toPoint())) {
        m_ignoredPresses |= event->button();
        return;
    }
    m_ignoredPresses &= ~event->button();
    if (m_pictureSource)
        loadFixedPicture();
    Q_EMIT mouseDown(toPointer(event, event->button()));
}

void SurfaceView::mouseMoveEvent(QMouseEvent *event)
{
    const Qt::MouseButtons reported = event->buttons() & ~m_ignoredPresses;
    if (buttonCode(reported) != 0)
        Q_EMIT mouseMove(toPointer(event, reported));
}

void SurfaceView::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_ignoredPresses & event->button()) {
        m_ignoredPresses &= ~event->button();
        return;
    }
    if (buttonCode(event->button()) != 0)
        Q_EMIT mouseUp(toPointer(event, event->button()));
}

} // namespace tessik

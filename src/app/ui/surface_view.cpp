#include "app/ui/surface_view.h"

#include "interact/diagram_mouse.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

namespace tessik {

SurfaceView::SurfaceView(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_surface.setRefreshListener([this] { repaint(); });
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

void SurfaceView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect inner = contentsRect();
    const QRect picture(inner.topLeft(), m_surface.image().size());
    // Only what the bitmap does not cover needs the white ground: the fade repaints often.
    for (const QRect &rest : QRegion(inner).subtracted(QRegion(picture)))
        painter.fillRect(rest, Qt::white);
    painter.drawImage(inner.topLeft(), m_surface.image());
    painter.end();
    QFrame::paintEvent(event);
}

void SurfaceView::resizeEvent(QResizeEvent *event)
{
    if (m_followsSize)
        m_surface.resize(contentsRect().width(), contentsRect().height());
    QFrame::resizeEvent(event);
}

PointerEvent SurfaceView::toPointer(QMouseEvent *event, Qt::MouseButtons buttons) const
{
    const QPointF inside = event->position() - QPointF(contentsRect().topLeft());
    return {buttonCode(buttons), shiftCode(event->modifiers()), QPointF(std::floor(inside.x()), std::floor(inside.y())),
            event->globalPosition()};
}

void SurfaceView::mousePressEvent(QMouseEvent *event)
{
    Q_EMIT mouseDown(toPointer(event, event->button()));
}
void SurfaceView::mouseMoveEvent(QMouseEvent *event)
{
    Q_EMIT mouseMove(toPointer(event, event->buttons()));
}
void SurfaceView::mouseReleaseEvent(QMouseEvent *event)
{
    Q_EMIT mouseUp(toPointer(event, event->button()));
}

} // namespace tessik

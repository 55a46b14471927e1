#include "app/ui/diagram_area.h"

#include "app/core/document.h"
#include "app/ui/controls.h"
#include "app/ui/diagram_accessible.h"
#include "platform/core/platform.h"
#include "render/artwork.h"

#include <QApplication>
#include <QCursor>
#include <QPixmap>

namespace tessik {

using namespace controls;

DiagramArea::DiagramArea(QWidget *window, Document &document, Platform &platform)
    : QObject(window), m_document(document), m_platform(platform),
      m_view(place<SurfaceView>(window, "picDiagram", 8, 4, 609, 401)),
      m_buffer(named<SurfaceView>(window, "picBuffer")),
      m_viewport(new DiagramViewport(m_view, [this]() -> const BlockTable & { return m_document.table(); }))
{
    // The replay's hidden twin takes the diagram's size and mapping when a replay draws on it.
    m_buffer->setVisible(false);
    m_buffer->setFollowsSize(false);
    m_colours.tables = ColourTables::standard();
    m_colours.ViewType = CategoryView;
    connect(m_view, &SurfaceView::mouseDown, this,
            [this](const PointerEvent &e) { m_mouse.MouseDown(e.Button, e.Shift, unitsX(e), unitsY(e)); });
    connect(m_view, &SurfaceView::mouseMove, this,
            [this](const PointerEvent &e) { m_mouse.MouseMove(e.Button, e.Shift, unitsX(e), unitsY(e)); });
    connect(m_view, &SurfaceView::mouseUp, this,
            [this](const PointerEvent &e) { m_mouse.MouseUp(e.Button, e.Shift, unitsX(e), unitsY(e)); });
    exposeDiagram(*this, document);
    m_view->setAccessibleName(QStringLiteral("Diagram"));
}

void DiagramArea::fixUnitSize()
{
    // The bitmap itself is sized by the layout when the window is first shown.
    const QSize area = m_view->contentsRect().size();
    m_view->surface().setMapping(PixelMapping::forStartupSize(area.width(), area.height()));
}

void DiagramArea::setGeometry(const QRect &geometry)
{
    m_view->setGeometry(geometry);
    m_view->fitSurface();
    m_buffer->resize(m_view->size());
}

void DiagramArea::setViewType(int viewType)
{
    m_colours.ViewType = viewType;
}

void DiagramArea::redraw(const QString &phrase)
{
    PlotDiagram(surface(), m_document.table(), m_colours, phrase);
    m_animation.endRun(m_document.table());
    m_view->showChanges();
    m_viewport->followBlocks();
}

void DiagramArea::outline(int id)
{
    surface().setPenColour(kRed);
    outlineBox(surface(), m_document.table().block(id).x, m_document.table().block(id).y);
}

void DiagramArea::replay(AnimationDirection direction)
{
    m_animation.step(m_document.table(), direction);
    PlotDiagramHidden(m_buffer->surface(), surface(), m_document.table(), m_colours, m_animation, m_platform);
}

void DiagramArea::select(int id)
{
    // A block chosen by the keyboard may lie outside the view, even when it was chosen already
    // and the view has moved away from it since.
    m_viewport->showBlock(id);
    if (id == m_selected)
        return;
    m_selected = id;
    Q_EMIT selectionChanged(id);
}

void DiagramArea::startPick(const QString &value)
{
    static const QCursor pickPointer(QPixmap::fromImage(pickPointerImage()), pickPointerHotSpot().x(),
                                     pickPointerHotSpot().y());
    // A second press before dropping replaces the value; the pointer is pushed only once.
    if (!m_pickPending)
        QApplication::setOverrideCursor(pickPointer);
    m_pickPending = true;
    m_pickText = value;
}

void DiagramArea::releasePick(const PointerEvent &event)
{
    // The picture holds the mouse from its press, so a release over the diagram arrives there.
    const QPoint at = m_view->mapFromGlobal(event.global.toPoint());
    const QRect drawing = m_view->contentsRect();
    if (!m_pickPending || !drawing.contains(at))
        return;
    const PointerEvent onDiagram{event.Button, event.Shift, QPointF(at - drawing.topLeft()), event.global};
    m_mouse.MouseUp(onDiagram.Button, onDiagram.Shift, unitsX(onDiagram), unitsY(onDiagram));
}

void DiagramArea::endPick()
{
    if (m_pickPending && QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    m_pickPending = false;
}

const BlockTable &DiagramArea::blocks() const
{
    return m_document.table();
}

void DiagramArea::moveBlocks(const std::vector<BlockPlace> &places)
{
    m_document.moveBlocks(places);
}

void DiagramArea::linkBlocks(int child, int parent)
{
    m_document.linkBlocks(child, parent);
}

void DiagramArea::storeCategory(int id, const QString &category)
{
    m_document.setCategory(id, category);
}

void DiagramArea::storeNotes(int id, const QString &notes)
{
    m_document.setNotes(id, notes);
}

void DiagramArea::tellUser(const QString &message)
{
    m_platform.showMessage(message, MessageButtons::Ok);
}

} // namespace tessik

#include "interact/diagram_mouse.h"

#include "model/classification.h"
#include "render/plot_diagram.h"
#include "render/surface.h"

#include <algorithm>
#include <cmath>

namespace tessik {

const QString DiagramMouse::kLoopMessage =
    QStringLiteral("The blocks were not linked.\r\n\r\n"
                   "The block that would become the parent already leads back to the other block, "
                   "so this link would close a loop of causes.");

int DiagramMouse::Inside(const BlockTable &table, float X, float Y)
{
    for (int i : table.liveIds()) {
        const Block &block = table.block(i);
        if (block.x <= X && X <= block.x + BlockBoxSize && block.y <= Y && Y <= block.y + BlockBoxSize)
            return i;
    }
    return 0;
}

DiagramMouse::ShownArea DiagramMouse::shownArea(const Surface &surface)
{
    // What the view shows now, zoomed and scrolled; the start-up view begins at the plane's edge.
    const PixelMapping &mapping = surface.mapping();
    const PlaneView &view = surface.view();
    if (view.isStartup())
        return {mapping.DiagramLeft, mapping.DiagramTop, mapping.pixelToUnitsX(surface.pixelWidth()),
                mapping.pixelToUnitsY(surface.pixelHeight())};
    return {mapping.pixelToUnitsX(view.toMappingX(0)), mapping.pixelToUnitsY(view.toMappingY(0)),
            mapping.pixelToUnitsX(view.toMappingX(surface.pixelWidth())),
            mapping.pixelToUnitsY(view.toMappingY(surface.pixelHeight()))};
}

namespace {

// The shift, in whole units so that corners stay on whole units, that brings a box from `low` to
// `low` + BlockBoxSize wholly between the edges.
float shiftInto(float low, float first, float last)
{
    if (low + BlockBoxSize > last && low >= first)
        return std::max(std::floor(last - BlockBoxSize - low), std::ceil(first - low));
    return low < first ? std::ceil(first - low) : 0.0f;
}

} // namespace

BlockPlace DiagramMouse::reachable(BlockPlace place, const ShownArea &shown)
{
    const bool outside = place.x + BlockBoxSize <= shown.left || place.x >= shown.right ||
                         place.y + BlockBoxSize <= shown.top || place.y >= shown.bottom;
    if (!outside)
        return place;
    place.x += shiftInto(place.x, shown.left, shown.right);
    place.y += shiftInto(place.y, shown.top, shown.bottom);
    return place;
}

void DiagramMouse::MouseDown(int Button, int, float X, float Y)
{
    if (m_host.pickPending())
        return;
    const int h = Inside(m_host.blocks(), X, Y);
    if (h == 0) {
        if (Button == kLeftButton) {
            m_host.addBlockAt(X, Y);
            DragBlock = 0;
        }
        return;
    }
    if (Button == kLeftButton) {
        DragBlock = 0;
        m_host.editBlock(h);
        return;
    }
    DragBlock = h;
    Surface &surface = m_host.diagramSurface();
    surface.setPenColour(kRed);
    outlineBox(surface, m_host.blocks().block(h).x, m_host.blocks().block(h).y);
    GhostIsCircle = false;
    GhostX = kNoMark;
    GhostY = kNoMark;
}

void DiagramMouse::drawMark()
{
    Surface &surface = m_host.diagramSurface();
    if (GhostIsCircle) {
        surface.circle(GhostX, GhostY, kLinkCircleRadius, kMarkColour);
        surface.refresh();
    } else {
        surface.setPenColour(kMarkColour);
        outlineBox(surface, GhostX, GhostY);
    }
}

void DiagramMouse::MouseMove(int Button, int, float X, float Y)
{
    // Marks follow the right button alone, and only while a block is picked up: a drag that
    // started on empty space leaves nothing behind.
    if (Button != kRightButton || DragBlock == 0)
        return;
    Surface &surface = m_host.diagramSurface();
    surface.setMixMode(MixMode::Xor);
    if (GhostX > kNoMark)
        drawMark();
    const int h = Inside(m_host.blocks(), X, Y);
    if (h < 1 || h == DragBlock) {
        // The outline shows where the block lands, alone or with its descendants.
        const BlockPlace place = landing(DragBlock, X, Y);
        GhostX = place.x;
        GhostY = place.y;
        GhostIsCircle = false;
    } else {
        GhostX = X;
        GhostY = Y;
        GhostIsCircle = true;
    }
    drawMark();
    surface.setMixMode(MixMode::Copy);
}

void DiagramMouse::MouseUp(int, int Shift, float X, float Y)
{
    if (m_host.pickPending()) {
        dropPick(X, Y);
        return;
    }
    if (DragBlock == 0)
        return;
    finishDrag(Shift, X, Y);
}

void DiagramMouse::dropPick(float X, float Y)
{
    m_host.endPick();
    const int h = Inside(m_host.blocks(), X, Y);
    if (h > 0)
        dropValue(h, m_host.pickText());
}

void DiagramMouse::dropValue(int h, const QString &value)
{
    if (m_host.viewType() != NotesView) {
        m_host.storeCategory(h, value);
    } else {
        m_host.storeNotes(h, value);
        m_host.showDroppedNotes(h, value);
    }
}

BlockPlace DiagramMouse::landing(int d, float X, float Y)
{
    return reachable({d, snappedCorner(X), snappedCorner(Y)}, shownArea(m_host.diagramSurface()));
}

std::vector<BlockPlace> DiagramMouse::placesForMove(int d, int Shift, float X, float Y)
{
    const BlockPlace place = landing(d, X, Y);
    if (Shift == 0)
        return {place};
    // The descendants keep their offsets from the block, wherever that puts them: the block stays
    // within reach, and a move of it brings them all back.
    const BlockTable &table = m_host.blocks();
    return table.multiMovePlaces(d, table.block(d).x - place.x, table.block(d).y - place.y);
}

void DiagramMouse::finishDrag(int Shift, float X, float Y)
{
    const BlockTable &table = m_host.blocks();
    const int d = DragBlock;
    DragBlock = 0;
    if (!table.isLive(d)) {
        m_host.redrawDiagram();
        return;
    }
    const int h = Inside(table, X, Y);
    if (h == 0 || h == d)
        moveTo(d, Shift, X, Y);
    else
        linkOrRefuse(d, h);
}

void DiagramMouse::moveTo(int d, int Shift, float X, float Y)
{
    m_host.moveBlocks(placesForMove(d, Shift, X, Y));
}

void DiagramMouse::linkOrRefuse(int d, int h)
{
    const BlockTable &table = m_host.blocks();
    // The block further left becomes the parent; with equal x the dragged block is the child.
    const int child = table.block(d).x < table.block(h).x ? h : d;
    const int parent = child == h ? d : h;
    if (table.wouldCloseLoop(child, parent)) {
        m_host.redrawDiagram();
        m_host.tellUser(kLoopMessage);
        return;
    }
    m_host.linkBlocks(child, parent);
}

} // namespace tessik

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

std::vector<BlockPlace> DiagramMouse::keptInside(std::vector<BlockPlace> places, float left, float top)
{
    float lowestX = left;
    float lowestY = top;
    for (const BlockPlace &place : places) {
        lowestX = std::min(lowestX, place.x);
        lowestY = std::min(lowestY, place.y);
    }
    // Whole units keep the corners on whole units, as every position the program makes is.
    const float shiftX = std::ceil(left - lowestX);
    const float shiftY = std::ceil(top - lowestY);
    for (BlockPlace &place : places) {
        place.x += shiftX;
        place.y += shiftY;
    }
    return places;
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
        // The outline shows where the block lands when it moves alone.
        const PixelMapping &edges = surface.mapping();
        const BlockPlace landing =
            keptInside({{DragBlock, snappedCorner(X), snappedCorner(Y)}}, edges.DiagramLeft, edges.DiagramTop).front();
        GhostX = landing.x;
        GhostY = landing.y;
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
    if (h <= 0)
        return;
    const QString value = m_host.pickText();
    if (m_host.viewType() != NotesView) {
        m_host.storeCategory(h, value);
    } else {
        m_host.storeNotes(h, value);
        m_host.setNotesBoxText(value);
    }
}

std::vector<BlockPlace> DiagramMouse::placesForMove(int d, int Shift, float X, float Y) const
{
    const BlockTable &table = m_host.blocks();
    const float newX = snappedCorner(X);
    const float newY = snappedCorner(Y);
    std::vector<BlockPlace> places;
    if (Shift == 0)
        places.push_back({d, newX, newY});
    else
        places = table.multiMovePlaces(d, table.block(d).x - newX, table.block(d).y - newY);
    const PixelMapping &edges = m_host.diagramSurface().mapping();
    return keptInside(std::move(places), edges.DiagramLeft, edges.DiagramTop);
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
    if (h == 0 || h == d) {
        m_host.moveBlocks(placesForMove(d, Shift, X, Y));
        return;
    }
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

#include "render/animation.h"

#include "render/fade.h"
#include "render/surface.h"

#include <algorithm>

namespace tessik {

namespace {

// Only a live parent can still be hidden: a parent id outside the used range (as a hand-edited
// file may hold) holds nobody back and is never read past the arrays.
bool parentStillHidden(const AnimationState &state, const BlockTable &table, int id)
{
    const int parent = table.block(id).parent;
    return parent >= 1 && parent <= table.usedSlots() && state.hidden[size_t(parent)];
}

bool hasHiddenChild(const AnimationState &state, const BlockTable &table, int id)
{
    const std::vector<int> children = table.children(id);
    return std::any_of(children.begin(), children.end(), [&](int child) { return state.hidden[size_t(child)]; });
}

} // namespace

void AnimationState::step(const BlockTable &table, AnimationDirection direction)
{
    const int count = table.usedSlots();

    restart = std::none_of(hidden.begin() + 1, hidden.begin() + 1 + count, [](bool h) { return h; });
    if (restart) {
        // Free slots are never hidden: they are not drawn, and a hidden free slot would never be
        // revealed forward, so the run could never end. Every slot is reset, so flags left
        // over from a run over a longer table cannot leak into this one.
        for (int i = 1; i <= kMaxBlocks; ++i) {
            hidden[size_t(i)] = table.isLive(i);
            revealing[size_t(i)] = false;
        }
        return;
    }

    for (int i = 1; i <= count; ++i) {
        if (revealing[size_t(i)])
            hidden[size_t(i)] = false;
        revealing[size_t(i)] = false;
    }

    // Only hidden is read, and it does not change here: the whole generation is chosen at
    // once, whatever the slot order.
    for (int j = 1; j <= count; ++j) {
        if (!hidden[size_t(j)])
            continue;
        if (direction == AnimationDirection::Backward)
            revealing[size_t(j)] = !hasHiddenChild(*this, table, j);
        else
            revealing[size_t(j)] = table.isLive(j) && !parentStillHidden(*this, table, j);
    }
}

void AnimationState::endRun(const BlockTable &table)
{
    for (int i = 1; i <= table.usedSlots(); ++i)
        hidden[size_t(i)] = false;
}

BlockLook AnimationState::lookOf(int id) const
{
    if (id < 0 || id > kMaxBlocks)
        return BlockLook::Plain;
    if (revealing[size_t(id)])
        return BlockLook::Highlighted;
    return hidden[size_t(id)] ? BlockLook::Hidden : BlockLook::Plain;
}

void PlotDiagramHidden(Surface &buffer, Surface &diagram, const BlockTable &table, const DiagramColours &colours,
                       const AnimationState &state, Platform &platform)
{
    // The picture is blended pixel for pixel, so the buffer must match the diagram exactly.
    buffer.setDevicePixelRatio(diagram.devicePixelRatio());
    buffer.resize(diagram.pixelWidth(), diagram.pixelHeight());
    buffer.setView(diagram.view());
    buffer.setMapping(diagram.mapping());
    buffer.setFont(diagram.font());

    drawDiagram(buffer, table, colours, [&state](int id) { return state.lookOf(id); });
    fadeIn(diagram, buffer, state.restart ? kFadeRestartPause : kFadeFramePause, platform);
}

} // namespace tessik

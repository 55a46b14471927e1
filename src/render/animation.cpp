#include "render/animation.h"

#include "render/fade.h"
#include "render/surface.h"

#include <algorithm>

namespace tessik {

namespace {

int usedSlots(const BlockTable &table)
{
    return std::clamp<int>(table.BlockCount, 0, kMaxBlocks);
}

// Only a live parent can still be hidden: a parent id outside the used range (as a hand-edited
// file may hold) holds nobody back and is never read past the arrays.
bool parentStillHidden(const AnimationState &state, const BlockTable &table, int id)
{
    const int parent = table.BlockParent[size_t(id)];
    return parent >= 1 && parent <= usedSlots(table) && state.BlockHidden[size_t(parent)];
}

bool hasHiddenChild(const AnimationState &state, const BlockTable &table, int id)
{
    for (int k = 1; k <= usedSlots(table); ++k)
        if (table.BlockParent[size_t(k)] == id && state.BlockHidden[size_t(k)])
            return true;
    return false;
}

} // namespace

void AnimationState::step(const BlockTable &table, AnimationDirection direction)
{
    const int count = usedSlots(table);

    AnimationRestart = std::none_of(BlockHidden.begin() + 1, BlockHidden.begin() + 1 + count, [](bool h) { return h; });
    if (AnimationRestart) {
        // Free slots are never hidden: they are not drawn, and a hidden free slot would never be
        // revealed forward, so the run could never end. Every slot is reset, so flags left
        // over from a run over a longer table cannot leak into this one.
        for (int i = 1; i <= kMaxBlocks; ++i) {
            BlockHidden[size_t(i)] = table.isLive(i);
            BlockRevealing[size_t(i)] = false;
        }
        return;
    }

    for (int i = 1; i <= count; ++i) {
        if (BlockRevealing[size_t(i)])
            BlockHidden[size_t(i)] = false;
        BlockRevealing[size_t(i)] = false;
    }

    // Only BlockHidden is read, and it does not change here: the whole generation is chosen at
    // once, whatever the slot order.
    for (int j = 1; j <= count; ++j) {
        if (!BlockHidden[size_t(j)])
            continue;
        if (direction == AnimationDirection::Backward)
            BlockRevealing[size_t(j)] = !hasHiddenChild(*this, table, j);
        else
            BlockRevealing[size_t(j)] = table.BlockActive[size_t(j)] != 0 && !parentStillHidden(*this, table, j);
    }
}

void AnimationState::endRun(const BlockTable &table)
{
    for (int i = 1; i <= usedSlots(table); ++i)
        BlockHidden[size_t(i)] = false;
}

BlockLook AnimationState::lookOf(int id) const
{
    if (id < 0 || id > kMaxBlocks)
        return BlockLook::Plain;
    if (BlockRevealing[size_t(id)])
        return BlockLook::Highlighted;
    return BlockHidden[size_t(id)] ? BlockLook::Hidden : BlockLook::Plain;
}

void PlotDiagramHidden(Surface &buffer, Surface &diagram, const BlockTable &table, const DiagramColours &colours,
                       const AnimationState &state, Platform &platform)
{
    // The picture is blended pixel for pixel, so the buffer must match the diagram exactly.
    buffer.setDevicePixelRatio(diagram.devicePixelRatio());
    buffer.resize(diagram.pixelWidth(), diagram.pixelHeight());
    buffer.setMapping(diagram.mapping());
    buffer.setFont(diagram.font());

    drawDiagram(buffer, table, colours, [&state](int id) { return state.lookOf(id); });
    fadeIn(diagram, buffer, state.AnimationRestart ? kFadeRestartPause : kFadeFramePause, platform);
}

} // namespace tessik

#pragma once

#include "model/block_table.h"
#include "render/plot_diagram.h"

#include <array>

namespace tessik {

class Platform;
class Surface;

// Backward: btnAnimate, causes first (a block appears once all its children are shown).
// Forward: btnAnimateForward, impacts first (a block appears once its parent is shown).
enum class AnimationDirection { Backward, Forward };

// The replay of the causal chains, one generation per click. Both buttons share it, so a
// click on the other button continues the same run in the other direction.
struct AnimationState {
    // Not yet shown in this run.
    std::array<bool, kMaxBlocks + 1> hidden{};
    // Revealed by the latest step: drawn highlighted.
    std::array<bool, kMaxBlocks + 1> revealing{};
    // The latest step started a new run; its fade to the empty picture is quick.
    bool restart = false;

    // One click: starts a new run when nothing is hidden (everything hidden, nothing
    // revealing); otherwise shows what the previous step revealed and reveals the next
    // generation. Blocks in a loop of parent links are never revealed, and nothing that waits
    // for them; such a run keeps its last picture on further clicks.
    void step(const BlockTable &table, AnimationDirection direction);

    // What every full redraw of the diagram does: nothing is hidden any more, so the next
    // click starts a new run.
    void endRun(const BlockTable &table);

    // Highlighted while revealing, left out while hidden, plain otherwise.
    BlockLook lookOf(int id) const;

    bool isVisible(int id) const { return lookOf(id) != BlockLook::Hidden; }
};

// Draws the animation picture on `buffer` (resized to the diagram's size and given its
// mapping and font first), then fades it onto `diagram` (see fadeIn).
void PlotDiagramHidden(Surface &buffer, Surface &diagram, const BlockTable &table, const DiagramColours &colours,
                       const AnimationState &state, Platform &platform);

} // namespace tessik

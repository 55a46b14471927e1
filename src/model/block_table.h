#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace tessik {

// Width and height of every block's box, in diagram units.
inline constexpr float BlockBoxSize = 10.0f;
// A box centred on a point has its corner half a box up and to the left of it.
inline constexpr float kHalfBox = BlockBoxSize / 2;
inline constexpr int kMaxBlocks = 100;
inline constexpr std::int16_t kTrue = -1;

// The corner of a box centred on a coordinate rounded to a whole unit (ties to even), so that
// every position the program itself produces is a whole number.
float snappedCorner(float centre);

// Where one block's box goes: its new top-left corner.
struct BlockPlace {
    int id = 0;
    float x = 0;
    float y = 0;
};

// The analysis' blocks: parallel arrays over slots 0..100, slot 0 never a block.
// Slots 1..BlockCount are the used range; a slot there is live when BlockActive is non-zero.
struct BlockTable {
    std::int16_t BlockCount = 0;
    std::array<std::int16_t, kMaxBlocks + 1> BlockActive{};
    std::array<std::int16_t, kMaxBlocks + 1> BlockParent{};
    std::array<float, kMaxBlocks + 1> BlockX{};
    std::array<float, kMaxBlocks + 1> BlockY{};
    std::array<QString, kMaxBlocks + 1> BlockText;
    std::array<QString, kMaxBlocks + 1> BlockNotes;
    std::array<QString, kMaxBlocks + 1> BlockCategory;

    bool isLive(int id) const { return id >= 1 && id <= BlockCount && BlockActive[id] != 0; }
    int liveCount() const;

    // Fills the lowest free slot (or the next one past the used range) with an empty block
    // centred on the point rounded to whole units. Returns its id, or 0 when the table is full
    // and nothing was changed.
    int addBlock(float x, float y);

    // Empties the used range; the slots above keep their leftovers, which nothing reads.
    void clear() { BlockCount = 0; }

    // Unlinks the block's children (they stay), then frees its slot. Position and category
    // stay in the freed slot until it is handed out again.
    void freeSlot(int id);

    // The descendants of a block, depth first with children in increasing id order.
    // A loop of parent links is walked once: each slot is listed at most once and the
    // block itself never.
    std::vector<int> descendants(int id) const;

    // True when making `parent` the parent of `child` would close a loop of parent links.
    bool wouldCloseLoop(int child, int parent) const;

    // Moves a block by minus (deltaX, deltaY) and all its descendants with it.
    void multiMove(int id, float deltaX, float deltaY);
    // The places that multiMove gives the block and its descendants, the block first.
    std::vector<BlockPlace> multiMovePlaces(int id, float deltaX, float deltaY) const;
    void setPlaces(const std::vector<BlockPlace> &places);
};

} // namespace tessik

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

// One slot of the table. The numbers keep the widths the analysis file was made with: a 16-bit
// live mark and parent (a file may hold any live mark; non-zero is live) and 32-bit corners.
struct Block {
    std::int16_t active = 0;
    std::int16_t parent = 0; // 0: no parent
    float x = 0;             // the box's top-left corner, in diagram units
    float y = 0;
    QString caption;
    QString notes;
    QString category;

    bool isLive() const { return active != 0; }
    bool operator==(const Block &other) const = default;
};

// Where one block's box goes: its new top-left corner.
struct BlockPlace {
    int id = 0;
    float x = 0;
    float y = 0;
};

// The analysis' blocks in slots 1..100, addressed by id (the slot number; 0 is never a block).
// Slots 1..usedSlots() are the used range; a slot there holds a block when it is live, and a
// free one keeps what was left in it (the file keeps it too).
class BlockTable {
public:
    // The block in a slot; an id outside 1..100 gives an empty, free block.
    const Block &block(int id) const;
    bool isLive(int id) const { return id >= 1 && id <= m_used && m_slots[size_t(id)].isLive(); }
    // The upper end of the used range.
    int usedSlots() const { return m_used; }
    // The ids of the live blocks, in slot order: the order every walk over the blocks takes.
    std::vector<int> liveIds() const;
    int liveCount() const;

    // Fills the lowest free slot (or the next one past the used range) with an empty block
    // centred on the point rounded to whole units. Returns its id, or 0 when the table is full
    // and nothing was changed.
    int addBlock(float x, float y);
    // Puts a block into the next slot past the used range, as a file lists them; returns its id,
    // or 0 when the table is full.
    int appendSlot(const Block &block);
    // Empties the used range; the slots above keep their leftovers, which nothing reads.
    void clear() { m_used = 0; }
    // Unlinks the block's children (they stay), then frees its slot. Position and category
    // stay in the freed slot until it is handed out again.
    void freeSlot(int id);

    // Each setter ignores an id outside 1..100.
    void setBlock(int id, const Block &block); // the whole slot, as an undo puts it back
    void setUsedSlots(int count);
    void link(int child, int parent); // parent 0 unlinks
    void move(int id, float x, float y);
    void setCaption(int id, const QString &caption);
    void setNotes(int id, const QString &notes);
    void setCategory(int id, const QString &category);

    // The used slots whose parent is the block, in slot order.
    std::vector<int> children(int id) const;
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

    bool operator==(const BlockTable &other) const = default;

private:
    static bool inRange(int id) { return id >= 1 && id <= kMaxBlocks; }

    int m_used = 0;
    std::array<Block, kMaxBlocks + 1> m_slots{};
};

} // namespace tessik

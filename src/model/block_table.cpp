#include "model/block_table.h"

#include "model/rounding.h"

#include <cmath>

namespace tessik {

float snappedCorner(float centre)
{
    return roundHalfEven(centre) - kHalfBox;
}

int BlockTable::liveCount() const
{
    int count = 0;
    for (int i = 1; i <= BlockCount; ++i)
        if (BlockActive[i] != 0)
            ++count;
    return count;
}

int BlockTable::addBlock(float x, float y)
{
    int id = 0;
    const int count = BlockCount;
    for (int i = 1; i <= count; ++i) {
        if (BlockActive[i] == 0) {
            id = i;
            break;
        }
    }
    if (id == 0) {
        if (BlockCount >= kMaxBlocks)
            return 0;
        id = ++BlockCount;
    }
    BlockActive[id] = kTrue;
    BlockX[id] = snappedCorner(x);
    BlockY[id] = snappedCorner(y);
    BlockParent[id] = 0;
    BlockText[id].clear();
    BlockNotes[id].clear();
    BlockCategory[id].clear();
    return id;
}

void BlockTable::freeSlot(int id)
{
    if (id < 1 || id > kMaxBlocks)
        return;
    for (int i = 1; i <= BlockCount; ++i)
        if (BlockParent[i] == id)
            BlockParent[i] = 0;
    BlockActive[id] = 0;
    BlockParent[id] = 0;
    BlockText[id].clear();
    BlockNotes[id].clear();
}

std::vector<int> BlockTable::descendants(int id) const
{
    std::vector<int> order;
    std::array<bool, kMaxBlocks + 1> seen{};
    if (id < 1 || id > kMaxBlocks)
        return order;
    seen[id] = true;
    // An explicit stack keeps the depth-first, increasing-id order without recursion.
    std::vector<std::pair<int, int>> stack{{id, 1}};
    const int count = BlockCount;
    while (!stack.empty()) {
        auto &[parent, next] = stack.back();
        int child = 0;
        for (int i = next; i <= count; ++i) {
            if (BlockParent[i] == parent && !seen[i]) {
                child = i;
                break;
            }
        }
        if (child == 0) {
            stack.pop_back();
            continue;
        }
        next = child + 1;
        seen[child] = true;
        order.push_back(child);
        stack.push_back({child, 1});
    }
    return order;
}

bool BlockTable::wouldCloseLoop(int child, int parent) const
{
    // Walking up from the new parent must not reach the child. The step limit ends the walk
    // on a loop that is already in the table (one that came from a file).
    int current = parent;
    for (int steps = 0; steps <= kMaxBlocks && current >= 1 && current <= kMaxBlocks; ++steps) {
        if (current == child)
            return true;
        current = BlockParent[current];
    }
    return false;
}

std::vector<BlockPlace> BlockTable::multiMovePlaces(int id, float deltaX, float deltaY) const
{
    std::vector<BlockPlace> places;
    if (id < 1 || id > kMaxBlocks)
        return places;
    places.push_back({id, BlockX[id] - deltaX, BlockY[id] - deltaY});
    for (int child : descendants(id))
        places.push_back({child, BlockX[child] - deltaX, BlockY[child] - deltaY});
    return places;
}

void BlockTable::setPlaces(const std::vector<BlockPlace> &places)
{
    for (const BlockPlace &place : places) {
        if (place.id < 1 || place.id > kMaxBlocks)
            continue;
        BlockX[place.id] = place.x;
        BlockY[place.id] = place.y;
    }
}

void BlockTable::multiMove(int id, float deltaX, float deltaY)
{
    setPlaces(multiMovePlaces(id, deltaX, deltaY));
}

} // namespace tessik

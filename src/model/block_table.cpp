#include "model/block_table.h"

#include "model/rounding.h"

namespace tessik {

float snappedCorner(float centre)
{
    return roundHalfEven(centre) - kHalfBox;
}

const Block &BlockTable::block(int id) const
{
    static const Block none;
    return inRange(id) ? m_slots[size_t(id)] : none;
}

std::vector<int> BlockTable::liveIds() const
{
    std::vector<int> ids;
    for (int id = 1; id <= m_used; ++id)
        if (m_slots[size_t(id)].isLive())
            ids.push_back(id);
    return ids;
}

int BlockTable::liveCount() const
{
    return int(liveIds().size());
}

int BlockTable::addBlock(float x, float y)
{
    int id = 0;
    for (int i = 1; i <= m_used; ++i) {
        if (!m_slots[size_t(i)].isLive()) {
            id = i;
            break;
        }
    }
    if (id == 0) {
        if (m_used >= kMaxBlocks)
            return 0;
        id = ++m_used;
    }
    m_slots[size_t(id)] = Block{kTrue, 0, snappedCorner(x), snappedCorner(y), {}, {}, {}};
    return id;
}

int BlockTable::appendSlot(const Block &block)
{
    if (m_used >= kMaxBlocks)
        return 0;
    m_slots[size_t(++m_used)] = block;
    return m_used;
}

void BlockTable::freeSlot(int id)
{
    if (!inRange(id))
        return;
    for (int child : children(id))
        m_slots[size_t(child)].parent = 0;
    Block &freed = m_slots[size_t(id)];
    freed.active = 0;
    freed.parent = 0;
    freed.caption.clear();
    freed.notes.clear();
}

void BlockTable::setBlock(int id, const Block &block)
{
    if (inRange(id))
        m_slots[size_t(id)] = block;
}

void BlockTable::setUsedSlots(int count)
{
    if (count >= 0 && count <= kMaxBlocks)
        m_used = count;
}

void BlockTable::link(int child, int parent)
{
    if (inRange(child))
        m_slots[size_t(child)].parent = std::int16_t(parent);
}

void BlockTable::move(int id, float x, float y)
{
    if (!inRange(id))
        return;
    m_slots[size_t(id)].x = x;
    m_slots[size_t(id)].y = y;
}

void BlockTable::setCaption(int id, const QString &caption)
{
    if (inRange(id))
        m_slots[size_t(id)].caption = caption;
}

void BlockTable::setNotes(int id, const QString &notes)
{
    if (inRange(id))
        m_slots[size_t(id)].notes = notes;
}

void BlockTable::setCategory(int id, const QString &category)
{
    if (inRange(id))
        m_slots[size_t(id)].category = category;
}

std::vector<int> BlockTable::children(int id) const
{
    std::vector<int> found;
    for (int i = 1; i <= m_used; ++i)
        if (m_slots[size_t(i)].parent == id)
            found.push_back(i);
    return found;
}

std::vector<int> BlockTable::descendants(int id) const
{
    std::vector<int> order;
    std::array<bool, kMaxBlocks + 1> seen{};
    if (!inRange(id))
        return order;
    seen[size_t(id)] = true;
    // An explicit stack keeps the depth-first, increasing-id order without recursion.
    std::vector<std::pair<int, int>> stack{{id, 1}};
    while (!stack.empty()) {
        auto &[parent, next] = stack.back();
        int child = 0;
        for (int i = next; i <= m_used; ++i) {
            if (m_slots[size_t(i)].parent == parent && !seen[size_t(i)]) {
                child = i;
                break;
            }
        }
        if (child == 0) {
            stack.pop_back();
            continue;
        }
        next = child + 1;
        seen[size_t(child)] = true;
        order.push_back(child);
        stack.push_back({child, 1});
    }
    return order;
}

bool BlockTable::wouldCloseLoop(int child, int parent) const
{
    // Walking up from the new parent must not reach the child. A walk without a loop meets each
    // block once at most, so the step limit ends only a walk round a loop that is already in the
    // table (one that came from a file).
    int current = parent;
    for (int steps = 0; steps < kMaxBlocks && inRange(current); ++steps) {
        if (current == child)
            return true;
        current = m_slots[size_t(current)].parent;
    }
    return false;
}

std::vector<BlockPlace> BlockTable::multiMovePlaces(int id, float deltaX, float deltaY) const
{
    std::vector<BlockPlace> places;
    if (!inRange(id))
        return places;
    places.push_back({id, block(id).x - deltaX, block(id).y - deltaY});
    for (int child : descendants(id))
        places.push_back({child, block(child).x - deltaX, block(child).y - deltaY});
    return places;
}

void BlockTable::setPlaces(const std::vector<BlockPlace> &places)
{
    for (const BlockPlace &place : places)
        move(place.id, place.x, place.y);
}

void BlockTable::multiMove(int id, float deltaX, float deltaY)
{
    setPlaces(multiMovePlaces(id, deltaX, deltaY));
}

} // namespace tessik

#include "interact/block_navigation.h"

#include "model/classification.h"

#include <array>
#include <cmath>
#include <limits>
#include <tuple>

namespace tessik {

namespace {

// One box and half a box of gap: the step between neighbours that the keys place.
constexpr float kPlaceStep = BlockBoxSize + kHalfBox;
// Far enough that only blocks packed on purpose, four places to a box, fill every place; then
// the place straight right is taken all the same.
constexpr int kPlaceRings = 12;

struct Offset {
    float along; // towards the direction
    float across;
};

Offset offsetTowards(const Block &from, const Block &to, Direction direction)
{
    const float dx = to.x - from.x, dy = to.y - from.y;
    switch (direction) {
    case Direction::Left:
        return {-dx, dy};
    case Direction::Right:
        return {dx, dy};
    case Direction::Up:
        return {-dy, dx};
    case Direction::Down:
        break;
    }
    return {dy, dx};
}

bool placeIsFree(const BlockTable &table, float x, float y)
{
    for (int id : table.liveIds()) {
        const Block &b = table.block(id);
        if (std::abs(b.x - x) < kPlaceStep && std::abs(b.y - y) < kPlaceStep)
            return false;
    }
    return true;
}

} // namespace

int nearestBlock(const BlockTable &table, int from, Direction direction)
{
    if (!table.isLive(from))
        return 0;
    const bool forward = direction == Direction::Right || direction == Direction::Down;
    // Ranked by (outside the 45-degree cone, distance, id); lower wins.
    std::tuple<bool, float, int> best{true, std::numeric_limits<float>::max(), 0};
    for (int id : table.liveIds()) {
        const Offset o = offsetTowards(table.block(from), table.block(id), direction);
        const bool sameCentre = o.along == 0 && o.across == 0;
        const bool ahead = o.along > 0 || (sameCentre && (forward ? id > from : id < from));
        if (id == from || !ahead)
            continue;
        const std::tuple<bool, float, int> rank{std::abs(o.across) > o.along, std::hypot(o.along, o.across),
                                                forward ? id : -id};
        if (std::get<2>(best) == 0 || rank < best)
            best = rank;
    }
    return std::abs(std::get<2>(best));
}

int topLeftImpact(const BlockTable &table)
{
    const std::vector<int> live = table.liveIds();
    if (live.empty())
        return 0;
    float left = std::numeric_limits<float>::max(), top = left;
    for (int id : live) {
        left = std::min(left, table.block(id).x);
        top = std::min(top, table.block(id).y);
    }
    // Ranked by (not an impact, distance from the corner, y, x); the lowest id wins a tie.
    std::tuple<bool, float, float, float> best{};
    int found = 0;
    for (int id : live) {
        const Block &b = table.block(id);
        const std::tuple<bool, float, float, float> rank{b.parent != 0, std::hypot(b.x - left, b.y - top), b.y, b.x};
        if (found == 0 || rank < best)
            best = rank, found = id;
    }
    return found;
}

BlockPlace firstFreePlace(const BlockTable &table)
{
    return freePlaceRightOf(table, snappedCorner(kHalfBox) - kPlaceStep, snappedCorner(kHalfBox));
}

BlockPlace freePlaceRightOf(const BlockTable &table, float boxX, float boxY)
{
    const float x = snappedCorner(boxX + kHalfBox), y = snappedCorner(boxY + kHalfBox);
    // Nearest first; at equal distance the nearer column, then the place above.
    std::tuple<int, int, int> best{std::numeric_limits<int>::max(), 0, 0};
    BlockPlace place{0, x + kPlaceStep, y};
    for (int column = 1; column <= kPlaceRings; ++column) {
        for (int row = -kPlaceRings; row <= kPlaceRings; ++row) {
            const std::tuple<int, int, int> rank{column * column + row * row, column, std::abs(row) * 2 + (row > 0)};
            if (rank < best && placeIsFree(table, x + column * kPlaceStep, y + row * kPlaceStep))
                best = rank, place = {0, x + column * kPlaceStep, y + row * kPlaceStep};
        }
    }
    return place;
}

QString keyValue(int viewType, int digit)
{
    // The digit is the colour number the block then shows, which also orders the category key's
    // cells row by row.
    static const std::array<const char *, 6> categories{
        "Physical Resources",   "Structure/Process", "Information",
        "Knowledge and Skills", "Motives",           "Wellness/Capacity"};
    static const std::array<const char *, 6> notes{"Science",
                                                   "Technology",
                                                   "Technology; Science",
                                                   "Human Factors",
                                                   "Science; Human Factors",
                                                   "Technology; Human Factors"};
    if (digit < 1 || digit > 6)
        return QString();
    return QString::fromLatin1((viewType == NotesView ? notes : categories)[size_t(digit - 1)]);
}

} // namespace tessik

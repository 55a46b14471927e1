#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

// The pixel work under the Surface: convex shapes row by row, and the plain byte loops of the
// fills and the fade.
namespace tessik::raster {

struct Span {
    std::int64_t from = 0;
    std::int64_t to = -1; // empty when to < from
    bool empty() const { return to < from; }
};

// The pixels of one row of a convex shape, and which of them lie on its outline: a pixel is
// on the outline when one of its four neighbours lies outside the shape. Because the shape is
// convex, the rest of the row is one interval.
struct RowParts {
    Span inner;
};

inline RowParts innerOfRow(const Span &row, const Span &above, const Span &below)
{
    RowParts parts;
    if (row.empty() || above.empty() || below.empty())
        return parts;
    parts.inner.from = std::max({row.from + 1, above.from, below.from});
    parts.inner.to = std::min({row.to - 1, above.to, below.to});
    return parts;
}

// Draws a convex shape given by its row spans: the outline in the pen colour, the inside in
// the fill colour. Each pixel is touched once, so XOR is reversible.
// Only the rows from `firstDrawn` up to, not including, `endDrawn` are emitted.
template <typename RowSpan, typename Emit>
void drawConvex(std::int64_t firstRow, std::int64_t lastRow, RowSpan rowSpan, int firstDrawn, int endDrawn, Emit emit)
{
    const std::int64_t top = std::max<std::int64_t>(firstRow, firstDrawn);
    const std::int64_t bottom = std::min<std::int64_t>(lastRow, std::int64_t(endDrawn) - 1);
    if (top > bottom)
        return;
    // Each row's span is worked out once and kept while it is the row above or below.
    Span above = top > firstRow ? rowSpan(top - 1) : Span{};
    Span row = rowSpan(top);
    for (std::int64_t y = top; y <= bottom; ++y) {
        const Span below = y < lastRow ? rowSpan(y + 1) : Span{};
        if (!row.empty()) {
            const Span inner = innerOfRow(row, above, below).inner;
            if (inner.empty()) {
                emit(int(y), row.from, row.to, true);
            } else {
                emit(int(y), row.from, inner.from - 1, true);
                emit(int(y), inner.from, inner.to, false);
                emit(int(y), inner.to + 1, row.to, true);
            }
        }
        above = row;
        row = below;
    }
}

// The fade's blend works on plain bytes, every channel alike (the opaque alpha byte stays 255),
// in stretches of 16 pixels, one cache line; the loops are simple enough for the compiler to
// turn into vector code.
inline constexpr int kBlendChunk = 16;

inline bool sameBytes(const std::uint8_t *a, const std::uint8_t *b)
{
    std::uint64_t difference = 0;
    for (int i = 0; i < 4 * kBlendChunk; i += 8) {
        std::uint64_t u, v;
        std::memcpy(&u, a + i, 8);
        std::memcpy(&v, b + i, 8);
        difference |= u ^ v;
    }
    return difference == 0;
}

// old x keep + new x alpha, both out of 256, rounded: at most 255 x 256 + 128, so 16 bits hold it.
inline void blendBytes(std::uint8_t *__restrict dst, const std::uint8_t *__restrict src, int count, std::uint16_t alpha,
                       std::uint16_t keep)
{
    for (int i = 0; i < count; ++i)
        dst[i] = std::uint8_t(std::uint16_t(dst[i] * keep + src[i] * alpha + 128) >> 8);
}

// Box fills are most of a redraw's work on a dense screen: eight pixels a store, not one.
inline void fillPixels(std::uint32_t *pixel, int count, std::uint32_t value)
{
    const std::uint64_t two = std::uint64_t(value) << 32 | value;
    const std::uint64_t eight[4] = {two, two, two, two};
    for (; count >= 8; count -= 8, pixel += 8)
        std::memcpy(pixel, eight, sizeof eight);
    std::fill(pixel, pixel + count, value);
}

} // namespace tessik::raster

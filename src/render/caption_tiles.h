#pragma once

#include "model/colour.h"
#include "render/outline_glyphs.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QRect>
#include <QStringList>

#include <vector>

namespace tessik {

class TextMetrics;

// What makes two captions look alike in a picture: their lines, where each line's baseline starts
// (device pixels from a whole pixel, so the fractions a glyph is placed by count), the scale of
// the glyphs and the colours of the text and of the fill under it.
struct CaptionTileKey {
    QStringList lines;
    QList<QPointF> origins;
    qreal scale = 1;
    Colour pen = 0;
    Colour fill = 0;
    bool operator==(const CaptionTileKey &) const = default;
};

size_t qHash(const CaptionTileKey &key, size_t seed = 0);

// Where a tile of these lines lies from the whole pixel their origins start at: every pixel the
// glyphs reach, with room to spare.
QRect captionTileArea(const CaptionTileKey &key, const TextMetrics &text);

// A caption's lines drawn once over its box's fill. A redraw copies these pixels where they lie
// on the fill, which gives what drawing the glyphs there gives, at a fraction of the cost: the
// same pixels wherever Qt draws the glyphs from its glyph cache (up to 64 pixels, 400 % at one
// device pixel a pixel). Larger glyphs Qt fills as outlines, whose antialiasing moves by a unit
// at a few edge pixels with the position in the picture; their tiles are made of glyphs filled
// once each (OutlineGlyphs): within a unit of Qt's drawing but where two glyphs share a pixel.
struct CaptionTile {
    QImage pixels; // RGB32; `area` is where it lies, from the whole pixel the origins start at
    QRect area;
    // Per row of `pixels`: the first and last pixel any glyph reaches (first > last: none). Those
    // must land on the fill for the copy to be exact.
    std::vector<int> first, last;
    // No glyph reaches the edge, so the tile holds every pixel the lines touch.
    bool whole = false;
};

// The tiles of one picture's captions. A change of font starts afresh; the pixels kept are held
// under a budget, beyond which the tiles are dropped and drawn again as they are met.
class CaptionTiles {
public:
    const CaptionTile &tile(const CaptionTileKey &key, const TextMetrics &text);
    void clear();

private:
    CaptionTile draw(const CaptionTileKey &key, const TextMetrics &text);
    QImage scratchImage(QSize size);

    QHash<CaptionTileKey, CaptionTile> m_tiles;
    qint64 m_bytes = 0;
    // The glyphs of the tile being drawn, over nothing. Kept from tile to tile: zoomed in, fresh
    // pages for each would cost more than drawing the glyphs.
    std::vector<std::uint32_t> m_scratch;
    OutlineGlyphs m_outlines;
};

} // namespace tessik

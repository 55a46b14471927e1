#pragma once

#include "model/block_table.h"
#include "render/pixel_mapping.h"
#include "render/plot_diagram.h"

#include <QRect>
#include <QTransform>

class QPainter;

namespace tessik {

// The white border a picture keeps around the blocks, in pixels of the mapping.
inline constexpr int kPictureMargin = 10;

// The part of the plane a picture of the table shows, in pixels of the mapping: every live
// block's box and shadow and every link, with the margin around them. A table without live
// blocks shows what the window shows at start-up.
QRect diagramArea(const BlockTable &table, const PixelMapping &mapping);

// Places `area` in `target` as large as it fits, scaled alike in both directions and centred.
QTransform fitTransform(const QRectF &area, const QRectF &target);

// Draws the table's diagram as the window draws it, every live block plain, over `area` (pixels
// of the mapping, as the painter's current transform takes them).
void paintDiagram(QPainter &painter, const QRect &area, const BlockTable &table, const DiagramColours &colours,
                  const PixelMapping &mapping);

} // namespace tessik

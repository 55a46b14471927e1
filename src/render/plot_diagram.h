#pragma once

#include "model/block_table.h"
#include "model/classification.h"
#include "model/colour.h"

#include <QString>

#include <functional>

namespace tessik {

class Canvas;
class Surface;

inline constexpr int kCornerEllipse = 30;
inline constexpr Colour kShadowColour = RGB(164, 164, 164);
inline constexpr Colour kHighlightShadowColour = RGB(255, 164, 164);

// How one slot appears in a picture: left out, drawn plainly, or drawn highlighted
// (pink shadow and red outline: a search hit, or a block the replay is revealing).
enum class BlockLook { Hidden, Plain, Highlighted };

struct DiagramColours {
    int ViewType = CategoryView;
    ColourTables tables = ColourTables::standard();
};

// A live block whose caption holds the phrase, letter case ignored. An empty phrase marks nothing.
bool isSearchHit(const BlockTable &table, int id, const QString &keyWord);

// The box's fill by the classification the view shows.
Colour boxFill(const BlockTable &table, int id, const DiagramColours &colours);

// Draws the whole picture onto a cleared surface: shadows, then links between visible blocks,
// then each box with its caption, in slot order. Leaves the surface with a black pen and a
// transparent fill, which the outlines drawn between redraws rely on.
void drawDiagram(Canvas &surface, const BlockTable &table, const DiagramColours &colours,
                 const std::function<BlockLook(int)> &lookOf);

// The diagram as it is edited: every live block, search hits highlighted.
void PlotDiagram(Canvas &surface, const BlockTable &table, const DiagramColours &colours, const QString &keyWord);

// The rectangle of the box of a block at (x, y), in pixels, for outlines drawn between redraws.
void outlineBox(Surface &surface, float x, float y);

} // namespace tessik

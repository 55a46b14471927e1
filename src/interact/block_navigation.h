#pragma once

#include "model/block_table.h"

#include <QString>

namespace tessik {

// Where the diagram's keys take the selection and put new blocks, worked out from the table
// alone so that the keyboard needs no pointer positions.
enum class Direction { Left, Right, Up, Down };

// The live block nearest to `from` in the direction, judged by the boxes' centres: first among
// the blocks within 45 degrees of the direction, else among all on that side. Boxes with the same
// centre take turns by id (Right and Down to the next higher id). 0 when there is none.
int nearestBlock(const BlockTable &table, int from, Direction direction);

// The impact (a live block without a parent) nearest to the top left corner of the diagram's
// blocks; with none (a loop of links), the block nearest to it. 0 for an empty table.
int topLeftImpact(const BlockTable &table);

// The box corner for a new block: the free place nearest to the right of the box at (x, y), on
// the grid of one box and half a box of gap that starts there. A place is free when no live box
// comes within that gap of it.
BlockPlace freePlaceRightOf(const BlockTable &table, float x, float y);
// Where a new block without a parent goes: the free place nearest to where New puts block 1,
// the diagram's left edge on its centre line, which is that place while it is free.
BlockPlace firstFreePlace(const BlockTable &table);

// The value a digit key 1..6 gives a block: the category of that colour number in the category
// view, the legend value of that colour number in the notes view. Empty for another digit.
QString keyValue(int viewType, int digit);

} // namespace tessik

#pragma once

#include "model/block_table.h"

#include <QString>

namespace tessik {

// A block as a screen reader says it. The name is the caption on one line, or a stand-in when
// the caption is empty, so that no block goes unnamed.
QString spokenName(const Block &block);
// What the colours and the links show of the block: its category, its notes classification
// and whether it is the cause of another block (named by its caption) or an impact, e.g.
// "Information; Technology; cause of Conveyor stopped" or "no category; no notes
// classification; impact".
QString spokenDescription(const BlockTable &table, int id);

} // namespace tessik

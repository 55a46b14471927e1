#pragma once

#include "model/block_table.h"

#include <QString>

namespace tessik {

// Everything an analysis file holds: the three header texts and the block table.
struct Analysis {
    QString description;
    QString email; // the part of the address before the at-sign
    QString office;
    BlockTable table;
};

} // namespace tessik

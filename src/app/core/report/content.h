#pragma once

#include "model/block_table.h"

#include <QString>

#include <vector>

namespace tessik {

// One causal chain: block ids from a cause (no children) up its parent links. It ends at an
// impact (no parent), or, in a damaged file, where the walk would meet a block of the chain again.
struct ReportChain {
    std::vector<int> ids; // the cause first
    bool endsInLoop = false;
};

// A group of blocks by category or by notes classification, with the causes among them.
struct ReportGroup {
    QString name;
    int colourIndex = 0; // into the category or notes colour table
    int blockCount = 0;
    std::vector<int> causes; // in reading order
};

// What the report says about a table, worked out once for every format.
struct ReportContent {
    std::vector<int> readingOrder; // every live block
    int causeCount = 0;
    int impactCount = 0;
    int chainCount = 0;                  // chains that reach an impact
    int unrootedBlocks = 0;              // blocks whose parent links run in a loop and reach no impact
    std::vector<ReportChain> chains;     // to impacts in reading order, each impact's causes in
                                         // reading order; then the chains that end in a loop
    std::vector<ReportGroup> byCategory; // the six categories, "No category", then other texts
    std::vector<ReportGroup> byNotes;    // Science, Technology, Human Factors, the combinations, none
};

// How the report words the reading order, for its readers.
extern const QString kReadingOrderNote;

ReportContent reportContent(const BlockTable &table);

// The ids in reading order: rows from the top, a block joining the current row while its box
// starts less than half a box below the row's first box; each row left to right. Ties keep
// slot order.
std::vector<int> inReadingOrder(const BlockTable &table, std::vector<int> ids);

// A block's parent when it is a live block other than itself, else 0.
int liveParent(const BlockTable &table, int id);

} // namespace tessik

#pragma once

#include "files/analysis.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class QUndoCommand;

namespace tessik {

enum class HeaderField { Description, Email, Office };
enum class EditKind { Diagram, Header };

// What an edit works on: the analysis, and whom to tell after each change (done or undone).
class EditTarget {
public:
    virtual ~EditTarget() = default;
    virtual Analysis &editedAnalysis() = 0;
    virtual void edited(EditKind kind) = 0;
};

// The header text a field names, in an analysis or a const one.
template <typename A> auto &headerText(A &analysis, HeaderField field)
{
    return field == HeaderField::Email    ? analysis.email
           : field == HeaderField::Office ? analysis.office
                                          : analysis.description;
}

// Everything one slot of the table holds.
struct SlotValues {
    std::int16_t active = 0;
    std::int16_t parent = 0;
    float x = 0;
    float y = 0;
    QString text;
    QString notes;
    QString category;

    static SlotValues of(const BlockTable &table, int id);
    void into(BlockTable &table, int id) const;
};

using BlockTextField = std::array<QString, kMaxBlocks + 1> BlockTable::*;

// One step of the history each. A step keeps only what it changes (the slot, the texts, the
// positions of the blocks that moved), never a copy of the table, so a long history stays small.
// Pushing a step does it; undoing it restores exactly what was there.

// One slot changes as a whole: filled by adding a block, or freed by deleting one, whose
// children then lose their parent (and get it back on undo).
struct SlotChange {
    int id = 0;
    SlotValues before;
    SlotValues after;
    std::int16_t countBefore = 0;
    std::int16_t countAfter = 0;
    std::vector<std::int16_t> unlinkedChildren;
};
std::unique_ptr<QUndoCommand> slotStep(EditTarget &target, SlotChange change);
// New texts for fields of one block (the editor's caption and notes; a dropped category or notes).
struct TextChange {
    BlockTextField field;
    QString after;
};
std::unique_ptr<QUndoCommand> blockTextsStep(EditTarget &target, int id, const std::vector<TextChange> &changes);
// New corners for the blocks that move.
std::unique_ptr<QUndoCommand> moveStep(EditTarget &target, const std::vector<BlockPlace> &places);
std::unique_ptr<QUndoCommand> linkStep(EditTarget &target, int child, int parent);
// A header text; typing on in the same field merges into one step.
std::unique_ptr<QUndoCommand> headerStep(EditTarget &target, HeaderField field, const QString &after);

} // namespace tessik

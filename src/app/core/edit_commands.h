#pragma once

#include "files/analysis.h"

#include <QString>

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

// One step of the history each. A step keeps only what it changes (one block, the positions of
// the blocks that moved, a header text), never a copy of the table, so a long history stays small.
// Pushing a step does it; undoing it restores exactly what was there.

// One slot changes as a whole: filled by adding a block, or freed by deleting one, whose
// children then lose their parent (and get it back on undo).
struct SlotChange {
    int id = 0;
    Block before;
    Block after;
    int usedBefore = 0;
    int usedAfter = 0;
    std::vector<int> unlinkedChildren;
};
std::unique_ptr<QUndoCommand> slotStep(EditTarget &target, SlotChange change);
// New values for one live block: its texts from the editor, a dropped category or notes, a parent.
std::unique_ptr<QUndoCommand> blockStep(EditTarget &target, int id, const Block &after);
// New corners for the blocks that move.
std::unique_ptr<QUndoCommand> moveStep(EditTarget &target, const std::vector<BlockPlace> &places);
// A header text; typing on in the same field merges into one step.
std::unique_ptr<QUndoCommand> headerStep(EditTarget &target, HeaderField field, const QString &after);

} // namespace tessik

#include "app/core/edit_commands.h"

#include <QUndoCommand>

namespace tessik {

SlotValues SlotValues::of(const BlockTable &table, int id)
{
    return {table.BlockActive[id], table.BlockParent[id], table.BlockX[id],       table.BlockY[id],
            table.BlockText[id],   table.BlockNotes[id],  table.BlockCategory[id]};
}

void SlotValues::into(BlockTable &table, int id) const
{
    table.BlockActive[id] = active;
    table.BlockParent[id] = parent;
    table.BlockX[id] = x;
    table.BlockY[id] = y;
    table.BlockText[id] = text;
    table.BlockNotes[id] = notes;
    table.BlockCategory[id] = category;
}

namespace {

// A step that changes the analysis and tells the document after doing or undoing it.
class AnalysisStep : public QUndoCommand {
public:
    AnalysisStep(EditTarget &target, EditKind kind) : m_target(target), m_kind(kind) {}

    void redo() final
    {
        apply(true);
        m_target.edited(m_kind);
    }
    void undo() final
    {
        apply(false);
        m_target.edited(m_kind);
    }

protected:
    virtual void apply(bool forward) = 0;
    Analysis &analysis() { return m_target.editedAnalysis(); }
    BlockTable &table() { return m_target.editedAnalysis().table; }

private:
    EditTarget &m_target;
    EditKind m_kind;
};

class SlotStep : public AnalysisStep {
public:
    SlotStep(EditTarget &target, SlotChange change)
        : AnalysisStep(target, EditKind::Diagram), m_change(std::move(change))
    {
    }

private:
    void apply(bool forward) override
    {
        (forward ? m_change.after : m_change.before).into(table(), m_change.id);
        for (const std::int16_t child : m_change.unlinkedChildren)
            table().BlockParent[size_t(child)] = forward ? 0 : std::int16_t(m_change.id);
        table().BlockCount = forward ? m_change.countAfter : m_change.countBefore;
    }

    SlotChange m_change;
};

class BlockTextsStep : public AnalysisStep {
public:
    struct Change {
        BlockTextField field;
        QString before;
        QString after;
    };

    BlockTextsStep(EditTarget &target, int id, std::vector<Change> changes)
        : AnalysisStep(target, EditKind::Diagram), m_id(id), m_changes(std::move(changes))
    {
    }

private:
    void apply(bool forward) override
    {
        for (const Change &change : m_changes)
            (table().*change.field)[size_t(m_id)] = forward ? change.after : change.before;
    }

    int m_id;
    std::vector<Change> m_changes;
};

class MoveStep : public AnalysisStep {
public:
    struct Move {
        std::int16_t id;
        float fromX;
        float fromY;
        float toX;
        float toY;
    };

    MoveStep(EditTarget &target, std::vector<Move> moves)
        : AnalysisStep(target, EditKind::Diagram), m_moves(std::move(moves))
    {
    }

private:
    void apply(bool forward) override
    {
        for (const Move &move : m_moves) {
            table().BlockX[size_t(move.id)] = forward ? move.toX : move.fromX;
            table().BlockY[size_t(move.id)] = forward ? move.toY : move.fromY;
        }
    }

    std::vector<Move> m_moves;
};

class LinkStep : public AnalysisStep {
public:
    LinkStep(EditTarget &target, int child, std::int16_t before, std::int16_t after)
        : AnalysisStep(target, EditKind::Diagram), m_child(child), m_before(before), m_after(after)
    {
    }

private:
    void apply(bool forward) override { table().BlockParent[size_t(m_child)] = forward ? m_after : m_before; }

    int m_child;
    std::int16_t m_before;
    std::int16_t m_after;
};

class HeaderStep : public AnalysisStep {
public:
    HeaderStep(EditTarget &target, HeaderField field, QString before, QString after)
        : AnalysisStep(target, EditKind::Header), m_field(field), m_before(std::move(before)), m_after(std::move(after))
    {
    }

    // Steps of one field merge; the history never merges into the step it was saved at.
    int id() const override { return kHeaderStepId + int(m_field); }
    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *next = static_cast<const HeaderStep *>(other);
        if (next->m_field != m_field)
            return false;
        m_after = next->m_after;
        return true;
    }

private:
    static constexpr int kHeaderStepId = 1000;

    void apply(bool forward) override { headerText(analysis(), m_field) = forward ? m_after : m_before; }

    HeaderField m_field;
    QString m_before;
    QString m_after;
};

} // namespace

std::unique_ptr<QUndoCommand> slotStep(EditTarget &target, SlotChange change)
{
    return std::make_unique<SlotStep>(target, std::move(change));
}

std::unique_ptr<QUndoCommand> blockTextsStep(EditTarget &target, int id, const std::vector<TextChange> &changes)
{
    const BlockTable &table = target.editedAnalysis().table;
    std::vector<BlockTextsStep::Change> steps;
    for (const TextChange &change : changes)
        steps.push_back({change.field, (table.*change.field)[size_t(id)], change.after});
    return std::make_unique<BlockTextsStep>(target, id, std::move(steps));
}

std::unique_ptr<QUndoCommand> moveStep(EditTarget &target, const std::vector<BlockPlace> &places)
{
    const BlockTable &table = target.editedAnalysis().table;
    std::vector<MoveStep::Move> moves;
    moves.reserve(places.size());
    for (const BlockPlace &place : places)
        moves.push_back(
            {std::int16_t(place.id), table.BlockX[size_t(place.id)], table.BlockY[size_t(place.id)], place.x, place.y});
    return std::make_unique<MoveStep>(target, std::move(moves));
}

std::unique_ptr<QUndoCommand> linkStep(EditTarget &target, int child, int parent)
{
    return std::make_unique<LinkStep>(target, child, target.editedAnalysis().table.BlockParent[size_t(child)],
                                      std::int16_t(parent));
}

std::unique_ptr<QUndoCommand> headerStep(EditTarget &target, HeaderField field, const QString &after)
{
    return std::make_unique<HeaderStep>(target, field, headerText(target.editedAnalysis(), field), after);
}

} // namespace tessik

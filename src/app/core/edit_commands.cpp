#include "app/core/edit_commands.h"

#include <QUndoCommand>

namespace tessik {

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
        table().setBlock(m_change.id, forward ? m_change.after : m_change.before);
        for (const int child : m_change.unlinkedChildren)
            table().link(child, forward ? 0 : m_change.id);
        table().setUsedSlots(forward ? m_change.usedAfter : m_change.usedBefore);
    }

    SlotChange m_change;
};

class BlockStep : public AnalysisStep {
public:
    BlockStep(EditTarget &target, int id, Block before, Block after)
        : AnalysisStep(target, EditKind::Diagram), m_id(id), m_before(std::move(before)), m_after(std::move(after))
    {
    }

private:
    void apply(bool forward) override { table().setBlock(m_id, forward ? m_after : m_before); }

    int m_id;
    Block m_before;
    Block m_after;
};

class MoveStep : public AnalysisStep {
public:
    struct Move {
        int id;
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
        for (const Move &move : m_moves)
            table().move(move.id, forward ? move.toX : move.fromX, forward ? move.toY : move.fromY);
    }

    std::vector<Move> m_moves;
};

class HeaderStep : public AnalysisStep {
public:
    HeaderStep(EditTarget &target, HeaderField field, QString before, QString after)
        : AnalysisStep(target, EditKind::Header), m_field(field), m_before(std::move(before)), m_after(std::move(after))
    {
    }

    // Steps of one field merge: the history offers a step to merge only steps of its own id, so
    // of its own field, and never merges into the step it was saved at.
    int id() const override { return kHeaderStepId + int(m_field); }
    bool mergeWith(const QUndoCommand *other) override
    {
        m_after = static_cast<const HeaderStep *>(other)->m_after;
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

std::unique_ptr<QUndoCommand> blockStep(EditTarget &target, int id, const Block &after)
{
    return std::make_unique<BlockStep>(target, id, target.editedAnalysis().table.block(id), after);
}

std::unique_ptr<QUndoCommand> moveStep(EditTarget &target, const std::vector<BlockPlace> &places)
{
    const BlockTable &table = target.editedAnalysis().table;
    std::vector<MoveStep::Move> moves;
    moves.reserve(places.size());
    for (const BlockPlace &place : places)
        moves.push_back({place.id, table.block(place.id).x, table.block(place.id).y, place.x, place.y});
    return std::make_unique<MoveStep>(target, std::move(moves));
}

std::unique_ptr<QUndoCommand> headerStep(EditTarget &target, HeaderField field, const QString &after)
{
    return std::make_unique<HeaderStep>(target, field, headerText(target.editedAnalysis(), field), after);
}

} // namespace tessik

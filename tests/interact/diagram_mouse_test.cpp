#include "interact/diagram_mouse.h"
#include "render/plot_diagram.h"
#include "render/surface.h"
#include "support/test_main.h"

using namespace tessik;

namespace {

// The window as the pointer handling sees it, recording what it was asked to do.
struct FakeHost : DiagramMouseHost {
    BlockTable table;
    Surface surface{670, 430};
    int view = CategoryView;
    bool pending = false;
    QString picked, notesBox;
    QList<int> edited;
    int edits = 0, redraws = 0;
    QStringList told;

    FakeHost() { surface.setMapping(PixelMapping::forStartupSize(670, 430)); }
    BlockTable &blocks() override { return table; }
    Surface &diagramSurface() override { return surface; }
    int viewType() const override { return view; }
    bool pickPending() const override { return pending; }
    QString pickText() const override { return picked; }
    void endPick() override { pending = false; }
    void setNotesBoxText(const QString &text) override { notesBox = text; }
    void addBlockAt(float x, float y) override { table.addBlock(x, y); }
    void editBlock(int id) override { edited.append(id); }
    void redrawDiagram(bool edit) override
    {
        ++redraws;
        edits += edit ? 1 : 0;
        PlotDiagram(surface, table, DiagramColours(), QString());
    }
    void tellUser(const QString &message) override { told << message; }
    int block(float left, float top) { return table.addBlock(left + 5, top + 5); }
    QPointF corner(int id) const { return QPointF(table.BlockX[id], table.BlockY[id]); }
};

struct Move {
    int shift;
    QPointF to, landing; // where the pointer is released, and the block's new corner
    bool childFollows;
};

struct Link {
    int button;
    bool dragLeftOne, equalX;
    bool loop; // the new parent already leads up to the new child, four links up
};

} // namespace

class DiagramMouseTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A box holds its edges; where boxes overlap the lower id is hit; a freed slot is not.
    void hitTest()
    {
        FakeHost host;
        host.block(0, 0);
        host.block(5, 5);
        host.table.freeSlot(host.block(30, 0));
        const QList<QPointF> points{{0, 5}, {10, 3}, {10.01, 3}, {3, 0}, {3, -0.01}, {7, 7}, {12, 15}, {32, 2}};
        QList<int> hits;
        for (const QPointF &p : points)
            hits << DiagramMouse::Inside(host.table, float(p.x()), float(p.y()));
        QCOMPARE(hits, QList<int>({1, 1, 0, 1, 0, 1, 2, 0}));
    }

    // A left press on empty space adds a block there, on a block opens it; other buttons open nothing.
    void leftPressAddsOrOpens()
    {
        FakeHost host;
        DiagramMouse mouse(host);
        mouse.MouseDown(1, 0, 20.4f, -3.6f);
        QCOMPARE(host.corner(1), QPointF(15, -9));
        mouse.MouseDown(1, 0, 16, -8);
        mouse.MouseDown(4, 0, 40, 10);
        mouse.MouseUp(4, 0, 40, 10);
        QCOMPARE(host.edited, QList<int>{1});
        QCOMPARE(host.table.BlockCount, std::int16_t(1));
        QCOMPARE(host.redraws, 0);
    }

    void releaseMoves_data()
    {
        const QPointF to(30.5, 2.5), landing(25, -3);
        test::addRows<Move>({
            {"no modifier: the block alone", {0, to, landing, false}},
            {"Shift: with its descendants", {1, to, landing, true}},
            {"Ctrl: with its descendants", {2, to, landing, true}},
            {"Alt: with its descendants", {4, to, landing, true}},
            {"over itself: a move, not a link", {0, {47.6, 17.6}, {43, 13}, false}},
        });
    }
    void releaseMoves()
    {
        QFETCH(Move, row);
        FakeHost host;
        DiagramMouse mouse(host);
        host.block(0, -10);
        const int moved = host.block(40, 10), child = host.block(50, 20);
        host.table.BlockParent[child] = std::int16_t(moved);
        mouse.MouseDown(2, 0, 45, 15);
        mouse.MouseUp(2, row.shift, float(row.to.x()), float(row.to.y()));
        QCOMPARE(host.corner(moved), row.landing);
        QCOMPARE(host.corner(child), row.childFollows ? row.landing + QPointF(10, 10) : QPointF(50, 20));
        QCOMPARE(host.table.BlockParent[moved], std::int16_t(0));
        QCOMPARE(host.edits, 1);
        QCOMPARE(mouse.DragBlock, 0);
    }

    // The block further left becomes the parent; with equal x the dragged block is the child.
    // A link that would close a loop is refused with a message, and changes nothing.
    void linkRule_data()
    {
        test::addRows<Link>({
            {"right: drag the right block onto the left", {2, false, false, false}},
            {"right: drag the left block onto the right", {2, true, false, false}},
            {"middle button links like the right", {4, false, false, false}},
            {"equal x: the dragged block becomes the child", {2, false, true, false}},
            {"a link that closes a loop is refused", {2, false, false, true}},
            {"a loop through equal x is refused", {2, true, true, true}},
        });
    }
    void linkRule()
    {
        QFETCH(Link, row);
        FakeHost host;
        DiagramMouse mouse(host);
        const int left = host.block(10, 0), right = host.block(row.equalX ? 10 : 40, row.equalX ? 15 : 0);
        const int dragged = row.dragLeftOne ? left : right, target = left + right - dragged;
        const int child = row.equalX ? dragged : right, parent = left + right - child;
        for (int below = parent, i = 0; row.loop && i < 4; ++i)
            below = host.table.BlockParent[below] = std::int16_t(i < 3 ? host.block(60 + 12.0f * i, 20) : child);
        const BlockTable before = host.table;
        mouse.MouseDown(row.button, 0, host.table.BlockX[dragged] + 5, host.table.BlockY[dragged] + 5);
        mouse.MouseUp(row.button, 0, host.table.BlockX[target] + 5, host.table.BlockY[target] + 5);
        QCOMPARE(host.table.BlockParent[child], row.loop ? before.BlockParent[child] : std::int16_t(parent));
        QCOMPARE(host.table.BlockParent[parent], before.BlockParent[parent]);
        QCOMPARE(host.table.BlockX, before.BlockX); // neither block moves
        QCOMPARE(host.table.BlockY, before.BlockY);
        QCOMPARE(QList<int>({host.edits, host.redraws}), QList<int>({row.loop ? 0 : 1, 1}));
        QCOMPARE(host.told, row.loop ? QStringList{DiagramMouse::kLoopMessage} : QStringList());
    }

    void marksOnlyWhileABlockIsPickedAndLeaveNoTrace()
    {
        FakeHost host;
        DiagramMouse mouse(host);
        const int left = host.block(0, 0), right = host.block(30, 0);
        host.redrawDiagram(false);
        const QImage plain = host.surface.image().copy();
        mouse.MouseDown(2, 0, 50, 20); // a right drag from empty space picks nothing: no marks
        mouse.MouseMove(2, 0, 52, 22);
        mouse.MouseUp(2, 0, 52, 22);
        QCOMPARE(host.surface.image(), plain);
        QCOMPARE(host.redraws, 1);
        mouse.MouseDown(2, 0, 35, 5);
        const QImage picked = host.surface.image().copy();
        QCOMPARE(host.surface.point(310, 265), kRed); // the pick outline on the box's left edge
        mouse.MouseMove(2, 0, 50.2f, 12.7f);          // empty space: the landing outline
        QCOMPARE(QPointF(mouse.GhostX, mouse.GhostY), QPointF(45, 8));
        QCOMPARE(host.surface.point(460, 345), kMarkColour ^ kWhite);
        mouse.MouseMove(2, 0, 5.3f, 4.2f); // over the other block: the link circle
        QVERIFY(mouse.GhostIsCircle);
        QCOMPARE(QPointF(mouse.GhostX, mouse.GhostY), QPointF(5.3f, 4.2f));
        mouse.MouseMove(4, 0, 60, 0); // the middle button shows no marks
        mouse.MouseMove(2, 0, 35, 5); // over itself: an outline again
        mouse.MouseMove(2, 0, 35, 5);
        QVERIFY(!mouse.GhostIsCircle);
        // Every earlier mark was erased exactly: the picture is the picked one plus the last outline.
        QCOMPARE(host.surface.mixMode(), MixMode::Copy);
        Surface oneMark(670, 430);
        oneMark.setMapping(host.surface.mapping());
        oneMark.setImage(picked);
        oneMark.setMixMode(MixMode::Xor);
        oneMark.setPenColour(kMarkColour);
        outlineBox(oneMark, 30, 0);
        QCOMPARE(host.surface.image(), oneMark.image());
        mouse.MouseUp(2, 0, 5, 5);
        QCOMPARE(host.table.BlockParent[right], std::int16_t(left));
    }

    // With a pick pending a press neither opens, adds nor picks up a block; the release drops the
    // pick into the field the view shows, or discards it on empty space.
    void droppingAPick()
    {
        const std::tuple<int, QString, bool> drops[] = {
            {1, "Motives", true}, {0, "Science; Human Factors", true}, {1, "", true}, {1, "Motives", false}};
        for (const auto &[view, value, onBlock] : drops) {
            FakeHost host;
            DiagramMouse mouse(host);
            const int id = host.block(0, 0);
            host.table.BlockCategory[id] = "Information";
            host.table.BlockNotes[id] = "old notes";
            host.view = view;
            host.pending = true;
            host.picked = value;
            mouse.MouseDown(1, 0, onBlock ? 5 : 40, 5);
            mouse.MouseDown(2, 0, 5, 5);
            QVERIFY(host.edited.isEmpty() && host.table.BlockCount == 1 && mouse.DragBlock == 0);
            mouse.MouseUp(1, 0, onBlock ? 5 : 40, 5);
            QVERIFY(!host.pending);
            QCOMPARE(host.edits, onBlock ? 1 : 0);
            QCOMPARE(host.table.BlockCategory[id], onBlock && view == 1 ? value : QString("Information"));
            QCOMPARE(host.table.BlockNotes[id], onBlock && view == 0 ? value : QString("old notes"));
            QCOMPARE(host.notesBox, onBlock && view == 0 ? value : QString());
        }
    }
};

TESSIK_TEST(DiagramMouseTest)
#include "diagram_mouse_test.moc"

#include "interact/diagram_mouse.h"
#include "render/plot_diagram.h"
#include "render/surface.h"

#include <QTest>

using namespace tessik;

namespace {

// The window as the pointer handling sees it, recording what it was asked to do.
struct FakeHost : DiagramMouseHost {
    BlockTable table;
    Surface surface{670, 430};
    DiagramColours colours;
    bool pending = false;
    QString picked;
    QString notesBox;
    QList<QPair<float, float>> added;
    QList<int> edited;
    int redraws = 0;
    int edits = 0;
    QStringList told;

    FakeHost() { surface.setMapping(PixelMapping::forStartupSize(670, 430)); }
    BlockTable &blocks() override { return table; }
    Surface &diagramSurface() override { return surface; }
    int viewType() const override { return colours.ViewType; }
    bool pickPending() const override { return pending; }
    QString pickText() const override { return picked; }
    void endPick() override { pending = false; }
    void setNotesBoxText(const QString &text) override { notesBox = text; }
    void addBlockAt(float x, float y) override
    {
        added.append({x, y});
        table.addBlock(x, y);
    }
    void editBlock(int id) override { edited.append(id); }
    void redrawDiagram(bool edit) override
    {
        ++redraws;
        edits += edit ? 1 : 0;
        PlotDiagram(surface, table, colours, QString());
    }
    void tellUser(const QString &message) override { told.append(message); }

    int block(float left, float top)
    {
        const int id = table.addBlock(left + 5, top + 5);
        return id;
    }
};

} // namespace

class TestDiagramMouse : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void hitTest_data()
    {
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<int>("hit");
        // Block 1 at (0, 0), block 2 at (5, 5) overlapping it, block 3 freed at (30, 0).
        QTest::newRow("inside") << 2.0f << 2.0f << 1;
        QTest::newRow("left edge belongs to the box") << 0.0f << 5.0f << 1;
        QTest::newRow("right edge belongs to the box") << 10.0f << 3.0f << 1;
        QTest::newRow("bottom edge belongs to the box") << 3.0f << 10.0f << 1;
        QTest::newRow("just beyond the right edge") << 10.01f << 3.0f << 0;
        QTest::newRow("overlap: the lower id wins") << 7.0f << 7.0f << 1;
        QTest::newRow("only the upper box") << 12.0f << 12.0f << 2;
        QTest::newRow("a freed slot is not hit") << 32.0f << 2.0f << 0;
        QTest::newRow("empty space") << -5.0f << -5.0f << 0;
    }
    void hitTest()
    {
        QFETCH(float, x);
        QFETCH(float, y);
        QFETCH(int, hit);
        FakeHost host;
        host.block(0, 0);
        host.block(5, 5);
        host.block(30, 0);
        host.table.freeSlot(3);
        QCOMPARE(DiagramMouse::Inside(host.table, x, y), hit);
        QCOMPARE(DiagramMouse::Inside(BlockTable(), x, y), 0);
    }

    void leftPressAddsOrOpens()
    {
        FakeHost host;
        DiagramMouse mouse(host);
        mouse.MouseDown(1, 0, 20.4f, -3.6f);
        QCOMPARE(host.table.BlockX[1], 15.0f);
        QCOMPARE(host.table.BlockY[1], -9.0f);
        mouse.MouseDown(2, 0, 40, 0); // another button on empty space does nothing
        mouse.MouseDown(4, 0, 40, 0);
        QCOMPARE(host.added.size(), 1);
        mouse.MouseDown(1, 0, 16, -8); // on the block: opens it
        QCOMPARE(host.edited, QList<int>{1});
        QCOMPARE(mouse.DragBlock, 0);
    }

    void pressWithAPickPendingDoesNothing()
    {
        FakeHost host;
        DiagramMouse mouse(host);
        host.block(0, 0);
        host.pending = true;
        mouse.MouseDown(1, 0, 5, 5);
        mouse.MouseDown(1, 0, 40, 0);
        mouse.MouseDown(2, 0, 5, 5);
        QVERIFY(host.added.isEmpty());
        QVERIFY(host.edited.isEmpty());
        QCOMPARE(mouse.DragBlock, 0);
    }

    void releaseMoves_data()
    {
        QTest::addColumn<int>("shift");
        QTest::addColumn<bool>("childrenFollow");
        QTest::newRow("no modifier: the block alone") << 0 << false;
        QTest::newRow("Shift: with its descendants") << 1 << true;
        QTest::newRow("Ctrl: with its descendants") << 2 << true;
        QTest::newRow("Alt: with its descendants") << 4 << true;
    }
    void releaseMoves()
    {
        QFETCH(int, shift);
        QFETCH(bool, childrenFollow);
        FakeHost host;
        DiagramMouse mouse(host);
        host.block(0, -10);
        host.block(20, -10);
        const int three = host.block(40, 10);
        const int child = host.block(50, 20);
        const int grandchild = host.block(60, 30);
        host.table.BlockParent[child] = short(three);
        host.table.BlockParent[grandchild] = short(child);
        mouse.MouseDown(2, 0, 45, 15);
        QCOMPARE(mouse.DragBlock, three);
        mouse.MouseUp(2, shift, 30.5f, 2.5f);
        QCOMPARE(host.table.BlockX[three], 25.0f);
        QCOMPARE(host.table.BlockY[three], -3.0f);
        const float dx = childrenFollow ? -15.0f : 0.0f, dy = childrenFollow ? -13.0f : 0.0f;
        QCOMPARE(host.table.BlockX[child], 50 + dx);
        QCOMPARE(host.table.BlockY[child], 20 + dy);
        QCOMPARE(host.table.BlockX[grandchild], 60 + dx);
        QCOMPARE(host.edits, 1);
        QCOMPARE(mouse.DragBlock, 0);
    }

    void droppingOnItselfMoves()
    {
        FakeHost host;
        DiagramMouse mouse(host);
        const int id = host.block(0, 0);
        mouse.MouseDown(2, 0, 2, 2);
        mouse.MouseUp(2, 0, 8.6f, 8.6f); // still over itself
        QCOMPARE(host.table.BlockX[id], 4.0f);
        QCOMPARE(host.table.BlockParent[id], std::int16_t(0));
    }

    void linkRule_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("dragLeftOne");
        QTest::addColumn<bool>("equalX");
        QTest::newRow("right: drag the right block onto the left") << 2 << false << false;
        QTest::newRow("right: drag the left block onto the right") << 2 << true << false;
        QTest::newRow("middle button links like the right") << 4 << false << false;
        QTest::newRow("equal x: the dragged block becomes the child") << 2 << false << true;
    }
    void linkRule()
    {
        QFETCH(int, button);
        QFETCH(bool, dragLeftOne);
        QFETCH(bool, equalX);
        FakeHost host;
        DiagramMouse mouse(host);
        host.block(20, 20);
        const int left = host.block(10, 0);
        host.block(20, -20);
        host.block(30, -20);
        const int right = host.block(equalX ? 10 : 40, equalX ? 15 : 0);
        const BlockTable before = host.table;
        const int dragged = dragLeftOne ? left : right;
        const int target = dragged == left ? right : left;
        mouse.MouseDown(button, 0, host.table.BlockX[dragged] + 5, host.table.BlockY[dragged] + 5);
        mouse.MouseUp(button, 0, host.table.BlockX[target] + 5, host.table.BlockY[target] + 5);
        const int child = equalX ? dragged : right;
        const int parent = equalX ? target : left;
        QCOMPARE(host.table.BlockParent[child], std::int16_t(parent));
        QCOMPARE(host.table.BlockParent[parent], std::int16_t(0));
        QCOMPARE(host.table.BlockX, before.BlockX); // neither block moves
        QCOMPARE(host.table.BlockY, before.BlockY);
        QCOMPARE(host.edits, 1);
    }

    void linkThatWouldCloseALoopIsRefused()
    {
        FakeHost host;
        DiagramMouse mouse(host);
        const int two = host.block(10, 0);
        const int five = host.block(40, 0);
        host.table.BlockParent[five] = short(two); // 5 under 2
        // Moved so that 5 now stands left of 2; linking them would put 2 under 5.
        host.table.BlockX[five] = 0;
        const BlockTable before = host.table;
        mouse.MouseDown(2, 0, 5, 5);
        mouse.MouseUp(2, 0, 15, 5);
        QCOMPARE(host.told, QStringList{DiagramMouse::kLoopMessage});
        QCOMPARE(host.table.BlockParent, before.BlockParent);
        QCOMPARE(host.edits, 0);
        QCOMPARE(host.redraws, 1); // the pick outline is removed
        QCOMPARE(mouse.DragBlock, 0);
    }

    void multiMoveEndsOnALoopFromAFile()
    {
        FakeHost host;
        DiagramMouse mouse(host);
        const int a = host.block(0, 0);
        const int b = host.block(20, 0);
        host.table.BlockParent[a] = short(b);
        host.table.BlockParent[b] = short(a);
        mouse.MouseDown(2, 0, 5, 5);
        mouse.MouseUp(2, 1, 5, 25);
        QCOMPARE(host.table.BlockY[a], 20.0f);
        QCOMPARE(host.table.BlockY[b], 20.0f); // moved once, not forever
    }

    void marksFollowTheRightButtonAndLeaveNoTrace()
    {
        FakeHost host;
        DiagramMouse mouse(host);
        const int left = host.block(0, 0);
        const int right = host.block(30, 0);
        host.table.BlockText[left] = "Cause";
        host.redrawDiagram(false);
        const QImage plain = host.surface.image().copy();
        mouse.MouseDown(2, 0, 35, 5);
        const QImage picked = host.surface.image().copy();
        QVERIFY(picked != plain); // the red pick outline
        mouse.MouseMove(2, 0, 50.2f, 12.7f); // empty space: the landing outline
        QVERIFY(!mouse.GhostIsCircle);
        QCOMPARE(mouse.GhostX, 45.0f);
        QCOMPARE(mouse.GhostY, 8.0f);
        mouse.MouseMove(2, 0, 5.3f, 4.2f); // over the other block: the link circle
        QVERIFY(mouse.GhostIsCircle);
        QCOMPARE(mouse.GhostX, 5.3f);
        mouse.MouseMove(2, 0, 34, 3); // over itself: an outline again
        QVERIFY(!mouse.GhostIsCircle);
        mouse.MouseMove(4, 0, 60, 0); // the middle button shows no marks
        QCOMPARE(mouse.GhostX, 29.0f);
        // Every earlier mark was erased exactly: the picture is the picked one plus the last outline.
        mouse.MouseMove(2, 0, 35, 5);
        mouse.MouseMove(2, 0, 35, 5);
        QCOMPARE(host.surface.mixMode(), MixMode::Copy);
        Surface oneMark(670, 430);
        oneMark.setMapping(host.surface.mapping());
        oneMark.setImage(picked);
        oneMark.setMixMode(MixMode::Xor);
        oneMark.setPenColour(kMarkColour);
        outlineBox(oneMark, mouse.GhostX, mouse.GhostY);
        QCOMPARE(host.surface.image(), oneMark.image());
        mouse.MouseUp(2, 0, 5, 5);
        QCOMPARE(host.table.BlockParent[right], std::int16_t(left));
        BlockTable fresh = host.table;
        Surface expected(670, 430);
        expected.setMapping(host.surface.mapping());
        PlotDiagram(expected, fresh, host.colours, QString());
        QCOMPARE(host.surface.image(), expected.image());
    }

    void noMarksWithoutAPickedBlock()
    {
        FakeHost host;
        DiagramMouse mouse(host);
        host.block(0, 0);
        host.redrawDiagram(false);
        const QImage before = host.surface.image().copy();
        mouse.MouseDown(2, 0, 40, 0); // right press on empty space
        mouse.MouseMove(2, 0, 45, 3);
        mouse.MouseMove(2, 0, 50, 3);
        mouse.MouseUp(2, 0, 50, 3);
        QCOMPARE(host.surface.image(), before);
        QCOMPARE(host.redraws, 1);
    }

    void droppingAPick_data()
    {
        QTest::addColumn<int>("view");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("onBlock");
        QTest::newRow("category view stores the category") << 1 << "Motives" << true;
        QTest::newRow("notes view replaces the notes") << 0 << "Science; Technology; Human Factors" << true;
        QTest::newRow("an empty pick empties the field") << 1 << "" << true;
        QTest::newRow("empty space discards the pick") << 1 << "Motives" << false;
    }
    void droppingAPick()
    {
        QFETCH(int, view);
        QFETCH(QString, value);
        QFETCH(bool, onBlock);
        FakeHost host;
        DiagramMouse mouse(host);
        const int id = host.block(0, 0);
        host.table.BlockCategory[id] = "Information";
        host.table.BlockNotes[id] = "old notes";
        host.colours.ViewType = view;
        host.pending = true;
        host.picked = value;
        mouse.MouseDown(1, 0, 5, 5);
        mouse.MouseUp(1, 0, onBlock ? 5 : 40, 5);
        QVERIFY(!host.pending);
        QCOMPARE(host.edits, onBlock ? 1 : 0);
        const QString category = onBlock && view == 1 ? value : QString("Information");
        const QString notes = onBlock && view == 0 ? value : QString("old notes");
        QCOMPARE(host.table.BlockCategory[id], category);
        QCOMPARE(host.table.BlockNotes[id], notes);
        QCOMPARE(host.notesBox, onBlock && view == 0 ? value : QString());
        QVERIFY(host.edited.isEmpty());
    }
};

QTEST_MAIN(TestDiagramMouse)
#include "test_diagram_mouse.moc"

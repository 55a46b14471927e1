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
    QList<int> edited;
    int edits = 0;

    FakeHost() { surface.setMapping(PixelMapping::forStartupSize(670, 430)); }
    const BlockTable &blocks() const override { return table; }
    Surface &diagramSurface() override { return surface; }
    int viewType() const override { return colours.ViewType; }
    bool pickPending() const override { return pending; }
    QString pickText() const override { return picked; }
    void endPick() override { pending = false; }
    void setNotesBoxText(const QString &text) override { notesBox = text; }
    void addBlockAt(float x, float y) override { table.addBlock(x, y); }
    void editBlock(int id) override { edited.append(id); }
    void moveBlocks(const std::vector<BlockPlace> &places) override
    {
        table.setPlaces(places);
        redraw(true);
    }
    void linkBlocks(int child, int parent) override
    {
        table.BlockParent[child] = std::int16_t(parent);
        redraw(true);
    }
    void storeCategory(int id, const QString &category) override
    {
        table.BlockCategory[id] = category;
        redraw(true);
    }
    void storeNotes(int id, const QString &notes) override
    {
        table.BlockNotes[id] = notes;
        redraw(true);
    }
    void redrawDiagram() override { redraw(false); }
    void redraw(bool edit)
    {
        edits += edit ? 1 : 0;
        PlotDiagram(surface, table, colours, QString());
    }
    // None of the gestures here has anything to tell the user.
    void tellUser(const QString &message) override { QFAIL(qPrintable(message)); }

    int block(float left, float top) { return table.addBlock(left + 5, top + 5); }
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
        QTest::newRow("left edge belongs to the box") << 0.0f << 5.0f << 1;
        QTest::newRow("right edge belongs to the box") << 10.0f << 3.0f << 1;
        QTest::newRow("just beyond the right edge") << 10.01f << 3.0f << 0;
        QTest::newRow("overlap: the lower id wins") << 7.0f << 7.0f << 1;
        QTest::newRow("only the upper box") << 12.0f << 12.0f << 2;
        QTest::newRow("a freed slot is not hit") << 32.0f << 2.0f << 0;
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
    }

    void releaseMoves_data()
    {
        QTest::addColumn<int>("shift");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<QPointF>("landing"); // top left corner
        QTest::addColumn<bool>("childFollows");
        const QPointF to(30.5, 2.5), landing(25, -3);
        QTest::newRow("no modifier: the block alone") << 0 << to << landing << false;
        QTest::newRow("Shift: with its descendants") << 1 << to << landing << true;
        QTest::newRow("Ctrl: with its descendants") << 2 << to << landing << true;
        QTest::newRow("Alt: with its descendants") << 4 << to << landing << true;
        QTest::newRow("over itself: a move, not a link") << 0 << QPointF(47.6, 17.6) << QPointF(43, 13) << false;
    }
    void releaseMoves()
    {
        QFETCH(int, shift);
        QFETCH(QPointF, to);
        QFETCH(QPointF, landing);
        QFETCH(bool, childFollows);
        FakeHost host;
        DiagramMouse mouse(host);
        host.block(0, -10);
        const int moved = host.block(40, 10);
        const int child = host.block(50, 20);
        host.table.BlockParent[child] = short(moved);
        mouse.MouseDown(2, 0, 45, 15);
        mouse.MouseUp(2, shift, float(to.x()), float(to.y()));
        QCOMPARE(QPointF(host.table.BlockX[moved], host.table.BlockY[moved]), landing);
        QCOMPARE(host.table.BlockParent[moved], std::int16_t(0));
        const QPointF childAt = childFollows ? landing + QPointF(10, 10) : QPointF(50, 20);
        QCOMPARE(QPointF(host.table.BlockX[child], host.table.BlockY[child]), childAt);
        QCOMPARE(host.edits, 1);
        QCOMPARE(mouse.DragBlock, 0);
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

    void marksOnlyWhileABlockIsPickedAndLeaveNoTrace()
    {
        FakeHost host;
        DiagramMouse mouse(host);
        const int left = host.block(0, 0);
        const int right = host.block(30, 0);
        host.redrawDiagram();
        const QImage plain = host.surface.image().copy();
        mouse.MouseDown(2, 0, 50, 20); // a right drag from empty space picks nothing: no marks
        mouse.MouseMove(2, 0, 52, 22);
        mouse.MouseUp(2, 0, 52, 22);
        QCOMPARE(host.surface.image(), plain);
        QCOMPARE(host.edits, 0);
        mouse.MouseDown(2, 0, 35, 5);
        const QImage picked = host.surface.image().copy();
        QVERIFY(picked != plain);            // the red pick outline
        mouse.MouseMove(2, 0, 50.2f, 12.7f); // empty space: the landing outline
        QVERIFY(!mouse.GhostIsCircle);
        QCOMPARE(mouse.GhostX, 45.0f);
        QCOMPARE(mouse.GhostY, 8.0f);
        mouse.MouseMove(2, 0, 5.3f, 4.2f); // over the other block: the link circle
        QVERIFY(mouse.GhostIsCircle);
        mouse.MouseMove(4, 0, 60, 0); // the middle button shows no marks
        mouse.MouseMove(2, 0, 35, 5); // over itself: an outline again
        mouse.MouseMove(2, 0, 35, 5);
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
        const float x = onBlock ? 5 : 40;
        // With a pick pending a press neither opens, adds nor picks up a block.
        mouse.MouseDown(1, 0, x, 5);
        mouse.MouseDown(2, 0, 5, 5);
        QVERIFY(host.edited.isEmpty());
        QCOMPARE(host.table.BlockCount, std::int16_t(1));
        QCOMPARE(mouse.DragBlock, 0);
        mouse.MouseUp(1, 0, x, 5);
        QVERIFY(!host.pending);
        QCOMPARE(host.edits, onBlock ? 1 : 0);
        const QString category = onBlock && view == 1 ? value : QString("Information");
        const QString notes = onBlock && view == 0 ? value : QString("old notes");
        QCOMPARE(host.table.BlockCategory[id], category);
        QCOMPARE(host.table.BlockNotes[id], notes);
        QCOMPARE(host.notesBox, onBlock && view == 0 ? value : QString());
    }
};

QTEST_MAIN(TestDiagramMouse)
#include "test_diagram_mouse.moc"

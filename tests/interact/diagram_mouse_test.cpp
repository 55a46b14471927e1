#include "interact/diagram_mouse.h"
#include "render/plot_diagram.h"
#include "render/surface.h"
#include "support/test_env.h"
#include "support/test_main.h"

using namespace tessik;

namespace {

// The window as the pointer handling sees it, recording what it was asked to do.
struct FakeHost : DiagramMouseHost {
    BlockTable table;
    Surface surface{670, 430};
    int edits = 0, redraws = 0, refreshes = 0;
    QList<int> edited;
    QStringList told;

    FakeHost()
    {
        surface.setMapping(PixelMapping::forStartupSize(670, 430));
        surface.setRefreshListener([this](const QRect &) { ++refreshes; });
    }
    const BlockTable &blocks() const override { return table; }
    Surface &diagramSurface() override { return surface; }
    // The drops of a value picked from a key belong to the window's tests, which drive them whole.
    int viewType() const override { return CategoryView; }
    bool pickPending() const override { return false; }
    QString pickText() const override { return {}; }
    void endPick() override {}
    void showDroppedNotes(int, const QString &) override {}
    void addBlockAt(float x, float y) override { table.addBlock(x, y); }
    void editBlock(int id) override { edited << id; }
    void moveBlocks(const std::vector<BlockPlace> &places) override { table.setPlaces(places), changed(); }
    void linkBlocks(int child, int parent) override { table.link(child, parent), changed(); }
    void storeCategory(int id, const QString &category) override { table.setCategory(id, category), changed(); }
    void storeNotes(int id, const QString &notes) override { table.setNotes(id, notes), changed(); }
    // One edit of the analysis, once made: counted and redrawn, as the window does.
    void changed() { ++edits, redrawDiagram(); }
    void redrawDiagram() override { ++redraws, PlotDiagram(surface, table, DiagramColours(), ""); }
    void tellUser(const QString &message) override { told << message; }
    int block(float left, float top) { return table.addBlock(left + 5, top + 5); }
    QPointF corner(int id) const { return QPointF(table.block(id).x, table.block(id).y); }
};

// Whether the left block is dragged, whether both have the same x, and whether the new parent
// already leads up to the new child, four links up.
using Link = std::tuple<bool, bool, bool>;

} // namespace

class DiagramMouseTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A box holds its edges; where boxes overlap the lower id is hit; a freed slot is not. A left
    // press on empty space adds a block there, on a block opens it; the middle button opens
    // nothing, and a left press after a block was picked up drops nothing.
    void pressAndHitTest()
    {
        FakeHost host;
        DiagramMouse mouse(host);
        mouse.MouseDown(1, 0, 5.4f, 4.6f);
        host.block(5, 5);
        host.table.freeSlot(host.block(30, 0));
        QList<int> hits;
        for (const QPointF &p :
             QList<QPointF>{{0, 5}, {10, 3}, {10.01, 3}, {3, 0}, {3, -0.01}, {7, 7}, {12, 15}, {32, 2}})
            hits << DiagramMouse::Inside(host.table, float(p.x()), float(p.y()));
        QCOMPARE(hits, QList({1, 1, 0, 1, 0, 1, 2, 0}));
        // A block picked up, then a left press on empty space or on another block: neither release
        // drops the block picked up. A negative button is a release.
        const std::tuple<int, float, float> presses[] = {{1, 12, 12}, {4, 40, 10},  {-4, 40, 10},
                                                         {2, 12, 12}, {1, 40, -10}, {-1, 40, -10},
                                                         {2, 12, 12}, {1, 2, 2},    {-1, 2, 2}};
        for (const auto &[button, x, y] : presses)
            button > 0 ? mouse.MouseDown(button, 0, x, y) : mouse.MouseUp(-button, 0, x, y);
        QCOMPARE(QList({int(host.edited.size()), host.edited.value(0), host.edited.value(1),
                        int(host.table.usedSlots()), host.redraws}),
                 QList({2, 2, 1, 3, 0}));
    }

    // A release away from other blocks moves the block there, with its descendants when a modifier
    // is held; over itself too it moves. Only a box that would lie wholly outside the diagram (x -1
    // to 66, y -21.5 to 21.5) comes back, whole, whole units at a time; its descendants come along
    // but are not brought back themselves. While the block is dragged there, the outline shows
    // where it lands.
    void releaseMoves_data() { test::addRowsFrom("pointer_moves.tsv"); }
    void releaseMoves()
    {
        QFETCH(QStringList, row);
        // The modifiers held at the release, where the pointer is released, where the block lands,
        // and where it starts (it is picked up at its middle).
        const auto point = [&](int at) { return QPointF(row.value(at).toDouble(), row.value(at + 1).toDouble()); };
        const int shift = row[0].toInt();
        const QPointF to = point(1), landing = point(3), from = row.size() > 5 ? point(5) : QPointF(40, 10);
        FakeHost host;
        DiagramMouse mouse(host);
        host.block(60, -20);
        const int moved = host.block(float(from.x()), float(from.y())), child = host.block(50, 20);
        host.table.link(child, std::int16_t(moved));
        mouse.MouseDown(2, 0, float(from.x()) + 5, float(from.y()) + 5);
        mouse.MouseMove(2, shift, float(to.x()), float(to.y()));
        const QPointF ghost(mouse.GhostX, mouse.GhostY);
        mouse.MouseUp(2, shift, float(to.x()), float(to.y()));
        QCOMPARE(QList({host.corner(moved), ghost, host.corner(child)}),
                 QList({landing, landing, shift ? landing + QPointF(50, 20) - from : QPointF(50, 20)}));
        QCOMPARE(QList({int(host.table.block(moved).parent), host.edits, mouse.DragBlock}), QList({0, 1, 0}));
    }

    // Zoomed in and scrolled, a block dropped wholly past the view's left and top edges comes back
    // just far enough for its whole box to show, wherever the edges fall between two units: one
    // unit less and it would not show whole.
    void dropPastAZoomedViewComesBackJustEnough()
    {
        for (int edge = 0; edge < 100; ++edge) {
            FakeHost host;
            host.surface.setView({2, 300 + edge, 200 + 3 * edge});
            DiagramMouse mouse(host);
            const int moved = host.block(40, 10);
            mouse.MouseDown(2, 0, 45, 15);
            mouse.MouseUp(2, 0, -30, -40);
            const PixelMapping &m = host.surface.mapping();
            const PlaneView &v = host.surface.view();
            // Where a unit of the plane lies in the view, in its pixels.
            const auto viewX = [&](double x) { return v.toViewX((x - m.DiagramLeft) * m.pixelsPerUnitX()); };
            const auto viewY = [&](double y) { return v.toViewY((y - m.DiagramTop) * m.pixelsPerUnitY()); };
            const QPointF at = host.corner(moved);
            QVERIFY2(viewX(at.x()) > -0.01 && viewY(at.y()) > -0.01 && viewX(at.x() - 1) < 0 && viewY(at.y() - 1) < 0,
                     qPrintable(QString::asprintf("view at (%d, %d): the box's corner at (%.2f, %.2f) pixels", v.left,
                                                  v.top, viewX(at.x()), viewY(at.y()))));
        }
    }

    // The block further left becomes the parent; with equal x the dragged block is the child. A
    // link that would close a loop is refused with a message, and changes nothing.
    void linkRule_data()
    {
        test::addRows<Link>({
            {"drag the right block onto the left", {false, false, false}},
            {"drag the left block onto the right", {true, false, false}},
            {"equal x: the dragged block becomes the child", {false, true, false}},
            {"a link that closes a loop is refused", {false, false, true}},
            {"a loop through equal x is refused", {true, true, true}},
        });
    }
    void linkRule()
    {
        QFETCH(Link, row);
        const auto [dragLeftOne, equalX, loop] = row;
        FakeHost host;
        DiagramMouse mouse(host);
        const int left = host.block(10, 0), right = host.block(equalX ? 10 : 40, equalX ? 15 : 0);
        const int dragged = dragLeftOne ? left : right, target = left + right - dragged;
        const int child = equalX ? dragged : right, parent = left + right - child;
        for (int below = parent, i = 0; loop && i < 4; ++i) {
            const int above = i < 3 ? host.block(60 + 12.0f * i, 20) : child;
            host.table.link(below, above);
            below = above;
        }
        BlockTable expected = host.table;
        if (!loop)
            expected.link(child, parent);
        mouse.MouseDown(2, 0, host.table.block(dragged).x + 5, host.table.block(dragged).y + 5);
        mouse.MouseUp(2, 0, host.table.block(target).x + 5, host.table.block(target).y + 5);
        QVERIFY2(host.table == expected, "only the child's parent may change, and not at all for a loop");
        QCOMPARE(QList({host.edits, host.redraws}), QList({loop ? 0 : 1, 1}));
        QCOMPARE(host.told, loop ? QStringList{DiagramMouse::kLoopMessage} : QStringList());
    }

    // Marks follow a right drag only while a block is picked up: an outline where it would land, a
    // circle over another block, each shown at once. Drawn with XOR, each is erased exactly by the
    // next.
    void marksLeaveNoTrace()
    {
        FakeHost host;
        DiagramMouse mouse(host);
        const int left = host.block(0, 0), right = host.block(30, 0);
        host.redrawDiagram();
        const QImage plain = host.surface.image().copy();
        mouse.MouseDown(2, 0, 50, 20); // from empty space: nothing picked, no marks
        mouse.MouseMove(2, 0, 52, 22);
        mouse.MouseUp(2, 0, 52, 22);
        QVERIFY(host.surface.image() == plain && host.redraws == 1);
        mouse.MouseDown(2, 0, 35, 5);
        QCOMPARE(host.surface.point(310, 265), kRed); // the pick outline on the box's left edge
        mouse.MouseMove(2, 0, 50.2f, 12.7f);
        const QImage outlined = host.surface.image().copy();
        QCOMPARE(QList({mouse.GhostX, mouse.GhostY, float(host.surface.point(460, 345))}),
                 QList({45.0f, 8.0f, float(kMarkColour ^ kWhite)}));
        mouse.MouseMove(2, 0, 5.3f, 4.2f);
        QVERIFY(mouse.GhostIsCircle && mouse.GhostX == 5.3f && mouse.GhostY == 4.2f && host.refreshes == 4);
        mouse.MouseMove(2, 0, 35, 5); // over itself: an outline again
        QVERIFY(!mouse.GhostIsCircle);
        mouse.MouseMove(4, 0, 60, 0); // the middle button shows no marks
        mouse.MouseMove(2, 0, 50.2f, 12.7f);
        QVERIFY(host.surface.image() == outlined && host.surface.mixMode() == MixMode::Copy);
        mouse.MouseUp(2, 0, 5, 5);
        QCOMPARE(host.table.block(right).parent, std::int16_t(left));
    }
};

TESSIK_TEST(DiagramMouseTest)
#include "diagram_mouse_test.moc"

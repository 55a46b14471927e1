// Where the diagram's keys go, worked out from the table alone: the arrow keys' next block, the
// block Home chooses and the place a new block takes.
#include "interact/block_navigation.h"
#include "model/classification.h"
#include "support/test_main.h"

using namespace tessik;

namespace {

// Blocks by their centres, in id order: "x y" or "x y >parent", separated by ';'.
BlockTable tableOf(const QString &blocks)
{
    BlockTable table;
    QList<int> parents;
    for (const QString &block : blocks.split(';', Qt::SkipEmptyParts)) {
        const QStringList fields = block.split(' ', Qt::SkipEmptyParts);
        table.addBlock(fields[0].toFloat(), fields[1].toFloat());
        parents << fields.value(2).mid(1).toInt();
    }
    for (int id = 1; id <= parents.size(); ++id)
        table.link(id, parents[id - 1]);
    return table;
}

// The blocks, the block the arrow goes from, its direction and the block it should choose.
using Arrow = std::tuple<QString, int, Direction, int>;
// The blocks, the corner right of which a place is sought and the corner of the place found.
using FreePlace = std::tuple<QString, QPointF, QPointF>;
using Home = std::pair<QString, int>;        // the blocks and the block Home chooses
using Digit = std::tuple<int, int, QString>; // the view, the digit and the value it gives

} // namespace

class BlockNavigationTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void arrowChoosesTheNextBlock_data()
    {
        const QString cross = "0 0; -20 0; 20 0; 0 -20; 0 20"; // a centre and one block each way
        const QString stack = "0 0; 0 0; 0 0";                 // three boxes on one centre
        test::addRows<Arrow>({
            {"above the centre", {cross, 1, Direction::Up, 4}},
            {"from the left block to the right goes to the centre", {cross, 2, Direction::Right, 1}},
            {"within 45 degrees beats a nearer block outside them", {"0 0; 40 10; 10 30", 1, Direction::Right, 2}},
            {"outside 45 degrees when nothing is within them", {"0 0; 10 30; -40 0", 1, Direction::Right, 2}},
            {"exactly 45 degrees is within them", {"0 0; 20 20; 21 10", 1, Direction::Down, 2}},
            {"a block straight above is not to the right", {"0 0; 0 -20", 1, Direction::Right, 0}},
            {"one unit ahead is ahead", {"0 0; 1 3", 1, Direction::Right, 2}},
            {"equally near to the right: the lower id", {"0 0; 20 5; 20 -5", 1, Direction::Right, 2}},
            {"equally near to the left: the higher id", {"0 0; -20 5; -20 -5", 1, Direction::Left, 3}},
            {"one centre, right: the next higher id", {stack, 2, Direction::Right, 3}},
            {"one centre, down: the next higher id", {stack, 1, Direction::Down, 2}},
            {"one centre, up: the next lower id", {stack, 3, Direction::Up, 2}},
            {"one centre, right from the highest: none", {stack, 3, Direction::Right, 0}},
            {"from a block that is not there", {"0 0; 20 0", 7, Direction::Right, 0}},
        });
    }
    void arrowChoosesTheNextBlock()
    {
        QFETCH(Arrow, row);
        const auto &[blocks, from, direction, expected] = row;
        QCOMPARE(nearestBlock(tableOf(blocks), from, direction), expected);
    }

    void homeChoosesTheTopLeftImpact_data()
    {
        test::addRows<Home>({
            {"no blocks", {"", 0}},
            {"the impact nearest the corner of all the boxes", {"50 50; 0 40; 40 0; 15 15", 4}},
            {"an impact beats a cause nearer the corner", {"0 0 >2; 60 60", 2}},
            {"equally near: the higher one", {"0 20; 20 0", 2}},
            {"a loop of links: the block nearest the corner", {"40 40 >2; 0 0 >3; 20 20 >1", 2}},
            {"one place: the lowest id", {"10 10; 10 10", 1}},
        });
    }
    void homeChoosesTheTopLeftImpact()
    {
        QFETCH(Home, row);
        QCOMPARE(topLeftImpact(tableOf(row.first)), row.second);
    }

    // Places are one box and half a box of gap apart (15 units); corners here are a box's
    // top-left, 5 units up and left of its centre.
    void newBlockTakesTheNearestFreePlace_data()
    {
        // A box with its corner between four places takes them all: boxes so packed over the
        // first eleven columns of places leave the twelfth, the farthest searched.
        QString packed;
        for (int x : {22, 52, 82, 112, 142, 170})
            for (int row = -12; row <= 12; row += 2)
                packed += QString("%1 %2;").arg(x).arg(row < 12 ? 15 * row + 12 : 185);
        test::addRows<FreePlace>({
            {"an empty diagram: straight right", {"", {0, 0}, {15, 0}}},
            {"taken: the place above", {"20 5", {0, 0}, {15, -15}}},
            {"taken above too: the place below", {"20 5; 20 -10", {0, 0}, {15, 15}}},
            {"the column taken: the next one on", {"20 5; 20 -10; 20 20", {0, 0}, {30, 0}}},
            {"a box less than a place away takes it", {"34 5", {0, 0}, {15, -15}}},
            {"a box a place away leaves it free", {"35 5", {0, 0}, {15, 0}}},
            {"the grid starts at the box", {"", {3, -7}, {18, -7}}},
            {"eleven columns packed: the twelfth", {packed, {0, 0}, {180, 0}}},
        });
    }
    void newBlockTakesTheNearestFreePlace()
    {
        QFETCH(FreePlace, row);
        const auto &[blocks, corner, expected] = row;
        const BlockPlace place = freePlaceRightOf(tableOf(blocks), float(corner.x()), float(corner.y()));
        QCOMPARE(QPointF(place.x, place.y), expected);
    }

    // The digits 1 and 6 give the first and the last value of the key the view shows; a digit
    // beyond the key gives none.
    void digitGivesTheValueOfItsColour_data()
    {
        test::addRows<Digit>({
            {"1, categories", {CategoryView, 1, "Physical Resources"}},
            {"6, notes", {NotesView, 6, "Technology; Human Factors"}},
            {"0", {CategoryView, 0, ""}},
            {"7", {NotesView, 7, ""}},
        });
    }
    void digitGivesTheValueOfItsColour()
    {
        QFETCH(Digit, row);
        const auto &[view, digit, value] = row;
        QCOMPARE(keyValue(view, digit), value);
    }
};

TESSIK_TEST(BlockNavigationTest)
#include "block_navigation_test.moc"

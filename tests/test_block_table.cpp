#include "model/block_table.h"

#include <QTest>

using namespace tessik;

namespace {

BlockTable tableWithLive(int count)
{
    BlockTable table;
    for (int i = 0; i < count; ++i)
        table.addBlock(float(i * 12), 0);
    return table;
}

} // namespace

class TestBlockTable : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void addPlacesBoxCentredOnRoundedPoint_data()
    {
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<float>("left");
        QTest::addColumn<float>("top");
        QTest::newRow("ordinary") << 20.4f << -3.6f << 15.0f << -9.0f;
        QTest::newRow("ties go to the even neighbour") << 2.5f << 3.5f << -3.0f << -1.0f;
        QTest::newRow("negative ties") << -2.5f << -3.5f << -7.0f << -9.0f;
    }
    void addPlacesBoxCentredOnRoundedPoint()
    {
        QFETCH(float, x);
        QFETCH(float, y);
        QFETCH(float, left);
        QFETCH(float, top);
        BlockTable table;
        QCOMPARE(table.addBlock(x, y), 1);
        QCOMPARE(table.BlockX[1], left);
        QCOMPARE(table.BlockY[1], top);
    }

    void freeingUnlinksChildrenAndSlotsAreReusedLowestFirst()
    {
        BlockTable table = tableWithLive(6);
        table.BlockParent[2] = 1;
        table.BlockParent[5] = 2;
        table.BlockParent[6] = 2;
        table.BlockText[2] = "old caption";
        table.BlockCategory[2] = "Motives";
        table.freeSlot(4);
        table.freeSlot(2);
        QVERIFY(!table.isLive(2) && table.isLive(5) && table.isLive(6));
        QCOMPARE(table.BlockParent[5], std::int16_t(0));
        QCOMPARE(table.BlockParent[6], std::int16_t(0));
        QCOMPARE(table.BlockCount, std::int16_t(6)); // freeing never lowers the used range
        QCOMPARE(table.addBlock(0, 0), 2);
        QCOMPARE(table.BlockParent[2], std::int16_t(0)); // a reused slot carries nothing over
        QVERIFY(table.BlockText[2].isEmpty() && table.BlockCategory[2].isEmpty());
        QCOMPARE(table.addBlock(0, 0), 4);
        QCOMPARE(table.addBlock(0, 0), 7);
    }

    void fullTableAddsNothing()
    {
        BlockTable table = tableWithLive(kMaxBlocks);
        const BlockTable before = table;
        QCOMPARE(table.addBlock(1, 1), 0);
        QCOMPARE(table.BlockCount, before.BlockCount);
        QCOMPARE(table.BlockActive, before.BlockActive);
        table.freeSlot(40);
        QCOMPARE(table.addBlock(1, 1), 40);
    }

    void descendantsAreDepthFirstAndEndOnALoop()
    {
        BlockTable table = tableWithLive(7);
        table.BlockParent[2] = 1;
        table.BlockParent[5] = 1;
        table.BlockParent[3] = 2;
        table.BlockParent[7] = 3;
        table.BlockParent[4] = 5;
        QCOMPARE(table.descendants(1), (std::vector<int>{2, 3, 7, 5, 4}));
        QCOMPARE(table.descendants(6), std::vector<int>{});
        table.BlockParent[2] = 3; // a loop, as a hand-edited file may bring
        QCOMPARE(table.descendants(2), (std::vector<int>{3, 7}));
    }

    void loopCheckSeesTheWholeChain()
    {
        BlockTable table = tableWithLive(4);
        table.BlockParent[2] = 1;
        table.BlockParent[3] = 2;
        QVERIFY(table.wouldCloseLoop(1, 3)); // 1 under 3 while 3 is under 1
        QVERIFY(table.wouldCloseLoop(2, 2));
        QVERIFY(!table.wouldCloseLoop(4, 3));
        QVERIFY(!table.wouldCloseLoop(3, 1)); // another parent for 3, no loop
        table.BlockParent[1] = 3;             // a loop already in the table
        QVERIFY(!table.wouldCloseLoop(4, 1)); // the walk still ends
    }

    void multiMoveShiftsTheWholeSubtree()
    {
        BlockTable table = tableWithLive(4);
        table.BlockParent[2] = 1;
        table.BlockParent[3] = 2;
        const float x3 = table.BlockX[3], x4 = table.BlockX[4];
        table.multiMove(1, -10, 4);
        QCOMPARE(table.BlockX[1], 5.0f);
        QCOMPARE(table.BlockX[3], x3 + 10);
        QCOMPARE(table.BlockY[3], -9.0f);
        QCOMPARE(table.BlockX[4], x4); // not a descendant
        table.BlockParent[1] = 3;      // and over a loop it still ends
        table.multiMove(1, 1, 1);
        QCOMPARE(table.BlockX[1], 4.0f);
    }
};

QTEST_GUILESS_MAIN(TestBlockTable)
#include "test_block_table.moc"

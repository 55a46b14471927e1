#include "model/block_table.h"
#include "model/colour_pick.h"
#include "support/test_main.h"

#include <QImage>

using namespace tessik;

namespace {

// Blocks 1..count in a row, 12 units apart; block k under block k - 1 when `chained`.
BlockTable tableWith(int count, bool chained = false)
{
    BlockTable table;
    for (int i = 1; i <= count; ++i)
        table.link(table.addBlock(float(i * 12), 0), std::int16_t(chained ? i - 1 : 0));
    return table;
}

QPointF corner(const BlockTable &table, int id)
{
    return QPointF(table.block(id).x, table.block(id).y);
}

struct Pick {
    QList<Colour> row; // one row of pixels, pressed at its left end
    QString category, note;
};

} // namespace

// The block table and the values picked from the key pictures.
class ModelTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A block is centred on the point rounded to whole units, ties to the even one. Freeing unlinks
    // the children and clears text, notes and parent; the slot keeps position and category until it
    // is handed out again, lowest free slot first, and the used range stays. A full table adds
    // nothing until a slot is freed.
    void slotsAreReusedLowestFirst()
    {
        BlockTable table = tableWith(6, true);
        table.link(6, 2);
        table.setTexts(2, "old", "old");
        table.setCategory(2, "Motives");
        table.freeSlot(4);
        table.freeSlot(2);
        QCOMPARE(QList<int>({table.liveCount(), table.block(2).parent, table.block(3).parent, table.block(6).parent,
                             table.usedSlots(), table.block(2).active}),
                 QList<int>({4, 0, 0, 0, 6, 0}));
        QCOMPARE(table.block(2).caption + table.block(2).notes + table.block(2).category, QString("Motives"));
        QCOMPARE(QList({table.addBlock(20.4f, -3.6f), table.addBlock(2.5f, 3.5f), table.addBlock(-2.5f, -3.5f)}),
                 QList({2, 4, 7}));
        QCOMPARE(QList({corner(table, 2), corner(table, 4), corner(table, 7)}),
                 QList<QPointF>({{15, -9}, {-3, -1}, {-7, -9}}));
        QVERIFY(table.block(2).category.isEmpty() &&
                table.block(7).active == kTrue); // a reused slot carries nothing over
        table = tableWith(kMaxBlocks);
        QCOMPARE(QList({table.addBlock(1, 1), int(table.usedSlots())}), QList({0, kMaxBlocks}));
        table.freeSlot(kMaxBlocks);
        table.freeSlot(1);
        QCOMPARE(QList({table.addBlock(1, 1), table.addBlock(1, 1), table.addBlock(1, 1)}), QList({1, kMaxBlocks, 0}));
    }

    // Children in id order, each followed by its own; a move takes them along.
    void descendantsAreDepthFirst()
    {
        BlockTable table = tableWith(7);
        const std::pair<int, int> links[] = {{2, 1}, {6, 1}, {7, 2}, {3, 7}, {4, 3}, {5, 6}};
        for (const auto &[child, parent] : links)
            table.link(child, std::int16_t(parent));
        QCOMPARE(table.descendants(1), (std::vector<int>{2, 7, 3, 4, 6, 5}));
        table.link(1, 5); // a loop through slot 1
        QCOMPARE(table.descendants(5), (std::vector<int>{1, 2, 7, 3, 4, 6}));
        table.link(1, 0);
        table.multiMove(7, -10, 4); // by minus the delta
        QCOMPARE(QList({corner(table, 4), corner(table, 7), corner(table, 2)}),
                 QList<QPointF>({{53, -9}, {89, -9}, {19, -5}}));
    }

    // A chain through the whole table, and a loop in it as a hand-edited file may bring.
    void longChainsAndLoopsEnd()
    {
        BlockTable table = tableWith(kMaxBlocks, true); // 1 <- 2 <- ... <- 100
        QVERIFY(table.wouldCloseLoop(1, kMaxBlocks) && table.wouldCloseLoop(kMaxBlocks, kMaxBlocks));
        QVERIFY(table.wouldCloseLoop(30, 34) && !table.wouldCloseLoop(34, 30));
        QCOMPARE(table.descendants(1).size(), std::size_t(kMaxBlocks - 1));
        table.link(50, kMaxBlocks); // 50 <- 51 <- ... <- 100 <- 50
        const std::vector<int> loop = table.descendants(kMaxBlocks);
        QCOMPARE(QList<int>({int(loop.size()), loop.front(), loop.back()}), QList<int>({50, 50, 99}));
        QVERIFY(!table.wouldCloseLoop(20, 60)); // the walk round the loop ends, and so does a move
        table.multiMove(60, 1, 0);
        QCOMPARE(table.block(50).x, 50 * 12 - 6.0f);
    }

    // Each colour rule at its boundary, then the walk to the right: a colour no rule takes gives
    // the value of the first one to its right that a rule takes, or nothing at the edge.
    void pick_data()
    {
        const QString all = "Science; Technology; Human Factors", rb = "Science; Human Factors";
        const Colour motives = RGB(191, 251, 201);
        test::addRows<Pick>({
            {"white at its lower edge", {{RGB(250, 250, 250)}, "", ""}},
            {"red-green", {{RGB(250, 250, 249)}, "Knowledge and Skills", "Technology; Science"}},
            {"green-blue", {{RGB(249, 250, 250)}, "Wellness/Capacity", "Technology; Human Factors"}},
            {"red-blue", {{RGB(250, 249, 250)}, "Structure/Process", rb}},
            {"red-blue at its lower edge", {{RGB(236, 0, 236)}, "Structure/Process", rb}},
            {"red-blue beats green", {{RGB(240, 250, 240)}, "Structure/Process", rb}},
            {"red-blue, red too low", {{RGB(235, 0, 240)}, "", ""}},
            {"red-blue, blue too low", {{RGB(240, 0, 235)}, "", ""}},
            {"green at its lower edge", {{RGB(0, 250, 0)}, "Motives", "Technology"}},
            {"green too low", {{RGB(0, 249, 0)}, "", ""}},
            {"red at its lower edge", {{RGB(250, 0, 0)}, "Physical Resources", "Science"}},
            {"red too low", {{RGB(249, 0, 0)}, "", ""}},
            {"blue at its lower edge", {{RGB(0, 0, 246)}, "Information", "Human Factors"}},
            {"blue too low", {{RGB(0, 0, 245)}, "", ""}},
            {"light grey at its lower edge", {{RGB(210, 210, 210)}, "", all}},
            {"light grey, red too low", {{RGB(209, 210, 210)}, "", ""}},
            {"light grey, green too low", {{RGB(210, 209, 210)}, "", ""}},
            {"light grey, blue too low", {{RGB(210, 210, 209)}, "", ""}},
            {"letters then fill", {{kBlack, kBlack, motives}, "Motives", "Technology"}},
            {"line then white", {{kBlack, kWhite, motives}, "", ""}},
            {"dark to the edge", {{kBlack, kBlack}, "", ""}},
            {"grey means nothing to the category key", {{RGB(212, 214, 212), kBlack, motives}, "Motives", all}},
        });
    }
    void pick()
    {
        QFETCH(Pick, row);
        QImage picture(int(row.row.size()), 1, QImage::Format_RGB32);
        for (int i = 0; i < row.row.size(); ++i)
            picture.setPixel(i, 0, toPixel(row.row[i]));
        QCOMPARE(QStringList({SelectCategory(picture, 0, 0), SelectNote(picture, 0, 0)}),
                 QStringList({row.category, row.note}));
        QCOMPARE(SelectCategory(picture, -1, 0) + SelectNote(picture, int(row.row.size()), 0), QString()); // outside
    }

    // A reader that never reports the edge must not hang the window: the walk gives up at the
    // largest pixel coordinate.
    void walkEndsEvenWithoutAnEdge()
    {
        int reads = 0;
        const PixelReader endless = [&reads](int, int) { return ++reads, kBlack; };
        QCOMPARE(SelectCategory(endless, 0, 0) + SelectNote(endless, kPickSearchLimit + 5, 0), QString());
        QCOMPARE(reads, kPickSearchLimit + 1);
    }
};

TESSIK_TEST(ModelTest)
#include "model_test.moc"

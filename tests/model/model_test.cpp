#include "model/block_table.h"
#include "model/classification.h"
#include "model/colour_pick.h"
#include "model/spoken_block.h"
#include "support/test_main.h"

#include <QImage>
#include <QRandomGenerator>

using namespace Qt::StringLiterals;
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

// The corners of the blocks.
QList<QPointF> corners(const BlockTable &table, const QList<int> &ids)
{
    QList<QPointF> found;
    for (int id : ids)
        found << QPointF(table.block(id).x, table.block(id).y);
    return found;
}

// Pictures of one row of pixels, each pressed at its left end, and the category and the notes
// each gives.
using Pick = std::tuple<QList<QList<Colour>>, QString, QString>;
// Notes, and the classification they give.
using Notes = std::pair<QString, int>;
// Block 3's caption, notes, category and parent, and what a screen reader says of it.
using Spoken = std::tuple<QString, QString, QString, int, QString, QString>;

} // namespace

// The block table, the values picked from the key pictures, and what a screen reader says of a block.
class ModelTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A block is centred on the point rounded to whole units, ties to the even one. Freeing unlinks
    // the children and clears text, notes and parent; the slot keeps position and category until it
    // is handed out again, lowest free slot first, carrying nothing over, and the used range stays.
    // A full table adds nothing until a slot is freed.
    void slotsAreReusedLowestFirst()
    {
        BlockTable table = tableWith(6, true);
        table.link(6, 2);
        table.setCaption(2, "old");
        table.setNotes(2, "old");
        table.setCategory(2, "Motives");
        table.freeSlot(4);
        table.freeSlot(2);
        COMPARE_FACTS(int, {"live blocks", table.liveCount(), 4},
                      {"the freed slot 2's parent", table.block(2).parent, 0},
                      {"3's parent, the freed 2", table.block(3).parent, 0},
                      {"6's parent, the freed 2", table.block(6).parent, 0}, {"slots in use", table.usedSlots(), 6},
                      {"the freed slot 2 live", table.block(2).active, 0});
        QCOMPARE(table.block(2).caption + table.block(2).notes + table.block(2).category, QString("Motives"));
        QCOMPARE(QList({table.addBlock(20.4f, -3.6f), table.addBlock(2.5f, 3.5f), table.addBlock(-2.5f, -3.5f)}),
                 QList({2, 4, 7}));
        QCOMPARE(corners(table, {2, 4, 7}), QList<QPointF>({{15, -9}, {-3, -1}, {-7, -9}}));
        COMPARE_FACTS(bool, {"the reused slot 2's category cleared", table.block(2).category.isEmpty(), true},
                      {"slot 7 live", table.block(7).active == kTrue, true});
        table = tableWith(kMaxBlocks);
        QCOMPARE(table.addBlock(1, 1), 0);
        table.freeSlot(kMaxBlocks);
        table.freeSlot(1);
        QCOMPARE(QList({table.addBlock(1, 1), table.addBlock(1, 1), table.addBlock(1, 1)}), QList({1, kMaxBlocks, 0}));
        // A file's slots past the hundredth find no room: no id, and no slot more in use.
        COMPARE_FACTS(int, {"the id of a slot past the last", table.appendSlot(Block{kTrue, 0, 9, 9, "x", {}, {}}), 0},
                      {"slots in use", table.usedSlots(), kMaxBlocks});
    }

    // Children in id order, each followed by its own; a move takes them along, and a loop, as a
    // hand-edited file may bring, ends every walk: through slot 1, and round a chain through the
    // whole table.
    void descendantsAreDepthFirstAndLoopsEnd()
    {
        BlockTable table = tableWith(7);
        const std::pair<int, int> links[] = {{2, 1}, {6, 1}, {7, 2}, {3, 7}, {4, 3}, {5, 6}};
        for (const auto &[child, parent] : links)
            table.link(child, std::int16_t(parent));
        QCOMPARE(table.descendants(1), (std::vector<int>{2, 7, 3, 4, 6, 5}));
        table.link(1, 5);
        QCOMPARE(table.children(5), std::vector<int>{1}); // slot 1 is a child like any other
        QCOMPARE(table.descendants(5), (std::vector<int>{1, 2, 7, 3, 4, 6}));
        table.link(1, 0);
        table.multiMove(7, -10, 4); // by minus the delta
        QCOMPARE(corners(table, {4, 7, 2}), QList<QPointF>({{53, -9}, {89, -9}, {19, -5}}));
        table = tableWith(kMaxBlocks, true); // 1 <- 2 <- ... <- 100
        COMPARE_FACTS(bool, {"1 under the last", table.wouldCloseLoop(1, kMaxBlocks), true},
                      {"the last under itself", table.wouldCloseLoop(kMaxBlocks, kMaxBlocks), true},
                      {"30 under 34", table.wouldCloseLoop(30, 34), true},
                      {"34 under 30", table.wouldCloseLoop(34, 30), false});
        table.link(50, kMaxBlocks); // 50 <- 51 <- ... <- 100 <- 50
        const std::vector<int> loop = table.descendants(kMaxBlocks);
        COMPARE_FACTS(int, {"blocks in the loop", int(loop.size()), 50}, {"the first", loop.front(), 50},
                      {"the last", loop.back(), 99});
        QVERIFY(!table.wouldCloseLoop(20, 60));
        table.multiMove(60, 1, 0);
        QCOMPARE(table.block(50).x, 50 * 12 - 6.0f);
    }

    // What the random texts of the keywords' letters below do not reach: an empty text, blanks
    // other than one space between "human" and "factors", letters beyond ASCII. Letter case is
    // Unicode's: the long s folds to an s wherever it stands, a full-width S does not.
    void notesClassification_data()
    {
        test::addRows<Notes>({
            {"empty", {"", 0}},
            {"two spaces", {"human  factors", 0}},
            {"a tab for the space", {"human\tfactors", 0}},
            {"a NUL for the space", {QString("human") + QChar(0) + "factors", 0}},
            {"a no-break space", {u"human\u00a0factors"_s, 0}},
            {"accents elsewhere", {u"caf\u00e9: Technology and Human Factors"_s, 6}},
            {"the long s", {u"\u017Fcience"_s, 1}},
            {"the long s with ASCII keywords", {u"\u017Fcience and TECHNOLOGY"_s, 3}},
            {"the long s after four letters", {u"abcd\u017Fcience"_s, 1}},
            {"the long s ending a keyword", {u"human factor\u017F"_s, 4}},
            {"a full-width S", {u"\uFF33cience"_s, 0}},
            {"a symbol from outside the BMP", {u"\U0001F600 science"_s, 1}},
        });
    }
    void notesClassification()
    {
        QFETCH(Notes, row);
        const auto &[notes, index] = row;
        QCOMPARE(notesIndex(notes), index);
        // Deep in long notes, where a redraw finds them.
        const QString filler(20000, QLatin1Char('x'));
        QCOMPARE(notesIndex(filler + notes + filler), index);
    }

    // Texts made of the keywords' letters in both cases are classified as Unicode case folding
    // finds the keywords in them.
    void notesClassificationAgreesWithCaseFolding()
    {
        const QString letters = "scienceSCIENCEtechnologyTECHNOLOGYhuman factorsHUMAN FACTORS";
        const QStringList keywords{"science", "technology", "human factors"};
        QRandomGenerator random(20261210);
        int found = 0;
        for (int round = 0; round < 20000; ++round) {
            QString text;
            for (int length = random.bounded(1, 40); length > 0; --length)
                text += letters[random.bounded(int(letters.size()))];
            // Whole keywords, in mixed case, in half the texts, so that every classification is met.
            for (QString word : keywords) {
                if (round % 2 == 1 || random.bounded(2) == 0)
                    continue;
                for (QChar &c : word)
                    c = random.bounded(2) == 1 ? c.toUpper() : c;
                text.insert(random.bounded(int(text.size()) + 1), word);
            }
            int expected = 0;
            for (int bit = 0; bit < 3; ++bit)
                expected |= int(text.contains(keywords[bit], Qt::CaseInsensitive)) << bit;
            found |= 1 << expected;
            QVERIFY2(notesIndex(text) == expected, qPrintable("\"" + text + "\""));
        }
        QCOMPARE(found, 0xff); // all eight classifications met
    }

    // Each colour rule at its boundary, then the walk to the right: a colour no rule takes gives
    // the value of the first one to its right that a rule takes, or nothing at the edge.
    void pick_data()
    {
        const QString all = "Science; Technology; Human Factors";
        const QList<QList<Colour>> redBlue{{RGB(250, 249, 250)}, {RGB(236, 0, 236)}, {RGB(240, 250, 240)}},
            below{{RGB(235, 0, 240)}, {RGB(240, 0, 235)},   {RGB(0, 249, 0)},     {RGB(249, 0, 0)},
                  {RGB(0, 0, 245)},   {RGB(209, 210, 210)}, {RGB(210, 209, 210)}, {RGB(210, 210, 209)}};
        test::addRows<Pick>({
            {"white", {{{RGB(250, 250, 250)}}, "", ""}},
            {"red-green", {{{RGB(250, 250, 249)}}, "Knowledge and Skills", "Technology; Science"}},
            {"green-blue", {{{RGB(249, 250, 250)}}, "Wellness/Capacity", "Technology; Human Factors"}},
            {"red-blue, tried before green", {redBlue, "Structure/Process", "Science; Human Factors"}},
            {"green", {{{RGB(0, 250, 0)}}, "Motives", "Technology"}},
            {"red", {{{RGB(250, 0, 0)}}, "Physical Resources", "Science"}},
            {"blue", {{{RGB(0, 0, 246)}}, "Information", "Human Factors"}},
            {"light grey", {{{RGB(210, 210, 210)}}, "", all}},
            {"one below each rule", {below, "", ""}},
            {"a line before white, dark to the edge", {{{kBlack, kWhite, RGB(0, 250, 0)}, {kBlack}}, "", ""}},
            {"letters, and grey that means nothing to the category key",
             {{{RGB(212, 214, 212), kBlack, RGB(191, 251, 201)}}, "Motives", all}},
        });
    }
    void pick()
    {
        QFETCH(Pick, row);
        const auto &[pictures, category, note] = row;
        for (const QList<Colour> &pixels : pictures) {
            QImage picture(int(pixels.size()), 1, QImage::Format_RGB32);
            for (int i = 0; i < pixels.size(); ++i)
                picture.setPixel(i, 0, toPixel(pixels[i]));
            const QStringList picked{SelectCategory(picture, 0, 0), SelectNote(picture, 0, 0)};
            QVERIFY2(picked == QStringList({category, note}),
                     qPrintable(QString::number(pixels[0], 16) + " gives " + picked.join('|')));
            QCOMPARE(SelectCategory(picture, -1, 0) + SelectNote(picture, int(pixels.size()), 0), QString()); // outside
        }
    }

    // A reader that never reports the edge must not hang the window: the walk gives up at the
    // largest pixel coordinate and looks no further.
    void walkEndsEvenWithoutAnEdge()
    {
        const PixelReader endless = [](int x, int) { return x > kPickSearchLimit ? RGB(0, 250, 0) : kBlack; };
        QCOMPARE(SelectCategory(endless, 0, 0) + SelectNote(endless, kPickSearchLimit + 5, 0), QString());
    }

    // The name is the caption on one line; the description reads the classifications as the
    // colours show them (first category keyword, any mix of notes keywords, any letter case) and
    // the link to a live parent. Block 1 is "Pump" over "failed", block 2 has no caption, slot 4 is free.
    void spokenBlock_data()
    {
        test::addRows<Spoken>({
            {"cause",
             {" Seal\r\nworn ", "TECHNOLOGY; science", "knowledge and skills", 1, "Seal worn",
              "Knowledge and Skills; Science, Technology; cause of Pump failed"}},
            {"no captions",
             {"", "Human Factors", "Wellness/Capacity; Motives", 2, "Block without caption",
              "Motives; Human Factors; cause of Block without caption"}},
            {"parent freed, a category no rule knows",
             {"x", "", "Other", 4, "x", "no category; no notes classification; impact"}},
        });
    }
    void spokenBlock()
    {
        QFETCH(Spoken, row);
        const auto &[caption, notes, category, parent, name, description] = row;
        BlockTable table;
        table.appendSlot({kTrue, 0, 0, 0, "Pump\nfailed", {}, {}});
        table.appendSlot({kTrue, 0, 15, 0, {}, {}, {}});
        table.appendSlot({kTrue, std::int16_t(parent), 30, 0, caption, notes, category});
        table.appendSlot({});
        QCOMPARE(spokenName(table.block(3)), name);
        QCOMPARE(spokenDescription(table, 3), description);
    }
};

TESSIK_TEST(ModelTest)
#include "model_test.moc"

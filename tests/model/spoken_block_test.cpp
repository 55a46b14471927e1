#include "model/spoken_block.h"
#include "support/test_main.h"

using namespace tessik;

namespace {

// Block 3's caption, notes, category and parent, and what a screen reader says of it.
using Spoken = std::tuple<QString, QString, QString, int, QString, QString>;

} // namespace

// What a screen reader says of a block.
class SpokenBlockTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The name is the caption on one line; the description reads the classifications as the
    // colours show them (first category keyword, any mix of notes keywords, any letter case) and
    // the link to a live parent. Block 1 is "Pump" over "failed", block 2 has no caption, slot 4 is free.
    void spokenBlock_data()
    {
        test::addRows<Spoken>({
            {"impact", {"Seal worn", "", "Other", 0, "Seal worn", "no category; no notes classification; impact"}},
            {"cause",
             {" Seal\r\nworn ", "TECHNOLOGY; science", "knowledge and skills", 1, "Seal worn",
              "Knowledge and Skills; Science, Technology; cause of Pump failed"}},
            {"no captions",
             {"", "Human Factors", "Wellness/Capacity; Motives", 2, "Block without caption",
              "Motives; Human Factors; cause of Block without caption"}},
            {"parent freed", {"x", "", "", 4, "x", "no category; no notes classification; impact"}},
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

TESSIK_TEST(SpokenBlockTest)
#include "spoken_block_test.moc"

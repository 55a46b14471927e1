// The report: what it says about an analysis (counts, chains, causes by category and by notes
// classification, the reading order).
#include "app/core/report_content.h"
#include "support/test_main.h"

using namespace tessik;
using namespace tessik::test;

namespace {

struct BlockRow {
    QString caption;
    float x = 0, y = 0;
    int parent = 0;
    QString category = {}, notes = {};
    std::int16_t active = kTrue;
};

BlockTable tableOf(const QList<BlockRow> &blockRows)
{
    BlockTable table;
    for (const BlockRow &s : blockRows)
        table.appendSlot({s.active, std::int16_t(s.parent), s.x, s.y, s.caption, s.notes, s.category});
    return table;
}

QString captions(const BlockTable &table, const std::vector<int> &ids, const QString &separator)
{
    QStringList list;
    for (int id : ids)
        list << table.block(id).caption;
    return list.join(separator);
}

QString groups(const BlockTable &table, const std::vector<ReportGroup> &groups)
{
    QStringList list;
    for (const ReportGroup &g : groups)
        if (g.blockCount > 0)
            list << QStringLiteral("%1 %2 [%3]").arg(g.name).arg(g.blockCount).arg(captions(table, g.causes, " "));
    return list.join("; ");
}

// Everything the content says, in one line a reader can compare.
QString describe(const BlockTable &table)
{
    const ReportContent c = reportContent(table);
    QStringList chains;
    for (const ReportChain &chain : c.chains)
        chains << captions(table, chain.ids, ">") + (chain.endsInLoop ? "*" : "");
    return QStringLiteral("%1 blocks, %2 causes, %3 impacts, %4 chains, %5 unrooted")
               .arg(c.readingOrder.size())
               .arg(c.causeCount)
               .arg(c.impactCount)
               .arg(c.chainCount)
               .arg(c.unrootedBlocks) +
           " | order " + captions(table, c.readingOrder, " ") + " | " + chains.join("; ") + " | " +
           groups(table, c.byCategory) + " | " + groups(table, c.byNotes);
}

using ContentRow = std::pair<QList<BlockRow>, QString>;

// A pump failure of seven blocks.
const QList<BlockRow> kPump{
    {"Pump P-101 failed", 0, 0, 0, "Physical Resources", "Technology\r\nSeal found dry at 06:40"},
    {"Seal ran dry", 15, -15, 1, "Motives", "science; HUMAN FACTORS\r\nFlush line closed"},
    {"Alarm ignored", 15, 15, 1, "", ""},
    {"Flush valve shut", 30, -15, 2, "information overload", "Technology and Science"},
    {"Night shift short-staffed", 30, 0, 2, "Societal Impacts", "technology"},
    {"No alarm rationalisation", 30, 15, 3, "Wellness/Capacity",
     "Human Factors; Technology; Science\r\n\r\nLast line after an empty one"},
    {"Handover log unread", 30, 30, 3, "Information", ""},
};

} // namespace

class ReportTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Counts, reading order, chains (cause first, '*' where a loop ends the walk) and the
    // groups that hold blocks, with their causes.
    void content_data()
    {
        addRows<ContentRow>({
            {"a pump failure",
             {kPump,
              "7 blocks, 4 causes, 1 impacts, 4 chains, 0 unrooted | order Seal ran dry Flush valve shut Pump "
              "P-101 failed Night shift short-staffed Alarm ignored No alarm rationalisation Handover log unread | "
              "Flush valve shut>Seal ran dry>Pump P-101 failed; Night shift short-staffed>Seal ran dry>Pump P-101 "
              "failed; No alarm rationalisation>Alarm ignored>Pump P-101 failed; Handover log unread>Alarm "
              "ignored>Pump P-101 failed | Physical Resources 1 []; Information 2 [Flush valve shut Handover log "
              "unread]; Motives 1 []; Wellness/Capacity 1 [No alarm rationalisation]; No category 1 []; Societal "
              "Impacts 1 [Night shift short-staffed] | Technology 2 [Night shift short-staffed]; Science and "
              "Technology 1 [Flush valve shut]; Science and Human Factors 1 []; Science, Technology and Human "
              "Factors 1 [No alarm rationalisation]; No notes classification 2 [Handover log unread]"}},
            {"impacts and causes by position, a row within half a box",
             {{{"P", 0, 20}, {"Q", 0, -20}, {"R", 20, -16, 2}, {"S", 14, -20, 2}, {"T", 20, 25, 1}},
              "5 blocks, 3 causes, 2 impacts, 3 chains, 0 unrooted | order Q S R P T | S>Q; R>Q; T>P | No "
              "category 5 [S R T] | No notes classification 5 [S R T]"}},
            {"a loop of parent links, walked once",
             {{{"A", 0, 0, 2}, {"B", 15, 0, 1}, {"C", 30, 0, 2}, {"D", 45, 0}},
              "4 blocks, 2 causes, 1 impacts, 1 chains, 3 unrooted | order A B C D | D; C>B>A* | No category 4 "
              "[C D] | No notes classification 4 [C D]"}},
            {"parents that are no block",
             {{{"A", 0, 0, 2}, {"free", 0, 0, 0, "", "", 0}, {"C", 15, 0, 3}, {"D", 30, 0, 99}},
              "3 blocks, 3 causes, 3 impacts, 3 chains, 0 unrooted | order A C D | A; C; D | No category 3 [A C D] "
              "| No notes classification 3 [A C D]"}},
        });
    }
    void content()
    {
        QFETCH(ContentRow, row);
        QCOMPARE(describe(tableOf(row.first)), row.second);
    }
};

TESSIK_TEST(ReportTest)
#include "report_test.moc"

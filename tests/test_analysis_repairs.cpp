#include "files/analysis_reader.h"
#include "files/analysis_writer.h"
#include "files/codepage.h"
#include "support/test_env.h"

#include <QDir>
#include <QTest>

using namespace tessik;

namespace {

// The elements of one block as a file would hold them; an element given as "(none)" is
// left out altogether.
struct BlockElements {
    QString active = QStringLiteral("-1 ");
    QString parent = QStringLiteral(" 0 ");
    QString x = QStringLiteral(" 0 ");
    QString y = QStringLiteral(" 0 ");
    QString caption = QStringLiteral("caption");
};

QString element(const QString &tag, const QString &value)
{
    if (value == QLatin1String("(none)"))
        return QString();
    return QStringLiteral("    <%1>%2</%1>\r\n").arg(tag, value);
}

QString blockText(int id, const BlockElements &b)
{
    return QStringLiteral("  <block>\r\n") + element(QStringLiteral("id"), QStringLiteral(" %1 ").arg(id)) +
           element(QStringLiteral("active"), b.active) + element(QStringLiteral("parent"), b.parent) +
           element(QStringLiteral("x"), b.x) + element(QStringLiteral("y"), b.y) +
           element(QStringLiteral("text"), b.caption) + element(QStringLiteral("notes"), QString()) +
           element(QStringLiteral("category"), QString()) + QStringLiteral("  </block>\r\n");
}

// Three sound blocks (2 under 1, 3 under 2, 20 units apart) with one element of one block
// replaced.
QString fileWith(int slot, const QString &field, const QString &value)
{
    QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<analysis>\r\n"
                                  "  <description>d</description>\r\n  <email>e</email>\r\n"
                                  "  <office>o</office>\r\n");
    for (int i = 1; i <= 3; ++i) {
        BlockElements b;
        b.parent = QStringLiteral(" %1 ").arg(i - 1);
        b.x = QStringLiteral(" %1 ").arg(20 * (i - 1));
        b.y = QStringLiteral(" %1 ").arg(i);
        b.caption = QStringLiteral("Block %1").arg(i);
        if (i == slot) {
            QString *target = field == QLatin1String("active")   ? &b.active
                              : field == QLatin1String("parent") ? &b.parent
                              : field == QLatin1String("x")      ? &b.x
                                                                 : &b.y;
            *target = value;
        }
        text += blockText(i, b);
    }
    return text + QStringLiteral("</analysis>\r\n");
}

double fieldValue(const BlockTable &t, int slot, const QString &field)
{
    if (field == QLatin1String("active"))
        return t.BlockActive[slot];
    if (field == QLatin1String("parent"))
        return t.BlockParent[slot];
    if (field == QLatin1String("x"))
        return t.BlockX[slot];
    return t.BlockY[slot];
}

// What a sound read of fileWith(...) holds in the fields that were not touched.
double soundValue(int slot, const QString &field)
{
    if (field == QLatin1String("active"))
        return -1;
    if (field == QLatin1String("parent"))
        return slot - 1;
    if (field == QLatin1String("x"))
        return 20 * (slot - 1);
    return slot;
}

const QString kPath = QStringLiteral("/data/analyses/broken.rca.xml");

} // namespace

class TestAnalysisRepairs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void repairedValues_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<double>("expected");
        QTest::addColumn<QString>("repair"); // the one repair line; empty when nothing is repaired

        // Numbers that cannot be read become 0.
        QTest::newRow("active missing") << 2 << "active"
                                        << "(none)" << 0.0
                                        << "Block 2: the live mark is missing or empty; it is now 0, a free slot.";
        QTest::newRow("active empty") << 2 << "active"
                                      << "" << 0.0
                                      << "Block 2: the live mark is missing or empty; it is now 0, a free slot.";
        QTest::newRow("active a word") << 1 << "active"
                                       << "yes" << 0.0
                                       << "Block 1: the live mark \"yes\" is not a number; it is now 0, a free slot.";
        QTest::newRow("active out of range")
            << 3 << "active"
            << " 40000 " << 0.0 << "Block 3: the live mark \"40000\" is out of range; it is now 0, a free slot.";
        QTest::newRow("parent a word") << 3 << "parent"
                                       << "two" << 0.0
                                       << "Block 3: the parent \"two\" is not a number; it is now 0, no parent.";
        QTest::newRow("parent empty") << 3 << "parent"
                                      << "  " << 0.0
                                      << "Block 3: the parent is missing or empty; it is now 0, no parent.";
        QTest::newRow("parent out of range")
            << 3 << "parent"
            << " 99999 " << 0.0 << "Block 3: the parent \"99999\" is out of range; it is now 0, no parent.";
        QTest::newRow("x missing") << 2 << "x"
                                   << "(none)" << 0.0 << "Block 2: the x position is missing or empty; it is now 0.";
        QTest::newRow("x infinite") << 2 << "x"
                                    << "inf" << 0.0 << "Block 2: the x position \"inf\" is not a number; it is now 0.";
        QTest::newRow("x too large for a single")
            << 2 << "x"
            << " 1E+39 " << 0.0 << "Block 2: the x position \"1E+39\" is out of range; it is now 0.";
        QTest::newRow("y comma where the point is the separator")
            << 1 << "y"
            << " 1,5 " << 0.0 << "Block 1: the y position \"1,5\" is not a number; it is now 0.";
        QTest::newRow("y long garbage is shortened")
            << 1 << "y" << QString(200, QLatin1Char('z')) << 0.0
            << "Block 1: the y position \"" + QString(30, QLatin1Char('z')) + "...\" is not a number; it is now 0.";

        // Parents that name no block of the file.
        QTest::newRow("parent negative")
            << 2 << "parent"
            << "-3 " << 0.0 << "Block 2: the parent -3 names no block of the file; it is now 0, no parent.";
        QTest::newRow("parent beyond the blocks")
            << 2 << "parent"
            << " 4 " << 0.0 << "Block 2: the parent 4 names no block of the file; it is now 0, no parent.";
        QTest::newRow("parent itself") << 2 << "parent"
                                       << " 2 " << 0.0
                                       << "Block 2: the block names itself as its parent; it is now 0, no parent.";
        QTest::newRow("parent rounds to itself")
            << 2 << "parent"
            << " 1.6 " << 0.0 << "Block 2: the block names itself as its parent; it is now 0, no parent.";

        // Kept as they are.
        QTest::newRow("parent names the last block") << 1 << "parent"
                                                     << " 3 " << 3.0 << "";
        QTest::newRow("loop of parents kept") << 1 << "parent"
                                              << " 2 " << 2.0 << "";
        QTest::newRow("parent tie rounds to even") << 3 << "parent"
                                                   << " 2.5 " << 2.0 << "";
        QTest::newRow("active other than -1 stays live") << 1 << "active"
                                                         << " 1 " << 1.0 << "";
        QTest::newRow("large single kept") << 3 << "x"
                                           << " 1E+38 " << 1e38 << "";
        QTest::newRow("fraction kept") << 3 << "y"
                                       << " 2.25 " << 2.25 << "";
    }
    void repairedValues()
    {
        QFETCH(int, slot);
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(double, expected);
        QFETCH(QString, repair);

        const ReadOutcome outcome = parseAnalysisText(fileWith(slot, field, value), QLocale::c());
        QVERIFY(outcome.ok);
        const BlockTable &t = outcome.analysis.table;
        QCOMPARE(t.BlockCount, std::int16_t(3));
        QCOMPARE(fieldValue(t, slot, field), double(float(expected)));
        // Everything else was read as usual.
        for (int i = 1; i <= 3; ++i) {
            QCOMPARE(t.BlockText[i], QStringLiteral("Block %1").arg(i));
            for (const QString f : {"active", "parent", "x", "y"})
                if (i != slot || f != field)
                    QCOMPARE(fieldValue(t, i, f), soundValue(i, f));
        }

        if (repair.isEmpty()) {
            QCOMPARE(outcome.repairs, QStringList());
            QCOMPARE(repairMessage(kPath, outcome.repairs), QString());
            return;
        }
        QCOMPARE(outcome.repairs, QStringList{repair});
        const QString message = repairMessage(kPath, outcome.repairs);
        QCOMPARE(message.count(repair), qsizetype(1));
        QVERIFY(message.contains(QDir::toNativeSeparators(kPath)));
    }

    // A parent naming a free slot stays: the drawing copes, and the link is the user's.
    void parentNamingAFreeSlotIsKept()
    {
        QString text = fileWith(2, QStringLiteral("active"), QStringLiteral(" 0 "));
        const ReadOutcome outcome = parseAnalysisText(text, QLocale::c());
        QVERIFY(outcome.repairs.isEmpty());
        QCOMPARE(outcome.analysis.table.BlockActive[2], std::int16_t(0));
        QCOMPARE(outcome.analysis.table.BlockParent[3], std::int16_t(2));
    }

    void blocksPastTheHundredthAreLeftOut()
    {
        QString text = QStringLiteral("<analysis>");
        for (int i = 1; i <= 130; ++i) {
            BlockElements b;
            b.caption = QStringLiteral("Block %1").arg(i);
            // Block 5 hangs under block 120, which is not read.
            b.parent = i == 5 ? QStringLiteral(" 120 ") : QStringLiteral(" %1 ").arg(i - 1);
            text += blockText(i, b);
        }
        text += QStringLiteral("</analysis>");
        const ReadOutcome outcome = parseAnalysisText(text, QLocale::c());
        QVERIFY(outcome.ok);
        QCOMPARE(outcome.analysis.table.BlockCount, std::int16_t(kMaxBlocks));
        QCOMPARE(outcome.analysis.table.BlockText[100], QStringLiteral("Block 100"));
        QCOMPARE(outcome.analysis.table.BlockParent[100], std::int16_t(99));
        QCOMPARE(outcome.analysis.table.BlockParent[5], std::int16_t(0));
        QCOMPARE(outcome.repairs,
                 (QStringList{QStringLiteral("The file holds 130 blocks; only the first 100 were read."),
                              QStringLiteral("Block 5: the parent 120 names no block of the file; it is now 0, "
                                             "no parent.")}));
        // Saved again, the file holds the hundred blocks that were read.
        const ReadOutcome again = parseAnalysisText(decode1252(writeAnalysis(outcome.analysis)), QLocale::c());
        QVERIFY(again.repairs.isEmpty());
        QCOMPARE(again.analysis.table.BlockCount, std::int16_t(kMaxBlocks));
    }

    void repairsAreListedInSlotOrder()
    {
        QString text = QStringLiteral("<analysis>");
        BlockElements first;
        first.x = QStringLiteral("x");
        first.parent = QStringLiteral(" 1 ");
        BlockElements second;
        second.active = QString();
        text += blockText(1, first) + blockText(2, second) + QStringLiteral("</analysis>");
        const ReadOutcome outcome = parseAnalysisText(text, QLocale::c());
        QCOMPARE(outcome.repairs.size(), qsizetype(3));
        QVERIFY(outcome.repairs[0].startsWith(QStringLiteral("Block 1: the x position")));
        QVERIFY(outcome.repairs[1].startsWith(QStringLiteral("Block 1: the block names itself")));
        QVERIFY(outcome.repairs[2].startsWith(QStringLiteral("Block 2: the live mark")));
    }

    void longRepairListsAreCut_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("listed");
        QTest::addColumn<QString>("more");
        QTest::newRow("one") << 1 << 1 << "";
        QTest::newRow("ten") << 10 << 10 << "";
        QTest::newRow("eleven") << 11 << 10 << "... and 1 more";
        QTest::newRow("hundred") << 100 << 10 << "... and 90 more";
    }
    void longRepairListsAreCut()
    {
        QFETCH(int, count);
        QFETCH(int, listed);
        QFETCH(QString, more);
        QStringList repairs;
        for (int i = 1; i <= count; ++i)
            repairs << QStringLiteral("Repair number %1.").arg(i);
        const QString message = repairMessage(kPath, repairs);
        QVERIFY(message.contains(QDir::toNativeSeparators(kPath)));
        for (int i = 1; i <= count; ++i)
            QCOMPARE(message.contains(QStringLiteral("Repair number %1.").arg(i)), i <= listed);
        QCOMPARE(message.contains(QStringLiteral(" more")), !more.isEmpty());
        if (!more.isEmpty())
            QVERIFY(message.contains(more));
    }

    // A file with repairs read from disk tells them once and leaves the file alone.
    void repairsFromAFileOnDisk()
    {
        test::TestEnvironment env;
        const QString path = env.path(QStringLiteral("hand edited.rca.xml"));
        const QByteArray bytes = encode1252(fileWith(3, QStringLiteral("parent"), QStringLiteral(" 7 ")));
        QVERIFY(test::writeBytes(path, bytes));
        const ReadOutcome outcome = readAnalysisFile(path, QLocale::c());
        QVERIFY(outcome.ok);
        QCOMPARE(outcome.repairs.size(), qsizetype(1));
        QCOMPARE(repairMessage(path, outcome.repairs).count(outcome.repairs[0]), qsizetype(1));
        QCOMPARE(test::readBytes(path), bytes);
    }
};

QTEST_GUILESS_MAIN(TestAnalysisRepairs)
#include "test_analysis_repairs.moc"

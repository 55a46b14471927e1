#include "files/analysis_reader.h"

#include <QDir>
#include <QTest>

using namespace tessik;

namespace {

const QStringList kFields{"active", "parent", "x", "y"};

// What a sound block i holds: live, under block i - 1, 20 units right of it.
double soundValue(int slot, const QString &field)
{
    const double values[] = {-1, double(slot - 1), 20.0 * (slot - 1), double(slot)};
    return values[kFields.indexOf(field)];
}

double fieldValue(const BlockTable &t, int slot, const QString &field)
{
    const double values[] = {double(t.BlockActive[slot]), double(t.BlockParent[slot]), t.BlockX[slot], t.BlockY[slot]};
    return values[kFields.indexOf(field)];
}

QString numberText(double value)
{
    return value < 0 ? QStringLiteral("%1 ").arg(value) : QStringLiteral(" %1 ").arg(value);
}

// A file of `blocks` sound blocks with one element of one slot replaced by `value`, or left
// out when `value` is "(none)".
QString fileWith(int blocks, int slot, const QString &field, const QString &value)
{
    QString text = QStringLiteral("<analysis><description>d</description><office>o</office>\r\n");
    for (int i = 1; i <= blocks; ++i) {
        text += QStringLiteral("  <block>\r\n");
        for (const QString &f : kFields) {
            const QString content = i == slot && f == field ? value : numberText(soundValue(i, f));
            if (content != QLatin1String("(none)"))
                text += QStringLiteral("    <%1>%2</%1>\r\n").arg(f, content);
        }
        text += QStringLiteral("    <text>Block %1</text>\r\n  </block>\r\n").arg(i);
    }
    return text + QStringLiteral("</analysis>\r\n");
}

const QString kPath = QStringLiteral("/data/analyses/broken.rca.xml");

} // namespace

class TestAnalysisRepairs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void repairs_data()
    {
        QTest::addColumn<int>("blocks");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<double>("expected");
        QTest::addColumn<QString>("repair"); // empty when the value is kept as it is

        const QString freeSlot = QStringLiteral("; it is now 0, a free slot."),
                      noParent = QStringLiteral("; it is now 0, no parent.");
        QTest::newRow("number missing") << 3 << 2 << "active"
                                        << "(none)" << 0.0 << "Block 2: the live mark is missing or empty" + freeSlot;
        QTest::newRow("number empty") << 3 << 3 << "parent"
                                      << "  " << 0.0 << "Block 3: the parent is missing or empty" + noParent;
        QTest::newRow("not a number") << 3 << 1 << "active"
                                      << "yes" << 0.0 << "Block 1: the live mark \"yes\" is not a number" + freeSlot;
        QTest::newRow("infinity is not a number")
            << 3 << 2 << "x"
            << "inf" << 0.0 << "Block 2: the x position \"inf\" is not a number; it is now 0.";
        QTest::newRow("long garbage is shortened")
            << 3 << 1 << "y" << QString(200, QLatin1Char('z')) << 0.0
            << "Block 1: the y position \"" + QString(30, QLatin1Char('z')) + "...\" is not a number; it is now 0.";
        QTest::newRow("integer out of range")
            << 3 << 3 << "parent"
            << " 99999 " << 0.0 << "Block 3: the parent \"99999\" is out of range" + noParent;
        QTest::newRow("single out of range")
            << 3 << 2 << "x"
            << " 1E+39 " << 0.0 << "Block 2: the x position \"1E+39\" is out of range; it is now 0.";
        QTest::newRow("parent naming no block")
            << 3 << 2 << "parent"
            << " 4 " << 0.0 << "Block 2: the parent 4 names no block of the file" + noParent;
        QTest::newRow("negative parent") << 3 << 2 << "parent"
                                         << "-3 " << 0.0
                                         << "Block 2: the parent -3 names no block of the file" + noParent;
        QTest::newRow("parent naming itself")
            << 3 << 2 << "parent"
            << " 2 " << 0.0 << "Block 2: the block names itself as its parent" + noParent;
        QTest::newRow("more than 100 blocks")
            << 101 << 0 << ""
            << "" << 0.0 << "The file holds 101 blocks; only the first 100 were read.";
        // Kept: block 3 still names the freed slot 2 as its parent, and a loop is the user's.
        QTest::newRow("parent naming a free slot kept") << 3 << 2 << "active"
                                                        << " 0 " << 0.0 << "";
        QTest::newRow("loop of parents kept") << 3 << 1 << "parent"
                                              << " 2 " << 2.0 << "";
        QTest::newRow("parent tie rounds to even") << 3 << 3 << "parent"
                                                   << " 2.5 " << 2.0 << "";
    }
    void repairs()
    {
        QFETCH(int, blocks);
        QFETCH(int, slot);
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(double, expected);
        QFETCH(QString, repair);

        const ReadOutcome outcome = parseAnalysisText(fileWith(blocks, slot, field, value), QLocale::c());
        QVERIFY(outcome.ok);
        const BlockTable &t = outcome.analysis.table;
        QCOMPARE(int(t.BlockCount), std::min(blocks, kMaxBlocks));
        for (int i = 1; i <= t.BlockCount; ++i) {
            QCOMPARE(t.BlockText[i], QStringLiteral("Block %1").arg(i));
            for (const QString &f : kFields)
                QCOMPARE(fieldValue(t, i, f), i == slot && f == field ? double(float(expected)) : soundValue(i, f));
        }
        QCOMPARE(outcome.repairs, repair.isEmpty() ? QStringList() : QStringList{repair});
        QCOMPARE(repairMessage(kPath, outcome.repairs).isEmpty(), repair.isEmpty());
    }

    // Every repair of a file is told in one message naming the file; a long list is cut.
    void oneMessageListsTheRepairs()
    {
        QString text = fileWith(20, 0, QString(), QString());
        text.replace(QStringLiteral("<active>-1 </active>"), QStringLiteral("<active>yes</active>"));
        const ReadOutcome outcome = parseAnalysisText(text, QLocale::c());
        QCOMPARE(outcome.repairs.size(), qsizetype(20));
        const QString message = repairMessage(kPath, outcome.repairs);
        QVERIFY(message.contains(QDir::toNativeSeparators(kPath)));
        for (int i = 0; i < 20; ++i)
            QCOMPARE(message.count(outcome.repairs[i]), qsizetype(i < 10 ? 1 : 0));
        QVERIFY(message.contains(QStringLiteral("... and 10 more")));
    }
};

QTEST_GUILESS_MAIN(TestAnalysisRepairs)
#include "test_analysis_repairs.moc"

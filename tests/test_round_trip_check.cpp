#include "files/analysis_reader.h"
#include "files/analysis_writer.h"
#include "files/codepage.h"
#include "files/round_trip_check.h"

#include <QTest>

using namespace tessik;

namespace {

Analysis twoBlocks()
{
    Analysis a;
    a.description = "Pump failure";
    a.email = "op";
    a.office = "North";
    a.table.addBlock(5, 5);
    a.table.addBlock(25, 5);
    a.table.BlockParent[2] = 1;
    return a;
}

} // namespace

class TestRoundTripCheck : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void textsThatWouldNotReadBack_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("named");
        QTest::newRow("description opening a block") << "description"
                                                     << "see <block>2</block>"
                                                     << "The event description holds \"<block>\"";
        QTest::newRow("e-mail with an office element") << "email"
                                                       << "<office>x</office>"
                                                       << "The e-mail contact holds \"<office>\"";
        QTest::newRow("caption closing itself") << "caption"
                                                << "a </text> b"
                                                << "The caption of block 2 holds \"</text>\"";
        QTest::newRow("category closing the block") << "category"
                                                    << "x</block>"
                                                    << "The category of block 2 holds \"</block>\"";
    }
    void textsThatWouldNotReadBack()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, named);
        Analysis a = twoBlocks();
        QString &target = field == "description" ? a.description
                          : field == "email"     ? a.email
                          : field == "caption"   ? a.table.BlockText[2]
                                                 : a.table.BlockCategory[2];
        target = text;
        const QString message = unkeepableTextMessage(a, QLocale::c());
        QVERIFY2(message.startsWith("The Root Cause Analysis was not saved.\r\n\r\n" + named), qPrintable(message));
        // And the guard is right: written as it is, the analysis would indeed come back changed.
        const ReadOutcome back = parseAnalysisText(decode1252(writeAnalysis(a, QLocale::c())), QLocale::c());
        QVERIFY(writeAnalysis(back.analysis, QLocale::c()) != writeAnalysis(a, QLocale::c()));
    }

    void harmlessMarkupIsKept_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("comparison signs") << "a < b & c > d";
        QTest::newRow("foreign tags") << "<b>bold</b> <blocks>";
        // Read from its own start, an opening tag alone changes nothing that is read back.
        QTest::newRow("a lone opening block tag") << "see <block> 2";
        QTest::newRow("line breaks and blanks") << "  two\r\nlines  ";
    }
    void harmlessMarkupIsKept()
    {
        QFETCH(QString, text);
        Analysis a = twoBlocks();
        a.description = text;
        a.table.BlockText[1] = text;
        a.table.BlockNotes[2] = text;
        // A hand-edited fraction is written with seven digits: not a loss the user must fix.
        a.table.BlockX[1] = 0.123456789f;
        QCOMPARE(unkeepableTextMessage(a, QLocale::c()), QString());
    }
};

QTEST_GUILESS_MAIN(TestRoundTripCheck)
#include "test_round_trip_check.moc"

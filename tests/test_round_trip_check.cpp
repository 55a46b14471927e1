#include "files/analysis_reader.h"
#include "files/analysis_writer.h"
#include "files/codepage.h"
#include "files/round_trip_check.h"
#include "support/window_fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace tessik;
using namespace tessik::test;

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
        QTest::newRow("description opening a block") << "description" << "see <block>2</block>" << "The event description holds \"<block>\"";
        QTest::newRow("description closing itself") << "description" << "a</description>b" << "The event description holds \"</description>\"";
        QTest::newRow("e-mail with an office element") << "email" << "<office>x</office>" << "The e-mail contact holds \"<office>\"";
        QTest::newRow("caption closing itself") << "caption" << "a </text> b" << "The caption of block 2 holds \"</text>\"";
        QTest::newRow("notes closing themselves") << "notes" << "a</notes>b" << "The notes of block 2 holds \"</notes>\"";
        QTest::newRow("category closing the block") << "category" << "x</block>" << "The category of block 2 holds \"</block>\"";
    }
    void textsThatWouldNotReadBack()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, named);
        Analysis a = twoBlocks();
        if (field == "description")
            a.description = text;
        else if (field == "email")
            a.email = text;
        else if (field == "caption")
            a.table.BlockText[2] = text;
        else if (field == "notes")
            a.table.BlockNotes[2] = text;
        else
            a.table.BlockCategory[2] = text;
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
        QTest::newRow("a category inside the notes' text") << "<category>Motives</category>";
        QTest::newRow("a position tag in the description") << "<x>";
        QTest::newRow("line breaks and blanks") << "  two\r\nlines  ";
    }
    void harmlessMarkupIsKept()
    {
        QFETCH(QString, text);
        Analysis a = twoBlocks();
        a.description = text;
        a.table.BlockText[1] = text;
        a.table.BlockNotes[2] = text;
        QCOMPARE(unkeepableTextMessage(a, QLocale::c()), QString());
    }

    void fractionsDoNotCountAsLoss()
    {
        Analysis a = twoBlocks();
        a.table.BlockX[1] = 0.123456789f; // written with seven digits, as the format has it
        QCOMPARE(unkeepableTextMessage(a, QLocale::c()), QString());
    }

    void windowRefusesAndKeepsTheOldFile()
    {
        WindowFixture f;
        const QString path = f.path("work/A.rca.xml");
        writeBytes(path, writeAnalysis(twoBlocks()));
        const QByteArray before = readBytes(path);
        frmKelvane &w = f.start();
        f.platform.fileAnswers.enqueue(path);
        w.btnLoadXML->click();
        w.txtDescription->setText("Pump failure <block>2</block>");
        w.btnSave->click();
        QCOMPARE(f.platform.messages.size(), 1);
        QVERIFY(f.platform.messages[0].contains("\"<block>\""));
        QCOMPARE(readBytes(path), before);
        QVERIFY(w.Unsaved);
        QCOMPARE(w.windowTitle(), QString("Tessik: A *"));
    }
};

QTEST_MAIN(TestRoundTripCheck)
#include "test_round_trip_check.moc"
